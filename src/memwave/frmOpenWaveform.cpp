#include "memwave/frmOpenWaveform.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

#include "common/ShellState.h"
#include "common/Twips.h"
#include "link/Messages.h"
#include "memwave/MemWaveCsvExport.h"
#include "memwave/MemWaveLiveOptions.h"
#include "memwave/model/WaveformFile.h"
#include "memwave/model/ZoomEngine.h"
#include "memwave/paint/MemWavePaint.h"
#include "memwave/paint/MemWaveReadouts.h"
#include "memwave/paint/MemWaveSteps.h"
#include "platform/dialogs/FileDialog.h"
#include "platform/dialogs/MsgBox.h"
#include "platform/print/PictureOutput.h"
#include "platform/print/PrintDocs.h"
#include "screen/WaveGeometry.h"
#include "sheets/SheetDocument.h"
#include "sheets/ViewWindows.h"
#include "widgets/EditableCombo.h"
#include "widgets/FlatButton.h"
#include "widgets/HoldRepeat.h"

namespace {
constexpr int px(int twips) { return TwipsToPixels(twips); }

// The picture's size before the first layout: its design size.
constexpr int DesignPicWidth = 343, DesignPicHeight = 305;
// Top of the first control in a frame of the left column, clear of the
// frame's title (twips).
constexpr int FirstRow = 270;

Qt::CursorShape pointerShape(int code) {
    switch (code) {
        case PointerUpDown: return Qt::SizeVerCursor;
        case PointerLeftRight: return Qt::SizeHorCursor;
        case PointerOpenHand: return Qt::OpenHandCursor;
        case PointerClosedHand: return Qt::ClosedHandCursor;
        default: return Qt::ArrowCursor;
    }
}

// Step button keys for the hold repeat: group x 2, + 1 for the Inc button.
int stepKey(int group, int direction) { return group * 2 + (direction > 0 ? 1 : 0); }
}  // namespace

// ---------------------------------------------------------------------------

frmOpenWaveform::frmOpenWaveform(QWidget* parent)
    : ViewWindow(ViewMemoryWave, "frmOpenWaveform", 0, parent) {
    setWindowTitle("Memory Wave");
    setAttribute(Qt::WA_DeleteOnClose);
    resize(px(12720), px(8745));

    auto group = [&](QWidget* parent, const char* name, const QString& title, int l, int t, int w,
                     int h) {
        auto* g = new QGroupBox(title, parent);
        g->setObjectName(name);
        g->setGeometry(px(l), px(t), px(w), px(h));
        return g;
    };
    // Left column: Open, Display, Cursor, Output.
    Frame1 = group(this, "Frame1", "Open", 60, 60, 1140, 720);
    FlatBttn1 = MakeFlatButton(Frame1, "FlatBttn1", " File", QStyle::SP_DialogOpenButton);
    FlatBttn1->setGeometry(px(60), px(FirstRow), px(1020), px(420));
    connect(FlatBttn1, &QToolButton::clicked, this, &frmOpenWaveform::FlatBttn1_Click);

    Frame2[0] = group(this, "Frame2(0)", "Display", 60, 840, 1140, 2050);
    GridCheck = new QCheckBox("  Grid", Frame2[0]);
    GridCheck->setObjectName("GridCheck");
    GridCheck->setChecked(true);
    GridCheck->setGeometry(px(90), px(FirstRow), px(960), px(250));
    connect(GridCheck, &QCheckBox::toggled, this, &frmOpenWaveform::GridCheck_Click);
    auto* frame3 = new QFrame(Frame2[0]);
    frame3->setObjectName("Frame3");
    frame3->setGeometry(px(60), px(550), px(1020), px(520));
    for (int i = 0; i < 2; ++i) {
        auto* o = new QRadioButton(i == 0 ? "Color" : "B&&W", frame3);
        o->setObjectName(QString("OptionColor(%1)").arg(i));
        o->setGeometry(px(30), px(20 + 250 * i), px(960), px(240));
        connect(o, &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) OptionColor_Click(i);
        });
        OptionColor[size_t(i)] = o;
    }
    OptionColor[0]->setChecked(true);
    Frame6 = group(Frame2[0], "Frame6", "Zoom", 60, 1150, 1020, 800);
    ZoomCombo = new QComboBox(Frame6);
    ZoomCombo->setObjectName("ZoomCombo");
    MakeEditable(ZoomCombo);
    ZoomCombo->setInsertPolicy(QComboBox::NoInsert);
    ZoomCombo->setEnabled(false);  // until the set-up
    ZoomCombo->setGeometry(px(60), px(280), px(900), px(330));
    connect(ZoomCombo, QOverload<int>::of(&QComboBox::activated), this,
            &frmOpenWaveform::ZoomCombo_Click);
    connect(ZoomCombo->lineEdit(), &QLineEdit::editingFinished, this,
            &frmOpenWaveform::ZoomCombo_Change);

    Frame2[2] = group(this, "Frame2(2)", "Cursor", 60, 2950, 1140, 800);
    ChkCursorX = new QCheckBox("CursorX", Frame2[2]);
    ChkCursorX->setObjectName("ChkCursorX");
    ChkCursorX->setGeometry(px(60), px(FirstRow), px(1050), px(250));
    ChkCursorY = new QCheckBox("CursorY", Frame2[2]);
    ChkCursorY->setObjectName("ChkCursorY");
    ChkCursorY->setGeometry(px(60), px(FirstRow + 250), px(1050), px(250));
    connect(ChkCursorX, &QCheckBox::toggled, this, &frmOpenWaveform::ChkCursorX_Click);
    connect(ChkCursorY, &QCheckBox::toggled, this, &frmOpenWaveform::ChkCursorY_Click);

    Frame2[1] = group(this, "Frame2(1)", "Output", 60, 3810, 1140, 1900);
    cmdPreview = MakeFlatButton(Frame2[1], "cmdPreview", "     Preview", QStyle::SP_FileDialogContentsView);
    cmdPrint = MakeFlatButton(Frame2[1], "cmdPrint", "       Print", QStyle::SP_FileIcon);
    FlatBttn3 = MakeFlatButton(Frame2[1], "FlatBttn3", "       CSV", QStyle::SP_FileDialogDetailedView);
    FlatBttn4 = MakeFlatButton(Frame2[1], "FlatBttn4", "       Bitmap", QStyle::SP_DialogSaveButton);
    int top = FirstRow;
    for (QToolButton* b : {FlatBttn4, FlatBttn3, cmdPreview, cmdPrint}) {
        b->setGeometry(px(30), px(top), px(1065), px(380));
        top += 400;
    }
    connect(FlatBttn4, &QToolButton::clicked, this, &frmOpenWaveform::FlatBttn4_Click);
    connect(FlatBttn3, &QToolButton::clicked, this, &frmOpenWaveform::FlatBttn3_Click);
    connect(cmdPreview, &QToolButton::clicked, this, &frmOpenWaveform::cmdPreview_Click);
    connect(cmdPrint, &QToolButton::clicked, this, &frmOpenWaveform::cmdPrint_Click);

    // Settings panel above the picture.
    framRefresh = new QFrame(this);
    framRefresh->setObjectName("framRefresh");
    framRefresh->setFrameShape(QFrame::StyledPanel);
    framRefresh->setGeometry(px(1290), px(90), px(10815), px(795));
    auto frame = [](QWidget* parent, const char* name, int l, int t, int w, int h) {
        auto* f = new QFrame(parent);
        f->setObjectName(name);
        f->setFrameShape(QFrame::StyledPanel);
        f->setGeometry(px(l), px(t), px(w), px(h));
        return f;
    };
    framVoltDiv = frame(framRefresh, "framVoltDiv", 90, 120, 4785, 555);
    framTimeDiv = frame(framRefresh, "framTimeDiv", 4920, 120, 2895, 555);
    framAltTimeDiv = frame(this, "framAltTimeDiv", 6210, 210, 4815, 555);
    Hold = new HoldRepeat(this, Timer2 = new QTimer(this));
    Timer2->setObjectName("Timer2");
    Hold->SetTiming(200, 200);
    Hold->SetStep([this](int key, int ticks) {
        if (ticks == 0)
            StepPress(key / 2, (key & 1) ? 1 : -1);
        else
            Timer2_Timer();
    });
    auto row = [&](QWidget* parent, QLabel*& label, QLineEdit*& box, QToolButton*& dec,
                   QToolButton*& inc, const char* labelName, const QString& caption,
                   const char* boxName, const char* decName, const char* incName, int group,
                   int labelLeft, int boxLeft, int boxWidth, int decLeft, int incLeft) {
        label = new QLabel(caption, parent);
        label->setObjectName(labelName);
        label->setGeometry(px(labelLeft), px(240), px(705), px(255));
        box = new QLineEdit(parent);
        box->setObjectName(boxName);
        box->setReadOnly(true);
        box->setGeometry(px(boxLeft), px(180), px(boxWidth), px(285));
        dec = new QToolButton(parent);
        dec->setObjectName(decName);
        dec->setArrowType(Qt::LeftArrow);
        dec->setGeometry(px(decLeft), px(180), px(285), px(300));
        inc = new QToolButton(parent);
        inc->setObjectName(incName);
        inc->setArrowType(Qt::RightArrow);
        inc->setGeometry(px(incLeft), px(180), px(285), px(300));
        Hold->Attach(dec, stepKey(group, -1));
        Hold->Attach(inc, stepKey(group, 1));
        for (QToolButton* b : {dec, inc})
            connect(b, &QToolButton::released, this, &frmOpenWaveform::StepRelease);
    };
    row(framVoltDiv, lblCH1, txtCH1Div, abtnCH1DivDec, abtnCH1DivInc, "lblCH1", "CH1", "txtCH1Div",
        "abtnCH1DivDec", "abtnCH1DivInc", StepCh1VoltsDiv, 150, 540, 1035, 1620, 1950);
    row(framVoltDiv, lblCH2, txtCH2Div, abtnCH2DivDec, abtnCH2DivInc, "lblCH2", "CH2", "txtCH2Div",
        "abtnCH2DivDec", "abtnCH2DivInc", StepCh2VoltsDiv, 2490, 2880, 1035, 3960, 4290);
    row(framTimeDiv, Label4, txtTimeDiv, abtnTimeDivDec, abtnTimeDivInc, "Label4", "Time/Div",
        "txtTimeDiv", "abtnTimeDivDec", "abtnTimeDivInc", StepTimeDiv, 75, 930, 1125, 2100, 2430);
    // "Time/Div" takes the whole room left of its box.
    Label4->resize(txtTimeDiv->x() - Label4->x() - 1, Label4->height());
    row(framAltTimeDiv, Label5, txtCH1TimeDiv, abtnCH1TimeDivDec, abtnCH1TimeDivInc, "Label5", "CH1",
        "txtCH1TimeDiv", "abtnCH1TimeDivDec", "abtnCH1TimeDivInc", StepCh1TimeDiv, 120, 510, 1125,
        1680, 2010);
    row(framAltTimeDiv, Label3, txtCH2TimeDiv, abtnCH2TimeDivDec, abtnCH2TimeDivInc, "Label3", "CH2",
        "txtCH2TimeDiv", "abtnCH2TimeDivDec", "abtnCH2TimeDivInc", StepCh2TimeDiv, 2460, 2850, 1125,
        4020, 4350);
    Reset = new QPushButton("Reset", framRefresh);
    Reset->setObjectName("Reset");
    Reset->setGeometry(px(9780), px(240), px(675), px(375));
    connect(Reset, &QPushButton::clicked, this, &frmOpenWaveform::Reset_Click);

    Screen = new ZoomableScreen(this, "MemoryWavePic", QSize(DesignPicWidth, DesignPicHeight), px(255));
    BackPic = Screen->BackPic;
    MemoryWavePic = Screen->Pic;
    HScroll = Screen->HScroll;
    VScroll = Screen->VScroll;
    Screen->MouseDown = [this](double x, double y) { MemoryWavePic_MouseDown(x, y); };
    Screen->MouseMove = [this](double x, double y) { MemoryWavePic_MouseMove(x, y); };
    Screen->MouseUp = [this] { MemoryWavePic_MouseUp(); };
    picRefreshProgress = new QFrame(BackPic);
    picRefreshProgress->setObjectName("picRefreshProgress");
    LblRefreshText = new QLabel("Refreshing :", picRefreshProgress);
    LblRefreshText->setObjectName("LblRefreshText");
    LblRefreshValue = new QLabel("%20", picRefreshProgress);
    LblRefreshValue->setObjectName("LblRefreshValue");

    connect(HScroll, &QScrollBar::valueChanged, this, &frmOpenWaveform::HScroll_Change);
    connect(VScroll, &QScrollBar::valueChanged, this, &frmOpenWaveform::VScroll_Change);

    ColourProgress(true);
    NameStepControls(Shell().UILanguage);
    // A view removed below this one moves it down a slot: the window loads
    // again for its new slot (zoom 200 %, cursors at their load places) and
    // runs its set-up at the next tick.
    connect(&SheetDoc(), &SheetDocument::viewRemoved, this, [this](ViewKind kind, int slot) {
        if (kind == ViewMemoryWave && Slot() >= slot && ExistingViewForm(kind, Slot()) == this) Form_Load();
    });
    Form_Load();
}

frmOpenWaveform::~frmOpenWaveform() { UnloadOnce(); }

MemWaveInfo* frmOpenWaveform::Record() const {
    const int slot = Slot();
    return slot >= 0 ? &Sheets().MemWaveViews[size_t(slot)] : nullptr;
}

// ---------------------------------------------------------------------------
// Life cycle.

void frmOpenWaveform::Form_Load() {
    ViewWindow::Form_Load();
    Initialising = true;
    ZoomFactor = 1.0;
    {
        const QSignalBlocker block(ZoomCombo);
        ZoomCombo->clear();
        ZoomCombo->addItems({"100%", "200%", "300%"});
        ZoomCombo->setCurrentIndex(1);
    }
    ZoomCombo_Click();  // choosing "200%" runs the zoom rule and the (initialising) layout
    Cursors = MemWaveCursorDefaults();
    picRefreshProgress->hide();
    // The load places belong to the design size of the picture; the first
    // layout moves them onto the picture of the zoom, as in a new window.
    Cursors.PrevPicWidth = DesignPicWidth;
    Cursors.PrevPicHeight = CursorRow(DesignPicHeight);
    Mouse = MemWaveMouse();
}

void frmOpenWaveform::PrepareNewView(int) {
    for (QWidget* c : {static_cast<QWidget*>(txtCH1Div), static_cast<QWidget*>(abtnCH1DivDec),
                       static_cast<QWidget*>(abtnCH1DivInc), static_cast<QWidget*>(lblCH1),
                       static_cast<QWidget*>(txtCH2Div), static_cast<QWidget*>(abtnCH2DivDec),
                       static_cast<QWidget*>(abtnCH2DivInc), static_cast<QWidget*>(lblCH2),
                       static_cast<QWidget*>(txtTimeDiv), static_cast<QWidget*>(abtnTimeDivDec),
                       static_cast<QWidget*>(abtnTimeDivInc), static_cast<QWidget*>(Label4),
                       static_cast<QWidget*>(framAltTimeDiv)})
        c->setVisible(false);
    ColourProgress(true);
}

void frmOpenWaveform::ColourProgress(bool colour) {
    ColourRefreshIndicator(picRefreshProgress, LblRefreshText, LblRefreshValue, colour);
}

void frmOpenWaveform::SetUp() {
    MemWaveInfo* r = Record();
    if (!r) return;
    Initialising = false;
    const bool modified = Sheets().SheetModified;
    if (r->Loaded) {
        ArrangePanel();
        RefreshScreenWave(*r, ZoomAllTraces);
    }
    ZoomCombo->setEnabled(true);
    // A control that changes runs its handler (which marks the sheet and redraws).
    GridCheck->setChecked(r->ShowGrid);
    OptionColor[r->BlackBackground ? 0 : 1]->setChecked(true);
    ChkCursorX->setChecked(Cursors.XOn);
    ChkCursorY->setChecked(Cursors.YOn);
    Form_Resize();
    Sheets().SheetModified = modified;  // the set-up is no change of the sheet
}

void frmOpenWaveform::Form_Unload() {
    Hold->Release();
    PrintDocs().MemWavePrintDoc.reset();
    ViewWindow::Form_Unload();
}

// ---------------------------------------------------------------------------
// Display options, Reset.

void frmOpenWaveform::GridCheck_Click() {
    MemWaveInfo* r = Record();
    if (!r) return;
    r->ShowGrid = GridCheck->isChecked();
    Sheets().SheetModified = true;
    RedrawScreen();
}

void frmOpenWaveform::OptionColor_Click(int) {
    MemWaveInfo* r = Record();
    if (!r) return;
    r->BlackBackground = OptionColor[0]->isChecked();
    Sheets().SheetModified = true;
    RedrawScreen();
}

void frmOpenWaveform::Reset_Click() {
    MemWaveInfo* r = Record();
    if (!r) return;
    Sheets().SheetModified = true;
    RestoreLoadedView(*r);
    ArrangePanel();
    RefreshScreenWave(*r, ZoomAllTraces);
    RedrawScreen();
}

// ---------------------------------------------------------------------------
// Open.

void frmOpenWaveform::FlatBttn1_Click() {
    const bool chinese = Shell().UILanguage == LangChinese;
    const QString title =
        chinese ? QString::fromUtf8("打开波形文件") : QStringLiteral("Open Waveform Files");
    const QString filter = chinese ? QString::fromUtf8("波形文件 (*.wfm)|*.wfm")
                                   : QStringLiteral("Waveform Files (*.wfm)|*.wfm");
    const QString path = GetOpenFileName(title, filter, this);
    if (path.isEmpty()) return;  // cancelled: the view stays as it was
    OpenWaveformFile(path);
}

bool frmOpenWaveform::OpenWaveformFile(const QString& path) {
    // Read and checked whole before anything of the view changes.
    WaveformFileData data;
    QString reason;
    const WaveformReadStatus status = ReadWaveformFile(path, data, &reason);
    if (status != WaveformReadStatus::Ok) {
        ReadRefusal refused{ReadRefusal::NotTheFormat, {}};
        if (status == WaveformReadStatus::Unreadable) refused = ReadRefusal::Unopened(reason);
        if (status == WaveformReadStatus::ChangedWhileRead) refused.kind = ReadRefusal::Changed;
        MsgBox(ReadRefusalText(refused, MessageTable().MsgFileFormatError),
               refused.kind == ReadRefusal::NotTheFormat ? vbOKOnly : vbCritical);
        return false;
    }
    MemWaveInfo* r = Record();
    if (!r) return false;
    RescaleCursorY(Cursors, data.Header.IsAlternation(), r->SplitDisplay);
    CommitWaveformFile(*r, std::move(data), path);
    Sheets().SheetModified = true;
    if (r->Loaded) setWindowTitle(r->Name + "  (" + r->FilePath + ")");
    ArrangePanel();
    RefreshScreenWave(*r, ZoomAllTraces);
    Form_Resize();
    return true;
}

// ---------------------------------------------------------------------------
// Settings panel and step buttons.

void frmOpenWaveform::ArrangePanel() {
    const MemWaveInfo* r = Record();
    if (!r) return;
    const MemWavePanelLayout L = ArrangeMemoryWavePanel(*r);
    framAltTimeDiv->setVisible(L.AltFrame);
    framTimeDiv->setVisible(!L.AltFrame);
    if (L.Placed) {
        auto setLeft = [](QWidget* w, int twips) { w->move(px(twips), w->y()); };
        auto setWidth = [](QWidget* w, int twips) { w->resize(px(twips), w->height()); };
        setWidth(framVoltDiv, L.VoltDivWidth);
        if (L.Ch1Row) {
            setLeft(lblCH1, L.Ch1Label);
            setLeft(txtCH1Div, L.Ch1Box);
            setLeft(abtnCH1DivDec, L.Ch1Dec);
            setLeft(abtnCH1DivInc, L.Ch1Inc);
        }
        if (L.Ch2Row) {
            setLeft(lblCH2, L.Ch2Label);
            setLeft(txtCH2Div, L.Ch2Box);
            setLeft(abtnCH2DivDec, L.Ch2Dec);
            setLeft(abtnCH2DivInc, L.Ch2Inc);
        }
        setWidth(framRefresh, L.RefreshWidth);
        setLeft(L.AltFrame ? framAltTimeDiv : framTimeDiv, L.TimeFrameLeft);
        setLeft(Reset, L.ResetLeft);
    }
    showSettings();
}

void frmOpenWaveform::showSettings() {
    const MemWaveInfo* r = Record();
    if (!r) return;
    auto channel = [&](bool on, QLineEdit* box, std::initializer_list<QWidget*> ws, int group) {
        box->setText(on ? MemWaveScaleText(*r, group) : QString());
        for (QWidget* w : ws) w->setVisible(on);
    };
    channel(r->HasCh1, txtCH1Div, {txtCH1Div, abtnCH1DivDec, abtnCH1DivInc, lblCH1}, StepCh1VoltsDiv);
    channel(r->HasCh2, txtCH2Div, {txtCH2Div, abtnCH2DivDec, abtnCH2DivInc, lblCH2}, StepCh2VoltsDiv);
    if (r->TriggerMode == QLatin1String("ALTERNATION")) {
        txtCH1TimeDiv->setText(MemWaveScaleText(*r, StepCh1TimeDiv));
        txtCH2TimeDiv->setText(MemWaveScaleText(*r, StepCh2TimeDiv));
    } else {
        channel(r->HasCh1 || r->HasCh2 || r->HasLa, txtTimeDiv,
                {txtTimeDiv, abtnTimeDivDec, abtnTimeDivInc, Label4}, StepTimeDiv);
    }
}

namespace {
QLineEdit* stepBox(frmOpenWaveform& f, int group) {
    switch (group) {
        case StepCh1VoltsDiv: return f.txtCH1Div;
        case StepCh2VoltsDiv: return f.txtCH2Div;
        case StepTimeDiv: return f.txtTimeDiv;
        case StepCh1TimeDiv: return f.txtCH1TimeDiv;
        default: return f.txtCH2TimeDiv;
    }
}
}  // namespace

void frmOpenWaveform::NameStepControls(int lang) {
    const std::array<std::pair<QToolButton*, QToolButton*>, 5> buttons{{
        {abtnCH1DivDec, abtnCH1DivInc},
        {abtnCH2DivDec, abtnCH2DivInc},
        {abtnTimeDivDec, abtnTimeDivInc},
        {abtnCH1TimeDivDec, abtnCH1TimeDivInc},
        {abtnCH2TimeDivDec, abtnCH2TimeDivInc},
    }};
    for (int g = StepCh1VoltsDiv; g <= StepCh2TimeDiv; ++g) {
        stepBox(*this, g)->setAccessibleName(MemWaveStepName(g, 0, lang));
        buttons[size_t(g)].first->setAccessibleName(MemWaveStepName(g, -1, lang));
        buttons[size_t(g)].second->setAccessibleName(MemWaveStepName(g, 1, lang));
    }
}

void frmOpenWaveform::StepPress(int group, int direction) {
    MemWaveInfo* r = Record();
    if (!r) return;
    Sheets().SheetModified = true;
    StepGroup = std::clamp(group, 0, 4);
    StepDirection = direction < 0 ? -1 : 1;
    StepMemWaveScale(*r, StepGroup, StepDirection, true);
    stepBox(*this, StepGroup)->setText(MemWaveScaleText(*r, StepGroup));
}

void frmOpenWaveform::Timer2_Timer() {
    MemWaveInfo* r = Record();
    if (!r) return;
    StepMemWaveScale(*r, StepGroup, StepDirection, false);
    stepBox(*this, StepGroup)->setText(MemWaveScaleText(*r, StepGroup));
    RefreshScreenWave(*r, uint8_t(MemWaveStepSelector(StepGroup)));
    RedrawScreen();
}

void frmOpenWaveform::StepRelease() {
    Hold->Release();
    MemWaveInfo* r = Record();
    if (!r) return;
    RefreshScreenWave(*r, uint8_t(MemWaveStepSelector(StepGroup)));
    RedrawScreen();
}

// ---------------------------------------------------------------------------
// Zoom, layout, scrolling, drawing.

void frmOpenWaveform::applyZoomText(const QString& text) {
    ApplyZoomBox(
        ZoomCombo, text, zoomTextBusy_, [this](const QString& t) { return ApplyZoomTextShown(t, ZoomFactor); },
        [this] { Form_Resize(); });
}

void frmOpenWaveform::ZoomCombo_Click() { applyZoomText(ZoomCombo->currentText()); }

void frmOpenWaveform::ZoomCombo_Change() { applyZoomText(ZoomCombo->currentText()); }

void frmOpenWaveform::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmOpenWaveform::Form_Resize() {
    Screen->ResetPan();
    if (!Initialising) {
        const MemWaveInfo* r = Record();
        const bool channel = !r || r->HasCh1 || r->HasCh2 || r->HasLa;
        const int F = framRefresh->height() + px(50);
        const int top = channel ? framRefresh->y() + F : px(100);
        // The container fills the window right of the panel and below the
        // settings, within the window's edges (nothing of the picture hides
        // behind them).
        const int bw = width() - px(1300) - px(60), bh = height() - top - px(60);
        if (bw > 0 && bh > 0) BackPic->setGeometry(px(1300), top, bw, bh);
        const WaveGeometry g(ZoomFactor);
        MemoryWavePic->resize(std::max(1, g.PictureWidth()), std::max(1, g.PictureHeight()));
        const ScrollLayout s = ComputeScrollLayout(MemoryWavePic->width(), MemoryWavePic->height(),
                                                   BackPic->width(), BackPic->height());
        // The bars lie along the container's lower and right edges.
        const QRect b = BackPic->geometry();
        const int visibleBottom = b.bottom();
        const int visibleRight = b.right();
        if (s.wide) HScrollRange = s.rangeX;
        if (s.tall) VScrollRange = s.rangeY;
        ZoomableScreen::ShowBar(
            HScroll, s.wide,
            QRect(b.left() + px(20), visibleBottom - HScroll->height() + 1,
                  std::max(1, visibleRight - b.left() - px(20) - (s.tall ? VScroll->width() : 0)), HScroll->height()),
            s.largeStepX);
        ZoomableScreen::ShowBar(
            VScroll, s.tall,
            QRect(visibleRight - VScroll->width() + 1, b.top() + px(20), VScroll->width(),
                  std::max(1, visibleBottom - b.top() - px(20) - (s.wide ? HScroll->height() : 0))),
            s.largeStepY);
    }
    // Only this window's cursors follow this window's picture.
    RescaleCursors(Cursors, MemoryWavePic->width(), MemoryWavePic->height());
    if (!Initialising) RedrawScreen();
}

void frmOpenWaveform::HScroll_Change() {
    MemoryWavePic->move(PanLeft(HScroll->value(), HScrollRange), MemoryWavePic->y());
}

void frmOpenWaveform::VScroll_Change() {
    MemoryWavePic->move(MemoryWavePic->x(), PanTop(VScroll->value(), VScrollRange));
}

void frmOpenWaveform::RedrawScreen() {
    const MemWaveInfo* r = Record();
    if (!r || Initialising) return;
    const WaveGeometry g(ZoomFactor);
    const QSize size(std::max(1, g.PictureWidth()), std::max(1, g.PictureHeight()));
    QImage& picture = MemoryWavePic->Picture;
    if (picture.size() != size) picture = QImage(size, QImage::Format_RGB32);
    {
        QPainter p(&picture);
        PaintMemWaveView(p, *r, CurrentMemWaveDrawOptions(ZoomFactor));
    }
    Overlay.Forget();  // drawn over
    Screen->SetBackground(r->BlackBackground);
    DrawCursor();
}

void frmOpenWaveform::DrawCursor() {
    const MemWaveInfo* r = Record();
    if (!r || MemoryWavePic->Picture.isNull()) return;
    DrawMemWaveCursors(MemoryWavePic->Picture, Overlay, Cursors, *r, ZoomFactor, DefaultScreenFont());
    MemoryWavePic->update();
}

// ---------------------------------------------------------------------------
// Cursors and the mouse.

void frmOpenWaveform::ChkCursorX_Click() {
    Cursors.XOn = ChkCursorX->isChecked();
    RedrawScreen();
}

void frmOpenWaveform::ChkCursorY_Click() {
    Cursors.YOn = ChkCursorY->isChecked();
    RedrawScreen();
}

void frmOpenWaveform::setPointer(int shape) {
    if (shape < 0) return;
    Pointer = shape;
    MemoryWavePic->setCursor(pointerShape(shape));
}

void frmOpenWaveform::MemoryWavePic_MouseDown(double x, double y) {
    MemWaveInfo* r = Record();
    if (!r) return;
    setPointer(MemWaveMouseDown(Mouse, Cursors, *r, ZoomFactor, x, y).pointer);
}

void frmOpenWaveform::MemoryWavePic_MouseMove(double x, double y) {
    MemWaveInfo* r = Record();
    if (!r) return;
    const MemWaveMouseResult m = MemWaveMouseMove(Mouse, Cursors, *r, ZoomFactor, x, y);
    if (m.modified) Sheets().SheetModified = true;
    if (m.rezoom >= 0) {
        RefreshScreenWave(*r, uint8_t(m.rezoom));
        RedrawScreen();
    } else if (m.redraw && !Initialising) {
        DrawCursor();  // grid and traces stay as they are in the picture
    }
    setPointer(m.pointer);
}

void frmOpenWaveform::MemoryWavePic_MouseUp() { MemWaveMouseUp(Mouse, Cursors); }

// ---------------------------------------------------------------------------
// Picture export, preview, print, text export.

void frmOpenWaveform::FlatBttn4_Click() { ExportPictureBmp(MemoryWavePic->Picture, this); }

void frmOpenWaveform::cmdPreview_Click() { printPicture(false); }

void frmOpenWaveform::cmdPrint_Click() { printPicture(true); }

void frmOpenWaveform::printPicture(bool print) {
    DrawForPrint(ZoomFactor, Cursors, !Initialising, Screen->PrintSize(), [this] { RedrawScreen(); },
                 Screen->PrintOutput([this, print](const QImage& picture) {
                     PreviewOrPrintPicture(picture, PrintSlot::MemWave, print, this);
                 }));
    Form_Resize();
}

// The CSV button: the text export of the view's record.
void frmOpenWaveform::FlatBttn3_Click() { ExportMemoryWaveCsv(this); }

// ---------------------------------------------------------------------------

void RegisterMemoryWaveWindow() {
    SetViewFormFactory(ViewMemoryWave, [](int) -> QWidget* { return new frmOpenWaveform; });
}
