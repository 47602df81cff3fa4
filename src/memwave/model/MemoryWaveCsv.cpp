#include "memwave/model/MemoryWaveCsv.h"

#include <QIODevice>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "common/SaveFile.h"
#include "common/SheetModel.h"
#include "link/ScaleSteps.h"

namespace {

// Powers of ten 1e-50 .. 1e50 as doubles.
struct PowersOfTen {
    std::array<double, 101> p{};
    PowersOfTen() {
        for (int k = -50; k <= 50; ++k) p[size_t(k + 50)] = std::pow(10.0, k);
    }
    double operator()(int k) const { return p[size_t(k + 50)]; }
};
const PowersOfTen Powers;
const PowersOfTen& Pow10() { return Powers; }

// "00" .. "99".
struct DigitPairs {
    char d[200];
    DigitPairs() {
        for (int i = 0; i < 100; ++i) {
            d[2 * i] = char('0' + i / 10);
            d[2 * i + 1] = char('0' + i % 10);
        }
    }
};
const DigitPairs Pairs;

// Writes [-]d.ddE[+|-]ee from three digits and a decimal exponent.
inline char* PutNumber(char* p, bool negative, bool atLeastOne, int digits, int exponent) {
    if (negative) *p++ = '-';
    const int head = digits / 100, tail = digits - 100 * head;
    p[0] = char('0' + head);
    p[1] = '.';
    p[2] = Pairs.d[2 * tail];
    p[3] = Pairs.d[2 * tail + 1];
    p[4] = 'E';
    p += 5;
    if (exponent < 0) *p++ = '-';
    else if (atLeastOne) *p++ = '+';
    const int e = exponent < 0 ? -exponent : exponent;  // at most 45
    p[0] = Pairs.d[2 * e];
    p[1] = Pairs.d[2 * e + 1];
    return p + 2;
}

// Three significant digits of |value| > 0 from its exact decimal expansion,
// halves away from zero.
__attribute__((noinline)) void ExactDigits(double magnitude, int& digits, int& exponent) {
    char buf[200];
    std::snprintf(buf, sizeof buf, "%.150e", magnitude);
    digits = (buf[0] - '0') * 100 + (buf[2] - '0') * 10 + (buf[3] - '0');
    exponent = std::atoi(std::strchr(buf, 'e') + 1);
    if (buf[4] >= '5') ++digits;
    if (digits == 1000) {
        digits = 100;
        ++exponent;
    }
}

char* PutCsvNumber(char* p, float value, bool exact) {
    if (!std::isfinite(value)) {  // never from a checked source; kept readable
        const char* text = std::isnan(value) ? "NaN" : value > 0 ? "Inf" : "-Inf";
        const size_t n = std::strlen(text);
        std::memcpy(p, text, n);
        return p + n;
    }
    const bool negative = value < 0, atLeastOne = value >= 1;
    const double a = std::fabs(double(value));
    if (a == 0) return PutNumber(p, false, false, 0, 0);
    int digits = 0, exponent = 0;
    if (exact) {
        ExactDigits(a, digits, exponent);
        return PutNumber(p, negative, atLeastOne, digits, exponent);
    }
    // The decimal exponent from the binary one (log10(2) ~ 78913 / 2^18),
    // corrected against the powers of ten.
    uint64_t bits;
    std::memcpy(&bits, &a, sizeof bits);
    const int binary = int((bits >> 52) & 0x7FF) - 1022;  // as frexp gives it
    int e = ((binary - 1) * 78913) >> 18;
    const PowersOfTen& t = Pow10();
    double scaled = a * t(2 - e);
    while (scaled >= 1000.0) scaled = a * t(2 - ++e);
    while (scaled < 100.0) scaled = a * t(2 - --e);
    const int whole = int(scaled);
    const double fraction = scaled - whole;
    // Too near a half (or a decade's edge) for the scaled double to tell:
    // the exact expansion decides.
    if (std::fabs(fraction - 0.5) < 1e-6) {
        ExactDigits(a, digits, exponent);
        return PutNumber(p, negative, atLeastOne, digits, exponent);
    }
    digits = whole + (fraction > 0.5 ? 1 : 0);
    exponent = e;
    if (digits == 1000) {
        digits = 100;
        ++exponent;
    }
    return PutNumber(p, negative, atLeastOne, digits, exponent);
}

constexpr int MaxLine = 4 * 24 + 16;  // and room for a table text's 16-byte copy

float Volts(const MemoryWaveCsvChannel& c, int code) {
    const int diff = c.Ground - (code - 25);
    return float(double(diff) * double(c.VoltsDiv) / 25.0);
}

// The formatted voltage of every code the channel's memory holds, when they
// span a small range.
void MakeVoltTexts(MemoryWaveCsvChannel& c) {
    if (c.Memory.empty()) return;
    const auto [lo, hi] = std::minmax_element(c.Memory.begin(), c.Memory.end());
    if (*hi - *lo >= 4096) return;
    c.TextFirst = *lo;
    c.Texts.resize(size_t(*hi - *lo + 1));
    for (size_t k = 0; k < c.Texts.size(); ++k) {
        auto& text = c.Texts[k];
        text.fill(0);
        char buf[32];
        const char* end = PutCsvNumber(buf, Volts(c, c.TextFirst + int(k)), false);
        text[0] = char(end - buf);
        std::memcpy(text.data() + 1, buf, size_t(end - buf));
    }
}  // four fields of at most 20 characters, commas, CR LF

char* PutLine(char* p, const MemoryWaveCsvSource& s, int64_t i) {
    auto time = [](const MemoryWaveCsvChannel& c, int64_t i) {
        return float(c.AcqDelay + double(i - c.Middle) * double(c.Period));
    };
    // A voltage depends on the sample code alone: most come formatted from
    // the channel's table.
    auto putVolts = [](char* p, const MemoryWaveCsvChannel& c, int64_t i) {
        const int code = c.Memory[size_t(i)];
        const size_t k = size_t(code - c.TextFirst);
        if (code >= c.TextFirst && k < c.Texts.size()) {
            const auto& text = c.Texts[k];
            std::memcpy(p, text.data() + 1, 16);
            return p + text[0];
        }
        return PutCsvNumber(p, Volts(c, code), false);
    };
    const MemoryWaveCsvChannel& c1 = s.Ch1;
    const MemoryWaveCsvChannel& c2 = s.Ch2;
    if (!s.Alternation) {
        p = PutCsvNumber(p, time(c1, i), false);
        if (c1.Shown) {
            *p++ = ',';
            p = putVolts(p, c1, i);
        }
        if (c2.Shown) {
            *p++ = ',';
            p = putVolts(p, c2, i);
        }
    } else {
        const bool in1 = i < c1.Count, in2 = i < c2.Count;
        if (in1) p = PutCsvNumber(p, time(c1, i), false);
        if (c1.Shown) {
            *p++ = ',';
            if (in1) p = putVolts(p, c1, i);
        }
        if (c2.Shown) {
            *p++ = ',';
            if (in2) p = PutCsvNumber(p, time(c2, i), false);
            *p++ = ',';
            if (in2) p = putVolts(p, c2, i);
        }
    }
    *p++ = '\r';
    *p++ = '\n';
    return p;
}

}  // namespace

MemoryWaveCsvStatus MakeMemoryWaveCsvSource(const MemWaveInfo& rec, MemoryWaveCsvSource& out) {
    out = MemoryWaveCsvSource();
    const SystemDataRecord& sd = rec.ScreenData;
    const bool shown1 = sd.CH1Shown == 1, shown2 = sd.CH2Shown == 1;
    if (!shown1 && !shown2) return MemoryWaveCsvStatus::NoChannel;
    out.Alternation = rec.TriggerMode == QLatin1String("ALTERNATION");
    const MemWaveResetCopy& loaded = rec.ResetCopy;
    auto channel = [&](MemoryWaveCsvChannel& c, bool shown, int64_t count, float rate, double acqDelay,
                       float voltsDiv, float offset, const std::vector<int16_t>& memory) {
        c.Shown = shown;
        c.Count = std::max<int64_t>(count, 0);
        c.Middle = int64_t(std::nearbyint(double(c.Count) / 2.0));
        c.AcqDelay = acqDelay;
        c.Period = float(1.0 / double(rate));
        c.VoltsDiv = voltsDiv;
        c.Ground = 100 - ValueToPoints(offset, voltsDiv);
        if (c.Count > 0 && (!(rate > 0) || !std::isfinite(c.Period) || !std::isfinite(acqDelay))) return false;
        if (!shown) return true;
        if (!std::isfinite(voltsDiv) || int64_t(memory.size()) < c.Count) return false;
        c.Memory.assign(memory.begin(), memory.begin() + c.Count);
        MakeVoltTexts(c);
        return true;
    };
    bool ok;
    if (!out.Alternation) {
        const int64_t n = rec.MemoryPointCount;
        ok = channel(out.Ch1, shown1, n, rec.SampleRate, rec.AcqDelayTime, loaded.Ch1VoltsPerDiv,
                     loaded.Ch1OffsetVolts, rec.Ch1Memory) &&
             channel(out.Ch2, shown2, n, rec.SampleRate, rec.AcqDelayTime, loaded.Ch2VoltsPerDiv,
                     loaded.Ch2OffsetVolts, rec.Ch2Memory);
        out.Lines = out.Ch1.Count;
    } else {
        // CH1's time column is written whenever it has points, also with
        // CH1 off; CH2's columns only with CH2 on.
        ok = channel(out.Ch1, shown1, rec.AltCh1PointCount, rec.AltCh1SampleRate, rec.AltCh1AcqDelayTime,
                     loaded.Ch1VoltsPerDiv, loaded.Ch1OffsetVolts, rec.Ch1Memory) &&
             (!shown2 || channel(out.Ch2, shown2, rec.AltCh2PointCount, rec.AltCh2SampleRate,
                                 rec.AltCh2AcqDelayTime, loaded.Ch2VoltsPerDiv, loaded.Ch2OffsetVolts,
                                 rec.Ch2Memory));
        out.Lines = std::max(out.Ch1.Count, shown2 ? out.Ch2.Count : 0);
    }
    if (!ok) {
        out = MemoryWaveCsvSource();
        return MemoryWaveCsvStatus::BadData;
    }
    return MemoryWaveCsvStatus::Ok;
}

QByteArray MemoryWaveCsvHeader(const MemoryWaveCsvSource& s) {
    QByteArray one, two;
    if (!s.Alternation) {
        one = "X";
        two = "Second";
        if (s.Ch1.Shown) one += ",CH1", two += ",Voltage";
        if (s.Ch2.Shown) one += ",CH2", two += ",Voltage";
    } else {
        one = "X(CH1)";
        two = "Second[S]";
        if (s.Ch1.Shown) one += ",CH1", two += ",Voltage[V]";
        if (s.Ch2.Shown) one += ",X(CH2),CH2", two += ",Second[S],Voltage[V]";
    }
    return one + "\r\n" + two + "\r\n";
}

void AppendMemoryWaveCsvLine(QByteArray& out, const MemoryWaveCsvSource& src, int64_t i) {
    char line[MaxLine];
    const char* end = PutLine(line, src, i);
    out.append(line, qsizetype(end - line));
}

QByteArray MemoryWaveCsvText(const MemoryWaveCsvSource& src) {
    QByteArray out = MemoryWaveCsvHeader(src);
    for (int64_t i = 0; i < src.Lines; ++i) AppendMemoryWaveCsvLine(out, src, i);
    return out;
}

QByteArray CsvNumberText(float value) {
    char buf[32];
    return QByteArray(buf, qsizetype(PutCsvNumber(buf, value, false) - buf));
}

QByteArray CsvNumberTextExact(float value) {
    char buf[32];
    return QByteArray(buf, qsizetype(PutCsvNumber(buf, value, true) - buf));
}

bool WriteMemoryWaveCsv(QIODevice& device, const MemoryWaveCsvSource& src, const MemoryWaveCsvProgress& progress) {
    auto writeAll = [&](const char* data, qint64 size) { return WriteAllTo(device, data, size); };
    const QByteArray header = MemoryWaveCsvHeader(src);
    if (!writeAll(header.constData(), header.size())) return false;
    if (progress.SetPercent) progress.SetPercent(0);

    // The progress moves by ten after every tenth of the lines.
    const int64_t step = std::max<int64_t>(int64_t(std::nearbyint(double(src.Lines) / 10.0)), 1);
    constexpr int64_t YieldEvery = 16384;
    constexpr size_t BufferSize = 1 << 20;
    std::vector<char> buffer(BufferSize);
    char* p = buffer.data();
    char* const limit = buffer.data() + BufferSize - MaxLine;
    int percent = 0;
    for (int64_t i = 0; i < src.Lines; ++i) {
        p = PutLine(p, src, i);
        if (p >= limit) {
            if (!writeAll(buffer.data(), p - buffer.data())) return false;
            p = buffer.data();
        }
        const int64_t written = i + 1;
        if (written % step == 0 && percent < 100 && progress.SetPercent) {
            percent = std::min(percent + 10, 100);
            progress.SetPercent(percent);
        }
        if (written % YieldEvery == 0 && progress.Yield) progress.Yield();
    }
    return writeAll(buffer.data(), p - buffer.data());
}

bool SaveMemoryWaveCsv(const QString& path, const MemoryWaveCsvSource& src, QString* error,
                       const MemoryWaveCsvProgress& progress) {
    return SaveFileWhole(
        path, [&](QIODevice& device) { return WriteMemoryWaveCsv(device, src, progress); }, error);
}
