#include "widgets/HoldRepeat.h"

#include <QAbstractButton>
#include <QEvent>
#include <QTimer>

HoldRepeat::HoldRepeat(QObject* parent, QTimer* timer)
    : QObject(parent), timer_(timer ? timer : new QTimer(this)) {
    connect(timer_, &QTimer::timeout, this, &HoldRepeat::Tick);
}

void HoldRepeat::SetTiming(int firstDelayMs, int intervalMs) {
    firstDelay_ = qMax(0, firstDelayMs);
    interval_ = qMax(0, intervalMs);
}

void HoldRepeat::Attach(QAbstractButton* button, int key) {
    if (!button) return;
    connect(button, &QAbstractButton::pressed, this, [this, button, key] { pressFrom(button, key); });
    connect(button, &QAbstractButton::released, this, [this, button] {
        if (source_ == button) Release();
    });
    connect(button, &QObject::destroyed, this, [this, button] {
        if (source_ == button) {
            source_ = nullptr;
            Release();
        }
    });
    button->installEventFilter(this);
}

void HoldRepeat::Press(int key) { pressFrom(nullptr, key); }

void HoldRepeat::pressFrom(QAbstractButton* button, int key) {
    source_ = button;
    key_ = key;
    ticks_ = 0;
    held_ = true;
    if (step_) step_(key_, 0);
    // The step may have closed the window or released the hold.
    if (held_) timer_->start(firstDelay_);
}

void HoldRepeat::Release() {
    held_ = false;
    source_ = nullptr;
    timer_->stop();
}

void HoldRepeat::Tick() {
    if (!held_ || (source_ && !source_->isDown())) {  // a release that never came to us
        Release();
        return;
    }
    if (timer_->interval() != interval_) timer_->setInterval(interval_);
    if (ticks_ < maxTicks_) ++ticks_;
    if (step_) step_(key_, ticks_);
}

bool HoldRepeat::eventFilter(QObject* watched, QEvent* event) {
    if (held_ && watched == source_) {
        switch (event->type()) {
        case QEvent::Leave:
        case QEvent::Hide:
        case QEvent::Close:
            Release();
            break;
        case QEvent::EnabledChange:
            if (!source_->isEnabled()) Release();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}
