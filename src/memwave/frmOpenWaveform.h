#pragma once
// The window of a Memory Wave view: the deep-memory screen of the view's
// record with its settings panel (volts/div and time/div step buttons,
// Reset), display options, display zoom with scrolling, cursors, dragging,
// and the picture's export, preview and print. The drawing, hit tests,
// steps and panel placement are plain functions (memwave/paint); this class
// wires them to the controls and the record found through the window's tag.
#include <QImage>
#include <QWidget>
#include <array>

#include "common/SheetModel.h"
#include "sheets/ViewWindow.h"
#include "memwave/paint/MemWaveMouse.h"
#include "screen/WaveCursors.h"
#include "widgets/ZoomableScreen.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTimer;
class QToolButton;
class HoldRepeat;

class frmOpenWaveform : public ViewWindow {
    Q_OBJECT
public:
    explicit frmOpenWaveform(QWidget* parent = nullptr);
    ~frmOpenWaveform() override;

    // The public load procedure: zoom 200 %, cursors at their load
    // positions, the one-shot set-up (the base's Timer1) armed. Called again
    // on a window given another slot.
    void Form_Load() override;
    // A new view: the scale controls and the alternation frame hidden, the
    // refresh indicator coloured.
    void PrepareNewView(int slot) override;
    void ColourProgress(bool colour) override;
    // Layout of the picture's container, picture and scroll bars, cursors
    // rescaled to the picture's size, then a full redraw.
    void Form_Resize();
    // Grid, traces and markers into the shown picture, then the cursor pass.
    void RedrawScreen();
    // The cursor pass: the last cursors taken off the shown picture, the
    // shown ones drawn again.
    void DrawCursor();

    // Handlers, public so tests can drive them without a clock or a mouse.
    void FlatBttn1_Click();  // Open
    bool OpenWaveformFile(const QString& path);
    void GridCheck_Click();
    void OptionColor_Click(int index);
    void Reset_Click();
    void ChkCursorX_Click();
    void ChkCursorY_Click();
    void ZoomCombo_Click();
    void ZoomCombo_Change();
    void HScroll_Change();
    void VScroll_Change();
    // A step button of a group (MemWaveStepGroup) pressed, repeated, released.
    void StepPress(int group, int direction);
    void Timer2_Timer();
    void StepRelease();
    // Names the step buttons and value boxes for screen readers in the
    // language (0 Chinese, else English); a language switch calls it again.
    void NameStepControls(int lang);
    void MemoryWavePic_MouseDown(double x, double y);
    void MemoryWavePic_MouseMove(double x, double y);
    void MemoryWavePic_MouseUp();
    void FlatBttn4_Click();    // BMP export
    void cmdPreview_Click();
    void cmdPrint_Click();
    void FlatBttn3_Click();    // CSV export
    // Places and fills the settings panel from the record.
    void ArrangePanel();

    MemWaveInfo* Record() const;

    // Controls (names as the sheet and the caption procedures reach them).
    QGroupBox* Frame1 = nullptr;
    QToolButton* FlatBttn1 = nullptr;
    std::array<QGroupBox*, 3> Frame2{};  // Display, Output, Cursor
    QCheckBox* GridCheck = nullptr;
    std::array<QRadioButton*, 2> OptionColor{};
    QGroupBox* Frame6 = nullptr;
    QComboBox* ZoomCombo = nullptr;
    QCheckBox* ChkCursorX = nullptr;
    QCheckBox* ChkCursorY = nullptr;
    QToolButton* cmdPreview = nullptr;
    QToolButton* cmdPrint = nullptr;
    QToolButton* FlatBttn3 = nullptr;
    QToolButton* FlatBttn4 = nullptr;
    // The picture's container, the picture and the scroll bars (Screen's).
    ZoomableScreen* Screen = nullptr;
    QWidget* BackPic = nullptr;
    ScreenPicture* MemoryWavePic = nullptr;
    QScrollBar* HScroll = nullptr;
    QScrollBar* VScroll = nullptr;
    QFrame* framRefresh = nullptr;
    QFrame* framVoltDiv = nullptr;
    QFrame* framTimeDiv = nullptr;
    QFrame* framAltTimeDiv = nullptr;
    QPushButton* Reset = nullptr;
    QLabel* lblCH1 = nullptr;
    QLineEdit* txtCH1Div = nullptr;
    QToolButton* abtnCH1DivDec = nullptr;
    QToolButton* abtnCH1DivInc = nullptr;
    QLabel* lblCH2 = nullptr;
    QLineEdit* txtCH2Div = nullptr;
    QToolButton* abtnCH2DivDec = nullptr;
    QToolButton* abtnCH2DivInc = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* txtTimeDiv = nullptr;
    QToolButton* abtnTimeDivDec = nullptr;
    QToolButton* abtnTimeDivInc = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* txtCH1TimeDiv = nullptr;
    QToolButton* abtnCH1TimeDivDec = nullptr;
    QToolButton* abtnCH1TimeDivInc = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* txtCH2TimeDiv = nullptr;
    QToolButton* abtnCH2TimeDivDec = nullptr;
    QToolButton* abtnCH2TimeDivInc = nullptr;
    QFrame* picRefreshProgress = nullptr;
    QLabel* LblRefreshText = nullptr;
    QLabel* LblRefreshValue = nullptr;
    QTimer* Timer2 = nullptr;
    HoldRepeat* Hold = nullptr;

    // Per-window state.
    bool Initialising = true;
    double ZoomFactor = 1.0;
    float HScrollRange = 0;
    int VScrollRange = 0;
    int StepGroup = 0;
    int StepDirection = 0;
    // Cursor positions, shown kinds, drags and this window's previous
    // picture size (kept per window: another window's resize never moves them).
    CursorState Cursors;
    MemWaveMouse Mouse;
    int Pointer = 0;  // the picture's pointer shape (MemWavePointer)
    // What the cursors drawn on the shown picture cover.
    CursorOverlayPicture Overlay;

protected:
    // The one-shot set-up: the record's options onto the controls, the panel
    // arranged and the record re-zoomed when it holds a file, then the layout.
    void SetUp() override;
    void Form_Unload() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void applyZoomText(const QString& text);
    void showSettings();
    void setPointer(int shape);
    void printPicture(bool print);
    bool zoomTextBusy_ = false;
};

// Registers the Memory Wave views' window factory with the window registry.
void RegisterMemoryWaveWindow();
