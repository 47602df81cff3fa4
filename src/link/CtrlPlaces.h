#pragma once
// The places of the controller tree that code below the tree names: the
// group numbers of its (group, item) positions and the label numbers
// (indices of ControllerLabels). The settings catalog gives each setting
// its row by them; the tree, the dispatcher and the apply read them here.
#include "link/Vocabulary.h"

// Group numbers: the first index of a (group, item) position. Item 0 of a
// group is the group's own node; a sub-group node sits in its parent group at
// the item number that is its own group number ((4,9) is LA\Display, its rows
// are (9, ...)). Item 1 is never used.
namespace CtrlGroup {
enum : int {
    RunningControl = 1,
    CH1 = 2,
    CH2 = 3,
    LA = 4,
    TimeBase = 5,
    Trigger = 6,
    Acquire = 7,
    Display = 8,
    LADisplayGroup = 9,   // (4,9)
    LAPosition = 10,      // (4,10)
    AltCH1TimeBase = 13,  // (5,13)
    AltCH2TimeBase = 14,  // (5,14)
    AltCH1Trigger = 19,   // (6,19)
    AltCH2Trigger = 20,   // (6,20)
    TriggerCode = 21,     // (6,21)
};
}  // namespace CtrlGroup

// Indices of ControllerLabels that the tree uses.
enum CtrlLabel {
    lbRunningControl = 0, lbRunStop = 1, lbAutoSet = 2, lbSetTrig50 = 3, lbForceTrigger = 4,
    lbChannelDisplay = 5, lbCH1 = 6, lbCH2 = 7, lbVoltDiv = 8, lbOffset = 9, lbCoupling = 10,
    lbBWLimit = 11, lbProbe = 12, lbInvert = 13, lbLA = 14, lbPosition = 15, lbReset = 16,
    lbThreshold = 17, lbTimeBase = 18, lbTimeDiv = 19, lbDelay = 20, lbHoldoff = 21,
    lbMemorySize = 22, lbFormat = 23, lbTrigger = 24, lbMethod = 25, lbSource = 26, lbSlope = 27,
    lbMode = 28, lbPolarity = 29, lbSync = 30, lbLineNumber = 31, lbVideoStandard = 32,
    lbPulseMode = 33, lbPulseWidth = 34, lbSlopeMode = 35, lbSlopeTime = 36, lbSlopeWindow = 37,
    lbTrigType = 38, lbCode = 39, lbH = clCodeH, lbL = clCodeL, lbX = clCodeX, lbRising = clRising,
    lbFalling = clFalling,
    lbD15 = clD15,  // D15 .. D0 are 45 .. 60
    lbD15D8 = 61, lbD7D0 = 62, lbQualifier = 64, lbDurationTime = 65, lbLevel = 66,
    lbLevelA = 67, lbLevelB = 68, lbSensitivity = 69, lbAcquire = 70, lbSamplingMode = 71,
    lbAcquisition = 73, lbAverages = 74, lbIntensity = 75, lbAntiAliasing = 76, lbDisplayGroup = 77, lbType = 78, lbPersist = 79,
    lbGrid = 80, lbClear = 81, lbVirtualKeyboard = 82, lbVirtualPanel = 83,
};

// The label of a group's node, or of a sub-group's ("Display" of
// LA\Display, "CH1" of an alternation's CH1); -1 for no group.
constexpr int CtrlGroupLabel(int group) {
    switch (group) {
    case CtrlGroup::RunningControl: return lbRunningControl;
    case CtrlGroup::CH1: return lbCH1;
    case CtrlGroup::CH2: return lbCH2;
    case CtrlGroup::LA: return lbLA;
    case CtrlGroup::TimeBase: return lbTimeBase;
    case CtrlGroup::Trigger: return lbTrigger;
    case CtrlGroup::Acquire: return lbAcquire;
    case CtrlGroup::Display: return lbDisplayGroup;
    case CtrlGroup::LADisplayGroup: return lbChannelDisplay;
    case CtrlGroup::LAPosition: return lbPosition;
    case CtrlGroup::AltCH1TimeBase:
    case CtrlGroup::AltCH1Trigger: return lbCH1;
    case CtrlGroup::AltCH2TimeBase:
    case CtrlGroup::AltCH2Trigger: return lbCH2;
    case CtrlGroup::TriggerCode: return lbCode;
    default: return -1;
    }
}

// The group a sub-group's node sits in; a group is its own.
constexpr int CtrlParentGroup(int group) {
    switch (group) {
    case CtrlGroup::LADisplayGroup:
    case CtrlGroup::LAPosition: return CtrlGroup::LA;
    case CtrlGroup::AltCH1TimeBase:
    case CtrlGroup::AltCH2TimeBase: return CtrlGroup::TimeBase;
    case CtrlGroup::AltCH1Trigger:
    case CtrlGroup::AltCH2Trigger:
    case CtrlGroup::TriggerCode: return CtrlGroup::Trigger;
    default: return group;
    }
}
