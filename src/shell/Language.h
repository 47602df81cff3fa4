#pragma once
// The UI language: applying it to every window, and switching it at run time.

// Applies the language (0 Chinese, 1 English) to every window that exists,
// loading the data browser and the controller window the first time.
void ApplyLanguage(int lang);
