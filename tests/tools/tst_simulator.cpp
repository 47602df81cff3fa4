// The simulated instrument itself: framing on both sides, the command log,
// the settings store and the reply faults.
#include <QDeadlineTimer>
#include <QTcpSocket>
#include <QSerialPort>
#include <QSet>
#include <QtTest>

#include <algorithm>

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
        if (!s.waitForConnected(5000)) return false;
        s.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        return true;
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
    // A text reply without its line feed.
    QByteArray ask(const QByteArray& line) { return query(line).chopped(1); }
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
    // Every test starts from the default settings and an empty log.
    void init() {
        sim.SetFault("none");
        tcp.send("*RST");
        QVERIFY(tcp.ask("*IDN?").startsWith("TARVO"));
        sim.ClearLog();
    }
    void cleanupTestCase() { sim.Stop(); }

    // The pseudo-terminal behaves as a serial port: it opens, takes line
    // settings, answers, and opens again after a close.
    void serialPortOnTheTerminal() {
        for (int round = 0; round < 2; ++round) {
            QSerialPort port(sim.PtyPath());
            port.setBaudRate(9600);
            QVERIFY2(port.open(QIODevice::ReadWrite), qPrintable(port.errorString()));
            port.write(":MATH:DISPLAY?\n");
            QByteArray got;
            QDeadlineTimer dl(5000);
            while (!got.contains('\n') && port.waitForReadyRead(int(dl.remainingTime()))) got += port.readAll();
            QCOMPARE(got, QByteArray("OFF\n"));
            port.close();
        }
    }

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
        tcp.send(":WAVEFORM:DATA? CHANNEL1");
        QCOMPARE(tcp.frame().size(), 600);
        pty.send(":WAVEFORM:DATA? DIGITAL");
        QCOMPARE(pty.block().size(), 1200);
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
        QCOMPARE(tcp.query(":WAVEFORM:POINTS:MODE?"), QByteArray("NORMAL\n"));
        tcp.send(":chan2:coup AC");
        QCOMPARE(tcp.query(":CHANNEL2:COUPLING?"), QByteArray("AC\n"));
        QCOMPARE(sim.Get(":CHAN2:COUPLING"), QString("AC"));
        tcp.send(":STOP");
        QCOMPARE(tcp.query(":TRIGGER:STATUS?"), QByteArray("STOP\n"));
        tcp.send(":RUN");
        QCOMPARE(tcp.query(":TRIGGER:STATUS?"), QByteArray("RUN\n"));
    }

    // A command, then the query of the same setting, answers in the
    // instrument's own reply form.
    void settingsAnswerInReplyForm_data() {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QByteArray>("query");
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("time with SI") << QByteArray(":TIMEBASE:SCALE 10.00US") << QByteArray(":TIMEBASE:SCALE?") << QByteArray("1.000e-05");
        QTest::newRow("upper-case milli") << QByteArray(":TRIGGER:HOLDOFF 0.5MS") << QByteArray(":TRIG:HOLD?") << QByteArray("5.000e-04");
        QTest::newRow("millivolts") << QByteArray(":CHANNEL1:OFFSET 250MV") << QByteArray(":CHANNEL1:OFFSET?") << QByteArray("2.500e-01");
        QTest::newRow("not a number") << QByteArray(":CHANNEL1:SCALE ABC") << QByteArray(":CHANNEL1:SCALE?") << QByteArray("1.000e+00");
        QTest::newRow("zero scale") << QByteArray(":TIMEBASE:SCALE 0") << QByteArray(":TIMEBASE:SCALE?") << QByteArray("5.000e-04");
        QTest::newRow("overflow") << QByteArray(":CHANNEL1:OFFSET 1e999") << QByteArray(":CHANNEL1:OFFSET?") << QByteArray("1.500e+00");
        QTest::newRow("sensitivity") << QByteArray(":TRIGGER:EDGE:SENSITIVITY 0.30div") << QByteArray(":TRIGGER:EDGE:SENSITIVITY?") << QByteArray("3.000e-01");
        QTest::newRow("probe") << QByteArray(":CHANNEL2:PROBE 100") << QByteArray(":CHANNEL2:PROBE?") << QByteArray("100X");
        QTest::newRow("format") << QByteArray(":TIMEBASE:FORMAT YT") << QByteArray(":TIMEBASE:FORMAT?") << QByteArray("Y-T");
        QTest::newRow("roll") << QByteArray(":TIMEBASE:FORMAT SCANNING") << QByteArray(":TIMEBASE:FORMAT?") << QByteArray("SCANNING");
        QTest::newRow("acquire") << QByteArray(":ACQUIRE:MODE ETIME") << QByteArray(":ACQUIRE:MODE?") << QByteArray("EQUAL_TIME");
        QTest::newRow("source") << QByteArray(":TRIGGER:EDGE:SOURCE CHANNEL2") << QByteArray(":TRIGGER:EDGE:SOURCE?") << QByteArray("CH2");
        QTest::newRow("digital source") << QByteArray(":TRIGGER:PULSE:SOURCE DIGITAL7") << QByteArray(":TRIGGER:PULSE:SOURCE?") << QByteArray("D7");
        QTest::newRow("condition") << QByteArray(":TRIGGER:SLOPE:MODE -GREATERTHAN") << QByteArray(":TRIGGER:SLOPE:MODE?") << QByteArray("-GREATER THAN");
        QTest::newRow("qualifier") << QByteArray(":TRIGGER:DURATION:QUALIFIER LESSTHAN") << QByteArray(":TRIGGER:DURATION:QUALIFIER?") << QByteArray("LESS THAN");
        QTest::newRow("video sync") << QByteArray(":TRIGGER:VIDEO:MODE ODDFIELD") << QByteArray(":TRIGGER:VIDEO:MODE?") << QByteArray("ODD FIELD");
        QTest::newRow("standard") << QByteArray(":TRIGGER:VIDEO:STANDARD PALSECAM") << QByteArray(":TRIGGER:VIDEO:STANDARD?") << QByteArray("PAL/SECAM");
        QTest::newRow("user threshold") << QByteArray(":LA:THRESHOLD 1.4V") << QByteArray(":LA:THRESHOLD?") << QByteArray("User 1.400e+00");
        QTest::newRow("named threshold") << QByteArray(":LA:THRESHOLD CMOS") << QByteArray(":LA:THRESHOLD?") << QByteArray("CMOS");
        QTest::newRow("pattern edge") << QByteArray(":TRIGGER:PATTERN:PATTERN 32768,32769,0,1") << QByteArray(":TRIGGER:PATTERN:PATTERN?") << QByteArray("32768,32769,DIG:0,Positive");
        QTest::newRow("pattern") << QByteArray(":TRIGGER:DURATION:PATTERN 65534,65534") << QByteArray(":TRIGGER:DURATION:PATTERN?") << QByteArray("65534,65534,None");
        QTest::newRow("channel off") << QByteArray(":DIGITAL3:TURN OFF") << QByteArray(":LA:STATUS?") << QByteArray("65527");
        QTest::newRow("channel row") << QByteArray(":DIGITAL15:POSITION 7") << QByteArray(":LA:LOCATION?") << QByteArray("1985229328,2128394904");
        QTest::newRow("auto set") << QByteArray(":AUTO") << QByteArray(":CHANNEL1:SCALE?") << QByteArray("5.000e-01");
    }
    void settingsAnswerInReplyForm() {
        QFETCH(QByteArray, command);
        QFETCH(QByteArray, query);
        QFETCH(QByteArray, reply);
        tcp.send(command);
        QCOMPARE(tcp.ask(query), reply);
    }

    void alternationTimeBaseIsKeptPerChannel() {
        tcp.send(":TRIGGER:ALTERNATION:SOURCE CHANNEL2");
        tcp.send(":TRIGGER:ALTERNATION:TIMESCALE 10.00US");
        tcp.send(":TRIGGER:ALTERNATION:SOURCE CHANNEL1");
        QCOMPARE(tcp.ask(":TRIGGER:ALTERNATION:TIMESCALE?"), QByteArray("5.000e-04"));
        tcp.send(":TRIGGER:ALTERNATION:SOURCE CHANNEL2");
        QCOMPARE(tcp.ask(":TRIGGER:ALTERNATION:TIMESCALE?"), QByteArray("1.000e-05"));
    }

    // Traces follow the volts/div, offset, trigger and run state: the sine
    // of CH1 (3 Vpp, offset 1.5 V) and the square of CH2 (2 Vpp, offset -2 V).
    void tracesFollowTheSettings() {
        auto codes = [&](const QByteArray& source) {
            tcp.send(":WAVEFORM:DATA? " + source);
            return tcp.frame();
        };
        QByteArray ch1 = codes("CHANNEL1");
        QCOMPARE(ch1.size(), 600);
        const auto [lo, hi] = std::minmax_element(ch1.begin(), ch1.end(),
                                                  [](char a, char b) { return quint8(a) < quint8(b); });
        QVERIFY(qAbs(quint8(*lo) - 50) <= 1);   // +3 V: 3 divisions above the centre
        QVERIFY(qAbs(quint8(*hi) - 125) <= 1);  // 0 V at the centre line
        QVERIFY(qAbs(quint8(ch1[300]) - 88) <= 1);  // triggered at 0 V rising: 1.5 V at the centre column
        tcp.send(":TRIGGER:EDGE:LEVEL 0.75");
        QVERIFY(qAbs(quint8(codes("CHANNEL1")[300]) - 69) <= 1);

        const QByteArray ch2 = codes("CHANNEL2");
        QSet<int> levels;
        for (char c : ch2) levels.insert(quint8(c));
        QCOMPARE(levels, (QSet<int>{150, 200}));

        tcp.send(":CHANNEL1:SCALE 0.2");  // clipped at the screen edges
        ch1 = codes("CHANNEL1");
        for (char c : ch1) QVERIFY(quint8(c) >= 25 && quint8(c) <= 224);
        QVERIFY(ch1.contains(char(25)));

        // Inverted and stopped: the instrument sends the trace turned over.
        tcp.send("*RST");
        const QByteArray upright = codes("CHANNEL2");
        tcp.send(":CHANNEL2:INVERT ON");
        QCOMPARE(codes("CHANNEL2"), upright);
        tcp.send(":STOP");
        const QByteArray turned = codes("CHANNEL2");
        for (int i = 0; i < 600; ++i) QCOMPARE(quint8(turned[i]), 224 + 25 - quint8(upright[i]));
    }

    void screenDescriptionFollowsTheSettings() {
        tcp.send(":CHANNEL2:DISPLAY OFF");
        tcp.send(":MATH:DISPLAY ON");
        tcp.send(":SYSTEM:DATA?");
        const QByteArray r = tcp.frame();
        QCOMPARE(r.size(), 116);
        auto i16 = [&](int at) { return qint16(quint8(r[at]) | (quint8(r[at + 1]) << 8)); };
        QCOMPARE(i16(0), qint16(0));
        QCOMPARE(i16(2), qint16(299));
        QCOMPARE(int(r[13]), 1);
        QCOMPARE(int(r[14]), 0);
        QCOMPARE(int(r[15]), 1);
        QCOMPARE(int(r[34]), 0);
    }

    void measurements_data() {
        QTest::addColumn<QByteArray>("setup");
        QTest::addColumn<QByteArray>("query");
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("vpp") << QByteArray() << QByteArray(":MEASURE:VPP? CHANNEL1") << QByteArray("3.000e+00");
        QTest::newRow("vrms") << QByteArray() << QByteArray(":MEASURE:VRMS? CHANNEL1") << QByteArray("1.061e+00");
        QTest::newRow("frequency") << QByteArray() << QByteArray(":MEASURE:FREQUENCY? CHANNEL2") << QByteArray("1.000e+03");
        QTest::newRow("duty") << QByteArray() << QByteArray(":MEASURE:PDUTYCYCLE? CHANNEL2") << QByteArray("5.000e-01");
        QTest::newRow("sine rise") << QByteArray() << QByteArray(":MEASURE:RISETIME? CHANNEL1") << QByteArray("2.952e-04");
        QTest::newRow("edge too fast") << QByteArray() << QByteArray(":MEASURE:RISETIME? CHANNEL2") << QByteArray("*****");
        QTest::newRow("edge resolved") << QByteArray(":TIMEBASE:SCALE 2US") << QByteArray(":MEASURE:RISETIME? CHANNEL2") << QByteArray("4.000e-06");
        QTest::newRow("under a period") << QByteArray(":TIMEBASE:SCALE 2US") << QByteArray(":MEASURE:PERIOD? CHANNEL2") << QByteArray("*****");
        QTest::newRow("clipped") << QByteArray(":CHANNEL1:SCALE 0.2") << QByteArray(":MEASURE:VMAX? CHANNEL1") << QByteArray("*****");
        QTest::newRow("not shown") << QByteArray(":CHANNEL2:DISPLAY OFF") << QByteArray(":MEASURE:VPP? CHANNEL2") << QByteArray("*****");
        QTest::newRow("source setting") << QByteArray(":MEASURE:SOURCE CHANNEL2") << QByteArray(":MEASURE:VMIN?") << QByteArray("-1.000e+00");
        QTest::newRow("sample rate") << QByteArray() << QByteArray(":ACQUIRE:SAMP? CHANNEL1") << QByteArray("2.000e+06");
    }
    void measurements() {
        QFETCH(QByteArray, setup);
        QFETCH(QByteArray, query);
        QFETCH(QByteArray, reply);
        if (!setup.isEmpty()) tcp.send(setup);
        QCOMPARE(tcp.ask(query), reply);
    }

    void screenCopy() {
        tcp.send(":HARDCOPY");
        const QByteArray r = tcp.frame();
        QCOMPARE(r.size(), 77878);  // a header, then 320 x 234 colour indexes
        const QByteArray screen = r.right(320 * 234);
        QCOMPARE(int(screen[17 * 320 + 10]), 1);   // graticule corner
        QCOMPARE(int(screen[100 * 320 + 160]), 0);  // background
        QVERIFY(screen.contains(char(2)));
        QVERIFY(screen.contains(char(3)));
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
        QTRY_COMPARE_WITH_TIMEOUT(sim.Log(), QStringList{"*IDN?"}, 1000);
        QCOMPARE(tcp.s.bytesAvailable(), 0);
        QCOMPARE(tcp.frame(10000), QByteArray("TARVO TECHNOLOGIES,KV2202E,SN0001,V1.00\n"));
    }

    // A device clear (CAN and a number) drops the replies still owed to
    // that connection, then answers with its mark; it is no command.
    void clearDropsTheRepliesStillOwed() {
        sim.SetFault("late 1500 for 1");
        tcp.send("*IDN?");
        tcp.send(":CHANNEL1:SCALE?");  // held behind the late one
        tcp.send(QByteArray("\x18") + "5");
        QCOMPARE(tcp.readFor(5000, 8), QByteArray("\xff\xff\xff\xff\x05\x00\x00\x00", 8));
        QCOMPARE(sim.Control("LATE?"), QString("0"));
        QCOMPARE(tcp.ask(":TIMEBASE:SCALE?"), QByteArray("5.000e-04"));
        QCOMPARE(sim.Log(), (QStringList{"*IDN?", ":CHANNEL1:SCALE?", ":TIMEBASE:SCALE?"}));
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
