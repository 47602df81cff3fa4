#include "link/ScaleSteps.h"

#include <cmath>
#include <limits>

#include "link/ReplyParse.h"

float PointsToValue(int16_t points, float scale) {
    return float(double(points) / 25.0 * double(scale));
}

int16_t ValueToPoints(float value, float scale) {
    if (scale == 0) return 0;
    const double p = std::nearbyint(double(value) / double(scale) * 25.0);
    if (std::isnan(p)) return 0;
    if (p > 32767) return 32767;
    if (p < -32768) return -32768;
    return int16_t(p);
}

double HexTextToDouble(const QString& text) {
    double sum = 0;
    double weight = 1;
    for (int i = 0; i < 8 && i < text.size(); ++i) {
        const QChar c = text[text.size() - 1 - i];
        int d = 0;
        if (c >= '0' && c <= '9') d = c.unicode() - '0';
        else if (c >= 'A' && c <= 'F') d = c.unicode() - 'A' + 10;
        else if (c >= 'a' && c <= 'f') d = c.unicode() - 'a' + 10;
        sum += d * weight;
        weight *= 16;
    }
    return sum;
}

double TimeFrom64(int32_t low, int32_t high) {
    double lowValue = double(low);
    if (low < 0) lowValue = HexTextToDouble(QString::number(uint32_t(low), 16).toUpper());
    return lowValue / 1e12 + double(high) * 0.004294967296;
}

namespace {

constexpr long long kVoltLadder[] = {2000,   5000,   10000,   20000,   50000,   100000,
                                     200000, 500000, 1000000, 2000000, 5000000, 10000000};
constexpr int kVoltLadderSize = int(sizeof kVoltLadder / sizeof kVoltLadder[0]);
static_assert(kVoltLadder[0] == static_cast<long long>(kVoltsPerDivLow * 1e6 + 0.5) &&
                  kVoltLadder[kVoltLadderSize - 1] == static_cast<long long>(kVoltsPerDivHigh * 1e6 + 0.5),
              "the span is the ladder's");

// Microvolts, halves to even; false when outside the 32-bit range.
bool microvolts(float volts, long long& n) {
    const double v = std::nearbyint(double(volts) * 1e6);
    if (!(v >= -2147483648.0 && v <= 2147483647.0)) return false;
    n = static_cast<long long>(v);
    return true;
}

}  // namespace

bool VoltsPerDivInSpan(double volts) {
    const double n = std::nearbyint(volts * 1e6);
    return n >= double(kVoltLadder[0]) && n <= double(kVoltLadder[kVoltLadderSize - 1]);
}

float StepVoltsPerDiv(float volts, int16_t count) {
    long long n = 0;
    if (!microvolts(volts, n)) return volts;
    for (int c = 0; c < count; ++c) {
        if (n >= 10000000) break;
        for (int i = 1; i < kVoltLadderSize; ++i) {
            if (kVoltLadder[i] > n) {
                n = kVoltLadder[i];
                break;
            }
        }
    }
    for (int c = 0; c < -int(count); ++c) {
        if (n > 10000000) break;
        for (int i = 1; i < kVoltLadderSize; ++i) {
            if (n <= kVoltLadder[i]) {
                n = kVoltLadder[i - 1];
                break;
            }
        }
    }
    return float(double(n) / 1e6);
}

float StepVoltsPerDivFine(float volts, int16_t count) {
    // Fine step of each coarse interval [ladder[i], ladder[i + 1]).
    static const long long step[] = {50, 100, 200, 500, 1000, 2000, 5000, 10000, 20000, 50000,
                                     100000};
    long long n = 0;
    if (!microvolts(volts, n)) return volts;
    for (int c = 0; c < count; ++c) {
        if (n < 2000 || n >= 10000000) break;
        for (int i = 0; i + 1 < kVoltLadderSize; ++i) {
            if (n >= kVoltLadder[i] && n < kVoltLadder[i + 1]) {
                n += step[i];
                break;
            }
        }
    }
    for (int c = 0; c < -int(count); ++c) {
        if (n <= 2000 || n > 10000000) break;
        for (int i = 0; i + 1 < kVoltLadderSize; ++i) {
            if (n > kVoltLadder[i] && n <= kVoltLadder[i + 1]) {
                n -= step[i];
                break;
            }
        }
    }
    return float(double(n) / 1e6);
}

double StepTimePerDiv(double seconds, int16_t direction) {
    // 1, 2, 5 ... 50e12 ps (42 entries).
    double ladder[42];
    double decade = 1;
    for (int i = 0; i < 42; i += 3) {
        ladder[i] = decade;
        ladder[i + 1] = 2 * decade;
        ladder[i + 2] = 5 * decade;
        decade *= 10;
    }
    // The picosecond count of 0.5, 1 or 2 ns lies a hair above the entry in
    // double arithmetic; whole picoseconds make every entry exact.
    const double t = std::nearbyint(seconds * 1e12);
    if (std::isnan(t)) return seconds;
    int at = -1;
    for (int i = 0; i < 42; ++i) {
        const double limit = ladder[i] == 2000 ? 2001 : ladder[i];
        if (t <= limit) {
            at = i;
            break;
        }
    }
    if (at < 0) return seconds;  // above 50 s: left as it is
    double result;
    if (direction > 0) result = ladder[at == 41 ? 41 : at + 1];
    else result = ladder[at == 0 ? 0 : at - 1];
    return result / 1e12;
}

QString WavePercentText(int percent) {
    return FormatWithMask(percent / 100.0, "0%");
}

WavePercentHooks& WavePercentUi() {
    static WavePercentHooks h;
    return h;
}

void ShowWavePercent(int slot, int percent) {
    if (slot < 0 || slot > 17) return;
    if (WavePercentUi().ShowText) WavePercentUi().ShowText(slot, WavePercentText(percent));
}
