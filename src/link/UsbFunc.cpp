#include "link/UsbFunc.h"

#include <algorithm>

#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/CommandPort.h"
#include "link/ReplyParse.h"
#include "platform/dialogs/MsgBox.h"

namespace {
constexpr int kTextReadMax = 256;
constexpr int kBlockReadMax = 8192;

// The transport gate: nothing is written or read unless connected or connecting.
bool gateOpen() { return Link().IsConnected || Link().Connecting; }

// A failed read of the system data: tell the user and drop the connected state.
void reportReadFailure() {
    DropLinkAndSay(MessageTable().MsgUsbReadFail, MessageTable().MsgTitleUsbRead);
}

// A read that came to nothing: the reply is missing, and what is left of it
// may still arrive, so the link is out of step (NoteReplyLost). A
// connection that is gone is reported here, whoever was reading, and the
// link counts as disconnected (the next request would only fail again).
// Returns true when it reported.
bool noteFailedRead(ViStatus st) {
    Link().ReplyFailed = true;
    NoteReplyLost();
    if (st != VI_ERROR_CONN_LOST || !Link().IsConnected) return false;
    reportReadFailure();
    return true;
}

// After a read cut at its count, the rest of that message is read and
// dropped, so that it cannot pass for the reply of the next request.
void dropRestOfMessage(ViStatus st) {
    static ViByte scratch[kBlockReadMax];
    while (st == VI_SUCCESS_MAX_CNT) {
        ViUInt32 n = 0;
        st = viRead(Usb().VisaSession, scratch, kBlockReadMax, &n);
    }
    if (st < VI_SUCCESS) noteFailedRead(st);
}

// One read of a text message: its first 256 bytes, one character per byte;
// the rest of a longer one is read and dropped. The status of that read.
ViStatus readTextMessage(QString& text) {
    ViByte buf[kTextReadMax];
    ViUInt32 n = 0;
    const ViStatus st = viRead(Usb().VisaSession, buf, kTextReadMax, &n);
    text = QString::fromLatin1(reinterpret_cast<const char*>(buf), qsizetype(std::min<ViUInt32>(n, kTextReadMax)));
    if (st == VI_SUCCESS_MAX_CNT) dropRestOfMessage(st);
    return st;
}
}  // namespace

void DiscardStaleVisaInput() { viFlush(Usb().VisaSession, VI_READ_BUF_DISCARD); }

KnownReply AwaitVisaKnownReply(const QString& query, const ReplyTest& isAnswer, bool ask, QString* answer) {
    if (!gateOpen()) return KnownReply::Nothing;
    if (ask) {
        // After the clear nothing asked before can come: the query's answer
        // is the next reply, and one that does not come is voided by the
        // next clear.
        const ViStatus cleared = viClear(Usb().VisaSession);
        if (cleared < VI_SUCCESS) {
            noteFailedRead(cleared);
            return KnownReply::Nothing;
        }
        WriteVisa(query);
    }
    // However many replies were waiting, each is read whole and dropped; a
    // babbling line ends the wait too.
    constexpr int kMostReplies = 1024;
    bool any = false;
    for (int k = 0; k < kMostReplies && gateOpen(); ++k) {
        QString text;
        const ViStatus st = readTextMessage(text);
        if (st < VI_SUCCESS) {
            noteFailedRead(st);
            break;
        }
        any = true;
        if (st == VI_SUCCESS && text.endsWith(QLatin1Char('\n')) && isAnswer && isAnswer(TrimReply(text))) {
            if (answer) *answer = TrimReply(text);
            return KnownReply::Came;
        }
    }
    return any ? KnownReply::Other : KnownReply::Nothing;
}

UsbStateData& Usb() {
    static UsbStateData s;
    return s;
}

void OpenVisaRM() { viOpenDefaultRM(&Usb().DefaultRM); }

void CloseVisaRM() {
    viClose(Usb().DefaultRM);  // also ends the instrument session
    Usb().DefaultRM = VI_NULL;
    Usb().VisaSession = VI_NULL;
}

void OpenVisa() {
    UsbStateData& u = Usb();
    ViChar desc[VI_FIND_BUFLEN] = {};
    ViFindList list = VI_NULL;
    ViUInt32 found = 0;
    viFindRsrc(u.DefaultRM, "USB?*INSTR", &list, &found, desc);
    u.UsbResourceList[0] = QString::fromLatin1(desc);
    if (list != VI_NULL) viClose(list);
    if (found > 0) {
        Link().LinkOpen = true;
        if (u.UsbDeviceIndex == 0) {
            u.UsbDeviceIndex = 1;
            u.UsbResource = u.UsbResourceList[0];
        }
        // The description is read up to its terminating zero, if it has one.
        const QString name = u.UsbResource.left(u.UsbResource.indexOf(QChar(0)));
        ViSession session = VI_NULL;
        if (viOpen(u.DefaultRM, name.toLatin1().constData(), VI_NO_LOCK, 0, &session) == VI_SUCCESS) {
            // A session of an earlier connect is no longer used: release it.
            if (u.VisaSession != VI_NULL && u.VisaSession != session) viClose(u.VisaSession);
            u.VisaSession = session;
            return;
        }
    }
    MsgBox(MessageTable().MsgUsbConnectFail, vbExclamation, MessageTable().MsgTitleUsbInit);
    Link().LinkOpen = false;
}

void CloseVisa() {
    UsbStateData& u = Usb();
    if (u.VisaSession != VI_NULL) viClose(u.VisaSession);
    u.VisaSession = VI_NULL;
}

void WriteVisa(const QString& command) {
    if (!gateOpen()) return;
    // Whatever is waiting now is no reply to this request.
    if (ExpectsReply(command)) DiscardStaleVisaInput();
    QByteArray bytes = command.toLatin1();  // one byte per character
    bytes.append('\n');
    ViUInt32 written = 0;
    const ViStatus st = viWrite(Usb().VisaSession, reinterpret_cast<const ViByte*>(bytes.constData()),
                                ViUInt32(bytes.size()), &written);
    if (st != VI_SUCCESS) {
        DropLinkAndSay(MessageTable().MsgUsbConnectFail, MessageTable().MsgTitleUsbSend);
    }
}

QString ReadVisa() {
    if (!gateOpen()) {
        Link().ReplyFailed = true;
        return QString();
    }
    QString text;
    const ViStatus st = readTextMessage(text);
    // A longer reply: its first 256 bytes are the text. Otherwise only a
    // line ended by its line feed is a whole reply.
    if (st != VI_SUCCESS_MAX_CNT && (st != VI_SUCCESS || !text.endsWith(QLatin1Char('\n')))) {
        noteFailedRead(st);
        return QString();
    }
    return text;
}

int ReadVisaBytes(QByteArray& out, int maxBytes) {
    out.clear();
    if (!gateOpen()) return -1;
    static ViByte buf[kBlockReadMax];
    const ViUInt32 limit = ViUInt32(std::clamp(maxBytes, 0, kBlockReadMax));
    ViUInt32 n = 0;
    const ViStatus st = viRead(Usb().VisaSession, buf, limit, &n);
    if (st < VI_SUCCESS) {
        noteFailedRead(st);
        return -1;
    }
    dropRestOfMessage(st);
    n = std::min<ViUInt32>(n, limit);
    out = QByteArray(reinterpret_cast<const char*>(buf), qsizetype(n));
    return int(n);
}

QString ReadVisaBlock(int32_t& count) {
    if (!gateOpen()) return QString();
    QByteArray bytes;
    count = std::max(ReadVisaBytes(bytes, kBlockReadMax), 0);
    auto& samples = Link().WaveSamples;
    for (qsizetype k = 1; k <= bytes.size() && size_t(k) < samples.size(); ++k)
        samples[size_t(k)] = uint8_t(bytes[k - 1]);
    return QString();
}

int ReadSystemDataVisaBytes(QByteArray& out, int maxBytes) {
    out = QByteArray(std::max(maxBytes, 0), '\0');
    if (!gateOpen()) return 0;
    ViUInt32 stored = 0;
    // The whole reply is consumed; what does not fit the buffer is dropped.
    const ViStatus st =
        viScanf(Usb().VisaSession, "%t", reinterpret_cast<ViByte*>(out.data()), ViUInt32(out.size()), &stored);
    if (st != VI_SUCCESS) {
        if (!noteFailedRead(st)) reportReadFailure();
        return -1;
    }
    return int(stored);
}

void ReadSystemDataVisa() {
    if (!gateOpen()) return;
    auto& buf = Link().SystemDataBuf;
    QByteArray bytes;
    const int stored = std::max(ReadSystemDataVisaBytes(bytes, int(buf.size())), 0);
    // Bytes beyond the reply keep what the buffer held.
    std::copy(bytes.constData(), bytes.constData() + std::clamp(stored, 0, int(buf.size())),
              reinterpret_cast<char*>(buf.data()));
}

ScreenChunkRead ReadVisaScreenChunk(QByteArray& out, int maxBytes) {
    out.clear();
    if (!gateOpen()) return {ScreenChunkRead::Failed, 0};
    // The buffer keeps its capacity between reads (a copy reads every frame).
    out.resize(std::max(maxBytes, 0));
    ViUInt32 n = 0;
    const ViStatus st = viRead(Usb().VisaSession, reinterpret_cast<ViByte*>(out.data()), ViUInt32(out.size()), &n);
    out.resize(qsizetype(std::min<ViUInt32>(n, ViUInt32(out.size()))));
    // "More to come" is no error: the rest is the next read's.
    if (st < VI_SUCCESS) {
        NoteReplyLost();
        return {ScreenChunkRead::Failed, int(out.size())};
    }
    return {ScreenChunkRead::Received, int(out.size())};
}
