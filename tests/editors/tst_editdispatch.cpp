// The edit dispatcher without a window: which edit each tree node prepares
// (key, kind, choices in order, preselection, shown controls), in both
// languages, and what PraseCtrlList shows or refuses.
#include <QtTest>

#include "TestEnv.h"
#include "common/HookCheck.h"
#include "common/DSOSettings.h"
#include "common/ShellState.h"
#include "controller/CtrlState.h"
#include "controller/CtrlTree.h"
#include "editors/AdjustLogic.h"
#include "editors/CtrlApply.h"
#include "editors/CtrlDialog.h"
#include "editors/EditDispatch.h"
#include <QRadioButton>
#include <QLineEdit>
#include <QGroupBox>
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/TransferJobs.h"
#include "link/Vocabulary.h"
#include "platform/dialogs/MsgBox.h"

Q_DECLARE_METATYPE(EditOutcome)

namespace {

void UseLanguage(int language) {
    Shell().UILanguage = language;
    LoadValueWords(language);
    LoadControllerLabels(language);
    LoadMessages(language);
}

// "field=value;field=value": mirror fields by name.
void ApplySetup(const QString& setup) {
    const QStringList names = CtrlSettingsNames();
    const auto values = CtrlSettingsValues(DSOSettings());
    for (const QString& pair : setup.split(';', Qt::SkipEmptyParts)) {
        const int eq = pair.indexOf('=');
        const int i = names.indexOf(pair.left(eq));
        QVERIFY2(i >= 0, qPrintable(pair));
        *values[i] = pair.mid(eq + 1);
    }
}

// "A|B|C": exactly these entries; "N:first..last": N entries from first to last.
void CheckChoices(const QStringList& got, const QString& expected) {
    if (expected.contains("..")) {
        const int colon = expected.indexOf(':');
        const QStringList ends = expected.mid(colon + 1).split("..");
        QCOMPARE(got.size(), expected.left(colon).toInt());
        QCOMPARE(got.first(), ends[0]);
        QCOMPARE(got.last(), ends[1]);
    } else {
        QCOMPARE(got, expected.isEmpty() ? QStringList() : expected.split('|'));
    }
}

QString Units(const EditPrep& e) {
    static const char* const names[UnitButtonCount] = {"m", "u", "n", "p", "mV"};
    QString out;
    for (int i = 0; i < UnitButtonCount; ++i)
        if (e.UnitButtons[i]) out += names[i];
    return out;
}

}  // namespace

class EditDispatchTest : public QObject {
    Q_OBJECT

    QList<EditPrep> shownDialogs;
    int adjustShown = 0;
    int panelShown = 0;

private slots:
    void initTestCase() {
        TestEnv::Init();
        EditShow().ShowCtrlDialog = [this](const EditPrep& e, const QString&) { shownDialogs << e; };
        EditShow().ShowCtrlDialogAdjust = [this](const EditPrep&) { ++adjustShown; };
    }
    void init() {
        UseLanguage(LangEnglish);
        SetDefaultCtrlSettings();
        Link().LAPresent = false;
        Link().ModelEU = 0;
        Transfer().TransferBusy = false;
        MsgBoxService::ClearLog();
        shownDialogs.clear();
        adjustShown = panelShown = 0;
        CtrlState().CtrlEditKey = " ";
    }

    void parsePath_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("levels");  // group, third, fourth, value
        QTest::newRow("row") << "KV2200M\\CH1\\Offset [0.00mV]"
                             << QStringList{"CH1", "Offset", " ", "0.00mV"};
        QTest::newRow("sub-group row") << "KV2200M\\Trigger\\CH2\\Level [0.00div]"
                                       << QStringList{"Trigger", "CH2", "Level", "0.00div"};
        QTest::newRow("group") << "KV2200M\\Running Control"
                               << QStringList{"Running Control", "Running Control", " ", "Running Contro"};
        QTest::newRow("action") << "KV2200M\\Running Control\\Auto Set"
                                << QStringList{"Running Control", "Auto Set", " ", "Auto Se"};
        QTest::newRow("root") << "KV2200M" << QStringList{"KV2200M", "KV2200M", " ", "KV2200"};
        QTest::newRow("empty") << "" << QStringList{"", "", " ", ""};
        QTest::newRow("empty value") << "KV2200M\\Display\\Grid []"
                                     << QStringList{"Display", "Grid", " ", ""};
        QTest::newRow("bracket in value") << "KV2200M\\Trigger\\Code\\D3 [[X]"
                                          << QStringList{"Trigger", "Code", "D3", "[X"};
    }
    void parsePath() {
        QFETCH(QString, path);
        QFETCH(QStringList, levels);
        const EditPath p = ParseEditPath(path);
        QCOMPARE((QStringList{p.Group, p.Third, p.Fourth, p.Value}), levels);
    }

    // Every row the tree can show, for every trigger method, with and without
    // the logic analyser, in the English UI.
    void everyRow_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<bool>("la");
        QTest::addColumn<QString>("path");
        QTest::addColumn<EditOutcome>("outcome");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("choices");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("units");

        using O = EditOutcome;
        const QString edge = "TriggerMethod=EDGE", pulse = "TriggerMethod=PULSE",
                      video = "TriggerMethod=VIDEO", slope = "TriggerMethod=SLOPE",
                      alt = "TriggerMethod=ALTERNATIVE;AltCH1VideoStandard=NTSC;"
                            "AltCH2VideoStandard=PAL/SECAM",
                      pattern = "TriggerMethod=PATTERN", duration = "TriggerMethod=DURATION";
        const QString levels = "301:6.00div..-6.00div", sens = "91:1.00div..0.10div";
        const QString coupling = "DC|AC|HF|LF", sweep = "AUTO|NORMAL|SINGLE";
        const QString methods5 = "EDGE|PULSE|VIDEO|SLOPE|ALTERNATIVE";
        const QString methods7 = methods5 + "|PATTERN|DURATION";
        const QString pulseModes = "+Less Than|+Greater Than|+Equal|-Less Than|-Greater Than|-Equal";
        auto row = [](const char* name, const QString& setup, bool la, const QString& path,
                      O outcome, const QString& key = " ", const QString& caption = QString(),
                      const QString& choices = QString(), int selected = -1,
                      const QString& input = QString(), const QString& units = QString()) {
            QTest::newRow(name) << setup << la << "KV2200M\\" + path << outcome << key << caption
                                << choices << selected << input << units;
        };
        // Groups, root, empty path, virtual panel.
        row("root", edge, false, "", O::Nothing);
        row("Running Control", edge, false, "Running Control", O::Nothing);
        row("Virtual Keyboard", edge, false, "Virtual Keyboard", O::Nothing);
        row("CH1 group", edge, false, "CH1", O::Nothing);
        row("Trigger group", edge, false, "Trigger", O::Nothing);
        row("Display group", edge, false, "Display", O::Nothing);
        row("Virtual Panel", edge, false, "Virtual Panel", O::VirtualPanel);
        // Running Control
        row("Run|Stop", edge, false, "Running Control\\Run|Stop [STOP]", O::ChoiceEdit, "Run|Stop",
            "Run|Stop", "RUN|STOP", 1);
        row("Auto Set", edge, false, "Running Control\\Auto Set", O::ImmediateAction);
        row("Set Trig to 50%", edge, false, "Running Control\\Set Trig to 50%", O::ImmediateAction);
        row("Force Trigger", edge, false, "Running Control\\Force Trigger", O::ImmediateAction);
        // Channels
        row("CH1 Display", edge, false, "CH1\\Display [ON]", O::ChoiceEdit, "CH1Display", "Display",
            "ON|OFF", 0);
        row("CH1 Volt/Div", edge, false, "CH1\\Volt/Div [1.00V]", O::AdjustEdit, " ", "Volt/Div",
            "", -1, "1.00V");
        row("CH1 Offset", edge, false, "CH1\\Offset [0.00mV]", O::NumberEdit, "CH1Offset", "Offset",
            "", -1, "0", "mV");
        row("CH2 Offset 120mV", edge, false, "CH2\\Offset [-120mV]", O::NumberEdit, "CH2Offset",
            "Offset", "", -1, "-0.12", "mV");
        row("CH1 Coupling", edge, false, "CH1\\Coupling [AC]", O::ChoiceEdit, "CH1Coupling",
            "Coupling", "DC|AC|GND", 1);
        row("CH2 Coupling", edge, false, "CH2\\Coupling [GND]", O::ChoiceEdit, "CH2Coupling",
            "Coupling", "DC|AC|GND", 2);
        row("CH1 BW Limit", edge, false, "CH1\\BW Limit [OFF]", O::ChoiceEdit, "CH1BW Limit",
            "BW Limit", "ON|OFF", 1);
        row("CH2 Probe", edge, false, "CH2\\Probe [10X]", O::ChoiceEdit, "CH2Probe", "Probe",
            "1X|5X|10X|50X|100X|500X|1000X", 2);
        row("Probe 2X not offered", edge, false, "CH1\\Probe [2X]", O::ChoiceEdit, "CH1Probe",
            "Probe", "1X|5X|10X|50X|100X|500X|1000X", -1);
        // LA
        row("LA group", edge, true, "LA", O::Nothing);
        row("LA Display node", edge, true, "LA\\Display", O::Nothing);
        row("LA Position node", edge, true, "LA\\Position", O::Nothing);
        row("LA D15-D8", edge, true, "LA\\Display\\D15-D8 [OFF]", O::ChoiceEdit, "LADisplay",
            "D15-D8", "ON|OFF", 1);
        row("LA D3", edge, true, "LA\\Display\\D3 [ON]", O::ChoiceEdit, "LADisplay", "D3", "ON|OFF", 0);
        row("LA Position D12", edge, true, "LA\\Position\\D12 [3]", O::ChoiceEdit, "LAPosition",
            "D12", "16:0..15", 3);
        row("LA Threshold ECL", edge, true, "LA\\Threshold [ECL]", O::ChoiceEdit, "LAThreshold",
            "Threshold", "TTL|ECL|CMOS|USER", 1, "-1.3", "munp");
        row("LA Threshold user", "LAThreshold=1.40V", true, "LA\\Threshold [1.40V]", O::ChoiceEdit,
            "LAThreshold", "Threshold", "TTL|ECL|CMOS|USER", 3, "1.40", "munp");
        row("LA Threshold millivolts", "LAThreshold=500mV", true, "LA\\Threshold [500mV]",
            O::ChoiceEdit, "LAThreshold", "Threshold", "TTL|ECL|CMOS|USER", 3, "500", "munp");
        row("LA Reset", edge, true, "LA\\Reset", O::ImmediateAction);
        // Time Base
        row("Time/Div", edge, false, "Time Base\\Time/Div [10.00us]", O::ChoiceEdit,
            "Time BaseTime/Div", "Time/Div", "", -1);
        row("Delay", edge, false, "Time Base\\Delay [0.0000s]", O::NumberEdit, "Time BaseDelay",
            "Delay", "", -1, "0.000", "munp");
        row("Format", edge, false, "Time Base\\Format [Roll]", O::ChoiceEdit, "Time BaseFormat",
            "Format", "Y-T|X-Y|Roll", 2);
        row("alt Time Base CH1 node", alt, false, "Time Base\\CH1", O::Nothing);
        row("alt Time/Div", alt, false, "Time Base\\CH1\\Time/Div [1.000us]", O::ChoiceEdit,
            "Time BaseCH1Time/Div", "Time/Div", "", -1);
        row("alt Delay", alt, false, "Time Base\\CH2\\Delay [0.0000s]", O::NumberEdit,
            "Time BaseCH2Delay", "Delay", "", -1, "0.000", "munp");
        // Trigger, EDGE
        row("EDGE Method", edge, false, "Trigger\\Method [EDGE]", O::ChoiceEdit, "TriggerMethod",
            "Method", methods5, 0);
        row("EDGE Method LA", edge, true, "Trigger\\Method [EDGE]", O::ChoiceEdit, "TriggerMethod",
            "Method", methods7, 0);
        row("EDGE Slope", edge, false, "Trigger\\Slope [ALTERNATION]", O::ChoiceEdit,
            "TriggerSlope", "Slope", "RISING|FALLING|ALTERNATION", 2);
        row("EDGE Source", edge, false, "Trigger\\Source [AC]", O::ChoiceEdit, "TriggerSource",
            "Source", "CH1|CH2|EXT|AC", 3);
        row("EDGE Source LA", edge, true, "Trigger\\Source [D15]", O::ChoiceEdit, "TriggerSource",
            "Source", "20:CH1..D15", 19);
        row("EDGE Mode", edge, false, "Trigger\\Mode [NORMAL]", O::ChoiceEdit, "TriggerMode", "Mode",
            sweep, 1);
        row("EDGE Coupling", edge, false, "Trigger\\Coupling [HF]", O::ChoiceEdit,
            "TriggerCoupling", "Coupling", coupling, 2);
        row("EDGE Level", edge, false, "Trigger\\Level [0.00div]", O::ChoiceEdit, "TriggerLevel",
            "Level", levels, 150);
        // A level between the list's steps is offered at its place.
        const QString levelsAndOwn = "302:6.00div..-6.00div";
        row("EDGE Level off the grid", edge, false, "Trigger\\Level [0.01div]", O::ChoiceEdit,
            "TriggerLevel", "Level", levelsAndOwn, 150);
        row("EDGE Level between two steps", edge, false, "Trigger\\Level [1.50div]", O::ChoiceEdit,
            "TriggerLevel", "Level", levelsAndOwn, 113);
        // A level beyond the list's span is none the setting can be: not offered.
        row("EDGE Level above the list", edge, false, "Trigger\\Level [7.00div]", O::ChoiceEdit,
            "TriggerLevel", "Level", "301:6.00div..-6.00div", -1);
        row("EDGE Sensitivity", edge, false, "Trigger\\Sensitivity [0.10div]", O::ChoiceEdit,
            "TriggerSensitivity", "Sensitivity", sens, 90);
        row("EDGE Holdoff", edge, false, "Trigger\\Holdoff [100ns]", O::NumberEdit,
            "TriggerHoldoff", "Holdoff", "", -1, "100.000E-9", "munp");
        // PULSE
        row("PULSE Source", pulse, false, "Trigger\\Source [EXT]", O::ChoiceEdit, "TriggerSource",
            "Source", "CH1|CH2|EXT", 2);
        row("PULSE Source LA", pulse, true, "Trigger\\Source [D0]", O::ChoiceEdit, "TriggerSource",
            "Source", "19:CH1..D15", 3);
        row("PULSE Source EXT5", pulse, false, "Trigger\\Source [EXT5]", O::ChoiceEdit,
            "TriggerSource", "Source", "CH1|CH2|EXT", -1);
        row("PULSE Pulse mode", pulse, false, "Trigger\\Pulse mode [-Equal]", O::ChoiceEdit,
            "TriggerPulse mode", "Pulse mode", pulseModes, 5);
        row("PULSE Pulse width", pulse, false, "Trigger\\Pulse width [1us]", O::NumberEdit,
            "TriggerPulse width", "Pulse width", "", -1, "1.000E-6", "munp");
        row("PULSE Mode", pulse, false, "Trigger\\Mode [SINGLE]", O::ChoiceEdit, "TriggerMode",
            "Mode", sweep, 2);
        row("PULSE Coupling", pulse, false, "Trigger\\Coupling [DC]", O::ChoiceEdit,
            "TriggerCoupling", "Coupling", coupling, 0);
        row("PULSE Level", pulse, false, "Trigger\\Level [6.00div]", O::ChoiceEdit, "TriggerLevel",
            "Level", levels, 0);
        row("PULSE Sensitivity", pulse, false, "Trigger\\Sensitivity [1.00div]", O::ChoiceEdit,
            "TriggerSensitivity", "Sensitivity", sens, 0);
        row("PULSE Holdoff", pulse, false, "Trigger\\Holdoff [1.50ms]", O::NumberEdit,
            "TriggerHoldoff", "Holdoff", "", -1, "1.500E-3", "munp");
        // VIDEO
        row("VIDEO Source LA", video, true, "Trigger\\Source [CH2]", O::ChoiceEdit, "TriggerSource",
            "Source", "CH1|CH2|EXT", 1);
        row("VIDEO Polarity", video, false, "Trigger\\Polarity [POSITIVE]", O::ChoiceEdit,
            "TriggerPolarity", "Polarity", "NEGATIVE|POSITIVE", 1);
        row("VIDEO Sync", video, false, "Trigger\\Sync [ODDfield]", O::ChoiceEdit, "TriggerSync",
            "Sync", "ALLlines|LINE|ODDfield|EVENfield", 2);
        row("VIDEO Line NTSC", video + ";TriggerVideoStandard=NTSC", false,
            "Trigger\\Line number [525]", O::ChoiceEdit, "TriggerLine number", "Line number",
            "525:1..525", 524);
        row("VIDEO Line PAL", video + ";TriggerVideoStandard=PAL/SECAM", false,
            "Trigger\\Line number [600]", O::ChoiceEdit, "TriggerLine number", "Line number",
            "625:1..625", 599);
        // A standard that is none of its choices is not sent: the instrument
        // keeps one not known here, and the list is the narrowest, NTSC's.
        row("VIDEO Line ntsc", video + ";TriggerVideoStandard=ntsc", false,
            "Trigger\\Line number [1]", O::ChoiceEdit, "TriggerLine number", "Line number",
            "525:1..525", 0);
        row("VIDEO Standard", video, false, "Trigger\\Video Standard [PAL/SECAM]", O::ChoiceEdit,
            "TriggerVideo Standard", "Video Standard", "NTSC|PAL/SECAM", 1);
        row("VIDEO Level", video, false, "Trigger\\Level [-6.00div]", O::ChoiceEdit, "TriggerLevel",
            "Level", levels, 300);
        row("VIDEO Sensitivity", video, false, "Trigger\\Sensitivity [0.10div]", O::ChoiceEdit,
            "TriggerSensitivity", "Sensitivity", sens, 90);
        row("VIDEO Holdoff", video, false, "Trigger\\Holdoff [100ns]", O::NumberEdit,
            "TriggerHoldoff", "Holdoff", "", -1, "100.000E-9", "munp");
        // SLOPE
        row("SLOPE Source", slope, true, "Trigger\\Source [CH1]", O::ChoiceEdit, "TriggerSource",
            "Source", "CH1|CH2|EXT", 0);
        row("SLOPE Slope mode", slope, false, "Trigger\\Slope mode [+Greater Than]", O::ChoiceEdit,
            "TriggerSlope mode", "Slope mode", pulseModes, 1);
        row("SLOPE Slope time", slope, false, "Trigger\\Slope time [25.0ns]", O::NumberEdit,
            "TriggerSlope time", "Slope time", "", -1, "25.000E-9", "munp");
        row("SLOPE Mode", slope, false, "Trigger\\Mode [AUTO]", O::ChoiceEdit, "TriggerMode", "Mode",
            sweep, 0);
        row("SLOPE Coupling", slope, false, "Trigger\\Coupling [LF]", O::ChoiceEdit,
            "TriggerCoupling", "Coupling", coupling, 3);
        row("SLOPE LevelA", slope, false, "Trigger\\LevelA [6.00div]", O::ChoiceEdit,
            "TriggerLevelA", "LevelA", levels, 0);
        row("SLOPE LevelB", slope, false, "Trigger\\LevelB [0.00div]", O::ChoiceEdit,
            "TriggerLevelB", "LevelB", levels, 150);
        row("SLOPE Sensitivity", slope, false, "Trigger\\Sensitivity [1.00div]", O::ChoiceEdit,
            "TriggerSensitivity", "Sensitivity", sens, 0);
        row("SLOPE Holdoff", slope, false, "Trigger\\Holdoff [2.00us]", O::NumberEdit,
            "TriggerHoldoff", "Holdoff", "", -1, "2.000E-6", "munp");
        // ALTERNATIVE
        row("ALT Method", alt, false, "Trigger\\Method [ALTERNATIVE]", O::ChoiceEdit,
            "TriggerMethod", "Method", methods5, 4);
        row("ALT CH1 node", alt, false, "Trigger\\CH1", O::Nothing);
        row("ALT CH2 node", alt, false, "Trigger\\CH2", O::Nothing);
        row("ALT CH1 Trig type", alt, false, "Trigger\\CH1\\Trig type [EDGE]", O::ChoiceEdit,
            "TriggerCH1Trig type", "Trig type", "EDGE|PULSE|VIDEO|SLOPE", 0);
        row("ALT CH2 Trig type", alt, false, "Trigger\\CH2\\Trig type [SLOPE]", O::ChoiceEdit,
            "TriggerCH2Trig type", "Trig type", "EDGE|PULSE|VIDEO|SLOPE", 3);
        row("ALT Slope", alt, false, "Trigger\\CH1\\Slope [FALLING]", O::ChoiceEdit,
            "TriggerCH1Slope", "Slope", "RISING|FALLING", 1);
        row("ALT Slope ALTERNATION", alt, false, "Trigger\\CH2\\Slope [ALTERNATION]", O::ChoiceEdit,
            "TriggerCH2Slope", "Slope", "RISING|FALLING", -1);
        row("ALT Coupling", alt, false, "Trigger\\CH2\\Coupling [AC]", O::ChoiceEdit,
            "TriggerCH2Coupling", "Coupling", coupling, 1);
        row("ALT Level", alt, false, "Trigger\\CH1\\Level [0.00div]", O::ChoiceEdit,
            "TriggerCH1Level", "Level", levels, 150);
        row("ALT Sensitivity", alt, false, "Trigger\\CH2\\Sensitivity [0.10div]", O::ChoiceEdit,
            "TriggerCH2Sensitivity", "Sensitivity", sens, 90);
        row("ALT Holdoff", alt, false, "Trigger\\CH1\\Holdoff [500ns]", O::NumberEdit,
            "TriggerCH1Holdoff", "Holdoff", "", -1, "500.000E-9", "munp");
        row("ALT Polarity", alt, false, "Trigger\\CH2\\Polarity [NEGATIVE]", O::ChoiceEdit,
            "TriggerCH2Polarity", "Polarity", "NEGATIVE|POSITIVE", 0);
        row("ALT Sync", alt, false, "Trigger\\CH2\\Sync [EVENfield]", O::ChoiceEdit,
            "TriggerCH2Sync", "Sync", "ALLlines|LINE|ODDfield|EVENfield", 3);
        row("ALT CH1 Line (NTSC)", alt, false, "Trigger\\CH1\\Line number [600]", O::ChoiceEdit,
            "TriggerCH1Line number", "Line number", "525:1..525", -1);
        row("ALT CH2 Line (PAL)", alt, false, "Trigger\\CH2\\Line number [600]", O::ChoiceEdit,
            "TriggerCH2Line number", "Line number", "625:1..625", 599);
        row("ALT Video Standard", alt, false, "Trigger\\CH1\\Video Standard [NTSC]", O::ChoiceEdit,
            "TriggerCH1Video Standard", "Video Standard", "NTSC|PAL/SECAM", 0);
        row("ALT Pulse mode", alt, false, "Trigger\\CH1\\Pulse mode [+Less Than]", O::ChoiceEdit,
            "TriggerCH1Pulse mode", "Pulse mode", pulseModes, 0);
        row("ALT Pulse width", alt, false, "Trigger\\CH1\\Pulse width [1us]", O::NumberEdit,
            "TriggerCH1Pulse width", "Pulse width", "", -1, "1.000E-6", "munp");
        row("ALT Slope mode", alt, false, "Trigger\\CH2\\Slope mode [-Less Than]", O::ChoiceEdit,
            "TriggerCH2Slope mode", "Slope mode", pulseModes, 3);
        row("ALT Slope time", alt, false, "Trigger\\CH2\\Slope time [1.00ms]", O::NumberEdit,
            "TriggerCH2Slope time", "Slope time", "", -1, "1.000E-3", "munp");
        row("ALT LevelA", alt, false, "Trigger\\CH2\\LevelA [6.00div]", O::ChoiceEdit,
            "TriggerCH2LevelA", "LevelA", levels, 0);
        row("ALT LevelB", alt, false, "Trigger\\CH2\\LevelB [-6.00div]", O::ChoiceEdit,
            "TriggerCH2LevelB", "LevelB", levels, 300);
        // PATTERN
        row("PATTERN Method", pattern, false, "Trigger\\Method [PATTERN]", O::ChoiceEdit,
            "TriggerMethod", "Method", methods5, -1);
        row("PATTERN Method LA", pattern, true, "Trigger\\Method [PATTERN]", O::ChoiceEdit,
            "TriggerMethod", "Method", methods7, 5);
        row("PATTERN Code node", pattern, true, "Trigger\\Code", O::Nothing);
        row("PATTERN D15", pattern, true, "Trigger\\Code\\D15 [Rising]", O::ChoiceEdit,
            "TriggerCodeD15", "D15", "H|L|X|Rising|Falling", 3);
        row("PATTERN Mode", pattern, true, "Trigger\\Mode [AUTO]", O::ChoiceEdit, "TriggerMode",
            "Mode", sweep, 0);
        row("PATTERN Holdoff", pattern, true, "Trigger\\Holdoff [100ns]", O::NumberEdit,
            "TriggerHoldoff", "Holdoff", "", -1, "100.000E-9", "munp");
        // DURATION
        row("DURATION Method LA", duration, true, "Trigger\\Method [DURATION]", O::ChoiceEdit,
            "TriggerMethod", "Method", methods7, 6);
        row("DURATION D0", duration, true, "Trigger\\Code\\D0 [X]", O::ChoiceEdit, "TriggerCodeD0",
            "D0", "H|L|X", 2);
        row("DURATION Qualifier", duration, true, "Trigger\\Qualifier [Greater Than]",
            O::ChoiceEdit, "TriggerQualifier", "Qualifier", "Less Than|Greater Than|Equal", 1);
        row("DURATION time", duration, true, "Trigger\\Duration time [1us]", O::NumberEdit,
            "TriggerDuration time", "Duration time", "", -1, "1.000E-6", "munp");
        row("DURATION Mode", duration, true, "Trigger\\Mode [NORMAL]", O::ChoiceEdit, "TriggerMode",
            "Mode", sweep, 1);
        row("DURATION Holdoff", duration, true, "Trigger\\Holdoff [100ns]", O::NumberEdit,
            "TriggerHoldoff", "Holdoff", "", -1, "100.000E-9", "munp");
        // Acquire
        row("Acquisition", edge, false, "Acquire\\Acquisition [AVERAGE]", O::ChoiceEdit,
            "AcquireAcquisition", "Acquisition", "NORMAL|AVERAGE|PEAKDETECT", 1);
        row("Sampling Mode", edge, false, "Acquire\\Sampling Mode [REAL_TIME]", O::ChoiceEdit,
            "AcquireSampling Mode", "Sampling Mode", "EQUAL_TIME|REAL_TIME", 1);
        row("Averages", "AcquireType=AVERAGE", false, "Acquire\\Averages [16]", O::ChoiceEdit,
            "AcquireAverages", "Averages", "2|4|8|16|32|64|128|256", 3);
        // Display
        row("Type", edge, false, "Display\\Type [DOTS]", O::ChoiceEdit, "DisplayType", "Type",
            "VECTORS|DOTS", 1);
        row("Persist", edge, false, "Display\\Persist [ON]", O::ChoiceEdit, "DisplayPersist",
            "Persist", "ON|OFF", 0);
        row("Clear", edge, false, "Display\\Clear", O::ImmediateAction);
        row("Grid", edge, false, "Display\\Grid [HALF]", O::ChoiceEdit, "DisplayGrid", "Grid",
            "FULL|HALF|NONE", 1);
    }
    void everyRow() {
        QFETCH(QString, setup);
        QFETCH(bool, la);
        QFETCH(QString, path);
        QFETCH(EditOutcome, outcome);
        QFETCH(QString, key);
        QFETCH(QString, caption);
        QFETCH(QString, choices);
        QFETCH(int, selected);
        QFETCH(QString, input);
        QFETCH(QString, units);
        ApplySetup(setup);
        Link().LAPresent = la;
        if (path.endsWith("\\")) path.chop(1);
        const EditPrep e = PrepareEdit(path);
        QCOMPARE(e.Outcome, outcome);
        QCOMPARE(e.Key, key);
        if (outcome == EditOutcome::ChoiceEdit || outcome == EditOutcome::NumberEdit ||
            outcome == EditOutcome::AdjustEdit)
            QCOMPARE(e.FrameCaption, caption);
        CheckChoices(e.Choices, choices);
        QCOMPARE(e.Selected, selected);
        QCOMPARE(e.InputText, input);
        QCOMPARE(Units(e), units);
        // The threshold shows list and box together; the box is open for USER only.
        QCOMPARE(e.ThresholdLayout, key == "LAThreshold");
        QCOMPARE(e.InputEnabled, !(e.ThresholdLayout && selected != 3));
        if (outcome == EditOutcome::AdjustEdit)
            QCOMPARE(e.AdjustChannel, path.contains("\\CH1\\") ? 1 : 2);
    }

    // The Chinese UI: value words and labels in Chinese, namesakes kept apart,
    // literal texts as in English, keys from the Chinese labels.
    void chinese_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QStringList>("choices");
        QTest::addColumn<int>("selected");
        QTest::newRow("Run|Stop") << "KV2200M\\运行控制\\运行|停止 [运行]" << "运行|停止"
                                  << QStringList{"运行", "停止"} << 0;
        QTest::newRow("channel coupling") << "KV2200M\\CH2\\耦合 [交流]" << "CH2耦合"
                                          << QStringList{"直流", "交流", "接地"} << 1;
        QTest::newRow("edge source: the AC-line word")
            << "KV2200M\\触发系统\\信源选择 [市电]" << "触发系统信源选择"
            << QStringList{"CH1", "CH2", "EXT", "市电"} << 3;
        QTest::newRow("trigger coupling word, not the AC line")
            << "KV2200M\\触发系统\\耦合 [交流]" << "触发系统耦合"
            << QStringList{"直流", "交流", "高频抑制", "低频抑制"} << 1;
        QTest::newRow("pulse conditions") << "KV2200M\\触发系统\\脉宽模式 [负脉宽等于]"
                                          << "触发系统脉宽模式"
                                          << QStringList{"正脉宽小于", "正脉宽大于", "正脉宽等于",
                                                         "负脉宽小于", "负脉宽大于", "负脉宽等于"}
                                          << 5;
        QTest::newRow("slope conditions") << "KV2200M\\触发系统\\斜率条件 [上升沿大于]"
                                          << "触发系统斜率条件"
                                          << QStringList{"上升沿小于", "上升沿大于", "上升沿等于",
                                                         "下降沿小于", "下降沿大于", "下降沿等于"}
                                          << 1;
        QTest::newRow("code bit under PATTERN") << "KV2200M\\触发系统\\码型\\D7 [下降沿]"
                                                << "触发系统码型D7"
                                                << QStringList{"H", "L", "X", "上升沿", "下降沿"} << 4;
        QTest::newRow("alternation trig type") << "KV2200M\\触发系统\\CH2\\触发类型 [视频触发]"
                                               << "触发系统CH2触发类型"
                                               << QStringList{"边沿触发", "脉宽触发", "视频触发",
                                                              "斜率触发"}
                                               << 2;
        QTest::newRow("display group, not channel display")
            << "KV2200M\\显示系统\\网格 [完全]" << "显示系统网格"
            << QStringList{"完全", "半网格", "无"} << 0;
        QTest::newRow("channel display") << "KV2200M\\CH1\\显示 [关闭]" << "CH1显示"
                                         << QStringList{"打开", "关闭"} << 1;
        QTest::newRow("format literal") << "KV2200M\\水平系统\\模式 [Roll]" << "水平系统模式"
                                        << QStringList{"Y-T", "X-Y", "Roll"} << 2;
        QTest::newRow("acquisition word") << "KV2200M\\采样系统\\获取方式 [峰值检测]"
                                          << "采样系统获取方式"
                                          << QStringList{"普通", "平均", "峰值检测"} << 2;
        QTest::newRow("threshold") << "KV2200M\\LA\\门限类型 [CMOS]" << "LA门限类型"
                                   << QStringList{"TTL", "ECL", "CMOS", "用户定义"} << 2;
    }
    void chinese() {
        QFETCH(QString, path);
        QFETCH(QString, key);
        QFETCH(QStringList, choices);
        QFETCH(int, selected);
        UseLanguage(LangChinese);
        SetDefaultCtrlSettings();
        DSOSettings().TriggerMethod = ValueWord(vwPattern);
        if (path.contains("信源")) DSOSettings().TriggerMethod = ValueWord(vwEdge);
        const EditPrep e = PrepareEdit(path);
        QCOMPARE(e.Key, key);
        QCOMPARE(e.Choices, choices);
        QCOMPARE(e.Selected, selected);
        // An English path does nothing under the Chinese UI.
        QCOMPARE(PrepareEdit("KV2200M\\Display\\Grid [FULL]").Outcome, EditOutcome::Nothing);
    }

    // Every node of the tree the controller builds, for every trigger method
    // and alternation type, with and without the analyser, in both
    // languages: action nodes act, group nodes do nothing, every setting row
    // edits with its label as caption and its default value preselected.
    void wholeTree_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<bool>("la");
        for (int lang : {int(LangEnglish), int(LangChinese)})
            for (bool la : {false, true})
                QTest::addRow("%s%s", lang == LangEnglish ? "English" : "Chinese",
                              la ? ", LA" : "")
                    << lang << la;
    }
    void wholeTree() {
        QFETCH(int, language);
        QFETCH(bool, la);
        UseLanguage(language);
        Link().LAPresent = la;
        const int methods[] = {vwEdge, vwPulse, vwVideo, vwSlope, vwAlternative, vwPattern,
                               vwDuration};
        const int altTypes[][2] = {{vwEdge, vwVideo}, {vwPulse, vwSlope}};
        int rows = 0;
        for (int method : methods) {
            for (const auto& types : altTypes) {
                SetDefaultCtrlSettings();
                CtrlSettings& s = DSOSettings();
                s.TriggerMethod = ValueWord(method);
                s.AltCH1TrigType = ValueWord(types[0]);
                s.AltCH2TrigType = ValueWord(types[1]);
                s.AcquireType = ValueWord(vwAverage);
                const CtrlTreeModel tree = BuildCtrlTreeModel(s, la);
                for (int i = 0; i < int(tree.nodes.size()); ++i) {
                    const CtrlNodeData& n = tree.nodes[i];
                    const QString path = tree.Path(i);
                    const EditPrep e = PrepareEdit(path);
                    if (n.label == ControllerLabel(lbVirtualPanel) && n.parent == 0) {
                        QCOMPARE(e.Outcome, EditOutcome::VirtualPanel);
                    } else if (n.image == imgAction || (n.group == CtrlGroup::Display &&
                                                        n.item == 4)) {
                        QVERIFY2(e.Outcome == EditOutcome::ImmediateAction, qPrintable(path));
                    } else if (!n.hasValue) {
                        QVERIFY2(e.Outcome == EditOutcome::Nothing, qPrintable(path));
                    } else {
                        ++rows;
                        QVERIFY2(e.Outcome != EditOutcome::Nothing &&
                                     e.Outcome != EditOutcome::ImmediateAction,
                                 qPrintable(path));
                        QCOMPARE(e.FrameCaption, n.label);
                        QCOMPARE(e.Key == " ", e.Outcome == EditOutcome::AdjustEdit);
                        // Time/Div needs the instrument's format; PATTERN and
                        // DURATION are offered only with the analyser.
                        const bool unlisted =
                            n.label == ControllerLabel(lbTimeDiv) ||
                            (n.label == ControllerLabel(lbMethod) && !la &&
                             (method == vwPattern || method == vwDuration));
                        if (e.Outcome == EditOutcome::ChoiceEdit && !unlisted)
                            QVERIFY2(e.Selected >= 0 && e.Choices[e.Selected] == n.value,
                                     qPrintable(path));
                    }
                }
            }
        }
        QVERIFY(rows > 100);
    }

    void probeWithModelAboveOne() {
        Link().ModelEU = 2;
        QCOMPARE(PrepareEdit("KV2200M\\CH1\\Probe [2X]").Choices,
                 (QStringList{"1X", "2X", "5X", "10X", "50X", "100X", "500X", "1000X"}));
    }

    // The value box opens with a text that OK reads back to the node's own
    // value, whatever decimal point the user's locale has.
    void boxReadsBackInUserLocale_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<double>("number");
        QTest::newRow("holdoff") << "KV2200M\\Trigger\\Holdoff [100ns]" << 100e-9;
        QTest::newRow("pulse width") << "KV2200M\\Trigger\\Pulse width [1us]" << 1e-6;
        QTest::newRow("delay") << "KV2200M\\Time Base\\Delay [-1.50ms]" << -1.5e-3;
        QTest::newRow("offset") << "KV2200M\\CH2\\Offset [-120mV]" << -0.12;
        QTest::newRow("threshold family") << "KV2200M\\LA\\Threshold [ECL]" << -1.3;
        QTest::newRow("user threshold") << "KV2200M\\LA\\Threshold [1.40V]" << 1.4;
    }
    void boxReadsBackInUserLocale() {
        QFETCH(QString, path);
        QFETCH(double, number);
        DSOSettings().LAThreshold = "1.40V";
        const QLocale before;
        for (auto language : {QLocale::German, QLocale::French, QLocale::English}) {
            QLocale::setDefault(QLocale(language));
            const EditPrep e = PrepareEdit(path);
            double x = 0;
            const bool read = ReadTypedNumber(e.InputText, x);
            QLocale::setDefault(before);
            QVERIFY2(read, qPrintable(e.InputText));
            QVERIFY2(qAbs(x - number) <= 1e-9 * qAbs(number), qPrintable(e.InputText));
        }
        QCOMPARE(MsgBoxService::Log().size(), 0);
    }

    // PraseCtrlList shows the dialog with the key set, the adjust dialog
    // without a key, a message for the query-only item and the panel.
    void praseShowsAndEnds() {
        CtrlState().SelectedNodePath = "KV2200M\\CH1\\BW Limit [OFF]";
        PraseCtrlList(CtrlState().SelectedNodePath);
        QCOMPARE(CtrlState().SelectedNodePath, QString());
        QCOMPARE(shownDialogs.size(), 1);
        QCOMPARE(shownDialogs[0].Key, QString("CH1BW Limit"));
        QCOMPARE(CtrlState().CtrlEditKey, QString("CH1BW Limit"));

        PraseCtrlList("KV2200M\\CH2\\Volt/Div [2.00V]");
        QCOMPARE(adjustShown, 1);
        QCOMPARE(CtrlState().CtrlEditKey, QString(" "));

        PraseCtrlList("KV2200M\\Time Base\\Memory Size [4000]");
        // The panel node shows the panel; its hook unset is a wiring fault,
        // reported as such.
        int panels = 0;
        EditShow().ShowVirtualPanel = [&] { ++panels; };
        PraseCtrlList("KV2200M\\Virtual Panel");
        QCOMPARE(panels, 1);
        EditShow().ShowVirtualPanel = nullptr;
        SetMissingHookFatal(false);
        MissingHookLog().clear();
        PraseCtrlList("KV2200M\\Virtual Panel");
        SetMissingHookFatal(true);
        QCOMPARE(MissingHookLog(), QStringList{"EditShow().ShowVirtualPanel"});
        const auto log = MsgBoxService::Log();
        QCOMPARE(log.size(), 1);
        QCOMPARE(log[0].text, QString("This Item Query Only!"));
        QCOMPARE(log[0].style, int(vbExclamation));
        QCOMPARE(shownDialogs.size(), 1);
    }

    // The coarse/fine dialog of each channel opens with that channel's own
    // choice; a choice made for CH2 never lands on CH1.
    void coarseFineStaysWithItsChannel() {
        const auto recorder = EditShow().ShowCtrlDialogAdjust;
        EditShow().ShowCtrlDialogAdjust = nullptr;
        AdjustState() = AdjustStateData{};
        QStringList seen;  // channel caption, value, option shown
        auto open = [&](const QString& path, int click) {
            QTimer::singleShot(0, [&, click] {
                auto* d = qobject_cast<CtrlDialogAdjust*>(QApplication::activeModalWidget());
                if (!d) return;
                seen << d->txtDispValue->text() + (d->OptVoltDiv[1]->isChecked() ? " fine" : " coarse");
                if (click >= 0) d->OptVoltDiv[click]->click();
                d->reject();
            });
            PraseCtrlList(path);
        };
        open("KV2200M\\CH2\\Volt/Div [2.00V]", 1);   // CH2: choose fine
        open("KV2200M\\CH1\\Volt/Div [1.00V]", -1);  // CH1 keeps coarse
        open("KV2200M\\CH2\\Volt/Div [2.00V]", -1);  // CH2 opens fine
        open("KV2200M\\CH1\\Volt/Div [1.00V]", 1);   // CH1: choose fine
        open("KV2200M\\CH2\\Volt/Div [2.00V]", 0);   // CH2: back to coarse
        open("KV2200M\\CH1\\Volt/Div [1.00V]", -1);
        EditShow().ShowCtrlDialogAdjust = recorder;
        QCOMPARE(seen, (QStringList{"2.00V coarse", "1.00V coarse", "2.00V fine", "1.00V coarse",
                                    "2.00V fine", "1.00V fine"}));
        QCOMPARE(CtrlState().CtrlEditKey, QString(" "));
    }

    void refusedDuringTransfer() {
        Transfer().TransferBusy = true;
        CtrlState().CtrlEditKey = "TriggerMode";
        for (const QString path : {"KV2200M\\CH1\\BW Limit [OFF]", "KV2200M\\Display\\Clear",
                                   "KV2200M\\Virtual Panel"}) {
            CtrlState().SelectedNodePath = path;
            PraseCtrlList(CtrlState().SelectedNodePath);
            QCOMPARE(CtrlState().SelectedNodePath, path);
        }
        QCOMPARE(shownDialogs.size(), 0);
        const auto log = MsgBoxService::Log();
        QCOMPARE(log.size(), 3);
        QCOMPARE(log[0].text, QString("A transfer is running. Please wait until it has finished!"));
        QCOMPARE(CtrlState().CtrlEditKey, QString("TriggerMode"));
        // A group or sub-group node opens nothing: no refusal, the usual end.
        for (const QString path : {"KV2200M\\CH1", "KV2200M\\Trigger\\Code"}) {
            CtrlState().SelectedNodePath = path;
            PraseCtrlList(CtrlState().SelectedNodePath);
            QCOMPARE(CtrlState().SelectedNodePath, QString());
        }
        QCOMPARE(MsgBoxService::Log().size(), 3);

        UseLanguage(LangChinese);
        PraseCtrlList("KV2200M\\运行控制\\强制触发");
        QCOMPARE(MsgBoxService::Log().last().text, QString("正在传输数据，请等待传输结束！"));
        // Once it has ended, the panel node shows the panel.
        Transfer().TransferBusy = false;
        int panels = 0;
        EditShow().ShowVirtualPanel = [&] { ++panels; };
        PraseCtrlList("KV2200M\\虚拟面板");
        EditShow().ShowVirtualPanel = nullptr;
        QCOMPARE(panels, 1);
    }
};

QTEST_MAIN(EditDispatchTest)
#include "tst_editdispatch.moc"
