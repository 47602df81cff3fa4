#pragma once
// Reading numbers out of replies and display texts, and writing numbers
// through format masks.
//
// Numbers are always read with "." as the decimal point. A mask writes "."
// unless the caller asks for the user's locale: only texts that are shown and
// never read back may do that (a stored "1,50" would read back as 1).
#include <QString>

// The characters before the first line feed; a carriage return stays.
QString TrimReply(const QString& text);

// The number at the start of a text: optional sign, digits with an optional
// ".", an optional exponent (E or e, optional sign, digits). Blanks, tabs and
// line feeds inside the number are skipped; reading stops at the first
// character that cannot continue it; no number reads as 0 ("1,5" reads 1).
double LeadingNumber(const QString& text);

// The decimal separator a mask writes.
enum class DecimalMark { Dot, Locale };
// How many significant digits the value is taken with before rounding.
enum class Precision { Double /* 15 digits */, Single /* 7 digits */ };

// Writes a number through a mask of "0" and "#" digit places, ".", "%"
// (value times 100), "E+"/"E-" with "0" places (scientific), and literal
// characters written unchanged. Rounds halves away from zero on the decimal
// representation of the value (15 or 7 significant digits).
QString FormatWithMask(double number, const QString& mask,
                       Precision precision = Precision::Double,
                       DecimalMark mark = DecimalMark::Dot);

// Unit parsers: an optional prefix letter before the unit letter. Each call
// records its verdict in ParseValid(); a refused text gives 0 (or the empty
// text). Comparisons are case-sensitive.
double ParsePercent(const QString& text);    // "%", result as a fraction
double ParseFrequency(const QString& text);  // "H" with G, M, k, m
double ParseVolt(const QString& text);       // "V" with k, m, u, n, p
double ParseVolt2(const QString& text);      // "V" with M, k, m, u
double ParseTime(const QString& text);       // "s" with m, u, n, p
// The number as read, with "." and 3 to 14 decimals, followed by the
// exponent of the prefix ("500.0us" gives "500.000E-6").
QString ParseTimeToText(const QString& text);

// The verdict of the last parser call: true when it found a value.
bool ParseValid();
