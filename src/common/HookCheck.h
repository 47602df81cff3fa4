#pragma once
// Hooks a path relies on. A std::function hook that a higher layer must set
// (a window factory, the controller's upload) and that is unset would make
// the action vanish without a trace; RequireHook makes that fault loud:
// an assertion in debug builds, a fatal error where fatal checks are on (the
// tests turn them on), and otherwise a critical log entry. Hooks that are
// really optional are simply tested for being set.
#include <QString>
#include <QStringList>

// True when the hook is set. Otherwise reports the missing hook by name and
// returns false (when it returns at all).
template <typename Hook>
bool RequireHook(const Hook& hook, const char* name);

// Whether a missing hook ends the process (default: off in release builds).
void SetMissingHookFatal(bool fatal);
bool MissingHookFatal();
// Names of the missing hooks reported so far (for tests that check one;
// kept while the service logs are, common/ServiceLog.h).
QStringList& MissingHookLog();
void ReportMissingHook(const char* name);

template <typename Hook>
bool RequireHook(const Hook& hook, const char* name) {
    if (hook) return true;
    ReportMissingHook(name);
    return false;
}
