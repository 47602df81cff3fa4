#pragma once
// What the simulated instrument computes from its settings: the signals on
// its inputs (a sine on CH1, a square on CH2), the traces on its screen, the
// binary replies and the automatic measurements.
#include <QByteArray>
#include <QString>

class SimInstrument;

// Screen geometry: 300 x 200 graticule units, 25 per division; two samples
// per column; sample codes 25 (top edge) to 224 (bottom edge).
constexpr int kSimPoints = 600;
constexpr int kSimCodeTop = 25;
// The screen copy: a header, then 320 x 234 colour-index bytes, row by row.
constexpr int kSimScreenWidth = 320;
constexpr int kSimScreenHeight = 234;
constexpr int kSimScreenHeader = 2998;
// Colour indexes of the screen copy.
enum SimColour : char {
    SimBackground = 0, SimGrid = 1, SimCh1 = 2, SimCh2 = 3, SimMath = 4, SimText = 5
};

// The 116-byte screen description.
QByteArray SimSystemData(const SimInstrument& inst);
// The samples of one source: "CHANNEL1", "CHANNEL2", "MATH", "FFT" (600 codes)
// or "DIGITAL" (600 little-endian 16-bit words of D0..D15).
QByteArray SimWaveformData(const SimInstrument& inst, const QString& source);
// Header and screen bytes, as ":HARDCOPY" answers.
QByteArray SimScreenCopy(const SimInstrument& inst);
// One automatic measurement ("VPP", "FREQUENCY", ...) of "CHANNEL1" or
// "CHANNEL2", in base units (a fraction for the duty cycles and shoots), or
// "*****" when the screen does not allow it.
QString SimMeasure(const SimInstrument& inst, const QString& item, const QString& source);
// Samples per second at the current time base.
double SimSampleRate(const SimInstrument& inst);
// The smallest 1-2-5 step not below x.
double SimAutoScale(double x);
