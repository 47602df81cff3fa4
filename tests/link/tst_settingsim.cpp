// Trigger helpers and keyword converters against the simulated instrument,
// through the real command layer over the USB transport (alias to TCP).
#include <QtTest>

#include "LinkFixture.h"
#include "Simulator.h"
#include "TestEnv.h"
#include "common/DSOSettings.h"
#include "common/ShellState.h"
#include "link/Converters.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/ReplyParse.h"
#include "link/UsbFunc.h"
#include "link/Vocabulary.h"

class SettingSimTest : public QObject {
    Q_OBJECT
    Simulator sim;

private slots:
    void initTestCase() {
        QVERIFY(LinkFixture::StartUsbSimulator(sim));
        TestEnv::UseLanguage(LangEnglish);
    }
    void init() {
        QVERIFY(LinkFixture::ReconnectUsb(sim));
        LinkFixture::ResetInstrument(sim);
    }
    void cleanupTestCase() { LinkFixture::StopSimulator(sim); }

    void triggerLevel_data() {
        QTest::addColumn<QString>("setup");  // commands sent first, ";"-separated
        QTest::addColumn<QString>("level");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QStringList>("queries");
        const QStringList ch1 = {":CHANNEL1:SCALE?", ":CHANNEL1:OFFSET?"};
        const QStringList ch2 = {":CHANNEL2:SCALE?", ":CHANNEL2:OFFSET?"};
        QTest::newRow("scale 0.5, offset 1") << ":CHANNEL1:SCALE 0.5;:CHANNEL1:OFFSET 1"
                                             << "2.00div" << "CH1" << "0" << ch1;
        QTest::newRow("defaults of CH1") << "" << "2.00div" << "CH1" << ".5" << ch1;
        QTest::newRow("negative below 1") << ":CHANNEL2:SCALE 0.2;:CHANNEL2:OFFSET 0.1"
                                          << "-1.00div" << "CH2" << "-.3" << ch2;
        QTest::newRow("millivolts") << ":CHANNEL1:SCALE 0.002;:CHANNEL1:OFFSET 0"
                                    << "3.10div" << "CH1" << ".0062" << ch1;
        // 1.44 x 1 - 1.5 leaves -0.06000000000000005: the noise is not sent.
        QTest::newRow("noise of the difference") << "" << "1.44div" << "CH1" << "-.06" << ch1;
        QTest::newRow("large, without an exponent") << ":CHANNEL1:SCALE 50;:CHANNEL1:OFFSET 0"
                                                    << "4.00div" << "CH1" << "200" << ch1;
        QTest::newRow("EXT asks nothing") << "" << "2.00div" << "EXT" << ".4" << QStringList();
        QTest::newRow("logic channel asks nothing")
            << "" << "2.00div" << "D4" << "0" << QStringList();
    }
    void triggerLevel() {
        QFETCH(QString, setup);
        QFETCH(QString, level);
        QFETCH(QString, source);
        QFETCH(QString, expected);
        QFETCH(QStringList, queries);
        for (const QString& c : setup.split(';', Qt::SkipEmptyParts)) SendCmd(c);
        QueryCmd("*IDN?");  // the reply means every command before it has arrived
        sim.ClearLog();
        // Commands carry "." whatever the user's locale.
        QLocale::setDefault(QLocale(QLocale::German));
        QCOMPARE(TriggerLevelText(level, source), expected);
        QLocale::setDefault(QLocale::c());
        QCOMPARE(sim.Log(), queries);
    }

    void silentInstrumentCountsAsZero() {
        sim.SetFault("silent");
        QCOMPARE(TriggerLevelText("2.00div", "CH1"), QString("0"));
    }

    // The pattern the sender writes reads back into the same codes.
    void patternRoundTrip() {
        CtrlSettings& s = DSOSettings();
        SetDefaultCtrlSettings();
        s.TriggerMethod = ValueWord(vwPattern);
        const char* codes = "H L X H L X H L X H L Falling H L X H";
        const QStringList parts = QString(codes).split(' ');
        for (int k = 1; k <= 16; ++k) s.TriggerPatternCode[k] = parts[k - 1];
        SendPatternTrigger(4);  // D4 (element 12) holds the edge
        QueryCmd("*IDN?");
        const QStringList log = sim.Log();
        QCOMPARE(log.size(), 2);
        QVERIFY(log[0].startsWith(":TRIGGER:PATTERN:PATTERN "));
        QVERIFY(log[0].endsWith(",4,0"));

        QString reply = TrimReply(QueryCmd(":TRIGGER:PATTERN:PATTERN?"));
        CtrlCodeArray back;
        PatternText(reply, back);
        for (int k = 1; k <= 16; ++k) QCOMPARE(back[k], s.TriggerPatternCode[k]);
    }

    // Each word goes out through its keyword and comes back through the
    // instrument's reply form as the same word.
    void keywordRoundTrip_data() {
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("pair");
        QTest::addColumn<int>("word");
        QTest::newRow("alternation method") << ":TRIGGER:MODE" << "TrigMode" << int(vwAlternative);
        QTest::newRow("duration method") << ":TRIGGER:MODE" << "TrigMode" << int(vwDuration);
        QTest::newRow("edge slope") << ":TRIGGER:EDGE:SLOPE" << "EdgeSlope" << int(vwFalling);
        QTest::newRow("edge slope both") << ":TRIGGER:EDGE:SLOPE" << "EdgeSlope" << int(vwAlternation);
        QTest::newRow("sweep") << ":TRIGGER:EDGE:SWEEP" << "Sweep" << int(vwSingle);
        QTest::newRow("coupling") << ":TRIGGER:EDGE:COUPLING" << "Coupling" << int(vwHF);
        QTest::newRow("pulse") << ":TRIGGER:PULSE:MODE" << "PulseMode" << int(vwPulseLessNeg);
        QTest::newRow("slope") << ":TRIGGER:SLOPE:MODE" << "SlopeMode" << int(vwSlopeEqualPos);
        QTest::newRow("sync all") << ":TRIGGER:VIDEO:MODE" << "VideoSync" << int(vwAllLines);
        QTest::newRow("sync odd") << ":TRIGGER:VIDEO:MODE" << "VideoSync" << int(vwOddField);
        QTest::newRow("qualifier") << ":TRIGGER:DURATION:QUALIFIER" << "DurationQual"
                                   << int(vwGreaterThan);
        QTest::newRow("sampling") << ":ACQUIRE:MODE" << "AcqMode" << int(vwEqualTime);
        QTest::newRow("acquisition") << ":ACQUIRE:TYPE" << "AcqType" << int(vwPeakDetect);
        QTest::newRow("grid") << ":DISPLAY:GRID" << "Grid" << int(vwHalf);
        QTest::newRow("bandwidth") << ":CHANNEL1:BWLIMIT" << "OnOff" << int(vwOn);
    }
    void keywordRoundTrip() {
        QFETCH(QString, header);
        QFETCH(QString, pair);
        QFETCH(int, word);
        using Conv = QString (*)(const QString&);
        static const QMap<QString, QPair<Conv, Conv>> pairs = {
            {"TrigMode", {TrigModeToKeyword, TrigModeToText}},
            {"EdgeSlope", {EdgeSlopeToKeyword, EdgeSlopeToText}},
            {"Sweep", {SweepToKeyword, SweepToText}},
            {"Coupling", {CouplingToKeyword, CouplingToText}},
            {"PulseMode", {PulseModeToKeyword, PulseModeToText}},
            {"SlopeMode", {SlopeModeToKeyword, SlopeModeToText}},
            {"VideoSync", {VideoSyncToKeyword, VideoSyncToText}},
            {"DurationQual", {DurationQualToKeyword, DurationQualToText}},
            {"AcqMode", {AcqModeToKeyword, AcqModeToText}},
            {"AcqType", {AcqTypeToKeyword, AcqTypeToText}},
            {"Grid", {GridToKeyword, GridToText}},
            {"OnOff", {OnOffToKeyword, OnOffToText}},
        };
        const auto conv = pairs.value(pair);
        SendCmd(header + " " + conv.first(ValueWord(word)));
        QCOMPARE(conv.second(TrimReply(QueryCmd(header + "?"))), ValueWord(word));
    }
};

QTEST_MAIN(SettingSimTest)
#include "tst_settingsim.moc"
