#include "widgets/OnScreen.h"

#include <QDeadlineTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QMargins>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>

namespace {
// How long after a placement the window manager's answers are waited for:
// it frames a window it has just mapped, and answers a resize, after the
// application has placed it.
constexpr int kSettleMs = 1000;
constexpr int kSettleTickMs = 50;

QMargins bordersOf(const QWidget* window) {
    const QRect outer = window->frameGeometry(), inner = window->geometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

void placeOnScreen(QWidget* window) {
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

// Places a window again during the settle time after a placement, whenever
// it is moved or resized and at every tick of a short timer: the window
// manager's late answer (a frame it has just put round the window, the
// client moved into it, a frame the platform learns of without any move) is
// brought back onto the screen with the frame now known. Moves after that
// time are the user's, and are left alone.
class SettleWatch : public QObject {
public:
    explicit SettleWatch(QWidget* window) : QObject(window), window_(window) {
        setObjectName(QStringLiteral("OnScreenSettleWatch"));
        window->installEventFilter(this);
        tick_.setInterval(kSettleTickMs);
        connect(&tick_, &QTimer::timeout, this, [this] {
            if (until_.hasExpired()) tick_.stop();
            place();
        });
    }
    void Arm() {
        until_.setRemainingTime(kSettleMs);
        tick_.start();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize)) place();
        return false;
    }

private:
    void place() {
        if (placing_ || until_.hasExpired() || !window_->isVisible()) return;
        placing_ = true;
        placeOnScreen(window_);
        placing_ = false;
    }

    QWidget* window_;
    QTimer tick_;
    QDeadlineTimer until_{0};
    bool placing_ = false;
};
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
    auto* watch = window->findChild<SettleWatch*>(QStringLiteral("OnScreenSettleWatch"), Qt::FindDirectChildrenOnly);
    if (!watch) watch = new SettleWatch(window);
    watch->Arm();
    placeOnScreen(window);
}
