// The frame of the apply: presence check, the chain of branches, the tail,
// and the staging that keeps the mirror and the tree unchanged when the link
// drops half-way.
#include "editors/CtrlApply.h"

#include <QLocale>
#include <QTreeWidget>
#include <cmath>

#include "common/Pause.h"
#include "controller/CtrlState.h"
#include "controller/CtrlTree.h"
#include "controller/LevelMark.h"
#include "controller/SettingsTransfer.h"
#include "editors/ApplyCore.h"
#include "editors/EditPlace.h"
#include "link/CommandPort.h"
#include "link/Converters.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/ReplyParse.h"
#include "link/SettingCatalog.h"
#include "link/Vocabulary.h"
#include "platform/dialogs/MsgBox.h"

void WriteCtrlNodeText(int group, int item, const QString& text) {
    if (QTreeWidgetItem* n = CtrlNode(group, item)) n->setText(0, text);
}

bool LinkLostDuringApply(bool wasConnected) {
    if (!wasConnected || Link().IsConnected) return false;
    MsgBox(MessageTable().MsgConnectFirst, vbExclamation);
    return true;
}

Applier::Applier(const CtrlDialogValues& values, ApplyRun& r) : v(values), run(r), s(DSOSettings()) {}

void Applier::node(int group, int item, int label, const QString& value) {
    nodeText(group, item, CtrlNodeText(ControllerLabel(label), value));
}

void Applier::nodeText(int group, int item, const QString& text) {
    ops << CtrlTreeOp{CtrlTreeOp::Text, group, item, text};
}

void Applier::show(int number) {
    const SettingDesc& d = SettingOf(number);
    node(d.treeGroup, d.treeItem, d.label, SettingValue(s, number));
}

void Applier::rebuild() { ops << CtrlTreeOp{CtrlTreeOp::Rebuild, 0, 0, QString()}; }

void Applier::select(int group, int item) {
    ops << CtrlTreeOp{CtrlTreeOp::Select, group, item, QString()};
}

bool ReadTypedNumber(const QString& text, double& x) {
    bool ok = false;
    const double value = QLocale().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value)) {
        MsgBox(MessageTable().MsgNumberOnly, vbExclamation);
        return false;
    }
    x = value;
    return true;
}

bool Applier::number(double& x, float limit) {
    if (!ReadTypedNumber(v.InputText, x)) return false;
    // The limit is compared in single precision; a value beyond the single
    // range counts as beyond the limit.
    const float single = static_cast<float>(x);
    if (single > limit || x > double(limit)) x = limit;
    else if (single < -limit || x < -double(limit)) x = -limit;
    return true;
}

Row SettingRow(int number) {
    Row r;
    r.setting = number;
    r.key = EditKeyLabels(SettingOf(number));
    return r;
}

Row SettingRow(QString CtrlSettings::*field) { return SettingRow(SettingNumber(field)); }

ApplyEnd Applier::apply(const Row& row) {
    if (row.custom) return row.custom(*this);
    const int n = row.pick ? row.pick(s) : row.setting;
    if (!n) return ApplyEnd::Applied;  // the mirror has no such setting now
    const SettingDesc& d = SettingOf(n);
    const int item = row.item ? row.item(s) : d.treeItem;
    auto store = [&](const QString& text) {
        SettingValue(s, n) = text;
        node(d.treeGroup, item, d.label, text);
    };
    auto sendSelect = [&] {
        if (row.select.isEmpty()) return;
        SendCmd(row.select);
        if (row.selectPause) PauseMs(row.selectPause);
    };
    const QString header = d.command + " ";
    QString value;
    if (!row.input) {
        value = v.ComboText;
        if (row.storeChoice && !row.sendFirst) store(value);
        sendSelect();
        const QString argument = row.arg ? row.arg(*this, value, d) : d.keyword ? d.keyword(value) : value;
        if (TakeRefusedArgument(run)) {
            // Nothing of the row goes out or stays.
            if (row.storeChoice && !row.sendFirst) {
                SettingValue(s, n) = SettingValue(DSOSettings(), n);
                ops.removeLast();
            }
            NoteUnusableReadBack(run);
            return ApplyEnd::Refused;
        }
        SendCmd(header + argument);
        if (row.pause) PauseMs(row.pause);
        if (row.storeChoice && row.sendFirst) store(value);
    } else {
        // A value that is not a number is refused before anything of the
        // branch goes out, the channel selection included.
        double x = 0;
        if (!number(x, row.limit)) return ApplyEnd::NumberRefused;
        sendSelect();
        if (row.storeNumber) store(row.storeNumber(x));
        SendCmd(header + row.numArg(x));
        if (row.pause) PauseMs(row.pause);
    }
    if (row.readBack) {
        const ReplyConverter back = row.back ? row.back : d.reply;
        const QString reply = TrimReply(QueryCmd(d.query));
        const bool known = row.known ? row.known(reply) : !back || IsKnownReply(back, reply);
        QString text;
        if (StoreReadBack(run, text, reply, back, known)) store(text);
        // A reply that did not come may still be on its way: what the branch
        // would ask next could be answered by it, so nothing more is asked.
        if (Link().ReplyFailed && !row.alsoAfterLost) return ApplyEnd::Applied;
    }
    if (row.also) row.also(*this, value);
    return ApplyEnd::Applied;
}

ApplyRun::ApplyRun() : levelsNotKnownBefore(LevelRowsNotKnown(DSOSettings())) {}

void NoteUnusableReadBack(ApplyRun& run) { run.unusableReadBack = true; }

void ReportUnusableReadBack(ApplyRun& run) {
    // Levels that the mirror holds as not known since the run began are
    // named: they show "not known" and an upload leaves them out.
    const QList<int> now = LevelRowsNotKnown(DSOSettings());
    QList<int> marked;
    for (int n : now)
        if (!run.levelsNotKnownBefore.contains(n)) marked << n;
    if (!run.unusableReadBack && marked.isEmpty()) return;
    run.unusableReadBack = false;
    run.levelsNotKnownBefore = now;
    if (marked.isEmpty())
        MsgBox(MessageTable().MsgReplyUnusable, vbExclamation);
    else
        MsgBox(MessageTable().MsgReplyLevelsNotKnown.Naming(LevelRowNames(marked)), vbExclamation);
}

QString LevelArgument(ApplyRun& run, const QString& levelDiv, const QString& source) {
    QString volts;
    if (!TriggerLevelVolts(levelDiv, source, volts)) run.refusedArgument = true;
    return volts;
}

bool TakeRefusedArgument(ApplyRun& run) {
    const bool refused = run.refusedArgument;
    run.refusedArgument = false;
    return refused;
}

bool ReplyLost(ApplyRun& run, const QString& reply) {
    if (!reply.isEmpty() || !Link().ReplyFailed) return false;
    NoteUnusableReadBack(run);
    return true;
}

void ReplyGarbled(ApplyRun& run) {
    NoteUnusableReadBack(run);
    NoteReplyGarbled();
}

bool StoreReadBack(ApplyRun& run, QString& field, const QString& reply, ReplyConverter conv, bool known) {
    if (ReplyLost(run, reply)) return false;
    if (!reply.isEmpty() && !known) {
        ReplyGarbled(run);
        return false;
    }
    field = conv ? conv(reply) : reply;
    return true;
}

bool StoreReadBack(ApplyRun& run, QString& field, const QString& reply, ReplyConverter conv) {
    return StoreReadBack(run, field, reply, conv, IsKnownReply(conv, reply));
}

QString KeyOf(const QList<int>& labels) {
    QString key;
    for (int l : labels) key += ControllerLabel(l);
    return key;
}

QString GeneralText(double x) {
    // Shortest form up to 15 significant digits, exponent for very small or
    // large values; "." in every locale (it goes into a command).
    return QString::number(x, 'g', 15).toUpper();
}

QString UpperArgument(Applier&, const QString& value, const SettingDesc&) { return value.toUpper(); }

QString UpperKeyword(Applier&, const QString& value, const SettingDesc& d) { return d.keyword(value).toUpper(); }

QString ProbeArgument(const QString& probe) { return probe.left(probe.size() - 1); }

QString LevelRowArgument(Applier& a, const QString& levelDiv, const SettingDesc& d) {
    const QString source = d.levelChannel ? "CH" + QString::number(d.levelChannel)
                                          : TrimReply(QueryCmd(SettingOf(d.levelSource).query));
    return LevelArgument(a.run, levelDiv, source);
}

QString AltChannelSelect(int ch) { return ":TRIGGER:ALTERNATION:SOURCE CHANNEL" + QString::number(ch); }

namespace {

const std::vector<Row>& chain() {
    // Built once per language: the keys are label texts of the UI language.
    static std::vector<Row> rows;
    static QString builtFor;
    const QString marker = ControllerLabel(1) + ControllerLabel(77);
    if (rows.empty() || builtFor != marker) {
        rows.clear();
        AddChannelRows(rows);
        AddTimeBaseRows(rows);
        AddTriggerRows(rows);
        AddMethodRows(rows);
        AddCodeRows(rows);
        AddAlternationRows(rows);
        AddAcquireRows(rows);
        builtFor = marker;
    }
    return rows;
}

}  // namespace

void CommitApply(const Applier& a) {
    DSOSettings() = a.s;
    for (const CtrlTreeOp& op : a.ops) {
        if (op.kind == CtrlTreeOp::Text) {
            WriteCtrlNodeText(op.group, op.item, op.text);
        } else if (op.kind == CtrlTreeOp::Rebuild) {
            RebuildCtrlTree();
        } else if (QTreeWidgetItem* n = CtrlNode(op.group, op.item)) {
            if (QTreeWidget* tree = CtrlTreeWidget()) tree->setCurrentItem(n);
        }
    }
}

namespace {

// An instrument that does not answer the presence check: nothing changes,
// and the user is told why. A link the transport found gone has been
// reported by it already.
void ReportNoAnswer(bool wasConnected) {
    if (!wasConnected) MsgBox(MessageTable().MsgConnectFirst, vbExclamation);
    else if (Link().IsConnected) ShowReadFailMessage();
}

}  // namespace

ApplyEnd ApplyCtrlEdit(const CtrlDialogValues& values) {
    const bool wasConnected = Link().IsConnected;
    if (QueryCmd("*IDN?").isEmpty()) {
        ReportNoAnswer(wasConnected);
        return ApplyEnd::Silent;
    }

    ApplyRun run;
    Applier a(values, run);
    ApplyEnd end = ApplyEnd::Applied;
    // The keys are compared exactly; the first match runs, no further key is tested.
    for (const Row& row : chain()) {
        if (KeyOf(row.key) != values.Key) continue;
        // Tree writes of the pattern sender are staged like every other write.
        CtrlTreeHooks& hooks = CtrlTreeUi();
        const auto saved = hooks.SetNodeText;
        hooks.SetNodeText = [&a](int g, int i, const QString& t) { a.nodeText(g, i, t); };
        end = a.apply(row);
        hooks.SetNodeText = saved;
        break;
    }
    if (end != ApplyEnd::Applied && end != ApplyEnd::Refused) return end;
    if (LinkLostDuringApply(wasConnected)) return ApplyEnd::LinkLost;
    if (end == ApplyEnd::Refused) {
        // Nothing went out that changes a setting: nothing to commit.
        ReportUnusableReadBack(run);
        return end;
    }
    CommitApply(a);
    CtrlState().CtrlModified = true;
    // The setting went out; a value it could not read back was left as it was.
    ReportUnusableReadBack(run);
    return ApplyEnd::Applied;
}
