#pragma once
// The command layer: the one road between the application and the instrument.
#include <QString>

// Writes one command (the transport adds the line feed), then pauses 100 ms.
void SendCmd(const QString& command);
// Writes one query and returns its reply text unchanged. Clears
// Link().ReplyFailed first; the transport sets it when no whole reply came.
QString QueryCmd(const QString& query);
// True for a command that gets a reply: its header ends in "?" (a query, or a
// binary request such as ":WAVEFORM:DATA? CHANNEL1"), or the screen copy ":HARDCOPY".
bool ExpectsReply(const QString& command);
// Returns its argument unchanged (the constant side of a reply comparison).
QString CopyText(const QString& text);
// Drops the connected state without sending anything.
void MarkDisconnected();
// A link found failing: it counts as disconnected first (MarkDisconnected,
// when connected), then the message (exclamation icon) is shown. While the
// message is up nothing more is written, and a later report of the same loss
// (the serial line's error, a job's failed read) finds the link down and
// says nothing: the user gets one message.
void DropLinkAndSay(const QString& text, const QString& title);

// Connect, identify and disconnect.
void ConnectDSO();
void DisconnectDSO();
bool IsColorModel();
