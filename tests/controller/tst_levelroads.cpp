// The roads that judge a trigger level by its source, held to the one level
// rule (link/LevelRule.h) for every trigger (EDGE, PULSE, VIDEO, SLOPE and
// each alternation type) under every kind of source: the settings catalog
// (what a level row may hold and send), the tree (which rows show) and the
// upload (the level command it sends, or the level it names).
#include <QtTest>

#include <optional>

#include "FakeCommandPort.h"
#include "TestEnv.h"
#include "UseLanguage.h"
#include "common/DSOSettings.h"
#include "controller/CtrlTree.h"
#include "controller/CtrlValueNames.h"
#include "controller/SettingsTransfer.h"
#include "link/LevelRule.h"
#include "link/LinkEvents.h"
#include "link/LinkState.h"
#include "link/SettingCatalog.h"
#include "link/Vocabulary.h"
#include "platform/dialogs/MsgBox.h"

namespace {

using S = CtrlSettings;
using Field = QString S::*;

// A trigger of the table: the method (and under alternation both channels'
// type), and the level rows it sends.
struct Trigger {
    const char* name;
    int method;
    int type;  // alternation: the channels' trigger type
    std::vector<Field> levels;
    std::vector<Field> digitalRows;  // the rows a logic channel's trigger leaves out
};

const std::vector<Trigger>& Triggers() {
    static const std::vector<Trigger> all = {
        {"EDGE", vwEdge, -1, {&S::TriggerEdgeLevel}, {&S::TriggerEdgeCoupling, &S::TriggerEdgeSensitivity}},
        {"PULSE", vwPulse, -1, {&S::TriggerPulseLevel}, {&S::TriggerPulseCoupling, &S::TriggerPulseSensitivity}},
        {"VIDEO", vwVideo, -1, {&S::TriggerVideoLevel}, {}},
        {"SLOPE", vwSlope, -1, {&S::TriggerSlopeLevelA, &S::TriggerSlopeLevelB}, {}},
        {"alternation EDGE", vwAlternative, vwEdge, {&S::AltCH1EdgeLevel, &S::AltCH2EdgeLevel}, {}},
        {"alternation PULSE", vwAlternative, vwPulse, {&S::AltCH1PulseLevel, &S::AltCH2PulseLevel}, {}},
        {"alternation VIDEO", vwAlternative, vwVideo, {&S::AltCH1VideoLevel, &S::AltCH2VideoLevel}, {}},
        {"alternation SLOPE", vwAlternative, vwSlope,
         {&S::AltCH1SlopeLevelA, &S::AltCH1SlopeLevelB, &S::AltCH2SlopeLevelA, &S::AltCH2SlopeLevelB}, {}},
    };
    return all;
}

// Every kind of source as the mirror holds it: the channels, the external
// inputs, the AC line (its word and the instrument's "ACLINE"), D0 ... D15.
QStringList Sources() {
    QStringList out{"CH1", "CH2", "EXT", "EXT5", ValueWord(vwAcLine), "ACLINE"};
    for (int n = 0; n <= 15; ++n) out << "D" + QString::number(n);
    return out;
}

// The mirror of a trigger with every method's source set to `source`, and
// its level rows set to `level`.
CtrlSettings MirrorOf(const Trigger& t, const QString& source, const QString& level) {
    SetDefaultCtrlSettings();
    CtrlSettings s = DSOSettings();
    s.TriggerMethod = ValueWord(t.method);
    if (t.type >= 0) s.AltCH1TrigType = s.AltCH2TrigType = ValueWord(t.type);
    for (Field f : {&S::TriggerEdgeSource, &S::TriggerPulseSource, &S::TriggerVideoSource, &S::TriggerSlopeSource})
        s.*f = source;
    for (Field f : t.levels) s.*f = level;
    return s;
}

// The source a level counts by: its method's source, or its alternation channel.
QString SourceOf(int level, const QString& source) {
    const SettingDesc& d = SettingOf(level);
    return d.levelChannel ? "CH" + QString::number(d.levelChannel) : source;
}

// What the upload sends for a level of 1.00div on the rule's base: CH1 and
// CH2 at 0.5 V/div with 0.1 V offset (the port's replies), EXT 0.2 V/div,
// EXT5 1 V/div, a source without a scale 0.
QString VoltsOfOneDiv(const LevelRule& r) {
    switch (r.by) {
    case LevelBy::Channel: return ".4";
    case LevelBy::Fixed: return QString(r.scale) == "0.2" ? ".2" : "1";
    case LevelBy::Threshold:
    case LevelBy::Kept: break;
    }
    return "0";
}

// The commands an upload of `s` sends, the instrument naming `source` as
// every method's source (the AC line as "ACLINE").
QStringList Uploaded(const CtrlSettings& s, const QString& source) {
    DSOSettings() = s;
    FakeCommandPort port;
    const QString named = (source == ValueWord(vwAcLine) ? QString("ACLINE") : source) + "\n";
    for (const char* m : {"EDGE", "PULSE", "VIDEO", "SLOPE"})
        port.replies.insert(QString(":TRIGGER:%1:SOURCE?").arg(m), named);
    for (const char* ch : {"1", "2"}) {
        port.replies.insert(QString(":CHANNEL%1:SCALE?").arg(ch), "5.000e-01\n");
        port.replies.insert(QString(":CHANNEL%1:OFFSET?").arg(ch), "1.000e-01\n");
    }
    SetLinkConnected(true);
    UploadSettings();
    SetLinkConnected(false);
    return port.sent;
}

// The commands of `sent` with the header of level `n`: under alternation only
// those of its channel's block (after the last selection of the channel).
QStringList LevelCommands(const QStringList& sent, int n) {
    const SettingDesc& d = SettingOf(n);
    qsizetype from = 0, to = sent.size();
    if (d.levelChannel) {
        const QString select = ":TRIGGER:ALTERNATION:SOURCE CHANNEL";
        from = sent.lastIndexOf(select + QString::number(d.levelChannel));
        for (qsizetype i = from + 1; i < sent.size(); ++i)
            if (sent[i].startsWith(select)) {
                to = i;
                break;
            }
    }
    return sent.mid(from, to - from).filter(QRegularExpression("^" + QRegularExpression::escape(d.command) + " "));
}

QString Shown() {
    QStringList texts;
    for (const ShownMessage& m : MsgBoxService::Log()) texts << m.text;
    return texts.join(" | ");
}

}  // namespace

class LevelRoadsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        TestEnv::Init();
        UseLanguage(LangEnglish);
        Link().LAPresent = true;  // logic channels are sources the upload sends
    }

    void roadsFollowTheRule_data() {
        QTest::addColumn<int>("trigger");
        QTest::addColumn<QString>("source");
        for (int t = 0; t < int(Triggers().size()); ++t)
            for (const QString& source : Sources())
                QTest::addRow("%s, %s", Triggers()[size_t(t)].name, qPrintable(source)) << t << source;
    }
    void roadsFollowTheRule() {
        QFETCH(int, trigger);
        QFETCH(QString, source);
        const Trigger& t = Triggers()[size_t(trigger)];

        // A threshold (or its volts) where the level is the analyser's
        // threshold; divisions under every source.
        for (const QString& text : {QString("TTL"), QString("1.40V"), QString("1.00div")}) {
            const CtrlSettings s = MirrorOf(t, source, text);
            const CtrlTreeModel tree = BuildCtrlTreeModel(s, true);
            auto shows = [&](int number) -> const CtrlNodeData* {
                for (const CtrlNodeData& node : tree.nodes)
                    if (node.valueNumber == number) return &node;
                return nullptr;
            };
            MsgBoxService::ClearLog();
            const QStringList sent = Uploaded(s, source);
            for (Field f : t.levels) {
                const int n = SettingNumber(f);
                const SettingDesc& d = SettingOf(n);
                const LevelRule rule = LevelRuleOf(SourceOf(n, source), d.levelTrigger);
                const bool threshold = rule.by == LevelBy::Threshold;
                const bool divisions = text.endsWith("div");
                const QByteArray why = (CtrlValueName(n) + " = " + text).toUtf8();

                // The catalog.
                QCOMPARE(LevelIsThreshold(s, n), threshold);
                QVERIFY2(SettingHolds(s, n) == (divisions || threshold), why);
                const std::optional<QString> sendText = SettingSendText(s, n);
                QVERIFY2(sendText == (divisions || threshold ? std::optional<QString>(text) : std::nullopt), why);

                // The tree: a logic channel's trigger shows no level row;
                // any other shows the row with the level as the mirror holds it.
                const CtrlNodeData* row = shows(n);
                QVERIFY2((row != nullptr) == !rule.logicChannel, why);
                if (row) QCOMPARE(row->value, text);
                for (Field other : t.digitalRows)
                    QVERIFY2((shows(SettingNumber(other)) != nullptr) == !rule.logicChannel, why);

                // The upload: divisions in volts on the rule's base; a
                // threshold as 0 volts; a threshold text elsewhere named
                // and not sent.
                const QStringList levelCommands = LevelCommands(sent, n);
                if (divisions)
                    QVERIFY2(levelCommands == QStringList{d.command + " " + VoltsOfOneDiv(rule)}, why + " sent " + levelCommands.join(", ").toUtf8());
                else if (threshold)
                    QVERIFY2(levelCommands == QStringList{d.command + " 0"}, why + " sent " + levelCommands.join(", ").toUtf8());
                else
                    QVERIFY2(levelCommands.isEmpty() && Shown().contains(CtrlValueName(n) + " = \"" + text + "\""),
                             why + " shown " + Shown().toUtf8());
            }
        }
    }

    // The rule itself where the roads used to part: under PULSE the AC line,
    // like a logic channel, makes the level the threshold, yet its trigger
    // keeps its rows; under EDGE the AC line keeps the level as it is.
    void acLineUnderPulse() {
        for (const QString& ac : {ValueWord(vwAcLine), QString("ACLINE")}) {
            const LevelRule pulse = LevelRuleOf(ac, LevelTrigger::Pulse);
            QVERIFY(pulse.by == LevelBy::Threshold && !pulse.logicChannel);
            QVERIFY(LevelRuleOf(ac, LevelTrigger::Edge).by == LevelBy::Kept);
            const LevelRule logic = LevelRuleOf("D3", LevelTrigger::Pulse);
            QVERIFY(logic.by == LevelBy::Threshold && logic.logicChannel);
        }
        // A text that names no source keeps its level.
        QVERIFY(LevelRuleOf("D16", LevelTrigger::Edge).by == LevelBy::Kept);
        QVERIFY(LevelRuleOf("", LevelTrigger::Pulse).by == LevelBy::Kept);
    }
};

QTEST_MAIN(LevelRoadsTest)
#include "tst_levelroads.moc"
