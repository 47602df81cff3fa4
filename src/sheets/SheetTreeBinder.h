#pragma once
// The tree binder: the data browser's tree items of the sheet and its views,
// by (kind, slot). The records in common/SheetModel.h hold no tree items;
// "the node of this view" is ViewNode(kind, slot). Removing a view moves the
// nodes of the later slots down one slot with their records.
#include <QPointer>
#include <QTreeWidget>

#include "common/SheetModel.h"

struct SheetTreeRefs {
    QPointer<QTreeWidget> SheetTreeView;     // the data browser's tree
    QTreeWidgetItem* SheetRootNode = nullptr;
    // The sheet node; its owner sets it to nullptr when it removes the node.
    QTreeWidgetItem* SheetNode = nullptr;
};
SheetTreeRefs& SheetTree();

// The node of a view (nullptr when none, or when the slot is out of range).
QTreeWidgetItem* ViewNode(ViewKind kind, int slot);
void SetViewNode(ViewKind kind, int slot, QTreeWidgetItem* node);

// The view in slot is removed: its node is deleted, and the nodes of slots
// slot+1 .. count-1 move down one slot each. count is the kind's count
// before the removal.
void MoveViewNodesDown(ViewKind kind, int slot, int count);

// True when the sheet node is among the items of the tree (looked up by
// identity, never dereferenced: after its removal it may no longer exist).
bool SheetNodeInTree();
