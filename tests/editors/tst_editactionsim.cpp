// Immediate actions and the instrument-dependent edit preparation against
// the simulated instrument, through the real command layer (USB alias to TCP).
#include <QTreeWidgetItem>
#include <QtTest>

#include "LinkFixture.h"
#include "Simulator.h"
#include "TestEnv.h"
#include "common/DSOSettings.h"
#include "common/Pause.h"
#include "common/ShellState.h"
#include "controller/CtrlList.h"
#include "controller/CtrlState.h"
#include "controller/CtrlTree.h"
#include "controller/SettingsTransfer.h"
#include "editors/EditDispatch.h"
#include "link/Converters.h"
#include "link/Formatters.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/TransferJobs.h"
#include "link/UsbFunc.h"
#include "link/Vocabulary.h"
#include "platform/dialogs/MsgBox.h"
#include "shell/ControllerBinding.h"
#include "shell/frmPrgress.h"
#include "editors/CtrlDialog.h"
#include <QComboBox>
#include "platform/mouse/MouseControl.h"

class EditActionSimTest : public QObject {
    Q_OBJECT
    Simulator sim;
    int dialogs = 0;

    // The texts of the tree's nodes, for comparing before and after.
    static QStringList NodeTexts() {
        QStringList out;
        for (int g = 0; g < CtrlNodeTableSize; ++g)
            for (int i = 0; i < CtrlNodeTableSize; ++i)
                if (QTreeWidgetItem* n = CtrlNode(g, i))
                    out << QString("%1,%2:%3").arg(g).arg(i).arg(n->text(0));
        return out;
    }

    void SendSetup(const QString& setup) {
        for (const QString& c : setup.split(';', Qt::SkipEmptyParts)) SendCmd(c);
        QueryCmd("*IDN?");  // the reply means every command before it has arrived
        sim.ClearLog();
        PauseService::ClearLog();
    }

private slots:
    void initTestCase() {
        QVERIFY(LinkFixture::StartUsbSimulator(sim));
        InstallTransferWindow();  // the jobs run through the real transfer window
        TestEnv::UseLanguage(LangEnglish);
        CtrlListForm();
        EditShow().ShowCtrlDialog = [this](const EditPrep&, const QString&) { ++dialogs; };
    }
    void init() {
        QVERIFY(LinkFixture::ReconnectUsb(sim));
        SendCmd("*RST");
        SetDefaultCtrlSettings();
        CtrlState().CtrlModified = false;
        dialogs = 0;
        MsgBoxService::ClearLog();
        SendSetup("");
    }
    void cleanupTestCase() { LinkFixture::StopSimulator(sim); }

    // Set Trig to 50%: the queries by trigger method and source, the levels
    // as division texts (with "." in every locale) counting the channel's
    // offset in (CH1 1.5 V, CH2 -2 V) as the download does, the nodes rewritten.
    void setTrigTo50_data() {
        QTest::addColumn<QString>("setup");   // commands to the instrument
        QTest::addColumn<QString>("mirror");  // field=value;... before the action
        QTest::addColumn<QStringList>("stream");
        QTest::addColumn<QStringList>("fields");  // field=value after the action
        QTest::addColumn<QStringList>("nodes");
        const QString t50 = ":TRIG%50";
        QTest::newRow("EDGE CH1")
            << ":TRIGGER:EDGE:LEVEL 1.5" << "TriggerMethod=EDGE;TriggerEdgeLevel=1.50div"
            << QStringList{t50, ":TRIGGER:EDGE:SOURCE?", ":CHANNEL1:SCALE?", ":CHANNEL1:OFFSET?",
                           ":TRIGGER:EDGE:LEVEL?"}
            << QStringList{"TriggerEdgeSource=CH1", "TriggerEdgeLevel=1.50div"}
            << QStringList{"6,7:Level [1.50div]", "6,3:Source [CH1]"};
        QTest::newRow("EDGE on the AC line keeps its level")
            << ":TRIGGER:EDGE:SOURCE ACLINE" << "TriggerMethod=EDGE;TriggerEdgeLevel=1.20div"
            << QStringList{t50, ":TRIGGER:EDGE:SOURCE?"}
            << QStringList{"TriggerEdgeSource=AC", "TriggerEdgeLevel=1.20div"}
            << QStringList{"6,7:Level [1.20div]", "6,3:Source [AC]"};
        QTest::newRow("EDGE on a logic channel reads the threshold")
            << ":TRIGGER:EDGE:SOURCE DIGITAL3;:LA:THRESHOLD ECL" << "TriggerMethod=EDGE"
            << QStringList{t50, ":TRIGGER:EDGE:SOURCE?", ":LA:THRESHOLD?"}
            << QStringList{"TriggerEdgeSource=D3", "TriggerEdgeLevel=ECL"}
            << QStringList{"6,7:Level [ECL]", "6,3:Source [D3]"};
        QTest::newRow("PULSE EXT5")
            << ":TRIGGER:PULSE:SOURCE EXT5;:TRIGGER:PULSE:LEVEL 0.5" << "TriggerMethod=PULSE"
            << QStringList{t50, ":TRIGGER:PULSE:SOURCE?", ":TRIGGER:PULSE:LEVEL?"}
            << QStringList{"TriggerPulseSource=EXT5", "TriggerPulseLevel=0.50div"}
            << QStringList{"6,8:Level [0.50div]", "6,3:Source [EXT5]"};
        QTest::newRow("PULSE on a user threshold")
            << ":TRIGGER:PULSE:SOURCE DIGITAL12;:LA:THRESHOLD 1.4V" << "TriggerMethod=PULSE"
            << QStringList{t50, ":TRIGGER:PULSE:SOURCE?", ":LA:THRESHOLD?"}
            << QStringList{"TriggerPulseSource=D12", "TriggerPulseLevel=1.40V"}
            << QStringList{"6,8:Level [1.40V]", "6,3:Source [D12]"};
        QTest::newRow("VIDEO EXT")
            << ":TRIGGER:VIDEO:SOURCE EXT;:TRIGGER:VIDEO:LEVEL 0.5" << "TriggerMethod=VIDEO"
            << QStringList{t50, ":TRIGGER:VIDEO:SOURCE?", ":TRIGGER:VIDEO:LEVEL?"}
            << QStringList{"TriggerVideoSource=EXT", "TriggerVideoLevel=2.50div"}
            << QStringList{"6,8:Level [2.50div]", "6,3:Source [EXT]"};
        QTest::newRow("SLOPE CH2")
            << ":TRIGGER:SLOPE:SOURCE CHANNEL2;:CHANNEL2:SCALE 2;:TRIGGER:SLOPE:LEVELA 1;"
               ":TRIGGER:SLOPE:LEVELB -1"
            << "TriggerMethod=SLOPE"
            << QStringList{t50, ":TRIGGER:SLOPE:SOURCE?", ":CHANNEL2:SCALE?", ":CHANNEL2:OFFSET?",
                           ":TRIGGER:SLOPE:LEVELA?", ":TRIGGER:SLOPE:LEVELB?"}
            << QStringList{"TriggerSlopeSource=CH2", "TriggerSlopeLevelA=-0.50div",
                           "TriggerSlopeLevelB=-1.50div"}
            << QStringList{"6,9:LevelA [-0.50div]", "6,10:LevelB [-1.50div]", "6,3:Source [CH2]"};
        QTest::newRow("ALTERNATIVE, CH1 SLOPE, CH2 VIDEO")
            << ":CHANNEL1:SCALE 0.5;:CHANNEL2:SCALE 0.2;:TRIGGER:ALTERNATION:SOURCE CHANNEL1;"
               ":TRIGGER:ALTERNATION:SLOPE:LEVELA 1;:TRIGGER:ALTERNATION:SLOPE:LEVELB 0.25;"
               ":TRIGGER:ALTERNATION:SOURCE CHANNEL2;:TRIGGER:ALTERNATION:VIDEO:LEVEL -0.1"
            << "TriggerMethod=ALTERNATIVE;AltCH1TrigType=SLOPE;AltCH2TrigType=VIDEO"
            << QStringList{t50, ":TRIGGER:ALTERNATION:SOURCE CHANNEL1", ":CHANNEL1:SCALE?",
                           ":CHANNEL1:OFFSET?", ":TRIGGER:ALTERNATION:SLOPE:LEVELA?",
                           ":TRIGGER:ALTERNATION:SLOPE:LEVELB?", ":TRIGGER:ALTERNATION:SOURCE CHANNEL2",
                           ":CHANNEL2:SCALE?", ":CHANNEL2:OFFSET?", ":TRIGGER:ALTERNATION:VIDEO:LEVEL?"}
            << QStringList{"AltCH1SlopeLevelA=5.00div", "AltCH1SlopeLevelB=3.50div",
                           "AltCH2VideoLevel=-10.50div"}
            << QStringList{"19,18:LevelA [5.00div]", "19,19:LevelB [3.50div]",
                           "20,17:Level [-10.50div]"};
        QTest::newRow("ALTERNATIVE, CH1 EDGE, CH2 PULSE")
            << ":CHANNEL1:SCALE 0.5;:CHANNEL2:SCALE 2;:TRIGGER:ALTERNATION:SOURCE CHANNEL1;"
               ":TRIGGER:ALTERNATION:EDGE:LEVEL 1;:TRIGGER:ALTERNATION:SOURCE CHANNEL2;"
               ":TRIGGER:ALTERNATION:PULSE:LEVEL -1"
            << "TriggerMethod=ALTERNATIVE;AltCH1TrigType=EDGE;AltCH2TrigType=PULSE"
            << QStringList{t50, ":TRIGGER:ALTERNATION:SOURCE CHANNEL1", ":CHANNEL1:SCALE?",
                           ":CHANNEL1:OFFSET?", ":TRIGGER:ALTERNATION:EDGE:LEVEL?",
                           ":TRIGGER:ALTERNATION:SOURCE CHANNEL2", ":CHANNEL2:SCALE?",
                           ":CHANNEL2:OFFSET?", ":TRIGGER:ALTERNATION:PULSE:LEVEL?"}
            << QStringList{"AltCH1EdgeLevel=5.00div", "AltCH2PulseLevel=-1.50div"}
            << QStringList{"19,17:Level [5.00div]", "20,17:Level [-1.50div]"};
        QTest::newRow("ALTERNATIVE, CH1 of no known type, CH2 still read")
            << ":CHANNEL2:SCALE 0.5;:TRIGGER:ALTERNATION:SOURCE CHANNEL2;"
               ":TRIGGER:ALTERNATION:EDGE:LEVEL 0.25"
            << "TriggerMethod=ALTERNATIVE;AltCH1TrigType=;AltCH1EdgeLevel=3.00div;"
               "AltCH2TrigType=EDGE"
            << QStringList{t50, ":TRIGGER:ALTERNATION:SOURCE CHANNEL1", ":CHANNEL1:SCALE?",
                           ":CHANNEL1:OFFSET?", ":TRIGGER:ALTERNATION:SOURCE CHANNEL2",
                           ":CHANNEL2:SCALE?", ":CHANNEL2:OFFSET?", ":TRIGGER:ALTERNATION:EDGE:LEVEL?"}
            << QStringList{"AltCH1EdgeLevel=3.00div", "AltCH2EdgeLevel=-3.50div"}
            << QStringList{"20,17:Level [-3.50div]"};
        QTest::newRow("PATTERN sends the action alone")
            << "" << "TriggerMethod=PATTERN" << QStringList{t50} << QStringList{} << QStringList{};
    }
    void setTrigTo50() {
        QFETCH(QString, setup);
        QFETCH(QString, mirror);
        QFETCH(QStringList, stream);
        QFETCH(QStringList, fields);
        QFETCH(QStringList, nodes);
        SendSetup(setup);
        const QStringList names = CtrlSettingsNames();
        auto values = CtrlSettingsValues(DSOSettings());
        for (const QString& pair : mirror.split(';', Qt::SkipEmptyParts))
            *values[names.indexOf(pair.section('=', 0, 0))] = pair.section('=', 1);
        BuildCtrlTree();
        QStringList unchanged = NodeTexts();
        QLocale::setDefault(QLocale(QLocale::German));
        PraseCtrlList("KV2200M\\Running Control\\Set Trig to 50%");
        QLocale::setDefault(QLocale::c());
        QueryCmd("*IDN?");  // every command has arrived
        QCOMPARE(sim.Log(), stream + QStringList{"*IDN?"});
        // One pause after each command sent, none after a query.
        const int sends = int(std::count_if(stream.begin(), stream.end(),
                                            [](const QString& c) { return !c.endsWith('?'); }));
        QCOMPARE(PauseService::Log(), QList<int>(sends, 100));
        for (const QString& f : fields)
            QCOMPARE(f.section('=', 0, 0) + "=" + *values[names.indexOf(f.section('=', 0, 0))], f);
        // The rewritten nodes show the new texts; every other node keeps its own.
        for (const QString& n : nodes) {
            QTreeWidgetItem* node = CtrlNode(n.section(',', 0, 0).toInt(),
                                             n.section(',', 1).section(':', 0, 0).toInt());
            QVERIFY2(node, qPrintable(n));
            QCOMPARE(node->text(0), n.section(':', 1));
            unchanged.removeIf([&](const QString& t) { return t.section(':', 0, 0) == n.section(':', 0, 0); });
        }
        for (const QString& t : unchanged) QVERIFY2(NodeTexts().contains(t), qPrintable(t));
        QCOMPARE(CtrlState().CtrlModified, false);
        QCOMPARE(dialogs, 0);
    }

    // The command alone; the LA Reset then reads back where the reset put
    // the logic channels, into the mirror and their rows.
    void plainActions_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("log");
        QTest::newRow("Force Trigger") << "KV2200M\\Running Control\\Force Trigger" << QStringList{":FORCETRIG"};
        QTest::newRow("LA Reset") << "KV2200M\\LA\\Reset" << QStringList{":LA:POSITION:RESET", ":LA:LOCATION?"};
        QTest::newRow("Display Clear") << "KV2200M\\Display\\Clear" << QStringList{":DISPLAY:CLEAR"};
    }
    void plainActions() {
        QFETCH(QString, path);
        QFETCH(QStringList, log);
        Link().LAPresent = true;
        for (int k = 1; k <= 16; ++k) DSOSettings().LAChannelPosition[k] = "0";
        // What the mirror and the tree hold after the action.
        CtrlSettings expected = DSOSettings();
        if (log.size() > 1) ApplyLaLocation(expected, sim.Get(":LA:LOCATION"));
        const CtrlSettings before = DSOSettings();
        DSOSettings() = expected;
        BuildCtrlTree();
        const QStringList nodes = NodeTexts();
        DSOSettings() = before;
        BuildCtrlTree();
        PraseCtrlList(path);
        Link().LAPresent = false;
        QueryCmd("*IDN?");
        QCOMPARE(sim.Log(), log << "*IDN?");
        QCOMPARE(PauseService::Log(), QList<int>{100});
        QCOMPARE(CtrlState().CtrlEditKey, QString(" "));
        QVERIFY(DSOSettings() == expected);
        QCOMPARE(NodeTexts(), nodes);
        QCOMPARE(CtrlState().CtrlModified, false);
        QCOMPARE(dialogs, 0);
        QVERIFY(LinkFixture::ShownTexts().isEmpty());
    }

    // Auto Set: the command, the hourglass during the 4 s pause, then the
    // download of all settings through the transfer window.
    void autoSetThenDownload() {
        DSOSettings().CH1Invert = ValueWord(vwOn);
        DSOSettings().CH1Scale = "5.00V";
        bool hourglass = false;
        const auto download = TransferUi().DownloadSettings;
        TransferUi().DownloadSettings = [&] {
            hourglass = MouseControl::Cursor() == MouseControl::PointerHourglass;
            download();
        };
        PraseCtrlList("KV2200M\\Running Control\\Auto Set");
        TransferUi().DownloadSettings = download;
        const QStringList log = sim.Log();
        QCOMPARE(log.mid(0, 2), (QStringList{":AUTO", ":TRIGGER:STATUS?"}));
        QVERIFY(log.contains(":CHANNEL1:SCALE?"));
        QCOMPARE(PauseService::Log().mid(0, 2), (QList<int>{100, 4000}));
        QVERIFY(hourglass);
        QCOMPARE(MouseControl::Cursor(), int(MouseControl::PointerDefault));
        // The mirror holds what Auto Set chose.
        QCOMPARE(DSOSettings().CH1Scale, FormatVolt(sim.Get(":CHANNEL1:SCALE")));
        QVERIFY(DSOSettings().CH1Scale != "5.00V");
        QCOMPARE(DSOSettings().CH1Invert, ValueWord(vwOff));
        QCOMPARE(CtrlState().CtrlModified, true);
    }

    // The road of one edit: a click records the node, a double click runs the
    // dispatcher, the setting dialog applies, the path is cleared.
    void treeDoubleClickEditsAndActs() {
        BindControllerCommands();
        const auto recorder = EditShow().ShowCtrlDialog;
        EditShow().ShowCtrlDialog = nullptr;
        BuildCtrlTree();
        frmCtrlList* form = CtrlListForm();
        form->CtrlTreeView_NodeClick(CtrlNode(CtrlGroup::Display, 5));
        QCOMPARE(CtrlState().SelectedNodePath, QString("KV2200M\\Display\\Grid [FULL]"));
        bool shown = false;
        QTimer::singleShot(0, [&] {
            auto* d = qobject_cast<CtrlDialog*>(QApplication::activeModalWidget());
            if (!d) return;
            shown = true;
            QCOMPARE(d->Combo->currentText(), QString("FULL"));
            d->Combo->setCurrentText("HALF");
            d->cmdOK_Click();
        });
        form->CtrlTreeView_DblClick();
        EditShow().ShowCtrlDialog = recorder;
        QVERIFY(shown);
        QCOMPARE(CtrlState().CtrlEditKey, QString("DisplayGrid"));
        QCOMPARE(CtrlState().SelectedNodePath, QString());
        QCOMPARE(DSOSettings().DisplayGrid, QString("HALF"));
        QCOMPARE(CtrlNode(CtrlGroup::Display, 5)->text(0), QString("Grid [HALF]"));
        QueryCmd("*IDN?");  // every command has arrived
        QVERIFY(sim.Log().contains(":DISPLAY:GRID HALF"));

        sim.ClearLog();
        form->CtrlTreeView_NodeClick(CtrlNode(CtrlGroup::Display, 4));
        form->CtrlTreeView_DblClick();
        QueryCmd("*IDN?");
        QCOMPARE(sim.Log(), (QStringList{":DISPLAY:CLEAR", "*IDN?"}));
        QCOMPARE(CtrlState().SelectedNodePath, QString());
    }

    // Time/Div asks the instrument for its format to choose the list; the
    // other rows send nothing while they are prepared.
    void timeDivFollowsFormat_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("first");
        QTest::addColumn<int>("selected");
        QTest::newRow("X-Y") << "XY" << 13 << "1.000us" << 3;
        QTest::newRow("Y-T, class 0") << "YT" << 29 << "20.00ns" << 8;
    }
    void timeDivFollowsFormat() {
        QFETCH(QString, format);
        QFETCH(int, count);
        QFETCH(QString, first);
        QFETCH(int, selected);
        Link().BandwidthClass = 0;
        SendSetup(":TIMEBASE:FORMAT " + format);
        const EditPrep e = PrepareEdit("KV2200M\\Time Base\\Time/Div [10.00us]");
        QCOMPARE(sim.Log(), QStringList{":TIMEBASE:FORMAT?"});
        QCOMPARE(e.Choices.size(), count);
        QCOMPARE(e.Choices.first(), first);
        QCOMPARE(e.Selected, selected);
        QCOMPARE(e.Choices[e.Selected], QString("10.00us"));

        sim.ClearLog();
        for (const char* path : {"KV2200M\\Trigger\\Level [0.00div]", "KV2200M\\CH1\\Offset [0.00mV]",
                                 "KV2200M\\Trigger\\Source [CH1]"})
            PraseCtrlList(path);
        QueryCmd("*IDN?");
        QCOMPARE(sim.Log(), QStringList{"*IDN?"});
        QCOMPARE(dialogs, 3);
    }
};

QTEST_MAIN(EditActionSimTest)
#include "tst_editactionsim.moc"
