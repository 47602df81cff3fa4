#include "sheets/ViewWindow.h"

#include <QAbstractScrollArea>
#include <QCloseEvent>
#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <array>

#include "sheets/ViewRecords.h"
#include "sheets/ViewWindows.h"

ViewWindow::ViewWindow(ViewKind kind, const QString& windowName, int repeatMs, QWidget* parent)
    : QWidget(parent), kind_(kind), repeatMs_(repeatMs) {
    setObjectName(windowName);
    setWindowIcon(ViewKindImage(kind));
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

QIcon SheetNodeImage(int image) {
    if (image < 1 || image > 7) return QIcon();
    static std::array<QIcon, 8> made;
    QIcon& icon = made[size_t(image)];
    if (!icon.isNull()) return icon;
    const int size = image == 1 ? 15 : 16;
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    static const QColor colours[] = {Qt::darkGray, QColor(0, 96, 160), QColor(0, 128, 0), QColor(176, 96, 0),
                                     QColor(0, 112, 112), QColor(128, 0, 128), QColor(160, 0, 0)};
    static const char* const letters[] = {"", "S", "W", "M", "D", "R", "F"};
    p.setPen(Qt::black);
    p.setBrush(colours[image - 1]);
    p.drawRect(0, 0, size - 1, size - 1);
    if (image == 1) {
        p.setPen(Qt::white);
        p.drawLine(3, 4, size - 4, 4);
        p.drawLine(3, 7, size - 4, 7);
        p.drawLine(3, 10, size - 4, 10);
    } else {
        QFont f = p.font();
        f.setPixelSize(11);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRect(0, 0, size, size), Qt::AlignCenter, QString::fromLatin1(letters[image - 1]));
    }
    p.end();
    icon = QIcon(pm);
    return icon;
}

QRect ViewWindow::PlaceInside(const QRect& window, const QRect& area, const QSize& minimum) {
    // Shrunk to the area where it is larger (never below its minimum); then
    // the far edge first, and the near one: a window that still does not fit
    // ends at the area's left or top edge, and the work area scrolls to the rest.
    const QSize size = window.size().boundedTo(area.size()).expandedTo(minimum);
    const int x = std::max(std::min(window.x(), area.left() + area.width() - size.width()), area.left());
    const int y = std::max(std::min(window.y(), area.top() + area.height() - size.height()), area.top());
    return QRect(QPoint(x, y), size);
}

namespace {

// A child window's frame keeps its title bar's geometry by watching the
// window's layout requests, measuring (and eliding) the title several times
// for each. A window without a layout of its own receives one whenever one of
// its controls changes size or is shown or hidden, and it changes nothing the
// frame takes from it; its own size limits reach the frame through the
// frame's layout. Such a request is dropped before the frame sees it.
class LayoutlessRequestSink : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::LayoutRequest || !watched->isWidgetType()) return false;
        return static_cast<QWidget*>(watched)->layout() == nullptr;
    }
};

}  // namespace

void ViewWindow::ShownInFrame(const QSize& windowSize) {
    auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (frame) {
        // Installed after the frame's own watch, so it is asked first.
        static LayoutlessRequestSink sink;
        installEventFilter(&sink);
    }
    QWidget* outer = frame ? static_cast<QWidget*>(frame) : this;
    if (frame) frame->setWindowIcon(windowIcon());
    if (outer->isMaximized() || outer->isFullScreen()) return;
    QRect wanted = outer->geometry();
    if (windowSize.isValid()) wanted.setSize(windowSize + (outer->size() - size()));
    QRect area;
    if (frame && frame->mdiArea()) area = frame->mdiArea()->viewport()->rect();
    else if (outer->isWindow() && outer->screen()) area = outer->screen()->availableGeometry();
    else if (outer->parentWidget()) area = outer->parentWidget()->rect();
    const QRect placed = area.isEmpty() ? wanted : PlaceInside(wanted, area, outer->minimumSize());
    if (placed != outer->geometry()) outer->setGeometry(placed);
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
