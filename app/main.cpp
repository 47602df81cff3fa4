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
#include "measure/frmMeasure.h"
#include "memwave/frmOpenWaveform.h"
#include "replay/frmRecordPlay.h"
#include "shell/AppMain.h"
#include "shell/Captions.h"
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
    return Main();
}
