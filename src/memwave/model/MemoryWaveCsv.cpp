#include "memwave/model/MemoryWaveCsv.h"

#include <QIODevice>
#include <QSaveFile>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>

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
const PowersOfTen& Pow10() {
    static const PowersOfTen t;
    return t;
}

// Writes [-]d.ddE[+|-]ee from three digits and a decimal exponent.
char* PutNumber(char* p, bool negative, bool atLeastOne, int digits, int exponent) {
    if (negative) *p++ = '-';
    *p++ = char('0' + digits / 100);
    *p++ = '.';
    *p++ = char('0' + digits / 10 % 10);
    *p++ = char('0' + digits % 10);
    *p++ = 'E';
    if (exponent < 0) *p++ = '-';
    else if (atLeastOne) *p++ = '+';
    const int e = std::abs(exponent);
    *p++ = char('0' + e / 10 % 10);
    *p++ = char('0' + e % 10);
    return p;
}

// Three significant digits of |value| > 0 from its exact decimal expansion,
// halves away from zero.
void ExactDigits(double magnitude, int& digits, int& exponent) {
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
    int binary;
    std::frexp(a, &binary);
    int e = int(std::floor((binary - 1) * 0.30102999566398120));
    const PowersOfTen& t = Pow10();
    double scaled = e - 2 >= 0 ? a / t(e - 2) : a * t(2 - e);
    while (scaled >= 1000.0) {
        ++e;
        scaled = e - 2 >= 0 ? a / t(e - 2) : a * t(2 - e);
    }
    while (scaled < 100.0) {
        --e;
        scaled = e - 2 >= 0 ? a / t(e - 2) : a * t(2 - e);
    }
    const double whole = std::floor(scaled);
    const double fraction = scaled - whole;
    // Too near a half (or a decade's edge) for the scaled double to tell:
    // the exact expansion decides.
    if (std::fabs(fraction - 0.5) < 1e-6 || scaled < 100.000001 || scaled > 999.999999) {
        ExactDigits(a, digits, exponent);
        return PutNumber(p, negative, atLeastOne, digits, exponent);
    }
    digits = int(whole) + (fraction > 0.5 ? 1 : 0);
    exponent = e;
    if (digits == 1000) {
        digits = 100;
        ++exponent;
    }
    return PutNumber(p, negative, atLeastOne, digits, exponent);
}

constexpr int MaxLine = 4 * 24;  // four fields of at most 20 characters, commas, CR LF

char* PutLine(char* p, const MemoryWaveCsvSource& s, int64_t i) {
    auto time = [](const MemoryWaveCsvChannel& c, int64_t i) {
        return float(c.AcqDelay + double(i - c.Middle) * double(c.Period));
    };
    auto volts = [](const MemoryWaveCsvChannel& c, int64_t i) {
        const int diff = c.Ground - (int(c.Memory[size_t(i)]) - 25);
        return float(double(diff) * double(c.VoltsDiv) / 25.0);
    };
    const MemoryWaveCsvChannel& c1 = s.Ch1;
    const MemoryWaveCsvChannel& c2 = s.Ch2;
    if (!s.Alternation) {
        p = PutCsvNumber(p, time(c1, i), false);
        if (c1.Shown) {
            *p++ = ',';
            p = PutCsvNumber(p, volts(c1, i), false);
        }
        if (c2.Shown) {
            *p++ = ',';
            p = PutCsvNumber(p, volts(c2, i), false);
        }
    } else {
        const bool in1 = i < c1.Count, in2 = i < c2.Count;
        if (in1) p = PutCsvNumber(p, time(c1, i), false);
        if (c1.Shown) {
            *p++ = ',';
            if (in1) p = PutCsvNumber(p, volts(c1, i), false);
        }
        if (c2.Shown) {
            *p++ = ',';
            if (in2) p = PutCsvNumber(p, time(c2, i), false);
            *p++ = ',';
            if (in2) p = PutCsvNumber(p, volts(c2, i), false);
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
    auto writeAll = [&](const char* data, qint64 size) {
        while (size > 0) {
            const qint64 n = device.write(data, size);
            if (n <= 0) return false;
            data += n;
            size -= n;
        }
        return true;
    };
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
    QSaveFile file(path);
    // Unbuffered: every write reports its own failure, and the commit cannot
    // hide a failed last flush.
    bool ok = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    if (ok) ok = WriteMemoryWaveCsv(file, src, progress);
    if (ok) ok = file.commit();
    else file.cancelWriting();
    if (!ok && error) *error = file.errorString();
    return ok;
}
