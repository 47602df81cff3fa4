#include "ViewControls.h"

#include <QWidget>

QObject* FindViewControl(QWidget* form, const QString& name) {
    if (!form || name.isEmpty()) return nullptr;
    if (QObject* c = form->findChild<QObject*>(name)) return c;
    QString alt = name;
    alt.replace(QLatin1Char('('), QLatin1Char('_'));
    alt.remove(QLatin1Char(')'));
    return alt == name ? nullptr : form->findChild<QObject*>(alt);
}
