#pragma once
// Builds deep-memory waveform files byte by byte for the tests: a long
// (272-byte) or short (252-byte) header, 4 skipped bytes and the blocks.
#include <QByteArray>
#include <cstdint>
#include <cstring>

class WfmBuilder {
public:
    explicit WfmBuilder(bool shortHeader = false) : short_(shortHeader) {
        header_ = QByteArray(shortHeader ? 252 : 272, '\0');
        u16(0, shortHeader ? 0xA5A1 : 0xA5A5);
    }

    // Offsets of the long layout; a short header maps them (the logic block
    // 120..141 does not exist there and is dropped).
    WfmBuilder& u8(int at, uint8_t v) { return put(at, &v, 1); }
    WfmBuilder& u16(int at, uint16_t v) { return le(at, v, 2); }
    WfmBuilder& i32(int at, int32_t v) { return le(at, uint64_t(uint32_t(v)), 4); }
    WfmBuilder& i64(int at, int64_t v) { return le(at, uint64_t(v), 8); }
    WfmBuilder& f32(int at, float v) {
        uint32_t bits;
        std::memcpy(&bits, &v, 4);
        return le(at, bits, 4);
    }

    WfmBuilder& points(int32_t n) { return i32(28, n); }
    WfmBuilder& ch2Points(int32_t c) { return i32(232, c); }
    WfmBuilder& on(bool ch1, bool ch2, bool la) {
        u8(49, ch1);
        u8(73, ch2);
        return u8(120, la);
    }
    WfmBuilder& trigger(uint8_t t) { return u8(142, t); }
    WfmBuilder& block(const QByteArray& b) {
        body_ += b;
        return *this;
    }
    // A block of n bytes counting up from seed.
    WfmBuilder& ramp(int n, int seed) {
        QByteArray b(n, '\0');
        for (int i = 0; i < n; ++i) b[i] = char((seed + i) & 0xFF);
        return block(b);
    }

    QByteArray bytes() const { return header_ + QByteArray(4, '\x77') + body_; }

private:
    WfmBuilder& le(int at, uint64_t v, int width) {
        uint8_t b[8];
        for (int i = 0; i < width; ++i) b[i] = uint8_t(v >> (8 * i));
        return put(at, b, width);
    }
    WfmBuilder& put(int at, const uint8_t* b, int width) {
        int to = at;
        if (short_) {
            if (at >= 120 && at < 142) return *this;
            if (at >= 142 && at < 147) to = at - 22;
            else if (at >= 148) to = at - 20;
        }
        for (int i = 0; i < width; ++i) header_[to + i] = char(b[i]);
        return *this;
    }

    bool short_;
    QByteArray header_;
    QByteArray body_;
};
