#pragma once
// Common set-up for tests: no real pausing, message boxes answered, a private
// settings folder.
#include <QString>

namespace TestEnv {
// The services' logs kept, pause scale 0, message boxes answered OK (and
// logged), XDG_CONFIG_HOME set to a fresh temporary folder. Call from
// initTestCase.
void Init();
// The temporary config folder made by Init.
QString ConfigDir();
// The settings file inside it, and a way to empty it.
QString IniPath();
void ClearSettingsStore();
// Under the offscreen platform, the one screen is width x height (set
// through the platform's configuration file, read when the application
// starts): call from the test class's static initMain(). Other platforms
// keep their screens.
void UseOffscreenScreen(int width, int height);
// Makes a UI language current for the tests: UILanguage, the message table,
// the value words and the controller labels.
void UseLanguage(int language);
}  // namespace TestEnv
