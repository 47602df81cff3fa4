#pragma once
// The drawing resources of a cursor pass, one set for the whole application
// (used by the waveform view; the memory-waveform view, not built yet, is to
// share them). They exist only
// while a pass runs: CreateCursorDC makes them, FreeCursorDC releases them.
// A pass never yields to the event loop, so passes never overlap.
#include <QColor>
#include <QImage>
#include <QPen>
#include <memory>
#include <optional>

class QPainter;

// Pens and readout colours of one colour scheme.
struct CursorColours {
    QColor Pen, Background, Ch1, Ch2, Time, Fft;
};
// Colour scheme: pens RGB(230,200,150) on black, readouts in the traces'
// colours (FFT in the math colour); black and white: black pens on white,
// readouts light grey.
CursorColours CursorColoursFor(bool colourScheme);

struct CursorDrawResources {
    std::unique_ptr<QImage> CursorBitmap;    // the pass's off-screen copy of the picture
    std::unique_ptr<QPainter> CursorMemDC;   // painter on CursorBitmap
    std::optional<QPen> CursorDashPen;       // cursor lines: dash-dot-dot, 1 pixel
    std::optional<QPen> CursorSolidPen;      // cursor handles: solid, 1 pixel
    CursorColours Colours;
};
CursorDrawResources& CursorDC();

// Set-up of a pass: copies `picture` into a new off-screen bitmap of its size,
// opens the painter on it (antialiasing off) and makes the pens. Resources of
// an unfinished pass are released first.
QPainter& CreateCursorDC(const QImage& picture, const CursorColours& colours);
// The composed bitmap, the painter closed: the one copy back of the pass.
QImage CopyBackCursorDC();
// Releases what a pass holds; a slot already clear is skipped, so a second
// call does nothing.
void FreeCursorDC();
