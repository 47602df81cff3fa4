#pragma once
// The content both instrument-screen views draw by the same rules on the
// shared layers: channel markers and labels, trigger markers, analogue
// traces, logic-analyser labels and the X-Y labels, and the passes that put
// graticule and content on a painter. Each view computes its own places and
// texts (its record holds other numbers) and hands them here.
#include <QImage>
#include <QPoint>
#include <QString>
#include <QVector>
#include <cmath>
#include <functional>

#include "common/SystemData.h"
#include "screen/Graticule.h"
#include "screen/ScreenColors.h"
#include "screen/ScreenPen.h"

class QPainter;

// An FFT or channel display word is ON: the ON word of the UI language, or
// one stored while the other language was active. An empty word never is.
bool IsOnWordOf(const QString& word, const QString& onWord);

// ---------------------------------------------------------------------------
// Picture passes.

// A view's picture as the shared passes paint it: the graticule in the
// view's style, the view's content on the same pen, then the caller's
// overlay (cursors and readouts) with the same geometry.
struct ScreenLayers {
    double Zoom = 1.0;
    QFont Font;
    GraticuleStyle Style;
    std::function<void(ScreenPen&)> Content;
    std::function<void(QPainter&, const WaveGeometry&)> Overlay;  // may be empty
};
// The whole picture; the painter's state is restored afterwards.
void PaintScreenLayers(QPainter& p, const ScreenLayers& l);
// One layer on its own, with its own pen.
void PaintGraticuleLayer(QPainter& p, const ScreenLayers& l);
void PaintContentLayer(QPainter& p, const ScreenLayers& l);
// The whole picture on a new image of the zoom's size (350 x 250 x zoom).
QImage RenderScreenLayers(const ScreenLayers& l);

// ---------------------------------------------------------------------------
// Markers and labels.

// Where a channel's ground level lies: on the screen (a flag whose top is at
// Y), below it (an arrow down whose top is at Y) or above it (an arrow up
// whose tip is at Y). The digit goes beside the mark, normal weight; the
// label below the graticule in bold (CH1 at the left, CH2 a quarter in).
enum class MarkPlace { OnScreen, Below, Above };
void DrawChannelMarker(ScreenPen& pen, bool ch1, MarkPlace place, double Y, const QString& label);

// The centre mark and the trigger marker at screen column `column` (a column
// that is not a number gives the left arrow), in the maker's colour.
void DrawTriggerMarkers(ScreenPen& pen, bool colour, double column);
// ALTERNATION: the markers of both halves, then each half's delay text in
// its channel's colour and, when given, its time/div in bold.
void DrawAltTriggerMarkers(ScreenPen& pen, bool colour, double column1, double column2,
                           const QString& delay1, const QString& delay2,
                           const QString& timeScale1 = QString(),
                           const QString& timeScale2 = QString());

// The X-Y plot's title and its two channels' labels, in bold.
void DrawXYLabels(ScreenPen& pen, bool colour, const QString& ch1, const QString& ch2);

// ---------------------------------------------------------------------------
// Logic-analyser channels.

// Channel c (0..15) is shown in the description's channel mask.
bool LaChannelShown(const SystemDataRecord& sd, int c);

// Every shown logic channel in order, the selected one (`current`, -1 or
// past 15 for none) last in its own colour; all black in black and white.
template <typename F>
void ForEachLaChannel(ScreenPen& pen, const SystemDataRecord& sd, int current, bool colour, F each) {
    pen.SetFore(colour ? WaveColors::La() : WaveColors::Black());
    for (int c = 0; c < 16; ++c)
        if (c != current && LaChannelShown(sd, c)) each(c);
    if (LaChannelShown(sd, current)) {
        pen.SetFore(colour ? WaveColors::LaSelected() : WaveColors::Black());
        each(current);
    }
}

// The labels "D0".."D15" in the left margin, 12 above each channel's row
// moved by `base` (25, or less on a screen whose upper half is the FFT's).
void DrawLaLabels(ScreenPen& pen, const SystemDataRecord& sd, int current, bool colour, double base);

// ---------------------------------------------------------------------------
// Analogue traces.

// The polyline of one analogue trace from a sample array: elements `first`
// and first + 1 joined in the first picture column `x0` (the second at
// `firstEndY` when that is a number), then, `skip` elements further on, one
// element per step of 300 / count columns while the column is at most `xEnd`.
// A count of 0 draws nothing; no element past the array's end is read.
template <typename Samples, typename YMap>
void DrawTracePolyline(ScreenPen& pen, const Samples& s, int count, int first, int skip, int x0,
                       double xEnd, YMap y, double firstEndY = std::nan("")) {
    const int size = static_cast<int>(std::size(s));
    if (count <= 0 || first < 0 || first + 1 >= size) return;
    const double z = pen.Z();
    const double d = 300.0 / count * z;
    QVector<QPoint> pts;
    pts.reserve(int(std::min<double>(size, (xEnd - x0) / d + 4)));
    pts.append(QPoint(x0, Near(y(s[first]))));
    pts.append(QPoint(x0, Near(std::isnan(firstEndY) ? y(s[first + 1]) : firstEndY)));
    int i = first + 1 + skip;
    for (double x = x0 + z; x <= xEnd; x += d) {
        if (++i >= size) break;
        pts.append(QPoint(Near(static_cast<float>(x - 0.1)), Near(y(s[i]))));
    }
    pen.Polyline(pts);
}
