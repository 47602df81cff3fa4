// Measuring cursors as plain functions: readout texts and their places, hit
// tests, dragging and its limits, rescaling, and the shared pass resources.
#include <QPainter>
#include <QtTest>
#include <functional>

#include "platform/cursor/CursorDC.h"
#include "platform/mouse/MouseControl.h"
#include "common/ShellState.h"
#include "link/Vocabulary.h"
#include "waveview/WaveCursors.h"

namespace {
const CursorColours Colours = CursorColoursFor(true);

struct ReadoutCase {
    const char* name;
    std::function<void(CursorState&, WaveInfo&, ReadoutOptions&)> setUp;
    // Expected lines: column, row, colour, text.
    QList<std::tuple<int, int, QColor, QString>> lines;
};

std::unique_ptr<WaveInfo> YtRecord() {
    auto w = std::make_unique<WaveInfo>();
    w->TriggerMode = "EDGE";
    w->TimeScale = "500us";
    w->Ch1Scale = "1.00V";
    w->Ch2Scale = "500mV";
    return w;
}

void fftOn(WaveInfo& w) {
    w.MathChosen = true;
    w.FftDisplayWord = "ON";
}
}  // namespace

class WaveCursorsTest : public QObject {
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

    void readoutLines() {
        const QColor time = Colours.Time, ch1 = Colours.Ch1, ch2 = Colours.Ch2, fft = Colours.Fft;
        const QList<ReadoutCase> cases = {
            {"X cursors at zoom 1, 500us",
             [](CursorState& s, WaveInfo&, ReadoutOptions&) { s.XOn = true; },
             {{185, 30, time, "1/|X1-X2|=204.08Hz"}, {185, 50, time, "|X1-X2|   =4.90ms"}}},
            {"X cursors, 1.000ms",
             [](CursorState& s, WaveInfo& w, ReadoutOptions&) {
                 s.XOn = true;
                 w.TimeScale = "1.000ms";
             },
             {{185, 30, time, "1/|X1-X2|=102.04Hz"}, {185, 50, time, "|X1-X2|   =9.80ms"}}},
            {"the frequency of the time as shown",
             [](CursorState& s, WaveInfo& w, ReadoutOptions&) {
                 s.XOn = true;
                 w.TimeScale = "1.000ms";
                 s.X1 = 25;
                 s.X2 = 25 + 308.64;  // 12.3456 ms
             },
             {{185, 30, time, "1/|X1-X2|=80.97Hz"}, {185, 50, time, "|X1-X2|   =12.35ms"}}},
            {"X cursors on one column, FFT shown",
             [](CursorState& s, WaveInfo& w, ReadoutOptions&) {
                 s.XOn = true;
                 s.X2 = s.X1;
                 fftOn(w);
                 w.SystemData.FFTHzPerDiv = 0.1f;
             },
             {{185, 30, time, "1/|X1-X2|=???.? Hz"},
              {185, 50, time, "|X1-X2|   =0.000s"},
              {325 - 8 * 20 + 10, 70, fft, "FFT|X1-X2|   =??.???"}}},
            {"a difference below 1 ps",
             [](CursorState& s, WaveInfo& w, ReadoutOptions&) {
                 s.XOn = true;
                 w.TimeScale = "1ps";
                 s.X2 = s.X1 + 1;
             },
             {{185, 30, time, "1/|X1-X2|=???.? Hz"}, {185, 50, time, "|X1-X2|   ="}}},
            {"no time base: the Y lines start at the top",
             [](CursorState& s, WaveInfo& w, ReadoutOptions&) {
                 s.XOn = s.YOn = true;
                 w.TimeScale.clear();
             },
             {{185, 30, ch1, "|Y1-Y2|  =8.0V"}, {185, 50, ch2, "|Y1-Y2|  =4.0V"}}},
            {"X-Y format",
             [](CursorState& s, WaveInfo& w, ReadoutOptions&) {
                 s.XOn = s.YOn = true;
                 w.XYFormat = true;
                 fftOn(w);
             },
             {{185, 30, ch1, "|X1-X2|  =9.8V"}, {185, 50, ch2, "|Y1-Y2|  =4.0V"}}},
            {"split: a half's distance counts double",
             [](CursorState& s, WaveInfo& w, ReadoutOptions&) {
                 s.YOn = true;
                 s.Y1 = 30;
                 s.Y2 = 80;
                 w.SplitDisplay = true;
                 w.Ch2Scale.clear();
             },
             {{185, 30, ch1, "|Y1-Y2|  =4.0V"}}},
            {"FFT without scales",
             [](CursorState& s, WaveInfo& w, ReadoutOptions&) {
                 s.XOn = s.YOn = true;
                 w.TimeScale.clear();
                 w.Ch1Scale.clear();
                 w.Ch2Scale.clear();
                 fftOn(w);
                 w.SystemData.FFTScaleDb = 1;
             },
             {{325 - 8 * 18 + 10, 30, fft, "FFT|X1-X2|   =????"},
              {325 - 8 * 17, 50, fft, "FFT|Y1-Y2|  =????"}}},
            {"FFT in dB and in Vrms",
             [](CursorState& s, WaveInfo& w, ReadoutOptions&) {
                 s.YOn = true;
                 s.Y1 = 59;
                 s.Y2 = 84;  // one division
                 w.Ch1Scale.clear();
                 w.Ch2Scale.clear();
                 fftOn(w);
                 w.SystemData.FFTScaleDb = 1;
                 w.SystemData.FFTDbPerDiv = 10;
             },
             {{325 - 8 * 23, 30, fft, "FFT|Y1-Y2|  =10.0dBVrms"}}},
            {"FFT level in Vrms",
             [](CursorState& s, WaveInfo& w, ReadoutOptions&) {
                 s.YOn = true;
                 s.Y1 = 59;
                 s.Y2 = 84;
                 w.Ch1Scale.clear();
                 w.Ch2Scale.clear();
                 fftOn(w);
                 w.SystemData.FFTVrmsPerDiv = 0.5f;
             },
             {{325 - 8 * 21, 30, fft, "FFT|Y1-Y2|  =500mVrms"}}},
            {"FFT word stored in the other UI language",
             [](CursorState& s, WaveInfo& w, ReadoutOptions&) {
                 s.XOn = true;
                 fftOn(w);
                 w.FftDisplayWord = ValueWordIn(vwOn, LangChinese);
                 w.SystemData.FFTHzPerDiv = 1000;
             },
             {{185, 30, time, "1/|X1-X2|=204.08Hz"},
              {185, 50, time, "|X1-X2|   =4.90ms"},
              {325 - 8 * 22 + 10, 70, fft, "FFT|X1-X2|   =9.800kHz"}}},
            {"FFT split screen: FFT lines from the lower pair, lower column",
             [](CursorState& s, WaveInfo& w, ReadoutOptions&) {
                 s.XOn = true;
                 w.SplitDisplay = true;
                 fftOn(w);
                 w.SystemData.FFTHzPerDiv = 1000;
                 s.LowerX1 = 50;
                 s.LowerX2 = 75;  // one division
             },
             {{185, 30, time, "1/|X1-X2|=204.08Hz"},
              {185, 50, time, "|X1-X2|   =4.90ms"},
              {325 - 8 * 22 + 10, 130, fft, "FFT|X1-X2|   =1.000kHz"}}},
            {"ALTERNATION, FFT in the upper half, everything shown",
             [](CursorState& s, WaveInfo& w, ReadoutOptions&) {
                 s.XOn = s.YOn = true;
                 w.SplitDisplay = true;
                 w.TriggerMode = "ALTERNATION";
                 w.AltCh1TimeScale = "1.000ms";
                 w.AltCh2TimeScale = "2.000ms";
                 s.Y1 = 50;
                 s.Y2 = 75;
                 s.LowerY1 = 150;
                 s.LowerY2 = 200;
                 s.LowerX1 = 50;
                 s.LowerX2 = 100;
                 fftOn(w);
                 w.SystemData.FFTHzPerDiv = 1000;
                 w.SystemData.FFTScaleDb = 1;
                 w.SystemData.FFTDbPerDiv = 10;
             },
             {{185, 30, time, "1/|X1-X2|=102.04Hz"},
              {185, 50, time, "|X1-X2|   =9.80ms"},
              {185, 130, time, "1/|X1-X2|=250.00Hz"},
              {185, 150, time, "|X1-X2|   =4.00ms"},
              {185, 70, ch1, "|Y1-Y2|  =2.0V"},
              {185, 170, ch2, "|Y1-Y2|  =2.0V"},
              {325 - 8 * 22 + 10, 90, fft, "FFT|X1-X2|   =9.800kHz"},
              {325 - 8 * 23, 110, fft, "FFT|Y1-Y2|  =20.0dBVrms"}}},
            {"zoom 0.25: lines begin left of the picture",
             [](CursorState& s, WaveInfo&, ReadoutOptions& o) {
                 s.XOn = true;
                 o.Zoom = 0.25;
             },
             {{-40, 30, time, "1/|X1-X2|=51.02Hz"}, {-40, 50, time, "|X1-X2|   =19.60ms"}}},
        };
        for (const ReadoutCase& c : cases) {
            CursorState s;
            std::unique_ptr<WaveInfo> w = YtRecord();
            ReadoutOptions o;
            c.setUp(s, *w, o);
            const QList<ReadoutLine> got = CursorReadouts(s, *w, o, Colours);
            QStringList gotText, wantText;
            for (const ReadoutLine& l : got)
                gotText << QString("%1,%2 %3 %4").arg(l.at.x()).arg(l.at.y()).arg(l.colour.name(), l.text);
            for (const auto& [x, y, colour, text] : c.lines)
                wantText << QString("%1,%2 %3 %4").arg(x).arg(y).arg(colour.name(), text);
            QVERIFY2(gotText == wantText,
                     qPrintable(QString("%1:\n got  %2\n want %3")
                                    .arg(c.name, gotText.join(" | "), wantText.join(" | "))));
        }
    }

    void brokenScalesGiveNoInfiniteText() {
        for (const char* scale : {"0s", ">", "1e999s", ""}) {
            for (double zoom : {1.0, 0.0, qInf()}) {
                CursorState s;
                s.XOn = s.YOn = true;
                std::unique_ptr<WaveInfo> w = YtRecord();
                w->TimeScale = scale;
                w->Ch1Scale = QString(scale).replace('s', 'V');
                ReadoutOptions o;
                o.Zoom = zoom;
                for (const ReadoutLine& l : CursorReadouts(s, *w, o, Colours)) {
                    QVERIFY2(!l.text.contains("inf", Qt::CaseInsensitive) &&
                                 !l.text.contains("nan", Qt::CaseInsensitive),
                             qPrintable(l.text));
                }
            }
        }
        // A zero time base reads as zero time and no frequency.
        CursorState s;
        s.XOn = true;
        std::unique_ptr<WaveInfo> w = YtRecord();
        w->TimeScale = "0s";
        const QList<ReadoutLine> l = CursorReadouts(s, *w, ReadoutOptions(), Colours);
        QCOMPARE(l.size(), 2);
        QCOMPARE(l[0].text, QString("1/|X1-X2|=???.? Hz"));
        QCOMPARE(l[1].text, QString("|X1-X2|   =0.000s"));
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

    void secondFreeCursorDCIsHarmless() {
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(Qt::black);
        QPainter& p = CreateCursorDC(picture, Colours);
        p.setPen(Qt::white);
        p.drawPoint(5, 5);
        const QImage back = CopyBackCursorDC();
        FreeCursorDC();
        FreeCursorDC();
        QVERIFY(!CursorDC().CursorMemDC && !CursorDC().CursorBitmap);
        QVERIFY(!CursorDC().CursorDashPen && !CursorDC().CursorSolidPen);
        QCOMPARE(back.pixel(5, 5), qRgb(255, 255, 255));
        QCOMPARE(picture.pixel(5, 5), qRgb(0, 0, 0));  // drawn on the copy only
        // A pass after the double release works as the first did.
        CreateCursorDC(picture, Colours).drawPoint(6, 6);
        QVERIFY(!CopyBackCursorDC().isNull());
        FreeCursorDC();
    }
};

QTEST_MAIN(WaveCursorsTest)
#include "tst_wavecursors.moc"
