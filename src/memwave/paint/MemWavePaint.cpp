#include "memwave/paint/MemWavePaint.h"

#include <QPainter>
#include <QPoint>
#include <QVector>
#include <algorithm>
#include <cmath>

#include "link/Formatters.h"
#include "link/Vocabulary.h"
#include "memwave/model/WaveformFile.h"
#include "screen/LogicLine.h"
#include "screen/ScreenColors.h"
#include "screen/ScreenContent.h"

namespace {
const QString Alternation = QStringLiteral("ALTERNATION");
// The record's values are shown as their 9 significant digits read.
constexpr int ShownDigits = 9;

bool IsOn(const MemWaveDrawOptions& o, const QString& word) { return IsOnWordOf(word, o.OnWord); }

// ---------------------------------------------------------------------------
// Markers and labels.

void DrawChannelMark(ScreenPen& pen, bool ch1, float offset, float voltsDiv, const QString& trig,
                     bool fftOn, uint8_t fftFull) {
    const double z = pen.Z();
    const bool alt = trig == Alternation;
    const double d = (alt || (fftOn && fftFull == 0)) ? 2 : 1;
    const double Y = ChannelMarkRow(offset, voltsDiv);
    const QString label = (ch1 ? "Pos1:  " : "Pos2:  ") + FormatVolt(PlainValue(offset, ShownDigits));
    if (Y > 0 && Y < 200) {
        const double h = (!ch1 && alt) ? Near(100 * z) : 0;
        DrawChannelMarker(pen, ch1, MarkPlace::OnScreen, Y / d * z + h + 20, label);
    } else if (Y >= 200) {
        DrawChannelMarker(pen, ch1, MarkPlace::Below, (ch1 ? 200 / d : 200) * z + 10, label);
    } else {
        DrawChannelMarker(pen, ch1, MarkPlace::Above, (ch1 ? 0 : (alt ? 200 / d : 0)) * z + 40,
                          label);
    }
}

QString DelayText(double delay) { return FormatTime4(PlainValue(delay, ShownDigits)); }

void DrawTrigMark(ScreenPen& pen, double timeDiv, double delay, bool colour) {
    const double z = pen.Z();
    DrawTriggerMarkers(pen, colour, TriggerMarkColumn(delay, timeDiv));
    pen.SetBold(false);
    pen.Text(150 * z + 25, 203 * z + 25, "Delay:" + DelayText(delay));
}

// ---------------------------------------------------------------------------
// Traces.

using ScreenArray = std::array<int16_t, MemWaveScreenPoints>;

void DrawChannelWave(ScreenPen& pen, const ScreenArray& s, int count, bool ch1,
                     const SystemDataRecord& sd, const QString& trig, bool fftOn) {
    const double z = pen.Z();
    if (trig == Alternation) {
        const int first = ch1 ? sd.UpperFirstX : sd.LowerFirstX;
        const int last = ch1 ? sd.UpperLastX : sd.LowerLastX;
        if (last < first) return;  // nothing of the record lies on the screen
        const double b = ch1 ? 25 : 25 + 100 * z;
        DrawTracePolyline(pen, s, count, 0, 1, Near(first * z) + 25, last * z + 25,
                          [=](int v) { return v / 2.0 * z + b; });
        return;
    }
    const int first = sd.TraceFirstX, last = sd.TraceLastX;
    if (last > 299 || last < first) return;
    const int x0 = Near(first * z) + 25;
    if (fftOn && sd.FFTFullScreen == 0)
        DrawTracePolyline(pen, s, count, 0, 0, x0, (last + 1) * z + 25 - 1,
                          [=](int v) { return v / 2.0 * z + 25; });
    else
        DrawTracePolyline(pen, s, count, 0, 1, x0, last * z + 25, [=](int v) { return v * z + 25; });
}

// The logic lines are drawn over the columns their points were made for
// (the logic window's own), which may differ from the analogue traces'.
void DrawLaWave(ScreenPen& pen, const MemWaveInfo& r, const MemWaveDrawOptions& o) {
    const SystemDataRecord& sd = r.ScreenData;
    if (sd.LALastX < sd.LAFirstX) return;
    const double z = pen.Z();
    int32_t words[LogicLineWords];
    for (int i = 0; i < LogicLineWords; ++i) words[i] = r.LaScreen[i] & 0xFFFF;
    const double base = (IsOn(o, o.LiveFftDisplayWord) && sd.FFTFullScreen == 0) ? 25 - 100 * z : 25;
    const int h = Near(9 * z);
    const int last = std::min<int>(sd.LALastX, 299);
    ForEachLaChannel(pen, sd, LaCurrentChannel(r), r.BlackBackground, [&](int c) {
        const int low = Near(Near((sd.LARowY[c] - 25) * z) + base);
        DrawLogicLine(pen, words, c, sd.LAFirstX * z + 25, last, low, low - h);
    });
}

void DrawXYWave(ScreenPen& pen, const ScreenArray& xs, const ScreenArray& ys, int count) {
    const double z = pen.Z();
    const int n = std::min(count, MemWaveScreenPoints);
    pen.SetWidth(2);
    QVector<QPoint> pts;
    pts.reserve(n);
    for (int i = 0; i < n; ++i) pts.append(QPoint(Near((250 - xs[i]) * z + 25), Near(ys[i] * z + 25)));
    pen.Points(pts);
    pen.SetWidth(1);
}

QString VoltsText(float v) { return FormatVolt(PlainValue(v, ShownDigits)); }

void DrawContent(ScreenPen& pen, const MemWaveInfo& r, const MemWaveDrawOptions& o) {
    if (!r.Loaded) return;
    const SystemDataRecord& sd = r.ScreenData;
    const bool colour = r.BlackBackground;
    pen.SetWidth(1);
    if (r.YTFormat) {
        const bool fftOn = IsOn(o, r.StateWord);
        if (!colour) pen.SetFore(WaveColors::Black());
        if (r.HasCh1) {
            if (colour) pen.SetFore(WaveColors::Ch1());
            DrawChannelMark(pen, true, r.Ch1OffsetVolts, r.Ch1VoltsPerDiv, r.TriggerMode, fftOn,
                            sd.FFTFullScreen);
            if (sd.CH1Shown == 1)
                DrawChannelWave(pen, r.Ch1Screen, r.ScreenPointCount, true, sd, r.TriggerMode, fftOn);
        }
        if (r.HasCh2) {
            if (colour) pen.SetFore(WaveColors::Ch2());
            DrawChannelMark(pen, false, r.Ch2OffsetVolts, r.Ch2VoltsPerDiv, r.TriggerMode, fftOn,
                            sd.FFTFullScreen);
            if (sd.CH2Shown == 1)
                DrawChannelWave(pen, r.Ch2Screen, r.ScreenPointCount, false, sd, r.TriggerMode, fftOn);
        }
        if (r.HasLa) {
            // The caller's FFT word is always "OFF": the labels keep their rows.
            DrawLaLabels(pen, sd, LaCurrentChannel(r), colour, 25);
            if (sd.LAShown == 1) DrawLaWave(pen, r, o);
        }
        if (r.TriggerMode == Alternation)
            DrawAltTriggerMarkers(pen, colour, TriggerMarkColumn(r.AltCh1DelayTime, r.AltCh1TimePerDiv),
                                  TriggerMarkColumn(r.AltCh2DelayTime, r.AltCh2TimePerDiv),
                                  "Delay1: " + DelayText(r.AltCh1DelayTime),
                                  "Delay2: " + DelayText(r.AltCh2DelayTime));
        else
            DrawTrigMark(pen, r.TimePerDiv, r.DelayTime, colour);
    } else if (r.XYFormat) {
        pen.SetFore(colour ? WaveColors::XY() : WaveColors::Black());
        DrawXYWave(pen, r.Ch1Screen, r.Ch2Screen, r.ScreenPointCount);
        DrawXYLabels(pen, colour, "CH1 " + VoltsText(r.Ch1VoltsPerDiv),
                     "CH2 " + VoltsText(r.Ch2VoltsPerDiv));
    }
}
}  // namespace

double ChannelMarkRow(float offset, float voltsDiv) {
    const double y = 100 - double(offset) / double(voltsDiv) * 25;
    return (voltsDiv != 0 && std::isfinite(y)) ? y : 100;
}

double TriggerMarkColumn(double delay, double timeDiv) {
    const double x = 150 - delay / timeDiv * 25;
    return (timeDiv != 0 && std::isfinite(x)) ? x : 150;
}

GraticuleStyle MemWaveGraticule(const MemWaveInfo& r) {
    return {r.BlackBackground, r.ShowGrid, r.SplitDisplay};
}

namespace {
ScreenLayers Layers(const MemWaveInfo& r, const MemWaveDrawOptions& o) {
    return {o.Zoom, o.Font, MemWaveGraticule(r), [&r, &o](ScreenPen& pen) { DrawContent(pen, r, o); }, {}};
}
}  // namespace

void DrawMemWaveGrid(QPainter& p, const MemWaveInfo& r, const MemWaveDrawOptions& o) { PaintGraticuleLayer(p, Layers(r, o)); }
void DrawMemWaveOSC(QPainter& p, const MemWaveInfo& r, const MemWaveDrawOptions& o) { PaintContentLayer(p, Layers(r, o)); }
void PaintMemWaveView(QPainter& p, const MemWaveInfo& r, const MemWaveDrawOptions& o) { PaintScreenLayers(p, Layers(r, o)); }
QImage RenderMemWaveView(const MemWaveInfo& r, const MemWaveDrawOptions& o) { return RenderScreenLayers(Layers(r, o)); }
