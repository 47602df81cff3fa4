#pragma once
// The layer of the view windows that fetch from the instrument (waveform,
// data and measurement views) between the view-window base and each window:
// everything of their Refresh that is the same for the three.
//
// - Refresh (the button, or F5 without Shift, Ctrl or Alt) is the shared
//   handler of ViewRefresh.h: once or continuously, the other kinds locked
//   out, paced by Timer2; Fetch() is the window's one fetch.
// - The Refresh button is made by the window where its design puts it and
//   handed over (SetRefreshButton): it gets its name, tool tip, the Refresh
//   or Stop look (SetStopLook) and shows the screen's pointer shape. Screen
//   readers hear it as a toggle button, held down with the Stop look.
// - The window cannot close while a transfer or a fetch of its kind runs;
//   its unload ends the kind's continuous refresh and gives the refreshing
//   window its Refresh look and record back.
// - A fetch runs its job through RunFetchJob (the transfer window captioned
//   in the UI language); the data and measurement views make their channel
//   options with MakeChannelOptions.
// - Its Form_Resize follows every resize.
#include <QList>
#include <QRect>
#include <QStringList>
#include <functional>

#include "sheets/ViewRefresh.h"
#include "sheets/ViewWindow.h"

class QRadioButton;
class QTimer;
class QToolButton;

class FetchingViewWindow : public ViewWindow {
    Q_OBJECT
public:
    // kind: ViewWave, ViewMeasure or ViewData. Set-up tick every 500 ms.
    FetchingViewWindow(ViewKind kind, const QString& windowName, QWidget* parent = nullptr);

    // Clears the kind's Loading flag, then the base's load.
    void Form_Load() override;
    // Lays the window out for its size (run on every resize).
    virtual void Form_Resize() = 0;

    // A press of Refresh (the button or F5).
    void cmdRefresh_Click();
    // The pacing tick of a continuous refresh (public so tests drive it).
    void Timer2_Timer();
    // The Refresh button's pictures: the Stop look (true) or the Refresh look.
    void SetStopLook(bool stop);

    QToolButton* cmdRefresh = nullptr;
    QTimer* Timer2 = nullptr;

protected:
    // One fetch of the view's record; false when nothing was fetched.
    virtual bool Fetch() = 0;
    // Takes the window's Refresh button (made with its caption and place).
    void SetRefreshButton(QToolButton* button);
    // The Refresh button shows the pointer shape the screen shows.
    void ShowScreenPointer();
    // The fetch's transfer job through the transfer window, captioned in the
    // UI language; the arguments after the captions are RunTransfer's. True
    // when the job ran whole and this window still exists. No job (JobNone:
    // no channel chosen) fetches nothing.
    bool RunFetchJob(int code, const char* chinese, const char* english, bool showWindow, int slot,
                     const std::function<void()>& beforeShow);
    // The option boxes of a channel choice in `frame`, one per caption
    // (objectNames "OptionCH(i)"): the first at `first`, each next one `step`
    // pixels to the right of the one before; a click runs chosen(i). They are
    // not exclusive, since the ticks deselect options; screen readers still
    // hear them as radio buttons.
    QList<QRadioButton*> MakeChannelOptions(QWidget* frame, const QStringList& captions, const QRect& first,
                                            int step, const std::function<void(int index)>& chosen);

    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool CanClose() const override;
    void Form_Unload() override;

private:
    RefreshKind refresh_;
};
