// The composition root. The application is made of:
//   common      shared records (settings store, sheet model, shell state),
//               the one file saver
//   platform    message-box, file-dialog and printer services, the VISA layer
//   link        the instrument link: command layer, USB and RS-232 transports
//   sheets, controller, ...   the documents and views
//   shell       start-up, main window, settings, options and document dialogs
// InstallApplicationParts() registers the view windows of each kind, the
// virtual panel and their caption hooks; Main() shows the splash window,
// loads the main window and runs the loop.
#include <QApplication>

#include "common/ReadFile.h"
#include "common/SaveFile.h"
#include "shell/AppMain.h"

int main(int argc, char* argv[]) {
    // The signal handling, before any thread starts.
    IgnoreFileSizeSignal();  // a save beyond `ulimit -f` fails and says so
    WatchMappedFileReads();  // a file shortened under a read is refused, not fatal
    QApplication app(argc, argv);
    QApplication::setApplicationName("Velmora");
    QApplication::setOrganizationName("Velmora");
    InstallApplicationParts();
    return Main();
}
