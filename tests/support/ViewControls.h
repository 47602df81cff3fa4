#pragma once
// Reaching a control of a view window by its name, for tests that check
// controls a window does not expose. Control arrays are named "Name(i)" and
// found by the objectName "Name(i)" or "Name_i".
#include <QObject>
#include <QString>

class QWidget;

// nullptr when the window lacks the control.
QObject* FindViewControl(QWidget* form, const QString& name);
template <typename T>
T* ViewControl(QWidget* form, const QString& name) {
    return qobject_cast<T*>(FindViewControl(form, name));
}
