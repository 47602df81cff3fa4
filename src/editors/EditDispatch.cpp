#include "editors/EditDispatch.h"

#include <QLocale>
#include <vector>

#include "common/DSOSettings.h"
#include "common/HookCheck.h"
#include "controller/ChoiceLists.h"
#include "controller/CtrlList.h"
#include "controller/CtrlState.h"
#include "controller/CtrlTree.h"
#include "editors/CtrlDialog.h"
#include "editors/EditPlace.h"
#include "editors/ImmediateActions.h"
#include "link/Converters.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/ReplyParse.h"
#include "link/SettingCatalog.h"
#include "link/TransferJobs.h"
#include "link/Vocabulary.h"
#include "platform/dialogs/MsgBox.h"

namespace {

using S = CtrlSettings;

enum class Kind { Choice, TimeBox, VoltBox, Adjust, Threshold, Action, QueryOnly };

Kind KindOf(SettingEditor editor) {
    switch (editor) {
    case SettingEditor::TimeBox: return Kind::TimeBox;
    case SettingEditor::VoltBox: return Kind::VoltBox;
    case SettingEditor::Adjust: return Kind::Adjust;
    case SettingEditor::Threshold: return Kind::Threshold;
    default: return Kind::Choice;
    }
}

struct RowCtx {
    const EditPath& path;
    const CtrlSettings& s;
    bool ch1;  // the channel of an alternation row or of a channel group
};

// One row of the dispatcher: where a path reaches it (its place; the row's
// label for Item and AltItem), the edit it opens, and the settings it edits
// (value numbers in the catalog's order; several share a row when they share
// a place: the methods' couplings, both alternation channels' levels, the
// sixteen code bits). A setting's row is made from its entry in the settings
// catalog: place, label and editor; its list is its entry's.
struct Row {
    EditPlace place;
    int item = -1;
    Kind kind = Kind::Choice;
    std::vector<int> settings;
};

std::vector<Row> BuildRows() {
    std::vector<Row> rows;
    // A setting joins the row of its place, or starts it. Both alternation
    // channels share a row: the path names the channel.
    auto add = [&](EditPlace place, int label, Kind kind, int setting) {
        place.channel = 0;
        const int item = place.match == PathMatch::SubItem ? -1 : label;
        for (Row& r : rows) {
            if (r.place.group == place.group && r.place.match == place.match && r.place.sub == place.sub &&
                r.item == item) {
                if (setting) r.settings.push_back(setting);
                return;
            }
        }
        rows.push_back({place, item, kind, setting ? std::vector<int>{setting} : std::vector<int>{}});
    };
    for (const SettingDesc& d : SettingCatalog()) {
        const EditPlace place = EditPlaceOf(d.treeGroup);
        if (d.editor != SettingEditor::None && place.group >= 0) add(place, d.label, KindOf(d.editor), d.number);
    }

    // Rows that edit no setting of the tree: the immediate actions and the
    // query-only Memory Size.
    auto fixed = [&](int group, int label, Kind kind, int setting = 0) {
        add(EditPlace{group, PathMatch::Item, -1, 0, KeyRule::GroupItem}, label, kind, setting);
    };
    for (int label : {lbAutoSet, lbSetTrig50, lbForceTrigger}) fixed(lbRunningControl, label, Kind::Action);
    fixed(lbLA, lbReset, Kind::Action);
    fixed(lbTimeBase, lbMemorySize, Kind::QueryOnly);
    fixed(lbDisplayGroup, lbClear, Kind::Action);
    // Values the tree shows no row of, and a path that names them still
    // edits: a channel's Invert and the slope window (directly under Trigger
    // and in the alternation channels). Their lists are their entries'.
    fixed(lbCH1, lbInvert, Kind::Choice, SettingNumber(&S::CH1Invert));
    fixed(lbCH2, lbInvert, Kind::Choice, SettingNumber(&S::CH2Invert));
    fixed(lbTrigger, lbSlopeWindow, Kind::Choice, SettingNumber(&S::TriggerSlopeWindow));
    const EditPlace alt{lbTrigger, PathMatch::AltItem, -1, 0, KeyRule::GroupChItem};
    add(alt, lbSlopeWindow, Kind::Choice, SettingNumber(&S::AltCH1SlopeWindow));
    add(alt, lbSlopeWindow, Kind::Choice, SettingNumber(&S::AltCH2SlopeWindow));
    return rows;
}

const std::vector<Row>& Rows() {
    static const std::vector<Row> rows = BuildRows();
    return rows;
}

// The trigger method a setting belongs to, where its list depends on it: a
// source's own method, a code's; -1 for any other.
int MethodOf(const SettingDesc& d) {
    switch (d.form) {
    case ValueForm::Source: return d.sourceMethod;
    case ValueForm::PatternCode: return vwPattern;
    case ValueForm::DurationCode: return vwDuration;
    default: return -1;
    }
}

// The setting of a row that the path and the mirror name: under an
// alternation channel that channel's; of several, the one of the mirror's
// trigger method (a source, a code), else the row's last (a source under
// any other method is the SLOPE source, as the apply writes that field).
int SettingAt(const Row& r, const RowCtx& c) {
    std::vector<int> of;
    for (int n : r.settings)
        if (r.place.match != PathMatch::AltItem || EditPlaceOf(SettingOf(n).treeGroup).channel == (c.ch1 ? 1 : 2))
            of.push_back(n);
    if (of.empty()) of = r.settings;  // (the slope windows have no place of their own)
    if (of.empty()) return 0;
    for (int n : of) {
        const int method = MethodOf(SettingOf(n));
        if (method >= 0 && c.s.TriggerMethod == ValueWord(method)) return n;
    }
    return of.back();
}

// A list the controller window appends to the choice list.
QStringList Generated(void (*append)(QStringList&)) {
    QStringList out;
    append(out);
    return out;
}

// The levels in 0.04 division steps, and the node's own level at its place
// when it lies between them ("1.50div"), so that the list opens on it.
QStringList TrigLevels(const RowCtx& c, int setting) {
    QStringList levels = Generated(SetCtrlDialogTrigLevelNum);
    const QString& value = c.path.Value;
    const UnitNumber level = ReadDivText(value);
    // Only a level the setting can be.
    const bool canBe = SettingHolds(c.s, setting, value);
    if (levels.contains(value) || !level.valid || !canBe) return levels;
    const double v = level.value;
    int at = 0;
    while (at < levels.size() && LeadingNumber(levels[at]) > v) ++at;
    levels.insert(at, value);
    return levels;
}

// The choice list of a setting: the controller's generated lists for the
// levels, the sensitivities and the time bases, the catalog's choices for
// every other, as far as the instrument at hand offers them.
QStringList ListOf(const RowCtx& c, int setting) {
    const SettingDesc& d = SettingOf(setting);
    if (d.levelTrigger != LevelTrigger::None) return TrigLevels(c, setting);
    if (d.form == ValueForm::Div) return Generated(SetCtrlDialogTrigSensitivityNum);
    if (d.form == ValueForm::Seconds) return Generated(SetCtrlDialogTimeDivNum);
    // The logic-channel methods only with the logic analyser: the catalog's.
    QStringList out = SettingChoices(c.s, setting);
    // The 2X probe only on the models that have it.
    if (d.form == ValueForm::Probe && Link().ModelEU <= 1) out.removeAll("2X");
    return out;
}

// Third levels "CH1" to "CH2" in ordinal order select the alternation rows.
bool InAltRange(const QString& third) { return third >= "CH1" && third <= "CH2"; }

enum class Reach { No, Row, SubGroupNode };

// Whether the parsed path reaches the row, or is the node of the row's
// sub-group itself ("Code", LA "Display", LA "Position": item " "), which ends
// without an edit.
Reach Reaches(const Row& r, const EditPath& p) {
    switch (r.place.match) {
    case PathMatch::Item:
        return p.Third == ControllerLabel(r.item) ? Reach::Row : Reach::No;
    case PathMatch::AltItem:
        return InAltRange(p.Third) && p.Fourth == ControllerLabel(r.item) ? Reach::Row : Reach::No;
    case PathMatch::SubItem:
        if (p.Third != ControllerLabel(r.place.sub)) return Reach::No;
        return p.Fourth == " " ? Reach::SubGroupNode : Reach::Row;
    }
    return Reach::No;
}

QString KeyOf(const Row& r, const EditPath& p, bool ch1) {
    if (r.kind == Kind::Adjust || r.kind == Kind::Action || r.kind == Kind::QueryOnly) return " ";
    const QString g = ControllerLabel(r.place.group);
    switch (r.place.key) {
    case KeyRule::None: return " ";
    case KeyRule::Item: return ControllerLabel(r.item);
    case KeyRule::GroupItem: return g + ControllerLabel(r.item);
    case KeyRule::GroupSub: return g + ControllerLabel(r.place.sub);
    case KeyRule::GroupSubBit: return g + ControllerLabel(r.place.sub) + p.Fourth;
    case KeyRule::GroupChItem: return g + ControllerLabel(ch1 ? lbCH1 : lbCH2) + ControllerLabel(r.item);
    }
    return " ";
}

// A number of volts as a plain decimal text, "." always, no exponent
// ("0", "0.12", "-1.5").
QString PlainNumber(double v) {
    QString t = QString::number(v, 'f', 12);
    while (t.contains('.') && (t.endsWith('0') || t.endsWith('.'))) t.chop(1);
    return t == "-0" ? "0" : t;
}

// The value box is read back as the user types numbers, in the user's
// locale: its first text carries the locale's decimal point, so that OK on
// an unchanged box keeps the value ("100.000E-9" would read as 1e-4 where
// "." groups thousands).
QString BoxText(QString t) {
    t.replace(QLatin1Char('.'), QLocale().decimalPoint());
    return t;
}

bool ReadsAsNumber(const QString& t) {
    bool ok = false;
    const QString s = t.trimmed();
    s.toDouble(&ok);
    return ok && !s.isEmpty();
}

void PrepareThreshold(EditPrep& e, const EditPath& p, const CtrlSettings& s, int setting) {
    e.ThresholdLayout = true;
    e.Choices = SettingChoices(s, setting);
    e.UnitButtons = {true, true, true, true, false};
    static const char* const kFixed[3][2] = {{"TTL", "1.4"}, {"ECL", "-1.3"}, {"CMOS", "2.5"}};
    for (int i = 0; i < 3; ++i) {
        if (p.Value == kFixed[i][0]) {
            e.Selected = i;
            e.InputText = BoxText(kFixed[i][1]);
            e.InputEnabled = false;
            return;
        }
    }
    // A user level: the stored threshold cut back until it reads as a number
    // ("1.40V" -> "1.40", "500mV" -> "500"); nothing readable gives the level
    // the dialog puts in the box for a USER pick.
    e.Selected = 3;
    QString t = s.LAThreshold;
    while (!t.isEmpty() && !ReadsAsNumber(t)) t.chop(1);
    e.InputText = BoxText(t.isEmpty() ? QString("1.0") : t);
    e.InputEnabled = true;
}

struct Prepared {
    EditPrep prep;
    int action = -1;  // label of the action node
};

// withLists false: the outcome alone, without the choice lists (one of them
// asks the instrument).
Prepared PrepareFromPath(const QString& pathText, bool withLists = true) {
    Prepared out;
    EditPrep& e = out.prep;
    const EditPath p = ParseEditPath(pathText);
    if (p.Group == ControllerLabel(lbVirtualPanel)) {
        e.Outcome = EditOutcome::VirtualPanel;
        return out;
    }
    const CtrlSettings& s = DSOSettings();
    for (const Row& r : Rows()) {
        if (p.Group != ControllerLabel(r.place.group)) continue;
        const Reach reach = Reaches(r, p);
        if (reach == Reach::SubGroupNode) return out;
        if (reach == Reach::No) continue;
        const bool isSub = r.place.match != PathMatch::Item;
        const QString itemText = isSub ? p.Fourth : p.Third;
        const bool ch1 = r.place.match == PathMatch::AltItem ? p.Third == ControllerLabel(lbCH1)
                                                             : r.place.group == lbCH1;
        const RowCtx ctx{p, s, ch1};
        const int setting = SettingAt(r, ctx);
        e.Key = KeyOf(r, p, ch1);
        if (r.kind != Kind::Action && r.kind != Kind::QueryOnly) e.FrameCaption = itemText;
        switch (r.kind) {
        case Kind::Choice:
            e.Outcome = EditOutcome::ChoiceEdit;
            e.Choices = setting && withLists ? ListOf(ctx, setting) : QStringList();
            e.Selected = e.Choices.indexOf(p.Value);
            break;
        case Kind::TimeBox:
            e.Outcome = EditOutcome::NumberEdit;
            e.UnitButtons = {true, true, true, true, false};
            e.InputText = BoxText(ExponentText(ReadSecondsText(p.Value)));
            break;
        case Kind::VoltBox:
            e.Outcome = EditOutcome::NumberEdit;
            e.UnitButtons = {false, false, false, false, true};
            e.InputText = BoxText(PlainNumber(ReadVoltsText(p.Value).value));
            break;
        case Kind::Threshold:
            e.Outcome = EditOutcome::ChoiceEdit;
            PrepareThreshold(e, p, s, setting);
            break;
        case Kind::Adjust:
            e.Outcome = EditOutcome::AdjustEdit;
            e.AdjustChannel = ch1 ? 1 : 2;
            e.InputText = p.Value;
            break;
        case Kind::Action:
            e.Outcome = EditOutcome::ImmediateAction;
            e.Action = ControllerLabel(r.item);
            out.action = r.item;
            break;
        case Kind::QueryOnly:
            e.Outcome = EditOutcome::QueryOnly;
            e.Action = ControllerLabel(r.item);
            break;
        }
        return out;
    }
    return out;
}

void RunAction(int label) {
    switch (label) {
    case lbAutoSet: RunAutoSet(); break;
    case lbSetTrig50: RunSetTrigTo50(); break;
    case lbForceTrigger: RunForceTrigger(); break;
    case lbReset: RunLaReset(); break;
    case lbClear: RunDisplayClear(); break;
    default: break;
    }
}

}  // namespace

EditPath ParseEditPath(const QString& path) {
    EditPath p;
    QString rest = path;
    int slash = rest.indexOf('\\');
    if (slash >= 0) rest = rest.mid(slash + 1);
    slash = rest.indexOf('\\');
    if (slash >= 0) {
        p.Group = rest.left(slash);
        rest = rest.mid(slash + 1);
    } else {
        p.Group = rest;
    }
    // The text before " [" of a level: everything when it holds no "[";
    // a "[" at its very start leaves the text as it was.
    auto beforeValue = [](const QString& level, int bracket, QString& target) {
        if (bracket < 0) target = level;
        else if (bracket >= 1) target = level.left(bracket - 1);
    };
    int bracket;
    slash = rest.indexOf('\\');
    if (slash >= 0) {
        p.Third = rest.left(slash);
        rest = rest.mid(slash + 1);
        bracket = rest.indexOf('[');
        beforeValue(rest, bracket, p.Fourth);
    } else {
        bracket = rest.indexOf('[');
        beforeValue(rest, bracket, p.Third);
    }
    if (bracket >= 0) rest = rest.mid(bracket + 1);
    if (!rest.isEmpty()) p.Value = rest.left(rest.size() - 1);
    return p;
}

EditShowHooks& EditShow() {
    static EditShowHooks h;
    return h;
}

EditPrep PrepareEdit(const QString& path) { return PrepareFromPath(path).prep; }

void PraseCtrlList(const QString& selectedPath) {
    const QString path = selectedPath;  // the caller's text is cleared at the end
    // Commands of an edit would mix with the transfer's own commands and
    // replies: refuse, and keep the node selected for a later try. A node
    // that opens nothing (a group, a sub-group) just ends as usual.
    if (Transfer().TransferBusy &&
        PrepareFromPath(path, false).prep.Outcome != EditOutcome::Nothing) {
        MsgBox(MessageTable().MsgTransferRunning, vbExclamation);
        return;
    }
    CtrlState().CtrlEditKey = " ";
    const Prepared p = PrepareFromPath(path);
    const EditShowHooks& show = EditShow();
    switch (p.prep.Outcome) {
    case EditOutcome::ChoiceEdit:
    case EditOutcome::NumberEdit:
        CtrlState().CtrlEditKey = p.prep.Key;
        if (show.ShowCtrlDialog) show.ShowCtrlDialog(p.prep, path);
        else RunCtrlDialog(p.prep, path, CtrlListForm());
        break;
    case EditOutcome::AdjustEdit:
        if (show.ShowCtrlDialogAdjust) show.ShowCtrlDialogAdjust(p.prep);
        else RunCtrlDialogAdjust(p.prep, CtrlListForm());
        break;
    case EditOutcome::ImmediateAction:
        RunAction(p.action);
        break;
    case EditOutcome::QueryOnly:
        MsgBox(MessageTable().MsgQueryOnly, vbExclamation);
        break;
    case EditOutcome::VirtualPanel:
        if (RequireHook(show.ShowVirtualPanel, "EditShow().ShowVirtualPanel")) show.ShowVirtualPanel();
        break;
    case EditOutcome::Nothing:
        break;
    }
    CtrlState().SelectedNodePath.clear();
}
