// Download of all settings (transfer job 23): every mirrored setting read
// back from the instrument as display text of the UI language, into a copy of
// the mirror that replaces it only when every reply came and the link stayed
// up.
#include <QStringList>
#include <QtGlobal>
#include <algorithm>
#include <cmath>

#include "controller/CtrlFile.h"
#include "controller/CtrlTree.h"
#include "controller/CtrlValueNames.h"
#include "controller/SettingsTransfer.h"
#include "controller/SettingsTransferSteps.h"
#include "link/Converters.h"
#include "link/Formatters.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/ReplyParse.h"
#include "link/SettingCatalog.h"
#include "link/Vocabulary.h"
#include "platform/dialogs/MsgBox.h"

namespace {

using Field = QString CtrlSettings::*;
using Conv = QString (*)(const QString&);
using Check = bool (*)(const QString&);

QString Trimmed(const QString& reply) { return reply; }

// Replies of the settings read as they come: what each must look like.
bool IsWholeNumberReply(const QString& reply) {
    bool ok = false;
    reply.trimmed().toLongLong(&ok);
    return ok;
}
bool IsRunStatusReply(const QString& reply) {
    for (const char* w : {"RUN", "STOP", "T'D", "WAIT", "AUTO"})
        if (reply == QLatin1String(w)) return true;
    return false;
}
// "value,mask" then optionally the edge channel and sense.
bool IsPatternReply(const QString& reply) {
    const QStringList f = reply.split(',');
    return f.size() >= 2 && f.size() <= 4 && IsWholeNumberReply(f[0]) && IsWholeNumberReply(f[1]);
}

// How a reply becomes a field's text.
enum class Kind { Conv, Level, Sensitivity };

struct AltRow {
    const char* query;
    Kind kind;
    Field ch1;
    Field ch2;
    Conv conv = nullptr;
    bool step = false;
    Check known = nullptr;  // for a reply read as it comes (else the converter's rule)
};
#define KV_ALT(header, kind, name, conv, step, ...)                                                \
    {":TRIGGER:ALTERNATION:" header "?", Kind::kind, &CtrlSettings::AltCH1##name,                 \
     &CtrlSettings::AltCH2##name, conv, step, __VA_ARGS__}
// The alternation trigger of one channel: all four types, whatever its type is.
const AltRow kAltRows[] = {
    KV_ALT("TYPE", Conv, TrigType, TrigModeToText, false),
    KV_ALT("EDGE:SLOPE", Conv, EdgeSlope, EdgeSlopeToText, false),
    KV_ALT("EDGE:COUPLING", Conv, EdgeCoupling, CouplingToText, false),
    KV_ALT("EDGE:LEVEL", Level, EdgeLevel, nullptr, false),
    KV_ALT("EDGE:HOLDOFF", Conv, EdgeHoldoff, FormatTime3, false),
    KV_ALT("EDGE:SENSITIVITY", Sensitivity, EdgeSensitivity, nullptr, true),
    KV_ALT("PULSE:MODE", Conv, PulseMode, PulseModeToText, false),
    KV_ALT("PULSE:TIME", Conv, PulseWidth, FormatTime3, false),
    KV_ALT("PULSE:COUPLING", Conv, PulseCoupling, CouplingToText, false),
    KV_ALT("PULSE:LEVEL", Level, PulseLevel, nullptr, false),
    KV_ALT("PULSE:HOLDOFF", Conv, PulseHoldoff, FormatTime3, false),
    KV_ALT("PULSE:SENSITIVITY", Sensitivity, PulseSensitivity, nullptr, true),
    KV_ALT("VIDEO:POLARITY", Conv, VideoPolarity, VideoPolarityToText, false),
    KV_ALT("VIDEO:MODE", Conv, VideoSync, VideoSyncToText, false),
    KV_ALT("VIDEO:LINE", Conv, VideoLine, Trimmed, false, IsWholeNumberReply),
    KV_ALT("VIDEO:STANDARD", Conv, VideoStandard, Trimmed, false, IsVideoStandardReply),
    KV_ALT("VIDEO:LEVEL", Level, VideoLevel, nullptr, false),
    KV_ALT("VIDEO:SENSITIVITY", Sensitivity, VideoSensitivity, nullptr, true),
    KV_ALT("SLOPE:COUPLING", Conv, SlopeCoupling, CouplingToText, false),
    KV_ALT("SLOPE:MODE", Conv, SlopeMode, SlopeModeToText, false),
    KV_ALT("SLOPE:TIME", Conv, SlopeTime, FormatTime3, false),
    KV_ALT("SLOPE:LEVELA", Level, SlopeLevelA, nullptr, false),
    KV_ALT("SLOPE:LEVELB", Level, SlopeLevelB, nullptr, false),
    KV_ALT("SLOPE:SENSITIVITY", Sensitivity, SlopeSensitivity, nullptr, true),
};
#undef KV_ALT

// The scale and offset by which a block turns its levels into divisions.
struct LevelBase {
    QString scale;  // empty: the source has none, levels keep their text
    double offset = 0;
};

class Downloader {
public:
    Downloader(CtrlSettings& s, double step) : s_(s), step_(step) {}

    bool Ok() const { return ok_; }
    // The setting (with its query) whose reply came but could not be read,
    // and that reply; empty when the download did not end on one.
    const QString& UnreadableSetting() const { return unreadable_; }
    const QString& UnreadableReply() const { return unreadableReply_; }

    // One query (for `field`, when it reads one); its reply cut at the line
    // feed. A reply that does not come, a link that drops, a cut reply
    // holding what no setting may hold (a control character, a double quote
    // or ";": it could neither be stored in a controller file nor sent back
    // in a command), or one that is not what the setting holds (`known`: an
    // unknown word, a number that does not parse) ends the download.
    QString Ask(const QString& query, Check known, bool trim = true, Field field = nullptr) {
        if (!ok_) return QString();
        QString reply = QueryCmd(query);
        if (trim) reply = TrimReply(reply);
        if (reply.isEmpty() || !Link().IsConnected) {
            // An empty line is no answer either: the link is out of step
            // (a reply that did not come, the transport has said so).
            if (!Link().ReplyFailed) NoteReplyGarbled();
            ok_ = false;
            return QString();
        }
        if ((trim && !IsCtrlValueText(reply)) || (known && !known(reply))) Unreadable(query, reply, field);
        return ok_ ? reply : QString();
    }

    // Ends the download on a reply that came but that the setting cannot hold.
    void Unreadable(const QString& query, const QString& reply, Field field) {
        NoteReplyGarbled();  // not its question's answer: the link is out of step
        ok_ = false;
        unreadable_ = query;
        if (field) {
            const int n = CtrlValueNumber(s_, &(s_.*field));
            if (n > 0) unreadable_ = CtrlValueName(n) + " (" + query + ")";
        }
        unreadableReply_ = reply;
    }

    void Command(const QString& command) {
        if (!ok_) return;
        SendCmd(command);
        if (!Link().IsConnected) ok_ = false;
    }

    void Step() {
        if (ok_) SettingsProgressStep(step_);
    }

    // A reply the converter knows (or, read as it comes, one `known` accepts)
    // and whose word is one of the setting's own (SettingCatalog): a coupling
    // "LF" is no channel's coupling, "ALTERNATION" no alternation slope.
    void Read(const char* query, Field field, Conv conv, bool step = true, Check known = nullptr) {
        QString reply = Ask(query, nullptr, true, field);
        if (ok_ && !(known ? known(reply) : IsKnownReply(conv, reply))) Unreadable(query, reply, field);
        if (!ok_) return;
        const QString text = conv(reply);
        const int number = CtrlValueNumber(s_, &(s_.*field));
        if (SettingOf(number).form == ValueForm::Words && !SettingHolds(s_, number, text)) {
            Unreadable(query, reply, field);
            return;
        }
        s_.*field = text;
        if (step) Step();
    }

    // A level reply in volts stored as divisions of the block's base; without
    // a base the field keeps its text.
    void ReadLevel(const char* query, Field field, const LevelBase& base, bool step = true) {
        const QString reply = Ask(query, IsNumberReply, true, field);
        if (!ok_) return;
        const QString text = LevelDivText(reply, base.offset, base.scale);
        if (!text.isEmpty()) s_.*field = text;
        if (step) Step();
    }

    // A sensitivity reply (a number) as "#0.00div".
    void ReadSensitivity(const char* query, Field field, bool step = true) {
        const QString reply = Ask(query, IsNumberReply, true, field);
        if (!ok_) return;
        s_.*field = FormatWithMask(reply.trimmed().toDouble(), "#0.00") + "div";
        if (step) Step();
    }

    // A channel's offset: stored as volts text, its number kept for the levels.
    double ReadOffset(int channel, Field field) {
        const QString reply = Ask(":CHANNEL" + QString::number(channel) + ":OFFSET?", IsNumberReply, true, field);
        if (!ok_) return 0;
        s_.*field = FormatVolt(reply);
        Step();
        return LeadingNumber(reply);
    }

    // The base of a source text: CH1/CH2 ask for the channel's scale; EXT and
    // EXT5 have fixed ones; the edge block's AC-line source (`acLine`) has 0.
    // Returns false for a source without a base (a logic channel, another text).
    bool BaseOf(const QString& source, LevelBase& base, bool acLine = false) {
        base = LevelBase();
        if (source == "CH1" || source == "CH2") {
            const int ch = source == "CH1" ? 1 : 2;
            base.scale = Ask(":CHANNEL" + QString::number(ch) + ":SCALE?", IsNumberReply);
            base.offset = offset_[ch];
        } else if (source == "EXT") {
            base.scale = "0.2";
        } else if (source == "EXT5") {
            base.scale = "1";
        } else if (acLine) {
            base.scale = "0";
        } else {
            return false;
        }
        return true;
    }

    // Edge and pulse levels: a logic-channel source reads the threshold.
    void ReadEdgeOrPulseLevel(const char* levelQuery, Field field, bool digital,
                              const LevelBase& base) {
        if (!digital) return ReadLevel(levelQuery, field, base);
        const QString text = LaThresholdToText(Ask(":LA:THRESHOLD?", IsThresholdReply, true, field));
        if (!ok_) return;
        if (!text.isEmpty()) s_.*field = text;
        Step();
    }

    void Run(bool la);

private:
    void Channel(int ch);
    void EdgeBlock();
    void PulseBlock();
    void VideoOrSlopeSource(const char* query, Field field, LevelBase& base);
    void Alternation(int ch);
    void LogicAnalyser();

    CtrlSettings& s_;
    double step_;
    bool ok_ = true;
    double offset_[3] = {0, 0, 0};
    QString unreadable_;
    QString unreadableReply_;
};

// A reply as a message shows it: quoted, control characters as "\xNN",
// cut after 60 characters.
QString ShownReply(const QString& reply) {
    constexpr int kShown = 60;
    QString out;
    for (QChar c : reply.left(kShown)) {
        const ushort u = c.unicode();
        if (u < 0x20 || (u >= 0x7f && u < 0xa0)) out += QString("\\x%1").arg(u, 2, 16, QLatin1Char('0'));
        else out += c;
    }
    if (reply.size() > kShown) out += "...";
    return QLatin1Char('"') + out + QLatin1Char('"');
}

void Downloader::Channel(int ch) {
    const bool one = ch == 1;
    const QString head = ":CHANNEL" + QString::number(ch);
    auto q = [&](const char* tail) { return (head + tail).toLatin1(); };
    Read(q(":PROBE?"), one ? &CtrlSettings::CH1Probe : &CtrlSettings::CH2Probe, ProbeToText);
    Read(q(":SCALE?"), one ? &CtrlSettings::CH1Scale : &CtrlSettings::CH2Scale, FormatVolt);
    Read(q(":COUPLING?"), one ? &CtrlSettings::CH1Coupling : &CtrlSettings::CH2Coupling, CouplingToText);
    Read(q(":BWLIMIT?"), one ? &CtrlSettings::CH1BWLimit : &CtrlSettings::CH2BWLimit, OnOffToText);
    Read(q(":DISPLAY?"), one ? &CtrlSettings::CH1Display : &CtrlSettings::CH2Display, OnOffToText);
    offset_[ch] = ReadOffset(ch, one ? &CtrlSettings::CH1Offset : &CtrlSettings::CH2Offset);
}

void Downloader::EdgeBlock() {
    Read(":TRIGGER:EDGE:SOURCE?", &CtrlSettings::TriggerEdgeSource, TrigSourceToText);
    LevelBase base;
    // The AC-line source compares as the AC-line word, never the coupling word.
    const bool digital =
        ok_ && !BaseOf(s_.TriggerEdgeSource, base, s_.TriggerEdgeSource == ValueWord(vwAcLine));
    Read(":TRIGGER:EDGE:SLOPE?", &CtrlSettings::TriggerEdgeSlope, EdgeSlopeToText);
    Read(":TRIGGER:EDGE:SWEEP?", &CtrlSettings::TriggerEdgeSweep, SweepToText);
    Read(":TRIGGER:EDGE:COUPLING?", &CtrlSettings::TriggerEdgeCoupling, CouplingToText);
    ReadEdgeOrPulseLevel(":TRIGGER:EDGE:LEVEL?", &CtrlSettings::TriggerEdgeLevel, digital, base);
    ReadSensitivity(":TRIGGER:EDGE:SENSITIVITY?", &CtrlSettings::TriggerEdgeSensitivity);
}

void Downloader::PulseBlock() {
    Read(":TRIGGER:PULSE:SOURCE?", &CtrlSettings::TriggerPulseSource, Trimmed, true, IsSourceReply);
    LevelBase base;
    const bool digital = ok_ && !BaseOf(s_.TriggerPulseSource, base);
    Read(":TRIGGER:PULSE:MODE?", &CtrlSettings::TriggerPulseMode, PulseModeToText);
    Read(":TRIGGER:PULSE:WIDTH?", &CtrlSettings::TriggerPulseWidth, FormatTime3);
    Read(":TRIGGER:PULSE:SWEEP?", &CtrlSettings::TriggerPulseSweep, SweepToText);
    Read(":TRIGGER:PULSE:COUPLING?", &CtrlSettings::TriggerPulseCoupling, CouplingToText);
    ReadEdgeOrPulseLevel(":TRIGGER:PULSE:LEVEL?", &CtrlSettings::TriggerPulseLevel, digital, base);
    ReadSensitivity(":TRIGGER:PULSE:SENSITIVITY?", &CtrlSettings::TriggerPulseSensitivity);
}

void Downloader::VideoOrSlopeSource(const char* query, Field field, LevelBase& base) {
    Read(query, field, Trimmed, true, IsSourceReply);
    if (ok_) BaseOf(s_.*field, base);  // no base: the block's levels keep their text
}

void Downloader::Alternation(int ch) {
    LevelBase base;
    base.scale = Ask(":CHANNEL" + QString::number(ch) + ":SCALE?", IsNumberReply);
    base.offset = offset_[ch];
    Command(":TRIGGER:ALTERNATION:SOURCE CHANNEL" + QString::number(ch));
    for (const AltRow& r : kAltRows) {
        const Field f = ch == 1 ? r.ch1 : r.ch2;
        switch (r.kind) {
        case Kind::Conv: Read(r.query, f, r.conv, r.step, r.known); break;
        case Kind::Level: ReadLevel(r.query, f, base, r.step); break;
        case Kind::Sensitivity: ReadSensitivity(r.query, f, r.step); break;
        }
    }
}

void Downloader::LogicAnalyser() {
    Read(":LA:DISPLAY?", &CtrlSettings::LADisplay, OnOffToText, false);
    const QString status = Ask(":LA:STATUS?", IsWholeNumberReply);
    if (ok_) ApplyLaStatus(s_, status);
    Step();
    const QString location = Ask(":LA:LOCATION?", IsLocationReply, false);  // read as it comes
    if (ok_) ApplyLaLocation(s_, location);
    Step();
    const QString threshold =
        LaThresholdUserText(Ask(":LA:THRESHOLD?", IsThresholdReply, true, &CtrlSettings::LAThreshold));
    if (ok_ && !threshold.isEmpty()) s_.LAThreshold = threshold;
    Step();
}

void Downloader::Run(bool la) {
    const QString status = Ask(":TRIGGER:STATUS?", IsRunStatusReply, true, &CtrlSettings::RunStop);
    if (ok_) s_.RunStop = RunStateToText(status == "STOP" ? "STOP" : "RUN");
    Step();

    for (int ch = 1; ch <= 2; ++ch) {
        Command(":TRIGGER:ALTERNATION:SOURCE CHANNEL" + QString::number(ch));
        Read(":TRIGGER:ALTERNATION:TIMESCALE?",
             ch == 1 ? &CtrlSettings::AltCH1TimeBaseScale : &CtrlSettings::AltCH2TimeBaseScale, FormatTime4);
        Read(":TRIGGER:ALTERNATION:TIMEOFFSET?",
             ch == 1 ? &CtrlSettings::AltCH1TimeBaseOffset : &CtrlSettings::AltCH2TimeBaseOffset, FormatTime4);
    }

    Read(":TIMEBASE:FORMAT?", &CtrlSettings::TimeBaseFormat, TimebaseFormatToText);
    Read(":TIMEBASE:SCALE?", &CtrlSettings::TimeBaseScale, FormatTime4);
    Read(":TIMEBASE:OFFSET?", &CtrlSettings::TimeBaseOffset, FormatTime4);
    Channel(1);
    Channel(2);
    Read(":TRIGGER:MODE?", &CtrlSettings::TriggerMethod, TrigModeToText);
    Read(":TRIGGER:HOLDOFF?", &CtrlSettings::TriggerHoldoff, FormatTime3);

    EdgeBlock();
    PulseBlock();

    LevelBase video;
    VideoOrSlopeSource(":TRIGGER:VIDEO:SOURCE?", &CtrlSettings::TriggerVideoSource, video);
    Read(":TRIGGER:VIDEO:POLARITY?", &CtrlSettings::TriggerVideoPolarity, VideoPolarityToText);
    Read(":TRIGGER:VIDEO:MODE?", &CtrlSettings::TriggerVideoSync, VideoSyncToText);
    Read(":TRIGGER:VIDEO:LINE?", &CtrlSettings::TriggerVideoLine, Trimmed, true, IsWholeNumberReply);
    Read(":TRIGGER:VIDEO:STANDARD?", &CtrlSettings::TriggerVideoStandard, Trimmed, true, IsVideoStandardReply);
    ReadLevel(":TRIGGER:VIDEO:LEVEL?", &CtrlSettings::TriggerVideoLevel, video);
    ReadSensitivity(":TRIGGER:VIDEO:SENSITIVITY?", &CtrlSettings::TriggerVideoSensitivity);

    LevelBase slope;
    VideoOrSlopeSource(":TRIGGER:SLOPE:SOURCE?", &CtrlSettings::TriggerSlopeSource, slope);
    Read(":TRIGGER:SLOPE:COUPLING?", &CtrlSettings::TriggerSlopeCoupling, CouplingToText);
    Read(":TRIGGER:SLOPE:SWEEP?", &CtrlSettings::TriggerSlopeSweep, SweepToText);
    Read(":TRIGGER:SLOPE:MODE?", &CtrlSettings::TriggerSlopeMode, SlopeModeToText);
    Read(":TRIGGER:SLOPE:TIME?", &CtrlSettings::TriggerSlopeTime, FormatTime3);
    ReadLevel(":TRIGGER:SLOPE:LEVELA?", &CtrlSettings::TriggerSlopeLevelA, slope);
    ReadLevel(":TRIGGER:SLOPE:LEVELB?", &CtrlSettings::TriggerSlopeLevelB, slope);
    ReadSensitivity(":TRIGGER:SLOPE:SENSITIVITY?", &CtrlSettings::TriggerSlopeSensitivity);

    if (la) {
        for (bool pattern : {true, false}) {
            QString reply = Ask(pattern ? ":TRIGGER:PATTERN:PATTERN?" : ":TRIGGER:DURATION:PATTERN?", IsPatternReply);
            if (ok_) PatternText(reply, pattern ? s_.TriggerPatternCode : s_.TriggerDurationCode);
            Step();
            if (pattern) Read(":TRIGGER:PATTERN:SWEEP?", &CtrlSettings::TriggerPatternSweep, SweepToText);
        }
        Read(":TRIGGER:DURATION:QUALIFIER?", &CtrlSettings::TriggerDurationQualifier, DurationQualToText);
        Read(":TRIGGER:DURATION:TIME?", &CtrlSettings::TriggerDurationTime, FormatTime3);
        Read(":TRIGGER:DURATION:SWEEP?", &CtrlSettings::TriggerDurationSweep, SweepToText);
    }

    Alternation(1);
    Alternation(2);
    if (la) LogicAnalyser();

    Read(":ACQUIRE:MODE?", &CtrlSettings::AcquireSampling, AcqModeToText);
    Read(":ACQUIRE:TYPE?", &CtrlSettings::AcquireType, AcqTypeToText);
    Read(":ACQUIRE:AVERAGES?", &CtrlSettings::AcquireAverages, Trimmed, true, IsWholeNumberReply);
    Read(":DISPLAY:TYPE?", &CtrlSettings::DisplayType, DisplayTypeToText);
    Read(":DISPLAY:PERSIST?", &CtrlSettings::DisplayPersist, OnOffToText);
    Read(":DISPLAY:GRID?", &CtrlSettings::DisplayGrid, GridToText);
}

quint32 UnsignedOf(const QString& text) {
    const double v = LeadingNumber(text);
    if (!(v > 0)) return 0;
    return v >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<quint32>(v);
}

}  // namespace

void ApplyLaStatus(CtrlSettings& s, const QString& reply) {
    const double v = std::nearbyint(LeadingNumber(reply));
    const qint64 status = std::isfinite(v) ? static_cast<qint64>(std::clamp(v, -2147483648.0, 2147483647.0)) : 0;
    for (int k = 1; k <= 16; ++k)
        s.LAChannelDisplay[k] = ValueWord((status >> (16 - k)) & 1 ? vwOn : vwOff);
    auto group = [&](int first) {
        for (int k = first; k < first + 8; ++k)
            if (s.LAChannelDisplay[k] != ValueWord(vwOn)) return ValueWord(vwOff);
        return ValueWord(vwOn);
    };
    s.LAGroupHighDisplay = group(1);
    s.LAGroupLowDisplay = group(9);
}

bool IsLocationReply(const QString& reply) {
    const QStringList f = TrimReply(reply).split(',');
    return f.size() == 2 && IsWholeNumberReply(f[0]) && IsWholeNumberReply(f[1]);
}

void ApplyLaLocation(CtrlSettings& s, const QString& reply) {
    const int comma = reply.indexOf(',');
    const quint32 low = comma < 0 ? 0 : UnsignedOf(reply.left(comma));
    const quint32 high = UnsignedOf(comma < 0 ? reply : reply.mid(comma + 1));
    for (int n = 0; n <= 15; ++n) {
        const quint32 word = n < 8 ? low : high;
        s.LAChannelPosition[16 - n] = QString::number((word >> (4 * (n % 8))) & 0xF);
    }
}

void DownloadSettings() {
    const bool la = Link().LAPresent;
    CtrlSettings copy = DSOSettings();
    Downloader down(copy, la ? 100.0 / 76 : 100.0 / 67);
    const QString active = Link().IsConnected ? down.Ask(":CHANNEL:ACTIVE?", nullptr) : QString();
    if (Link().IsConnected && down.Ok()) down.Run(la);

    const bool committed = down.Ok() && Link().IsConnected;
    LastSettingsTransfer().DownloadCommitted = committed;
    if (committed) {
        DSOSettings() = copy;
        // The branches the user had open stay open.
        RebuildCtrlTree();
    }
    // The instrument's active channel back as it was (the alternation source
    // commands may have moved it).
    if (Link().IsConnected && !active.isEmpty()) SendCmd(":CHANNEL:ACTIVE " + active);
    if (committed) return;
    if (!down.UnreadableSetting().isEmpty())
        MsgBox(MessageTable().MsgDownloadUnreadable.arg(down.UnreadableSetting(), ShownReply(down.UnreadableReply())),
               vbExclamation);
    else
        MsgBox(MessageTable().MsgDownloadIncomplete, vbExclamation);
}
