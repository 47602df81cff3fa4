#pragma once
// Small helpers shared by the link tests.
#include <QStringList>

class Simulator;

namespace LinkFixture {
// The set-up of a test that runs jobs against the simulator: the test
// environment, the English vocabulary, short VISA time-outs, the simulator
// started and reachable (USB alias, COM1 on its pseudo-terminal), the VISA
// resource manager open. False when the simulator did not come up.
bool StartSimulator(Simulator& sim);
// StartSimulator, then connected over USB with the instrument in EDGE
// trigger mode: the set-up of the view tests that fetch. False when not connected.
bool StartConnectedSimulator(Simulator& sim);
// Opens the first USB instrument the search finds (as a connect does, with no
// device chosen) and marks the link connected when the session opened.
// Returns the connected state.
bool OpenUsbAsConnected();
// The messages shown since the message log was cleared, as "text / title".
QStringList ShownTexts();
}  // namespace LinkFixture
