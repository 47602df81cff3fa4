#include "waveview/frmWave.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

#include "common/DSOSettings.h"
#include "widgets/EditableCombo.h"
#include "widgets/FlatButton.h"
#include "widgets/StandardIcons.h"
#include "common/ShellState.h"
#include "common/Twips.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/ScaleSteps.h"
#include "link/TransferJobs.h"
#include "link/Vocabulary.h"
#include "sheets/ViewWindows.h"
#include "platform/cursor/CursorDC.h"
#include "platform/dialogs/MsgBox.h"
#include "platform/print/PictureOutput.h"
#include "platform/print/PrintDocs.h"
#include "platform/mouse/MouseControl.h"
#include "sheets/ViewRefresh.h"
#include "waveview/WaveReadouts.h"

namespace {
constexpr int px(int twips) { return TwipsToPixels(twips); }
// Top of the first control in a frame of the control column, clear of the
// frame's title (twips).
constexpr int FirstRow = 270;

const char* const ChannelCaptions[4] = {"CH1", "CH2", "Math", "LA"};

// A display setting shows its channel: the ON word of either language, so a
// setting held in the other language's word still counts.
bool displayOn(const QString& setting) {
    return setting == ValueWord(vwOn) || IsOnWordOfEitherLanguage(setting);
}

QString channelDisplay(int index) {
    const CtrlSettings& s = DSOSettings();
    switch (index) {
        case 0: return s.CH1Display;
        case 1: return s.CH2Display;
        case 2: return s.MathDisplay;
        default: return s.LADisplay;
    }
}

bool& chosen(WaveInfo& r, int index) {
    switch (index) {
        case 0: return r.Ch1Chosen;
        case 1: return r.Ch2Chosen;
        case 2: return r.MathChosen;
        default: return r.LaChosen;
    }
}

// Sets a check box from code: its handler runs as for a click when the state changes.
void setChecked(QAbstractButton* b, bool on) { b->setChecked(on); }
}  // namespace

// ---------------------------------------------------------------------------

frmWave::frmWave(QWidget* parent) : FetchingViewWindow(ViewWave, "frmWave", parent) {
    resize(px(9600), px(6200));  // tall enough for the whole side panel

    const int left = px(60), width = px(frmWave::PanelTwips - 100);
    auto frame = [&](const char* name, int top, int height) {
        auto* f = new QGroupBox(this);
        f->setObjectName(name);
        f->setGeometry(left, top, width, height);
        return f;
    };
    Frames[0] = frame("Frame1", px(60), px(720));
    SetRefreshButton(MakeFlatButton(Frames[0], "cmdRefresh", "Refresh", QStyle::SP_BrowserReload));
    cmdRefresh->setGeometry(px(60), px(FirstRow), px(PanelTwips - 220), px(420));

    Frames[1] = frame("Frame2(0)", px(790), px(2070));
    for (int i = 0; i < 4; ++i) {
        auto* c = new QCheckBox(QString::fromLatin1(ChannelCaptions[i]), Frames[1]);
        c->setObjectName(QString("ChkCH(%1)").arg(i));
        c->setGeometry(px(90), px(FirstRow + 260 * i), px(PanelTwips - 220), px(250));
        connect(c, &QCheckBox::toggled, this, [this, i] { ChkCH_Click(i); });
        ChkCH[size_t(i)] = c;
    }
    for (int i = 0; i < 2; ++i) {
        auto* o = new QRadioButton(i == 0 ? "Color" : "B&&W", Frames[1]);
        o->setObjectName(QString("OptionColor(%1)").arg(i));
        o->setGeometry(px(90), px(1350 + 230 * i), px(PanelTwips - 220), px(230));
        connect(o, &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) OptionColor_Click(i);
        });
        OptionColor[size_t(i)] = o;
    }
    GridCheck = new QCheckBox("Grid", Frames[1]);
    GridCheck->setObjectName("GridCheck");
    GridCheck->setGeometry(px(90), px(1810), px(PanelTwips - 220), px(230));
    connect(GridCheck, &QCheckBox::toggled, this, &frmWave::GridCheck_Click);

    Frames[2] = frame("Frame6", px(2890), px(920));
    ZoomCombo = new QComboBox(Frames[2]);
    ZoomCombo->setObjectName("ZoomCombo");
    MakeEditable(ZoomCombo);
    ZoomCombo->setInsertPolicy(QComboBox::NoInsert);
    ZoomCombo->setGeometry(px(60), px(FirstRow), px(PanelTwips - 220), px(300));
    connect(ZoomCombo, QOverload<int>::of(&QComboBox::activated), this, &frmWave::ZoomCombo_Click);
    // A typed factor counts once it is entered (Enter or leaving the box).
    connect(ZoomCombo->lineEdit(), &QLineEdit::editingFinished, this, &frmWave::ZoomCombo_Change);
    BestFitChk = new QCheckBox("Best Fit", Frames[2]);
    BestFitChk->setObjectName("BestFitChk");
    BestFitChk->setGeometry(px(90), px(620), px(PanelTwips - 220), px(250));
    connect(BestFitChk, &QCheckBox::toggled, this, &frmWave::BestFitChk_Click);

    Frames[3] = frame("Frame2(2)", px(3840), px(800));
    ChkCursorX = new QCheckBox("CursorX", Frames[3]);
    ChkCursorX->setObjectName("ChkCursorX");
    ChkCursorX->setGeometry(px(90), px(FirstRow), px(PanelTwips - 220), px(250));
    ChkCursorY = new QCheckBox("CursorY", Frames[3]);
    ChkCursorY->setObjectName("ChkCursorY");
    ChkCursorY->setGeometry(px(90), px(FirstRow + 250), px(PanelTwips - 220), px(250));
    connect(ChkCursorX, &QCheckBox::toggled, this, &frmWave::ChkCursorX_Click);
    connect(ChkCursorY, &QCheckBox::toggled, this, &frmWave::ChkCursorY_Click);

    Frames[4] = frame("Frame2(1)", px(4670), px(1500));
    cmdExport = MakeFlatButton(Frames[4], "cmdExport", "Export", QStyle::SP_DialogSaveButton);
    cmdPreview = MakeFlatButton(Frames[4], "cmdPreview", "Preview", QStyle::SP_FileDialogContentsView);
    cmdPrint = MakeFlatButton(Frames[4], "cmdPrint", "Print", QStyle::SP_FileIcon);
    int top = px(FirstRow);
    for (QToolButton* b : {cmdExport, cmdPreview, cmdPrint}) {
        b->setGeometry(px(60), top, px(PanelTwips - 220), px(380));
        top += px(400);
    }
    connect(cmdExport, &QToolButton::clicked, this, &frmWave::cmdExport_Click);
    connect(cmdPreview, &QToolButton::clicked, this, &frmWave::cmdPreview_Click);
    connect(cmdPrint, &QToolButton::clicked, this, &frmWave::cmdPrint_Click);

    // Before the first layout: the cursors' load values sit at their places for zoom 1.
    Screen = new ZoomableScreen(this, "WavePic", QSize(350, 250), px(255));
    BackPic = Screen->BackPic;
    WavePic = Screen->Pic;
    HScroll = Screen->HScroll;
    VScroll = Screen->VScroll;
    WavePic->BeforePaint = [this] { ShownPicture(); };
    Screen->MouseDown = [this](double x, double y) { WavePic_MouseDown(x, y); };
    Screen->MouseMove = [this](double x, double y) { WavePic_MouseMove(x, y); };
    Screen->MouseUp = [this] { WavePic_MouseUp(); };

    picRefreshProgress = new QFrame(BackPic);
    picRefreshProgress->setObjectName("picRefreshProgress");
    picRefreshProgress->setAutoFillBackground(true);
    picRefreshProgress->resize(110, 16);
    LblRefreshText = new QLabel("Refreshing", picRefreshProgress);
    LblRefreshText->setObjectName("LblRefreshText");
    LblRefreshText->setGeometry(2, 0, 70, 16);
    LblRefreshValue = new QLabel(picRefreshProgress);
    LblRefreshValue->setObjectName("LblRefreshValue");
    LblRefreshValue->setGeometry(74, 0, 34, 16);
    LblRefreshValue->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ColourProgress(true);

    // The picture follows the thumb; the progress panel follows when the value settles.
    connect(HScroll, &QScrollBar::valueChanged, this, &frmWave::HScroll_Change);
    connect(VScroll, &QScrollBar::valueChanged, this, &frmWave::VScroll_Change);
    connect(HScroll, &QScrollBar::sliderReleased, this, &frmWave::placeProgressPanel);
    connect(VScroll, &QScrollBar::sliderReleased, this, &frmWave::placeProgressPanel);

    Form_Load();
}

frmWave::~frmWave() { UnloadOnce(); }

WaveInfo* frmWave::Record() const { return RecordAs<WaveInfo>(); }

frmWave* WaveForm(int slot) { return qobject_cast<frmWave*>(ExistingViewForm(ViewWave, slot)); }

// ---------------------------------------------------------------------------
// Load, ticks, close.

void frmWave::Form_Load() {
    FetchingViewWindow::Form_Load();
    ZoomFactor = 1.0;
    {
        const QSignalBlocker block(ZoomCombo);
        ZoomCombo->clear();
        ZoomCombo->addItems(ZoomChoices());
        ZoomCombo->setCurrentIndex(DefaultZoomIndex);
    }
    ZoomCombo_Click();  // choosing the default entry runs the zoom-text rule
    Cursors = CursorState();
    picRefreshProgress->hide();
    if (WaveViewUi().ApplyCaptions) WaveViewUi().ApplyCaptions(this);
    if (const WaveInfo* r = Record()) setWindowTitle(r->Name);
    Cursors.PrevPicWidth = WavePic->width();
    Cursors.PrevPicHeight = CursorRow(WavePic->height());
}

void frmWave::PrepareNewView(int) {
    ColourProgress(true);
    LayOutChannels(Link().LAPresent);
    QCheckBox* math = ChkCH[2];
    const QString& mathWord = DSOSettings().MathDisplay;
    if (!mathWord.isEmpty() && mathWord == ValueWord(vwOn)) {
        math->setEnabled(true);
    } else {
        math->setEnabled(false);
        math->setChecked(false);
    }
}

void frmWave::LayOutChannels(bool laPresent) {
    const int t = ChkCH[0]->y();
    const int step = px(laPresent ? 240 : 360);
    ChkCH[1]->move(ChkCH[1]->x(), t + step);
    ChkCH[2]->move(ChkCH[2]->x(), t + 2 * step);
    if (laPresent) {
        ChkCH[3]->setVisible(true);
    } else {
        ChkCH[3]->setVisible(false);
        ChkCH[3]->setEnabled(false);
    }
}

void frmWave::SetUp() {
    WaveInfo* r = Record();
    const bool modified = Sheets().SheetModified;
    setWindowTitle(r->Name);
    RedrawHeld = true;
    for (int i = 0; i < 4; ++i)
        if (chosen(*r, i)) {
            ChkCH[size_t(i)]->setEnabled(true);
            setChecked(ChkCH[size_t(i)], true);
        }
    setChecked(BestFitChk, r->BestFit);
    ZoomCombo->setEnabled(!r->BestFit);
    setChecked(GridCheck, r->ShowGrid);
    setChecked(OptionColor[r->ColorDisplay ? 0 : 1], true);
    setChecked(ChkCursorX, Cursors.XOn);
    setChecked(ChkCursorY, Cursors.YOn);
    RedrawHeld = false;
    Form_Resize();
    Sheets().SheetModified = modified;
}

void frmWave::Tick() {
    WaveInfo* r = Record();
    if (!r) return;
    for (int i = 0; i < 4; ++i) {
        QCheckBox* box = ChkCH[size_t(i)];
        if (!displayOn(channelDisplay(i))) {
            box->setEnabled(false);
            setChecked(box, false);
            chosen(*r, i) = false;
        } else {
            box->setEnabled(true);
        }
    }
    if (std::none_of(ChkCH.begin(), ChkCH.end(), [](QCheckBox* b) { return b->isChecked(); })) {
        for (int i = 0; i < 4; ++i)
            if (ChkCH[size_t(i)]->isEnabled()) {
                setChecked(ChkCH[size_t(i)], true);
                chosen(*r, i) = true;
                break;
            }
    }
    for (int i : {1, 0})
        if (chosen(*r, i) && !ChkCH[size_t(i)]->isChecked() && ChkCH[size_t(i)]->isEnabled())
            setChecked(ChkCH[size_t(i)], true);
}

void frmWave::Form_Unload() {
    FetchingViewWindow::Form_Unload();
    PrintDocs().WavePrintDoc.reset();
    FreeCursorDC();
}

// ---------------------------------------------------------------------------
// Display options.

void frmWave::ChkCH_Click(int index) {
    WaveInfo* r = Record();
    if (!r || index < 0 || index > 3) return;
    QCheckBox* box = ChkCH[size_t(index)];
    if (Transfer().TransferBusy) {
        if (box->isChecked() != chosen(*r, index)) setChecked(box, chosen(*r, index));
        return;
    }
    chosen(*r, index) = box->isEnabled() && box->isChecked();
}

void frmWave::GridCheck_Click() {
    WaveInfo* r = Record();
    if (!r) return;
    r->ShowGrid = GridCheck->isChecked();
    Sheets().SheetModified = true;
    Form_Resize();
}

void frmWave::OptionColor_Click(int) {
    WaveInfo* r = Record();
    if (!r) return;
    const bool colour = OptionColor[0]->isChecked();
    if (r->ColorDisplay != colour) {
        r->ColorDisplay = colour;
        ColourProgress(colour);
    }
    Sheets().SheetModified = true;
    Form_Resize();
}

void frmWave::ColourProgress(bool colour) {
    ColourRefreshIndicator(picRefreshProgress, LblRefreshText, LblRefreshValue, colour);
    picRefreshProgress->repaint();
}

void frmWave::ShowPercentText(const QString& text) {
    LblRefreshValue->setText(text);
    LblRefreshValue->repaint();
}

void frmWave::HideProgress() { picRefreshProgress->hide(); }

// ---------------------------------------------------------------------------
// Zoom.

void frmWave::applyZoomText(const QString& text) {
    ApplyZoomBox(
        ZoomCombo, text, zoomTextBusy_,
        [this](const QString& t) { return ApplyZoomTextShown(t, ZoomFactor, QApplication::applicationName()); },
        [this] { Form_Resize(); });
}

void frmWave::ZoomCombo_Click() { applyZoomText(ZoomCombo->currentText()); }

void frmWave::ZoomCombo_Change() { applyZoomText(ZoomCombo->currentText()); }

void frmWave::BestFitChk_Click() {
    WaveInfo* r = Record();
    if (!r) return;
    r->BestFit = BestFitChk->isChecked();
    ZoomCombo->setEnabled(!r->BestFit);
    Sheets().SheetModified = true;
    if (r->BestFit) Form_Resize();
}

// ---------------------------------------------------------------------------
// Layout, panning, drawing.

void frmWave::Form_Resize() {
    Screen->ResetPan();
    const int bw = width() - px(PanelTwips), bh = height() - px(100);
    if (bw >= 0 && bh >= 0) BackPic->setGeometry(px(PanelTwips), px(100), bw, bh);

    const WaveInfo* r = Record();
    if (!LayoutPending && r) {
        if (r->BestFit) {
            HScroll->hide();
            VScroll->hide();
            ZoomFactor = BestFitZoom(BackPic->width(), BackPic->height());
            ZoomCombo->setEnabled(false);
            const QSignalBlocker block(ZoomCombo);
            ZoomCombo->setEditText(ZoomText(ZoomFactor));
            const WaveGeometry g(ZoomFactor);
            WavePic->resize(g.PictureWidth(), g.PictureHeight());
        } else {
            const WaveGeometry g(ZoomFactor);
            WavePic->resize(g.PictureWidth(), g.PictureHeight());
            const ScrollLayout s = ComputeScrollLayout(WavePic->width(), WavePic->height(),
                                                       BackPic->width(), BackPic->height());
            const QRect b = BackPic->geometry();
            const int hLeft = b.left() + px(20), hTop = b.top() + b.height() - px(280);
            const int vLeft = b.left() + b.width() - px(280), vTop = b.top() + px(20);
            if (s.wide) ScrollRangeX = s.rangeX;
            if (s.tall) ScrollRangeY = s.rangeY;
            ZoomableScreen::ShowBar(
                HScroll, s.wide,
                QRect(hLeft, hTop, b.width() - px(40) - (s.tall ? px(250) : 0), HScroll->height()),
                s.largeStepX);
            ZoomableScreen::ShowBar(
                VScroll, s.tall,
                QRect(vLeft, vTop, VScroll->width(), b.height() - px(45) - (s.wide ? px(250) : 0)),
                s.largeStepY);
        }
    }
    placeProgressPanel();
    RescaleCursors(Cursors, WavePic->width(), WavePic->height());
    if (!LayoutPending && !RedrawHeld) RedrawWhenShown();
}

void frmWave::placeProgressPanel() {
    const int left = WavePic->x() + 25 + Near(300 * ZoomFactor) - picRefreshProgress->width() + 7;
    const int top = WavePic->y() + 25 - picRefreshProgress->height() - 1;
    picRefreshProgress->move(left, top);
    picRefreshProgress->raise();
    picRefreshProgress->update();
}

void frmWave::HScroll_Change() {
    WavePic->move(PanLeft(HScroll->value(), ScrollRangeX), WavePic->y());
    if (!HScroll->isSliderDown()) placeProgressPanel();
}

void frmWave::VScroll_Change() {
    WavePic->move(WavePic->x(), PanTop(VScroll->value(), ScrollRangeY));
    if (!VScroll->isSliderDown()) placeProgressPanel();
}

WaveDrawOptions frmWave::DrawOptions() const {
    WaveDrawOptions o = CurrentWaveDrawOptions(ZoomFactor);
    const WaveInfo* r = Record();
    if (!r) return o;
    const QFont font = o.Font;
    o.Overlay = [s = Cursors, r, ro = CursorReadoutOptions(), on = o.OnWord,
                 font](QPainter& p, const WaveGeometry& g) mutable {
        ro.Zoom = g.Zoom;
        DrawCursorOverlay(p, s, WaveReadouts(*r, on), ro, CursorColoursFor(r->ColorDisplay), font);
    };
    return o;
}

ReadoutOptions frmWave::CursorReadoutOptions() const {
    ReadoutOptions o;
    o.Zoom = ZoomFactor;
    o.VrmsName = Vocabulary().MeasureNames[5];
    return o;
}

void frmWave::RedrawWhenShown() {
    PictureStale = true;
    // The container around the picture takes its colour at once.
    colourBackground();
    WavePic->update();
}

const QImage& frmWave::ShownPicture() {
    if (PictureStale) Redraw();
    return WavePic->Picture;
}

void frmWave::Redraw() {
    PictureStale = false;
    const WaveInfo* r = Record();
    if (!r) return;
    const WaveGeometry g(ZoomFactor);
    if (BasePicture.size() != QSize(g.PictureWidth(), g.PictureHeight()))
        BasePicture = QImage(std::max(1, g.PictureWidth()), std::max(1, g.PictureHeight()),
                             QImage::Format_RGB32);
    {
        WaveDrawOptions o = DrawOptions();
        o.Overlay = nullptr;
        QPainter p(&BasePicture);
        PaintWaveView(p, *r, o);
    }
    colourBackground();
    DrawCursor();
}

void frmWave::colourBackground() {
    const WaveInfo* r = Record();
    if (!r) return;
    Screen->SetBackground(r->ColorDisplay);
}

void frmWave::DrawCursor() {
    const WaveInfo* r = Record();
    if (!r) return;
    const CursorColours c = CursorColoursFor(r->ColorDisplay);
    QPainter& p = CreateCursorDC(BasePicture, c);
    DrawCursorOverlay(p, Cursors, WaveReadouts(*r, ValueWord(vwOn)), CursorReadoutOptions(), c,
                      CurrentWaveDrawOptions(ZoomFactor).Font);
    WavePic->Picture = CopyBackCursorDC();
    FreeCursorDC();
    WavePic->update();
}

// ---------------------------------------------------------------------------
// Cursors.

void frmWave::ChkCursorX_Click() {
    Cursors.XOn = ChkCursorX->isChecked();
    Form_Resize();
}

void frmWave::ChkCursorY_Click() {
    Cursors.YOn = ChkCursorY->isChecked();
    Form_Resize();
}

void frmWave::WavePic_MouseDown(double x, double y) {
    const WaveInfo* r = Record();
    if (!r) return;
    CursorMouseDown(Cursors, r->SplitDisplay, ZoomFactor, x, y);
}

void frmWave::WavePic_MouseMove(double x, double y) {
    const WaveInfo* r = Record();
    if (!r) return;
    const CursorMoveResult m = CursorMouseMove(Cursors, r->SplitDisplay, ZoomFactor, x, y);
    // Only the cursor layer changes: graticule and traces stay in BasePicture.
    if (m.redraw && !LayoutPending) {
        if (PictureStale) Redraw();
        else DrawCursor();
    }
    MouseControl::SetCursor(m.shape);
}

void frmWave::WavePic_MouseUp() { CursorMouseUp(Cursors); }

// ---------------------------------------------------------------------------
// Export, preview, print.

void frmWave::cmdExport_Click() { ExportPictureBmp(ShownPicture(), this); }

void frmWave::cmdPreview_Click() { printPicture(false); }

void frmWave::cmdPrint_Click() { printPicture(true); }

void frmWave::printPicture(bool print) {
    DrawForPrint(ZoomFactor, Cursors, !LayoutPending, Screen->PrintSize(), [this] { Redraw(); },
                 Screen->PrintOutput([this, print](const QImage& picture) {
                     PreviewOrPrintPicture(picture, PrintSlot::Wave, print, this);
                 }));
    Form_Resize();
}

// ---------------------------------------------------------------------------
// Refresh.

bool frmWave::LoadData() {
    WaveInfo* r = Record();
    if (!r) return false;
    if (!r->Ch1Chosen && !r->Ch2Chosen && !r->MathChosen && !r->LaChosen) return false;
    const int slot = Slot();
    QPointer<frmWave> self(this);
    const auto showProgress = [self, slot] {
        if (self) {
            self->placeProgressPanel();
            self->picRefreshProgress->show();
        }
        Transfer().WavePercent = 1;
        ShowWavePercentOf(slot);
    };
    if (!RunFetchJob(JobWaveView, "波形数据数据下载中...", "Waveform Data Loading...", false, slot, showProgress))
        return false;
    r = Record();
    if (!r) return false;
    r->HasData = true;
    Sheets().SheetModified = true;
    Form_Resize();
    return true;
}

// ---------------------------------------------------------------------------

WaveViewHooks& WaveViewUi() {
    static WaveViewHooks h;
    return h;
}

void InstallWaveViewHooks() {
    SetViewFormFactory(ViewWave, [](int) -> QWidget* { return new frmWave; });
    TransferUi().HideWaveProgress = [](int slot) {
        if (frmWave* f = WaveForm(slot)) f->HideProgress();
    };
    WavePercentUi().ShowText = [](int slot, const QString& text) {
        if (auto* f = qobject_cast<frmWave*>(ViewForm(ViewWave, slot))) f->ShowPercentText(text);
    };
}
