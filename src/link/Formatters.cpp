#include "link/Formatters.h"

#include <cfloat>
#include <cmath>
#include <vector>

#include "link/ReplyParse.h"

namespace {

// The nearest 32-bit float, with values beyond its range as infinities.
float toSingle(double d) {
    if (d > double(FLT_MAX)) return INFINITY;
    if (d < -double(FLT_MAX)) return -INFINITY;
    return float(d);
}

enum class Op { Div, Mul };

struct Row {
    double threshold;  // compared as the nearest 32-bit float
    Op op;
    double factor;
    bool single;  // the scaled value is held in 32 bits
    const char* mask;
    const char* unit;
};

QString writeRow(float x, const Row& r) {
    double scaled;
    Precision p;
    if (r.single) {
        const float f = toSingle(r.factor);
        scaled = r.op == Op::Div ? double(x / f) : double(x * f);
        p = Precision::Single;
    } else {
        scaled = r.op == Op::Div ? double(x) / r.factor : double(x) * r.factor;
        p = Precision::Double;
    }
    return FormatWithMask(scaled, QString::fromLatin1(r.mask), p) + QString::fromLatin1(r.unit);
}

// First row (from the top) whose threshold t satisfies x >= t, or for
// negative values x <= -t; -1 when none holds.
int pickRow(float x, const Row* rows, int n, bool negative) {
    for (int i = 0; i < n; ++i) {
        const float t = toSingle(rows[i].threshold);
        if (negative ? x <= -t : x >= t) return i;
    }
    return -1;
}

// ---- volts
const Row kVoltRows[] = {
    {999990, Op::Div, 1e6, false, "#.00", "MV"},
    {99999, Op::Div, 1000, true, "###", "kV"},
    {9999.9, Op::Div, 1000, true, "##.0", "kV"},
    {999.99, Op::Div, 1000, true, "#.00", "kV"},
    {99.999, Op::Mul, 1, true, "###", "V"},
    {9.9999, Op::Mul, 1, true, "##.0", "V"},
    {0.99999, Op::Mul, 1, true, "#.00", "V"},
    {0.099999, Op::Mul, 1000, true, "###", "mV"},
    {0.0099999, Op::Mul, 1000, true, "##.0", "mV"},
    {0.00099999, Op::Mul, 1000, true, "#.00", "mV"},
    {9.9999e-5, Op::Mul, 1e6, false, "###", "uV"},
    {9.9999e-6, Op::Mul, 1e6, false, "##.0", "uV"},
    {9.9999e-7, Op::Mul, 1e6, false, "#.00", "uV"},
};
constexpr int kVoltRowCount = int(sizeof kVoltRows / sizeof kVoltRows[0]);

// ---- times: three masks per decade family, per formatter
struct TimeMasks {
    const char* m[3];
};

std::vector<Row> timeRows(const double* thresholds, const TimeMasks& masks) {
    static const struct {
        double factor;
        const char* unit;
        bool seconds;
    } units[5] = {{1, "s", true}, {0.001, "ms", false}, {1e-6, "us", false},
                  {1e-9, "ns", false}, {1e-12, "ps", false}};
    std::vector<Row> rows;
    for (int u = 0; u < 5; ++u)
        for (int k = 0; k < 3; ++k)
            rows.push_back({thresholds[u * 3 + k], Op::Div, units[u].factor, units[u].seconds,
                            masks.m[k], units[u].unit});
    return rows;
}

const double kTime34Thresholds[15] = {99.999,    9.9999,    0.99999,   0.099999,  0.0099999,
                                      0.00099999, 9.9999e-5, 9.9999e-6, 9.9999e-7, 9.9999e-8,
                                      9.9999e-9, 9.9999e-10, 9.9999e-11, 9.9999e-12, 9.9999e-13};
const double kTime5Thresholds[15] = {
    99.999999999,     9.9999999999,     0.99999999999,    0.099999999999,   0.0099999999999,
    0.00099999999999, 9.9999999999e-5,  9.9999999999e-6,  9.9999999999e-7,  9.9999999999e-8,
    9.9999999999e-9,  9.9999999999e-10, 9.9999999999e-11, 9.9999999999e-12, 9.9999999999e-13};

QString formatTime(double value, const std::vector<Row>& rows, const double* thresholds,
                   const char* nearZero) {
    float x = toSingle(value);
    // Beyond the 32-bit range: the largest seconds row.
    if (std::isinf(x)) x = x > 0 ? FLT_MAX : -FLT_MAX;
    const float tLast = toSingle(thresholds[14]);
    if (x > -tLast && x < tLast) return QString::fromLatin1(nearZero);
    const int r = pickRow(x, rows.data(), int(rows.size()), x < 0);
    return writeRow(x, rows[size_t(r < 0 ? 0 : r)]);
}

}  // namespace

QString FormatVolt(const QString& text) { return FormatVolt(LeadingNumber(text)); }

QString FormatVolt(double value) {
    const float x = toSingle(value);
    if (x >= toSingle(9999900)) return "??.?V";
    const float tLast = toSingle(9.9999e-7);
    if (x >= -tLast && x < tLast) return "0.00uV";
    if (x <= toSingle(-999990)) return "??.?V";
    const int r = pickRow(x, kVoltRows, kVoltRowCount, x < 0);
    return writeRow(x, kVoltRows[r < 0 ? 0 : r]);
}

QString FormatTime3(const QString& text) {
    static const std::vector<Row> rows = timeRows(kTime34Thresholds, {{"###", "##.0", "#.00"}});
    return formatTime(LeadingNumber(text), rows, kTime34Thresholds, "0.00s");
}

QString FormatTime4(const QString& text) { return FormatTime4(LeadingNumber(text)); }

QString FormatTime4(double value) {
    static const std::vector<Row> rows =
        timeRows(kTime34Thresholds, {{"###.0", "##.00", "#.000"}});
    return formatTime(value, rows, kTime34Thresholds, "0.000s");
}

QString FormatTime5(const QString& text) {
    static const std::vector<Row> rows =
        timeRows(kTime5Thresholds, {{"###.00", "##.000", "#.0000"}});
    return formatTime(LeadingNumber(text), rows, kTime5Thresholds, "0.0000s");
}

QString FormatFreq(const QString& text) { return FormatFreq(LeadingNumber(text)); }

QString FormatFreq(double value) {
    static const Row rows[] = {
        {99999999000, Op::Div, 1e9, false, "#000.0", "GHz"},
        {9999999900, Op::Div, 1e9, false, "#00.00", "GHz"},
        {999999990, Op::Div, 1e9, false, "#0.000", "GHz"},
        {99999999, Op::Div, 1e6, false, "#000.0", "MHz"},
        {9999999.9, Op::Div, 1e6, false, "#00.00", "MHz"},
        {999999.99, Op::Div, 1e6, false, "#0.000", "MHz"},
        {99999.999, Op::Div, 1000, false, "#000.0", "kHz"},
        {9999.9999, Op::Div, 1000, false, "#00.00", "kHz"},
        {999.99999, Op::Div, 1000, false, "#0.000", "kHz"},
        {99.999999, Op::Mul, 1, true, "#000.0", "Hz"},
        {9.9999999, Op::Mul, 1, true, "#00.00", "Hz"},
        {0.99999999, Op::Mul, 1, true, "#0.000", "Hz"},
        {0.099999999, Op::Mul, 1000, false, "#000.0", "mHz"},
        {0.0099999999, Op::Mul, 1000, false, "#00.00", "mHz"},
        {0.00099999999, Op::Mul, 1000, false, "#0.000", "mHz"},
    };
    const float x = toSingle(value);
    if (x >= toSingle(999999990000.0)) return "??.???";
    const int r = pickRow(x, rows, int(sizeof rows / sizeof rows[0]), false);
    if (r < 0) return "??.???";
    return writeRow(x, rows[r]);
}

QString FormatDb(const QString& text) { return FormatDb(LeadingNumber(text)); }

QString FormatDb(double value) {
    const float x = toSingle(value);
    const char* mask;
    if (x >= toSingle(9999.9)) return "****dB";
    if (x <= toSingle(-9999.9)) return "-****dB";
    if (x >= toSingle(99.999) || x <= toSingle(-99.999))
        mask = "#000.0dB";
    else if (x >= toSingle(9.9999) || x <= toSingle(-9.9999))
        mask = "#00.0dB";
    else
        mask = "#0.00dB";
    return FormatWithMask(x, QString::fromLatin1(mask), Precision::Single);
}

QString FormatPercent(const QString& text) { return FormatPercent(LeadingNumber(text)); }

QString FormatPercent(double value) {
    float x = toSingle(value);
    if (std::isinf(x)) x = x > 0 ? FLT_MAX : -FLT_MAX;
    return FormatWithMask(x, x < toSingle(0.1) ? "0.00%" : "00.0%", Precision::Single);
}

double PlainValue(double value, int digits) {
    return LeadingNumber(QString::number(value, 'g', digits));
}

QString FormatDiv(const QString& volts, const QString& voltsPerDiv) {
    const double d = LeadingNumber(voltsPerDiv);
    if (d == 0) return QString();
    const double q = LeadingNumber(volts) / d;
    if (!std::isfinite(q)) return QString();
    return FormatDiv(q);
}

QString FormatDiv(double divisions) { return FormatWithMask(divisions, "#0.00") + "div"; }

// ---------------------------------------------------------------------------
// Limit formatters

namespace {

LimitText limit(double scaled, int index, const char* const* units) {
    LimitText r;
    r.Box = FormatWithMask(scaled, "0.000");
    r.UnitIndex = index;
    r.Text = r.Box + QString::fromLatin1(units[index]);
    return r;
}

LimitText outOfRange(int index, const char* const* units) {
    LimitText r;
    r.Box = "???.?";
    r.UnitIndex = index;
    r.Text = r.Box + QString::fromLatin1(units[index]);
    return r;
}

}  // namespace

LimitText FormatVoltText(double v) {
    static const char* const u[] = {"MV", "kV", "V", "mV", "uV"};
    if (std::isnan(v) || v > 1e9 || v <= -1e9) return outOfRange(2, u);
    if (v >= 1e6) return limit(v / 1e6, 0, u);
    if (v >= 1000) return limit(v / 1000, 1, u);
    if (v >= 1) return limit(v, 2, u);
    if (v >= 0.001) return limit(v * 1000, 3, u);
    if (v > -0.001) return limit(v * 1e6, 4, u);
    if (v > -1) return limit(v * 1000, 3, u);
    if (v > -1000) return limit(v, 2, u);
    if (v > -1e6) return limit(v / 1000, 1, u);
    return limit(v / 1e6, 0, u);
}

LimitText FormatFreqText(double v) {
    static const char* const u[] = {"GHz", "MHz", "KHz", "Hz", "mHz"};
    if (std::isnan(v) || v > 1e12 || v < 0) return outOfRange(3, u);
    if (v >= 1e9) return limit(v / 1e9, 0, u);
    if (v >= 1e6) return limit(v / 1e6, 1, u);
    if (v >= 1000) return limit(v / 1000, 2, u);
    if (v >= 1) return limit(v, 3, u);
    return limit(v * 1000, 4, u);
}

LimitText FormatTimeText(double v) {
    static const char* const u[] = {"ps", "ns", "us", "ms", "s"};
    if (std::isnan(v) || v >= 1000 || v <= -1000) return outOfRange(4, u);
    if (v >= 1) return limit(v, 4, u);
    if (v >= 0.001) return limit(v * 1000, 3, u);
    if (v >= 1e-6) return limit(v * 1e6, 2, u);
    if (v >= 1e-9) return limit(v * 1e9, 1, u);
    if (v > -1e-9) return limit(v * 1e12, 0, u);
    if (v > -1e-6) return limit(v * 1e9, 1, u);
    if (v > -0.001) return limit(v * 1e6, 2, u);
    if (v > -1) return limit(v * 1000, 3, u);
    return limit(v, 4, u);
}

LimitText FormatPercentText(double v) {
    LimitText r;
    r.Box = FormatWithMask(v * 100, "0.00");
    r.UnitIndex = 0;
    r.Text = r.Box + "%";
    return r;
}

// ---------------------------------------------------------------------------
// SI formatters

namespace {

QString si(double v, const char* const* units) {
    double scaled;
    int k;
    if (v <= 1e-9) {
        scaled = v * 1e9;
        k = 0;
    } else if (v <= 1e-6) {
        scaled = v * 1e6;
        k = 1;
    } else if (v <= 0.001) {
        scaled = v * 1000;
        k = 2;
    } else {
        scaled = v;
        k = 3;
    }
    QString t = FormatWithMask(scaled, "0.0########################") + QString::fromLatin1(units[k]);
    t.replace(',', '.');
    return t;
}

}  // namespace

QString FormatTimeSI(double seconds) {
    static const char* const u[] = {"ns", "us", "ms", "s"};
    return si(seconds, u);
}

QString FormatVoltSI(double volts) {
    static const char* const u[] = {"nv", "uv", "mv", "v"};
    return si(volts, u);
}

QString FormatTimeSIDot(double seconds, const QString&) {
    QString t = FormatTimeSI(seconds);
    t.replace(',', '.');
    return t;
}
