#include "link/Converters.h"

#include <QStringList>
#include <cmath>
#include <initializer_list>
#include <utility>
#include <vector>

#include "link/Formatters.h"
#include "link/KV2200Cmd.h"
#include "link/LevelBase.h"
#include "link/LinkState.h"
#include "link/ReplyParse.h"
#include "link/SettingCatalog.h"
#include "link/Vocabulary.h"

// ---------------------------------------------------------------------------
// Keyword converters

namespace {

struct KwRow {
    int word;
    const char* keyword;
    const char* reply;
};
using KwTable = std::vector<KwRow>;

// The last row is the fallback when `fallback` is set: it is never compared
// by the converters (any other reply gives it); its reply column is the
// instrument's own word for it, which only IsKnownReply reads.
QString toKeyword(const QString& word, const KwTable& rows, bool fallback = true) {
    const size_t compared = fallback ? rows.size() - 1 : rows.size();
    for (size_t i = 0; i < compared; ++i)
        if (word == ValueWord(rows[i].word)) return QString::fromLatin1(rows[i].keyword);
    return fallback ? QString::fromLatin1(rows.back().keyword) : QString();
}

QString toText(const QString& reply, const KwTable& rows, bool fallback = true) {
    const size_t compared = fallback ? rows.size() - 1 : rows.size();
    for (size_t i = 0; i < compared; ++i)
        if (reply == QLatin1String(rows[i].reply)) return ValueWord(rows[i].word);
    return fallback ? ValueWord(rows.back().word) : QString();
}

// Whether a reply is one of a table's reply words, the fallback's included.
bool inTable(const QString& reply, const KwTable& rows) {
    for (const KwRow& r : rows)
        if (reply == QLatin1String(r.reply)) return true;
    return false;
}

const KwTable kRun = {{vwRun, ":RUN", "RUN"}, {vwStop, ":STOP", "STOP"}};
const KwTable kOnOff = {{vwOn, "ON", "ON"}, {vwOff, "OFF", "OFF"}};
const KwTable kAcqMode = {{vwRealTime, "RTIME", "REAL_TIME"}, {vwEqualTime, "ETIME", "EQUAL_TIME"}};
const KwTable kAcqType = {{vwAcqNormal, "NORMAL", "NORMAL"},
                          {vwPeakDetect, "PEAKDETECT", "PEAKDETECT"},
                          {vwAverage, "AVERAGE", "AVERAGE"}};
const KwTable kDisplayType = {{vwVectors, "VECTORS", "VECTORS"}, {vwDots, "DOTS", "DOTS"}};
const KwTable kGrid = {{vwFull, "FULL", "FULL"}, {vwHalf, "HALF", "HALF"}, {vwNone, "NONE", "NONE"}};
const KwTable kTrigMode = {{vwEdge, "EDGE", "EDGE"},
                           {vwPulse, "PULSE", "PULSE"},
                           {vwVideo, "VIDEO", "VIDEO"},
                           {vwSlope, "SLOPE", "SLOPE"},
                           {vwAlternative, "ALTERNATION", "ALTERNATION"},
                           {vwPattern, "PATTERN", "PATTERN"},
                           {vwDuration, "DURATION", "DURATION"}};
const KwTable kSweep = {{vwAuto, "AUTO", "AUTO"},
                        {vwSweepNormal, "NORMAL", "NORMAL"},
                        {vwSingle, "SINGLE", "SINGLE"}};
const KwTable kCoupling = {{vwCouplingAC, "AC", "AC"},
                           {vwDC, "DC", "DC"},
                           {vwLF, "LF", "LF"},
                           {vwHF, "HF", "HF"},
                           {vwGND, "GND", "GND"}};
const KwTable kEdgeSlope = {{vwRising, "POSITIVE", "POSITIVE"},
                            {vwFalling, "NEGATIVE", "NEGATIVE"},
                            {vwAlternation, "ALTERNATION", "ALTERNATION"}};
const KwTable kPulseMode = {{vwPulseLessPos, "+LESSTHAN", "+LESS THAN"},
                            {vwPulseLessNeg, "-LESSTHAN", "-LESS THAN"},
                            {vwPulseGreaterPos, "+GREATERTHAN", "+GREATER THAN"},
                            {vwPulseGreaterNeg, "-GREATERTHAN", "-GREATER THAN"},
                            {vwPulseEqualPos, "+EQUAL", "+EQUAL"},
                            {vwPulseEqualNeg, "-EQUAL", "-EQUAL"}};
const KwTable kSlopeMode = {{vwSlopeLessPos, "+LESSTHAN", "+LESS THAN"},
                            {vwSlopeLessNeg, "-LESSTHAN", "-LESS THAN"},
                            {vwSlopeGreaterPos, "+GREATERTHAN", "+GREATER THAN"},
                            {vwSlopeGreaterNeg, "-GREATERTHAN", "-GREATER THAN"},
                            {vwSlopeEqualPos, "+EQUAL", "+EQUAL"},
                            {vwSlopeEqualNeg, "-EQUAL", "-EQUAL"}};
const KwTable kVideoPolarity = {{vwPositive, "POSITIVE", "POSITIVE"},
                                {vwNegative, "NEGATIVE", "NEGATIVE"}};
const KwTable kVideoSync = {{vwAllLines, "ALLlines", "ALL LINES"},
                            {vwLine, "LINE", "LINE"},
                            {vwOddField, "ODDfield", "ODD FIELD"},
                            {vwEvenField, "EVENfield", "EVEN FIELD"}};
const KwTable kDurationQual = {{vwLessThan, "LESSTHAN", "LESS THAN"},
                               {vwGreaterThan, "GREATERTHAN", "GREATER THAN"},
                               {vwEqual, "EQUAL", "EQUAL"}};

}  // namespace

QString RunStateToCmd(const QString& w) { return toKeyword(w, kRun); }
QString RunStateToText(const QString& r) { return toText(r, kRun); }
QString OnOffToKeyword(const QString& w) { return toKeyword(w, kOnOff); }
QString OnOffToText(const QString& r) { return toText(r, kOnOff); }
QString AcqModeToKeyword(const QString& w) { return toKeyword(w, kAcqMode); }
QString AcqModeToText(const QString& r) { return toText(r, kAcqMode); }
QString AcqTypeToKeyword(const QString& w) { return toKeyword(w, kAcqType); }
QString AcqTypeToText(const QString& r) { return toText(r, kAcqType); }
QString DisplayTypeToKeyword(const QString& w) { return toKeyword(w, kDisplayType); }
QString DisplayTypeToText(const QString& r) { return toText(r, kDisplayType); }
QString GridToKeyword(const QString& w) { return toKeyword(w, kGrid); }
QString GridToText(const QString& r) { return toText(r, kGrid); }
QString TrigModeToKeyword(const QString& w) { return toKeyword(w, kTrigMode); }
QString TrigModeToText(const QString& r) { return toText(r, kTrigMode); }
QString SweepToKeyword(const QString& w) { return toKeyword(w, kSweep, false); }
QString SweepToText(const QString& r) { return toText(r, kSweep, false); }
QString CouplingToKeyword(const QString& w) { return toKeyword(w, kCoupling); }
QString CouplingToText(const QString& r) { return toText(r, kCoupling); }
QString EdgeSlopeToKeyword(const QString& w) { return toKeyword(w, kEdgeSlope); }
QString EdgeSlopeToText(const QString& r) { return toText(r, kEdgeSlope); }
QString PulseModeToKeyword(const QString& w) { return toKeyword(w, kPulseMode); }
QString PulseModeToText(const QString& r) { return toText(r, kPulseMode); }
QString SlopeModeToKeyword(const QString& w) { return toKeyword(w, kSlopeMode); }
QString SlopeModeToText(const QString& r) { return toText(r, kSlopeMode); }
QString VideoPolarityToKeyword(const QString& w) { return toKeyword(w, kVideoPolarity); }
QString VideoPolarityToText(const QString& r) { return toText(r, kVideoPolarity); }
QString VideoSyncToKeyword(const QString& w) { return toKeyword(w, kVideoSync); }
QString VideoSyncToText(const QString& r) { return toText(r, kVideoSync); }
QString DurationQualToKeyword(const QString& w) { return toKeyword(w, kDurationQual); }
QString DurationQualToText(const QString& r) { return toText(r, kDurationQual); }

// ---------------------------------------------------------------------------
// Setting converters

QString TimebaseFormatToKeyword(QString& format) {
    format = format.trimmed();
    if (format == "Y-T") return "YT";
    if (format == "X-Y") return "XY";
    if (format == "Roll") return "SCANNING";
    return QString();
}

QString TimebaseFormatToText(const QString& reply) {
    return reply == "SCANNING" ? QStringLiteral("Roll") : reply;
}

QString LaThresholdToText(const QString& reply) {
    if (reply == "TTL" || reply == "ECL" || reply == "CMOS") return reply;
    if (reply.size() < 5) return QString();  // no level after the prefix
    return FormatVolt(reply.mid(5));
}

QString LaThresholdUserText(const QString& reply) {
    if (!reply.startsWith(QLatin1String("User"))) return reply;
    if (reply.size() < 5) return QString();  // "User" alone
    return FormatVolt(reply.mid(5));
}

QString DivToText(const QString& reply) { return FormatDiv(LeadingNumber(reply)); }

QString TrigSourceToKeyword(const QString& source) {
    if (source.isEmpty()) return QString();
    if (source == "CH1") return "CHANNEL1";
    if (source == "CH2") return "CHANNEL2";
    // The AC-line word, or the instrument's own word that the download keeps
    // for the pulse, video and slope sources.
    if (source == ValueWord(vwAcLine) || source == "ACLINE") return "ACLINE";
    if (source == "EXT") return "EXT";
    if (source == "EXT5") return "EXT5";
    // A logic channel "D0" ... "D15"; nothing else is one.
    if (source.startsWith('D') && IsSourceReply(source)) return "DIGITAL" + source.mid(1);
    return QString();
}

QString TrigSourceToText(const QString& reply) {
    return reply == "ACLINE" ? ValueWord(vwAcLine) : reply;
}

QString TriggerLevelText(const QString& levelDiv, const QString& source) {
    LevelBase base = AskLevelBase(source, LevelTrigger::None);
    // A scale or offset that did not come, or is no number, counts as 0.
    if (base.kind == LevelBase::Unknown) {
        base.kind = LevelBase::Divisions;
        base.offset = 0;
    }
    QString volts;
    return base.Volts(levelDiv, volts) ? volts : QString("0");
}

bool IsRisingCode(const QString& code) {
    return OwnWordOf(SettingOf(&CtrlSettings::TriggerPatternCode, 1), code) == clRising;
}

bool IsFallingCode(const QString& code) {
    return OwnWordOf(SettingOf(&CtrlSettings::TriggerPatternCode, 1), code) == clFalling;
}

CtrlTreeHooks& CtrlTreeUi() {
    static CtrlTreeHooks h;
    return h;
}

QString PatternTriggerCommand(CtrlSettings& s, int n) {
    if (n < 0 || n > 15) return QString();
    const bool pattern = s.TriggerMethod == ValueWord(vwPattern);
    CtrlCodeArray& codes = pattern ? s.TriggerPatternCode : s.TriggerDurationCode;
    const QString method = pattern ? "PATTERN" : "DURATION";
    auto isEdge = [](const QString& c) { return IsRisingCode(c) || IsFallingCode(c); };

    // Only one channel may carry an edge: clear the first other one.
    const int own = 16 - n;
    if (isEdge(codes[own])) {
        for (int k = 1; k <= 16; ++k) {
            if (k != own && isEdge(codes[k])) {
                codes[k] = "X";
                if (CtrlTreeUi().SetNodeText)
                    CtrlTreeUi().SetNodeText(
                        21, k + 4, ControllerLabel(clD15 + k - 1) + " [" + codes[k] + "]");
                break;
            }
        }
    }

    QString edgeField;
    if (IsRisingCode(codes[own])) edgeField = QString::number(n) + ",1";
    else if (IsFallingCode(codes[own])) edgeField = QString::number(n) + ",0";

    unsigned value = 0, mask = 65535;
    for (int i = 15; i >= 0; --i) {
        const QString& c = codes[16 - i];
        if (c == "H") {
            value |= 1u << i;
        } else if (c == "X") {
            mask &= ~(1u << i);
        } else if (edgeField.isEmpty() && isEdge(c)) {
            edgeField = QString::number(i) + (IsRisingCode(c) ? ",1" : ",0");
        }
    }

    QString cmd = ":TRIGGER:" + method + ":PATTERN " + QString::number(value) + "," +
                  QString::number(mask);
    if (!edgeField.isEmpty()) cmd += "," + edgeField;
    return cmd;
}

void SendPatternTrigger(int n) {
    const QString cmd = PatternTriggerCommand(DSOSettings(), n);
    if (!cmd.isEmpty()) SendCmd(cmd);
}

QString VideoStandardConv(const QString& standard) {
    if (standard == "PAL/SECAM") return QStringLiteral("PALSECAM");
    return standard == "NTSC" ? standard : QString();
}

QString ProbeToText(const QString& reply) {
    const double v = LeadingNumber(reply);
    for (int f : {1, 2, 5, 10, 50, 100, 500})
        if (v == f) return QString::number(f) + "X";
    return "1000X";
}

namespace {

// Bits 0..15 of a whole number read from a text (rounded, halves to even).
unsigned bitsOf(const QString& field) {
    const double v = std::nearbyint(LeadingNumber(field));
    if (!std::isfinite(v) || std::fabs(v) > 9e15) return 0;
    return unsigned(static_cast<long long>(v) & 0xFFFF);
}

}  // namespace

QString PatternText(QString& reply, CtrlCodeArray& codes) {
    QStringList fields;
    while (fields.size() < 4) {
        const int comma = reply.indexOf(',');
        if (comma < 0) break;
        fields << reply.left(comma);
        reply = reply.mid(comma + 1);
    }
    if (fields.size() == 4) return QString();  // a fifth field: more than the reply may hold
    fields << reply;

    const unsigned value = bitsOf(fields.value(0));
    const unsigned mask = bitsOf(fields.value(1));
    for (int j = 1; j <= 16; ++j) {
        const unsigned bit = 1u << (16 - j);
        codes[j] = (value & bit) ? "H" : "L";
        if (!(mask & bit)) codes[j] = "X";
    }

    if (fields.size() >= 3 && fields[2] != "None" && fields[2].size() >= 4) {
        const double c = std::nearbyint(LeadingNumber(fields[2].mid(4)));
        if (c >= 0 && c <= 15) {
            const bool rising = fields.value(3).trimmed() == "Positive";
            codes[16 - int(c)] = ControllerLabel(rising ? clRising : clFalling);
        }
    }
    return QString();
}

QString VoltsPerDivIndex(const QString& voltsPerDiv, const QString& probe) {
    static const char* const base[12] = {"1.00mV", "2.00mV", "5.00mV", "10.0mV",
                                         "20.0mV", "50.0mV", "100mV",  "200mV",
                                         "500mV",  "1.00V",  "2.00V",  "5.00V"};
    static const struct {
        const char* probe;
        const char* ladder[12];
    } ladders[] = {
        {"2X", {"2.00mV", "4.00mV", "10.0mV", "20.0mV", "40.0mV", "100mV", "200mV", "400mV",
                "1.00V", "2.00V", "4.00V", "10.0V"}},
        {"5X", {"5.00mV", "10.0mV", "25.0mV", "50.0mV", "100mV", "250mV", "500mV", "1.00V",
                "2.50V", "5.00V", "10.0V", "25.0V"}},
        {"10X", {"10.0mV", "20.0mV", "50.0mV", "100mV", "200mV", "500mV", "1.00V", "2.00V",
                 "5.00V", "10.0V", "20.0V", "50.0V"}},
        {"50X", {"50.0mV", "100mV", "250mV", "500mV", "1.00V", "2.50V", "5.00V", "10.0V",
                 "25.0V", "50.0V", "100V", "250V"}},
        {"100X", {"100mV", "200mV", "500mV", "1.00V", "2.00V", "5.00V", "10.0V", "20.0V",
                  "50.0V", "100V", "200V", "500V"}},
        {"500X", {"500mV", "1.00V", "2.50V", "5.00V", "10.0V", "25.0V", "50.0V", "100V",
                  "250V", "500V", "1000V", "2500V"}},
        {"1000X", {"1.00V", "2.00V", "5.00V", "10.0V", "20.0V", "50.0V", "100V", "200V",
                   "500V", "1.00kV", "2.00kV", "5.00kV"}},
    };
    if (probe == "1X") return voltsPerDiv;
    for (const auto& l : ladders) {
        if (probe != QLatin1String(l.probe)) continue;
        for (int i = 0; i < 12; ++i)
            if (voltsPerDiv == QLatin1String(l.ladder[i])) return QString::fromLatin1(base[i]);
        return "10.0V";
    }
    return QString();
}

// ---------------------------------------------------------------------------
// Replies a converter knows

bool IsNumberReply(const QString& reply) { return IsPlainNumber(reply); }

bool IsSourceReply(const QString& reply) {
    static const QStringList words = [] {
        QStringList w{"CH1", "CH2", "EXT", "EXT5", "ACLINE"};
        for (int n = 0; n <= 15; ++n) w << "D" + QString::number(n);
        return w;
    }();
    return words.contains(reply);
}

bool IsVideoStandardReply(const QString& reply) { return FormTexts(ValueForm::VideoStandard).contains(reply); }

bool IsDivText(const QString& text) { return ReadDivText(text).valid; }
bool IsProbeText(const QString& text) { return FormTexts(ValueForm::Probe).contains(text); }

bool IsThresholdReply(const QString& reply) {
    if (FormTexts(ValueForm::Threshold).contains(reply)) return true;
    // A user level: "USER" (any case), one separator, the level.
    return reply.size() > 5 && reply.left(4).compare(QLatin1String("USER"), Qt::CaseInsensitive) == 0 &&
           IsNumberReply(reply.mid(5));
}

namespace {

// Each keyword table with its reply converter.
struct KwConverters {
    ReplyConverter toText;
    const KwTable* rows;
};
const std::vector<KwConverters>& keywordConverters() {
    static const std::vector<KwConverters> all = {
        {RunStateToText, &kRun},
        {OnOffToText, &kOnOff},
        {AcqModeToText, &kAcqMode},
        {AcqTypeToText, &kAcqType},
        {DisplayTypeToText, &kDisplayType},
        {GridToText, &kGrid},
        {TrigModeToText, &kTrigMode},
        {SweepToText, &kSweep},
        {CouplingToText, &kCoupling},
        {EdgeSlopeToText, &kEdgeSlope},
        {PulseModeToText, &kPulseMode},
        {SlopeModeToText, &kSlopeMode},
        {VideoPolarityToText, &kVideoPolarity},
        {VideoSyncToText, &kVideoSync},
        {DurationQualToText, &kDurationQual},
    };
    return all;
}

}  // namespace

bool IsKnownReply(ReplyConverter conv, const QString& reply) {
    if (reply.isEmpty() || !conv) return false;
    for (const KwConverters& c : keywordConverters())
        if (c.toText == conv) return inTable(reply, *c.rows);
    for (ReplyConverter number : {FormatVolt, FormatTime3, FormatTime4, FormatTime5, FormatFreq, FormatDb,
                                  FormatPercent, DivToText})
        if (number == conv) return IsNumberReply(reply);
    if (conv == TimebaseFormatToText) return reply == "Y-T" || reply == "X-Y" || reply == "SCANNING";
    if (conv == TrigSourceToText) return IsSourceReply(reply);
    if (conv == LaThresholdToText || conv == LaThresholdUserText) return IsThresholdReply(reply);
    if (conv == ProbeToText) return IsProbeText(reply);
    return true;
}
