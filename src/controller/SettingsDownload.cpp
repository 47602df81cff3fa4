// Download of all settings (transfer job 23): every mirrored setting read
// back from the instrument as display text of the UI language, into a copy of
// the mirror that replaces it only when every reply came and the link stayed
// up.
#include <QHash>
#include <QStringList>
#include <QtGlobal>
#include <algorithm>
#include <cmath>

#include "controller/CtrlFile.h"
#include "controller/CtrlTree.h"
#include "controller/CtrlValueNames.h"
#include "controller/CtrlState.h"
#include "controller/LevelMark.h"
#include "controller/SettingsTransfer.h"
#include "controller/SettingsTransferSteps.h"
#include "link/Converters.h"
#include "link/Formatters.h"
#include "link/KV2200Cmd.h"
#include "link/LevelBase.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/ReplyParse.h"
#include "link/SettingCatalog.h"
#include "link/Vocabulary.h"
#include "platform/dialogs/MsgBox.h"

namespace {

using Field = QString CtrlSettings::*;
using Check = bool (*)(const QString&);

// Replies of the settings read as they come: what each must look like.
bool IsIntegerReply(const QString& reply) {
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
    return f.size() >= 2 && f.size() <= 4 && IsIntegerReply(f[0]) && IsIntegerReply(f[1]);
}

using S = CtrlSettings;

// One step of the download's sequence. The query of a setting and its reply
// converter are the catalog's (SettingOf(n).query, .reply).
enum class Op {
    Status,      // the run state, from the trigger status
    AltSource,   // ":TRIGGER:ALTERNATION:SOURCE CHANNELn" (the channel's alternation settings follow)
    AltTrigger,  // the same, after asking the channel's scale for its alternation levels
    Read,        // a setting through its converter (or as it comes, `known` judging it)
    Offset,      // a channel's offset (its number kept for the levels)
    Source,      // a trigger source; its levels' base follows by the level rule
    Level,       // a trigger level, on its source's base (or the threshold)
    Codes,       // the pattern or duration codes
    LaStatus,    // the sixteen channel displays in one number
    LaLocation,  // the sixteen positions in two numbers
    LaThreshold, // the analyser's threshold
};

struct DownRow {
    Op op;
    Field field = nullptr;
    bool step = true;
    Check known = nullptr;  // a reply read as it comes: what it must be
    int channel = 0;        // AltSource, AltTrigger, Offset
    CtrlCodeArray S::*codes = nullptr;
};

DownRow D(Op op, Field f, bool step = true, Check known = nullptr) { return {op, f, step, known}; }
DownRow Read(Field f, bool step = true) { return {Op::Read, f, step}; }
DownRow AsItComes(Field f, Check known) { return {Op::Read, f, true, known}; }
DownRow Channel(Op op, int ch) { return {op, nullptr, true, nullptr, ch}; }

// The sequence, in the order the instrument is asked. Blocks whose
// settings a mirror has whatever the method: every method's trigger, both
// channels' alternation triggers of every type.
const DownRow kHeadRows[] = {
    D(Op::Status, &S::RunStop),
    Channel(Op::AltSource, 1),
    Read(&S::AltCH1TimeBaseScale),
    Read(&S::AltCH1TimeBaseOffset),
    Channel(Op::AltSource, 2),
    Read(&S::AltCH2TimeBaseScale),
    Read(&S::AltCH2TimeBaseOffset),
    Read(&S::TimeBaseFormat),
    Read(&S::TimeBaseScale),
    Read(&S::TimeBaseOffset),
    Read(&S::CH1Probe),
    Read(&S::CH1Scale),
    Read(&S::CH1Coupling),
    Read(&S::CH1BWLimit),
    Read(&S::CH1Display),
    {Op::Offset, &S::CH1Offset, true, nullptr, 1},
    Read(&S::CH2Probe),
    Read(&S::CH2Scale),
    Read(&S::CH2Coupling),
    Read(&S::CH2BWLimit),
    Read(&S::CH2Display),
    {Op::Offset, &S::CH2Offset, true, nullptr, 2},
    Read(&S::TriggerMethod),
    Read(&S::TriggerHoldoff),
    // EDGE
    D(Op::Source, &S::TriggerEdgeSource),
    Read(&S::TriggerEdgeSlope),
    Read(&S::TriggerEdgeSweep),
    Read(&S::TriggerEdgeCoupling),
    D(Op::Level, &S::TriggerEdgeLevel),
    Read(&S::TriggerEdgeSensitivity),
    // PULSE
    D(Op::Source, &S::TriggerPulseSource, true, IsSourceReply),
    Read(&S::TriggerPulseMode),
    Read(&S::TriggerPulseWidth),
    Read(&S::TriggerPulseSweep),
    Read(&S::TriggerPulseCoupling),
    D(Op::Level, &S::TriggerPulseLevel),
    Read(&S::TriggerPulseSensitivity),
    // VIDEO
    D(Op::Source, &S::TriggerVideoSource, true, IsSourceReply),
    Read(&S::TriggerVideoPolarity),
    Read(&S::TriggerVideoSync),
    AsItComes(&S::TriggerVideoLine, IsIntegerReply),
    AsItComes(&S::TriggerVideoStandard, IsVideoStandardReply),
    D(Op::Level, &S::TriggerVideoLevel),
    Read(&S::TriggerVideoSensitivity),
    // SLOPE
    D(Op::Source, &S::TriggerSlopeSource, true, IsSourceReply),
    Read(&S::TriggerSlopeCoupling),
    Read(&S::TriggerSlopeSweep),
    Read(&S::TriggerSlopeMode),
    Read(&S::TriggerSlopeTime),
    D(Op::Level, &S::TriggerSlopeLevelA),
    D(Op::Level, &S::TriggerSlopeLevelB),
    Read(&S::TriggerSlopeSensitivity),
};

// PATTERN and DURATION, with the logic analyser.
const DownRow kLaTriggerRows[] = {
    {Op::Codes, nullptr, true, nullptr, 0, &S::TriggerPatternCode},
    Read(&S::TriggerPatternSweep),
    {Op::Codes, nullptr, true, nullptr, 0, &S::TriggerDurationCode},
    Read(&S::TriggerDurationQualifier),
    Read(&S::TriggerDurationTime),
    Read(&S::TriggerDurationSweep),
};

// One channel's alternation trigger: all four types, whatever its type is.
struct AltDownRow {
    Op op;
    Field ch1, ch2;
    bool step;
    Check known = nullptr;
};
#define KV_ALT(op, name, step, ...) {Op::op, &S::AltCH1##name, &S::AltCH2##name, step, ##__VA_ARGS__}
const AltDownRow kAltRows[] = {
    KV_ALT(Read, TrigType, false),
    KV_ALT(Read, EdgeSlope, false),
    KV_ALT(Read, EdgeCoupling, false),
    KV_ALT(Level, EdgeLevel, false),
    KV_ALT(Read, EdgeHoldoff, false),
    KV_ALT(Read, EdgeSensitivity, true),
    KV_ALT(Read, PulseMode, false),
    KV_ALT(Read, PulseWidth, false),
    KV_ALT(Read, PulseCoupling, false),
    KV_ALT(Level, PulseLevel, false),
    KV_ALT(Read, PulseHoldoff, false),
    KV_ALT(Read, PulseSensitivity, true),
    KV_ALT(Read, VideoPolarity, false),
    KV_ALT(Read, VideoSync, false),
    KV_ALT(Read, VideoLine, false, IsIntegerReply),
    KV_ALT(Read, VideoStandard, false, IsVideoStandardReply),
    KV_ALT(Level, VideoLevel, false),
    KV_ALT(Read, VideoSensitivity, true),
    KV_ALT(Read, SlopeCoupling, false),
    KV_ALT(Read, SlopeMode, false),
    KV_ALT(Read, SlopeTime, false),
    KV_ALT(Level, SlopeLevelA, false),
    KV_ALT(Level, SlopeLevelB, false),
    KV_ALT(Read, SlopeSensitivity, true),
};
#undef KV_ALT

// The logic analyser's own settings.
const DownRow kLaRows[] = {
    Read(&S::LADisplay, false),
    D(Op::LaStatus, nullptr, true, IsIntegerReply),
    D(Op::LaLocation, nullptr, true, IsLocationReply),
    D(Op::LaThreshold, &S::LAThreshold, true, IsThresholdReply),
};

const DownRow kTailRows[] = {
    Read(&S::AcquireSampling),
    Read(&S::AcquireType),
    AsItComes(&S::AcquireAverages, IsIntegerReply),
    Read(&S::DisplayType),
    Read(&S::DisplayPersist),
    Read(&S::DisplayGrid),
};

// The trigger of the levels whose source is value `source` (catalog).
LevelTrigger LevelTriggerOfSource(int source) {
    for (const SettingDesc& d : SettingCatalog())
        if (d.levelSource == source && d.levelTrigger != LevelTrigger::None) return d.levelTrigger;
    return LevelTrigger::None;
}

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

    // One step of the sequence.
    void Do(const DownRow& r) {
        switch (r.op) {
        case Op::Status: {
            const QString status = Ask(QueryOf(r.field), IsRunStatusReply, true, r.field);
            if (ok_) s_.*r.field = RunStateToText(status == "STOP" ? "STOP" : "RUN");
            return Step();
        }
        case Op::AltSource: return Command(":TRIGGER:ALTERNATION:SOURCE CHANNEL" + QString::number(r.channel));
        case Op::AltTrigger:
            altBase_ = BaseOf("CH" + QString::number(r.channel), LevelTrigger::Alternation);
            return Command(":TRIGGER:ALTERNATION:SOURCE CHANNEL" + QString::number(r.channel));
        case Op::Read: return Read(r.field, r.step, r.known);
        case Op::Offset: offsets_.channel[r.channel] = ReadOffset(r.field); return;
        case Op::Source: {
            Read(r.field, r.step, r.known);
            bases_[SettingNumber(r.field)] = BaseOf(s_.*r.field, LevelTriggerOfSource(SettingNumber(r.field)));
            return;
        }
        case Op::Level: {
            const SettingDesc& d = SettingOf(r.field);
            const LevelBase& base = d.levelChannel ? altBase_ : bases_[d.levelSource];
            if (base.kind != LevelBase::Threshold) return ReadLevel(r.field, base, r.step);
            const QString text = LaThresholdToText(Ask(":LA:THRESHOLD?", IsThresholdReply, true, r.field));
            if (!ok_) return;
            if (!text.isEmpty()) s_.*r.field = text;
            return Step();
        }
        case Op::Codes: {
            const int first = SettingNumber(r.codes, 1);
            QString reply = Ask(SettingOf(first).query, IsPatternReply);
            if (ok_) PatternText(reply, s_.*r.codes);
            return Step();
        }
        case Op::LaStatus: {
            const QString status = Ask(SettingOf(&S::LAChannelDisplay, 1).query, r.known);
            if (ok_) ApplyLaStatus(s_, status);
            return Step();
        }
        case Op::LaLocation: {
            // Read as it comes.
            const QString location = Ask(SettingOf(&S::LAChannelPosition, 1).query, r.known, false);
            if (ok_) ApplyLaLocation(s_, location);
            return Step();
        }
        case Op::LaThreshold: {
            const QString threshold = SettingOf(r.field)
                                          .reply(Ask(QueryOf(r.field), r.known, true, r.field));
            if (ok_ && !threshold.isEmpty()) s_.*r.field = threshold;
            return Step();
        }
        }
    }

    template <typename Rows>
    void DoAll(const Rows& rows) {
        for (const DownRow& r : rows) Do(r);
    }

    // A channel's alternation trigger.
    void Alternation(int ch) {
        Do(Channel(Op::AltTrigger, ch));
        for (const AltDownRow& a : kAltRows) Do({a.op, ch == 1 ? a.ch1 : a.ch2, a.step, a.known});
    }

    void Run(bool la);

private:
    static QString QueryOf(Field field) { return SettingOf(field).query; }

    // A reply the converter knows (or, read as it comes, one `known` accepts)
    // and whose text is what the instrument may report for the setting
    // (SettingCatalog, the Store road): a coupling "LF" is no channel's
    // coupling, "ALTERNATION" no alternation slope, D3 no video source, 1000
    // no average count, 5 divisions no sensitivity (a number written as
    // "#0.00div" by DivToText).
    void Read(Field field, bool step, Check known) {
        const int number = SettingNumber(field);
        const SettingDesc& d = SettingOf(number);
        const QString query = d.query;
        QString reply = Ask(query, nullptr, true, field);
        if (ok_ && !(known ? known(reply) : IsKnownReply(d.reply, reply))) Unreadable(query, reply, field);
        if (!ok_) return;
        const QString text = d.reply ? d.reply(reply) : reply;
        if (!SettingHolds(s_, number, text, Road::Store)) {
            Unreadable(query, reply, field);
            return;
        }
        s_.*field = text;
        if (step) Step();
    }

    // A level reply in volts stored as divisions of the block's base; a
    // source without a scale leaves the field its text.
    void ReadLevel(Field field, const LevelBase& base, bool step) {
        const QString reply = Ask(QueryOf(field), IsNumberReply, true, field);
        if (!ok_) return;
        const QString text = base.DivText(reply);
        if (!text.isEmpty()) s_.*field = text;
        if (step) Step();
    }

    // A channel's offset: stored as volts text, its number kept for the levels.
    double ReadOffset(Field field) {
        const QString reply = Ask(QueryOf(field), IsNumberReply, true, field);
        if (!ok_) return 0;
        s_.*field = SettingOf(field).reply(reply);
        Step();
        return LeadingNumber(reply);
    }

    // The base of a source text (link/LevelBase): CH1/CH2 ask for the
    // channel's scale, with the offset read before; EXT and EXT5 have fixed
    // ones; a source whose levels keep their text, or are the logic
    // analyser's threshold, has none. A scale reply that did not come ends
    // the download; one that is no number is named.
    LevelBase BaseOf(const QString& source, LevelTrigger trigger) {
        if (!ok_) return {};
        const LevelBase base = AskLevelBase(source, trigger, &offsets_);
        if (base.kind == LevelBase::Unknown) {
            if (base.failedReply.isEmpty()) ok_ = false;
            else Unreadable(base.failedQuery, base.failedReply, nullptr);
        }
        if (!Link().IsConnected) ok_ = false;
        return base;
    }

    CtrlSettings& s_;
    double step_;
    bool ok_ = true;
    KnownOffsets offsets_;         // the channels' offsets, as read
    QHash<int, LevelBase> bases_;  // by the value number of a source
    LevelBase altBase_;            // the current alternation channel's
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

void Downloader::Run(bool la) {
    DoAll(kHeadRows);
    if (la) DoAll(kLaTriggerRows);
    Alternation(1);
    Alternation(2);
    if (la) DoAll(kLaRows);
    DoAll(kTailRows);
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
    return f.size() == 2 && IsIntegerReply(f[0]) && IsIntegerReply(f[1]);
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

QList<int> DownloadSequence() {
    QList<int> out;
    auto array = [&](CtrlCodeArray S::*a) {
        for (int k = 1; k <= 16; ++k) out << SettingNumber(a, k);
    };
    auto add = [&](const DownRow& r) {
        if (r.field) out << SettingNumber(r.field);
        if (r.codes) array(r.codes);
        if (r.op == Op::LaStatus) {
            array(&S::LAChannelDisplay);
            out << SettingNumber(&S::LAGroupHighDisplay) << SettingNumber(&S::LAGroupLowDisplay);
        }
        if (r.op == Op::LaLocation) array(&S::LAChannelPosition);
    };
    for (const DownRow& r : kHeadRows) add(r);
    for (const DownRow& r : kLaTriggerRows) add(r);
    for (bool ch1 : {true, false})
        for (const AltDownRow& a : kAltRows) out << SettingNumber(ch1 ? a.ch1 : a.ch2);
    for (const DownRow& r : kLaRows) add(r);
    for (const DownRow& r : kTailRows) add(r);
    return out;
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
        CtrlState().CtrlFileLevelsNotKnown.clear();
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
