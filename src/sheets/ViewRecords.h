#pragma once
// The record of a view by (kind, slot), for the fields every kind has.
#include <QString>

#include "common/SheetModel.h"

// Calls f with the record of the kind in the slot (which must be in range)
// and returns what f returns.
template <typename F>
decltype(auto) VisitViewRecord(ViewKind kind, int slot, F&& f) {
    SheetModelData& s = Sheets();
    const auto i = size_t(slot);
    switch (kind) {
    case ViewMeasure: return f(s.MeasureViews[i]);
    case ViewData: return f(s.DataViews[i]);
    case ViewRecord: return f(s.RecordViews[i]);
    case ViewMemoryWave: return f(s.MemWaveViews[i]);
    case ViewWave: break;
    }
    return f(s.WaveViews[i]);
}

inline QString& ViewName(ViewKind kind, int slot) {
    return VisitViewRecord(kind, slot, [](auto& r) -> QString& { return r.Name; });
}
inline bool& ViewWindowOpen(ViewKind kind, int slot) {
    return VisitViewRecord(kind, slot, [](auto& r) -> bool& { return r.WindowOpen; });
}
