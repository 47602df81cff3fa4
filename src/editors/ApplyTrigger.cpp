// Branches of the trigger method and of the trigger settings that several
// methods share, and the read-back of the current method's settings.
#include <QStringList>

#include "editors/ApplyCore.h"
#include "link/Converters.h"
#include "link/Formatters.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/ReplyParse.h"
#include "link/Vocabulary.h"

namespace {
enum { lTrigger = 24, lMethod = 25, lSource = 26, lMode = 28, lCoupling = 10,
       lLevel = 66, lLevelA = 67, lLevelB = 68, lSensitivity = 69, lHoldoff = 21 };

using Field = QString CtrlSettings::*;
enum Method { mEdge, mPulse, mVideo, mSlope, mPattern, mDuration, MethodCount };

int methodOf(const CtrlSettings& s) {
    static const int words[MethodCount] = {vwEdge, vwPulse, vwVideo, vwSlope, vwPattern,
                                           vwDuration};
    for (int m = 0; m < MethodCount; ++m)
        if (s.TriggerMethod == ValueWord(words[m])) return m;
    return -1;
}

const char* const kMethodKw[MethodCount] = {"EDGE", "PULSE", "VIDEO", "SLOPE", "PATTERN",
                                            "DURATION"};

struct PerMethod {
    Field field[MethodCount];
    int item[MethodCount];  // node (6, item); 0 = the method has no such row
};

// The field and node of a shared setting under the current method.
std::function<RowTarget(const CtrlSettings&)> byMethod(PerMethod p, int label) {
    return [p, label](const CtrlSettings& s) {
        const int m = methodOf(s);
        if (m < 0 || !p.item[m]) return RowTarget{};
        return RowTarget{p.field[m], 6, p.item[m], label, kMethodKw[m]};
    };
}

ApplyEnd method(Applier& a) {
    CtrlSettings& s = a.s;
    // The instrument keeps its method while it shows X-Y.
    if (s.TimeBaseFormat == "X-Y") return ApplyEnd::Silent;
    const QString value = a.v.ComboText;
    SendCmd(":TRIGGER:MODE " + TrigModeToKeyword(value));
    s.TriggerMethod = value;
    if (value == ValueWord(vwAlternative)) {
        GetTriggerAltTrigType(s, 1);
        GetTriggerAltTrigType(s, 2);
        s.TimeBaseFormat = "Y-T";
    } else {
        GetTriggerMethod(s);
    }
    a.rebuild();
    a.select(6, 2);
    a.node(6, 2, lMethod, s.TriggerMethod);
    return ApplyEnd::Applied;
}

ApplyEnd source(Applier& a) {
    CtrlSettings& s = a.s;
    const QString value = a.v.ComboText;
    const int m = methodOf(s);
    Field field = m == mEdge    ? &CtrlSettings::TriggerEdgeSource
                  : m == mVideo ? &CtrlSettings::TriggerVideoSource
                  : m == mPulse ? &CtrlSettings::TriggerPulseSource
                                : &CtrlSettings::TriggerSlopeSource;
    s.*field = value;
    a.node(6, 3, lSource, value);
    // The rows of EDGE and VIDEO depend on the source: the tree follows it.
    if (m == mEdge || m == mVideo) {
        a.rebuild();
        a.select(6, 3);
    }
    const QString kw = m >= 0 ? kMethodKw[m] : "SLOPE";
    SendCmd(":TRIGGER:" + kw + ":SOURCE " + TrigSourceToKeyword(value));
    return ApplyEnd::Applied;
}

// Scale of a trigger source for the level read-back: a number text, or the
// empty text for a logic channel (and for an unknown source).
QString sourceScale(const QString& source, bool acLine, bool* digital) {
    *digital = false;
    if (source == "CH1") return TrimReply(QueryCmd(":CHANNEL1:SCALE?"));
    if (source == "CH2") return TrimReply(QueryCmd(":CHANNEL2:SCALE?"));
    if (source == "EXT") return "0.2";
    if (source == "EXT5") return "1";
    if (acLine && source == ValueWord(vwAcLine)) return "0";
    *digital = true;
    return QString();
}

QString ask(const QString& query) { return TrimReply(QueryCmd(query)); }

// A read-back whose reply must be a number (a sensitivity in divisions).
void readNumber(QString& field, const QString& query, ReplyConverter conv) {
    const QString reply = ask(query);
    StoreReadBack(field, reply, conv, IsNumberReply(reply));
}

// A reply stored as it comes when `known` takes it.
void readAsItComes(QString& field, const QString& query, bool (*known)(const QString&)) {
    const QString reply = ask(query);
    StoreReadBack(field, reply, nullptr, known(reply));
}

// A source read back as it comes; one that names no source stores nothing
// and ends the read-back (its level has no scale to go by).
bool readSource(const QString& query, QString& field) {
    const QString reply = ask(query);
    return StoreReadBack(field, reply, nullptr, IsSourceReply(reply));
}

// A logic channel's level: the threshold as a level text; "" keeps the field.
QString thresholdLevel() {
    const QString reply = ask(":LA:THRESHOLD?");
    QString text;
    return StoreReadBack(text, reply, nullptr, IsThresholdReply(reply)) ? LaThresholdToText(reply) : QString();
}

bool codes(const QString& query, CtrlCodeArray& array) {
    QString reply = ask(query);
    const QStringList f = reply.split(',');
    if (!reply.isEmpty() && (f.size() < 2 || !IsNumberReply(f[0]) || !IsNumberReply(f[1])))
        return StoreReadBack(reply, reply, nullptr, false);
    PatternText(reply, array);
    return true;
}

}  // namespace

bool GetTriggerMethod(CtrlSettings& s) {
    bool digital = false;
    QString scale;
    double offsetValue = 0;
    const double* offset = nullptr;  // null when the source's offset could not be read
    auto readBase = [&](const QString& source, bool acLine) {
        scale = sourceScale(source, acLine, &digital);
        offset = ReadLevelOffset(source, offsetValue) ? &offsetValue : nullptr;
    };
    switch (methodOf(s)) {
    case mEdge: {
        const QString reply = ask(":TRIGGER:EDGE:SOURCE?");
        const QString source = TrigSourceToText(reply);
        if (source.isEmpty()) {
            ReplyLost(reply);  // reported when it did not come
            return false;
        }
        if (!IsSourceReply(reply)) return StoreReadBack(s.TriggerEdgeSource, reply, TrigSourceToText);
        s.TriggerEdgeSource = source;
        readBase(source, true);
        StoreReadBack(s.TriggerEdgeSlope, ask(":TRIGGER:EDGE:SLOPE?"), EdgeSlopeToText);
        StoreReadBack(s.TriggerEdgeSweep, ask(":TRIGGER:EDGE:SWEEP?"), SweepToText);
        StoreReadBack(s.TriggerEdgeCoupling, ask(":TRIGGER:EDGE:COUPLING?"), CouplingToText);
        if (digital) {
            const QString t = thresholdLevel();
            if (!t.isEmpty()) s.TriggerEdgeLevel = t;
        } else if (scale != "0" && !ReadLevelDiv(":TRIGGER:EDGE:LEVEL?", scale, offset, s.TriggerEdgeLevel)) {
            return false;
        }
        readNumber(s.TriggerEdgeSensitivity, ":TRIGGER:EDGE:SENSITIVITY?", DivText);
        break;
    }
    case mPulse: {
        if (!readSource(":TRIGGER:PULSE:SOURCE?", s.TriggerPulseSource)) return false;
        readBase(s.TriggerPulseSource, false);
        StoreReadBack(s.TriggerPulseMode, ask(":TRIGGER:PULSE:MODE?"), PulseModeToText);
        StoreReadBack(s.TriggerPulseWidth, ask(":TRIGGER:PULSE:WIDTH?"), FormatTime3);
        StoreReadBack(s.TriggerPulseSweep, ask(":TRIGGER:PULSE:SWEEP?"), SweepToText);
        StoreReadBack(s.TriggerPulseCoupling, ask(":TRIGGER:PULSE:COUPLING?"), CouplingToText);
        if (digital) {
            const QString t = thresholdLevel();
            if (!t.isEmpty()) s.TriggerPulseLevel = t;
        } else if (!ReadLevelDiv(":TRIGGER:PULSE:LEVEL?", scale, offset, s.TriggerPulseLevel)) {
            return false;
        }
        readNumber(s.TriggerPulseSensitivity, ":TRIGGER:PULSE:SENSITIVITY?", DivText);
        break;
    }
    case mVideo:
        if (!readSource(":TRIGGER:VIDEO:SOURCE?", s.TriggerVideoSource)) return false;
        readBase(s.TriggerVideoSource, false);
        StoreReadBack(s.TriggerVideoPolarity, ask(":TRIGGER:VIDEO:POLARITY?"), VideoPolarityToText);
        StoreReadBack(s.TriggerVideoSync, ask(":TRIGGER:VIDEO:MODE?"), VideoSyncToText);
        readAsItComes(s.TriggerVideoLine, ":TRIGGER:VIDEO:LINE?", IsNumberReply);
        readAsItComes(s.TriggerVideoStandard, ":TRIGGER:VIDEO:STANDARD?", IsVideoStandardReply);
        if (!ReadLevelDiv(":TRIGGER:VIDEO:LEVEL?", scale, offset, s.TriggerVideoLevel)) return false;
        readNumber(s.TriggerVideoSensitivity, ":TRIGGER:VIDEO:SENSITIVITY?", DivText);
        break;
    case mSlope:
        if (!readSource(":TRIGGER:SLOPE:SOURCE?", s.TriggerSlopeSource)) return false;
        readBase(s.TriggerSlopeSource, false);
        StoreReadBack(s.TriggerSlopeCoupling, ask(":TRIGGER:SLOPE:COUPLING?"), CouplingToText);
        StoreReadBack(s.TriggerSlopeSweep, ask(":TRIGGER:SLOPE:SWEEP?"), SweepToText);
        StoreReadBack(s.TriggerSlopeMode, ask(":TRIGGER:SLOPE:MODE?"), SlopeModeToText);
        StoreReadBack(s.TriggerSlopeTime, ask(":TRIGGER:SLOPE:TIME?"), FormatTime3);
        if (!ReadLevelDiv(":TRIGGER:SLOPE:LEVELA?", scale, offset, s.TriggerSlopeLevelA)) return false;
        if (!ReadLevelDiv(":TRIGGER:SLOPE:LEVELB?", scale, offset, s.TriggerSlopeLevelB)) return false;
        readNumber(s.TriggerSlopeSensitivity, ":TRIGGER:SLOPE:SENSITIVITY?", DivText);
        break;
    case mPattern:
        codes(":TRIGGER:PATTERN:PATTERN?", s.TriggerPatternCode);
        StoreReadBack(s.TriggerPatternSweep, ask(":TRIGGER:PATTERN:SWEEP?"), SweepToText);
        break;
    case mDuration:
        codes(":TRIGGER:DURATION:PATTERN?", s.TriggerDurationCode);
        StoreReadBack(s.TriggerDurationQualifier, ask(":TRIGGER:DURATION:QUALIFIER?"), DurationQualToText);
        StoreReadBack(s.TriggerDurationTime, ask(":TRIGGER:DURATION:TIME?"), FormatTime3);
        StoreReadBack(s.TriggerDurationSweep, ask(":TRIGGER:DURATION:SWEEP?"), SweepToText);
        break;
    default:
        break;
    }
    StoreReadBack(s.TriggerHoldoff, ask(":TRIGGER:HOLDOFF?"), FormatTime3);
    return true;
}

void ReadBackChannelLevels(Applier& a, int ch) {
    // The read-back just before (the channel's offset) got no answer, and has
    // been marked: asking on would only wait for the instrument again.
    if (Link().ReplyFailed) return;
    CtrlSettings& s = a.s;
    if (s.TriggerMethod == ValueWord(vwAlternative)) return ReadBackAltLevels(a, ch);
    // The level rows of a method: query, field, node (6, item), label.
    struct Level {
        const char* query;
        Field field;
        int item, label;
    };
    std::vector<Level> levels;
    const int m = methodOf(s);
    switch (m) {
    case mEdge: levels = {{"LEVEL?", &CtrlSettings::TriggerEdgeLevel, 7, lLevel}}; break;
    case mPulse: levels = {{"LEVEL?", &CtrlSettings::TriggerPulseLevel, 8, lLevel}}; break;
    case mVideo: levels = {{"LEVEL?", &CtrlSettings::TriggerVideoLevel, 8, lLevel}}; break;
    case mSlope:
        levels = {{"LEVELA?", &CtrlSettings::TriggerSlopeLevelA, 9, lLevelA},
                  {"LEVELB?", &CtrlSettings::TriggerSlopeLevelB, 10, lLevelB}};
        break;
    default: return;  // no level rows
    }
    const QString head = QString(":TRIGGER:") + kMethodKw[m] + ":";
    const QString channel = ch == 1 ? "CH1" : "CH2";
    // The level follows the source the instrument names; one that names none
    // leaves it unknown whether the level follows this channel.
    const QString source = ask(head + "SOURCE?");
    QString unused;
    if (!StoreReadBack(unused, source, nullptr, IsSourceReply(source)) || TrigSourceToText(source) != channel)
        return;
    const QString scale = ask(":CHANNEL" + QString::number(ch) + ":SCALE?");
    if (!StoreReadBack(unused, scale, nullptr, IsNumberReply(scale)) || scale.isEmpty()) return;
    double offset = 0;
    if (!ReadLevelOffset(channel, offset)) return;
    for (const Level& l : levels) {
        if (!ReadLevelDiv(head + l.query, scale, &offset, s.*l.field)) return;
        a.node(6, l.item, l.label, s.*l.field);
    }
}

void AddTriggerRows(std::vector<Row>& rows) {
    Row m;
    m.key = {lTrigger, lMethod};
    m.custom = method;
    rows.push_back(m);

    Row src;
    src.key = {lTrigger, lSource};
    src.custom = source;
    rows.push_back(src);

    using S = CtrlSettings;
    Row mode;
    mode.key = {lTrigger, lMode};
    mode.pick = byMethod({{&S::TriggerEdgeSweep, &S::TriggerPulseSweep, nullptr,
                           &S::TriggerSlopeSweep, &S::TriggerPatternSweep,
                           &S::TriggerDurationSweep},
                          {5, 7, 0, 8, 22, 24}},
                         lMode);
    mode.header = ":TRIGGER:%1:SWEEP ";
    mode.arg = [](const QString& v, const QString&) { return SweepToKeyword(v); };
    rows.push_back(mode);

    Row coupling;
    coupling.key = {lTrigger, lCoupling};
    coupling.pick = byMethod({{&S::TriggerEdgeCoupling, &S::TriggerPulseCoupling, nullptr,
                               &S::TriggerSlopeCoupling, nullptr, nullptr},
                              {6, 6, 0, 7, 0, 0}},
                             lCoupling);
    coupling.header = ":TRIGGER:%1:COUPLING ";
    coupling.arg = [](const QString& v, const QString&) { return CouplingToKeyword(v); };
    rows.push_back(coupling);

    // The level is converted with the source the instrument reports.
    Row level;
    level.key = {lTrigger, lLevel};
    level.pick = byMethod({{&S::TriggerEdgeLevel, &S::TriggerPulseLevel, &S::TriggerVideoLevel,
                            nullptr, nullptr, nullptr},
                           {7, 8, 8, 0, 0, 0}},
                          lLevel);
    level.header = ":TRIGGER:%1:LEVEL ";
    level.arg = [](const QString& v, const QString& kw) {
        return LevelArgument(v, ask(":TRIGGER:" + kw + ":SOURCE?"));
    };
    rows.push_back(level);

    Row sens;
    sens.key = {lTrigger, lSensitivity};
    sens.pick = byMethod({{&S::TriggerEdgeSensitivity, &S::TriggerPulseSensitivity,
                           &S::TriggerVideoSensitivity, &S::TriggerSlopeSensitivity, nullptr,
                           nullptr},
                          {8, 9, 9, 11, 0, 0}},
                         lSensitivity);
    sens.header = ":TRIGGER:%1:SENSITIVITY ";
    rows.push_back(sens);

    // One holdoff for every method; only its node moves.
    Row hold;
    hold.key = {lTrigger, lHoldoff};
    hold.input = true;
    hold.pick = byMethod({{&S::TriggerHoldoff, &S::TriggerHoldoff, &S::TriggerHoldoff,
                           &S::TriggerHoldoff, &S::TriggerHoldoff, &S::TriggerHoldoff},
                          {9, 10, 10, 12, 23, 25}},
                         lHoldoff);
    hold.header = ":TRIGGER:HOLDOFF ";
    hold.numArg = [](double x) { return FormatTimeSI(x).toUpper(); };
    hold.pause = 100;
    hold.query = ":TRIGGER:HOLDOFF?";
    hold.back = FormatTime3;
    rows.push_back(hold);
}
