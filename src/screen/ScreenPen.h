#pragma once
// The pen every instrument-screen picture draws with: fore colour, line width
// and bold flag of one drawing pass, with each operation rounded to whole
// pixels (halves to even) and antialiasing off.
//
// On a plain 32-bit QImage that nothing (transform, clip, opacity, blending)
// changes on the way, single pixels, level runs and thin lines go straight
// into the image's memory; any other device (a printer's page, a widget)
// takes the painter's own path with the same pixels. Texts are anchored at
// their top-left corner (baseline = top + the font's ascent).
#include <QColor>
#include <QFont>
#include <QImage>
#include <QLine>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QString>
#include <QVector>
#include <initializer_list>

#include "screen/WaveGeometry.h"

class QPainter;

// The picture font of the instrument screens: a 10-pixel sans serif without
// antialiasing (bold and normal are derived from it).
QFont DefaultScreenFont();

class ScreenPen {
public:
    // `zoom` is the picture's display zoom (held within MinZoom..MaxZoom);
    // `font` gives the normal and the bold face.
    ScreenPen(QPainter& p, double zoom, const QFont& font);

    const WaveGeometry& Geo() const { return geo_; }
    double Z() const { return geo_.Zoom; }

    void SetFore(const QColor& c);
    // 1 draws 1-pixel (cosmetic) lines; wider lines have square caps.
    void SetWidth(int w);
    void SetBold(bool on);

    void Line(double x1, double y1, double x2, double y2);
    // A closed outline: a line to each further vertex in turn (at most 8).
    void Outline(std::initializer_list<QPointF> vertices);
    void Text(double x, double y, const QString& s);
    void Points(const QVector<QPoint>& pts);
    // A path of horizontal and vertical segments only, end points included.
    void AxisPolyline(const QVector<QPoint>& pts);
    void Polyline(const QVector<QPoint>& pts);
    void Lines(const QVector<QLine>& lines);
    // A 2 x 2 dot around (x, y).
    void Dot2(double x, double y);
    // The whole picture of the geometry, or a rectangle, in one colour.
    void Fill(const QColor& c);
    void Fill(const QRect& r, const QColor& c);

private:
    const QImage& TextImage(const QString& s);
    void ApplyPen();
    void Segment(QPoint a, QPoint b, QRgb c);
    QRgb* Row(int y) { return reinterpret_cast<QRgb*>(bits_ + qsizetype(y) * stride_); }
    void Put(int x, int y, QRgb c) {
        if (x >= 0 && y >= 0 && x < w_ && y < h_) Row(y)[x] = c;
    }

    QPainter& p_;
    WaveGeometry geo_;
    QColor fore_ = QColor(0, 0, 0);
    int width_ = 1;
    bool bold_ = false;
    QFont normal_, bold_font_;
    int ascentNormal_ = 0, ascentBold_ = 0;

    // The image written directly, when it may be.
    QImage* direct_ = nullptr;
    uchar* bits_ = nullptr;
    qsizetype stride_ = 0;
    int w_ = 0, h_ = 0;
};
