// The setting dialog's apply and the coarse/fine OK against the simulated
// instrument, through the real command layer over the USB transport: for one
// row of every branch family, the instrument's state, the command stream and
// its pauses, the mirror, the node text and the modified flag.
#include <QtTest>

#include <QTreeWidget>

#include "LinkFixture.h"
#include "Simulator.h"
#include "TestEnv.h"
#include "common/DSOSettings.h"
#include "common/Pause.h"
#include "common/ShellState.h"
#include "controller/CtrlState.h"
#include "controller/CtrlTree.h"
#include "controller/CtrlValueNames.h"
#include "controller/SettingsTransfer.h"
#include "editors/AdjustLogic.h"
#include "editors/CtrlApply.h"
#include "editors/EditDispatch.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/ReplyParse.h"
#include "link/TransferJobs.h"
#include "link/UsbFunc.h"
#include "link/Vocabulary.h"
#include "platform/dialogs/MsgBox.h"
#include "shell/frmPrgress.h"

namespace {
// "{w:N}" is ValueWords entry N and "{l:N}" ControllerLabels entry N in the
// language of the row.
QString words(QString text) {
    static const QRegularExpression re("\\{([wl]):(\\d+)\\}");
    QRegularExpressionMatch m;
    while ((m = re.match(text)).hasMatch()) {
        const int i = m.captured(2).toInt();
        text.replace(m.capturedStart(), m.capturedLength(),
                     m.captured(1) == "w" ? ValueWord(i) : ControllerLabel(i));
    }
    return text;
}

QString* field(CtrlSettings& s, const QString& name) {
    const QStringList names = CtrlSettingsNames();
    const auto values = CtrlSettingsValues(s);
    const int i = names.indexOf(name);
    return i < 0 ? nullptr : values[size_t(i)];
}

QTreeWidgetItem* node(const QString& at) {
    return CtrlNode(at.section(',', 0, 0).toInt(), at.section(',', 1).toInt());
}
QString nodeText_(const QString& at) {
    const QTreeWidgetItem* n = node(at);
    return n ? n->text(0) : QString("(no node)");
}

}  // namespace

class CtrlApplyTest : public QObject {
    Q_OBJECT
    Simulator sim;

private slots:
    void initTestCase() {
        QVERIFY(LinkFixture::StartUsbSimulator(sim));
        Link().LAPresent = true;  // the tree holds its LA group
        InstallSettingsTransferJobs();
        InstallTransferWindow();
    }
    void init() {
        TestEnv::UseLanguage(LangEnglish);
        QVERIFY(LinkFixture::ReconnectUsb(sim));
        LinkFixture::ResetInstrument(sim);
        PauseService::ClearLog();
        MsgBoxService::ClearLog();
        CtrlState().CtrlModified = false;
    }
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void cleanupTestCase() { LinkFixture::StopSimulator(sim); }

    void applyRow_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("setup");     // "Field=value;..." in the mirror, then
        QTest::addColumn<QString>("simSetup");  // commands to the instrument first
        QTest::addColumn<QString>("key");       // "{l:..}" labels; "adjust1/2" = coarse/fine OK
        QTest::addColumn<QString>("combo");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("sent");  // after "*IDN?"
        QTest::addColumn<QList<int>>("pauses");
        QTest::addColumn<QString>("fieldName");
        QTest::addColumn<QString>("fieldValue");
        QTest::addColumn<QString>("nodeAt");    // "group,item"
        QTest::addColumn<QString>("nodeText");
        QTest::addColumn<QString>("simKey");    // instrument setting and its answer
        QTest::addColumn<QString>("simValue");
        QTest::addColumn<QString>("rebuilt");   // "group,item=text" of a row the rebuild adds

        const QString en = "";
        // Channels.
        QTest::newRow("CH1 offset") << 1 << en << "" << "{l:6}{l:9}" << "" << "0.5" << ""
            << QStringList{":CHANNEL1:OFFSET 0.5", ":CHANNEL1:OFFSET?", ":TRIGGER:EDGE:SOURCE?",
                           ":CHANNEL1:SCALE?", ":CHANNEL1:OFFSET?", ":TRIGGER:EDGE:LEVEL?"}
            << QList<int>{100, 200}
            << "CH1Offset" << "500mV" << "2,4" << "Offset [500mV]"
            << ":CHANNEL1:OFFSET" << "5.000e-01" << QString();
        QTest::newRow("CH2 offset, decimal comma") << -1 << en << "" << "{l:7}{l:9}" << ""
            << "-0,25" << ""
            << QStringList{":CHANNEL2:OFFSET -0.25", ":CHANNEL2:OFFSET?", ":TRIGGER:EDGE:SOURCE?"}
            << QList<int>{100, 200}
            << "CH2Offset" << "-250mV" << "3,4" << "Offset [-250mV]"
            << ":CHANNEL2:OFFSET" << "-2.500e-01" << QString();
        QTest::newRow("CH1 probe") << 1 << en << "" << "{l:6}{l:12}" << "10X" << "" << ""
            << QStringList{":CHANNEL1:PROBE 10", ":CHANNEL1:SCALE?", ":CHANNEL1:OFFSET?",
                           ":TRIGGER:EDGE:SOURCE?", ":CHANNEL1:SCALE?", ":CHANNEL1:OFFSET?",
                           ":TRIGGER:EDGE:LEVEL?"}
            << QList<int>{100, 200} << "CH1Probe" << "10X" << "2,7" << "Probe [10X]"
            << ":CHANNEL1:PROBE" << "10X" << QString();
        QTest::newRow("CH2 display, Chinese") << 0 << en << "" << "{l:7}{l:5}" << "{w:3}" << ""
            << "" << QStringList{":CHANNEL2:DISPLAY OFF", ":CHANNEL2:DISPLAY?"}
            << QList<int>{100} << "CH2Display" << "{w:3}" << "3,2" << "{l:5} [{w:3}]"
            << ":CHANNEL2:DISPLAY" << "OFF" << QString();
        QTest::newRow("run state") << 1 << en << "" << "{l:1}" << "STOP" << "" << ""
            << QStringList{":STOP", ":TIMEBASE:FORMAT?"} << QList<int>{100} << "RunStop"
            << "STOP" << "1,2" << "Run|Stop [STOP]" << ":TRIGGER:STATUS" << "STOP" << QString();
        QTest::newRow("run state in the roll format") << 1 << en
            << ":TIMEBASE:FORMAT SCANNING;:TIMEBASE:SCALE 0.5" << "{l:1}" << "RUN" << "" << ""
            << QStringList{":RUN", ":TIMEBASE:FORMAT?", ":TIMEBASE:SCALE?"} << QList<int>{100}
            << "TimeBaseScale" << "500.0ms" << "5,15" << "Time/Div [500.0ms]" << "" << ""
            << QString();
        // Logic analyser.
        QTest::newRow("LA threshold user") << 1 << en << "" << "{l:14}{l:17}" << "USER" << "1.4"
            << "" << QStringList{":LA:THRESHOLD 1.4V", ":LA:THRESHOLD?"} << QList<int>{100, 100}
            << "LAThreshold" << "1.40V" << "4,11" << "Threshold [1.40V]"
            << ":LA:THRESHOLD" << "User 1.400e+00" << QString();
        QTest::newRow("LA display D3") << 1 << "LAChannelDisplay(1)=ON" << "" << "{l:14}{l:5}"
            << "ON" << "" << "KV2200M\\LA\\Display\\D3 [OFF]"
            << QStringList{":DIGITAL3:TURN ON", ":LA:DISPLAY ON"} << QList<int>{100, 100}
            << "LAChannelDisplay(13)" << "ON" << "9,17" << "D3 [ON]" << ":LA:DISPLAY" << "ON" << QString();
        QTest::newRow("LA display D15-D8 on") << 1 << en << "" << "{l:14}{l:5}" << "ON" << ""
            << "KV2200M\\LA\\Display\\D15-D8 [OFF]"
            << QStringList{":LA:GROUP2 ON", ":LA:DISPLAY ON"} << QList<int>{100, 100}
            << "LAChannelDisplay(8)" << "ON" << "9,12" << "D8 [ON]" << ":LA:DISPLAY" << "ON"
            << QString();
        QTest::newRow("LA display, last channel off")
            << 1 << "LAChannelDisplay(13)=ON;LAGroupLowDisplay=OFF;LADisplay=ON"
            << ":DIGITAL3:TURN ON;:LA:DISPLAY ON" << "{l:14}{l:5}" << "OFF" << ""
            << "KV2200M\\LA\\Display\\D3 [ON]"
            << QStringList{":DIGITAL3:TURN OFF", ":LA:DISPLAY OFF"} << QList<int>{100, 100}
            << "LADisplay" << "OFF" << "9,17" << "D3 [OFF]" << ":LA:DISPLAY" << "OFF"
            << QString();
        QTest::newRow("LA position D15") << 1 << en << "" << "{l:14}{l:15}" << "7" << ""
            << "KV2200M\\LA\\Position\\D15 [0]" << QStringList{":DIGITAL15:POSITION 7"}
            << QList<int>{100} << "LAChannelPosition(1)" << "7" << "10,5" << "D15 [7]"
            << "" << "" << QString();
        // Time base.
        QTest::newRow("delay") << 1 << en << "" << "{l:18}{l:20}" << "" << "0.0005" << ""
            << QStringList{":TIMEBASE:OFFSET 0.5MS", ":TIMEBASE:OFFSET?"} << QList<int>{100, 100}
            << "TimeBaseOffset" << "500.00us" << "5,16" << "Delay [500.00us]"
            << ":TIMEBASE:OFFSET" << "5.000e-04" << QString();
        QTest::newRow("time/div") << 1 << en << "" << "{l:18}{l:19}" << "10.00us" << "" << ""
            << QStringList{":TIMEBASE:SCALE 10.00US", ":TIMEBASE:SCALE?", ":TIMEBASE:OFFSET?"}
            << QList<int>{100} << "TimeBaseScale" << "10.00us" << "5,15" << "Time/Div [10.00us]"
            << ":TIMEBASE:SCALE" << "1.000e-05" << QString();
        QTest::newRow("format roll") << 1 << en << "" << "{l:18}{l:23}" << "Roll" << "" << ""
            << QStringList{":TIMEBASE:FORMAT SCANNING", ":TIMEBASE:FORMAT?", ":TIMEBASE:SCALE?",
                           ":TIMEBASE:OFFSET?"}
            << QList<int>{100, 100} << "TimeBaseFormat" << "Roll" << "5,18" << "Format [Roll]"
            << ":TIMEBASE:FORMAT" << "SCANNING" << QString();
        QTest::newRow("alternation CH2 time/div") << 1 << "TriggerMethod=ALTERNATIVE" << "" << "{l:18}{l:7}{l:19}"
            << "10.00us" << "" << ""
            << QStringList{":TRIGGER:ALTERNATION:SOURCE CHANNEL2",
                           ":TRIGGER:ALTERNATION:TIMESCALE 10.00US",
                           ":TRIGGER:ALTERNATION:TIMESCALE?"}
            << QList<int>{100, 50, 100, 50} << "AltCH2TimeBaseScale" << "10.00us" << "14,15"
            << "Time/Div [10.00us]" << ":TRIGGER:ALTERNATION:TIMESCALE" << "1.000e-05" << QString();
        // Trigger method and common settings.
        QTest::newRow("method PULSE") << 1 << en << "" << "{l:24}{l:25}" << "PULSE" << "" << ""
            << QStringList{":TRIGGER:MODE PULSE", ":TRIGGER:PULSE:SOURCE?", ":CHANNEL1:SCALE?",
                           ":CHANNEL1:OFFSET?", ":TRIGGER:PULSE:MODE?", ":TRIGGER:PULSE:WIDTH?",
                           ":TRIGGER:PULSE:SWEEP?", ":TRIGGER:PULSE:COUPLING?",
                           ":TRIGGER:PULSE:LEVEL?", ":TRIGGER:PULSE:SENSITIVITY?",
                           ":TRIGGER:HOLDOFF?"}
            << QList<int>{100} << "TriggerPulseWidth" << "1.00us" << "6,2" << "Method [PULSE]"
            << ":TRIGGER:MODE" << "PULSE" << "6,5=Pulse width [1.00us]";
        QTest::newRow("method ALTERNATIVE") << 1 << "TimeBaseFormat=Roll" << "" << "{l:24}{l:25}"
            << "ALTERNATIVE" << "" << ""
            << QStringList{":TRIGGER:MODE ALTERNATION", ":CHANNEL1:SCALE?", ":CHANNEL1:OFFSET?",
                           ":TRIGGER:ALTERNATION:SOURCE CHANNEL1",
                           ":TRIGGER:ALTERNATION:EDGE:SLOPE?", ":TRIGGER:ALTERNATION:EDGE:COUPLING?",
                           ":TRIGGER:ALTERNATION:EDGE:LEVEL?", ":TRIGGER:ALTERNATION:EDGE:HOLDOFF?",
                           ":TRIGGER:ALTERNATION:EDGE:SENSITIVITY?", ":CHANNEL2:SCALE?",
                           ":CHANNEL2:OFFSET?", ":TRIGGER:ALTERNATION:SOURCE CHANNEL2",
                           ":TRIGGER:ALTERNATION:EDGE:SLOPE?", ":TRIGGER:ALTERNATION:EDGE:COUPLING?",
                           ":TRIGGER:ALTERNATION:EDGE:LEVEL?", ":TRIGGER:ALTERNATION:EDGE:HOLDOFF?",
                           ":TRIGGER:ALTERNATION:EDGE:SENSITIVITY?"}
            << QList<int>{100, 100, 100} << "TimeBaseFormat" << "Y-T" << "6,2"
            << "Method [ALTERNATIVE]" << ":TRIGGER:MODE" << "ALTERNATION"
            << "19,5=Trig type [EDGE]";
        QTest::newRow("EDGE mode") << 1 << en << "" << "{l:24}{l:28}" << "NORMAL" << "" << ""
            << QStringList{":TRIGGER:EDGE:SWEEP NORMAL"} << QList<int>{100} << "TriggerEdgeSweep"
            << "NORMAL" << "6,5" << "Mode [NORMAL]" << ":TRIGGER:EDGE:SWEEP" << "NORMAL" << QString();
        QTest::newRow("EDGE source D3") << 1 << en << "" << "{l:24}{l:26}" << "D3" << "" << ""
            << QStringList{":TRIGGER:EDGE:SOURCE DIGITAL3", ":LA:THRESHOLD?"} << QList<int>{100}
            << "TriggerEdgeSource" << "D3" << "6,3" << "Source [D3]"
            << ":TRIGGER:EDGE:SOURCE" << "D3" << "6,6=(no node)";
        QTest::newRow("EDGE level, source EXT") << 1 << en << ":TRIGGER:EDGE:SOURCE EXT"
            << "{l:24}{l:66}" << "1.50div" << "" << ""
            << QStringList{":TRIGGER:EDGE:SOURCE?", ":TRIGGER:EDGE:LEVEL .3"} << QList<int>{100}
            << "TriggerEdgeLevel" << "1.50div" << "6,7" << "Level [1.50div]"
            << ":TRIGGER:EDGE:LEVEL" << "3.000e-01" << QString();
        QTest::newRow("SLOPE holdoff") << 1 << "TriggerMethod=SLOPE" << "" << "{l:24}{l:21}" << ""
            << "0.0005" << "" << QStringList{":TRIGGER:HOLDOFF 0.5MS", ":TRIGGER:HOLDOFF?"}
            << QList<int>{100, 100} << "TriggerHoldoff" << "500us" << "6,12"
            << "Holdoff [500us]" << ":TRIGGER:HOLDOFF" << "5.000e-04" << QString();
        QTest::newRow("PULSE width") << 1 << "TriggerMethod=PULSE" << "" << "{l:24}{l:34}" << ""
            << "0.000001" << "" << QStringList{":TRIGGER:PULSE:WIDTH 1.0US", ":TRIGGER:PULSE:WIDTH?"}
            << QList<int>{100} << "TriggerPulseWidth" << "1.00us" << "6,5"
            << "Pulse width [1.00us]" << ":TRIGGER:PULSE:WIDTH" << "1.000e-06" << QString();
        QTest::newRow("VIDEO standard") << 1 << "TriggerMethod=VIDEO" << "" << "{l:24}{l:32}"
            << "PAL/SECAM" << "" << ""
            << QStringList{":TRIGGER:VIDEO:STANDARD PALSECAM", ":TRIGGER:VIDEO:LINE?"}
            << QList<int>{100, 100} << "TriggerVideoStandard" << "PAL/SECAM" << "6,7"
            << "Video Standard [PAL/SECAM]" << ":TRIGGER:VIDEO:STANDARD" << "PAL/SECAM" << QString();
        QTest::newRow("SLOPE level A") << 1 << "TriggerMethod=SLOPE" << "" << "{l:24}{l:67}"
            << "0.20div" << "" << ""
            << QStringList{":TRIGGER:SLOPE:SOURCE?", ":CHANNEL1:SCALE?", ":CHANNEL1:OFFSET?",
                           ":TRIGGER:SLOPE:LEVELA -1.3"}
            << QList<int>{100} << "TriggerSlopeLevelA" << "0.20div" << "6,9" << "LevelA [0.20div]"
            << ":TRIGGER:SLOPE:LEVELA" << "-1.300e+00" << QString();
        QTest::newRow("PATTERN mode") << 1 << "TriggerMethod=PATTERN" << "" << "{l:24}{l:28}"
            << "SINGLE" << "" << "" << QStringList{":TRIGGER:PATTERN:SWEEP SINGLE"}
            << QList<int>{100} << "TriggerPatternSweep" << "SINGLE" << "6,22" << "Mode [SINGLE]"
            << ":TRIGGER:PATTERN:SWEEP" << "SINGLE" << QString();
        QTest::newRow("DURATION time") << 1 << "TriggerMethod=DURATION" << "" << "{l:24}{l:65}"
            << "" << "0.002" << "" << QStringList{":TRIGGER:DURATION:TIME 0.002S",
                                                  ":TRIGGER:DURATION:TIME?"}
            << QList<int>{100, 100} << "TriggerDurationTime" << "2.00ms" << "6,23"
            << "Duration time [2.00ms]" << ":TRIGGER:DURATION:TIME" << "2.000e-03" << QString();
        // Code bits.
        QTest::newRow("pattern D3 low") << 1 << "TriggerMethod=PATTERN" << "" << "{l:24}{l:39}{l:57}"
            << "L" << "" << "" << QStringList{":TRIGGER:PATTERN:PATTERN 65527,65535"}
            << QList<int>{100} << "TriggerPatternCode(13)" << "L" << "21,17" << "D3 [L]"
            << ":TRIGGER:PATTERN:PATTERN" << "65527,65535,None" << QString();
        QTest::newRow("pattern D7 falling clears the D5 edge")
            << 1 << "TriggerMethod=PATTERN;TriggerPatternCode(11)={l:43}" << ""
            << "{l:24}{l:39}{l:53}" << "{l:44}" << "" << ""
            << QStringList{":TRIGGER:PATTERN:PATTERN 65375,65503,7,0"} << QList<int>{100}
            << "TriggerPatternCode(11)" << "X" << "21,15" << "D5 [X]" << "" << "" << QString();
        QTest::newRow("duration D0 X, Chinese") << 0 << "TriggerMethod={w:11}" << ""
            << "{l:24}{l:39}{l:60}" << "X" << "" << ""
            << QStringList{":TRIGGER:DURATION:PATTERN 65534,65534"} << QList<int>{100}
            << "TriggerDurationCode(16)" << "X" << "21,20" << "D0 [X]"
            << ":TRIGGER:DURATION:PATTERN" << "65534,65534,None" << QString();
        // Alternation.
        QTest::newRow("alternation CH1 holdoff") << 1 << "TriggerMethod=ALTERNATIVE;AltCH1TrigType=EDGE" << ""
            << "{l:24}{l:6}{l:21}" << "" << "0.000002" << ""
            << QStringList{":TRIGGER:ALTERNATION:SOURCE CHANNEL1",
                           ":TRIGGER:ALTERNATION:EDGE:HOLDOFF 0.002MS",
                           ":TRIGGER:ALTERNATION:EDGE:HOLDOFF?"}
            << QList<int>{100, 50, 100, 50} << "AltCH1EdgeHoldoff" << "2.00us" << "19,21"
            << "Holdoff [2.00us]" << ":TRIGGER:ALTERNATION:EDGE:HOLDOFF" << "2.000e-06" << QString();
        QTest::newRow("alternation CH2 slope coupling") << 1 << "TriggerMethod=ALTERNATIVE;AltCH2TrigType=SLOPE" << ""
            << "{l:24}{l:7}{l:10}" << "HF" << "" << ""
            << QStringList{":TRIGGER:ALTERNATION:SOURCE CHANNEL2",
                           ":TRIGGER:ALTERNATION:SLOPE:COUPLING HF"}
            << QList<int>{100, 100, 100} << "AltCH2SlopeCoupling" << "HF" << "20,16"
            << "Coupling [HF]" << ":TRIGGER:ALTERNATION:SLOPE:COUPLING" << "HF" << QString();
        QTest::newRow("alternation CH1 video standard")
            << 1 << "TriggerMethod=ALTERNATIVE;AltCH1TrigType=VIDEO"
            << ":TRIGGER:ALTERNATION:SOURCE CHANNEL1;:TRIGGER:ALTERNATION:VIDEO:LINE 300"
            << "{l:24}{l:6}{l:32}" << "PAL/SECAM" << "" << ""
            << QStringList{":TRIGGER:ALTERNATION:SOURCE CHANNEL1",
                           ":TRIGGER:ALTERNATION:VIDEO:STANDARD PALSECAM",
                           ":TRIGGER:ALTERNATION:VIDEO:LINE?"}
            << QList<int>{100, 100, 100, 100} << "AltCH1VideoLine" << "300" << "19,14"
            << "Line number [300]" << ":TRIGGER:ALTERNATION:VIDEO:STANDARD" << "PAL/SECAM"
            << QString();
        QTest::newRow("alternation CH2 trig type") << 1 << "TriggerMethod=ALTERNATIVE;AltCH2TrigType=EDGE" << ""
            << "{l:24}{l:7}{l:38}" << "PULSE" << "" << ""
            << QStringList{":CHANNEL2:SCALE?", ":CHANNEL2:OFFSET?",
                           ":TRIGGER:ALTERNATION:SOURCE CHANNEL2", ":TRIGGER:ALTERNATION:PULSE:MODE?", ":TRIGGER:ALTERNATION:PULSE:TIME?",
                           ":TRIGGER:ALTERNATION:PULSE:COUPLING?",
                           ":TRIGGER:ALTERNATION:PULSE:LEVEL?",
                           ":TRIGGER:ALTERNATION:PULSE:HOLDOFF?",
                           ":TRIGGER:ALTERNATION:PULSE:SENSITIVITY?",
                           ":TRIGGER:ALTERNATION:TYPE PULSE"}
            << QList<int>{100, 100} << "AltCH2PulseHoldoff" << "500ns" << "20,5"
            << "Trig type [PULSE]" << ":TRIGGER:ALTERNATION:TYPE" << "PULSE"
            << "20,8=Pulse width [1.00us]";
        // Acquire and display.
        QTest::newRow("sampling mode") << 1 << en << "" << "{l:70}{l:71}" << "EQUAL_TIME" << ""
            << "" << QStringList{":ACQUIRE:MODE ETIME", ":ACQUIRE:MODE?"} << QList<int>{100, 50}
            << "AcquireSampling" << "EQUAL_TIME" << "7,3" << "Sampling Mode [EQUAL_TIME]"
            << ":ACQUIRE:MODE" << "EQUAL_TIME" << QString();
        QTest::newRow("acquisition") << 1 << en << "" << "{l:70}{l:73}" << "AVERAGE" << "" << ""
            << QStringList{":ACQUIRE:TYPE AVERAGE"} << QList<int>{100} << "AcquireType"
            << "AVERAGE" << "7,2" << "Acquisition [AVERAGE]" << ":ACQUIRE:TYPE" << "AVERAGE"
            << "7,5=Averages [16]";
        QTest::newRow("display type, Chinese") << 0 << en << "" << "{l:77}{l:78}" << "{w:51}" << ""
            << "" << QStringList{":DISPLAY:TYPE DOTS", ":DISPLAY:TYPE?"} << QList<int>{100}
            << "DisplayType" << "{w:51}" << "8,2" << "{l:78} [{w:51}]" << ":DISPLAY:TYPE"
            << "DOTS" << QString();
        QTest::newRow("grid") << 1 << en << "" << "{l:77}{l:80}" << "NONE" << "" << ""
            << QStringList{":DISPLAY:GRID NONE"} << QList<int>{100} << "DisplayGrid" << "NONE"
            << "8,5" << "Grid [NONE]" << ":DISPLAY:GRID" << "NONE" << QString();
        // Coarse/fine OK (no presence check).
        QTest::newRow("coarse/fine CH2") << 1 << "CH2Probe=100X" << "" << "adjust2" << ""
            << "5.00V" << "" << QStringList{":CHANNEL2:PROBE 100", ":CHANNEL2:SCALE 5",
                                           ":CHANNEL2:OFFSET?", ":TRIGGER:EDGE:SOURCE?"}
            << QList<int>{100, 100, 200} << "CH2Scale" << "5.00V" << "3,3" << "Volt/Div [5.00V]"
            << ":CHANNEL2:SCALE" << "5.000e+00" << QString();
    }
    void applyRow() {
        QFETCH(int, language);
        QFETCH(QString, setup);
        QFETCH(QString, simSetup);
        QFETCH(QString, key);
        QFETCH(QString, combo);
        QFETCH(QString, input);
        QFETCH(QString, path);
        QFETCH(QStringList, sent);
        QFETCH(QList<int>, pauses);
        QFETCH(QString, fieldName);
        QFETCH(QString, fieldValue);
        QFETCH(QString, nodeAt);
        QFETCH(QString, nodeText);
        QFETCH(QString, simKey);
        QFETCH(QString, simValue);
        QFETCH(QString, rebuilt);

        // -1: English texts, a German user typing with a decimal comma.
        TestEnv::UseLanguage(language < 0 ? LangEnglish : language);
        if (language < 0) QLocale::setDefault(QLocale(QLocale::German));
        SetDefaultCtrlSettings();
        for (const QString& a : words(setup).split(';', Qt::SkipEmptyParts)) {
            QString* f = field(DSOSettings(), a.section('=', 0, 0));
            QVERIFY2(f, qPrintable(a));
            *f = a.section('=', 1);
        }
        BuildCtrlTree();
        for (const QString& c : simSetup.split(';', Qt::SkipEmptyParts)) SendCmd(c);
        QueryCmd("*IDN?");
        sim.ClearLog();
        PauseService::ClearLog();

        if (key.startsWith("adjust")) {
            QCOMPARE(ApplyAdjust(input, key.endsWith('2') ? 1 : 0), AdjustEnd::Applied);
        } else {
            QCOMPARE(ApplyCtrlEdit({words(key), words(combo), input, path}), ApplyEnd::Applied);
            sent.prepend("*IDN?");
        }
        QCOMPARE(PauseService::Log(), pauses);
        QueryCmd("*IDN?");  // its reply means every command before it has arrived
        sent << "*IDN?";
        QCOMPARE(sim.Log(), sent);
        QVERIFY(MsgBoxService::Log().isEmpty());

        QString* f = field(DSOSettings(), fieldName);
        QVERIFY(f);
        QCOMPARE(*f, words(fieldValue));
        QCOMPARE(nodeText_(nodeAt), words(nodeText));
        QVERIFY(CtrlState().CtrlModified);
        if (!rebuilt.isEmpty()) {
            // The tree was rebuilt in its new shape, the edited row selected.
            QCOMPARE(nodeText_(rebuilt.section('=', 0, 0)), rebuilt.section('=', 1));
            QCOMPARE(CtrlTreeWidget()->currentItem(), node(nodeAt));
        }
        if (!simKey.isEmpty()) QCOMPARE(sim.Get(simKey), simValue);
        // The instrument holds what the mirror shows: a download of all
        // settings gives the edited setting the same text.
        const QString shown = *f;
        LastSettingsTransfer().DownloadCommitted = false;
        QVERIFY(RunTransfer(JobDownload, "Data Downloading...", true));
        QVERIFY(LastSettingsTransfer().DownloadCommitted);
        const QString downloaded = *field(DSOSettings(), fieldName);
        if (downloaded != shown) {
            // The download writes the delay with four digits, the edit with
            // five: the same time.
            const ParsedValue a = ParseTimeChecked(shown);
            const ParsedValue b = ParseTimeChecked(downloaded);
            QVERIFY2(a.valid && b.valid && b.value == a.value,
                     qPrintable(downloaded + " after a download, " + shown + " before"));
        }
    }

    // The instrument keeps its trigger level in volts: after a channel's
    // offset or volts per division changed, the level rows that follow that
    // channel show where the level now is, and an upload leaves it there,
    // sent in its shortest form. (Instrument: CH1 1 V/div at 1.5 V, CH2
    // 1 V/div at -2 V, every level at 0 V.)
    void uploadKeepsTheLevelAfterAChannelApply_data() {
        QTest::addColumn<QString>("simSetup");
        QTest::addColumn<QString>("key");  // "{l:..}" labels; "adjustN" = coarse/fine OK of CHn
        QTest::addColumn<QString>("combo");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QStringList>("before");  // "group,item:text" after the download
        QTest::addColumn<QStringList>("after");   // the same after the apply
        QTest::addColumn<QStringList>("levels");  // the upload's level commands
        QTest::addColumn<QStringList>("kept");    // the instrument's "setting=answer" after it
        const QString edge0 = ":TRIGGER:EDGE:LEVEL=0.000e+00";
        QTest::newRow("EDGE, CH1 offset to 0") << "" << "{l:6}{l:9}" << "" << "0"
            << QStringList{"6,7:Level [1.50div]"} << QStringList{"6,7:Level [0.00div]"}
            << QStringList{":TRIGGER:EDGE:LEVEL 0"} << QStringList{edge0};
        QTest::newRow("EDGE, CH1 coarse/fine to 2 V") << "" << "adjust1" << "" << "2.00V"
            << QStringList{"6,7:Level [1.50div]"} << QStringList{"6,7:Level [0.75div]"}
            << QStringList{":TRIGGER:EDGE:LEVEL 0"} << QStringList{edge0};
        QTest::newRow("EDGE at -60 mV, CH1 probe: no noise digits")
            << ":TRIGGER:EDGE:LEVEL -0.06" << "{l:6}{l:12}" << "10X" << ""
            << QStringList{"6,7:Level [1.44div]"} << QStringList{"6,7:Level [1.44div]"}
            << QStringList{":TRIGGER:EDGE:LEVEL -.06"} << QStringList{":TRIGGER:EDGE:LEVEL=-6.000e-02"};
        QTest::newRow("SLOPE, CH1 offset to -0.5") << ":TRIGGER:MODE SLOPE;:TRIGGER:SLOPE:LEVELA 0"
            << "{l:6}{l:9}" << "" << "-0.5"
            << QStringList{"6,9:LevelA [1.50div]", "6,10:LevelB [1.50div]"}
            << QStringList{"6,9:LevelA [-0.50div]", "6,10:LevelB [-0.50div]"}
            << QStringList{":TRIGGER:SLOPE:LEVELA 0", ":TRIGGER:SLOPE:LEVELB 0"}
            << QStringList{":TRIGGER:SLOPE:LEVELA=0.000e+00", ":TRIGGER:SLOPE:LEVELB=0.000e+00"};
        QTest::newRow("ALTERNATIVE, CH2 coarse/fine to 500 mV")
            << ":TRIGGER:MODE ALTERNATION" << "adjust2" << "" << "500mV"
            << QStringList{"19,17:Level [1.50div]", "20,17:Level [-2.00div]"}
            << QStringList{"19,17:Level [1.50div]", "20,17:Level [-4.00div]"}
            << QStringList{":TRIGGER:ALTERNATION:EDGE:LEVEL 0", ":TRIGGER:ALTERNATION:EDGE:LEVEL 0"}
            << QStringList{};
        QTest::newRow("EDGE on CH2 stays with a CH1 offset")
            << ":TRIGGER:EDGE:SOURCE CHANNEL2" << "{l:6}{l:9}" << "" << "0"
            << QStringList{"6,7:Level [-2.00div]"} << QStringList{"6,7:Level [-2.00div]"}
            << QStringList{":TRIGGER:EDGE:LEVEL 0"} << QStringList{edge0};
    }
    void uploadKeepsTheLevelAfterAChannelApply() {
        QFETCH(QString, simSetup);
        QFETCH(QString, key);
        QFETCH(QString, combo);
        QFETCH(QString, input);
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);
        QFETCH(QStringList, levels);
        QFETCH(QStringList, kept);
        for (const QString& c : simSetup.split(';', Qt::SkipEmptyParts)) SendCmd(c);
        SetDefaultCtrlSettings();
        QVERIFY(RunTransfer(JobDownload, "Data Downloading...", true));
        QVERIFY(LastSettingsTransfer().DownloadCommitted);
        auto nodes = [](const QStringList& expected) {
            QStringList out;
            for (const QString& n : expected) out << n.section(':', 0, 0) + ":" + nodeText_(n.section(':', 0, 0));
            return out;
        };
        QCOMPARE(nodes(before), before);
        if (key.startsWith("adjust"))
            QCOMPARE(ApplyAdjust(input, key.endsWith('2') ? 1 : 0), AdjustEnd::Applied);
        else
            QCOMPARE(ApplyCtrlEdit({words(key), combo, input, QString()}), ApplyEnd::Applied);
        QVERIFY(MsgBoxService::Log().isEmpty());
        QCOMPARE(nodes(after), after);
        sim.ClearLog();
        LastSettingsTransfer().UploadComplete = false;
        QVERIFY(RunTransfer(JobUpload, "Data Uploading...", true));
        QVERIFY(LastSettingsTransfer().UploadComplete);
        QueryCmd("*IDN?");
        QStringList sent;
        for (const QString& c : sim.Log())
            if (c.contains(":LEVEL") && !c.endsWith('?')) sent << c;
        QCOMPARE(sent, levels);
        for (const QString& k : kept) QCOMPARE(k.section('=', 0, 0) + "=" + sim.Get(k.section('=', 0, 0)), k);
    }

    // Every road that moves where the instrument's level stands in divisions
    // (its source, its channel's offset, probe or volts per division, the
    // method, an alternation channel's type) leaves the level rows showing
    // where it is: the upload that follows leaves every level of the
    // instrument where it was. The levels start off zero, so a row left at
    // its old divisions would move them.
    void uploadKeepsTheLevelOnEveryRoad_data() {
        QTest::addColumn<QString>("simSetup");
        QTest::addColumn<QString>("key");  // "{l:..}" labels; "adjustN" = coarse/fine OK of CHn
        QTest::addColumn<QString>("combo");
        QTest::addColumn<QString>("input");
        const QString src = "{l:24}{l:26}", method = "{l:24}{l:25}", alt = ":TRIGGER:MODE ALTERNATION;";
        const QString slope = ":TRIGGER:MODE SLOPE;", pulse = ":TRIGGER:MODE PULSE;";
        for (const char* to : {"CH2", "EXT", "EXT5", "{w:12}", "D3"})
            QTest::addRow("EDGE source %s", to) << "" << src << to << "";
        QTest::newRow("EDGE source D3 back to CH1") << ":TRIGGER:EDGE:SOURCE DIGITAL3" << src << "CH1" << "";
        QTest::newRow("EDGE source AC line back to CH2") << ":TRIGGER:EDGE:SOURCE ACLINE" << src << "CH2" << "";
        QTest::newRow("PULSE source CH2") << pulse << src << "CH2" << "";
        QTest::newRow("PULSE source D5") << pulse << src << "D5" << "";
        QTest::newRow("VIDEO source EXT5") << ":TRIGGER:MODE VIDEO;" << src << "EXT5" << "";
        QTest::newRow("SLOPE source CH2") << slope << src << "CH2" << "";
        QTest::newRow("SLOPE source EXT") << slope << src << "EXT" << "";
        QTest::newRow("EDGE, CH1 offset") << "" << "{l:6}{l:9}" << "" << "-0.5";
        QTest::newRow("EDGE on CH2, CH2 probe") << ":TRIGGER:EDGE:SOURCE CHANNEL2" << "{l:7}{l:12}" << "10X" << "";
        QTest::newRow("EDGE, CH1 coarse/fine") << "" << "adjust1" << "" << "2.00V";
        QTest::newRow("PULSE, CH1 coarse/fine") << pulse << "adjust1" << "" << "5.00V";
        QTest::newRow("SLOPE, CH1 offset") << slope << "{l:6}{l:9}" << "" << "0.25";
        QTest::newRow("method EDGE to PULSE on CH2") << ":TRIGGER:PULSE:SOURCE CHANNEL2" << method << "PULSE" << "";
        QTest::newRow("method EDGE to SLOPE") << "" << method << "SLOPE" << "";
        QTest::newRow("method EDGE to ALTERNATIVE") << "" << method << "ALTERNATIVE" << "";
        QTest::newRow("alternation CH1 type PULSE") << alt << "{l:24}{l:6}{l:38}" << "{w:6}" << "";
        QTest::newRow("alternation CH2 type SLOPE") << alt << "{l:24}{l:7}{l:38}" << "{w:8}" << "";
        QTest::newRow("alternation, CH2 offset") << alt << "{l:7}{l:9}" << "" << "1";
        QTest::newRow("alternation, CH1 coarse/fine") << alt << "adjust1" << "" << "500mV";
    }
    void uploadKeepsTheLevelOnEveryRoad() {
        QFETCH(QString, simSetup);
        QFETCH(QString, key);
        QFETCH(QString, combo);
        QFETCH(QString, input);
        // Levels off zero, per method and per alternation channel.
        const QStringList levels = {":TRIGGER:EDGE:LEVEL 0.5", ":TRIGGER:PULSE:LEVEL -0.3",
                                    ":TRIGGER:VIDEO:LEVEL 0.2", ":TRIGGER:SLOPE:LEVELA 0.7",
                                    ":TRIGGER:SLOPE:LEVELB -0.4"};
        for (const QString& c : levels) SendCmd(c);
        for (int ch = 1; ch <= 2; ++ch) {
            SendCmd(":TRIGGER:ALTERNATION:SOURCE CHANNEL" + QString::number(ch));
            for (const char* l : {"EDGE:LEVEL 0.6", "PULSE:LEVEL -0.7", "SLOPE:LEVELA 0.9", "SLOPE:LEVELB -0.1"})
                SendCmd(QString(":TRIGGER:ALTERNATION:") + l + QString::number(ch));  // another per channel
        }
        for (const QString& c : simSetup.split(';', Qt::SkipEmptyParts)) SendCmd(c);
        auto instrumentLevels = [&] {
            QStringList out;
            for (const QString& c : levels) out << QueryCmd(c.section(' ', 0, 0) + "?").trimmed();
            for (int ch = 1; ch <= 2; ++ch) {
                SendCmd(":TRIGGER:ALTERNATION:SOURCE CHANNEL" + QString::number(ch));
                for (const char* l : {"EDGE:LEVEL?", "PULSE:LEVEL?", "SLOPE:LEVELA?", "SLOPE:LEVELB?"})
                    out << QueryCmd(QString(":TRIGGER:ALTERNATION:") + l).trimmed();
            }
            return out;
        };
        SetDefaultCtrlSettings();
        QVERIFY(RunTransfer(JobDownload, "Data Downloading...", true));
        QVERIFY(LastSettingsTransfer().DownloadCommitted);
        const QStringList before = instrumentLevels();

        if (key.startsWith("adjust"))
            QCOMPARE(ApplyAdjust(input, key.endsWith('2') ? 1 : 0), AdjustEnd::Applied);
        else
            QCOMPARE(ApplyCtrlEdit({words(key), words(combo), input, QString()}), ApplyEnd::Applied);
        QCOMPARE(LinkFixture::ShownTexts(), QStringList());
        // Every level row shows a place in divisions or a threshold.
        const CtrlTreeModel model = BuildCtrlTreeModel(DSOSettings(), true);
        for (const CtrlNodeData& n : model.nodes)
            QVERIFY2(!n.Text().contains(MessageTable().MsgLevelNotKnown), qPrintable(n.Text()));

        LastSettingsTransfer().UploadComplete = false;
        QVERIFY(RunTransfer(JobUpload, "Data Uploading...", true));
        QVERIFY(LastSettingsTransfer().UploadComplete);
        QCOMPARE(LinkFixture::ShownTexts(), QStringList());
        QCOMPARE(instrumentLevels(), before);
    }

    // A level row marked as not known shows so in the UI language and is
    // left out of the upload, which says why; a level chosen for it is
    // sent as exactly the volts chosen and the mark is gone.
    void levelNotKnownIsShownLeftOutAndReplacedByAChoice() {
        SendCmd(":TRIGGER:EDGE:LEVEL 0.5");
        SetDefaultCtrlSettings();
        QVERIFY(RunTransfer(JobDownload, "Data Downloading...", true));
        DSOSettings().TriggerEdgeLevel = "?";
        TestEnv::UseLanguage(LangChinese);
        QCOMPARE(CtrlNodeText(ControllerLabel(lbLevel), "?"), ControllerLabel(lbLevel) + QString::fromUtf8(" [未知]"));
        TestEnv::UseLanguage(LangEnglish);
        BuildCtrlTree();
        QCOMPARE(nodeText_("6,7"), QString("Level [not known]"));
        sim.ClearLog();
        MsgBoxService::ClearLog();
        LastSettingsTransfer().UploadComplete = true;
        QVERIFY(RunTransfer(JobUpload, "Data Uploading...", true));
        QVERIFY(!LastSettingsTransfer().UploadComplete);
        QCOMPARE(LinkFixture::ShownTexts(),
                 QStringList{MessageTable().MsgUploadLevelsNotKnown.Naming({CtrlValueName(CtrlValueNumber(
                                 DSOSettings(), &DSOSettings().TriggerEdgeLevel))}) + " / "});
        QueryCmd("*IDN?");
        for (const QString& c : sim.Log()) QVERIFY2(!c.startsWith(":TRIGGER:EDGE:LEVEL "), qPrintable(c));
        QCOMPARE(sim.Get(":TRIGGER:EDGE:LEVEL"), QString("5.000e-01"));

        // CH1 at 1 V/div, offset 1.5 V: 2 divisions are 0.5 V.
        sim.ClearLog();
        QCOMPARE(ApplyCtrlEdit({words("{l:24}{l:66}"), "2.00div", "", QString()}), ApplyEnd::Applied);
        QCOMPARE(DSOSettings().TriggerEdgeLevel, QString("2.00div"));
        QCOMPARE(nodeText_("6,7"), QString("Level [2.00div]"));
        QueryCmd("*IDN?");
        QVERIFY2(sim.Log().contains(":TRIGGER:EDGE:LEVEL .5"), qPrintable(sim.Log().join('|')));
    }

    // Every setting row of the tree, under every trigger method and
    // alternation trigger type and in both languages, reaches a branch: the
    // apply sends more than its presence check.
    void everyTreeRowHasABranch() {
        for (int language : {LangEnglish, LangChinese}) {
            TestEnv::UseLanguage(language);
            const QList<QPair<int, int>> shapes = {
                {vwEdge, vwEdge}, {vwPulse, vwEdge}, {vwVideo, vwEdge}, {vwSlope, vwEdge},
                {vwPattern, vwEdge}, {vwDuration, vwEdge}, {vwAlternative, vwEdge},
                {vwAlternative, vwPulse}, {vwAlternative, vwVideo}, {vwAlternative, vwSlope}};
            for (const auto& shape : shapes) {
                SetDefaultCtrlSettings();
                CtrlSettings config = DSOSettings();
                config.TriggerMethod = ValueWord(shape.first);
                config.AltCH1TrigType = config.AltCH2TrigType = ValueWord(shape.second);
                const CtrlTreeModel model = BuildCtrlTreeModel(config, true);
                for (size_t i = 0; i < model.nodes.size(); ++i) {
                    const CtrlNodeData& n = model.nodes[i];
                    if (!n.hasValue || n.label == ControllerLabel(lbVoltDiv)) continue;
                    QStringList parts;
                    for (int k = int(i); k > 0; k = model.nodes[size_t(k)].parent)
                        parts.prepend(model.nodes[size_t(k)].label);
                    // The logic analyser's channel rows share the key of their
                    // sub-group; the run state's key is its own label.
                    const QString key = parts[0] == ControllerLabel(lbLA) ? parts[0] + parts[1]
                                        : n.group == 1 ? parts.last()
                                                       : parts.join(QString());
                    DSOSettings() = config;
                    // The dispatcher gives the dialog the same key.
                    QCOMPARE(PrepareEdit(model.Path(int(i))).Key, key);
                    sim.ClearLog();
                    const QString combo = parts.last().startsWith(ControllerLabel(17))
                                              ? QString("TTL") : n.value;
                    QCOMPARE(ApplyCtrlEdit({key, combo, "0.001", model.Path(int(i))}),
                             ApplyEnd::Applied);
                    QueryCmd("*IDN?");
                    QVERIFY2(sim.Log().size() > 2,
                             qPrintable(model.Path(int(i)) + " under " + config.TriggerMethod));
                }
            }
        }
    }
};

QTEST_MAIN(CtrlApplyTest)
#include "tst_ctrlapply.moc"
