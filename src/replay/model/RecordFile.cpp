#include "replay/model/RecordFile.h"

#include <zlib.h>

#include <array>
#include <cstring>
#include <iterator>
#include <QFile>
#include <limits>
#include <memory>

#include "common/ReadFile.h"
#include "common/SheetModel.h"
#include "link/Formatters.h"
#include "link/ScaleSteps.h"

namespace {

constexpr int CodeMin = 25;  // the screen's top row; CodeMin + 199 its bottom row

template <typename T>
T Le(const char* p) {
    T v{};
    unsigned char b[sizeof(T)];
    std::memcpy(b, p, sizeof(T));
    typename std::make_unsigned<T>::type u = 0;
    for (size_t i = sizeof(T); i-- > 0;) u = (u << 8) | b[i];
    std::memcpy(&v, &u, sizeof(T));
    return v;
}

// Raw byte -> sample: clamped to the 200 usable codes, counted from the top.
const std::array<int16_t, 256>& SampleOfByte() {
    static const std::array<int16_t, 256> table = [] {
        std::array<int16_t, 256> t{};
        for (int b = 0; b < 256; ++b) t[size_t(b)] = int16_t(qBound(CodeMin, b, CodeMin + 199) - CodeMin);
        return t;
    }();
    return table;
}

QString DoubleText(double v) { return QString::number(v, 'g', 15); }
QString SingleText(float v) { return QString::number(double(v), 'g', 7); }

}  // namespace

RecordFileHeader ReadRecordHeader(const char* b) {
    RecordFileHeader h;
    h.Magic = Le<uint16_t>(b + 0);
    h.Source = Le<int32_t>(b + 8);
    h.SourceChannel = Le<int32_t>(b + 12);
    h.FirstFrameNumber = Le<int16_t>(b + 16);
    h.LastFrameNumber = Le<int16_t>(b + 18);
    h.Ch1On = uint8_t(b[20]);
    h.Ch1VoltsDivMicro = Le<int32_t>(b + 24);
    h.Ch1OffsetRaw = Le<int16_t>(b + 28);
    h.Ch2On = uint8_t(b[30]);
    h.Ch2VoltsDivMicro = Le<int32_t>(b + 32);
    h.Ch2OffsetRaw = Le<int16_t>(b + 36);
    h.TimeDivPs = Le<int64_t>(b + 40);
    h.DelayPs = Le<int64_t>(b + 48);
    return h;
}

RecordError ReadRecordFile(const QString& path, RecordContent& out, QString* reason) {
    FileContents file;
    QString why;
    // A longer regular file is read up to the limit, as the stream decides.
    if (!file.open(path, std::numeric_limits<qint64>::max(), RecordReadLimit, &why)) {
        if (why.isEmpty()) return RecordError::FormatError;  // a folder, a device, a pipe
        if (reason) *reason = why;
        return RecordError::Unreadable;
    }
    // Parsed into a scratch copy: a file changed meanwhile leaves `out` alone.
    RecordContent read;
    const RecordError parsed = ParseRecordFile(file.bytes(), read);
    if (file.changed()) return RecordError::ChangedWhileRead;
    if (parsed == RecordError::None) out = std::move(read);
    return parsed;
}

RecordError ParseRecordFile(const QByteArray& file, RecordContent& out) {
    // A file shorter than the header reads as zeros past its end.
    char head[RecordHeaderSize] = {};
    const qsizetype used = qMin<qsizetype>(file.size(), RecordReadLimit);
    std::memcpy(head, file.constData(), size_t(qMin<qsizetype>(used, RecordHeaderSize)));
    const RecordFileHeader h = ReadRecordHeader(head);
    if (h.Magic != RecordMagic) return RecordError::FormatError;

    // Inflate into a buffer of the reading limit; zlib reports a stream
    // that needs more room as a failure.
    const uLong sourceLength = uLong(qMax<qsizetype>(used - RecordHeaderSize, 0));
    std::unique_ptr<Bytef[]> inflated(new Bytef[RecordReadLimit]);
    uLongf length = RecordReadLimit;
    const auto* source = reinterpret_cast<const Bytef*>(file.constData()) + RecordHeaderSize;
    if (uncompress(inflated.get(), &length, sourceLength ? source : inflated.get(), sourceLength) != Z_OK)
        return RecordError::InflateFailed;

    QString channel;
    switch (h.Source) {
    case 0: channel = QStringLiteral("CH1"); break;
    case 1: channel = QStringLiteral("CH2"); break;
    case 2: channel = h.SourceChannel == 0 ? QStringLiteral("CH1") : QStringLiteral("CH2"); break;
    default: return RecordError::FormatError;  // no channel to show
    }
    const bool ch1 = channel == QLatin1String("CH1");
    if ((ch1 ? h.Ch1On : h.Ch2On) == 0) return RecordError::ChannelOff;

    // Every frame the header counts must be there in whole.
    const int frames = int(h.LastFrameNumber) - int(h.FirstFrameNumber) + 1;
    if (frames < 1 || int64_t(frames) * RecordFrameSamples > int64_t(length)) return RecordError::FormatError;

    RecordContent c;
    // Built straight from the bytes (no zero-filling first); the element
    // after the last sample is 0.
    const auto& table = SampleOfByte();
    struct Codes {
        using iterator_category = std::random_access_iterator_tag;
        using value_type = int16_t;
        using difference_type = std::ptrdiff_t;
        using pointer = const int16_t*;
        using reference = int16_t;
        const Bytef* p;
        const int16_t* t;
        int16_t operator*() const { return t[*p]; }
        Codes& operator++() { ++p; return *this; }
        Codes operator++(int) { Codes c = *this; ++p; return c; }
        Codes& operator--() { --p; return *this; }
        Codes& operator+=(difference_type n) { p += n; return *this; }
        Codes& operator-=(difference_type n) { p -= n; return *this; }
        Codes operator+(difference_type n) const { return Codes{p + n, t}; }
        Codes operator-(difference_type n) const { return Codes{p - n, t}; }
        int16_t operator[](difference_type n) const { return t[p[n]]; }
        difference_type operator-(const Codes& o) const { return p - o.p; }
        bool operator<(const Codes& o) const { return p < o.p; }
        bool operator==(const Codes& o) const { return p == o.p; }
        bool operator!=(const Codes& o) const { return p != o.p; }
    };
    c.Samples.reserve(size_t(length) + 1);
    c.Samples.assign(Codes{inflated.get(), table.data()}, Codes{inflated.get() + length, table.data()});
    c.Samples.push_back(0);
    c.Channel = channel;
    const double volts = (ch1 ? h.Ch1VoltsDivMicro : h.Ch2VoltsDivMicro) / 1000000.0;
    c.VoltScaleText = FormatVolt(DoubleText(volts));
    c.OffsetText = FormatVolt(SingleText(PointsToValue(ch1 ? h.Ch1OffsetRaw : h.Ch2OffsetRaw, float(volts))));
    const auto halves = [](int64_t ps) {
        return TimeFrom64(int32_t(uint32_t(uint64_t(ps) & 0xFFFFFFFFu)), int32_t(uint64_t(ps) >> 32));
    };
    c.TimeScaleText = FormatTime4(DoubleText(halves(h.TimeDivPs)));
    c.DelayText = FormatTime5(DoubleText(halves(h.DelayPs)));
    c.FrameCount = int16_t(frames);
    out = std::move(c);
    return RecordError::None;
}

void CommitRecordContent(RecordInfo& r, RecordContent&& c, const QString& path) {
    r.Samples = std::move(c.Samples);
    r.Channel = c.Channel;
    r.VoltScaleText = c.VoltScaleText;
    r.OffsetText = c.OffsetText;
    r.TimeScaleText = c.TimeScaleText;
    r.DelayText = c.DelayText;
    r.StartFrame = 1;
    r.FrameCount = c.FrameCount;
    r.CurrentFrame = 1;
    r.Loaded = true;
    r.FilePath = path;
}

int RecordFramesHeld(const RecordInfo& r) { return int(r.Samples.size() / size_t(RecordFrameSamples)); }
