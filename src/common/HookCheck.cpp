#include "common/HookCheck.h"

#include <QtGlobal>

namespace {
bool fatalMissing = false;
}

void SetMissingHookFatal(bool fatal) { fatalMissing = fatal; }
bool MissingHookFatal() { return fatalMissing; }

QStringList& MissingHookLog() {
    static QStringList log;
    return log;
}

void ReportMissingHook(const char* name) {
    MissingHookLog().append(QString::fromLatin1(name));
    Q_ASSERT_X(false, "RequireHook", name);
    if (fatalMissing) qFatal("Missing hook: %s", name);
    qCritical("Missing hook: %s", name);
}
