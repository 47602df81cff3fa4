#pragma once
// Small helpers shared by the link tests.
#include <QStringList>

class QTimer;
class Simulator;

namespace LinkFixture {
// Opens the first USB instrument the search finds (as a connect does, with no
// device chosen) and marks the link connected when the session opened.
// Returns the connected state.
bool OpenUsbAsConnected();
// Starts the simulator for the job tests: VISA reads time out after 300 ms,
// the USB search and COM 1 lead to the simulator, the resource manager is
// open, and `tick` drives the serial tick every 5 ms (time-outs in tens of
// ms). False when the simulator did not start.
bool StartSimulatorLink(Simulator& sim, QTimer& tick);
// The messages shown since the message log was cleared, as "text / title".
QStringList ShownTexts();
}  // namespace LinkFixture
