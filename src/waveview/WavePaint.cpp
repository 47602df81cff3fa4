#include "waveview/WavePaint.h"

#include <QLine>
#include <QPainter>
#include <QPoint>
#include <QVector>
#include <cmath>

#include "common/DSOSettings.h"
#include "link/Formatters.h"
#include "link/LinkState.h"
#include "link/Vocabulary.h"
#include "screen/Graticule.h"
#include "screen/LogicLine.h"
#include "screen/Markers.h"
#include "screen/ScreenContent.h"

QFont WaveDrawOptions::DefaultWaveFont() { return DefaultScreenFont(); }

WaveDrawOptions CurrentWaveDrawOptions(double zoom) {
    WaveDrawOptions o;
    o.Zoom = zoom;
    o.OnWord = ValueWord(vwOn);
    o.ModelEU = Link().ModelEU;
    o.LiveFftDisplayWord = DSOSettings().FFTDisplay;
    o.LiveFftFullScreen = Link().SystemDataBuf[37];
    return o;
}

GraticuleStyle GraticuleOf(const WaveInfo& w) {
    return {w.ColorDisplay, w.ShowGrid, w.SplitDisplay};
}

namespace {
const QString Alternation = QStringLiteral("ALTERNATION");

// ---------------------------------------------------------------------------
// Markers and labels.

// The trigger point's screen column; a time/div that reads 0 gives no
// number, which places the left arrow.
double TriggerColumn(double scale, double delay) {
    if (scale == 0 || !std::isfinite(scale)) return std::nan("");
    return 150 - delay / scale * 25;
}

void DrawChannelMark(ScreenPen& pen, bool ch1, double offset, double scale,
                     const QString& scaleText, const QString& trig, bool fftOn, uint8_t fftFull) {
    const double z = pen.Z();
    const bool alt = trig == Alternation;
    const bool fftSplit = fftOn && fftFull == 0;
    const double d = (alt || fftSplit) ? 2 : 1;
    const double y = 100 - offset / scale * 25;
    const QString label = (ch1 ? "CH1 " : "CH2 ") + scaleText;
    if (y > 0 && y < 200) {
        const double h = (!ch1 && alt) ? pen.Geo().HalfShift() : 0;
        DrawChannelMarker(pen, ch1, MarkPlace::OnScreen, y / d * z + (h + 25) - 5, label);
    } else if (y >= 200) {
        // Bottom of the channel's area; CH2 on a screen split for the FFT
        // lies in the upper half like its marker and trace.
        const double bottom = ch1 ? 200 / d : (alt ? 200 : (fftSplit ? 100 : 200));
        DrawChannelMarker(pen, ch1, MarkPlace::Below, bottom * z + 25 - 13 - 2, label);
    } else {  // y <= 0 or not a number
        const double top = (!ch1 && alt) ? 100 : 0;
        DrawChannelMarker(pen, ch1, MarkPlace::Above, top * z + 25 + 13 + 2, label);
    }
}

void DrawMathLabel(ScreenPen& pen, const WaveInfo& w, bool fftOn) {
    const SystemDataRecord& sd = w.SystemData;
    const WaveNumbers& n = w.Numbers;
    const QString& trig = w.TriggerMode;
    const double z = pen.Z();
    const double y = 100.0 - (fftOn ? sd.FFTPosition : sd.MathPosition);
    if (!(y > 0 && y < 200)) return;
    const bool alt = trig == Alternation;
    const double half = pen.Geo().HalfShift();
    double d = 1, h = 0;
    if (!fftOn) {
        if (alt) d = 2, h = half;
    } else if (alt) {
        d = 2;
        h = sd.FFTLowerHalf != 0 ? half : 0;
    } else if (sd.FFTFullScreen == 0) {
        d = 2, h = half;
    }
    const double Y = (y / d) * z + 25 - 5 + h;
    FlagRight(pen, Y);
    pen.SetBold(false);
    pen.Text(9, Y - 3, "m");
    pen.SetBold(true);
    if (sd.MathOperation == 3) {
        const QString scale =
            sd.FFTScaleDb == 0
                ? "FFT " + FormatVolt(n.FftVrmsPerDiv) + "rms/div  "
                : "FFT " + FormatDb(n.FftDbPerDiv) + "Vrms/div ";
        pen.Text(25, 214 * z + 25, scale);
        pen.Text(150 * z + 25, 214 * z + 25, FormatFreq(n.FftHzPerDiv) + "/div");
    } else {
        QString text = "Math scale " + FormatVolt(n.MathScale);
        if (sd.MathOperation == 2) text += "2";
        pen.Text(25, 214 * z + 25, text);
    }
}

void DrawTrigMark(ScreenPen& pen, const WaveInfo& w, bool colour) {
    const double z = pen.Z();
    DrawTriggerMarkers(pen, colour, TriggerColumn(w.Numbers.TimeScale, w.Numbers.TimeOffset));
    pen.SetBold(false);
    pen.Text(200 * z + 25, 203 * z + 25, "Delay:" + w.TimeOffset);
    pen.SetFore(colour ? WaveColors::White() : WaveColors::Black());
    pen.SetBold(true);
    pen.Text(150 * z + 25, 203 * z + 25, w.TimeScale);
}

// ---------------------------------------------------------------------------
// Traces.

using SampleSlots = std::tuple_size<SampleArray>;

// A trace from its first column's elements (i0 - 1 and i0) on.
template <typename YMap>
void TracePolyline(ScreenPen& pen, const SampleArray& s, int count, int i0, int x0, double xEnd,
                   YMap y, double firstEndY = std::nan("")) {
    DrawTracePolyline(pen, s, count, i0 - 1, 0, x0, xEnd, y, firstEndY);
}

void DrawChannelWave(ScreenPen& pen, const SampleArray& s, int count, bool ch1,
                     const SystemDataRecord& sd, const QString& trig, bool fftOn) {
    const double z = pen.Z();
    int start, end, i0;
    double base, scale;
    if (trig == Alternation) {
        start = ch1 ? sd.UpperFirstX : sd.LowerFirstX;
        end = ch1 ? sd.UpperLastX : sd.LowerLastX;
        base = ch1 ? 25 : 100 * z + 25;
        scale = z / 2;
        i0 = 2 * start + 2;
    } else {
        start = sd.TraceFirstX;
        end = sd.TraceLastX;
        base = 25;
        scale = (fftOn && sd.FFTFullScreen == 0) ? z / 2 : z;
        i0 = 2;
    }
    TracePolyline(pen, s, count, i0, Near(start * z) + 25, (end + 1) * z + 24,
                  [=](int32_t v) { return v * scale + base; });
}

void DrawMathWave(ScreenPen& pen, const SampleArray& s, int count, const SystemDataRecord& sd,
                  const QString& trig) {
    const double z = pen.Z();
    const bool alt = trig == Alternation;
    const int start = alt ? sd.LowerFirstX : sd.TraceFirstX;
    const int end = alt ? sd.LowerLastX : sd.TraceLastX;
    const double base = alt ? 100 * z + 25 : 25;
    const double scale = alt ? z / 2 : z;
    TracePolyline(pen, s, count, 2 * start + 2, Near(start * z) + 25, (end + 1) * z + 24,
                  [=](int32_t v) { return v * scale + base; });
}

int FftSpan(int code) {
    switch (code) {
        case 1: return 5000;
        case 2: return 2500;
        case 3: return 1000;
        case 4: return 500;
        case 5: return 250;
        case 6: return 100;
        case 7: return 25;
        default: return 500;
    }
}

void DrawFFTWave(ScreenPen& pen, const SampleArray& s, int count, const SystemDataRecord& sd,
                 const QString& trig, int modelEU) {
    const double z = pen.Z();
    const double yoff = modelEU == 0 ? 12.5 : 0;
    const double span = FftSpan(sd.FFTZoom);
    const int p = sd.FFTHorizPos;
    if ((span + 300) / 2 <= p) return;
    const int a = std::max(0, 150 - p);
    const int e = std::min(299, Near(150 - p + span / 2));
    const int i0 = std::max(2, 2 * p - 298);
    const int x0 = Near(a * z) + 25;
    const double xEnd = e * z + 24;
    if (sd.FFTFullScreen != 0) {
        TracePolyline(pen, s, count, i0, x0, xEnd, [=](int32_t v) { return v * z + 25; });
        return;
    }
    const double base = (trig == Alternation && sd.FFTLowerHalf == 0) ? 25 : 100 * z + 25;
    auto w = [=](int32_t v) { return std::min(v + yoff, 100.0); };
    const double firstEnd = (i0 < int(SampleSlots::value)) ? Near(w(s[i0])) * z + base : 0;
    TracePolyline(pen, s, count, i0, x0, xEnd, [=](int32_t v) { return w(v) * z + base; },
                  firstEnd);
}

void DrawXYWave(ScreenPen& pen, const SampleArray& xs, const SampleArray& ys, int count) {
    const double z = pen.Z();
    const int n = std::min(count, int(SampleSlots::value) - 1);
    for (int i = 1; i <= n; ++i) pen.Dot2((250 - xs[i]) * z + 25, ys[i] * z + 25);
}

// ---------------------------------------------------------------------------
// Logic-analyser lines.

bool IsOnWord(const WaveDrawOptions& o, const QString& word) { return IsOnWordOf(word, o.OnWord); }

// The logic rows move up by half the screen while the FFT owns its upper half.
double LaBase(const WaveDrawOptions& o, const QString& fftWord, double z) {
    return IsOnWord(o, fftWord) && o.LiveFftFullScreen == 0 ? 25 - 100 * z : 25;
}

void DrawLaWave(ScreenPen& pen, const WaveInfo& w, const WaveDrawOptions& o) {
    const SystemDataRecord& sd = w.SystemData;
    const double z = pen.Z();
    std::array<int32_t, LogicLineWords> words{};
    int n = 0;
    for (int k = 4 * sd.TraceFirstX + 1; k <= 1200 && n <= 600; k += 2, ++n) {
        if (k < 0) continue;
        words[n] = (w.LaSamples[k + 1] * 256 + w.LaSamples[k]) & 0xFFFF;
    }
    const double yoff = LaBase(o, o.LiveFftDisplayWord, z);
    ForEachLaChannel(pen, sd, sd.LAState106, w.ColorDisplay, [&](int c) {
        const int code = c < 8 ? sd.LAState107 : sd.LAState108;
        const int row = Near((sd.LARowY[c] - 25) * z);
        const int H = Near((code - 1) * z);
        DrawLogicLine(pen, words.data(), c, sd.TraceFirstX * z + 25, sd.TraceLastX,
                      Near(row + yoff), Near(row + yoff - H));
    });
}

void DrawContent(ScreenPen& pen, const WaveInfo& w, const WaveDrawOptions& o) {
    if (!w.HasData) return;
    const SystemDataRecord& sd = w.SystemData;
    const WaveNumbers& n = w.Numbers;
    const bool colour = w.ColorDisplay;
    pen.SetWidth(1);
    if (w.YTFormat || w.YTVariant) {
        const bool fftOn = IsOnWord(o, w.FftDisplayWord);
        // In black and white a split or other-format fetch draws every
        // fetched trace, whatever the screen description says is shown.
        auto shown = [&](uint8_t flag) { return flag == 1 || (!colour && w.YTVariant); };
        if (!colour) pen.SetFore(WaveColors::Black());
        if (w.Ch1Fetched) {
            if (colour) pen.SetFore(WaveColors::Ch1());
            DrawChannelMark(pen, true, n.Ch1Offset, n.Ch1Scale, w.Ch1Scale, w.TriggerMode, fftOn,
                            sd.FFTFullScreen);
            if (shown(sd.CH1Shown))
                DrawChannelWave(pen, w.Ch1Samples, w.PointCount, true, sd, w.TriggerMode, fftOn);
        }
        if (w.Ch2Fetched) {
            if (colour) pen.SetFore(WaveColors::Ch2());
            DrawChannelMark(pen, false, n.Ch2Offset, n.Ch2Scale, w.Ch2Scale, w.TriggerMode, fftOn,
                            sd.FFTFullScreen);
            if (shown(sd.CH2Shown))
                DrawChannelWave(pen, w.Ch2Samples, w.PointCount, false, sd, w.TriggerMode, fftOn);
        }
        if (w.MathFetched) {
            if (colour) pen.SetFore(WaveColors::Math());
            DrawMathLabel(pen, w, fftOn);
            if (fftOn) {
                if (shown(sd.FFTShown))
                    DrawFFTWave(pen, w.FftSamples, w.PointCount, sd, w.TriggerMode, o.ModelEU);
            } else if (shown(sd.MathShown)) {
                DrawMathWave(pen, w.MathSamples, w.PointCount, sd, w.TriggerMode);
            }
        }
        if (w.LaFetched) {
            DrawLaLabels(pen, sd, sd.LAState106, colour, LaBase(o, w.FftDisplayWord, pen.Z()));
            if (shown(sd.LAShown)) DrawLaWave(pen, w, o);
        }
        if (w.TriggerMode == Alternation)
            DrawAltTriggerMarkers(
                pen, colour, TriggerColumn(n.AltCh1TimeScale, n.AltCh1TimeOffset),
                TriggerColumn(n.AltCh2TimeScale, n.AltCh2TimeOffset),
                "Delay1: " + w.AltCh1TimeOffset, "Delay2: " + w.AltCh2TimeOffset,
                w.AltCh1TimeScale, w.AltCh2TimeScale);
        else
            DrawTrigMark(pen, w, colour);
    } else if (w.XYFormat) {
        pen.SetFore(colour ? WaveColors::XY() : WaveColors::Black());
        DrawXYWave(pen, w.Ch1Samples, w.Ch2Samples, w.PointCount);
        DrawXYLabels(pen, colour, "CH1 " + w.Ch1Scale, "CH2 " + w.Ch2Scale);
    }
}
}  // namespace

namespace {
ScreenLayers Layers(const WaveInfo& w, const WaveDrawOptions& o) {
    return {o.Zoom, o.Font, GraticuleOf(w), [&w, &o](ScreenPen& pen) { DrawContent(pen, w, o); },
            o.Overlay};
}
}  // namespace

void DrawScrGrid(QPainter& p, const WaveInfo& w, const WaveDrawOptions& o) { PaintGraticuleLayer(p, Layers(w, o)); }
void DrawOSC(QPainter& p, const WaveInfo& w, const WaveDrawOptions& o) { PaintContentLayer(p, Layers(w, o)); }
void PaintWaveView(QPainter& p, const WaveInfo& w, const WaveDrawOptions& o) { PaintScreenLayers(p, Layers(w, o)); }
QImage RenderWaveView(const WaveInfo& w, const WaveDrawOptions& o) { return RenderScreenLayers(Layers(w, o)); }
