#pragma once
// Keeping a top-level window on the screen that holds it, frame and title
// bar included: called where a window opens or grows.
#include <QPoint>
#include <QRect>

class QWidget;

// The top-left corner for a window frame so that it lies within `available`:
// moved left and up by as much as it stands beyond the right and lower
// edges, then right and down onto the left and top edges. A frame larger
// than the area keeps its top-left corner, and so its title bar and its
// system menu, on the area.
QPoint PlaceWithin(const QRect& frame, const QRect& available);

// Moves a top-level window (the window of `widget`) so that its frame lies
// within the available area of the screen that holds it (the screen under
// the frame's centre, else the window's own). The frame is the one the
// platform gives; a window whose frame the platform has not told yet
// (before the window manager has framed it) is reckoned with its owner's
// borders. A window manager frames a window, and answers a resize, after the
// application has placed it, which may leave the frame beyond the screen's
// edge: after the call, every move or resize of the window, and a short
// tick, place it again, until its frame is known and lies within (a frame
// larger than the area: at its place), and for a second at most. Moves
// after that are the user's and stay, a drag partly past the edge too.
void KeepOnScreen(QWidget* widget);

// Whether the window of `widget` is still placed again at its moves, as
// above (its frame not yet known on the screen, within the second).
bool PlacingOnScreen(const QWidget* widget);
