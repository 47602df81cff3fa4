// The command layer: picks the transport from ScopeIOType and keeps the
// protocol's timing (100 ms after every command, none after a query).
#include "link/KV2200Cmd.h"

#include "common/Pause.h"
#include "common/ShellState.h"
#include "common/Wait.h"
#include "link/LinkState.h"
#include "link/RS232Func.h"
#include "link/UsbFunc.h"

namespace {
bool serialLink() { return Shell().ScopeIOType == 2; }
}  // namespace

void SendCmd(const QString& command) {
    if (serialLink())
        WriteComm(command);  // also pauses for the characters written
    else
        WriteVisa(command);
    // A command gets no reply: the instrument is given time to act on it.
    PauseMs(100);
}

QString QueryCmd(const QString& query) {
    LinkStateData& link = Link();
    link.CommandSent = true;
    if (serialLink()) {
        link.SerialBinaryMode = false;  // the reply is a text line
        WriteComm(query);
        // Set after the write: no received byte is handled before ReadComm yields.
        link.WaitingReply = true;
        return ReadComm();
    }
    WriteVisa(query);
    return ReadVisa();
}

QString CopyText(const QString& text) { return text; }

void MarkDisconnected() {
    SetConnectionLed(false);
    Link().IsConnected = false;
    NotifyWaiters();
}
