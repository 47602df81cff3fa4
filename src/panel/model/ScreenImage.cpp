#include "panel/model/ScreenImage.h"

#include <algorithm>
#include <cstring>

namespace {
std::vector<QRgb> makeColourTable() {
    static const QRgb base[16] = {
        qRgb(0, 0, 0),        // 0 background
        qRgb(128, 128, 128),  // 1 grid
        qRgb(255, 255, 0),    // 2 CH1
        qRgb(0, 255, 255),    // 3 CH2
        qRgb(255, 0, 255),    // 4 math
        qRgb(255, 255, 255),  // 5 text
        qRgb(255, 128, 0),    // 6 reference
        qRgb(0, 255, 0),      // 7 logic channels
        qRgb(0, 0, 160),      // 8 menu background
        qRgb(192, 192, 192),  // 9 menu text
        qRgb(128, 128, 255),  // 10 cursors
        qRgb(255, 0, 0),      // 11 trigger marks
        qRgb(64, 64, 64),     // 12
        qRgb(0, 0, 128),      // 13
        qRgb(0, 128, 0),      // 14
        qRgb(128, 128, 0),    // 15
    };
    std::vector<QRgb> t(256);
    for (int i = 0; i < 256; ++i) t[size_t(i)] = base[i & 15];
    return t;
}

std::vector<QRgb> makeMonoTable() {
    std::vector<QRgb> t(256, qRgb(255, 255, 255));
    t[0] = qRgb(0, 0, 0);
    t[1] = qRgb(128, 128, 128);
    return t;
}

void translate(const std::vector<QRgb>& table, const uint8_t* indexes, int count, QRgb* colors) {
    if (!indexes || !colors) return;
    const QRgb* t = table.data();
    for (int i = 0; i < count; ++i) colors[i] = t[indexes[i]];
}
}  // namespace

const std::vector<QRgb>& ColourScreenTable() {
    static const std::vector<QRgb> t = makeColourTable();
    return t;
}

const std::vector<QRgb>& MonoScreenTable() {
    static const std::vector<QRgb> t = makeMonoTable();
    return t;
}

void TransClr(const uint8_t* indexes, int count, QRgb* colors) { translate(ColourScreenTable(), indexes, count, colors); }
void TransMono(const uint8_t* indexes, int count, QRgb* colors) { translate(MonoScreenTable(), indexes, count, colors); }

QImage ScreenPicture(const std::vector<QRgb>& colors, int zoom) {
    using namespace ScreenImage;
    if (colors.size() < size_t(Pixels)) return QImage();
    const int k = zoom == 1 ? 2 : 1;
    QImage img(Width * k, Height * k, QImage::Format_RGB32);
    if (img.isNull()) return img;
    for (int y = 0; y < Height; ++y) {
        const QRgb* src = colors.data() + size_t(y) * Width;
        auto* row = reinterpret_cast<QRgb*>(img.scanLine(y * k));
        if (k == 1) {
            std::memcpy(row, src, sizeof(QRgb) * Width);
            continue;
        }
        for (int x = 0; x < Width; ++x) row[2 * x] = row[2 * x + 1] = src[x];
        std::memcpy(img.scanLine(y * k + 1), row, sizeof(QRgb) * size_t(Width) * 2);
    }
    return img;
}

QImage TranslateScreen(const std::vector<uint8_t>& bytes, bool colourModel, int zoom, std::vector<QRgb>& colors) {
    using namespace ScreenImage;
    if (colors.size() < size_t(Pixels + 1)) colors.resize(size_t(Pixels + 1), 0);
    const int count = int(std::min<size_t>(bytes.size(), size_t(Pixels)));
    if (colourModel) TransClr(bytes.data(), count, colors.data());
    else TransMono(bytes.data(), count, colors.data());
    return ScreenPicture(colors, zoom);
}
