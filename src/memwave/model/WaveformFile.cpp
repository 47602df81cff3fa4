#include "memwave/model/WaveformFile.h"

#include <QFile>
#include <cstring>
#include <limits>

#include "common/ReadFile.h"
#include "common/SheetModel.h"
#include "link/ScaleSteps.h"

namespace {

// Little-endian fields of a zero-padded long header.
struct HeaderBytes {
    std::array<uint8_t, WaveformLongHeaderSize> b{};

    uint8_t u8(int at) const { return b[size_t(at)]; }
    int16_t i16(int at) const { return int16_t(uint16_t(b[size_t(at)] | (b[size_t(at) + 1] << 8))); }
    uint32_t u32(int at) const {
        return uint32_t(b[size_t(at)]) | uint32_t(b[size_t(at) + 1]) << 8 |
               uint32_t(b[size_t(at) + 2]) << 16 | uint32_t(b[size_t(at) + 3]) << 24;
    }
    int32_t i32(int at) const { return int32_t(u32(at)); }
    int64_t i64(int at) const { return int64_t(uint64_t(u32(at)) | uint64_t(u32(at + 4)) << 32); }
    float f32(int at) const {
        const uint32_t v = u32(at);
        float f;
        std::memcpy(&f, &v, sizeof f);
        return f;
    }
};

// The first bytes of the file as a long header: a short header is copied
// over field by field, its missing logic block (120..141) left zero.
HeaderBytes LongHeaderBytes(const QByteArray& bytes) {
    HeaderBytes h;
    const auto* src = reinterpret_cast<const uint8_t*>(bytes.constData());
    const int size = int(std::min<qsizetype>(bytes.size(), WaveformLongHeaderSize));
    auto copy = [&](int to, int from, int count) {
        for (int i = 0; i < count && from + i < size; ++i) h.b[size_t(to + i)] = src[from + i];
    };
    const bool isShort = size >= 2 && src[0] == 0xA1 && src[1] == 0xA5;
    if (!isShort) {
        copy(0, 0, WaveformLongHeaderSize);
    } else {
        copy(0, 0, 120);
        copy(142, 120, 5);
        copy(148, 128, 124);
    }
    return h;
}

// Seconds from a stored picosecond count.
double Seconds(int64_t ps) {
    return TimeFrom64(int32_t(uint32_t(uint64_t(ps))), int32_t(uint64_t(ps) >> 32));
}

float VoltsFromMicrovolts(int32_t uv) { return float(double(uv) / 1000000.0); }

}  // namespace

WaveformFileHeader ReadWaveformHeader(const QByteArray& bytes) {
    const HeaderBytes h = LongHeaderBytes(bytes);
    WaveformFileHeader r;
    r.Magic = uint16_t(h.i16(0));
    r.PointCount = h.i32(28);
    r.Ch1VoltsDivUv = h.i32(36);
    r.Ch1OffsetRaw = h.i16(40);
    r.Ch1On = h.u8(49);
    r.Ch1AcqVoltsDivUv = h.i32(52);
    r.Ch1AcqOffsetRaw = h.i16(56);
    r.Ch2VoltsDivUv = h.i32(60);
    r.Ch2OffsetRaw = h.i16(64);
    r.Ch2On = h.u8(73);
    r.Ch2AcqVoltsDivUv = h.i32(76);
    r.Ch2AcqOffsetRaw = h.i16(80);
    r.TimeDivPs = h.i64(84);
    r.DelayPs = h.i64(92);
    r.SampleRate = h.f32(100);
    r.LaTimePs = h.i64(104);
    r.AcqDelayPs = h.i64(112);
    r.LaOn = h.u8(120);
    r.LaCurrent = h.u8(121);
    r.LaMask = h.i16(122);
    for (int i = 0; i < 16; ++i) r.LaRows[size_t(i)] = h.u8(124 + i);
    r.LaAux2 = h.u8(140);
    r.LaAux1 = h.u8(141);
    r.TriggerByte = h.u8(142);
    r.Ch2PointCount = h.i32(232);
    r.Ch2TimeDivPs = h.i64(236);
    r.Ch2DelayPs = h.i64(244);
    r.Ch2SampleRate = h.f32(252);
    r.Ch2AcqDelayPs = h.i64(264);
    return r;
}

WaveformReadStatus ParseWaveformFile(const QByteArray& bytes, WaveformFileData& out) {
    out = WaveformFileData();
    const int64_t size = std::min<int64_t>(bytes.size(), WaveformReadLimit);
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.constData());
    const uint16_t magic = size >= 2 ? uint16_t(data[0] | data[1] << 8) : 0;
    if (magic != WaveformLongMagic && magic != WaveformShortMagic) return WaveformReadStatus::FormatError;

    WaveformFileHeader& h = out.Header;
    h = ReadWaveformHeader(bytes);
    const int add = h.IsShort() ? 25 : 0;
    int64_t at = (h.IsShort() ? WaveformShortHeaderSize : WaveformLongHeaderSize) + 4;

    // A present block must lie wholly inside the bytes that were read.
    auto fits = [&](int64_t count) { return count >= 0 && at + count <= size; };
    auto channel = [&](std::vector<int16_t>& memory, int32_t points) {
        if (!fits(points)) return false;
        memory.assign(size_t(points) + 1, 0);  // the last element stays 0
        for (int32_t i = 0; i < points; ++i) memory[size_t(i)] = int16_t(data[at + i] + add);
        at += points;
        return true;
    };
    const bool alt = h.IsAlternation();
    if (h.Ch1On == 1) {
        if (!channel(out.Ch1Memory, h.PointCount)) return WaveformReadStatus::Damaged;
        out.Ch1Present = true;
    }
    if (h.Ch2On == 1) {
        if (!channel(out.Ch2Memory, alt ? h.Ch2PointCount : h.PointCount)) return WaveformReadStatus::Damaged;
        out.Ch2Present = true;
    }
    if (!alt && h.LaOn == 1) {
        const int64_t n = h.PointCount;
        const int64_t m = n < WaveformLaFullFrom ? n : 2 * n;
        if (!fits(m)) return WaveformReadStatus::Damaged;
        out.LaMemory.assign(size_t(m) + 1, 0);
        for (int64_t k = 0; 2 * k < m; ++k) {
            const int low = data[at + 2 * k];
            const int high = 2 * k + 1 < m ? data[at + 2 * k + 1] : 0;
            out.LaMemory[size_t(k)] = int16_t(uint16_t(low | high << 8));
        }
        out.LaPresent = true;
    }
    return WaveformReadStatus::Ok;
}

WaveformReadStatus ReadWaveformFile(const QString& path, WaveformFileData& out, QString* reason) {
    FileContents file;
    QString why;
    // A longer regular file is read up to the limit; only the blocks decide.
    if (!file.open(path, std::numeric_limits<qint64>::max(), WaveformReadLimit, &why)) {
        if (why.isEmpty()) return WaveformReadStatus::FormatError;  // a folder, a device, a pipe
        if (reason) *reason = why;
        return WaveformReadStatus::Unreadable;
    }
    // Parsed into a scratch copy: a file changed meanwhile leaves `out` alone.
    WaveformFileData read;
    const WaveformReadStatus parsed = ParseWaveformFile(file.bytes(), read);
    if (file.changed()) return WaveformReadStatus::ChangedWhileRead;
    if (parsed == WaveformReadStatus::Ok) out = std::move(read);
    return parsed;
}

void CommitWaveformFile(MemWaveInfo& rec, WaveformFileData&& data, const QString& path) {
    const WaveformFileHeader& h = data.Header;
    SystemDataRecord& sd = rec.ScreenData;
    const bool alt = h.IsAlternation();
    rec.TriggerMode = alt ? QStringLiteral("ALTERNATION") : QStringLiteral("EDGE");
    rec.SplitDisplay = alt;
    rec.YTFormat = true;
    rec.Ch1VoltsPerDiv = VoltsFromMicrovolts(h.Ch1VoltsDivUv);
    rec.Ch2VoltsPerDiv = VoltsFromMicrovolts(h.Ch2VoltsDivUv);
    rec.Ch1OffsetVolts = PointsToValue(h.Ch1OffsetRaw, rec.Ch1VoltsPerDiv);
    rec.Ch2OffsetVolts = PointsToValue(h.Ch2OffsetRaw, rec.Ch2VoltsPerDiv);
    rec.Ch1AcqVoltsPerDiv = VoltsFromMicrovolts(h.Ch1AcqVoltsDivUv);
    rec.Ch2AcqVoltsPerDiv = VoltsFromMicrovolts(h.Ch2AcqVoltsDivUv);
    rec.Ch1AcqOffsetCode = h.Ch1AcqOffsetRaw;
    rec.Ch2AcqOffsetCode = h.Ch2AcqOffsetRaw;
    rec.StateWord = QStringLiteral("OFF");
    if (!alt) {
        rec.MemoryPointCount = h.PointCount;
        rec.SampleRate = h.SampleRate;
        rec.TimePerDiv = Seconds(h.TimeDivPs);
        rec.DelayTime = Seconds(h.DelayPs);
        rec.AcqDelayTime = Seconds(h.AcqDelayPs);
        rec.LaTimeValue = Seconds(h.LaTimePs);
    } else {
        rec.AltCh1PointCount = h.PointCount;
        rec.AltCh2PointCount = h.Ch2PointCount;
        rec.AltCh1SampleRate = h.SampleRate;
        rec.AltCh2SampleRate = h.Ch2SampleRate;
        rec.AltCh1TimePerDiv = Seconds(h.TimeDivPs);
        rec.AltCh2TimePerDiv = Seconds(h.Ch2TimeDivPs);
        rec.AltCh1DelayTime = Seconds(h.DelayPs);
        rec.AltCh2DelayTime = Seconds(h.Ch2DelayPs);
        rec.AltCh1AcqDelayTime = Seconds(h.AcqDelayPs);
        rec.AltCh2AcqDelayTime = Seconds(h.Ch2AcqDelayPs);
    }

    bool loaded = false;
    rec.HasCh1 = data.Ch1Present;
    sd.CH1Shown = data.Ch1Present ? 1 : 0;
    if (data.Ch1Present) {
        rec.Ch1Memory = std::move(data.Ch1Memory);
        loaded = true;
    }
    rec.HasCh2 = data.Ch2Present;
    sd.CH2Shown = data.Ch2Present ? 1 : 0;
    if (data.Ch2Present) {
        rec.Ch2Memory = std::move(data.Ch2Memory);
        loaded = true;
    }
    rec.HasLa = data.LaPresent;
    sd.LAShown = data.LaPresent ? 1 : 0;
    if (data.LaPresent) {
        rec.LaMemory = std::move(data.LaMemory);
        for (int i = 0; i < 16; ++i) sd.LARowY[i] = int16_t(222 - 12 * h.LaRows[size_t(i)]);
        sd.LADisplayState = h.LaMask;
        sd.LAState108 = h.LaAux2;
        sd.LAState107 = h.LaAux1;
        sd.LAState106 = h.LaCurrent;
        loaded = true;
    }
    rec.Loaded = loaded;
    if (loaded) rec.FilePath = path;
    rec.ScreenPointCount = 600;
    SaveLoadedView(rec);
}

namespace {
// The fields of the reset copy, in its order, applied to (record, copy).
template <typename F>
void ResetFields(MemWaveInfo& r, MemWaveResetCopy& c, F f) {
    f(r.Ch1OffsetVolts, c.Ch1OffsetVolts);
    f(r.Ch2OffsetVolts, c.Ch2OffsetVolts);
    f(r.Ch1VoltsPerDiv, c.Ch1VoltsPerDiv);
    f(r.Ch2VoltsPerDiv, c.Ch2VoltsPerDiv);
    f(r.Ch1AcqVoltsPerDiv, c.Ch1AcqVoltsPerDiv);
    f(r.Ch2AcqVoltsPerDiv, c.Ch2AcqVoltsPerDiv);
    f(r.Ch1AcqOffsetCode, c.Ch1AcqOffsetCode);
    f(r.Ch2AcqOffsetCode, c.Ch2AcqOffsetCode);
    f(r.LaTimeValue, c.LaTimeValue);
    f(r.AcqDelayTime, c.AcqDelayTime);
    f(r.AltCh1AcqDelayTime, c.AltCh1AcqDelayTime);
    f(r.AltCh2AcqDelayTime, c.AltCh2AcqDelayTime);
    f(r.TimePerDiv, c.TimePerDiv);
    f(r.DelayTime, c.DelayTime);
    f(r.AltCh1TimePerDiv, c.AltCh1TimePerDiv);
    f(r.AltCh2TimePerDiv, c.AltCh2TimePerDiv);
    f(r.AltCh1DelayTime, c.AltCh1DelayTime);
    f(r.AltCh2DelayTime, c.AltCh2DelayTime);
    for (int i = 0; i < 16; ++i) f(r.ScreenData.LARowY[i], c.LaRowY[size_t(i)]);
    f(r.ScreenData.LAState106, c.LaSelected);
}
}  // namespace

void SaveLoadedView(MemWaveInfo& rec) {
    ResetFields(rec, rec.ResetCopy, [](auto& field, auto& copy) { copy = field; });
}

void RestoreLoadedView(MemWaveInfo& rec) {
    ResetFields(rec, rec.ResetCopy, [](auto& field, auto& copy) { field = copy; });
}

int LaCurrentChannel(const MemWaveInfo& rec) {
    const int c = rec.ScreenData.LAState106;
    return c < 16 ? c : -1;
}
