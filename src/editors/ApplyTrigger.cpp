// Branches of the trigger method and of the trigger settings that several
// methods share, and the read-back of the current method's settings.
#include <QStringList>

#include "editors/ApplyCore.h"
#include "link/Converters.h"
#include "link/CtrlPlaces.h"
#include "link/Formatters.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/ReplyParse.h"
#include "link/SettingCatalog.h"
#include "link/Vocabulary.h"

namespace {
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

// The level rows of a method (value numbers); their query, tree row and
// label, source and level rule's trigger are the settings catalog's.
std::vector<int> levelRows(int m) {
    using S = CtrlSettings;
    switch (m) {
    case mEdge: return {SettingNumber(&S::TriggerEdgeLevel)};
    case mPulse: return {SettingNumber(&S::TriggerPulseLevel)};
    case mVideo: return {SettingNumber(&S::TriggerVideoLevel)};
    case mSlope: return {SettingNumber(&S::TriggerSlopeLevelA), SettingNumber(&S::TriggerSlopeLevelB)};
    default: return {};
    }
}

// The method's source row and the trigger its levels count by.
Field sourceFieldOf(int m) {
    return m == mEdge    ? &CtrlSettings::TriggerEdgeSource
           : m == mVideo ? &CtrlSettings::TriggerVideoSource
           : m == mPulse ? &CtrlSettings::TriggerPulseSource
                         : &CtrlSettings::TriggerSlopeSource;
}
LevelTrigger levelTriggerOf(int m) {
    const std::vector<int> rows = levelRows(m);
    return rows.empty() ? LevelTrigger::None : SettingOf(rows.front()).levelTrigger;
}

void markLevels(CtrlSettings& s, int m) {
    for (int n : levelRows(m)) MarkLevelNotKnown(SettingValue(s, n));
}

// The method's level rows read on `base` (ReadLevelRows). False when one failed.
bool readLevels(CtrlSettings& s, int m, const LevelBase& base) { return ReadLevelRows(s, levelRows(m), base); }

void showLevels(Applier& a, int m) {
    for (int n : levelRows(m)) {
        const SettingDesc& d = SettingOf(n);
        a.node(d.treeGroup, d.treeItem, d.label, SettingValue(a.s, n));
    }
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
    a.node(6, 2, lbMethod, s.TriggerMethod);
    return ApplyEnd::Applied;
}

ApplyEnd source(Applier& a) {
    CtrlSettings& s = a.s;
    const QString value = a.v.ComboText;
    const int m = methodOf(s);
    s.*sourceFieldOf(m) = value;
    a.node(6, 3, lbSource, value);
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
        readLevels(s, m, ReadLevelBase(value, levelTriggerOf(m)));
        showLevels(a, m);
    }
    return ApplyEnd::Applied;
}

QString ask(const QString& query) { return TrimReply(QueryCmd(query)); }

// A setting read back by its query through its converter (the catalog's).
void readBack(CtrlSettings& s, Field f) {
    const SettingDesc& d = SettingOf(f);
    StoreReadBack(s.*f, ask(d.query), d.reply);
}

// A read-back whose reply must be a number (a sensitivity in divisions).
void readNumber(CtrlSettings& s, Field f) {
    const SettingDesc& d = SettingOf(f);
    const QString reply = ask(d.query);
    StoreReadBack(s.*f, reply, d.reply, IsNumberReply(reply));
}

// A reply stored as it comes when `known` takes it.
void readAsItComes(CtrlSettings& s, Field f, bool (*known)(const QString&)) {
    const QString reply = ask(SettingOf(f).query);
    StoreReadBack(s.*f, reply, nullptr, known(reply));
}

// A source read back as it comes; one that names no source stores nothing
// and ends the read-back (its level has no scale to go by).
bool readSource(CtrlSettings& s, Field f) {
    const QString reply = ask(SettingOf(f).query);
    return StoreReadBack(s.*f, reply, nullptr, IsSourceReply(reply));
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
        const QString reply = ask(SettingOf(&CtrlSettings::TriggerEdgeSource).query);
        const QString source = TrigSourceToText(reply);
        if (source.isEmpty()) {
            if (!ReplyLost(reply)) ReplyGarbled();  // reported either way
            return noSource(false);
        }
        if (!IsSourceReply(reply)) return noSource(StoreReadBack(s.TriggerEdgeSource, reply, TrigSourceToText));
        s.TriggerEdgeSource = source;
        base = ReadLevelBase(source, levelTriggerOf(m));
        readBack(s, &CtrlSettings::TriggerEdgeSlope);
        readBack(s, &CtrlSettings::TriggerEdgeSweep);
        readBack(s, &CtrlSettings::TriggerEdgeCoupling);
        if (!readLevels(s, m, base)) return false;
        readNumber(s, &CtrlSettings::TriggerEdgeSensitivity);
        break;
    }
    case mPulse:
        if (!readSource(s, &CtrlSettings::TriggerPulseSource)) return noSource(false);
        base = ReadLevelBase(s.TriggerPulseSource, levelTriggerOf(m));
        readBack(s, &CtrlSettings::TriggerPulseMode);
        readBack(s, &CtrlSettings::TriggerPulseWidth);
        readBack(s, &CtrlSettings::TriggerPulseSweep);
        readBack(s, &CtrlSettings::TriggerPulseCoupling);
        if (!readLevels(s, m, base)) return false;
        readNumber(s, &CtrlSettings::TriggerPulseSensitivity);
        break;
    case mVideo:
        if (!readSource(s, &CtrlSettings::TriggerVideoSource)) return noSource(false);
        base = ReadLevelBase(s.TriggerVideoSource, levelTriggerOf(m));
        readBack(s, &CtrlSettings::TriggerVideoPolarity);
        readBack(s, &CtrlSettings::TriggerVideoSync);
        readAsItComes(s, &CtrlSettings::TriggerVideoLine, IsNumberReply);
        readAsItComes(s, &CtrlSettings::TriggerVideoStandard, IsVideoStandardReply);
        if (!readLevels(s, m, base)) return false;
        readNumber(s, &CtrlSettings::TriggerVideoSensitivity);
        break;
    case mSlope:
        if (!readSource(s, &CtrlSettings::TriggerSlopeSource)) return noSource(false);
        base = ReadLevelBase(s.TriggerSlopeSource, levelTriggerOf(m));
        readBack(s, &CtrlSettings::TriggerSlopeCoupling);
        readBack(s, &CtrlSettings::TriggerSlopeSweep);
        readBack(s, &CtrlSettings::TriggerSlopeMode);
        readBack(s, &CtrlSettings::TriggerSlopeTime);
        if (!readLevels(s, m, base)) return false;
        readNumber(s, &CtrlSettings::TriggerSlopeSensitivity);
        break;
    case mPattern:
        codes(SettingOf(&CtrlSettings::TriggerPatternCode, 1).query, s.TriggerPatternCode);
        readBack(s, &CtrlSettings::TriggerPatternSweep);
        break;
    case mDuration:
        codes(SettingOf(&CtrlSettings::TriggerDurationCode, 1).query, s.TriggerDurationCode);
        readBack(s, &CtrlSettings::TriggerDurationQualifier);
        readBack(s, &CtrlSettings::TriggerDurationTime);
        readBack(s, &CtrlSettings::TriggerDurationSweep);
        break;
    default:
        break;
    }
    readBack(s, &CtrlSettings::TriggerHoldoff);
    return true;
}

std::vector<int> MethodLevelRows(const CtrlSettings& s) { return levelRows(methodOf(s)); }

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
    readLevels(s, m, ReadLevelBase(channel, levelTriggerOf(m)));
    showLevels(a, m);
}

void AddTriggerRows(std::vector<Row>& rows) {
    Row m;
    m.key = {lbTrigger, lbMethod};
    m.custom = method;
    rows.push_back(m);

    Row src;
    src.key = {lbTrigger, lbSource};
    src.custom = source;
    rows.push_back(src);

    using S = CtrlSettings;
    Row mode;
    mode.key = {lbTrigger, lbMode};
    mode.pick = byMethod({{&S::TriggerEdgeSweep, &S::TriggerPulseSweep, nullptr,
                           &S::TriggerSlopeSweep, &S::TriggerPatternSweep,
                           &S::TriggerDurationSweep},
                          {5, 7, 0, 8, 22, 24}},
                         lbMode);
    mode.header = ":TRIGGER:%1:SWEEP ";
    mode.arg = [](const QString& v, const QString&) { return SweepToKeyword(v); };
    rows.push_back(mode);

    Row coupling;
    coupling.key = {lbTrigger, lbCoupling};
    coupling.pick = byMethod({{&S::TriggerEdgeCoupling, &S::TriggerPulseCoupling, nullptr,
                               &S::TriggerSlopeCoupling, nullptr, nullptr},
                              {6, 6, 0, 7, 0, 0}},
                             lbCoupling);
    coupling.header = ":TRIGGER:%1:COUPLING ";
    coupling.arg = [](const QString& v, const QString&) { return CouplingToKeyword(v); };
    rows.push_back(coupling);

    // The level is converted with the source the instrument reports.
    Row level;
    level.key = {lbTrigger, lbLevel};
    level.pick = byMethod({{&S::TriggerEdgeLevel, &S::TriggerPulseLevel, &S::TriggerVideoLevel,
                            nullptr, nullptr, nullptr},
                           {7, 8, 8, 0, 0, 0}},
                          lbLevel);
    level.header = ":TRIGGER:%1:LEVEL ";
    level.arg = [](const QString& v, const QString& kw) {
        return LevelArgument(v, ask(":TRIGGER:" + kw + ":SOURCE?"));
    };
    rows.push_back(level);

    Row sens;
    sens.key = {lbTrigger, lbSensitivity};
    sens.pick = byMethod({{&S::TriggerEdgeSensitivity, &S::TriggerPulseSensitivity,
                           &S::TriggerVideoSensitivity, &S::TriggerSlopeSensitivity, nullptr,
                           nullptr},
                          {8, 9, 9, 11, 0, 0}},
                         lbSensitivity);
    sens.header = ":TRIGGER:%1:SENSITIVITY ";
    rows.push_back(sens);

    // One holdoff for every method; only its node moves.
    Row hold;
    hold.key = {lbTrigger, lbHoldoff};
    hold.input = true;
    hold.pick = byMethod({{&S::TriggerHoldoff, &S::TriggerHoldoff, &S::TriggerHoldoff,
                           &S::TriggerHoldoff, &S::TriggerHoldoff, &S::TriggerHoldoff},
                          {9, 10, 10, 12, 23, 25}},
                         lbHoldoff);
    hold.header = ":TRIGGER:HOLDOFF ";
    hold.numArg = [](double x) { return FormatTimeSI(x).toUpper(); };
    hold.pause = 100;
    hold.query = ":TRIGGER:HOLDOFF?";
    hold.back = FormatTime3;
    rows.push_back(hold);
}
