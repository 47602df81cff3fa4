#include "platform/pointer/ScreenPointer.h"

#include <QCursor>
#include <QGuiApplication>
#include <QWidget>

int ScreenPointer() {
    const QCursor* c = QGuiApplication::overrideCursor();
    return c && c->shape() == Qt::WaitCursor ? PointerHourglass : PointerDefault;
}

void SetScreenPointer(int shape) {
    if (shape == PointerHourglass) {
        if (QGuiApplication::overrideCursor())
            QGuiApplication::changeOverrideCursor(QCursor(Qt::WaitCursor));
        else
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        return;
    }
    while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
}

void CopyScreenPointerTo(QWidget* widget) {
    if (!widget) return;
    widget->setCursor(ScreenPointer() == PointerHourglass ? Qt::WaitCursor : Qt::ArrowCursor);
}
