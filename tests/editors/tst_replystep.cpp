// After a reply that did not come in time, or came cut or garbled, no later
// reply is used until the link is back in step. Every road that asks several
// questions in a row meets each fault on one of its replies (lost; late by
// 100, 700 and 1,500 ms; cut; garbled), over TCP (the USB alias) and over the
// pseudo-terminal, and every case ends with an Upload started at once, while
// a late reply may still be on its way:
// - a job shows the instrument's values, or fails and says so;
// - the Upload changes nothing on the instrument (the mirror it sends holds
//   no value taken from another question's reply, and no level computed
//   from one goes out);
// - whatever the road or the Upload left out or marked as not known is said.
#include <QtTest>
#include <algorithm>

#include "LinkFixture.h"
#include "SettingsFixture.h"
#include "Simulator.h"
#include "TestEnv.h"
#include "common/DSOSettings.h"
#include "common/Pause.h"
#include "common/SheetModel.h"
#include "common/Wait.h"
#include "controller/CtrlList.h"
#include "controller/CtrlState.h"
#include "controller/CtrlTree.h"
#include "controller/LevelMark.h"
#include "controller/SettingsTransfer.h"
#include "editors/AdjustLogic.h"
#include "editors/CtrlApply.h"
#include "editors/ImmediateActions.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/TransferJobs.h"
#include "link/Vocabulary.h"
#include "platform/dialogs/MsgBox.h"
#include "shell/frmPrgress.h"

namespace {

constexpr int kSlot = 1;

enum Road { UploadEdge, UploadAlternation, DownloadRoad, MeasureJob, DataJob, WaveJob, OffsetApply, MethodApply,
            AlternationOffset, CoarseFine, TrigTo50, RoadCount };
const char* const kRoadNames[RoadCount] = {"upload (EDGE)", "upload (alternation)", "download", "measure job",
                                           "data job", "wave job", "CH1 offset apply", "method apply",
                                           "alternation CH2 offset", "coarse/fine", "Set Trig to 50%"};
// The reply each road meets its fault on: one with more questions after it.
const int kFaultAt[RoadCount] = {1, 0, 4, 6, 2, 1, 1, 1, 1, 0, 0};

bool Alternation(int road) { return road == UploadAlternation || road == AlternationOffset; }
bool IsJob(int road) { return road == MeasureJob || road == DataJob || road == WaveJob; }
int JobCode(int road) { return road == MeasureJob ? JobMeasureCH1 : road == DataJob ? JobDataCH1 : JobWaveView; }

QString key(std::initializer_list<int> labels) {
    QString k;
    for (int l : labels) k += ControllerLabel(l);
    return k;
}

using SettingsFixture::Download;
using SettingsFixture::Upload;

bool RunJob(int road) {
    WaveInfo& w = Sheets().WaveViews[kSlot];
    w.Ch1Chosen = w.Ch2Chosen = true;
    w.MathChosen = w.LaChosen = false;
    return RunTransfer(JobCode(road), "Loading...", road != WaveJob, kSlot);
}

// Runs the road; false when it reports that it did not finish.
bool RunRoad(int road) {
    switch (road) {
    case UploadEdge: case UploadAlternation: return Upload();
    case DownloadRoad: return Download();
    case MeasureJob: case DataJob: case WaveJob: return RunJob(road);
    case OffsetApply: return ApplyCtrlEdit({key({6, 9}), "", "0.5", ""}) == ApplyEnd::Applied;
    case MethodApply: return ApplyCtrlEdit({key({24, 25}), "PULSE", "", ""}) == ApplyEnd::Applied;
    case AlternationOffset: return ApplyCtrlEdit({key({7, 9}), "", "1", ""}) == ApplyEnd::Applied;
    case CoarseFine: return ApplyAdjust("2.00V", 0) == AdjustEnd::Applied;
    default: RunSetTrigTo50(); return true;
    }
}

// "KEY=value" of the instrument before and after: the same text, or the
// same number ("0.3" as set, "3.000e-01" as the instrument answers it).
bool SameSetting(const QString& a, const QString& b) {
    if (a == b) return true;
    if (a.section('=', 0, 0) != b.section('=', 0, 0)) return false;
    bool okA = false, okB = false;
    const double x = a.section('=', 1).toDouble(&okA), y = b.section('=', 1).toDouble(&okB);
    return okA && okB && x == y;
}

// The headers of the commands an upload sent.
QStringList SentHeaders(const QStringList& log) {
    QStringList out;
    for (const QString& c : log) {
        if (ExpectsReply(c) || !c.contains(' ')) continue;
        const QString h = c.section(' ', 0, 0);
        if (!out.contains(h)) out << h;
    }
    return out;
}

}  // namespace

class ReplyStepTest : public QObject {
    Q_OBJECT
    Simulator sim;
    QTimer tick;
    QString lastTransport;
    QMap<QString, CtrlSettings> mirrors;   // per transport and set-up: what a download makes
    QStringList headers;                   // what an upload sets, under EDGE, PULSE or the alternation
    QMap<QString, QStringList> jobTruth;   // per transport and job: what it shows

    // The instrument reset to the road's set-up: CH2 at another scale than
    // CH1, and every level away from 0 V, so that a value taken from another
    // question's reply shows.
    void setUp(int road) {
        LinkFixture::ResetInstrument(sim);
        sim.Set(":CHANNEL2:SCALE", "0.5");
        sim.Set(":TRIGGER:EDGE:LEVEL", "0.3");
        if (Alternation(road)) {
            sim.Set(":TRIGGER:MODE", "ALTERNATION");
            for (const char* ch : {"1", "2"}) {
                sim.Set(":TRIGGER:ALTERNATION:SOURCE", QString("CHANNEL") + ch);
                sim.Set(":TRIGGER:ALTERNATION:EDGE:LEVEL", ch[0] == '1' ? "0.4" : "-0.6");
            }
        }
        sim.ClearLog();
    }

    QString setUpKey(const QString& transport, int road) {
        return transport + (Alternation(road) ? " alternation" : " edge");
    }

    // Every setting an upload sets, as the instrument holds it (the
    // alternation's per channel); read through the control port, never the link.
    QStringList instrument() {
        QStringList out;
        for (const QString& h : headers)
            if (!h.startsWith(":TRIGGER:ALTERNATION:")) out << h + "=" + sim.Get(h);
        const QString source = sim.Get(":TRIGGER:ALTERNATION:SOURCE");
        for (const char* ch : {"CHANNEL1", "CHANNEL2"}) {
            sim.Set(":TRIGGER:ALTERNATION:SOURCE", ch);
            for (const QString& h : headers)
                if (h.startsWith(":TRIGGER:ALTERNATION:") && !h.endsWith(":SOURCE"))
                    out << QString(ch) + h + "=" + sim.Get(h);
        }
        sim.Set(":TRIGGER:ALTERNATION:SOURCE", source);
        return out;
    }

    void letLateRepliesLand() {
        QVERIFY(YieldUntil([this] { return sim.Control("LATE?").trimmed() == "0"; }, 10000));
    }

private slots:
    void initTestCase() {
        QVERIFY(LinkFixture::StartSimulator(sim));
        TestEnv::UseLanguage(LangEnglish);
        InstallTransferWindow();
        CtrlListForm();
        LinkFixture::StartQuickSerialTick(tick, sim);
        for (const char* tr : {"tcp", "pty"}) {
            QVERIFY(LinkFixture::ConnectOver(sim, tr, lastTransport));
            for (int road : {int(UploadEdge), int(UploadAlternation), int(MethodApply)}) {
                setUp(road);
                if (road == MethodApply) sim.Set(":TRIGGER:MODE", "PULSE");
                QVERIFY(Download());
                if (road != MethodApply) mirrors[setUpKey(tr, road)] = DSOSettings();
                QVERIFY(Upload());
                QueryCmd("*IDN?");
                for (const QString& h : SentHeaders(sim.Log()))
                    if (!headers.contains(h)) headers << h;
            }
            for (int road : {int(MeasureJob), int(DataJob), int(WaveJob)}) {
                setUp(road);
                QVERIFY(RunJob(road));
                jobTruth[QString("%1 %2").arg(tr).arg(road)] = LinkFixture::JobResults(JobCode(road), kSlot);
            }
        }
    }
    void cleanupTestCase() {
        DisconnectDSO();
        LinkFixture::StopSimulator(sim);
    }

    void everyRoadEveryFault_data() {
        QTest::addColumn<QString>("transport");
        QTest::addColumn<int>("road");
        QTest::addColumn<QString>("fault");
        for (const char* tr : {"tcp", "pty"})
            for (int road = 0; road < RoadCount; ++road)
                for (const char* f : {"silent", "late 100", "late 700", "late 1500", "truncate 3", "garbage"})
                    QTest::addRow("%s %s %s", tr, kRoadNames[road], f) << tr << road << QString(f);
    }
    void everyRoadEveryFault() {
        QFETCH(QString, transport);
        QFETCH(int, road);
        QFETCH(QString, fault);
        QVERIFY(LinkFixture::ConnectOver(sim, transport, lastTransport));
        setUp(road);
        DSOSettings() = mirrors[setUpKey(transport, road)];
        CtrlState().CtrlModified = false;
        MsgBoxService::ClearLog();
        PauseService::ClearLog();

        // The fault meets one reply; the replies after it come as they should.
        sim.SetFault(QString("%1 after %2 for 1").arg(fault).arg(kFaultAt[road]));
        const bool finished = RunRoad(road);
        const QStringList said = LinkFixture::ShownTexts();
        const QString why = QString("%1: %2").arg(fault, said.join(" | "));
        if (!finished) QVERIFY2(!said.isEmpty(), qPrintable(why));
        const CtrlSettings s = DSOSettings();
        bool marked = false;
        for (const QString* v : CtrlSettingsValues(s)) marked = marked || IsLevelNotKnown(*v);
        if (marked) QVERIFY2(!said.isEmpty(), qPrintable(why));
        if (IsJob(road)) {
            // The instrument's values; a measurement whose reply made no
            // sense shows the mark of one not made.
            const QStringList shows = LinkFixture::JobResults(JobCode(road), kSlot);
            const QStringList truth = jobTruth[QString("%1 %2").arg(transport).arg(road)];
            if (finished) {
                QCOMPARE(shows.size(), truth.size());
                for (int i = 0; i < shows.size(); ++i)
                    QVERIFY2(shows[i] == truth[i] || (road == MeasureJob && shows[i] == "*****"),
                             qPrintable(shows[i] + " for " + truth[i]));
            }
            if (!Link().IsConnected) {
                // The job dropped the link; the user connects again a moment later.
                letLateRepliesLand();
                MsgBoxService::ClearLog();
                QVERIFY2(LinkFixture::ConnectOver(sim, transport, lastTransport),
                         qPrintable(LinkFixture::ShownTexts().join(" | ") + " / " + sim.Log().join(";")));
            }
        }

        // At once, an Upload: the instrument keeps every setting it has.
        const QStringList before = instrument();
        MsgBoxService::ClearLog();
        const bool complete = Upload();
        const QStringList told = LinkFixture::ShownTexts();
        letLateRepliesLand();
        const QStringList after = instrument();
        for (int i = 0; i < before.size(); ++i)
            QVERIFY2(SameSetting(after.value(i), before[i]),
                     qPrintable(QString("%1 became %2; %3 / upload: %4")
                                    .arg(before[i], after.value(i), why, told.join(" | "))));
        // A row left out is said.
        QVERIFY2(complete == told.isEmpty(), qPrintable(why + " / upload: " + told.join(" | ")));
        if (marked) QVERIFY(!complete);
    }

    // The alternation case, again and again over TCP: the reply to the
    // Upload's first level read-back (CH1's scale) comes 700 ms late. The
    // instrument's levels stay where they were, and CH1's level is said.
    void alternationLateReplyKeepsLevels() {
        QVERIFY(LinkFixture::ConnectOver(sim, "tcp", lastTransport));
        const MessageTableData& m = MessageTable();
        for (int round = 0; round < 8; ++round) {
            setUp(UploadAlternation);
            DSOSettings() = mirrors[setUpKey("tcp", UploadAlternation)];
            const QStringList before = instrument();
            MsgBoxService::ClearLog();
            // The run state's reply comes first; then only that reply late,
            // or every reply from it on.
            sim.SetFault(round % 2 ? "late 700 after 1" : "late 700 after 1 for 1");
            QVERIFY(!Upload());
            sim.SetFault("none");
            const QStringList told = LinkFixture::ShownTexts();
            letLateRepliesLand();
            const QStringList after = instrument();
            QCOMPARE(after.size(), before.size());
            for (int i = 0; i < before.size(); ++i)
                QVERIFY2(SameSetting(after[i], before[i]), qPrintable(before[i] + " became " + after[i]));
            QVERIFY2(!told.isEmpty() && LinkFixture::BeginsAsNaming(told.last(), m.MsgUploadLevelsUnanswered),
                     qPrintable(told.join(" | ")));
            QVERIFY2(told.last().contains("CH1"), qPrintable(told.last()));
        }
    }
};

QTEST_MAIN(ReplyStepTest)
#include "tst_replystep.moc"
