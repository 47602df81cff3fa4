#pragma once
// The start of the application: the language, the splash window, the main
// window's load, then the event loop until the main window is gone.

// Runs the application inside an existing QApplication; returns its exit code.
int Main();

// Registers what the main window shows besides itself: the view windows of
// each kind (made by their folders), the virtual panel and their captions.
void InstallApplicationParts();
