#include "replay/model/FrameDrawing.h"

#include <QFontMetrics>
#include <QLine>
#include <QPainter>
#include <QPoint>
#include <QVarLengthArray>
#include <cmath>

#include "common/SheetModel.h"
#include "link/ReplyParse.h"

namespace {

const QColor Grey(192, 192, 192), Orange(255, 128, 0), White(255, 255, 255), Black(0, 0, 0);

// Real coordinates become whole pixels at the drawing call, halves to even.
int R(double v) { return int(std::nearbyint(v)); }

// Text whose top-left corner stands at (x, y), bold or not.
class TextWriter {
public:
    TextWriter(QPainter& p, const QFont& f) : p_(p), normal_(f), bold_(f) {
        normal_.setBold(false);
        bold_.setBold(true);
        ascentNormal_ = QFontMetrics(normal_).ascent();
        ascentBold_ = QFontMetrics(bold_).ascent();
    }
    void Out(int x, int y, const QString& text, bool bold, const QColor& c) {
        p_.setFont(bold ? bold_ : normal_);
        p_.setPen(QPen(c, 1));
        p_.drawText(QPoint(x, y + (bold ? ascentBold_ : ascentNormal_)), text);
    }

private:
    QPainter& p_;
    QFont normal_, bold_;
    int ascentNormal_ = 0, ascentBold_ = 0;
};

void Lines(QPainter& p, const QColor& c, int width, std::initializer_list<QPointF> pts) {
    p.setPen(QPen(c, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    QVarLengthArray<QPoint, 8> v;
    for (const QPointF& q : pts) v.append(QPoint(R(q.x()), R(q.y())));
    p.drawPolyline(v.constData(), int(v.size()));
}

struct Geometry {
    double W, H;
    explicit Geometry(QSize inner) : W(inner.width() - 50), H(inner.height() - 50) {}
};

}  // namespace

QFont FrameStyle::DefaultFont() {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(11);
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

QColor RecordBackground(bool black) { return black ? Black : White; }

QColor RecordTraceColour(const QString& channel, bool black, const FrameStyle& style) {
    if (!black) return Black;
    if (channel == QLatin1String("CH1")) return style.Ch1Color;
    if (channel == QLatin1String("CH2")) return style.Ch2Color;
    return Black;
}

void DrawRecordGrid(QPainter& p, QSize inner, bool black, const FrameStyle& style) {
    const Geometry g(inner);
    const double W = g.W, H = g.H;
    const QColor grid = black ? Grey : Black;
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);

    // The frame, two pixels wide; its right edge leans one pixel.
    p.setPen(QPen(grid, 2, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    const QLine frame[] = {
        QLine(26, 26, R(W + 25), 26), QLine(26, 25, 26, R(H + 24)),
        QLine(26, R(H + 24), R(W + 25), R(H + 24)), QLine(R(W + 24), 26, R(W + 25), R(H + 24)),
    };
    p.drawLines(frame, 4);

    // Centre axes, ticks and dotted division lines, one pixel wide.
    p.setPen(QPen(grid, 1));
    const QLine axes[] = {QLine(25, R(H / 2 + 25), R(W + 25), R(H / 2 + 25)),
                          QLine(R(W / 2 + 25), 25, R(W / 2 + 25), R(H + 25))};
    p.drawLines(axes, 2);

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
    p.drawLines(ticks);
    p.drawPoints(dots.constData(), int(dots.size()));

    TextWriter(p, style.Font).Out(25, 10, QStringLiteral("TARVO"), true, black ? Orange : Black);
}

void DrawRecordFrame(QPainter& p, QSize inner, const RecordInfo& r, const FrameStyle& style) {
    const Geometry g(inner);
    const double W = g.W, H = g.H, zoom = style.Zoom;
    const bool black = r.BlackBackground;
    DrawRecordGrid(p, inner, black, style);
    TextWriter text(p, style.Font);
    const int row = R(H + 31);

    // Channel: the zero-level marker in the left margin, then the labels.
    const QColor trace = RecordTraceColour(r.Channel, black, style);
    const double o = ParseVolt(r.OffsetText), v = ParseVolt(r.VoltScaleText);
    const double pos = -(o / v) * H / 8 + H / 2;
    const bool ch1 = r.Channel == QLatin1String("CH1");
    if (pos > 0 && pos < H) {
        const double y0 = pos * zoom + 20;
        Lines(p, trace, 1, {{6, y0}, {19, y0}, {23, y0 + 5}, {19, y0 + 10}, {6, y0 + 10}, {6, y0}});
        text.Out(10, R(y0 - 1), ch1 ? QStringLiteral("1") : QStringLiteral("2"), false, trace);
    }
    text.Out(25, row, ch1 ? QStringLiteral("CH1 ") : QStringLiteral("CH2 "), true, trace);
    text.Out(R(5 * W / 60 + 25), row, QStringLiteral("Volt/Div: ") + r.VoltScaleText, true, trace);
    text.Out(R(18 * W / 60 + 25), row, QStringLiteral("Offset: ") + r.OffsetText, true, trace);

    // Time: the centre triangle and the trigger marker, then the labels.
    const QColor marker = black ? Orange : Black;
    const double d = ParseTime(r.DelayText), t = ParseTime(r.TimeScaleText);
    const double q = -(d / t) * W / 12 + W / 2;
    if (q > 0 && q < W) {
        const double x0 = W / 2 * zoom + 21;
        Lines(p, marker, 1, {{x0, 26}, {x0 + 8, 26}, {x0 + 4, 30}, {x0, 26}});
        const double x1 = q * zoom + 21;
        Lines(p, marker, 1, {{x1, 30}, {x1 + 8, 30}, {x1 + 8, 40}, {x1 + 4, 44}, {x1, 40}, {x1, 30}});
        text.Out(R(x1 + 1), 31, QStringLiteral("T"), false, marker);
    }
    text.Out(R(45 * W / 60 + 25), row, QStringLiteral("Delay: ") + r.DelayText, false, marker);
    text.Out(R(W / 2 + 25), row, QStringLiteral("TimeDiv: ") + r.TimeScaleText, true, black ? White : Black);

    // The trace: samples 213 onward of the frame across the graticule, two
    // steps of W/600 pixels per screen column. A frame the samples do not
    // hold in whole is not drawn.
    const int frame = r.CurrentFrame;
    if (frame < 1 || int64_t(frame) * RecordFrameSamples > int64_t(r.Samples.size())) return;
    const int16_t* s = r.Samples.data() + size_t(frame - 1) * RecordFrameSamples;
    const double xs = W / 300, ys = H / 200, step = W / 600;
    if (!(step > 0)) return;
    const auto y = [&](int16_t v) { return R(v * ys + 25); };
    QVarLengthArray<QPoint, 640> pts;
    pts.append(QPoint(25, y(s[213])));
    pts.append(QPoint(25, y(s[214])));
    int i = 215;
    for (double x = 25 + xs; x <= W + 24 && i < RecordFrameSamples; x += step) pts.append(QPoint(R(x - 0.1), y(s[i++])));
    p.setPen(QPen(trace, 1));
    p.drawPolyline(pts.constData(), int(pts.size()));
}

QImage RenderRecordPicture(QSize inner, const RecordInfo& r, const FrameStyle& style) {
    QImage img(inner.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    img.fill(RecordBackground(r.BlackBackground));
    QPainter p(&img);
    if (r.DisplayActive) DrawRecordFrame(p, inner, r, style);
    else DrawRecordGrid(p, inner, r.BlackBackground, style);
    return img;
}
