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
// borders. For a second after the call, every move or resize of the window
// places it again: a window manager frames a window, and answers a resize,
// after the application has placed it, which may leave the frame beyond the
// screen's edge; placed again, it lies within with the frame then known.
void KeepOnScreen(QWidget* widget);
