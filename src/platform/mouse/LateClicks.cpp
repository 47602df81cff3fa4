#include "platform/mouse/LateClicks.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

namespace {

class LateClickDelivery : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
            type != QEvent::MouseButtonRelease)
            return false;
        auto* popup = qobject_cast<QWidget*>(watched);
        if (!popup || !popup->isWindow() || popup->windowType() != Qt::Popup || popup->isVisible()) return false;
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (type == QEvent::MouseButtonRelease) {
            // The release goes where its press went, and only then.
            QPointer<QWidget> target = pressTarget_;
            if (mouse->buttons() == Qt::NoButton) pressTarget_ = nullptr;
            if (target) post(target, mouse);
            return target != nullptr;
        }
        pressTarget_ = nullptr;
        const QPoint at = mouse->globalPosition().toPoint();
        if (popup->geometry().contains(at)) return false;
        QWidget* aimed = QApplication::widgetAt(at);
        if (!aimed || !aimed->isEnabled() || aimed->window()->windowType() == Qt::Popup) return false;
        if (QWidget* modal = QApplication::activeModalWidget())
            if (aimed->window() != modal && !modal->isAncestorOf(aimed)) return false;
        if (!aimed->window()->isActiveWindow()) aimed->window()->activateWindow();
        pressTarget_ = aimed;
        post(aimed, mouse);
        return true;
    }

private:
    static void post(QWidget* target, const QMouseEvent* e) {
        const QPointF global = e->globalPosition();
        const QPointF local = target->mapFromGlobal(global);
        QCoreApplication::postEvent(target, new QMouseEvent(e->type(), local, local, global, e->button(), e->buttons(),
                                                            e->modifiers(), e->pointingDevice()));
    }

    QPointer<QWidget> pressTarget_;
};

}  // namespace

void InstallLateClickDelivery() {
    static LateClickDelivery* delivery = nullptr;
    if (delivery || !qApp) return;
    delivery = new LateClickDelivery(qApp);
    qApp->installEventFilter(delivery);
}
