// The controls of a Memory Wave view as plain functions: hit tests, drags
// as press/move/release sequences, the step buttons' ladders and offset
// rescale, and the settings panel's placement.
#include <QtTest>

#include "common/SheetModel.h"
#include "memwave/paint/MemWaveMouse.h"
#include "memwave/paint/MemWaveReadouts.h"
#include "memwave/paint/MemWaveSteps.h"

namespace {
// CH1 flat on row 100 over the full display; 1 V/div, 1 ms/div.
MemWaveInfo Flat(bool alternation = false) {
    MemWaveInfo r;
    r.Loaded = r.YTFormat = r.HasCh1 = true;
    r.TriggerMode = alternation ? "ALTERNATION" : "EDGE";
    r.SplitDisplay = alternation;
    r.ScreenPointCount = 600;
    r.Ch1Screen.fill(100);
    r.Ch1VoltsPerDiv = 1;
    r.TimePerDiv = r.AltCh1TimePerDiv = 1e-3;
    SystemDataRecord& sd = r.ScreenData;
    sd.TraceFirstX = sd.UpperFirstX = 0;
    sd.TraceLastX = sd.UpperLastX = 299;
    for (int k = 0; k < 16; ++k) sd.LARowY[k] = int16_t(222 - 12 * k);
    return r;
}
}  // namespace

class MemWaveControlsTest : public QObject {
    Q_OBJECT
private slots:
    // A drag measured from the press: 25 pixels are one division at zoom
    // 1, half of one at zoom 2, and two of a half-height trace.
    void traceDrag_data() {
        QTest::addColumn<bool>("alt");
        QTest::addColumn<double>("zoom");
        QTest::addColumn<double>("offsetChange");
        QTest::addColumn<double>("delayChange");
        QTest::newRow("zoom 1") << false << 1.0 << -1.0 << -1e-3;
        QTest::newRow("zoom 2") << false << 2.0 << -0.5 << -0.5e-3;
        QTest::newRow("ALTERNATION, CH1") << true << 1.0 << -2.0 << -1e-3;
    }
    void traceDrag() {
        QFETCH(bool, alt);
        QFETCH(double, zoom);
        QFETCH(double, offsetChange);
        QFETCH(double, delayChange);
        MemWaveInfo r = Flat(alt);
        CursorState c = MemWaveCursorDefaults();
        MemWaveMouse m;
        const double x = 25 + 100 * zoom, y = 25 + (alt ? 50 : 100) * zoom;
        MemWaveMouseResult e = MemWaveMouseMove(m, c, r, zoom, x, y);
        QCOMPARE(e.pointer, int(PointerOpenHand));
        QVERIFY(m.OverCh1);
        e = MemWaveMouseDown(m, c, r, zoom, x, y);
        QCOMPARE(e.pointer, int(PointerClosedHand));
        e = MemWaveMouseMove(m, c, r, zoom, x + 25, y + 25);
        QVERIFY(e.modified && e.redraw);
        QCOMPARE(e.rezoom, alt ? 0 : 3);
        QCOMPARE(double(r.Ch1OffsetVolts), offsetChange);
        const double delay = alt ? r.AltCh1DelayTime : r.DelayTime;
        QVERIFY(qFuzzyCompare(delay, delayChange));
        QCOMPARE(alt ? r.DelayTime : r.AltCh1DelayTime, 0.0);  // the other delay stays
        // Back to the press: the values return, the sheet is still marked.
        e = MemWaveMouseMove(m, c, r, zoom, x, y);
        QVERIFY(e.modified);
        QCOMPARE(r.Ch1OffsetVolts, 0.0f);
        MemWaveMouseUp(m, c);
        QVERIFY(!m.DragCh1 && !m.OverCh1);
        // A move after the release only hovers.
        e = MemWaveMouseMove(m, c, r, zoom, x + 25, y + 25);
        QVERIFY(!e.modified && e.rezoom < 0);
    }

    void leavingTheGraticuleFreezesThatCoordinate() {
        MemWaveInfo r = Flat();
        CursorState c = MemWaveCursorDefaults();
        MemWaveMouse m;
        MemWaveMouseMove(m, c, r, 1, 125, 125);
        MemWaveMouseDown(m, c, r, 1, 125, 125);
        MemWaveMouseMove(m, c, r, 1, 150, 150);
        MemWaveMouseMove(m, c, r, 1, 175, 300);  // below the graticule
        QCOMPARE(r.Ch1OffsetVolts, -1.0f);
        QVERIFY(qFuzzyCompare(r.DelayTime, -2e-3));
        MemWaveMouseMove(m, c, r, 1, 400, 175);  // right of it
        QCOMPARE(r.Ch1OffsetVolts, -2.0f);
        QVERIFY(qFuzzyCompare(r.DelayTime, -2e-3));
    }

    void alternationHalves() {
        MemWaveInfo r = Flat(true);
        CursorState c = MemWaveCursorDefaults();
        MemWaveMouse m;
        MemWaveMouseMove(m, c, r, 1, 125, 75);
        MemWaveMouseDown(m, c, r, 1, 125, 75);
        MemWaveMouseMove(m, c, r, 1, 125, 150);  // lower half: CH1's offset holds
        QCOMPARE(r.Ch1OffsetVolts, 0.0f);
        // No logic drag starts on a split screen.
        MemWaveMouseUp(m, c);
        m.OverLa = true;
        MemWaveMouseDown(m, c, r, 1, 125, 75);
        QVERIFY(!m.DragLa);
    }

    void hitTests_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("ch1");
        QTest::addColumn<int>("la");  // logic channel hit, -1 none
        QTest::newRow("on the trace") << 100 << 102 << true << -1;
        QTest::newRow("3 rows off") << 100 << 103 << false << -1;
        QTest::newRow("on the rise between columns") << 149 << 110 << true << -1;
        QTest::newRow("left of the window") << -1 << 100 << false << -1;
        QTest::newRow("logic baseline") << 60 << 161 << false << 3;
        QTest::newRow("logic high level") << 200 << 151 << false << 3;
        QTest::newRow("logic edge") << 149 << 156 << false << 3;
        QTest::newRow("between logic rows") << 60 << 140 << false << -1;
    }
    void hitTests() {
        QFETCH(int, column);
        QFETCH(int, row);
        QFETCH(bool, ch1);
        QFETCH(int, la);
        MemWaveInfo r = Flat();
        for (int i = 300; i < 600; ++i) r.Ch1Screen[i] = 120;  // rises at column 150
        r.HasLa = true;
        r.ScreenData.LAFirstX = 0;
        r.ScreenData.LALastX = 299;
        for (int i = 0; i < MemWaveScreenPoints; ++i)
            r.LaScreen[i] = int16_t(i >= 300 ? 1 << 3 : 0);  // D3 high from column 150
        std::fill(std::begin(r.ScreenData.LARowY), std::end(r.ScreenData.LARowY), int16_t(0));
        r.ScreenData.LARowY[3] = 186;
        MemWaveMouse m;
        HitTestChannels(m, r, 1, 25 + column, 25 + row);
        QCOMPARE(m.OverCh1, ch1);
        QCOMPARE(m.OverLa, la >= 0);
        if (la >= 0) QCOMPARE(int(m.HitLaRow), la);
    }

    // A logic row snaps to 222 - 12k within 42..222 and becomes the selected channel.
    void logicDrag_data() {
        QTest::addColumn<double>("y");
        QTest::addColumn<int>("rowY");
        QTest::newRow("to the top") << 30.0 << 42;
        QTest::newRow("to the bottom") << 240.0 << 222;
        QTest::newRow("snaps") << 100.0 << 102;
        QTest::newRow("half way rounds to even") << 132.0 << 126;
    }
    void logicDrag() {
        QFETCH(double, y);
        QFETCH(int, rowY);
        MemWaveInfo r = Flat();
        r.HasCh1 = false;
        r.HasLa = true;
        r.ScreenData.LAFirstX = 0;
        r.ScreenData.LALastX = 299;
        CursorState c = MemWaveCursorDefaults();
        MemWaveMouse m;
        MemWaveMouseMove(m, c, r, 1, 125, 186);  // D3's baseline
        QVERIFY(m.OverLa);
        QCOMPARE(int(m.HitLaRow), 3);
        MemWaveMouseDown(m, c, r, 1, 125, 186);
        const MemWaveMouseResult e = MemWaveMouseMove(m, c, r, 1, 150, y);
        QCOMPARE(e.rezoom, 3);
        QCOMPARE(int(r.ScreenData.LARowY[3]), rowY);
        QCOMPARE(int(r.ScreenData.LAState106), 3);
        QVERIFY(qFuzzyCompare(r.DelayTime, -1e-3));
    }

    void cursorDragDoesNotMarkTheSheet() {
        MemWaveInfo r = Flat();
        CursorState c = MemWaveCursorDefaults();
        c.XOn = true;
        MemWaveMouse m;
        MemWaveMouseDown(m, c, r, 1, 52.9, 60);  // 2.9 pixels from X1
        QVERIFY(c.DragX1);
        const MemWaveMouseResult e = MemWaveMouseMove(m, c, r, 1, 80, 60);
        QVERIFY(e.redraw && !e.modified && e.rezoom < 0);
        QCOMPARE(e.pointer, int(PointerLeftRight));
        QCOMPARE(c.X1, 80.0);
        MemWaveMouseUp(m, c);
        MemWaveMouseDown(m, c, r, 1, 83, 60);  // 3 pixels away: not caught
        QVERIFY(!c.DragX1);
    }

    // Step buttons: the press rescales the offset, the repeat does not; a
    // volts/div of 0 leaves the offset as it was.
    void steps_data() {
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("dir");
        QTest::addColumn<double>("start");
        QTest::addColumn<float>("offset");
        QTest::addColumn<QStringList>("texts");  // after the press, then each repeat
        QTest::addColumn<float>("offsetAfter");
        QTest::newRow("CH1 down from 1 V") << 0 << -1 << 1.0 << 0.5f
                                           << QStringList{"500mV", "200mV", "100mV"} << 0.25f;
        QTest::newRow("CH1 up at 10 V") << 0 << 1 << 10.0 << 0.5f << QStringList{"10.0V"} << 0.5f;
        QTest::newRow("CH2 down at 2 mV") << 1 << -1 << 0.002 << 0.0f << QStringList{"2.00mV"} << 0.0f;
        QTest::newRow("CH1 up from 0 V/div") << 0 << 1 << 0.0 << 0.5f << QStringList{"5.00mV"} << 0.5f;
        QTest::newRow("time down from 10 ns") << 2 << -1 << 1e-8 << 0.0f
                                              << QStringList{"5.000ns", "2.000ns"} << 0.0f;  // the shared ladder
        QTest::newRow("time up from 20 s") << 2 << 1 << 20.0 << 0.0f
                                           << QStringList{"50.00s", "50.00s"} << 0.0f;
        QTest::newRow("CH2 time up") << 4 << 1 << 1e-3 << 0.0f << QStringList{"2.000ms"} << 0.0f;
    }
    void steps() {
        QFETCH(int, group);
        QFETCH(int, dir);
        QFETCH(double, start);
        QFETCH(float, offset);
        QFETCH(QStringList, texts);
        QFETCH(float, offsetAfter);
        MemWaveInfo r;
        r.Ch1VoltsPerDiv = r.Ch2VoltsPerDiv = float(start);
        r.TimePerDiv = r.AltCh1TimePerDiv = r.AltCh2TimePerDiv = start;
        r.Ch1OffsetVolts = r.Ch2OffsetVolts = offset;
        QStringList got;
        for (int i = 0; i < texts.size(); ++i) {
            StepMemWaveScale(r, group, dir, i == 0);
            got << MemWaveScaleText(r, group);
        }
        QCOMPARE(got, texts);
        QCOMPARE(group == 1 ? r.Ch2OffsetVolts : r.Ch1OffsetVolts, offsetAfter);
        QVERIFY(std::isfinite(r.Ch1OffsetVolts));
        QCOMPARE(r.DelayTime, 0.0);
        const int selectors[] = {0, 1, 3, 0, 1};
        QCOMPARE(MemWaveStepSelector(group), selectors[group]);
    }

    // The panel's placement by trigger mode and channels (twips).
    void panel_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("ch1");
        QTest::addColumn<bool>("ch2");
        QTest::addColumn<QList<int>>("expect");  // VoltDiv.W, CH1 row, CH2 row, Refresh.W, time left, Reset.L
        QTest::newRow("ALTERNATION") << "ALTERNATION" << true << false
            << QList<int>{4890, 140, 590, 1685, 2010, 2485, 2935, 4030, 4355, 10980, 6480, 10095};
        QTest::newRow("CH1 only") << "EDGE" << true << false
            << QList<int>{2635, 140, 590, 1685, 2010, 0, 0, 0, 0, 6805, 2925, 5940};
        QTest::newRow("CH2 only") << "EDGE" << false << true
            << QList<int>{2635, 0, 0, 0, 0, 140, 590, 1685, 2010, 6805, 2925, 5940};
        QTest::newRow("both") << "EDGE" << true << true
            << QList<int>{5070, 140, 590, 1685, 2010, 2625, 3075, 4170, 4495, 9240, 5360, 8375};
    }
    void panel() {
        QFETCH(QString, mode);
        QFETCH(bool, ch1);
        QFETCH(bool, ch2);
        QFETCH(QList<int>, expect);
        MemWaveInfo r;
        r.TriggerMode = mode;
        r.HasCh1 = ch1;
        r.HasCh2 = ch2;
        const MemWavePanelLayout L = ArrangeMemoryWavePanel(r);
        QVERIFY(L.Placed);
        QCOMPARE(L.AltFrame, mode == "ALTERNATION");
        const QList<int> got{L.VoltDivWidth, L.Ch1Label, L.Ch1Box, L.Ch1Dec, L.Ch1Inc,
                             L.Ch2Label,     L.Ch2Box,   L.Ch2Dec, L.Ch2Inc, L.RefreshWidth,
                             L.TimeFrameLeft, L.ResetLeft};
        QCOMPARE(got, expect);
        r.HasCh1 = r.HasCh2 = false;
        r.TriggerMode = "EDGE";
        QVERIFY(!ArrangeMemoryWavePanel(r).Placed);  // logic only: nothing moves
    }
};

QTEST_GUILESS_MAIN(MemWaveControlsTest)
#include "tst_memwavecontrols.moc"
