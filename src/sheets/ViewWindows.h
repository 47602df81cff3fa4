#pragma once
// The window registry: the window of each view, by (kind, slot). A slot holds
// no window until its view is first shown (or after its window closed); the
// window is then made by the factory its view folder registered for the kind.
//
// A view window carries its slot as its tag, in decimal text (property
// "Tag"). Removing a view moves the windows of the later slots down one slot
// with their records and re-tags them.
#include <QWidget>
#include <functional>

#include "common/SheetModel.h"

using ViewFormFactory = std::function<QWidget*(int slot)>;

// Registers the factory of a kind's windows (the view folders do this when
// they are linked into the application). An empty factory unregisters it.
void SetViewFormFactory(ViewKind kind, ViewFormFactory factory);

// The window of a slot, or nullptr when the slot holds none (or is out of range).
QWidget* ExistingViewForm(ViewKind kind, int slot);
// The window of a slot; when it holds none, a new hidden window is made by
// the kind's factory, tagged with the slot and kept there. nullptr when the
// slot is out of range or the factory gives none. Asking for a window of a
// kind without a factory is a wiring fault: it fails loudly in debug builds.
QWidget* ViewForm(ViewKind kind, int slot);
// Puts a window into a slot (tagging it) or empties the slot (nullptr).
void SetViewForm(ViewKind kind, int slot, QWidget* form);

// Writes the slot into a window's tag ("0" to "17").
void SetFormTag(QWidget* form, int slot);
// Reads a window's tag as a slot of the kind; -1 when the tag is missing, not
// a plain decimal number, or outside the kind's slots.
int FormSlot(ViewKind kind, const QWidget* form);

// The view in slot is removed: its window (if any) is closed and deleted
// later, and the windows of slots slot+1 .. count-1 move down one slot each
// and are re-tagged. count is the kind's count before the removal.
void MoveViewFormsDown(ViewKind kind, int slot, int count);
