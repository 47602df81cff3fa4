#include "shell/AppMain.h"

#include <QApplication>
#include <memory>

#include "common/Wait.h"

#include "shell/ControllerBinding.h"
#include "shell/DocumentCommands.h"
#include "shell/Language.h"
#include "shell/MainWindow.h"
#include "shell/ShellIcons.h"
#include "shell/Splash.h"
#include "shell/frmPrgressSave.h"

int Main() {
    ReadLanguageSetting();
    InstallSaveProgressWindow();
    BindControllerCommands();
    BindDataSheetCommands();

    QApplication::setWindowIcon(AppIcon());
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
    // The window may close while a wait yields (a continuous refresh): the
    // loop then ends once that wait is over.
    QObject::connect(qApp, &QGuiApplication::lastWindowClosed, [] { QuitWhenNoWaitRuns(); });
    return QApplication::exec();
}
