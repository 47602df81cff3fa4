#pragma once
// Small helpers shared by the link tests.
#include <QStringList>

class QTimer;
class Simulator;
struct CountedMessage;

namespace LinkFixture {
// The set-up of a test that runs jobs against the simulator: the test
// environment, the English vocabulary, short VISA time-outs, the simulator
// started and reachable (USB alias, COM1 on its pseudo-terminal), the VISA
// resource manager open. False when the simulator did not come up.
bool StartSimulator(Simulator& sim);
// StartSimulator, then connected over USB with the instrument in EDGE
// trigger mode: the set-up of the view tests that fetch. False when not connected.
bool StartConnectedSimulator(Simulator& sim);
// The set-up of a test that opens its own USB sessions: the test environment,
// the simulator started and reachable, 500 ms VISA time-outs, the VISA
// resource manager open. False when the simulator did not come up.
bool StartUsbSimulator(Simulator& sim);
// The VISA resource manager closed and the simulator stopped.
void StopSimulator(Simulator& sim);
// Before a test: no fault, the USB transport chosen and its session opened as
// a connect does (OpenUsbAsConnected). Returns the connected state.
bool ReconnectUsb(Simulator& sim);
// No fault, then connected over "tcp" (the USB alias) or "pty" (the serial
// line on the simulator's current pseudo-terminal). Connects afresh only when
// not connected or when the transport differs from `lastTransport`, which it
// updates. Returns the connected state.
bool ConnectOver(Simulator& sim, const QString& transport, QString& lastTransport);
// The main window's 100 ms tick on `tick`, driven by what the simulator's
// serial side holds rather than by the clock, so that load on the machine
// never makes a time-out early or late: every 5 ms, while a serial reply is
// awaited, no tick while the simulator still has the request or the reply is
// on its way; at once the whole time-out when the simulator keeps the reply
// back or cut it (a fault); one tick when nothing is on its way.
void StartQuickSerialTick(QTimer& tick, Simulator& sim);
// The instrument reset ("*RST", then "*IDN?" so the reset has been taken)
// and the simulator's command log emptied.
void ResetInstrument(Simulator& sim);
// Before a view test that fetches: both channels shown, single refresh at
// 1000 ms, the sheet unmodified, the message and command logs empty.
void ResetFetchState(Simulator& sim);
// How many waveform fetches the simulator has logged.
int FetchCount(Simulator& sim);
// Opens the first USB instrument the search finds (as a connect does, with no
// device chosen) and marks the link connected when the session opened.
// Returns the connected state.
bool OpenUsbAsConnected();
// The messages shown since the message log was cleared, as "text / title".
QStringList ShownTexts();
// The message of a link dropped for a failed read over the serial line or
// USB, as ShownTexts gives it: the transport's read message, the line that the
// link was closed, the title.
QString DroppedLinkMessage(bool serial);
// Whether `text` begins as `message` naming rows does, in its form for one
// row or for several (the text before the rows).
bool BeginsAsNaming(const QString& text, const CountedMessage& message);
// Answers every message as a modal box does: the event loop runs for a
// while before OK. `linkUp` gets the connected state as each message is
// shown and as it closes.
void AnswerLikeAModalBox(QList<bool>& linkUp);
// Everything a measurement (JobMeasureCH1), data-table (JobDataCH1) or
// waveform-view job (JobWaveView, into `slot`) shows, without the date of its title.
QStringList JobResults(int code, int slot);
}  // namespace LinkFixture
