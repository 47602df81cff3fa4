#pragma once
// Pixel counting on drawn pictures; header-only, so the model-only tests
// (which link no test support library) use it too.
#include <QImage>
#include <QRect>

// The number of pixels of the given colour inside r (edges included).
inline int CountColour(const QImage& img, const QRect& r, QRgb colour) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) n += img.pixel(x, y) == colour;
    return n;
}
