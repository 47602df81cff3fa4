// Branches of the alternation trigger (each item for CH1 and for CH2), and
// the read-back of one channel's settings of its trigger type.
#include "controller/SettingsTransfer.h"
#include "editors/ApplyCore.h"
#include "link/Converters.h"
#include "link/Formatters.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/ReplyParse.h"
#include "link/Vocabulary.h"

namespace {
enum { lCH1 = 6, lCH2 = 7, lCoupling = 10, lHoldoff = 21, lTrigger = 24, lSlope = 27,
       lPolarity = 29, lSync = 30, lLineNumber = 31, lVideoStandard = 32, lPulseMode = 33,
       lPulseWidth = 34, lSlopeMode = 35, lSlopeTime = 36, lTrigType = 38, lLevel = 66,
       lLevelA = 67, lLevelB = 68, lSensitivity = 69 };

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

// How a read-back reply becomes a field; false ends the read-back.
enum Conv { cEdgeSlope, cCoupling, cDiv, cTime, cSens, cPulseMode, cSlopeMode, cPolarity,
            cSync, cNone };

struct ReadBack {
    int type;
    const char* query;  // after ":TRIGGER:ALTERNATION:"
    Conv conv;
    Field AltFields::*field;
};

const ReadBack kReadBacks[] = {
    {tEdge, "EDGE:SLOPE?", cEdgeSlope, &AltFields::edgeSlope},
    {tEdge, "EDGE:COUPLING?", cCoupling, &AltFields::edgeCoupling},
    {tEdge, "EDGE:LEVEL?", cDiv, &AltFields::edgeLevel},
    {tEdge, "EDGE:HOLDOFF?", cTime, &AltFields::edgeHold},
    {tEdge, "EDGE:SENSITIVITY?", cSens, &AltFields::edgeSens},
    {tPulse, "PULSE:MODE?", cPulseMode, &AltFields::pulseMode},
    {tPulse, "PULSE:TIME?", cTime, &AltFields::pulseWidth},
    {tPulse, "PULSE:COUPLING?", cCoupling, &AltFields::pulseCoupling},
    {tPulse, "PULSE:LEVEL?", cDiv, &AltFields::pulseLevel},
    {tPulse, "PULSE:HOLDOFF?", cTime, &AltFields::pulseHold},
    {tPulse, "PULSE:SENSITIVITY?", cSens, &AltFields::pulseSens},
    {tVideo, "VIDEO:POLARITY?", cPolarity, &AltFields::videoPol},
    {tVideo, "VIDEO:MODE?", cSync, &AltFields::videoSync},
    {tVideo, "VIDEO:LINE?", cNone, &AltFields::videoLine},
    {tVideo, "VIDEO:STANDARD?", cNone, &AltFields::videoStd},
    {tVideo, "VIDEO:LEVEL?", cDiv, &AltFields::videoLevel},
    {tVideo, "VIDEO:SENSITIVITY?", cSens, &AltFields::videoSens},
    {tVideo, "VIDEO:HOLDOFF?", cTime, &AltFields::videoHold},
    {tSlope, "SLOPE:COUPLING?", cCoupling, &AltFields::slopeCoupling},
    {tSlope, "SLOPE:MODE?", cSlopeMode, &AltFields::slopeMode},
    {tSlope, "SLOPE:TIME?", cTime, &AltFields::slopeTime},
    {tSlope, "SLOPE:LEVELA?", cDiv, &AltFields::slopeLevelA},
    {tSlope, "SLOPE:LEVELB?", cDiv, &AltFields::slopeLevelB},
    {tSlope, "SLOPE:SENSITIVITY?", cSens, &AltFields::slopeSens},
    {tSlope, "SLOPE:HOLDOFF?", cTime, &AltFields::slopeHold},
};

// Whether a non-empty reply is one the read-back's conversion knows.
bool knownReply(Conv c, const QString& reply) {
    switch (c) {
    case cEdgeSlope: return IsKnownReply(EdgeSlopeToText, reply);
    case cCoupling: return IsKnownReply(CouplingToText, reply);
    case cDiv: case cTime: case cSens: return IsNumberReply(reply);
    case cPulseMode: return IsKnownReply(PulseModeToText, reply);
    case cSlopeMode: return IsKnownReply(SlopeModeToText, reply);
    case cPolarity: return IsKnownReply(VideoPolarityToText, reply);
    case cSync: return IsKnownReply(VideoSyncToText, reply);
    case cNone: return IsNumberReply(reply) || IsVideoStandardReply(reply);  // line or standard
    }
    return false;
}

bool convert(Conv c, const QString& reply, QString& out) {
    switch (c) {
    case cEdgeSlope: out = EdgeSlopeToText(reply); return true;
    case cCoupling: out = CouplingToText(reply); return true;
    case cDiv: return false;  // levels go by ReadLevelRow
    case cTime: out = FormatTime3(reply); return true;
    case cSens: out = DivText(reply); return true;
    case cPulseMode: out = PulseModeToText(reply); return true;
    case cSlopeMode: out = SlopeModeToText(reply); return true;
    case cPolarity: out = VideoPolarityToText(reply); return true;
    case cSync: out = VideoSyncToText(reply); return true;
    case cNone: out = reply; return true;
    }
    return false;
}

// Rows of one channel. `g` is the channel's tree group.
void addChannel(std::vector<Row>& rows, int ch, const AltFields& f) {
    const int g = ch == 1 ? 19 : 20;
    const int chLabel = ch == 1 ? lCH1 : lCH2;
    const QString source = ch == 1 ? "CH1" : "CH2";

    Row type;
    type.key = {lTrigger, chLabel, lTrigType};
    type.custom = [ch, g, f](Applier& a) {
        const QString value = a.v.ComboText;
        a.s.*f.type = value;
        a.node(g, 5, lTrigType, value);
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
        r.key = {lTrigger, chLabel, label};
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
        r.key = {lTrigger, chLabel, label};
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

    rows.push_back(choice(lSlope, 6, f.edgeSlope, alt + "EDGE:SLOPE ", conv(EdgeSlopeToKeyword)));
    rows.push_back(choice(lPulseMode, 7, f.pulseMode, alt + "PULSE:MODE ",
                          conv(PulseModeToKeyword)));
    rows.push_back(time(lPulseWidth, 8, f.pulseWidth, alt + "PULSE:TIME"));
    rows.push_back(choice(lSlopeMode, 9, f.slopeMode, alt + "SLOPE:MODE ",
                          conv(SlopeModeToKeyword)));
    rows.push_back(time(lSlopeTime, 10, f.slopeTime, alt + "SLOPE:TIME"));
    rows.push_back(choice(lPolarity, 12, f.videoPol, alt + "VIDEO:POLARITY ",
                          conv(VideoPolarityToKeyword)));
    rows.push_back(choice(lSync, 13, f.videoSync, alt + "VIDEO:MODE ",
                          [](const QString& v, const QString&) {
                              return VideoSyncToKeyword(v).toUpper();
                          }));
    rows.push_back(choice(lLineNumber, 14, f.videoLine, alt + "VIDEO:LINE ", nullptr));
    Row standard = choice(lVideoStandard, 15, f.videoStd, alt + "VIDEO:STANDARD ",
                          conv(VideoStandardConv));
    standard.pause = 100;
    standard.also = [f, g](Applier& a, const QString&) {
        const QString line = TrimReply(QueryCmd(":TRIGGER:ALTERNATION:VIDEO:LINE?"));
        if (StoreReadBack(a.s.*f.videoLine, line, nullptr, IsNumberReply(line)))
            a.node(g, 14, lLineNumber, a.s.*f.videoLine);
    };
    rows.push_back(standard);

    Row coupling = choice(lCoupling, 16, nullptr, alt + "%1:COUPLING ", conv(CouplingToKeyword));
    coupling.pick = byType(lCoupling, 16, {&AltFields::edgeCoupling, &AltFields::pulseCoupling,
                                           nullptr, &AltFields::slopeCoupling});
    rows.push_back(coupling);
    Row lv = choice(lLevel, 17, nullptr, alt + "%1:LEVEL ", level);
    lv.pick = byType(lLevel, 17, {&AltFields::edgeLevel, &AltFields::pulseLevel,
                                  &AltFields::videoLevel, nullptr});
    rows.push_back(lv);
    rows.push_back(choice(lLevelA, 18, f.slopeLevelA, alt + "SLOPE:LEVELA ", level));
    rows.push_back(choice(lLevelB, 19, f.slopeLevelB, alt + "SLOPE:LEVELB ", level));
    Row sens = choice(lSensitivity, 20, nullptr, alt + "%1:SENSITIVITY ", nullptr);
    sens.pick = byType(lSensitivity, 20, {&AltFields::edgeSens, &AltFields::pulseSens,
                                          &AltFields::videoSens, &AltFields::slopeSens});
    rows.push_back(sens);
    Row hold = time(lHoldoff, 21, nullptr, alt + "%1:HOLDOFF");
    hold.pick = byType(lHoldoff, 21, {&AltFields::edgeHold, &AltFields::pulseHold,
                                      &AltFields::videoHold, &AltFields::slopeHold});
    rows.push_back(hold);
}
}  // namespace

namespace {
// The level read-backs of type t, in their order.
std::vector<const ReadBack*> levelReadBacks(int t) {
    std::vector<const ReadBack*> out;
    for (const ReadBack& r : kReadBacks)
        if (r.type == t && r.conv == cDiv) out.push_back(&r);
    return out;
}

void markLevels(CtrlSettings& s, const AltFields& f, int t) {
    for (const ReadBack* r : levelReadBacks(t)) MarkLevelNotKnown(s.*(f.*r->field));
}

// One level read-back of the channel; after one that failed, the type's
// other levels are marked as not known. False when it failed.
bool readLevel(CtrlSettings& s, const AltFields& f, const ReadBack& r, const LevelBase& base) {
    if (ReadLevelRow(":TRIGGER:ALTERNATION:" + QString::fromLatin1(r.query), base, s.*(f.*r.field))) return true;
    bool after = false;
    for (const ReadBack* other : levelReadBacks(r.type)) {
        if (after) MarkLevelNotKnown(s.*(f.*other->field));
        after = after || other == &r;
    }
    return false;
}
}  // namespace

void GetTriggerAltTrigType(CtrlSettings& s, int channel) {
    const int n = channel == 1 ? 1 : 2;
    const AltFields& f = n == 1 ? kCH1 : kCH2;
    const int t = typeOf(s, f);
    const QString scale = TrimReply(QueryCmd(":CHANNEL" + QString::number(n) + ":SCALE?"));
    if (scale.isEmpty() || !IsNumberReply(scale)) {
        // No level can be read without it; they are not known.
        if (!ReplyLost(scale)) ReplyGarbled();
        markLevels(s, f, t);
        return;
    }
    // Without the channel's offset (reported) the levels are not known; the rest is read.
    double offset = 0;
    const bool offsetRead = ReadLevelOffset(n == 1 ? "CH1" : "CH2", offset);
    const LevelBase base = offsetRead ? DivisionsBase(scale, offset) : LevelBase();
    SendCmd(selectCmd(n));
    if (t < 0) return;
    for (const ReadBack& r : kReadBacks) {
        if (r.type != t) continue;
        if (r.conv == cDiv) {
            if (!readLevel(s, f, r, base)) return;  // the read-back ends here
            continue;
        }
        const QString reply =
            TrimReply(QueryCmd(":TRIGGER:ALTERNATION:" + QString::fromLatin1(r.query)));
        QString out;
        // A reply that makes no sense stores nothing; the others are still read.
        if (!reply.isEmpty() && !knownReply(r.conv, reply)) {
            StoreReadBack(out, reply, nullptr, false);
            continue;
        }
        if (ReplyLost(reply)) continue;  // stores nothing; reported
        if (!convert(r.conv, reply, out)) return;
        s.*(f.*r.field) = out;
    }
}

void ReadBackAltLevels(Applier& a, int ch) {
    const AltFields& f = ch == 1 ? kCH1 : kCH2;
    const int t = typeOf(a.s, f);
    if (t < 0) return;
    const int g = ch == 1 ? 19 : 20;
    auto show = [&] {
        for (const ReadBack* r : levelReadBacks(t)) {
            const QString query = QString::fromLatin1(r->query);
            const bool levelA = query.endsWith("LEVELA?"), levelB = query.endsWith("LEVELB?");
            a.node(g, levelA ? 18 : levelB ? 19 : 17, levelA ? lLevelA : levelB ? lLevelB : lLevel,
                   a.s.*(f.*r->field));
        }
    };
    // A reply just before (the channel's offset) got no answer: nothing more
    // is asked, and the levels are not known.
    LevelBase base;
    if (!Link().ReplyFailed) base = ReadLevelBase(ch == 1 ? "CH1" : "CH2", false, false);
    if (base.kind == LevelBase::Unknown) {
        markLevels(a.s, f, t);
        return show();
    }
    SendCmd(selectCmd(ch));
    for (const ReadBack* r : levelReadBacks(t))
        if (!readLevel(a.s, f, *r, base)) break;
    show();
}

void AddAlternationRows(std::vector<Row>& rows) {
    addChannel(rows, 1, kCH1);
    addChannel(rows, 2, kCH2);
}
