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

// The level rows of a method: query (after ":TRIGGER:<method>:"), field,
// node (6, item) and label.
struct LevelRowOf {
    const char* query;
    Field field;
    int item, label;
};
std::vector<LevelRowOf> levelRows(int m) {
    switch (m) {
    case mEdge: return {{"LEVEL?", &CtrlSettings::TriggerEdgeLevel, 7, lLevel}};
    case mPulse: return {{"LEVEL?", &CtrlSettings::TriggerPulseLevel, 8, lLevel}};
    case mVideo: return {{"LEVEL?", &CtrlSettings::TriggerVideoLevel, 8, lLevel}};
    case mSlope:
        return {{"LEVELA?", &CtrlSettings::TriggerSlopeLevelA, 9, lLevelA},
                {"LEVELB?", &CtrlSettings::TriggerSlopeLevelB, 10, lLevelB}};
    default: return {};
    }
}

Field sourceFieldOf(int m) {
    return m == mEdge    ? &CtrlSettings::TriggerEdgeSource
           : m == mVideo ? &CtrlSettings::TriggerVideoSource
           : m == mPulse ? &CtrlSettings::TriggerPulseSource
                         : &CtrlSettings::TriggerSlopeSource;
}

void markLevels(CtrlSettings& s, int m) {
    for (const LevelRowOf& r : levelRows(m)) MarkLevelNotKnown(s.*r.field);
}

// The method's level rows read on `base`; after a row that failed, the rest
// are marked as not known. False when one failed.
bool readLevels(CtrlSettings& s, int m, const LevelBase& base) {
    const QString head = QString(":TRIGGER:") + kMethodKw[m] + ":";
    const std::vector<LevelRowOf> rows = levelRows(m);
    for (size_t i = 0; i < rows.size(); ++i) {
        if (ReadLevelRow(head + rows[i].query, base, s.*rows[i].field)) continue;
        for (size_t k = i + 1; k < rows.size(); ++k) MarkLevelNotKnown(s.*rows[k].field);
        return false;
    }
    return true;
}

void showLevels(Applier& a, int m) {
    for (const LevelRowOf& r : levelRows(m)) a.node(6, r.item, r.label, a.s.*r.field);
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
    s.*sourceFieldOf(m) = value;
    a.node(6, 3, lSource, value);
    // The rows of EDGE and VIDEO depend on the source: the tree follows it.
    if (m == mEdge || m == mVideo) {
        a.rebuild();
        a.select(6, 3);
    }
    const QString kw = m >= 0 ? kMethodKw[m] : "SLOPE";
    SendCmd(":TRIGGER:" + kw + ":SOURCE " + TrigSourceToKeyword(value));
    // The instrument keeps its level in volts: in divisions of the new
    // source it stands elsewhere, and the level rows show where.
    if (m >= 0 && m <= mSlope) {
        readLevels(s, m, ReadLevelBase(value, m == mEdge, m == mEdge || m == mPulse));
        showLevels(a, m);
    }
    return ApplyEnd::Applied;
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
    LevelBase base;
    const int m = methodOf(s);
    // A source that did not come or names none leaves the levels not known.
    auto noSource = [&](bool read) {
        markLevels(s, m);
        return read;
    };
    switch (m) {
    case mEdge: {
        const QString reply = ask(":TRIGGER:EDGE:SOURCE?");
        const QString source = TrigSourceToText(reply);
        if (source.isEmpty()) {
            if (!ReplyLost(reply)) ReplyGarbled();  // reported either way
            return noSource(false);
        }
        if (!IsSourceReply(reply)) return noSource(StoreReadBack(s.TriggerEdgeSource, reply, TrigSourceToText));
        s.TriggerEdgeSource = source;
        base = ReadLevelBase(source, true, true);
        StoreReadBack(s.TriggerEdgeSlope, ask(":TRIGGER:EDGE:SLOPE?"), EdgeSlopeToText);
        StoreReadBack(s.TriggerEdgeSweep, ask(":TRIGGER:EDGE:SWEEP?"), SweepToText);
        StoreReadBack(s.TriggerEdgeCoupling, ask(":TRIGGER:EDGE:COUPLING?"), CouplingToText);
        if (!readLevels(s, m, base)) return false;
        readNumber(s.TriggerEdgeSensitivity, ":TRIGGER:EDGE:SENSITIVITY?", DivText);
        break;
    }
    case mPulse:
        if (!readSource(":TRIGGER:PULSE:SOURCE?", s.TriggerPulseSource)) return noSource(false);
        base = ReadLevelBase(s.TriggerPulseSource, false, true);
        StoreReadBack(s.TriggerPulseMode, ask(":TRIGGER:PULSE:MODE?"), PulseModeToText);
        StoreReadBack(s.TriggerPulseWidth, ask(":TRIGGER:PULSE:WIDTH?"), FormatTime3);
        StoreReadBack(s.TriggerPulseSweep, ask(":TRIGGER:PULSE:SWEEP?"), SweepToText);
        StoreReadBack(s.TriggerPulseCoupling, ask(":TRIGGER:PULSE:COUPLING?"), CouplingToText);
        if (!readLevels(s, m, base)) return false;
        readNumber(s.TriggerPulseSensitivity, ":TRIGGER:PULSE:SENSITIVITY?", DivText);
        break;
    case mVideo:
        if (!readSource(":TRIGGER:VIDEO:SOURCE?", s.TriggerVideoSource)) return noSource(false);
        base = ReadLevelBase(s.TriggerVideoSource, false, false);
        StoreReadBack(s.TriggerVideoPolarity, ask(":TRIGGER:VIDEO:POLARITY?"), VideoPolarityToText);
        StoreReadBack(s.TriggerVideoSync, ask(":TRIGGER:VIDEO:MODE?"), VideoSyncToText);
        readAsItComes(s.TriggerVideoLine, ":TRIGGER:VIDEO:LINE?", IsNumberReply);
        readAsItComes(s.TriggerVideoStandard, ":TRIGGER:VIDEO:STANDARD?", IsVideoStandardReply);
        if (!readLevels(s, m, base)) return false;
        readNumber(s.TriggerVideoSensitivity, ":TRIGGER:VIDEO:SENSITIVITY?", DivText);
        break;
    case mSlope:
        if (!readSource(":TRIGGER:SLOPE:SOURCE?", s.TriggerSlopeSource)) return noSource(false);
        base = ReadLevelBase(s.TriggerSlopeSource, false, false);
        StoreReadBack(s.TriggerSlopeCoupling, ask(":TRIGGER:SLOPE:COUPLING?"), CouplingToText);
        StoreReadBack(s.TriggerSlopeSweep, ask(":TRIGGER:SLOPE:SWEEP?"), SweepToText);
        StoreReadBack(s.TriggerSlopeMode, ask(":TRIGGER:SLOPE:MODE?"), SlopeModeToText);
        StoreReadBack(s.TriggerSlopeTime, ask(":TRIGGER:SLOPE:TIME?"), FormatTime3);
        if (!readLevels(s, m, base)) return false;
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
    CtrlSettings& s = a.s;
    if (s.TriggerMethod == ValueWord(vwAlternative)) return ReadBackAltLevels(a, ch);
    const int m = methodOf(s);
    if (m < 0 || m > mSlope) return;  // no level rows
    const QString channel = ch == 1 ? "CH1" : "CH2";
    // Rows that follow the channel, as far as the mirror knows, whose new
    // place cannot be read are not known.
    auto notKnown = [&] {
        if (s.*sourceFieldOf(m) != channel) return;
        markLevels(s, m);
        showLevels(a, m);
    };
    // A reply just before (the channel's offset) got no answer: asking on
    // could take the late one for the next answer.
    if (Link().ReplyFailed) return notKnown();
    // The level follows the source the instrument names; one that names none
    // leaves it unknown whether the level follows this channel.
    const QString source = ask(QString(":TRIGGER:") + kMethodKw[m] + ":SOURCE?");
    QString unused;
    if (!StoreReadBack(unused, source, nullptr, IsSourceReply(source))) return notKnown();
    if (TrigSourceToText(source) != channel) return;
    readLevels(s, m, ReadLevelBase(channel, false, false));
    showLevels(a, m);
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
