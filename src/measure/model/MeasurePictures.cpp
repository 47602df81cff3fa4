#include "measure/model/MeasurePictures.h"

#include <QPainter>
#include <QPolygon>
#include <cmath>

namespace {
constexpr int W = 56, H = 20;
constexpr int Top = 4, Base = 16, Mid = 10;

void squareWave(QPainter& p) {
    p.drawPolyline(QPolygon({{2, Base}, {10, Base}, {10, Top}, {24, Top}, {24, Base}, {38, Base},
                             {38, Top}, {52, Top}}));
}
void sineWave(QPainter& p) {
    QPolygon poly;
    for (int x = 2; x <= 52; ++x) poly << QPoint(x, Mid - int(std::lround(6 * std::sin((x - 2) / 8.0))));
    p.drawPolyline(poly);
}
void vArrow(QPainter& p, int x, int y0, int y1) {
    p.drawLine(x, y0, x, y1);
    const int d = y1 > y0 ? -2 : 2;
    p.drawLine(x, y1, x - 2, y1 + d);
    p.drawLine(x, y1, x + 2, y1 + d);
}
void hArrow(QPainter& p, int x0, int x1, int y) {
    p.drawLine(x0, y, x1, y);
    p.drawLine(x0, y, x0 + 2, y - 2);
    p.drawLine(x0, y, x0 + 2, y + 2);
    p.drawLine(x1, y, x1 - 2, y - 2);
    p.drawLine(x1, y, x1 - 2, y + 2);
}
}  // namespace

QImage MeasurePicture(int picture) {
    QImage img(W, H, QImage::Format_RGB32);
    img.fill(QColor(0, 128, 128));
    if (picture < 1 || picture > 18) return img;
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QPen trace(QColor(255, 255, 0));
    const QPen mark(QColor(255, 255, 255));
    p.setPen(trace);
    switch (picture) {
    case 1: squareWave(p); p.setPen(mark); vArrow(p, 31, Base, Top); vArrow(p, 31, Top, Base); break;
    case 2: sineWave(p); p.setPen(mark); vArrow(p, 14, Base + 2, Top); break;
    case 3: sineWave(p); p.setPen(mark); vArrow(p, 39, 2, Base); break;
    case 4: sineWave(p); p.setPen(mark); p.drawLine(2, Mid, 52, Mid); break;
    case 5: squareWave(p); p.setPen(mark); vArrow(p, 31, Base, Top); vArrow(p, 31, Top, Base); p.drawLine(28, Top, 34, Top); p.drawLine(28, Base, 34, Base); break;
    case 6: squareWave(p); p.setPen(mark); vArrow(p, 31, H - 1, Top); break;
    case 7: squareWave(p); p.setPen(mark); vArrow(p, 45, 0, Base); break;
    case 8: sineWave(p); p.setPen(mark); p.drawLine(2, Mid - 4, 52, Mid - 4); break;
    case 9:
        p.drawPolyline(QPolygon({{2, Base}, {14, Base}, {14, 1}, {17, 6}, {20, 3}, {23, Top}, {52, Top}}));
        p.setPen(mark); vArrow(p, 30, Top, 1); break;
    case 10:
        p.drawPolyline(QPolygon({{2, Base}, {10, Base}, {12, H - 1}, {14, Base}, {16, Base}, {16, Top}, {52, Top}}));
        p.setPen(mark); vArrow(p, 8, Base, H - 1); break;
    case 11:  // "1/" drawn with lines (no fonts)
        squareWave(p); p.setPen(mark); hArrow(p, 10, 38, Mid); p.drawLine(42, 1, 42, 7); p.drawLine(45, 7, 48, 1); break;
    case 12: squareWave(p); p.setPen(mark); hArrow(p, 10, 38, Mid); break;
    case 13:
        p.drawPolyline(QPolygon({{2, Base}, {20, Base}, {30, Top}, {52, Top}}));
        p.setPen(mark); hArrow(p, 20, 30, H - 1); break;
    case 14:
        p.drawPolyline(QPolygon({{2, Top}, {20, Top}, {30, Base}, {52, Base}}));
        p.setPen(mark); hArrow(p, 20, 30, H - 1); break;
    case 15:
        p.drawPolyline(QPolygon({{2, Base}, {16, Base}, {16, Top}, {38, Top}, {38, Base}, {52, Base}}));
        p.setPen(mark); hArrow(p, 16, 38, Mid); break;
    case 16:
        p.drawPolyline(QPolygon({{2, Top}, {16, Top}, {16, Base}, {38, Base}, {38, Top}, {52, Top}}));
        p.setPen(mark); hArrow(p, 16, 38, Mid); break;
    case 17: squareWave(p); p.setPen(mark); p.drawLine(10, Top - 2, 24, Top - 2); hArrow(p, 10, 38, H - 1); break;
    case 18: squareWave(p); p.setPen(mark); p.drawLine(24, Base + 2, 38, Base + 2); hArrow(p, 10, 38, 1); break;
    default: break;
    }
    return img;
}
