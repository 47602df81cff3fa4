#pragma once
// The command layer: the one road between the application and the instrument.
#include <QString>

// Writes one command (the transport adds the line feed), then pauses 100 ms.
void SendCmd(const QString& command);
// Writes one query and returns its reply text unchanged.
QString QueryCmd(const QString& query);
// Returns its argument unchanged (the constant side of a reply comparison).
QString CopyText(const QString& text);
// Drops the connected state without sending anything.
void MarkDisconnected();

// Connect, identify and disconnect.
void ConnectDSO();
void DisconnectDSO();
bool IsColorModel();
