#pragma once
// The one helper for waits that yield to the event loop (serial replies,
// transfer jobs, screen copies).
//
// YieldUntil runs a nested QEventLoop until the predicate holds. It is woken
// by NotifyWaiters(), which every producer of a waited-for change calls (the
// serial receive handler, the 100 ms tick, the transfer window when it sets
// its done flag), and re-checks the predicate then. A deadline bounds the
// wait. After it returns, the caller re-checks whatever may have gone away:
// other handlers ran meanwhile.
#include <functional>

// Wakes every running YieldUntil so it re-checks its predicate.
void NotifyWaiters();

// Processes events until pred() is true or maxMs (< 0: no deadline) passed.
// Returns pred()'s value at the end.
bool YieldUntil(const std::function<bool()>& pred, int maxMs = -1);

// Processes the events that are pending now, once (the "yield once" of a
// long loop that repaints a progress bar).
void YieldOnce();

// Ends the application's main loop as soon as no yielding wait and no modal
// window runs. A quit posted while a wait yields would be lost: every loop a
// wait enters drops the posted quit.
void QuitWhenNoWaitRuns();
