#pragma once
// The pass/fail limits dialog without its window: a private copy of a view's
// 18 items, the measurement on show, the number check of the limit boxes and
// the checks of OK. The window shows what this says and forwards edits; the
// copy goes back to the view's record only when OK passes.
//
// The number boxes follow the user's locale: a limit is shown with the
// locale's decimal mark and typed numbers are read with it; the stored limit
// is a number in base units (volts, hertz, seconds, a fraction for percent),
// the typed number times the value of the chosen unit.
#include <QLocale>
#include <QString>
#include <QStringList>
#include <array>

#include "common/SheetModel.h"
#include "link/MeasureCatalog.h"

using MeasureItems = std::array<MeasureItem, MeasureCount18>;

// A typed limit number: the number box's text read in a locale. Empty, a
// lone "-" or anything that is not a plain number (optional sign, decimal
// mark, exponent) gives no number. A trailing decimal mark is allowed ("5.").
struct LimitNumber {
    enum Kind { Empty, Number, Invalid } kind = Empty;
    double value = 0;
};
LimitNumber ReadLimitNumber(const QString& text, const QLocale& locale = QLocale());

// A formatted limit for the number box and the unit list.
struct LimitBox {
    QString number;  // mantissa with the locale's decimal mark ("???.?" out of range)
    int unit = 0;    // position in the family's unit list
};

class PassFailModel {
public:
    explicit PassFailModel(const MeasureItems& items, const QLocale& locale = QLocale());

    // The type list: the 18 names in name order, in a language.
    static QStringList TypeNames(int language);

    // The measurement on show, by its position in the type list (0..17);
    // out-of-range positions are ignored.
    void ShowType(int position);
    int ShownItem() const;
    UnitFamily ShownFamily() const;
    QStringList UnitWords() const;  // of the shown type's family

    bool Enabled() const;
    void SetEnabled(bool on);
    LimitBox UnderBox() const;
    LimitBox OverBox() const;

    // A typed lower or upper limit with the unit at a list position. Empty
    // text and a lone "-" store nothing; an invalid number stores nothing and
    // is reported (the window then says "Invalid Numeric!" and empties the box).
    enum class Edit { Stored, Ignored, Invalid };
    Edit EditUnder(const QString& number, int unit);
    Edit EditOver(const QString& number, int unit);

    // Raises the shown type's upper limit to its lower limit when it is below
    // it (or they do not compare); true when it did.
    bool RaiseOverToUnder();

    // OK: the shown type and every enabled item must have an upper limit not
    // below the lower one. Returns -1 when they all do (commit). Otherwise the
    // first one that does not (the shown type first, then the type list in
    // order) is put on show with its upper limit raised to its lower limit,
    // and its list position is returned: the dialog stays open.
    int CheckForOk();

    const MeasureItems& Items() const { return items_; }

private:
    MeasureItem& shown() { return items_[size_t(ShownItem())]; }
    const MeasureItem& shown() const { return items_[size_t(ShownItem())]; }
    LimitBox box(double value) const;
    Edit edit(const QString& number, int unit, double& target);

    MeasureItems items_;
    QLocale locale_;
    int position_ = 0;
};
