#include "memwave/paint/MemWavePaint.h"

#include <QPainter>
#include <QPoint>
#include <QVector>
#include <algorithm>
#include <cmath>

#include "common/DSOSettings.h"
#include "link/Formatters.h"
#include "link/Vocabulary.h"
#include "memwave/model/WaveformFile.h"
#include "screen/LogicLine.h"
#include "screen/Markers.h"
#include "screen/ScreenColors.h"

namespace {
const QString Alternation = QStringLiteral("ALTERNATION");

bool IsOn(const MemWaveDrawOptions& o, const QString& word) {
    return !word.isEmpty() && (word == o.OnWord || IsOnWordOfEitherLanguage(word));
}

// ---------------------------------------------------------------------------
// Markers and labels.

void DrawChannelMark(ScreenPen& pen, bool ch1, float offset, float voltsDiv, const QString& trig,
                     bool fftOn, uint8_t fftFull) {
    const double z = pen.Z();
    const bool alt = trig == Alternation;
    const double d = (alt || (fftOn && fftFull == 0)) ? 2 : 1;
    double Y = ChannelMarkRow(offset, voltsDiv);
    const QString digit = ch1 ? "1" : "2";
    if (Y > 0 && Y < 200) {
        Y = Y / d;
        const double h = (!ch1 && alt) ? Near(100 * z) : 0;
        const double top = Y * z + h + 20;
        FlagRight(pen, top);
        pen.SetBold(false);
        pen.Text(10, Near(top - 1), digit);
    } else if (Y >= 200) {
        Y = ch1 ? 200 / d : 200;
        const double top = Y * z + 10;
        ArrowDown(pen, top);
        pen.SetBold(false);
        pen.Text(14, Near(ch1 ? top + 2 : top + 1), digit);
    } else {
        Y = ch1 ? 0 : (alt ? 200 / d : 0);
        const double bottom = Y * z + 40;
        ArrowUp(pen, bottom);
        pen.SetBold(false);
        pen.Text(14, Near(ch1 ? bottom - 13 : bottom - 14), digit);
    }
    pen.SetBold(true);
    const QString text = (ch1 ? "Pos1:  " : "Pos2:  ") + FormatVolt(PlainValue(offset, 9));
    pen.Text(ch1 ? 25 : Near(75 * z + 25), Near(203 * z + 25), text);
}

void DrawTrigMark(ScreenPen& pen, double timeDiv, double delay, bool colour) {
    const double z = pen.Z();
    pen.SetFore(colour ? WaveColors::Maker() : WaveColors::Black());
    CentreMark(pen, 26);
    TrigMarker(pen, TriggerMarkColumn(delay, timeDiv), 30);
    pen.SetBold(false);
    pen.Text(Near(150 * z + 25), Near(203 * z + 25), "Delay:" + FormatTime4(PlainValue(delay, 9)));
}

void DrawAltTrigMark(ScreenPen& pen, const MemWaveInfo& r, bool colour) {
    const double z = pen.Z();
    pen.SetFore(colour ? WaveColors::Maker() : WaveColors::Black());
    CentreMark(pen, 26);
    TrigMarker(pen, TriggerMarkColumn(r.AltCh1DelayTime, r.AltCh1TimePerDiv), 30);
    CentreMark(pen, 100 * z + 26);
    TrigMarker(pen, TriggerMarkColumn(r.AltCh2DelayTime, r.AltCh2TimePerDiv), 100 * z + 30);
    pen.SetBold(false);
    pen.SetFore(colour ? WaveColors::Ch1() : WaveColors::Black());
    pen.Text(Near(150 * z + 25), Near(203 * z + 25),
             "Delay1: " + FormatTime4(PlainValue(r.AltCh1DelayTime, 9)));
    pen.SetFore(colour ? WaveColors::Ch2() : WaveColors::Black());
    pen.Text(Near(230 * z + 25), Near(203 * z + 25),
             "Delay2: " + FormatTime4(PlainValue(r.AltCh2DelayTime, 9)));
}

bool MaskBit(const SystemDataRecord& sd, int c) {
    return c >= 0 && c < 16 && ((static_cast<uint16_t>(sd.LADisplayState) >> c) & 1);
}

// Every shown logic channel, the selected one last in its own colour.
template <typename F>
void ForEachLaChannel(ScreenPen& pen, const MemWaveInfo& r, F each) {
    const SystemDataRecord& sd = r.ScreenData;
    const int current = LaCurrentChannel(r);
    const bool colour = r.BlackBackground;
    pen.SetFore(colour ? WaveColors::La() : WaveColors::Black());
    for (int c = 0; c < 16; ++c)
        if (c != current && MaskBit(sd, c)) each(c);
    if (MaskBit(sd, current)) {
        pen.SetFore(colour ? WaveColors::LaSelected() : WaveColors::Black());
        each(current);
    }
}

void DrawLaLabel(ScreenPen& pen, const MemWaveInfo& r) {
    const double z = pen.Z();
    // The caller's FFT word is always "OFF": the labels keep their rows.
    const double base = 25;
    ForEachLaChannel(pen, r, [&](int c) {
        pen.SetBold(false);
        const int y = Near(base + (r.ScreenData.LARowY[c] - 25) * z - 12);
        if (c < 10) {
            pen.Text(5, y, "D" + QString::number(c));
        } else {
            pen.Text(5, y, "D");
            pen.Text(12, y, QString::number(c / 10));
            pen.Text(17, y, QString::number(c % 10));
        }
    });
}

// ---------------------------------------------------------------------------
// Traces.

using ScreenArray = std::array<int16_t, MemWaveScreenPoints>;

// The polyline of an analogue trace: points i0 - 1 and i0 joined in the
// first column, then, after `skip` more points, one point per half column
// while t <= tEnd. No point past the array's end is read.
template <typename YMap>
void TraceLine(ScreenPen& pen, const ScreenArray& s, int count, int first, double tEnd, int skip,
               YMap y) {
    if (count <= 0) return;
    const double z = pen.Z();
    const double step = 300.0 / count * z;
    const int x0 = Near(first * z) + 25;
    QVector<QPoint> pts;
    pts.reserve(MemWaveScreenPoints + 2);
    int i = 1;
    pts.append(QPoint(x0, Near(y(s[0]))));
    pts.append(QPoint(x0, Near(y(s[1]))));
    i += skip;
    for (double t = x0 + z; t <= tEnd; t += step) {
        if (++i >= MemWaveScreenPoints) break;
        pts.append(QPoint(Near(static_cast<float>(t - 0.1)), Near(y(s[i]))));
    }
    pen.Polyline(pts);
}

void DrawChannelWave(ScreenPen& pen, const ScreenArray& s, int count, bool ch1,
                     const SystemDataRecord& sd, const QString& trig, bool fftOn) {
    const double z = pen.Z();
    if (trig == Alternation) {
        const int first = ch1 ? sd.UpperFirstX : sd.LowerFirstX;
        const int last = ch1 ? sd.UpperLastX : sd.LowerLastX;
        if (last < first) return;  // nothing of the record lies on the screen
        const double b = ch1 ? 25 : 25 + 100 * z;
        TraceLine(pen, s, count, first, last * z + 25, 1, [=](int v) { return v / 2.0 * z + b; });
        return;
    }
    const int first = sd.TraceFirstX, last = sd.TraceLastX;
    if (last > 299 || last < first) return;
    if (fftOn && sd.FFTFullScreen == 0)
        TraceLine(pen, s, count, first, (last + 1) * z + 25 - 1, 0,
                  [=](int v) { return v / 2.0 * z + 25; });
    else
        TraceLine(pen, s, count, first, last * z + 25, 1, [=](int v) { return v * z + 25; });
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
    ForEachLaChannel(pen, r, [&](int c) {
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

void DrawXYLabel(ScreenPen& pen, const MemWaveInfo& r) {
    const double z = pen.Z();
    const bool colour = r.BlackBackground;
    pen.SetBold(true);
    pen.SetFore(colour ? WaveColors::XY() : WaveColors::Black());
    pen.Text(Near(110 * z + 25), 10, "X-Y Mode");
    pen.SetFore(colour ? WaveColors::Ch1() : WaveColors::Black());
    pen.Text(25, Near(204 * z + 25), "CH1 " + FormatVolt(PlainValue(r.Ch1VoltsPerDiv, 9)));
    pen.SetFore(colour ? WaveColors::Ch2() : WaveColors::Black());
    pen.Text(Near(75 * z + 25), Near(204 * z + 25), "CH2 " + FormatVolt(PlainValue(r.Ch2VoltsPerDiv, 9)));
    pen.SetBold(false);
}

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
            DrawLaLabel(pen, r);
            if (sd.LAShown == 1) DrawLaWave(pen, r, o);
        }
        if (r.TriggerMode == Alternation)
            DrawAltTrigMark(pen, r, colour);
        else
            DrawTrigMark(pen, r.TimePerDiv, r.DelayTime, colour);
    } else if (r.XYFormat) {
        pen.SetFore(colour ? WaveColors::XY() : WaveColors::Black());
        DrawXYWave(pen, r.Ch1Screen, r.Ch2Screen, r.ScreenPointCount);
        DrawXYLabel(pen, r);
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

MemWaveDrawOptions CurrentMemWaveDrawOptions(double zoom) {
    MemWaveDrawOptions o;
    o.Zoom = zoom;
    o.OnWord = ValueWord(vwOn);
    o.LiveFftDisplayWord = DSOSettings().FFTDisplay;
    return o;
}

GraticuleStyle MemWaveGraticule(const MemWaveInfo& r) {
    GraticuleStyle g;
    g.Colour = r.BlackBackground;
    g.Grid = r.ShowGrid;
    g.Split = r.SplitDisplay;
    return g;
}

void DrawMemWaveGrid(QPainter& p, const MemWaveInfo& r, const MemWaveDrawOptions& o) {
    ScreenPen pen(p, o.Zoom, o.Font);
    DrawGraticule(pen, MemWaveGraticule(r));
}

void DrawMemWaveOSC(QPainter& p, const MemWaveInfo& r, const MemWaveDrawOptions& o) {
    ScreenPen pen(p, o.Zoom, o.Font);
    DrawContent(pen, r, o);
}

void PaintMemWaveView(QPainter& p, const MemWaveInfo& r, const MemWaveDrawOptions& o) {
    p.save();
    {
        ScreenPen pen(p, o.Zoom, o.Font);
        DrawGraticule(pen, MemWaveGraticule(r));
        DrawContent(pen, r, o);
    }
    p.restore();
}

QImage RenderMemWaveView(const MemWaveInfo& r, const MemWaveDrawOptions& o) {
    const WaveGeometry g(o.Zoom);
    QImage img(std::max(1, g.PictureWidth()), std::max(1, g.PictureHeight()), QImage::Format_RGB32);
    QPainter p(&img);
    PaintMemWaveView(p, r, o);
    return img;
}
