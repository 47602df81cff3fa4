#include "sheets/SheetDocument.h"

#include "sheets/SheetTreeBinder.h"
#include "sheets/ViewWindows.h"

SheetDocument& SheetDoc() {
    static SheetDocument* doc = new SheetDocument;  // lives for the process
    return *doc;
}

void SheetDocument::RemoveView(ViewKind kind, int slot) {
    const int count = ViewCount(kind);
    if (slot < 0 || slot >= std::min(count, SlotCount(kind))) return;
    MoveViewFormsDown(kind, slot, count);
    MoveViewNodesDown(kind, slot, count);
    MoveViewRecordsDown(kind, slot);
    emit viewRemoved(kind, slot);
}

void SheetDocument::SetModified(bool modified) {
    if (Sheets().SheetModified == modified) return;
    Sheets().SheetModified = modified;
    emit modifiedChanged(modified);
}

bool SheetDocument::RefreshSheetOpen() {
    const bool open = SheetNodeInTree();
    Sheets().SheetOpen = open;
    emit sheetOpenChanged(open);
    return open;
}

bool IsDataSheetOpen() { return SheetDoc().RefreshSheetOpen(); }
