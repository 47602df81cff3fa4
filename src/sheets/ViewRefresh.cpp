#include "sheets/ViewRefresh.h"

#include <QTimer>
#include <algorithm>

#include "common/ShellState.h"
#include "common/Wait.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/TransferJobs.h"
#include "platform/dialogs/MsgBox.h"
#include "sheets/ViewRecords.h"
#include "sheets/ViewWindows.h"

namespace {
constexpr int MinIntervalMs = 100;
constexpr int MaxIntervalMs = 3600 * 1000;
constexpr int FallbackIntervalMs = 1000;
// How often the loop re-checks the link when nothing woke it.
constexpr int LoopCheckMs = 100;

bool continuing(const KindRefreshState& st) {
    return st.AutoRefresh && Link().IsConnected && !Transfer().TransferBusy;
}
}  // namespace

ViewRefreshData& ViewRefresh() {
    static ViewRefreshData d;
    return d;
}

KindRefreshState& RefreshState(RefreshKind kind) { return ViewRefresh().Kinds[size_t(kind)]; }

RefreshKind RefreshKindOf(ViewKind view) {
    return view == ViewWave ? RefreshKind::Wave : view == ViewMeasure ? RefreshKind::Measure : RefreshKind::Data;
}

ViewKind ViewKindOf(RefreshKind kind) {
    return kind == RefreshKind::Wave ? ViewWave : kind == RefreshKind::Measure ? ViewMeasure : ViewData;
}

bool* RecordAutoRefresh(RefreshKind kind, int slot) {
    const ViewKind view = ViewKindOf(kind);
    if (!SlotInRange(view, slot)) return nullptr;
    SheetModelData& s = Sheets();
    return view == ViewWave      ? &s.WaveViews[size_t(slot)].AutoRefresh
           : view == ViewMeasure ? &s.MeasureViews[size_t(slot)].AutoRefresh
                                 : &s.DataViews[size_t(slot)].AutoRefresh;
}

bool OtherKindAutoRefresh(RefreshKind kind) {
    for (RefreshKind k : {RefreshKind::Wave, RefreshKind::Measure, RefreshKind::Data})
        if (k != kind && RefreshState(k).AutoRefresh) return true;
    return false;
}

QString OtherKindRefreshingView(RefreshKind kind) {
    for (RefreshKind k : {RefreshKind::Wave, RefreshKind::Measure, RefreshKind::Data}) {
        const KindRefreshState& st = RefreshState(k);
        if (k == kind || !st.AutoRefresh) continue;
        // The record's flag moves with the view when views move down a slot.
        const ViewKind view = ViewKindOf(k);
        for (int slot = 0; SlotInRange(view, slot); ++slot)
            if (*RecordAutoRefresh(k, slot)) return ViewName(view, slot);
    }
    return QString();
}

bool ViewFetchRunning() {
    if (Transfer().TransferBusy) return true;
    const auto& kinds = ViewRefresh().Kinds;
    return std::any_of(kinds.begin(), kinds.end(), [](const KindRefreshState& k) { return k.Loading; });
}

int PacedInterval(int configuredMs) {
    if (configuredMs < MinIntervalMs) return configuredMs <= 0 ? FallbackIntervalMs : MinIntervalMs;
    return std::min(configuredMs, MaxIntervalMs);
}

bool RefreshDue() { return ViewRefresh().RefreshTick >= PacedInterval(Shell().RefreshInterval); }

void RefreshPacerTick(const QTimer* pacer) {
    if (!pacer) return;
    int& tick = ViewRefresh().RefreshTick;
    tick = int(std::min<qint64>(qint64(tick) + std::max(pacer->interval(), 0), MaxIntervalMs * 2LL));
    NotifyWaiters();
}

RefreshView WindowRefreshView(RefreshKind kind, QWidget* window, QTimer* pacer, QWidget* button,
                              std::function<void()> loadData, std::function<void(bool stopLook)> setStopLook) {
    const ViewKind view = ViewKindOf(kind);
    QPointer<QWidget> self(window);
    QPointer<QWidget> knob(button);
    RefreshView v;
    v.kind = kind;
    v.window = window;
    v.pacer = pacer;
    v.slot = [self, view] { return self ? FormSlot(view, self) : -1; };
    v.recordAutoRefresh = [kind](int slot) { return RecordAutoRefresh(kind, slot); };
    v.loadData = [self, loadData] {
        if (self && loadData) loadData();
    };
    v.setStopLook = [self, setStopLook](bool stop) {
        if (self && setStopLook) setStopLook(stop);
    };
    v.setButtonEnabled = [knob](bool on) {
        if (knob) knob->setEnabled(on);
    };
    return v;
}

bool IsRefreshKey(int key, Qt::KeyboardModifiers modifiers) {
    return key == Qt::Key_F5 && (modifiers & ~Qt::KeypadModifier) == Qt::NoModifier;
}

bool RefreshIsContinuous() { return Shell().RefreshType != QLatin1String("Single"); }

void RefreshPress(const RefreshView& v) {
    KindRefreshState& st = RefreshState(v.kind);
    // One continuous refresh at a time holds the link: the user is told
    // which view must stop first, and nothing of this view changes.
    if (OtherKindAutoRefresh(v.kind)) {
        MsgBox(MessageTable().MsgOtherViewRefreshing.arg(OtherKindRefreshingView(v.kind)), vbExclamation);
        return;
    }
    st.AutoRefresh = false;  // ends the running continuous refresh of the kind at its next check
    st.RefreshRestore = true;

    QPointer<QWidget> window = v.window;
    QPointer<QTimer> pacer = v.pacer;
    auto alive = [&] { return !window.isNull(); };
    auto fetch = [&] {
        st.Loading = true;
        if (v.loadData) v.loadData();
        st.Loading = false;
    };
    auto restartPacer = [&] {
        if (!pacer) return;
        pacer->setInterval(PacedInterval(Shell().RefreshInterval));
        pacer->start();
    };

    const int slot = v.slot ? v.slot() : -1;
    bool* autoFlag = slot >= 0 && v.recordAutoRefresh ? v.recordAutoRefresh(slot) : nullptr;
    const bool stopPress = autoFlag && *autoFlag;
    if (!stopPress && slot >= 0) {
        st.RefreshSlot = slot;
        if (Transfer().TransferBusy) {
            // nothing visible
        } else if (!Link().IsConnected) {
            MsgBox(MessageTable().MsgConnectFirst, vbExclamation);
        } else if (!RefreshIsContinuous()) {
            if (v.setButtonEnabled) v.setButtonEnabled(false);
            fetch();
        } else {
            if (v.setStopLook) v.setStopLook(true);
            *autoFlag = true;
            st.AutoRefresh = true;
            fetch();
            ViewRefresh().RefreshTick = 0;
            if (alive()) restartPacer();
            while (alive() && continuing(st)) {
                if (RefreshDue()) {
                    ViewRefresh().RefreshTick = 0;
                    if (pacer) pacer->stop();
                    fetch();
                    if (!alive()) break;
                    restartPacer();
                }
                YieldUntil([&] { return !alive() || !continuing(st) || RefreshDue(); }, LoopCheckMs);
            }
        }
    }

    if (!st.RefreshRestore || !alive()) return;
    if (v.setStopLook) v.setStopLook(false);
    const int nowSlot = v.slot ? v.slot() : -1;
    if (nowSlot >= 0 && v.recordAutoRefresh)
        if (bool* f = v.recordAutoRefresh(nowSlot)) *f = false;
    st.AutoRefresh = false;
    if (pacer) pacer->stop();
    if (v.setButtonEnabled) v.setButtonEnabled(true);
}

void RefreshKindUnloaded(RefreshKind kind, const std::function<void(int slot)>& restoreSlot) {
    KindRefreshState& st = RefreshState(kind);
    st.RefreshRestore = false;
    if (!st.AutoRefresh) return;
    st.AutoRefresh = false;
    if (restoreSlot) restoreSlot(st.RefreshSlot);
    NotifyWaiters();
}
