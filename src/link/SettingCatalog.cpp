#include "link/SettingCatalog.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "common/LanguageId.h"
#include "link/Converters.h"
#include "link/CtrlPlaces.h"
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
    void words(Field f, const Words& w, SettingConverter conv, int def, Judged j = Judged::Named) {
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
    SettingDesc& form(Field f, ValueForm form, const char* def, Judged j = Judged::Named) {
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
    void source(Field f, int method, Judged j = Judged::Named) {
        SettingDesc& d = form(f, ValueForm::Source, j == Judged::Kept ? "D0" : "CH1", j);
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
    // The main EDGE and PULSE levels hold a threshold where the level rule
    // makes them one (a logic channel; under PULSE also the AC line).
    // (Each level's source is set with its route: Routes::level, Routes::alt.)
    for (Field f : {t.edgeLevel, t.pulseLevel}) b.form(f, alternation ? ValueForm::Div : ValueForm::Level, "0.00div");
    b.words(t.pulseMode, kPulseModes, PulseModeToKeyword, vwPulseLessPos);
    b.form(t.pulseWidth, ValueForm::Seconds, "1us");
    b.words(t.videoPolarity, kPolarities, VideoPolarityToKeyword, vwPositive);
    b.words(t.videoSync, kSyncs, VideoSyncToKeyword, vwLine);
    b.form(t.videoStandard, ValueForm::VideoStandard, "NTSC").keyword = VideoStandardConv;
    b.form(t.videoLine, ValueForm::PlainNumber, "1");
    b.words(t.slopeMode, kSlopeModes, SlopeModeToKeyword, vwSlopeLessPos);
    b.form(t.slopeTime, ValueForm::Seconds, "1us");
    b.form(t.slopeWindow, ValueForm::SlopeWindow, "PA", alternation ? Judged::Kept : Judged::Named);

    for (Field f : {t.edgeSensitivity, t.pulseSensitivity, t.videoSensitivity, t.slopeSensitivity})
        Builder::span(b.of(f), kSensitivityLeast, kSensitivityMost);
    for (Field f : {t.edgeLevel, t.pulseLevel, t.videoLevel, t.slopeLevelA, t.slopeLevelB})
        Builder::span(b.of(f), kLevelLeast, kLevelMost);
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
    b.of(&S::TriggerMethod).analyserWords = {vwPattern, vwDuration};
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

// ---- Where each setting goes --------------------------------------------

using E = SettingEditor;

class Routes {
public:
    explicit Routes(std::vector<SettingDesc>& all) : all_(all) {}

    // A setting sent under `command` and read back by `command` + "?"
    // through `reply`; its row (group, item) with `label`, and its editor.
    SettingDesc& go(Field f, const QString& command, SettingConverter reply, int group, int item, int label,
                    E editor) {
        SettingDesc& d = at(SettingNumber(f));
        d.command = command;
        d.query = command + "?";
        d.reply = reply;
        row(d, group, item, label, editor);
        return d;
    }
    // A row only (the value is not sent on its own).
    SettingDesc& shown(Field f, int group, int item, int label, E editor) {
        SettingDesc& d = at(SettingNumber(f));
        row(d, group, item, label, editor);
        return d;
    }
    // The sixteen elements of an array: one command and query for all,
    // rows (group, 5) .. (group, 20) labelled D15 .. D0.
    void array(CtrlCodeArray S::*a, const QString& command, int group) {
        for (int k = 1; k <= 16; ++k) {
            SettingDesc& d = at(SettingNumber(a, k));
            d.command = command;
            d.query = command + "?";
            row(d, group, k + 4, clD15 + k - 1, E::Choice);
        }
    }
    // The same setting of both channels' alternation triggers (header after
    // ":TRIGGER:ALTERNATION:", rows in the groups (6,19) and (6,20)).
    void alt(Field ch1, Field ch2, const char* tail, SettingConverter reply, int item, int label, E editor,
             LevelTrigger level = LevelTrigger::None) {
        const QString header = QString(":TRIGGER:ALTERNATION:") + tail;
        go(ch1, header, reply, CtrlGroup::AltCH1Trigger, item, label, editor).levelTrigger = level;
        go(ch2, header, reply, CtrlGroup::AltCH2Trigger, item, label, editor).levelTrigger = level;
        if (level != LevelTrigger::None) {
            at(SettingNumber(ch1)).levelChannel = 1;
            at(SettingNumber(ch2)).levelChannel = 2;
        }
    }
    SettingDesc& of(Field f) { return at(SettingNumber(f)); }
    // The command of element k alone: `head` + its channel number + `tail`
    // (":DIGITAL" 3 ":TURN" for D3, element 13).
    void element(CtrlCodeArray S::*a, const char* head, const char* tail) {
        for (int k = 1; k <= 16; ++k)
            at(SettingNumber(a, k)).elementCommand = head + QString::number(16 - k) + tail;
    }
    // A main trigger level and its method's source row.
    void level(Field f, Field source, LevelTrigger trigger) {
        SettingDesc& d = at(SettingNumber(f));
        d.levelTrigger = trigger;
        d.levelSource = SettingNumber(source);
    }

    // A value is sent exactly when it has a command: the one place that
    // says Sent (the descriptions say only whether a value is named or kept).
    void judge() {
        for (SettingDesc& d : all_)
            if (!d.command.isEmpty()) d.judged = Judged::Sent;
    }

private:
    SettingDesc& at(int number) { return all_[size_t(number - 1)]; }
    static void row(SettingDesc& d, int group, int item, int label, E editor) {
        d.treeGroup = group;
        d.treeItem = item;
        d.label = label;
        d.editor = editor;
    }
    std::vector<SettingDesc>& all_;
};

void routes(std::vector<SettingDesc>& all) {
    namespace G = CtrlGroup;
    Routes r(all);
    SettingDesc& run = r.go(&S::RunStop, ":RUN", RunStateToText, G::RunningControl, 2, lbRunStop, E::Choice);
    run.query = ":TRIGGER:STATUS?";  // the run state is read from the trigger status

    // The channels.
    struct Channel {
        int group;
        const char* head;
        Field display, scale, offset, coupling, bw, probe;
    };
    for (const Channel& c : {Channel{G::CH1, ":CHANNEL1:", &S::CH1Display, &S::CH1Scale, &S::CH1Offset,
                                     &S::CH1Coupling, &S::CH1BWLimit, &S::CH1Probe},
                             Channel{G::CH2, ":CHANNEL2:", &S::CH2Display, &S::CH2Scale, &S::CH2Offset,
                                     &S::CH2Coupling, &S::CH2BWLimit, &S::CH2Probe}}) {
        const QString h = c.head;
        r.go(c.display, h + "DISPLAY", OnOffToText, c.group, 2, lbChannelDisplay, E::Choice);
        r.go(c.scale, h + "SCALE", FormatVolt, c.group, 3, lbVoltDiv, E::Adjust);
        r.go(c.offset, h + "OFFSET", FormatVolt, c.group, 4, lbOffset, E::VoltBox);
        r.go(c.coupling, h + "COUPLING", CouplingToText, c.group, 5, lbCoupling, E::Choice);
        r.go(c.bw, h + "BWLIMIT", OnOffToText, c.group, 6, lbBWLimit, E::Choice);
        r.go(c.probe, h + "PROBE", ProbeToText, c.group, 7, lbProbe, E::Choice);
    }

    // The logic analyser.
    r.go(&S::LADisplay, ":LA:DISPLAY", OnOffToText, 0, 0, -1, E::None);
    r.array(&S::LAChannelDisplay, ":LA:STATUS", G::LADisplayGroup);
    // The group displays: never sent, derived from the channel displays' reply.
    r.shown(&S::LAGroupHighDisplay, G::LADisplayGroup, 2, lbD15D8, E::Choice).query = ":LA:STATUS?";
    r.shown(&S::LAGroupLowDisplay, G::LADisplayGroup, 3, lbD7D0, E::Choice).query = ":LA:STATUS?";
    r.array(&S::LAChannelPosition, ":LA:LOCATION", G::LAPosition);
    // What the setting dialog sends for one channel or one group alone.
    r.element(&S::LAChannelDisplay, ":DIGITAL", ":TURN");
    r.element(&S::LAChannelPosition, ":DIGITAL", ":POSITION");
    r.of(&S::LAGroupHighDisplay).elementCommand = ":LA:GROUP2";
    r.of(&S::LAGroupLowDisplay).elementCommand = ":LA:GROUP1";
    r.go(&S::LAThreshold, ":LA:THRESHOLD", LaThresholdUserText, G::LA, 11, lbThreshold, E::Threshold);

    // The time base (under alternation, one per channel).
    r.go(&S::AltCH1TimeBaseScale, ":TRIGGER:ALTERNATION:TIMESCALE", FormatTime4, G::AltCH1TimeBase, 15, lbTimeDiv,
         E::Choice);
    r.go(&S::AltCH1TimeBaseOffset, ":TRIGGER:ALTERNATION:TIMEOFFSET", FormatTime4, G::AltCH1TimeBase, 16, lbDelay,
         E::TimeBox);
    r.go(&S::AltCH2TimeBaseScale, ":TRIGGER:ALTERNATION:TIMESCALE", FormatTime4, G::AltCH2TimeBase, 15, lbTimeDiv,
         E::Choice);
    r.go(&S::AltCH2TimeBaseOffset, ":TRIGGER:ALTERNATION:TIMEOFFSET", FormatTime4, G::AltCH2TimeBase, 16, lbDelay,
         E::TimeBox);
    r.go(&S::TimeBaseFormat, ":TIMEBASE:FORMAT", TimebaseFormatToText, G::TimeBase, 18, lbFormat, E::Choice);
    r.go(&S::TimeBaseScale, ":TIMEBASE:SCALE", FormatTime4, G::TimeBase, 15, lbTimeDiv, E::Choice);
    r.go(&S::TimeBaseOffset, ":TIMEBASE:OFFSET", FormatTime4, G::TimeBase, 16, lbDelay, E::TimeBox);

    // The trigger: method and holdoff (its row moves with the method).
    const int T = G::Trigger;
    r.go(&S::TriggerMethod, ":TRIGGER:MODE", TrigModeToText, T, 2, lbMethod, E::Choice);
    r.go(&S::TriggerHoldoff, ":TRIGGER:HOLDOFF", FormatTime3, T, 0, lbHoldoff, E::TimeBox);
    // EDGE
    r.go(&S::TriggerEdgeSource, ":TRIGGER:EDGE:SOURCE", TrigSourceToText, T, 3, lbSource, E::Choice);
    r.go(&S::TriggerEdgeSlope, ":TRIGGER:EDGE:SLOPE", EdgeSlopeToText, T, 4, lbSlope, E::Choice);
    r.go(&S::TriggerEdgeSweep, ":TRIGGER:EDGE:SWEEP", SweepToText, T, 5, lbMode, E::Choice);
    r.go(&S::TriggerEdgeCoupling, ":TRIGGER:EDGE:COUPLING", CouplingToText, T, 6, lbCoupling, E::Choice);
    r.go(&S::TriggerEdgeLevel, ":TRIGGER:EDGE:LEVEL", nullptr, T, 7, lbLevel, E::Choice);
    r.go(&S::TriggerEdgeSensitivity, ":TRIGGER:EDGE:SENSITIVITY", DivToText, T, 8, lbSensitivity, E::Choice);
    r.level(&S::TriggerEdgeLevel, &S::TriggerEdgeSource, LevelTrigger::Edge);
    // PULSE
    r.go(&S::TriggerPulseSource, ":TRIGGER:PULSE:SOURCE", nullptr, T, 3, lbSource, E::Choice);
    r.go(&S::TriggerPulseMode, ":TRIGGER:PULSE:MODE", PulseModeToText, T, 4, lbPulseMode, E::Choice);
    r.go(&S::TriggerPulseWidth, ":TRIGGER:PULSE:WIDTH", FormatTime3, T, 5, lbPulseWidth, E::TimeBox);
    r.go(&S::TriggerPulseCoupling, ":TRIGGER:PULSE:COUPLING", CouplingToText, T, 6, lbCoupling, E::Choice);
    r.go(&S::TriggerPulseSweep, ":TRIGGER:PULSE:SWEEP", SweepToText, T, 7, lbMode, E::Choice);
    r.go(&S::TriggerPulseLevel, ":TRIGGER:PULSE:LEVEL", nullptr, T, 8, lbLevel, E::Choice);
    r.go(&S::TriggerPulseSensitivity, ":TRIGGER:PULSE:SENSITIVITY", DivToText, T, 9, lbSensitivity, E::Choice);
    r.level(&S::TriggerPulseLevel, &S::TriggerPulseSource, LevelTrigger::Pulse);
    // VIDEO
    r.go(&S::TriggerVideoSource, ":TRIGGER:VIDEO:SOURCE", nullptr, T, 3, lbSource, E::Choice);
    r.go(&S::TriggerVideoPolarity, ":TRIGGER:VIDEO:POLARITY", VideoPolarityToText, T, 4, lbPolarity, E::Choice);
    r.go(&S::TriggerVideoSync, ":TRIGGER:VIDEO:MODE", VideoSyncToText, T, 5, lbSync, E::Choice);
    r.go(&S::TriggerVideoLine, ":TRIGGER:VIDEO:LINE", nullptr, T, 6, lbLineNumber, E::Choice);
    r.go(&S::TriggerVideoStandard, ":TRIGGER:VIDEO:STANDARD", nullptr, T, 7, lbVideoStandard, E::Choice);
    r.go(&S::TriggerVideoLevel, ":TRIGGER:VIDEO:LEVEL", nullptr, T, 8, lbLevel, E::Choice);
    r.go(&S::TriggerVideoSensitivity, ":TRIGGER:VIDEO:SENSITIVITY", DivToText, T, 9, lbSensitivity, E::Choice);
    r.level(&S::TriggerVideoLevel, &S::TriggerVideoSource, LevelTrigger::VideoSlope);
    // SLOPE (its window has no row and is not read back)
    r.go(&S::TriggerSlopeSource, ":TRIGGER:SLOPE:SOURCE", nullptr, T, 3, lbSource, E::Choice);
    r.go(&S::TriggerSlopeMode, ":TRIGGER:SLOPE:MODE", SlopeModeToText, T, 4, lbSlopeMode, E::Choice);
    r.go(&S::TriggerSlopeTime, ":TRIGGER:SLOPE:TIME", FormatTime3, T, 5, lbSlopeTime, E::TimeBox);
    r.go(&S::TriggerSlopeWindow, ":TRIGGER:SLOPE:WINDOW", nullptr, 0, 0, -1, E::None).query.clear();
    r.go(&S::TriggerSlopeCoupling, ":TRIGGER:SLOPE:COUPLING", CouplingToText, T, 7, lbCoupling, E::Choice);
    r.go(&S::TriggerSlopeSweep, ":TRIGGER:SLOPE:SWEEP", SweepToText, T, 8, lbMode, E::Choice);
    r.go(&S::TriggerSlopeLevelA, ":TRIGGER:SLOPE:LEVELA", nullptr, T, 9, lbLevelA, E::Choice);
    r.go(&S::TriggerSlopeLevelB, ":TRIGGER:SLOPE:LEVELB", nullptr, T, 10, lbLevelB, E::Choice);
    r.go(&S::TriggerSlopeSensitivity, ":TRIGGER:SLOPE:SENSITIVITY", DivToText, T, 11, lbSensitivity, E::Choice);
    r.level(&S::TriggerSlopeLevelA, &S::TriggerSlopeSource, LevelTrigger::VideoSlope);
    r.level(&S::TriggerSlopeLevelB, &S::TriggerSlopeSource, LevelTrigger::VideoSlope);
    // PATTERN and DURATION (the codes go in one pattern command)
    r.array(&S::TriggerPatternCode, ":TRIGGER:PATTERN:PATTERN", G::TriggerCode);
    r.go(&S::TriggerPatternSweep, ":TRIGGER:PATTERN:SWEEP", SweepToText, T, 22, lbMode, E::Choice);
    r.array(&S::TriggerDurationCode, ":TRIGGER:DURATION:PATTERN", G::TriggerCode);
    r.go(&S::TriggerDurationQualifier, ":TRIGGER:DURATION:QUALIFIER", DurationQualToText, T, 22, lbQualifier,
         E::Choice);
    r.go(&S::TriggerDurationTime, ":TRIGGER:DURATION:TIME", FormatTime3, T, 23, lbDurationTime, E::TimeBox);
    r.go(&S::TriggerDurationSweep, ":TRIGGER:DURATION:SWEEP", SweepToText, T, 24, lbMode, E::Choice);

    // ALTERNATION: each channel's trigger (the slope window is kept, not sent).
#define KV_ALT(name, tail, reply, item, label, editor, ...) \
    r.alt(&S::AltCH1##name, &S::AltCH2##name, tail, reply, item, label, E::editor, ##__VA_ARGS__)
    KV_ALT(TrigType, "TYPE", TrigModeToText, 5, lbTrigType, Choice);
    KV_ALT(EdgeSlope, "EDGE:SLOPE", EdgeSlopeToText, 6, lbSlope, Choice);
    KV_ALT(EdgeCoupling, "EDGE:COUPLING", CouplingToText, 16, lbCoupling, Choice);
    KV_ALT(EdgeLevel, "EDGE:LEVEL", nullptr, 17, lbLevel, Choice, LevelTrigger::Alternation);
    KV_ALT(EdgeSensitivity, "EDGE:SENSITIVITY", DivToText, 20, lbSensitivity, Choice);
    KV_ALT(EdgeHoldoff, "EDGE:HOLDOFF", FormatTime3, 21, lbHoldoff, TimeBox);
    KV_ALT(PulseMode, "PULSE:MODE", PulseModeToText, 7, lbPulseMode, Choice);
    KV_ALT(PulseWidth, "PULSE:TIME", FormatTime3, 8, lbPulseWidth, TimeBox);
    KV_ALT(PulseCoupling, "PULSE:COUPLING", CouplingToText, 16, lbCoupling, Choice);
    KV_ALT(PulseLevel, "PULSE:LEVEL", nullptr, 17, lbLevel, Choice, LevelTrigger::Alternation);
    KV_ALT(PulseSensitivity, "PULSE:SENSITIVITY", DivToText, 20, lbSensitivity, Choice);
    KV_ALT(PulseHoldoff, "PULSE:HOLDOFF", FormatTime3, 21, lbHoldoff, TimeBox);
    KV_ALT(VideoPolarity, "VIDEO:POLARITY", VideoPolarityToText, 12, lbPolarity, Choice);
    KV_ALT(VideoSync, "VIDEO:MODE", VideoSyncToText, 13, lbSync, Choice);
    KV_ALT(VideoLine, "VIDEO:LINE", nullptr, 14, lbLineNumber, Choice);
    KV_ALT(VideoStandard, "VIDEO:STANDARD", nullptr, 15, lbVideoStandard, Choice);
    KV_ALT(VideoLevel, "VIDEO:LEVEL", nullptr, 17, lbLevel, Choice, LevelTrigger::Alternation);
    KV_ALT(VideoSensitivity, "VIDEO:SENSITIVITY", DivToText, 20, lbSensitivity, Choice);
    KV_ALT(VideoHoldoff, "VIDEO:HOLDOFF", FormatTime3, 21, lbHoldoff, TimeBox);
    KV_ALT(SlopeMode, "SLOPE:MODE", SlopeModeToText, 9, lbSlopeMode, Choice);
    KV_ALT(SlopeTime, "SLOPE:TIME", FormatTime3, 10, lbSlopeTime, TimeBox);
    KV_ALT(SlopeCoupling, "SLOPE:COUPLING", CouplingToText, 16, lbCoupling, Choice);
    KV_ALT(SlopeLevelA, "SLOPE:LEVELA", nullptr, 18, lbLevelA, Choice, LevelTrigger::Alternation);
    KV_ALT(SlopeLevelB, "SLOPE:LEVELB", nullptr, 19, lbLevelB, Choice, LevelTrigger::Alternation);
    KV_ALT(SlopeSensitivity, "SLOPE:SENSITIVITY", DivToText, 20, lbSensitivity, Choice);
    KV_ALT(SlopeHoldoff, "SLOPE:HOLDOFF", FormatTime3, 21, lbHoldoff, TimeBox);
#undef KV_ALT

    // Acquire and display.
    r.go(&S::AcquireSampling, ":ACQUIRE:MODE", AcqModeToText, G::Acquire, 3, lbSamplingMode, E::Choice);
    r.go(&S::AcquireType, ":ACQUIRE:TYPE", AcqTypeToText, G::Acquire, 2, lbAcquisition, E::Choice);
    r.go(&S::AcquireAverages, ":ACQUIRE:AVERAGES", nullptr, G::Acquire, 5, lbAverages, E::Choice);
    r.go(&S::DisplayType, ":DISPLAY:TYPE", DisplayTypeToText, G::Display, 2, lbType, E::Choice);
    r.go(&S::DisplayPersist, ":DISPLAY:PERSIST", OnOffToText, G::Display, 3, lbPersist, E::Choice);
    r.go(&S::DisplayGrid, ":DISPLAY:GRID", GridToText, G::Display, 5, lbGrid, E::Choice);
    r.judge();
}

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
    static const std::vector<SettingDesc> all = [] {
        std::vector<SettingDesc> a = build();
        routes(a);
        return a;
    }();
    return all;
}

const SettingDesc& SettingOf(int number) {
    static const SettingDesc none{};
    if (number < 1 || number > CtrlValueCount) return none;
    return SettingCatalog()[size_t(number - 1)];
}

const SettingDesc& SettingOf(QString CtrlSettings::*field) { return SettingOf(SettingNumber(field)); }

const SettingDesc& SettingOf(CtrlCodeArray CtrlSettings::*array, int k) {
    return SettingOf(SettingNumber(array, k));
}

int SettingNumber(QString CtrlSettings::*field) {
    static const CtrlSettings probe;
    return CtrlValueNumber(probe, &(probe.*field));
}

int SettingNumber(CtrlCodeArray CtrlSettings::*array, int k) {
    static const CtrlSettings probe;
    return k < 1 || k > 16 ? 0 : CtrlValueNumber(probe, &(probe.*array)[size_t(k)]);
}

bool SettingSent(int number) { return !SettingOf(number).command.isEmpty(); }

QString& SettingValue(CtrlSettings& s, int number) { return *CtrlSettingsValues(s).at(size_t(number - 1)); }

QString SettingValue(const CtrlSettings& s, int number) {
    const std::vector<const QString*> values = CtrlSettingsValues(s);
    return number < 1 || number > int(values.size()) ? QString() : *values[size_t(number - 1)];
}

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

// The last video line of the standard the instrument will hold (the one the
// upload sends before the line). A standard the upload leaves out leaves the
// instrument on one not known here: the narrowest span, NTSC's, holds.
double lastLineOf(const CtrlSettings& s, const SettingDesc& line) {
    const std::optional<QString> standard = SettingSendText(s, line.lineStandard);
    if (!standard) return std::min(kLastLineNtsc, kLastLineOther);
    return *standard == "NTSC" ? kLastLineNtsc : kLastLineOther;
}

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
    if (road == Road::Store && d.levelTrigger != LevelTrigger::None) return own;
    const double v = sent.value;
    if (!d.listed.empty() && std::find(d.listed.begin(), d.listed.end(), v) == d.listed.end()) return std::nullopt;
    // A line the instrument reports is judged by any standard: the download
    // reads the line before its standard.
    double most = d.most;
    if (d.lineStandard > 0 && road == Road::Send) most = lastLineOf(s, d);
    if (d.spanned && !(v >= d.least && v <= most)) return std::nullopt;
    return own;
}

// Whether what the instrument has only with the logic analyser (a logic
// channel as source, the PATTERN and DURATION methods) can be on `road`: it
// is sent only to an instrument known to have the analyser (not known, the
// narrowest: without), and an instrument that reports it has one.
bool analyserHeld(Road road) { return road == Road::Store || Link().LAPresent; }

// Whether own word `k` of `d` can be on `road`.
bool wordHeld(const SettingDesc& d, int k, Road road) {
    const bool analyser = std::find(d.analyserWords.begin(), d.analyserWords.end(), k) != d.analyserWords.end();
    return k >= 0 && (!analyser || analyserHeld(road));
}

// Whether a trigger source is one of the method's own (or one the instrument
// reports for it: "EXT5" under every method, the AC line under PULSE).
bool sourceHolds(const SettingDesc& d, const QString& text, Road road) {
    if (d.sourceMethod < 0) return IsSourceReply(text) || OwnWordOf(d, text) >= 0;
    if (text == "CH1" || text == "CH2" || text == "EXT" || text == "EXT5") return true;
    if (d.sourceMethod != vwEdge && d.sourceMethod != vwPulse) return false;
    if (text == "ACLINE" || OwnWordOf(d, text) >= 0) return true;
    return IsLogicSource(text) && analyserHeld(road);
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
    case NumberFormat::Div: return FormatDiv(value);
    case NumberFormat::Whole:
        if (value != std::floor(value) || std::fabs(value) > 1e15) return QString();
        return QString::number(static_cast<long long>(value));
    case NumberFormat::None: break;
    }
    return QString();
}

bool IsLevelRow(int number) { return SettingOf(number).levelTrigger != LevelTrigger::None; }

bool SettingNotKnown(const CtrlSettings& s, int number) {
    return IsLevelRow(number) && SettingValue(s, number) == NotKnownMark();
}

bool SettingHolds(const CtrlSettings& s, int number, Road road) {
    if (number < 1 || number > CtrlValueCount) return false;
    return SettingHolds(s, number, SettingValue(s, number), road);
}

bool SettingHolds(const CtrlSettings& s, int number, const QString& text, Road road) {
    const SettingDesc& d = SettingOf(number);
    switch (d.form) {
    case ValueForm::Words: return wordHeld(d, OwnWordOf(d, text), road);
    case ValueForm::Volts:
    case ValueForm::Seconds:
    case ValueForm::Div:
    case ValueForm::PlainNumber: return numberText(d, s, text, road).has_value();
    case ValueForm::Threshold: return inTexts(text, ValueForm::Threshold) || numberText(d, s, text, road).has_value();
    case ValueForm::Level: {
        if (ReadDivText(text).valid) return numberText(d, s, text, road).has_value();
        // A threshold (or its volts) only where the level is the analyser's
        // threshold (the level rule).
        return LevelIsThreshold(s, number) && (inTexts(text, ValueForm::Threshold) || ReadVoltsText(text).valid);
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
    return SettingSendText(s, number, SettingValue(s, number));
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
        // Where the level is the threshold, a threshold or volts text stays:
        // the level goes out as the prescribed 0.
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
        for (int k : d.words)
            if (wordHeld(d, k, Road::Send)) out << ValueWord(k);
        return out;
    }
    if (d.form == ValueForm::Source && d.sourceMethod >= 0) {
        out << "CH1" << "CH2" << "EXT";
        if (d.sourceMethod == vwEdge) out << ValueWord(vwAcLine);
        if ((d.sourceMethod == vwEdge || d.sourceMethod == vwPulse) && analyserHeld(Road::Send))
            for (int n = 0; n <= 15; ++n) out << "D" + QString::number(n);
        return out;
    }
    if (d.form == ValueForm::PlainNumber) {
        for (int v : d.listed) out << QString::number(v);
        if (d.listed.empty() && d.spanned) {
            const double most = d.lineStandard > 0 ? lastLineOf(s, d) : d.most;
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
