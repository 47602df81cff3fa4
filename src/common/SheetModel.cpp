#include "common/SheetModel.h"

#include <algorithm>
#include <cstring>

SampleArray& SampleArray::operator=(const SampleArray& other) {
    constexpr size_t Piece = 1024;
    for (size_t k = 0; k < size(); k += Piece) {
        const size_t n = std::min(Piece, size() - k) * sizeof(int32_t);
        if (std::memcmp(data() + k, other.data() + k, n) != 0) std::memcpy(data() + k, other.data() + k, n);
    }
    return *this;
}

SheetModelData& Sheets() {
    // Several megabytes of records: lives in static storage for the process.
    // Value-initialised, the compiler lays the records out in the program
    // image, so a start does not clear them page by page before it shows
    // anything; a page is read in when first used.
    static SheetModelData data{};
    return data;
}

int SlotCount(ViewKind kind) {
    switch (kind) {
    case ViewWave: return WaveSlots;
    case ViewMeasure: return MeasureSlots;
    case ViewData: return DataSlots;
    case ViewRecord: return RecordSlots;
    case ViewMemoryWave: return MemWaveSlots;
    }
    return 0;
}

int MaxViewCount(ViewKind kind) {
    switch (kind) {
    case ViewWave: return MaxWaveViews;
    case ViewMeasure: return MaxMeasureViews;
    case ViewData: return MaxDataViews;
    case ViewRecord: return MaxRecordViews;
    case ViewMemoryWave: return MaxMemWaveViews;
    }
    return 0;
}

int16_t& ViewCount(ViewKind kind) {
    SheetModelData& s = Sheets();
    switch (kind) {
    case ViewWave: return s.WaveCount;
    case ViewMeasure: return s.MeasureCount;
    case ViewData: return s.DataCount;
    case ViewRecord: return s.RecordCount;
    case ViewMemoryWave: return s.MemWaveCount;
    }
    static int16_t none = 0;  // unreachable for a valid kind
    none = 0;
    return none;
}

bool SlotInRange(ViewKind kind, int slot) { return slot >= 0 && slot < SlotCount(kind); }

namespace {

// Assigns a blank record from static storage (the wave record is too large to
// build on the stack each time), keeping the window's own flag.
template <typename Record>
void ResetKeepingWindowFlag(Record& rec) {
    static const Record blank{};
    const bool open = rec.WindowOpen;
    rec = blank;
    rec.WindowOpen = open;
}

}  // namespace

void ResetViewRecord(ViewKind kind, int slot) {
    if (!SlotInRange(kind, slot)) return;
    SheetModelData& s = Sheets();
    switch (kind) {
    case ViewWave: ResetKeepingWindowFlag(s.WaveViews[slot]); break;
    case ViewMeasure: ResetKeepingWindowFlag(s.MeasureViews[slot]); break;
    case ViewData: ResetKeepingWindowFlag(s.DataViews[slot]); break;
    case ViewRecord: ResetKeepingWindowFlag(s.RecordViews[slot]); break;
    case ViewMemoryWave: ResetKeepingWindowFlag(s.MemWaveViews[slot]); break;
    }
}

void ClearViewRefreshState() {
    SheetModelData& s = Sheets();
    for (WaveInfo& w : s.WaveViews) {
        w.AutoRefresh = false;
        w.Ch1Chosen = w.Ch2Chosen = w.MathChosen = w.LaChosen = false;
        w.Ch1Fetched = w.Ch2Fetched = w.MathFetched = w.LaFetched = false;
    }
    for (MeasureInfo& m : s.MeasureViews) m.AutoRefresh = false;
    for (DataInfo& d : s.DataViews) {
        d.AutoRefresh = false;
        d.Channel.clear();
    }
}

namespace {
template <typename Records>
void ShiftDown(Records& records, int slot, int count) {
    for (int i = slot; i + 1 < count; ++i) records[size_t(i)] = records[size_t(i) + 1];
}
}  // namespace

void MoveViewRecordsDown(ViewKind kind, int slot) {
    int16_t& count = ViewCount(kind);
    const int n = std::min<int>(count, SlotCount(kind));
    if (slot < 0 || slot >= n) return;
    SheetModelData& s = Sheets();
    switch (kind) {
    case ViewWave: ShiftDown(s.WaveViews, slot, n); break;
    case ViewMeasure: ShiftDown(s.MeasureViews, slot, n); break;
    case ViewData: ShiftDown(s.DataViews, slot, n); break;
    case ViewRecord: ShiftDown(s.RecordViews, slot, n); break;
    case ViewMemoryWave: ShiftDown(s.MemWaveViews, slot, n); break;
    }
    --count;
}
