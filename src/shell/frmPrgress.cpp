#include "shell/frmPrgress.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLocale>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>
#include <cmath>

#include "common/Twips.h"
#include "common/Wait.h"
#include "link/TransferJobs.h"
#include "link/TransferSettings.h"
#include "platform/mouse/MouseControl.h"

namespace {
constexpr int ClientWidthTwips = 4515, ClientHeightTwips = 690;

QPointer<frmPrgress>& Current() {
    static QPointer<frmPrgress> p;
    return p;
}

bool StoredNumber(const QString& text, double& value) {
    bool ok = false;
    value = QLocale::c().toDouble(text.trimmed(), &ok);
    return ok && std::isfinite(value);
}

QSize ScreenTwips() {
    const QScreen* s = QGuiApplication::primaryScreen();
    const QSize px = s ? s->geometry().size() : QSize(1024, 768);
    return QSize(PixelsToTwips(px.width()), PixelsToTwips(px.height()));
}
}  // namespace

int ProgressLeftFromStored(const QString& stored, int screenWidth, int windowWidth) {
    double left = 0;
    if (!StoredNumber(stored, left)) return 400;
    if (left > screenWidth || left < -windowWidth) return 400;
    return static_cast<int>(std::nearbyint(left));
}

int ProgressTopFromStored(const QString& stored, int screenHeight, int windowHeight) {
    double value = 0;
    int top = 0;  // a value that is no 16-bit number leaves the top at 0
    if (StoredNumber(stored, value)) {
        const double rounded = std::nearbyint(value);
        if (rounded >= -32768 && rounded <= 32767) top = static_cast<int>(rounded);
    }
    if (top > screenHeight || top < -windowHeight) return 600;
    return top;
}

QPointer<QWidget>& TransferWindowOwner() {
    static QPointer<QWidget> owner;
    return owner;
}

frmPrgress* LoadedTransferForm() { return Current().data(); }

frmPrgress* TransferForm() {
    if (!Current()) Current() = new frmPrgress(TransferWindowOwner().data());
    return Current().data();
}

void InstallTransferWindow() {
    TransferUi().LoadTransferWindow = [](const QString& caption) {
        TransferForm()->setWindowTitle(caption);
    };
    TransferUi().ShowTransferWindow = [] {
        if (frmPrgress* form = LoadedTransferForm()) form->show();
    };
}

namespace {
// Linked in with the window: the transfer runs through it from the start.
const bool transferWindowInstalled = (InstallTransferWindow(), true);
}  // namespace

frmPrgress::frmPrgress(QWidget* owner) : QWidget(owner, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName("frmPrgress");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Progress");
    setFixedSize(TwipsToPixels(ClientWidthTwips), TwipsToPixels(ClientHeightTwips));

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setGeometry(TwipsToPixels(240), TwipsToPixels(150), TwipsToPixels(3975),
                              TwipsToPixels(345));

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setSingleShot(true);
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &frmPrgress::Timer1_Timer);

    TransferUi().RepaintProgress = [this] {
        ProgressBar1->setValue(static_cast<int>(Transfer().ProgressValue));
        ProgressBar1->repaint();
    };
    Form_Load();
}

frmPrgress::~frmPrgress() {
    TransferUi().RepaintProgress = nullptr;
    if (Current() == this) Current() = nullptr;
    // Destroyed with its owner before the armed job ran: release the caller.
    if (Timer1->isActive() && Transfer().TransferBusy) {
        Transfer().TransferBusy = false;
        Transfer().TransferDone = true;
        NotifyWaiters();
    }
}

void frmPrgress::Form_Load() {
    const QString storedLeft = ReadTransferSetting("ProgressLeft", "500");
    const QString storedTop = ReadTransferSetting("ProgressTop", "800");
    const QSize screen = ScreenTwips();
    const int left = ProgressLeftFromStored(storedLeft, screen.width(), PixelsToTwips(width()));
    const int top = ProgressTopFromStored(storedTop, screen.height(), PixelsToTwips(height()));
    move(TwipsToPixels(left), TwipsToPixels(top));
    update();

    SetProgressTimer(false);
    SetProgressTimerInterval(1);
    Timer1->start();
    Transfer().ProgressValue = 0;
    ProgressBar1->setValue(0);
    Transfer().TransferBusy = true;
}

void frmPrgress::Timer1_Timer() {
    Timer1->stop();
    QPointer<frmPrgress> self(this);
    TransferJobTick();
    if (self) self->close();
}

void frmPrgress::closeEvent(QCloseEvent* event) {
    // No close of any cause while a job is armed or running.
    if (Transfer().TransferBusy) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

void frmPrgress::Form_Unload() {
    // The pointer goes back to the default, for the mouse service too (the
    // transfer buttons read its shape code).
    MouseControl::SetCursor(MouseControl::PointerDefault);
    WriteTransferSetting("ProgressLeft", QString::number(PixelsToTwips(x())));
    WriteTransferSetting("ProgressTop", QString::number(PixelsToTwips(y())));
    if (Current() == this) Current() = nullptr;
}
