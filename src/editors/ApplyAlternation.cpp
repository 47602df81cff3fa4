// Branches of the alternation trigger (each item for CH1 and for CH2), and
// the read-back of one channel's settings of its trigger type.
#include <array>

#include "controller/SettingsTransfer.h"
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
using S = CtrlSettings;
enum Type { tEdge, tPulse, tVideo, tSlope, TypeCount };
const int kTypeWords[TypeCount] = {vwEdge, vwPulse, vwVideo, vwSlope};

// The fields of one channel.
struct AltFields {
    Field type;
    Field edgeSlope, edgeCoupling, edgeLevel, edgeSens, edgeHold;
    Field pulseMode, pulseWidth, pulseCoupling, pulseLevel, pulseSens, pulseHold;
    Field videoPol, videoSync, videoLine, videoStd, videoLevel, videoSens, videoHold;
    Field slopeMode, slopeTime, slopeCoupling, slopeLevelA, slopeLevelB, slopeSens, slopeHold;
};

// The same fields of channel n.
#define KV_ALT_FIELDS(n)                                                                     \
    {                                                                                        \
        &S::AltCH##n##TrigType,                                                              \
        &S::AltCH##n##EdgeSlope, &S::AltCH##n##EdgeCoupling, &S::AltCH##n##EdgeLevel,        \
        &S::AltCH##n##EdgeSensitivity, &S::AltCH##n##EdgeHoldoff,                            \
        &S::AltCH##n##PulseMode, &S::AltCH##n##PulseWidth, &S::AltCH##n##PulseCoupling,      \
        &S::AltCH##n##PulseLevel, &S::AltCH##n##PulseSensitivity, &S::AltCH##n##PulseHoldoff, \
        &S::AltCH##n##VideoPolarity, &S::AltCH##n##VideoSync, &S::AltCH##n##VideoLine,       \
        &S::AltCH##n##VideoStandard, &S::AltCH##n##VideoLevel,                               \
        &S::AltCH##n##VideoSensitivity, &S::AltCH##n##VideoHoldoff,                          \
        &S::AltCH##n##SlopeMode, &S::AltCH##n##SlopeTime, &S::AltCH##n##SlopeCoupling,       \
        &S::AltCH##n##SlopeLevelA, &S::AltCH##n##SlopeLevelB,                                \
        &S::AltCH##n##SlopeSensitivity, &S::AltCH##n##SlopeHoldoff,                          \
    }
const AltFields kCH1 = KV_ALT_FIELDS(1);
const AltFields kCH2 = KV_ALT_FIELDS(2);
#undef KV_ALT_FIELDS

int typeOf(const CtrlSettings& s, const AltFields& f) {
    for (int t = 0; t < TypeCount; ++t)
        if (s.*f.type == ValueWord(kTypeWords[t])) return t;
    return -1;
}

// The settings of a channel's trigger type, in the order they are read
// back; their queries, reply converters, tree rows and which are levels are
// the settings catalog's.
struct ReadBack {
    int type;
    Field AltFields::*field;
};

const ReadBack kReadBacks[] = {
    {tEdge, &AltFields::edgeSlope},     {tEdge, &AltFields::edgeCoupling},  {tEdge, &AltFields::edgeLevel},
    {tEdge, &AltFields::edgeHold},      {tEdge, &AltFields::edgeSens},      {tPulse, &AltFields::pulseMode},
    {tPulse, &AltFields::pulseWidth},   {tPulse, &AltFields::pulseCoupling}, {tPulse, &AltFields::pulseLevel},
    {tPulse, &AltFields::pulseHold},    {tPulse, &AltFields::pulseSens},    {tVideo, &AltFields::videoPol},
    {tVideo, &AltFields::videoSync},    {tVideo, &AltFields::videoLine},    {tVideo, &AltFields::videoStd},
    {tVideo, &AltFields::videoLevel},   {tVideo, &AltFields::videoSens},    {tVideo, &AltFields::videoHold},
    {tSlope, &AltFields::slopeCoupling}, {tSlope, &AltFields::slopeMode},   {tSlope, &AltFields::slopeTime},
    {tSlope, &AltFields::slopeLevelA},  {tSlope, &AltFields::slopeLevelB},  {tSlope, &AltFields::slopeSens},
    {tSlope, &AltFields::slopeHold},
};

// The catalog's description of a read-back's setting of channel `f`.
const SettingDesc& descOf(const AltFields& f, const ReadBack& r) { return SettingOf(f.*r.field); }
bool isLevel(const ReadBack& r) { return SettingOf(kCH1.*r.field).levelTrigger != LevelTrigger::None; }

// Whether a non-empty reply is one the setting's converter knows; one read
// as it comes (the line or the standard) is a number or a standard.
bool knownReply(const SettingDesc& d, const QString& reply) {
    return d.reply ? IsKnownReply(d.reply, reply) : IsNumberReply(reply) || IsVideoStandardReply(reply);
}

// Rows of one channel.
void addChannel(std::vector<Row>& rows, int ch, const AltFields& f) {
    Row type = SettingRow(f.type);
    type.custom = [ch, f](Applier& a) {
        const SettingDesc& d = SettingOf(f.type);
        const QString value = a.v.ComboText;
        a.s.*f.type = value;
        a.show(d.number);
        GetTriggerAltTrigType(a.run, a.s, ch);
        SendCmd(d.command + " " + d.keyword(value));
        a.rebuild();
        a.select(d.treeGroup, d.treeItem);
        return ApplyEnd::Applied;
    };
    rows.push_back(type);

    // A choice: field and node, channel selection, 100 ms, the command.
    auto choice = [&](Field field) {
        Row r = SettingRow(field);
        r.select = AltChannelSelect(ch);
        r.selectPause = 100;
        return r;
    };
    // A time: channel selection, 50 ms, number check, command, 50 ms, read back.
    auto time = [&](Field field) {
        Row r = SettingRow(field);
        r.input = true;
        r.select = AltChannelSelect(ch);
        r.selectPause = 50;
        r.numArg = [](double x) { return FormatTimeSI(x).toUpper(); };
        r.pause = 50;
        r.readBack = true;
        return r;
    };
    // The setting of the channel's type; none where the type has no such row.
    auto byType = [f](Row r, std::array<Field AltFields::*, TypeCount> fs) {
        r.pick = [f, fs](const CtrlSettings& s) {
            const int t = typeOf(s, f);
            return t < 0 || !fs[size_t(t)] ? 0 : SettingNumber(f.*fs[size_t(t)]);
        };
        return r;
    };

    rows.push_back(choice(f.edgeSlope));
    rows.push_back(choice(f.pulseMode));
    rows.push_back(time(f.pulseWidth));
    rows.push_back(choice(f.slopeMode));
    rows.push_back(time(f.slopeTime));
    rows.push_back(choice(f.videoPol));
    Row sync = choice(f.videoSync);
    sync.arg = UpperKeyword;
    rows.push_back(sync);
    rows.push_back(choice(f.videoLine));
    Row standard = choice(f.videoStd);
    standard.pause = 100;
    standard.also = [f](Applier& a, const QString&) {
        const SettingDesc& line = SettingOf(f.videoLine);
        const QString reply = TrimReply(QueryCmd(line.query));
        if (StoreReadBack(a.run, a.s.*f.videoLine, reply, nullptr, IsNumberReply(reply))) a.show(line.number);
    };
    rows.push_back(standard);

    rows.push_back(byType(choice(f.edgeCoupling),
                          {&AltFields::edgeCoupling, &AltFields::pulseCoupling, nullptr, &AltFields::slopeCoupling}));
    Row level = byType(choice(f.edgeLevel),
                       {&AltFields::edgeLevel, &AltFields::pulseLevel, &AltFields::videoLevel, nullptr});
    level.arg = LevelRowArgument;
    rows.push_back(level);
    for (Field levelAB : {f.slopeLevelA, f.slopeLevelB}) {
        Row r = choice(levelAB);
        r.arg = LevelRowArgument;
        rows.push_back(r);
    }
    rows.push_back(byType(choice(f.edgeSens),
                          {&AltFields::edgeSens, &AltFields::pulseSens, &AltFields::videoSens, &AltFields::slopeSens}));
    rows.push_back(byType(time(f.edgeHold),
                          {&AltFields::edgeHold, &AltFields::pulseHold, &AltFields::videoHold, &AltFields::slopeHold}));
}
}  // namespace

namespace {
// The level rows (value numbers) of channel `f`'s type t, in their order.
std::vector<int> levelRows(const AltFields& f, int t) {
    std::vector<int> out;
    for (const ReadBack& r : kReadBacks)
        if (r.type == t && isLevel(r)) out.push_back(SettingNumber(f.*r.field));
    return out;
}

void markLevels(CtrlSettings& s, const AltFields& f, int t) {
    for (int n : levelRows(f, t)) MarkLevelNotKnown(SettingValue(s, n));
}
}  // namespace

void GetTriggerAltTrigType(ApplyRun& run, CtrlSettings& s, int channel) {
    const int n = channel == 1 ? 1 : 2;
    const AltFields& f = n == 1 ? kCH1 : kCH2;
    const int t = typeOf(s, f);
    // The channel's scale and offset (reported when they cannot be had).
    const LevelBase base = ReadLevelBase(run, n == 1 ? "CH1" : "CH2", LevelTrigger::Alternation);
    if (base.kind == LevelBase::Unknown && base.scale.isEmpty()) {
        // No scale: nothing more is read, and the levels are not known.
        markLevels(s, f, t);
        return;
    }
    // Without the channel's offset the levels are not known; the rest is read.
    SendCmd(AltChannelSelect(n));
    if (t < 0) return;
    bool levelsRead = false;
    for (const ReadBack& r : kReadBacks) {
        if (r.type != t) continue;
        if (isLevel(r)) {
            // The type's levels stand together: read at the first of them.
            if (levelsRead) continue;
            levelsRead = true;
            if (!ReadLevelRows(run, s, levelRows(f, t), base)) return;  // the read-back ends here
            continue;
        }
        const SettingDesc& d = descOf(f, r);
        const QString reply = TrimReply(QueryCmd(d.query));
        QString out;
        // A reply that makes no sense stores nothing; the others are still read.
        if (!reply.isEmpty() && !knownReply(d, reply)) {
            StoreReadBack(run, out, reply, nullptr, false);
            continue;
        }
        if (ReplyLost(run, reply)) continue;  // stores nothing; reported
        out = d.reply ? d.reply(reply) : reply;
        s.*(f.*r.field) = out;
    }
}

void ReadBackAltLevels(Applier& a, int ch) {
    const AltFields& f = ch == 1 ? kCH1 : kCH2;
    const int t = typeOf(a.s, f);
    if (t < 0) return;
    const std::vector<int> levels = levelRows(f, t);
    auto show = [&] {
        for (int n : levels) {
            const SettingDesc& d = SettingOf(n);
            a.node(d.treeGroup, d.treeItem, d.label, SettingValue(a.s, n));
        }
    };
    // A reply just before (the channel's offset) got no answer: nothing more
    // is asked, and the levels are not known.
    LevelBase base;
    if (!Link().ReplyFailed) base = ReadLevelBase(a.run, ch == 1 ? "CH1" : "CH2", LevelTrigger::Alternation);
    if (base.kind == LevelBase::Unknown) {
        markLevels(a.s, f, t);
        return show();
    }
    SendCmd(AltChannelSelect(ch));
    ReadLevelRows(a.run, a.s, levels, base);
    show();
}

std::vector<int> AltLevelRows(const CtrlSettings& s, int ch) {
    const AltFields& f = ch == 1 ? kCH1 : kCH2;
    return levelRows(f, typeOf(s, f));
}

void AddAlternationRows(std::vector<Row>& rows) {
    addChannel(rows, 1, kCH1);
    addChannel(rows, 2, kCH2);
}
