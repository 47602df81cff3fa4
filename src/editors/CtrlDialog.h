#pragma once
// The setting dialog (CtrlDialog) and the coarse/fine volts-per-division
// dialog (CtrlDialogAdjust): thin windows over the apply in CtrlApply.h and
// the stepping in AdjustLogic.h.
#include <QString>

#include "editors/EditPrep.h"

class QWidget;

// Shows the setting dialog modally, laid out from the prepared edit
// (choice list or value box, unit buttons, threshold layout, frame caption,
// key), with `owner` as its owner. `nodePath` is the full path text of the
// edited node (the logic-analyser rows take their channel from it).
// Returns true when an apply ran to its end (the controller is then
// modified); false for Cancel, Esc, the close box, a silent instrument, a
// refused method change or a lost link.
bool RunCtrlDialog(const EditPrep& prep, const QString& nodePath, QWidget* owner);

// Shows the coarse/fine dialog modally for prep.AdjustChannel (1 or 2):
// caption prep.FrameCaption, start text prep.InputText (the node's value,
// such as "1.00V"); the coarse/fine option comes from AdjustState and the
// mode is set from the channel. Returns true after OK.
bool RunCtrlDialogAdjust(const EditPrep& prep, QWidget* owner);
