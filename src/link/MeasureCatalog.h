#pragma once
// The 18 automatic measurements, one row each: the instrument's keyword, the
// unit family (which formatter shows a limit and which parser reads a value),
// the names in both languages, the default limits of a new Measure view and
// the row picture.
//
// Three orders are kept apart and never mixed:
// - item order: the index of `MeasureInfo::Items` and of the measurement
//   job's results (Vpp, Vmax, Vmin, Vavg, Vtop, Vbase, Vrms, Frequency, Rise
//   Time, Fall Time, Period, Pulse Width+, Pulse Width-, Vover, Vpre, Vamp,
//   Duty+, Duty-); `MeasureOfItem(item)` gives the row;
// - name order: the entries of `MeasureNames` and the limit dialog's type
//   list (`MeasureNameOrder`);
// - display order: the rows of the measurement list and of its export
//   (`MeasureDisplayOrder`).
// The measurement job queries in an order of its own (`MeasureQueryOrder`).
#include <QString>
#include <QStringList>
#include <array>

#include "link/Formatters.h"
#include "link/ReplyParse.h"

enum class UnitFamily { Voltage, Percent, Frequency, Time };

struct MeasureRow {
    int item;             // item order index
    const char* keyword;  // ":MEASURE:<keyword>? CHANNELn"
    UnitFamily family;
    const char* en;       // name, English
    const char* zh;       // name, Chinese (UTF-8)
    double under, over;   // default limits of a new view, in base units
    int picture;          // 1..18: the row picture (pictures are kept in name
                          // order but for Period, which follows Frequency)
};

constexpr int MeasureCount18 = 18;
using MeasureOrder = std::array<int, MeasureCount18>;  // item indices

// The row of an item (0..17); item 0 for an index out of range.
const MeasureRow& MeasureOfItem(int item);

extern const MeasureOrder MeasureNameOrder;     // names and the dialog's type list
extern const MeasureOrder MeasureDisplayOrder;  // list rows and export rows
extern const MeasureOrder MeasureQueryOrder;    // the job's queries

// The name of an item in a language (0 Chinese, 1 English; empty otherwise).
QString MeasureItemName(int item, int language);

// ---- unit families ------------------------------------------------------------
// A limit as the family's formatter shows it ("100.000mV", "1.000KHz", "25.00%").
LimitText FormatFamilyLimit(UnitFamily family, double value);

// A measured number in base units as its row shows it: the family's display
// formatter (FormatVolt, FormatTime4, FormatFreq, FormatPercent), or the
// family's overflow mark ("??.?V", "??.?s", "??.???", "??.?%") for a number
// the formatter cannot show: one beyond its range, or one whose text would
// carry more digits than its single-precision value holds (seconds from 1e6
// on; percent from 1,000,000 % up or -100,000 % down). The value many
// instruments give for "no measurement", 9.9e37, is such a number.
QString FormatFamilyValue(UnitFamily family, double value);

// The family's parser (ParseVolt2, ParsePercent, ParseFrequency, ParseTime)
// applied to a measured value text ("100mV", "1.000kHz", "50.0%"). A text
// holding an overflow mark ("?"), or a number that FormatFamilyValue shows as
// one (a text stored before the rows had their marks), is no value.
ParsedValue ParseFamilyValue(UnitFamily family, const QString& text);

// The unit words of the limit dialog's lists, largest first for voltage and
// frequency, smallest first for time: "MV" "kV" "V" "mV" "uV"; "GHz" "MHz"
// "kHz" "Hz" "mHz"; "ps" "ns" "us" "ms" "s"; "%".
QStringList FamilyUnitWords(UnitFamily family);
// The value of 1 in a unit of that list (1e-3 for "mV", 0.01 for "%");
// 0 for an index out of range.
double FamilyUnitFactor(UnitFamily family, int index);
