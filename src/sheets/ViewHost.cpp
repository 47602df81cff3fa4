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

QObject* FindViewControl(QWidget* form, const QString& name) {
    if (!form || name.isEmpty()) return nullptr;
    if (QObject* c = form->findChild<QObject*>(name)) return c;
    QString alt = name;
    alt.replace(QLatin1Char('('), QLatin1Char('_'));
    alt.remove(QLatin1Char(')'));
    return alt == name ? nullptr : form->findChild<QObject*>(alt);
}
