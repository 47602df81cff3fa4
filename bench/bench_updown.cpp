// Benchmark (not a test): the upload and the download of all settings over
// loopback (TCP, the USB side through an alias) against the simulated
// instrument, at real pause scale. Prints, for each, the wall time of the
// whole transfer divided by the pacing the protocol itself asks for: the
// fixed pauses (100 ms after each command, 500 ms and 1 s after the time base
// rows, 200 ms when the window closes) plus the window's 100 ms arming delay.
// A ratio near 1 means the application adds almost nothing.
#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>

#include "Simulator.h"
#include "common/DSOSettings.h"
#include "common/Pause.h"
#include "common/ShellState.h"
#include "controller/SettingsTransfer.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/UsbFunc.h"
#include "link/Vocabulary.h"

namespace {
constexpr int ArmingDelayMs = 100;

struct Figure {
    qint64 wallMs = 0;
    qint64 pacingMs = 0;
    bool ok = false;
};

Figure TimeJob(bool (*job)()) {
    PauseService::ClearLog();
    QElapsedTimer clock;
    clock.start();
    Figure f;
    f.ok = job();
    f.wallMs = clock.elapsed();
    f.pacingMs = PauseService::LoggedTotal() + ArmingDelayMs;
    return f;
}

void Report(const char* name, const Figure& f) {
    std::printf("%-10s wall %6lld ms  pacing %6lld ms  ratio %.3f%s\n", name,
                static_cast<long long>(f.wallMs), static_cast<long long>(f.pacingMs),
                f.pacingMs > 0 ? double(f.wallMs) / double(f.pacingMs) : 0.0,
                f.ok ? "" : "  (did not complete)");
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
    LoadMessages(LangEnglish);
    SetDefaultCtrlSettings();
    InstallSettingsTransferJobs();
    OpenVisaRM();

    Shell().ScopeIOType = 0;
    PauseService::SetScale(0);  // connect quickly; the jobs run at real scale
    ConnectDSO();
    if (!Link().IsConnected) {
        std::fprintf(stderr, "could not connect to the simulated instrument\n");
        return 1;
    }
    PauseService::SetScale(1.0);
    // One warm-up download, so first-use costs do not count.
    TimeJob(DownloadfromDSO);
    std::printf("tcp\n");
    Report("  upload", TimeJob(UploadToDSO));
    Report("  download", TimeJob(DownloadfromDSO));
    PauseService::SetScale(0);
    DisconnectDSO();
    CloseVisaRM();
    return 0;
}
