#include "link/SettingCatalog.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "common/LanguageId.h"
#include "link/Converters.h"
#include "link/Formatters.h"
#include "link/LinkState.h"
#include "link/ReplyParse.h"
#include "link/Vocabulary.h"

namespace {

using S = CtrlSettings;
using Field = QString S::*;
using Words = std::vector<int>;

// The word lists, in the order the setting dialog shows them.
const Words kRunWords = {vwRun, vwStop};
const Words kOnOff = {vwOn, vwOff};
const Words kChannelCoupling = {vwDC, vwCouplingAC, vwGND};
const Words kTriggerCoupling = {vwDC, vwCouplingAC, vwHF, vwLF};
const Words kMethods = {vwEdge, vwPulse, vwVideo, vwSlope, vwAlternative, vwPattern, vwDuration};
const Words kAltTypes = {vwEdge, vwPulse, vwVideo, vwSlope};
const Words kSweeps = {vwAuto, vwSweepNormal, vwSingle};
const Words kEdgeSlopes = {vwRising, vwFalling, vwAlternation};
const Words kAltEdgeSlopes = {vwRising, vwFalling};
const Words kPulseModes = {vwPulseLessPos, vwPulseGreaterPos, vwPulseEqualPos,
                           vwPulseLessNeg, vwPulseGreaterNeg, vwPulseEqualNeg};
const Words kSlopeModes = {vwSlopeLessPos, vwSlopeGreaterPos, vwSlopeEqualPos,
                           vwSlopeLessNeg, vwSlopeGreaterNeg, vwSlopeEqualNeg};
const Words kPolarities = {vwNegative, vwPositive};
const Words kSyncs = {vwAllLines, vwLine, vwOddField, vwEvenField};
const Words kQualifiers = {vwLessThan, vwGreaterThan, vwEqual};
const Words kSamplings = {vwEqualTime, vwRealTime};
const Words kAcquisitions = {vwAcqNormal, vwAverage, vwPeakDetect};
const Words kDisplayTypes = {vwVectors, vwDots};
const Words kGrids = {vwFull, vwHalf, vwNone};

class Builder {
public:
    Builder() : all_(size_t(CtrlValueCount)) {
        for (int n = 1; n <= CtrlValueCount; ++n) all_[size_t(n - 1)].number = n;
    }

    // A value of its own words.
    void words(Field f, const Words& w, SettingConverter conv, int def, Judged j = Judged::Sent) {
        SettingDesc& d = at(SettingNumber(f));
        d.form = ValueForm::Words;
        d.words = w;
        d.keyword = conv;
        d.defaultWord = def;
        d.judged = j;
    }
    void words(CtrlCodeArray S::*a, const Words& w, SettingConverter conv, int def) {
        for (int k = 1; k <= 16; ++k) {
            SettingDesc& d = at(SettingNumber(a, k));
            d.form = ValueForm::Words;
            d.words = w;
            d.keyword = conv;
            d.defaultWord = def;
        }
    }
    // A value of a form; `def` null: New keeps the value.
    SettingDesc& form(Field f, ValueForm form, const char* def, Judged j = Judged::Sent) {
        SettingDesc& d = at(SettingNumber(f));
        d.form = form;
        d.defaultText = def;
        d.judged = j;
        d.format = formatOf(form);
        return d;
    }
    void form(CtrlCodeArray S::*a, ValueForm form, const char* def) {
        for (int k = 1; k <= 16; ++k) {
            SettingDesc& d = at(SettingNumber(a, k));
            d.form = form;
            d.defaultText = def;
            d.format = formatOf(form);
        }
    }
    void source(Field f, int method, Judged j = Judged::Sent) {
        SettingDesc& d = form(f, ValueForm::Source, j == Judged::Sent ? "CH1" : "D0", j);
        d.words = {vwAcLine};
        d.keyword = TrigSourceToKeyword;
        d.sourceMethod = method;
    }
    // A number's span as the dialog offers it.
    static void span(SettingDesc& d, double least, double most) {
        d.spanned = true;
        d.least = least;
        d.most = most;
    }
    SettingDesc& of(Field f) { return at(SettingNumber(f)); }
    SettingDesc& of(CtrlCodeArray S::*a, int k) { return at(SettingNumber(a, k)); }

    std::vector<SettingDesc> done() { return std::move(all_); }

private:
    static NumberFormat formatOf(ValueForm form) {
        switch (form) {
        case ValueForm::Volts:
        case ValueForm::Threshold: return NumberFormat::Volt;
        case ValueForm::Seconds: return NumberFormat::Time3;
        case ValueForm::Div:
        case ValueForm::Level: return NumberFormat::Div;
        case ValueForm::PlainNumber: return NumberFormat::Whole;
        default: return NumberFormat::None;
        }
    }
    SettingDesc& at(int number) { return all_[size_t(number - 1)]; }
    std::vector<SettingDesc> all_;
};

// The fields of one trigger (main, or a channel's under alternation).
struct TriggerFields {
    Field edgeSlope, edgeCoupling, edgeLevel, edgeSensitivity;
    Field pulseMode, pulseWidth, pulseCoupling, pulseLevel, pulseSensitivity;
    Field videoPolarity, videoSync, videoStandard, videoLine, videoLevel, videoSensitivity;
    Field slopeMode, slopeTime, slopeWindow, slopeLevelA, slopeLevelB, slopeCoupling, slopeSensitivity;
};
#define KV_TRIGGER_FIELDS(p)                                                                         \
    TriggerFields {                                                                                  \
        &S::p##EdgeSlope, &S::p##EdgeCoupling, &S::p##EdgeLevel, &S::p##EdgeSensitivity,            \
            &S::p##PulseMode, &S::p##PulseWidth, &S::p##PulseCoupling, &S::p##PulseLevel,           \
            &S::p##PulseSensitivity, &S::p##VideoPolarity, &S::p##VideoSync, &S::p##VideoStandard,  \
            &S::p##VideoLine, &S::p##VideoLevel, &S::p##VideoSensitivity, &S::p##SlopeMode,         \
            &S::p##SlopeTime, &S::p##SlopeWindow, &S::p##SlopeLevelA, &S::p##SlopeLevelB,           \
            &S::p##SlopeCoupling, &S::p##SlopeSensitivity                                           \
    }

// The spans of the setting dialog's generated lists: levels from 6 down to
// -6 divisions, sensitivities from 1 down to 0.1.
constexpr double kLevelLeast = -6, kLevelMost = 6;
constexpr double kSensitivityLeast = 0.1, kSensitivityMost = 1;
// The video lines: 1 to the last line of the standard.
constexpr double kFirstLine = 1, kLastLineNtsc = 525, kLastLineOther = 625;

// The settings every trigger has; `alternation`: a channel's trigger under
// alternation (no ALTERNATION slope, levels on its own channel, no window sent).
void addTrigger(Builder& b, const TriggerFields& t, bool alternation, const char* slopeLevelB) {
    b.words(t.edgeSlope, alternation ? kAltEdgeSlopes : kEdgeSlopes, EdgeSlopeToKeyword, vwRising);
    for (Field f : {t.edgeCoupling, t.pulseCoupling, t.slopeCoupling})
        b.words(f, kTriggerCoupling, CouplingToKeyword, vwDC);
    for (Field f : {t.edgeSensitivity, t.pulseSensitivity, t.videoSensitivity, t.slopeSensitivity})
        b.form(f, ValueForm::Div, "0.10div");
    for (Field f : {t.videoLevel, t.slopeLevelA}) b.form(f, ValueForm::Div, "0.00div");
    b.form(t.slopeLevelB, ValueForm::Div, slopeLevelB);
    // The main EDGE and PULSE levels hold a threshold under a logic-channel source.
    const auto level = [&](Field f, Field source) {
        if (alternation) {
            b.form(f, ValueForm::Div, "0.00div");
            return;
        }
        b.form(f, ValueForm::Level, "0.00div").levelSource = SettingNumber(source);
    };
    level(t.edgeLevel, &S::TriggerEdgeSource);
    level(t.pulseLevel, &S::TriggerPulseSource);
    b.words(t.pulseMode, kPulseModes, PulseModeToKeyword, vwPulseLessPos);
    b.form(t.pulseWidth, ValueForm::Seconds, "1us");
    b.words(t.videoPolarity, kPolarities, VideoPolarityToKeyword, vwPositive);
    b.words(t.videoSync, kSyncs, VideoSyncToKeyword, vwLine);
    b.form(t.videoStandard, ValueForm::VideoStandard, "NTSC").keyword = VideoStandardConv;
    b.form(t.videoLine, ValueForm::PlainNumber, "1");
    b.words(t.slopeMode, kSlopeModes, SlopeModeToKeyword, vwSlopeLessPos);
    b.form(t.slopeTime, ValueForm::Seconds, "1us");
    b.form(t.slopeWindow, ValueForm::SlopeWindow, "PA", alternation ? Judged::Kept : Judged::Sent);

    for (Field f : {t.edgeSensitivity, t.pulseSensitivity, t.videoSensitivity, t.slopeSensitivity})
        Builder::span(b.of(f), kSensitivityLeast, kSensitivityMost);
    for (Field f : {t.edgeLevel, t.pulseLevel, t.videoLevel, t.slopeLevelA, t.slopeLevelB}) {
        Builder::span(b.of(f), kLevelLeast, kLevelMost);
        b.of(f).levelRow = true;
    }
    SettingDesc& line = b.of(t.videoLine);
    Builder::span(line, kFirstLine, kLastLineOther);
    line.lineStandard = SettingNumber(t.videoStandard);
}

std::vector<SettingDesc> build() {
    Builder b;
    b.words(&S::RunStop, kRunWords, RunStateToCmd, vwRun);
    b.words(&S::CH1Display, kOnOff, OnOffToKeyword, vwOn);
    b.words(&S::CH2Display, kOnOff, OnOffToKeyword, vwOff);
    for (Field f : {&S::CH1Scale, &S::CH2Scale}) b.form(f, ValueForm::Volts, "1.00V");
    for (Field f : {&S::CH1Offset, &S::CH2Offset}) b.form(f, ValueForm::Volts, "0.00mV");
    for (Field f : {&S::CH1Coupling, &S::CH2Coupling})
        b.words(f, kChannelCoupling, CouplingToKeyword, vwCouplingAC);
    for (Field f : {&S::CH1BWLimit, &S::CH2BWLimit, &S::LADisplay, &S::DisplayPersist})
        b.words(f, kOnOff, OnOffToKeyword, vwOff);
    for (Field f : {&S::CH1Probe, &S::CH2Probe}) b.form(f, ValueForm::Probe, "1X");
    for (Field f : {&S::CH1Invert, &S::CH2Invert, &S::AntiAliasing})
        b.words(f, kOnOff, OnOffToKeyword, vwOff, Judged::Kept);
    for (Field f : {&S::MathDisplay, &S::FFTDisplay, &S::SpareSwitch})
        b.words(f, kOnOff, OnOffToKeyword, -1, Judged::Kept);
    // The group displays are derived by the download, never sent.
    for (Field f : {&S::LAGroupHighDisplay, &S::LAGroupLowDisplay})
        b.words(f, kOnOff, OnOffToKeyword, vwOff, Judged::Named);
    b.words(&S::LAChannelDisplay, kOnOff, OnOffToKeyword, vwOff);
    b.form(&S::LAChannelPosition, ValueForm::PlainNumber, "0");
    for (int k = 1; k <= 16; ++k) Builder::span(b.of(&S::LAChannelPosition, k), 0, 15);
    b.form(&S::LAThreshold, ValueForm::Threshold, "TTL").words = {vwUser};

    // The time base is read back as FormatTime4, the other times as FormatTime3.
    for (Field f : {&S::TimeBaseScale, &S::AltCH1TimeBaseScale, &S::AltCH2TimeBaseScale})
        b.form(f, ValueForm::Seconds, "10.00us").format = NumberFormat::Time4;
    for (Field f : {&S::TimeBaseOffset, &S::AltCH1TimeBaseOffset, &S::AltCH2TimeBaseOffset})
        b.form(f, ValueForm::Seconds, "0.0000s").format = NumberFormat::Time4;
    for (Field f : {&S::TriggerHoldoff, &S::AltCH1EdgeHoldoff, &S::AltCH2EdgeHoldoff, &S::AltCH1PulseHoldoff,
                    &S::AltCH2PulseHoldoff, &S::AltCH1VideoHoldoff, &S::AltCH2VideoHoldoff,
                    &S::AltCH1SlopeHoldoff, &S::AltCH2SlopeHoldoff})
        b.form(f, ValueForm::Seconds, "100ns");
    b.form(&S::MemorySize, ValueForm::Text, "4000", Judged::Kept);
    b.form(&S::TimeBaseFormat, ValueForm::TimeBaseFormat, "Y-T");

    b.words(&S::TriggerMethod, kMethods, TrigModeToKeyword, vwEdge);
    b.source(&S::TriggerEdgeSource, vwEdge);
    b.source(&S::TriggerPulseSource, vwPulse);
    b.source(&S::TriggerVideoSource, vwVideo);
    b.source(&S::TriggerSlopeSource, vwSlope);
    for (Field f : {&S::TriggerEdgeSweep, &S::TriggerPulseSweep, &S::TriggerSlopeSweep, &S::TriggerPatternSweep,
                    &S::TriggerDurationSweep})
        b.words(f, kSweeps, SweepToKeyword, vwAuto);
    addTrigger(b, KV_TRIGGER_FIELDS(Trigger), false, "0.20div");
    addTrigger(b, KV_TRIGGER_FIELDS(AltCH1), true, "0.00div");
    addTrigger(b, KV_TRIGGER_FIELDS(AltCH2), true, "0.00div");
    for (Field f : {&S::AltCH1TrigType, &S::AltCH2TrigType}) b.words(f, kAltTypes, TrigModeToKeyword, vwEdge);

    b.source(&S::PatternSpare, -1, Judged::Kept);
    b.form(&S::TriggerPatternCode, ValueForm::PatternCode, "H");
    b.form(&S::TriggerDurationCode, ValueForm::DurationCode, "H");
    b.words(&S::TriggerDurationQualifier, kQualifiers, DurationQualToKeyword, vwLessThan);
    b.form(&S::TriggerDurationTime, ValueForm::Seconds, "1us");
    b.form(&S::DurationSpare, ValueForm::DurationCode, "H", Judged::Kept);

    b.words(&S::AcquireSampling, kSamplings, AcqModeToKeyword, vwRealTime);
    b.words(&S::AcquireType, kAcquisitions, AcqTypeToKeyword, vwAcqNormal);
    b.form(&S::AcquireAverages, ValueForm::PlainNumber, "16").listed = {2, 4, 8, 16, 32, 64, 128, 256};
    b.form(&S::Intensity, ValueForm::Text, "3%", Judged::Kept);
    b.words(&S::DisplayType, kDisplayTypes, DisplayTypeToKeyword, vwVectors);
    b.words(&S::DisplayGrid, kGrids, GridToKeyword, vwFull);
    return b.done();
}

#undef KV_TRIGGER_FIELDS

// A value word or an edge label in `language`; -1: the loaded tables.
QString wordIn(int k, int language) { return language < 0 ? ValueWord(k) : ValueWordIn(k, language); }
QString labelIn(int k, int language) { return language < 0 ? ControllerLabel(k) : ControllerLabelIn(k, language); }

bool isCodeLetter(const QString& text) { return text == "H" || text == "L" || text == "X"; }

// The edge label (clRising, clFalling) a code spells in `language` (-1 either).
int edgeOf(const QString& code, int language) {
    for (int l : {LangEnglish, LangChinese}) {
        if (language >= 0 && l != language) continue;
        if (code == ControllerLabelIn(clRising, l) || code == ValueWordIn(vwRising, l)) return clRising;
        if (code == ControllerLabelIn(clFalling, l) || code == ValueWordIn(vwFalling, l)) return clFalling;
    }
    return -1;
}

bool inTexts(const QString& text, ValueForm form) { return FormTexts(form).contains(text); }

}  // namespace

const std::vector<SettingDesc>& SettingCatalog() {
    static const std::vector<SettingDesc> all = build();
    return all;
}

const SettingDesc& SettingOf(int number) {
    static const SettingDesc none{};
    if (number < 1 || number > CtrlValueCount) return none;
    return SettingCatalog()[size_t(number - 1)];
}

int SettingNumber(QString CtrlSettings::*field) {
    static const CtrlSettings probe;
    return CtrlValueNumber(probe, &(probe.*field));
}

int SettingNumber(CtrlCodeArray CtrlSettings::*array, int k) {
    static const CtrlSettings probe;
    return k < 1 || k > 16 ? 0 : CtrlValueNumber(probe, &(probe.*array)[size_t(k)]);
}

bool IsLogicSource(const QString& source) { return source.startsWith('D') && IsSourceReply(source); }

int OwnWordOf(const SettingDesc& d, const QString& text, int language) {
    if (d.form == ValueForm::PatternCode) return isCodeLetter(text) ? -1 : edgeOf(text, language);
    for (int l : {LangEnglish, LangChinese}) {
        if (language >= 0 && l != language) continue;
        for (int k : d.words)
            if (text == ValueWordIn(k, l)) return k;
    }
    return -1;
}

QString InLanguage(const SettingDesc& d, const QString& text, int language) {
    const int k = OwnWordOf(d, text);
    if (k < 0) return text;
    return d.form == ValueForm::PatternCode ? labelIn(k, language) : wordIn(k, language);
}

namespace {

// The value of `number` in `s` (empty outside 1 .. 193).
QString valueOf(const CtrlSettings& s, int number) {
    const std::vector<const QString*> values = CtrlSettingsValues(s);
    return number < 1 || number > int(values.size()) ? QString() : *values[size_t(number - 1)];
}

UnitNumber readNumber(NumberFormat format, const QString& text) {
    switch (format) {
    case NumberFormat::Volt: return ReadVoltsText(text);
    case NumberFormat::Time3:
    case NumberFormat::Time4: return ReadSecondsText(text);
    case NumberFormat::Div: return ReadDivText(text);
    case NumberFormat::Whole: return ReadPlainNumberText(text);
    case NumberFormat::None: break;
    }
    return {};
}

// The last video line of a standard.
double lastLineOf(const QString& standard) { return standard == "NTSC" ? kLastLineNtsc : kLastLineOther; }

// A number text of `d` written from its value in the setting's format, when
// the setting can be that value on `road`. Its default, and a time already
// written as one of the time formatters writes it, stay as they are.
std::optional<QString> numberText(const SettingDesc& d, const CtrlSettings& s, const QString& text, Road road) {
    const UnitNumber n = readNumber(d.format, text);
    if (!n.valid) return std::nullopt;
    QString own = FormatNumber(d.format, n.value);
    if (d.format == NumberFormat::Time3 || d.format == NumberFormat::Time4) {
        if (text == FormatTime3(QString::number(n.value, 'g', 17)) || text == FormatTime4(n.value) ||
            text == FormatTime5(QString::number(n.value, 'g', 17)))
            own = text;
    }
    if (d.defaultText && text == QLatin1String(d.defaultText)) own = text;
    // What cannot be written in the format (beyond a volts or time text's
    // range, a whole number's fraction) is no value of the setting.
    const UnitNumber sent = readNumber(d.format, own);
    if (own.isEmpty() || !sent.valid) return std::nullopt;
    // The instrument keeps its level in volts: the divisions it reports may
    // lie beyond the dialog's span.
    if (road == Road::Store && d.levelRow) return own;
    const double v = sent.value;
    if (!d.listed.empty() && std::find(d.listed.begin(), d.listed.end(), v) == d.listed.end()) return std::nullopt;
    double most = d.most;
    if (d.lineStandard > 0 && road == Road::Send) most = lastLineOf(valueOf(s, d.lineStandard));
    if (d.spanned && !(v >= d.least && v <= most)) return std::nullopt;
    return own;
}

// Whether a trigger source is one of the method's own (or one the instrument
// reports for it: "EXT5" under every method, the AC line under PULSE).
bool sourceHolds(const SettingDesc& d, const QString& text, Road road) {
    if (d.sourceMethod < 0) return IsSourceReply(text) || OwnWordOf(d, text) >= 0;
    if (text == "CH1" || text == "CH2" || text == "EXT" || text == "EXT5") return true;
    if (d.sourceMethod != vwEdge && d.sourceMethod != vwPulse) return false;
    if (text == "ACLINE" || OwnWordOf(d, text) >= 0) return true;
    return IsLogicSource(text) && (road == Road::Store || Link().LAPresent);
}

}  // namespace

QString FormatNumber(NumberFormat format, double value) {
    if (!std::isfinite(value)) return QString();
    switch (format) {
    case NumberFormat::Volt: return FormatVolt(value);
    case NumberFormat::Time3:
    case NumberFormat::Time4:
        // Beyond a single's range the time formatters write their largest row.
        if (std::fabs(value) > FLT_MAX) return QString();
        return format == NumberFormat::Time3 ? FormatTime3(QString::number(value, 'g', 17)) : FormatTime4(value);
    case NumberFormat::Div: return FormatWithMask(value, "#0.00") + "div";
    case NumberFormat::Whole:
        if (value != std::floor(value) || std::fabs(value) > 1e15) return QString();
        return QString::number(static_cast<long long>(value));
    case NumberFormat::None: break;
    }
    return QString();
}

bool IsLevelRow(int number) { return SettingOf(number).levelRow; }

bool SettingNotKnown(const CtrlSettings& s, int number) {
    return IsLevelRow(number) && valueOf(s, number) == NotKnownMark();
}

bool SettingHolds(const CtrlSettings& s, int number, Road road) {
    if (number < 1 || number > CtrlValueCount) return false;
    return SettingHolds(s, number, valueOf(s, number), road);
}

bool SettingHolds(const CtrlSettings& s, int number, const QString& text, Road road) {
    const SettingDesc& d = SettingOf(number);
    switch (d.form) {
    case ValueForm::Words: return OwnWordOf(d, text) >= 0;
    case ValueForm::Volts:
    case ValueForm::Seconds:
    case ValueForm::Div:
    case ValueForm::PlainNumber: return numberText(d, s, text, road).has_value();
    case ValueForm::Threshold: return inTexts(text, ValueForm::Threshold) || numberText(d, s, text, road).has_value();
    case ValueForm::Level: {
        if (ReadDivText(text).valid) return numberText(d, s, text, road).has_value();
        return IsLogicSource(valueOf(s, d.levelSource)) &&
               (inTexts(text, ValueForm::Threshold) || ReadVoltsText(text).valid);
    }
    case ValueForm::TimeBaseFormat: return inTexts(text.trimmed(), d.form);  // sent trimmed
    case ValueForm::Probe:
    case ValueForm::SlopeWindow:
    case ValueForm::VideoStandard: return inTexts(text, d.form);
    case ValueForm::Source: return sourceHolds(d, text, road);
    case ValueForm::PatternCode: return isCodeLetter(text) || OwnWordOf(d, text) >= 0;
    case ValueForm::DurationCode: return isCodeLetter(text);
    case ValueForm::Text: return true;
    }
    return false;
}

std::optional<QString> SettingSendText(const CtrlSettings& s, int number) {
    if (number < 1 || number > CtrlValueCount) return std::nullopt;
    return SettingSendText(s, number, valueOf(s, number));
}

std::optional<QString> SettingSendText(const CtrlSettings& s, int number, const QString& text) {
    if (!SettingHolds(s, number, text)) return std::nullopt;
    const SettingDesc& d = SettingOf(number);
    switch (d.form) {
    case ValueForm::Volts:
    case ValueForm::Seconds:
    case ValueForm::Div:
    case ValueForm::PlainNumber: return numberText(d, s, text, Road::Send);
    case ValueForm::Threshold:
        return inTexts(text, ValueForm::Threshold) ? std::optional<QString>(text) : numberText(d, s, text, Road::Send);
    case ValueForm::Level:
        // Under a logic-channel source a threshold or volts text stays: the
        // level goes out as the prescribed 0.
        return ReadDivText(text).valid ? numberText(d, s, text, Road::Send) : std::optional<QString>(text);
    default: return text;
    }
}

QStringList FormTexts(ValueForm form) {
    switch (form) {
    case ValueForm::Probe: return {"1X", "2X", "5X", "10X", "50X", "100X", "500X", "1000X"};
    case ValueForm::SlopeWindow: return {"PA", "PB", "PAB", "NA", "NB", "NAB"};
    case ValueForm::TimeBaseFormat: return {"Y-T", "X-Y", "Roll"};
    case ValueForm::VideoStandard: return {"NTSC", "PAL/SECAM"};
    case ValueForm::Threshold: return {"TTL", "ECL", "CMOS"};
    case ValueForm::DurationCode: return {"H", "L", "X"};
    case ValueForm::PatternCode:
        return {"H", "L", "X", ControllerLabel(clRising), ControllerLabel(clFalling)};
    default: return {};
    }
}

QStringList SettingChoices(const CtrlSettings& s, int number) {
    const SettingDesc& d = SettingOf(number);
    QStringList out;
    if (d.form == ValueForm::Words) {
        for (int k : d.words) out << ValueWord(k);
        return out;
    }
    if (d.form == ValueForm::Source && d.sourceMethod >= 0) {
        out << "CH1" << "CH2" << "EXT";
        if (d.sourceMethod == vwEdge) out << ValueWord(vwAcLine);
        if ((d.sourceMethod == vwEdge || d.sourceMethod == vwPulse) && Link().LAPresent)
            for (int n = 0; n <= 15; ++n) out << "D" + QString::number(n);
        return out;
    }
    if (d.form == ValueForm::PlainNumber) {
        for (int v : d.listed) out << QString::number(v);
        if (d.listed.empty() && d.spanned) {
            const double most = d.lineStandard > 0 ? lastLineOf(valueOf(s, d.lineStandard)) : d.most;
            for (int v = int(d.least); v <= int(most); ++v) out << QString::number(v);
        }
        return out;
    }
    out = FormTexts(d.form);
    for (int k : d.words)
        if (d.form == ValueForm::Threshold) out << ValueWord(k);
    return out;
}

QStringList SettingChoices(int number) { return SettingChoices(DSOSettings(), number); }
