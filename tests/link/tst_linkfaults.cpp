// The link under the simulated instrument's faults, over TCP (the USB side
// through an alias) and over a pseudo-terminal (the serial side): a reply is
// only ever taken by its own query, a job that gets no answer stops and says
// so without leaving its values behind or touching a view's record, and once the fault clears the next job
// brings the instrument's true values.
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
QStringList Results(int code) {
    const auto& t = Transfer();
    QStringList out;
    if (code != JobWaveView) out << t.DataTitle.section("[Date:", 0, 0);
    if (code == JobMeasureCH1) {
        for (const auto& item : t.MeasureResults) out << item.Value;
    } else if (code == JobDataCH1) {
        out << QString::number(t.DataPointCount);
        for (int k = 1; k <= t.DataPointCount; ++k) out << t.DataTimeText[size_t(k)] + " " + t.DataVoltText[size_t(k)];
    } else {
        const WaveInfo& w = Sheets().WaveViews[kSlot];
        out << w.TriggerMode << w.Ch1Scale << w.Ch2Scale << w.TimeScale << w.TimeOffset
            << QString("%1%2%3%4").arg(w.Ch1Fetched).arg(w.Ch2Fetched).arg(w.MathFetched).arg(w.LaFetched);
        for (const SampleArray* a : {&w.Ch1Samples, &w.Ch2Samples, &w.MathSamples, &w.LaSamples}) {
            QString row;
            for (int32_t v : *a) row += QString::number(v) + ",";
            out << row;
        }
    }
    return out;
}

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
        if (serial()) QVERIFY(YieldUntil([] { return !Serial().SerialReply.isEmpty(); }, 5000));
    }

    QString readFailMessage() const {
        const MessageTableData& m = MessageTable();
        return serial() ? m.MsgRs232ReadFail + " / " + m.MsgTitleRs232Read
                        : m.MsgUsbReadFail + " / " + m.MsgTitleUsbRead;
    }

private slots:
    void initTestCase() {
        QVERIFY(LinkFixture::StartSimulator(sim));
        InstallTransferWindow();
        LoadMessages(LangEnglish);
        // The main window's 100 ms tick, quickened: serial time-outs in tens of ms.
        QObject::connect(&tick, &QTimer::timeout, [] { SerialTick(); });
        tick.start(5);
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
    // read, is never taken by the next query.
    void nextQueryGetsItsOwnReply_data() {
        QTest::addColumn<QString>("transport");
        QTest::addColumn<QString>("fault");
        for (const char* tr : {"tcp", "pty"})
            for (const char* f : {"late 600", "oversize 9000"}) QTest::addRow("%s %s", tr, f) << tr << f;
    }
    void nextQueryGetsItsOwnReply() {
        QFETCH(QString, transport);
        QFETCH(QString, fault);
        connectOver(transport);
        sim.SetFault(fault);
        if (fault.startsWith("late")) {
            QCOMPARE(QueryCmd(":CHANNEL1:SCALE?"), QString());
            QVERIFY(Link().ReplyFailed);
            letLateRepliesLand();
        } else {
            SendCmd(":WAVEFORM:DATA? CHANNEL1");
            QByteArray block;
            QCOMPARE(CommandLink().ReadBlock(block, 8192), 8192);
        }
        sim.SetFault("none");
        QCOMPARE(TrimReply(QueryCmd(":TIMEBASE:SCALE?")), sim.Get(":TIMEBASE:SCALE"));
        QVERIFY(QueryCmd("*IDN?").startsWith("TARVO TECHNOLOGIES,"));
        // A late reply is given a grace period before the next request.
        if (fault.startsWith("late")) QVERIFY(PauseService::Log().contains(serial() ? SerialStateData::GraceMs : UsbStateData::GraceMs));
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
};

QTEST_MAIN(LinkFaultsTest)
#include "tst_linkfaults.moc"
