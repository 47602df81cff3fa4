// Placeholder bodies until the command layer lands.
#include "link/KV2200Cmd.h"

void SendCmd(const QString&) {}
QString QueryCmd(const QString&) { return QString(); }
QString CopyText(const QString& text) { return text; }
void MarkDisconnected() {}
