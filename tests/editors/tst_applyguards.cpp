// The apply's refusals and exits with a scripted instrument: a value that is
// not a number, a silent instrument, a method change under X-Y, a key of no
// branch, the limits, and a link that drops half-way (nothing committed).
#include <QtTest>

#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include "FakeTcpInstrument.h"
#include "LinkFixture.h"
#include "TestEnv.h"
#include "common/DSOSettings.h"
#include "common/Pause.h"
#include "common/ShellState.h"
#include "controller/CtrlState.h"
#include "controller/CtrlTree.h"
#include "controller/LevelMark.h"
#include "editors/AdjustLogic.h"
#include "editors/CtrlApply.h"
#include "editors/ImmediateActions.h"
#include "controller/CtrlValueNames.h"
#include "link/SettingCatalog.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/ReplyParse.h"
#include "link/UsbFunc.h"
#include "link/Vocabulary.h"
#include "platform/dialogs/MsgBox.h"

namespace {
QString key(std::initializer_list<int> labels) {
    QString k;
    for (int l : labels) k += ControllerLabel(l);
    return k;
}
}  // namespace

class ApplyGuardsTest : public QObject {
    Q_OBJECT
    FakeReplyScript script;
    std::unique_ptr<FakeTcpInstrument> fake;
    QStringList treeBefore;

    static QStringList treeTexts() {
        QStringList out;
        for (QTreeWidgetItemIterator it(CtrlTreeWidget()); *it; ++it) out << (*it)->text(0);
        return out;
    }

    void connect() {
        qputenv("KV2200_VISA_ALIASES",
                ("USB0::0x0400::0x05DC::SIM0001::INSTR=" + fake->Target()).toLatin1());
        QVERIFY(LinkFixture::OpenUsbAsConnected());
    }

private slots:
    void initTestCase() {
        TestEnv::Init();
        TestEnv::UseLanguage(LangEnglish);
        Visa::SetDefaultTimeoutMs(200);
        fake = std::make_unique<FakeTcpInstrument>(std::ref(script));
        OpenVisaRM();
        Link().LAPresent = false;
    }
    void init() {
        Shell().ScopeIOType = 0;
        script.Clear();
        script.Set("*IDN?", "TARVO TECHNOLOGIES,KV2202E,SN1,V1\n");
        script.Set(":CHANNEL1:OFFSET?", "2.000e-01\n");
        // The EDGE level follows CH2: a CH1 apply reads no level back.
        script.Set(":TRIGGER:EDGE:SOURCE?", "CH2\n");
        connect();
        SetDefaultCtrlSettings();
        fake->ClearLog();
        PauseService::ClearLog();
        MsgBoxService::ClearLog();
        CtrlState().CtrlModified = false;
        BuildCtrlTree();
        treeBefore = treeTexts();
    }
    void cleanupTestCase() {
        CloseVisaRM();
    }

    // What reaches the instrument, and what happens to the controller, per exit.
    void exits_data() {
        QTest::addColumn<QString>("setup");  // "silent", "X-Y", "no source" or ""
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("combo");
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("end");
        QTest::addColumn<QStringList>("sent");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("modified");
        const QString none;
        QTest::newRow("letters in the offset box")
            << "" << key({6, 9}) << "" << "abc" << int(ApplyEnd::NumberRefused)
            << QStringList{"*IDN?"} << "Enter number only!" << false;
        QTest::newRow("no channel selection before a refused alternation delay")
            << "" << key({18, 7, 20}) << "" << "1.2.3" << int(ApplyEnd::NumberRefused)
            << QStringList{"*IDN?"} << "Enter number only!" << false;
        QTest::newRow("not a finite number")
            << "" << key({24, 6, 21}) << "" << "1e999" << int(ApplyEnd::NumberRefused)
            << QStringList{"*IDN?"} << "Enter number only!" << false;
        QTest::newRow("holdoff far beyond the limit")
            << "" << key({24, 21}) << "" << "-3e30" << int(ApplyEnd::Applied)
            << QStringList{"*IDN?", ":TRIGGER:HOLDOFF -100000002004088000000000000000.0NS",
                           ":TRIGGER:HOLDOFF?"}
            << MessageTable().MsgReplyUnusable << true;  // its read-back got no reply
        QTest::newRow("silent instrument") << "silent" << key({6, 5}) << "ON" << ""
                                           << int(ApplyEnd::Silent) << QStringList{"*IDN?"}
                                           << MessageTable().MsgUsbReadFail << false;
        QTest::newRow("method refused under X-Y") << "X-Y" << key({24, 25}) << "PULSE" << ""
                                                  << int(ApplyEnd::Silent)
                                                  << QStringList{"*IDN?"} << none << false;
        QTest::newRow("key of no branch") << "" << key({82}) << "" << "" << int(ApplyEnd::Applied)
                                          << QStringList{"*IDN?"} << none << true;
        QTest::newRow("offset above the limit")
            << "" << key({6, 9}) << "" << "1000000" << int(ApplyEnd::Applied)
            << QStringList{"*IDN?", ":CHANNEL1:OFFSET 400000", ":CHANNEL1:OFFSET?", ":TRIGGER:EDGE:SOURCE?"}
            << none << true;
        QTest::newRow("offset below the limit")
            << "" << key({6, 9}) << "" << "-5e5" << int(ApplyEnd::Applied)
            << QStringList{"*IDN?", ":CHANNEL1:OFFSET -400000", ":CHANNEL1:OFFSET?", ":TRIGGER:EDGE:SOURCE?"}
            << none << true;
        // The level the road moved is not known now.
        QTest::newRow("EDGE method without a source reply")
            << "no source" << key({24, 25}) << "EDGE" << "" << int(ApplyEnd::Applied)
            << QStringList{"*IDN?", ":TRIGGER:MODE EDGE", ":TRIGGER:EDGE:SOURCE?"}
            << MessageTable().MsgReplyLevelsNotKnown.Naming({"Trigger ▸ EDGE ▸ Level"}) << true;
        QTest::newRow("trig type without a scale reply")
            << "" << key({24, 7, 38}) << "PULSE" << "" << int(ApplyEnd::Applied)
            << QStringList{"*IDN?", ":CHANNEL2:SCALE?", ":TRIGGER:ALTERNATION:TYPE PULSE"}
            << MessageTable().MsgReplyLevelsNotKnown.Naming({"Trigger ▸ CH2 ▸ PULSE ▸ Level"}) << true;
        QTest::newRow("user threshold without its read-back")
            << "" << key({14, 17}) << ValueWord(vwUser) << "1.5" << int(ApplyEnd::Applied)
            << QStringList{"*IDN?", ":LA:THRESHOLD 1.5V", ":LA:THRESHOLD?"}
            << MessageTable().MsgReplyUnusable << true;
        QTest::newRow("threshold preset")
            << "" << key({14, 17}) << "CMOS" << "2.5" << int(ApplyEnd::Applied)
            << QStringList{"*IDN?", ":LA:THRESHOLD CMOS"} << none << true;
    }
    void exits() {
        QFETCH(QString, setup);
        QFETCH(QString, key);
        QFETCH(QString, combo);
        QFETCH(QString, input);
        QFETCH(int, end);
        QFETCH(QStringList, sent);
        QFETCH(QString, message);
        QFETCH(bool, modified);
        if (setup == "silent") script.Clear();
        if (setup == "X-Y") DSOSettings().TimeBaseFormat = "X-Y";
        if (setup == "no source") script.SetReply(":TRIGGER:EDGE:SOURCE?", {});
        const CtrlSettings before = DSOSettings();

        QCOMPARE(int(ApplyCtrlEdit({key, combo, input, QString()})), end);
        QTRY_COMPARE(fake->Log(), sent);
        QCOMPARE(CtrlState().CtrlModified, modified);
        if (!modified) {
            QVERIFY(DSOSettings() == before);
            QCOMPARE(treeTexts(), treeBefore);
        }
        const QList<ShownMessage> shown = MsgBoxService::Log();
        QCOMPARE(shown.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            QCOMPARE(shown[0].text, message);
            QCOMPARE(shown[0].style, int(vbExclamation));
        }
    }

    // Every road that marks a level as not known after a failed read-back
    // says so in the one message, in the UI language, and names the levels;
    // the tree shows them as not known. A failed read-back that marked no
    // level keeps the message that nothing was changed.
    void levelNotKnownIsSaid_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("road");
        QTest::addColumn<bool>("marked");
        for (int language : {int(LangEnglish), int(LangChinese)}) {
            const char* lang = language == LangEnglish ? "English" : "Chinese";
            QTest::addRow("%s: trigger method", lang) << language << "method" << true;
            QTest::addRow("%s: EDGE source", lang) << language << "source" << true;
            QTest::addRow("%s: Set Trig to 50%%", lang) << language << "trig50" << true;
            QTest::addRow("%s: CH1 coarse/fine", lang) << language << "adjust" << true;
            QTest::addRow("%s: holdoff", lang) << language << "holdoff" << false;
        }
    }
    void levelNotKnownIsSaid() {
        QFETCH(int, language);
        QFETCH(QString, road);
        QFETCH(bool, marked);
        TestEnv::UseLanguage(language);
        SetDefaultCtrlSettings();
        BuildCtrlTree();
        // The EDGE source, or under CH1 its scale, does not answer.
        if (road == "adjust") {
            script.Set(":TRIGGER:EDGE:SOURCE?", "CH1\n");
            script.SetReply(":CHANNEL1:SCALE?", {});
        } else {
            script.SetReply(":TRIGGER:EDGE:SOURCE?", {});
        }
        if (road == "method") ApplyCtrlEdit({key({24, 25}), ValueWord(vwEdge), "", ""});
        else if (road == "source") ApplyCtrlEdit({key({24, 26}), "CH2", "", ""});
        else if (road == "trig50") RunSetTrigTo50();
        else if (road == "adjust") ApplyAdjust("2.00V", 0);
        else ApplyCtrlEdit({key({24, 21}), "", "1", ""});
        const QString name = CtrlValueName(SettingNumber(&CtrlSettings::TriggerEdgeLevel));
        const QList<ShownMessage> shown = MsgBoxService::Log();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text, marked ? MessageTable().MsgReplyLevelsNotKnown.Naming({name}) : MessageTable().MsgReplyUnusable);
        QCOMPARE(IsLevelNotKnown(DSOSettings().TriggerEdgeLevel), marked);
        const QString row = ControllerLabel(lbLevel) + " [" + MessageTable().MsgLevelNotKnown + "]";
        QCOMPARE(treeTexts().contains(row), marked);
        TestEnv::UseLanguage(LangEnglish);
    }

    // The coarse/fine dialog's box takes what it reads whole as volts, in the
    // user's decimal mark; what is stored (and so shown and uploaded) and
    // what is sent are the one value. Anything else is refused before
    // anything is sent or stored, and so is a value off the span the steppers
    // cover for the channel's probe (the message names the span).
    void adjustTakesVoltsOnly_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("probe");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("stored");   // "" = refused
        QTest::addColumn<QString>("sent");     // refused: "" not volts, else "low,high" of the span
        QTest::newRow("letters") << "C" << "1X" << "abc" << "" << "";
        QTest::newRow("empty") << "C" << "1X" << "" << "" << "";
        QTest::newRow("a prefix without a number") << "C" << "1X" << "mV" << "" << "";
        QTest::newRow("zero") << "C" << "1X" << "0mV" << "" << "";
        QTest::newRow("negative") << "C" << "1X" << "-2V" << "" << "";
        QTest::newRow("beyond any display") << "C" << "1X" << "1e9V" << "" << "";
        QTest::newRow("a comma where the point is the mark") << "C" << "1X" << "2,5V" << "" << "";
        QTest::newRow("a number with more after it") << "C" << "1X" << "2.5Vx" << "" << "";
        QTest::newRow("millivolts") << "C" << "1X" << "50.0mV" << "50.0mV" << "0.05";
        QTest::newRow("volts") << "C" << "1X" << "2V" << "2.00V" << "2";
        QTest::newRow("a bare number is volts") << "C" << "1X" << "2" << "2.00V" << "2";
        QTest::newRow("a bare decimal") << "C" << "1X" << "2.5" << "2.50V" << "2.5";
        QTest::newRow("the decimal comma") << "de_DE" << "1X" << "2,5V" << "2.50V" << "2.5";
        QTest::newRow("the display's point under a comma locale") << "de_DE" << "1X" << "1.00V" << "1.00V" << "1";
        QTest::newRow("more digits than shown") << "C" << "1X" << "2.004V" << "2.00V" << "2";
        QTest::newRow("a kilovolt at 1X") << "C" << "1X" << "1e3V" << "" << "2.00mV,10.0V";
        QTest::newRow("above the top") << "C" << "1X" << "10.1V" << "" << "2.00mV,10.0V";
        QTest::newRow("below the bottom") << "C" << "1X" << "1.95mV" << "" << "2.00mV,10.0V";
        QTest::newRow("the bottom") << "C" << "1X" << "2mV" << "2.00mV" << "0.002";
        QTest::newRow("the top") << "C" << "1X" << "10V" << "10.0V" << "10";
        QTest::newRow("the top times the probe") << "C" << "100X" << "1kV" << "1.00kV" << "1000";
        QTest::newRow("beyond it") << "C" << "100X" << "2kV" << "" << "200mV,1.00kV";
        QTest::newRow("below a 10X probe's bottom") << "C" << "10X" << "10mV" << "" << "20.0mV,100V";
        QTest::newRow("a probe of no list spans as 1X") << "C" << "3X" << "20V" << "" << "2.00mV,10.0V";
    }
    void adjustTakesVoltsOnly() {
        QFETCH(QString, locale);
        QFETCH(QString, probe);
        QFETCH(QString, input);
        QFETCH(QString, stored);
        QFETCH(QString, sent);
        const bool refused = stored.isEmpty();
        QLocale::setDefault(QLocale(locale));
        DSOSettings().CH1Probe = probe;
        const CtrlSettings before = DSOSettings();
        const AdjustEnd end = ApplyAdjust(input, 0);
        QLocale::setDefault(QLocale::c());
        QCOMPARE(end, refused ? AdjustEnd::NumberRefused : AdjustEnd::Applied);
        QCOMPARE(CtrlState().CtrlModified, !refused);
        QueryCmd("*IDN?");  // its reply means anything sent before it has arrived
        if (refused) {
            QCOMPARE(fake->Log(), QStringList{"*IDN?"});
            QVERIFY(DSOSettings() == before);
            QCOMPARE(treeTexts(), treeBefore);
            const QString message = sent.isEmpty() ? MessageTable().MsgVoltsOnly
                                                   : MessageTable().MsgVoltDivRange.arg(sent.section(',', 0, 0),
                                                                                        sent.section(',', 1));
            QCOMPARE(LinkFixture::ShownTexts(), QStringList{message + " / "});
        } else {
            QCOMPARE(DSOSettings().CH1Scale, stored);
            QCOMPARE(CtrlNode(2, 3)->text(0), "Volt/Div [" + stored + "]");
            QVERIFY(fake->Log().contains(":CHANNEL1:SCALE " + sent));
        }
    }

    // No reply to the EDGE source: the read-back of the method ends before
    // anything of the EDGE block or the holdoff is stored, yet the method is
    // taken, the tree rebuilt in its shape and the method node rewritten. The
    // level, with no source to count it by, is not known.
    void edgeMethodWithoutSourceKeepsItsBlock() {
        script.SetReply(":TRIGGER:EDGE:SOURCE?", {});
        DSOSettings().TriggerMethod = ValueWord(vwPulse);
        DSOSettings().TriggerHoldoff = "123ns";
        DSOSettings().TriggerEdgeSource = "EXT";
        BuildCtrlTree();
        CtrlSettings expected = DSOSettings();
        expected.TriggerMethod = ValueWord(vwEdge);
        expected.TriggerEdgeLevel = LevelNotKnownText();
        QCOMPARE(ApplyCtrlEdit({key({24, 25}), ValueWord(vwEdge), "", ""}), ApplyEnd::Applied);
        QVERIFY(DSOSettings() == expected);
        QCOMPARE(CtrlNode(6, 2)->text(0), QString("Method [EDGE]"));
        QCOMPARE(CtrlNode(6, 4)->text(0), "Slope [" + expected.TriggerEdgeSlope + "]");
        QCOMPARE(CtrlTreeWidget()->currentItem(), CtrlNode(6, 2));
    }

    // A link that drops half-way: the commands before the drop went out, but
    // the mirror, the tree and the modified flag stay as they were, and the
    // user is told.
    void lostLinkCommitsNothing_data() {
        QTest::addColumn<bool>("adjust");
        QTest::newRow("setting dialog") << false;
        QTest::newRow("coarse/fine dialog") << true;
    }
    void lostLinkCommitsNothing() {
        QFETCH(bool, adjust);
        // The link drops after the probe (coarse/fine) or during the scale
        // read-back (setting dialog); the next write finds it gone.
        script.Drop(adjust ? ":CHANNEL1:PROBE 10" : ":CHANNEL1:SCALE?");
        DSOSettings().CH1Probe = "10X";
        const CtrlSettings before = DSOSettings();
        if (adjust) {
            // The drop must reach the link before the next write: give the
            // pause after the probe command a few real milliseconds.
            PauseService::SetScale(0.2);
            const AdjustEnd end = ApplyAdjust("50.0mV", 0);
            PauseService::SetScale(0);
            QCOMPARE(end, AdjustEnd::LinkLost);
        }
        else
            QCOMPARE(ApplyCtrlEdit({key({6, 12}), "5X", "", ""}), ApplyEnd::LinkLost);
        QVERIFY(!Link().IsConnected);
        QVERIFY(DSOSettings() == before);
        QCOMPARE(treeTexts(), treeBefore);
        QVERIFY(!CtrlState().CtrlModified);
        QVERIFY(LinkFixture::ShownTexts().contains(MessageTable().MsgConnectFirst + " / "));
    }
};

QTEST_MAIN(ApplyGuardsTest)
#include "tst_applyguards.moc"
