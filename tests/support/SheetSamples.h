#pragma once
// Sheets filled with telling values, shared by the sheet file tests, the
// sheet file benchmark and the fuzz corpus.
#include "common/SheetModel.h"

namespace SheetSamples {
// One view of each kind in slot 0 with every saved field set to a value that
// shows a mistake (commas, quotes of the other kind, Chinese text, negative
// and exponent numbers, distinct samples). `variant` picks the shape of the
// conditional blocks:
//   0 CH1+CH2+MATH+LA fetched, measure with data, data rows, record frames,
//     memory view with CH1+CH2+LA below the interleaving size;
//   1 CH2 only with the FFT third trace (Chinese ON word), memory view in
//     ALTERNATION mode with unequal counts;
//   2 CH1 only, no other blocks (HasData/DisplayActive/Loaded false).
void FillTelling(SheetModelData& s, int variant);

// The full sheet of the benchmark: 16 Wave views with every trace, 16
// Measure views, 16 Data views of 8192 rows, 4 Record views and 3 Memory
// Wave views with their stored blocks.
void FillFull(SheetModelData& s);

// Every record of every slot back to a new view's state, counts 0.
void Clear(SheetModelData& s);

// A Y-T Wave record with CH1 fetched and shown over the whole screen at one
// screen value (600 points, 1.000ms, CH1 1.00V with no offset, EDGE).
void FlatCh1(WaveInfo& w, int ch1Value);
}  // namespace SheetSamples
