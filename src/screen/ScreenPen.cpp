#include "screen/ScreenPen.h"

#include <QFontMetrics>
#include <QPaintEngine>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <unordered_map>

QFont DefaultScreenFont() {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(10);
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

namespace {
double SafeZoom(double z) {
    return (std::isfinite(z) && z >= WaveGeometry::MinZoom) ? std::min(z, WaveGeometry::MaxZoom)
                                                            : WaveGeometry::MinZoom;
}
}  // namespace

ScreenPen::ScreenPen(QPainter& p, double zoom, const QFont& font) : p_(p), geo_(SafeZoom(zoom)) {
    normal_ = font;
    normal_.setBold(false);
    bold_font_ = font;
    bold_font_.setBold(true);
    ascentNormal_ = QFontMetrics(normal_).ascent();
    ascentBold_ = QFontMetrics(bold_font_).ascent();
    p_.setRenderHint(QPainter::Antialiasing, false);
    p_.setRenderHint(QPainter::TextAntialiasing, false);
    if (p_.device() && p_.device()->devType() == QInternal::Image && p_.paintEngine() &&
        p_.paintEngine()->type() == QPaintEngine::Raster && p_.worldTransform().isIdentity() &&
        !p_.hasClipping() && p_.opacity() == 1.0 &&
        p_.compositionMode() == QPainter::CompositionMode_SourceOver) {
        auto* img = static_cast<QImage*>(p_.device());
        const auto f = img->format();
        if (f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 ||
            f == QImage::Format_ARGB32_Premultiplied) {
            direct_ = img;
            bits_ = img->bits();
            stride_ = img->bytesPerLine();
            w_ = img->width();
            h_ = img->height();
        }
    }
    SetWidth(1);
    SetBold(false);
}

void ScreenPen::SetFore(const QColor& c) {
    fore_ = c;
    ApplyPen();
}

void ScreenPen::SetWidth(int w) {
    width_ = w;
    ApplyPen();
}

void ScreenPen::SetBold(bool on) {
    bold_ = on;
    p_.setFont(on ? bold_font_ : normal_);
}

void ScreenPen::ApplyPen() {
    QPen pen(fore_);
    pen.setWidth(width_ <= 1 ? 0 : width_);
    pen.setCapStyle(Qt::SquareCap);
    pen.setJoinStyle(Qt::MiterJoin);
    p_.setPen(pen);
}

void ScreenPen::Line(double x1, double y1, double x2, double y2) {
    p_.drawLine(QPoint(Near(x1), Near(y1)), QPoint(Near(x2), Near(y2)));
}

void ScreenPen::Outline(std::initializer_list<QPointF> vertices) {
    QPoint pts[8];
    int n = 0;
    for (const QPointF& v : vertices) {
        if (n == 8) break;
        pts[n++] = QPoint(Near(v.x()), Near(v.y()));
    }
    p_.drawPolyline(pts, n);
}

// Texts are drawn once into a transparent image and reused: without
// antialiasing the glyph pixels are the same as drawn in place. Other
// devices (a printer's page) get the text drawn in place.
void ScreenPen::Text(double x, double y, const QString& s) {
    if (!direct_) {
        p_.drawText(QPoint(Near(x), Near(y) + (bold_ ? ascentBold_ : ascentNormal_)), s);
        return;
    }
    const QImage& img = TextImage(s);
    if (!img.isNull()) p_.drawImage(QPoint(Near(x), Near(y)), img);
}

const QImage& ScreenPen::TextImage(const QString& s) {
    struct Key {
        QString text, font;
        QRgb colour;
        bool operator==(const Key& o) const {
            return colour == o.colour && text == o.text && font == o.font;
        }
    };
    struct KeyHash {
        size_t operator()(const Key& k) const {
            return qHash(k.text) ^ (qHash(k.font) * 31) ^ k.colour;
        }
    };
    static std::unordered_map<Key, QImage, KeyHash> cache;
    const QFont& f = bold_ ? bold_font_ : normal_;
    Key key{s, f.key(), fore_.rgba()};
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
    if (cache.size() > 2000) cache.clear();
    const QFontMetrics fm(f);
    const int w = std::max(1, fm.horizontalAdvance(s) + fm.maxWidth());
    const int h = std::max(1, fm.height() + 2);
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    {
        QPainter tp(&img);
        tp.setRenderHint(QPainter::TextAntialiasing, false);
        tp.setFont(f);
        tp.setPen(fore_);
        tp.drawText(QPoint(0, bold_ ? ascentBold_ : ascentNormal_), s);
    }
    return cache.emplace(std::move(key), std::move(img)).first->second;
}

void ScreenPen::Points(const QVector<QPoint>& pts) {
    if (!direct_) {
        p_.drawPoints(pts.constData(), int(pts.size()));
        return;
    }
    const QRgb c = fore_.rgba();
    for (const QPoint& q : pts) Put(q.x(), q.y(), c);
}

void ScreenPen::AxisPolyline(const QVector<QPoint>& pts) {
    if (!direct_ || width_ > 1) {
        if (pts.size() == 1)
            p_.drawPoints(pts.constData(), 1);
        else
            p_.drawPolyline(pts.constData(), int(pts.size()));
        return;
    }
    const QRgb c = fore_.rgba();
    const int w = w_, h = h_;
    if (pts.size() == 1) Put(pts[0].x(), pts[0].y(), c);
    for (int k = 1; k < pts.size(); ++k) {
        const QPoint a = pts[k - 1], b = pts[k];
        if (a.y() == b.y()) {
            if (a.y() < 0 || a.y() >= h) continue;
            QRgb* line = Row(a.y());
            const int x1 = std::max(0, std::min(a.x(), b.x()));
            const int x2 = std::min(w - 1, std::max(a.x(), b.x()));
            for (int x = x1; x <= x2; ++x) line[x] = c;
        } else {
            const int y1 = std::min(a.y(), b.y()), y2 = std::max(a.y(), b.y());
            for (int y = y1; y <= y2; ++y) Put(a.x(), y, c);
        }
    }
}

void ScreenPen::Polyline(const QVector<QPoint>& pts) {
    if (!direct_ || width_ > 1) {
        p_.drawPolyline(pts.constData(), int(pts.size()));
        return;
    }
    const QRgb c = fore_.rgba();
    for (int k = 1; k < pts.size(); ++k) Segment(pts[k - 1], pts[k], c);
}

void ScreenPen::Lines(const QVector<QLine>& lines) {
    p_.drawLines(lines.constData(), int(lines.size()));
}

void ScreenPen::Dot2(double x, double y) { p_.fillRect(Near(x) - 1, Near(y) - 1, 2, 2, fore_); }

void ScreenPen::Fill(const QColor& c) {
    p_.fillRect(0, 0, geo_.PictureWidth(), geo_.PictureHeight(), c);
}

void ScreenPen::Fill(const QRect& r, const QColor& c) { p_.fillRect(r, c); }

// A line with both end points, one pixel per step of its longer axis.
void ScreenPen::Segment(QPoint a, QPoint b, QRgb c) {
    int x0 = a.x(), y0 = a.y();
    const int x1 = b.x(), y1 = b.y();
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    if (dx > 4 * w_ || -dy > 4 * h_) {  // far outside: leave it to the painter's clipping
        p_.drawLine(a, b);
        return;
    }
    int err = dx + dy;
    for (;;) {
        Put(x0, y0, c);
        if (x0 == x1 && y0 == y1) break;
        const int e2 = 2 * err;
        if (e2 >= dy) err += dy, x0 += sx;
        if (e2 <= dx) err += dx, y0 += sy;
    }
}
