#pragma once
// An editable combo box. QComboBox::setEditable(true) also makes the drop-down
// list's window at once, which costs more than the rest of the box and is
// wasted on a box whose list is never opened; the box made here makes it when
// the list is first opened, and is otherwise the same.
#include <QComboBox>

void MakeEditable(QComboBox* combo);
