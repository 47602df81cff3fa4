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
    CommandLink().Send(command);  // the serial line also pauses for the characters written
    // A command gets no reply: the instrument is given time to act on it.
    PauseMs(100);
}

QString QueryCmd(const QString& query) {
    Link().CommandSent = true;
    Link().ReplyFailed = false;
    return CommandLink().Query(query);
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
