#pragma once
// The waveform view window: one Wave view of the open data sheet drawn as a
// copy of the instrument's screen, refreshed from the instrument once or
// continuously, zoomed (list, typed factor, Best Fit) and panned.
//
// The window owns its controls and the picture; the picture is painted by
// PaintWaveView from the view's record. The window's tag is its view's slot;
// every handler reads it again to find the record.
#include <QImage>
#include <QWidget>
#include <array>
#include <functional>

#include "common/SheetModel.h"
#include "sheets/FetchingView.h"
#include "screen/WaveCursors.h"
#include "waveview/WavePaint.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QRadioButton;
class QScrollBar;
class QToolButton;

// The drawing surface: shows the last picture painted for the window.
class WavePicture : public QWidget {
    Q_OBJECT
public:
    explicit WavePicture(QWidget* parent = nullptr);
    QImage Picture;
    // Brings Picture up to date before it is painted (set by the window).
    std::function<void()> BeforePaint;

protected:
    void paintEvent(QPaintEvent* event) override;
};

class frmWave : public FetchingViewWindow {
    Q_OBJECT
public:
    explicit frmWave(QWidget* parent = nullptr);
    ~frmWave() override;

    // Width of the control column left of the picture's container, twips.
    static constexpr int PanelTwips = 1500;

    // Called again when the window is re-used for a view in another slot.
    void Form_Load() override;
    // A new view: indicator coloured, channel boxes laid out for the
    // instrument, the MATH box offered only while the MATH display is on.
    void PrepareNewView(int slot) override;
    // Four channel boxes 240 twips apart (LA shown), or three 360 twips
    // apart with the LA box hidden and disabled.
    void LayOutChannels(bool laPresent) override;
    void ColourProgress(bool colour) override;
    // One fetch of the view's record (job 6); false when nothing was fetched.
    bool LoadData();
    // Layout of picture, container and scroll bars, then a full redraw
    // (made when the picture is next painted or read).
    void Form_Resize() override;
    // Paints the whole picture again from the record (graticule, content)
    // into BasePicture, then the cursor pass, and shows it.
    void Redraw();
    // The picture is out of date: it is drawn again when it is next painted
    // or read (a window hidden under others draws nothing until it is seen).
    void RedrawWhenShown();
    // The shown picture, drawn first when it is out of date.
    const QImage& ShownPicture();
    // The cursor pass: cursors and readouts drawn over an off-screen copy of
    // BasePicture, which then becomes the shown picture in one step.
    void DrawCursor();
    // The options the picture is painted with now (zoom, live values, and
    // the cursors as an overlay that leaves the window's positions alone).
    WaveDrawOptions DrawOptions() const;
    // The readouts' options now (zoom, ON word, measurement name).
    ReadoutOptions CursorReadoutOptions() const;

    // Handlers, public so tests can drive them without a clock or a mouse
    // (the set-up tick Timer1_Timer, the pacing tick Timer2_Timer and
    // cmdRefresh_Click are the bases').
    void ChkCH_Click(int index);
    void GridCheck_Click();
    void OptionColor_Click(int index);
    void BestFitChk_Click();
    void ZoomCombo_Click();
    void ZoomCombo_Change();
    void HScroll_Change();
    void VScroll_Change();
    void ChkCursorX_Click();
    void ChkCursorY_Click();
    // Picture mouse events, in picture pixels; every button drags.
    void WavePic_MouseDown(double x, double y);
    void WavePic_MouseMove(double x, double y);
    void WavePic_MouseUp();
    // The picture as shown to a BMP file named in the save dialog.
    void cmdExport_Click();
    // The picture at factor 2.0 on a Letter page: preview, or print.
    void cmdPreview_Click();
    void cmdPrint_Click();

    // The record of the slot in the tag (nullptr when none).
    WaveInfo* Record() const;

    // Shows the loading percentage text in the progress panel.
    void ShowPercentText(const QString& text);
    void HideProgress();

    std::array<QCheckBox*, 4> ChkCH{};
    QCheckBox* GridCheck = nullptr;
    std::array<QRadioButton*, 2> OptionColor{};
    QCheckBox* BestFitChk = nullptr;
    QComboBox* ZoomCombo = nullptr;
    QCheckBox* ChkCursorX = nullptr;
    QCheckBox* ChkCursorY = nullptr;
    QScrollBar* HScroll = nullptr;
    QScrollBar* VScroll = nullptr;
    QWidget* BackPic = nullptr;
    WavePicture* WavePic = nullptr;
    QToolButton* cmdExport = nullptr;
    QToolButton* cmdPreview = nullptr;
    QToolButton* cmdPrint = nullptr;
    QFrame* picRefreshProgress = nullptr;
    QLabel* LblRefreshText = nullptr;
    QLabel* LblRefreshValue = nullptr;
    std::array<QGroupBox*, 5> Frames{};  // Frame1, Frame2(0), Frame6, Frame2(2), Frame2(1)

    // Per-window state.
    double ZoomFactor = 1.0;
    float ScrollRangeX = 0;
    int ScrollRangeY = 0;
    bool& LayoutPending = SetUpPending;
    // Set while SetUp ticks its boxes: each tick lays out, the one redraw
    // comes at the end.
    bool RedrawHeld = false;
    CursorState Cursors;  // positions, shown kinds, drags, last picture size
    // The picture without the overlay, as the last full redraw left it.
    QImage BasePicture;
    // Set when the picture waits for its redraw (see RedrawWhenShown).
    bool PictureStale = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool SetUpReady() const override { return Record() != nullptr; }
    void SetUp() override;
    void Tick() override;
    bool Fetch() override { return LoadData(); }
    void Form_Unload() override;

private:
    void colourBackground();
    void applyZoomText(const QString& text);
    void placeProgressPanel();
    void printPicture(bool print);
    bool zoomTextBusy_ = false;
};

// The waveform window of a slot when one exists (nullptr otherwise).
frmWave* WaveForm(int slot);

// What the window needs of higher layers, set by the composition root.
struct WaveViewHooks {
    // Puts the window's captions in the UI language on it (at load).
    std::function<void(QWidget* window)> ApplyCaptions;
};
WaveViewHooks& WaveViewUi();

// Links the waveform view into the application: the progress hooks of the
// transfer (percentage and hiding of the view's panel) and the window factory
// of the Wave kind.
void InstallWaveViewHooks();
