#pragma once
// The application-wide mouse pointer shape, read and written as a shape code
// (0 default, 7 vertical resize, 9 horizontal resize, 11 hourglass, ...).
// Writing a shape other than the default holds it over every window until
// the default is written again; flat buttons read the code to show the same
// pointer as the screen.
#include <Qt>

namespace MouseControl {
enum PointerShape {
    PointerDefault = 0,
    PointerArrow = 1,
    PointerCross = 2,
    PointerIBeam = 3,
    PointerSizeAll = 5,
    PointerSizeNESW = 6,
    PointerSizeNS = 7,
    PointerSizeNWSE = 8,
    PointerSizeWE = 9,
    PointerUpArrow = 10,
    PointerHourglass = 11,
    PointerNoDrop = 12,
    PointerArrowHourglass = 13,
    PointerArrowQuestion = 14,
    PointerSizeAll15 = 15,
};

// The current shape code.
int Cursor();
// Sets the shape; a code outside the 16-bit range is refused (false) and
// changes nothing.
bool SetCursor(long long code);
// The Qt pointer shape of a code (the default arrow for an unknown one).
Qt::CursorShape QtShape(int code);
}  // namespace MouseControl
