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


// How a row recognises its node within its group.
enum class Match {
    Item,     // the third level is the row's label (a row directly under the group)
    SubItem,  // the third level is the sub-group's label, the fourth any text but " "
    AltItem,  // the third level lies in "CH1".."CH2", the fourth is the row's label
};

enum class Kind { Choice, TimeBox, VoltBox, Adjust, Threshold, Action, QueryOnly };

// How the edit key is formed from labels (and, for a code bit, the path).
enum class KeyRule {
    None,
    Item,           // the row's label alone
    GroupItem,      // group label, row label
    GroupSub,       // group label, sub-group label
    GroupSubBit,    // group label, sub-group label, the bit text of the path
    GroupChItem,    // group label, channel label, row label
};

struct RowCtx {
    const EditPath& path;
    const CtrlSettings& s;
    bool ch1;  // the channel of an alternation row or of a channel group
    bool alt;  // a row of an alternation sub-group
};

using ListFn = QStringList (*)(const RowCtx&);

struct Row {
    int group;
    Match match;
    int sub;   // sub-group label (SubItem)
    int item;  // row label (Item, AltItem)
    Kind kind;
    KeyRule key;
    ListFn list = nullptr;
};

// The choices of a setting, as the settings catalog lists them.
QStringList Choices(QString CtrlSettings::*field) { return SettingChoices(SettingNumber(field)); }

// A list the controller window appends to the choice list.
QStringList Generated(void (*append)(QStringList&)) {
    QStringList out;
    append(out);
    return out;
}

QStringList OnOff(const RowCtx&) { return Choices(&CtrlSettings::CH1Display); }
QStringList TrigCoupling(const RowCtx&) { return Choices(&CtrlSettings::TriggerEdgeCoupling); }
// The levels in 0.04 division steps, and the node's own level at its place
// when it lies between them ("1.50div"), so that the list opens on it.
QStringList TrigLevels(const RowCtx& c) {
    QStringList levels = Generated(SetCtrlDialogTrigLevelNum);
    const QString& value = c.path.Value;
    const UnitNumber level = ReadDivText(value);
    // Only a level the setting can be (every level row has the same span).
    const bool canBe = SettingHolds(c.s, SettingNumber(&CtrlSettings::TriggerVideoLevel), value);
    if (levels.contains(value) || !level.valid || !canBe) return levels;
    const double v = level.value;
    int at = 0;
    while (at < levels.size() && LeadingNumber(levels[at]) > v) ++at;
    levels.insert(at, value);
    return levels;
}
QStringList Sensitivities(const RowCtx&) { return Generated(SetCtrlDialogTrigSensitivityNum); }
QStringList TimeDivs(const RowCtx&) { return Generated(SetCtrlDialogTimeDivNum); }
QStringList Polarities(const RowCtx&) { return Choices(&CtrlSettings::TriggerVideoPolarity); }
QStringList Syncs(const RowCtx&) { return Choices(&CtrlSettings::TriggerVideoSync); }
QStringList Standards(const RowCtx&) { return Choices(&CtrlSettings::TriggerVideoStandard); }
QStringList SlopeWindows(const RowCtx&) { return Choices(&CtrlSettings::TriggerSlopeWindow); }
QStringList PulseModes(const RowCtx&) { return Choices(&CtrlSettings::TriggerPulseMode); }
QStringList SlopeModes(const RowCtx&) { return Choices(&CtrlSettings::TriggerSlopeMode); }

QStringList RunStop(const RowCtx&) { return Choices(&CtrlSettings::RunStop); }
QStringList ChCoupling(const RowCtx&) { return Choices(&CtrlSettings::CH1Coupling); }
// The 2X probe only on the models that have it.
QStringList Probes(const RowCtx&) {
    QStringList out = Choices(&CtrlSettings::CH1Probe);
    if (Link().ModelEU <= 1) out.removeAll("2X");
    return out;
}

std::vector<Row> BuildRows() {
    std::vector<Row> rows;
    auto item = [&](int group, int label, Kind kind, ListFn list = nullptr,
                    KeyRule key = KeyRule::GroupItem) {
        rows.push_back({group, Match::Item, -1, label, kind,
                        kind == Kind::Adjust || kind == Kind::Action || kind == Kind::QueryOnly
                            ? KeyRule::None
                            : key,
                        list});
    };
    auto alt = [&](int group, int label, Kind kind, ListFn list = nullptr) {
        rows.push_back({group, Match::AltItem, -1, label, kind, KeyRule::GroupChItem, list});
    };
    auto sub = [&](int group, int subLabel, Kind kind, KeyRule key, ListFn list) {
        rows.push_back({group, Match::SubItem, subLabel, -1, kind, key, list});
    };

    // Running Control
    item(lbRunningControl, lbRunStop, Kind::Choice, RunStop, KeyRule::Item);
    item(lbRunningControl, lbAutoSet, Kind::Action);
    item(lbRunningControl, lbSetTrig50, Kind::Action);
    item(lbRunningControl, lbForceTrigger, Kind::Action);

    // CH1, CH2
    for (int ch : {lbCH1, lbCH2}) {
        item(ch, lbChannelDisplay, Kind::Choice, OnOff);
        item(ch, lbVoltDiv, Kind::Adjust);
        item(ch, lbOffset, Kind::VoltBox);
        item(ch, lbCoupling, Kind::Choice, ChCoupling);
        item(ch, lbBWLimit, Kind::Choice, OnOff);
        item(ch, lbProbe, Kind::Choice, Probes);
        item(ch, lbInvert, Kind::Choice, OnOff);
    }

    // LA
    sub(lbLA, lbChannelDisplay, Kind::Choice, KeyRule::GroupSub, OnOff);
    sub(lbLA, lbPosition, Kind::Choice, KeyRule::GroupSub,
        [](const RowCtx& c) { return SettingChoices(c.s, SettingNumber(&CtrlSettings::LAChannelPosition, 1)); });
    item(lbLA, lbThreshold, Kind::Threshold);
    item(lbLA, lbReset, Kind::Action);

    // Time Base: the alternation sub-groups first.
    alt(lbTimeBase, lbTimeDiv, Kind::Choice, TimeDivs);
    alt(lbTimeBase, lbDelay, Kind::TimeBox);
    item(lbTimeBase, lbTimeDiv, Kind::Choice, TimeDivs);
    item(lbTimeBase, lbDelay, Kind::TimeBox);
    item(lbTimeBase, lbFormat, Kind::Choice,
         [](const RowCtx&) { return Choices(&CtrlSettings::TimeBaseFormat); });
    item(lbTimeBase, lbMemorySize, Kind::QueryOnly);

    // Trigger: the rows directly under the group, in their order of testing.
    item(lbTrigger, lbMethod, Kind::Choice, [](const RowCtx&) {
        QStringList out = Choices(&CtrlSettings::TriggerMethod);
        // The logic-channel methods only with the logic analyser.
        if (!Link().LAPresent) out = out.mid(0, out.indexOf(ValueWord(vwPattern)));
        return out;
    });
    // The method's own sources (SettingCatalog); under any other method the
    // SLOPE source's, as the dialog writes that field.
    item(lbTrigger, lbSource, Kind::Choice, [](const RowCtx& c) {
        const QString& m = c.s.TriggerMethod;
        QString CtrlSettings::*field = m == ValueWord(vwEdge)    ? &CtrlSettings::TriggerEdgeSource
                                       : m == ValueWord(vwPulse) ? &CtrlSettings::TriggerPulseSource
                                       : m == ValueWord(vwVideo) ? &CtrlSettings::TriggerVideoSource
                                                                 : &CtrlSettings::TriggerSlopeSource;
        return SettingChoices(c.s, SettingNumber(field));
    });
    item(lbTrigger, lbMode, Kind::Choice,
         [](const RowCtx&) { return Choices(&CtrlSettings::TriggerEdgeSweep); });
    // The settings a trigger type shares with the alternation sub-groups; a
    // twin differs in its key (the channel), its Slope list (no ALTERNATION)
    // and the video standard that sets its Line number range.
    auto twins = [&](bool altRow) {
        auto add = [&](int label, Kind kind, ListFn list = nullptr) {
            if (altRow) alt(lbTrigger, label, kind, list);
            else item(lbTrigger, label, kind, list);
        };
        add(lbCoupling, Kind::Choice, TrigCoupling);
        add(lbLevel, Kind::Choice, TrigLevels);
        add(lbSensitivity, Kind::Choice, Sensitivities);
        add(lbHoldoff, Kind::TimeBox);
        add(lbSlope, Kind::Choice, [](const RowCtx& c) {
            return Choices(c.alt ? &CtrlSettings::AltCH1EdgeSlope : &CtrlSettings::TriggerEdgeSlope);
        });
        add(lbPolarity, Kind::Choice, Polarities);
        add(lbSync, Kind::Choice, Syncs);
        add(lbLineNumber, Kind::Choice, [](const RowCtx& c) {
            return SettingChoices(c.s, SettingNumber(!c.alt ? &CtrlSettings::TriggerVideoLine
                                                     : c.ch1 ? &CtrlSettings::AltCH1VideoLine
                                                             : &CtrlSettings::AltCH2VideoLine));
        });
        add(lbVideoStandard, Kind::Choice, Standards);
        add(lbPulseMode, Kind::Choice, PulseModes);
        add(lbPulseWidth, Kind::TimeBox);
        add(lbSlopeMode, Kind::Choice, SlopeModes);
        add(lbSlopeTime, Kind::TimeBox);
        auto levelsAB = [&] {
            add(lbLevelA, Kind::Choice, TrigLevels);
            add(lbLevelB, Kind::Choice, TrigLevels);
        };
        // Slope Window (no node reaches it) stands after LevelB directly
        // under Trigger, before LevelA in the sub-groups.
        if (!altRow) levelsAB();
        add(lbSlopeWindow, Kind::Choice, SlopeWindows);
        if (altRow) levelsAB();
    };
    twins(false);
    sub(lbTrigger, lbCode, Kind::Choice, KeyRule::GroupSubBit, [](const RowCtx& c) {
        const bool pattern = c.s.TriggerMethod == ValueWord(vwPattern);
        return SettingChoices(pattern ? SettingNumber(&CtrlSettings::TriggerPatternCode, 1)
                                      : SettingNumber(&CtrlSettings::TriggerDurationCode, 1));
    });
    item(lbTrigger, lbQualifier, Kind::Choice,
         [](const RowCtx&) { return Choices(&CtrlSettings::TriggerDurationQualifier); });
    item(lbTrigger, lbDurationTime, Kind::TimeBox);

    // Trigger: the alternation sub-groups CH1 and CH2.
    alt(lbTrigger, lbTrigType, Kind::Choice,
        [](const RowCtx&) { return Choices(&CtrlSettings::AltCH1TrigType); });
    twins(true);

    // Acquire
    item(lbAcquire, lbSamplingMode, Kind::Choice,
         [](const RowCtx&) { return Choices(&CtrlSettings::AcquireSampling); });
    item(lbAcquire, lbAcquisition, Kind::Choice,
         [](const RowCtx&) { return Choices(&CtrlSettings::AcquireType); });
    item(lbAcquire, lbAverages, Kind::Choice,
         [](const RowCtx&) { return Choices(&CtrlSettings::AcquireAverages); });

    // Display (the group's own label)
    item(lbDisplayGroup, lbType, Kind::Choice,
         [](const RowCtx&) { return Choices(&CtrlSettings::DisplayType); });
    item(lbDisplayGroup, lbPersist, Kind::Choice, OnOff);
    item(lbDisplayGroup, lbClear, Kind::Action);
    item(lbDisplayGroup, lbGrid, Kind::Choice,
         [](const RowCtx&) { return Choices(&CtrlSettings::DisplayGrid); });
    return rows;
}

const std::vector<Row>& Rows() {
    static const std::vector<Row> rows = BuildRows();
    return rows;
}

// Third levels "CH1" to "CH2" in ordinal order select the alternation rows.
bool InAltRange(const QString& third) { return third >= "CH1" && third <= "CH2"; }

enum class Reach { No, Row, SubGroupNode };

// Whether the parsed path reaches the row, or is the node of the row's
// sub-group itself ("Code", LA "Display", LA "Position": item " "), which ends
// without an edit.
Reach Reaches(const Row& r, const EditPath& p) {
    switch (r.match) {
    case Match::Item:
        return p.Third == ControllerLabel(r.item) ? Reach::Row : Reach::No;
    case Match::AltItem:
        return InAltRange(p.Third) && p.Fourth == ControllerLabel(r.item) ? Reach::Row : Reach::No;
    case Match::SubItem:
        if (p.Third != ControllerLabel(r.sub)) return Reach::No;
        return p.Fourth == " " ? Reach::SubGroupNode : Reach::Row;
    }
    return Reach::No;
}

QString KeyOf(const Row& r, const EditPath& p, bool ch1) {
    const QString g = ControllerLabel(r.group);
    switch (r.key) {
    case KeyRule::None: return " ";
    case KeyRule::Item: return ControllerLabel(r.item);
    case KeyRule::GroupItem: return g + ControllerLabel(r.item);
    case KeyRule::GroupSub: return g + ControllerLabel(r.sub);
    case KeyRule::GroupSubBit: return g + ControllerLabel(r.sub) + p.Fourth;
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

void PrepareThreshold(EditPrep& e, const EditPath& p, const CtrlSettings& s) {
    e.ThresholdLayout = true;
    e.Choices = Choices(&CtrlSettings::LAThreshold);
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
        if (p.Group != ControllerLabel(r.group)) continue;
        const Reach reach = Reaches(r, p);
        if (reach == Reach::SubGroupNode) return out;
        if (reach == Reach::No) continue;
        const bool isSub = r.match != Match::Item;
        const QString itemText = isSub ? p.Fourth : p.Third;
        const bool ch1 = r.match == Match::AltItem ? p.Third == ControllerLabel(lbCH1)
                                                   : r.group == lbCH1;
        RowCtx ctx{p, s, ch1, r.match == Match::AltItem};
        e.Key = KeyOf(r, p, ch1);
        if (r.kind != Kind::Action && r.kind != Kind::QueryOnly) e.FrameCaption = itemText;
        switch (r.kind) {
        case Kind::Choice:
            e.Outcome = EditOutcome::ChoiceEdit;
            e.Choices = r.list && withLists ? r.list(ctx) : QStringList();
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
            PrepareThreshold(e, p, s);
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
