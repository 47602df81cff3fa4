#pragma once
// What screen readers hear of buttons whose class says less than their use.
// Their look and behaviour stay Qt's; only what is announced changes.
//
// - ExposeAsRadioButton: an option of a one-of choice that its window keeps
//   exclusive itself (a tick may clear every option, which Qt's exclusive
//   groups refuse) is a radio button with its checked state, not the check
//   box Qt announces for a non-exclusive option.
// - ExposeAsToggleButton: a button that stays on while what it started runs
//   (Refresh during a continuous refresh) is a toggle button: SetToggleOn
//   gives its pressed (checked) state; while on, it is announced by its
//   on-name (SetToggleOnName) when it has one, else by its caption. Off, it
//   is a toggle (checkable, not checked) while `toggles` says a press would
//   turn it on (no `toggles`: always), else a plain push button.
//
// Call each right after the button is made; a later call replaces what a
// screen reader was told before.
#include <functional>

class QAbstractButton;
class QString;

void ExposeAsRadioButton(QAbstractButton* button);
void ExposeAsToggleButton(QAbstractButton* button, std::function<bool()> toggles = {});

// The toggle button's state; screen readers are told of a change.
void SetToggleOn(QAbstractButton* button, bool on);
bool ToggleOn(const QAbstractButton* button);
// The name announced while on; false when `button` is no toggle button.
bool SetToggleOnName(QAbstractButton* button, const QString& name);
