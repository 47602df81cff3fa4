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

// Whether the text is a finite number that LeadingNumber reads whole: blanks
// before it, optional sign, digits with an optional ".", an optional exponent
// with digits, then nothing but blanks, a carriage return or a line feed.
// Any other character (a stray control byte, a no-break space, a group
// separator, a unit, a blank inside the number) makes it no number, so that
// what passes this check is what the formatters show.
bool IsPlainNumber(const QString& text);

// The one reading of a number written with its unit, as a setting holds it
// ("1.00V", "500mV", "10.00us", "0.10div", "16"): blanks (U+0020) only
// around the whole, then an optional sign, ASCII digits with an optional "."
// ("1." and ".5" are numbers), an optional exponent with digits, at most one
// prefix letter of `prefixes` and then `unit` directly. Letters compare in
// either case unless `cs` says otherwise, and only ASCII letters and digits
// count: a look-alike (the Kelvin sign U+212A for "k", a full-width digit)
// makes it no such text. A number beyond the range of a double is not
// valid (see `tooLarge`); one below the smallest reads as 0. `value` is the
// number scaled by its prefix (k, m, u, n, p); `number` the number as written.
struct UnitNumber {
    bool valid = false;
    double value = 0;
    double number = 0;
    char prefix = 0;  // the prefix letter as written; 0 for none
    // Not valid only because the number (or its scaled value) lies beyond
    // the range of a double ("1e309"); its sign is in `value` (+-infinity).
    bool tooLarge = false;
};
// How far the text around the number may stray from a setting's text.
enum class UnitMode {
    Setting,  // as above
    // A reply or display text: read up to its first line feed (a carriage
    // return before it is ignored); a text holding ">", "*" or "<" anywhere
    // is no number (the marks of a value out of range); blanks may stand
    // between the number and a prefix letter ("1.5 mV"), never before the
    // unit itself ("1.5 V"). The number must still begin the text and the
    // unit end it: "x mV", "mV" and "1.00Vx" are no number.
    Reply,
};
UnitNumber ReadUnitNumber(const QString& text, const char* unit, const char* prefixes,
                          Qt::CaseSensitivity cs = Qt::CaseInsensitive, UnitMode mode = UnitMode::Setting);
// The texts of the settings that hold a number with a unit.
inline UnitNumber ReadVoltsText(const QString& t) { return ReadUnitNumber(t, "V", "kmunp"); }
inline UnitNumber ReadSecondsText(const QString& t) { return ReadUnitNumber(t, "s", "munp"); }
inline UnitNumber ReadDivText(const QString& t) { return ReadUnitNumber(t, "div", ""); }
inline UnitNumber ReadPlainNumberText(const QString& t) { return ReadUnitNumber(t, "", ""); }
// A time as the number box shows it: the number as read with "." and 3 to
// 14 decimals, then the exponent of its prefix ("500.0us" -> "500.000E-6");
// the empty text for a text that is not valid.
QString ExponentText(const UnitNumber& n);

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

// Unit parsers of replies and display texts: ReadUnitNumber in its reply
// mode, with an optional prefix letter before the unit ("V", "Hz", "s",
// "%"); letters compare case-sensitively. The ...Checked forms return the
// value with its validity: false for a refused text (a mark ">", "<" or "*",
// no number before the unit or no unit after it, a prefix the parser does
// not know, anything after the unit, a number beyond a double), the value
// then 0. The plain forms return the value alone.
struct ParsedValue {
    double value = 0;
    bool valid = false;
};
ParsedValue ParsePercentChecked(const QString& text);    // "%", result as a fraction
ParsedValue ParseFrequencyChecked(const QString& text);  // "Hz" with G, M, k, m
ParsedValue ParseVoltChecked(const QString& text);       // "V" with k, m, u, n, p
ParsedValue ParseVolt2Checked(const QString& text);      // "V" with M, k, m, u
ParsedValue ParseTimeChecked(const QString& text);       // "s" with m, u, n, p
inline double ParsePercent(const QString& text) { return ParsePercentChecked(text).value; }
inline double ParseFrequency(const QString& text) { return ParseFrequencyChecked(text).value; }
inline double ParseVolt(const QString& text) { return ParseVoltChecked(text).value; }
inline double ParseVolt2(const QString& text) { return ParseVolt2Checked(text).value; }
inline double ParseTime(const QString& text) { return ParseTimeChecked(text).value; }
// The number as read, with "." and 3 to 14 decimals, followed by the
// exponent of the prefix ("500.0us" gives "500.000E-6"); the empty text
// for a text ParseTime refuses.
QString ParseTimeToText(const QString& text);

// A number of any size: the form IsPlainNumber reads, also beyond the range
// of a double ("1e309", read as infinite), or "inf" / "infinity" in any case
// with an optional sign. Not a number ("nan") and every other text: invalid.
ParsedValue NumberOfAnySize(const QString& text);
