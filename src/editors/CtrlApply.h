#pragma once
// The apply of the setting dialog, without a window: the dialog hands over
// the state of its controls, the apply checks that the instrument answers,
// runs the one branch whose key equals the edit key and ends in the tail
// (controller modified). Tests drive it directly.
//
// The branches work on a copy of the settings mirror and collect their tree
// writes; the mirror, the tree and the modified flag are committed only when
// the link stayed up through the whole apply.
#include <QList>
#include <QString>

#include "common/DSOSettings.h"

// What the dialog's controls hold when OK is pressed.
struct CtrlDialogValues {
    QString Key;        // the edit key (ControllerLabels of group, sub-group, item)
    QString ComboText;  // text of the selected item of the choice list ("" = none)
    QString InputText;  // text of the value box
    QString NodePath;   // full path text of the edited node
};

enum class ApplyEnd {
    Applied,        // a branch (or none) ran and the tail marked the controller modified
    Silent,         // closed without change: silent instrument (message shown), method
                    // refused under X-Y
    NumberRefused,  // "Enter number only!": the dialog stays open
    LinkLost,       // the link dropped during the apply: nothing committed, message shown
    Refused,        // no level could be made of the instrument's replies: nothing sent or
                    // committed, the controller not marked modified, message shown
};

ApplyEnd ApplyCtrlEdit(const CtrlDialogValues& values);

// One write to the controller tree, collected during an apply.
struct CtrlTreeOp {
    enum Kind { Text, Rebuild, Select } kind = Text;
    int group = 0;
    int item = 0;
    QString text;
};

// A number typed by the user, read by the locale's rules. A text that is not
// a finite number shows "Enter number only!" and gives false.
bool ReadTypedNumber(const QString& text, double& x);
// Rewrites the node's text in the current tree; a position the tree does
// not hold is skipped.
void WriteCtrlNodeText(int group, int item, const QString& text);
// Shows the "connect first" message when the link was up at the start of an
// apply and is down now; true then (nothing may be committed).
bool LinkLostDuringApply(bool wasConnected);
