#pragma once
// Measuring cursors of the instrument-screen views as plain values and
// functions: the per-window cursor state, hit tests, dragging and its
// limits, rescaling when the picture changes size, the cursor shapes, and
// the readouts (time, frequency, voltage, FFT frequency and level
// differences) with their texts. A view describes what its readouts read
// through a ReadoutSource.
//
// Positions are picture pixels (they include the 25-pixel margin). The
// graticule spans columns 25 .. 25 + 300 x zoom and rows 25 .. 25 + 200 x
// zoom; in a split screen the half line is M = 100 x zoom + 25.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRgb>
#include <QSize>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "platform/cursor/CursorDC.h"

class QPainter;

struct CursorState {
    // Upper pair (or the whole screen) and the lower pair of a split screen.
    double X1 = 52, X2 = 297;            // 25 + 300/12 + 2, 25 + 11 x 300/12 - 3
    double LowerX1 = 79, LowerX2 = 270;  // 25 + 2 x 300/12 + 4, 25 + 10 x 300/12 - 5
    double Y1 = 59;                      // 25 + 200/8 + 9
    double Y2 = 259;                     // whole pixels while WholePixelY2
    double LowerY1 = 162.5;
    int16_t LowerY2 = 254;               // whole pixels only
    bool XOn = false, YOn = false;
    // The waveform view holds Y2 in whole pixels (as LowerY2 always is);
    // a view that holds it as any number clears this.
    bool WholePixelY2 = true;
    bool DragX1 = false, DragX2 = false, DragY1 = false, DragY2 = false;
    bool DragLowerX1 = false, DragLowerX2 = false, DragLowerY1 = false, DragLowerY2 = false;
    // Picture size when the positions were last rescaled (0: not yet known).
    double PrevPicWidth = 0;
    int16_t PrevPicHeight = 0;

    bool Dragging() const {
        return DragX1 || DragX2 || DragY1 || DragY2 || DragLowerX1 || DragLowerX2 ||
               DragLowerY1 || DragLowerY2;
    }
    // A value stored into Y2: rounded (CursorRow) while WholePixelY2.
    double Y2Value(double y) const;
};

// A value for the whole-pixel cursors: nearest, halves to even, held in range.
int16_t CursorRow(double y);

// The pointer lies strictly less than 3 pixels across the cursor's line.
bool CursorHit(double cursor, double pointer);

// --- mouse -------------------------------------------------------------------
// A press picks at most one X and one Y cursor (the first of a pair wins);
// a press that hits nothing changes nothing.
void CursorMouseDown(CursorState& s, bool split, double zoom, double x, double y);

// A move: drags the cursor picked (X before Y, upper before lower) to the
// raw pointer position, or tells what a press would catch. Returns the
// pointer shape code (MouseControl: 0 default, 7 vertical, 9 horizontal) and
// whether the picture needs its cursors drawn again.
struct CursorMoveResult {
    int shape = 0;
    bool redraw = false;
};
CursorMoveResult CursorMouseMove(CursorState& s, bool split, double zoom, double x, double y);

// A release ends every drag.
void CursorMouseUp(CursorState& s);

// --- limits and sizes ----------------------------------------------------------
// The drag limits, written back: X cursors within 27 .. 300 x zoom + 23, Y
// cursors within 27 .. 200 x zoom + 23, in a split screen the upper pair
// within 27 .. M - 2 and the lower pair within M + 2 .. 200 x zoom + 23.
// Y limits apply only while the Y cursors are shown, the lower X pair's only
// in a split screen while the X cursors are shown (as the drawing does).
void ClampCursors(CursorState& s, bool split, double zoom);

// The positions follow the picture's new size (w x h pixels) in proportion
// to the graticule; the first call only records the size.
void RescaleCursors(CursorState& s, double w, double h);

// The print pass of a zoomable picture: zoom set to 2, the picture sized by
// sizePicture (which returns the size it got), and, when drawNow, drawn by
// redraw with the cursors keeping their places on the graticule in the larger
// picture (the window's own positions come back afterwards); then output
// runs and the zoom is restored. The caller lays its window out again.
void DrawForPrint(double& zoom, CursorState& cursors, bool drawNow,
                  const std::function<QSize()>& sizePicture, const std::function<void()>& redraw,
                  const std::function<void()>& output);

// --- drawing -------------------------------------------------------------------
// The limits, then the shown cursors' lines (dash-dot-dot) and handles
// (solid) in the pen colour.
void DrawCursorLines(QPainter& p, CursorState& s, bool split, double zoom,
                     const CursorColours& c);

// --- readouts ------------------------------------------------------------------
QString ConvertVoltToStr(double v);
QString ConvertTimeToStr(double v);
QString ConvertFreqToStr(double v);
double GetTimeVlu(const QString& text);

// One readout line: its top-left corner, colour and text.
struct ReadoutLine {
    QPoint at;
    QColor colour;
    QString text;
};

// What a view's readouts read besides the cursors: the form of its display
// and its scales per division.
class ReadoutSource {
public:
    enum class Span { Whole, Upper, Lower };
    // The FFT's scales, when its readouts are shown.
    struct FftScales {
        bool LowerHalf = false;   // on a screen split by two time bases: read by the lower pair
        double HzPerDiv = 0;      // frequency per division; not above 0: no value
        bool Db = false;          // level in dB (else in Vrms)
        double DbPerDiv = 0;      // below 1: no value
        double VrmsPerDiv = 0;    // not above 0: no value
    };

    virtual ~ReadoutSource() = default;
    // The screen is split in two halves, each with its pair of cursors.
    virtual bool Split() const = 0;
    // The halves have their own time bases (CH1 upper, CH2 lower).
    virtual bool TwoTimeBases() const = 0;
    // An X-Y plot: the X pair reads CH1's volts, the Y pair CH2's.
    virtual bool XYPlot() const = 0;
    // Seconds per division of the whole screen or of a half of a screen
    // split by two time bases; no value: no time texts.
    virtual std::optional<double> SecondsPerDiv(Span span) const = 0;
    // Volts per division of CH1 (1) or CH2 (2); no value: no voltage text
    // (an X-Y plot reads a missing scale as 0).
    virtual std::optional<double> VoltsPerDiv(int channel) const = 0;
    // The FFT's scales while its readouts are shown.
    virtual std::optional<FftScales> Fft() const { return std::nullopt; }
};

// Everything the readouts read besides the cursors and the source.
struct ReadoutOptions {
    double Zoom = 1.0;
    QString VrmsName = QStringLiteral("Vrms");  // entry 5 of the measurement names
};
QList<ReadoutLine> CursorReadouts(const CursorState& s, const ReadoutSource& src,
                                  const ReadoutOptions& o, const CursorColours& c);
// Writes the lines at their top-left corners.
void DrawReadouts(QPainter& p, const QList<ReadoutLine>& lines, const QFont& font);

// The overlay of a picture: cursor lines (clamped first, written back),
// then the readouts in `font`.
void DrawCursorOverlay(QPainter& p, CursorState& s, const ReadoutSource& src,
                       const ReadoutOptions& o, const CursorColours& c, const QFont& font);

// The overlay drawn straight onto the shown picture, keeping the pixels it
// covers so that it comes off again: a cursor drag puts back what it covered
// and draws anew, and no pass copies the whole picture.
//
// Each piece of the overlay (a shown cursor's line with its handles, a
// readout line) is drawn once, when it first appears or changes, and kept as
// the pixels it sets; a pass then writes those pixels, and keeps the ones it
// covers, so that a redraw with unchanged cursors and readouts costs what
// they cover. Pixels come out as the painter draws them in place: a piece
// that the painter would blend (a font with antialiasing, a colour that is
// not opaque), that reaches past the picture (a cursor at a small zoom), or a
// picture of another format, takes the painter's path for that pass.
class CursorOverlayPicture {
public:
    // Puts back what the last overlay covered (nothing after Forget).
    void Remove(QImage& picture);
    // The picture was drawn anew underneath: what was covered no longer
    // applies (the pieces' own pixels still do).
    void Forget() {
        under_.clear();
        covered_.clear();
    }
    // The overlay onto the picture (as DrawCursorOverlay), what it covers
    // kept first. With no cursor shown nothing is drawn or kept; the cursors
    // are still held in their limits.
    void Draw(QImage& picture, CursorState& s, const ReadoutSource& src, const ReadoutOptions& o,
              const CursorColours& c, const QFont& font);

    // What decides a piece's pixels: equal pieces draw equal pixels.
    struct Piece {
        enum Kind { XCursor, YCursor, Readout };
        Kind kind = XCursor;
        double a = 0, b = 0, c = 0;  // x, top, bottom; y, right column; a readout's corner
        QColor colour;
        QString text;  // a readout's text
        bool operator==(const Piece& o) const {
            return kind == o.kind && a == o.a && b == o.b && c == o.c && colour == o.colour &&
                   text == o.text;
        }
    };
    // A pixel of the picture (its index in 32-bit words from the first) and its value.
    struct Pixel {
        quint32 at;
        QRgb value;
    };

private:
    struct Patch {
        QPoint at;
        QImage pixels;
    };
    struct KeptPiece {
        Piece piece;
        bool usable = false;  // false: the painter's path draws it
        std::vector<Pixel> ink;
    };
    bool DrawKept(QImage& picture, const std::vector<Piece>& pieces, const QFont& font);

    std::vector<Patch> under_;     // the painter's path: the boxes it drew in
    std::vector<Pixel> covered_;   // the kept pieces' path: each pixel set, as it was
    QSize coveredSize_;
    qsizetype coveredStride_ = 0;
    // The pieces of the last pass, for the picture size, line length and font they were drawn for.
    std::vector<KeptPiece> kept_;
    QSize keptSize_;
    qsizetype keptStride_ = 0;
    int keptDpmX_ = 0, keptDpmY_ = 0;
    QFont keptFont_;
};
