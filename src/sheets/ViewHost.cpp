#include "sheets/ViewHost.h"

#include <QWidget>

ViewHostData& ViewHost() {
    static ViewHostData host;
    return host;
}

void ShowViewForm(QWidget* form) {
    if (!form) return;
    if (ViewHost().Show) ViewHost().Show(form);
    else form->show();
}

void ShowViewStatus(const QString& text) {
    if (ViewHost().ShowStatus) ViewHost().ShowStatus(text);
}
