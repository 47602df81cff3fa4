#pragma once
// The controller tree: the view of the settings mirror in which every setting
// is a row "label [value]" under its group.
//
// Two halves:
// - BuildCtrlTreeModel: the whole tree as plain data (texts, images, table
//   positions, parents) from a mirror and the logic-analyser flag. Tests and
//   the edit dispatcher read it without a window.
// - The tree view binding: BuildCtrlTree fills the controller window's
//   CtrlTreeView from DSOSettings(); CtrlNode / SetCtrlNodeText reach a node by
//   its fixed (group, item) position. The position table is never stored as
//   pointers: a lookup searches the current tree, so a position whose node the
//   last build did not make (another trigger method, no LA, no Averages) or a
//   tree that is gone gives nullptr and a rewrite does nothing.
#include <QString>
#include <array>
#include <vector>

#include "common/DSOSettings.h"
#include "link/CtrlPlaces.h"
#include "link/Vocabulary.h"

class QTreeWidget;
class QTreeWidgetItem;

constexpr int CtrlNodeTableSize = 32;  // groups and items 0 .. 31

// Images of the tree's image list, by index.
enum CtrlImage {
    imgRoot = 1, imgGroup = 2, imgRow = 3, imgAction = 4, imgPanel = 6, imgSubRow = 8,
};

// "label [value]" (a setting row); the label alone for a group or action.
QString CtrlNodeText(const QString& label, const QString& value);

// One node of the tree as data.
struct CtrlNodeData {
    QString label;          // label (root: the model name; LA and code rows: "D15" .. "D0")
    QString value;          // value text as the mirror holds it
    bool hasValue = false;  // a setting row: text is "label [value]"
    int image = imgRow;
    int group = -1, item = -1;  // table position; -1 for the root and Virtual Panel
    int valueNumber = 0;        // the value shown: its number 1..193 in the record, or 0
    int parent = -1;            // index of the parent in CtrlTreeModel::nodes

    QString Text() const { return hasValue ? CtrlNodeText(label, value) : label; }
};

struct CtrlTreeModel {
    // In the order of addition; element 0 is the root. A node is the last
    // child of its parent at the moment it is added.
    std::vector<CtrlNodeData> nodes;

    // Index of the node at (group, item), or -1.
    int Find(int group, int item) const;
    // Texts from the root down joined by "\".
    QString Path(int index) const;
    // Indices of the children of a node, in order.
    std::vector<int> Children(int index) const;
};

// The whole tree from a mirror, with the labels and value words of the
// current UI language and ModelName as the root's text.
CtrlTreeModel BuildCtrlTreeModel(const CtrlSettings& s, bool laPresent);
// The same with the labels and value words of `language` (0 Chinese, 1
// English) whatever is loaded; -1 takes the current tables.
CtrlTreeModel BuildCtrlTreeModel(const CtrlSettings& s, bool laPresent, int language);

// ---- The tree view (the controller window's CtrlTreeView) -----------------

// Removes every node and builds the tree from DSOSettings() and
// Link().LAPresent (creating the controller window when it does not exist).
// Only the root is expanded afterwards.
void BuildCtrlTree();
// Expanded state of the root and eleven fixed group nodes, kept across a
// rebuild; a node absent from the tree is skipped (its saved flag stays).
void SaveCtrlTreeExpand();
void RestoreCtrlTreeExpand();
// SaveCtrlTreeExpand, BuildCtrlTree, RestoreCtrlTreeExpand: the rebuild after
// a language switch or after an applied edit that changes which rows exist
// (trigger method, EDGE/VIDEO source, alternation trigger type).
void RebuildCtrlTree();

// The root and the node at a position in the current tree, or nullptr.
QTreeWidgetItem* CtrlRootNode();
QTreeWidgetItem* CtrlNode(int group, int item);
// Rewrites a setting row's text to "label [value]" with its own label. False
// (nothing changed) when the position has no node in the current tree.
bool SetCtrlNodeText(int group, int item, const QString& value);
// Sets the whole text of the node at a position (for callers that form the
// text themselves). False when absent.
bool ReplaceCtrlNodeText(int group, int item, const QString& text);
// Rewrites every row that shows this value of DSOSettings() (a field or an
// array element of the mirror, e.g. DSOSettings().TriggerHoldoff) to
// "label [value]" with the mirror's current text. Returns the number of rows
// rewritten (0 when the value has no row in the current tree).
int RefreshCtrlValueNodes(const QString& mirrorValue);
// The label of the node at a position ("" when absent).
QString CtrlNodeLabel(int group, int item);
// The path of a node: texts from the root down joined by "\".
QString CtrlNodePath(const QTreeWidgetItem* node);
// Expands the root and the fixed groups (the popup menu's Expand All).
void ExpandAllCtrlNodes();

// Stores a changed logic-analyser flag and rebuilds the tree (without
// keeping the expanded states).
void SetLAPresent(bool flag);

// The tree view the binding works on (the loaded controller window's), or
// nullptr when the window is not loaded.
QTreeWidget* CtrlTreeWidget();
