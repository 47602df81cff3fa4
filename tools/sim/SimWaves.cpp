#include "SimWaves.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "SimInstrument.h"

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kLaClock = 200e-6;  // the logic inputs count at 5 kHz

int channelOf(const QString& source) {
    if (source == "CHANNEL1" || source == "CH1") return 1;
    if (source == "CHANNEL2" || source == "CH2") return 2;
    return 0;
}

QString ch(int n) { return ":CHANNEL" + QString::number(n); }

bool alternation(const SimInstrument& inst) { return inst.Get(":TRIGGER:MODE") == "ALTERNATION"; }

// The time base of a channel (0: the main one); in alternation trigger mode
// each channel has its own.
double timeScale(const SimInstrument& inst, int channel) {
    const double t = alternation(inst) && channel
                         ? SimValue(inst.GetAlternation(":TRIGGER:ALTERNATION:TIMESCALE", channel))
                         : inst.Number(":TIMEBASE:SCALE");
    return t > 0 ? t : 1e-3;
}

double timeOffset(const SimInstrument& inst, int channel) {
    return alternation(inst) && channel
               ? SimValue(inst.GetAlternation(":TRIGGER:ALTERNATION:TIMEOFFSET", channel))
               : inst.Number(":TIMEBASE:OFFSET");
}

double voltScale(const SimInstrument& inst, int channel) {
    const double v = inst.Number(ch(channel) + ":SCALE");
    return v > 0 ? v : 1;
}

// The signals on the inputs.
struct Signal {
    bool square = false;
    double freq = 1000, peak = 1, rise = 0;

    static Signal of(const SimInstrument& inst, int channel) {
        Signal s;
        s.square = channel == 2;
        const QString n = QString::number(channel);
        s.freq = std::max(inst.Number("CH" + n + "FREQ"), 1e-3);
        s.peak = std::max(inst.Number("CH" + n + "VPP"), 0.0) / 2;
        s.rise = std::clamp(inst.Number("CH2RISE"), 0.0, 0.25 / s.freq);
        return s;
    }

    double at(double t) const {
        if (!square) return peak * std::sin(2 * kPi * freq * t);
        // Rising edge centred on phase 0, falling edge on phase 0.5.
        double ph = freq * t - std::floor(freq * t);
        const double half = rise * freq / 2;
        if (ph > 0.5 + half) ph -= 1;  // next rising edge
        if (std::abs(ph) <= half && half > 0) return peak * ph / half;
        if (std::abs(ph - 0.5) <= half && half > 0) return -peak * (ph - 0.5) / half;
        return ph > 0 && ph < 0.5 ? peak : -peak;
    }

    // Where after t = 0 the signal crosses the level on the given slope.
    double crossing(double level, bool rising) const {
        if (std::abs(level) >= peak) return 0;  // no trigger: free-running
        if (!square) {
            const double ph = std::asin(level / peak);
            return (rising ? ph : kPi - ph) / (2 * kPi * freq);
        }
        const double edge = level / (2 * peak) * rise;
        return rising ? edge : 0.5 / freq - edge;
    }
};

// The instant of the signals that sits at the trigger point (time 0).
double triggerShift(const SimInstrument& inst) {
    if (inst.Get(":TRIGGER:MODE") != "EDGE") return 0;
    const int source = channelOf(inst.Get(":TRIGGER:EDGE:SOURCE"));
    if (!source) return 0;
    return Signal::of(inst, source).crossing(inst.Number(":TRIGGER:EDGE:LEVEL"),
                                             inst.Get(":TRIGGER:EDGE:SLOPE") != "NEGATIVE");
}

// Times of the samples of a channel: sample b (0..599) lies at
// (b - 300) x time/div / 50 + time offset from the trigger point.
struct SampleTimes {
    double dt, first;
    SampleTimes(const SimInstrument& inst, int channel)
        : dt(timeScale(inst, channel) / 50),
          first(-kSimPoints / 2 * dt + timeOffset(inst, channel) + triggerShift(inst)) {}
    double operator()(int b) const { return first + b * dt; }
};

// Screen code of a voltage at the given scale and offset, clamped to the screen.
int code(double volts, double offset, double scale) {
    const double row = 100 - (volts + offset) * 25 / scale;
    return kSimCodeTop + int(std::clamp(std::lround(row), 0L, 199L));
}

double mathScale(const SimInstrument& inst) {
    return 2 * std::max(voltScale(inst, 1), voltScale(inst, 2));
}

int mathOperation(const SimInstrument& inst) {
    const QString op = inst.Get(":MATH:OPERATE").toUpper();
    if (op == "A-B") return 1;
    if (op == "AXB" || op == "A*B") return 2;
    if (op == "FFT") return 3;
    return 0;
}

double fftHzPerDiv(const SimInstrument& inst) { return 1 / (2 * timeScale(inst, 1)); }

QByteArray channelCodes(const SimInstrument& inst, int channel) {
    const Signal sig = Signal::of(inst, channel);
    const double scale = voltScale(inst, channel);
    const double offset = inst.Number(ch(channel) + ":OFFSET");
    // While running the application turns an inverted trace over itself; a
    // stopped instrument sends it already turned.
    const bool turned = inst.IsOn(ch(channel) + ":INVERT") && inst.Get(":TRIGGER:STATUS") == "STOP";
    const SampleTimes time(inst, channel);
    QByteArray out(kSimPoints, '\0');
    for (int b = 0; b < kSimPoints; ++b) {
        int c = code(sig.at(time(b)), offset, scale);
        if (turned) c = kSimCodeTop + 199 - (c - kSimCodeTop);
        out[b] = char(c);
    }
    return out;
}

QByteArray mathCodes(const SimInstrument& inst) {
    const Signal a = Signal::of(inst, 1), b = Signal::of(inst, 2);
    const int op = mathOperation(inst);
    const double scale = mathScale(inst);
    const SampleTimes time(inst, 1);
    QByteArray out(kSimPoints, '\0');
    for (int i = 0; i < kSimPoints; ++i) {
        const double va = a.at(time(i)), vb = b.at(time(i));
        const double v = op == 1 ? va - vb : op == 2 ? va * vb : va + vb;
        out[i] = char(code(v, 0, scale));
    }
    return out;
}

// The spectrum of CH1 in dB at 20 dB per division, 0 dBV on the centre line.
QByteArray fftCodes(const SimInstrument& inst) {
    const Signal s = Signal::of(inst, 1);
    const double hzPerDiv = fftHzPerDiv(inst);
    const double hzPerSample = hzPerDiv / 50, width = hzPerDiv / 10;
    QByteArray out(kSimPoints, '\0');
    for (int k = 0; k < kSimPoints; ++k) {
        const double d = (k * hzPerSample - s.freq) / width;
        const double vrms = s.peak / std::sqrt(2.0) / (1 + d * d) + 1e-4;
        out[k] = char(code(20 * std::log10(vrms), 0, 20));
    }
    return out;
}

QByteArray digitalWords(const SimInstrument& inst) {
    const SampleTimes time(inst, 0);
    QByteArray out(2 * kSimPoints, '\0');
    for (int b = 0; b < kSimPoints; ++b) {
        const auto count = qint64(std::floor(time(b) / kLaClock));
        const quint16 word = quint16(count & 0xFFFF);
        out[2 * b] = char(word & 0xFF);
        out[2 * b + 1] = char(word >> 8);
    }
    return out;
}

void put16(QByteArray& r, int at, int v) { qToLittleEndian<qint16>(qint16(v), r.data() + at); }
void putF(QByteArray& r, int at, float v) { qToLittleEndian<float>(v, r.data() + at); }
}  // namespace

double SimAutoScale(double x) {
    if (!(x > 0)) return 1;
    double decade = std::pow(10.0, std::floor(std::log10(x)));
    for (;;) {
        for (double m : {1.0, 2.0, 5.0})
            if (m * decade >= x * (1 - 1e-9)) return m * decade;
        decade *= 10;
    }
}

double SimSampleRate(const SimInstrument& inst) {
    const double top = inst.IsOn(":CHANNEL1:DISPLAY") && inst.IsOn(":CHANNEL2:DISPLAY") ? 5e8 : 1e9;
    const double rate = std::min(top, 16384 / (12 * timeScale(inst, 0)));
    // Round down to a 1-2-5 step.
    const double decade = std::pow(10.0, std::floor(std::log10(rate)));
    for (double m : {5.0, 2.0, 1.0})
        if (m * decade <= rate * (1 + 1e-9)) return m * decade;
    return decade;
}

QByteArray SimSystemData(const SimInstrument& inst) {
    QByteArray r(116, '\0');
    for (int at : {0, 4, 8}) {  // normal, upper and lower windows: the whole width
        put16(r, at, 0);
        put16(r, at + 2, 299);
    }
    const bool fft = inst.IsOn(":FFT:DISPLAY");
    r[12] = char(inst.Get(":TIMEBASE:FORMAT") == "SCANNING" || timeScale(inst, 0) >= 0.05);
    r[13] = char(inst.IsOn(":CHANNEL1:DISPLAY"));
    r[14] = char(inst.IsOn(":CHANNEL2:DISPLAY"));
    r[15] = char(inst.IsOn(":MATH:DISPLAY"));
    r[16] = char(fft ? 3 : mathOperation(inst));
    putF(r, 20, 1.0f);
    put16(r, 24, 0);                             // math position
    putF(r, 28, float(mathScale(inst)));         // math volts per division
    r[34] = char(fft);
    r[35] = 0;                                   // FFT in the upper half
    r[37] = 0;                                   // split screen
    r[38] = 1;                                   // dB scale
    putF(r, 40, 1.0f);                           // Vrms per division
    put16(r, 46, 20);                            // dB per division
    put16(r, 52, 0);                             // FFT position
    putF(r, 56, float(fftHzPerDiv(inst)));       // Hz per division
    put16(r, 60, 0);                             // expansion: 500 half-units
    put16(r, 68, 150);                           // starts at the left edge
    r[70] = char(inst.IsOn(":LA:DISPLAY"));
    put16(r, 72, int(quint16(inst.Number(":LA:STATUS"))));
    const QStringList loc = inst.Get(":LA:LOCATION").split(',');
    for (int n = 0; n < 16; ++n) {
        const quint32 word = loc.value(n < 8 ? 0 : 1).toUInt();
        const int pos = int((word >> (4 * (n % 8))) & 0xF);
        put16(r, 74 + 2 * n, 25 + 12 * pos + 10);  // low level of the row, in pixels
    }
    r[106] = 0;  // selected channel
    r[107] = 8;  // height codes
    r[108] = 8;
    put16(r, 110, 0);
    put16(r, 112, 299);
    return r;
}

QByteArray SimWaveformData(const SimInstrument& inst, const QString& source) {
    if (const int c = channelOf(source)) return channelCodes(inst, c);
    if (source == "MATH") return mathCodes(inst);
    if (source == "FFT") return fftCodes(inst);
    if (source.startsWith("DIGITAL") || source == "LA") return digitalWords(inst);
    return {};
}

QByteArray SimScreenCopy(const SimInstrument& inst) {
    constexpr int W = kSimScreenWidth, X0 = 10, Y0 = 17;
    QByteArray screen(W * kSimScreenHeight, char(SimBackground));
    auto dot = [&](int x, int y, char c) {
        if (x >= 0 && x < W && y >= 0 && y < kSimScreenHeight) screen[y * W + x] = c;
    };
    // Frame, and the grid dotted every fifth unit on the division lines.
    for (int x = 0; x <= 300; ++x) { dot(X0 + x, Y0, SimGrid); dot(X0 + x, Y0 + 200, SimGrid); }
    for (int y = 0; y <= 200; ++y) { dot(X0, Y0 + y, SimGrid); dot(X0 + 300, Y0 + y, SimGrid); }
    const QString grid = inst.Get(":DISPLAY:GRID");
    if (grid != "NONE") {
        for (int x = 25; x < 300; x += 25)
            for (int y = 5; y < 200; y += 5) dot(X0 + x, Y0 + y, SimGrid);
        for (int y = 25; y < 200; y += 25)
            for (int x = 5; x < 300; x += 5) dot(X0 + x, Y0 + y, SimGrid);
    }
    // A status strip above the graticule in the text colour.
    for (int x = 0; x < W; ++x) dot(x, 2, SimText);

    auto trace = [&](const QByteArray& codes, char colour) {
        int prev = -1;
        for (int x = 0; x < 300; ++x) {
            const int row = quint8(codes[2 * x]) - kSimCodeTop;
            const int from = prev < 0 ? row : std::min(prev, row), to = prev < 0 ? row : std::max(prev, row);
            for (int y = from; y <= to; ++y) dot(X0 + x, Y0 + y, colour);
            prev = row;
        }
    };
    if (inst.IsOn(":CHANNEL1:DISPLAY")) trace(channelCodes(inst, 1), SimCh1);
    if (inst.IsOn(":CHANNEL2:DISPLAY")) trace(channelCodes(inst, 2), SimCh2);
    if (inst.IsOn(":MATH:DISPLAY")) trace(mathCodes(inst), SimMath);
    return QByteArray(kSimScreenHeader, '\0') + screen;
}

QString SimMeasure(const SimInstrument& inst, const QString& item, const QString& source) {
    const QString refused = "*****";
    const int c = channelOf(source);
    if (!c || !inst.IsOn(ch(c) + ":DISPLAY")) return refused;
    const Signal s = Signal::of(inst, c);
    const double period = 1 / s.freq;
    const double riseTime = s.square ? 0.8 * s.rise : 2 * std::asin(0.8) / (2 * kPi * s.freq);
    const double rms = s.square ? s.peak * std::sqrt(1 - 4.0 / 3.0 * s.rise * s.freq) : s.peak / std::sqrt(2.0);

    // Voltages need the whole trace on the screen; times need at least one
    // period on the screen and enough samples per period or edge.
    const double scale = voltScale(inst, c), offset = inst.Number(ch(c) + ":OFFSET");
    const bool voltsOk = (s.peak + offset) / scale <= 4 && (-s.peak + offset) / scale >= -4;
    const double span = 12 * timeScale(inst, c), dt = timeScale(inst, c) / 50;
    const bool timesOk = span >= period && period >= 10 * dt;
    // An edge needs a few samples and has to fit on the screen.
    const bool edgeOk = riseTime >= 2 * dt && riseTime <= span;

    struct Row { const char* name; bool volts; double value; };
    const Row rows[] = {
        {"VPP", true, 2 * s.peak},       {"VMAX", true, s.peak},
        {"VMIN", true, -s.peak},         {"VTOP", true, s.peak},
        {"VBASE", true, -s.peak},        {"VAVERAGE", true, 0},
        {"VRMS", true, rms},             {"VAMPLITUDE", true, 2 * s.peak},
        {"OVERSHOOT", true, 0},          {"PRESHOOT", true, 0},
        {"FREQUENCY", false, s.freq},    {"PERIOD", false, period},
        {"RISETIME", false, riseTime},   {"FALLTIME", false, riseTime},
        {"PWIDTH", false, period / 2},   {"NWIDTH", false, period / 2},
        {"PDUTYCYCLE", false, 0.5},      {"NDUTYCYCLE", false, 0.5},
    };
    for (const Row& r : rows) {
        if (item != QLatin1String(r.name)) continue;
        const bool edge = item == "RISETIME" || item == "FALLTIME";
        if (r.volts ? !voltsOk : edge ? !edgeOk : !timesOk) return refused;
        return QString::number(r.value, 'e', 3);
    }
    return refused;
}
