// The frame picture at pixels its geometry fixes, at two picture sizes.
// (Text is drawn too, so the test runs with a GUI application for fonts.)
#include <QtTest>

#include "common/SheetModel.h"
#include "replay/model/FrameDrawing.h"

namespace {

const QColor Yellow(255, 255, 0), Orange(255, 128, 0), Grey(192, 192, 192);

// Two frames: every sample of frame 1 is 40, of frame 2 is 120.
RecordInfo TwoFrames() {
    RecordInfo r;
    r.Loaded = r.DisplayActive = true;
    r.BlackBackground = true;
    r.Channel = "CH1";
    r.StartFrame = 1;
    r.FrameCount = 2;
    r.CurrentFrame = 1;
    r.Samples.assign(2 * RecordFrameSamples, 40);
    std::fill(r.Samples.begin() + RecordFrameSamples, r.Samples.end(), 120);
    r.VoltScaleText = "1.00V";
    r.OffsetText = "0.00V";
    r.TimeScaleText = "1.000ms";
    r.DelayText = "0.0000s";
    return r;
}

// Columns of row y whose pixel has the colour, within [x0, x1].
int Count(const QImage& img, int y, int x0, int x1, const QColor& c) {
    int n = 0;
    for (int x = x0; x <= x1; ++x) n += img.pixelColor(x, y) == c;
    return n;
}

}  // namespace

class FrameDrawingTest : public QObject {
    Q_OBJECT
private slots:
    // The trace's row follows the picture's height; it spans the graticule.
    void traceAtKnownPixels_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("frame");
        QTest::addColumn<int>("row");  // sample * H / 200 + 25
        QTest::newRow("350x250 frame 1") << QSize(350, 250) << 1 << 65;
        QTest::newRow("350x250 frame 2") << QSize(350, 250) << 2 << 145;
        QTest::newRow("700x500 frame 1") << QSize(700, 500) << 1 << 115;
        QTest::newRow("700x500 frame 2") << QSize(700, 500) << 2 << 295;
    }
    void traceAtKnownPixels() {
        QFETCH(QSize, size);
        QFETCH(int, frame);
        QFETCH(int, row);
        RecordInfo r = TwoFrames();
        r.CurrentFrame = int16_t(frame);
        const QImage img = RenderRecordPicture(size, r, FrameStyle());
        const int W = size.width() - 50;
        // Every column of the graticule but the two frame edges.
        QCOMPARE(Count(img, row, 28, W + 20, Yellow), W + 20 - 28 + 1);
        QCOMPARE(Count(img, row - 1, 28, W + 20, Yellow), 0);
        QCOMPARE(Count(img, row + 1, 28, W + 20, Yellow), 0);
    }

    void graticuleScalesWithThePicture() {
        const QImage img = RenderRecordPicture(QSize(350, 250), TwoFrames(), FrameStyle());
        // Dotted division rows every 25 pixels, a dot every 5.
        for (int y : {50, 75, 100, 150, 175, 200}) {
            QCOMPARE(img.pixelColor(60, y), Grey);
            QCOMPARE(img.pixelColor(62, y), QColor(Qt::black));
        }
        const QImage big = RenderRecordPicture(QSize(700, 500), TwoFrames(), FrameStyle());
        // W = 650, H = 450: the centre axes, dotted rows every 56.25 pixels.
        QCOMPARE(big.pixelColor(100, 250), Grey);
        QCOMPARE(big.pixelColor(350, 100), Grey);
        QCOMPARE(big.pixelColor(166, 81), Grey);  // m = 13 (x 165.8) of the row at 25 + 450 / 8
    }

    // Markers follow the offset and the delay, and disappear off the graticule.
    void markers_data() {
        QTest::addColumn<QString>("offset");
        QTest::addColumn<QString>("delay");
        QTest::addColumn<bool>("channelMarker");
        QTest::addColumn<bool>("triggerMarker");
        QTest::newRow("centred") << "0.00V" << "0.0000s" << true << true;
        QTest::newRow("offset above the top") << "5.00V" << "0.0000s" << false << true;
        QTest::newRow("offset at the bottom edge") << "-4.00V" << "0.0000s" << false << true;
        QTest::newRow("delay at the right edge") << "0.00V" << "-6.0000ms" << true << false;
        QTest::newRow("delay past the left edge") << "0.00V" << "7.0000ms" << true << false;
    }
    void markers() {
        QFETCH(QString, offset);
        QFETCH(QString, delay);
        QFETCH(bool, channelMarker);
        QFETCH(bool, triggerMarker);
        RecordInfo r = TwoFrames();
        r.OffsetText = offset;
        r.DelayText = delay;
        const QImage img = RenderRecordPicture(QSize(350, 250), r, FrameStyle());
        int marker = 0;
        for (int y = 20; y <= 230; ++y) marker += Count(img, y, 6, 23, Yellow);
        QCOMPARE(marker > 0, channelMarker);
        if (channelMarker) QCOMPARE(img.pixelColor(12, 120), Yellow);  // tip row of the zero level at 125
        // The trigger pentagon's top edge, 8 pixels wide from x = q + 21.
        QCOMPARE(img.pixelColor(177, 30) == Orange, triggerMarker);
        QCOMPARE(img.pixelColor(175, 44) == Orange, triggerMarker);
    }

    void whiteSchemeIsAllBlack() {
        RecordInfo r = TwoFrames();
        r.BlackBackground = false;
        const QImage img = RenderRecordPicture(QSize(400, 300), r, FrameStyle());
        int black = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QColor c = img.pixelColor(x, y);
                QVERIFY2(c == Qt::white || c == Qt::black, qPrintable(QString("%1,%2").arg(x).arg(y)));
                black += c == Qt::black;
            }
        QVERIFY(black > 1000);
        QCOMPARE(img.pixelColor(100, 65 + 10), QColor(Qt::black));  // trace at 40 * 250 / 200 + 25
    }

    // A frame the samples do not hold (or no frame yet) draws no trace and
    // reads nothing past the samples.
    void missingFrameDrawsNoTrace() {
        RecordInfo r = TwoFrames();
        r.Samples.resize(RecordFrameSamples + 500);
        r.CurrentFrame = 2;
        const QImage img = RenderRecordPicture(QSize(350, 250), r, FrameStyle());
        for (int y = 26; y < 224; ++y) QCOMPARE(Count(img, y, 40, 300, Yellow), 0);
        r.CurrentFrame = 0;
        RenderRecordPicture(QSize(350, 250), r, FrameStyle());
        r.DisplayActive = false;  // the graticule alone
        const QImage grid = RenderRecordPicture(QSize(350, 250), r, FrameStyle());
        QCOMPARE(Count(grid, 65, 28, 320, Yellow), 0);
        QCOMPARE(grid.pixelColor(60, 75), Grey);
        RenderRecordPicture(QSize(10, 10), TwoFrames(), FrameStyle());  // smaller than the margins
    }
};

QTEST_MAIN(FrameDrawingTest)
#include "tst_framedrawing.moc"
