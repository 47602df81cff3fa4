// The screen copy's colours and picture, without a window: known pixels of
// both models at single and double size.
#include <QtTest>

#include "panel/model/ScreenImage.h"

class ScreenImageTest : public QObject {
    Q_OBJECT

    // Background everywhere; grid at (10, 17), CH1 at (319, 0), CH2 at
    // (0, 233), text at (100, 2), an index above the palette at (5, 5).
    static std::vector<uint8_t> screen() {
        std::vector<uint8_t> s(ScreenImage::Pixels + 1, 0);
        s[17 * 320 + 10] = 1;
        s[0 * 320 + 319] = 2;
        s[233 * 320 + 0] = 3;
        s[2 * 320 + 100] = 5;
        s[5 * 320 + 5] = 0xF3;
        return s;
    }

private slots:
    void knownPixels_data() {
        QTest::addColumn<bool>("colour");
        QTest::addColumn<int>("zoom");
        QTest::newRow("colour, single") << true << 0;
        QTest::newRow("colour, double") << true << 1;
        QTest::newRow("mono, single") << false << 0;
        QTest::newRow("mono, double") << false << 1;
    }
    void knownPixels() {
        QFETCH(bool, colour);
        QFETCH(int, zoom);
        std::vector<QRgb> colors;
        const QImage img = TranslateScreen(screen(), colour, zoom, colors);
        const int k = zoom + 1;
        QCOMPARE(img.size(), QSize(320 * k, 234 * k));
        const QRgb black = qRgb(0, 0, 0), grey = qRgb(128, 128, 128), white = qRgb(255, 255, 255);
        struct Px {
            int x, y;
            QRgb colour, mono;
        };
        const Px px[] = {
            {0, 0, black, black},
            {10, 17, grey, grey},
            {319, 0, qRgb(255, 255, 0), white},
            {0, 233, qRgb(0, 255, 255), white},
            {100, 2, white, white},
            {5, 5, qRgb(0, 255, 255), white},  // only the low four bits choose the colour
            {11, 17, black, black},
        };
        for (const Px& p : px) {
            const QRgb want = colour ? p.colour : p.mono;
            QCOMPARE(colors[size_t(p.y * 320 + p.x)], want);
            // Every screen pixel covers k x k picture pixels.
            for (int dy = 0; dy < k; ++dy)
                for (int dx = 0; dx < k; ++dx) QCOMPARE(img.pixel(p.x * k + dx, p.y * k + dy), want);
        }
    }

    void tooFewColoursGiveNoPicture() {
        QVERIFY(ScreenPicture(std::vector<QRgb>(100, 0), 0).isNull());
        // A short byte array translates only what it holds.
        std::vector<QRgb> colors;
        const QImage img = TranslateScreen(std::vector<uint8_t>(10, 2), true, 0, colors);
        QCOMPARE(img.pixel(9, 0), qRgb(255, 255, 0));
        QCOMPARE(img.pixel(10, 0), qRgb(0, 0, 0));
    }
};

QTEST_GUILESS_MAIN(ScreenImageTest)
#include "tst_screenimage.moc"
