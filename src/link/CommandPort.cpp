#include "link/CommandPort.h"

#include <QStringList>
#include <algorithm>
#include <limits>

#include "common/ShellState.h"
#include "common/Wait.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/RS232Func.h"
#include "link/ReplyParse.h"
#include "link/UsbFunc.h"
#include "platform/dialogs/MsgBox.h"

KnownReply CommandPort::AwaitKnownReply(const QString& query, const ReplyTest& isAnswer, bool ask, QString* answer) {
    if (!ask) return KnownReply::Nothing;
    const QString reply = Query(query);
    if (isAnswer && isAnswer(TrimReply(reply))) {
        if (answer) *answer = TrimReply(reply);
        return KnownReply::Came;
    }
    return reply.isEmpty() ? KnownReply::Nothing : KnownReply::Other;
}

namespace {

// The request whose reply this read would take did not go out (the link
// could not be put back in step): nothing is read, and the read fails.
bool Withheld(QByteArray& out) {
    out.clear();
    return Link().RequestWithheld;
}

// USB through the VISA layer: every read holds the caller until it returns.
class UsbPort final : public CommandPort {
public:
    void Send(const QString& command) override { WriteVisa(command); }
    QString Query(const QString& query) override {
        WriteVisa(query);
        return ReadVisa();
    }
    int ReadBlock(QByteArray& out, int maxBytes) override {
        if (Withheld(out)) return -1;
        return ReadVisaBytes(out, maxBytes);
    }
    int ReadSystemDataBlock(QByteArray& out, int maxBytes) override {
        if (Withheld(out)) return -1;
        return ReadSystemDataVisaBytes(out, maxBytes);
    }
    bool RepliesWhileWaiting() const override { return false; }
    ScreenChunkRead ReadScreenChunk(QByteArray& out, int maxBytes) override {
        if (Withheld(out)) return {ScreenChunkRead::Failed, 0};
        return ReadVisaScreenChunk(out, maxBytes);
    }
    KnownReply AwaitKnownReply(const QString& query, const ReplyTest& isAnswer, bool ask, QString* answer) override {
        return AwaitVisaKnownReply(query, isAnswer, ask, answer);
    }
    bool CopiesScreen() const override { return true; }
    bool ClearsDevice() const override { return true; }
    // A serial line left open from an earlier connect is closed: only the
    // transport in use may report a failure or drop the link.
    void Open() override {
        CloseComm();
        OpenVisa();
    }
};

// The RS-232 line: replies are collected by the receive handler while the
// caller yields; waits count the main window's 100 ms ticks.
class SerialPort final : public CommandPort {
public:
    void Send(const QString& command) override { WriteComm(command); }
    QString Query(const QString& query) override {
        Link().SerialBinaryMode = false;  // the reply is a text line
        WriteComm(query);
        // Set after the write: no received byte is handled before ReadComm yields.
        Link().WaitingReply = true;
        return ReadComm();
    }
    int ReadBlock(QByteArray& out, int maxBytes) override {
        if (Withheld(out) || !WaitCommBinary()) return -1;
        const qint64 expected = std::max<qint64>(Serial().RxExpected, 0);
        const QByteArray& rx = Serial().RxBuffer;
        const int n = int(std::clamp<qint64>(std::min<qint64>(expected, rx.size()), 0, std::max(maxBytes, 0)));
        out = rx.left(n);
        return n;
    }
    int ReadSystemDataBlock(QByteArray& out, int maxBytes) override { return ReadBlock(out, maxBytes); }
    bool RepliesWhileWaiting() const override { return true; }
    ScreenChunkRead ReadScreenChunk(QByteArray& out, int) override {
        out.clear();
        return {ScreenChunkRead::NotSupported, 0};
    }
    bool CopiesScreen() const override { return false; }
    void Open() override {
        CloseVisa();
        OpenComm();
    }
    KnownReply AwaitKnownReply(const QString& query, const ReplyTest& isAnswer, bool ask, QString* answer) override {
        return AwaitCommKnownReply(query, isAnswer, ask, answer);
    }
};

CommandPort* overridePort = nullptr;

}  // namespace

CommandPort& CommandLink() {
    static UsbPort usb;
    static SerialPort serial;
    if (overridePort) return *overridePort;
    if (Shell().ScopeIOType == 2) return serial;
    return usb;
}

namespace {
// The chosen transport's read message: its text and title.
QStringList ReadFailText() {
    const MessageTableData& m = MessageTable();
    if (CommandLink().RepliesWhileWaiting()) return {m.MsgRs232ReadFail, m.MsgTitleRs232Read};
    return {m.MsgUsbReadFail, m.MsgTitleUsbRead};
}
}  // namespace

void ShowReadFailMessage() {
    const QStringList t = ReadFailText();
    MsgBox(t[0], vbExclamation, t[1]);
}

void DropLinkAfterFailedRead() {
    const QStringList t = ReadFailText();
    DropLinkAndSay(t[0], t[1]);
}

void SettleTransportChoice() {
    if (Shell().ScopeIOType != 2) Shell().ScopeIOType = 0;
}

void SetCommandPortOverride(CommandPort* port) { overridePort = port; }
