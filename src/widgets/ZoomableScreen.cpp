#include "widgets/ZoomableScreen.h"

#include <QComboBox>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

ScreenPicture::ScreenPicture(const char* name, const QSize& size, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);  // the pointer shows what a press would catch
    resize(size);
}

void ScreenPicture::paintEvent(QPaintEvent*) {
    if (BeforePaint) BeforePaint();
    QPainter p(this);
    if (!Picture.isNull()) p.drawImage(0, 0, Picture);
    if (Picture.width() < width() || Picture.height() < height()) {
        p.fillRect(Picture.width(), 0, width() - Picture.width(), height(), Qt::black);
        p.fillRect(0, Picture.height(), width(), height() - Picture.height(), Qt::black);
    }
}

ZoomableScreen::ZoomableScreen(QWidget* window, const char* picName, const QSize& picSize, int barThickness)
    : QObject(window) {
    BackPic = new QWidget(window);
    BackPic->setObjectName("BackPic");
    BackPic->setAutoFillBackground(true);
    Pic = new ScreenPicture(picName, picSize, BackPic);
    Pic->installEventFilter(this);
    HScroll = new QScrollBar(Qt::Horizontal, window);
    HScroll->setObjectName("HScroll");
    VScroll = new QScrollBar(Qt::Vertical, window);
    VScroll->setObjectName("VScroll");
    for (QScrollBar* s : {HScroll, VScroll}) {
        s->setRange(0, 100);
        s->setSingleStep(1);
        s->hide();
    }
    HScroll->resize(HScroll->width(), barThickness);
    VScroll->resize(barThickness, VScroll->height());
}

void ZoomableScreen::ResetPan() {
    {
        const QSignalBlocker bh(HScroll), bv(VScroll);
        HScroll->setValue(0);
        VScroll->setValue(0);
    }
    Pic->move(0, 0);
}

void ZoomableScreen::ShowBar(QScrollBar* bar, bool shown, const QRect& geometry, int pageStep) {
    if (!shown) {
        bar->hide();
        return;
    }
    bar->setGeometry(geometry);
    bar->setPageStep(pageStep);
    bar->show();
    bar->raise();
}

void ZoomableScreen::SetBackground(bool black) {
    QPalette pal = BackPic->palette();
    pal.setColor(QPalette::Window, black ? Qt::black : Qt::white);
    BackPic->setPalette(pal);
}

std::function<QSize()> ZoomableScreen::PrintSize() {
    return [this] {
        Pic->resize(700, 500);
        return Pic->size();
    };
}

std::function<void()> ZoomableScreen::PrintOutput(std::function<void(const QImage&)> out) {
    return [this, out = std::move(out)] {
        out(Pic->Picture);
        Pic->Picture = QImage();
    };
}

bool ZoomableScreen::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Pic) {
        // Only a mouse event is one: the cast waits for the type.
        const auto at = [event] { return static_cast<QMouseEvent*>(event)->position(); };
        switch (event->type()) {
            case QEvent::MouseButtonPress:
                if (MouseDown) MouseDown(at().x(), at().y());
                break;
            case QEvent::MouseMove:
                if (MouseMove) MouseMove(at().x(), at().y());
                break;
            case QEvent::MouseButtonRelease:
                if (MouseUp) MouseUp();
                break;
            default:
                break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void ApplyZoomBox(QComboBox* box, const QString& text, bool& busy,
                  const std::function<QString(const QString&)>& rule, const std::function<void()>& after) {
    if (busy) return;
    busy = true;
    const QString shown = rule(text);
    {
        const QSignalBlocker block(box);
        box->setEditText(shown);
    }
    busy = false;
    after();
}
