#include "panel/frmV_Panel.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QRect>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include "common/Twips.h"
#include "common/Wait.h"
#include "link/KV2200Cmd.h"
#include "link/LinkEvents.h"
#include "link/LinkState.h"
#include "link/ScreenCopyState.h"
#include "panel/PanelKeyBoard.h"
#include "panel/PanelWindows.h"
#include "panel/model/PanelKeys.h"
#include "panel/model/ScreenImage.h"
#include "platform/print/PictureOutput.h"
#include "platform/print/PrintDocs.h"
#include "widgets/OnScreen.h"

namespace {
bool panelShown = false;

QPushButton* toolButton(const char* name, const char* text, const char* tip) {
    auto* b = new QPushButton(QString::fromLatin1(text));
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(QString::fromLatin1(tip));
    b->setAutoDefault(false);
    b->setFlat(true);
    b->setMinimumSize(8, 8);
    b->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);
    return b;
}

QGroupBox* frame(const char* name, const char* title, std::initializer_list<QWidget*> children) {
    auto* box = new QGroupBox(QString::fromLatin1(title));
    box->setObjectName(QString::fromLatin1(name));
    auto* l = new QHBoxLayout(box);
    l->setContentsMargins(3, 2, 3, 3);
    l->setSpacing(2);
    for (QWidget* w : children) l->addWidget(w);
    return box;
}

// The window's arrangement at single (0) and double (1) size, in twips: the window, the picture (its place is the same in both), and
// the place of each frame and soft key. The frames keep their size (pixels).
constexpr QSize kWindowTwips[2] = {{11530, 5230}, {14175, 8745}};
constexpr QSize kPictureTwips[2] = {{4855, 3563}, {9660, 7100}};
constexpr QPoint kPictureAt{240, 960};
struct PanelPlace {
    const char* name;
    QPoint at[2];
    QSize size;
};
const PanelPlace kPlaces[] = {
    {"Frame1", {{0, 0}, {0, 0}}, {440, 56}},  // the tool strip
    {"Frame4", {{5880, 960}, {10080, 240}}, {54, 46}},
    {"MENU", {{6720, 0}, {10920, 120}}, {206, 110}},
    {"RUN", {{9840, 480}, {8040, 120}}, {105, 54}},
    {"Vertical", {{5880, 1680}, {11160, 2040}}, {158, 198}},
    {"Horizontal", {{8280, 1680}, {10920, 5040}}, {102, 198}},
    {"Trigger", {{9840, 1680}, {12480, 5040}}, {108, 198}},
    {"ONOFF", {{5160, 840}, {10080, 960}}, {48, 48}},
    {"VK_F1", {{5250, 1590}, {10200, 2280}}, {40, 34}},
    {"VK_F2", {{5250, 2160}, {10200, 3450}}, {40, 34}},
    {"VK_F3", {{5250, 2790}, {10200, 4620}}, {40, 34}},
    {"VK_F4", {{5250, 3420}, {10200, 5790}}, {40, 34}},
    {"VK_F5", {{5250, 4080}, {10200, 6960}}, {40, 34}},
};
// The second brand's panel has no ON/OFF and RUN frames (those keys are in
// its MENU frame) and no double size: its MENU frame also takes their room on
// its right, so that its ten keys stand five to a row, tall enough for the
// two-line legends in the keys' own type.
const PanelPlace kSecondBrandMenu = {"MENU", {{6720, 0}, {6720, 0}}, {316, 110}};

const PanelPlace& placeOf(const PanelPlace& place, PanelBrand brand) {
    return brand == PanelBrand::Second && qstrcmp(place.name, "MENU") == 0 ? kSecondBrandMenu : place;
}
QPoint pixels(QPoint twips) { return {TwipsToPixelsRounded(twips.x()), TwipsToPixelsRounded(twips.y())}; }
QSize pixels(QSize twips) { return {TwipsToPixelsRounded(twips.width()), TwipsToPixelsRounded(twips.height())}; }
}  // namespace

frmV_Panel::frmV_Panel(QWidget* parent, PanelBrand brand)
    : QDialog(parent),
      brand_(brand),
      keys_(new PanelKeyBoard(true, PanelKeysOf(brand), PanelRulesOf(brand), this)),
      tDrawBmp_(new QTimer(this)) {
    const bool second = brand == PanelBrand::Second;
    setObjectName(second ? "frmV_Panel_HKN" : "frmV_Panel");
    setWindowTitle("Virtual Panel");
    setModal(true);
    // A small type, so that the keys' legends fit the frames.
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);

    PanelWavePic = new QLabel;
    PanelWavePic->setObjectName(second ? "WavePic" : "PanelWavePic");
    PanelWavePic->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    PanelWavePic->setStyleSheet("background: black");

    cmdRun = toolButton("cmdRun", "Run", "Run");
    cmdStop = toolButton("cmdStop", "Stop", "Stop");
    cmdExport = toolButton("cmdExport", "Export", "Export");
    cmdPrint = toolButton("cmdPrint", "Print", "Print");
    cmdPreview = toolButton("cmdPreview", "Preview", "Print Preview");
    auto* strip = new QHBoxLayout;
    strip->addWidget(Frame3 = frame("Frame3", "Control", {cmdRun, cmdStop}));
    strip->addWidget(Frame2 = frame("Frame2", "Output", {cmdExport, cmdPrint, cmdPreview}));
    if (PanelRulesOf(brand).zoom) {
        cmdZoom = toolButton("cmdZoom", "Zoom", "Zoom");
        strip->addWidget(Display = frame("Display", "Display", {cmdZoom}));
        connect(cmdZoom, &QPushButton::clicked, this, &frmV_Panel::cmdZoom_Click);
    }
    strip->addStretch(1);
    strip->setContentsMargins(2, 0, 2, 2);
    toolStrip_ = new QWidget(this);
    toolStrip_->setObjectName("Frame1");
    toolStrip_->setLayout(strip);

    // The parts stand where arrange() puts them; the board itself shows nothing.
    PanelWavePic->setParent(this);
    keys_->hide();
    for (const PanelPlace& p : kPlaces)
        if (QWidget* part = partNamed(QString::fromLatin1(p.name))) part->setParent(this);
    arrange();

    connect(cmdRun, &QPushButton::clicked, this, &frmV_Panel::cmdRun_Click);
    connect(cmdStop, &QPushButton::clicked, this, &frmV_Panel::cmdStop_Click);
    connect(cmdExport, &QPushButton::clicked, this, &frmV_Panel::cmdExport_Click);
    connect(cmdPrint, &QPushButton::clicked, this, &frmV_Panel::cmdPrint_Click);
    connect(cmdPreview, &QPushButton::clicked, this, &frmV_Panel::cmdPreview_Click);

    // The copy starts 10 ms after the window is shown.
    tDrawBmp_->setObjectName("tDrawBmp");
    tDrawBmp_->setSingleShot(true);
    tDrawBmp_->setInterval(10);
    connect(tDrawBmp_, &QTimer::timeout, this, &frmV_Panel::RunScreenLoop);

    ScreenCopy().ScreenCopyOpen = true;
    ScreenCopy().ScreenCopyRunning = true;
    setRunButtons();
    // The panel closes when the link drops, also while the copy is stopped.
    connect(&LinkEvents(), &LinkEventSource::connectionChanged, this, [this](bool connected) {
        if (!connected && !closed_) done(QDialog::Rejected);
    });
    if (!second) {
        connect(&LinkEvents(), &LinkEventSource::laPresentChanged, keys_, &PanelKeyBoard::ShowLAKey);
        panelShown = true;
        if (PanelUi().ApplyPanelCaptions) PanelUi().ApplyPanelCaptions(this);
    }
}

frmV_Panel::~frmV_Panel() {
    if (!closed_) {
        ScreenCopy().ScreenCopyRunning = false;
        ScreenCopy().ScreenCopyOpen = false;
        NotifyWaiters();
        if (objectName() == "frmV_Panel") panelShown = false;
    }
}

bool frmV_Panel::VirtualPanelShown() { return panelShown; }

void frmV_Panel::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    KeepOnScreen(this);
    if (!started_) {
        started_ = true;
        tDrawBmp_->start();
    }
}

void frmV_Panel::done(int result) {
    closed_ = true;
    ScreenCopy().ScreenCopyRunning = false;
    ScreenCopy().ScreenCopyOpen = false;
    NotifyWaiters();  // a read or a stopped loop waiting ends now
    tDrawBmp_->stop();
    keys_->StopRepeat();
    PrintDocs().SparePrintDoc.reset();  // the panel's print document goes with it
    if (objectName() == "frmV_Panel") panelShown = false;
    QDialog::done(result);
}

void frmV_Panel::setRunButtons() {
    const bool running = ScreenCopy().ScreenCopyRunning;
    cmdRun->setEnabled(!running);
    cmdStop->setEnabled(running);
}

QWidget* frmV_Panel::partNamed(const QString& name) const {
    if (name == QLatin1String("Frame1")) return toolStrip_;
    if (QWidget* f = keys_->Frame(name)) return f;
    return keys_->Key(name);
}

void frmV_Panel::arrange() {
    const int z = panelZoom_ == 1 ? 1 : 0;
    setFixedSize(pixels(kWindowTwips[z]));
    PanelWavePic->setGeometry(QRect(pixels(kPictureAt), pixels(kPictureTwips[z])));
    for (const PanelPlace& row : kPlaces) {
        const PanelPlace& p = placeOf(row, brand_);
        if (QWidget* part = partNamed(QString::fromLatin1(p.name))) {
            part->setFixedSize(p.size);
            part->move(pixels(p.at[z]));
        }
    }
    // Grown at double size from the same corner: back onto the screen.
    if (isVisible()) KeepOnScreen(this);
}

void frmV_Panel::RunScreenLoop() {
    QPointer<frmV_Panel> self(this);
    ScreenCopyStateData& sc = ScreenCopy();
    setRunButtons();
    while (self && !closed_ && sc.ScreenCopyOpen) {
        while (sc.ScreenCopyRunning && sc.ScreenCopyOpen) {
            DrawBulkWave();
            YieldOnce();
            if (!self || closed_) return;
            if (!Link().IsConnected) {
                done(QDialog::Rejected);
                return;
            }
        }
        // Stopped: wait for Run or the closing.
        YieldUntil([] { return !ScreenCopy().ScreenCopyOpen || ScreenCopy().ScreenCopyRunning; });
    }
}

void frmV_Panel::DrawBulkWave() {
    ScreenCopyStateData& sc = ScreenCopy();
    const bool image = GetHardcopyVisa(sc.ScreenBytes);
    // Stopped or closed during the read, or no whole image: nothing is painted.
    if (!image || !sc.ScreenCopyRunning || !sc.ScreenCopyOpen) return;
    const bool colour = IsColorModel();
    if (closed_ || !sc.ScreenCopyOpen) return;
    picture_ = TranslateScreen(sc.ScreenBytes, colour, panelZoom_, screenColors_);
    PanelWavePic->setPixmap(QPixmap::fromImage(picture_));
}

void frmV_Panel::cmdRun_Click() {
    ScreenCopy().ScreenCopyRunning = true;
    setRunButtons();
    NotifyWaiters();
}

void frmV_Panel::cmdStop_Click() {
    ScreenCopy().ScreenCopyRunning = false;
    setRunButtons();
    NotifyWaiters();
}

void frmV_Panel::cmdZoom_Click() {
    panelZoom_ = panelZoom_ == 0 ? 1 : 0;
    // The next frame is painted at the new size; until then the picture is empty.
    picture_ = QImage();
    PanelWavePic->clear();
    arrange();
}

QImage frmV_Panel::pictureToSave() const {
    if (!picture_.isNull()) return picture_;
    const int k = panelZoom_ == 1 ? 2 : 1;
    QImage blank(ScreenImage::Width * k, ScreenImage::Height * k, QImage::Format_RGB32);
    blank.fill(Qt::black);
    return blank;
}

void frmV_Panel::cmdExport_Click() { ExportPictureBmp(pictureToSave(), this); }

void frmV_Panel::cmdPreview_Click() { PreviewOrPrintPicture(pictureToSave(), PrintSlot::Spare, false, this); }

void frmV_Panel::cmdPrint_Click() { PreviewOrPrintPicture(pictureToSave(), PrintSlot::Spare, true, this); }
