#include "screen/LogicLine.h"

#include <QPoint>
#include <QVector>

namespace {
// One logic line as a single connected path: every segment starts where the
// previous one ended, so a run of the same level costs one vertex.
class LaPath {
public:
    explicit LaPath(int reserve) { pts_.reserve(reserve); }
    void Start(int x, int y) { pts_.append(QPoint(x, y)); horizontal_ = false; }
    // A level from the current point to x.
    void Level(int x, int y) {
        if (horizontal_ && pts_.last().y() == y) {
            pts_.last().setX(x);
        } else {
            pts_.append(QPoint(x, y));
            horizontal_ = true;
        }
    }
    // An edge at the current x to the other level.
    void Edge(int y) {
        pts_.append(QPoint(pts_.last().x(), y));
        horizontal_ = false;
    }
    const QVector<QPoint>& Points() const { return pts_; }

private:
    QVector<QPoint> pts_;
    bool horizontal_ = false;
};

}  // namespace

void DrawLogicLine(ScreenPen& pen, const int32_t* words, int c, double xs, int last, int LO,
                   int HI) {
    const double z = pen.Z();
    auto bit = [&](int i) { return (i >= 0 && i < LogicLineWords) ? (words[i] >> c) & 1 : 0; };
    auto level = [&](int b) { return b ? HI : LO; };
    LaPath path(1300);
    int xp = Near(xs);
    int P, C;
    if (bit(0) == bit(1)) {
        P = C = bit(0);
        path.Start(xp, level(C));
    } else {
        if (bit(2) == 0 && bit(3) == 0)
            P = 1, C = 0;
        else
            P = 0, C = 1;
        // The edge at the start, ending on the level the line goes on with.
        path.Start(xp, level(1 - C));
        path.Edge(level(C));
    }
    int i = 1;
    const double limit = (last + 1) * z + 24;
    for (double x = xs + z; x <= limit && i + 2 < LogicLineWords;) {
        const int x1 = Near(static_cast<float>(x - 0.1));
        const int b1 = bit(i + 1), b2 = bit(i + 2);
        i += 2;
        x += 0.5 * z;
        const int x2 = Near(static_cast<float>(x - 0.1));
        x += 0.5 * z;
        // First half xp..x1, second half x1..x2. Every case ends on the
        // level of the new C, which the next pass starts from.
        if (b1 == b2) {
            path.Level(x1, level(C));
            if (C != b1) path.Edge(level(b1));
            path.Level(x2, level(b1));
            P = C = b1;
        } else if (P == C) {
            path.Level(x1, level(C));
            path.Level(x2, level(C));
            path.Edge(level(1 - C));
            C = 1 - C;
        } else {
            if (C == 1) {
                path.Level(x1, HI);
                path.Edge(LO);
            } else {
                path.Level(x1, LO);
            }
            path.Level(x2, LO);
            path.Edge(HI);
            P = 0, C = 1;
        }
        xp = x2;
    }
    pen.AxisPolyline(path.Points());
}

