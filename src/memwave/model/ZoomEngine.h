#pragma once
// The zoom engine of a memory-waveform view: the window of the record that
// the current time/div and delay show, squeezed or stretched to the screen's
// columns (two points per column), re-scaled from the acquisition's
// volts/div and offset to the current ones. Results go to the view record's
// screen arrays, window indices and column ranges; nothing is drawn.
//
// Rule (the readme says it in full): sample i of n lies at screen position
//   x(i) = 150 + ((i - h) / rate + acqDelay - delay) * 25 / timeDiv
// (h = n / 2 rounded half to even; column c covers x in [c, c + 1), a
// position within 1e-9 of c counting as c). A
// column holding samples gets their minimum and maximum, the minimum first
// when the column's first sample is not above its last one; a column holding
// none repeats the last sample before it. Logic columns get the first sample
// and the last one, a channel that changes inside the column and ends where
// it began getting the opposite level in the second point, so every edge
// shows.
#include <cstdint>

struct MemWaveInfo;

enum ZoomSelector : uint8_t { ZoomCh1 = 0, ZoomCh2 = 1, ZoomAllTraces = 3 };

// Recomputes the windows and the screen points (0: CH1, 1: CH2, 3: every
// trace the record holds). A channel the file did not hold is never zoomed.
void RefreshScreenWave(MemWaveInfo& rec, uint8_t selector);

// The time base of one trace.
struct ZoomTimeBase {
    float Rate = 0;        // samples per second
    int32_t Count = 0;     // samples in the record
    double Delay = 0;      // current delay: the time at the screen centre
    double AcqDelay = 0;   // the time of sample h
    double TimeDiv = 0;    // current seconds per division

    // False when no window can be computed (no samples, a rate or time/div
    // of 0 or less, a value that is not finite).
    bool Valid() const;
    // h: the middle sample index.
    int64_t Middle() const;
    // x(i) in screen columns (fractional); column = floor. A position within
    // 1e-9 of a whole column is that column's edge exactly.
    double Position(int64_t i) const;
};

// The window of one trace: the samples that fall on columns 0..299 and the
// columns they cover. Empty (last < first, end < start) when none does.
struct ZoomWindow {
    int32_t Start = 0, End = -1;
    int16_t First = 0, Last = -1;
    bool Empty() const { return End < Start || Last < First; }
};

ZoomWindow ComputeZoomWindow(const ZoomTimeBase& tb);

// Writes 2 * (w.Last - w.First + 1) codes of samples w.Start..w.End of
// memory to out by the column rule. The caller guarantees w.End < memory's
// length and a non-empty window.
void ZoomAnalogueColumns(const int16_t* memory, const ZoomTimeBase& tb, const ZoomWindow& w,
                         int16_t* out);
// The same for 16-bit logic samples.
void ZoomLogicColumns(const int16_t* memory, const ZoomTimeBase& tb, const ZoomWindow& w,
                      int16_t* out);

// Re-scales count codes (25 per division, 25 = top row) from the scale of the
// acquisition to the current one, keeping each sample's voltage:
//   row' = g' + (row - g) * acqVoltsDiv / voltsDiv, g = 100 - acqOffset rows,
//   g' = 100 - offset / voltsDiv * 25,
// rounded half to even; then clamps to 25..224 and leaves rows 0..199. A
// volts/div of 0 (or not finite) on either side leaves the codes unscaled.
void RescaleToRows(int16_t* points, int count, float voltsDiv, float offsetVolts,
                   float acqVoltsDiv, float acqOffsetVolts);

// Logic samples the record really holds: a block below 524288 points fills
// only (n + 1) / 2 words.
int64_t LogicSampleCount(const MemWaveInfo& rec);
