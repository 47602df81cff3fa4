#pragma once
// The start of the application: the language, the splash window, the main
// window's load, then the event loop until the main window is gone.

// Reads the stored UI language (section "Velmora_Language", key "Language");
// absent gives 1 (English), anything other than 0 or 1 also gives 1.
int ReadStoredLanguage();

// Runs the application inside an existing QApplication; returns its exit code.
int Main();
