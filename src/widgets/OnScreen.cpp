#include "widgets/OnScreen.h"

#include <QGuiApplication>
#include <QMargins>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace {
QMargins bordersOf(const QWidget* window) {
    const QRect outer = window->frameGeometry(), inner = window->geometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}
}  // namespace

QPoint PlaceWithin(const QRect& frame, const QRect& available) {
    QPoint at = frame.topLeft();
    at.rx() -= std::max(0, frame.right() - available.right());
    at.ry() -= std::max(0, frame.bottom() - available.bottom());
    at.setX(std::max(at.x(), available.left()));
    at.setY(std::max(at.y(), available.top()));
    return at;
}

void KeepOnScreen(QWidget* widget) {
    if (!widget) return;
    QWidget* window = widget->window();
    QMargins borders = bordersOf(window);
    if (borders.isNull() && !window->windowFlags().testFlag(Qt::FramelessWindowHint) && window->parentWidget())
        borders = bordersOf(window->parentWidget()->window());
    const QRect frame = window->geometry().marginsAdded(borders);
    QScreen* screen = QGuiApplication::screenAt(frame.center());
    if (!screen) screen = window->screen();
    if (!screen) return;
    const QPoint at = PlaceWithin(frame, screen->availableGeometry());
    // The client area's place (a window's pos() may still include a frame
    // that its geometry does not, before it is first mapped).
    if (at != frame.topLeft()) window->setGeometry(QRect(at + QPoint(borders.left(), borders.top()), window->size()));
}
