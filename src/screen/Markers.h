#pragma once
// Marker shapes of the instrument screen, drawn in the pen's colour: the
// channel flag in the left margin, the arrows of a channel whose level lies
// off the screen, the centre mark and the trigger marker above the
// graticule. Positions are picture pixels; columns and rows scale with the
// pen's zoom where the parameter says so.
#include "screen/ScreenPen.h"

// A flag pointing right, 10 high, from x 6 to 23, its top at Y.
void FlagRight(ScreenPen& pen, double Y);
// The arrows of a level below (down) or above (up) the screen, x 12 .. 22:
// the down arrow's top at Y, its tip at Y + 17; the up arrow's bottom at Y,
// its tip at Y - 17.
void ArrowDown(ScreenPen& pen, double Y);
void ArrowUp(ScreenPen& pen, double Y);
// The small triangle over the centre column, its top at T.
void CentreMark(ScreenPen& pen, double T);
// The trigger marker with its "T", top at T: over screen column `column`
// (3 < column < 296), else an arrow at the right (>= 296) or at the left
// (<= 3, or not a number).
void TrigMarker(ScreenPen& pen, double column, double T);
