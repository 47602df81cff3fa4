#include "replay/model/FrameDrawing.h"

#include <QLine>
#include <QPainter>
#include <QPoint>
#include <QVector>

#include "common/SheetModel.h"
#include "link/ReplyParse.h"
#include "screen/Graticule.h"
#include "screen/ScreenColors.h"
#include "screen/ScreenPen.h"

namespace {

// Real coordinates become whole pixels at the drawing call, halves to even.
int R(double v) { return Near(v); }

struct Geometry {
    double W, H;
    explicit Geometry(QSize inner) : W(inner.width() - 50), H(inner.height() - 50) {}
};

void Grid(ScreenPen& pen, QSize inner, bool black) {
    const Geometry g(inner);
    const double W = g.W, H = g.H;
    pen.SetFore(WaveColors::Scheme(black, WaveColors::Grid()));

    // The frame, two pixels wide; its right edge leans one pixel.
    pen.SetWidth(2);
    pen.Line(26, 26, W + 25, 26);
    pen.Line(26, 25, 26, H + 24);
    pen.Line(26, H + 24, W + 25, H + 24);
    pen.Line(W + 24, 26, W + 25, H + 24);

    // Centre axes, ticks and dotted division lines, one pixel wide.
    pen.SetWidth(1);
    pen.Line(25, H / 2 + 25, W + 25, H / 2 + 25);
    pen.Line(W / 2 + 25, 25, W / 2 + 25, H + 25);

    QVector<QPoint> dots;
    QVector<QLine> ticks;
    dots.reserve(1600);
    ticks.reserve(100);
    const int yc = R((H - 1) / 2 + 24), xc = R(W / 2 + 23);
    const int top = 27, bottom = R(H + 22), left = 27, right = R(W + 22);
    for (int k = 1; k <= 59; ++k) {
        const int x = R(25 + k * W / 60);
        const bool major = k % 5 == 0;
        dots << QPoint(x, top) << QPoint(x, top + 1) << QPoint(x, bottom) << QPoint(x, bottom - 1);
        if (major) dots << QPoint(x, top + 2) << QPoint(x, top + 3) << QPoint(x, bottom - 2) << QPoint(x, bottom - 3);
        ticks << (major ? QLine(x, yc - 1, x, yc + 6) : QLine(x, yc, x, yc + 5));
    }
    for (int k = 1; k <= 39; ++k) {
        const int y = R(25 + k * H / 40);
        const bool major = k % 5 == 0;
        dots << QPoint(left, y) << QPoint(left + 1, y) << QPoint(right, y) << QPoint(right - 1, y);
        if (major) dots << QPoint(left + 2, y) << QPoint(left + 3, y) << QPoint(right - 2, y) << QPoint(right - 3, y);
        ticks << (major ? QLine(xc - 1, y, xc + 6, y) : QLine(xc, y, xc + 5, y));
    }
    for (int i = 0; 25 + i * H / 8 <= H; ++i) {
        const int y = R(25 + i * H / 8);
        for (int m = 0; m <= 60; ++m) dots << QPoint(R(25 + m * W / 60), y);
    }
    for (int i = 0; 25 + i * W / 12 <= W; ++i) {
        const int x = R(25 + i * W / 12);
        for (int m = 0; m <= 40; ++m) dots << QPoint(x, R(25 + m * (H - 1) / 40));
    }
    pen.Lines(ticks);
    pen.Points(dots);

    pen.SetFore(WaveColors::Scheme(black, WaveColors::Maker()));
    pen.SetBold(true);
    pen.Text(25, 10, QString::fromLatin1(MakerName));
    pen.SetBold(false);
}

}  // namespace

QFont FrameStyle::DefaultFont() { return DefaultScreenFont(); }

QColor RecordBackground(bool black) { return WaveColors::Background(black); }

QColor RecordTraceColour(const QString& channel, bool black, const FrameStyle& style) {
    if (channel == QLatin1String("CH1")) return WaveColors::Scheme(black, style.Ch1Color);
    if (channel == QLatin1String("CH2")) return WaveColors::Scheme(black, style.Ch2Color);
    return WaveColors::Black();
}

void DrawRecordGrid(QPainter& p, QSize inner, bool black, const FrameStyle& style) {
    ScreenPen pen(p, 1.0, style.Font);
    Grid(pen, inner, black);
}

void DrawRecordFrame(QPainter& p, QSize inner, const RecordInfo& r, const FrameStyle& style) {
    const Geometry g(inner);
    const double W = g.W, H = g.H, zoom = style.Zoom;
    const bool black = r.BlackBackground;
    ScreenPen pen(p, 1.0, style.Font);
    Grid(pen, inner, black);
    const double row = H + 31;

    // Channel: the zero-level marker in the left margin, then the labels.
    const QColor trace = RecordTraceColour(r.Channel, black, style);
    const double o = ParseVolt(r.OffsetText), v = ParseVolt(r.VoltScaleText);
    const double pos = -(o / v) * H / 8 + H / 2;
    const bool ch1 = r.Channel == QLatin1String("CH1");
    pen.SetFore(trace);
    if (pos > 0 && pos < H) {
        const double y0 = pos * zoom + 20;
        pen.Outline({{6, y0}, {19, y0}, {23, y0 + 5}, {19, y0 + 10}, {6, y0 + 10}, {6, y0}});
        pen.SetBold(false);
        pen.Text(10, y0 - 1, ch1 ? QStringLiteral("1") : QStringLiteral("2"));
    }
    pen.SetBold(true);
    pen.Text(25, row, ch1 ? QStringLiteral("CH1 ") : QStringLiteral("CH2 "));
    pen.Text(5 * W / 60 + 25, row, QStringLiteral("Volt/Div: ") + r.VoltScaleText);
    pen.Text(18 * W / 60 + 25, row, QStringLiteral("Offset: ") + r.OffsetText);

    // Time: the centre triangle and the trigger marker, then the labels.
    const QColor marker = WaveColors::Scheme(black, WaveColors::Maker());
    const double d = ParseTime(r.DelayText), t = ParseTime(r.TimeScaleText);
    const double q = -(d / t) * W / 12 + W / 2;
    pen.SetFore(marker);
    if (q > 0 && q < W) {
        const double x0 = W / 2 * zoom + 21;
        pen.Outline({{x0, 26}, {x0 + 8, 26}, {x0 + 4, 30}, {x0, 26}});
        const double x1 = q * zoom + 21;
        pen.Outline({{x1, 30}, {x1 + 8, 30}, {x1 + 8, 40}, {x1 + 4, 44}, {x1, 40}, {x1, 30}});
        pen.SetBold(false);
        pen.Text(R(x1 + 1), 31, QStringLiteral("T"));
    }
    pen.SetBold(false);
    pen.Text(45 * W / 60 + 25, row, QStringLiteral("Delay: ") + r.DelayText);
    pen.SetFore(WaveColors::Scheme(black, WaveColors::White()));
    pen.SetBold(true);
    pen.Text(W / 2 + 25, row, QStringLiteral("TimeDiv: ") + r.TimeScaleText);
    pen.SetBold(false);

    // The trace: samples 213 onward of the frame across the graticule, two
    // steps of W/600 pixels per screen column. A frame the samples do not
    // hold in whole is not drawn.
    const int frame = r.CurrentFrame;
    if (frame < 1 || int64_t(frame) * RecordFrameSamples > int64_t(r.Samples.size())) return;
    const int16_t* s = r.Samples.data() + size_t(frame - 1) * RecordFrameSamples;
    const double xs = W / 300, ys = H / 200, step = W / 600;
    if (!(step > 0)) return;
    const auto y = [&](int16_t v) { return R(v * ys + 25); };
    QVector<QPoint> pts;
    pts.reserve(604);
    pts.append(QPoint(25, y(s[213])));
    pts.append(QPoint(25, y(s[214])));
    int i = 215;
    for (double x = 25 + xs; x <= W + 24 && i < RecordFrameSamples; x += step) pts.append(QPoint(R(x - 0.1), y(s[i++])));
    pen.SetFore(trace);
    pen.Polyline(pts);
}

QImage RenderRecordPicture(QSize inner, const RecordInfo& r, const FrameStyle& style) {
    QImage img(inner.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    img.fill(RecordBackground(r.BlackBackground));
    QPainter p(&img);
    if (r.DisplayActive) DrawRecordFrame(p, inner, r, style);
    else DrawRecordGrid(p, inner, r.BlackBackground, style);
    return img;
}
