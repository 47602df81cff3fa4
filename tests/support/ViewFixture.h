#pragma once
// Small helpers shared by the view window tests.
#include "sheets/ViewRefresh.h"

class QWidget;

namespace ViewFixture {
// A press of Refresh in a window of `kind` in slot 0 (Wave or Data) that has
// no window of its own: `window` stands in for it; each fetch it would make
// counts in `loads`.
void PressRefresh(RefreshKind kind, QWidget* window, int& loads);
}  // namespace ViewFixture
