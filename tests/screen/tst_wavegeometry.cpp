#include <QtTest>

#include "screen/WaveGeometry.h"

class WaveGeometryTest : public QObject {
    Q_OBJECT
private slots:
    void screenModelFollowsTheZoom_data() {
        QTest::addColumn<double>("zoom");
        QTest::addColumn<int>("pictureW");
        QTest::addColumn<int>("pictureH");
        QTest::addColumn<double>("right");
        QTest::addColumn<double>("bottom");
        QTest::addColumn<double>("division");
        QTest::newRow("50%") << 0.5 << 175 << 125 << 175.0 << 125.0 << 12.5;
        QTest::newRow("100%") << 1.0 << 350 << 250 << 325.0 << 225.0 << 25.0;
        QTest::newRow("150%") << 1.5 << 525 << 375 << 475.0 << 325.0 << 37.5;
        QTest::newRow("200%") << 2.0 << 700 << 500 << 625.0 << 425.0 << 50.0;
        QTest::newRow("1000%") << 10.0 << 3500 << 2500 << 3025.0 << 2025.0 << 250.0;
    }
    void screenModelFollowsTheZoom() {
        QFETCH(double, zoom);
        QFETCH(int, pictureW);
        QFETCH(int, pictureH);
        QFETCH(double, right);
        QFETCH(double, bottom);
        QFETCH(double, division);
        const WaveGeometry g(zoom);
        QCOMPARE(g.PictureWidth(), pictureW);
        QCOMPARE(g.PictureHeight(), pictureH);
        QCOMPARE(g.Right(), right);
        QCOMPARE(g.Bottom(), bottom);
        QCOMPARE(g.Division(), division);
        // The graticule's corner never moves; screen values map both ways.
        QCOMPARE(g.ColumnX(0), 25.0);
        QCOMPARE(g.RowY(0), 25.0);
        QCOMPARE(g.ColumnAt(g.ColumnX(123)), 123.0);
        QCOMPARE(g.RowAt(g.RowY(77)), 77.0);
    }

    void halfShiftRoundsHalvesToEven() {
        QCOMPARE(WaveGeometry(1.125).HalfShift(), 112);
        QCOMPARE(WaveGeometry(1.135).HalfShift(), 114);
        QCOMPARE(WaveGeometry(2).HalfShift(), 200);
    }

    void zoomTextRule_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("factor");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("valid");
        // Current factor 1.25 in every row.
        QTest::newRow("list entry") << "150%" << 1.5 << "150%" << true;
        QTest::newRow("no percent sign") << "150" << 1.25 << "125%" << false;
        QTest::newRow("not a number") << "abc%" << 1.25 << "125%" << false;
        QTest::newRow("lone percent") << "%" << 1.25 << "125%" << false;
        QTest::newRow("empty") << "" << 1.25 << "125%" << false;
        QTest::newRow("zero") << "0%" << 0.01 << "1%" << true;
        QTest::newRow("negative") << "-20%" << 0.01 << "1%" << true;
        QTest::newRow("fraction ends as whole percent") << "12.5%" << 0.13 << "13%" << true;
        QTest::newRow("upper bound") << "1000%" << 10.0 << "1000%" << true;
        QTest::newRow("above the upper bound") << "1001%" << 1.25 << "125%" << false;
        QTest::newRow("huge") << "1e300%" << 1.25 << "125%" << false;
    }
    void zoomTextRule() {
        QFETCH(QString, typed);
        QFETCH(double, factor);
        QFETCH(QString, shown);
        QFETCH(bool, valid);
        const ZoomTextResult r = ApplyZoomText(typed, 1.25);
        QVERIFY2(qFuzzyCompare(r.factor, factor), qPrintable(QString::number(r.factor)));
        QCOMPARE(r.text, shown);
        QCOMPARE(r.valid, valid);
    }

    void zoomListAndDefault() {
        QCOMPARE(ZoomChoices().size(), 10);
        QCOMPARE(ZoomChoices().at(DefaultZoomIndex), QString("150%"));
        QCOMPARE(ZoomText(1.4285714626), QString("143%"));
    }

    void bestFitTakesTheSmallerRatio_data() {
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("h");
        QTest::addColumn<double>("zoom");
        QTest::addColumn<int>("pictureW");
        QTest::addColumn<int>("pictureH");
        QTest::newRow("700x300") << 700 << 300 << 1.2 << 420 << 300;
        QTest::newRow("500x500 single precision") << 500 << 500 << double(500.0f / 350.0f) << 500 << 357;
        QTest::newRow("tiny") << 1 << 1 << 0.01 << 4 << 2;
        QTest::newRow("huge") << 100000 << 100000 << 10.0 << 3500 << 2500;
    }
    void bestFitTakesTheSmallerRatio() {
        QFETCH(int, w);
        QFETCH(int, h);
        QFETCH(double, zoom);
        QFETCH(int, pictureW);
        QFETCH(int, pictureH);
        const double z = BestFitZoom(w, h);
        QCOMPARE(z, zoom);
        QCOMPARE(WaveGeometry(z).PictureWidth(), pictureW);
        QCOMPARE(WaveGeometry(z).PictureHeight(), pictureH);
    }

    void scrollBarsAndPanning() {
        // Factor 1.5 (525 x 375) in a 400 x 300 container.
        const ScrollLayout s = ComputeScrollLayout(525, 375, 400, 300);
        QVERIFY(s.wide && s.tall);
        QCOMPARE(s.rangeX, 125.0f);
        QCOMPARE(s.largeStepX, 76);
        QCOMPARE(s.rangeY, 75);
        QCOMPARE(s.largeStepY, 80);
        QCOMPARE(PanLeft(0, s.rangeX), 0);
        QCOMPARE(PanLeft(40, s.rangeX), -50);
        QCOMPARE(PanLeft(100, s.rangeX), -125);
        QCOMPARE(PanTop(100, s.rangeY), -75);
        // Factor 0.5 in the smallest container that holds it: no bars.
        const ScrollLayout none = ComputeScrollLayout(175, 125, 175, 125);
        QVERIFY(!none.wide && !none.tall);
        const ScrollLayout wideOnly = ComputeScrollLayout(700, 100, 400, 300);
        QVERIFY(wideOnly.wide && !wideOnly.tall);
    }
};

QTEST_GUILESS_MAIN(WaveGeometryTest)
#include "tst_wavegeometry.moc"
