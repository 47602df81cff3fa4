#include "link/RS232Func.h"

#include "common/SettingsStore.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSerialPort>
#include <algorithm>
#include <cmath>

#include "common/Pause.h"
#include "common/ShellState.h"
#include "common/Wait.h"
#include "link/CommandPort.h"
#include "link/KV2200Cmd.h"
#include "link/Messages.h"
#include "link/LinkState.h"
#include "platform/dialogs/MsgBox.h"

namespace {

constexpr int kTextTimeoutTicks = 40;
constexpr int kBinaryTimeoutTicks = 100;
// However the bytes trickle in, a reply ends within a few times its silence
// time-out (a binary reply also gets twice its time on the line).
constexpr int kDeadlineFactor = 3;

int textDeadlineTicks() { return kDeadlineFactor * kTextTimeoutTicks; }
int binaryDeadlineTicks() {
    const SerialStateData& s = Serial();
    const qint64 bytes = std::min<qint64>(s.RxExpected, SerialStateData::RxCapacity) + 4;
    const int baud = std::max(1, Shell().BaudRate.trimmed().toInt());
    // 10 bits a byte, in 100 ms ticks.
    const qint64 lineTicks = bytes * 10 * 10 / baud + 1;
    return int(std::min<qint64>(kDeadlineFactor * kBinaryTimeoutTicks + 2 * lineTicks, 1000000));
}

// A reply that did not come whole: the caller gets nothing, and what is
// still on its way is dropped before the next request.
void noteFailedReply() {
    Link().ReplyFailed = true;
    NoteReplyLost();
}

// The serial control: created on first use, lives as long as the application.
struct CommControl {
    QPointer<QSerialPort> port;
    bool inOwnCall = false;  // open or write in progress: their failures have their own messages
};
CommControl& comm() {
    static CommControl c;
    return c;
}

bool gateOpen() { return Link().IsConnected || Link().Connecting; }

// The numeric value of the baud rate text; 0 when it is not a positive whole number.
int baudValue(const QString& text) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok && v > 0 ? v : 0;
}

QSerialPort* port() {
    if (!comm().port) {
        auto* p = new QSerialPort(QCoreApplication::instance());
        QObject::connect(p, &QSerialPort::readyRead, p, [p] {
            const QByteArray chunk = p->readAll();
            if (!chunk.isEmpty()) MSComm1_OnComm(chunk);
        });
        QObject::connect(p, &QSerialPort::errorOccurred, p, [p](QSerialPort::SerialPortError e) {
            if (e == QSerialPort::NoError || comm().inOwnCall) return;
            // QSerialPort reports no line events of its own; its errors are
            // shown as the unknown event.
            MSComm1_OnCommEvent(0);
            // A line that is gone (hung up, unplugged) would report the same
            // failed read again and again: close it. The next connect opens
            // it afresh.
            if (e == QSerialPort::ReadError || e == QSerialPort::ResourceError) {
                p->clearError();
                p->close();
                // The link is gone: it counts as disconnected (a wait for a
                // reply ends now) and the user is told, once. A line that
                // is not the link in use (left from an earlier connect)
                // speaks for nothing.
                if (Link().IsConnected && Shell().ScopeIOType == 2)
                    DropLinkAndSay(MessageTable().MsgRs232ReadFail, MessageTable().MsgTitleRs232Read);
            }
        });
        comm().port = p;
    }
    return comm().port;
}

}  // namespace

SerialStateData& Serial() {
    static SerialStateData s;
    return s;
}

QString CommDevicePath(int n) {
    if (n < 1 || n > 16) return QString();
    const QByteArray env = qgetenv(QByteArray("KV2200_COM") + QByteArray::number(n));
    if (!env.isEmpty()) return QString::fromLocal8Bit(env);
    // A mapping the user wrote into the settings file (never written by the
    // application): "COM3_Device=/dev/ttyUSB0" in the IO section.
    const QString mapped =
        GetStoredText(QStringLiteral("IO Settings_KV2200M"), QStringLiteral("COM%1_Device").arg(n)).trimmed();
    if (!mapped.isEmpty()) return mapped;
    return QStringLiteral("/dev/ttyS%1").arg(n - 1);
}

int CommWritePauseMs(int commandLength, const QString& baudRate) {
    const int baud = baudValue(baudRate);
    double perChar = baud > 0 ? 30000.0 / baud : 3.0;
    if (perChar < 3.0) perChar = 3.0;
    return static_cast<int>(std::nearbyint(perChar * (commandLength + 1)));
}

void OpenComm() {
    QSerialPort* p = port();
    comm().inOwnCall = true;
    if (p->isOpen()) p->close();
    const int baud = baudValue(Shell().BaudRate);
    const QString path = CommDevicePath(Shell().COM_Port);
    bool failed = baud == 0 || path.isEmpty();
    if (!failed) {
        p->setPortName(path);
        if (!p->open(QIODevice::ReadWrite)) {
            failed = true;
        } else {
            // A pseudo-terminal or an unusual UART may refuse some line
            // settings; the port is open all the same.
            p->setBaudRate(baud);
            p->setDataBits(QSerialPort::Data8);
            p->setParity(QSerialPort::NoParity);
            p->setStopBits(QSerialPort::OneStop);
            p->setFlowControl(QSerialPort::NoFlowControl);
            p->clearError();
        }
    }
    comm().inOwnCall = false;
    if (failed) {
        if (p->isOpen()) p->close();
        // The box covers the status bar: it names the port and its device
        // itself, for as long as it is up.
        const QString why = CommOpenFailureText(Shell().COM_Port, path, Shell().BaudRate);
        if (LinkUi().ShowSerialStatus) LinkUi().ShowSerialStatus(QStringLiteral("Status: ") + why);
        MsgBox(MessageTable().MsgBadPortNumber + QLatin1Char('\n') + why, vbExclamation,
               MessageTable().MsgTitleRs232Init);
        Link().LinkOpen = false;
    }
}

QString CommOpenFailureText(int port, const QString& device, const QString& baudRate) {
    const MessageTableData& m = MessageTable();
    if (device.isEmpty()) return m.MsgPortOutOfRange.arg(port);
    if (baudValue(baudRate) == 0) return m.MsgPortBadBaud.arg(QString::number(port), device, baudRate);
    return m.MsgPortDevice.arg(QString::number(port), device);
}

void CloseComm() {
    if (comm().port && comm().port->isOpen()) comm().port->close();
}

void DiscardStaleCommInput() {
    QSerialPort* p = port();
    if (p->isOpen()) p->clear(QSerialPort::Input);
    if (p->isOpen()) p->readAll();  // the clear may have found the line gone and closed it
}

void WriteComm(const QString& command) {
    if (!gateOpen()) return;
    // Whatever is waiting now is no reply to this request. Emptying the
    // input of a line that was pulled raises its error here: the link is
    // then down and reported, and nothing more is written.
    if (ExpectsReply(command)) DiscardStaleCommInput();
    if (!gateOpen()) return;
    Serial().SerialReply.clear();
    Serial().RxStarted = false;
    Serial().RxComplete = false;
    Serial().RxOverflow = false;

    QSerialPort* p = port();
    const QByteArray bytes = command.toLatin1() + '\n';
    comm().inOwnCall = true;
    bool ok = p->isOpen() && p->write(bytes) == bytes.size();
    // Hand the bytes to the device now: the pause below does not run the
    // event loop. flush() only writes, so no receive event runs in here.
    while (ok && p->bytesToWrite() > 0) {
        if (!p->flush() && !p->waitForBytesWritten(1000)) ok = false;
    }
    if (!ok) {
        // What could not be written must not go out ahead of a later command.
        if (p->isOpen()) p->clear(QSerialPort::Output);
        p->clearError();
    }
    comm().inOwnCall = false;
    if (!ok) {
        // The line's own description (Qt's, in English) is not the user's
        // language: the message table says it.
        DropLinkAndSay(MessageTable().MsgRs232SendFail, MessageTable().MsgTitleRs232Send);
        return;
    }
    PauseMs(CommWritePauseMs(command.size(), Shell().BaudRate));
}

QString ReadComm() {
    if (!gateOpen()) {
        Link().ReplyFailed = true;
        return QString();
    }
    SerialStateData& s = Serial();
    s.TickCount = 0;
    s.TotalTicks = 0;
    YieldUntil([&s] {
        return !Link().WaitingReply || s.RxOverflow || s.TickCount >= kTextTimeoutTicks ||
               s.TotalTicks >= textDeadlineTicks() || !gateOpen();
    });
    if (Link().WaitingReply) {
        noteFailedReply();
        return QString();
    }
    return s.SerialReply;
}

KnownReply AwaitCommKnownReply(const QString& query, const ReplyTest& isAnswer, bool ask, QString* answer) {
    if (!gateOpen()) return KnownReply::Nothing;
    SerialStateData& s = Serial();
    Link().SerialBinaryMode = false;  // every byte goes to the text handler
    s.Resyncing = true;
    if (ask) {
        s.ResyncText.clear();
        WriteComm(query);
    }
    // A whole line (at the start or after a line feed) that is the answer.
    QString found;
    qsizetype foundEnd = 0;
    auto came = [&] {
        if (!isAnswer) return false;
        qsizetype start = 0;
        for (qsizetype lf = s.ResyncText.indexOf('\n'); lf >= 0; lf = s.ResyncText.indexOf('\n', start)) {
            const QString line = QString::fromLatin1(s.ResyncText.mid(start, lf - start));
            start = lf + 1;
            if (isAnswer(line)) {
                found = line;
                foundEnd = start;
                return true;
            }
        }
        return false;
    };
    s.TickCount = 0;
    s.TotalTicks = 0;
    YieldUntil([&] {
        return came() || s.TickCount >= kTextTimeoutTicks || s.TotalTicks >= textDeadlineTicks() || !gateOpen();
    });
    const bool came_ = came() && gateOpen();
    const bool any = !s.ResyncText.isEmpty();
    // What came behind the answer stays for a wait that goes on reading
    // (`ask` false): another answer still owed may be in it.
    if (came_) s.ResyncText.remove(0, foundEnd);
    else s.ResyncText.clear();
    s.Resyncing = false;
    if (came_) {
        if (answer) *answer = found;
        return KnownReply::Came;
    }
    return any ? KnownReply::Other : KnownReply::Nothing;
}

bool WaitCommBinary() {
    if (!gateOpen()) {
        Link().ReplyFailed = true;
        return false;
    }
    SerialStateData& s = Serial();
    Link().WaitingReply = true;
    Link().SerialBinaryMode = true;
    s.TickCount = 0;
    s.TotalTicks = 0;
    YieldUntil([&s] {
        return !Link().WaitingReply || s.TickCount >= kBinaryTimeoutTicks || s.TotalTicks >= binaryDeadlineTicks() ||
               !gateOpen();
    });
    if (Link().WaitingReply || !s.RxComplete) {
        noteFailedReply();
        return false;
    }
    return true;
}

void MSComm1_OnComm(const QByteArray& chunk) {
    if (Link().SerialBinaryMode)
        OnCommBinary(chunk);
    else
        OnCommText(chunk);
}

QString CommEventText(int commEvent) {
    switch (commEvent) {
    case 3: return QStringLiteral("Change in CTS Detected");
    case 4: return QStringLiteral("Change in DSR Detected");
    case 5: return QStringLiteral("Change in CD Detected");
    case 6: return QStringLiteral("The Phone is Ringing");
    case 7: return QStringLiteral("End of File Detected");
    case 1001: return QStringLiteral("Break Received");
    case 1002: return QStringLiteral("CTS Timeout");
    case 1003: return QStringLiteral("DSR Timeout");
    case 1004: return QStringLiteral("Framing Error");
    case 1006: return QStringLiteral("Overrun Error");
    case 1007: return QStringLiteral("Carrier Detect Timeout");
    case 1008: return QStringLiteral("Receive Buffer Overflow");
    case 1009: return QStringLiteral("Parity Error");
    case 1010: return QStringLiteral("Transmit Buffer Full");
    case 1011: return QStringLiteral("Error retrieving DCB");
    default: return QStringLiteral("Unknown error or event");
    }
}

void MSComm1_OnCommEvent(int commEvent) {
    // 1 (send) and 2 (receive) are not shown.
    if (commEvent == 1 || commEvent == 2) return;
    if (LinkUi().ShowSerialStatus)
        LinkUi().ShowSerialStatus(QStringLiteral("Status: ") + CommEventText(commEvent));
}

void OnCommBinary(const QByteArray& data) {
    SerialStateData& s = Serial();
    if (!s.RxStarted) {
        s.RxReceived = 0;
        s.RxExpected = 0;
        s.RxComplete = false;
        s.RxBuffer.clear();
    }
    s.RxStarted = true;
    s.TickCount = 0;

    // The count may be split over chunks: it is collected byte by byte. Bytes
    // that follow a complete reply are counted but belong to no reply.
    for (int i = 0; i < data.size(); ++i) {
        const quint8 b = static_cast<quint8>(data[i]);
        if (s.RxReceived < 4)
            s.RxExpected += qint64(b) << (8 * s.RxReceived);
        else if (!s.RxComplete && s.RxBuffer.size() < SerialStateData::RxCapacity)
            s.RxBuffer.append(char(b));
        ++s.RxReceived;
        if (!s.RxComplete && s.RxReceived == s.RxExpected + 4) s.RxComplete = true;
    }
    if (s.RxComplete) Link().WaitingReply = false;
    NotifyWaiters();
}

void OnCommText(const QByteArray& data) {
    SerialStateData& s = Serial();
    s.RxStarted = true;
    s.TickCount = 0;
    if (Link().OutOfStep || s.Resyncing) {
        if (s.ResyncText.size() < SerialStateData::RxCapacity) s.ResyncText += data;
        NotifyWaiters();
        return;
    }
    if (s.RxOverflow) return;
    s.SerialReply += QString::fromLatin1(data);
    const int k = s.SerialReply.indexOf(QLatin1Char('\n'));
    if (k >= 0) {
        Link().WaitingReply = false;
        s.SerialReply.truncate(k);
    } else if (s.SerialReply.size() > SerialStateData::RxCapacity) {
        // No line is this long: the reply is given up, and its wait ends.
        s.RxOverflow = true;
        s.SerialReply.clear();
    }
    NotifyWaiters();
}

void SerialTick() {
    ++Serial().TickCount;
    ++Serial().TotalTicks;
    NotifyWaiters();
}
