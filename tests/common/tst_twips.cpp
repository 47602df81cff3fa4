#include <QtTest>

#include "common/Twips.h"

class TwipsTest : public QObject {
    Q_OBJECT
private slots:
    void conversions_data() {
        QTest::addColumn<int>("twips");
        QTest::addColumn<int>("truncated");
        QTest::addColumn<int>("rounded");
        QTest::newRow("zero") << 0 << 0 << 0;
        QTest::newRow("under half") << 7 << 0 << 0;
        QTest::newRow("over half") << 8 << 0 << 1;
        QTest::newRow("whole") << 15 << 1 << 1;
        QTest::newRow("just short") << 29 << 1 << 2;
        QTest::newRow("design") << 3975 << 265 << 265;
        QTest::newRow("odd design") << 4855 << 323 << 324;
        QTest::newRow("negative") << -20 << -1 << 0;
    }
    void conversions() {
        QFETCH(int, twips);
        QFETCH(int, truncated);
        QFETCH(int, rounded);
        QCOMPARE(TwipsToPixels(twips), truncated);
        if (twips >= 0) QCOMPARE(TwipsToPixelsRounded(twips), rounded);
        QCOMPARE(PixelsToTwips(truncated), truncated * 15);
    }

    void roundedMatchesTheNearestPixel() {
        for (int t = 0; t <= 20000; ++t) QCOMPARE(TwipsToPixelsRounded(t), qRound(t / 15.0));
    }
};

QTEST_MAIN(TwipsTest)
#include "tst_twips.moc"
