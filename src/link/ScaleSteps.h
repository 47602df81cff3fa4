#pragma once
// Screen points and values (25 points per division), picosecond counts and
// hexadecimal text, the loading percentage of a waveform view, and the
// steppers that move volts or time per division along the instrument's
// 1-2-5 ladders.
#include <QString>
#include <cstdint>
#include <functional>

// points / 25 * scale, in single precision.
float PointsToValue(int16_t points, float scale);
// value / scale * 25, rounded (halves to even) and kept within 16 bits; a
// scale of 0 (or a result that is not a number) gives 0.
int16_t ValueToPoints(float value, float scale);
// The unsigned value of the last 8 characters as hexadecimal digits (any
// other character counts 0); a shorter text counts its own characters.
double HexTextToDouble(const QString& text);
// Seconds from a picosecond count given as its low (unsigned) and high
// (signed) 32-bit halves.
double TimeFrom64(int32_t low, int32_t high);

// The span of the volts-per-division ladder at the input: the steppers' ends.
constexpr double kVoltsPerDivLow = 0.002, kVoltsPerDivHigh = 10.0;
// Whether volts per division at the input lie on that span, counted in whole
// microvolts as the steppers count them.
bool VoltsPerDivInSpan(double volts);
// Along 2 mV .. 10 V (1-2-5), in whole microvolts. A value whose microvolt
// count lies outside 32 bits is returned as it is.
float StepVoltsPerDiv(float volts, int16_t count);
// Fine steps inside the coarse interval of the current value.
float StepVoltsPerDivFine(float volts, int16_t count);
// One step along 1 ps .. 50 s (1-2-5): up for direction > 0, down otherwise.
double StepTimePerDiv(double seconds, int16_t direction);

// The loading percentage text of a waveform view: "7%".
QString WavePercentText(int percent);
// Shows the percentage in the waveform view of the slot (0..17) and repaints
// it at once; a slot outside 0..17 is ignored.
void ShowWavePercent(int slot, int percent);

// Set by the waveform view layer: shows the text in the view's percentage
// label of the slot (creating the hidden view when the slot holds none) and
// repaints it at once. Unset: nothing is shown.
struct WavePercentHooks {
    std::function<void(int slot, const QString& text)> ShowText;
};
WavePercentHooks& WavePercentUi();
