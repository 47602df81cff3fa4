// Benchmark (not a test): the full redraw of a loaded Memory Wave view at
// zoom 2 (graticule with grid, CH1, CH2, their markers, 16 logic lines with
// labels, the trigger marker, then the cursor pass with both cursor kinds
// and their readouts) onto a QImage, divided by filling the same QImage and
// drawing one 600-point polyline on it, timed side by side. Bar: 3.
// MEMWAVE_BENCH_PARTS=1 also times the layers alone, the cursor pass with
// the cursors unchanged and a drag step of one time cursor.
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QVector>
#include <cmath>
#include <cstdio>
#include <memory>

#include "memwave/paint/MemWavePaint.h"
#include "memwave/paint/MemWaveReadouts.h"

namespace {
std::unique_ptr<MemWaveInfo> BenchRecord() {
    auto r = std::make_unique<MemWaveInfo>();
    r->Loaded = r->YTFormat = true;
    r->HasCh1 = r->HasCh2 = r->HasLa = true;
    r->TriggerMode = "EDGE";
    r->StateWord = "OFF";
    r->ScreenPointCount = 600;
    r->Ch1VoltsPerDiv = 1;
    r->Ch2VoltsPerDiv = 0.5f;
    r->Ch1OffsetVolts = 1;
    r->Ch2OffsetVolts = -1;
    r->TimePerDiv = 5e-4;
    r->ShowGrid = true;
    auto& sd = r->ScreenData;
    sd.TraceFirstX = sd.LAFirstX = 0;
    sd.TraceLastX = sd.LALastX = 299;
    sd.CH1Shown = sd.CH2Shown = sd.LAShown = 1;
    sd.LADisplayState = int16_t(0xFFFF);
    sd.LAState106 = 3;
    for (int c = 0; c < 16; ++c) sd.LARowY[c] = int16_t(222 - 12 * c);
    for (int i = 0; i < MemWaveScreenPoints; ++i) {
        r->Ch1Screen[size_t(i)] = int16_t(100 + 60 * std::sin(i * 0.05));
        r->Ch2Screen[size_t(i)] = (i / 50) % 2 ? 40 : 160;
        r->LaScreen[size_t(i)] = int16_t(i / 2);  // a counter: D0 toggles every column
    }
    return r;
}

template <typename F>
double BestOf(int rounds, int reps, F f) {
    double best = 1e300;
    for (int k = 0; k < rounds; ++k) {
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < reps; ++i) f();
        best = std::min(best, double(t.nsecsElapsed()) / reps);
    }
    return best;
}
}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    auto r = BenchRecord();
    MemWaveDrawOptions o;
    o.Zoom = 2.0;
    const WaveGeometry g(o.Zoom);
    QImage img(g.PictureWidth(), g.PictureHeight(), QImage::Format_RGB32);
    CursorOverlayPicture overlay;
    CursorState cursors = MemWaveCursorDefaults();
    cursors.XOn = cursors.YOn = true;
    RescaleCursors(cursors, 343, 305);
    RescaleCursors(cursors, img.width(), img.height());

    QVector<QPoint> line;
    for (int i = 0; i < 600; ++i) line.append(QPoint(25 + i, 225 + int(150 * std::sin(i * 0.05))));

    // What the window's RedrawScreen does: graticule and content into the
    // shown picture, then the cursor pass on it.
    auto redraw = [&](CursorState& s) {
        {
            QPainter p(&img);
            PaintMemWaveView(p, *r, o);
        }
        overlay.Forget();
        DrawMemWaveCursors(img, overlay, s, *r, o.Zoom, o.Font);
    };
    CursorState hidden = cursors;
    hidden.XOn = hidden.YOn = false;
    auto full = [&] { redraw(hidden); };
    auto withCursors = [&] { redraw(cursors); };
    auto baseline = [&] {
        QPainter p(&img);
        p.fillRect(img.rect(), Qt::black);
        p.setPen(QColor(255, 255, 0));
        p.drawPolyline(line.constData(), int(line.size()));
    };
    if (qEnvironmentVariableIsSet("MEMWAVE_BENCH_SAVE")) {
        redraw(cursors);
        img.save(qEnvironmentVariable("MEMWAVE_BENCH_SAVE"));
    }
    baseline();
    if (qEnvironmentVariableIsSet("MEMWAVE_BENCH_PARTS")) {
        auto part = [&](const char* name, auto f) {
            std::printf("  %-30s %9.1f us\n", name, BestOf(5, 40, f) / 1000);
        };
        part("graticule", [&] {
            QPainter p(&img);
            DrawMemWaveGrid(p, *r, o);
        });
        part("content", [&] {
            QPainter p(&img);
            DrawMemWaveOSC(p, *r, o);
        });
        auto variant = [&](const char* name, auto change) {
            auto v = BenchRecord();
            change(*v);
            part(name, [&] {
                QPainter p(&img);
                DrawMemWaveOSC(p, *v, o);
            });
        };
        variant("content without logic", [](MemWaveInfo& v) { v.HasLa = false; });
        variant("logic lines only", [](MemWaveInfo& v) { v.HasCh1 = v.HasCh2 = false; });
        variant("logic labels only", [](MemWaveInfo& v) {
            v.HasCh1 = v.HasCh2 = false;
            v.ScreenData.LAShown = 0;
        });
        part("cursor pass, both kinds shown", [&] {
            DrawMemWaveCursors(img, overlay, cursors, *r, o.Zoom, o.Font);
        });
        // A drag step: one time cursor moves, its line and the time readouts drawn anew.
        CursorState dragged = cursors;
        part("cursor pass, a time cursor dragged", [&] {
            dragged.X1 = dragged.X1 == cursors.X1 ? cursors.X1 + 1 : cursors.X1;
            DrawMemWaveCursors(img, overlay, dragged, *r, o.Zoom, o.Font);
        });
        overlay.Remove(img);
    }
    const double tFull = BestOf(7, 40, full);
    const double tCursors = BestOf(7, 40, withCursors);
    const double tBase = BestOf(7, 40, baseline);
    std::printf("memory-wave redraw as loaded (zoom 2)     %9.1f us\n", tFull / 1000);
    std::printf("the same with both cursor kinds shown     %9.1f us\n", tCursors / 1000);
    std::printf("fill + 600-point polyline                 %9.1f us\n", tBase / 1000);
    std::printf("ratio %.2f (bar 3); with cursors shown %.2f\n", tFull / tBase, tCursors / tBase);
    return 0;
}
