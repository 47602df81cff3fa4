#pragma once
// The scale steps of a Memory Wave view's settings panel, as plain
// functions: the group a step button belongs to, one step of its value along
// the 1-2-5 ladders, the text its box shows, and the re-zoom it asks for.
#include <QString>

#include "common/SheetModel.h"

enum MemWaveStepGroup : int {
    StepCh1VoltsDiv = 0,
    StepCh2VoltsDiv = 1,
    StepTimeDiv = 2,
    StepCh1TimeDiv = 3,  // ALTERNATION
    StepCh2TimeDiv = 4,  // ALTERNATION
};

// One step of the group's value (direction -1 down, +1 up). A volts/div step
// with `rescaleOffset` (the press, not the repeat) keeps the channel's offset
// in divisions: offset x new / old; an old volts/div of 0 (or a ratio that
// is not finite) leaves the offset as it was.
void StepMemWaveScale(MemWaveInfo& rec, int group, int direction, bool rescaleOffset);

// The text of the group's box after a step (FormatVolt / FormatTime4).
QString MemWaveScaleText(const MemWaveInfo& rec, int group);

// RefreshScreenWave's selector for the group: 0, 1, 3, 0, 1.
int MemWaveStepSelector(int group);

// What a screen reader calls the group's controls, in the UI language (0
// Chinese, else English): the box (direction 0, "CH1 Volt/Div") and its
// step buttons (-1 "CH1 Volt/Div down", +1 "... up").
QString MemWaveStepName(int group, int direction, int lang);

// The panel's placement, in twips, by the record's trigger mode and
// channels (the controls' widths are their design ones).
struct MemWavePanelLayout {
    bool AltFrame = false;      // the ALTERNATION time/div frame instead of the normal one
    bool Placed = false;        // false: nothing moved (no channel in normal mode)
    bool Ch1Row = false, Ch2Row = false;  // which rows were placed
    int VoltDivWidth = 0;       // framVoltDiv.W
    int Ch1Label = 0, Ch1Box = 0, Ch1Dec = 0, Ch1Inc = 0;
    int Ch2Label = 0, Ch2Box = 0, Ch2Dec = 0, Ch2Inc = 0;
    int RefreshWidth = 0;       // framRefresh.W
    int TimeFrameLeft = 0;      // framTimeDiv.L or framAltTimeDiv.L
    int ResetLeft = 0;
};
MemWavePanelLayout ArrangeMemoryWavePanel(const MemWaveInfo& rec);
