#include "common/HookCheck.h"

#include <QtGlobal>

#include "common/ServiceLog.h"

namespace {
bool fatalMissing = false;

ServiceLog<QString>& hookLog() {
    static ServiceLog<QString> log;
    return log;
}
}  // namespace

void SetMissingHookFatal(bool fatal) { fatalMissing = fatal; }
bool MissingHookFatal() { return fatalMissing; }

QStringList& MissingHookLog() { return hookLog().Entries(); }

void ReportMissingHook(const char* name) {
    hookLog().Add(QString::fromLatin1(name));
    Q_ASSERT_X(false, "RequireHook", name);
    if (fatalMissing) qFatal("Missing hook: %s", name);
    qCritical("Missing hook: %s", name);
}
