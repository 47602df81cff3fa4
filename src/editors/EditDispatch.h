#pragma once
// The edit dispatcher of the controller tree: turns the activated node's path
// into one edit (choice, number or coarse/fine edit, immediate action,
// query-only message, virtual panel, or nothing).
//
// PrepareEdit is plain: it reads the path, the settings mirror, LAPresent and
// the controller's generated lists (the Time/Div rows ask the instrument for
// its time-base format), and returns what the dialog shows. PraseCtrlList runs
// the prepared edit: it shows the dialog through the hooks its owner sets, or
// runs the immediate action, and clears SelectedNodePath at the end.
#include <QString>
#include <QStringList>
#include <functional>

#include "editors/EditPrep.h"

// The node path split into its levels (group, third, fourth, value).
struct EditPath {
    QString Group;
    QString Third;
    QString Fourth = " ";  // " " when the path has fewer than four levels
    QString Value;         // the text between the last level's "[" and its last character
};
EditPath ParseEditPath(const QString& path);

// The edit that the node of the path calls for, in the current UI language.
EditPrep PrepareEdit(const QString& path);

// What the dispatcher shows. The dialogs are the setting dialog and the
// coarse/fine dialog owned by the controller window unless a hook replaces
// them (tests record the prepared edit instead).
struct EditShowHooks {
    std::function<void(const EditPrep&, const QString& path)> ShowCtrlDialog;
    std::function<void(const EditPrep&)> ShowCtrlDialogAdjust;
    // The modal virtual panel (owner: the main window). Required: the
    // composition root sets it.
    std::function<void()> ShowVirtualPanel;
};
EditShowHooks& EditShow();

// Runs the edit of the node of the path (double click or Enter in the tree
// while connected): sets CtrlState().CtrlEditKey for a choice or number edit
// and shows the dialog, or runs the action. Refused with a message while a
// transfer runs; the path then stays selected. Otherwise ends by clearing
// CtrlState().SelectedNodePath.
void PraseCtrlList(const QString& path);
