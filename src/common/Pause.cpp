#include "common/Pause.h"

#include <QThread>
#include <cmath>

#include "common/ServiceLog.h"

namespace {
struct PauseState {
    double scale = 1.0;
    ServiceLog<int> log;
};
PauseState& state() {
    static PauseState s;
    return s;
}
}  // namespace

namespace PauseService {
void Pause(int ms) {
    if (ms < 0) ms = 0;
    state().log.Add(ms);
    const double real = ms * state().scale;
    if (real >= 0.5) QThread::msleep(static_cast<unsigned long>(std::lround(real)));
}
void SetScale(double scale) { state().scale = scale < 0 ? 0 : scale; }
double Scale() { return state().scale; }
QList<int> Log() { return state().log.Entries(); }
void ClearLog() { state().log.Clear(); }
qint64 LoggedTotal() {
    qint64 t = 0;
    for (int v : state().log.Entries()) t += v;
    return t;
}
}  // namespace PauseService
