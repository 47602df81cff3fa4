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
#include "link/CommandPort.h"
#include "link/Converters.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/ReplyParse.h"
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

Applier::Applier(const CtrlDialogValues& values) : v(values), s(DSOSettings()) {}

void Applier::node(int group, int item, int label, const QString& value) {
    nodeText(group, item, CtrlNodeText(ControllerLabel(label), value));
}

void Applier::nodeText(int group, int item, const QString& text) {
    ops << CtrlTreeOp{CtrlTreeOp::Text, group, item, text};
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

ApplyEnd Applier::run(const Row& row) {
    if (row.custom) return row.custom(*this);
    const RowTarget t = row.pick ? row.pick(s) : row.target;
    if (!t.field) return ApplyEnd::Applied;  // the mirror has no such setting now
    auto store = [&](const QString& text) {
        s.*t.field = text;
        node(t.group, t.item, t.label, text);
    };
    auto sendSelect = [&] {
        if (row.select.isEmpty()) return;
        SendCmd(row.select);
        if (row.selectPause) PauseMs(row.selectPause);
    };
    const QString header = QString(row.header).replace("%1", t.kw);
    QString value;
    if (!row.input) {
        value = v.ComboText;
        if (row.storeChoice && !row.sendFirst) store(value);
        sendSelect();
        if (!header.isEmpty()) {
            const QString argument = row.arg ? row.arg(value, t.kw) : value;
            if (TakeRefusedArgument()) {
                // Nothing of the row goes out or stays.
                if (row.storeChoice && !row.sendFirst) {
                    s.*t.field = DSOSettings().*t.field;
                    ops.removeLast();
                }
                NoteUnusableReadBack();
                return ApplyEnd::Refused;
            }
            SendCmd(header + argument);
            if (row.pause) PauseMs(row.pause);
        }
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
    if (!row.query.isEmpty()) {
        const QString reply = TrimReply(QueryCmd(QString(row.query).replace("%1", t.kw)));
        const bool known = row.known ? row.known(reply) : !row.back || IsKnownReply(row.back, reply);
        QString text;
        if (StoreReadBack(text, reply, row.back, known)) store(text);
        // A reply that did not come may still be on its way: what the branch
        // would ask next could be answered by it, so nothing more is asked.
        if (Link().ReplyFailed && !row.alsoAfterLost) return ApplyEnd::Applied;
    }
    if (row.also) row.also(*this, value);
    return ApplyEnd::Applied;
}

namespace {
ApplyRun* currentRun = nullptr;
}

ApplyRun::ApplyRun() : levelsNotKnownBefore(LevelRowsNotKnown(DSOSettings())), outer_(currentRun) {
    currentRun = this;
}
ApplyRun::~ApplyRun() { currentRun = outer_; }

void NoteUnusableReadBack() {
    if (currentRun) currentRun->unusableReadBack = true;
}

void ReportUnusableReadBack() {
    if (!currentRun) return;
    ApplyRun& run = *currentRun;
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

QString LevelArgument(const QString& levelDiv, const QString& source) {
    QString volts;
    if (!TriggerLevelVolts(levelDiv, source, volts) && currentRun) currentRun->refusedArgument = true;
    return volts;
}

bool ReadLevelOffset(const QString& source, double& offset) {
    offset = 0;
    if (source != "CH1" && source != "CH2") return true;
    const QString reply = TrimReply(QueryCmd(":CHANNEL" + source.right(1) + ":OFFSET?"));
    if (ReplyLost(reply)) return false;
    if (!IsNumberReply(reply)) {
        ReplyGarbled();
        return false;
    }
    offset = LeadingNumber(reply);
    return true;
}

bool TakeRefusedArgument() {
    if (!currentRun) return false;
    const bool refused = currentRun->refusedArgument;
    currentRun->refusedArgument = false;
    return refused;
}

bool ReplyLost(const QString& reply) {
    if (!reply.isEmpty() || !Link().ReplyFailed) return false;
    NoteUnusableReadBack();
    return true;
}

void ReplyGarbled() {
    NoteUnusableReadBack();
    NoteReplyGarbled();
}

bool StoreReadBack(QString& field, const QString& reply, ReplyConverter conv, bool known) {
    if (ReplyLost(reply)) return false;
    if (!reply.isEmpty() && !known) {
        ReplyGarbled();
        return false;
    }
    field = conv ? conv(reply) : reply;
    return true;
}

bool StoreReadBack(QString& field, const QString& reply, ReplyConverter conv) {
    return StoreReadBack(field, reply, conv, IsKnownReply(conv, reply));
}

QString KeyOf(const QList<int>& labels) {
    QString key;
    for (int l : labels) key += ControllerLabel(l);
    return key;
}

QString Upper(const QString& value, const QString&) { return value.toUpper(); }

QString GeneralText(double x) {
    // Shortest form up to 15 significant digits, exponent for very small or
    // large values; "." in every locale (it goes into a command).
    return QString::number(x, 'g', 15).toUpper();
}

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

    Applier a(values);
    ApplyRun run;
    ApplyEnd end = ApplyEnd::Applied;
    // The keys are compared exactly; the first match runs, no further key is tested.
    for (const Row& row : chain()) {
        if (KeyOf(row.key) != values.Key) continue;
        // Tree writes of the pattern sender are staged like every other write.
        CtrlTreeHooks& hooks = CtrlTreeUi();
        const auto saved = hooks.SetNodeText;
        hooks.SetNodeText = [&a](int g, int i, const QString& t) { a.nodeText(g, i, t); };
        end = a.run(row);
        hooks.SetNodeText = saved;
        break;
    }
    if (end != ApplyEnd::Applied && end != ApplyEnd::Refused) return end;
    if (LinkLostDuringApply(wasConnected)) return ApplyEnd::LinkLost;
    if (end == ApplyEnd::Refused) {
        // Nothing went out that changes a setting: nothing to commit.
        ReportUnusableReadBack();
        return end;
    }
    CommitApply(a);
    CtrlState().CtrlModified = true;
    // The setting went out; a value it could not read back was left as it was.
    ReportUnusableReadBack();
    return ApplyEnd::Applied;
}
