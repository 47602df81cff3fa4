// The cursor readouts of a Wave view's record (texts and places) and the
// shared pass resources.
#include <QPainter>
#include <QtTest>
#include <functional>

#include "platform/cursor/CursorDC.h"
#include "common/ShellState.h"
#include "link/Vocabulary.h"
#include "link/WaveNumbers.h"
#include "waveview/WaveReadouts.h"

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
    UpdateWaveNumbers(*w);
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
            UpdateWaveNumbers(*w);
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
                UpdateWaveNumbers(*w);
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
        UpdateWaveNumbers(*w);
        const QList<ReadoutLine> l = CursorReadouts(s, *w, ReadoutOptions(), Colours);
        QCOMPARE(l.size(), 2);
        QCOMPARE(l[0].text, QString("1/|X1-X2|=???.? Hz"));
        QCOMPARE(l[1].text, QString("|X1-X2|   =0.000s"));
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
