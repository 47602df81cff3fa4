#include "common/ServiceLog.h"

namespace {
bool kept = false;
}

void KeepServiceLogs(bool on) { kept = on; }
bool ServiceLogsKept() { return kept; }
