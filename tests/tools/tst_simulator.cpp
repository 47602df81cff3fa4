// The simulated instrument itself: framing on both sides, the command log,
// the settings store and the reply faults.
#include <QDeadlineTimer>
#include <QTcpSocket>
#include <QtTest>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include "Simulator.h"
#include "TestEnv.h"

namespace {
quint32 le32(const QByteArray& b, int at = 0) {
    quint32 n = 0;
    for (int i = 3; i >= 0; --i) n = (n << 8) | quint8(b[at + i]);
    return n;
}

// A VISA-side client: writes lines, reads length-framed replies.
struct TcpClient {
    QTcpSocket s;
    bool open(int port) {
        s.connectToHost(QHostAddress::LocalHost, quint16(port));
        return s.waitForConnected(5000);
    }
    void send(const QByteArray& line) {
        s.write(line + '\n');
        s.flush();
    }
    // Every byte that arrives within ms (or until the peer closes).
    QByteArray readFor(int ms, int want) {
        QByteArray got;
        QDeadlineTimer dl(ms);
        while (got.size() < want && !dl.hasExpired()) {
            if (s.bytesAvailable() == 0 && !s.waitForReadyRead(int(dl.remainingTime()))) break;
            got += s.readAll();
        }
        return got;
    }
    // One framed reply; empty on time-out.
    QByteArray frame(int ms = 5000) {
        QByteArray head = readFor(ms, 4);
        if (head.size() < 4) return {};
        const int n = int(le32(head));
        QByteArray body = head.mid(4);
        if (body.size() < n) body += readFor(ms, n - body.size());
        return body;
    }
    QByteArray query(const QByteArray& line) {
        send(line);
        return frame();
    }
};

// A serial-side client on the pseudo-terminal.
struct PtyClient {
    int fd = -1;
    ~PtyClient() { if (fd >= 0) ::close(fd); }
    bool open(const QString& path) {
        fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        return fd >= 0;
    }
    void send(const QByteArray& line) {
        const QByteArray b = line + '\n';
        QCOMPARE(::write(fd, b.constData(), size_t(b.size())), ssize_t(b.size()));
    }
    // Reads until want bytes came, the line hung up, or ms passed.
    QByteArray read(int want, int ms = 5000, bool* hungUp = nullptr) {
        QByteArray got;
        QDeadlineTimer dl(ms);
        while (got.size() < want && !dl.hasExpired()) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, int(dl.remainingTime())) <= 0) break;
            char buf[4096];
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n > 0) { got.append(buf, int(n)); continue; }
            if (n < 0 && errno == EAGAIN) continue;
            if (hungUp) *hungUp = true;
            break;
        }
        return got;
    }
    QByteArray line(int ms = 5000) {
        QByteArray got;
        QDeadlineTimer dl(ms);
        while (!got.contains('\n') && !dl.hasExpired()) {
            const QByteArray more = read(1, int(dl.remainingTime()));
            if (more.isEmpty()) break;
            got += more;
        }
        return got;
    }
    QByteArray block() {
        const QByteArray head = read(4);
        if (head.size() < 4) return {};
        const int n = int(le32(head));
        QByteArray body = head.mid(4);
        if (body.size() < n) body += read(n - body.size());
        return body;
    }
};
}  // namespace

class TestSimulator : public QObject {
    Q_OBJECT
    Simulator sim;
    TcpClient tcp;
    PtyClient pty;

private slots:
    void initTestCase() {
        TestEnv::Init();
        QVERIFY(sim.Start());
        QVERIFY(tcp.open(sim.TcpPort()));
        QVERIFY(pty.open(sim.PtyPath()));
    }
    void init() {
        sim.SetFault("none");
        sim.ClearLog();
    }
    void cleanupTestCase() { sim.Stop(); }

    void textRepliesOnBothSides() {
        QCOMPARE(tcp.query("*IDN?"), QByteArray("TARVO TECHNOLOGIES,KV2202E,SN0001,V1.00\n"));
        pty.send(":TRIGGER:STATUS?");
        QCOMPARE(pty.line(), QByteArray("RUN\n"));
        sim.Set("IDN", "TARVO TECHNOLOGIES,KV2202E,SN0002,V2.0");
        pty.send("*IDN?");
        QCOMPARE(pty.line(), QByteArray("TARVO TECHNOLOGIES,KV2202E,SN0002,V2.0\n"));
        sim.Set("IDN", "TARVO TECHNOLOGIES,KV2202E,SN0001,V1.00");
    }

    void binaryRepliesOnBothSides() {
        tcp.send(":SYSTEM:DATA?");
        QCOMPARE(tcp.frame().size(), 116);
        pty.send(":SYSTEM:DATA?");
        QCOMPARE(pty.block().size(), 116);
        // The screen copy is a command whose reply is the screen.
        tcp.send(":HARDCOPY");
        QCOMPARE(tcp.frame().size(), 320 * 234);
    }

    void logKeepsEveryCommandInOrder() {
        tcp.send(":KEY:LOCK ENABLE");
        QCOMPARE(tcp.query(":MATH:DISPLAY?"), QByteArray("OFF\n"));  // commands get no reply
        pty.send(":KEY:RUN");
        pty.send("*IDN?");
        QVERIFY(pty.line().startsWith("TARVO"));
        QCOMPARE(sim.Log(), (QStringList{":KEY:LOCK ENABLE", ":MATH:DISPLAY?", ":KEY:RUN", "*IDN?"}));
        sim.ClearLog();
        QCOMPARE(sim.Log(), QStringList());
    }

    void settingsStoreNormalisesHeaders() {
        tcp.send(":WAVeform:POINts:MODE NORmal");
        QCOMPARE(tcp.query(":WAVEFORM:POINTS:MODE?"), QByteArray("NORmal\n"));
        tcp.send(":chan2:coup AC");
        QCOMPARE(tcp.query(":CHANNEL2:COUPLING?"), QByteArray("AC\n"));
        QCOMPARE(sim.Get(":CHAN2:COUPLING"), QString("AC"));
        tcp.send(":STOP");
        QCOMPARE(tcp.query(":TRIGGER:STATUS?"), QByteArray("STOP\n"));
        tcp.send(":RUN");
        QCOMPARE(tcp.query(":TRIGGER:STATUS?"), QByteArray("RUN\n"));
    }

    void silentAndGarbage() {
        sim.SetFault("silent");
        tcp.send("*IDN?");
        pty.send("*IDN?");
        QCOMPARE(tcp.readFor(300, 1), QByteArray());
        QCOMPARE(pty.read(1, 300), QByteArray());
        QCOMPARE(sim.Log(), (QStringList{"*IDN?", "*IDN?"}));

        sim.SetFault("garbage");
        const QByteArray g = tcp.query(":CHANNEL1:SCALE?");
        QVERIFY(g.endsWith('\n'));
        QVERIFY(!g.isEmpty() && !QByteArray("0123456789+-.").contains(g[0]));
        bool ok = true;
        g.trimmed().toDouble(&ok);
        QVERIFY(!ok);
    }

    void truncateAndOversize() {
        sim.SetFault("truncate 10");
        tcp.send(":SYSTEM:DATA?");
        QCOMPARE(tcp.frame().size(), 10);
        // Serially the count still states the whole block; the bytes stop early.
        pty.send(":SYSTEM:DATA?");
        const QByteArray cut = pty.read(200, 500);
        QCOMPARE(cut.size(), 14);
        QCOMPARE(le32(cut), 116u);

        sim.SetFault("oversize 8");
        tcp.send(":SYSTEM:DATA?");
        QCOMPARE(tcp.frame().size(), 124);
        pty.send(":SYSTEM:DATA?");
        QCOMPARE(pty.block().size(), 124);
        QCOMPARE(tcp.query("*IDN?").size(), 40);  // text replies keep their size
    }

    void lateReplyLeavesTheSimulatorResponsive() {
        sim.SetFault("late 1500");
        tcp.send("*IDN?");
        // The control port answers while the reply is still held back.
        QCOMPARE(sim.Log(), QStringList{"*IDN?"});
        QCOMPARE(tcp.s.bytesAvailable(), 0);
        QCOMPARE(tcp.frame(10000), QByteArray("TARVO TECHNOLOGIES,KV2202E,SN0001,V1.00\n"));
    }

    void dropClosesTheLine() {
        sim.SetFault("drop 5");
        tcp.send(":SYSTEM:DATA?");
        const QByteArray got = tcp.readFor(5000, 1000);
        QCOMPARE(got.size(), 4 + 5);
        QCOMPARE(le32(got), 116u);
        QVERIFY(tcp.s.state() != QAbstractSocket::ConnectedState || !tcp.s.waitForReadyRead(2000));
        // Only the next reply is dropped: a new connection works.
        TcpClient again;
        QVERIFY(again.open(sim.TcpPort()));
        QCOMPARE(again.query(":MATH:DISPLAY?"), QByteArray("OFF\n"));
        tcp.s.abort();
        QVERIFY(tcp.open(sim.TcpPort()));

        sim.SetFault("drop 3");
        pty.send("*IDN?");
        bool hungUp = false;
        QCOMPARE(pty.read(1000, 5000, &hungUp), QByteArray("TAR"));
        QVERIFY(hungUp);
        // A fresh terminal replaces the hung-up one.
        PtyClient fresh;
        QVERIFY(fresh.open(sim.CurrentPtyPath()));
        fresh.send(":MATH:DISPLAY?");
        QCOMPARE(fresh.line(), QByteArray("OFF\n"));
        QVERIFY(pty.open(sim.CurrentPtyPath()));
    }

    void badFaultIsRefused() {
        QVERIFY(sim.Control("FAULT truncate lots").startsWith("ERROR"));
        QCOMPARE(tcp.query("*IDN?").size(), 40);
    }
};

QTEST_GUILESS_MAIN(TestSimulator)
#include "tst_simulator.moc"
