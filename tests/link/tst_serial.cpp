// The serial transport over a real pseudo-terminal pair: the test holds the
// instrument's end and delivers each reply in chosen chunks, and drives the
// 100 ms tick itself, one tick per event-loop turn, so time-outs are counted
// exactly and without waiting.
#include <QtTest>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include "LinkFixture.h"
#include "SerialTicker.h"
#include "TestEnv.h"
#include "common/Pause.h"
#include "common/SettingsStore.h"
#include "common/ShellState.h"
#include "common/Wait.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/RS232Func.h"
#include "platform/dialogs/MsgBox.h"

namespace {

struct Chunk {
    int atTick;      // written once this many ticks have passed
    QByteArray bytes;
};

// Plays the instrument's side: writes each chunk when its tick has come and
// the previous chunk has been taken by the receive handler, and ticks while
// the reader's tick limit is not reached.
class Instrument : public SerialTicker {
public:
    Instrument(int masterFd, QList<Chunk> script, int tickLimit)
        : SerialTicker(tickLimit, [this] { return mayTick(); }), fd(masterFd),
          chunks(std::move(script)) {}
    bool finished() const { return chunks.isEmpty() && !pending; }

private:
    QString signature() const {
        return QStringLiteral("%1/%2/%3/%4")
            .arg(Serial().SerialReply.size())
            .arg(Serial().RxReceived)
            .arg(Serial().RxStarted)
            .arg(Link().WaitingReply);
    }
    // True when this turn may tick: no chunk is waiting to be taken or written.
    bool mayTick() {
        if (pending) {
            if (signature() == before) return false;  // not taken yet
            pending = false;
        }
        if (!chunks.isEmpty() && chunks.first().atTick <= ticks) {
            write(chunks.first());
            return false;
        }
        return true;
    }
    // Writes what the terminal's buffer takes now; the rest of the chunk
    // waits for the next turn. A blocking write of a whole chunk could stop
    // this one thread for good while the reader had taken only part of the
    // previous one.
    void write(Chunk& c) {
        before = signature();
        pending = true;
        const int flags = ::fcntl(fd, F_GETFL);
        ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
        ssize_t n = ::write(fd, c.bytes.constData(), size_t(c.bytes.size()));
        ::fcntl(fd, F_SETFL, flags);
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) n = 0;
        QVERIFY(n >= 0);
        c.bytes.remove(0, qsizetype(n));
        if (c.bytes.isEmpty()) chunks.removeFirst();
        else if (n == 0) pending = false;  // nothing went out: nothing to be taken
    }
    int fd;
    QList<Chunk> chunks;
    bool pending = false;
    QString before;
};

QByteArray framed(const QByteArray& payload) {
    QByteArray r;
    const quint32 n = quint32(payload.size());
    for (int i = 0; i < 4; ++i) r.append(char((n >> (8 * i)) & 0xFF));
    return r + payload;
}

QByteArray payload16() {
    QByteArray p;
    for (int i = 0; i < 16; ++i) p.append(char(0xA0 + i));
    return p;
}

QList<Chunk> split(const QByteArray& bytes, const QList<int>& sizes) {
    QList<Chunk> out;
    int at = 0;
    for (int n : sizes) {
        out.append({0, bytes.mid(at, n)});
        at += n;
    }
    if (at < bytes.size()) out.append({0, bytes.mid(at)});
    return out;
}

}  // namespace

Q_DECLARE_METATYPE(QList<Chunk>)

class SerialTest : public QObject {
    Q_OBJECT
    int master = -1;
    int slave = -1;
    QString slavePath;
    QList<QString> statusShown;

    // Everything the application wrote to the line so far (waiting up to
    // waitMs for the first bytes to come through the terminal).
    QByteArray drainLine(int waitMs = 50) {
        QByteArray out;
        char buf[512];
        pollfd p{master, POLLIN, 0};
        while (::poll(&p, 1, out.isEmpty() ? waitMs : 0) > 0 && (p.revents & POLLIN)) {
            const ssize_t n = ::read(master, buf, sizeof buf);
            if (n <= 0) break;
            out.append(buf, int(n));
        }
        return out;
    }

    void openPair() {
        char name[128];
        termios t{};
        cfmakeraw(&t);
        QVERIFY(::openpty(&master, &slave, name, &t, nullptr) == 0);
        slavePath = QString::fromLatin1(name);
        qputenv("KV2200_COM3", slavePath.toLocal8Bit());
        Shell().COM_Port = 3;
        Shell().BaudRate = "9600";
        Link().Connecting = true;
        Link().LinkOpen = true;
        OpenComm();
        QVERIFY(Link().LinkOpen);
        drainLine();
    }

    // A second line (COM4) opened as the port in use, its instrument's end
    // in `master`; the test pulls it by closing that end.
    void openSecondLine(int& master) {
        int sl = -1;
        char name[128];
        termios t{};
        cfmakeraw(&t);
        QVERIFY(::openpty(&master, &sl, name, &t, nullptr) == 0);
        qputenv("KV2200_COM4", name);
        Shell().COM_Port = 4;
        Link().LinkOpen = true;
        OpenComm();
        QVERIFY(Link().LinkOpen);
        ::close(sl);
    }

private slots:
    void initTestCase() {
        TestEnv::Init();
        LoadMessages(LangEnglish);
        LinkUi().ShowSerialStatus = [this](const QString& s) {
            statusShown.append(s);
            NotifyWaiters();
        };
        openPair();
    }
    void cleanupTestCase() {
        CloseComm();
        ::close(master);
        ::close(slave);
    }
    void init() {
        Link().IsConnected = false;
        Link().Connecting = true;
        Link().WaitingReply = false;
        Link().SerialBinaryMode = false;
        Link().ReplyFailed = false;
        ResetLinkStep();
        Shell().BaudRate = "9600";
        PauseService::ClearLog();
        MsgBoxService::ClearLog();
        drainLine(0);
    }

    void writePause_data() {
        QTest::addColumn<QString>("baud");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("ms");
        QTest::newRow("2400") << "2400" << 15 << 200;
        QTest::newRow("4800") << "4800" << 15 << 100;
        QTest::newRow("9600") << "9600" << 15 << 50;
        QTest::newRow("19200 floor") << "19200" << 15 << 48;
        QTest::newRow("38400 floor") << "38400" << 15 << 48;
        QTest::newRow("12.5 to even 12") << "9600" << 3 << 12;
        QTest::newRow("37.5 to even 38") << "9600" << 11 << 38;
        QTest::newRow("blanks around") << " 4800 " << 15 << 100;
        QTest::newRow("not a number") << "fast" << 15 << 48;
        QTest::newRow("zero") << "0" << 15 << 48;
        QTest::newRow("empty") << "" << 3 << 12;
    }
    void writePause() {
        QFETCH(QString, baud);
        QFETCH(int, length);
        QFETCH(int, ms);
        QCOMPARE(CommWritePauseMs(length, baud), ms);
    }

    void writeSendsLineAndPausesOnlyWhenTalking() {
        Serial().SerialReply = "old";
        WriteComm(":KEY:LOCK ENABLE");
        QCOMPARE(drainLine(), QByteArray(":KEY:LOCK ENABLE\n"));
        QCOMPARE(PauseService::Log(), QList<int>{53});  // 17 x 3.125 = 53.125
        QVERIFY(Serial().SerialReply.isEmpty());

        Link().Connecting = false;
        PauseService::ClearLog();
        WriteComm(":RUN");
        QCOMPARE(ReadComm(), QString());
        QCOMPARE(drainLine(), QByteArray());
        QVERIFY(PauseService::Log().isEmpty());
        QVERIFY(!WaitCommBinary());
    }

    void textReply_data() {
        QTest::addColumn<QList<Chunk>>("chunks");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<int>("ticks");
        QTest::newRow("2+2+1") << split("STOP\n", {2, 2, 1}) << "STOP" << 0;
        QTest::newRow("bytes after the line feed") << split("RUN\nXYZ", {}) << "RUN" << 0;
        QTest::newRow("line feed first") << split("\nRUN\n", {}) << "" << 0;
        QTest::newRow("silence: 40 ticks") << QList<Chunk>{} << "" << 40;
        QTest::newRow("40 ticks from the last chunk")
            << QList<Chunk>{{30, "ST"}, {50, "OP"}} << "" << 90;
        QTest::newRow("chunk at tick 39 keeps it alive")
            << QList<Chunk>{{39, "ST"}, {60, "OP\n"}} << "STOP" << 60;
        // A line that never ends: the wait has a deadline, and the line a size.
        QList<Chunk> trickle;
        for (int t = 1; t <= 130; ++t) trickle.append({t, "A"});
        QTest::newRow("a byte a tick, never a line feed: 120 ticks") << trickle << "" << 120;
        QList<Chunk> flood;
        for (int i = 0; i < 17; ++i) flood.append({0, QByteArray(4096, 'A')});
        QTest::newRow("a line longer than the buffer (ticks not counted)") << flood << "" << -1;
    }
    void textReply() {
        QFETCH(QList<Chunk>, chunks);
        QFETCH(QString, reply);
        QFETCH(int, ticks);
        WriteComm("*IDN?");
        QCOMPARE(drainLine(), QByteArray("*IDN?\n"));
        Link().WaitingReply = true;
        Instrument inst(master, chunks, 40);
        const QString got = ReadComm();
        QVERIFY(!inst.stuck);
        QCOMPARE(got, reply);
        if (ticks >= 0) QCOMPARE(inst.ticks, ticks);
        QCOMPARE(Link().ReplyFailed, Link().WaitingReply);
        QVERIFY(Serial().SerialReply.size() <= SerialStateData::RxCapacity);
    }

    void binaryReply_data() {
        QTest::addColumn<QList<Chunk>>("chunks");
        QTest::addColumn<bool>("complete");
        QTest::addColumn<int>("received");
        QTest::addColumn<int>("ticks");
        const QByteArray r = framed(payload16());
        QTest::newRow("10+10") << split(r, {10, 10}) << true << 20 << 0;
        QTest::newRow("split inside the count 2+18") << split(r, {2, 18}) << true << 20 << 0;
        QTest::newRow("count byte by byte") << split(r, {1, 1, 1, 1}) << true << 20 << 0;
        QTest::newRow("more bytes after a complete reply") << split(r + "EXTRA", {}) << true << 25 << 0;
        QTest::newRow("more bytes in a later chunk") << split(r + "EXTRA", {20}) << true << 25 << 0;
        QTest::newRow("short payload: 100 ticks from the last chunk")
            << QList<Chunk>{{0, r.left(10)}, {50, r.mid(10, 5)}} << false << 15 << 150;
        QTest::newRow("first chunk shorter than the count, then silence")
            << QList<Chunk>{{0, r.left(3)}} << false << 3 << 100;
        // 404 bytes a byte a tick: 300 ticks and twice their time on the line
        // at 9600 baud (2 x 5 ticks), then the reply is given up.
        const QByteArray slow = framed(QByteArray(400, 'x'));
        QList<Chunk> trickle;
        for (int i = 0; i < slow.size(); ++i) trickle.append({i + 1, slow.mid(i, 1)});
        QTest::newRow("a byte a tick: deadline") << trickle << false << int(slow.size()) << 310;
    }
    void binaryReply() {
        QFETCH(QList<Chunk>, chunks);
        QFETCH(bool, complete);
        QFETCH(int, received);
        QFETCH(int, ticks);
        WriteComm(":SYSTEM:DATA?");
        Instrument inst(master, chunks, 100);
        const bool done = WaitCommBinary();
        QVERIFY(!inst.stuck);
        QCOMPARE(done, complete);
        QCOMPARE(inst.ticks, ticks);
        // Let the instrument deliver whatever it still has, as when the
        // application goes on idling after the read.
        QVERIFY(YieldUntil([&] { return inst.finished(); }, 5000));
        QCOMPARE(Serial().RxReceived, qint64(received));
        if (complete) {
            QCOMPARE(Serial().RxExpected, qint64(16));
            QCOMPARE(Serial().RxBuffer, payload16());
            QVERIFY(!Link().WaitingReply);
        }
    }

    // A text query that follows a binary reply starts afresh, whatever the
    // line delivered before.
    void textAfterBinary() {
        {
            WriteComm(":SYSTEM:DATA?");
            Instrument bin(master, split(framed("ABC"), {}), 100);
            QVERIFY(WaitCommBinary());
            QCOMPARE(Serial().RxBuffer, QByteArray("ABC"));
        }
        Link().SerialBinaryMode = false;
        WriteComm(":RUN?");
        Link().WaitingReply = true;
        Instrument txt(master, split("RUN\n", {1}), 40);
        QCOMPARE(ReadComm(), QString("RUN"));
    }

    // A payload longer than the receive buffer is counted to its end but
    // stored only up to the buffer's size.
    void oversizePayloadStaysInsideBuffer() {
        const int cap = SerialStateData::RxCapacity;
        const QByteArray payload(cap + 100, 'x');
        WriteComm(":WAVEFORM:DATA? CHANNEL1");
        QList<Chunk> chunks;
        const QByteArray r = framed(payload);
        for (int at = 0; at < r.size(); at += 1000) chunks.append({0, r.mid(at, 1000)});
        Instrument inst(master, chunks, 100);
        QVERIFY(WaitCommBinary());
        QCOMPARE(Serial().RxExpected, qint64(cap + 100));
        QCOMPARE(Serial().RxBuffer.size(), cap);
    }

    void lineEvents_data() {
        QTest::addColumn<int>("event");
        QTest::addColumn<QString>("shown");
        QTest::newRow("send") << 1 << "";
        QTest::newRow("receive") << 2 << "";
        QTest::newRow("CTS") << 3 << "Status: Change in CTS Detected";
        QTest::newRow("break") << 1001 << "Status: Break Received";
        QTest::newRow("DCB") << 1011 << "Status: Error retrieving DCB";
        QTest::newRow("1005 is not in the table") << 1005 << "Status: Unknown error or event";
    }
    void lineEvents() {
        QFETCH(int, event);
        QFETCH(QString, shown);
        statusShown.clear();
        MSComm1_OnCommEvent(event);
        QCOMPARE(statusShown, shown.isEmpty() ? QList<QString>{} : QList<QString>{shown});
    }

    void devicePath_data() {
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("env");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("device");
        QTest::newRow("default") << 7 << "" << "" << "/dev/ttyS6";
        QTest::newRow("settings file maps it") << 7 << "" << "/dev/ttyUSB0" << "/dev/ttyUSB0";
        QTest::newRow("environment wins") << 7 << "/tmp/some-line" << "/dev/ttyUSB0" << "/tmp/some-line";
        QTest::newRow("blank mapping ignored") << 1 << "" << "  " << "/dev/ttyS0";
        QTest::newRow("port 0") << 0 << "" << "/dev/ttyUSB0" << "";
        QTest::newRow("port 17") << 17 << "" << "/dev/ttyUSB0" << "";
    }
    void devicePath() {
        QFETCH(int, port);
        QFETCH(QString, env);
        QFETCH(QString, stored);
        const QByteArray var = "KV2200_COM" + QByteArray::number(port);
        if (env.isEmpty()) qunsetenv(var); else qputenv(var, env.toLocal8Bit());
        TestEnv::ClearSettingsStore();
        if (!stored.isEmpty()) SaveStoredText("IO Settings_KV2200M", QString("COM%1_Device").arg(port), stored);
        QTEST(CommDevicePath(port), "device");
        qunsetenv(var);
        TestEnv::ClearSettingsStore();
    }

    // A port that does not open: the box says which port and device, and
    // why, in the UI language, for as long as it is up (it covers the status
    // bar); the status line says the same.
    void openFailures_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("baud");
        QTest::addColumn<QString>("line");
        const QString dev = "/nonexistent/line";
        QTest::newRow("port 0") << int(LangEnglish) << 0 << "9600" << "COM0 is no port: the ports are COM1 to COM16.";
        QTest::newRow("port 17") << int(LangEnglish) << 17 << "9600"
                                 << "COM17 is no port: the ports are COM1 to COM16.";
        QTest::newRow("no such device") << int(LangEnglish) << 9 << "9600"
                                        << "COM9 (device " + dev + ") could not be opened.";
        QTest::newRow("baud not a number") << int(LangEnglish) << 9 << "fast"
                                           << "COM9 (device " + dev +
                                                  ") was not opened: the baud rate \"fast\" is not a positive whole number.";
        QTest::newRow("no such device, Chinese") << int(LangChinese) << 9 << "9600"
                                                 << "COM9（设备 " + dev + "）无法打开。";
        QTest::newRow("port 17, Chinese") << int(LangChinese) << 17 << "9600" << "COM17 不是端口：端口为 COM1 至 COM16。";
        QTest::newRow("baud not a number, Chinese") << int(LangChinese) << 9 << "0"
                                                    << "COM9（设备 " + dev + "）未打开：波特率“0”不是正整数。";
    }
    void openFailures() {
        QFETCH(int, language);
        QFETCH(int, port);
        QFETCH(QString, baud);
        QFETCH(QString, line);
        TestEnv::UseLanguage(language);
        qputenv("KV2200_COM9", "/nonexistent/line");
        Shell().COM_Port = port;
        Shell().BaudRate = baud;
        Link().LinkOpen = true;
        statusShown.clear();
        const QString head = MessageTable().MsgBadPortNumber;
        OpenComm();
        TestEnv::UseLanguage(LangEnglish);
        QVERIFY(!Link().LinkOpen);
        QCOMPARE(MsgBoxService::Log().size(), 1);
        QCOMPARE(MsgBoxService::Log()[0].text, head + "\n" + line);
        QCOMPARE(statusShown, QList<QString>{"Status: " + line});
        QCOMPARE(MsgBoxService::Log()[0].title, QString(language == LangEnglish ? "RS232 Init" : "RS232初始化"));
        QCOMPARE(MsgBoxService::Log()[0].style, int(vbExclamation));
        // Nothing goes out on a port that is not open.
        MsgBoxService::ClearLog();
        WriteComm(":RUN");
        QCOMPARE(drainLine(), QByteArray());
        // Reopen the good line for the following tests.
        Shell().COM_Port = 3;
        Shell().BaudRate = "9600";
        Link().LinkOpen = true;
        OpenComm();
        QVERIFY(Link().LinkOpen);
    }

    // A write on a port that is not open reports its reason under the serial
    // title, skips the pause and drops the connected state.
    void writeFailure() {
        CloseComm();
        Link().IsConnected = true;
        Link().Connecting = false;
        WriteComm(":RUN");
        QCOMPARE(MsgBoxService::Log().size(), 1);
        QCOMPARE(MsgBoxService::Log()[0].title, QString("RS232 Send Message"));
        QCOMPARE(MsgBoxService::Log()[0].style, int(vbExclamation));
        QVERIFY(!MsgBoxService::Log()[0].text.isEmpty());
        QVERIFY(PauseService::Log().isEmpty());
        QVERIFY(!Link().IsConnected);
        Link().LinkOpen = true;
        OpenComm();
        QVERIFY(Link().LinkOpen);
    }

    // A line that hangs up is reported once and closed, not reported again
    // and again; writes on it then fail and drop the connection.
    void hangUp() {
        int m = -1;
        openSecondLine(m);
        statusShown.clear();
        ::close(m);
        QVERIFY(YieldUntil([&] { return !statusShown.isEmpty(); }, 5000));
        for (int i = 0; i < 20; ++i) YieldOnce();
        QCOMPARE(statusShown, QList<QString>{"Status: Unknown error or event"});

        Link().IsConnected = true;
        Link().Connecting = false;
        WriteComm(":RUN");
        QCOMPARE(MsgBoxService::Log().size(), 1);
        QCOMPARE(MsgBoxService::Log()[0].title, QString("RS232 Send Message"));
        QCOMPARE(MsgBoxService::Log()[0].text, LinkDroppedText(MessageTable().MsgRs232SendFail));
        QVERIFY(!Link().IsConnected);

        Shell().COM_Port = 3;
        Link().LinkOpen = true;
        OpenComm();
        QVERIFY(Link().LinkOpen);
    }

    // The line pulled while connected, before the application has seen it
    // go: the next request meets it when its stale input is emptied, a
    // command when it is written. The user gets one message, in the UI
    // language, shown with the link already down (a message box runs the
    // event loop, where the line's own error arrives), and the commands that
    // follow write nothing.
    void pulledLineGivesOneMessageInTheUiLanguage_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("message");
        QTest::newRow("request") << ":MEASURE:VPP? CHANNEL1" << QString::fromUtf8("不能通过RS232端口读取数据！\n与示波器的连接已关闭。如需重新连接，请选择“工具 > 连接示波器”。 / RS232读取信息");
        QTest::newRow("command") << ":RUN" << QString::fromUtf8("不能通过RS232端口发送数据！\n与示波器的连接已关闭。如需重新连接，请选择“工具 > 连接示波器”。 / RS232发送信息");
    }
    void pulledLineGivesOneMessageInTheUiLanguage() {
        QFETCH(QString, command);
        QFETCH(QString, message);
        int m = -1;
        openSecondLine(m);
        Link().IsConnected = true;
        Link().Connecting = false;
        Shell().ScopeIOType = 2;
        LoadMessages(LangChinese);
        QList<bool> upWhileShown;
        LinkFixture::AnswerLikeAModalBox(upWhileShown);
        const auto restore = qScopeGuard([] {
            MsgBoxService::SetAnswerer([](const ShownMessage&) { return int(vbOK); });
            LoadMessages(LangEnglish);
            Shell().ScopeIOType = 0;
        });

        ::close(m);  // pulled: no event has run since
        WriteComm(command);
        WriteComm(":MEASURE:VMAX? CHANNEL1");
        WriteComm(":STOP");
        for (int i = 0; i < 20; ++i) YieldOnce();

        QCOMPARE(MsgBoxService::Log().size(), 1);
        QCOMPARE(MsgBoxService::Log()[0].text + " / " + MsgBoxService::Log()[0].title, message);
        QCOMPARE(upWhileShown, (QList<bool>{false, false}));
        QVERIFY(!Link().IsConnected);

        Shell().COM_Port = 3;
        Link().LinkOpen = true;
        OpenComm();
        QVERIFY(Link().LinkOpen);
    }
};

QTEST_MAIN(SerialTest)
#include "tst_serial.moc"
