#include "widgets/OnScreen.h"

#include <QDeadlineTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QMargins>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace {
// How long after a placement the window manager's answers are waited for:
// it frames a window it has just mapped, and answers a resize, after the
// application has placed it.
constexpr int kSettleMs = 1000;
constexpr int kSettleTickMs = 50;
// How many ticks in a row a window must be found settled, with no move or
// resize between them, before its placement is done: the platform's answer
// to the application's own move or resize comes after the window already
// shows the place or size asked for.
constexpr int kQuietTicks = 3;

// The frame's borders as the platform knows them now. (A widget's own frame
// geometry keeps the borders it first learnt, none if that was before the
// window manager framed the window, until the window next moves or is
// resized.)
QMargins bordersOf(const QWidget* window) {
    const QWindow* handle = window->windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

// Places a window so that its frame lies on the screen that holds it.
// Returns true when the window has the size it was placed with (`size`; the
// window manager has answered a resize), its frame is known (the platform
// reports it, or the window has none) and already lay there, so that nothing
// was moved.
bool placeOnScreen(QWidget* window, const QSize& size) {
    QMargins borders = bordersOf(window);
    const bool frameless = window->windowFlags().testFlag(Qt::FramelessWindowHint);
    const bool frameKnown = frameless || !borders.isNull();
    if (!frameKnown && window->parentWidget()) borders = bordersOf(window->parentWidget()->window());
    const QRect frame = window->geometry().marginsAdded(borders);
    QScreen* screen = QGuiApplication::screenAt(frame.center());
    if (!screen) screen = window->screen();
    if (!screen) return false;
    const QPoint at = PlaceWithin(frame, screen->availableGeometry());
    if (at == frame.topLeft()) return frameKnown && window->size() == size;
    // The client area's place (a window's pos() may still include a frame
    // that its geometry does not, before it is first mapped).
    window->setGeometry(QRect(at + QPoint(borders.left(), borders.top()), window->size()));
    return false;
}

// Places a window again after a placement, whenever it is moved or resized
// and at every tick of a short timer, until it has settled: its frame known
// and on the screen, at the size it was placed with, for a few ticks with no
// move or resize. The window manager's late answer (a frame it has just put
// round the window, the client moved into it, a frame the platform learns of
// without any move, the answer to a resize) is brought back onto the screen
// with the frame now known. From then on, and after the settle time in any
// case, moves are the user's (a drag partly past the screen's edge), and are
// left alone.
class SettleWatch : public QObject {
public:
    explicit SettleWatch(QWidget* window) : QObject(window), window_(window) {
        setObjectName(QStringLiteral("OnScreenSettleWatch"));
        window->installEventFilter(this);
        tick_.setInterval(kSettleTickMs);
        connect(&tick_, &QTimer::timeout, this, [this] {
            if (until_.hasExpired()) tick_.stop();
            quietTicks_ = place() ? quietTicks_ + 1 : 0;
            if (quietTicks_ >= kQuietTicks) Disarm();
        });
    }
    // Watches the window from now on, with the size it is placed with.
    void Arm() {
        size_ = window_->size();
        quietTicks_ = 0;
        until_.setRemainingTime(kSettleMs);
        tick_.start();
    }
    void Disarm() {
        until_ = QDeadlineTimer(0);
        tick_.stop();
    }
    bool Armed() const { return !until_.hasExpired(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
            place();
            quietTicks_ = 0;
        }
        return false;
    }

private:
    // Places the window again; true when it was found settled.
    bool place() {
        if (placing_ || until_.hasExpired() || !window_->isVisible()) return false;
        placing_ = true;
        const bool settled = placeOnScreen(window_, size_);
        placing_ = false;
        return settled;
    }

    QWidget* window_;
    QTimer tick_;
    QSize size_;
    QDeadlineTimer until_{0};
    int quietTicks_ = 0;
    bool placing_ = false;
};

SettleWatch* watchOf(const QWidget* window) {
    return window->findChild<SettleWatch*>(QStringLiteral("OnScreenSettleWatch"), Qt::FindDirectChildrenOnly);
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
    SettleWatch* watch = watchOf(window);
    if (!watch) watch = new SettleWatch(window);
    watch->Arm();
    placeOnScreen(window, window->size());
}

bool PlacingOnScreen(const QWidget* widget) {
    const SettleWatch* watch = widget ? watchOf(widget->window()) : nullptr;
    return watch && watch->Armed();
}
