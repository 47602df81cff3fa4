#include "TestEnv.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>

#include "common/HookCheck.h"
#include "common/Pause.h"
#include "common/ReadFile.h"
#include "common/SaveFile.h"
#include "common/ServiceLog.h"
#include "common/SettingsStore.h"
#include "common/ShellState.h"
#include "link/Messages.h"
#include "link/Vocabulary.h"
#include "platform/dialogs/MsgBox.h"

namespace {
QTemporaryDir* made = nullptr;

// The settings folder of the test run: it outlives the application object
// (settings may be written while it goes) and is removed at exit.
QTemporaryDir* configDir() {
    if (!made) {
        made = new QTemporaryDir();
        std::atexit([] {
            delete made;
            made = nullptr;
        });
    }
    return made;
}
}  // namespace

namespace TestEnv {
void UseOffscreenScreen(int width, int height) {
    if (qgetenv("QT_QPA_PLATFORM") != "offscreen") return;
    static QTemporaryDir dir;
    QFile config(dir.filePath("screen.json"));
    const QByteArray screens =
        QString(R"({"screens": [{"name": "small", "width": %1, "height": %2}]})").arg(width).arg(height).toUtf8();
    if (!dir.isValid() || !config.open(QIODevice::WriteOnly) || config.write(screens) <= 0)
        qFatal("the screen configuration could not be written");
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config.fileName()));
}

void Init() {
    SetMissingHookFatal(true);  // a hook a path needs must be set
    IgnoreFileSizeSignal();     // as the application does at start-up
    WatchMappedFileReads();     // likewise
    KeepServiceLogs(true);  // the tests read what the services were asked
    PauseService::SetScale(0);
    PauseService::ClearLog();
    MsgBoxService::SetAnswerer([](const ShownMessage& m) {
        switch (m.style & 0x0F) {
        case vbYesNoCancel:
        case vbYesNo: return int(vbYes);
        default: return int(vbOK);
        }
    });
    MsgBoxService::ClearLog();
    qputenv("XDG_CONFIG_HOME", configDir()->path().toUtf8());
}
QString ConfigDir() { return configDir()->path(); }

void UseLanguage(int language) {
    Shell().UILanguage = language;
    LoadMessages(language);
    LoadValueWords(language);
    LoadControllerLabels(language);
}
QString IniPath() { return ConfigDir() + "/Velmora/Velmora.ini"; }
void ClearSettingsStore() {
    auto s = OpenSettingsStore();
    s->clear();
    s->sync();
}
}  // namespace TestEnv
