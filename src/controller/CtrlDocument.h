#pragma once
// The controller document: the settings mirror with a file name
// (CtrlState().CtrlFileName, empty = untitled), a modified flag
// (CtrlState().CtrlModified) and the level rows its file held as not known
// (CtrlState().CtrlFileLevelsNotKnown: set by the open, cleared by New and a
// download; the upload names them with the file's reason). The commands of
// the File menu and of the controller window's popup menu.
//
// - New and Open first ask whether to save a modified mirror (Yes, No,
//   Cancel); Yes saves, and a save that is cancelled or fails stops the
//   command, so nothing is lost.
// - New and Open are refused while a transfer runs (the job reads or writes
//   the mirror between its steps).
// - Open binds the path only when the file was read; a failed read is shown
//   and changes nothing.
// - Save writes a titled document at once and asks for a name otherwise; a
//   failed write is shown and the document stays modified and unbound.
#include <QString>

// The save question; true to go on.
bool AskSaveCtrlChanges();

void NewCtrl();                       // mnuNewCtrl_Click
void OpenCtrlDialog();                // mnuOpenCtrl_Click
bool OpenCtrl(const QString& path);   // OpenCtrl(path); true when the file was read
bool SaveCtrl();                      // mnuSaveCtrl_Click; true when written
bool SaveCtrlAs();                    // mnuSaveAsCtrl_Click; true when written

// After New and Open: the tree rebuilt from the mirror, Running Control
// expanded, the root selected (SelectedNodePath holds the root's path).
void ShowNewCtrlTree();
