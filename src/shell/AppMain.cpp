#include "shell/AppMain.h"

#include <QApplication>
#include <memory>

#include "common/ShellState.h"
#include "common/Wait.h"
#include "editors/EditDispatch.h"
#include "measure/frmMeasure.h"
#include "memwave/frmOpenWaveform.h"
#include "platform/mouse/LateClicks.h"
#include "panel/PanelWindows.h"
#include "replay/frmRecordPlay.h"
#include "shell/Captions.h"
#include "waveview/frmWave.h"
#include "widgets/StandardIcons.h"

#include "shell/ControllerBinding.h"
#include "shell/DocumentCommands.h"
#include "shell/Language.h"
#include "shell/MainWindow.h"
#include "shell/ShellIcons.h"
#include "shell/Splash.h"
#include "shell/frmPrgressSave.h"

void InstallApplicationParts() {
    // The view windows of each kind, made by their folders.
    InstallWaveViewHooks();
    WaveViewUi().ApplyCaptions = [](QWidget* w) {
        ApplyCaptionTable(w, WaveWindowCaptionTable(), Shell().UILanguage);
    };
    RegisterMeasureWindow();
    RegisterRecordWindow();
    RegisterMemoryWaveWindow();
    // The controller's "Virtual Panel" node: the panel (USB) or the key pad.
    EditShow().ShowVirtualPanel = [] { ShowVirtualPanelWindow(MainForm()); };
    PanelUi().ApplyPanelCaptions = [](QWidget* w) { SetVirtualPanelCaptions(w, Shell().UILanguage); };
    PanelUi().ApplyKeyPadCaptions = [](QWidget* w) { SetVirtualKeyCaptions(w, Shell().UILanguage); };
    // A click the window system gave a menu already closed counts where it
    // was aimed.
    InstallLateClickDelivery();
}

int Main() {
    QApplication::setStyle(new IconCachingStyle);
    ReadLanguageSetting();
    InstallSaveProgressWindow();
    BindControllerCommands();
    BindDataSheetCommands();

    QApplication::setWindowIcon(AppIcon());
    auto splash = std::make_unique<frmSplash>();
    // The splash window is painted when it is exposed, inside show() or in the
    // events processed here (painting it before then draws nothing).
    splash->show();
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
