#pragma once
// What the edit dispatcher prepares for one edit, as plain data: the setting
// dialog (CtrlDialog) or the coarse/fine dialog (CtrlDialogAdjust) is laid out
// from it, and tests read it without a window.
#include <QString>
#include <QStringList>
#include <array>

enum class EditOutcome {
    Nothing,         // the node matched no branch
    ChoiceEdit,      // CtrlDialog with the choice list
    NumberEdit,      // CtrlDialog with the value box and its unit buttons
    AdjustEdit,      // CtrlDialogAdjust (coarse/fine volts per division)
    ImmediateAction, // one command sent, no dialog
    QueryOnly,       // a message, nothing edited
    VirtualPanel,    // the virtual front panel
};

// Index of the unit buttons cmdEnter(0..4): "m", "u", "n", "p", "mV".
constexpr int UnitButtonCount = 5;

struct EditPrep {
    EditOutcome Outcome = EditOutcome::Nothing;
    QString Key = " ";            // CtrlEditKey (" " = none)
    QString FrameCaption;         // caption of Frame: the setting's label
    // Choice edit: the items of Combo in their order and the preselected one
    // (-1 = none).
    QStringList Choices;
    int Selected = -1;
    // Number edit: the text of inputTxt and which unit buttons are shown.
    QString InputText;
    std::array<bool, UnitButtonCount> UnitButtons{};
    // The logic-analyser threshold shows Combo and inputTxt together, moved
    // apart; the box and buttons 0..3 are enabled only for the USER word.
    bool ThresholdLayout = false;
    bool InputEnabled = true;
    // Adjust edit: the channel (1 or 2).
    int AdjustChannel = 0;
    // Immediate action or query-only item: its name (the tree label).
    QString Action;
};
