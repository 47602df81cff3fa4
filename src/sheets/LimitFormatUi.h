#pragma once
// Puts a limit into a number box and a unit list (kept for the pass/fail
// limit dialog and the measurement view, not built yet) and returns the box text
// followed by the formatter's unit. A list too short for the unit's index
// keeps its selection.
#include <QString>

#include "link/Formatters.h"

class QLineEdit;
class QComboBox;

QString ApplyLimitText(QLineEdit* box, QComboBox* units, const LimitText& limit);

inline QString FormatVoltText(QLineEdit* box, QComboBox* units, double value) {
    return ApplyLimitText(box, units, FormatVoltText(value));
}
inline QString FormatFreqText(QLineEdit* box, QComboBox* units, double value) {
    return ApplyLimitText(box, units, FormatFreqText(value));
}
inline QString FormatTimeText(QLineEdit* box, QComboBox* units, double value) {
    return ApplyLimitText(box, units, FormatTimeText(value));
}
inline QString FormatPercentText(QLineEdit* box, QComboBox* units, double value) {
    return ApplyLimitText(box, units, FormatPercentText(value));
}
