// The composition root. The application is made of:
//   common      shared records (settings store, sheet model, shell state),
//               the one file saver
//   platform    message-box, file-dialog and printer services, the VISA layer
//   link        the instrument link: command layer, USB and RS-232 transports
//   sheets, controller, ...   the documents and views
//   shell       start-up, main window, settings, options and document dialogs
// Main() shows the splash window, loads the main window and runs the loop.
#include <QApplication>

#include "common/SaveFile.h"
#include "common/ShellState.h"
#include "editors/EditDispatch.h"
#include "measure/frmMeasure.h"
#include "memwave/frmOpenWaveform.h"
#include "panel/PanelWindows.h"
#include "replay/frmRecordPlay.h"
#include "shell/AppMain.h"
#include "shell/Captions.h"
#include "shell/Language.h"
#include "shell/MainWindow.h"
#include "waveview/frmWave.h"

int main(int argc, char* argv[]) {
    IgnoreFileSizeSignal();  // a save beyond `ulimit -f` fails and says so
    QApplication app(argc, argv);
    QApplication::setApplicationName("Velmora");
    QApplication::setOrganizationName("Velmora");
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
    return Main();
}
