#include "sheets/ViewWindow.h"

#include <QCloseEvent>
#include <QTimer>

#include "sheets/ViewRecords.h"
#include "sheets/ViewWindows.h"

ViewWindow::ViewWindow(ViewKind kind, const QString& windowName, int repeatMs, QWidget* parent)
    : QWidget(parent), kind_(kind), repeatMs_(repeatMs) {
    setObjectName(windowName);
    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    connect(Timer1, &QTimer::timeout, this, &ViewWindow::Timer1_Timer);
}

int ViewWindow::Slot() const { return FormSlot(kind_, this); }

void ViewWindow::Form_Load() {
    unloaded_ = false;
    SetUpPending = true;
    Timer1->setInterval(1);
    Timer1->start();
}

void ViewWindow::Timer1_Timer() {
    if (SetUpPending) {
        if (!SetUpReady()) return;
        SetUpPending = false;
        if (repeatMs_ > 0) Timer1->setInterval(repeatMs_);
        else Timer1->stop();
        const int slot = Slot();
        if (slot >= 0) ViewWindowOpen(kind_, slot) = true;
        SetUp();
    }
    if (repeatMs_ > 0) Tick();
}

void ViewWindow::PrepareNewView(int) {}
void ViewWindow::LayOutChannels(bool) {}
void ViewWindow::ColourProgress(bool) {}

void ViewWindow::ColourRefreshIndicator(QWidget* panel, QWidget* text, QWidget* value, bool colour) {
    auto paint = [](QWidget* w, QPalette::ColorRole role, const QColor& c) {
        if (!w) return;
        QPalette pal = w->palette();
        pal.setColor(role, c);
        w->setPalette(pal);
    };
    paint(panel, QPalette::Window, colour ? QColor(0, 0, 0) : QColor(255, 255, 255));
    if (panel) panel->setAutoFillBackground(true);
    paint(text, QPalette::WindowText, colour ? QColor(255, 255, 192) : QColor(0, 0, 0));
    paint(value, QPalette::WindowText, colour ? QColor(0, 255, 255) : QColor(0, 0, 0));
}

void ViewWindow::Form_Unload() {
    Timer1->stop();
    const int slot = Slot();
    if (slot >= 0) ViewWindowOpen(kind_, slot) = false;
}

void ViewWindow::UnloadOnce() {
    if (unloaded_) return;
    unloaded_ = true;
    Form_Unload();
}

void ViewWindow::closeEvent(QCloseEvent* event) {
    if (!CanClose()) {
        event->ignore();
        return;
    }
    UnloadOnce();
    event->accept();
}
