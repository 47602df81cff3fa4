// Benchmark (not a test): the upload and the download of all settings over
// loopback (TCP, the USB side through an alias) against the simulated
// instrument, at real pause scale. Prints, for each, the wall time of the
// whole transfer divided by the pacing the protocol itself asks for: the
// fixed pauses (100 ms after each command, 500 ms and 1 s after the time base
// rows, 200 ms when the window closes) plus the window's 100 ms arming delay.
// A ratio near 1 means the application adds almost nothing.
#include <QApplication>

#include "BenchSupport.h"
#include "common/DSOSettings.h"
#include "controller/CtrlList.h"
#include "controller/SettingsTransfer.h"

namespace {
bench::Figure TimeJob(bool upload) {
    auto& outcome = LastSettingsTransfer();
    outcome = SettingsTransferOutcome();
    frmCtrlList* window = CtrlListForm();
    return bench::Timed([&] {
        if (upload) window->UploadToDSO();
        else window->DownloadfromDSO();
        return upload ? outcome.UploadComplete : outcome.DownloadCommitted;
    });
}
}  // namespace

int main(int argc, char** argv) {
    bench::UseOffscreenByDefault();
    QApplication app(argc, argv);
    Simulator sim;
    if (!bench::StartInstrument(sim)) return 1;
    CtrlListForm();  // the controller window installs the two jobs
    if (!bench::Connect(0)) return 1;  // connect quickly; the jobs run at real scale
    // One warm-up download, so first-use costs do not count.
    TimeJob(false);
    std::printf("tcp\n");
    bench::Report("  upload", TimeJob(true));
    bench::Report("  download", TimeJob(false));
    bench::Disconnect();
    CloseVisaRM();
    return 0;
}
