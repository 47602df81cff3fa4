#include "screen/Graticule.h"

#include "screen/ScreenColors.h"

const char* const MakerName = "TARVO";

namespace {
// Points at (x0 + v, y) for v = 0, step, ... while v <= length.
void AddRow(QVector<QPoint>& pts, double y, double x0, double length, double step) {
    const int row = Near(y);
    for (double v = 0; v <= length; v += step) pts.append(QPoint(Near(x0 + v), row));
}
void AddColumn(QVector<QPoint>& pts, double x, double y0, double length, double step) {
    const int col = Near(x);
    for (double v = 0; v <= length; v += step) pts.append(QPoint(col, Near(y0 + v)));
}
}  // namespace

void DrawGraticule(ScreenPen& pen, const GraticuleStyle& style) {
    const WaveGeometry& g = pen.Geo();
    const double z = g.Zoom, W = g.Width(), H = g.Height(), R = g.Right(), B = g.Bottom();
    const double cx = g.CentreX(), cy = g.CentreY();
    const bool colour = style.Colour;

    pen.Fill(WaveColors::Background(colour));
    pen.SetFore(WaveColors::Scheme(colour, WaveColors::Grid()));

    pen.SetWidth(2);
    pen.Line(25, 25, R, 25);
    pen.Line(25, 25, 25, B);
    pen.Line(25, B, R, B);
    pen.Line(R, B, R, 25);

    pen.SetWidth(1);
    pen.Line(25, cy, R, cy);
    pen.Line(cx, 25, cx, B);

    // Ticks: below zoom 1 none, at 1 each row and column once, above it
    // repeated every 0.1 up to the zoom.
    QVector<QPoint> pts;
    pts.reserve(4096);
    const double s = style.Split ? 6.25 : 5;
    for (double k = 1; k <= z; k += 0.1) {
        AddRow(pts, 25 + k, 25, W, 5 * z);
        AddRow(pts, 25 + 2 * k, 25, W, 25 * z);
        AddRow(pts, cy - k, 25, W, 5 * z);
        AddRow(pts, cy - 2 * k, 25, W, 25 * z);
        AddRow(pts, cy + k, 25, W, 5 * z);
        AddRow(pts, cy + 2 * k, 25, W, 25 * z);
        AddRow(pts, B - 2 * k, 25, W, 5 * z);
        AddRow(pts, B - 3 * k, 25, W, 25 * z);
        AddColumn(pts, 25 + k, 25, H, s * z);
        AddColumn(pts, 25 + 2 * k, 25, H, 25 * z);
        AddColumn(pts, cx - k, 25, H, s * z);
        AddColumn(pts, cx - 2 * k, 25, H, 25 * z);
        AddColumn(pts, cx + k, 25, H, s * z);
        AddColumn(pts, cx + 2 * k, 25, H, 25 * z);
        AddColumn(pts, R - 2 * k, 25, H, s * z);
        AddColumn(pts, R - 3 * k, 25, H, 25 * z);
    }

    if (style.Grid) {
        if (style.Split) {
            for (double k = 1; k <= z; k += 0.1) {
                AddRow(pts, H / 4 + 25 - k, 25, W, 5 * z);
                AddRow(pts, 3 * (H / 4) + 25 + k, 25, W, 5 * z);
            }
            for (double y = 25; y <= B; y += 12.5 * z) AddRow(pts, y, 25, W, 5 * z);
            for (double x = 25; x <= R; x += 25 * z) AddColumn(pts, x, 25, H, 6.25 * z);
        } else {
            for (double y = 25; y <= B; y += 25 * z) AddRow(pts, y, 25, W, 5 * z);
            for (double x = 25; x <= R; x += 25 * z) AddColumn(pts, x, 25, H, 5 * z);
        }
    }
    pen.Points(pts);

    pen.SetFore(WaveColors::Scheme(colour, WaveColors::Maker()));
    pen.SetBold(true);
    pen.Text(25, 10, QString::fromLatin1(MakerName));
    pen.SetBold(false);
}
