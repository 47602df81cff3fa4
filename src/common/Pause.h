#pragma once
// The one road for every fixed pause of the application.
//
// A pause blocks the thread without processing events, so that no reply or
// timer is handled before the caller has set its flags. Tests set the scale
// to 0 (no real sleeping) and read the list of pauses that were asked for
// (kept while the service logs are, common/ServiceLog.h).
#include <QList>

namespace PauseService {
// Blocks for ms milliseconds (times the scale), recorded in the log.
void Pause(int ms);
// 1.0 = real time; 0 = no sleeping at all (tests).
void SetScale(double scale);
double Scale();
// Every pause asked for since the last ClearLog, in order, in milliseconds.
QList<int> Log();
void ClearLog();
// Sum of the logged pauses, in milliseconds.
qint64 LoggedTotal();
}  // namespace PauseService

// Shorthand used throughout: PauseMs(100) after a command, and so on.
inline void PauseMs(int ms) { PauseService::Pause(ms); }
