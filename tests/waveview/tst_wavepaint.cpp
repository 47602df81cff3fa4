// Pixels of the waveform picture that the drawing rules fix, on a QImage.
// Text pixels are only checked for being there, never for their shape.
#include <QtTest>
#include <QImage>
#include <QPainter>
#include <cstring>

#include "PixelCount.h"
#include "SheetSamples.h"
#include "common/ShellState.h"
#include "link/Vocabulary.h"
#include "link/WaveNumbers.h"
#include "sheets/SheetFile.h"
#include "waveview/WavePaint.h"

namespace {
QRgb Rgb(const QColor& c) { return c.rgb(); }

// A Y-T record with CH1 over the whole screen at a constant screen value.
std::unique_ptr<WaveInfo> YtRecord(int ch1Value) {
    auto w = std::make_unique<WaveInfo>();
    SheetSamples::FlatCh1(*w, ch1Value);
    return w;
}

WaveDrawOptions Options(double zoom) {
    WaveDrawOptions o;
    o.Zoom = zoom;
    return o;
}

}  // namespace

class WavePaintTest : public QObject {
    Q_OBJECT
private slots:
    void constantTraceOnItsRow_data() {
        QTest::addColumn<double>("zoom");
        QTest::newRow("zoom 1") << 1.0;
        QTest::newRow("zoom 2") << 2.0;
    }
    void constantTraceOnItsRow() {
        QFETCH(double, zoom);
        auto w = YtRecord(60);
        const QImage img = RenderWaveView(*w, Options(zoom));
        const QRgb ch1 = Rgb(WaveColors::Ch1());
        const int row = 25 + int(60 * zoom);
        const int right = int(300 * zoom + 24);
        for (int x : {int(25 + 10 * zoom), int(25 + 151 * zoom), right - 2})
            QVERIFY2(img.pixel(x, row) == ch1, qPrintable(QString::number(x)));
        QVERIFY(img.pixel(int(25 + 151 * zoom), row - 1) != ch1);
        QVERIFY(img.pixel(int(25 + 151 * zoom), row + 1) != ch1);
        // Nothing of the trace past its last column.
        QVERIFY(img.pixel(right + 3, row) != ch1);
        // The channel marker's tip sits on the ground level (offset 0: centre).
        QCOMPARE(img.pixel(23, Near(100 * zoom + 25)), ch1);
        QCOMPARE(img.pixel(6, Near(100 * zoom + 20)), ch1);

        // A fetched channel that was not on the screen: marker, no trace.
        w->SystemData.CH1Shown = 0;
        const QImage hidden = RenderWaveView(*w, Options(zoom));
        QVERIFY(hidden.pixel(int(25 + 151 * zoom), row) != ch1);
        QCOMPARE(hidden.pixel(23, Near(100 * zoom + 25)), ch1);
    }

    void traceInTheLowerHalfOfASplitScreen() {
        auto w = YtRecord(100);
        w->TriggerMode = "ALTERNATION";
        w->Ch1Fetched = false;
        w->Ch2Fetched = true;
        w->SystemData.CH2Shown = 1;
        w->SystemData.LowerFirstX = 0;
        w->SystemData.LowerLastX = 299;
        w->Ch2Samples.fill(100);
        w->Ch2Offset = "0.00V";
        w->Ch2Scale = "1.00V";
        w->AltCh1TimeScale = w->AltCh2TimeScale = "1.000ms";
        w->AltCh1TimeOffset = w->AltCh2TimeOffset = "0.000s";
        UpdateWaveNumbers(*w);
        for (double zoom : {1.0, 2.0}) {
            const QImage img = RenderWaveView(*w, Options(zoom));
            const QRgb ch2 = Rgb(WaveColors::Ch2());
            // Half height, shifted into the lower half: 50 + 100 below the top.
            const int row = Near(150 * zoom + 25);
            QCOMPARE(img.pixel(int(25 + 100 * zoom), row), ch2);
            QVERIFY(img.pixel(int(25 + 100 * zoom), Near(100 * zoom + 25)) != ch2);
            // Its marker points at the centre of the lower half.
            QCOMPARE(img.pixel(23, row), ch2);
        }
    }

    void triggerMarkerColumn_data() {
        QTest::addColumn<double>("zoom");
        QTest::addColumn<QString>("delay");
        QTest::addColumn<int>("column");  // screen column of the trigger point
        QTest::newRow("centre, zoom 1") << 1.0 << "0.000s" << 150;
        QTest::newRow("centre, zoom 2") << 2.0 << "0.000s" << 150;
        QTest::newRow("4 divisions left, zoom 2") << 2.0 << "4.000ms" << 50;
        QTest::newRow("2 divisions right, zoom 1") << 1.0 << "-2.000ms" << 200;
    }
    void triggerMarkerColumn() {
        QFETCH(double, zoom);
        QFETCH(QString, delay);
        QFETCH(int, column);
        auto w = YtRecord(180);
        w->TimeOffset = delay;
        UpdateWaveNumbers(*w);
        const QImage img = RenderWaveView(*w, Options(zoom));
        const QRgb mark = Rgb(WaveColors::Maker());
        const int B = Near(column * zoom + 21);
        // The marker's two sides and its tip on the trigger column.
        QCOMPARE(img.pixel(B, 35), mark);
        QCOMPARE(img.pixel(B + 8, 35), mark);
        QCOMPARE(img.pixel(B + 4, 44), mark);
        // The centre mark's point stays on the screen centre.
        QCOMPARE(img.pixel(Near(150 * zoom + 25), 30), mark);
    }

    void blackAndWhiteScheme() {
        auto w = YtRecord(60);
        w->ColorDisplay = false;
        w->YTVariant = true;  // split screen: every fetched trace is drawn
        w->SystemData.CH1Shown = 0;
        const QImage img = RenderWaveView(*w, Options(1));
        const QRgb white = Rgb(WaveColors::White()), black = Rgb(WaveColors::Black());
        QCOMPARE(img.pixel(5, 5), white);
        QCOMPARE(img.pixel(25, 25), black);
        QCOMPARE(img.pixel(30, 50), black);   // grid dot
        QCOMPARE(img.pixel(100, 85), black);  // trace
        QCOMPARE(img.pixel(171, 35), black);  // trigger marker
        QVERIFY(CountColour(img, QRect(25, 10, 40, 13), black) > 10);
        // Nothing in colour anywhere.
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                QVERIFY(img.pixel(x, y) == white || img.pixel(x, y) == black);
    }

    void logicLinesAndSelection() {
        auto w = YtRecord(60);
        w->Ch1Fetched = false;
        w->LaFetched = true;
        auto& sd = w->SystemData;
        sd.LAShown = 1;
        sd.LADisplayState = 0b11;  // D0 and D1 shown
        sd.LAState106 = 1;         // D1 selected
        sd.LAState107 = 5;         // high level 4 pixels above the low level
        sd.LARowY[0] = 100;
        sd.LARowY[1] = 140;
        for (int k = 1; k <= 1200; k += 2) {
            w->LaSamples[k] = 0x01;  // D0 high, D1 low throughout
            w->LaSamples[k + 1] = 0;
        }
        for (double zoom : {1.0, 2.0}) {
            const QImage img = RenderWaveView(*w, Options(zoom));
            const int x = Near(25 + 100 * zoom);
            const int lo0 = Near((100 - 25) * zoom) + 25, lo1 = Near((140 - 25) * zoom) + 25;
            const int h = Near(4 * zoom);
            QCOMPARE(img.pixel(x, lo0 - h), Rgb(WaveColors::La()));
            QVERIFY(img.pixel(x, lo0) != Rgb(WaveColors::La()));
            QCOMPARE(img.pixel(x, lo1), Rgb(WaveColors::LaSelected()));
            QVERIFY(img.pixel(x, lo1 - h) != Rgb(WaveColors::LaSelected()));
            // Labels in the left margin, the selected one in its own colour.
            QVERIFY(CountColour(img, QRect(5, lo0 - 12, 12, 12), Rgb(WaveColors::La())) > 0);
            QVERIFY(CountColour(img, QRect(5, lo1 - 12, 12, 12), Rgb(WaveColors::LaSelected())) > 0);
        }
    }

    // The third trace is the FFT when the record's FFT word is an ON word,
    // also one stored while the other UI language was active.
    void thirdTraceFollowsTheFftWord_data() {
        QTest::addColumn<QString>("word");
        QTest::addColumn<int>("row");
        QTest::newRow("ON: the FFT trace") << ValueWordIn(vwOn, LangEnglish) << 60;
        QTest::newRow("ON of the other language") << ValueWordIn(vwOn, LangChinese) << 60;
        QTest::newRow("OFF: the MATH trace") << ValueWordIn(vwOff, LangEnglish) << 140;
    }
    void thirdTraceFollowsTheFftWord() {
        QFETCH(QString, word);
        QFETCH(int, row);
        auto w = YtRecord(60);
        w->Ch1Fetched = false;
        w->MathFetched = true;
        w->FftDisplayWord = word;
        auto& sd = w->SystemData;
        sd.MathShown = sd.FFTShown = 1;
        sd.FFTFullScreen = 1;
        sd.FFTZoom = 4;  // span 500: columns 0 .. 250
        sd.FFTHorizPos = 150;
        w->FftSamples.fill(60);
        w->MathSamples.fill(140);
        const QImage img = RenderWaveView(*w, Options(1));
        const QRgb math = Rgb(WaveColors::Math());
        QCOMPARE(img.pixel(125, 25 + row), math);
        QVERIFY(img.pixel(125, 25 + (row == 60 ? 140 : 60)) != math);
    }

    // A time/div or volts/div that reads 0, a count of 0 and column ranges
    // past the arrays draw what can be drawn and never fail.
    void unreadableValuesStillDraw() {
        auto w = YtRecord(60);
        w->TimeScale = "";
        w->Ch1Scale = "0V";
        UpdateWaveNumbers(*w);
        const QImage img = RenderWaveView(*w, Options(1));
        const QRgb mark = Rgb(WaveColors::Maker()), ch1 = Rgb(WaveColors::Ch1());
        QCOMPARE(img.pixel(42, 35), mark);  // trigger position unknown: left arrow
        QCOMPARE(img.pixel(12, 35), ch1);   // ground level unknown: up arrow
        QCOMPARE(img.pixel(100, 85), ch1);  // the trace is still there
        w->PointCount = 0;
        w->SystemData.TraceLastX = 32000;
        w->SystemData.UpperFirstX = 30000;
        w->MathFetched = true;
        w->SystemData.MathShown = 1;
        RenderWaveView(*w, Options(1));
        w->TriggerMode = "ALTERNATION";
        w->PointCount = 600;
        w->Ch1Samples.fill(-2000000000);
        RenderWaveView(*w, Options(2));
    }

    // A device the drawing cannot write to directly (another pixel format,
    // as a printer's page would be) shows the same fixed pixels.
    void everyDeviceShowsTheFixedPixels() {
        auto w = YtRecord(60);
        const WaveDrawOptions o = Options(2);
        const QImage direct = RenderWaveView(*w, o);
        QImage other(direct.size(), QImage::Format_RGB888);
        {
            QPainter p(&other);
            PaintWaveView(p, *w, o);
        }
        const QList<QPoint> fixed = {{25, 25}, {625, 425}, {35, 75}, {37, 75}, {45, 145},
                                     {601, 145}, {321, 35}, {329, 35}, {325, 44}};
        for (QPoint q : fixed)
            QVERIFY2(other.pixel(q) == direct.pixel(q), qPrintable(QString("%1,%2").arg(q.x()).arg(q.y())));
    }

    // The numbers the drawing reads are those of the record's texts: in a
    // new record, and in one read back from a sheet file, which draws as
    // the record it was saved from.
    void numbersFollowTheTexts() {
        const auto sameNumbers = [](const WaveInfo& w) {
            auto derived = std::make_unique<WaveInfo>(w);
            UpdateWaveNumbers(*derived);
            return std::memcmp(&derived->Numbers, &w.Numbers, sizeof(WaveNumbers)) == 0;
        };
        QVERIFY(sameNumbers(*std::make_unique<WaveInfo>()));

        auto saved = std::make_unique<SheetModelData>();
        auto read = std::make_unique<SheetModelData>();
        SheetSamples::FillTelling(*saved, 0);
        QVERIFY(ParseSheetFile(SheetFileText(*saved, true), *read));
        const WaveInfo& w = read->WaveViews[0];
        QVERIFY(sameNumbers(w));
        QCOMPARE(w.Numbers.Ch2Offset, 3.04);
        const WaveDrawOptions o = Options(1.5);
        QCOMPARE(RenderWaveView(w, o), RenderWaveView(saved->WaveViews[0], o));
    }

    void overlayIsPaintedLast() {
        auto w = YtRecord(60);
        WaveDrawOptions o = Options(2);
        double seenZoom = 0;
        o.Overlay = [&](QPainter& p, const WaveGeometry& g) {
            seenZoom = g.Zoom;
            p.fillRect(QRect(100, 100, 3, 3), Qt::red);
        };
        const QImage img = RenderWaveView(*w, o);
        QCOMPARE(seenZoom, 2.0);
        QCOMPARE(img.pixel(101, 101), QColor(Qt::red).rgb());
    }
};

QTEST_MAIN(WavePaintTest)
#include "tst_wavepaint.moc"
