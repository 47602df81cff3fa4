#include "common/Wait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QList>
#include <QTimer>

namespace {
QList<QEventLoop*>& loops() {
    static QList<QEventLoop*> l;
    return l;
}
}  // namespace

void NotifyWaiters() {
    // Wake the innermost loop(s); each re-checks its own predicate.
    for (QEventLoop* l : loops()) l->quit();
}

bool YieldUntil(const std::function<bool()>& pred, int maxMs) {
    if (pred()) return true;
    if (!QCoreApplication::instance()) return pred();
    bool timedOut = false;
    QTimer deadline;
    deadline.setSingleShot(true);
    if (maxMs >= 0) {
        QObject::connect(&deadline, &QTimer::timeout, [&] {
            timedOut = true;
            NotifyWaiters();
        });
        deadline.start(maxMs);
    }
    while (!pred() && !timedOut) {
        QEventLoop loop;
        loops().append(&loop);
        // A wake-up may come from a handler run before exec(): re-check via a
        // zero timer so a notification can never be missed.
        QTimer::singleShot(0, &loop, [&] {
            if (pred() || timedOut) loop.quit();
        });
        loop.exec();
        loops().removeOne(&loop);
    }
    return pred();
}

void YieldOnce() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
}

void QuitWhenNoWaitRuns() {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return;
    auto* poll = new QTimer(app);
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, app, [poll] {
        if (!loops().isEmpty()) return;
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) && QGuiApplication::modalWindow()) return;
        poll->stop();
        poll->deleteLater();
        QCoreApplication::quit();
    });
    poll->start();
}
