// The simulated instrument's faults over both transports (TCP through the USB
// alias, and the pseudo-terminal) across everything that talks to it: the
// fetch jobs, the upload and download of all settings, an apply of each
// family of the setting dialog, the coarse/fine OK and every immediate
// action. Every case ends with the instrument's true values, or with a
// message and nothing changed. Then the faults of their own: read-backs that
// make no sense, and a link lost mid-way.
#include <QtTest>
#include <algorithm>

#include "LinkFixture.h"
#include "SettingsFixture.h"
#include "Simulator.h"
#include "TestEnv.h"
#include "common/DSOSettings.h"
#include "common/Pause.h"
#include "common/SheetModel.h"
#include "common/ShellState.h"
#include "common/Wait.h"
#include "controller/CtrlList.h"
#include "controller/CtrlState.h"
#include "controller/CtrlTree.h"
#include "controller/LevelMark.h"
#include "controller/SettingsTransfer.h"
#include "editors/AdjustLogic.h"
#include "editors/CtrlApply.h"
#include "editors/ImmediateActions.h"
#include "link/Converters.h"
#include "link/ReplyParse.h"
#include "link/Formatters.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/TransferJobs.h"
#include "link/UsbFunc.h"
#include "link/Vocabulary.h"
#include "platform/dialogs/MsgBox.h"
#include "shell/frmPrgress.h"

namespace {

constexpr int kSlot = 2;

enum Op { OpMeasure, OpData, OpWave, OpUpload, OpDownload, OpApply, OpLevel, OpTrig50, OpAdjust, OpMethod,
          OpRunStop, OpTimeBase, OpAcquire, OpAlternation, OpAutoSet, OpForceTrigger, OpLaReset,
          OpDisplayClear };
const char* const kOpNames[] = {"measure job", "data job", "wave job", "upload", "download",
                                "apply", "apply of a level", "Set Trig to 50%", "coarse/fine", "method",
                                "run/stop", "time base", "sampling mode", "alternation type", "Auto Set",
                                "Force Trigger", "LA Reset", "Display Clear"};

QString key(std::initializer_list<int> labels) {
    QString k;
    for (int l : labels) k += ControllerLabel(l);
    return k;
}
// CH1 Offset, and the trigger level (of the EDGE method).
QString OffsetKey() { return key({6, 9}); }
QString LevelKey() { return key({24, 66}); }

// A branch of each family of the apply: key and choice or box text.
CtrlDialogValues EditOf(Op op) {
    switch (op) {
    case OpApply: return {OffsetKey(), "", "0.5", ""};
    case OpLevel: return {LevelKey(), "2.00div", "", ""};
    case OpMethod: return {key({24, 25}), "PULSE", "", ""};
    case OpRunStop: return {key({1}), ValueWord(vwStop), "", ""};
    case OpTimeBase: return {key({18, 19}), "1.000ms", "", ""};
    case OpAcquire: return {key({70, 71}), ValueWord(vwRealTime), "", ""};
    case OpAlternation: return {key({24, 6, 38}), ValueWord(vwPulse), "", ""};
    default: return {};
    }
}

// The faults each operation meets. "block:" puts the fault on the first
// binary block of a job (after the text replies before it).
QStringList FaultsOf(Op op) {
    const QStringList basic{"silent", "garbage", "truncate 3", "drop 0"};
    switch (op) {
    // A late reply where several replies follow one another.
    case OpWave: return basic + QStringList{"late 600", "block: truncate 100", "block: drop 100"};
    case OpData: return basic + QStringList{"block: truncate 100", "block: drop 100"};
    case OpUpload: case OpDownload: return basic + QStringList{"late 600"};
    // "after 2": the offset of the level's source is lost.
    case OpTrig50: return basic + QStringList{"none", "late 600", "silent after 1", "silent after 2"};
    // The presence check answers; the branch's own replies meet the fault.
    case OpTimeBase: case OpMethod: case OpAlternation:
        return {"none", "garbage", "silent after 1", "late 600 after 1", "drop 0 after 1"};
    case OpRunStop: case OpAcquire: return {"none", "garbage", "silent after 1", "drop 0 after 1"};
    // The faults of the download that follows: the download's own rows.
    case OpAutoSet: return {"silent"};
    // Nothing of these is answered: the instrument's silence changes nothing.
    case OpForceTrigger: case OpDisplayClear: return {"silent"};
    // The positions the reset gives are read back.
    case OpLaReset: return {"none", "silent", "garbage"};
    // Later replies of the apply and the coarse/fine OK: replyLostPartWay.
    default: return basic;
    }
}

// The same value, in whatever digits ("0.0000s" and "0.000s").
bool SameValue(const QString& a, const QString& b) {
    if (a == b) return true;
    auto unit = [](const QString& t) {
        int k = t.size();
        while (k > 0 && !t[k - 1].isDigit()) --k;
        return t.mid(k);
    };
    return IsNumberReply(a.chopped(unit(a).size())) && IsNumberReply(b.chopped(unit(b).size())) &&
           unit(a) == unit(b) && LeadingNumber(a) == LeadingNumber(b);
}

// Commands in a log that get a reply.
int RepliesAsked(const QStringList& log) {
    return int(std::count_if(log.begin(), log.end(), [](const QString& c) { return ExpectsReply(c); }));
}

constexpr int kLevelRoads = 4;
const char* const kLevelRoadNames[kLevelRoads] = {"EDGE source", "EDGE CH1 offset", "SLOPE CH1 coarse/fine",
                                                  "alternation CH2 offset"};

int JobCode(Op op) { return op == OpMeasure ? JobMeasureCH1 : op == OpData ? JobDataCH1 : JobWaveView; }

bool RunJob(Op op) {
    WaveInfo& w = Sheets().WaveViews[kSlot];
    w.Ch1Chosen = w.Ch2Chosen = true;
    w.MathChosen = w.LaChosen = false;
    return RunTransfer(JobCode(op), "Loading...", op != OpWave, kSlot);
}

using SettingsFixture::Download;
using SettingsFixture::Upload;

// The level commands of an upload's log.
QStringList LevelsSent(const QStringList& log) {
    QStringList out;
    for (const QString& c : log)
        if (c.contains(":LEVEL") && !c.endsWith('?')) out << c;
    return out;
}

}  // namespace

class FaultSweepTest : public QObject {
    Q_OBJECT
    Simulator sim;
    QTimer tick;
    QString lastTransport;
    // Per transport: what each job shows without a fault, and what a failed
    // job leaves; the mirror a download makes; the levels an upload sends.
    QMap<QString, QStringList> jobTruth, jobFailed;
    QMap<QString, CtrlSettings> downloaded;
    QMap<QString, QStringList> uploadLevels;
    QMap<QString, int> repliesBeforeBlock;  // per job: the text replies before its first binary block
    QMap<QString, CtrlSettings> roadMirrors;  // per transport and set-up: the mirror a download makes

    void connectOver(const QString& transport) {
        QVERIFY(LinkFixture::ConnectOver(sim, transport, lastTransport));
        LinkFixture::ResetInstrument(sim);
        // Each case starts with the link in step: a fault of the case before
        // may have left it out of step, and a re-synchronisation that met only
        // a reply that was not the identity waits for that one first and asks
        // again on the next request.
        for (int k = 0; k < 3 && !LinkInStep(); ++k) QueryCmd("*IDN?");
        QVERIFY(LinkInStep());
        sim.ClearLog();
        PauseService::ClearLog();
        MsgBoxService::ClearLog();
    }

    // The instrument's log once everything sent has arrived.
    QStringList arrivedLog() {
        // Out of step, the command layer first sends its own identity query
        // to put the link back in step; neither is the case's.
        const bool resync = Link().IsConnected && !LinkInStep();
        if (Link().IsConnected) QueryCmd("*IDN?");
        QStringList log = sim.Log();
        if (!log.isEmpty() && log.last() == "*IDN?") log.removeLast();
        if (resync && !log.isEmpty() && log.last() == "*IDN?") log.removeLast();
        return log;
    }

    // What the mirror holds of the instrument's CH1 offset.
    QString instrumentOffset() { return FormatVolt(sim.Get(":CHANNEL1:OFFSET")); }

    // The instrument's settings as a download reads them; the mirror and the
    // modified flag are left as they were.
    CtrlSettings instrumentSettings() {
        const CtrlSettings mirror = DSOSettings();
        const bool modified = CtrlState().CtrlModified;
        MsgBoxService::ClearLog();
        const bool read = Download();
        CtrlSettings truth = DSOSettings();
        if (!read) truth = CtrlSettings{};  // compares equal to nothing the mirror holds
        DSOSettings() = mirror;
        CtrlState().CtrlModified = modified;
        return truth;
    }

private slots:
    void initTestCase() {
        QVERIFY(LinkFixture::StartSimulator(sim));
        TestEnv::UseLanguage(LangEnglish);
        InstallTransferWindow();
        CtrlListForm();
        LinkFixture::StartQuickSerialTick(tick, sim);
        for (const char* tr : {"tcp", "pty"}) {
            connectOver(tr);
            for (Op op : {OpMeasure, OpData, OpWave}) {
                const QString k = QString("%1 %2").arg(tr).arg(op);
                sim.ClearLog();
                QVERIFY(RunJob(op));
                const QStringList log = sim.Log();
                const auto block = std::find_if(log.begin(), log.end(),
                                                [](const QString& c) { return c.startsWith(":WAVEFORM:DATA?"); });
                repliesBeforeBlock[k] = RepliesAsked(QStringList(log.begin(), block));
                jobTruth[k] = LinkFixture::JobResults(JobCode(op), kSlot);
                // A job that cannot run leaves what any failed job leaves.
                MarkDisconnected();
                QVERIFY(!RunJob(op));
                jobFailed[k] = LinkFixture::JobResults(JobCode(op), kSlot);
                connectOver(tr);
            }
            SetDefaultCtrlSettings();
            QVERIFY(Download());
            downloaded[tr] = DSOSettings();
            sim.ClearLog();
            QVERIFY(Upload());
            uploadLevels[tr] = LevelsSent(arrivedLog());
        }
    }
    void cleanupTestCase() {
        SetLAPresent(false);
        DisconnectDSO();
        LinkFixture::StopSimulator(sim);
    }

    void sweep_data() {
        QTest::addColumn<QString>("transport");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("op");
        for (const char* tr : {"tcp", "pty"})
            for (int op = OpMeasure; op <= OpDisplayClear; ++op)
                for (const QString& f : FaultsOf(Op(op)))
                    QTest::addRow("%s %s %s", tr, qPrintable(f), kOpNames[op]) << tr << f << op;
    }
    void sweep() {
        QFETCH(QString, transport);
        QFETCH(QString, fault);
        QFETCH(int, op);
        connectOver(transport);
        // The mirror starts as the instrument's.
        DSOSettings() = downloaded[transport];
        // The instrument away from where the action puts it: the trigger
        // level off 50%, the logic channels (with the analyser) off their rows.
        SetLAPresent(op == OpLaReset);
        if (op == OpTrig50 || op == OpLaReset) {
            if (op == OpTrig50) sim.Set(":TRIGGER:EDGE:LEVEL", "0.8");
            else sim.Set(":LA:LOCATION", "0,0");
            DSOSettings() = instrumentSettings();
        }
        CtrlState().CtrlModified = false;
        const CtrlSettings before = DSOSettings();
        const QString jobKey = QString("%1 %2").arg(transport).arg(op);
        if (op <= OpWave) {  // the record holds the true values of an earlier fetch
            QVERIFY(RunJob(Op(op)));
            MsgBoxService::ClearLog();
        }
        if (fault.startsWith("block: "))
            fault = QString("%1 after %2").arg(fault.mid(7)).arg(repliesBeforeBlock[jobKey]);
        const int after = fault.contains(" after ") ? fault.section(' ', -1).toInt() : 0;
        sim.ClearLog();
        sim.SetFault(fault);

        bool ok = false;
        switch (Op(op)) {
        case OpMeasure: case OpData: case OpWave: ok = RunJob(Op(op)); break;
        case OpUpload: ok = Upload(); break;
        case OpDownload: ok = Download(); break;
        case OpTrig50: RunSetTrigTo50(); break;
        case OpAdjust: ApplyAdjust("2.00V", 0); break;
        case OpAutoSet: RunAutoSet(); break;
        case OpForceTrigger: RunForceTrigger(); break;
        case OpLaReset: RunLaReset(); break;
        case OpDisplayClear: RunDisplayClear(); break;
        default: ApplyCtrlEdit(EditOf(Op(op))); break;
        }
        const QStringList shown = LinkFixture::ShownTexts();
        const CtrlSettings after_ = DSOSettings();
        const bool modified = CtrlState().CtrlModified;
        // A late reply is on its way when the operation ends: it must not
        // pass for the answer of what comes next.
        if (fault.startsWith("late"))
            QVERIFY(YieldUntil([this] { return sim.Control("LATE?").trimmed() == "0"; }, 10000));
        const QStringList log = sim.Log();
        sim.SetFault("none");
        const QString why = fault + ": " + shown.join(" | ");
        // A reply that did not come, or made no sense, is said so; without a
        // fault nothing is. (A cut reply may be shorter than the cut: it then
        // came whole.)
        if (fault == "none") QVERIFY2(shown.isEmpty(), qPrintable(why));
        else if (!fault.startsWith("truncate") && RepliesAsked(log) > after)
            QVERIFY2(!shown.isEmpty(), qPrintable(why));

        if (op <= OpWave) {
            if (!Link().IsConnected) connectOver(transport);
            const QStringList now = LinkFixture::JobResults(JobCode(Op(op)), kSlot);
            if (ok) {
                QCOMPARE(now, jobTruth[jobKey]);
            } else {
                QVERIFY2(!shown.isEmpty(), qPrintable(why));
                QVERIFY(now == jobTruth[jobKey] || now == jobFailed[jobKey]);
            }
            return;
        }
        if (op == OpUpload) {
            QVERIFY2(ok != !shown.isEmpty(), qPrintable(why));
            // No level goes out that was not computed from the instrument's answers.
            for (const QString& level : LevelsSent(log))
                QVERIFY2(uploadLevels[transport].contains(level), qPrintable(level));
        }
        if (op == OpDownload && !ok) QVERIFY2(!shown.isEmpty(), qPrintable(why));

        // Every setting of the mirror is the instrument's, or it is as it
        // was and the user has been told.
        if (after_ == before && !shown.isEmpty()) {
            // Nothing went out that sets anything: nothing to save.
            const bool setSomething =
                std::any_of(log.begin(), log.end(), [](const QString& c) { return !ExpectsReply(c); });
            QVERIFY2(!modified || setSomething || op == OpDownload, qPrintable(why));
            return;
        }
        if (!Link().IsConnected) QVERIFY(LinkFixture::ConnectOver(sim, transport, lastTransport));
        const CtrlSettings truth = instrumentSettings();
        const QStringList names = CtrlSettingsNames();
        const auto m = CtrlSettingsValues(after_), t = CtrlSettingsValues(truth), b = CtrlSettingsValues(before);
        for (size_t i = 0; i < m.size(); ++i) {
            // A level whose read-back failed is marked as not known.
            if (SameValue(*m[i], *t[i]) || ((*m[i] == *b[i] || IsLevelNotKnown(*m[i])) && !shown.isEmpty()))
                continue;
            QFAIL(qPrintable(QString("%1: mirror \"%2\", instrument \"%3\", before \"%4\"; %5")
                                 .arg(names[int(i)], *m[i], *t[i], *b[i], why)));
        }
        // An edit that changed the mirror leaves a controller to be saved.
        const bool edit = op >= OpApply && op <= OpAlternation && op != OpTrig50;
        if (edit && !(after_ == before)) QVERIFY2(modified, qPrintable(why));
    }

    // The message after a read-back that failed: the levels that became not
    // known since `before` named, or that nothing was changed.
    static QString ReadBackMessage(const CtrlSettings& before) {
        QList<int> marked = LevelRowsNotKnown(DSOSettings());
        for (int n : LevelRowsNotKnown(before)) marked.removeAll(n);
        return marked.isEmpty() ? MessageTable().MsgReplyUnusable
                                : MessageTable().MsgReplyLevelsNotKnown.Naming(LevelRowNames(marked));
    }

    // A read-back that does not parse as what the field holds stores
    // nothing and says so; what was sent still went out. A level whose
    // source reply makes no sense is neither sent nor stored.
    void readBackThatMakesNoSense_data() {
        QTest::addColumn<QString>("transport");
        QTest::addColumn<int>("op");
        for (const char* tr : {"tcp", "pty"}) {
            QTest::addRow("%s apply", tr) << tr << int(OpApply);
            QTest::addRow("%s Set Trig to 50%%", tr) << tr << int(OpTrig50);
            QTest::addRow("%s coarse/fine", tr) << tr << int(OpAdjust);
            QTest::addRow("%s apply of a level", tr) << tr << int(OpLevel);
            QTest::addRow("%s method and its read-back", tr) << tr << int(OpMethod);
        }
    }
    void readBackThatMakesNoSense() {
        QFETCH(QString, transport);
        QFETCH(int, op);
        connectOver(transport);
        DSOSettings() = downloaded[transport];
        DSOSettings().TriggerEdgeLevel = "1.20div";
        CtrlState().CtrlModified = false;
        const CtrlSettings before = DSOSettings();
        sim.SetFault("garbage");
        if (op == OpApply)
            QCOMPARE(ApplyCtrlEdit({OffsetKey(), "", "0.5", ""}), ApplyEnd::Applied);
        else if (op == OpAdjust)
            QCOMPARE(ApplyAdjust("2.00V", 0), AdjustEnd::Applied);
        else if (op == OpLevel)
            QCOMPARE(ApplyCtrlEdit({LevelKey(), "2.00div", "", ""}), ApplyEnd::Refused);
        else if (op == OpMethod)
            QCOMPARE(ApplyCtrlEdit({key({24, 25}), "PULSE", "", ""}), ApplyEnd::Applied);
        else
            RunSetTrigTo50();
        sim.SetFault("none");

        CtrlSettings expected = before;
        // The values sent, as the instrument took them.
        if (op == OpApply) expected.CH1Offset = "500mV";
        if (op == OpAdjust) expected.CH1Scale = "2.00V";
        if (op == OpMethod) expected.TriggerMethod = "PULSE";
        // The level the change moved in divisions, or that the action moved,
        // could not be read: it is not known.
        if (op == OpApply || op == OpAdjust || op == OpTrig50) expected.TriggerEdgeLevel = LevelNotKnownText();
        if (op == OpMethod) expected.TriggerPulseLevel = LevelNotKnownText();
        QVERIFY(DSOSettings() == expected);
        QCOMPARE(LinkFixture::ShownTexts(), QStringList{ReadBackMessage(before) + " / "});
        QVERIFY(Link().IsConnected);
        if (op == OpApply) {
            QCOMPARE(instrumentOffset(), QString("500mV"));
            QVERIFY(CtrlState().CtrlModified);
        } else if (op == OpAdjust) {
            QCOMPARE(FormatVolt(sim.Get(":CHANNEL1:SCALE")), QString("2.00V"));
        } else if (op == OpLevel) {
            // A level computed from a source that makes no sense is not sent,
            // and the controller has nothing new to save.
            for (const QString& c : sim.Log()) QVERIFY2(!c.startsWith(":TRIGGER:EDGE:LEVEL "), qPrintable(c));
            QVERIFY(!CtrlState().CtrlModified);
        } else if (op == OpMethod) {
            QCOMPARE(sim.Get(":TRIGGER:MODE"), QString("PULSE"));
        } else {
            QVERIFY(sim.Log().contains(":TRIG%50"));
        }
    }

    // A reply lost part-way (no reply, cut, late) after the ones before it
    // came: the presence check, a level's source, scale or offset, the
    // offset read back after the offset apply or the coarse/fine OK, the
    // level read back after the offset apply. What
    // the lost reply would have given is neither sent nor stored, and the
    // user is told; what went out before it is stored as sent.
    void replyLostPartWay_data() {
        QTest::addColumn<QString>("transport");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("op");
        QTest::addColumn<int>("after");  // replies that still come whole
        const struct { const char* name; Op op; int after; } cases[] = {
            {"presence check", OpApply, 0},
            {"level: source", OpLevel, 1},
            {"level: scale", OpLevel, 2},
            {"level: offset", OpLevel, 3},
            {"offset read-back", OpApply, 1},
            // After the offset, its source, scale and offset: the level's own reply.
            {"level read-back after the offset", OpApply, 5},
            {"coarse/fine offset read-back", OpAdjust, 0},
        };
        for (const char* tr : {"tcp", "pty"})
            for (const char* f : {"silent", "truncate 3", "late 600"})
                for (const auto& c : cases)
                    QTest::addRow("%s %s %s", tr, f, c.name) << tr << f << int(c.op) << c.after;
    }
    void replyLostPartWay() {
        QFETCH(QString, transport);
        QFETCH(QString, fault);
        QFETCH(int, op);
        QFETCH(int, after);
        connectOver(transport);
        DSOSettings() = downloaded[transport];
        DSOSettings().TriggerEdgeLevel = "1.20div";
        DSOSettings().CH1Offset = "1.00V";  // not the instrument's: a lost read-back must not hide that
        CtrlState().CtrlModified = false;
        const CtrlSettings before = DSOSettings();
        sim.ClearLog();
        sim.SetFault(QString("%1 after %2").arg(fault).arg(after));
        int end = -1;
        if (op == OpAdjust) end = int(ApplyAdjust("2.00V", 0));
        else if (op == OpLevel) end = int(ApplyCtrlEdit({LevelKey(), "2.00div", "", ""}));
        else end = int(ApplyCtrlEdit({OffsetKey(), "", "0.5", ""}));
        const QStringList shown = LinkFixture::ShownTexts();
        if (fault.startsWith("late")) QVERIFY(YieldUntil([this] { return sim.Control("LATE?").trimmed() == "0"; }, 10000));
        sim.SetFault("none");
        QVERIFY(Link().IsConnected);
        const QStringList log = arrivedLog();

        const MessageTableData& m = MessageTable();
        CtrlSettings expected = before;
        if (op == OpApply && after == 0) {
            // The instrument did not answer: nothing went out, nothing changed.
            const QString readFail = transport == "pty" ? m.MsgRs232ReadFail + " / " + m.MsgTitleRs232Read
                                                        : m.MsgUsbReadFail + " / " + m.MsgTitleUsbRead;
            QCOMPARE(end, int(ApplyEnd::Silent));
            QCOMPARE(shown, QStringList{readFail});
            QCOMPARE(log, QStringList{"*IDN?"});
        } else if (op == OpLevel) {
            QCOMPARE(end, int(ApplyEnd::Refused));
            QCOMPARE(shown, QStringList{m.MsgReplyUnusable + " / "});
            for (const QString& c : log) QVERIFY2(!c.startsWith(":TRIGGER:EDGE:LEVEL "), qPrintable(c));
        } else {
            // The value went out and is stored as sent; the offset that did
            // not come back is not made up.
            QCOMPARE(end, op == OpAdjust ? int(AdjustEnd::Applied) : int(ApplyEnd::Applied));
            QCOMPARE(shown, QStringList{ReadBackMessage(before) + " / "});
            expected.TriggerEdgeLevel = LevelNotKnownText();  // its read-back did not come
            if (op == OpAdjust) {
                expected.CH1Scale = "2.00V";
                QCOMPARE(FormatVolt(sim.Get(":CHANNEL1:SCALE")), QString("2.00V"));
            } else {
                expected.CH1Offset = "500mV";
                QCOMPARE(instrumentOffset(), QString("500mV"));
            }
        }
        QVERIFY(DSOSettings() == expected);
        QCOMPARE(CtrlState().CtrlModified, !(DSOSettings() == before));
    }

    // Each reply of the level read-back after a road that moves the level in
    // divisions (a source, a channel's offset, its coarse/fine OK under two
    // levels, an alternation channel's offset) lost, late, cut or garbled:
    // the row is then marked as not known, and the upload that follows
    // leaves it out and says so. No upload moves a level of the instrument.
    void levelReadBackFaultThenUpload_data() {
        QTest::addColumn<QString>("transport");
        QTest::addColumn<int>("road");
        QTest::addColumn<QString>("fault");
        // Each fault over each transport on some road; every road over both.
        const struct { int road; const char* transport; QStringList faults; } rows[] = {
            {0, "tcp", {"silent", "late 600"}},
            {0, "pty", {"truncate 3", "garbage", "late 600"}},
            {1, "tcp", {"silent", "truncate 3", "garbage", "late 600"}},
            {1, "pty", {"silent"}},
            {2, "tcp", {"silent", "garbage"}},
            {2, "pty", {"truncate 3"}},
            {3, "tcp", {"garbage", "late 600"}},
            {3, "pty", {"silent"}},
        };
        for (const auto& r : rows)
            for (const QString& f : r.faults)
                QTest::addRow("%s %s %s", r.transport, qPrintable(f), kLevelRoadNames[r.road])
                    << r.transport << r.road << f;
    }
    void levelReadBackFaultThenUpload() {
        QFETCH(QString, transport);
        QFETCH(int, road);
        QFETCH(QString, fault);
        const QString setup[kLevelRoads] = {"", "", ":TRIGGER:MODE SLOPE", ":TRIGGER:MODE ALTERNATION"};
        const QString mirrorKey = transport + setup[road];
        auto start = [&] {
            connectOver(transport);
            if (!setup[road].isEmpty()) SendCmd(setup[road]);
            if (!roadMirrors.contains(mirrorKey)) {
                QVERIFY(Download());
                roadMirrors[mirrorKey] = DSOSettings();
            }
            DSOSettings() = roadMirrors[mirrorKey];
            CtrlState().CtrlModified = false;
            QueryCmd("*IDN?");
            sim.ClearLog();
            MsgBoxService::ClearLog();
        };
        auto apply = [&] {
            switch (road) {
            case 0: ApplyCtrlEdit({key({24, 26}), "CH2", "", ""}); break;
            case 1: ApplyCtrlEdit({OffsetKey(), "", "0.5", ""}); break;
            case 2: ApplyAdjust("2.00V", 0); break;
            default: ApplyCtrlEdit({key({7, 9}), "", "1", ""}); break;
            }
        };
        // Every level of the instrument, the alternation channels' included.
        auto instrumentLevels = [] {
            QStringList out;
            for (const char* q : {":TRIGGER:EDGE:LEVEL?", ":TRIGGER:SLOPE:LEVELA?", ":TRIGGER:SLOPE:LEVELB?"})
                out << QueryCmd(q);
            for (const char* ch : {"1", "2"}) {
                SendCmd(QString(":TRIGGER:ALTERNATION:SOURCE CHANNEL") + ch);
                out << QueryCmd(":TRIGGER:ALTERNATION:EDGE:LEVEL?");
            }
            return out;
        };
        // The replies of the read-back, numbered as the fault counts them.
        start();
        apply();
        QVERIFY(LinkFixture::ShownTexts().isEmpty());
        QList<int> readBack;
        int n = 0;
        for (const QString& c : arrivedLog()) {
            if (!ExpectsReply(c)) continue;
            if (c.endsWith("SOURCE?") || c.endsWith("SCALE?") || c.endsWith("OFFSET?") || c.contains(":LEVEL"))
                readBack << n;
            ++n;
        }
        QVERIFY(readBack.size() >= 3);
        for (int at : readBack) {
            start();
            const QStringList before = instrumentLevels();
            sim.ClearLog();
            sim.SetFault(QString("%1 after %2").arg(fault).arg(at));
            apply();
            const QStringList shown = LinkFixture::ShownTexts();
            if (fault.startsWith("late"))
                QVERIFY(YieldUntil([this] { return sim.Control("LATE?").trimmed() == "0"; }, 10000));
            sim.SetFault("none");
            if (!Link().IsConnected) QVERIFY(LinkFixture::ConnectOver(sim, transport, lastTransport));
            const QString why = QString("reply %1: %2").arg(at).arg(shown.join(" | "));
            const CtrlSettings s = DSOSettings();
            const bool marked = IsLevelNotKnown(s.TriggerEdgeLevel) || IsLevelNotKnown(s.TriggerSlopeLevelA) ||
                                IsLevelNotKnown(s.TriggerSlopeLevelB) || IsLevelNotKnown(s.AltCH1EdgeLevel) ||
                                IsLevelNotKnown(s.AltCH2EdgeLevel);
            // One message, and it says the level is not known now.
            if (marked) QCOMPARE(shown, QStringList{ReadBackMessage(roadMirrors[mirrorKey]) + " / "});
            MsgBoxService::ClearLog();
            const bool complete = Upload();
            const QStringList told = LinkFixture::ShownTexts();
            QCOMPARE(instrumentLevels(), before);
            if (marked) {
                QVERIFY2(!complete && !told.isEmpty() &&
                             LinkFixture::BeginsAsNaming(told.last(), MessageTable().MsgUploadLevelsNotKnown),
                         qPrintable(why));
            } else {
                QVERIFY2(complete, qPrintable(why + " / upload: " + told.join(" | ")));
            }
        }
    }

    // The transport's failure marks the link disconnected and says so: a TCP
    // connection closed during the apply's first query or during a download,
    // a serial line hung up right after a whole reply.
    void lostLinkIsReported_data() {
        QTest::addColumn<QString>("transport");
        QTest::addColumn<int>("op");
        QTest::addColumn<QString>("fault");
        QTest::newRow("tcp apply, first query") << "tcp" << int(OpApply) << "drop 2";
        QTest::newRow("tcp download") << "tcp" << int(OpDownload) << "drop 0";
        QTest::newRow("pty hang-up after a whole reply") << "pty" << -1 << "drop 1000";
    }
    void lostLinkIsReported() {
        QFETCH(QString, transport);
        QFETCH(int, op);
        QFETCH(QString, fault);
        connectOver(transport);
        DSOSettings() = downloaded[transport];
        const CtrlSettings before = DSOSettings();
        CtrlState().CtrlModified = false;
        sim.SetFault(fault);
        if (op == OpApply) {
            QCOMPARE(ApplyCtrlEdit({OffsetKey(), "", "0.5", ""}), ApplyEnd::Silent);
        } else if (op == OpDownload) {
            QVERIFY(!Download());
        } else {
            // The whole reply comes, then the line hangs up.
            QVERIFY(QueryCmd("*IDN?").startsWith("TARVO TECHNOLOGIES,"));
            QVERIFY(YieldUntil([] { return !Link().IsConnected; }, 5000));
        }
        sim.SetFault("none");
        QVERIFY(!Link().IsConnected);
        const QString readFail = LinkFixture::DroppedLinkMessage(transport == "pty");
        QVERIFY2(LinkFixture::ShownTexts().contains(readFail), qPrintable(LinkFixture::ShownTexts().join('|')));
        QVERIFY(DSOSettings() == before);
        QVERIFY(!CtrlState().CtrlModified);
        // Reconnected, the next operation works.
        connectOver(transport);
        QVERIFY(Download());
        QVERIFY(DSOSettings() == downloaded[transport]);
    }
};

QTEST_MAIN(FaultSweepTest)
#include "tst_faultsweep.moc"
