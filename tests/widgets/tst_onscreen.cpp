#include <QtTest>

#include "widgets/OnScreen.h"

// Where a window's frame goes so that it lies within a screen's available
// area: moved as little as it takes, and a frame too large for the area keeps
// its title bar on it.
class TestOnScreen : public QObject {
    Q_OBJECT
private slots:
    void placeWithin_data() {
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QPoint>("at");
        const QRect small(0, 0, 1024, 768);
        QTest::newRow("inside stays") << QRect(117, 207, 773, 353) << small << QPoint(117, 207);
        QTest::newRow("grown beyond the right and lower edges") << QRect(117, 207, 949, 587) << small
                                                                << QPoint(75, 181);
        QTest::newRow("beyond the lower edge only") << QRect(10, 700, 300, 200) << small << QPoint(10, 568);
        QTest::newRow("left of and above the area") << QRect(-50, -20, 300, 200) << small << QPoint(0, 0);
        QTest::newRow("wider than the area") << QRect(300, 100, 1252, 288) << small << QPoint(0, 100);
        QTest::newRow("larger than the area") << QRect(500, 300, 1300, 900) << small << QPoint(0, 0);
        // A second screen right of the first, a task bar along its top.
        QTest::newRow("second screen") << QRect(2000, 900, 400, 300) << QRect(1024, 30, 1280, 994)
                                       << QPoint(1904, 724);
    }
    void placeWithin() {
        QFETCH(QRect, frame);
        QFETCH(QRect, available);
        QFETCH(QPoint, at);
        QCOMPARE(PlaceWithin(frame, available), at);
    }
};

QTEST_MAIN(TestOnScreen)
#include "tst_onscreen.moc"
