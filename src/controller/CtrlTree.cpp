#include "controller/CtrlTree.h"
#include "widgets/StandardIcons.h"

#include <QApplication>
#include <QStyle>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <utility>

#include "common/ShellState.h"
#include "controller/CtrlList.h"
#include "controller/CtrlState.h"
#include "controller/LevelMark.h"
#include "link/LinkEvents.h"
#include "link/LevelRule.h"
#include "link/LinkState.h"
#include "link/SettingCatalog.h"
#include "link/Vocabulary.h"

namespace {

using S = CtrlSettings;
using Field = QString S::*;
using ArrayField = CtrlCodeArray S::*;

// ---- The tree's order ------------------------------------------------------
//
// A setting's row (its group, item, label and the value it shows) is the
// setting's entry in the catalog (link/SettingCatalog.cpp, routes()). What
// the tree keeps is the order of its rows and when they show, and the rows
// that are no setting: the group and sub-group nodes, the actions, Virtual
// Panel.

// A row of a fixed group: a setting, or a row that is no setting (an action)
// at `item` with `label`.
struct GroupRow {
    Field setting = nullptr;
    int item = 0;
    int label = -1;
    int image = imgRow;
};

const GroupRow kRunningControlRows[] = {
    {&S::RunStop},
    {nullptr, 3, lbAutoSet, imgAction},
    {nullptr, 4, lbSetTrig50, imgAction},
    {nullptr, 5, lbForceTrigger, imgAction},
};

// The channel groups: CH1's and CH2's setting of each row.
const std::pair<Field, Field> kChannelRows[] = {
    {&S::CH1Display, &S::CH2Display}, {&S::CH1Scale, &S::CH2Scale},       {&S::CH1Offset, &S::CH2Offset},
    {&S::CH1Coupling, &S::CH2Coupling}, {&S::CH1BWLimit, &S::CH2BWLimit}, {&S::CH1Probe, &S::CH2Probe},
};

const GroupRow kTimeBaseRows[] = {{&S::TimeBaseScale}, {&S::TimeBaseOffset}, {&S::TimeBaseFormat}};
// Under alternation: the sub-groups CH1 and CH2, CH1's and CH2's setting of each row.
const std::pair<Field, Field> kAltTimeBaseRows[] = {
    {&S::AltCH1TimeBaseScale, &S::AltCH2TimeBaseScale},
    {&S::AltCH1TimeBaseOffset, &S::AltCH2TimeBaseOffset},
};

// Averages follows them only for the acquisition word "AVERAGE".
const GroupRow kAcquireRows[] = {{&S::AcquireType}, {&S::AcquireSampling}};

const GroupRow kDisplayRows[] = {
    {&S::DisplayType},
    {&S::DisplayPersist},
    {nullptr, 4, lbClear, imgRow},
    {&S::DisplayGrid},
};

// The trigger group: Method, then each method's rows. A row marked
// UnlessThreshold is left out while the method's level is the logic
// analyser's threshold on a logic channel (LevelIsLogicThreshold).
enum Shown { Always, UnlessThreshold };
struct TriggerRow {
    Field setting;
    Shown shown = Always;
};
struct MethodRows {
    int word;            // the method's value word
    int holdoffItem;     // Holdoff's item (its entry leaves the item to the method)
    Field level;         // the level that may be the threshold; nullptr: none
    ArrayField code;     // the Code sub-group's settings, right after Method; nullptr: none
    std::vector<TriggerRow> rows;
};
const MethodRows kMethodRows[] = {
    {vwEdge, 9, &S::TriggerEdgeLevel, nullptr,
     {{&S::TriggerEdgeSlope}, {&S::TriggerEdgeSource}, {&S::TriggerEdgeSweep},
      {&S::TriggerEdgeCoupling, UnlessThreshold}, {&S::TriggerEdgeLevel, UnlessThreshold},
      {&S::TriggerEdgeSensitivity, UnlessThreshold}, {&S::TriggerHoldoff}}},
    {vwPulse, 10, &S::TriggerPulseLevel, nullptr,
     {{&S::TriggerPulseSource}, {&S::TriggerPulseMode}, {&S::TriggerPulseWidth}, {&S::TriggerPulseSweep},
      {&S::TriggerPulseCoupling, UnlessThreshold}, {&S::TriggerPulseLevel, UnlessThreshold},
      {&S::TriggerPulseSensitivity, UnlessThreshold}, {&S::TriggerHoldoff}}},
    {vwVideo, 10, nullptr, nullptr,
     {{&S::TriggerVideoSource}, {&S::TriggerVideoPolarity}, {&S::TriggerVideoSync}, {&S::TriggerVideoLine},
      {&S::TriggerVideoStandard}, {&S::TriggerVideoLevel}, {&S::TriggerVideoSensitivity}, {&S::TriggerHoldoff}}},
    {vwSlope, 12, nullptr, nullptr,
     {{&S::TriggerSlopeSource}, {&S::TriggerSlopeMode}, {&S::TriggerSlopeTime}, {&S::TriggerSlopeSweep},
      {&S::TriggerSlopeCoupling}, {&S::TriggerSlopeLevelA}, {&S::TriggerSlopeLevelB},
      {&S::TriggerSlopeSensitivity}, {&S::TriggerHoldoff}}},
    // ALTERNATIVE: the channels' sub-groups (kAltRows) instead.
    {vwAlternative, 0, nullptr, nullptr, {}},
    {vwPattern, 23, nullptr, &S::TriggerPatternCode, {{&S::TriggerPatternSweep}, {&S::TriggerHoldoff}}},
    {vwDuration, 25, nullptr, &S::TriggerDurationCode,
     {{&S::TriggerDurationQualifier}, {&S::TriggerDurationTime}, {&S::TriggerDurationSweep}, {&S::TriggerHoldoff}}},
};

// Under alternation, each channel's rows after its Trig type, by that type:
// CH1's and CH2's setting of each row.
const struct {
    int type;  // vwEdge, vwPulse, vwVideo, vwSlope
    Field ch1, ch2;
} kAltRows[] = {
    {vwEdge, &S::AltCH1EdgeSlope, &S::AltCH2EdgeSlope},
    {vwEdge, &S::AltCH1EdgeCoupling, &S::AltCH2EdgeCoupling},
    {vwEdge, &S::AltCH1EdgeLevel, &S::AltCH2EdgeLevel},
    {vwEdge, &S::AltCH1EdgeSensitivity, &S::AltCH2EdgeSensitivity},
    {vwEdge, &S::AltCH1EdgeHoldoff, &S::AltCH2EdgeHoldoff},
    {vwPulse, &S::AltCH1PulseMode, &S::AltCH2PulseMode},
    {vwPulse, &S::AltCH1PulseWidth, &S::AltCH2PulseWidth},
    {vwPulse, &S::AltCH1PulseCoupling, &S::AltCH2PulseCoupling},
    {vwPulse, &S::AltCH1PulseLevel, &S::AltCH2PulseLevel},
    {vwPulse, &S::AltCH1PulseSensitivity, &S::AltCH2PulseSensitivity},
    {vwPulse, &S::AltCH1PulseHoldoff, &S::AltCH2PulseHoldoff},
    {vwVideo, &S::AltCH1VideoPolarity, &S::AltCH2VideoPolarity},
    {vwVideo, &S::AltCH1VideoSync, &S::AltCH2VideoSync},
    {vwVideo, &S::AltCH1VideoLine, &S::AltCH2VideoLine},
    {vwVideo, &S::AltCH1VideoStandard, &S::AltCH2VideoStandard},
    {vwVideo, &S::AltCH1VideoLevel, &S::AltCH2VideoLevel},
    {vwVideo, &S::AltCH1VideoSensitivity, &S::AltCH2VideoSensitivity},
    {vwVideo, &S::AltCH1VideoHoldoff, &S::AltCH2VideoHoldoff},
    {vwSlope, &S::AltCH1SlopeMode, &S::AltCH2SlopeMode},
    {vwSlope, &S::AltCH1SlopeTime, &S::AltCH2SlopeTime},
    {vwSlope, &S::AltCH1SlopeCoupling, &S::AltCH2SlopeCoupling},
    {vwSlope, &S::AltCH1SlopeLevelA, &S::AltCH2SlopeLevelA},
    {vwSlope, &S::AltCH1SlopeLevelB, &S::AltCH2SlopeLevelB},
    {vwSlope, &S::AltCH1SlopeSensitivity, &S::AltCH2SlopeSensitivity},
    {vwSlope, &S::AltCH1SlopeHoldoff, &S::AltCH2SlopeHoldoff},
};

// The nodes whose expanded state a rebuild keeps, in element order: every
// branch, the logic analyser's and the trigger code's included, so that a
// rebuild (a download, a language switch, a new method) closes none the
// user had open.
const std::pair<int, int> kExpandKept[CtrlExpandNodes] = {
    {-1, -1}, {1, 0}, {2, 0}, {3, 0}, {5, 0}, {6, 0}, {7, 0}, {8, 0},
    {6, 19}, {6, 20}, {5, 13}, {5, 14}, {4, 0}, {4, 9}, {4, 10}, {6, 21},
};

// Expand All: the root, then these groups in order.
const std::pair<int, int> kExpandAll[] = {
    {1, 0}, {2, 0}, {3, 0}, {5, 0}, {5, 13}, {5, 14}, {6, 0}, {6, 19}, {6, 20}, {7, 0}, {8, 0},
};

class Builder {
public:
    // `language` -1: the tables of the current UI language.
    Builder(const CtrlSettings& s, int language) : s_(s), language_(language) {}

    CtrlTreeModel model;

    QString Label(int index) const {
        return language_ < 0 ? ControllerLabel(index) : ControllerLabelIn(index, language_);
    }
    QString Word(int index) const {
        return language_ < 0 ? ValueWord(index) : ValueWordIn(index, language_);
    }

    // A row that is no setting: a node that shows its label alone, or with
    // `valueRow` an empty value.
    int Add(int parent, const QString& label, int image, int group, int item, bool valueRow = false) {
        CtrlNodeData n;
        n.label = label;
        n.image = image;
        n.group = group;
        n.item = item;
        n.parent = parent;
        n.hasValue = valueRow;
        model.nodes.push_back(std::move(n));
        return int(model.nodes.size()) - 1;
    }

    // Setting `number`'s row as its entry gives it (group, item, label) with
    // its value; `holdoffItem` is the item where the entry leaves it to the
    // trigger method.
    int AddSetting(int parent, int number, int image, int holdoffItem = 0) {
        const SettingDesc& d = SettingOf(number);
        const int n = Add(parent, Label(d.label), image, d.treeGroup, d.treeItem ? d.treeItem : holdoffItem, true);
        model.nodes[size_t(n)].value = SettingValue(s_, number);
        model.nodes[size_t(n)].valueNumber = number;
        return n;
    }
    int AddSetting(int parent, Field f, int image, int holdoffItem = 0) {
        return AddSetting(parent, SettingNumber(f), image, holdoffItem);
    }
    // The sixteen settings of an array, D15 .. D0.
    void AddElements(int parent, ArrayField a, int image) {
        for (int k = 1; k <= 16; ++k) AddSetting(parent, SettingNumber(a, k), image);
    }
    void AddRow(int parent, int group, const GroupRow& r) {
        if (r.setting)
            AddSetting(parent, r.setting, r.image);
        else
            Add(parent, Label(r.label), r.image, group, r.item);
    }

    const CtrlSettings& s_;
    const int language_;
};

// A sub-group's node (CtrlGroup), in its group's node `parent`.
int AddSubGroup(Builder& b, int parent, int sub) {
    return b.Add(parent, b.Label(CtrlGroupLabel(sub)), imgRow, CtrlParentGroup(sub), sub);
}

// Whether a level is a logic channel's threshold (the level rule,
// link/LevelRule.h; not the AC line's, whose level row stays): its method
// then shows no coupling, level or sensitivity rows.
bool LevelIsLogicThreshold(const CtrlSettings& s, QString CtrlSettings::*level) {
    return LevelRuleOf(s, SettingNumber(level)).logicChannel;
}

// The alternation's sub-groups CH1 and CH2: each its Trig type, then the
// rows of that type.
void AddAltTriggerRows(Builder& b, int trigger) {
    const int ch1 = AddSubGroup(b, trigger, CtrlGroup::AltCH1Trigger);
    const int ch2 = AddSubGroup(b, trigger, CtrlGroup::AltCH2Trigger);
    for (const int node : {ch1, ch2}) {
        const Field typeField = node == ch1 ? &S::AltCH1TrigType : &S::AltCH2TrigType;
        b.AddSetting(node, typeField, imgSubRow);
        for (const auto& r : kAltRows)
            if (b.s_.*typeField == b.Word(r.type)) b.AddSetting(node, node == ch1 ? r.ch1 : r.ch2, imgSubRow);
    }
}

void AddTriggerRows(Builder& b, int trigger) {
    const CtrlSettings& s = b.s_;
    b.AddSetting(trigger, &S::TriggerMethod, imgRow);
    const MethodRows* m = nullptr;
    for (const MethodRows& r : kMethodRows)
        if (s.TriggerMethod == b.Word(r.word)) {
            m = &r;
            break;
        }
    if (!m) {  // a text that is no method: an empty Source row
        b.Add(trigger, b.Label(lbSource), imgRow, CtrlGroup::Trigger, 3, true);
        return;
    }
    if (m->word == vwAlternative) AddAltTriggerRows(b, trigger);
    if (m->code) {
        const int code = AddSubGroup(b, trigger, CtrlGroup::TriggerCode);
        b.AddElements(code, m->code, imgRow);
    }
    const bool threshold = m->level && LevelIsLogicThreshold(s, m->level);
    for (const TriggerRow& r : m->rows)
        if (!(threshold && r.shown == UnlessThreshold)) b.AddSetting(trigger, r.setting, imgRow, m->holdoffItem);
}

void AddTimeBaseRows(Builder& b, int timeBase) {
    if (b.s_.TriggerMethod != b.Word(vwAlternative)) {
        for (const GroupRow& r : kTimeBaseRows) b.AddRow(timeBase, CtrlGroup::TimeBase, r);
        return;
    }
    const int ch1 = AddSubGroup(b, timeBase, CtrlGroup::AltCH1TimeBase);
    const int ch2 = AddSubGroup(b, timeBase, CtrlGroup::AltCH2TimeBase);
    for (const int node : {ch1, ch2})
        for (const auto& [one, two] : kAltTimeBaseRows) b.AddSetting(node, node == ch1 ? one : two, imgSubRow);
}

void AddLaRows(Builder& b, int la) {
    const int display = AddSubGroup(b, la, CtrlGroup::LADisplayGroup);
    b.AddSetting(display, &S::LAGroupHighDisplay, imgSubRow);
    b.AddSetting(display, &S::LAGroupLowDisplay, imgSubRow);
    b.AddElements(display, &S::LAChannelDisplay, imgSubRow);
    const int position = AddSubGroup(b, la, CtrlGroup::LAPosition);
    b.AddElements(position, &S::LAChannelPosition, imgSubRow);
    b.AddSetting(la, &S::LAThreshold, imgRow);
    b.Add(la, b.Label(lbReset), imgAction, CtrlGroup::LA, 12);
}

// ---- Tree view binding -----------------------------------------------------

enum Role { RoleGroup = Qt::UserRole, RoleItem, RoleLabel, RoleHasValue, RoleImage, RoleValueNumber };

QIcon ImageIcon(int image) {
    switch (image) {
    case imgRoot: return StandardIcon(QStyle::SP_ComputerIcon);
    case imgGroup: return StandardIcon(QStyle::SP_DirIcon);
    case imgAction: return StandardIcon(QStyle::SP_MediaPlay);
    case imgPanel: return StandardIcon(QStyle::SP_DesktopIcon);
    case imgSubRow: return StandardIcon(QStyle::SP_FileLinkIcon);
    default: return StandardIcon(QStyle::SP_FileIcon);
    }
}

QTreeWidgetItem* NodeAt(int group, int item) {
    if (group < 0) return CtrlRootNode();
    return CtrlNode(group, item);
}

}  // namespace

QString CtrlNodeText(const QString& label, const QString& value) {
    return label + QStringLiteral(" [") + ShownCtrlValue(label, value) + QLatin1Char(']');
}

int CtrlTreeModel::Find(int group, int item) const {
    for (size_t i = 0; i < nodes.size(); ++i)
        if (nodes[i].group == group && nodes[i].item == item && group >= 0) return int(i);
    return -1;
}

QString CtrlTreeModel::Path(int index) const {
    QStringList parts;
    for (int i = index; i >= 0 && i < int(nodes.size()); i = nodes[i].parent)
        parts.prepend(nodes[i].Text());
    return parts.join(QLatin1Char('\\'));
}

std::vector<int> CtrlTreeModel::Children(int index) const {
    std::vector<int> out;
    for (size_t i = 0; i < nodes.size(); ++i)
        if (nodes[i].parent == index) out.push_back(int(i));
    return out;
}

CtrlTreeModel BuildCtrlTreeModel(const CtrlSettings& s, bool laPresent) {
    return BuildCtrlTreeModel(s, laPresent, -1);
}

CtrlTreeModel BuildCtrlTreeModel(const CtrlSettings& s, bool laPresent, int language) {
    Builder b(s, language);
    const int root = b.Add(-1, Shell().ModelName, imgRoot, -1, -1);
    auto group = [&](int number) { return b.Add(root, b.Label(CtrlGroupLabel(number)), imgGroup, number, 0); };

    const int running = group(CtrlGroup::RunningControl);
    for (const GroupRow& r : kRunningControlRows) b.AddRow(running, CtrlGroup::RunningControl, r);

    for (int ch : {CtrlGroup::CH1, CtrlGroup::CH2}) {
        const int node = group(ch);
        for (const auto& [one, two] : kChannelRows) b.AddSetting(node, ch == CtrlGroup::CH1 ? one : two, imgRow);
    }
    if (laPresent) AddLaRows(b, group(CtrlGroup::LA));
    AddTimeBaseRows(b, group(CtrlGroup::TimeBase));
    AddTriggerRows(b, group(CtrlGroup::Trigger));

    const int acquire = group(CtrlGroup::Acquire);
    for (const GroupRow& r : kAcquireRows) b.AddRow(acquire, CtrlGroup::Acquire, r);
    if (s.AcquireType == b.Word(vwAverage)) b.AddSetting(acquire, &S::AcquireAverages, imgRow);

    const int display = group(CtrlGroup::Display);
    for (const GroupRow& r : kDisplayRows) b.AddRow(display, CtrlGroup::Display, r);

    b.Add(root, b.Label(lbVirtualPanel), imgPanel, -1, -1);
    return std::move(b.model);
}

QTreeWidget* CtrlTreeWidget() {
    frmCtrlList* f = LoadedCtrlListForm();
    return f ? f->CtrlTreeView : nullptr;
}

void BuildCtrlTree() {
    QTreeWidget* tree = CtrlListForm()->CtrlTreeView;
    const CtrlTreeModel model = BuildCtrlTreeModel(DSOSettings(), Link().LAPresent);
    tree->clear();
    tree->setRootIsDecorated(true);
    tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    std::vector<QTreeWidgetItem*> items(model.nodes.size(), nullptr);
    for (size_t i = 0; i < model.nodes.size(); ++i) {
        const CtrlNodeData& n = model.nodes[i];
        auto* it = new QTreeWidgetItem(QStringList{n.Text()});
        it->setIcon(0, ImageIcon(n.image));
        it->setData(0, RoleGroup, n.group);
        it->setData(0, RoleItem, n.item);
        it->setData(0, RoleLabel, n.label);
        it->setData(0, RoleHasValue, n.hasValue);
        it->setData(0, RoleImage, n.image);
        it->setData(0, RoleValueNumber, n.valueNumber);
        if (n.parent < 0)
            tree->addTopLevelItem(it);
        else
            items[n.parent]->addChild(it);
        items[i] = it;
    }
    if (!items.empty()) items[0]->setExpanded(true);
}

void SaveCtrlTreeExpand() {
    auto& state = CtrlState().CtrlExpandState;
    for (int e = 0; e < CtrlExpandNodes; ++e)
        if (QTreeWidgetItem* n = NodeAt(kExpandKept[e].first, kExpandKept[e].second))
            state[size_t(e)] = n->isExpanded();
}

void RestoreCtrlTreeExpand() {
    const auto& state = CtrlState().CtrlExpandState;
    for (int e = 0; e < CtrlExpandNodes; ++e)
        if (QTreeWidgetItem* n = NodeAt(kExpandKept[e].first, kExpandKept[e].second))
            n->setExpanded(state[size_t(e)]);
}

void RebuildCtrlTree() {
    SaveCtrlTreeExpand();
    BuildCtrlTree();
    RestoreCtrlTreeExpand();
}

QTreeWidgetItem* CtrlRootNode() {
    QTreeWidget* tree = CtrlTreeWidget();
    return tree && tree->topLevelItemCount() > 0 ? tree->topLevelItem(0) : nullptr;
}

QTreeWidgetItem* CtrlNode(int group, int item) {
    QTreeWidget* tree = CtrlTreeWidget();
    if (!tree || group < 0 || group >= CtrlNodeTableSize || item < 0 || item >= CtrlNodeTableSize)
        return nullptr;
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        const QTreeWidgetItem* n = *it;
        if (n->data(0, RoleGroup).toInt() == group && n->data(0, RoleItem).toInt() == item)
            return *it;
    }
    return nullptr;
}

bool SetCtrlNodeText(int group, int item, const QString& value) {
    QTreeWidgetItem* n = CtrlNode(group, item);
    if (!n) return false;
    n->setText(0, CtrlNodeText(n->data(0, RoleLabel).toString(), value));
    n->setData(0, RoleHasValue, true);
    return true;
}

bool ReplaceCtrlNodeText(int group, int item, const QString& text) {
    QTreeWidgetItem* n = CtrlNode(group, item);
    if (!n) return false;
    n->setText(0, text);
    return true;
}

int RefreshCtrlValueNodes(const QString& mirrorValue) {
    const std::vector<const QString*> values =
        CtrlSettingsValues(static_cast<const CtrlSettings&>(DSOSettings()));
    int number = 0;
    for (size_t k = 0; k < values.size(); ++k)
        if (values[k] == &mirrorValue) number = int(k) + 1;
    QTreeWidget* tree = CtrlTreeWidget();
    if (!tree || number == 0) return 0;
    int rewritten = 0;
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        QTreeWidgetItem* n = *it;
        if (n->data(0, RoleValueNumber).toInt() != number) continue;
        n->setText(0, CtrlNodeText(n->data(0, RoleLabel).toString(), mirrorValue));
        ++rewritten;
    }
    return rewritten;
}

QString CtrlNodeLabel(int group, int item) {
    const QTreeWidgetItem* n = CtrlNode(group, item);
    return n ? n->data(0, RoleLabel).toString() : QString();
}

QString CtrlNodePath(const QTreeWidgetItem* node) {
    QStringList parts;
    for (const QTreeWidgetItem* n = node; n; n = n->parent()) parts.prepend(n->text(0));
    return parts.join(QLatin1Char('\\'));
}

void ExpandAllCtrlNodes() {
    if (QTreeWidgetItem* root = CtrlRootNode()) root->setExpanded(true);
    for (const auto& [group, item] : kExpandAll)
        if (QTreeWidgetItem* n = CtrlNode(group, item)) n->setExpanded(true);
}

void SetLAPresent(bool flag) {
    if (Link().LAPresent == flag) return;
    SetLinkLAPresent(flag);
    BuildCtrlTree();
}
