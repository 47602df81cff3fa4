#pragma once
// Refresh of the view windows that fetch from the instrument (waveform, data
// and measurement views), once or continuously, with one pacing scheme.
//
// One set of flags per kind: a kind that refreshes continuously locks the
// other kinds' Refresh out (a press there says which view must stop first). A press in the view that refreshes continuously
// only stops it; a press in another view of the same kind stops it and starts
// that view's own refresh. A Refresh press runs a whole continuous refresh
// inside itself, in a loop that yields to the event loop; a window that
// unloads meanwhile clears its kind's restore flag, so that the ending loop
// touches no window.
//
// Pacing: each tick of the refreshing window's pacing timer adds its interval
// to RefreshTick (the time elapsed since the last fetch); a fetch is due once
// RefreshTick reaches the configured interval, read again at every check, so
// changing the interval while the refresh runs never stalls it, and an
// interval out of range is brought into range (it never spins).
#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>

#include "common/SheetModel.h"

class QTimer;

enum class RefreshKind { Wave = 0, Measure = 1, Data = 2 };

struct KindRefreshState {
    bool AutoRefresh = false;     // a window of the kind refreshes continuously
    bool Loading = false;         // a window of the kind is inside its fetch
    bool RefreshRestore = false;  // the ending Refresh handler may restore its window
    int RefreshSlot = 0;          // slot of the window where Refresh was last pressed (not as a stop)
};

struct ViewRefreshData {
    std::array<KindRefreshState, 3> Kinds{};
    int RefreshTick = 0;  // ms elapsed on the refreshing window's pacing timer
};

ViewRefreshData& ViewRefresh();
KindRefreshState& RefreshState(RefreshKind kind);
// The refresh kind of a fetching view kind (Wave, Measure, Data), and back.
RefreshKind RefreshKindOf(ViewKind view);
ViewKind ViewKindOf(RefreshKind kind);
// The AutoRefresh flag of a view's record; nullptr for a slot out of range.
bool* RecordAutoRefresh(RefreshKind kind, int slot);

// The flags under the names the views use.
inline bool& WaveAutoRefresh() { return RefreshState(RefreshKind::Wave).AutoRefresh; }
inline bool& DataAutoRefresh() { return RefreshState(RefreshKind::Data).AutoRefresh; }

// True when a kind other than `kind` refreshes continuously.
bool OtherKindAutoRefresh(RefreshKind kind);
// The name of the view of another kind than `kind` that refreshes
// continuously (empty when none does).
QString OtherKindRefreshingView(RefreshKind kind);
// True while a transfer runs or any view is inside its fetch: the document
// commands that would move or drop a view's record refuse to run then.
bool ViewFetchRunning();

// The pacing interval in ms for a configured interval: values of 100 ms to one
// hour are kept, larger ones capped, smaller ones (0, negative) give 1000 ms.
int PacedInterval(int configuredMs);
// A continuous fetch is due: the elapsed time reached the configured interval.
bool RefreshDue();

// What a view window lends the shared Refresh handler. Every hook is called
// only while `window` still exists.
struct RefreshView {
    RefreshKind kind = RefreshKind::Data;
    QPointer<QWidget> window;
    QTimer* pacer = nullptr;                  // the window's pacing timer (Timer2)
    std::function<int()> slot;                // the window's slot from its tag (-1: none)
    std::function<bool*(int slot)> recordAutoRefresh;  // the record's AutoRefresh flag
    std::function<void()> loadData;           // one fetch
    std::function<void(bool stopLook)> setStopLook;   // Refresh button pictures
    std::function<void(bool enabled)> setButtonEnabled;
};

// The RefreshView of a view window: its slot read from its tag, its record's
// AutoRefresh flag, its Refresh button disabled during a single fetch; the
// fetch and the button's stop look are the window's own (called only while
// the window exists).
RefreshView WindowRefreshView(RefreshKind kind, QWidget* window, QTimer* pacer, QWidget* button,
                              std::function<void()> loadData, std::function<void(bool stopLook)> setStopLook);

// Whether Refresh starts a continuous refresh (the Auto refresh type: any
// stored type but "Single") rather than one fetch.
bool RefreshIsContinuous();
// A press of Refresh (or F5) in a view window.
void RefreshPress(const RefreshView& v);
// F5 with no Shift, Ctrl or Alt: a press of Refresh.
bool IsRefreshKey(int key, Qt::KeyboardModifiers modifiers);
// A tick of a refreshing window's pacing timer: RefreshTick grows by its interval.
void RefreshPacerTick(const QTimer* pacer);
// A window of the kind unloads: the running continuous refresh of the kind
// ends; restoreSlot puts the refreshing window's button and record back (it
// gets the slot of that window).
void RefreshKindUnloaded(RefreshKind kind, const std::function<void(int slot)>& restoreSlot);
