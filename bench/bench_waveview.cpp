// Benchmark (not a test): a full redraw of a Wave view holding CH1, CH2, MATH
// and 16 logic-analyser lines (graticule, markers, labels, traces) at zoom 2
// onto a QImage, divided by filling the same QImage and drawing one
// 600-point polyline on it. Both are timed side by side in one run; the
// ratio is what holds on any machine. Bar: 5.
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QVector>
#include <cmath>
#include <cstdio>
#include <memory>

#include "BenchTiming.h"
#include "link/WaveNumbers.h"
#include "waveview/WavePaint.h"

namespace {
std::unique_ptr<WaveInfo> BenchRecord() {
    auto w = std::make_unique<WaveInfo>();
    w->HasData = true;
    w->YTFormat = true;
    w->PointCount = 600;
    w->TriggerMode = "EDGE";
    w->TimeScale = "500.0us";
    w->TimeOffset = "0.000s";
    w->Ch1Offset = "1.00V";
    w->Ch1Scale = "1.00V";
    w->Ch2Offset = "-1.00V";
    w->Ch2Scale = "500mV";
    w->Ch1Fetched = w->Ch2Fetched = w->MathFetched = w->LaFetched = true;
    auto& sd = w->SystemData;
    sd.TraceFirstX = 0;
    sd.TraceLastX = 299;
    sd.CH1Shown = sd.CH2Shown = sd.MathShown = sd.LAShown = 1;
    sd.MathPosition = 20;
    sd.MathScale = 1.0f;
    sd.LADisplayState = int16_t(0xFFFF);
    sd.LAState106 = 3;
    sd.LAState107 = sd.LAState108 = 6;
    for (int c = 0; c < 16; ++c) sd.LARowY[c] = int16_t(40 + c * 12);
    for (int i = 1; i <= 600; ++i) {
        w->Ch1Samples[i] = int32_t(100 + 60 * std::sin(i * 0.05));
        w->Ch2Samples[i] = (i / 50) % 2 ? 40 : 160;
        w->MathSamples[i] = int32_t(100 + 30 * std::sin(i * 0.11));
    }
    for (int k = 1, n = 0; k <= 1200; k += 2, ++n) {  // a counter: D0 toggles every word
        w->LaSamples[k] = n & 0xFF;
        w->LaSamples[k + 1] = (n >> 2) & 0xFF;
    }
    UpdateWaveNumbers(*w);
    return w;
}

using bench::BestOf;
}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    auto w = BenchRecord();
    WaveDrawOptions o;
    o.Zoom = 2.0;
    const WaveGeometry g(o.Zoom);
    QImage img(g.PictureWidth(), g.PictureHeight(), QImage::Format_RGB32);

    QVector<QPoint> line;
    for (int i = 0; i < 600; ++i)
        line.append(QPoint(25 + i, 225 + int(150 * std::sin(i * 0.05))));

    auto full = [&] {
        QPainter p(&img);
        PaintWaveView(p, *w, o);
    };
    auto baseline = [&] {
        QPainter p(&img);
        p.fillRect(img.rect(), Qt::black);
        p.setPen(QColor(255, 255, 0));
        p.drawPolyline(line.constData(), int(line.size()));
    };
    auto grid = [&] {
        QPainter p(&img);
        DrawScrGrid(p, *w, o);
    };
    auto content = [&] {
        QPainter p(&img);
        DrawOSC(p, *w, o);
    };
    full();
    if (qEnvironmentVariableIsSet("WAVE_BENCH_SAVE")) img.save(qEnvironmentVariable("WAVE_BENCH_SAVE"));
    baseline();
    if (qEnvironmentVariableIsSet("WAVE_BENCH_PARTS")) {
        auto part = [&](const char* name, auto change) {
            auto r = BenchRecord();
            change(*r);
            std::printf("  %-36s %9.1f us\n", name, BestOf(5, 40, [&] {
                QPainter p(&img);
                DrawOSC(p, *r, o);
            }) / 1000);
        };
        part("LA only", [](WaveInfo& r) { r.Ch1Fetched = r.Ch2Fetched = r.MathFetched = false; });
        part("LA labels only", [](WaveInfo& r) {
            r.Ch1Fetched = r.Ch2Fetched = r.MathFetched = false;
            r.SystemData.LAShown = 0;
        });
        part("LA flat lines", [](WaveInfo& r) {
            r.Ch1Fetched = r.Ch2Fetched = r.MathFetched = false;
            r.LaSamples.fill(0);
        });
        part("nothing fetched", [](WaveInfo& r) {
            r.Ch1Fetched = r.Ch2Fetched = r.MathFetched = r.LaFetched = false;
        });
        part("traces only", [](WaveInfo& r) { r.LaFetched = false; });
        part("CH1 only", [](WaveInfo& r) { r.LaFetched = r.Ch2Fetched = r.MathFetched = false; });
    }
    std::printf("  of which graticule                    %9.1f us\n", BestOf(5, 40, grid) / 1000);
    std::printf("  of which markers, labels, traces      %9.1f us\n", BestOf(5, 40, content) / 1000);
    const double tFull = BestOf(5, 40, full);
    const double tBase = BestOf(5, 40, baseline);
    std::printf("full redraw (CH1, CH2, MATH, LA, zoom 2) %9.1f us\n", tFull / 1000);
    std::printf("fill + 600-point polyline               %9.1f us\n", tBase / 1000);
    std::printf("ratio %.2f (bar 5)\n", tFull / tBase);
    return 0;
}
