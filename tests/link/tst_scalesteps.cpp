#include <QtTest>

#include "TestEnv.h"
#include "link/ScaleSteps.h"

class ScaleStepsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestEnv::Init(); }

    void pointsAndValues() {
        QCOMPARE(PointsToValue(50, 0.5f), 1.0f);
        QCOMPARE(PointsToValue(-25, 0.002f), -0.002f);
        QCOMPARE(ValueToPoints(1.0f, 0.5f), int16_t(50));
        QCOMPARE(ValueToPoints(0.01f, 0.002f), int16_t(125));
        QCOMPARE(ValueToPoints(1.0f, 2.0f), int16_t(12));   // 12.5 goes to the even neighbour
        QCOMPARE(ValueToPoints(3.0f, 2.0f), int16_t(38));   // 37.5 -> 38
        // A zero scale and an overflowing result no longer fail.
        QCOMPARE(ValueToPoints(1.0f, 0.0f), int16_t(0));
        QCOMPARE(ValueToPoints(1e6f, 0.001f), int16_t(32767));
        QCOMPARE(ValueToPoints(-1e6f, 0.001f), int16_t(-32768));
    }

    void hexAndTime() {
        QCOMPARE(HexTextToDouble("FFFFFFFF"), 4294967295.0);
        QCOMPARE(HexTextToDouble("ffffffff"), 4294967295.0);
        QCOMPARE(HexTextToDouble("1200000010"), 16.0);  // only the last eight count
        QCOMPARE(HexTextToDouble("0000zz0A"), 10.0);    // other characters count 0
        QCOMPARE(HexTextToDouble("A"), 10.0);           // short text: its own digits
        QCOMPARE(HexTextToDouble(""), 0.0);
        QCOMPARE(TimeFrom64(-1, 0), 0.004294967295);
        QCOMPARE(TimeFrom64(0, 1), 0.004294967296);
        QCOMPARE(TimeFrom64(0, -1), -0.004294967296);
        QCOMPARE(TimeFrom64(1000000, 0), 1e-6);
    }

    void voltsCoarse_data() {
        QTest::addColumn<float>("volts");
        QTest::addColumn<int>("count");
        QTest::addColumn<float>("expected");
        QTest::newRow("bottom up") << 0.002f << 1 << 0.005f;
        QTest::newRow("bottom down") << 0.002f << -1 << 0.002f;
        QTest::newRow("between down") << 0.003f << -1 << 0.002f;
        QTest::newRow("between up") << 0.003f << 1 << 0.005f;
        QTest::newRow("top up") << 10.0f << 1 << 10.0f;
        QTest::newRow("below ladder down") << 0.001f << -1 << 0.002f;
        QTest::newRow("above ladder") << 20.0f << -3 << 20.0f;
        QTest::newRow("three up") << 0.05f << 3 << 0.5f;
        QTest::newRow("zero count") << 1.0f << 0 << 1.0f;
        QTest::newRow("whole microvolts") << 0.0012344f << 0 << 0.001234f;
        QTest::newRow("many down") << 10.0f << -32768 << 0.002f;
        QTest::newRow("beyond 32 bits") << 5000.0f << 1 << 5000.0f;
        QTest::newRow("negative beyond") << -5000.0f << -1 << -5000.0f;
    }
    void voltsCoarse() {
        QFETCH(float, volts);
        QFETCH(int, count);
        QFETCH(float, expected);
        QCOMPARE(StepVoltsPerDiv(volts, int16_t(count)), expected);
    }

    void voltsFine_data() {
        QTest::addColumn<float>("volts");
        QTest::addColumn<int>("count");
        QTest::addColumn<float>("expected");
        QTest::newRow("5m up") << 0.005f << 1 << 0.0051f;
        QTest::newRow("5m down") << 0.005f << -1 << 0.00495f;
        QTest::newRow("bottom") << 0.002f << -1 << 0.002f;
        QTest::newRow("top") << 10.0f << 1 << 10.0f;
        QTest::newRow("two up") << 0.0049f << 2 << 0.005f;
        QTest::newRow("three up") << 0.0049f << 3 << 0.0051f;
        QTest::newRow("1V down") << 1.0f << -1 << 0.99f;
        QTest::newRow("below ladder") << 0.001f << 1 << 0.001f;
        QTest::newRow("above ladder") << 11.0f << -1 << 11.0f;
        QTest::newRow("beyond 32 bits") << 1e6f << 1 << 1e6f;
    }
    void voltsFine() {
        QFETCH(float, volts);
        QFETCH(int, count);
        QFETCH(float, expected);
        QCOMPARE(StepVoltsPerDivFine(volts, int16_t(count)), expected);
    }

    void timePerDiv_data() {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<int>("direction");
        QTest::addColumn<double>("expected");
        QTest::newRow("2n up") << 2e-9 << 1 << 5e-9;
        QTest::newRow("5n down") << 5e-9 << -1 << 2e-9;
        QTest::newRow("top up") << 50.0 << 1 << 50.0;
        QTest::newRow("above up") << 60.0 << 1 << 60.0;
        QTest::newRow("above down") << 60.0 << -1 << 60.0;
        QTest::newRow("bottom down") << 1e-12 << -1 << 1e-12;
        QTest::newRow("between up") << 1.5e-12 << 1 << 5e-12;
        QTest::newRow("between down") << 1.5e-12 << -1 << 1e-12;
        QTest::newRow("direction 0 steps down") << 0.1 << 0 << 0.05;
        QTest::newRow("any magnitude is one step") << 1e-3 << 100 << 2e-3;
        // These used to stay put: their picosecond counts lie a hair above the entry.
        QTest::newRow("0.5n down") << 0.5e-9 << -1 << 0.2e-9;
        QTest::newRow("1n down") << 1e-9 << -1 << 0.5e-9;
        QTest::newRow("2n down") << 2e-9 << -1 << 1e-9;
        QTest::newRow("0.5n up") << 0.5e-9 << 1 << 1e-9;
        QTest::newRow("1n up") << 1e-9 << 1 << 2e-9;
        QTest::newRow("between 2n and 5n up") << 3e-9 << 1 << 10e-9;
    }
    void timePerDiv() {
        QFETCH(double, seconds);
        QFETCH(int, direction);
        QFETCH(double, expected);
        QCOMPARE(StepTimePerDiv(seconds, int16_t(direction)), expected);
    }

    void timeLadderWalksEveryEntry() {
        // Up from 1 ps reaches 50 s in 41 steps and comes back down the same way.
        double t = 1e-12;
        QList<double> up{t};
        for (int i = 0; i < 41; ++i) up << (t = StepTimePerDiv(t, 1));
        QCOMPARE(t, 50.0);
        QCOMPARE(StepTimePerDiv(t, 1), 50.0);
        for (int i = 40; i >= 0; --i) {
            t = StepTimePerDiv(t, -1);
            QCOMPARE(t, up[i]);
        }
    }

    void wavePercent() {
        QCOMPARE(WavePercentText(7), QString("7%"));
        QCOMPARE(WavePercentText(100), QString("100%"));
        QStringList shown;
        WavePercentUi().ShowText = [&](int slot, const QString& t) {
            shown << QString::number(slot) + ":" + t;
        };
        ShowWavePercent(3, 42);
        ShowWavePercent(18, 50);  // outside the slots: ignored
        ShowWavePercent(-1, 50);
        QCOMPARE(shown, QStringList{"3:42%"});
        WavePercentUi().ShowText = nullptr;
        ShowWavePercent(3, 1);  // no view layer: nothing happens
    }
};

QTEST_MAIN(ScaleStepsTest)
#include "tst_scalesteps.moc"
