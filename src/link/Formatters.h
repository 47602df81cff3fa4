#pragma once
// Display texts of values: a fixed count of significant digits, an SI prefix
// and a unit ("1.50V", "500mV", "25.0ns", "1.000kHz", "50.0%", "-3.00dB",
// "0.50div"), and the limit and SI texts.
//
// Every text made here is written with "." as the decimal point in every
// locale: these texts are stored (settings mirror, data sheets, controller
// files, limit boxes) and read back with ".", so a decimal comma would read
// back as a different number.
#include <QString>

// Display formatters: the argument is a text that begins with a number in
// base units (a reply or a display text).
QString FormatVolt(const QString& text);
QString FormatTime3(const QString& text);
QString FormatTime4(const QString& text);
QString FormatTime5(const QString& text);
QString FormatFreq(const QString& text);
QString FormatDb(const QString& text);
QString FormatPercent(const QString& text);
// The same for a number in base units: what the text form gives for a text
// that reads as `value`.
QString FormatVolt(double value);
QString FormatTime4(double value);
QString FormatFreq(double value);
QString FormatDb(double value);
QString FormatPercent(double value);
// A number as its plain text of `digits` significant digits reads back: what
// a text form above sees of a number written that way ("g" form, "."). A
// value that is not finite reads 0.
double PlainValue(double value, int digits);
// Divisions: volts / volts-per-division, "#0.00" and "div". A divisor that
// reads 0 (an empty reply included) gives the empty text: there is no value.
QString FormatDiv(const QString& volts, const QString& voltsPerDiv);
// A number of divisions as every level and sensitivity is written: "#0.00"
// and "div" ("0.10div", "-1.24div").
QString FormatDiv(double divisions);

// Limit formatters: the mantissa for a number box, the index to select in
// the unit list, and the two joined with the formatter's own unit.
struct LimitText {
    QString Box;
    int UnitIndex = 0;
    QString Text;
};
LimitText FormatVoltText(double value);     // units "MV" "kV" "V" "mV" "uV"
LimitText FormatFreqText(double value);     // units "GHz" "MHz" "KHz" "Hz" "mHz"
LimitText FormatTimeText(double value);     // units "ps" "ns" "us" "ms" "s"
LimitText FormatPercentText(double value);  // unit "%"

// SI texts for command arguments, always with ".".
QString FormatTimeSI(double seconds);  // "ns" "us" "ms" "s"
QString FormatVoltSI(double volts);    // "nv" "uv" "mv" "v"
QString FormatTimeSIDot(double seconds, const QString& unused = QString());
