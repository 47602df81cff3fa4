// Branches of the trigger method and of the trigger settings that several
// methods share, and the read-back of the current method's settings.
#include <QStringList>
#include <array>

#include "editors/ApplyCore.h"
#include "link/Converters.h"
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

// The setting of a row the methods share, under the current method (0: the
// method has no such row).
std::function<int(const CtrlSettings&)> byMethod(std::array<Field, MethodCount> fields) {
    return [fields](const CtrlSettings& s) {
        const int m = methodOf(s);
        return m < 0 || !fields[size_t(m)] ? 0 : SettingNumber(fields[size_t(m)]);
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
bool readLevels(ApplyRun& run, CtrlSettings& s, int m, const LevelBase& base) {
    return ReadLevelRows(run, s, levelRows(m), base);
}

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
    const SettingDesc& d = SettingOf(&CtrlSettings::TriggerMethod);
    SendCmd(d.command + " " + d.keyword(value));
    s.TriggerMethod = value;
    if (value == ValueWord(vwAlternative)) {
        GetTriggerAltTrigType(a.run, s, 1);
        GetTriggerAltTrigType(a.run, s, 2);
        s.TimeBaseFormat = "Y-T";
    } else {
        GetTriggerMethod(a.run, s);
    }
    a.rebuild();
    a.select(d.treeGroup, d.treeItem);
    a.show(d.number);
    return ApplyEnd::Applied;
}

ApplyEnd source(Applier& a) {
    CtrlSettings& s = a.s;
    const QString value = a.v.ComboText;
    const int m = methodOf(s);
    // Under a method without a source of its own the SLOPE source is written.
    const SettingDesc& d = SettingOf(sourceFieldOf(m));
    SettingValue(s, d.number) = value;
    a.show(d.number);
    // The rows of EDGE and VIDEO depend on the source: the tree follows it.
    if (m == mEdge || m == mVideo) {
        a.rebuild();
        a.select(d.treeGroup, d.treeItem);
    }
    SendCmd(d.command + " " + d.keyword(value));
    // The instrument keeps its level in volts: in divisions of the new
    // source it stands elsewhere, and the level rows show where.
    if (m >= 0 && m <= mSlope) {
        readLevels(a.run, s, m, ReadLevelBase(a.run, value, levelTriggerOf(m)));
        showLevels(a, m);
    }
    return ApplyEnd::Applied;
}

QString ask(const QString& query) { return TrimReply(QueryCmd(query)); }

// A setting read back by its query through its converter (the catalog's).
void readBack(ApplyRun& run, CtrlSettings& s, Field f) {
    const SettingDesc& d = SettingOf(f);
    StoreReadBack(run, s.*f, ask(d.query), d.reply);
}

// A read-back whose reply must be a number (a sensitivity in divisions).
void readNumber(ApplyRun& run, CtrlSettings& s, Field f) {
    const SettingDesc& d = SettingOf(f);
    const QString reply = ask(d.query);
    StoreReadBack(run, s.*f, reply, d.reply, IsNumberReply(reply));
}

// A reply stored as it comes when `known` takes it.
void readAsItComes(ApplyRun& run, CtrlSettings& s, Field f, bool (*known)(const QString&)) {
    const QString reply = ask(SettingOf(f).query);
    StoreReadBack(run, s.*f, reply, nullptr, known(reply));
}

// A source read back as it comes; one that names no source stores nothing
// and ends the read-back (its level has no scale to go by).
bool readSource(ApplyRun& run, CtrlSettings& s, Field f) {
    const QString reply = ask(SettingOf(f).query);
    return StoreReadBack(run, s.*f, reply, nullptr, IsSourceReply(reply));
}

bool codes(ApplyRun& run, const QString& query, CtrlCodeArray& array) {
    QString reply = ask(query);
    const QStringList f = reply.split(',');
    if (!reply.isEmpty() && (f.size() < 2 || !IsNumberReply(f[0]) || !IsNumberReply(f[1])))
        return StoreReadBack(run, reply, reply, nullptr, false);
    PatternText(reply, array);
    return true;
}

}  // namespace

bool GetTriggerMethod(ApplyRun& run, CtrlSettings& s) {
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
            if (!ReplyLost(run, reply)) ReplyGarbled(run);  // reported either way
            return noSource(false);
        }
        if (!IsSourceReply(reply)) return noSource(StoreReadBack(run, s.TriggerEdgeSource, reply, TrigSourceToText));
        s.TriggerEdgeSource = source;
        base = ReadLevelBase(run, source, levelTriggerOf(m));
        readBack(run, s, &CtrlSettings::TriggerEdgeSlope);
        readBack(run, s, &CtrlSettings::TriggerEdgeSweep);
        readBack(run, s, &CtrlSettings::TriggerEdgeCoupling);
        if (!readLevels(run, s, m, base)) return false;
        readNumber(run, s, &CtrlSettings::TriggerEdgeSensitivity);
        break;
    }
    case mPulse:
        if (!readSource(run, s, &CtrlSettings::TriggerPulseSource)) return noSource(false);
        base = ReadLevelBase(run, s.TriggerPulseSource, levelTriggerOf(m));
        readBack(run, s, &CtrlSettings::TriggerPulseMode);
        readBack(run, s, &CtrlSettings::TriggerPulseWidth);
        readBack(run, s, &CtrlSettings::TriggerPulseSweep);
        readBack(run, s, &CtrlSettings::TriggerPulseCoupling);
        if (!readLevels(run, s, m, base)) return false;
        readNumber(run, s, &CtrlSettings::TriggerPulseSensitivity);
        break;
    case mVideo:
        if (!readSource(run, s, &CtrlSettings::TriggerVideoSource)) return noSource(false);
        base = ReadLevelBase(run, s.TriggerVideoSource, levelTriggerOf(m));
        readBack(run, s, &CtrlSettings::TriggerVideoPolarity);
        readBack(run, s, &CtrlSettings::TriggerVideoSync);
        readAsItComes(run, s, &CtrlSettings::TriggerVideoLine, IsNumberReply);
        readAsItComes(run, s, &CtrlSettings::TriggerVideoStandard, IsVideoStandardReply);
        if (!readLevels(run, s, m, base)) return false;
        readNumber(run, s, &CtrlSettings::TriggerVideoSensitivity);
        break;
    case mSlope:
        if (!readSource(run, s, &CtrlSettings::TriggerSlopeSource)) return noSource(false);
        base = ReadLevelBase(run, s.TriggerSlopeSource, levelTriggerOf(m));
        readBack(run, s, &CtrlSettings::TriggerSlopeCoupling);
        readBack(run, s, &CtrlSettings::TriggerSlopeSweep);
        readBack(run, s, &CtrlSettings::TriggerSlopeMode);
        readBack(run, s, &CtrlSettings::TriggerSlopeTime);
        if (!readLevels(run, s, m, base)) return false;
        readNumber(run, s, &CtrlSettings::TriggerSlopeSensitivity);
        break;
    case mPattern:
        codes(run, SettingOf(&CtrlSettings::TriggerPatternCode, 1).query, s.TriggerPatternCode);
        readBack(run, s, &CtrlSettings::TriggerPatternSweep);
        break;
    case mDuration:
        codes(run, SettingOf(&CtrlSettings::TriggerDurationCode, 1).query, s.TriggerDurationCode);
        readBack(run, s, &CtrlSettings::TriggerDurationQualifier);
        readBack(run, s, &CtrlSettings::TriggerDurationTime);
        readBack(run, s, &CtrlSettings::TriggerDurationSweep);
        break;
    default:
        break;
    }
    readBack(run, s, &CtrlSettings::TriggerHoldoff);
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
    const QString source = ask(SettingOf(sourceFieldOf(m)).query);
    QString unused;
    if (!StoreReadBack(a.run, unused, source, nullptr, IsSourceReply(source))) return notKnown();
    if (TrigSourceToText(source) != channel) return;
    readLevels(a.run, s, m, ReadLevelBase(a.run, channel, levelTriggerOf(m)));
    showLevels(a, m);
}

void AddTriggerRows(std::vector<Row>& rows) {
    using S = CtrlSettings;
    auto custom = [&](Field field, std::function<ApplyEnd(Applier&)> branch) {
        Row r = SettingRow(field);
        r.custom = std::move(branch);
        rows.push_back(r);
    };
    custom(&S::TriggerMethod, method);
    custom(&S::TriggerEdgeSource, source);

    // The rows every method (or several) has, each with its own setting.
    auto shared = [&](std::array<Field, MethodCount> fields) {
        Row r = SettingRow(fields[0]);
        r.pick = byMethod(fields);
        return r;
    };
    rows.push_back(shared({&S::TriggerEdgeSweep, &S::TriggerPulseSweep, nullptr, &S::TriggerSlopeSweep,
                           &S::TriggerPatternSweep, &S::TriggerDurationSweep}));
    rows.push_back(shared({&S::TriggerEdgeCoupling, &S::TriggerPulseCoupling, nullptr, &S::TriggerSlopeCoupling,
                           nullptr, nullptr}));

    // The level is converted with the source the instrument reports.
    Row level = shared({&S::TriggerEdgeLevel, &S::TriggerPulseLevel, &S::TriggerVideoLevel, nullptr, nullptr,
                        nullptr});
    level.arg = LevelRowArgument;
    rows.push_back(level);

    rows.push_back(shared({&S::TriggerEdgeSensitivity, &S::TriggerPulseSensitivity, &S::TriggerVideoSensitivity,
                           &S::TriggerSlopeSensitivity, nullptr, nullptr}));

    // One holdoff for every method; its row follows the method's own rows.
    Row hold = shared({&S::TriggerHoldoff, &S::TriggerHoldoff, &S::TriggerHoldoff, &S::TriggerHoldoff,
                       &S::TriggerHoldoff, &S::TriggerHoldoff});
    hold.item = [](const CtrlSettings& s) {
        static const int items[MethodCount] = {9, 10, 10, 12, 23, 25};
        const int m = methodOf(s);
        return m < 0 ? 0 : items[m];
    };
    hold.input = true;
    hold.numArg = [](double x) { return FormatTimeSI(x).toUpper(); };
    hold.pause = 100;
    hold.readBack = true;
    rows.push_back(hold);
}
