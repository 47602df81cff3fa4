#pragma once
// The sheet document: announces what happens to the data sheet so that the
// tree, the view windows and the main window's toolbar follow it without the
// records knowing them. The records stay in common/SheetModel.h (Sheets());
// the windows in ViewWindows.h and the tree items in SheetTreeBinder.h.
#include <QObject>

#include "common/SheetModel.h"

class SheetDocument : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Announce a view that was added to a slot or whose record changed.
    void NotifyViewAdded(ViewKind kind, int slot) { emit viewAdded(kind, slot); }
    void NotifyViewChanged(ViewKind kind, int slot) { emit viewChanged(kind, slot); }

    // Removes the view of a slot: its window and node go, the later records,
    // windows and nodes move down one slot, the count drops by one; then
    // viewRemoved. Nothing happens for a slot outside 0 .. count-1.
    void RemoveView(ViewKind kind, int slot);

    // Sets SheetModified; modifiedChanged when it changes.
    void SetModified(bool modified);

    // Reads whether the sheet node is in the tree into Sheets().SheetOpen and
    // announces it (every time: the toolbar sets its buttons each time).
    bool RefreshSheetOpen();

signals:
    void viewAdded(ViewKind kind, int slot);
    void viewRemoved(ViewKind kind, int slot);
    void viewChanged(ViewKind kind, int slot);
    void modifiedChanged(bool modified);
    // The add-view buttons of the toolbar (11, 12, 13) follow this.
    void sheetOpenChanged(bool open);
};

// The one sheet document of the application.
SheetDocument& SheetDoc();

// True when the sheet node is in the data browser's tree; announces the
// answer through SheetDoc().sheetOpenChanged. Never fails and never shows a
// message.
bool IsDataSheetOpen();
