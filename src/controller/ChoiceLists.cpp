#include "controller/ChoiceLists.h"

#include <cmath>

#include "common/DSOSettings.h"
#include "link/Converters.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/ReplyParse.h"

namespace {

// A running value in divisions as "#0.00div", with a minus sign only when it
// is negative after rounding to hundredths (so the zero entry reads "0.00div").
QString DivEntry(double value) {
    const long long hundredths = std::llround(value * 100.0);
    const long long a = hundredths < 0 ? -hundredths : hundredths;
    return QString("%1%2.%3div")
        .arg(hundredths < 0 ? "-" : "")
        .arg(a / 100)
        .arg(a % 100, 2, 10, QLatin1Char('0'));
}

// Entries from `first`, lowered by `step` in double precision while the
// value is not below `end`.
QStringList DivRange(double first, double step, double end) {
    QStringList out;
    for (double v = first; !(v < end); v -= step) out << DivEntry(v);
    return out;
}

// Fastest time base scale of a model class: the index in TimeDivSequence.
int FirstTimeDivIndex(int bandwidthClass) {
    switch (bandwidthClass) {
    case 0: return 4;  // "20.00ns"
    case 1: return 3;  // "10.00ns"
    case 2: return 2;  // "5.000ns"
    case 3: return 1;  // "2.000ns"
    default: return 0; // "1.000ns"
    }
}

}  // namespace

QStringList TimeDivSequence() {
    static const QStringList seq = [] {
        QStringList s;
        const char* const mantissa[3][3] = {{"1.000", "2.000", "5.000"},
                                            {"10.00", "20.00", "50.00"},
                                            {"100.0", "200.0", "500.0"}};
        for (const char* unit : {"ns", "us", "ms"})
            for (auto& decade : mantissa)
                for (const char* m : decade) s << QString(m) + unit;
        for (auto& decade : {mantissa[0], mantissa[1]})
            for (int i = 0; i < 3; ++i) s << QString(decade[i]) + "s";
        return s;
    }();
    return seq;
}

QStringList TimeDivChoices(const QString& formatReply, int bandwidthClass) {
    const QStringList seq = TimeDivSequence();
    if (formatReply == "Y-T" || formatReply == "SCANNING")
        return seq.mid(FirstTimeDivIndex(bandwidthClass));
    if (formatReply == "X-Y") return seq.mid(seq.indexOf("1.000us"), 13);
    return {};
}

QStringList TrigLevelChoices() { return DivRange(6, 0.04, -6.04); }

QStringList TrigSensitivityChoices() { return DivRange(1, 0.01, 0.09); }

QStringList LaSourceChoices() {
    QStringList out;
    for (int n = 0; n <= 15; ++n) out << "D" + QString::number(n);
    return out;
}

QStringList VoltDivChoices(const QString& probe) {
    // The 1X row, then each larger probe factor moves the window up by a decade.
    static const QStringList ladder = {"2.00mV", "5.00mV", "10.0mV", "20.0mV", "50.0mV",
                                       "100mV",  "200mV",  "500mV",  "1.00V",  "2.00V",
                                       "5.00V",  "10.0V",  "20.0V",  "50.0V",  "100V",
                                       "200V",   "500V",   "1kV",    "2kV",    "5kV"};
    static const QStringList probes = {"1X", "10X", "100X", "1000X"};
    const int decade = probes.indexOf(probe);
    if (decade < 0) return {};
    return ladder.mid(3 * decade, 11);
}

QStringList MemOffsetChoices(long long memorySize) {
    QStringList out;
    for (long long i = 1; i < memorySize; ++i) out << QString::number(i);
    return out;
}

void SetCtrlDialogTimeDivNum(QStringList& combo) {
    const QString format = TrimReply(QueryCmd(":TIMEBASE:FORMAT?"));
    if (!Link().ReplyFailed && !IsKnownReply(TimebaseFormatToText, format)) NoteReplyGarbled();
    combo << TimeDivChoices(format, Link().BandwidthClass);
}

void SetCtrlDialogTrigLevelNum(QStringList& combo) { combo << TrigLevelChoices(); }

void SetCtrlDialogTrigSensitivityNum(QStringList& combo) { combo << TrigSensitivityChoices(); }

void AddLaSource(QStringList& combo) { combo << LaSourceChoices(); }

void SetCtrlDialogVoltDivNum(QStringList& combo, const QString& channel) {
    const CtrlSettings& s = DSOSettings();
    combo << VoltDivChoices(channel == "CH1" ? s.CH1Probe : s.CH2Probe);
}

void SetCtrlDialogMemOffsetNum(QStringList& combo) {
    bool ok = false;
    const long long n = TrimReply(QueryCmd(":WAVEFORM:SYSMEMSIZE?")).trimmed().toLongLong(&ok);
    if (!ok && !Link().ReplyFailed) NoteReplyGarbled();
    // A size beyond any instrument's memory would only build a useless list.
    if (ok && n <= 1000000LL) combo << MemOffsetChoices(n);
}
