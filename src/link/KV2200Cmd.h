#pragma once
// The command layer: the one road between the application and the instrument.
#include <QString>

// Writes one command (the transport adds the line feed), then pauses 100 ms.
// A request (ExpectsReply: a binary query, the screen copy) first puts the
// link in step; when that fails it does not go out, Link().ReplyFailed is
// set and the reads of its reply fail.
void SendCmd(const QString& command);
// Writes one query and returns its reply text unchanged. Clears
// Link().ReplyFailed first; the transport sets it when no whole reply came.
// When the link is out of step and cannot be put back, the query does not
// go out: "" with ReplyFailed set.
QString QueryCmd(const QString& query);

// The link is in step while each reply read is the answer to the request
// just sent. A reply that did not come whole (time-out, cut, late: the
// transports report it with NoteReplyLost) or that came but is no answer to
// its question (the road that parses it says so with NoteReplyGarbled)
// leaves the link out of step: its late rest, or the answer it stood in
// for, may still come and would pass for the next reply. Before the next
// request the command layer puts the link back in step (BringLinkInStep);
// until then no request goes out and no reply is taken, so every road that
// asks several things in a row gets, after a lost reply, either replies it
// can trust or none.
void NoteReplyLost();
// The road that parsed a reply found it is not of its question's form (a
// word where a number belongs, letters, the identity text, a word the
// setting does not have): the link is out of step. Call it once per reply.
void NoteReplyGarbled();
// Puts an out-of-step link back in step: the identity query ("*IDN?", whose
// answer the connect took) goes out, and replies are read and dropped until
// that answer comes. Over USB a device clear goes first (the replies still
// owed are dropped); over the serial line the input waiting is dropped, and
// the instrument answers in order, so everything asked before has come once
// the answer has. The wait is real (the transport's own reply time, counted
// from the last reply that came; no pause of the pause service). When
// nothing answers, the link stays out of step and the request is not sent.
// Over the serial line the next request waits for that identity query's
// reply first, and asks again only after it met silence for a whole reply
// time; the answers of every identity query asked are read off before the
// link counts as in step. True when in step.
bool BringLinkInStep();
// True while the link is known to be in step.
bool LinkInStep();
// A fresh connection: in step, nothing awaited, no identity yet. The
// connect first puts a link left out of step back with the identity the
// earlier connection gave (the serial line may still bring its replies).
void ResetLinkStep();
// True for a command that gets a reply: its header ends in "?" (a query, or a
// binary request such as ":WAVEFORM:DATA? CHANNEL1"), or the screen copy ":HARDCOPY".
bool ExpectsReply(const QString& command);
// Returns its argument unchanged (the constant side of a reply comparison).
QString CopyText(const QString& text);
// Drops the connected state without sending anything.
void MarkDisconnected();
// A link found failing: it counts as disconnected first (MarkDisconnected,
// when connected), then the message (exclamation icon) is shown, followed by
// MsgLinkClosed when this call dropped the link (LinkDroppedText). While the
// message is up nothing more is written, and a later report of the same loss
// (the serial line's error, a job's failed read) finds the link down and
// says nothing: the user gets one message.
void DropLinkAndSay(const QString& text, const QString& title);

// Connect, identify and disconnect.
void ConnectDSO();
void DisconnectDSO();
bool IsColorModel();
