// Benchmark (not a test): one waveform-view job and one measurement job over
// loopback against the simulated instrument, at real pause scale. Prints, for
// each, the wall time of the whole transfer divided by the pacing the
// protocol itself asks for (the fixed pauses plus the window's 100 ms arming
// delay; on the serial line also the pause per character written). A ratio
// near 1 means the application adds almost nothing.
#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>

#include "Simulator.h"
#include "common/Pause.h"
#include "common/SheetModel.h"
#include "common/ShellState.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/TransferJobs.h"
#include "link/UsbFunc.h"
#include "link/Vocabulary.h"
#include "shell/frmPrgress.h"

namespace {
constexpr int ArmingDelayMs = 100;

struct Figure {
    qint64 wallMs = 0;
    qint64 pacingMs = 0;
};

Figure TimeTransfer(int code, bool showWindow) {
    PauseService::ClearLog();
    QElapsedTimer clock;
    clock.start();
    RunTransfer(code, "bench", showWindow, 0);
    Figure f;
    f.wallMs = clock.elapsed();
    f.pacingMs = PauseService::LoggedTotal() + ArmingDelayMs;
    return f;
}

void Report(const char* name, const Figure& f) {
    std::printf("%-26s wall %6lld ms  pacing %6lld ms  ratio %.3f\n", name,
                static_cast<long long>(f.wallMs), static_cast<long long>(f.pacingMs),
                f.pacingMs > 0 ? double(f.wallMs) / double(f.pacingMs) : 0.0);
    std::fflush(stdout);
}
}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    Simulator sim;
    if (!sim.Start()) {
        std::fprintf(stderr, "the simulated instrument did not start\n");
        return 1;
    }
    sim.SetEnvironment();
    LoadValueWords(LangEnglish);
    LoadControllerLabels(LangEnglish);
    Shell().COM_Port = 1;
    OpenVisaRM();
    WaveInfo& view = Sheets().WaveViews[0];
    view.Ch1Chosen = view.Ch2Chosen = true;
    view.MathChosen = view.LaChosen = false;

    // TCP (the USB side through an alias), then the pseudo-terminal (serial side).
    for (int ioType : {0, 2}) {
        Shell().ScopeIOType = ioType;
        PauseService::SetScale(0);  // connect quickly; the jobs run at real scale
        ConnectDSO();
        if (!Link().IsConnected) {
            std::fprintf(stderr, "could not connect to the simulated instrument\n");
            return 1;
        }
        PauseService::SetScale(1.0);
        // One warm-up run of each, so first-use costs do not count.
        TimeTransfer(JobWaveView, false);
        TimeTransfer(JobMeasureCH1, true);
        const char* line = ioType == 0 ? "tcp" : "pty";
        std::printf("%s\n", line);
        Report("  waveform view (CH1+CH2)", TimeTransfer(JobWaveView, false));
        Report("  measurements (CH1)", TimeTransfer(JobMeasureCH1, true));
        PauseService::SetScale(0);
        DisconnectDSO();
    }
    CloseVisaRM();
    return 0;
}
