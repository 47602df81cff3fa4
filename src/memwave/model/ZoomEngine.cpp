#include "memwave/model/ZoomEngine.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "common/SheetModel.h"
#include "link/ScaleSteps.h"
#include "memwave/model/WaveformFile.h"

namespace {

constexpr int ScreenColumns = 300;
constexpr int LogicWindowLimit = 524288;
constexpr float FastLogicRate = 200000000.0f;
constexpr double FastLogicTimeValue = 2e-7;
// Far below any real fraction of a column, far above the rounding of the
// position's arithmetic (about 1e-13 of a column on the screen).
constexpr double ColumnEdgeTolerance = 1e-9;

bool IsAlternation(const MemWaveInfo& rec) { return rec.TriggerMode == QLatin1String("ALTERNATION"); }

// Smallest i in lo..hi with Position(i) >= pos, or hi + 1 when there is none.
// Positions grow with i, so a guess from the inverse formula is corrected by
// a few steps; a guess that is far off falls back to bisection.
int64_t FirstAtOrAbove(const ZoomTimeBase& tb, double pos, int64_t lo, int64_t hi) {
    if (lo > hi) return lo;
    const double guess = double(tb.Middle()) +
                         ((pos - 150.0) * tb.TimeDiv / 25.0 - (tb.AcqDelay - tb.Delay)) * double(tb.Rate);
    int64_t i = !std::isfinite(guess) ? lo
                : guess <= double(lo)     ? lo
                : guess >= double(hi + 1) ? hi + 1
                                          : int64_t(std::ceil(guess));
    for (int step = 0; step < 4 && std::isfinite(guess); ++step) {
        if (i > lo && tb.Position(i - 1) >= pos) {
            --i;
        } else if (i <= hi && tb.Position(i) < pos) {
            ++i;
        } else {
            return i;
        }
    }
    // Bisection over lo..hi + 1 for the first position at or above pos.
    int64_t a = lo, b = hi + 1;
    while (a < b) {
        const int64_t m = a + (b - a) / 2;
        if (tb.Position(m) >= pos) b = m; else a = m + 1;
    }
    return a;
}

// The column loops below read every sample once and do little with it, so
// they work on blocks of Lanes samples (one 128-bit register of 16-bit codes)
// held in the compiler's vector type: each operation on a block is one vector
// instruction whatever the optimisation level. (A loop over a plain array of
// eight lanes is vectorised at -O2, but -O3 vectorises it a second time,
// across blocks, and runs several times the instructions.) The lanes are
// folded into one value at the end and the remainder is done one by one.
constexpr int Lanes = 8;

#if defined(__GNUC__)
typedef int16_t Block __attribute__((vector_size(2 * Lanes)));
typedef uint16_t UBlock __attribute__((vector_size(2 * Lanes)));

template <typename B>
B LoadBlock(const int16_t* p) {
    B b;
    std::memcpy(&b, p, sizeof b);
    return b;
}
#endif

// Minimum and maximum of p[0..count-1] (count >= 1).
void MinMax(const int16_t* p, int64_t count, int16_t& mn, int16_t& mx) {
    int16_t lo = p[0], hi = p[0];
    int64_t j = 1;
#if defined(__GNUC__)
    if (count >= Lanes) {
        Block los = LoadBlock<Block>(p), his = los;
        for (j = Lanes; j + Lanes <= count; j += Lanes) {
            const Block b = LoadBlock<Block>(p + j);
            los = b < los ? b : los;
            his = b > his ? b : his;
        }
        for (int k = 0; k < Lanes; ++k) {
            lo = los[k] < lo ? los[k] : lo;
            hi = his[k] > hi ? his[k] : hi;
        }
    }
#endif
    for (; j < count; ++j) {
        lo = p[j] < lo ? p[j] : lo;
        hi = p[j] > hi ? p[j] : hi;
    }
    mn = lo;
    mx = hi;
}

// OR and AND of the bits of p[0..count-1].
void OrAnd(const int16_t* p, int64_t count, uint16_t& orAll, uint16_t& andAll) {
    uint16_t o = 0, a = 0xFFFF;
    int64_t j = 0;
#if defined(__GNUC__)
    if (count >= Lanes) {
        UBlock os = LoadBlock<UBlock>(p), as = os;
        for (j = Lanes; j + Lanes <= count; j += Lanes) {
            const UBlock b = LoadBlock<UBlock>(p + j);
            os |= b;
            as &= b;
        }
        for (int k = 0; k < Lanes; ++k) {
            o |= os[k];
            a &= as[k];
        }
    }
#endif
    for (; j < count; ++j) {
        o |= uint16_t(p[j]);
        a &= uint16_t(p[j]);
    }
    orAll = o;
    andAll = a;
}

// Walks the columns of a window: for each column, the samples a..b-1 that
// fall on it (a == b: none; the column then repeats sample a - 1).
template <typename Column>
void WalkColumns(const ZoomTimeBase& tb, const ZoomWindow& w, Column column) {
    int64_t i = w.Start;
    for (int c = w.First; c <= w.Last; ++c) {
        const int64_t next = c == w.Last ? int64_t(w.End) + 1 : FirstAtOrAbove(tb, c + 1, i, w.End);
        column(2 * (c - w.First), i, next);
        i = next;
    }
}

ZoomTimeBase AnalogueTimeBase(const MemWaveInfo& r, int channel) {
    if (!IsAlternation(r)) return {r.SampleRate, r.MemoryPointCount, r.DelayTime, r.AcqDelayTime, r.TimePerDiv};
    if (channel == 0)
        return {r.AltCh1SampleRate, r.AltCh1PointCount, r.AltCh1DelayTime, r.AltCh1AcqDelayTime,
                r.AltCh1TimePerDiv};
    return {r.AltCh2SampleRate, r.AltCh2PointCount, r.AltCh2DelayTime, r.AltCh2AcqDelayTime,
            r.AltCh2TimePerDiv};
}

ZoomTimeBase LogicTimeBase(const MemWaveInfo& r) {
    const float rate = r.LaTimeValue <= FastLogicTimeValue ? FastLogicRate : r.SampleRate;
    return {rate, std::min(r.MemoryPointCount, int32_t(LogicWindowLimit)), r.DelayTime, r.AcqDelayTime,
            r.TimePerDiv};
}

void GetScreenWindow(MemWaveInfo& r) {
    SystemDataRecord& sd = r.ScreenData;
    if (!IsAlternation(r)) {
        const ZoomWindow w = ComputeZoomWindow(AnalogueTimeBase(r, 0));
        r.Ch1Start = w.Start;
        r.Ch1End = w.End;
        r.Ch1ZoomFirst = w.First;
        r.Ch1ZoomLast = w.Last;
        sd.TraceFirstX = w.First;
        sd.TraceLastX = w.Last;
        return;
    }
    const ZoomWindow w1 = ComputeZoomWindow(AnalogueTimeBase(r, 0));
    r.Ch1Start = w1.Start;
    r.Ch1End = w1.End;
    r.Ch1ZoomFirst = w1.First;
    r.Ch1ZoomLast = w1.Last;
    sd.UpperFirstX = w1.First;
    sd.UpperLastX = w1.Last;
    const ZoomWindow w2 = ComputeZoomWindow(AnalogueTimeBase(r, 1));
    r.Ch2Start = w2.Start;
    r.Ch2End = w2.End;
    r.Ch2ZoomFirst = w2.First;
    r.Ch2ZoomLast = w2.Last;
    sd.LowerFirstX = w2.First;
    sd.LowerLastX = w2.Last;
}

// Returns 1 when points were produced.
int ZoomWave(MemWaveInfo& r, int channel) {
    const bool alt = IsAlternation(r);
    const bool present = channel == 0 ? r.HasCh1 : r.HasCh2;
    const std::vector<int16_t>& memory = channel == 0 ? r.Ch1Memory : r.Ch2Memory;
    auto& screen = channel == 0 ? r.Ch1Screen : r.Ch2Screen;
    // An absent channel's array is empty or holds an earlier file's samples.
    if (!present) return 0;
    ZoomWindow w;
    if (!alt || channel == 0) {
        w.Start = r.Ch1Start;
        w.End = r.Ch1End;
        w.First = alt ? r.ScreenData.UpperFirstX : r.ScreenData.TraceFirstX;
        w.Last = alt ? r.ScreenData.UpperLastX : r.ScreenData.TraceLastX;
    } else {
        w.Start = r.Ch2Start;
        w.End = r.Ch2End;
        w.First = r.ScreenData.LowerFirstX;
        w.Last = r.ScreenData.LowerLastX;
    }
    if (w.First > w.Last || w.Last >= ScreenColumns || w.First < 0) return 0;
    const ZoomTimeBase tb = AnalogueTimeBase(r, channel);
    // Never past the last sample, whatever the memory's length (a record
    // restored from a sheet holds no trailing element).
    if (w.Start < 0 || w.End < w.Start || int64_t(w.End) >= std::min<int64_t>(tb.Count, int64_t(memory.size())))
        return 0;
    const int count = 2 * (w.Last - w.First + 1);
    ZoomAnalogueColumns(memory.data(), tb, w, screen.data());
    const float acqVolts = channel == 0 ? r.Ch1AcqVoltsPerDiv : r.Ch2AcqVoltsPerDiv;
    const int16_t acqRaw = channel == 0 ? r.Ch1AcqOffsetCode : r.Ch2AcqOffsetCode;
    RescaleToRows(screen.data(), count, channel == 0 ? r.Ch1VoltsPerDiv : r.Ch2VoltsPerDiv,
                  channel == 0 ? r.Ch1OffsetVolts : r.Ch2OffsetVolts, acqVolts,
                  PointsToValue(acqRaw, acqVolts));
    // The entry after the last point repeats it (a trace that reads one
    // further stays flat).
    if (count < int(screen.size())) screen[size_t(count)] = screen[size_t(count) - 1];
    return 1;
}

void ZoomLaWave(MemWaveInfo& r) {
    SystemDataRecord& sd = r.ScreenData;
    ZoomWindow w{r.LaStart, r.LaEnd, sd.LAFirstX, sd.LALastX};
    if (w.First > w.Last || w.Last >= ScreenColumns || w.First < 0 || w.Start < 0) return;
    const ZoomTimeBase tb = LogicTimeBase(r);
    // Only the words the block really filled take part.
    const int64_t real = std::min<int64_t>(LogicSampleCount(r), int64_t(r.LaMemory.size()));
    if (int64_t(w.End) >= real) {
        w.End = int32_t(real - 1);
        if (w.End < w.Start) {
            // Nothing of the logic record lies on the screen.
            r.LaEnd = w.End;
            sd.LALastX = r.LaZoomLast = int16_t(w.First - 1);
            return;
        }
        w.Last = int16_t(std::floor(tb.Position(w.End)));
        r.LaEnd = w.End;
        sd.LALastX = r.LaZoomLast = w.Last;
    }
    ZoomLogicColumns(r.LaMemory.data(), tb, w, r.LaScreen.data());
}

}  // namespace

bool ZoomTimeBase::Valid() const {
    return Count > 0 && std::isfinite(Rate) && Rate > 0 && std::isfinite(TimeDiv) && TimeDiv > 0 &&
           std::isfinite(Delay) && std::isfinite(AcqDelay);
}

int64_t ZoomTimeBase::Middle() const { return int64_t(std::nearbyint(double(Count) / 2.0)); }

double ZoomTimeBase::Position(int64_t i) const {
    const double x = 150.0 + (double(i - Middle()) / double(Rate) + (AcqDelay - Delay)) * (25.0 / TimeDiv);
    // Time values such as 25 us have no exact binary form: a sample meant to
    // lie on a column's edge comes out a few ulps to either side of it. A
    // position that close to a whole column is on it, so that one sample a
    // column maps every sample to its own column.
    const double edge = std::nearbyint(x);
    return std::fabs(x - edge) <= ColumnEdgeTolerance ? edge : x;
}

ZoomWindow ComputeZoomWindow(const ZoomTimeBase& tb) {
    ZoomWindow w;
    if (!tb.Valid()) return w;
    const int64_t last = int64_t(tb.Count) - 1;
    const int64_t start = FirstAtOrAbove(tb, 0.0, 0, last);
    const int64_t end = FirstAtOrAbove(tb, double(ScreenColumns), start, last) - 1;
    if (start > end) return w;
    const double first = std::floor(tb.Position(start)), lastColumn = std::floor(tb.Position(end));
    if (!(first >= 0 && lastColumn < ScreenColumns && first <= lastColumn)) return w;
    w.Start = int32_t(start);
    w.End = int32_t(end);
    w.First = int16_t(first);
    w.Last = int16_t(lastColumn);
    return w;
}

void ZoomAnalogueColumns(const int16_t* memory, const ZoomTimeBase& tb, const ZoomWindow& w, int16_t* out) {
    WalkColumns(tb, w, [&](int k, int64_t a, int64_t b) {
        if (a == b) {
            out[k] = out[k + 1] = memory[a - 1];
            return;
        }
        int16_t mn, mx;
        MinMax(memory + a, b - a, mn, mx);
        const bool rising = memory[a] <= memory[b - 1];
        out[k] = rising ? mn : mx;
        out[k + 1] = rising ? mx : mn;
    });
}

void ZoomLogicColumns(const int16_t* memory, const ZoomTimeBase& tb, const ZoomWindow& w, int16_t* out) {
    const int64_t samples = int64_t(w.End) - w.Start + 1;
    const int points = 2 * (w.Last - w.First + 1);
    if (samples == points) {  // one sample per point, as they are
        std::copy(memory + w.Start, memory + w.End + 1, out);
        return;
    }
    WalkColumns(tb, w, [&](int k, int64_t a, int64_t b) {
        if (a == b) {
            out[k] = out[k + 1] = memory[a - 1];
            return;
        }
        uint16_t orAll, andAll;
        OrAnd(memory + a, b - a, orAll, andAll);
        const uint16_t first = uint16_t(memory[a]), last = uint16_t(memory[b - 1]);
        const uint16_t varying = orAll ^ andAll;
        out[k] = int16_t(first);
        out[k + 1] = int16_t(uint16_t(last ^ (varying & uint16_t(~(first ^ last)))));
    });
}

void RescaleToRows(int16_t* points, int count, float voltsDiv, float offsetVolts, float acqVoltsDiv,
                   float acqOffsetVolts) {
    const bool scale = std::isfinite(voltsDiv) && voltsDiv != 0 && std::isfinite(acqVoltsDiv) &&
                       acqVoltsDiv != 0 && std::isfinite(offsetVolts) && std::isfinite(acqOffsetVolts);
    const double g = 100.0 - double(acqOffsetVolts) / double(acqVoltsDiv) * 25.0;
    const double g2 = 100.0 - double(offsetVolts) / double(voltsDiv) * 25.0;
    const double ratio = double(acqVoltsDiv) / double(voltsDiv);
    for (int k = 0; k < count; ++k) {
        double code = points[k];
        if (scale) code = std::nearbyint(g2 + (code - 25.0 - g) * ratio) + 25.0;
        points[k] = int16_t(std::clamp(code, 25.0, 224.0) - 25.0);
    }
}

int64_t LogicSampleCount(const MemWaveInfo& rec) {
    const int64_t n = rec.MemoryPointCount;
    if (n <= 0) return 0;
    return n < WaveformLaFullFrom ? (n + 1) / 2 : n;
}

void RefreshScreenWave(MemWaveInfo& rec, uint8_t selector) {
    GetScreenWindow(rec);
    if (selector == ZoomCh1) {
        ZoomWave(rec, 0);
    } else if (selector == ZoomCh2) {
        ZoomWave(rec, 1);
    } else if (selector == ZoomAllTraces) {
        if (rec.HasCh1) ZoomWave(rec, 0);
        if (rec.HasCh2) ZoomWave(rec, 1);
        if (rec.HasLa) {
            const ZoomWindow w = ComputeZoomWindow(LogicTimeBase(rec));
            rec.LaStart = w.Start;
            rec.LaEnd = w.End;
            rec.LaZoomFirst = w.First;
            rec.LaZoomLast = w.Last;
            rec.ScreenData.LAFirstX = w.First;
            rec.ScreenData.LALastX = w.Last;
            ZoomLaWave(rec);
        }
    }
}
