#pragma once
// What the measurement list shows: one row per measurement in display order,
// with the stored value, the limits and the verdict of every judged item.
#include <QString>
#include <array>
#include <vector>

#include "common/SheetModel.h"
#include "link/MeasureCatalog.h"

enum class Verdict { None, Pass, Fail, UnderLimit, OverLimit };

// The verdict words of a language (0 Chinese, 1 English): "Pass", "Fail",
// "Fail [Under Limit]", "Fail [Over Limit]"; empty for None and for any
// other language.
QString VerdictText(Verdict verdict, int language);

// An item is judged when it is enabled and holds a value. A value text the
// family's parser refuses ("*****", a mark, no unit) fails; otherwise a
// value below the lower limit fails under, above the upper limit fails
// over, anything else (the limits themselves included) passes.
Verdict Judge(const MeasureItem& item, UnitFamily family);

// What the status line says after a fetch in which `unread` of the `asked`
// measurements got a reply that could not be read ("3 of 18 measurements
// could not be read", in the language of the message table); empty when
// every reply was read.
QString UnreadMeasuresText(int unread, int asked);

struct MeasureListRow {
    int item = 0;      // index into MeasureInfo::Items
    int picture = 0;   // 1..18
    QString name;      // in the UI language
    QString value;     // as stored
    QString under;     // limit texts, only when judged
    QString over;
    QString verdict;   // verdict text, only when judged
};
using MeasureListRows = std::array<MeasureListRow, MeasureCount18>;

// The 18 names and pictures alone (a view that holds no data).
MeasureListRows NameRows(int language);
// Names, values, limits and verdicts; writes each item's Result (cleared
// for an item that is not judged).
MeasureListRows JudgedRows(MeasureInfo& record, int language);

// The widths of the list's columns in `room` pixels: equal shares, except
// that a column whose least width (its head and cells whole) is more than
// an equal share takes its least width and the others share what is left
// equally. When the least widths add up to more than the room, every column
// has its least width (the list then scrolls sideways).
std::vector<int> ShareColumnWidths(int room, const std::vector<int>& least);
