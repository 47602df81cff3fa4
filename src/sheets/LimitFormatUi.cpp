#include "sheets/LimitFormatUi.h"

#include <QComboBox>
#include <QLineEdit>

QString ApplyLimitText(QLineEdit* box, QComboBox* units, const LimitText& limit) {
    if (box) box->setText(limit.Box);
    if (units && limit.UnitIndex < units->count()) units->setCurrentIndex(limit.UnitIndex);
    // The unit is the formatter's own, not the list entry's text.
    const QString unit = limit.Text.mid(limit.Box.size());
    return (box ? box->text() : limit.Box) + unit;
}
