#pragma once
// What the transfer benchmarks share: the simulated instrument brought up
// over loopback, the connect at pause scale 0, and the figure of one timed
// transfer (wall time against the pacing the protocol asks for: the logged
// fixed pauses plus the transfer window's 100 ms arming delay).
#include <QElapsedTimer>
#include <cstdio>

#include "Simulator.h"
#include "common/Pause.h"
#include "common/ServiceLog.h"
#include "common/ShellState.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/UsbFunc.h"
#include "link/Vocabulary.h"
#include "shell/frmPrgress.h"

namespace bench {

constexpr int ArmingDelayMs = 100;

struct Figure {
    qint64 wallMs = 0;
    qint64 pacingMs = 0;
    bool ok = true;
};

// Times run() (which returns whether the transfer completed).
template <typename Run>
Figure Timed(Run run) {
    KeepServiceLogs(true);  // the pacing is the sum of the pauses logged
    PauseService::ClearLog();
    QElapsedTimer clock;
    clock.start();
    Figure f;
    f.ok = run();
    f.wallMs = clock.elapsed();
    f.pacingMs = PauseService::LoggedTotal() + ArmingDelayMs;
    return f;
}

inline void Report(const char* name, const Figure& f) {
    std::printf("%-26s wall %6lld ms  pacing %6lld ms  ratio %.3f%s\n", name,
                static_cast<long long>(f.wallMs), static_cast<long long>(f.pacingMs),
                f.pacingMs > 0 ? double(f.wallMs) / double(f.pacingMs) : 0.0,
                f.ok ? "" : "  (did not complete)");
    std::fflush(stdout);
}

// Before the application object: no display needed unless one is asked for.
inline void UseOffscreenByDefault() {
    if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
}

// Starts the simulator and readies the link side (English tables, the VISA
// resource manager, the transfer window). False, with a message, on failure.
inline bool StartInstrument(Simulator& sim) {
    if (!sim.Start()) {
        std::fprintf(stderr, "the simulated instrument did not start\n");
        return false;
    }
    sim.SetEnvironment();
    LoadValueWords(LangEnglish);
    LoadControllerLabels(LangEnglish);
    LoadMessages(LangEnglish);
    Shell().COM_Port = 1;
    OpenVisaRM();
    InstallTransferWindow();
    return true;
}

// Connects over the line of ioType (0 TCP, 2 the pseudo-terminal) at pause
// scale 0, then sets the real scale. False, with a message, on failure.
inline bool Connect(int ioType) {
    Shell().ScopeIOType = ioType;
    PauseService::SetScale(0);
    ConnectDSO();
    if (!Link().IsConnected) {
        std::fprintf(stderr, "could not connect to the simulated instrument\n");
        return false;
    }
    PauseService::SetScale(1.0);
    return true;
}

// Disconnects at pause scale 0 (the counterpart of Connect).
inline void Disconnect() {
    PauseService::SetScale(0);
    DisconnectDSO();
}

}  // namespace bench
