// The zoom engine against a brute-force reference of its column rule, and
// the windows, selectors, re-scale and logic cases around it.
#include <QRandomGenerator>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <map>
#include <memory>

#include "common/SheetModel.h"
#include "memwave/model/ZoomEngine.h"

namespace {

// The rule, sample by sample: every sample goes to the column its position
// falls in; a column with samples shows their minimum and maximum (minimum
// first when the first sample is not above the last), an empty column between
// two full ones repeats the last sample before it.
struct Reference {
    int32_t start = 0, end = -1;
    int first = 0, last = -1;
    std::vector<int16_t> points;  // codes, clamped to 25..224, less 25
};

Reference BruteZoom(const std::vector<int16_t>& memory, const ZoomTimeBase& tb) {
    Reference ref;
    std::map<int, std::vector<int64_t>> columns;
    for (int64_t i = 0; i < tb.Count; ++i) {
        const double x = tb.Position(i);
        if (x >= 0 && x < 300) columns[int(std::floor(x))].push_back(i);
    }
    if (columns.empty()) return ref;
    ref.first = columns.begin()->first;
    ref.last = columns.rbegin()->first;
    ref.start = int32_t(columns.begin()->second.front());
    ref.end = int32_t(columns.rbegin()->second.back());
    auto clampRow = [](int v) { return int16_t(std::clamp(v, 25, 224) - 25); };
    int16_t held = 0;
    for (int c = ref.first; c <= ref.last; ++c) {
        auto it = columns.find(c);
        if (it == columns.end()) {
            ref.points.push_back(clampRow(held));
            ref.points.push_back(clampRow(held));
            continue;
        }
        int16_t mn = 32767, mx = -32768;
        for (int64_t i : it->second) {
            mn = std::min(mn, memory[size_t(i)]);
            mx = std::max(mx, memory[size_t(i)]);
        }
        const bool rising = memory[size_t(it->second.front())] <= memory[size_t(it->second.back())];
        ref.points.push_back(clampRow(rising ? mn : mx));
        ref.points.push_back(clampRow(rising ? mx : mn));
        held = memory[size_t(it->second.back())];
    }
    return ref;
}

// A normal-mode record holding CH1 at unchanged scale (1 V/div, offset 0).
std::unique_ptr<MemWaveInfo> Record(std::vector<int16_t> ch1, const ZoomTimeBase& tb) {
    auto r = std::make_unique<MemWaveInfo>();
    r->TriggerMode = "EDGE";
    r->HasCh1 = true;
    r->Ch1Memory = std::move(ch1);
    r->MemoryPointCount = tb.Count;
    r->SampleRate = tb.Rate;
    r->DelayTime = tb.Delay;
    r->AcqDelayTime = tb.AcqDelay;
    r->TimePerDiv = tb.TimeDiv;
    r->Ch1VoltsPerDiv = r->Ch1AcqVoltsPerDiv = 1.0f;
    r->Ch2VoltsPerDiv = r->Ch2AcqVoltsPerDiv = 1.0f;
    return r;
}

// Codes with spikes a plain decimation would lose.
std::vector<int16_t> Noise(int n, quint32 seed) {
    QRandomGenerator gen(seed);
    std::vector<int16_t> v(size_t(n) + 1, 0);
    for (int i = 0; i < n; ++i) {
        v[size_t(i)] = int16_t(100 + int(60 * std::sin(i / 37.0)) + gen.bounded(-5, 6));
        if (gen.bounded(97) == 0) v[size_t(i)] = int16_t(gen.bounded(0, 256));
    }
    return v;
}

std::vector<int16_t> Points(const std::array<int16_t, MemWaveScreenPoints>& a, int count) {
    return std::vector<int16_t>(a.begin(), a.begin() + count);
}

}  // namespace

class ZoomEngineTest : public QObject {
    Q_OBJECT

private slots:
    void matchesReference_data() {
        QTest::addColumn<int>("n");
        QTest::addColumn<double>("rate");
        QTest::addColumn<double>("timeDiv");
        QTest::addColumn<double>("delay");
        QTest::addColumn<double>("acqDelay");
        // k whole columns a sample when the samples lie on column edges and
        // cover the whole screen (0: not so): column c then shows sample
        // start + c / k alone.
        QTest::addColumn<int>("columnsPerSample");
        // 1000 samples at 1 MSa/s span 1 ms.
        QTest::newRow("whole record, zoomed out") << 1000 << 1e6 << 1e-4 << 0.0 << 0.0 << 0;
        QTest::newRow("600 samples on 300 columns") << 600 << 1e6 << 50e-6 << 0.0 << 0.0 << 0;
        QTest::newRow("zoomed in, empty columns") << 1000 << 1e6 << 1e-6 << 0.0 << 0.0 << 0;
        QTest::newRow("zoomed in, fractional") << 1001 << 3e6 << 2e-7 << 1.3e-7 << 0.0 << 0;
        QTest::newRow("record off to the left") << 1000 << 1e6 << 1e-4 << 4e-4 << 0.0 << 0;
        QTest::newRow("record off to the right") << 1000 << 1e6 << 1e-4 << -4e-4 << 0.0 << 0;
        QTest::newRow("acquisition delay") << 5000 << 1e7 << 2e-5 << 1e-5 << 3e-5 << 0;
        QTest::newRow("odd count") << 7 << 1.0 << 1.0 << 0.0 << 0.0 << 0;
        QTest::newRow("one sample") << 1 << 1e3 << 1e-3 << 0.0 << 0.0 << 0;
        QTest::newRow("deep record") << 1000000 << 1e8 << 1e-3 << 0.0 << 0.0 << 0;
        QTest::newRow("deep record, window") << 1000000 << 1e8 << 5e-5 << -2e-3 << 0.0 << 0;
        QTest::newRow("nothing on screen") << 1000 << 1e6 << 1e-6 << 1.0 << 0.0 << 0;
        // Time values with no exact binary form put samples a hair off the
        // column edges they lie on.
        QTest::newRow("one sample a column") << 1000 << 1e6 << 25e-6 << 0.0 << 0.0 << 1;
        QTest::newRow("one sample a column, deep record") << 1000000 << 1e8 << 25e-8 << 0.0 << 0.0 << 1;
        QTest::newRow("one sample a column, 250 MSa/s") << 600 << 2.5e8 << 1e-7 << 0.0 << 0.0 << 1;
        QTest::newRow("one sample a column, delayed") << 5000 << 1e7 << 2.5e-6 << 1.2e-5 << 3e-6 << 1;
        QTest::newRow("five columns a sample") << 300 << 1e6 << 5e-6 << 0.0 << 0.0 << 5;
    }
    void matchesReference() {
        QFETCH(int, n);
        QFETCH(double, rate);
        QFETCH(double, timeDiv);
        QFETCH(double, delay);
        QFETCH(double, acqDelay);
        QFETCH(int, columnsPerSample);
        const ZoomTimeBase tb{float(rate), n, delay, acqDelay, timeDiv};
        auto r = Record(Noise(n, quint32(n)), tb);
        r->Ch1Screen.fill(-7);
        const Reference ref = BruteZoom(r->Ch1Memory, tb);
        RefreshScreenWave(*r, ZoomAllTraces);
        if (ref.points.empty()) {
            QVERIFY(r->ScreenData.TraceLastX < r->ScreenData.TraceFirstX);
            QCOMPARE(r->Ch1Screen[0], int16_t(-7));  // untouched
            return;
        }
        QCOMPARE(r->Ch1Start, ref.start);
        QCOMPARE(r->Ch1End, ref.end);
        QCOMPARE(int(r->ScreenData.TraceFirstX), ref.first);
        QCOMPARE(int(r->ScreenData.TraceLastX), ref.last);
        QCOMPARE(int(r->Ch1ZoomFirst), ref.first);
        QCOMPARE(int(r->Ch1ZoomLast), ref.last);
        QCOMPARE(Points(r->Ch1Screen, int(ref.points.size())), ref.points);
        QVERIFY(ref.end < n);  // never the trailing element
        if (columnsPerSample > 0) {
            const int k = columnsPerSample;
            QCOMPARE(ref.first, 0);
            QCOMPARE(ref.last, 300 - k);  // the last sample's first column
            QCOMPARE(ref.end - ref.start, 299 / k);
            for (int c = 0; c <= ref.last; ++c) {
                const int16_t row = int16_t(std::clamp<int>(r->Ch1Memory[size_t(ref.start + c / k)], 25, 224) - 25);
                QCOMPARE(r->Ch1Screen[size_t(2 * c)], row);
                QCOMPARE(r->Ch1Screen[size_t(2 * c + 1)], row);
            }
        }
    }

    // Fewer samples than points still keeps every peak: a single spike in a
    // deep record shows on the screen.
    void keepsPeaks() {
        const int n = 1000000;
        const ZoomTimeBase tb{1e8f, n, 0.0, 0.0, 1e-3};
        std::vector<int16_t> mem(size_t(n) + 1, 125);
        mem[123457] = 224;
        mem[700001] = 25;
        auto r = Record(mem, tb);
        RefreshScreenWave(*r, ZoomAllTraces);
        const int count = 2 * (r->ScreenData.TraceLastX - r->ScreenData.TraceFirstX + 1);
        const auto pts = Points(r->Ch1Screen, count);
        QCOMPARE(*std::max_element(pts.begin(), pts.end()), int16_t(199));
        QCOMPARE(*std::min_element(pts.begin(), pts.end()), int16_t(0));
        QCOMPARE(std::count(pts.begin(), pts.end(), int16_t(100)), qsizetype(count - 2));
    }

    // A record restored from a sheet has no trailing element: the window
    // stops at the last sample, and a memory shorter than its count is not
    // zoomed at all.
    void neverPastTheLastSample() {
        const int n = 500;
        const ZoomTimeBase tb{1e6f, n, 0.0, 0.0, 1e-4};
        auto r = Record(std::vector<int16_t>(size_t(n), 150), tb);
        RefreshScreenWave(*r, ZoomAllTraces);
        QCOMPARE(r->Ch1End, n - 1);
        const int count = 2 * (r->ScreenData.TraceLastX - r->ScreenData.TraceFirstX + 1);
        for (int k = 0; k <= count; ++k) QCOMPARE(r->Ch1Screen[size_t(k)], int16_t(125));
        r->Ch1Memory.resize(10);
        r->Ch1Screen.fill(-1);
        RefreshScreenWave(*r, ZoomAllTraces);
        QCOMPARE(r->Ch1Screen[0], int16_t(-1));
    }

    // Time bases no window can come from: nothing is zoomed, nothing divides
    // by zero.
    void degenerateTimeBases_data() {
        QTest::addColumn<float>("rate");
        QTest::addColumn<int>("n");
        QTest::addColumn<double>("timeDiv");
        QTest::newRow("rate 0") << 0.0f << 100 << 1e-3;
        QTest::newRow("time/div 0") << 1e6f << 100 << 0.0;
        QTest::newRow("negative time/div") << 1e6f << 100 << -1e-3;
        QTest::newRow("no samples") << 1e6f << 0 << 1e-3;
        QTest::newRow("negative count") << 1e6f << -3 << 1e-3;
        QTest::newRow("rate not finite") << float(INFINITY) << 100 << 1e-3;
        QTest::newRow("two-byte file") << 0.0f << 0 << 0.0;
    }
    void degenerateTimeBases() {
        QFETCH(float, rate);
        QFETCH(int, n);
        QFETCH(double, timeDiv);
        const ZoomTimeBase tb{rate, n, 0.0, 0.0, timeDiv};
        auto r = Record(std::vector<int16_t>(101, 50), tb);
        r->HasCh2 = r->HasLa = true;
        r->Ch1Screen.fill(-1);
        RefreshScreenWave(*r, ZoomAllTraces);
        QVERIFY(ComputeZoomWindow(tb).Empty());
        QCOMPARE(r->Ch1Screen[0], int16_t(-1));
    }

    // Selector 0 re-zooms CH1 only; in ALTERNATION mode each channel has its
    // own window, CH2's asked for even when CH2 is absent, and an absent
    // channel's (stale) memory is never zoomed.
    void selectorsAndAlternation() {
        auto r = std::make_unique<MemWaveInfo>();
        r->TriggerMode = "ALTERNATION";
        r->HasCh1 = true;
        r->Ch1Memory.assign(601, 60);
        r->Ch2Memory.assign(2001, 200);  // an earlier file's samples
        r->AltCh1PointCount = 600;
        r->AltCh1SampleRate = 1e6f;
        r->AltCh1TimePerDiv = 50e-6;
        r->AltCh2PointCount = 2000;
        r->AltCh2SampleRate = 1e7f;
        r->AltCh2TimePerDiv = 1e-5;
        r->Ch1VoltsPerDiv = r->Ch1AcqVoltsPerDiv = r->Ch2VoltsPerDiv = r->Ch2AcqVoltsPerDiv = 1;
        r->Ch2Screen.fill(-2);
        r->LaScreen.fill(-3);
        RefreshScreenWave(*r, ZoomCh1);
        QCOMPARE(r->ScreenData.UpperFirstX, int16_t(0));
        QCOMPARE(r->ScreenData.UpperLastX, int16_t(299));
        QCOMPARE(r->Ch1Start, 0);
        QCOMPARE(r->Ch1End, 599);
        // CH2: 2000 samples over 200 us, the screen shows 120 us of them.
        QCOMPARE(r->Ch2Start, 400);
        QCOMPARE(r->Ch2End, 1599);
        QCOMPARE(r->ScreenData.LowerFirstX, int16_t(0));
        QCOMPARE(r->ScreenData.LowerLastX, int16_t(299));
        QCOMPARE(r->Ch1Screen[0], int16_t(35));
        QCOMPARE(r->Ch2Screen[0], int16_t(-2));
        QCOMPARE(r->LaScreen[0], int16_t(-3));
        RefreshScreenWave(*r, ZoomCh2);
        RefreshScreenWave(*r, ZoomAllTraces);
        QCOMPARE(r->Ch2Screen[0], int16_t(-2));
        r->HasCh2 = true;
        RefreshScreenWave(*r, ZoomCh2);
        QCOMPARE(r->Ch2Screen[0], int16_t(175));
    }

    // From the acquisition's scale to the current one, about the channel's
    // ground; out-of-screen points clamp to the edge rows.
    void verticalRescale_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<float>("voltsDiv");
        QTest::addColumn<float>("offset");
        QTest::addColumn<float>("acqVoltsDiv");
        QTest::addColumn<float>("acqOffset");
        QTest::addColumn<int>("row");
        QTest::newRow("same scale") << 77 << 1.0f << 0.5f << 1.0f << 0.5f << 52;
        QTest::newRow("same scale, below the screen") << 240 << 1.0f << 0.0f << 1.0f << 0.0f << 199;
        QTest::newRow("same scale, above the screen") << 3 << 1.0f << 0.0f << 1.0f << 0.0f << 0;
        // 1 div above ground at 1 V/div is 1 V: half a division at 2 V/div.
        QTest::newRow("volts/div doubled") << 75 << 2.0f << 0.0f << 1.0f << 0.0f << 75;
        QTest::newRow("volts/div halved") << 100 << 0.5f << 0.0f << 1.0f << 0.0f << 50;
        QTest::newRow("offset moved 1 div up") << 125 << 1.0f << 1.0f << 1.0f << 0.0f << 75;
        QTest::newRow("acquired with offset") << 100 << 1.0f << 0.0f << 1.0f << 1.0f << 100;
        QTest::newRow("halves to even, up") << 100 << 2.0f << 0.0f << 1.0f << 0.0f << 88;
        QTest::newRow("halves to even, down") << 98 << 2.0f << 0.0f << 1.0f << 0.0f << 86;
        QTest::newRow("clamped after scaling") << 25 << 0.1f << 0.0f << 1.0f << 0.0f << 0;
        QTest::newRow("current volts/div 0") << 77 << 0.0f << 0.0f << 1.0f << 0.0f << 52;
        QTest::newRow("acquisition volts/div 0") << 77 << 1.0f << 0.0f << 0.0f << 0.0f << 52;
    }
    void verticalRescale() {
        QFETCH(int, code);
        QFETCH(float, voltsDiv);
        QFETCH(float, offset);
        QFETCH(float, acqVoltsDiv);
        QFETCH(float, acqOffset);
        QFETCH(int, row);
        int16_t p = int16_t(code);
        RescaleToRows(&p, 1, voltsDiv, offset, acqVoltsDiv, acqOffset);
        QCOMPARE(int(p), row);
    }

    // Logic: exactly P samples are copied; otherwise a channel that pulses
    // inside a column still shows an edge.
    void logicPoints() {
        // 600 samples on 300 columns.
        ZoomTimeBase tb{1e6f, 600, 0.0, 0.0, 50e-6};
        std::vector<int16_t> mem(600);
        for (int i = 0; i < 600; ++i) mem[size_t(i)] = int16_t(i * 37);
        ZoomWindow w = ComputeZoomWindow(tb);
        QCOMPARE(w.End - w.Start + 1, 2 * (w.Last - w.First + 1));
        std::vector<int16_t> out(601);
        ZoomLogicColumns(mem.data(), tb, w, out.data());
        QCOMPARE(std::vector<int16_t>(out.begin(), out.begin() + 600), mem);

        // 20 samples per column from column 0: D0 pulses inside column 0, D1
        // rises in it, D2 is high throughout; D3 pulses in column 2's last
        // samples (past its whole blocks of eight).
        tb = {1e6f, 3000, 1.5e-3, 0.0, 5e-4};
        mem.assign(3000, 0x4);
        mem[3] |= 0x1;
        for (int i = 6; i < 3000; ++i) mem[size_t(i)] |= 0x2;
        mem[57] |= 0x8;
        w = ComputeZoomWindow(tb);
        QCOMPARE(w.First, int16_t(0));
        ZoomLogicColumns(mem.data(), tb, w, out.data());
        QCOMPARE(out[0], int16_t(0x4));
        QCOMPARE(out[1], int16_t(0x4 | 0x2 | 0x1));
        QCOMPARE(out[2], int16_t(0x6));
        QCOMPARE(out[3], int16_t(0x6));
        QCOMPARE(out[4], int16_t(0x6));
        QCOMPARE(out[5], int16_t(0x6 | 0x8));
    }

    // The logic window: its rate from the logic time value, at most 524288
    // samples, and only the words a short block really filled.
    void logicWindow_data() {
        QTest::addColumn<int>("n");
        QTest::addColumn<double>("laTime");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        // 1 ms/div: 12 ms on screen. A block below 524288 points fills n / 2
        // words: the window ends at the last of them.
        QTest::newRow("200 ns: 200 MSa/s, all on screen") << 200000 << 2e-7 << 0 << 99999;
        QTest::newRow("201 ns: the record's 1 MSa/s") << 200000 << 2.01e-7 << 94000 << 99999;
        QTest::newRow("600000 samples: window over 524288") << 600000 << 1.0 << 262144 - 6000 << 262144 + 5999;
    }
    void logicWindow() {
        QFETCH(int, n);
        QFETCH(double, laTime);
        QFETCH(int, start);
        QFETCH(int, end);
        auto r = std::make_unique<MemWaveInfo>();
        r->TriggerMode = "EDGE";
        r->HasLa = true;
        r->MemoryPointCount = n;
        r->SampleRate = 1e6f;
        r->TimePerDiv = 1e-3;
        r->LaTimeValue = laTime;
        r->LaMemory.assign(size_t(n < 524288 ? n : 2 * n) + 1, 0x5);
        RefreshScreenWave(*r, ZoomAllTraces);
        QCOMPARE(r->LaStart, start);
        QCOMPARE(r->LaEnd, end);
        if (end >= start) {
            QCOMPARE(int(r->ScreenData.LALastX), int(std::floor(
                150 + (double(end) - std::nearbyint(std::min(n, 524288) / 2.0)) /
                          (laTime <= 2e-7 ? 2e8 : 1e6) * 25 / 1e-3)));
            QCOMPARE(r->LaScreen[0], int16_t(0x5));
        }
    }
};

QTEST_GUILESS_MAIN(ZoomEngineTest)
#include "tst_zoomengine.moc"
