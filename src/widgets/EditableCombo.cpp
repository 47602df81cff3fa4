#include "widgets/EditableCombo.h"

#include <QLineEdit>

void MakeEditable(QComboBox* combo) {
    if (combo->isEditable()) return;
    // What setEditable gives the box's own line edit.
    auto* edit = new QLineEdit(combo);
    edit->setPalette(combo->palette());
    combo->setLineEdit(edit);
}
