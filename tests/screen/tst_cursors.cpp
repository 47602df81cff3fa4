// Measuring cursors as plain functions: value texts, hit tests, dragging
// and its limits, rescaling, and the overlay kept on the shown picture.
#include <QPainter>
#include <QtTest>
#include <functional>

#include "platform/mouse/MouseControl.h"
#include "screen/ScreenPen.h"
#include "screen/WaveCursors.h"

namespace {
// A source of plain numbers, as a view with numeric scales gives them.
struct NumberSource : ReadoutSource {
    bool split = false, twoBases = false;
    std::optional<double> whole, upper, lower, ch1, ch2;
    bool Split() const override { return split; }
    bool TwoTimeBases() const override { return twoBases; }
    bool XYPlot() const override { return false; }
    std::optional<double> SecondsPerDiv(Span s) const override {
        return s == Span::Whole ? whole : s == Span::Upper ? upper : lower;
    }
    std::optional<double> VoltsPerDiv(int channel) const override { return channel == 1 ? ch1 : ch2; }
};

QStringList Lines(const CursorState& s, const ReadoutSource& src) {
    QStringList out;
    for (const ReadoutLine& l : CursorReadouts(s, src, ReadoutOptions(), CursorColoursFor(true)))
        out << QString("%1,%2 %3 %4").arg(l.at.x()).arg(l.at.y()).arg(l.colour.name(), l.text);
    return out;
}
}  // namespace

class CursorsTest : public QObject {
    Q_OBJECT
private slots:
    void converters() {
        // Value texts as the readouts write them.
        QCOMPARE(ConvertVoltToStr(0.99996), QString("1000.0mV"));
        QCOMPARE(ConvertVoltToStr(1), QString("1.0V"));
        QCOMPARE(ConvertVoltToStr(0), QString("0.0mV"));
        QCOMPARE(ConvertFreqToStr(999.996), QString("1000.00Hz"));
        QCOMPARE(ConvertFreqToStr(1000), QString("1.00KHz"));
        QCOMPARE(ConvertFreqToStr(2.5e6), QString("2.50MHz"));
        QCOMPARE(ConvertFreqToStr(0.5), QString("0.50Hz"));
        QCOMPARE(ConvertTimeToStr(0.0123456), QString("12.35ms"));
        QCOMPARE(ConvertTimeToStr(2), QString("2.00s"));
        QCOMPARE(ConvertTimeToStr(3.5e-6), QString("3.50us"));
        QCOMPARE(ConvertTimeToStr(4e-9), QString("4.00ns"));
        QCOMPARE(ConvertTimeToStr(5e-12), QString("5.00ps"));
        QCOMPARE(ConvertTimeToStr(0), QString("0.000s"));
        QCOMPARE(ConvertTimeToStr(4e-13), QString());
        QCOMPARE(ConvertTimeToStr(-1), QString());
        // Never a text of an infinite or undefined value.
        QCOMPARE(ConvertTimeToStr(qInf()), QString("????"));
        QCOMPARE(ConvertVoltToStr(qQNaN()), QString("????"));
        QCOMPARE(ConvertFreqToStr(qInf()), QString("????"));
        // Time texts read back.
        QCOMPARE(GetTimeVlu("4.90ms"), 0.0049);
        QCOMPARE(GetTimeVlu("12.35ms"), 0.01235);
        QCOMPARE(GetTimeVlu("2.00s"), 2.0);
        QCOMPARE(GetTimeVlu("3.50us"), 3.5e-6);
        QCOMPARE(GetTimeVlu("4.00ns"), 4e-9);
        QCOMPARE(GetTimeVlu("5.00ps"), 5e-12);
        QCOMPARE(GetTimeVlu("0.000s"), 0.0);
        QCOMPARE(GetTimeVlu(""), 0.0);
        QCOMPARE(GetTimeVlu("12.5"), 0.0);
        QCOMPARE(GetTimeVlu("1.5ks"), 0.0);
    }

    void pressPicksTheNearestCursorOfEachKind() {
        struct Press {
            const char* name;
            bool split;
            double x, y;
            std::function<void(CursorState&)> setUp;
            std::function<bool(const CursorState&)> picked;
        };
        auto only = [](bool CursorState::*flag) {
            return [flag](const CursorState& s) {
                CursorState expected;
                expected.*flag = true;
                return s.DragX1 == expected.DragX1 && s.DragX2 == expected.DragX2 &&
                       s.DragY1 == expected.DragY1 && s.DragY2 == expected.DragY2 &&
                       s.DragLowerX1 == expected.DragLowerX1 && s.DragLowerX2 == expected.DragLowerX2 &&
                       s.DragLowerY1 == expected.DragLowerY1 && s.DragLowerY2 == expected.DragLowerY2;
            };
        };
        auto none = [](const CursorState& s) { return !s.Dragging(); };
        auto noop = [](CursorState&) {};
        const QList<Press> presses = {
            {"2.9 right of X1", false, 54.9, 150, noop, only(&CursorState::DragX1)},
            {"3 right of X1", false, 55, 150, noop, none},
            {"X2", false, 296, 150, noop, only(&CursorState::DragX2)},
            {"between two X cursors 4 apart", false, 54, 150,
             [](CursorState& s) { s.X2 = 56; }, only(&CursorState::DragX1)},
            {"above the graticule", false, 52, 20, noop, only(&CursorState::DragX1)},
            {"Y2", false, 150, 258, [](CursorState& s) { s.Y2 = 200; s.XOn = false; }, none},
            {"Y2 on its row", false, 150, 200, [](CursorState& s) { s.Y2 = 200; },
             only(&CursorState::DragY2)},
            {"split, row M takes the lower pair", true, 79, 125, noop,
             only(&CursorState::DragLowerX1)},
            {"split, above M the upper pair", true, 52, 124.9, noop, only(&CursorState::DragX1)},
            {"split, lower Y1", true, 150, 162, noop, only(&CursorState::DragLowerY1)},
        };
        for (const Press& p : presses) {
            CursorState s;
            s.XOn = s.YOn = true;
            p.setUp(s);
            CursorMouseDown(s, p.split, 1.0, p.x, p.y);
            QVERIFY2(p.picked(s), p.name);
        }
        // Hidden kinds are never picked.
        CursorState hidden;
        CursorMouseDown(hidden, false, 1.0, 52, 59);
        QVERIFY(!hidden.Dragging());
    }

    void dragMovesOnlyThePickedCursorWithinTheGraticule() {
        using namespace MouseControl;
        // A press on the crossing of X1 and Y1 drags X1 only.
        CursorState s;
        s.XOn = s.YOn = true;
        CursorMouseDown(s, false, 1.0, 52, 59);
        QVERIFY(s.DragX1 && s.DragY1);
        CursorMoveResult m = CursorMouseMove(s, false, 1.0, 10, 100);
        QCOMPARE(m.shape, int(PointerSizeWE));
        QVERIFY(m.redraw);
        QCOMPARE(s.X1, 10.0);    // the pointer's value
        QCOMPARE(s.Y1, 59.0);
        ClampCursors(s, false, 1.0);
        QCOMPARE(s.X1, 27.0);    // the drawing's limit
        CursorMouseUp(s);
        QVERIFY(!s.Dragging());
        // After the release the next press takes Y1.
        CursorMouseDown(s, false, 1.0, 100, 59);
        m = CursorMouseMove(s, false, 1.0, 100, 100.5);
        QCOMPARE(m.shape, int(PointerSizeNS));
        QCOMPARE(s.Y1, 100.5);
        CursorMouseUp(s);

        // Whole-pixel Y2: halves to even.
        s.Y2 = 200;
        CursorMouseDown(s, false, 1.0, 150, 200);
        CursorMouseMove(s, false, 1.0, 150, 100.5);
        QCOMPARE(int(s.Y2), 100);
        CursorMouseMove(s, false, 1.0, 150, 101.5);
        QCOMPARE(int(s.Y2), 102);
        CursorMouseUp(s);

        // Past the right edge at zoom 1.5.
        CursorState wide;
        wide.XOn = true;
        CursorMouseDown(wide, false, 1.5, 297, 100);
        CursorMouseMove(wide, false, 1.5, 600, 100);
        ClampCursors(wide, false, 1.5);
        QCOMPARE(wide.X2, 473.0);

        // Split at zoom 1: each pair stays in its half.
        CursorState split;
        split.YOn = true;
        split.Y1 = 140;
        ClampCursors(split, true, 1.0);
        QCOMPARE(split.Y1, 123.0);
        QCOMPARE(int(split.LowerY2), 223);
    }

    void hoverShowsWhatAPressWouldCatch() {
        using namespace MouseControl;
        CursorState s;
        s.XOn = s.YOn = true;
        QCOMPARE(CursorMouseMove(s, false, 1.0, 52, 150).shape, int(PointerSizeWE));
        QCOMPARE(CursorMouseMove(s, false, 1.0, 52, 20).shape, int(PointerDefault));
        QCOMPARE(CursorMouseMove(s, false, 1.0, 150, 59).shape, int(PointerSizeNS));
        QCOMPARE(CursorMouseMove(s, false, 1.0, 20, 59).shape, int(PointerDefault));
        QCOMPARE(CursorMouseMove(s, true, 1.0, 52, 125).shape, int(PointerDefault));
        QCOMPARE(CursorMouseMove(s, true, 1.0, 79, 150).shape, int(PointerSizeWE));
        s.XOn = s.YOn = false;
        QCOMPARE(CursorMouseMove(s, false, 1.0, 52, 150).shape, int(PointerDefault));
        QVERIFY(!s.Dragging());
    }

    void rescaleKeepsThePlaceOnTheGraticule() {
        CursorState s;
        RescaleCursors(s, 350, 250);   // first size only recorded
        QCOMPARE(s.X1, 52.0);
        RescaleCursors(s, 700, 500);   // zoom 1 -> 2
        QCOMPARE(s.X1, 79.0);
        QCOMPARE(s.Y1, 93.0);
        QCOMPARE(int(s.Y2), 493);
        QCOMPARE(s.PrevPicWidth, 700.0);
        RescaleCursors(s, 700, 500);   // same size, same places
        QCOMPARE(s.X1, 79.0);
    }


    void y2AsAnyNumberWhenNotWholePixels() {
        // Drag, clamp and rescale keep Y2's fraction; the rounding view's
        // state beside it gives the whole pixel each time.
        CursorState any, whole;
        any.WholePixelY2 = false;
        for (CursorState* s : {&any, &whole}) {
            s->YOn = true;
            s->Y2 = 200;
        }
        for (CursorState* s : {&any, &whole}) {
            CursorMouseDown(*s, false, 1.0, 150, 200);
            CursorMouseMove(*s, false, 1.0, 150, 100.25);
            CursorMouseUp(*s);
        }
        QCOMPARE(any.Y2, 100.25);
        QCOMPARE(whole.Y2, 100.0);
        for (CursorState* s : {&any, &whole}) {
            s->Y2 = 100.25;
            RescaleCursors(*s, 350, 250);
            RescaleCursors(*s, 700, 500);
        }
        QCOMPARE(any.Y2, 175.5);
        QCOMPARE(whole.Y2, 176.0);
        for (CursorState* s : {&any, &whole}) {
            s->Y2 = 900;
            ClampCursors(*s, false, 1.5025);  // limit 323.5
        }
        QCOMPARE(any.Y2, 323.5);
        QCOMPARE(whole.Y2, 324.0);
    }

    void readoutsFollowWhatTheSourceGives() {
        CursorState s;
        s.XOn = s.YOn = true;
        NumberSource src;
        // Nothing to read: no lines at all.
        QVERIFY(Lines(s, src).isEmpty());
        // Whole screen: time lines, then the voltage of each channel given.
        src.whole = 0.0005;
        src.ch2 = 0.5;
        QCOMPARE(Lines(s, src), (QStringList{"185,30 #ff00ff 1/|X1-X2|=204.08Hz",
                                             "185,50 #ff00ff |X1-X2|   =4.90ms",
                                             "185,70 #00ffff |Y1-Y2|  =4.0V"}));
        // Two time bases: the lower column starts at the half line, its
        // voltage right there when it has no time base.
        src.split = src.twoBases = true;
        src.upper = 0.001;
        src.ch1 = 1;
        s.Y1 = 50;
        s.Y2 = 75;
        s.LowerY1 = 150;
        s.LowerY2 = 175;
        QCOMPARE(Lines(s, src), (QStringList{"185,30 #ff00ff 1/|X1-X2|=102.04Hz",
                                             "185,50 #ff00ff |X1-X2|   =9.80ms",
                                             "185,70 #ffff00 |Y1-Y2|  =2.0V",
                                             "185,130 #00ffff |Y1-Y2|  =1.0V"}));
    }

    // The overlay drawn on the picture itself comes off again: a drag
    // (taken off, drawn at the new places) gives the pixels of the overlay
    // drawn once over the untouched picture, and taking it off gives the
    // picture back.
    // The overlay as the painter draws it in place, every pass: in a font
    // with antialiasing (the painter's path) and in the screen font (each
    // piece's pixels kept and written again while it stays the same).
    void overlayOnThePictureComesOff_data() {
        QTest::addColumn<bool>("split");
        QTest::addColumn<double>("zoom");
        QTest::addColumn<bool>("screenFont");
        QTest::newRow("whole screen, zoom 2") << false << 2.0 << false;
        QTest::newRow("split screen, zoom 1") << true << 1.0 << false;
        QTest::newRow("whole screen, zoom 3") << false << 3.0 << false;
        QTest::newRow("screen font, whole screen, zoom 2") << false << 2.0 << true;
        QTest::newRow("screen font, split screen, zoom 1") << true << 1.0 << true;
        QTest::newRow("screen font, whole screen, zoom 1.37") << false << 1.37 << true;
        QTest::newRow("screen font, whole screen, zoom 0.4") << false << 0.4 << true;
    }
    void overlayOnThePictureComesOff() {
        QFETCH(bool, split);
        QFETCH(double, zoom);
        QFETCH(bool, screenFont);
        QImage base(int(350 * zoom), int(250 * zoom), QImage::Format_RGB32);
        for (int y = 0; y < base.height(); ++y)
            for (int x = 0; x < base.width(); ++x) base.setPixel(x, y, qRgb(x * 7 % 256, y * 3 % 256, (x ^ y) % 256));
        NumberSource src;
        src.split = src.twoBases = split;
        src.whole = src.upper = src.lower = 0.0005;
        src.ch1 = src.ch2 = 0.5;
        const CursorColours c = CursorColoursFor(true);
        ReadoutOptions o;
        o.Zoom = zoom;
        QFont font("Sans Serif");
        font.setPixelSize(10);
        if (screenFont) font = DefaultScreenFont();
        auto drawnOnce = [&](CursorState s, const QImage& under) {
            QImage img = under.copy();
            QPainter p(&img);
            DrawCursorOverlay(p, s, src, o, c, font);
            return img;
        };
        CursorState s;
        s.XOn = s.YOn = true;
        s.WholePixelY2 = false;
        QImage shown = base.copy();
        CursorOverlayPicture overlay;
        overlay.Draw(shown, s, src, o, c, font);
        QCOMPARE(shown, drawnOnce(s, base));
        // A drag of each cursor, off the graticule too (held in its limits).
        for (double* v : {&s.X1, &s.X2, &s.Y1, &s.Y2, &s.LowerX1, &s.LowerY1}) {
            *v += 37 * zoom;
            overlay.Remove(shown);
            overlay.Draw(shown, s, src, o, c, font);
            QCOMPARE(shown, drawnOnce(s, base));
        }
        s.X2 = -50;
        overlay.Remove(shown);
        overlay.Draw(shown, s, src, o, c, font);
        QCOMPARE(shown, drawnOnce(s, base));
        // The same cursors over other scales: every readout's value changes.
        src.whole = src.upper = src.lower = 0.002;
        src.ch1 = src.ch2 = 0.2;
        overlay.Remove(shown);
        overlay.Draw(shown, s, src, o, c, font);
        QCOMPARE(shown, drawnOnce(s, base));
        // The time cursors hidden: the voltage readouts move up, their values kept.
        s.XOn = false;
        overlay.Remove(shown);
        overlay.Draw(shown, s, src, o, c, font);
        QCOMPARE(shown, drawnOnce(s, base));
        s.XOn = true;
        // The picture drawn anew underneath (a redraw): the same overlay onto it.
        QImage other = base.copy();
        other.invertPixels();
        shown = other.copy();
        overlay.Forget();
        overlay.Draw(shown, s, src, o, c, font);
        QCOMPARE(shown, drawnOnce(s, other));
        overlay.Remove(shown);
        QCOMPARE(shown, other);
        shown = base.copy();
        overlay.Forget();
        overlay.Draw(shown, s, src, o, c, font);
        overlay.Remove(shown);
        QCOMPARE(shown, base);
        // No cursor shown: nothing drawn, nothing kept.
        s.XOn = s.YOn = false;
        overlay.Draw(shown, s, src, o, c, font);
        overlay.Remove(shown);
        QCOMPARE(shown, base);
    }
};

// Fonts need the GUI application.
QTEST_MAIN(CursorsTest)
#include "tst_cursors.moc"
