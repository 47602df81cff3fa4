#pragma once
// The simulated instrument's transports: the VISA side over TCP (each reply
// framed by a 4-byte little-endian length), the serial side on a
// pseudo-terminal (text lines; binary blocks behind a 4-byte count), and the
// control port through which tests read the command log and set faults.
#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include "SimInstrument.h"

class QSocketNotifier;
class QTcpServer;
class QTcpSocket;
class QTimer;

struct SimFault {
    enum Kind { None, Silent, Late, Truncate, Oversize, Drop, Garbage };
    Kind kind = None;
    int amount = 0;  // ms for Late, bytes for the others
    int after = 0;   // replies that still go out normally before the fault starts
    int count = -1;  // replies the fault meets before it ends by itself; -1: until changed

    // Parses "none", "silent", "late <ms>", "truncate <n>", "oversize <n>",
    // "drop <n>", "garbage", each optionally followed by "after <k>" and
    // "for <n>" (in either order). False (and no change) for anything else.
    bool Parse(const QString& text);
};

class SimServer : public QObject {
    Q_OBJECT
public:
    explicit SimServer(QObject* parent = nullptr);
    ~SimServer() override;

    bool ListenTcp(quint16 port);
    bool ListenControl(quint16 port);
    bool OpenPty();
    // Writes the "tcp=", "pty=", "control=" lines, replacing the file whole.
    bool WriteInfo(const QString& path);

    quint16 TcpPort() const;
    quint16 ControlPort() const;
    QString PtyPath() const { return ptyPath_; }

    // One control line; the answer lines, ending with "OK" or "END".
    QStringList Control(const QString& line);

    SimInstrument& Instrument() { return inst_; }

private:
    enum class Side { Tcp, Serial };
    void onTcpConnection();
    void onTcpReadable(QTcpSocket* s);
    void onControlConnection();
    void onPtyReadable();
    void onPtyWritable();
    void handleLine(Side side, QTcpSocket* s, const QByteArray& line);
    // A device clear on the VISA side (a line of CAN and a number): every
    // reply still owed to that connection is dropped, then the clear's mark
    // goes out (length word FFFFFFFF, then the number, little-endian).
    void clearTcp(QTcpSocket* s, const QByteArray& number);
    void reply(Side side, QTcpSocket* s, SimReply r);
    void deliver(Side side, QTcpSocket* s, const QByteArray& head, const QByteArray& body, int dropAfter);
    void writePty(const QByteArray& bytes);
    void closePty();
    void hangUpWhenRead(int tries);
    void releaseDue();

    // A reply held back: late, or behind a late one of the same side and
    // connection (an instrument answers in the order it was asked).
    struct Held {
        Side side;
        QPointer<QTcpSocket> socket;
        QByteArray head, body;
        int dropAfter;
        qint64 due;  // ms on clock_
    };

    SimInstrument inst_;
    SimFault fault_;
    QStringList log_;
    QTcpServer* tcp_ = nullptr;
    QTcpServer* control_ = nullptr;
    int ptyMaster_ = -1;
    int ptySlave_ = -1;
    QList<Held> held_;  // in the order asked
    QElapsedTimer clock_;
    QTimer* release_ = nullptr;
    qint64 ptySyncs_ = 0;      // SYN bytes read on the serial side (dropped from the input)
    // The last reply on the serial side was kept back (silent, late) or cut
    // (truncate, drop) by the fault.
    bool ptyReplyWithheld_ = false;
    bool ptyHangUpPending_ = false;  // a "drop" fault's hang-up is still to come
    // What the serial side holds for its client (the "LINE?" control query).
    QString ptyLineState() const;
    QString ptyPath_;
    QSocketNotifier* ptyRead_ = nullptr;
    QSocketNotifier* ptyWrite_ = nullptr;
    QByteArray ptyIn_;
    QByteArray ptyOut_;
    QString infoPath_;
};
