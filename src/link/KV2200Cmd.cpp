// The command layer: talks through the command port and keeps the
// protocol's timing (100 ms after every command, none after a query).
#include "link/KV2200Cmd.h"

#include "common/Pause.h"
#include "common/Wait.h"
#include "link/CommandPort.h"
#include "link/LinkEvents.h"
#include "link/LinkState.h"
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
    l.RequestWithheld = false;
    l.Identity.clear();
}

bool BringLinkInStep() {
    LinkStateData& l = Link();
    l.RequestWithheld = false;
    // Not connected, the request fails at the transport's gate; without an
    // identity there is no known answer to read up to.
    if (!l.OutOfStep || (!l.IsConnected && !l.Connecting)) return true;
    // Without an identity there is no known answer: the stale input is only dropped.
    if (l.Identity.isEmpty()) {
        l.OutOfStep = false;
        return true;
    }
    const bool ask = !l.ResyncAsked;
    const QString identity = l.Identity;
    const KnownReply r = CommandLink().AwaitKnownReply(
        QStringLiteral("*IDN?"), [&identity](const QString& reply) { return reply == identity; }, ask);
    if (r == KnownReply::Came && (l.IsConnected || l.Connecting)) {
        l.OutOfStep = false;
        l.ResyncAsked = false;
        return true;
    }
    // The identity query asked (now or before) is still awaited, unless a
    // wait for it met only silence: it counts as lost and is asked again.
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
    if (Link().IsConnected) MarkDisconnected();
    MsgBox(text, vbExclamation, title);
}
