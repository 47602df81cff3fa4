#include "common/SheetModel.h"

#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

SheetModelData& Sheets() {
    // Several megabytes of records: lives in static storage for the process.
    static SheetModelData data;
    return data;
}

SheetModelHooks& SheetHooks() {
    static SheetModelHooks hooks;
    return hooks;
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

QPointer<QWidget>* FormRef(ViewKind kind, int slot) {
    if (!SlotInRange(kind, slot)) return nullptr;
    SheetModelData& s = Sheets();
    switch (kind) {
    case ViewWave: return &s.WaveForms[slot];
    case ViewMeasure: return &s.MeasureForms[slot];
    case ViewData: return &s.DataForms[slot];
    case ViewRecord: return &s.RecordForms[slot];
    case ViewMemoryWave: return &s.MemWaveForms[slot];
    }
    return nullptr;
}

const char* const TagProperty = "Tag";

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

QWidget* ExistingViewForm(ViewKind kind, int slot) {
    QPointer<QWidget>* ref = FormRef(kind, slot);
    return ref ? ref->data() : nullptr;
}

QWidget* ViewForm(ViewKind kind, int slot) {
    QPointer<QWidget>* ref = FormRef(kind, slot);
    if (!ref) return nullptr;
    if (*ref) return ref->data();
    const auto& factory = SheetHooks().FormFactory[kind];
    if (!factory) return nullptr;
    QWidget* form = factory(slot);
    if (!form) return nullptr;
    SetFormTag(form, slot);
    *ref = form;
    return form;
}

void SetFormTag(QWidget* form, int slot) {
    if (form) form->setProperty(TagProperty, QString::number(slot));
}

int FormSlot(ViewKind kind, const QWidget* form) {
    if (!form) return -1;
    const QString tag = form->property(TagProperty).toString();
    if (tag.isEmpty() || tag.size() > 4) return -1;
    for (QChar c : tag)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return -1;
    const int slot = tag.toInt();
    return SlotInRange(kind, slot) ? slot : -1;
}

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

bool IsDataSheetOpen() {
    SheetModelData& s = Sheets();
    bool open = false;
    // The node is looked up by identity among the tree's items, never
    // dereferenced itself: after its removal it may no longer exist.
    if (s.SheetTreeView && s.SheetNode) {
        for (QTreeWidgetItemIterator it(s.SheetTreeView.data()); *it; ++it) {
            if (*it == s.SheetNode) {
                open = true;
                break;
            }
        }
    }
    const auto& setButton = SheetHooks().SetToolbarButtonEnabled;
    if (setButton) {
        for (int button : {11, 12, 13}) {
            try {
                setButton(button, open);
            } catch (...) {
                // A button that cannot be set does not stop the others.
            }
        }
    }
    return open;
}
