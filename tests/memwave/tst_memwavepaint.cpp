// The screen of a Memory Wave view on a QImage: trace rows and columns,
// markers and their edge arrows, logic lines over their own columns, the
// X-Y plot, both schemes and zooms; the cursor readouts as a table.
#include <QtTest>

#include "common/SheetModel.h"
#include "memwave/paint/MemWavePaint.h"
#include "memwave/paint/MemWaveReadouts.h"
#include "screen/ScreenColors.h"

namespace {
// CH1 flat on the centre row, full display, 1 V/div, 1 ms/div, delay 0.
MemWaveInfo Flat() {
    MemWaveInfo r;
    r.Loaded = r.YTFormat = true;
    r.HasCh1 = true;
    r.TriggerMode = "EDGE";
    r.StateWord = "OFF";
    r.ScreenPointCount = 600;
    r.Ch1Screen.fill(100);
    r.Ch2Screen.fill(100);
    r.Ch1VoltsPerDiv = r.Ch2VoltsPerDiv = 1;
    r.TimePerDiv = 1e-3;
    r.BlackBackground = true;
    r.ShowGrid = false;
    SystemDataRecord& sd = r.ScreenData;
    sd.TraceFirstX = 0;
    sd.TraceLastX = 299;
    sd.CH1Shown = sd.CH2Shown = 1;
    return r;
}

QImage Draw(const MemWaveInfo& r, double zoom = 1) {
    MemWaveDrawOptions o;
    o.Zoom = zoom;
    return RenderMemWaveView(r, o);
}

int Count(const QImage& img, const QRect& area, const QColor& c) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) n += img.pixel(x, y) == c.rgb();
    return n;
}
}  // namespace

class MemWavePaintTest : public QObject {
    Q_OBJECT
private slots:
    // Where a flat CH1 trace lies: row, half, scheme and zoom.
    void traceRows_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<double>("zoom");
        QTest::addColumn<bool>("black");
        QTest::addColumn<int>("row");
        QTest::newRow("full, zoom 1") << "EDGE" << 1.0 << true << 125;
        QTest::newRow("full, zoom 2") << "EDGE" << 2.0 << true << 225;
        QTest::newRow("white scheme") << "EDGE" << 1.0 << false << 125;
        QTest::newRow("FFT half height") << "FFT" << 1.0 << true << 75;
        QTest::newRow("ALTERNATION upper half") << "ALTERNATION" << 1.0 << true << 75;
        QTest::newRow("ALTERNATION at zoom 3") << "ALTERNATION" << 3.0 << true << 175;
    }
    void traceRows() {
        QFETCH(QString, mode);
        QFETCH(double, zoom);
        QFETCH(bool, black);
        QFETCH(int, row);
        MemWaveInfo r = Flat();
        r.BlackBackground = black;
        if (mode == "FFT") {
            r.StateWord = "ON";
        } else {
            r.TriggerMode = mode;
            r.SplitDisplay = mode == "ALTERNATION";
            r.ScreenData.UpperFirstX = 0;
            r.ScreenData.UpperLastX = 299;
        }
        const QImage img = Draw(r, zoom);
        const QColor trace = black ? WaveColors::Ch1() : WaveColors::Black();
        const int x = 25 + int(101.2 * zoom + 0.5);  // clear of the axes' ticks
        QCOMPARE(QColor(img.pixel(x, row)), trace);
        QCOMPARE(QColor(img.pixel(x, row + 2)), WaveColors::Background(black));
        // The trace spans the columns it was made for.
        QVERIFY(Count(img, QRect(26, row, int(298 * zoom), 1), trace) > int(290 * zoom));
    }

    void alternationLowerHalfAndColumns() {
        MemWaveInfo r = Flat();
        r.HasCh2 = true;
        r.TriggerMode = "ALTERNATION";
        r.SplitDisplay = true;
        r.ScreenData.UpperFirstX = 0;
        r.ScreenData.UpperLastX = 99;    // CH1 window ends a third in
        r.ScreenData.LowerFirstX = 150;  // CH2 window starts in the middle
        r.ScreenData.LowerLastX = 299;
        const QImage img = Draw(r);
        QCOMPARE(QColor(img.pixel(60, 75)), WaveColors::Ch1());
        QCOMPARE(Count(img, QRect(130, 75, 150, 1), WaveColors::Ch1()), 0);
        QCOMPARE(QColor(img.pixel(250, 175)), WaveColors::Ch2());
        QCOMPARE(Count(img, QRect(30, 175, 140, 1), WaveColors::Ch2()), 0);
        // An empty window (last < first) draws nothing.
        r.ScreenData.LowerLastX = -1;
        QCOMPARE(Count(Draw(r), QRect(26, 126, 298, 98), WaveColors::Ch2()), 0);
    }

    void hiddenAndOffScreenTraces() {
        MemWaveInfo r = Flat();
        r.ScreenData.TraceLastX = 300;  // no analogue trace, the marker stays
        QImage img = Draw(r);
        QCOMPARE(Count(img, QRect(26, 26, 298, 198), WaveColors::Ch1()), 0);
        QVERIFY(Count(img, QRect(0, 110, 25, 30), WaveColors::Ch1()) > 10);
        r = Flat();
        r.ScreenData.CH1Shown = 2;
        QCOMPARE(Count(Draw(r), QRect(26, 26, 298, 198), WaveColors::Ch1()), 0);
        r = Flat();
        r.Loaded = false;  // graticule only
        QCOMPARE(Count(Draw(r), QRect(0, 0, 350, 250), WaveColors::Ch1()), 0);
    }

    // The channel marker: a flag at its level, arrows at the edges, and a
    // volts/div of 0 drawn on the centre line rather than nowhere.
    void channelMarker_data() {
        QTest::addColumn<float>("offset");
        QTest::addColumn<float>("voltsDiv");
        QTest::addColumn<QPoint>("pixel");
        QTest::newRow("on the centre line") << 0.0f << 1.0f << QPoint(6, 125);
        QTest::newRow("-1 V at 500 mV: row 150") << -1.0f << 0.5f << QPoint(6, 175);
        QTest::newRow("+4 div: up arrow") << 4.0f << 1.0f << QPoint(17, 40);
        QTest::newRow("-4 div: down arrow") << -4.0f << 1.0f << QPoint(17, 210);
        QTest::newRow("0 V/div: centre line") << 1.0f << 0.0f << QPoint(6, 125);
    }
    void channelMarker() {
        QFETCH(float, offset);
        QFETCH(float, voltsDiv);
        QFETCH(QPoint, pixel);
        MemWaveInfo r = Flat();
        r.ScreenData.CH1Shown = 0;
        r.Ch1OffsetVolts = offset;
        r.Ch1VoltsPerDiv = voltsDiv;
        QCOMPARE(QColor(Draw(r).pixel(pixel)), WaveColors::Ch1());
    }

    void triggerMarker_data() {
        QTest::addColumn<double>("delay");
        QTest::addColumn<double>("timeDiv");
        QTest::addColumn<QPoint>("pixel");
        QTest::newRow("centre") << 0.0 << 1e-3 << QPoint(171, 35);
        QTest::newRow("+6 div: left arrow") << 6e-3 << 1e-3 << QPoint(36, 30);
        QTest::newRow("-6 div: right arrow") << -6e-3 << 1e-3 << QPoint(314, 30);
        QTest::newRow("0 s/div: centre") << 1e-3 << 0.0 << QPoint(171, 35);
    }
    void triggerMarker() {
        QFETCH(double, delay);
        QFETCH(double, timeDiv);
        QFETCH(QPoint, pixel);
        MemWaveInfo r = Flat();
        r.HasCh1 = false;
        r.DelayTime = delay;
        r.TimePerDiv = timeDiv;
        QCOMPARE(QColor(Draw(r).pixel(pixel)), WaveColors::Maker());
        QCOMPARE(TriggerMarkColumn(delay, timeDiv), timeDiv == 0 ? 150.0 : 150 - delay / timeDiv * 25);
    }

    // Logic lines lie over the logic window's own columns, the selected
    // channel in its colour; a clear mask bit draws nothing.
    void logicLinesOverTheirColumns() {
        MemWaveInfo r = Flat();
        r.HasCh1 = false;
        r.HasLa = true;
        SystemDataRecord& sd = r.ScreenData;
        sd.LAShown = 1;
        sd.LADisplayState = 0b11;
        sd.LARowY[0] = 222;
        sd.LARowY[1] = 198;
        sd.LAState106 = 1;
        sd.LAFirstX = 100;
        sd.LALastX = 199;
        r.LaScreen.fill(1);  // D0 high, D1 low
        const QImage img = Draw(r);
        QCOMPARE(QColor(img.pixel(175, 213)), WaveColors::La());          // D0 high: 222 - 9
        QCOMPARE(QColor(img.pixel(175, 198)), WaveColors::LaSelected());  // D1 low
        QCOMPARE(Count(img, QRect(26, 213, 90, 1), WaveColors::La()), 0);
        QCOMPARE(Count(img, QRect(240, 213, 80, 1), WaveColors::La()), 0);
        sd.LADisplayState = 0b01;
        QCOMPARE(Count(Draw(r), QRect(26, 26, 298, 198), WaveColors::LaSelected()), 0);
        // A selected channel byte past 15 names no channel: no crash, no red.
        sd.LADisplayState = 0b11;
        sd.LAState106 = 200;
        QCOMPARE(Count(Draw(r), QRect(26, 26, 298, 198), WaveColors::LaSelected()), 0);
    }

    void xyPlot() {
        MemWaveInfo r = Flat();
        r.YTFormat = false;
        r.XYFormat = true;
        const QImage img = Draw(r);
        QCOMPARE(QColor(img.pixel(175, 125)), WaveColors::XY());
        r.XYFormat = false;  // neither display: graticule only
        QCOMPARE(Count(Draw(r), QRect(26, 26, 298, 198), WaveColors::XY()), 0);
    }

    // Readouts: the record as the source, texts and places.
    void readouts_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("x");
        QTest::addColumn<bool>("y");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("time, full") << "EDGE" << true << false
                                    << QStringList{"185,30:1/|X1-X2|=102.04Hz", "185,50:|X1-X2|   =9.80ms"};
        QTest::newRow("volts, full") << "EDGE" << false << true
                                     << QStringList{"185,30:|Y1-Y2|  =6.4V"};
        QTest::newRow("volts, 0 V/div") << "ZERO" << false << true
                                        << QStringList{"185,30:|Y1-Y2|  =0.0mV"};
        QTest::newRow("logic only: time lines") << "LA" << true << true
                                                << QStringList{"185,30:1/|X1-X2|=102.04Hz",
                                                               "185,50:|X1-X2|   =9.80ms"};
        QTest::newRow("no file") << "NONE" << true << true << QStringList{};
        QTest::newRow("split, ALTERNATION")
            << "ALTERNATION" << false << true
            << QStringList{"185,30:|Y1-Y2|  =6.4V", "185,130:|Y1-Y2|  =7.3V"};
        QTest::newRow("split, not ALTERNATION") << "SPLIT" << true << true << QStringList{};
    }
    void readouts() {
        QFETCH(QString, mode);
        QFETCH(bool, x);
        QFETCH(bool, y);
        QFETCH(QStringList, texts);
        MemWaveInfo r = Flat();
        CursorState s = MemWaveCursorDefaults();
        s.XOn = x;
        s.YOn = y;
        s.Y1 = 55;
        s.Y2 = 215;
        if (mode == "ZERO") r.Ch1VoltsPerDiv = 0;
        if (mode == "LA") r.HasCh1 = false, r.HasLa = true;
        if (mode == "NONE") r.HasCh1 = false;
        if (mode == "ALTERNATION" || mode == "SPLIT") {
            r.TriggerMode = mode == "SPLIT" ? "EDGE" : "ALTERNATION";
            r.SplitDisplay = true;
            r.AltCh1TimePerDiv = r.AltCh2TimePerDiv = 1e-3;
            RescaleCursorY(s, true, false);  // the load of a split file
            QCOMPARE(s.Y1, 40.0);
            QCOMPARE(s.Y2, 120.0);
        }
        ReadoutOptions o;
        QStringList got;
        for (const ReadoutLine& l : CursorReadouts(s, MemWaveReadouts(r), o, CursorColoursFor(true)))
            got << QString("%1,%2:%3").arg(l.at.x()).arg(l.at.y()).arg(l.text);
        QCOMPARE(got, texts);
    }

    void cursorRescaleOnSplitChange() {
        CursorState s = MemWaveCursorDefaults();
        s.Y1 = 55;
        s.Y2 = 215;
        RescaleCursorY(s, true, false);
        RescaleCursorY(s, false, true);
        QCOMPARE(s.Y1, 55.0);
        QCOMPARE(s.Y2, 215.0);
        s.YOn = false;  // hidden voltage cursors stay
        RescaleCursorY(s, true, false);
        QCOMPARE(s.Y1, 55.0);
        s.YOn = true;
        RescaleCursorY(s, true, true);  // no change of split
        QCOMPARE(s.Y1, 55.0);
    }
};

QTEST_MAIN(MemWavePaintTest)
#include "tst_memwavepaint.moc"
