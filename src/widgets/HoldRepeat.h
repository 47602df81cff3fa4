#pragma once
// Press-and-hold repeat for buttons that step a value while held.
//
// A press runs the step once with ticks 0 and arms the timer with the first
// delay; every timer tick runs the step again with the number of ticks since
// the press (1, 2, ... held at MaxTicks) and goes on at the repeat interval.
// The repeat stops at the release, when the pointer leaves the button, when
// the button is hidden or disabled (its window closing hides it), and at the
// first tick that finds the pressing button no longer down (a release that
// never reached it). Callers map the tick count to an accelerating step of
// their own; `key` tells them which button of the group is held.
#include <QObject>
#include <functional>

class QAbstractButton;
class QTimer;

class HoldRepeat : public QObject {
    Q_OBJECT
public:
    // step(key, ticks): ticks is 0 for the press, then the tick count.
    using StepFn = std::function<void(int key, int ticks)>;

    // Uses `timer` when given (it stays the caller's, its timeout now drives
    // the repeat); otherwise owns a timer of its own.
    explicit HoldRepeat(QObject* parent = nullptr, QTimer* timer = nullptr);

    void SetStep(StepFn step) { step_ = std::move(step); }
    // The delay from the press to the first tick, and between later ticks.
    void SetTiming(int firstDelayMs, int intervalMs);
    // Where the tick count stops growing (the repeat itself goes on).
    void SetMaxTicks(int maxTicks) { maxTicks_ = maxTicks; }

    // Lets a button drive the repeat: its press starts it with `key`, its
    // release, leaving, hiding or disabling stops it.
    void Attach(QAbstractButton* button, int key);

    // A press (also without a button): one step with ticks 0, timer armed.
    void Press(int key);
    // Stops the repeat; nothing is stepped. Harmless when not held.
    void Release();
    // One timer tick (the timer calls it; tests may too).
    void Tick();

    bool Held() const { return held_; }
    int Key() const { return key_; }
    QTimer* Timer() const { return timer_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void pressFrom(QAbstractButton* button, int key);

    StepFn step_;
    QTimer* timer_;
    QAbstractButton* source_ = nullptr;  // the button that pressed, if any
    int firstDelay_ = 200;
    int interval_ = 200;
    int maxTicks_ = 32767;
    int key_ = 0;
    int ticks_ = 0;
    bool held_ = false;
};
