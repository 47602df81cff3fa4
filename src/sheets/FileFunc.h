#pragma once
// Adding, removing and rebuilding the views of the open data sheet.
//
// Records live in common/SheetModel.h (Sheets()), windows in the window
// registry (ViewWindows.h), tree nodes in the tree binder
// (SheetTreeBinder.h). These procedures keep the three in step and announce
// the changes through SheetDoc() (SheetDocument.h).
//
// Messages: the add procedures refuse with MsgOpenSheetFirst while no sheet
// node is in the tree and with MsgTooManyFiles at the kind's limit (16 Wave,
// 16 Measure, 16 Data, 4 Record, 3 Memory Wave), both with the exclamation
// icon and nothing changed. A later step that fails (no window, a control
// the window lacks, no tree) is passed over; the last failure's description
// is shown once at the end (OK only, no icon) and the view is still counted.
#include <QString>
#include <cstdint>

#include "common/SheetModel.h"

class QTreeWidgetItem;
class QWidget;

// Item data role of a view node that holds its image number (3 Wave,
// 4 Measure, 5 Data, 6 Record, 7 Memory Wave; 2 the sheet node).
constexpr int TreeImageRole = 0x0100 + 1;  // Qt::UserRole + 1

// Each adds one view in the kind's next free slot: record reset to a new
// view's defaults, the default name (kind word of the UI language and the
// slot: "Wave0", "波形0"), a window made, tagged, captioned and shown, a node
// under the sheet node, SheetModified set, then the count raised and
// SheetDoc().viewAdded announced. A caller tells that a view was added by
// the kind's count.
void AddNewWaveform();
void AddNewMeasure();
void AddNewData();
void AddNewRecord();
void AddNewMemoryWave();
// The add procedure of a kind.
void AddNewView(ViewKind kind);

// The default name of a view of a kind in a slot in a language (0 Chinese,
// 1 English); empty for any other language.
QString DefaultViewName(ViewKind kind, int slot, int lang);

// The Name field of the record of a view.
QString& NameField(ViewKind kind, int slot);

// The caption of a view's window: its name; for a Record view with a file
// path and a Memory Wave view with a loaded file, the name, two spaces and
// the path in parentheses.
QString ViewTitle(ViewKind kind, int slot);

// The slot of the Memory Wave view whose screen surface exists; adding a
// Memory Wave view sets it to the new slot.
uint8_t& ScreenDCSlot();

// Closes every view window of every kind (Wave, Measure, Data, Record,
// Memory Wave, slots in order; open ones, and any other window a view still
// holds) and sets the five counts to 0. Records, the
// sheet's names, SheetModified and the tree are left alone.
void UnloadAllViews();

// Each removes the view in slot (0..count-1 of its kind; others are
// ignored): SheetModified set; the view's window closed and its node taken
// out of the tree (callers do not remove the node themselves); the later
// records, windows (re-tagged, captioned again) and nodes moved down one
// slot; in the slot left free the kind's data flag cleared (HasData, or
// DisplayActive for Record, Loaded for Memory Wave); the count lowered; then
// SheetDoc().viewRemoved announced.
void RemoveWaveView(int slot);
void RemoveMeasureView(int slot);
void RemoveDataView(int slot);
void RemoveRecordView(int slot);
void RemoveMemoryWaveView(int slot);
void RemoveView(ViewKind kind, int slot);

// After a sheet was read (views unloaded, ReadDataSheet done): replaces the
// sheet node under the root by a new one named SheetName, and gives every
// view a window (captions, tag, caption, shown) and a node under it, kinds
// in the order Wave, Measure, Data, Record, Memory Wave. A failing view is
// reported after it and the others are still rebuilt. SheetModified is left
// alone.
void RebuildSheetViews();

// Opens a sheet file in place of the open sheet: the file is read and
// checked first; only when it is good are the views unloaded, the file's
// sheet put in and the views rebuilt. A bad file shows its message and
// leaves the open sheet and its windows as they were. Returns true when the
// file's sheet is open; SheetFileName, SheetModified and the recent list are
// the caller's.
bool OpenDataSheetFile(const QString& path);
