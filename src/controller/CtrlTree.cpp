#include "controller/CtrlTree.h"
#include "widgets/StandardIcons.h"

#include <QApplication>
#include <QHash>
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

using Field = QString CtrlSettings::*;
using ArrayField = CtrlCodeArray CtrlSettings::*;

// A row of a fixed group: position item, label, value field (nullptr for a
// node that shows its label alone), image.
struct Row {
    int item;
    int label;
    Field field;
    int image;
};

// ---- The trigger group's builders, in their call order ---------------------
//
// Columns: the methods EDGE, PULSE, VIDEO, SLOPE, PATTERN, DURATION,
// ALTERNATIVE, and a text that is none of them. A cell with item 0 adds
// nothing in that method.
enum Method { mEdge, mPulse, mVideo, mSlope, mPattern, mDuration, mAlternative, mOther, MethodCount };

struct Cell {
    int item = 0;
    Field field = nullptr;  // nullptr on a row: the value is empty
    int label = -1;         // the call's label when -1
};

enum CallKind {
    Plain,
    DigitalRule,  // left out for EDGE/PULSE when the level is a logic channel's threshold
    AltGroups,    // the alternation sub-groups
    CodeGroup,    // the Code sub-group
};

struct TriggerCall {
    int label;
    CallKind kind;
    Cell cells[MethodCount];
};

using S = CtrlSettings;
const TriggerCall kTriggerCalls[] = {
    {lbMethod, Plain,
     {{2, &S::TriggerMethod}, {2, &S::TriggerMethod}, {2, &S::TriggerMethod},
      {2, &S::TriggerMethod}, {2, &S::TriggerMethod}, {2, &S::TriggerMethod},
      {2, &S::TriggerMethod}, {2, &S::TriggerMethod}}},
    {lbSlope, Plain, {{4, &S::TriggerEdgeSlope}}},
    {lbSource, Plain,
     {{3, &S::TriggerEdgeSource}, {3, &S::TriggerPulseSource}, {3, &S::TriggerVideoSource},
      {3, &S::TriggerSlopeSource}, {}, {}, {}, {3, nullptr}}},
    {lbPulseMode, Plain, {{}, {4, &S::TriggerPulseMode}}},
    {lbPulseWidth, Plain, {{}, {5, &S::TriggerPulseWidth}}},
    {lbSlopeMode, Plain, {{}, {}, {}, {4, &S::TriggerSlopeMode}}},
    {lbSlopeTime, Plain, {{}, {}, {}, {5, &S::TriggerSlopeTime}}},
    {-1, AltGroups, {{}, {}, {}, {}, {}, {}, {CtrlGroup::AltCH1Trigger}}},
    {lbCode, CodeGroup, {{}, {}, {}, {}, {CtrlGroup::TriggerCode}, {CtrlGroup::TriggerCode}}},
    {lbQualifier, Plain, {{}, {}, {}, {}, {}, {22, &S::TriggerDurationQualifier}}},
    {lbDurationTime, Plain, {{}, {}, {}, {}, {}, {23, &S::TriggerDurationTime}}},
    {lbMode, Plain,
     {{5, &S::TriggerEdgeSweep}, {7, &S::TriggerPulseSweep}, {}, {8, &S::TriggerSlopeSweep},
      {22, &S::TriggerPatternSweep}, {24, &S::TriggerDurationSweep}}},
    {lbCoupling, DigitalRule,
     {{6, &S::TriggerEdgeCoupling}, {6, &S::TriggerPulseCoupling}, {},
      {7, &S::TriggerSlopeCoupling}}},
    {lbPolarity, Plain, {{}, {}, {4, &S::TriggerVideoPolarity}}},
    {lbSync, Plain, {{}, {}, {5, &S::TriggerVideoSync}}},
    {lbLineNumber, Plain, {{}, {}, {6, &S::TriggerVideoLine}}},
    {lbVideoStandard, Plain, {{}, {}, {7, &S::TriggerVideoStandard}}},
    // Level; in SLOPE LevelA, then LevelB from the same builder.
    {lbLevel, DigitalRule,
     {{7, &S::TriggerEdgeLevel}, {8, &S::TriggerPulseLevel}, {8, &S::TriggerVideoLevel},
      {9, &S::TriggerSlopeLevelA, lbLevelA}}},
    {lbLevelB, Plain, {{}, {}, {}, {10, &S::TriggerSlopeLevelB}}},
    {lbSensitivity, DigitalRule,
     {{8, &S::TriggerEdgeSensitivity}, {9, &S::TriggerPulseSensitivity},
      {9, &S::TriggerVideoSensitivity}, {11, &S::TriggerSlopeSensitivity}}},
    {lbHoldoff, Plain,
     {{9, &S::TriggerHoldoff}, {10, &S::TriggerHoldoff}, {10, &S::TriggerHoldoff},
      {12, &S::TriggerHoldoff}, {23, &S::TriggerHoldoff}, {25, &S::TriggerHoldoff}}},
};

// Rows of one channel under alternation, per trigger type (EDGE, PULSE,
// VIDEO, SLOPE), in order.
struct AltRow {
    int type;  // 0 EDGE, 1 PULSE, 2 VIDEO, 3 SLOPE
    int label;
    int item;
    Field ch1, ch2;
};

const AltRow kAltRows[] = {
    {0, lbSlope, 6, &S::AltCH1EdgeSlope, &S::AltCH2EdgeSlope},
    {0, lbCoupling, 16, &S::AltCH1EdgeCoupling, &S::AltCH2EdgeCoupling},
    {0, lbLevel, 17, &S::AltCH1EdgeLevel, &S::AltCH2EdgeLevel},
    {0, lbSensitivity, 20, &S::AltCH1EdgeSensitivity, &S::AltCH2EdgeSensitivity},
    {0, lbHoldoff, 21, &S::AltCH1EdgeHoldoff, &S::AltCH2EdgeHoldoff},
    {1, lbPulseMode, 7, &S::AltCH1PulseMode, &S::AltCH2PulseMode},
    {1, lbPulseWidth, 8, &S::AltCH1PulseWidth, &S::AltCH2PulseWidth},
    {1, lbCoupling, 16, &S::AltCH1PulseCoupling, &S::AltCH2PulseCoupling},
    {1, lbLevel, 17, &S::AltCH1PulseLevel, &S::AltCH2PulseLevel},
    {1, lbSensitivity, 20, &S::AltCH1PulseSensitivity, &S::AltCH2PulseSensitivity},
    {1, lbHoldoff, 21, &S::AltCH1PulseHoldoff, &S::AltCH2PulseHoldoff},
    {2, lbPolarity, 12, &S::AltCH1VideoPolarity, &S::AltCH2VideoPolarity},
    {2, lbSync, 13, &S::AltCH1VideoSync, &S::AltCH2VideoSync},
    {2, lbLineNumber, 14, &S::AltCH1VideoLine, &S::AltCH2VideoLine},
    {2, lbVideoStandard, 15, &S::AltCH1VideoStandard, &S::AltCH2VideoStandard},
    {2, lbLevel, 17, &S::AltCH1VideoLevel, &S::AltCH2VideoLevel},
    {2, lbSensitivity, 20, &S::AltCH1VideoSensitivity, &S::AltCH2VideoSensitivity},
    {2, lbHoldoff, 21, &S::AltCH1VideoHoldoff, &S::AltCH2VideoHoldoff},
    {3, lbSlopeMode, 9, &S::AltCH1SlopeMode, &S::AltCH2SlopeMode},
    {3, lbSlopeTime, 10, &S::AltCH1SlopeTime, &S::AltCH2SlopeTime},
    {3, lbCoupling, 16, &S::AltCH1SlopeCoupling, &S::AltCH2SlopeCoupling},
    {3, lbLevelA, 18, &S::AltCH1SlopeLevelA, &S::AltCH2SlopeLevelA},
    {3, lbLevelB, 19, &S::AltCH1SlopeLevelB, &S::AltCH2SlopeLevelB},
    {3, lbSensitivity, 20, &S::AltCH1SlopeSensitivity, &S::AltCH2SlopeSensitivity},
    {3, lbHoldoff, 21, &S::AltCH1SlopeHoldoff, &S::AltCH2SlopeHoldoff},
};

// ---- The other groups ------------------------------------------------------

const Row kRunningControlRows[] = {
    {2, lbRunStop, &S::RunStop, imgRow},
    {3, lbAutoSet, nullptr, imgAction},
    {4, lbSetTrig50, nullptr, imgAction},
    {5, lbForceTrigger, nullptr, imgAction},
};

// Channel rows: CH1 field, CH2 field (items 2 .. 7, image 3).
const struct {
    int label;
    Field ch1, ch2;
} kChannelRows[] = {
    {lbChannelDisplay, &S::CH1Display, &S::CH2Display},
    {lbVoltDiv, &S::CH1Scale, &S::CH2Scale},
    {lbOffset, &S::CH1Offset, &S::CH2Offset},
    {lbCoupling, &S::CH1Coupling, &S::CH2Coupling},
    {lbBWLimit, &S::CH1BWLimit, &S::CH2BWLimit},
    {lbProbe, &S::CH1Probe, &S::CH2Probe},
};

const Row kTimeBaseRows[] = {
    {15, lbTimeDiv, &S::TimeBaseScale, imgRow},
    {16, lbDelay, &S::TimeBaseOffset, imgRow},
    {18, lbFormat, &S::TimeBaseFormat, imgRow},
};

// The Averages row (7,5) exists only for the acquisition word "AVERAGE".
const Row kAcquireRows[] = {
    {2, lbAcquisition, &S::AcquireType, imgRow},
    {3, lbSamplingMode, &S::AcquireSampling, imgRow},
};
const Row kAveragesRow = {5, lbAverages, &S::AcquireAverages, imgRow};

const Row kDisplayRows[] = {
    {2, lbType, &S::DisplayType, imgRow},
    {3, lbPersist, &S::DisplayPersist, imgRow},
    {4, lbClear, nullptr, imgRow},
    {5, lbGrid, &S::DisplayGrid, imgRow},
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
    Builder(const CtrlSettings& s, int language) : s_(s), language_(language) {
        int k = 0;
        for (const QString* v : CtrlSettingsValues(s)) numbers_.insert(v, ++k);
    }

    CtrlTreeModel model;

    QString Label(int index) const {
        return language_ < 0 ? ControllerLabel(index) : ControllerLabelIn(index, language_);
    }
    QString Word(int index) const {
        return language_ < 0 ? ValueWord(index) : ValueWordIn(index, language_);
    }

    int Add(int parent, const QString& label, int image, int group, int item,
            const QString* value = nullptr) {
        CtrlNodeData n;
        n.label = label;
        n.image = image;
        n.group = group;
        n.item = item;
        n.parent = parent;
        if (value) {
            n.hasValue = true;
            n.value = *value;
            n.valueNumber = numbers_.value(value, 0);
        }
        model.nodes.push_back(std::move(n));
        return int(model.nodes.size()) - 1;
    }

    // A row of a fixed table under the node `parent` at (group, row.item).
    int AddRow(int parent, int group, const Row& r) {
        return r.field ? Add(parent, Label(r.label), r.image, group, r.item, &(s_.*r.field))
                       : Add(parent, Label(r.label), r.image, group, r.item);
    }

    // Sixteen channel rows D15 .. D0 under (parentGroup, group), at
    // (group, first) .. (group, first + 15), from elements 1 .. 16.
    void AddChannelRows(int parent, int group, int first, const CtrlCodeArray& values, int image) {
        for (int k = 1; k <= 16; ++k)
            Add(parent, Label(lbD15 + k - 1), image, group, first + k - 1, &values[k]);
    }

    const CtrlSettings& s_;
    const int language_;
    QHash<const QString*, int> numbers_;
};

// Whether a level is a logic channel's threshold (the level rule,
// link/LevelRule.h): its method then shows no coupling, level or
// sensitivity rows.
bool LevelIsThreshold(const CtrlSettings& s, QString CtrlSettings::*level) {
    return LevelRuleOf(s, SettingNumber(level)).logicChannel;
}

Method MethodOf(const Builder& b, const QString& text) {
    const std::pair<int, Method> words[] = {
        {vwEdge, mEdge},       {vwPulse, mPulse},     {vwVideo, mVideo},
        {vwSlope, mSlope},     {vwAlternative, mAlternative},
        {vwPattern, mPattern}, {vwDuration, mDuration},
    };
    for (const auto& [word, m] : words)
        if (text == b.Word(word)) return m;
    return mOther;
}

// 0 EDGE, 1 PULSE, 2 VIDEO, 3 SLOPE, -1 any other text.
int AltTypeOf(const Builder& b, const QString& text) {
    const int words[] = {vwEdge, vwPulse, vwVideo, vwSlope};
    for (int t = 0; t < 4; ++t)
        if (text == b.Word(words[t])) return t;
    return -1;
}

void AddTriggerRows(Builder& b, int trigger) {
    const CtrlSettings& s = b.s_;
    const Method m = MethodOf(b, s.TriggerMethod);
    const bool digital = (m == mEdge && LevelIsThreshold(s, &S::TriggerEdgeLevel)) ||
                         (m == mPulse && LevelIsThreshold(s, &S::TriggerPulseLevel));
    static const QString empty;
    for (const TriggerCall& call : kTriggerCalls) {
        const Cell& c = call.cells[m];
        if (c.item == 0) continue;
        switch (call.kind) {
        case DigitalRule:
            if (digital) break;
            [[fallthrough]];
        case Plain:
            b.Add(trigger, b.Label(c.label >= 0 ? c.label : call.label), imgRow,
                  CtrlGroup::Trigger, c.item, c.field ? &(s.*c.field) : &empty);
            break;
        case AltGroups: {
            const int ch1 = b.Add(trigger, b.Label(lbCH1), imgRow, CtrlGroup::Trigger,
                                  CtrlGroup::AltCH1Trigger);
            const int ch2 = b.Add(trigger, b.Label(lbCH2), imgRow, CtrlGroup::Trigger,
                                  CtrlGroup::AltCH2Trigger);
            const std::pair<int, const QString*> channels[] = {{ch1, &s.AltCH1TrigType},
                                                               {ch2, &s.AltCH2TrigType}};
            for (const auto& [node, type] : channels) {
                const int group = node == ch1 ? CtrlGroup::AltCH1Trigger : CtrlGroup::AltCH2Trigger;
                b.Add(node, b.Label(lbTrigType), imgSubRow, group, 5, type);
                const int t = AltTypeOf(b, *type);
                for (const AltRow& r : kAltRows)
                    if (r.type == t)
                        b.Add(node, b.Label(r.label), imgSubRow, group, r.item,
                              &(s.*(node == ch1 ? r.ch1 : r.ch2)));
            }
            break;
        }
        case CodeGroup: {
            const int code = b.Add(trigger, b.Label(lbCode), imgRow, CtrlGroup::Trigger,
                                   CtrlGroup::TriggerCode);
            b.AddChannelRows(code, CtrlGroup::TriggerCode, 5,
                             m == mPattern ? s.TriggerPatternCode : s.TriggerDurationCode, imgRow);
            break;
        }
        }
    }
}

void AddTimeBaseRows(Builder& b, int timeBase) {
    const CtrlSettings& s = b.s_;
    if (s.TriggerMethod != b.Word(vwAlternative)) {
        for (const Row& r : kTimeBaseRows) b.AddRow(timeBase, CtrlGroup::TimeBase, r);
        return;
    }
    const int ch1 = b.Add(timeBase, b.Label(lbCH1), imgRow, CtrlGroup::TimeBase,
                          CtrlGroup::AltCH1TimeBase);
    const int ch2 = b.Add(timeBase, b.Label(lbCH2), imgRow, CtrlGroup::TimeBase,
                          CtrlGroup::AltCH2TimeBase);
    b.Add(ch1, b.Label(lbTimeDiv), imgSubRow, CtrlGroup::AltCH1TimeBase, 15, &s.AltCH1TimeBaseScale);
    b.Add(ch1, b.Label(lbDelay), imgSubRow, CtrlGroup::AltCH1TimeBase, 16, &s.AltCH1TimeBaseOffset);
    b.Add(ch2, b.Label(lbTimeDiv), imgSubRow, CtrlGroup::AltCH2TimeBase, 15, &s.AltCH2TimeBaseScale);
    b.Add(ch2, b.Label(lbDelay), imgSubRow, CtrlGroup::AltCH2TimeBase, 16, &s.AltCH2TimeBaseOffset);
}

void AddLaRows(Builder& b, int la) {
    const CtrlSettings& s = b.s_;
    const int display = b.Add(la, b.Label(lbChannelDisplay), imgRow, CtrlGroup::LA,
                              CtrlGroup::LADisplayGroup);
    b.Add(display, b.Label(lbD15D8), imgSubRow, CtrlGroup::LADisplayGroup, 2, &s.LAGroupHighDisplay);
    b.Add(display, b.Label(lbD7D0), imgSubRow, CtrlGroup::LADisplayGroup, 3, &s.LAGroupLowDisplay);
    b.AddChannelRows(display, CtrlGroup::LADisplayGroup, 5, s.LAChannelDisplay, imgSubRow);
    const int position = b.Add(la, b.Label(lbPosition), imgRow, CtrlGroup::LA,
                               CtrlGroup::LAPosition);
    b.AddChannelRows(position, CtrlGroup::LAPosition, 5, s.LAChannelPosition, imgSubRow);
    b.Add(la, b.Label(lbThreshold), imgRow, CtrlGroup::LA, 11, &s.LAThreshold);
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
    auto group = [&](int number, int label) {
        return b.Add(root, b.Label(label), imgGroup, number, 0);
    };

    const int running = group(CtrlGroup::RunningControl, lbRunningControl);
    for (const Row& r : kRunningControlRows) b.AddRow(running, CtrlGroup::RunningControl, r);

    for (int ch : {CtrlGroup::CH1, CtrlGroup::CH2}) {
        const int node = group(ch, ch == CtrlGroup::CH1 ? lbCH1 : lbCH2);
        int item = 2;
        for (const auto& r : kChannelRows)
            b.AddRow(node, ch, {item++, r.label, ch == CtrlGroup::CH1 ? r.ch1 : r.ch2, imgRow});
    }
    if (laPresent) AddLaRows(b, group(CtrlGroup::LA, lbLA));
    AddTimeBaseRows(b, group(CtrlGroup::TimeBase, lbTimeBase));
    AddTriggerRows(b, group(CtrlGroup::Trigger, lbTrigger));

    const int acquire = group(CtrlGroup::Acquire, lbAcquire);
    for (const Row& r : kAcquireRows) b.AddRow(acquire, CtrlGroup::Acquire, r);
    if (s.AcquireType == b.Word(vwAverage)) b.AddRow(acquire, CtrlGroup::Acquire, kAveragesRow);

    const int display = group(CtrlGroup::Display, lbDisplayGroup);
    for (const Row& r : kDisplayRows) b.AddRow(display, CtrlGroup::Display, r);

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
