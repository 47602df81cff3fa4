#pragma once
// Record files made in the tests: the header fields set by name, the frames
// compressed with zlib.
#include <QByteArray>
#include <QtEndian>
#include <cstring>
#include <zlib.h>

struct RcdHeader {
    uint16_t magic = 0xBABA;
    int32_t source = 0, sourceChannel = 0;
    int16_t first = 1, last = 1;
    uint8_t ch1On = 1, ch2On = 1;
    int32_t ch1Micro = 1000000, ch2Micro = 1000000;
    int16_t ch1Raw = 0, ch2Raw = 0;
    int64_t timeDivPs = 1000000000, delayPs = 0;
};

inline QByteArray RcdHeaderBytes(const RcdHeader& h) {
    QByteArray b(56, '\0');
    char* p = b.data();
    qToLittleEndian(h.magic, p + 0);
    qToLittleEndian(h.source, p + 8);
    qToLittleEndian(h.sourceChannel, p + 12);
    qToLittleEndian(h.first, p + 16);
    qToLittleEndian(h.last, p + 18);
    p[20] = char(h.ch1On);
    qToLittleEndian(h.ch1Micro, p + 24);
    qToLittleEndian(h.ch1Raw, p + 28);
    p[30] = char(h.ch2On);
    qToLittleEndian(h.ch2Micro, p + 32);
    qToLittleEndian(h.ch2Raw, p + 36);
    qToLittleEndian(h.timeDivPs, p + 40);
    qToLittleEndian(h.delayPs, p + 48);
    return b;
}

inline QByteArray Deflate(const QByteArray& raw) {
    uLongf n = compressBound(uLong(raw.size()));
    QByteArray out(int(n), '\0');
    compress(reinterpret_cast<Bytef*>(out.data()), &n, reinterpret_cast<const Bytef*>(raw.constData()),
             uLong(raw.size()));
    out.resize(int(n));
    return out;
}

// Frames whose every byte is the code `code + frame index` (frame 0 first).
inline QByteArray Frames(int count, int code = 125) {
    QByteArray raw;
    for (int f = 0; f < count; ++f) raw.append(QByteArray(1024, char(code + f)));
    return raw;
}

inline QByteArray Rcd(const RcdHeader& h, const QByteArray& raw) { return RcdHeaderBytes(h) + Deflate(raw); }
