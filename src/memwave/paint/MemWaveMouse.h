#pragma once
// The mouse on a Memory Wave view's picture, as plain state and functions:
// the hit test of the traces and logic rows, and the press, move and release
// that drag cursors, traces (offset and delay) and logic rows (row and
// delay). Positions are picture pixels at the display zoom Z: the graticule
// spans x 25 .. 25 + 300 Z and y 25 .. 25 + 200 Z.
#include <cstdint>

#include "common/SheetModel.h"
#include "screen/WaveCursors.h"

struct MemWaveMouse {
    bool DragCh1 = false, DragCh2 = false, DragLa = false;
    // The last hit test made inside the graticule.
    bool OverCh1 = false, OverCh2 = false, OverLa = false;
    uint8_t HitLaRow = 0;
    double PressX = 0, PressY = 0;
    float PressCh1Offset = 0, PressCh2Offset = 0;
    double PressDelay = 0;

    bool TraceDrag() const { return DragCh1 || DragCh2 || DragLa; }
};

// Pointer shapes: the default arrow, the sizing arrows, the two hands.
enum MemWavePointer : int {
    PointerArrow = 0,
    PointerUpDown = 7,
    PointerLeftRight = 9,
    PointerOpenHand = 99,
    PointerClosedHand = 100,
};

// v lies between a and b, both ends included, in either order.
bool IsBetween(int v, int a, int b);

// Hit test of one trace (selector 0 CH1, 1 CH2, 2 logic) at a screen row and
// column; the trace's point k lies at column first + k / 2. A logic hit
// gives the channel in *hitRow.
bool HitTestTrace(const MemWaveInfo& rec, int selector, int row,
                  const std::array<int16_t, MemWaveScreenPoints>& screen, int column, int first,
                  int last, uint8_t* hitRow = nullptr);
// Sets the Over flags (and HitLaRow) for a picture position.
void HitTestChannels(MemWaveMouse& m, const MemWaveInfo& rec, double zoom, double x, double y);

// What an event asks of the window.
struct MemWaveMouseResult {
    int pointer = -1;         // the new pointer shape; -1 leaves it
    bool redraw = false;      // draw the picture again
    int rezoom = -1;          // RefreshScreenWave selector before the redraw; -1 none
    bool modified = false;    // the data sheet changed
};

// A press: the cursors near it and the trace of the last hover.
MemWaveMouseResult MemWaveMouseDown(MemWaveMouse& m, CursorState& c, MemWaveInfo& rec,
                                    double zoom, double x, double y);
// A move: drags a trace or logic row, else a cursor, else hovers.
MemWaveMouseResult MemWaveMouseMove(MemWaveMouse& m, CursorState& c, MemWaveInfo& rec,
                                    double zoom, double x, double y);
// A release ends every drag and forgets the last hit test.
void MemWaveMouseUp(MemWaveMouse& m, CursorState& c);
