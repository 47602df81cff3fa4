#include "sheets/SheetTreeBinder.h"

#include <QTreeWidgetItemIterator>
#include <array>
#include <vector>

namespace {

std::array<std::vector<QTreeWidgetItem*>, ViewKindCount>& nodes() {
    static std::array<std::vector<QTreeWidgetItem*>, ViewKindCount> n = [] {
        std::array<std::vector<QTreeWidgetItem*>, ViewKindCount> a;
        for (int k = 0; k < ViewKindCount; ++k) a[size_t(k)].assign(size_t(SlotCount(ViewKind(k))), nullptr);
        return a;
    }();
    return n;
}

QTreeWidgetItem** NodeRef(ViewKind kind, int slot) {
    if (kind < 0 || kind >= ViewKindCount || !SlotInRange(kind, slot)) return nullptr;
    return &nodes()[size_t(kind)][size_t(slot)];
}

}  // namespace

SheetTreeRefs& SheetTree() {
    static SheetTreeRefs refs;
    return refs;
}

QTreeWidgetItem* ViewNode(ViewKind kind, int slot) {
    QTreeWidgetItem** ref = NodeRef(kind, slot);
    return ref ? *ref : nullptr;
}

void SetViewNode(ViewKind kind, int slot, QTreeWidgetItem* node) {
    if (QTreeWidgetItem** ref = NodeRef(kind, slot)) *ref = node;
}

void MoveViewNodesDown(ViewKind kind, int slot, int count) {
    const int n = std::min(count, SlotCount(kind));
    if (!NodeRef(kind, slot) || slot >= n) return;
    auto& list = nodes()[size_t(kind)];
    delete list[size_t(slot)];
    for (int i = slot; i + 1 < n; ++i) list[size_t(i)] = list[size_t(i) + 1];
    list[size_t(n - 1)] = nullptr;
}

bool SheetNodeInTree() {
    const SheetTreeRefs& t = SheetTree();
    if (!t.SheetTreeView || !t.SheetNode) return false;
    for (QTreeWidgetItemIterator it(t.SheetTreeView.data()); *it; ++it)
        if (*it == t.SheetNode) return true;
    return false;
}
