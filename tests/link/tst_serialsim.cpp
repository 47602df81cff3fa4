// The serial transport against the simulated instrument on its
// pseudo-terminal: text and binary replies, and the time-outs of replies that
// stop short or never come. The 100 ms tick is driven by the test, one tick
// per event-loop turn once the reply has started (or at once for a reply that
// is not to come) while the simulator has nothing on its way, so the
// time-outs are counted exactly.
#include <QtTest>

#include <chrono>
#include <csignal>
#include <thread>

#include "SerialTicker.h"
#include "Simulator.h"
#include "TestEnv.h"
#include "common/ShellState.h"
#include "common/Wait.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/RS232Func.h"
#include "platform/dialogs/MsgBox.h"

class SerialSimTest : public QObject {
    Q_OBJECT
    Simulator sim;

    // Ticks while a reply is awaited and below the limit, and only while
    // nothing is on its way from the simulator (however slow the machine,
    // a reply that comes is never timed out); with waitForStart, only once
    // the first chunk has come.
    SerialTicker::Turn startGate(bool waitForStart) {
        return [this, waitForStart] {
            return (!waitForStart || Serial().RxStarted) && sim.SerialLineState() != Simulator::SerialLine::Busy;
        };
    }

    QString query(const QString& q) {
        Link().SerialBinaryMode = false;
        WriteComm(q);
        Link().WaitingReply = true;
        return ReadComm();
    }

private slots:
    void initTestCase() {
        TestEnv::Init();
        LoadMessages(LangEnglish);
        QVERIFY(sim.Start());
        sim.SetEnvironment();
        Shell().COM_Port = 1;
        Shell().BaudRate = "9600";
        Link().Connecting = true;
        Link().LinkOpen = true;
        OpenComm();
        QVERIFY(Link().LinkOpen);
        QVERIFY(MsgBoxService::Log().isEmpty());
    }
    void cleanupTestCase() {
        Link().Connecting = false;
        CloseComm();
    }
    void init() {
        sim.SetFault("none");
        sim.ClearLog();
    }

    void textAndBinaryReplies() {
        sim.Set("IDN", "TARVO TECHNOLOGIES,KV2202E,SN0001,V1.0");
        {
            SerialTicker t(40, startGate(true));
            QCOMPARE(query("*IDN?"), QString("TARVO TECHNOLOGIES,KV2202E,SN0001,V1.0"));
        }
        {
            WriteComm(":SYSTEM:DATA?");
            SerialTicker t(100, startGate(true));
            QVERIFY(WaitCommBinary());
            QCOMPARE(Serial().RxExpected, qint64(116));
            QCOMPARE(Serial().RxBuffer.size(), 116);
        }
        QCOMPARE(sim.Log(), (QStringList{"*IDN?", ":SYSTEM:DATA?"}));
    }

    // An instrument starved of the processor for a while (a busy machine)
    // is waited for: its reply is taken, not timed out.
    void starvedInstrumentIsWaitedFor() {
        const QString identity = "TARVO TECHNOLOGIES,KV2202E,SN0001,V1.0";
        sim.Set("IDN", identity);
        const pid_t pid = pid_t(sim.ProcessId());
        QVERIFY(pid > 0);
        QCOMPARE(::kill(pid, SIGSTOP), 0);
        std::thread resume([pid] {
            std::this_thread::sleep_for(std::chrono::milliseconds(1500));
            ::kill(pid, SIGCONT);
        });
        SerialTicker t(40, startGate(false));
        const QString reply = query("*IDN?");
        resume.join();
        QCOMPARE(reply, identity);
        QVERIFY(!t.stuck);
    }

    void silentText() {
        sim.SetFault("silent");
        SerialTicker t(40, startGate(false));
        QCOMPARE(query(":TRIGGER:STATUS?"), QString());
        QVERIFY(!t.stuck);
        QCOMPARE(t.ticks, 40);
    }

    void silentBinary() {
        sim.SetFault("silent");
        WriteComm(":SYSTEM:DATA?");
        SerialTicker t(100, startGate(false));
        QVERIFY(!WaitCommBinary());
        QVERIFY(!t.stuck);
        QCOMPARE(t.ticks, 100);
    }

    // A block that stops short ends 100 ticks after its last chunk, and the
    // next query is read afresh.
    void truncatedBinaryThenText() {
        sim.SetFault("truncate 50");
        {
            WriteComm(":SYSTEM:DATA?");
            SerialTicker t(100, startGate(true));
            QVERIFY(!WaitCommBinary());
            QVERIFY(!t.stuck);
            QCOMPARE(Serial().TickCount, 100);
            QCOMPARE(Serial().RxReceived, qint64(4 + 50));  // the count, then 50 bytes
        }
        sim.SetFault("none");
        // The transport alone: the command layer would put the link back in step first.
        ResetLinkStep();
        SerialTicker t(40, startGate(true));
        QCOMPARE(query(":TRIGGER:STATUS?").isEmpty(), false);
    }
};

QTEST_MAIN(SerialSimTest)
#include "tst_serialsim.moc"
