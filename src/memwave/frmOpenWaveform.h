#pragma once
// The window of a Memory Wave view. Its own content (the deep-memory screen,
// zoom, cursors, file loading) comes with the memory-waveform subsystem;
// until then it shows the view's name and says so. It carries the controls
// that adding a view reaches: the scale controls, the alternation time-base
// frame and the refresh indicator.
#include "sheets/PlaceholderView.h"

class QFrame;
class QLabel;
class QLineEdit;
class QToolButton;

class frmOpenWaveform : public PlaceholderViewWindow {
    Q_OBJECT
public:
    explicit frmOpenWaveform(QWidget* parent = nullptr);

    // A new view: the scale controls and the alternation frame hidden, the
    // refresh indicator coloured.
    void PrepareNewView(int slot) override;
    void ColourProgress(bool colour) override;

    QLineEdit* txtCH1Div = nullptr;
    QToolButton* abtnCH1DivDec = nullptr;
    QToolButton* abtnCH1DivInc = nullptr;
    QLabel* lblCH1 = nullptr;
    QLineEdit* txtCH2Div = nullptr;
    QToolButton* abtnCH2DivDec = nullptr;
    QToolButton* abtnCH2DivInc = nullptr;
    QLabel* lblCH2 = nullptr;
    QLineEdit* txtTimeDiv = nullptr;
    QToolButton* abtnTimeDivDec = nullptr;
    QToolButton* abtnTimeDivInc = nullptr;
    QLabel* Label4 = nullptr;
    QFrame* framAltTimeDiv = nullptr;
    QFrame* picRefreshProgress = nullptr;
    QLabel* LblRefreshText = nullptr;
    QLabel* LblRefreshValue = nullptr;
};

// Registers the Memory Wave views' window factory with the window registry.
void RegisterMemoryWaveWindow();
