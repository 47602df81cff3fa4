// Benchmark (not a test): the record replay, each figure against a baseline
// measured in the same run.
//   P2: opening a large record file (1953 frames: the file read, the header
//       checks, the inflating and the samples) / zlib's uncompress of the
//       same stream into a buffer of the same size. Bar: 1.2.
//   P6: one frame drawn at 700 x 500 (background, graticule, markers,
//       labels, trace) / filling the same picture and drawing a 600-point
//       polyline on it. Bar: 3.
// Each figure is the best of many repetitions, so one slow pass of a busy
// machine does not count.
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>
#include <QtEndian>
#include <cmath>
#include <cstdio>
#include <functional>
#include <zlib.h>

#include "common/ReadFile.h"
#include "common/SheetModel.h"
#include "replay/model/FrameDrawing.h"
#include "replay/model/RecordFile.h"

namespace {

qint64 Best(int runs, const std::function<void()>& f) {
    qint64 best = -1;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        f();
        const qint64 ns = clock.nsecsElapsed();
        if (best < 0 || ns < best) best = ns;
    }
    return best;
}

// A recording of a noisy sine that drifts from frame to frame.
QByteArray Frames(int count) {
    QByteArray raw(count * RecordFrameSamples, '\0');
    uint32_t noise = 12345;
    for (int f = 0; f < count; ++f)
        for (int i = 0; i < RecordFrameSamples; ++i) {
            noise = noise * 1103515245u + 12345u;
            const double v = 124.5 + 80 * std::sin((i + f * 3) * 2 * M_PI / 200.0) + int(noise >> 28) - 8;
            raw[f * RecordFrameSamples + i] = char(qBound(25, int(v), 224));
        }
    return raw;
}

QByteArray Header(int frames) {
    QByteArray h(RecordHeaderSize, '\0');
    char* p = h.data();
    qToLittleEndian<uint16_t>(RecordMagic, p);
    qToLittleEndian<int16_t>(1, p + 16);
    qToLittleEndian<int16_t>(int16_t(frames), p + 18);
    p[20] = 1;
    qToLittleEndian<int32_t>(500000, p + 24);
    qToLittleEndian<int64_t>(1000000000, p + 40);
    return h;
}

void Report(const char* name, qint64 ours, qint64 base, double bar) {
    const double ratio = double(ours) / double(base);
    std::printf("%-44s %9.3f ms / %9.3f ms  ratio %.3f  (bar %.1f)%s\n", name, ours / 1e6, base / 1e6, ratio, bar,
                ratio <= bar ? "" : "  OVER THE BAR");
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    WatchMappedFileReads();  // as the application reads files
    if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    // P2 ------------------------------------------------------------------
    const int frames = 1953;
    const QByteArray raw = Frames(frames);
    uLongf packedSize = compressBound(uLong(raw.size()));
    QByteArray packed(int(packedSize), '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(raw.constData()),
             uLong(raw.size()));
    packed.resize(int(packedSize));
    QTemporaryDir dir;
    const QString path = dir.filePath("large.rcd");
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(Header(frames) + packed) != RecordHeaderSize + packed.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    RecordInfo view;
    bool ok = true;
    const qint64 open = Best(30, [&] {
        RecordContent c;
        ok = ok && ReadRecordFile(path, c) == RecordError::None;
        CommitRecordContent(view, std::move(c), path);
    });
    std::vector<Bytef> out(RecordReadLimit);
    const qint64 inflate = Best(30, [&] {
        uLongf n = uLongf(out.size());
        ok = ok && uncompress(out.data(), &n, reinterpret_cast<const Bytef*>(packed.constData()),
                              uLong(packed.size())) == Z_OK;
    });
    if (!ok || view.FrameCount != frames) {
        std::fprintf(stderr, "the record file did not open\n");
        return 1;
    }
    std::printf("P2: %d frames, %lld bytes packed\n", frames, static_cast<long long>(packed.size()));
    Report("P2 open of the .rcd / uncompress", open, inflate, 1.2);

    // P6 ------------------------------------------------------------------
    view.DisplayActive = true;
    view.CurrentFrame = 100;
    view.OffsetText = "0.00V";
    view.VoltScaleText = "500mV";
    view.TimeScaleText = "1.000ms";
    view.DelayText = "0.0000s";
    const QSize size(700, 500);
    QImage picture(size, QImage::Format_RGB32);
    const FrameStyle style;
    const auto frame = [&] {
        picture.fill(RecordBackground(view.BlackBackground));
        QPainter p(&picture);
        DrawRecordFrame(p, size, view, style);
    };
    frame();  // the first pass fills the caches of the font
    QVector<QPoint> line(600);
    for (int i = 0; i < 600; ++i) line[i] = QPoint(25 + i * 650 / 600, 25 + view.Samples[size_t(99 * 1024 + 213 + i)] * 450 / 200);
    QImage plain(size, QImage::Format_RGB32);
    const auto baseline = [&] {
        plain.fill(Qt::black);
        QPainter p(&plain);
        p.setPen(QColor(255, 255, 0));
        p.drawPolyline(line.constData(), int(line.size()));
    };
    baseline();
    const qint64 drawn = Best(300, frame);
    const qint64 base = Best(300, baseline);
    Report("P6 one frame / fill + 600-point polyline", drawn, base, 3.0);
    return 0;
}
