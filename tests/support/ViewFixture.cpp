#include "ViewFixture.h"

#include "common/SheetModel.h"

namespace ViewFixture {
void PressRefresh(RefreshKind kind, QWidget* window, int& loads) {
    RefreshView v;
    v.kind = kind;
    v.window = window;
    v.slot = [] { return 0; };
    if (kind == RefreshKind::Wave)
        v.recordAutoRefresh = [](int) { return &Sheets().WaveViews[0].AutoRefresh; };
    else
        v.recordAutoRefresh = [](int) { return &Sheets().DataViews[0].AutoRefresh; };
    v.loadData = [&loads] { ++loads; };
    RefreshPress(v);
}
}  // namespace ViewFixture
