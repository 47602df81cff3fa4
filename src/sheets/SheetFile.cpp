#include "sheets/SheetFile.h"

#include <QCoreApplication>
#include <QFile>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <array>
#include <future>
#include <system_error>
#include <limits>
#include <memory>
#include <new>
#include <string>
#include <type_traits>
#include <tuple>

#include "common/HookCheck.h"
#include "common/ReadFile.h"
#include "common/TextEncoding.h"
#include "common/SaveFile.h"
#include "common/SheetModel.h"
#include "common/ShellState.h"
#include "link/LinkState.h"
#include "link/MeasureCatalog.h"
#include "link/Messages.h"
#include "link/Vocabulary.h"
#include "link/WaveNumbers.h"
#include "platform/dialogs/MsgBox.h"

namespace {

// Points of a memory-waveform acquisition from which the channels are stored
// interleaved (one group per point), and the fixed length of the separately
// stored logic-analyser block below it.
constexpr int32_t InterleavedFrom = 524288;
constexpr int32_t LaBlockLength = 524288;
constexpr int WaveTraceItems = 1024;
constexpr int WaveLaItems = 2048;

// The third trace of a Wave view is its FFT trace when the view's FFT word
// is the ON word. Either language's word counts, so a sheet saved in one UI
// language reads back in step in the other.
bool IsOnWord(const QString& word) {
    return !word.isEmpty() &&
           (word == ValueWordIn(vwOn, LangChinese) || word == ValueWordIn(vwOn, LangEnglish));
}

// ---------------------------------------------------------------------------
// The item lists. One description serves the writer and the reader: `A` is
// the writer (records const) or the reader (records written), and every
// conditional block tests the values just written or read.

template <typename A, typename W>
void WaveSamples(A& a, W& w) {
    if (w.Ch1Fetched && w.Ch2Fetched) {
        a.need(2 * WaveTraceItems);
        a.freshTrace(w.Ch1Samples);
        a.freshTrace(w.Ch2Samples);
        for (int i = 1; i <= WaveTraceItems; ++i) {
            a.i32(w.Ch1Samples[i]);
            a.i32(w.Ch2Samples[i]);
        }
    } else if (w.Ch1Fetched || w.Ch2Fetched) {
        auto& trace = w.Ch1Fetched ? w.Ch1Samples : w.Ch2Samples;
        a.need(WaveTraceItems);
        a.freshTrace(trace);
        for (int i = 1; i <= WaveTraceItems; ++i) a.i32(trace[i]);
    }
    if (w.LaFetched) {
        a.need(WaveLaItems);
        a.freshTrace(w.LaSamples);
        for (int i = 1; i <= WaveLaItems; ++i) a.i32(w.LaSamples[i]);
    }
    if (w.MathFetched) {
        auto& trace = IsOnWord(w.FftDisplayWord) ? w.FftSamples : w.MathSamples;
        a.need(WaveTraceItems);
        a.freshTrace(trace);
        for (int i = 1; i <= WaveTraceItems; ++i) a.i32(trace[i]);
    }
}

// The logic-analyser part of a screen description, as both waveform records store it.
template <typename A, typename S>
void LaScreenItems(A& a, S& sd) {
    a.byte(sd.LAShown);
    a.i16(sd.LADisplayState);
    for (auto& y : sd.LARowY) a.i16(y);
    a.byte(sd.LAState106);
    a.byte(sd.LAState107);
    a.byte(sd.LAState108);
}

template <typename A, typename W>
void WaveItems(A& a, W& w) {
    a.str(w.Name);
    a.flag(w.HasData);
    a.str(w.TriggerMode);
    a.i32(w.PointCount);
    a.flag(w.SpareFlag);
    a.flag(w.YTFormat);
    a.flag(w.YTVariant);
    a.i16(w.SpareValue1);
    a.i16(w.SpareValue2);
    for (auto* s : {&w.Ch1Offset, &w.Ch2Offset, &w.Ch1Scale, &w.Ch2Scale, &w.TimeScale,
                    &w.TimeOffset, &w.AltCh1TimeScale, &w.AltCh2TimeScale, &w.AltCh1TimeOffset,
                    &w.AltCh2TimeOffset, &w.FetchDate})
        a.str(*s);
    a.i32(w.ChannelCode);
    a.flag(w.ColorDisplay);
    a.flag(w.ShowGrid);
    a.flag(w.SplitDisplay);
    a.flag(w.BestFit);
    a.laPresent(w.LaAvailable);
    a.flag(w.Ch1Chosen);
    a.flag(w.Ch2Chosen);
    a.flag(w.MathChosen);
    a.flag(w.LaChosen);
    a.flag(w.Ch1Fetched);
    a.flag(w.Ch2Fetched);
    a.flag(w.MathFetched);
    a.flag(w.LaFetched);
    auto& sd = w.SystemData;
    a.i16(sd.TraceFirstX);
    a.i16(sd.TraceLastX);
    a.i16(sd.UpperFirstX);
    a.i16(sd.UpperLastX);
    a.i16(sd.LowerFirstX);
    a.i16(sd.LowerLastX);
    a.byte(sd.ScanFlag);
    a.byte(sd.CH1Shown);
    a.byte(sd.CH2Shown);
    a.byte(sd.MathShown);
    a.byte(sd.MathOperation);
    a.single(sd.Stored20);
    a.i16(sd.MathPosition);
    a.single(sd.MathScale);
    a.i16(sd.Stored32);
    a.byte(sd.FFTShown);
    a.byte(sd.FFTLowerHalf);
    a.byte(sd.Stored36);
    a.byte(sd.FFTFullScreen);
    a.byte(sd.FFTScaleDb);
    a.single(sd.FFTVrmsPerDiv);
    a.i16(sd.Stored44);
    a.i16(sd.FFTDbPerDiv);
    a.single(sd.Stored48);
    a.i16(sd.FFTPosition);
    a.single(sd.FFTHzPerDiv);
    a.i16(sd.FFTZoom);
    a.single(sd.Stored64);
    a.i16(sd.FFTHorizPos);
    LaScreenItems(a, sd);
    a.flag(w.XYFormat);
    a.str(w.MathDisplayWord);
    a.str(w.FftDisplayWord);
    if (w.HasData) WaveSamples(a, w);
}

// The limits of a view differ from a new view's (an item enabled, a limit changed).
bool LimitsSet(const MeasureInfo& m) {
    for (int k = 0; k < MeasureItemCount; ++k) {
        const MeasureItem& it = m.Items[size_t(k)];
        if (it.Enable || it.Under != MeasureOfItem(k).under || it.Over != MeasureOfItem(k).over)
            return true;
    }
    return false;
}

// The items follow only a view marked as holding data. A view without data
// whose limits were set is written the same way with its values empty, and
// such a view reads back as one without data that keeps its limits; a view
// read without items gets a new view's limits.
template <typename A, typename M>
void MeasureItems(A& a, M& m) {
    constexpr bool reading = !std::is_const_v<M>;
    a.str(m.Name);
    bool withItems = m.HasData || LimitsSet(m);
    a.flag(withItems);
    a.str(m.Title);
    if (!withItems) {
        if constexpr (reading) {
            m.HasData = false;
            for (int k = 0; k < MeasureItemCount; ++k) {
                m.Items[size_t(k)].Under = MeasureOfItem(k).under;
                m.Items[size_t(k)].Over = MeasureOfItem(k).over;
            }
        }
        return;
    }
    bool anyValue = false;
    for (auto& item : m.Items) {
        a.str(item.Value);
        a.flag(item.Enable);
        a.dbl(item.Over);
        a.dbl(item.Under);
        anyValue = anyValue || !item.Value.isEmpty();
    }
    if constexpr (reading) m.HasData = anyValue;
}

enum TableColumn { VoltColumn, TimeColumn };

template <typename A, typename D>
void DataItems(A& a, D& d) {
    a.str(d.Name);
    a.flag(d.HasData);
    a.str(d.Title);
    a.i32(d.PointCount);
    if (!d.HasData) return;
    // Entries 0..PointCount; a negative count stores no pair.
    const int64_t pairs = d.PointCount < 0 ? 0 : int64_t(d.PointCount) + 1;
    a.need(2 * pairs);
    a.sizeList(d.VoltTexts, pairs, VoltColumn);
    a.sizeList(d.TimeTexts, pairs, TimeColumn);
    for (int64_t j = 0; j < pairs; ++j) {
        a.listStr(d.VoltTexts, j, VoltColumn);
        a.listStr(d.TimeTexts, j, TimeColumn);
    }
    a.endList(d.VoltTexts, VoltColumn);
    a.endList(d.TimeTexts, TimeColumn);
}

template <typename A, typename R>
void RecordItems(A& a, R& r) {
    a.str(r.Name);
    a.flag(r.DisplayActive);
    a.flag(r.Loaded);
    a.flag(r.BlackBackground);
    a.str(r.FilePath);
    a.str(r.Channel);
    a.flag(r.SpareFlag);
    a.i16(r.StartFrame);
    a.i16(r.FrameCount);
    a.byte(r.ReplayStatus);
    a.i16(r.CurrentFrame);
    a.flag(r.LoopReplay);
    a.str(r.TimeScaleText);
    a.str(r.DelayText);
    a.str(r.VoltScaleText);
    a.str(r.OffsetText);
    a.dbl(r.FrameInterval);
    if (!r.DisplayActive) return;
    const int64_t frames = int64_t(r.FrameCount) - r.StartFrame + 1;
    const int64_t n = frames > 0 ? frames * RecordFrameSamples : 0;
    a.need(n);
    a.sizeVec(r.Samples, n);
    for (int64_t j = 0; j < n; ++j) a.vecI16(r.Samples, j);
}

template <typename A, typename M>
void MemoryBlock(A& a, M& m) {
    if (m.TriggerMode == QLatin1String("ALTERNATION")) {
        const int64_t na = m.AltCh1PointCount > 0 ? m.AltCh1PointCount : 0;
        const int64_t nb = m.AltCh2PointCount > 0 ? m.AltCh2PointCount : 0;
        a.need(na + nb);
        a.sizeVec(m.Ch1Memory, na);
        a.sizeVec(m.Ch2Memory, nb);
        if (na == nb) {
            for (int64_t j = 0; j < na; ++j) {
                a.vecI16(m.Ch1Memory, j);
                a.vecI16(m.Ch2Memory, j);
            }
        } else {
            for (int64_t j = 0; j < na; ++j) a.vecI16(m.Ch1Memory, j);
            for (int64_t j = 0; j < nb; ++j) a.vecI16(m.Ch2Memory, j);
        }
        return;
    }
    const int64_t n = m.MemoryPointCount > 0 ? m.MemoryPointCount : 0;
    const bool h1 = m.HasCh1, h2 = m.HasCh2, hla = m.HasLa;
    if (n < InterleavedFrom) {
        a.need((h1 ? n : 0) + (h2 ? n : 0) + (hla ? LaBlockLength : 0));
        if (h1) {
            a.sizeVec(m.Ch1Memory, n);
            for (int64_t j = 0; j < n; ++j) a.vecI16(m.Ch1Memory, j);
        }
        if (h2) {
            a.sizeVec(m.Ch2Memory, n);
            for (int64_t j = 0; j < n; ++j) a.vecI16(m.Ch2Memory, j);
        }
        if (hla) {
            a.sizeVec(m.LaMemory, LaBlockLength);
            for (int64_t j = 0; j < LaBlockLength; ++j) a.vecI16(m.LaMemory, j);
        }
        return;
    }
    a.need(n * ((h1 ? 1 : 0) + (h2 ? 1 : 0) + (hla ? 1 : 0)));
    if (h1) a.sizeVec(m.Ch1Memory, n);
    if (h2) a.sizeVec(m.Ch2Memory, n);
    if (hla) a.sizeVec(m.LaMemory, n);
    for (int64_t j = 0; j < n; ++j) {
        if (h1) a.vecI16(m.Ch1Memory, j);
        if (h2) a.vecI16(m.Ch2Memory, j);
        if (hla) a.vecI16(m.LaMemory, j);
    }
}

template <typename A, typename M>
void MemWaveItems(A& a, M& m) {
    a.str(m.Name);
    a.str(m.FilePath);
    a.flag(m.Loaded);
    a.str(m.TriggerMode);
    a.i32(m.ScreenPointCount);
    a.flag(m.YTFormat);
    for (auto* v : {&m.Ch1OffsetVolts, &m.Ch2OffsetVolts, &m.Ch1VoltsPerDiv, &m.Ch2VoltsPerDiv,
                    &m.Ch1AcqVoltsPerDiv, &m.Ch2AcqVoltsPerDiv})
        a.single(*v);
    a.i16(m.Ch1AcqOffsetCode);
    a.i16(m.Ch2AcqOffsetCode);
    for (auto* v : {&m.SampleRate, &m.AltCh1SampleRate, &m.AltCh2SampleRate}) a.single(*v);
    for (auto* v : {&m.LaTimeValue, &m.AcqDelayTime, &m.AltCh1AcqDelayTime, &m.AltCh2AcqDelayTime,
                    &m.TimePerDiv, &m.DelayTime, &m.AltCh1TimePerDiv, &m.AltCh2TimePerDiv,
                    &m.AltCh1DelayTime, &m.AltCh2DelayTime})
        a.dbl(*v);
    for (auto* f : {&m.BlackBackground, &m.ShowGrid, &m.SplitDisplay, &m.SpareFlag2, &m.HasCh1,
                    &m.HasCh2, &m.HasMath, &m.HasLa, &m.SpareCh1Flag, &m.SpareCh2Flag,
                    &m.SpareMathFlag, &m.SpareLaFlag, &m.XYFormat})
        a.flag(*f);
    auto& sd = m.ScreenData;
    a.byte(sd.CH1Shown);
    a.byte(sd.CH2Shown);
    LaScreenItems(a, sd);
    a.flag(m.XYFormat);  // stored twice; the second one is the one read
    a.str(m.SpareText);
    a.str(m.StateWord);
    a.i32(m.MemoryPointCount);
    a.i32(m.AltCh1PointCount);
    a.i32(m.AltCh2PointCount);
    auto& rc = m.ResetCopy;
    for (auto* v : {&rc.Ch1OffsetVolts, &rc.Ch2OffsetVolts, &rc.Ch1VoltsPerDiv, &rc.Ch2VoltsPerDiv,
                    &rc.Ch1AcqVoltsPerDiv, &rc.Ch2AcqVoltsPerDiv})
        a.single(*v);
    a.i16(rc.Ch1AcqOffsetCode);
    a.i16(rc.Ch2AcqOffsetCode);
    for (auto* v : {&rc.LaTimeValue, &rc.AcqDelayTime, &rc.AltCh1AcqDelayTime,
                    &rc.AltCh2AcqDelayTime, &rc.TimePerDiv, &rc.DelayTime, &rc.AltCh1TimePerDiv,
                    &rc.AltCh2TimePerDiv, &rc.AltCh1DelayTime, &rc.AltCh2DelayTime})
        a.dbl(*v);
    for (auto& y : rc.LaRowY) a.i16(y);
    a.byte(rc.LaSelected);
    if (m.Loaded) MemoryBlock(a, m);
}

// The whole sheet after the header line and the sheet name.
template <typename A, typename S>
void SheetBody(A& a, S& s) {
    a.i16(s.WaveCount);
    a.i16(s.MeasureCount);
    a.i16(s.DataCount);
    a.i16(s.RecordCount);
    a.i16(s.MemWaveCount);
    a.checkCounts(s);
    // Never past the arrays, whatever a count holds.
    for (int i = 0; i < std::min<int>(s.WaveCount, WaveSlots); ++i) WaveItems(a, s.WaveViews[i]);
    for (int i = 0; i < std::min<int>(s.MeasureCount, MeasureSlots); ++i)
        MeasureItems(a, s.MeasureViews[i]);
    for (int i = 0; i < std::min<int>(s.DataCount, DataSlots); ++i) DataItems(a, s.DataViews[i]);
    for (int i = 0; i < std::min<int>(s.RecordCount, RecordSlots); ++i)
        RecordItems(a, s.RecordViews[i]);
    for (int i = 0; i < std::min<int>(s.MemWaveCount, MemWaveSlots); ++i)
        MemWaveItems(a, s.MemWaveViews[i]);
}

// ---------------------------------------------------------------------------
// Writer

// Text of a real number: at most `digits` significant digits, "." as decimal
// point, exponent form ("1.5E-07", "2E+15") below 1E-4 and from 10^digits on.
// A value that is not finite cannot be stored as a number and is stored as 0
// (NaN) or as the type's largest magnitude (infinities).
template <typename T>
void AppendReal(std::string& out, T v, int digits) {
    if (std::isnan(v)) v = 0;
    if (std::isinf(v)) v = v > 0 ? std::numeric_limits<T>::max() : std::numeric_limits<T>::lowest();
    if (v == 0) {
        out += '0';
        return;
    }
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, digits - 1);
    // buf: [-]d[.ddd]e(+|-)xx
    const char* p = buf;
    const char* end = res.ptr;
    const bool negative = *p == '-';
    if (negative) ++p;
    char mant[32];
    int nm = 0;
    while (p < end && *p != 'e') {
        if (*p != '.') mant[nm++] = *p;
        ++p;
    }
    int exp = 0;
    std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), end, exp);
    while (nm > 1 && mant[nm - 1] == '0') --nm;
    if (negative) out += '-';
    if (exp < -4 || exp >= digits) {
        out += mant[0];
        if (nm > 1) {
            out += '.';
            out.append(mant + 1, nm - 1);
        }
        out += 'E';
        out += exp < 0 ? '-' : '+';
        const int ae = exp < 0 ? -exp : exp;
        if (ae < 10) out += '0';
        out += std::to_string(ae);
    } else if (exp < 0) {
        out += "0.";
        out.append(size_t(-exp - 1), '0');
        out.append(mant, nm);
    } else {
        const int intDigits = exp + 1;
        for (int k = 0; k < intDigits; ++k) out += k < nm ? mant[k] : '0';
        if (nm > intDigits) {
            out += '.';
            out.append(mant + intDigits, nm - intDigits);
        }
    }
}

class SheetWriter {
public:
    // Items are gathered in a buffer; with a device the buffer goes to it
    // whenever it holds a chunk, so a large sheet never sits in memory twice.
    static constexpr qsizetype Chunk = 1 << 20;
    QIODevice* device = nullptr;
    bool failed = false;  // the device refused a write
    QByteArray out;
    char* cur = nullptr;  // end of what is written
    char* lim = nullptr;  // end of the room
    bool laPresentValue = false;

    // Room for n more bytes at cur.
    char* room(qsizetype n) {
        if (Q_UNLIKELY(lim - cur < n)) grow(n);
        return cur;
    }
    Q_NEVER_INLINE void grow(qsizetype n) {
        {
            qsizetype used = cur ? cur - out.data() : 0;
            if (device && used >= Chunk) {
                flush(used);
                used = 0;
            }
            if (out.size() - used < n) out.resize(std::max(out.size() * 2, used + n + Chunk + 4096));
            cur = out.data() + used;
            lim = out.data() + out.size();
        }
    }
    void flush(qsizetype used) {
        if (!failed && !WriteAllTo(*device, out.constData(), used)) failed = true;
        cur = out.data();
    }
    void put(const char* text, qsizetype n) {
        std::memcpy(room(n), text, size_t(n));
        cur += n;
    }
    void eol() { put("\r\n", 2); }
    QByteArray take() {
        out.truncate(cur ? cur - out.data() : 0);
        return std::move(out);
    }
    // Sends what is left to the device; false when any write failed.
    bool finish() {
        if (cur) flush(cur - out.data());
        return !failed;
    }

    void str(const QString& s) {
        const qsizetype n = s.size();
        char* p = room(n + 4);
        const char16_t* c = reinterpret_cast<const char16_t*>(s.constData());
        *p++ = '"';
        // Plain ASCII without a double quote (nearly every text) is narrowed
        // in one pass; both loops have no early exit, so they vectorise.
        bool plain = true;
        for (qsizetype k = 0; k < n; ++k) plain &= (c[k] < 0x80) & (c[k] != u'"');
        if (plain) {
            for (qsizetype k = 0; k < n; ++k) p[k] = char(c[k]);
            cur = p + n;
        } else {
            cur = p;
            // A double quote would end the item early: store it as an apostrophe.
            QString text = s;
            text.replace(QLatin1Char('"'), QLatin1Char('\''));
            const QByteArray utf8 = text.toUtf8();
            put(utf8.constData(), utf8.size());
        }
        put("\"\r\n", 3);
    }
    void flag(bool b) {
        if (b) put("#TRUE#\r\n", 8);
        else put("#FALSE#\r\n", 9);
    }
    static constexpr char Pairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";

    void integer(int64_t v) {
        char* p = room(24);
        if (v < 0) *p++ = '-';
        uint64_t u = v < 0 ? uint64_t(0) - uint64_t(v) : uint64_t(v);
        // Digits written from the last one backwards, straight into place.
        int n = 1;
        for (uint64_t t = u; t >= 10; t /= 10) ++n;
        char* q = p + n;
        p = q;
        while (u >= 100) {
            const auto r = unsigned(u % 100);
            u /= 100;
            q -= 2;
            std::memcpy(q, Pairs + 2 * r, 2);
        }
        if (u >= 10) {
            q -= 2;
            std::memcpy(q, Pairs + 2 * u, 2);
        } else {
            *--q = char('0' + u);
        }
        *p++ = '\r';
        *p++ = '\n';
        cur = p;
    }
    // Whole numbers of at most five digits (the sample and memory blocks),
    // without loops.
    Q_ALWAYS_INLINE void small(int v) {
        char* p = room(8);
        if (v < 0) *p++ = '-';
        unsigned u = v < 0 ? unsigned(-v) : unsigned(v);
        if (u < 10) {
            *p++ = char('0' + u);
        } else if (u < 100) {
            std::memcpy(p, Pairs + 2 * u, 2);
            p += 2;
        } else if (u < 1000) {
            *p++ = char('0' + u / 100);
            std::memcpy(p, Pairs + 2 * (u % 100), 2);
            p += 2;
        } else if (u < 10000) {
            std::memcpy(p, Pairs + 2 * (u / 100), 2);
            std::memcpy(p + 2, Pairs + 2 * (u % 100), 2);
            p += 4;
        } else {
            *p++ = char('0' + u / 10000);
            u %= 10000;
            std::memcpy(p, Pairs + 2 * (u / 100), 2);
            std::memcpy(p + 2, Pairs + 2 * (u % 100), 2);
            p += 4;
        }
        *p++ = '\r';
        *p++ = '\n';
        cur = p;
    }
    void byte(uint8_t v) { small(v); }
    void i16(int16_t v) { small(v); }
    Q_ALWAYS_INLINE void i32(int32_t v) {
        if (v > -100000 && v < 100000) small(v);
        else integer(v);
    }
    void single(float v) {
        std::string t;
        AppendReal(t, v, 7);
        put(t.data(), qsizetype(t.size()));
        eol();
    }
    void dbl(double v) {
        std::string t;
        AppendReal(t, v, 15);
        put(t.data(), qsizetype(t.size()));
        eol();
    }
    void laPresent(bool) { flag(laPresentValue); }

    void need(int64_t) {}
    template <typename Arr>
    void freshTrace(const Arr&) {}
    void sizeList(const QStringList&, int64_t, TableColumn) {}
    void endList(const QStringList&, TableColumn) {}
    void listStr(const QStringList& list, int64_t j, TableColumn) {
        static const QString missing;
        str(j < list.size() ? list[qsizetype(j)] : missing);  // by reference: no count touched
    }
    template <typename Vec>
    void sizeVec(const Vec&, int64_t) {}
    Q_ALWAYS_INLINE void vecI16(const std::vector<int16_t>& v, int64_t j) {
        small(size_t(j) < v.size() ? v[size_t(j)] : 0);
    }
    template <typename S>
    void checkCounts(const S&) {}
};

// ---------------------------------------------------------------------------
// Reader

struct BadFile {};

[[noreturn]] void Bad() { throw BadFile{}; }

// Cells are short (a number and its unit): the bytes are read as at
// most two overlapping words, longer cells eight bytes at a time.
uint64_t Word(const char* b) {
    uint64_t w;
    std::memcpy(&w, b, 8);
    return w;
}
uint32_t Half(const char* b) {
    uint32_t w;
    std::memcpy(&w, b, 4);
    return w;
}
// Bytes of two cells of the same size n.
bool SameBytes(const char* a, const char* b, size_t n) {
    if (n > 16) return std::memcmp(a, b, n) == 0;
    if (n >= 8) return Word(a) == Word(b) && Word(a + n - 8) == Word(b + n - 8);
    if (n >= 4) return Half(a) == Half(b) && Half(a + n - 4) == Half(b + n - 4);
    for (size_t k = 0; k < n; ++k)
        if (a[k] != b[k]) return false;
    return true;
}

// The texts of the table cells read so far, found by the cell's bytes: an
// open-addressing table (linear probing, kept at most three quarters full).
// Keys point into the file's bytes, which outlive the reader; texts are the
// cells already read, in place in their lists, which stay where they are
// while the sheet is read. Long cells (no number a table holds) and cells
// past MaxCells distinct texts get texts of their own.
class SharedCells {
public:
    // Sets `into` (a cell of a list being read) to the text of the bytes
    // b..e, shared when held.
    template <typename Decode>
    void read(QString& into, const char* b, const char* e, Decode& decode) {
        const size_t n = size_t(e - b);
        if (n > MaxSize) {
            into = decode(b, e);
            return;
        }
        const uint32_t h = Hash(b, n);
        size_t i = h & mask_;
        for (; cells_[i].key; i = (i + 1) & mask_) {
            const Cell& c = cells_[i];
            if (c.hash == h && c.size == n && SameBytes(c.key, b, n)) {
                into = *c.text;
                return;
            }
        }
        add(into, b, n, h, i, decode);
    }

private:
    struct Cell {
        const char* key = nullptr;  // null: a free place
        uint32_t size = 0;
        uint32_t hash = 0;
        const QString* text = nullptr;
    };
    static constexpr size_t MaxCells = 1 << 16;
    static constexpr size_t MaxSize = 64;

    static uint32_t Hash(const char* b, size_t n) {
        uint64_t h = n * 0x9E3779B97F4A7C15ull;
        auto mix = [&h](uint64_t w) {
            h = (h ^ w) * 0xFF51AFD7ED558CCDull;
            h ^= h >> 29;
        };
        if (n >= 8) {
            for (size_t k = 0; k + 8 < n; k += 8) mix(Word(b + k));
            mix(Word(b + n - 8));
        } else if (n >= 4) {
            mix(uint64_t(Half(b)) << 32 | Half(b + n - 4));
        } else {
            uint64_t w = 0;
            for (size_t k = 0; k < n; ++k) w = w << 8 | static_cast<unsigned char>(b[k]);
            mix(w);
        }
        return uint32_t(h ^ (h >> 32));
    }
    // A cell not held yet: decoded, and held at the free place i.
    template <typename Decode>
    Q_NEVER_INLINE void add(QString& into, const char* b, size_t n, uint32_t h, size_t i, Decode& decode) {
        into = decode(b, b + n);
        if (used_ == MaxCells) return;
        cells_[i] = Cell{b, uint32_t(n), h, &into};
        if (++used_ * 4 > cells_.size() * 3) grow();
    }
    void grow() {
        std::vector<Cell> old(cells_.size() * 2);
        old.swap(cells_);
        mask_ = cells_.size() - 1;
        for (const Cell& c : old) {
            if (!c.key) continue;
            size_t i = c.hash & mask_;
            while (cells_[i].key) i = (i + 1) & mask_;
            cells_[i] = c;
        }
    }

    std::vector<Cell> cells_ = std::vector<Cell>(1024);
    size_t mask_ = 1023;
    size_t used_ = 0;
};

// The most bytes a text item of MaxSheetTextLength characters takes (four
// for a character in GB18030, at most three in UTF-8); a delimiter or a
// closing quote must come within them.
constexpr ptrdiff_t MaxItemBytes = 4 * ptrdiff_t(MaxSheetTextLength);

class SheetReader {
public:
    // Reads file..end from `begin` (past a UTF-8 mark); texts in `encoding`.
    SheetReader(const char* file, const char* begin, const char* end, TextEncoding encoding)
        : p(begin), end(end), file(file), encoding(encoding) {}

    const char* p;
    const char* end;
    const char* file;
    TextEncoding encoding;
    // The texts that are no text of `encoding`: a byte or a sequence none of
    // its characters has, or a control character; at their offsets in the file.
    TextReading texts;

    // Each item ends at a comma, a line end (CR LF, LF or CR) or the end of
    // the file; spaces before the delimiter are allowed.
    void endItem() {
        if (Q_LIKELY(end - p >= 2 && p[0] == '\r' && p[1] == '\n')) {  // what this program writes
            p += 2;
            return;
        }
        while (p < end && (*p == ' ' || *p == '\t')) ++p;
        if (p == end) return;
        if (*p == ',') {
            ++p;
        } else if (*p == '\r') {
            ++p;
            if (p < end && *p == '\n') ++p;
        } else if (*p == '\n') {
            ++p;
        } else {
            Bad();
        }
    }
    // How the item just read ended (p just past it): its line end, a comma,
    // or nothing when it ran to the end of the file.
    enum class ItemEnd { None, Comma, Cr, Lf, CrLf };
    ItemEnd lastEnd(const char* begin) const {
        if (p - begin >= 2 && p[-2] == '\r' && p[-1] == '\n') return ItemEnd::CrLf;
        if (p == begin) return ItemEnd::None;
        switch (p[-1]) {
        case '\n': return ItemEnd::Lf;
        case '\r': return ItemEnd::Cr;
        case ',': return ItemEnd::Comma;
        default: return ItemEnd::None;
        }
    }
    void skipSpaces() {
        if (Q_LIKELY(p < end && *p != ' ')) return;
        while (p < end && *p == ' ') ++p;
        if (p == end) Bad();  // the file ended before this item
    }
    // The text of an unquoted item, trailing spaces trimmed; no item runs
    // longer than the longest text written, so a file that is no sheet is
    // refused before much of it is looked at.
    std::pair<const char*, const char*> plainItem() {
        skipSpaces();
        const char* b = p;
        const char* stop = b + std::min<ptrdiff_t>(end - b, MaxItemBytes + 1);
        while (p < stop && *p != ',' && *p != '\r' && *p != '\n') ++p;
        if (p - b > MaxItemBytes) Bad();
        const char* e = p;
        while (e > b && (e[-1] == ' ' || e[-1] == '\t')) --e;
        endItem();
        return {b, e};
    }

    // A quoted item: the bytes up to its closing quote, which must come
    // within the longest text written.
    std::pair<const char*, const char*> quotedItem() {
        const char* b = p + 1;
        const void* q = std::memchr(b, '"', size_t(std::min<ptrdiff_t>(end - b, MaxItemBytes + 1)));
        if (!q) Bad();  // no closing quote
        const char* e = static_cast<const char*>(q);
        p = e + 1;
        endItem();
        return {b, e};
    }

    // A text item's characters; longer than any text written is damage.
    QString decode(const char* b, const char* e) {
        QString s = decodeBytes(b, e);
        if (s.size() > MaxSheetTextLength) Bad();
        return s;
    }
    QString decodeBytes(const char* b, const char* e) {
        const qsizetype n = e - b;
        bool fits;
        QString s;
        if (!HoldsNonAscii(QByteArrayView(b, n))) {
            // Plain ASCII (nearly every item) is widened in one pass.
            s = QString(n, Qt::Uninitialized);
            char16_t* out = reinterpret_cast<char16_t*>(s.data());
            bool control = false;
            for (qsizetype k = 0; k < n; ++k) {
                out[k] = static_cast<unsigned char>(b[k]);
                control |= IsControlChar(out[k]);
            }
            fits = !control;
        } else {
            fits = DecodeText(QByteArrayView(b, n), encoding, s) && !HoldsControlChar(s);
        }
        // A text that is not of this reading's encoding reads as nothing:
        // the file is refused, or read in the other encoding (ParseSheetBytes).
        if (Q_UNLIKELY(!fits)) {
            texts.Count(false, b - file);
            s.clear();
        }
        return s;
    }

    void str(QString& s) {
        skipSpaces();
        const auto [b, e] = *p == '"' ? quotedItem() : plainItem();
        s = decode(b, e);
    }
    void flag(bool& v) {
        const auto [b, e] = plainItem();
        const size_t n = size_t(e - b);
        if (n == 6 && std::memcmp(b, "#TRUE#", 6) == 0) v = true;
        else if (n == 7 && std::memcmp(b, "#FALSE#", 7) == 0) v = false;
        else Bad();
    }

    // A whole number within [lo, hi]. Plain decimal is the fast path; any
    // other ordinary decimal form is read as a real number and rounded, a
    // half to the even neighbour.
    int64_t whole(int64_t lo, int64_t hi) {
        // Fast path: [-]digits CR LF, away from the end of the file.
        if (Q_LIKELY(end - p > 16)) {
            const char* q = p;
            const bool neg = *q == '-';
            q += neg;
            const char* digits = q;
            unsigned c = unsigned(*q - '0');
            int64_t v = 0;
            while (c < 10 && q - digits < 12) {
                v = v * 10 + c;
                c = unsigned(*++q - '0');
            }
            if (q > digits && q[0] == '\r' && q[1] == '\n') {
                p = q + 2;
                if (neg) v = -v;
                if (v < lo || v > hi) Bad();
                return v;
            }
        }
        const double d = number();
        const double r = std::nearbyint(d);
        if (!(r >= double(lo) && r <= double(hi))) Bad();
        return int64_t(r);
    }
    double number() {
        auto [b, e] = plainItem();
        if (b < e && *b == '+') ++b;
        if (b == e) Bad();
        // Only digits, sign, point and exponent: no "inf", "nan" or hex.
        for (const char* q = b; q < e; ++q) {
            const char c = *q;
            if (!(unsigned(c - '0') < 10 || c == '.' || c == '-' || c == '+' || c == 'E' || c == 'e'))
                Bad();
        }
        double d = 0;
        const auto res = std::from_chars(b, e, d, std::chars_format::general);
        if (res.ptr != e) Bad();
        if (res.ec == std::errc::result_out_of_range) return nearLimit(b, e);
        if (res.ec != std::errc() || !std::isfinite(d)) Bad();
        return d;
    }
    // The largest Double (and an infinity, stored as it) is written to 15
    // digits as 1.79769313486232E+308, a little above the largest Double:
    // such a text reads back as the largest Double. Anything further out is
    // no number this program writes.
    static double nearLimit(const char* b, const char* e) {
        long double x = 0;
        const auto res = std::from_chars(b, e, x, std::chars_format::general);
        if (res.ec != std::errc() || res.ptr != e || !(std::fabs(x) <= 1.79769313486232E+308L)) Bad();
        return std::copysign(std::numeric_limits<double>::max(), double(x > 0 ? 1 : -1));
    }

    void byte(uint8_t& v) { v = uint8_t(whole(0, 255)); }
    void i16(int16_t& v) { v = int16_t(whole(-32768, 32767)); }
    void i32(int32_t& v) {
        v = int32_t(whole(std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
    }
    void single(float& v) {
        const double d = number();
        if (std::fabs(d) > double(std::numeric_limits<float>::max())) Bad();
        v = float(d);
    }
    void dbl(double& v) { v = number(); }
    void laPresent(bool& v) { flag(v); }

    // A block of n items follows: each takes at least two bytes (a digit or
    // a quote pair's first byte, and a delimiter), so a count the rest of the
    // file cannot hold is refused before anything is allocated.
    void need(int64_t n) {
        if (n < 0 || n > (int64_t(end - p) + 1) / 2) Bad();
    }
    template <typename Arr>
    void freshTrace(Arr& a) {
        std::fill(a.begin(), a.end(), 0);
    }
    // Table cells repeat heavily (quantised levels, the same time base in
    // every table), so a cell seen before shares the text read the first
    // time instead of allocating its own copy. Tables of one sheet mostly
    // repeat row by row, so a cell's bytes are first compared with those of
    // the same row of the table before; any other cell is looked up among
    // all cells read so far. A column equal to the one before in every row
    // (as the time column mostly is) shares that whole list: its own is
    // only made at the first row that differs.
    void sizeList(QStringList& list, int64_t n, TableColumn column) {
        Column& col = columns[column];
        col.previous = col.current;
        col.current = &list;
        col.following = n > 0 && col.previous && col.previous->size() == n;
        if (col.rows.size() < size_t(n)) col.rows.resize(size_t(n));
        list.clear();
        if (!col.following) list.resize(qsizetype(n));
    }
    void listStr(QStringList& list, int64_t j, TableColumn column) {
        Column& col = columns[column];
        skipSpaces();
        const auto [b, e] = *p == '"' ? quotedItem() : plainItem();
        Cell& above = col.rows[size_t(j)];
        const bool same = col.previous && j < col.previous->size() && above.e - above.b == e - b &&
                          SameBytes(above.b, b, size_t(e - b));
        above = Cell{b, e};
        if (col.following) {
            if (same) return;
            // The first row that differs: the rows above it are the table before's.
            col.following = false;
            list.resize(col.previous->size());
            std::copy(col.previous->cbegin(), col.previous->cbegin() + qsizetype(j), list.begin());
        }
        // The list was sized here and is this reader's alone.
        QString& s = const_cast<QString*>(list.constData())[j];
        if (same) {
            s = col.previous->at(qsizetype(j));
            return;
        }
        auto decodeCell = [this](const char* tb, const char* te) { return decode(tb, te); };
        cells.read(s, b, e, decodeCell);
    }
    void endList(QStringList& list, TableColumn column) {
        if (columns[column].following) list = *columns[column].previous;
    }
    SharedCells cells;
    // The bytes of one cell in the file.
    struct Cell {
        const char* b = nullptr;
        const char* e = nullptr;
    };
    // The table being read and the one before it, by column; `rows` holds
    // the bytes of each row's cell, of the table before up to the row being
    // read and of this table from there on. `following`: every row read so
    // far equals the table before's, and the list is not made yet.
    struct Column {
        const QStringList* current = nullptr;
        const QStringList* previous = nullptr;
        std::vector<Cell> rows;
        bool following = false;
    };
    Column columns[2];
    void sizeVec(std::vector<int16_t>& v, int64_t n) { v.assign(size_t(n), 0); }
    Q_ALWAYS_INLINE void vecI16(std::vector<int16_t>& v, int64_t j) { v[size_t(j)] = int16_t(whole(-32768, 32767)); }

    template <typename S>
    void checkCounts(const S& s) {
        // Counts beyond what the add procedures allow are never written by
        // this program; such a file is damaged.
        if (s.WaveCount < 0 || s.WaveCount > MaxWaveViews || s.MeasureCount < 0 ||
            s.MeasureCount > MaxMeasureViews || s.DataCount < 0 || s.DataCount > MaxDataViews ||
            s.RecordCount < 0 || s.RecordCount > MaxRecordViews || s.MemWaveCount < 0 ||
            s.MemWaveCount > MaxMemWaveViews)
            Bad();
    }
};

// One reading of the file, its texts in `encoding`; `texts` says which of
// them are not of it.
bool ParseWith(const QByteArray& bytes, SheetModelData& into, TextEncoding encoding, const QString& expectedHeader,
               TextReading& texts) {
    const char* b = bytes.constData();
    const char* e = b + bytes.size();
    if (e - b >= 3 && std::memcmp(b, "\xEF\xBB\xBF", 3) == 0) b += 3;  // a UTF-8 mark
    SheetReader r(bytes.constData(), b, e, encoding);
    QString header;
    r.str(header);
    if (header != expectedHeader) return false;
    const SheetReader::ItemEnd lineEnd = r.lastEnd(b);
    r.str(into.SheetName);
    SheetBody(r, into);
    // The writer ends every item with its line end, so a last item without
    // one is a file cut short ("100" cut to "10"); so is a lone CR where the
    // lines end in CR LF.
    using End = SheetReader::ItemEnd;
    const End last = r.lastEnd(b);
    if (!(last == End::CrLf || last == End::Lf || (last == End::Cr && lineEnd == End::Cr))) Bad();
    for (int i = 0; i < std::min<int>(into.WaveCount, WaveSlots); ++i)
        UpdateWaveNumbers(into.WaveViews[size_t(i)]);
    texts = r.texts;
    return true;
}

}  // namespace

QByteArray SheetSingleText(float v) {
    std::string s;
    AppendReal(s, v, 7);
    return QByteArray::fromStdString(s);
}

QByteArray SheetDoubleText(double v) {
    std::string s;
    AppendReal(s, v, 15);
    return QByteArray::fromStdString(s);
}

QString SheetFileHeader() {
    return Shell().MakerName + QLatin1Char(' ') + Shell().ModelName + QLatin1String(" Data Sheet");
}

bool IsStorableName(const QString& name) {
    return !name.contains(QLatin1Char('"')) && !HoldsControlChar(name);
}

namespace {
void WriteSheet(SheetWriter& w, const SheetModelData& sheet, bool laPresent) {
    w.laPresentValue = laPresent;
    w.str(SheetFileHeader());
    w.str(sheet.SheetName);
    SheetBody(w, sheet);
}
}  // namespace

QByteArray SheetFileText(const SheetModelData& sheet, bool laPresent) {
    SheetWriter w;
    WriteSheet(w, sheet, laPresent);
    return w.take();
}

namespace {
// The parse, given the header line a sheet of this model starts with (read
// once by the caller: a read ahead parses on a thread of its own).
// The file is read as UTF-8; when some of its texts are not, it is read
// again as GB18030, and the two readings choose the file's encoding
// (ChooseTextEncoding): the reading that stands, or the damaged text
// `damage` names.
bool ParseSheetBytes(const QByteArray& bytes, SheetModelData& into, const QString& header,
                     SheetDamage* damage) {
    try {
        TextReading utf8, gb18030;
        if (!ParseWith(bytes, into, TextEncoding::Utf8, header, utf8)) return false;
        if (utf8.damaged && !ParseWith(bytes, into, TextEncoding::Gb18030, header, gb18030)) return false;
        const TextEncodingChoice choice = ChooseTextEncoding(utf8, gb18030);
        if (choice.damagedAt < 0) return true;  // `into` holds the last reading, the chosen one
        if (damage) damage->textLine = LineOf(bytes, choice.damagedAt);
        return false;
    } catch (const BadFile&) {
        return false;
    }
}
}  // namespace

bool ParseSheetFile(const QByteArray& bytes, SheetModelData& into, SheetDamage* damage) {
    return ParseSheetBytes(bytes, into, SheetFileHeader(), damage);
}

SheetFileHooksData& SheetFileHooks() {
    static SheetFileHooksData hooks;
    return hooks;
}

bool WriteDataSheet(const QString& path) {
    SheetModelData& s = Sheets();
    // A replaying Record view is stored paused, and stays paused.
    for (int i = 0; i < s.RecordCount && i < RecordSlots; ++i) {
        RecordInfo& r = s.RecordViews[i];
        if (r.ReplayStatus == 0 && r.DisplayActive) {
            const auto& pause = SheetFileHooks().RecordReplayPause;
            if (RequireHook(pause, "record view pause")) pause(i);
            r.ReplayStatus = 1;
        }
    }
    QString error;
    const bool saved = SaveFileWhole(
        path,
        [&s](QIODevice& file) {
            SheetWriter w;
            w.device = &file;
            WriteSheet(w, s, Link().LAPresent);
            return w.finish();
        },
        &error);
    if (!saved) MsgBox(error, vbCritical);
    return saved;
}

namespace {
// ParseSheetFile, with a file too large for the memory at hand counted as
// unreadable rather than ending the application.
bool ParseSheetFileGuarded(const QByteArray& bytes, SheetModelData& into, const QString& header,
                           SheetDamage* damage) {
    try {
        return ParseSheetBytes(bytes, into, header, damage);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// Reads the sheet file at path into `into`, given the header line a sheet of
// this model starts with. Only a regular file of a size the format can hold
// is opened: a device (/dev/zero), a named pipe or a folder is refused before
// it is opened, so nothing blocks or reads without end. A file that another
// program changed while it was read is refused too, whatever its parse gave.
ReadRefusal ReadSheetFile(const QString& path, SheetModelData& into, const QString& header) {
    FileContents file;
    QString reason;
    if (!file.open(path, MaxSheetFileBytes, MaxSheetFileBytes, &reason)) return ReadRefusal::Unopened(reason);
    SheetDamage damage;
    const bool parsed = ParseSheetFileGuarded(file.bytes(), into, header, &damage);
    if (file.changed()) return {ReadRefusal::Changed, {}};
    if (parsed) return {};
    if (damage.textLine > 0)
        return {ReadRefusal::NotTheFormat, MessageTable().MsgTextDamaged.arg(damage.textLine)};
    return {ReadRefusal::NotTheFormat, {}};
}
}  // namespace

bool IsReadableSheetFile(const QString& path) {
    auto scratch = std::make_unique<SheetModelData>();
    return !ReadSheetFile(path, *scratch, SheetFileHeader()).refused();
}

namespace {

// What a read ahead must find unchanged when its result is taken. The read
// depends on the open sheet only through the records it fills (their fields
// the file does not hold); the commit takes the name and counts from the
// file. An empty sheet that was not changed since (a new untitled sheet
// included) has the records it had when the read started.
struct SheetStamp {
    std::array<int16_t, 5> counts{};
    bool modified = false;
    bool operator==(const SheetStamp& o) const { return counts == o.counts && modified == o.modified; }
};
SheetStamp StampOf(const SheetModelData& s) {
    return {{s.WaveCount, s.MeasureCount, s.DataCount, s.RecordCount, s.MemWaveCount}, s.SheetModified};
}
bool IsEmptySheet(const SheetStamp& st) {
    return !st.modified && std::all_of(st.counts.begin(), st.counts.end(), [](int16_t c) { return c == 0; });
}

struct SheetReadAhead {
    QString path;
    FileStamp file;
    SheetStamp sheet;
    // The parsed copy, or null when the file could not be read or parsed.
    std::future<std::unique_ptr<SheetModelData>> result;
};

std::unique_ptr<SheetReadAhead>& PendingReadAhead() {
    static std::unique_ptr<SheetReadAhead> pending;
    // A read ahead never taken is waited for when the application object
    // goes, before anything the parse uses is torn down.
    static const bool waitsAtExit = [] {
        if (QCoreApplication::instance()) qAddPostRoutine([] { PendingReadAhead().reset(); });
        return true;
    }();
    (void)waitsAtExit;
    return pending;
}

// The read ahead's result for path when it may stand for a read made now;
// null otherwise. Any read ahead is used up (its thread waited for).
std::unique_ptr<SheetModelData> TakeReadAhead(const QString& path) {
    std::unique_ptr<SheetReadAhead> ahead = std::move(PendingReadAhead());
    if (!ahead) return nullptr;
    std::unique_ptr<SheetModelData> read = ahead->result.get();
    if (!read || ahead->path != path || !(ahead->sheet == StampOf(Sheets())) ||
        !(ahead->file == StampOfFile(path)))
        return nullptr;
    return read;
}

}  // namespace

void ReadDataSheetAhead(const QString& path) {
    PendingReadAhead().reset();
    const SheetStamp sheet = StampOf(Sheets());
    if (!IsEmptySheet(sheet)) return;
    auto ahead = std::make_unique<SheetReadAhead>();
    ahead->path = path;
    ahead->sheet = sheet;
    // The stamp is taken before the read, so a file written meanwhile is
    // read again.
    ahead->file = StampOfFile(path);
    // The scratch copy starts as the open sheet, as a direct read's does.
    auto scratch = std::make_unique<SheetModelData>(Sheets());
    try {
        ahead->result = std::async(std::launch::async, [path, header = SheetFileHeader(),
                                                        scratch = std::move(scratch)]() mutable {
            if (ReadSheetFile(path, *scratch, header).refused()) return std::unique_ptr<SheetModelData>();
            return std::move(scratch);
        });
    } catch (const std::system_error&) {
        return;  // no thread to spare: the file is read when it is opened
    }
    PendingReadAhead() = std::move(ahead);
}

std::unique_ptr<SheetModelData> ParseDataSheetFile(const QString& path) {
    if (std::unique_ptr<SheetModelData> ahead = TakeReadAhead(path)) return ahead;
    // The scratch copy starts as the open sheet, so fields the file does not
    // hold keep their values exactly as a direct read would keep them.
    auto scratch = std::make_unique<SheetModelData>(Sheets());
    if (const ReadRefusal refused = ReadSheetFile(path, *scratch, SheetFileHeader()); refused.refused()) {
        MsgBox(ReadRefusalText(refused, MessageTable().MsgBadSheetFile), vbCritical);
        return nullptr;
    }
    return scratch;
}

namespace {
// A record of the file replaces the open one; what the view's window and
// refresh own now stays theirs.
template <typename Record>
void Commit(Record& live, Record&& read) {
    const bool open = live.WindowOpen, refresh = live.AutoRefresh;
    live = std::move(read);
    live.WindowOpen = open;
    live.AutoRefresh = refresh;
}
void Commit(RecordInfo& live, RecordInfo&& read) {
    const bool open = live.WindowOpen;
    live = std::move(read);
    live.WindowOpen = open;
}
void Commit(MemWaveInfo& live, MemWaveInfo&& read) {
    const bool open = live.WindowOpen;
    live = std::move(read);
    live.WindowOpen = open;
}
}  // namespace

void BoundReplayFields(RecordInfo& r) {
    const int held = int(qMin<size_t>(r.Samples.size() / RecordFrameSamples, 32767));
    if (r.FrameCount < 1 || held < 1) {
        // No frame to show: the frame fields wait for the next load.
        r.Loaded = false;
        r.DisplayActive = false;
    } else {
        r.StartFrame = 1;
        r.FrameCount = int16_t(qMin<int>(r.FrameCount, held));
        r.CurrentFrame = int16_t(qBound(1, int(r.CurrentFrame), int(r.FrameCount)));
    }
    if (r.ReplayStatus > 2) r.ReplayStatus = 1;
    if (!std::isfinite(r.FrameInterval) || r.FrameInterval <= 0) r.FrameInterval = 0.05;
    r.FrameInterval = qBound(0.001, r.FrameInterval, 60.0);
}

void CommitDataSheet(SheetModelData&& read) {
    SheetModelData& s = Sheets();
    for (int i = 0; i < read.RecordCount && i < RecordSlots; ++i) BoundReplayFields(read.RecordViews[size_t(i)]);
    s.SheetName = read.SheetName;
    s.WaveCount = read.WaveCount;
    s.MeasureCount = read.MeasureCount;
    s.DataCount = read.DataCount;
    s.RecordCount = read.RecordCount;
    s.MemWaveCount = read.MemWaveCount;
    for (int i = 0; i < s.WaveCount; ++i) Commit(s.WaveViews[size_t(i)], std::move(read.WaveViews[size_t(i)]));
    for (int i = 0; i < s.MeasureCount; ++i)
        Commit(s.MeasureViews[size_t(i)], std::move(read.MeasureViews[size_t(i)]));
    for (int i = 0; i < s.DataCount; ++i) Commit(s.DataViews[size_t(i)], std::move(read.DataViews[size_t(i)]));
    for (int i = 0; i < s.RecordCount; ++i)
        Commit(s.RecordViews[size_t(i)], std::move(read.RecordViews[size_t(i)]));
    for (int i = 0; i < s.MemWaveCount; ++i)
        Commit(s.MemWaveViews[size_t(i)], std::move(read.MemWaveViews[size_t(i)]));
}

bool ReadDataSheet(const QString& path) {
    std::unique_ptr<SheetModelData> read = ParseDataSheetFile(path);
    if (!read) return false;
    CommitDataSheet(std::move(*read));
    return true;
}
