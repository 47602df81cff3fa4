#pragma once
// Where view windows are shown and captioned.
#include <QString>
#include <functional>

#include "common/SheetModel.h"

class QWidget;

struct ViewHostData {
    // Shows a view window modeless inside the main window (the main window
    // puts it into its MDI area). Unset, the window is shown on its own.
    std::function<void(QWidget* form)> Show;
    // Writes the captions and tool tips of the controls of the kind's window
    // in a slot, in a language (the shell's per-kind caption setters; the
    // window is made when the slot holds none). Required by the procedures
    // that add and rebuild views.
    std::function<void(ViewKind kind, int slot, int lang)> SetCaptions;
    // Several windows are about to be shown one after the other (true), or
    // that row is over (false): the host may put off, until the row is
    // over, work it would otherwise repeat for each window. Optional.
    std::function<void(bool inRow)> ShowingRow;
    // Says what a view's fetch left out on the main window's status line,
    // kept until something else is said there; the empty text takes back
    // what the last call said. Optional.
    std::function<void(const QString& text)> ShowStatus;
};
ViewHostData& ViewHost();

// Shows a view window through the host.
void ShowViewForm(QWidget* form);
// Says a view's text on the status line through the host (nothing unset).
void ShowViewStatus(const QString& text);
