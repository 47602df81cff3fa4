#include "link/MeasureCatalog.h"

#include <cmath>
#include <limits>

#include "link/ReplyParse.h"

namespace {

using F = UnitFamily;

// Item order.
const MeasureRow kRows[MeasureCount18] = {
    {0, "VPP", F::Voltage, "Vpp", "峰峰值", 0.1, 0.2, 1},
    {1, "VMAX", F::Voltage, "Vmax", "最大值", 0.1, 0.2, 2},
    {2, "VMIN", F::Voltage, "Vmin", "最小值", 0.1, 0.2, 3},
    {3, "VAVERAGE", F::Voltage, "Vavg", "平均值", 0.1, 0.2, 4},
    {4, "VTOP", F::Voltage, "Vtop", "顶端值", 0.1, 0.2, 6},
    {5, "VBASE", F::Voltage, "Vbase", "底端值", 0.1, 0.2, 7},
    {6, "VRMS", F::Voltage, "Vrms", "均方根值", 0.1, 0.2, 8},
    {7, "FREQUENCY", F::Frequency, "Frequency", "频率", 1e6, 2e6, 11},
    {8, "RISETIME", F::Time, "Rise Time", "上升时间", 1e-6, 2e-6, 13},
    {9, "FALLTIME", F::Time, "Fall Time", "下降时间", 1e-6, 2e-6, 14},
    {10, "PERIOD", F::Time, "Period", "周期", 1e-6, 2e-6, 12},
    {11, "PWIDTH", F::Time, "Pulse Width+", "正脉宽", 1e-4, 2e-4, 15},
    {12, "NWIDTH", F::Time, "Pulse Width-", "负脉宽", 1e-4, 2e-4, 16},
    {13, "OVERSHOOT", F::Percent, "Vover", "过冲", 0.05, 0.1, 9},
    {14, "PRESHOOT", F::Percent, "Vpre", "预冲", 0.05, 0.1, 10},
    {15, "VAMPLITUDE", F::Voltage, "Vamp", "幅度", 0.1, 0.2, 5},
    {16, "PDUTYCYCLE", F::Percent, "Duty+", "正占空比", 0.4, 0.6, 17},
    {17, "NDUTYCYCLE", F::Percent, "Duty-", "负占空比", 0.4, 0.6, 18},
};

}  // namespace

const MeasureOrder MeasureNameOrder = {0, 1, 2, 3, 15, 6, 4, 5, 14, 13, 7, 10, 8, 9, 11, 12, 16, 17};
const MeasureOrder MeasureDisplayOrder = {0, 1, 2, 3, 15, 4, 5, 6, 13, 14, 7, 8, 9, 10, 11, 12, 16, 17};
const MeasureOrder MeasureQueryOrder = {7, 0, 1, 2, 4, 3, 5, 6, 15, 16, 17, 10, 8, 9, 11, 12, 13, 14};

const MeasureRow& MeasureOfItem(int item) {
    return kRows[(item >= 0 && item < MeasureCount18) ? item : 0];
}

QString MeasureItemName(int item, int language) {
    const MeasureRow& r = MeasureOfItem(item);
    if (language == 0) return QString::fromUtf8(r.zh);
    if (language == 1) return QString::fromLatin1(r.en);
    return QString();
}

LimitText FormatFamilyLimit(UnitFamily family, double value) {
    switch (family) {
    case F::Voltage: return FormatVoltText(value);
    case F::Percent: return FormatPercentText(value);
    case F::Frequency: return FormatFreqText(value);
    case F::Time: return FormatTimeText(value);
    }
    return FormatVoltText(value);
}

QString FormatFamilyValue(UnitFamily family, double value) {
    // The formatters hold the number in single precision; beyond its range
    // none of them can show it.
    const bool single = std::fabs(value) <= double(std::numeric_limits<float>::max());
    const double x = single ? double(static_cast<float>(value)) : 0.0;
    switch (family) {
    case F::Voltage: return FormatVolt(value);      // "??.?V" beyond its range
    case F::Frequency: return FormatFreq(value);    // "??.???" beyond its range
    case F::Time:
        // Seconds through "###.0": seven digits up to 999999.9 s.
        return single && std::fabs(x) < 1e6 ? FormatTime4(value) : QStringLiteral("??.?s");
    case F::Percent:
        // "00.0%" up to 999999.9 %, "0.00%" down to -99999.99 %.
        return single && x < 1e4 && x > -1e3 ? FormatPercent(value) : QStringLiteral("??.?%");
    }
    return FormatVolt(value);
}

ParsedValue ParseFamilyValue(UnitFamily family, const QString& text) {
    if (text.contains(QLatin1Char('?'))) return {};
    ParsedValue v;
    switch (family) {
    case F::Voltage: v = ParseVolt2Checked(text); break;
    case F::Percent: v = ParsePercentChecked(text); break;
    case F::Frequency: v = ParseFrequencyChecked(text); break;
    case F::Time: v = ParseTimeChecked(text); break;
    }
    if (v.valid && FormatFamilyValue(family, v.value).contains(QLatin1Char('?'))) return {};
    return v;
}

QStringList FamilyUnitWords(UnitFamily family) {
    switch (family) {
    case F::Voltage: return {"MV", "kV", "V", "mV", "uV"};
    case F::Percent: return {"%"};
    case F::Frequency: return {"GHz", "MHz", "kHz", "Hz", "mHz"};
    case F::Time: return {"ps", "ns", "us", "ms", "s"};
    }
    return {};
}

double FamilyUnitFactor(UnitFamily family, int index) {
    static const double volt[] = {1e6, 1e3, 1, 1e-3, 1e-6};
    static const double freq[] = {1e9, 1e6, 1e3, 1, 1e-3};
    static const double time[] = {1e-12, 1e-9, 1e-6, 1e-3, 1};
    if (family == F::Percent) return index == 0 ? 0.01 : 0;
    if (index < 0 || index > 4) return 0;
    switch (family) {
    case F::Voltage: return volt[index];
    case F::Frequency: return freq[index];
    case F::Time: return time[index];
    case F::Percent: break;
    }
    return 0;
}
