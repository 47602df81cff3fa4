#pragma once
// The controller tree's action nodes: commands sent at once, without a dialog.
// "Set Trig to 50%" reads the new trigger source and level back into the
// settings mirror and rewrites their tree nodes.

// Sends ":AUTO", shows the hourglass, pauses 4000 ms, then downloads every
// setting through the controller window's Download.
void RunAutoSet();
// Sends ":TRIG%50" and reads source and level back by trigger method.
void RunSetTrigTo50();
void RunForceTrigger();   // ":FORCETRIG"
// ":LA:POSITION:RESET"; with the logic analyser, the channels' positions are
// read back into the mirror and their nodes as Set Trig to 50% reads its own.
void RunLaReset();
void RunDisplayClear();   // ":DISPLAY:CLEAR"
