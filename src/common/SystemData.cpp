#include "common/SystemData.h"

#include <cstring>

namespace {
// Field layout: offset, size, and where the field lives in the record.
template <typename F>
void forEachField(SystemDataRecord& r, F&& f) {
    f(0, 2, &r.TraceFirstX); f(2, 2, &r.TraceLastX); f(4, 2, &r.UpperFirstX);
    f(6, 2, &r.UpperLastX); f(8, 2, &r.LowerFirstX); f(10, 2, &r.LowerLastX);
    f(12, 1, &r.ScanFlag); f(13, 1, &r.CH1Shown); f(14, 1, &r.CH2Shown);
    f(15, 1, &r.MathShown); f(16, 1, &r.MathOperation); f(17, 3, r.Reserved17);
    f(20, 4, &r.Stored20); f(24, 2, &r.MathPosition); f(26, 2, r.Reserved26);
    f(28, 4, &r.MathScale); f(32, 2, &r.Stored32); f(34, 1, &r.FFTShown);
    f(35, 1, &r.FFTLowerHalf); f(36, 1, &r.Stored36); f(37, 1, &r.FFTFullScreen);
    f(38, 1, &r.FFTScaleDb); f(39, 1, &r.Reserved39); f(40, 4, &r.FFTVrmsPerDiv);
    f(44, 2, &r.Stored44); f(46, 2, &r.FFTDbPerDiv); f(48, 4, &r.Stored48);
    f(52, 2, &r.FFTPosition); f(54, 2, r.Reserved54); f(56, 4, &r.FFTHzPerDiv);
    f(60, 2, &r.FFTZoom); f(62, 2, r.Reserved62); f(64, 4, &r.Stored64);
    f(68, 2, &r.FFTHorizPos); f(70, 1, &r.LAShown); f(71, 1, &r.Reserved71);
    f(72, 2, &r.LADisplayState);
    for (int i = 0; i < 16; ++i) f(74 + 2 * i, 2, &r.LARowY[i]);
    f(106, 1, &r.LAState106); f(107, 1, &r.LAState107); f(108, 1, &r.LAState108);
    f(109, 1, &r.Reserved109); f(110, 2, &r.LAFirstX); f(112, 2, &r.LALastX);
    f(114, 2, r.Reserved114);
}

// Little-endian copy of one field (the host may be of either order).
void copyLE(void* dst, const uint8_t* src, int size) {
    // Reserved runs of 3 bytes are plain bytes; 2- and 4-byte fields are numbers.
    uint8_t tmp[4];
    for (int i = 0; i < size; ++i) {
#if Q_BYTE_ORDER == Q_BIG_ENDIAN
        tmp[size - 1 - i] = src[i];
#else
        tmp[i] = src[i];
#endif
    }
    std::memcpy(dst, tmp, size);
}
}  // namespace

void SystemDataRecord::OverlayBytes(const uint8_t* data, int n) {
    if (!data || n <= 0) return;
    if (n > Size) n = Size;
    // A field is taken only when all of its bytes arrived.
    forEachField(*this, [&](int off, int size, void* field) {
        if (off + size <= n) copyLE(field, data + off, size);
    });
}

SystemDataRecord SystemDataRecord::FromBytes(const QByteArray& bytes) {
    SystemDataRecord r;
    r.OverlayBytes(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<int>(bytes.size()));
    return r;
}

QByteArray SystemDataRecord::ToBytes() const {
    QByteArray out(Size, '\0');
    SystemDataRecord copy = *this;
    forEachField(copy, [&](int off, int size, void* field) {
        uint8_t tmp[4];
        std::memcpy(tmp, field, size);
        // copyLE is its own inverse.
        copyLE(out.data() + off, tmp, size);
    });
    return out;
}
