#include "shell/AppMain.h"

#include <QApplication>
#include <memory>

#include "common/SettingsStore.h"
#include "common/ShellState.h"
#include "shell/MainWindow.h"
#include "shell/SoftwareSettings.h"
#include "shell/Splash.h"

int ReadStoredLanguage() {
    const auto v = StoredTextToInt(GetStoredText("Velmora_Language", "Language", "1"));
    return (v && *v == LangChinese) ? LangChinese : LangEnglish;
}

int Main() {
    Shell().UILanguage = ReadStoredLanguage();

    auto splash = std::make_unique<frmSplash>();
    splash->show();
    splash->repaint();
    QApplication::processEvents();

    auto* main = new frmMain;
    main->setAttribute(Qt::WA_DeleteOnClose);
    SetMainForm(main);
    main->MDIForm_Load();

    splash.reset();
    main->show();
    return QApplication::exec();
}
