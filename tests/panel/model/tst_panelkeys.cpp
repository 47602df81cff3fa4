// The key tables of both brands and the held-key repeat, without a window.
// Built twice: against the model of this build's brand and of the other one.
#include <QtTest>

#include "panel/model/KeyRepeat.h"
#include "panel/model/PanelKeys.h"

namespace {
struct Row {
    const char* control;
    const char* command;
    bool held;
};

// Every key with its command, as the instruments expect them.
const std::vector<Row> kMainRows = {
    {"VK_Menu_Off", ":KEY:MNUOFF", false}, {"VK_Run", ":KEY:RUN", false},
    {"VK_Auto", ":KEY:AUTO", false}, {"VK_Measure", ":KEY:MEASURE", false},
    {"VK_Acquire", ":KEY:ACQUIRE", false}, {"VK_Storage", ":KEY:STORAGE", false},
    {"VK_Cursor", ":KEY:CURSOR", false}, {"VK_Display", ":KEY:DISPLAY", false},
    {"VK_Utility", ":KEY:UTILITY", false}, {"VK_CH1", ":KEY:CHANNEL1", false},
    {"VK_CH2", ":KEY:CHANNEL2", false}, {"VK_Math", ":KEY:MATH", false},
    {"VK_Ref", ":KEY:REF", false}, {"VK_La", ":KEY:LA", false},
    {"VK_CH_Off", ":KEY:OFF", false}, {"VK_TimeMenu", ":KEY:MNUTIME", false},
    {"VK_Trig_Menu", ":KEY:MNUTRIG", false}, {"VK_Trig_50", ":KEY:TRIG%50", false},
    {"VK_Trig_Force", ":FORCETRIG", false}, {"VK_F1", ":KEY:F1", false},
    {"VK_F2", ":KEY:F2", false}, {"VK_F3", ":KEY:F3", false},
    {"VK_F4", ":KEY:F4", false}, {"VK_F5", ":KEY:F5", false},
    {"VK_P_V", ":KEY:PROMPT_V", false}, {"VK_P_V_P", ":KEY:PROMPT_V_POS", false},
    {"VK_P_H", ":KEY:PROMPT_H", false}, {"VK_P_H_P", ":KEY:PROMPT_H_POS", false},
    {"VK_P_L", ":KEY:PROMPT_TRIG_LVL", false}, {"VK_F_F", ":KEY:FUNCTION", false},
    {"VK_V_Dec", ":KEY:V_SCALE_DEC", false}, {"VK_V_Inc", ":KEY:V_SCALE_INC", false},
    {"VK_H_Dec", ":KEY:H_SCALE_DEC", false}, {"VK_H_Inc", ":KEY:H_SCALE_INC", false},
    {"VK_F_DEC", ":KEY:-FUNCTION", true}, {"VK_F_INC", ":KEY:+FUNCTION", true},
    {"VK_V_Pos_Dec", ":KEY:V_POS_DEC", true}, {"VK_V_Pos_Inc", ":KEY:V_POS_INC", true},
    {"VK_H_Pos_Dec", ":KEY:H_POS_INC", true}, {"VK_H_Pos_Inc", ":KEY:H_POS_DEC", true},
    {"VK_Trig_Lvl_Dec", ":KEY:TRIG_LVL_DEC", true}, {"VK_Trig_Lvl_Inc", ":KEY:TRIG_LVL_INC", true},
};

const std::vector<Row> kSecondRows = {
    {"VK_Acquire", ":KEY:ACQUIRE", false}, {"VK_Auto", ":KEY:AUTO", false},
    {"VK_AutoMode", ":KEY:TRIG_AUTO", false}, {"VK_NormalMode", ":KEY:TRIG_NORMAL", false},
    {"VK_Copy", ":KEY:COPY", false}, {"VK_CH1", ":KEY:CHANNEL1", false},
    {"VK_CH2", ":KEY:CHANNEL2", false}, {"VK_Cursor", ":KEY:CURSOR", false},
    {"VK_Display", ":KEY:DISPLAY", false}, {"VK_F1", ":KEY:F1", false},
    {"VK_F2", ":KEY:F2", false}, {"VK_F3", ":KEY:F3", false},
    {"VK_F4", ":KEY:F4", false}, {"VK_F5", ":KEY:F5", false},
    {"VK_La", ":KEY:LA", false}, {"VK_Math", ":KEY:MATH", false},
    {"VK_Measure", ":KEY:MEASURE", false}, {"VK_Menu_Off", ":KEY:MNUOFF", false},
    {"VK_Ref", ":KEY:REF", false}, {"VK_Run", ":KEY:RUN", false},
    {"VK_Storage", ":KEY:STORAGE", false}, {"VK_TimeMenu", ":KEY:MNUTIME", false},
    {"VK_Trig_Menu", ":KEY:MNUTRIG", false}, {"VK_Utility", ":KEY:UTILITY", false},
    {"VK_Trig_Force", ":KEY:FORCE", false}, {"VK_F_F", ":KEY:FUNCTION", false},
    {"VK_P_V", ":KEY:PROMPT_V", false}, {"VK_P_V_P", ":KEY:PROMPT_V_POS", false},
    {"VK_P_H", ":KEY:PROMPT_H", false}, {"VK_P_H_P", ":KEY:PROMPT_H_POS", false},
    {"VK_P_L", ":KEY:PROMPT_TRIG_LVL", false}, {"VK_H_Dec", ":KEY:H_SCALE_DEC", false},
    {"VK_H_Inc", ":KEY:H_SCALE_INC", false}, {"VK_V_Dec", ":KEY:V_SCALE_INC", false},
    {"VK_V_Inc", ":KEY:V_SCALE_DEC", false}, {"VK_F_DEC", ":KEY:-FUNCTION", false},
    {"VK_F_INC", ":KEY:+FUNCTION", false}, {"VK_H_Pos_Dec", ":KEY:H_POS_INC", true},
    {"VK_H_Pos_Inc", ":KEY:H_POS_DEC", true}, {"VK_V_Pos_Dec", ":KEY:V_POS_DEC", true},
    {"VK_V_Pos_Inc", ":KEY:V_POS_INC", true}, {"VK_Trig_Lvl_Dec", ":KEY:TRIG_LVL_DEC", true},
    {"VK_Trig_Lvl_Inc", ":KEY:TRIG_LVL_INC", true},
};

const PanelKey& key(const std::vector<PanelKey>& keys, const char* control) {
    const PanelKey* k = FindPanelKey(keys, control);
    if (!k) qFatal("no key %s", control);
    return *k;
}

// A key repeat that logs what it sends, with "*" for each CommandSent mark.
struct Recorder {
    QStringList log;
    KeyRepeat repeat;
    Recorder(const PanelBrandRules& rules, bool inPanel)
        : repeat(rules, inPanel, [this](const QString& c) { log << c; }, [this] { log << "*"; }) {}
};
}  // namespace

class PanelKeysTest : public QObject {
    Q_OBJECT

private slots:
    // This build's table: every key once, with its command and its kind.
    void builtBrandTable() {
        const bool second = BuildPanelBrand() == PanelBrand::Second;
        const std::vector<Row>& rows = second ? kSecondRows : kMainRows;
        const std::vector<PanelKey>& keys = PanelKeyCommands();
        QCOMPARE(keys.size(), rows.size());
        QCOMPARE(int(keys.size()), second ? 43 : 42);
        for (const Row& r : rows) {
            const PanelKey& k = key(keys, r.control);
            QCOMPARE(QString(k.command), QString(r.command));
            QCOMPARE(k.action == KeyAction::Held, r.held);
        }
        QCOMPARE(PanelRules().repeatMs, second ? 100 : 200);
        QCOMPARE(PanelRules().zoom, !second);
        // Keys of one brand only.
        QCOMPARE(FindPanelKey(keys, "VK_CH_Off") == nullptr, second);
        QCOMPARE(FindPanelKey(keys, "VK_Trig_50") == nullptr, second);
        QCOMPARE(FindPanelKey(keys, "VK_Copy") == nullptr, !second);
    }

    void repeatSteps_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("step");
        for (auto [c, s] : std::vector<std::pair<int, int>>{
                 {1, 0}, {5, 0}, {6, 2}, {10, 2}, {11, 5}, {15, 5}, {16, 10}, {20, 10}, {21, 20}, {50, 20}, {51, 50}, {60000, 50}})
            QTest::addRow("%d", c) << c << s;
    }
    void repeatSteps() {
        QFETCH(int, count);
        QFETCH(int, step);
        QCOMPARE(RepeatStep(count), step);
    }

    void mainBrandHeldKey() {
        Recorder r(MainBrandRules(), false);  // the key pad
        const PanelKey& pos = key(MainBrandKeys(), "VK_H_Pos_Dec");
        // A short press and release: one command with step 0, nothing on the click.
        r.repeat.Press(pos);
        r.repeat.Release();
        r.repeat.Click(pos);
        r.repeat.Tick();
        QCOMPARE(r.log, QStringList{":KEY:H_POS_INC 0"});

        // Eleven ticks: five with 0, five with 2, one with 5, each marked.
        r.log.clear();
        const PanelKey& lvl = key(MainBrandKeys(), "VK_Trig_Lvl_Inc");
        r.repeat.Press(lvl);
        for (int i = 0; i < 11; ++i) r.repeat.Tick();
        QStringList want{":KEY:TRIG_LVL_INC 0"};
        for (int i = 1; i <= 11; ++i) want << "*" << QString(":KEY:TRIG_LVL_INC %1").arg(RepeatStep(i));
        QCOMPARE(r.log, want);
        QCOMPARE(r.log.last(), QString(":KEY:TRIG_LVL_INC 5"));

        // Another held key starts again from 0 with its own command.
        r.log.clear();
        r.repeat.Press(key(MainBrandKeys(), "VK_V_Pos_Inc"));
        r.repeat.Tick();
        QCOMPARE(r.log, (QStringList{":KEY:V_POS_INC 0", "*", ":KEY:V_POS_INC 0"}));
        // The count stops at 60000; the step stays 50.
        for (int i = 0; i < 60010; ++i) r.repeat.Tick();
        QCOMPARE(r.repeat.KeyRepeatCount(), KeyRepeat::MaxRepeatCount);
        QCOMPARE(r.log.last(), QString(":KEY:V_POS_INC 50"));
        // The release keeps the command and count until the next press.
        r.repeat.Release();
        QVERIFY(!r.repeat.Held());
        QCOMPARE(r.repeat.HeldKeyCommand(), QString(":KEY:V_POS_INC"));
        // The click after it sends nothing either (no extra ":KEY:V_POS_INC").
        r.log.clear();
        r.repeat.Click(key(MainBrandKeys(), "VK_V_Pos_Inc"));
        QVERIFY(r.log.isEmpty());
    }

    void commandSentMarks_data() {
        QTest::addColumn<bool>("second");
        QTest::addColumn<bool>("inPanel");
        QTest::addColumn<QStringList>("log");
        QTest::newRow("main key pad") << false << false
                                      << QStringList{":FORCETRIG", ":KEY:V_POS_DEC 0", "*", ":KEY:V_POS_DEC 0"};
        QTest::newRow("main panel") << false << true
                                    << QStringList{"*", ":FORCETRIG", "*", ":KEY:V_POS_DEC 0", "*", ":KEY:V_POS_DEC 0"};
        QTest::newRow("second key pad") << true << false << QStringList{":KEY:FORCE", ":KEY:V_POS_DEC"};
        QTest::newRow("second panel") << true << true << QStringList{"*", ":KEY:FORCE", "*", ":KEY:V_POS_DEC"};
    }
    void commandSentMarks() {
        QFETCH(bool, second);
        QFETCH(bool, inPanel);
        QFETCH(QStringList, log);
        const auto& keys = second ? SecondBrandKeys() : MainBrandKeys();
        Recorder r(second ? SecondBrandRules() : MainBrandRules(), inPanel);
        r.repeat.Click(key(keys, "VK_Trig_Force"));
        r.repeat.Press(key(keys, "VK_V_Pos_Dec"));
        r.repeat.Tick();
        QCOMPARE(r.log, log);
    }

    void secondBrandHeldKey() {
        Recorder r(SecondBrandRules(), true);
        const PanelKey& pos = key(SecondBrandKeys(), "VK_H_Pos_Inc");
        // A short click: the command once, bare.
        r.repeat.Press(pos);
        r.repeat.Release();
        r.repeat.Click(pos);
        QCOMPARE(r.log, QStringList{":KEY:H_POS_DEC"});
        // Held for three ticks: the same text each tick and once more on the click.
        r.log.clear();
        r.repeat.Press(pos);
        for (int i = 0; i < 3; ++i) r.repeat.Tick();
        r.repeat.Release();
        r.repeat.Tick();
        r.repeat.Click(pos);
        QCOMPARE(r.log, QStringList(4, ":KEY:H_POS_DEC"));
        QCOMPARE(r.repeat.KeyRepeatCount(), 0);
        // The function knob is click-only: a press does not start a repeat.
        r.log.clear();
        const PanelKey& fn = key(SecondBrandKeys(), "VK_F_INC");
        r.repeat.Press(fn);
        r.repeat.Tick();
        r.repeat.Click(fn);
        QCOMPARE(r.log, QStringList{":KEY:+FUNCTION"});
    }
};

QTEST_GUILESS_MAIN(PanelKeysTest)
#include "tst_panelkeys.moc"
