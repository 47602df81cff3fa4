// The link under the simulated instrument's faults, over TCP (the USB side
// through an alias) and over a pseudo-terminal (the serial side): a reply is
// only ever taken by its own query, a job that gets no answer stops and says
// so without leaving its values behind or touching a view's record, and once the fault clears the next job
// brings the instrument's true values.
#include <fcntl.h>
#include <unistd.h>

#include <QtTest>

#include "LinkFixture.h"
#include "Simulator.h"
#include "TestEnv.h"
#include "common/Pause.h"
#include "common/SheetModel.h"
#include "common/ShellState.h"
#include "common/Wait.h"
#include "link/CommandPort.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/RS232Func.h"
#include "link/ReplyParse.h"
#include "link/TransferJobs.h"
#include "link/UsbFunc.h"
#include "link/Vocabulary.h"
#include "platform/dialogs/MsgBox.h"
#include "shell/frmPrgress.h"

namespace {

constexpr int kSlot = 3;

// Everything a job shows, without the date of its title.
QStringList Results(int code) { return LinkFixture::JobResults(code, kSlot); }

// Results that must not survive a job that did not finish, and a waveform
// view's record that must survive it unchanged.
void PlantStaleResults() {
    auto& t = Transfer();
    for (auto& item : t.MeasureResults) item.Value = "stale";
    t.DataTitle = "stale";
    t.DataPointCount = 3;
    for (int k = 1; k <= 3; ++k) t.DataTimeText[size_t(k)] = t.DataVoltText[size_t(k)] = "stale";
    WaveInfo& w = Sheets().WaveViews[kSlot];
    w.Ch1Samples.fill(-7);
    w.LaSamples.fill(-7);
    w.Ch1Fetched = w.LaFetched = true;
}

bool HoldsStale(int code) {
    for (const QString& s : Results(code))
        if (s.contains("stale")) return true;
    return false;
}

}  // namespace

class LinkFaultsTest : public QObject {
    Q_OBJECT
    Simulator sim;
    QTimer tick;
    QMap<QString, QStringList> truth;  // per transport and job, fetched with no fault

    bool serial() const { return Shell().ScopeIOType == 2; }

    void connectOver(const QString& transport) {
        Shell().ScopeIOType = transport == "pty" ? 2 : 0;
        sim.SetFault("none");
        ConnectDSO();
        QVERIFY(Link().IsConnected);
        sim.ClearLog();
        MsgBoxService::ClearLog();
        PauseService::ClearLog();
    }

    bool runJob(int code) {
        WaveInfo& w = Sheets().WaveViews[kSlot];
        w.Ch1Chosen = w.Ch2Chosen = w.MathChosen = w.LaChosen = true;
        return RunTransfer(code, "Loading...", code != JobWaveView, kSlot);
    }

    // Waits until the simulator has sent every late reply and the line has
    // it: from then on it lies in the input, where nothing may take it for a reply.
    void letLateRepliesLand() {
        QVERIFY(YieldUntil([this] { return sim.Control("LATE?").trimmed() == "0"; }, 10000));
        // While the link is out of step the line keeps what comes for the re-synchronisation.
        if (serial())
            QVERIFY(YieldUntil([] { return !Serial().SerialReply.isEmpty() || !Serial().ResyncText.isEmpty(); }, 5000));
    }

    QString readFailMessage() const { return LinkFixture::DroppedLinkMessage(serial()); }

private slots:
    void initTestCase() {
        QVERIFY(LinkFixture::StartSimulator(sim));
        InstallTransferWindow();
        LoadMessages(LangEnglish);
        // The main window's tick, driven by what the simulator holds: a
        // time-out comes when a reply is kept back, never while one is on its way.
        LinkFixture::StartQuickSerialTick(tick, sim);
        for (const char* tr : {"tcp", "pty"}) {
            connectOver(tr);
            for (int code : {int(JobMeasureCH1), int(JobDataCH1), int(JobWaveView)}) {
                QVERIFY(runJob(code));
                truth[QString("%1 %2").arg(tr).arg(code)] = Results(code);
            }
        }
    }
    void cleanupTestCase() {
        DisconnectDSO();
        CloseVisaRM();
        sim.Stop();
    }

    // A reply that comes too late, or a block with more bytes than were
    // read, is never taken by a later query: whether the late reply has
    // landed before the next query or is still on its way, each query gets
    // its own reply or none. The link is put back in step by the identity
    // query (read until its answer came), not by a pause.
    void nextQueryGetsItsOwnReply_data() {
        QTest::addColumn<QString>("transport");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("landed");
        for (const char* tr : {"tcp", "pty"}) {
            QTest::addRow("%s late 600, landed", tr) << tr << "late 600" << true;
            QTest::addRow("%s late 600, on its way", tr) << tr << "late 600" << false;
            QTest::addRow("%s late 1500 once, on its way", tr) << tr << "late 1500 for 1" << false;
            // The re-synchronisation's own identity replies come late as well:
            // each that went unanswered is still owed when the next is asked.
            QTest::addRow("%s late 1500, one identity late too", tr) << tr << "late 1500 for 2" << false;
            QTest::addRow("%s late 1500, two identities late too", tr) << tr << "late 1500 for 3" << false;
            QTest::addRow("%s oversize 9000", tr) << tr << "oversize 9000" << true;
        }
    }
    void nextQueryGetsItsOwnReply() {
        QFETCH(QString, transport);
        QFETCH(QString, fault);
        QFETCH(bool, landed);
        connectOver(transport);
        const QString truth = sim.Get(":TIMEBASE:SCALE");
        sim.SetFault(fault);
        if (fault.startsWith("late")) {
            QCOMPARE(QueryCmd(":CHANNEL1:SCALE?"), QString());
            QVERIFY(Link().ReplyFailed);
            QVERIFY(!LinkInStep());
            if (landed) letLateRepliesLand();
        } else {
            SendCmd(":WAVEFORM:DATA? CHANNEL1");
            QByteArray block;
            QCOMPARE(CommandLink().ReadBlock(block, 8192), 8192);
        }
        if (!fault.contains(" for ")) sim.SetFault("none");
        for (int k = 0; k < 4; ++k) {
            const QString reply = TrimReply(QueryCmd(":TIMEBASE:SCALE?"));
            QVERIFY2(reply == truth || (reply.isEmpty() && Link().ReplyFailed), qPrintable(reply));
        }
        letLateRepliesLand();
        QCOMPARE(TrimReply(QueryCmd(":TIMEBASE:SCALE?")), truth);
        QVERIFY(LinkInStep());
        QVERIFY(QueryCmd("*IDN?").startsWith("TARVO TECHNOLOGIES,"));
        // Back in step through the identity query; no pause stood in for it.
        if (fault.startsWith("late")) QVERIFY(sim.Log().count("*IDN?") >= 2);
        QVERIFY(!PauseService::Log().contains(1000));
        QVERIFY(MsgBoxService::Log().isEmpty());
    }

    // Every fault that leaves a job without a whole answer, on both
    // transports, for each job: the job stops with the transport's read
    // message, the link counts as disconnected, nothing stale or shifted is
    // left; after the fault and a reconnect the job brings the true values.
    void jobWithoutAnswer_data() {
        QTest::addColumn<QString>("transport");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("code");
        for (const char* tr : {"tcp", "pty"})
            for (const char* f : {"silent", "late 600", "garbage", "truncate 3"})
                for (int code : {int(JobMeasureCH1), int(JobDataCH1), int(JobWaveView)})
                    QTest::addRow("%s %s job %d", tr, f, code) << tr << f << code;
    }
    void jobWithoutAnswer() {
        QFETCH(QString, transport);
        QFETCH(QString, fault);
        QFETCH(int, code);
        connectOver(transport);
        PlantStaleResults();
        const QStringList planted = Results(code);
        sim.SetFault(fault);

        QVERIFY(!runJob(code));
        QVERIFY(Transfer().TransferFailed);
        QVERIFY(!Transfer().TransferBusy);
        QCOMPARE(LinkFixture::ShownTexts(), QStringList{readFailMessage()});
        QVERIFY(!Link().IsConnected);
        if (code == JobWaveView)
            QCOMPARE(Results(code), planted);  // the view's record is left as it was
        else
            QVERIFY(!HoldsStale(code));
        // The job stopped at its first unanswered query (the window's own
        // status query, whose words are not used, or the job's first).
        QVERIFY2(sim.Log().size() <= 2, qPrintable(sim.Log().join(';')));

        if (fault.startsWith("late")) letLateRepliesLand();
        connectOver(transport);
        QVERIFY(runJob(code));
        QCOMPARE(Results(code), truth[QString("%1 %2").arg(transport).arg(code)]);
    }

    // A USB block that does not hold the 600 points asked for (cut to 599 or
    // 3 bytes, or a line of letters where the samples should be): the job
    // fails with the read message rather than draw or tabulate points that
    // did not come; once the fault clears the job brings the true values.
    void shortWaveBlock_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("fault");
        QTest::newRow("waveform view, 599 bytes") << int(JobWaveView) << "truncate 599";
        QTest::newRow("data table, 599 bytes") << int(JobDataCH1) << "truncate 599";
        // The block is the twelfth reply of a data-table transfer.
        QTest::newRow("data table, 3 bytes") << int(JobDataCH1) << "truncate 3 after 11";
        QTest::newRow("data table, letters") << int(JobDataCH1) << "garbage after 11";
    }
    void shortWaveBlock() {
        QFETCH(int, code);
        QFETCH(QString, fault);
        connectOver("tcp");
        PlantStaleResults();
        const QStringList planted = Results(code);
        sim.SetFault(fault);
        const bool ok = runJob(code);
        sim.SetFault("none");
        QVERIFY(!ok);
        QVERIFY(sim.Log().contains(":WAVEFORM:DATA? CHANNEL1"));  // the fault met the block
        QCOMPARE(LinkFixture::ShownTexts(), QStringList{readFailMessage()});
        if (code == JobWaveView)
            QCOMPARE(Results(code), planted);
        else
            QCOMPARE(Transfer().DataPointCount, 0);
        QVERIFY(!HoldsStale(code));

        connectOver("tcp");
        QVERIFY(runJob(code));
        QCOMPARE(Results(code), truth[QString("tcp %1").arg(code)]);
    }

    // A measurement that comes back as no number (letters for the seventh
    // reply): that row is "*****" and counted, the link is put back in step
    // before the next row is asked, and every other row is the instrument's.
    // Letters from then on: the link cannot be put back, and the job stops
    // with the read message rather than take any later reply.
    void unusableMeasurementReplies_data() {
        QTest::addColumn<QString>("transport");
        QTest::addColumn<QString>("fault");
        for (const char* tr : {"tcp", "pty"}) {
            QTest::addRow("%s one reply", tr) << tr << "garbage after 6 for 1";
            QTest::addRow("%s every reply", tr) << tr << "garbage after 6";
        }
    }
    void unusableMeasurementReplies() {
        QFETCH(QString, transport);
        QFETCH(QString, fault);
        connectOver(transport);
        // Status, mode, scale, rate, time scale, first measurement: then letters.
        sim.SetFault(fault);
        const bool ran = runJob(JobMeasureCH1);
        sim.SetFault("none");
        const QStringList truth = this->truth[transport + " 1"];
        if (!fault.contains(" for ")) {
            QVERIFY(!ran);
            QCOMPARE(LinkFixture::ShownTexts(), QStringList{readFailMessage()});
            QVERIFY(!HoldsStale(JobMeasureCH1));
            connectOver(transport);
        } else {
            QVERIFY(ran);
            QVERIFY(Link().IsConnected);
            QVERIFY(LinkFixture::ShownTexts().isEmpty());
            QCOMPARE(Transfer().MeasureUnread, 1);
            const QStringList rows = Results(JobMeasureCH1);  // the title, then slots 0..17
            int differ = 0;
            for (int k = 0; k < rows.size(); ++k) {
                if (rows[k] == truth.value(k)) continue;
                ++differ;
                QCOMPARE(rows[k], QString("*****"));
            }
            QCOMPARE(differ, 1);
            QVERIFY(sim.Log().contains("*IDN?"));
        }
        QVERIFY(runJob(JobMeasureCH1));
        QCOMPARE(Results(JobMeasureCH1), truth);
        QCOMPARE(Transfer().MeasureUnread, 0);
    }

    // A time or scale a data table cannot hold in single precision fails the
    // job instead of giving empty cells; one it can hold still gives a table.
    void tableNumbersOutOfRange_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("ok");
        QTest::newRow("LA time offset 1e308") << int(JobDataLA) << ":TIMEBASE:OFFSET" << "1e308" << false;
        QTest::newRow("CH1 time offset -1e39") << int(JobDataCH1) << ":TIMEBASE:OFFSET" << "-1e39" << false;
        QTest::newRow("CH1 scale 1e300") << int(JobDataCH1) << ":CHANNEL1:SCALE" << "1e300" << false;
        QTest::newRow("LA time offset 1e30") << int(JobDataLA) << ":TIMEBASE:OFFSET" << "1e30" << true;
    }
    void tableNumbersOutOfRange() {
        QFETCH(int, code);
        QFETCH(QString, header);
        QFETCH(QString, value);
        QFETCH(bool, ok);
        connectOver("tcp");
        PlantStaleResults();
        const QString before = sim.Get(header);
        sim.Set(header, value);
        const bool ran = runJob(code);
        sim.Set(header, before);
        QCOMPARE(ran, ok);
        if (ok) {
            QVERIFY(Transfer().DataPointCount > 0);
            for (int k = 1; k <= Transfer().DataPointCount; ++k)
                QVERIFY(!Transfer().DataTimeText[size_t(k)].isEmpty());
            QVERIFY(LinkFixture::ShownTexts().isEmpty());
        } else {
            QCOMPARE(LinkFixture::ShownTexts(), QStringList{readFailMessage()});
            QVERIFY(!HoldsStale(JobDataCH1));
        }
    }

    // After a connection over RS-232, connecting over USB closes the serial
    // line: when the old line hangs up, no message is shown and the USB link
    // goes on working. (Last: the simulator's terminal changes.)
    void serialLineLeftFromEarlierConnection() {
        connectOver("pty");
        connectOver("tcp");
        const QString oldPty = sim.CurrentPtyPath();
        // The simulator hangs its terminal up after a reply cut to nothing.
        const int fd = ::open(oldPty.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY(fd >= 0);
        sim.SetFault("drop 0");
        QCOMPARE(::write(fd, "*IDN?\n", 6), ssize_t(6));
        QVERIFY(YieldUntil([&] { return sim.CurrentPtyPath() != oldPty; }, 10000));
        ::close(fd);
        QTest::qWait(200);  // whatever the old line reports has arrived
        qputenv("KV2200_COM1", sim.CurrentPtyPath().toLocal8Bit());

        QVERIFY(LinkFixture::ShownTexts().isEmpty());
        QVERIFY(Link().IsConnected);
        QVERIFY(runJob(JobMeasureCH1));
        QCOMPARE(Results(JobMeasureCH1), truth["tcp 1"]);
        QVERIFY(LinkFixture::ShownTexts().isEmpty());
    }
};

QTEST_MAIN(LinkFaultsTest)
#include "tst_linkfaults.moc"
