// Benchmark (not a test): translating one screen copy (320 x 234 colour-index
// bytes) into colours and drawing it as the panel's picture, divided by
// QImage::convertToFormat of an indexed image of the same size to RGB32 with
// a colour table, at single and at double size. Both are timed side by side
// in one run. Bar: 2.
#include <QGuiApplication>
#include <QImage>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "BenchTiming.h"
#include "panel/model/ScreenImage.h"

using bench::BestOf;

int main(int argc, char* argv[]) {
    if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    using namespace ScreenImage;
    std::vector<uint8_t> bytes(Pixels + 1);
    for (int i = 0; i < Pixels; ++i) bytes[size_t(i)] = uint8_t((i * 7 + i / Width) % 6);

    QList<QRgb> table;
    for (QRgb c : ColourScreenTable()) table << c;

    std::vector<QRgb> colors;
    volatile quint32 sink = 0;
    const int rounds = 7, reps = 300;
    for (int zoom : {0, 1}) {
        // The baseline: an indexed image of the picture's size.
        const int k = zoom + 1;
        QImage indexed(Width * k, Height * k, QImage::Format_Indexed8);
        indexed.setColorTable(table);
        for (int y = 0; y < Height * k; ++y)
            for (int x = 0; x < Width * k; ++x) indexed.scanLine(y)[x] = bytes[size_t((y / k) * Width + x / k)];
        const double base = BestOf(rounds, reps, [&] {
            const QImage rgb = indexed.convertToFormat(QImage::Format_RGB32);
            sink = sink + rgb.pixel(5, 5);
        });
        const double ours = BestOf(rounds, reps, [&] {
            const QImage pic = TranslateScreen(bytes, true, zoom, colors);
            sink = sink + pic.pixel(5, 5);
        });
        std::printf("screen copy zoom %d: translate+draw %8.1f us  convertToFormat %8.1f us  ratio %.2f (bar 2)\n",
                    zoom, ours / 1000.0, base / 1000.0, ours / base);
    }
    return 0;
}
