#pragma once
// The base of every view window: the life cycle that each kind of view shares.
//
// - The window's tag is its view's slot (ViewWindows.h); Slot() reads it
//   again at every call, so a view that moved to another slot is found there.
// - Form_Load() (run by the factory, and again when the window is re-used)
//   starts the set-up tick Timer1 at 1 ms. Its first tick, once SetUpReady(),
//   sets the record's WindowOpen and runs SetUp(); a window with a repeat
//   interval (the fetching views: 500 ms) then calls Tick() on every tick,
//   the first included; one without stops the timer.
// - Closing runs Form_Unload() once (CanClose() may refuse the close first);
//   the base's unload stops Timer1 and clears WindowOpen.
// - The sheet prepares a window through typed calls, never by its controls'
//   names: PrepareNewView(slot) for a newly added view, LayOutChannels for
//   the channel choice, ColourProgress for the refresh indicator.
// - The window carries the image its kind has in the data browser, and a
//   new window is placed inside the visible area of what holds it, at its
//   designed size where that fits and shrunk to the area where it does not
//   (ShownInFrame, called by whoever shows it).
#include <QIcon>
#include <QRect>
#include <QWidget>
#include <type_traits>

#include "common/SheetModel.h"
#include "sheets/ViewRecords.h"

class QTimer;

// The data browser's node images: 1 root (15 x 15), 2 sheet, 3..7 the view
// kinds in ViewKind order (16 x 16).
QIcon SheetNodeImage(int image);
inline QIcon ViewKindImage(ViewKind kind) { return SheetNodeImage(int(kind) + 3); }

class ViewWindow : public QWidget {
    Q_OBJECT
public:
    // windowName is the window's objectName (its captions table's key);
    // repeatMs is the set-up timer's interval after the first tick (0: one-shot).
    ViewWindow(ViewKind kind, const QString& windowName, int repeatMs, QWidget* parent = nullptr);

    ViewKind Kind() const { return kind_; }
    // The slot from the tag now; -1 when the tag names no slot of the kind.
    int Slot() const;
    // The record of that slot as the kind's record type (WaveInfo for a Wave
    // window, ...); nullptr when the tag names no slot or the type is not
    // the kind's.
    template <typename Info>
    Info* RecordAs() const {
        const int slot = Slot();
        if (slot < 0) return nullptr;
        return VisitViewRecord(kind_, slot, [](auto& r) -> Info* {
            if constexpr (std::is_same_v<std::decay_t<decltype(r)>, Info>) return &r;
            else return nullptr;
        });
    }

    // Starts the set-up tick (1 ms); the tag is read when it fires.
    virtual void Form_Load();
    // The set-up timer's handler (public so tests drive it without a clock).
    void Timer1_Timer();

    // A newly added view in `slot` (its record already reset and named):
    // the window takes a new view's look. Default: nothing.
    virtual void PrepareNewView(int slot);
    // Lays out the channel choice for an instrument with or without the
    // logic analyser. Default: nothing.
    virtual void LayOutChannels(bool laPresent);
    // Colours the refresh indicator for the colour (true) or the white
    // background. Default: nothing.
    virtual void ColourProgress(bool colour);

    // `window` moved so that it lies inside `area`, keeping its size where it
    // fits; a window larger than the area is shrunk to it (not below
    // `minimum`), and one still larger keeps its top-left corner (its title
    // bar) inside, at the area's left or top edge.
    static QRect PlaceInside(const QRect& window, const QRect& area, const QSize& minimum = QSize(0, 0));
    // The window has just been shown in a new frame (a child window of the
    // main window, or itself when it has none): the frame takes the
    // window's image and is moved into its parent's visible area. With a
    // size, a frame that is not maximized first takes the size that gives
    // the window that size (both in one change of its geometry).
    void ShownInFrame(const QSize& windowSize = QSize());

    QTimer* Timer1 = nullptr;
    // Set by Form_Load; cleared by the first tick that runs SetUp.
    bool SetUpPending = false;

    // Colours a refresh indicator (panel, its text and its value) as the
    // fetching views and the memory-wave view show it.
    static void ColourRefreshIndicator(QWidget* panel, QWidget* text, QWidget* value, bool colour);

protected:
    // Whether the first tick may run the set-up now (default: always).
    virtual bool SetUpReady() const { return true; }
    // The window takes the look of its view's record (first tick).
    virtual void SetUp() {}
    // Every tick of a repeating window, the first included.
    virtual void Tick() {}
    // Whether the window may close now (a running fetch keeps it open).
    virtual bool CanClose() const { return true; }
    // The unload: stops Timer1 and clears WindowOpen. Overrides call it.
    virtual void Form_Unload();
    // Runs Form_Unload once per load; for destructors of derived windows.
    void UnloadOnce();

    void closeEvent(QCloseEvent* event) override;

private:
    ViewKind kind_;
    int repeatMs_;
    bool unloaded_ = false;
};
