#pragma once
// The start of the application: the language, the splash window, the main
// window's load, then the event loop until the main window is gone.

// Runs the application inside an existing QApplication; returns its exit code.
int Main();
