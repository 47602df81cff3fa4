// Branches of the alternation trigger (each item for CH1 and for CH2), and
// the read-back of one channel's settings of its trigger type.
#include "controller/SettingsTransfer.h"
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
using S = CtrlSettings;
enum Type { tEdge, tPulse, tVideo, tSlope, TypeCount };
const int kTypeWords[TypeCount] = {vwEdge, vwPulse, vwVideo, vwSlope};
const char* const kTypeKw[TypeCount] = {"EDGE", "PULSE", "VIDEO", "SLOPE"};

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

QString selectCmd(int ch) { return ":TRIGGER:ALTERNATION:SOURCE CHANNEL" + QString::number(ch); }

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

// Rows of one channel. `g` is the channel's tree group.
void addChannel(std::vector<Row>& rows, int ch, const AltFields& f) {
    const int g = ch == 1 ? 19 : 20;
    const int chLabel = ch == 1 ? lbCH1 : lbCH2;
    const QString source = ch == 1 ? "CH1" : "CH2";

    Row type;
    type.key = {lbTrigger, chLabel, lbTrigType};
    type.custom = [ch, g, f](Applier& a) {
        const QString value = a.v.ComboText;
        a.s.*f.type = value;
        a.node(g, 5, lbTrigType, value);
        GetTriggerAltTrigType(a.s, ch);
        SendCmd(":TRIGGER:ALTERNATION:TYPE " + TrigModeToKeyword(value));
        a.rebuild();
        a.select(g, 5);
        return ApplyEnd::Applied;
    };
    rows.push_back(type);

    // A choice: field and node, channel selection, 100 ms, the command.
    auto choice = [&](int label, int item, Field field, const QString& header,
                      std::function<QString(const QString&, const QString&)> arg) {
        Row r;
        r.key = {lbTrigger, chLabel, label};
        r.target = {field, g, item, label};
        r.select = selectCmd(ch);
        r.selectPause = 100;
        r.header = header;
        r.arg = std::move(arg);
        return r;
    };
    // A time: channel selection, 50 ms, number check, command, 50 ms, read back.
    auto time = [&](int label, int item, Field field, const QString& header) {
        Row r;
        r.key = {lbTrigger, chLabel, label};
        r.input = true;
        r.target = {field, g, item, label};
        r.select = selectCmd(ch);
        r.selectPause = 50;
        r.header = header + " ";
        r.numArg = [](double x) { return FormatTimeSI(x).toUpper(); };
        r.pause = 50;
        r.query = header + "?";
        r.back = FormatTime3;
        return r;
    };
    // Field and keyword by the channel's type; null where the type has no such row.
    auto byType = [f, g](int label, int item, std::array<Field AltFields::*, TypeCount> fs) {
        return [f, g, label, item, fs](const CtrlSettings& s) {
            const int t = typeOf(s, f);
            if (t < 0 || !fs[t]) return RowTarget{};
            return RowTarget{f.*fs[t], g, item, label, kTypeKw[t]};
        };
    };
    auto conv = [](QString (*c)(const QString&)) {
        return [c](const QString& v, const QString&) { return c(v); };
    };
    auto level = [source](const QString& v, const QString&) { return LevelArgument(v, source); };
    const QString alt = ":TRIGGER:ALTERNATION:";

    rows.push_back(choice(lbSlope, 6, f.edgeSlope, alt + "EDGE:SLOPE ", conv(EdgeSlopeToKeyword)));
    rows.push_back(choice(lbPulseMode, 7, f.pulseMode, alt + "PULSE:MODE ",
                          conv(PulseModeToKeyword)));
    rows.push_back(time(lbPulseWidth, 8, f.pulseWidth, alt + "PULSE:TIME"));
    rows.push_back(choice(lbSlopeMode, 9, f.slopeMode, alt + "SLOPE:MODE ",
                          conv(SlopeModeToKeyword)));
    rows.push_back(time(lbSlopeTime, 10, f.slopeTime, alt + "SLOPE:TIME"));
    rows.push_back(choice(lbPolarity, 12, f.videoPol, alt + "VIDEO:POLARITY ",
                          conv(VideoPolarityToKeyword)));
    rows.push_back(choice(lbSync, 13, f.videoSync, alt + "VIDEO:MODE ",
                          [](const QString& v, const QString&) {
                              return VideoSyncToKeyword(v).toUpper();
                          }));
    rows.push_back(choice(lbLineNumber, 14, f.videoLine, alt + "VIDEO:LINE ", nullptr));
    Row standard = choice(lbVideoStandard, 15, f.videoStd, alt + "VIDEO:STANDARD ",
                          conv(VideoStandardConv));
    standard.pause = 100;
    standard.also = [f, g](Applier& a, const QString&) {
        const QString line = TrimReply(QueryCmd(":TRIGGER:ALTERNATION:VIDEO:LINE?"));
        if (StoreReadBack(a.s.*f.videoLine, line, nullptr, IsNumberReply(line)))
            a.node(g, 14, lbLineNumber, a.s.*f.videoLine);
    };
    rows.push_back(standard);

    Row coupling = choice(lbCoupling, 16, nullptr, alt + "%1:COUPLING ", conv(CouplingToKeyword));
    coupling.pick = byType(lbCoupling, 16, {&AltFields::edgeCoupling, &AltFields::pulseCoupling,
                                           nullptr, &AltFields::slopeCoupling});
    rows.push_back(coupling);
    Row lv = choice(lbLevel, 17, nullptr, alt + "%1:LEVEL ", level);
    lv.pick = byType(lbLevel, 17, {&AltFields::edgeLevel, &AltFields::pulseLevel,
                                  &AltFields::videoLevel, nullptr});
    rows.push_back(lv);
    rows.push_back(choice(lbLevelA, 18, f.slopeLevelA, alt + "SLOPE:LEVELA ", level));
    rows.push_back(choice(lbLevelB, 19, f.slopeLevelB, alt + "SLOPE:LEVELB ", level));
    Row sens = choice(lbSensitivity, 20, nullptr, alt + "%1:SENSITIVITY ", nullptr);
    sens.pick = byType(lbSensitivity, 20, {&AltFields::edgeSens, &AltFields::pulseSens,
                                          &AltFields::videoSens, &AltFields::slopeSens});
    rows.push_back(sens);
    Row hold = time(lbHoldoff, 21, nullptr, alt + "%1:HOLDOFF");
    hold.pick = byType(lbHoldoff, 21, {&AltFields::edgeHold, &AltFields::pulseHold,
                                      &AltFields::videoHold, &AltFields::slopeHold});
    rows.push_back(hold);
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

void GetTriggerAltTrigType(CtrlSettings& s, int channel) {
    const int n = channel == 1 ? 1 : 2;
    const AltFields& f = n == 1 ? kCH1 : kCH2;
    const int t = typeOf(s, f);
    // The channel's scale and offset (reported when they cannot be had).
    const LevelBase base = ReadLevelBase(n == 1 ? "CH1" : "CH2", LevelTrigger::Alternation);
    if (base.kind == LevelBase::Unknown && base.scale.isEmpty()) {
        // No scale: nothing more is read, and the levels are not known.
        markLevels(s, f, t);
        return;
    }
    // Without the channel's offset the levels are not known; the rest is read.
    SendCmd(selectCmd(n));
    if (t < 0) return;
    bool levelsRead = false;
    for (const ReadBack& r : kReadBacks) {
        if (r.type != t) continue;
        if (isLevel(r)) {
            // The type's levels stand together: read at the first of them.
            if (levelsRead) continue;
            levelsRead = true;
            if (!ReadLevelRows(s, levelRows(f, t), base)) return;  // the read-back ends here
            continue;
        }
        const SettingDesc& d = descOf(f, r);
        const QString reply = TrimReply(QueryCmd(d.query));
        QString out;
        // A reply that makes no sense stores nothing; the others are still read.
        if (!reply.isEmpty() && !knownReply(d, reply)) {
            StoreReadBack(out, reply, nullptr, false);
            continue;
        }
        if (ReplyLost(reply)) continue;  // stores nothing; reported
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
    if (!Link().ReplyFailed) base = ReadLevelBase(ch == 1 ? "CH1" : "CH2", LevelTrigger::Alternation);
    if (base.kind == LevelBase::Unknown) {
        markLevels(a.s, f, t);
        return show();
    }
    SendCmd(selectCmd(ch));
    ReadLevelRows(a.s, levels, base);
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
