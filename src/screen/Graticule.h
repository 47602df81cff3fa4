#pragma once
// The graticule of the instrument screen at a display zoom: background of
// the scheme, frame (2 wide), centre lines, the sixteen tick rows and
// columns, the optional dotted grid (its own spacing on a split screen) and
// the maker's name above it. The waveform view and the memory-wave view
// draw the same one; a picture with a graticule of its own shares the pen.
#include "screen/ScreenPen.h"

struct GraticuleStyle {
    bool Colour = true;   // black (colour) scheme; false: white
    bool Grid = false;    // dotted grid shown
    bool Split = false;   // screen split in two halves
};

// Fills the picture of the pen's geometry and draws the graticule on it.
void DrawGraticule(ScreenPen& pen, const GraticuleStyle& style);

// The maker's name above the graticule, at (25, 10) at every zoom.
extern const char* const MakerName;
