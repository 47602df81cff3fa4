#include "measure/model/PassFailModel.h"

#include <cmath>

namespace {
bool inOrder(const MeasureItem& it) { return it.Over >= it.Under; }  // false for a NaN
}  // namespace

LimitNumber ReadLimitNumber(const QString& text, const QLocale& locale) {
    QString t = text.trimmed();
    if (t.isEmpty()) return {};
    if (t == QLatin1String("-")) return {};
    const QString mark = locale.decimalPoint();
    if (t.endsWith(mark)) t += QLatin1Char('0');  // "5." is 5
    QLocale reading(locale);
    reading.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double v = reading.toDouble(t, &ok);
    if (!ok || !std::isfinite(v)) return {LimitNumber::Invalid, 0};
    return {LimitNumber::Number, v};
}

PassFailModel::PassFailModel(const MeasureItems& items, const QLocale& locale)
    : items_(items), locale_(locale) {}

QStringList PassFailModel::TypeNames(int language) {
    QStringList names;
    for (int item : MeasureNameOrder) names << MeasureItemName(item, language);
    return names;
}

void PassFailModel::ShowType(int position) {
    if (position >= 0 && position < MeasureCount18) position_ = position;
}

int PassFailModel::ShownItem() const { return MeasureNameOrder[size_t(position_)]; }
UnitFamily PassFailModel::ShownFamily() const { return MeasureOfItem(ShownItem()).family; }
QStringList PassFailModel::UnitWords() const { return FamilyUnitWords(ShownFamily()); }

bool PassFailModel::Enabled() const { return shown().Enable; }
void PassFailModel::SetEnabled(bool on) { shown().Enable = on; }

LimitBox PassFailModel::box(double value) const {
    const LimitText t = FormatFamilyLimit(ShownFamily(), value);
    QString number = t.Box;
    number.replace(QLatin1Char('.'), locale_.decimalPoint());
    return {number, t.UnitIndex};
}

LimitBox PassFailModel::UnderBox() const { return box(shown().Under); }
LimitBox PassFailModel::OverBox() const { return box(shown().Over); }

PassFailModel::Edit PassFailModel::edit(const QString& number, int unit, double& target) {
    const LimitNumber n = ReadLimitNumber(number, locale_);
    if (n.kind == LimitNumber::Empty) return Edit::Ignored;
    if (n.kind == LimitNumber::Invalid) return Edit::Invalid;
    const double factor = FamilyUnitFactor(ShownFamily(), unit);
    if (factor == 0) return Edit::Ignored;  // no unit chosen
    target = n.value * factor;
    return Edit::Stored;
}

PassFailModel::Edit PassFailModel::EditUnder(const QString& number, int unit) {
    return edit(number, unit, shown().Under);
}

PassFailModel::Edit PassFailModel::EditOver(const QString& number, int unit) {
    return edit(number, unit, shown().Over);
}

bool PassFailModel::RaiseOverToUnder() {
    if (inOrder(shown())) return false;
    shown().Over = shown().Under;
    return true;
}

int PassFailModel::CheckForOk() {
    if (RaiseOverToUnder()) return position_;
    for (int p = 0; p < MeasureCount18; ++p) {
        const MeasureItem& it = items_[size_t(MeasureNameOrder[size_t(p)])];
        if (!it.Enable || inOrder(it)) continue;
        ShowType(p);
        RaiseOverToUnder();
        return p;
    }
    return -1;
}
