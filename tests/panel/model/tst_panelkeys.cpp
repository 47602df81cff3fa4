// The key tables of both brands and the held-key repeat, without a window.
// Built twice: against the model of this build's brand and of the other one.
#include <QtTest>

#include "panel/model/KeyRepeat.h"
#include "panel/model/PanelKeys.h"

namespace {
// The key word of each knob's keys: the push key's, and the words of the
// turn that lowers and the turn that raises; whether the turns repeat while
// held (the scale knobs step once per click).
struct KnobWords {
    const char* push;
    const char* pushWord;
    const char* lower;
    const char* raise;
    bool held;
};
const KnobWords kKnobWords[] = {
    {"VK_F_F", "FUNCTION", "-FUNCTION", "+FUNCTION", true},
    {"VK_P_V", "PROMPT_V", "V_SCALE_DEC", "V_SCALE_INC", false},
    {"VK_P_V_P", "PROMPT_V_POS", "V_POS_DEC", "V_POS_INC", true},
    {"VK_P_H", "PROMPT_H", "H_SCALE_DEC", "H_SCALE_INC", false},
    {"VK_P_H_P", "PROMPT_H_POS", "H_POS_DEC", "H_POS_INC", true},
    {"VK_P_L", "PROMPT_TRIG_LVL", "TRIG_LVL_DEC", "TRIG_LVL_INC", true},
};

// Keys whose word is not their own name; every other key that is not a
// knob's sends ":KEY:" and its name in capitals (VK_Run: ":KEY:RUN").
const std::pair<const char*, const char*> kOtherWords[] = {
    {"VK_Menu_Off", "MNUOFF"},   {"VK_CH1", "CHANNEL1"},     {"VK_CH2", "CHANNEL2"},
    {"VK_CH_Off", "OFF"},        {"VK_TimeMenu", "MNUTIME"}, {"VK_Trig_Menu", "MNUTRIG"},
    {"VK_Trig_50", "TRIG%50"},   {"VK_AutoMode", "TRIG_AUTO"}, {"VK_NormalMode", "TRIG_NORMAL"},
};

void addBrandRows() {
    QTest::addColumn<bool>("second");
    QTest::newRow("main brand") << false;
    QTest::newRow("second brand") << true;
}

const std::vector<PanelKey>& keysOf(bool second) { return second ? SecondBrandKeys() : MainBrandKeys(); }
const PanelBrandRules& rulesOf(bool second) { return second ? SecondBrandRules() : MainBrandRules(); }

// The command a key must send, from the rules above.
QString expectedCommand(const QString& control, bool second) {
    if (control == "VK_Trig_Force") return second ? ":KEY:FORCE" : ":FORCETRIG";
    for (const auto& [c, word] : kOtherWords)
        if (control == QLatin1String(c)) return QStringLiteral(":KEY:") + word;
    if (const PanelKnob* knob = KnobOf(control)) {
        for (const KnobWords& w : kKnobWords) {
            if (QLatin1String(w.push) != QLatin1String(knob->push)) continue;
            if (control == QLatin1String(knob->push)) return QStringLiteral(":KEY:") + w.pushWord;
            // The horizontal position turns are crossed in both brands, and
            // the second brand's vertical scale turns reversed.
            const bool swapped = control.startsWith("VK_H_Pos_") || (second && (control == "VK_V_Dec" || control == "VK_V_Inc"));
            const bool lowers = (control == QLatin1String(knob->dec)) != swapped;
            return QStringLiteral(":KEY:") + (lowers ? w.lower : w.raise);
        }
    }
    return QStringLiteral(":KEY:") + control.mid(3).toUpper();
}

// Whether a key repeats while held.
bool expectedHeld(const QString& control, bool second) {
    const PanelKnob* knob = KnobOf(control);
    if (!knob || control == QLatin1String(knob->push)) return false;
    if (second && control.startsWith("VK_F_")) return false;  // one step per click there
    for (const KnobWords& w : kKnobWords)
        if (QLatin1String(w.push) == QLatin1String(knob->push)) return w.held;
    return false;
}

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
    // Every key once, with the command its name, its knob or its brand gives it.
    void everyKeyHasItsCommand_data() { addBrandRows(); }
    void everyKeyHasItsCommand() {
        QFETCH(bool, second);
        const std::vector<PanelKey>& keys = keysOf(second);
        QCOMPARE(int(keys.size()), second ? 43 : 42);
        QSet<QString> controls, commands;
        for (const PanelKey& k : keys) {
            const QString control = QString::fromLatin1(k.control);
            QVERIFY2(!controls.contains(control), k.control);
            QVERIFY2(!commands.contains(QString::fromLatin1(k.command)), k.command);
            controls << control;
            commands << QString::fromLatin1(k.command);
            QCOMPARE(QString::fromLatin1(k.command), expectedCommand(control, second));
        }
        // Both brands have every knob whole.
        for (const PanelKnob& knob : PanelKnobs())
            QVERIFY(controls.contains(knob.dec) && controls.contains(knob.push) && controls.contains(knob.inc));
    }

    // The knob turns repeat while held (not the scale knobs', and not the
    // second brand's function knob); every other key acts on its click. A held
    // key sends at the press and at each tick, and its click sends only in
    // the second brand.
    void heldKeysRepeat_data() { addBrandRows(); }
    void heldKeysRepeat() {
        QFETCH(bool, second);
        int held = 0;
        for (const PanelKey& k : keysOf(second)) {
            const QString control = QString::fromLatin1(k.control);
            const QString command = QString::fromLatin1(k.command);
            QCOMPARE(k.action == KeyAction::Held, expectedHeld(control, second));
            Recorder r(rulesOf(second), false);
            r.repeat.Press(k);
            r.repeat.Tick();
            r.repeat.Release();
            r.repeat.Click(k);
            QStringList want{command};
            if (k.action == KeyAction::Held) {
                ++held;
                want = second ? QStringList{command, command} : QStringList{command + " 0", "*", command + " 0"};
            }
            QCOMPARE(r.log, want);
        }
        QCOMPARE(held, second ? 6 : 8);
    }

    // The second brand is the main brand's table less OFF and 50%, plus the
    // two trigger-mode keys and Copy; of the keys both have, only the force
    // trigger, the reversed vertical scale and the click-only function knob differ.
    void secondBrandDifferences() {
        const std::vector<PanelKey>& main = MainBrandKeys();
        const std::vector<PanelKey>& second = SecondBrandKeys();
        const QStringList onlyMain{"VK_CH_Off", "VK_Trig_50"};
        const QStringList onlySecond{"VK_AutoMode", "VK_NormalMode", "VK_Copy"};
        for (const PanelKey& m : main) {
            const QString control = QString::fromLatin1(m.control);
            const PanelKey* s = FindPanelKey(second, control);
            QCOMPARE(s == nullptr, onlyMain.contains(control));
            if (!s) continue;
            QString command = QString::fromLatin1(m.command);
            if (control == "VK_Trig_Force") command = ":KEY:FORCE";
            if (control == "VK_V_Dec") command = QString::fromLatin1(FindPanelKey(main, "VK_V_Inc")->command);
            if (control == "VK_V_Inc") command = QString::fromLatin1(FindPanelKey(main, "VK_V_Dec")->command);
            QCOMPARE(QString::fromLatin1(s->command), command);
            const bool clickOnly = control == "VK_F_DEC" || control == "VK_F_INC";
            QCOMPARE(s->action, clickOnly ? KeyAction::Click : m.action);
        }
        for (const QString& control : onlySecond) QVERIFY(FindPanelKey(second, control));
        QCOMPARE(second.size(), main.size() - onlyMain.size() + onlySecond.size());
        QCOMPARE(MainBrandRules().repeatMs, 200);
        QCOMPARE(SecondBrandRules().repeatMs, 100);
        QVERIFY(MainBrandRules().zoom && !SecondBrandRules().zoom);
        // This build's keys are its brand's.
        QCOMPARE(&PanelKeyCommands(), &keysOf(BuildPanelBrand() == PanelBrand::Second));
    }

    // A screen reader names each knob key by its knob and direction.
    void knobKeyNames_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("lang");
        QTest::addColumn<QString>("name");
        QTest::newRow("turn, English") << "VK_V_Dec" << 1 << QString("Vertical Scale \u2212");
        QTest::newRow("crossed turn keeps its legend") << "VK_H_Pos_Inc" << 1 << "Horizontal Position +";
        QTest::newRow("push") << "VK_P_L" << 1 << "Trigger Level";
        QTest::newRow("turn, Chinese") << "VK_Trig_Lvl_Inc" << 0 << "触发电平 +";
        QTest::newRow("not a knob") << "VK_Run" << 1 << QString();
    }
    void knobKeyNames() {
        QFETCH(QString, control);
        QFETCH(int, lang);
        QFETCH(QString, name);
        QCOMPARE(KnobKeyName(control, lang), name);
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
        Recorder r(SecondBrandRules(), false);
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
