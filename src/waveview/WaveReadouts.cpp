#include "waveview/WaveReadouts.h"

#include <cmath>

#include "link/ReplyParse.h"
#include "link/Vocabulary.h"

namespace {
std::optional<double> scaleOf(const QString& text, double (*parse)(const QString&)) {
    if (text.isEmpty()) return std::nullopt;
    const double v = parse(text);
    return std::isfinite(v) ? v : 0.0;
}
}  // namespace

bool WaveReadouts::Split() const { return w_.SplitDisplay; }

bool WaveReadouts::TwoTimeBases() const {
    return w_.TriggerMode == QLatin1String("ALTERNATION");
}

bool WaveReadouts::XYPlot() const { return w_.XYFormat; }

std::optional<double> WaveReadouts::SecondsPerDiv(Span span) const {
    switch (span) {
        case Span::Upper: return scaleOf(w_.AltCh1TimeScale, ParseTime);
        case Span::Lower: return scaleOf(w_.AltCh2TimeScale, ParseTime);
        case Span::Whole: break;
    }
    return scaleOf(w_.TimeScale, ParseTime);
}

std::optional<double> WaveReadouts::VoltsPerDiv(int channel) const {
    return scaleOf(channel == 1 ? w_.Ch1Scale : w_.Ch2Scale, ParseVolt2);
}

std::optional<ReadoutSource::FftScales> WaveReadouts::Fft() const {
    const QString& word = w_.FftDisplayWord;
    if (!w_.MathChosen || word.isEmpty() || !(word == onWord_ || IsOnWordOfEitherLanguage(word)))
        return std::nullopt;
    const SystemDataRecord& sd = w_.SystemData;
    FftScales f;
    f.LowerHalf = sd.FFTLowerHalf != 0;
    // The scale as its 7 significant digits read (a 0.1 counts as 0.1).
    f.HzPerDiv = QString::number(double(sd.FFTHzPerDiv), 'g', 7).toDouble();
    f.Db = sd.FFTScaleDb != 0;
    f.DbPerDiv = sd.FFTDbPerDiv;
    f.VrmsPerDiv = double(sd.FFTVrmsPerDiv);
    return f;
}

QList<ReadoutLine> CursorReadouts(const CursorState& s, const WaveInfo& w, const ReadoutOptions& o,
                                  const CursorColours& c) {
    return CursorReadouts(s, WaveReadouts(w), o, c);
}
