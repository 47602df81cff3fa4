// The command layer: talks through the command port and keeps the
// protocol's timing (100 ms after every command, none after a query).
#include "link/KV2200Cmd.h"

#include "common/Pause.h"
#include "common/Wait.h"
#include "link/CommandPort.h"
#include "link/LinkEvents.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "platform/dialogs/MsgBox.h"

void SendCmd(const QString& command) {
    if (ExpectsReply(command) && !BringLinkInStep()) {
        Link().ReplyFailed = true;
        return;
    }
    CommandLink().Send(command);  // the serial line also pauses for the characters written
    // A command gets no reply: the instrument is given time to act on it.
    PauseMs(100);
}

QString QueryCmd(const QString& query) {
    Link().CommandSent = true;
    if (!BringLinkInStep()) {
        Link().ReplyFailed = true;
        return QString();
    }
    Link().ReplyFailed = false;
    const QString reply = CommandLink().Query(query);
    if (Link().ReplyFailed) NoteReplyLost();
    return reply;
}

void NoteReplyLost() { Link().OutOfStep = true; }
void NoteReplyGarbled() { Link().OutOfStep = true; }
bool LinkInStep() { return !Link().OutOfStep; }

void ResetLinkStep() {
    LinkStateData& l = Link();
    l.OutOfStep = false;
    l.ResyncAsked = false;
    l.IdentitiesOwed = 0;
    l.RequestWithheld = false;
    l.Identity.clear();
}

bool BringLinkInStep() {
    LinkStateData& l = Link();
    l.RequestWithheld = false;
    // Not connected, the request fails at the transport's gate.
    if (!l.OutOfStep || (!l.IsConnected && !l.Connecting)) return true;
    // Without an identity there is no known answer: the stale input is only dropped.
    if (l.Identity.isEmpty()) {
        l.OutOfStep = false;
        return true;
    }
    CommandPort& port = CommandLink();
    // An identity query asked before may still be answered. A transport
    // that clears the device voids it and asks afresh; over the serial line
    // its answer is awaited first, and every one asked is read off before
    // the link counts as in step, or the last would pass for the next
    // request's reply.
    const bool ask = !l.ResyncAsked || port.ClearsDevice();
    if (ask) l.IdentitiesOwed = port.ClearsDevice() ? 1 : l.IdentitiesOwed + 1;
    const QString identity = l.Identity;
    const ReplyTest isIdentity = [&identity](const QString& reply) { return reply == identity; };
    KnownReply r = port.AwaitKnownReply(QStringLiteral("*IDN?"), isIdentity, ask);
    // The answers come in order: the one that came was the oldest owed.
    while (r == KnownReply::Came && --l.IdentitiesOwed > 0)
        if (port.AwaitKnownReply(QString(), isIdentity, false) != KnownReply::Came) l.IdentitiesOwed = 0;
    if (r == KnownReply::Came && (l.IsConnected || l.Connecting)) {
        l.OutOfStep = false;
        l.ResyncAsked = false;
        l.IdentitiesOwed = 0;
        return true;
    }
    // The identity query asked (now or before) is still awaited, unless a
    // wait for it met only silence: then it is asked again.
    l.ResyncAsked = ask || r == KnownReply::Other;
    l.RequestWithheld = true;
    return false;
}

bool ExpectsReply(const QString& command) {
    const QString header = command.section(QLatin1Char(' '), 0, 0);
    return header.endsWith(QLatin1Char('?')) || header.compare(QLatin1String(":HARDCOPY"), Qt::CaseInsensitive) == 0;
}

QString CopyText(const QString& text) { return text; }

void MarkDisconnected() {
    SetConnectionLed(false);
    SetLinkConnected(false);
    NotifyWaiters();
}

void DropLinkAndSay(const QString& text, const QString& title) {
    // Only a link this call drops is said to be closed: a failure while
    // connecting, or one found after the link went, keeps its own text.
    const bool dropped = Link().IsConnected;
    if (dropped) MarkDisconnected();
    MsgBox(dropped ? LinkDroppedText(text) : text, vbExclamation, title);
}
