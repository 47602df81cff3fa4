#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "widgets/HoldRepeat.h"

namespace {
struct Call {
    int key, ticks;
    bool operator==(const Call& o) const { return key == o.key && ticks == o.ticks; }
};
}  // namespace

class TestHoldRepeat : public QObject {
    Q_OBJECT
private slots:
    // Press steps at once with tick 0 and arms the first delay; each tick
    // steps with the count (held at the cap) and runs at the repeat interval.
    void pressTicksAndCap() {
        HoldRepeat r;
        QList<Call> calls;
        r.SetStep([&](int key, int ticks) { calls.append({key, ticks}); });
        r.SetTiming(500, 100);
        r.SetMaxTicks(3);
        r.Press(-1);
        QCOMPARE(calls, (QList<Call>{{-1, 0}}));
        QVERIFY(r.Timer()->isActive());
        QCOMPARE(r.Timer()->interval(), 500);
        for (int i = 0; i < 5; ++i) r.Tick();
        QCOMPARE(calls, (QList<Call>{{-1, 0}, {-1, 1}, {-1, 2}, {-1, 3}, {-1, 3}, {-1, 3}}));
        QCOMPARE(r.Timer()->interval(), 100);
        r.Release();
        QVERIFY(!r.Timer()->isActive());
        r.Tick();  // a tick already queued at the release steps nothing
        QCOMPARE(calls.size(), 6);
        // A new press restarts the count, with another key.
        r.Press(7);
        r.Tick();
        QCOMPARE(calls.mid(6), (QList<Call>{{7, 0}, {7, 1}}));
    }

    // A caller's own timer drives the repeat and stays the caller's.
    void usesGivenTimer() {
        QTimer timer;
        int steps = 0;
        {
            HoldRepeat r(nullptr, &timer);
            r.SetStep([&](int, int) { ++steps; });
            r.Press(1);
            QVERIFY(timer.isActive());
            QMetaObject::invokeMethod(&timer, "timeout");
            QCOMPARE(steps, 2);
        }
        QMetaObject::invokeMethod(&timer, "timeout");  // the helper is gone: nothing steps, nothing breaks
        QCOMPARE(steps, 2);
    }

    // Whatever ends the hold of a real button stops the repeat, and the next
    // tick steps nothing.
    void buttonStops_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("release") << "release";
        QTest::newRow("pointer leaves") << "leave";
        QTest::newRow("window closes") << "close";
        QTest::newRow("button disabled") << "disable";
        QTest::newRow("release lost") << "lost";
        QTest::newRow("step closes the window") << "stepcloses";
    }
    void buttonStops() {
        QFETCH(QString, how);
        QWidget window;
        auto* up = new QPushButton("+", &window);
        window.show();
        HoldRepeat r(&window);
        int steps = 0;
        r.SetStep([&](int key, int) {
            QCOMPARE(key, 5);
            ++steps;
            if (how == "stepcloses") window.close();
        });
        r.Attach(up, 5);
        QTest::mousePress(up, Qt::LeftButton);
        QCOMPARE(steps, 1);
        if (how != "stepcloses") {
            QVERIFY(r.Held());
            r.Tick();
            QCOMPARE(steps, 2);
        }
        if (how == "release") QTest::mouseRelease(up, Qt::LeftButton);
        else if (how == "leave") {
            QEvent leave(QEvent::Leave);
            QCoreApplication::sendEvent(up, &leave);
        }
        else if (how == "close") window.close();
        else if (how == "disable") up->setEnabled(false);
        else if (how == "lost") up->setDown(false);  // no released signal reaches us
        const int before = steps;
        r.Tick();
        QCOMPARE(steps, before);
        QVERIFY(!r.Held());
        QVERIFY(!r.Timer()->isActive());
    }
};

QTEST_MAIN(TestHoldRepeat)
#include "tst_holdrepeat.moc"
