#pragma once
// The application's screen mouse pointer, as one small service: the
// hourglass while something long runs, the default otherwise. Windows copy
// the current pointer onto their own controls (the controller window's
// transfer buttons).
class QWidget;

enum ScreenPointerShape { PointerDefault = 0, PointerHourglass = 11 };

// The current screen pointer (PointerHourglass while the hourglass is set).
int ScreenPointer();
// Sets the screen pointer: PointerHourglass shows the hourglass over every
// window; any other value goes back to the default.
void SetScreenPointer(int shape);
// Gives a widget the current screen pointer as its own.
void CopyScreenPointerTo(QWidget* widget);
