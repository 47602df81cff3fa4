#pragma once
// An editable combo box. QComboBox::setEditable(true) also makes the drop-down
// list's window at once, which costs more than the rest of the box and is
// wasted on a box whose list is never opened; the box made here makes it when
// the list is first opened. It completes nothing as it is typed in (the box's
// own completer would finish a typed "15" as "150%"); otherwise it is the
// same.
#include <QComboBox>

void MakeEditable(QComboBox* combo);
