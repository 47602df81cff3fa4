// Pixels of the shared graticule that the drawing rules fix, on a QImage.
// Text pixels are only checked for being there, never for their shape.
#include <QImage>
#include <QPainter>
#include <QtTest>

#include "PixelCount.h"
#include "screen/Graticule.h"
#include "screen/ScreenColors.h"

namespace {
QRgb Rgb(const QColor& c) { return c.rgb(); }

QImage Render(const GraticuleStyle& style, double zoom) {
    const WaveGeometry g(zoom);
    QImage img(g.PictureWidth(), g.PictureHeight(), QImage::Format_RGB32);
    QPainter p(&img);
    ScreenPen pen(p, zoom, DefaultScreenFont());
    DrawGraticule(pen, style);
    return img;
}

}  // namespace

class GraticuleTest : public QObject {
    Q_OBJECT
private slots:
    void graticuleFrameCentreLinesAndGrid_data() {
        QTest::addColumn<double>("zoom");
        QTest::newRow("zoom 1") << 1.0;
        QTest::newRow("zoom 2") << 2.0;
    }
    void graticuleFrameCentreLinesAndGrid() {
        QFETCH(double, zoom);
        const WaveGeometry g(zoom);
        GraticuleStyle style;
        style.Grid = true;
        const QImage img = Render(style, zoom);
        QCOMPARE(img.size(), QSize(g.PictureWidth(), g.PictureHeight()));
        const QRgb grid = Rgb(WaveColors::Grid()), black = Rgb(WaveColors::Black());
        const int R = int(g.Right()), B = int(g.Bottom()), cx = int(g.CentreX()), cy = int(g.CentreY());
        QCOMPARE(img.pixel(5, 5), black);
        for (QPoint corner : {QPoint(25, 25), QPoint(R, 25), QPoint(25, B), QPoint(R, B)})
            QVERIFY2(img.pixel(corner) == grid, qPrintable(QString("corner %1,%2").arg(corner.x()).arg(corner.y())));
        // Solid centre lines, away from grid dots and ticks.
        QCOMPARE(img.pixel(cx, 25 + int(12 * zoom)), grid);
        QCOMPARE(img.pixel(25 + int(62 * zoom), cy), grid);
        // A grid dot on the first inner grid row, and the gap next to it.
        const int row = 25 + int(25 * zoom);
        QCOMPARE(img.pixel(25 + int(5 * zoom), row), grid);
        QCOMPARE(img.pixel(25 + int(7 * zoom), row), black);
        // The maker's name above the frame, at the same place at every zoom.
        QVERIFY(CountColour(img, QRect(25, 10, 40, 13), Rgb(WaveColors::Maker())) > 10);

        // Grid off: the dot is gone, the frame stays.
        style.Grid = false;
        const QImage plain = Render(style, zoom);
        QCOMPARE(plain.pixel(25 + int(5 * zoom), row), black);
        QCOMPARE(plain.pixel(25, 25), grid);
    }

    void ticksAtZoomOne() {
        const QImage img = Render(GraticuleStyle(), 1);
        const QRgb grid = Rgb(WaveColors::Grid()), black = Rgb(WaveColors::Black());
        // Minor ticks one pixel inside the top edge every 5, major ones two
        // pixels inside every 25; the bottom edge starts one further in.
        QCOMPARE(img.pixel(30, 26), grid);
        QCOMPARE(img.pixel(32, 26), black);
        QCOMPARE(img.pixel(50, 27), grid);
        QCOMPARE(img.pixel(30, 27), black);
        QCOMPARE(img.pixel(30, 223), grid);
        QCOMPARE(img.pixel(32, 223), black);
        // Below zoom 1 there are no ticks at all.
        const QImage half = Render(GraticuleStyle(), 0.5);
        QCOMPARE(half.pixel(30, 26), black);
    }

    void splitGridAndWhiteScheme() {
        GraticuleStyle style;
        style.Grid = true;
        style.Split = true;
        style.Colour = false;
        const QImage img = Render(style, 1);
        const QRgb white = Rgb(WaveColors::White()), black = Rgb(WaveColors::Black());
        QCOMPARE(img.pixel(5, 5), white);
        QCOMPARE(img.pixel(25, 25), black);
        // Dot rows 12.5 apart (37.5 rounds to 38), dots along them every 5.
        QCOMPARE(img.pixel(30, 38), black);
        QCOMPARE(img.pixel(32, 38), white);
        // Dot columns every 25 with dots 6.25 apart (the tick columns too).
        QCOMPARE(img.pixel(50, 56), black);
        QCOMPARE(img.pixel(50, 55), white);
        QVERIFY(CountColour(img, QRect(25, 10, 40, 13), black) > 10);
    }
};

// Text needs the GUI application object; no widgets are linked.
QTEST_MAIN(GraticuleTest)
#include "tst_graticule.moc"
