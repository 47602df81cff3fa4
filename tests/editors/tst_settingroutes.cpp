// The settings catalog against every road that carries a setting, over all
// 193 values: the upload's and the download's sequences, the tree's rows,
// the setting dialog's rows and choices, and the apply of every row against
// the simulated instrument. A setting added to one of them and not to the
// catalog (or the other way round), or a road that spells a setting's
// command or place otherwise than its entry, fails here.
#include <QtTest>

#include <QTreeWidget>
#include <set>

#include "LinkFixture.h"
#include "Simulator.h"
#include "TestEnv.h"
#include "common/DSOSettings.h"
#include "common/LanguageId.h"
#include "controller/CtrlTree.h"
#include "controller/SettingsTransfer.h"
#include "controller/UseLanguage.h"
#include "editors/AdjustLogic.h"
#include "editors/CtrlApply.h"
#include "editors/EditDispatch.h"
#include "link/Converters.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/SettingCatalog.h"
#include "link/Vocabulary.h"
#include "platform/dialogs/MsgBox.h"

namespace {

using S = CtrlSettings;
int N(QString S::*f) { return SettingNumber(f); }

QString NameOf(int n) { return CtrlSettingsNames().value(n - 1); }

// Every tree the mirror can give: each trigger method, each alternation
// type on both channels, the Averages row shown, with the analyser.
std::vector<CtrlSettings> EveryTreeMirror() {
    std::vector<CtrlSettings> out;
    const int methods[] = {vwEdge, vwPulse, vwVideo, vwSlope, vwAlternative, vwPattern, vwDuration};
    const int types[] = {vwEdge, vwPulse, vwVideo, vwSlope};
    for (int method : methods) {
        for (int type : types) {
            SetDefaultCtrlSettings();
            CtrlSettings s = DSOSettings();
            s.TriggerMethod = ValueWord(method);
            s.AltCH1TrigType = ValueWord(type);
            s.AltCH2TrigType = ValueWord(type);
            s.AcquireType = ValueWord(vwAverage);
            out.push_back(s);
        }
    }
    return out;
}

// The trees of EveryTreeMirror, then EDGE and PULSE under every kind of
// source (a channel, EXT, EXT5, the AC line, a logic channel: its level is
// then the analyser's threshold), a method text that is no method, the
// Averages row hidden; each once more with every value its own text (all
// but the four words that choose rows), so that a row showing another
// setting's value shows.
std::vector<CtrlSettings> EveryTreeOfRows() {
    std::vector<CtrlSettings> out = EveryTreeMirror();
    for (int method : {vwEdge, vwPulse}) {
        for (const QString& source : {QString("CH2"), QString("EXT"), QString("EXT5"), ValueWord(vwAcLine),
                                      QString("ACLINE"), QString("D3")}) {
            SetDefaultCtrlSettings();
            CtrlSettings s = DSOSettings();
            s.TriggerMethod = ValueWord(method);
            (method == vwEdge ? s.TriggerEdgeSource : s.TriggerPulseSource) = source;
            out.push_back(s);
        }
    }
    SetDefaultCtrlSettings();
    out.push_back(DSOSettings());
    out.back().TriggerMethod = "none";
    for (size_t k = 0, count = out.size(); k < count; ++k) {
        CtrlSettings s = out[k];
        const std::vector<QString*> values = CtrlSettingsValues(s);
        for (size_t n = 0; n < values.size(); ++n)
            if (values[n] != &s.TriggerMethod && values[n] != &s.AltCH1TrigType && values[n] != &s.AltCH2TrigType &&
                values[n] != &s.AcquireType)
                *values[n] += "#" + QString::number(n + 1);
        out.push_back(s);
    }
    return out;
}

// The group a node's rows sit in: a group node's own number, a sub-group
// node's item.
int OwnGroup(const CtrlNodeData& node) { return node.item == 0 ? node.group : node.item; }

// A tree row of value n: the first mirror of EveryTreeMirror whose tree
// shows it, and the row's path there. False when no tree shows it.
bool FirstRowOf(int n, CtrlSettings& mirror, QString& path) {
    for (const CtrlSettings& s : EveryTreeMirror()) {
        const CtrlTreeModel tree = BuildCtrlTreeModel(s, true);
        for (int i = 0; i < int(tree.nodes.size()); ++i) {
            if (tree.nodes[size_t(i)].valueNumber != n) continue;
            mirror = s;
            path = tree.Path(i);
            return true;
        }
    }
    return false;
}

// A choice other than `now` (the last such of the list; not the threshold's
// switch to its volts box).
QString OtherChoice(const QStringList& choices, const QString& now) {
    for (int i = int(choices.size()) - 1; i >= 0; --i)
        if (choices[i] != now && choices[i] != ValueWord(vwUser)) return choices[i];
    return QString();
}

// The argument a choice of setting d goes out with, where it is the value's
// own: its keyword (in any case), a probe's factor, a time base format's
// keyword, or the value itself (a number, a sensitivity, a time base, a
// named threshold). Empty where the argument is made of more (a level in
// volts, a code's bits).
QString ArgumentOf(const SettingDesc& d, const QString& value) {
    if (d.keyword) return d.keyword(value);
    switch (d.form) {
    case ValueForm::Probe: return value.left(value.size() - 1);
    case ValueForm::TimeBaseFormat: {
        QString text = value;
        return TimebaseFormatToKeyword(text);
    }
    case ValueForm::PlainNumber:
    case ValueForm::Seconds:
    case ValueForm::Threshold: return value;
    case ValueForm::Div: return d.levelTrigger == LevelTrigger::None ? value : QString();
    default: return QString();
    }
}

}  // namespace

class TestSettingRoutes : public QObject {
    Q_OBJECT
    Simulator sim;

private slots:
    void initTestCase() {
        QVERIFY(LinkFixture::StartUsbSimulator(sim));
        UseLanguage(LangEnglish);
        Link().LAPresent = true;
        Link().ModelEU = 2;  // the 2X probe offered
    }
    void cleanupTestCase() { LinkFixture::StopSimulator(sim); }

    // The upload sends exactly the values the catalog says are sent, each
    // once; the download reads each of them but five, each once, by a query
    // the catalog holds.
    void sequencesCarryTheCatalogsValues() {
        const QList<int> up = UploadSequence();
        const std::set<int> upSet(up.begin(), up.end());
        QCOMPARE(int(upSet.size()), up.size());
        const QList<int> down = DownloadSequence();
        const std::set<int> downSet(down.begin(), down.end());
        QCOMPARE(int(downSet.size()), down.size());
        int sent = 0;
        QStringList notRead;
        for (int n = 1; n <= CtrlValueCount; ++n) {
            const SettingDesc& d = SettingOf(n);
            const QByteArray name = NameOf(n).toUtf8();
            QCOMPARE(d.number, n);
            QVERIFY2(SettingSent(n) == (upSet.count(n) > 0), name);
            QVERIFY2(SettingSent(n) == (d.judged == Judged::Sent), name);
            if (SettingSent(n)) ++sent;
            if (downSet.count(n)) QVERIFY2(!d.query.isEmpty(), name);
            if (SettingSent(n) && !downSet.count(n)) notRead << NameOf(n);
        }
        QCOMPARE(sent, 179);
        // The instrument reports no slope window, and the download asks no
        // holdoff of the alternation's VIDEO and SLOPE types: those values
        // keep what the mirror had.
        QCOMPARE(notRead, (QStringList{"TriggerSlopeWindow", "AltCH1VideoHoldoff", "AltCH2VideoHoldoff",
                                       "AltCH1SlopeHoldoff", "AltCH2SlopeHoldoff"}));
        // The derived group displays are read (from the channel displays), never sent.
        QVERIFY(downSet.count(N(&S::LAGroupHighDisplay)) && !SettingSent(N(&S::LAGroupHighDisplay)));
    }

    // The 15 trigger levels: each knows its trigger and its source (the
    // method's source row, or the alternation channel).
    void everyLevelKnowsItsSource() {
        int levels = 0;
        for (const SettingDesc& d : SettingCatalog()) {
            const QByteArray name = NameOf(d.number).toUtf8();
            if (d.levelTrigger == LevelTrigger::None) {
                QVERIFY2(d.levelChannel == 0, name);
                continue;
            }
            ++levels;
            if (d.levelTrigger == LevelTrigger::Alternation) {
                QVERIFY2(d.levelChannel == 1 || d.levelChannel == 2, name);
                QVERIFY2(NameOf(d.number).startsWith(QString("AltCH%1").arg(d.levelChannel)), name);
            } else {
                QVERIFY2(SettingOf(d.levelSource).form == ValueForm::Source, name);
                QVERIFY2(SettingSent(d.levelSource), name);
            }
            QVERIFY2(d.command.endsWith("LEVEL") || d.command.endsWith("LEVELA") || d.command.endsWith("LEVELB"),
                     name);
        }
        QCOMPARE(levels, 15);
    }

    // The level rule, for every trigger and source.
    void levelRule_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("trigger");
        QTest::addColumn<int>("by");
        QTest::addColumn<QString>("scale");
        using T = LevelTrigger;
        using B = LevelBy;
        const QString ac = ValueWordIn(vwAcLine, LangEnglish);
        for (T t : {T::Edge, T::Pulse, T::VideoSlope, T::Alternation}) {
            const QByteArray tn = QByteArray::number(int(t));
            QTest::addRow("CH2 %s", tn.data()) << "CH2" << int(t) << int(B::Channel) << "";
            QTest::addRow("EXT %s", tn.data()) << "EXT" << int(t) << int(B::Fixed) << "0.2";
            QTest::addRow("EXT5 %s", tn.data()) << "EXT5" << int(t) << int(B::Fixed) << "1";
            const B other = t == T::Edge || t == T::Pulse ? B::Threshold : B::Kept;
            QTest::addRow("D3 %s", tn.data()) << "D3" << int(t) << int(other) << "";
            QTest::addRow("AC word %s", tn.data()) << ac << int(t) << int(t == T::Pulse ? B::Threshold : B::Kept)
                                                   << "";
            QTest::addRow("ACLINE %s", tn.data()) << "ACLINE" << int(t)
                                                  << int(t == T::Pulse ? B::Threshold : B::Kept) << "";
        }
    }
    void levelRule() {
        QFETCH(QString, source);
        QFETCH(int, trigger);
        QFETCH(int, by);
        QFETCH(QString, scale);
        const LevelRule r = LevelRuleOf(source, LevelTrigger(trigger));
        QCOMPARE(int(r.by), by);
        if (r.by == LevelBy::Channel) QCOMPARE(r.channel, 2);
        if (r.by == LevelBy::Fixed) QCOMPARE(QString(r.scale), scale);
    }

    // Every row the tree shows is built from its setting's entry: the
    // entry's group (the group of the node it sits under), item (Holdoff's
    // moves with the method), label in the tree's language and the value it
    // shows; no two rows share a position or, under one node, a label.
    // Every setting with a row shows in some tree, and no other.
    void treeRowsAreTheCatalogs_data() {
        QTest::addColumn<int>("language");
        QTest::newRow("English") << int(LangEnglish);
        QTest::newRow("Chinese") << int(LangChinese);
    }
    void treeRowsAreTheCatalogs() {
        QFETCH(int, language);
        UseLanguage(language);
        std::set<int> shown;
        int trees = 0;
        for (const CtrlSettings& s : EveryTreeOfRows()) {
            for (bool la : {false, true}) {
                const CtrlTreeModel tree = BuildCtrlTreeModel(s, la, language);
                ++trees;
                std::set<std::pair<int, int>> positions;
                std::set<std::pair<int, QString>> labels;
                for (int i = 1; i < int(tree.nodes.size()); ++i) {
                    const CtrlNodeData& node = tree.nodes[size_t(i)];
                    const QString path = tree.Path(i);
                    if (node.group >= 0)
                        QVERIFY2(positions.insert({node.group, node.item}).second, qPrintable(path));
                    QVERIFY2(labels.insert({node.parent, node.label}).second, qPrintable(path));
                    if (!node.valueNumber) {
                        // A value row of no setting: the empty Source of a text that is no method.
                        if (node.hasValue)
                            QVERIFY2(node.group == CtrlGroup::Trigger && node.item == 3 && node.value.isEmpty(),
                                     qPrintable(path));
                        continue;
                    }
                    const SettingDesc& d = SettingOf(node.valueNumber);
                    shown.insert(d.number);
                    QVERIFY2(d.treeGroup == node.group, qPrintable(path));
                    QVERIFY2(OwnGroup(tree.nodes[size_t(node.parent)]) == node.group, qPrintable(path));
                    QVERIFY2(d.treeItem ? d.treeItem == node.item : d.number == N(&S::TriggerHoldoff),
                             qPrintable(path));
                    QVERIFY2(node.label == ControllerLabelIn(d.label, language), qPrintable(path));
                    QVERIFY2(node.hasValue && node.value == SettingValue(s, d.number), qPrintable(path));
                }
            }
        }
        QCOMPARE(trees, 2 * 2 * (28 + 13));
        for (const SettingDesc& d : SettingCatalog())
            QVERIFY2((d.treeGroup > 0) == (shown.count(d.number) > 0), NameOf(d.number).toUtf8());
        UseLanguage(LangEnglish);
    }

    // The rows of every tree, in both languages, as they are pinned in
    // data/treerows.txt: each distinct row once, in the order it first
    // shows, as its path below the root, its position and its value number.
    // A label, item or group changed in an entry, or a row lost from the
    // tree's order, changes a line.
    void treeRowsArePinned() {
        QStringList rows;
        for (int language : {int(LangEnglish), int(LangChinese)}) {
            UseLanguage(language);
            std::set<QString> seen;
            rows << QString("[%1]").arg(language == LangEnglish ? "English" : "Chinese");
            for (const CtrlSettings& s : EveryTreeMirror()) {
                const CtrlTreeModel tree = BuildCtrlTreeModel(s, true, language);
                for (int i = 1; i < int(tree.nodes.size()); ++i) {
                    const CtrlNodeData& node = tree.nodes[size_t(i)];
                    const QString row = QString("%1 (%2,%3) %4")
                                            .arg(tree.Path(i).section('\\', 1), QString::number(node.group),
                                                 QString::number(node.item), QString::number(node.valueNumber));
                    if (seen.insert(row).second) rows << row;
                }
            }
        }
        UseLanguage(LangEnglish);
        QFile file(QFINDTESTDATA("data/treerows.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(rows, QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts));
    }

    // The dialog of every row is the catalog's editor, and every choice it
    // offers is a value the catalog accepts for that row, and the other way
    // round: every choice the catalog lists is offered.
    void dialogOffersWhatTheCatalogAccepts_data() { treeRowsAreTheCatalogs_data(); }
    void dialogOffersWhatTheCatalogAccepts() {
        QFETCH(int, language);
        UseLanguage(language);
        int choices = 0;
        for (const CtrlSettings& mirror : EveryTreeMirror()) {
            DSOSettings() = mirror;
            const CtrlTreeModel tree = BuildCtrlTreeModel(mirror, true);
            for (int i = 0; i < int(tree.nodes.size()); ++i) {
                const CtrlNodeData& node = tree.nodes[size_t(i)];
                if (!node.valueNumber) continue;
                const int n = node.valueNumber;
                const SettingDesc& d = SettingOf(n);
                const QString path = tree.Path(i);
                const EditPrep e = PrepareEdit(path);
                // The row the path reaches is the entry's: its label names it.
                QCOMPARE(e.FrameCaption, ControllerLabel(d.label));
                switch (d.editor) {
                case SettingEditor::Choice: QVERIFY2(e.Outcome == EditOutcome::ChoiceEdit, qPrintable(path)); break;
                case SettingEditor::Threshold:
                    QVERIFY2(e.Outcome == EditOutcome::ChoiceEdit && e.ThresholdLayout, qPrintable(path));
                    break;
                case SettingEditor::TimeBox:
                case SettingEditor::VoltBox:
                    QVERIFY2(e.Outcome == EditOutcome::NumberEdit, qPrintable(path));
                    break;
                case SettingEditor::Adjust: QVERIFY2(e.Outcome == EditOutcome::AdjustEdit, qPrintable(path)); break;
                case SettingEditor::None: QFAIL(qPrintable("a row without an editor: " + path));
                }
                if (e.Outcome != EditOutcome::ChoiceEdit) continue;
                const QString user = ValueWord(vwUser);  // the threshold's switch to its volts box
                for (const QString& c : e.Choices) {
                    if (d.editor == SettingEditor::Threshold && c == user) continue;
                    ++choices;
                    QVERIFY2(SettingHolds(mirror, n, c), qPrintable(path + " offers " + c));
                }
                for (const QString& c : SettingChoices(n))
                    QVERIFY2(e.Choices.contains(c), qPrintable(path + " lacks " + c));
            }
        }
        QVERIFY(choices > 1000);
        UseLanguage(LangEnglish);
    }

    // Every setting with an editor, edited from its tree row through the
    // dialog's apply against the simulated instrument, goes out under its
    // entry's command (a logic channel's or a group's alone: its element
    // command) with its argument, and its new value shows in its entry's
    // tree row. A branch with another header, another place or none fails.
    void everyApplySendsThroughItsEntry() {
        QVERIFY(LinkFixture::ReconnectUsb(sim));
        int applied = 0;
        for (const SettingDesc& d : SettingCatalog()) {
            if (d.editor == SettingEditor::None) continue;
            const QByteArray name = NameOf(d.number).toUtf8();
            CtrlSettings mirror;
            QString path;
            QVERIFY2(FirstRowOf(d.number, mirror, path), name);
            LinkFixture::ResetInstrument(sim);
            DSOSettings() = mirror;
            BuildCtrlTree();
            MsgBoxService::ClearLog();
            const QString before = SettingValue(mirror, d.number);
            const EditPrep e = PrepareEdit(path);
            QString value;  // the choice, or the text typed
            sim.ClearLog();
            switch (d.editor) {
            case SettingEditor::Adjust:
                value = "2.00V";
                QCOMPARE(ApplyAdjust(value, e.AdjustChannel - 1), AdjustEnd::Applied);
                break;
            case SettingEditor::VoltBox:
            case SettingEditor::TimeBox:
                value = d.editor == SettingEditor::VoltBox ? "0.5" : "2e-06";
                QVERIFY2(ApplyCtrlEdit({e.Key, QString(), value, path}) == ApplyEnd::Applied, name);
                break;
            default:
                value = d.editor == SettingEditor::Threshold ? "ECL" : OtherChoice(e.Choices, before);
                QVERIFY2(!value.isEmpty(), name);
                QVERIFY2(ApplyCtrlEdit({e.Key, value, QString(), path}) == ApplyEnd::Applied, name);
            }
            QueryCmd("*IDN?");  // its reply means every command before it has arrived
            ++applied;
            QVERIFY2(MsgBoxService::Log().isEmpty(), name);

            // The command: the entry's header (the run state's keyword is
            // its whole command), with the value's own argument.
            const bool whole = d.number == N(&S::RunStop);
            const QString header = whole ? d.keyword(value) : d.elementCommand.isEmpty() ? d.command : d.elementCommand;
            QString argument;
            bool sent = false;
            for (const QString& c : sim.Log()) {
                if (c.section(' ', 0, 0) != header || c.endsWith('?')) continue;
                sent = true;
                argument = c.section(' ', 1);
            }
            QVERIFY2(sent, qPrintable(name + " sends no " + header + ": " + sim.Log().join(" ; ")));
            const bool chosen = d.editor == SettingEditor::Choice || d.editor == SettingEditor::Threshold;
            const QString own = chosen && !whole ? ArgumentOf(d, value) : QString();
            if (!own.isEmpty())
                QVERIFY2(argument.compare(own, Qt::CaseInsensitive) == 0, qPrintable(name + " sent " + argument));

            // The place: the value changed, and the entry's row shows it (a
            // row that moves with the method where the tree has it now).
            const QString after = SettingValue(DSOSettings(), d.number);
            QVERIFY2(after != before, qPrintable(name + " stays " + after));
            const CtrlTreeModel tree = BuildCtrlTreeModel(DSOSettings(), true);
            int at = -1;
            for (int i = 0; i < int(tree.nodes.size()); ++i)
                if (tree.nodes[size_t(i)].valueNumber == d.number) at = i;
            QVERIFY2(at >= 0, name);
            const CtrlNodeData& row = tree.nodes[size_t(at)];
            QVERIFY2(row.group == d.treeGroup && (!d.treeItem || row.item == d.treeItem), name);
            const QTreeWidgetItem* node = CtrlNode(row.group, row.item);
            QVERIFY2(node, name);
            QCOMPARE(node->text(0), CtrlNodeText(ControllerLabel(d.label), after));
        }
        QCOMPARE(applied, 179);
        DisconnectDSO();
    }
};

QTEST_MAIN(TestSettingRoutes)
#include "tst_settingroutes.moc"
