#include "widgets/EditableCombo.h"

#include <QCompleter>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPointer>

void MakeEditable(QComboBox* combo) {
    if (combo->isEditable()) return;
    // What setEditable gives the box's own line edit.
    auto* edit = new QLineEdit(combo);
    edit->setPalette(combo->palette());
    // The box completes nothing: a typed value stays as typed (the completer
    // a box makes for itself finishes a typed "15" as the list's "150%").
    // A line edit that has a completer gets none from the box; an empty one,
    // shared by every box, is lent for that and taken off at once.
    static QPointer<QCompleter> lent;
    if (!lent) lent = new QCompleter(QCoreApplication::instance());
    edit->setCompleter(lent);
    combo->setLineEdit(edit);
    edit->setCompleter(nullptr);
}
