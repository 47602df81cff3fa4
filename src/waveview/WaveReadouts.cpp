#include "waveview/WaveReadouts.h"

#include <cmath>

#include "screen/ScreenContent.h"

namespace {
// The number of a scale text; none for an empty text.
std::optional<double> scaleOf(const QString& text, double value) {
    if (text.isEmpty()) return std::nullopt;
    return std::isfinite(value) ? value : 0.0;
}
}  // namespace

bool WaveReadouts::Split() const { return w_.SplitDisplay; }

bool WaveReadouts::TwoTimeBases() const {
    return w_.TriggerMode == QLatin1String("ALTERNATION");
}

bool WaveReadouts::XYPlot() const { return w_.XYFormat; }

std::optional<double> WaveReadouts::SecondsPerDiv(Span span) const {
    switch (span) {
        case Span::Upper: return scaleOf(w_.AltCh1TimeScale, w_.Numbers.AltCh1TimeScale);
        case Span::Lower: return scaleOf(w_.AltCh2TimeScale, w_.Numbers.AltCh2TimeScale);
        case Span::Whole: break;
    }
    return scaleOf(w_.TimeScale, w_.Numbers.TimeScale);
}

std::optional<double> WaveReadouts::VoltsPerDiv(int channel) const {
    return channel == 1 ? scaleOf(w_.Ch1Scale, w_.Numbers.Ch1ReadoutScale)
                        : scaleOf(w_.Ch2Scale, w_.Numbers.Ch2ReadoutScale);
}

std::optional<ReadoutSource::FftScales> WaveReadouts::Fft() const {
    if (!w_.MathChosen || !IsOnWordOf(w_.FftDisplayWord, onWord_)) return std::nullopt;
    const SystemDataRecord& sd = w_.SystemData;
    FftScales f;
    f.LowerHalf = sd.FFTLowerHalf != 0;
    // The scale as its 7 significant digits read (a 0.1 counts as 0.1).
    f.HzPerDiv = w_.Numbers.FftHzPerDiv;
    f.Db = sd.FFTScaleDb != 0;
    f.DbPerDiv = sd.FFTDbPerDiv;
    f.VrmsPerDiv = double(sd.FFTVrmsPerDiv);
    return f;
}

QList<ReadoutLine> CursorReadouts(const CursorState& s, const WaveInfo& w, const ReadoutOptions& o,
                                  const CursorColours& c) {
    return CursorReadouts(s, WaveReadouts(w), o, c);
}
