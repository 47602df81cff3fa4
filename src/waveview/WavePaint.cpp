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
    GraticuleStyle g;
    g.Colour = w.ColorDisplay;
    g.Grid = w.ShowGrid;
    g.Split = w.SplitDisplay;
    return g;
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
    double y = 100 - offset / scale * 25;
    const QString digit = ch1 ? "1" : "2";
    if (y > 0 && y < 200) {
        y = y / d;
        const double h = (!ch1 && alt) ? pen.Geo().HalfShift() : 0;
        const double Y = y * z + (h + 25) - 5;
        FlagRight(pen, Y);
        pen.SetBold(false);
        pen.Text(10, Y - 1, digit);
    } else if (y >= 200) {
        // Bottom of the channel's area; CH2 on a screen split for the FFT
        // lies in the upper half like its marker and trace.
        const double bottom = ch1 ? 200 / d : (alt ? 200 : (fftSplit ? 100 : 200));
        const double Y = bottom * z + 25 - 13 - 2;
        ArrowDown(pen, Y);
        pen.SetBold(false);
        pen.Text(14, ch1 ? Y + 2 : Y + 1, digit);
    } else {  // y <= 0 or not a number
        const double top = (!ch1 && alt) ? 100 : 0;
        const double Y = top * z + 25 + 13 + 2;
        ArrowUp(pen, Y);
        pen.SetBold(false);
        pen.Text(14, ch1 ? Y - 13 : Y - 14, digit);
    }
    pen.SetBold(true);
    if (ch1)
        pen.Text(25, 203 * z + 25, "CH1 " + scaleText);
    else
        pen.Text(75 * z + 25, 203 * z + 25, "CH2 " + scaleText);
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
    const QString& timeScale = w.TimeScale;
    const QString& delay = w.TimeOffset;
    const double p = TriggerColumn(w.Numbers.TimeScale, w.Numbers.TimeOffset);
    pen.SetFore(colour ? WaveColors::Maker() : WaveColors::Black());
    CentreMark(pen, 26);
    TrigMarker(pen, p, 30);
    pen.SetBold(false);
    pen.Text(200 * z + 25, 203 * z + 25, "Delay:" + delay);
    pen.SetFore(colour ? WaveColors::White() : WaveColors::Black());
    pen.SetBold(true);
    pen.Text(150 * z + 25, 203 * z + 25, timeScale);
}

void DrawAltTrigMark(ScreenPen& pen, const WaveInfo& w, bool colour) {
    const double z = pen.Z();
    const double p1 = TriggerColumn(w.Numbers.AltCh1TimeScale, w.Numbers.AltCh1TimeOffset);
    const double p2 = TriggerColumn(w.Numbers.AltCh2TimeScale, w.Numbers.AltCh2TimeOffset);
    pen.SetFore(colour ? WaveColors::Maker() : WaveColors::Black());
    CentreMark(pen, 26);
    TrigMarker(pen, p1, 30);
    CentreMark(pen, 100 * z + 26);
    TrigMarker(pen, p2, 100 * z + 30);
    pen.SetBold(false);
    pen.SetFore(colour ? WaveColors::Ch1() : WaveColors::Black());
    pen.Text(150 * z + 25, 203 * z + 25, "Delay1: " + w.AltCh1TimeOffset);
    pen.SetBold(true);
    pen.Text(138 * z + 25, 85 * z + 25, w.AltCh1TimeScale);
    pen.SetBold(false);
    pen.SetFore(colour ? WaveColors::Ch2() : WaveColors::Black());
    pen.Text(230 * z + 25, 203 * z + 25, "Delay2: " + w.AltCh2TimeOffset);
    pen.SetBold(true);
    pen.Text(138 * z + 25, 185 * z + 25, w.AltCh2TimeScale);
}

void DrawXYLabel(ScreenPen& pen, const WaveInfo& w) {
    const double z = pen.Z();
    const bool colour = w.ColorDisplay;
    pen.SetBold(true);
    pen.SetFore(colour ? WaveColors::XY() : WaveColors::Black());
    pen.Text(110 * z + 25, 10, "X-Y Mode");
    pen.SetFore(colour ? WaveColors::Ch1() : WaveColors::Black());
    pen.Text(25, 204 * z + 25, "CH1 " + w.Ch1Scale);
    pen.SetFore(colour ? WaveColors::Ch2() : WaveColors::Black());
    pen.Text(75 * z + 25, 204 * z + 25, "CH2 " + w.Ch2Scale);
    pen.SetBold(true);
}

// ---------------------------------------------------------------------------
// Traces.

constexpr int SampleSlots = static_cast<int>(std::tuple_size<SampleArray>::value);

// The shared polyline: a stroke joining elements i0-1 and i0 in the first
// column, then one element per step of 300/count columns while x <= xEnd.
// A count of 0 or an element past the array ends the trace there.
template <typename YMap>
void TracePolyline(ScreenPen& pen, const SampleArray& s, int count, int i0, double x0, double xEnd,
                   YMap y, double firstEndY = std::nan("")) {
    if (count <= 0 || i0 < 1 || i0 >= SampleSlots) return;
    const double z = pen.Z();
    const double d = 300.0 / count * z;
    QVector<QPoint> pts;
    pts.reserve(int(std::min<double>(SampleSlots, (xEnd - x0) / d + 4)));
    const int xs = Near(x0);
    pts.append(QPoint(xs, Near(y(s[i0 - 1]))));
    pts.append(QPoint(xs, Near(std::isnan(firstEndY) ? y(s[i0]) : firstEndY)));
    int i = i0;
    for (double x = x0 + z; x <= xEnd; x += d) {
        if (++i >= SampleSlots) break;
        const int xi = Near(static_cast<float>(x - 0.1));
        pts.append(QPoint(xi, Near(y(s[i]))));
    }
    pen.Polyline(pts);
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
    const double x0 = Near(a * z) + 25, xEnd = e * z + 24;
    if (sd.FFTFullScreen != 0) {
        TracePolyline(pen, s, count, i0, x0, xEnd, [=](int32_t v) { return v * z + 25; });
        return;
    }
    const double base = (trig == Alternation && sd.FFTLowerHalf == 0) ? 25 : 100 * z + 25;
    auto w = [=](int32_t v) { return std::min(v + yoff, 100.0); };
    const double firstEnd = (i0 < SampleSlots) ? Near(w(s[i0])) * z + base : 0;
    TracePolyline(pen, s, count, i0, x0, xEnd, [=](int32_t v) { return w(v) * z + base; },
                  firstEnd);
}

void DrawXYWave(ScreenPen& pen, const SampleArray& xs, const SampleArray& ys, int count) {
    const double z = pen.Z();
    const int n = std::min(count, SampleSlots - 1);
    for (int i = 1; i <= n; ++i) pen.Dot2((250 - xs[i]) * z + 25, ys[i] * z + 25);
}

// ---------------------------------------------------------------------------
// Logic-analyser lines.

bool MaskBit(const SystemDataRecord& sd, int c) {
    return c >= 0 && c < 16 && ((static_cast<uint16_t>(sd.LADisplayState) >> c) & 1);
}

// Every shown logic channel in order, the selected one last in its own
// colour (all black in black and white).
template <typename F>
void ForEachLaChannel(ScreenPen& pen, const WaveInfo& w, F each) {
    const SystemDataRecord& sd = w.SystemData;
    pen.SetFore(w.ColorDisplay ? WaveColors::La() : WaveColors::Black());
    for (int c = 0; c < 16; ++c)
        if (c != sd.LAState106 && MaskBit(sd, c)) each(c);
    if (MaskBit(sd, sd.LAState106)) {
        pen.SetFore(w.ColorDisplay ? WaveColors::LaSelected() : WaveColors::Black());
        each(sd.LAState106);
    }
}

void DrawLaBit(ScreenPen& pen, const std::array<int32_t, 601>& words, int c, int code, int row,
               const SystemDataRecord& sd, int last, double yoffLines) {
    const double z = pen.Z();
    const int H = Near((code - 1) * z);
    DrawLogicLine(pen, words.data(), c, sd.TraceFirstX * z + 25, last, Near(row + yoffLines),
                  Near(row + yoffLines - H));
}

// An empty word is never the ON word; a word stored while the other UI
// language was active still counts.
bool IsOnWord(const WaveDrawOptions& o, const QString& word) {
    return !word.isEmpty() && (word == o.OnWord || IsOnWordOfEitherLanguage(word));
}

bool LiveFftSplit(const WaveDrawOptions& o, const QString& fftWord) {
    return IsOnWord(o, fftWord) && o.LiveFftFullScreen == 0;
}

void DrawLaWave(ScreenPen& pen, const WaveInfo& w, const WaveDrawOptions& o) {
    const SystemDataRecord& sd = w.SystemData;
    const double z = pen.Z();
    std::array<int32_t, 601> words{};
    int n = 0;
    for (int k = 4 * sd.TraceFirstX + 1; k <= 1200 && n <= 600; k += 2, ++n) {
        if (k < 0) continue;
        words[n] = (w.LaSamples[k + 1] * 256 + w.LaSamples[k]) & 0xFFFF;
    }
    const double yoff = LiveFftSplit(o, o.LiveFftDisplayWord) ? 25 - 100 * z : 25;
    auto draw = [&](int c) {
        const int code = c < 8 ? sd.LAState107 : sd.LAState108;
        const int row = Near((sd.LARowY[c] - 25) * z);
        DrawLaBit(pen, words, c, code, row, sd, sd.TraceLastX, yoff);
    };
    ForEachLaChannel(pen, w, draw);
}

void DrawLaLabel(ScreenPen& pen, const WaveInfo& w, const WaveDrawOptions& o) {
    const SystemDataRecord& sd = w.SystemData;
    const double z = pen.Z();
    const double yoff = LiveFftSplit(o, w.FftDisplayWord) ? 25 - 100 * z : 25;
    auto label = [&](int c) {
        pen.SetBold(false);
        const int y = Near(yoff + (sd.LARowY[c] - 25) * z - 12);
        if (c < 10) {
            pen.Text(5, y, "D" + QString::number(c));
        } else {
            pen.Text(5, y, "D");
            pen.Text(12, y, QString::number(c / 10));
            pen.Text(17, y, QString::number(c % 10));
        }
    };
    ForEachLaChannel(pen, w, label);
}

void DrawContent(ScreenPen& pen, const WaveInfo& w, const WaveDrawOptions& o) {
    if (!w.HasData) return;
    const SystemDataRecord& sd = w.SystemData;
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
            DrawChannelMark(pen, true, w.Numbers.Ch1Offset, w.Numbers.Ch1Scale, w.Ch1Scale,
                            w.TriggerMode, fftOn, sd.FFTFullScreen);
            if (shown(sd.CH1Shown))
                DrawChannelWave(pen, w.Ch1Samples, w.PointCount, true, sd, w.TriggerMode, fftOn);
        }
        if (w.Ch2Fetched) {
            if (colour) pen.SetFore(WaveColors::Ch2());
            DrawChannelMark(pen, false, w.Numbers.Ch2Offset, w.Numbers.Ch2Scale, w.Ch2Scale,
                            w.TriggerMode, fftOn, sd.FFTFullScreen);
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
            DrawLaLabel(pen, w, o);
            if (shown(sd.LAShown)) DrawLaWave(pen, w, o);
        }
        if (w.TriggerMode == Alternation)
            DrawAltTrigMark(pen, w, colour);
        else
            DrawTrigMark(pen, w, colour);
    } else if (w.XYFormat) {
        pen.SetFore(colour ? WaveColors::XY() : WaveColors::Black());
        DrawXYWave(pen, w.Ch1Samples, w.Ch2Samples, w.PointCount);
        DrawXYLabel(pen, w);
    }
}
}  // namespace

void DrawScrGrid(QPainter& p, const WaveInfo& w, const WaveDrawOptions& o) {
    ScreenPen pen(p, o.Zoom, o.Font);
    DrawGraticule(pen, GraticuleOf(w));
}

void DrawOSC(QPainter& p, const WaveInfo& w, const WaveDrawOptions& o) {
    ScreenPen pen(p, o.Zoom, o.Font);
    DrawContent(pen, w, o);
}

void PaintWaveView(QPainter& p, const WaveInfo& w, const WaveDrawOptions& o) {
    p.save();
    {
        ScreenPen pen(p, o.Zoom, o.Font);
        DrawGraticule(pen, GraticuleOf(w));
        DrawContent(pen, w, o);
    }
    if (o.Overlay) {
        p.setRenderHint(QPainter::Antialiasing, false);
        o.Overlay(p, WaveGeometry(o.Zoom));
    }
    p.restore();
}

QImage RenderWaveView(const WaveInfo& w, const WaveDrawOptions& o) {
    const WaveGeometry g(o.Zoom);
    QImage img(std::max(1, g.PictureWidth()), std::max(1, g.PictureHeight()),
               QImage::Format_RGB32);
    QPainter p(&img);
    PaintWaveView(p, w, o);
    return img;
}
