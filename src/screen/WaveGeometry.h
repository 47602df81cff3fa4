#pragma once
// The instrument screen's model and the zoom and scroll arithmetic around
// it, as plain values: drawing, cursors, hit tests and the view windows share them.
//
// The picture is 350 x 250 pixels times the zoom. The graticule's top-left
// corner stays at (25, 25) at every zoom; the graticule is 300 x 200 times the
// zoom, 12 x 8 divisions of 25 x zoom pixels. A screen value is a position in
// graticule units at zoom 1: columns 0..300 across, rows 0..200 down.
#include <QString>
#include <cmath>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Rounds to the nearest whole number, a half going to the even neighbour.
// Values past +-1e9 are held there and a value that is not a number gives 0,
// so no coordinate overflows an int.
inline int Near(double v) {
    if (!(v == v)) return 0;
    if (v > 1e9) v = 1e9;
    if (v < -1e9) v = -1e9;
#if defined(__SSE2__)
    // The conversion rounds in the default mode: to nearest, halves to even.
    return _mm_cvtsd_si32(_mm_set_sd(v));
#else
    return static_cast<int>(std::nearbyint(v));
#endif
}

struct WaveGeometry {
    static constexpr int Left = 25;
    static constexpr int Top = 25;
    static constexpr double MinZoom = 0.01;
    // Above this the picture's area (3500 x 2500 at 10) grows past any use.
    static constexpr double MaxZoom = 10.0;

    double Zoom = 1.0;

    explicit WaveGeometry(double zoom = 1.0) : Zoom(zoom) {}

    double Width() const { return 300.0 * Zoom; }
    double Height() const { return 200.0 * Zoom; }
    double Right() const { return Left + Width(); }
    double Bottom() const { return Top + Height(); }
    double CentreX() const { return Left + Width() / 2; }
    double CentreY() const { return Top + Height() / 2; }
    double Division() const { return 25.0 * Zoom; }
    // Picture size in whole pixels.
    int PictureWidth() const { return Near(350.0 * Zoom); }
    int PictureHeight() const { return Near(250.0 * Zoom); }

    // Screen value -> picture pixel (not rounded) and back.
    double ColumnX(double column) const { return Left + column * Zoom; }
    double RowY(double row) const { return Top + row * Zoom; }
    double ColumnAt(double x) const { return (x - Left) / Zoom; }
    double RowAt(double y) const { return (y - Top) / Zoom; }
    // The lower half of a split screen starts 100 x zoom (rounded) lower.
    int HalfShift() const { return Near(100.0 * Zoom); }
};

// --- zoom ------------------------------------------------------------------
// The zoom list, in order; the window opens on entry DefaultZoomIndex.
QStringList ZoomChoices();
constexpr int DefaultZoomIndex = 4;  // "150%"

// The factor as the zoom box shows it: factor x 100, rounded, and "%".
QString ZoomText(double factor);

// The zoom-text rule. A text of a number followed by "%" gives that number
// / 100, raised to MinZoom, and is written back as ZoomText; the factor then
// is the whole percent shown (12.5% ends as 0.13). Anything else, or a
// factor above MaxZoom, is refused: the factor stays and `valid` is false
// (the caller shows "Invalid Zoom Factor!").
struct ZoomTextResult {
    double factor = 1.0;
    QString text;
    bool valid = true;
};
ZoomTextResult ApplyZoomText(const QString& typed, double current);
// The zoom box's rule as a view runs it: the factor updated, "Invalid Zoom
// Factor!" (exclamation, `title`) shown for a refused text; gives the text
// the box shows.
QString ApplyZoomTextShown(const QString& typed, double& factor, const QString& title = QString());

// Best Fit: the smaller of container width / 350 (single precision) and
// height / 250, kept within MinZoom..MaxZoom.
double BestFitZoom(int containerWidth, int containerHeight);

// --- scrolling ---------------------------------------------------------------
// Scroll bars of a fixed zoom: shown when the picture's inner size exceeds
// the container's (strictly); ranges in pixels, large steps in percent of the
// bar (0..100), halves to even.
struct ScrollLayout {
    bool wide = false, tall = false;
    float rangeX = 0;     // picture width - container width
    int rangeY = 0;       // picture height - container height, rounded
    int largeStepX = 0, largeStepY = 0;
};
ScrollLayout ComputeScrollLayout(int pictureWidth, int pictureHeight, int containerWidth,
                                 int containerHeight);

// The picture's offset for a bar value 0..100 (0 or negative).
int PanLeft(int value, float rangeX);
int PanTop(int value, int rangeY);
