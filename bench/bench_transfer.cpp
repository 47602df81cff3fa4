// Benchmark (not a test): one waveform-view job and one measurement job over
// loopback against the simulated instrument, at real pause scale. Prints, for
// each, the wall time of the whole transfer divided by the pacing the
// protocol itself asks for (the fixed pauses plus the window's 100 ms arming
// delay; on the serial line also the pause per character written). A ratio
// near 1 means the application adds almost nothing.
#include <QApplication>

#include "BenchSupport.h"
#include "common/SheetModel.h"
#include "link/TransferJobs.h"

namespace {
bench::Figure TimeTransfer(int code, bool showWindow) {
    return bench::Timed([&] { return RunTransfer(code, "bench", showWindow, 0); });
}
}  // namespace

int main(int argc, char** argv) {
    bench::UseOffscreenByDefault();
    QApplication app(argc, argv);
    Simulator sim;
    if (!bench::StartInstrument(sim)) return 1;
    WaveInfo& view = Sheets().WaveViews[0];
    view.Ch1Chosen = view.Ch2Chosen = true;
    view.MathChosen = view.LaChosen = false;

    // TCP (the USB side through an alias), then the pseudo-terminal (serial side).
    for (int ioType : {0, 2}) {
        if (!bench::Connect(ioType)) return 1;  // connect quickly; the jobs run at real scale
        // One warm-up run of each, so first-use costs do not count.
        TimeTransfer(JobWaveView, false);
        TimeTransfer(JobMeasureCH1, true);
        const char* line = ioType == 0 ? "tcp" : "pty";
        std::printf("%s\n", line);
        bench::Report("  waveform view (CH1+CH2)", TimeTransfer(JobWaveView, false));
        bench::Report("  measurements (CH1)", TimeTransfer(JobMeasureCH1, true));
        bench::Disconnect();
    }
    CloseVisaRM();
    return 0;
}
