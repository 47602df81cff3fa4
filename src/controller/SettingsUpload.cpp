// Upload of all settings (transfer job 22): the settings mirror to the
// instrument as one fixed sequence of commands. The sequence is data: the
// row tables below, sent in their order.
#include <QtGlobal>
#include <algorithm>

#include "common/Pause.h"
#include "common/Wait.h"
#include "controller/CtrlFile.h"
#include "controller/LevelMark.h"
#include "controller/SettingsTransfer.h"
#include "controller/SettingsTransferSteps.h"
#include "link/Converters.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/ReplyParse.h"
#include "link/SettingCatalog.h"
#include "link/TransferJobs.h"
#include "link/Vocabulary.h"
#include "platform/dialogs/MsgBox.h"

namespace {

using Field = QString CtrlSettings::*;
using S = CtrlSettings;

// How a row's value is made from its field. What a field may hold, and the
// converter of its keyword, are the settings catalog's.
enum class Kind {
    Whole,      // the converter gives the whole command (run state)
    Fixed,      // a fixed value
    Word,       // the field's word (or source, standard) through its keyword converter
    WordUpper,  // the same, then in upper case (video sync)
    Format,     // the time base format (its converter trims the field itself)
    Upper,      // the field's text in upper case
    Stored,     // the field's text unchanged
    Probe,      // the field's text without its last character
    Level,      // the level in volts (source asked with `fixed`, or the fixed source)
};

struct Row {
    const char* header;
    Kind kind;
    Field field = nullptr;
    const char* fixed = nullptr;  // Fixed: the value; Level: the source query
    bool step = false;
    int pauseMs = 0;
};

Row R(const char* header, Kind kind, Field f, bool step = false, int pauseMs = 0) {
    return {header, kind, f, nullptr, step, pauseMs};
}
Row FixedRow(const char* header, const char* value) { return {header, Kind::Fixed, nullptr, value}; }
Row LevelRow(const char* header, Field f, const char* sourceQuery) { return {header, Kind::Level, f, sourceQuery}; }

// Blocks A to D.
const Row kHeadRows[] = {
    R(":RUN", Kind::Whole, &S::RunStop, true),
    FixedRow(":TRIGGER:ALTERNATION:SOURCE", "CHANNEL1"),
    R(":TRIGGER:ALTERNATION:TIMESCALE", Kind::Upper, &S::AltCH1TimeBaseScale, true),
    R(":TRIGGER:ALTERNATION:TIMEOFFSET", Kind::Upper, &S::AltCH1TimeBaseOffset, true),
    FixedRow(":TRIGGER:ALTERNATION:SOURCE", "CHANNEL2"),
    R(":TRIGGER:ALTERNATION:TIMESCALE", Kind::Upper, &S::AltCH2TimeBaseScale, true),
    R(":TRIGGER:ALTERNATION:TIMEOFFSET", Kind::Upper, &S::AltCH2TimeBaseOffset, true),
    R(":TIMEBASE:FORMAT", Kind::Format, &S::TimeBaseFormat, true, 500),
    R(":TIMEBASE:SCALE", Kind::Upper, &S::TimeBaseScale, true, 1000),
    R(":TIMEBASE:OFFSET", Kind::Upper, &S::TimeBaseOffset, true),
    R(":CHANNEL1:DISPLAY", Kind::Word, &S::CH1Display, true),
    R(":CHANNEL1:PROBE", Kind::Probe, &S::CH1Probe, true),
    R(":CHANNEL1:SCALE", Kind::Upper, &S::CH1Scale, true),
    R(":CHANNEL1:OFFSET", Kind::Upper, &S::CH1Offset, true),
    R(":CHANNEL1:COUPLING", Kind::Word, &S::CH1Coupling, true),
    R(":CHANNEL1:BWLIMIT", Kind::Word, &S::CH1BWLimit, true),
    R(":CHANNEL2:DISPLAY", Kind::Word, &S::CH2Display, true),
    R(":CHANNEL2:PROBE", Kind::Probe, &S::CH2Probe, true),
    R(":CHANNEL2:SCALE", Kind::Upper, &S::CH2Scale, true),
    R(":CHANNEL2:OFFSET", Kind::Upper, &S::CH2Offset, true),
    R(":CHANNEL2:COUPLING", Kind::Word, &S::CH2Coupling, true),
    R(":CHANNEL2:BWLIMIT", Kind::Word, &S::CH2BWLimit, true),
    R(":TRIGGER:MODE", Kind::Word, &S::TriggerMethod, true),
    R(":TRIGGER:HOLDOFF", Kind::Upper, &S::TriggerHoldoff, true),
};

// Block E, one table per trigger method (no steps inside).
const Row kEdgeRows[] = {
    R(":TRIGGER:EDGE:SOURCE", Kind::Word, &S::TriggerEdgeSource),
    R(":TRIGGER:EDGE:SLOPE", Kind::Word, &S::TriggerEdgeSlope),
    R(":TRIGGER:EDGE:SWEEP", Kind::Word, &S::TriggerEdgeSweep),
    R(":TRIGGER:EDGE:COUPLING", Kind::Word, &S::TriggerEdgeCoupling),
    R(":TRIGGER:EDGE:SENSITIVITY", Kind::Stored, &S::TriggerEdgeSensitivity),
    LevelRow(":TRIGGER:EDGE:LEVEL", &S::TriggerEdgeLevel, ":TRIGGER:EDGE:SOURCE?"),
};
const Row kPulseRows[] = {
    R(":TRIGGER:PULSE:SOURCE", Kind::Word, &S::TriggerPulseSource),
    R(":TRIGGER:PULSE:MODE", Kind::Word, &S::TriggerPulseMode),
    R(":TRIGGER:PULSE:WIDTH", Kind::Upper, &S::TriggerPulseWidth),
    R(":TRIGGER:PULSE:SWEEP", Kind::Word, &S::TriggerPulseSweep),
    R(":TRIGGER:PULSE:COUPLING", Kind::Word, &S::TriggerPulseCoupling),
    R(":TRIGGER:PULSE:SENSITIVITY", Kind::Stored, &S::TriggerPulseSensitivity),
    LevelRow(":TRIGGER:PULSE:LEVEL", &S::TriggerPulseLevel, ":TRIGGER:PULSE:SOURCE?"),
};
const Row kVideoRows[] = {
    R(":TRIGGER:VIDEO:SOURCE", Kind::Word, &S::TriggerVideoSource),
    R(":TRIGGER:VIDEO:POLARITY", Kind::Word, &S::TriggerVideoPolarity),
    R(":TRIGGER:VIDEO:MODE", Kind::WordUpper, &S::TriggerVideoSync),
    R(":TRIGGER:VIDEO:STANDARD", Kind::Word, &S::TriggerVideoStandard),
    R(":TRIGGER:VIDEO:LINE", Kind::Stored, &S::TriggerVideoLine),
    R(":TRIGGER:VIDEO:SENSITIVITY", Kind::Stored, &S::TriggerVideoSensitivity),
    LevelRow(":TRIGGER:VIDEO:LEVEL", &S::TriggerVideoLevel, ":TRIGGER:VIDEO:SOURCE?"),
};
const Row kSlopeRows[] = {
    R(":TRIGGER:SLOPE:SOURCE", Kind::Word, &S::TriggerSlopeSource),
    R(":TRIGGER:SLOPE:MODE", Kind::Word, &S::TriggerSlopeMode),
    R(":TRIGGER:SLOPE:TIME", Kind::Upper, &S::TriggerSlopeTime),
    R(":TRIGGER:SLOPE:WINDOW", Kind::Stored, &S::TriggerSlopeWindow),
    R(":TRIGGER:SLOPE:SWEEP", Kind::Word, &S::TriggerSlopeSweep),
    R(":TRIGGER:SLOPE:COUPLING", Kind::Word, &S::TriggerSlopeCoupling),
    R(":TRIGGER:SLOPE:SENSITIVITY", Kind::Stored, &S::TriggerSlopeSensitivity),
    LevelRow(":TRIGGER:SLOPE:LEVELA", &S::TriggerSlopeLevelA, ":TRIGGER:SLOPE:SOURCE?"),
    LevelRow(":TRIGGER:SLOPE:LEVELB", &S::TriggerSlopeLevelB, ":TRIGGER:SLOPE:SOURCE?"),
};

// The alternation sub-blocks: one row per setting, with the CH1 and the CH2 field.
struct AltRow {
    const char* header;
    Kind kind;
    Field ch1;
    Field ch2;
};
#define KV_ALT(header, kind, name) \
    {":TRIGGER:ALTERNATION:" header, Kind::kind, &CtrlSettings::AltCH1##name, &CtrlSettings::AltCH2##name}
const AltRow kAltEdgeRows[] = {
    KV_ALT("EDGE:SLOPE", Word, EdgeSlope),
    KV_ALT("EDGE:COUPLING", Word, EdgeCoupling),
    KV_ALT("EDGE:LEVEL", Level, EdgeLevel),
    KV_ALT("EDGE:SENSITIVITY", Stored, EdgeSensitivity),
    KV_ALT("EDGE:HOLDOFF", Upper, EdgeHoldoff),
};
const AltRow kAltPulseRows[] = {
    KV_ALT("PULSE:MODE", Word, PulseMode),
    KV_ALT("PULSE:TIME", Upper, PulseWidth),
    KV_ALT("PULSE:COUPLING", Word, PulseCoupling),
    KV_ALT("PULSE:LEVEL", Level, PulseLevel),
    KV_ALT("PULSE:SENSITIVITY", Stored, PulseSensitivity),
    KV_ALT("PULSE:HOLDOFF", Upper, PulseHoldoff),
};
const AltRow kAltVideoRows[] = {
    KV_ALT("VIDEO:POLARITY", Word, VideoPolarity),
    KV_ALT("VIDEO:MODE", WordUpper, VideoSync),
    KV_ALT("VIDEO:STANDARD", Word, VideoStandard),
    KV_ALT("VIDEO:LINE", Stored, VideoLine),
    KV_ALT("VIDEO:SENSITIVITY", Stored, VideoSensitivity),
    KV_ALT("VIDEO:HOLDOFF", Upper, VideoHoldoff),
    KV_ALT("VIDEO:LEVEL", Level, VideoLevel),
};
const AltRow kAltSlopeRows[] = {
    KV_ALT("SLOPE:MODE", Word, SlopeMode),
    KV_ALT("SLOPE:TIME", Upper, SlopeTime),
    KV_ALT("SLOPE:LEVELA", Level, SlopeLevelA),
    KV_ALT("SLOPE:LEVELB", Level, SlopeLevelB),
    KV_ALT("SLOPE:SENSITIVITY", Stored, SlopeSensitivity),
    KV_ALT("SLOPE:HOLDOFF", Upper, SlopeHoldoff),
    KV_ALT("SLOPE:COUPLING", Word, SlopeCoupling),
};
#undef KV_ALT

// A channel's alternation rows as plain rows (levels with the channel as their source).
Row AltRowOf(const AltRow& a, int channel) { return {a.header, a.kind, channel == 1 ? a.ch1 : a.ch2}; }

// The sub-blocks by the type that chooses them.
struct AltBlock {
    int type;  // a value word
    const AltRow* rows;
    size_t count;
};
const AltBlock kAltBlocks[] = {
    {vwEdge, kAltEdgeRows, std::size(kAltEdgeRows)},
    {vwPulse, kAltPulseRows, std::size(kAltPulseRows)},
    {vwVideo, kAltVideoRows, std::size(kAltVideoRows)},
    {vwSlope, kAltSlopeRows, std::size(kAltSlopeRows)},
};
// The sub-block of an alternation trigger type (one of the type's own
// words, SettingCatalog); none for any other text.
const AltBlock* AltBlockOf(const QString& type) {
    const int word = OwnWordOf(SettingOf(SettingNumber(&S::AltCH1TrigType)), type);
    for (const AltBlock& b : kAltBlocks)
        if (word == b.type) return &b;
    return nullptr;
}

// Block F's rows (the codes, channel displays and positions go in numbers of their own).
const Row kPatternRows[] = {
    R(":TRIGGER:PATTERN:SWEEP", Kind::Word, &S::TriggerPatternSweep),
};
const Row kDurationRows[] = {
    R(":TRIGGER:DURATION:QUALIFIER", Kind::Word, &S::TriggerDurationQualifier),
    R(":TRIGGER:DURATION:TIME", Kind::Upper, &S::TriggerDurationTime),
    R(":TRIGGER:DURATION:SWEEP", Kind::Word, &S::TriggerDurationSweep),
};
const Row kLaDisplayRow = R(":LA:DISPLAY", Kind::Word, &S::LADisplay);
const Row kLaThresholdRow = R(":LA:THRESHOLD", Kind::Upper, &S::LAThreshold, true);

// Block G.
const Row kTailRows[] = {
    R(":ACQUIRE:MODE", Kind::Word, &S::AcquireSampling, true),
    R(":ACQUIRE:TYPE", Kind::Word, &S::AcquireType, true),
    R(":ACQUIRE:AVERAGES", Kind::Stored, &S::AcquireAverages, true),
    R(":DISPLAY:TYPE", Kind::Word, &S::DisplayType, true),
    R(":DISPLAY:PERSIST", Kind::Word, &S::DisplayPersist, true),
    R(":DISPLAY:GRID", Kind::Word, &S::DisplayGrid, true),
};

// The keyword of a word row: the setting's own word (of either language) as
// the loaded word, through the setting's converter.
QString KeywordOf(const Row& r, const QString& value) {
    const SettingDesc& d = SettingOf(SettingNumber(r.field));
    return d.keyword ? d.keyword(InLanguage(d, value, -1)) : QString();
}

// Calls `refused` with each element 1..16 of `array` that its setting cannot
// hold; true when none is.
template <typename F>
bool AllSendable(const CtrlSettings& s, CtrlCodeArray CtrlSettings::*array, F refused) {
    bool all = true;
    for (int k = 1; k <= 16; ++k) {
        if (!SettingHolds(s, SettingNumber(array, k))) {
            refused((s.*array)[size_t(k)]);
            all = false;
        }
    }
    return all;
}

class Uploader {
public:
    explicit Uploader(double step) : step_(step) {}

    LevelsNotKnown levelsNotKnown;

    bool Stopped() const { return lost_; }
    bool Complete() const {
        return !lost_ && !leftOut_ && unknown_.isEmpty() && !levelsNotKnown.Any() && !unanswered_.Any();
    }
    // Rows left out because the link failed them.
    bool Incomplete() const { return lost_ || leftOut_; }
    // The numbers of the values left out because their row cannot send them.
    QList<int> UnknownValues() const {
        QList<int> n = unknown_;
        std::sort(n.begin(), n.end());
        n.erase(std::unique(n.begin(), n.end()), n.end());
        return n;
    }

    // A value its row cannot send (a word of neither language, a number
    // without its unit, read from a file): its command is left out.
    void Unknown(const QString& value) {
        if (const int n = CtrlValueNumber(DSOSettings(), &value)) unknown_ << n;
    }
    bool ArraySendable(CtrlCodeArray CtrlSettings::*array) {
        if (lost_) return false;
        return AllSendable(DSOSettings(), array, [this](const QString& v) { Unknown(v); });
    }

    template <size_t N>
    void SendRows(const Row (&rows)[N]) {
        for (const Row& r : rows) SendRow(r);
    }

    // One row: the value is built from the field as it is now; a value that
    // cannot be built leaves the command out.
    void SendRow(const Row& r, const QString& levelSource = QString()) {
        if (lost_) return;
        CtrlSettings& s = DSOSettings();
        // A level whose place is not known is left out, never guessed.
        if (r.kind == Kind::Level && levelsNotKnown.LeaveOut(s, s.*r.field)) return Finish(r);
        if (r.field && !SettingHolds(s, SettingNumber(r.field))) {
            Unknown(s.*r.field);
            Finish(r);
            return;
        }
        QString value;
        bool ok = true;
        switch (r.kind) {
        case Kind::Whole:
            Send(KeywordOf(r, s.*r.field));
            Finish(r);
            return;
        case Kind::Fixed: value = r.fixed; break;
        case Kind::Word: value = KeywordOf(r, s.*r.field); break;
        case Kind::WordUpper: value = KeywordOf(r, s.*r.field).toUpper(); break;
        case Kind::Format: value = TimebaseFormatToKeyword(s.*r.field); break;
        case Kind::Upper: value = (s.*r.field).toUpper(); break;
        case Kind::Stored: value = s.*r.field; break;
        case Kind::Probe: value = (s.*r.field).chopped(1); break;
        case Kind::Level: ok = LevelValue(s.*r.field, r.fixed, levelSource, value); break;
        }
        if (ok && !lost_) Send(QString(r.header) + " " + value);
        Finish(r);
    }

    void SendAlternation(int channel) {
        if (lost_) return;
        const CtrlSettings& s = DSOSettings();
        const QString ch = QString::number(channel);
        Send(":TRIGGER:ALTERNATION:SOURCE CHANNEL" + ch);
        const QString& type = channel == 1 ? s.AltCH1TrigType : s.AltCH2TrigType;
        const AltBlock* block = AltBlockOf(type);
        // A type that is none of the four is not sent as another one.
        if (!block) {
            Unknown(type);
            return;
        }
        Send(":TRIGGER:ALTERNATION:TYPE " + TrigModeToKeyword(ValueWord(block->type)));
        for (size_t i = 0; i < block->count; ++i) SendRow(AltRowOf(block->rows[i], channel), "CH" + ch);
        Step();
    }

    void Send(const QString& command) {
        if (lost_) return;
        // A command that would end and start another, or hold a character a
        // command line does not carry, is not sent.
        if (!IsCtrlValueText(command) || !IsCommandText(command)) {
            LeftOut();
            return;
        }
        SendCmd(command);
        CheckLink();
    }

    void Step() {
        if (!lost_) SettingsProgressStep(step_);
    }

private:
    // Printable ASCII: what every command of the upload is made of (the
    // transports send one byte per character, and nothing above U+00FF).
    static bool IsCommandText(const QString& command) {
        return std::all_of(command.begin(), command.end(),
                           [](QChar c) { return c.unicode() >= 0x20 && c.unicode() < 0x7f; });
    }

    void Finish(const Row& r) {
        if (lost_) return;
        if (r.step) Step();
        if (r.pauseMs) PauseMs(r.pauseMs);
    }

    // Volts of a level row: the source asked of the instrument (method
    // blocks) or given (alternation). A reply that did not come, or that is
    // no source, scale or offset, gives no command rather than a made-up
    // level, and the row is named. The upload asks on: the command layer
    // puts the link back in step before the next query, or does not send it
    // (KV2200Cmd.h), so a late reply is never taken for a later row's.
    bool LevelValue(const QString& levelDiv, const char* sourceQuery, QString source, QString& value) {
        if (sourceQuery) {
            source = TrimReply(QueryCmd(sourceQuery));
            if (!CheckLink()) return LeftOut();
            if (Link().ReplyFailed) return Unanswered(levelDiv);
            if (!IsSourceReply(source)) {
                NoteReplyGarbled();
                return Unanswered(levelDiv);
            }
        }
        // A threshold is a logic channel's level: under any other source (the
        // instrument's, should its source command have been left out) it is
        // named and not sent as divisions.
        if (!IsDivText(levelDiv) && !IsLogicSource(source)) {
            Unknown(levelDiv);
            return false;
        }
        bool finite = true;
        const bool made = TriggerLevelVolts(levelDiv, source, value, &finite);
        if (!CheckLink()) return LeftOut();
        if (!finite) {
            Unknown(levelDiv);
            return false;
        }
        return made || Unanswered(levelDiv);
    }

    // A level row left out because a reply it is computed from did not come
    // or could not be read; returns false.
    bool Unanswered(const QString& levelDiv) {
        if (!unanswered_.Note(DSOSettings(), levelDiv)) leftOut_ = true;
        return false;
    }

public:
    // MsgUploadLevelsUnanswered naming the rows left out for their replies.
    void ReportUnanswered() const { unanswered_.Report(MessageTable().MsgUploadLevelsUnanswered); }

private:

    // Marks the upload incomplete (a row left out); returns false.
    bool LeftOut() {
        leftOut_ = true;
        return false;
    }

    bool CheckLink() {
        if (!Link().IsConnected) lost_ = true;
        return !lost_;
    }

    double step_;
    bool lost_ = false;
    bool leftOut_ = false;
    QList<int> unknown_;
    LevelsNotKnown unanswered_;  // level rows left out for their replies
};

void SendLogicAnalyser(Uploader& up) {
    CtrlSettings& s = DSOSettings();
    if (s.TriggerMethod == ValueWord(vwPattern)) {
        if (!up.Stopped() && up.ArraySendable(&CtrlSettings::TriggerPatternCode)) SendPatternTrigger(1);
        up.SendRows(kPatternRows);
        up.Step();
    } else if (s.TriggerMethod == ValueWord(vwDuration)) {
        if (!up.Stopped() && up.ArraySendable(&CtrlSettings::TriggerDurationCode)) SendPatternTrigger(1);
        up.SendRows(kDurationRows);
        up.Step();
    }
    up.SendRow(kLaDisplayRow);
    // The sixteen channel displays go in one number: sent only when each is
    // on or off; the positions likewise, only when each is a number.
    if (up.ArraySendable(&CtrlSettings::LAChannelDisplay))
        up.Send(":LA:STATUS " + QString::number(LaStatusNumber(s)));
    up.Step();
    if (up.ArraySendable(&CtrlSettings::LAChannelPosition)) up.Send(":LA:LOCATION " + LaLocationText(s));
    up.Step();
    up.SendRow(kLaThresholdRow);
}

}  // namespace

QList<int> UnsendableCtrlValues(const CtrlSettings& s) {
    // Every value the upload sends, whatever the method: a file may be
    // uploaded after its method was changed.
    QList<int> out;
    for (const SettingDesc& d : SettingCatalog())
        if (d.judged == Judged::Sent && !SettingHolds(s, d.number)) out << d.number;
    return out;
}

long long LaStatusNumber(const CtrlSettings& s) {
    long long status = 0;
    for (int k = 1; k <= 16; ++k)
        if (IsOnWordOfEitherLanguage(s.LAChannelDisplay[k])) status += 1LL << (16 - k);
    return status;
}

QString LaLocationText(const CtrlSettings& s) {
    // A position is one hexadecimal digit of its group's number: a damaged
    // value (negative, above 15, huge) never reaches a neighbouring channel.
    auto v = [&](int k) {
        const double p = LeadingNumber(s.LAChannelPosition[k]);
        return p > 0 ? static_cast<long long>(std::min(p, 15.0)) : 0LL;
    };
    long long low = 0, high = 0;
    for (int k = 9; k <= 16; ++k) low += v(k) << (4 * (16 - k));
    for (int k = 1; k <= 8; ++k) high += v(k) << (4 * (8 - k));
    return QString::number(low) + "," + QString::number(high);
}

void UploadSettings() {
    const bool la = Link().LAPresent;
    Uploader up(la ? 100.0 / 32 : 100.0 / 29);
    if (!Link().IsConnected) {
        LastSettingsTransfer().UploadComplete = false;
        MsgBox(MessageTable().MsgUploadIncomplete, vbExclamation);
        return;
    }

    up.SendRows(kHeadRows);

    // Block E: the trigger block of the current method.
    const QString method = DSOSettings().TriggerMethod;
    auto block = [&](const auto& rows) {
        up.SendRows(rows);
        up.Step();
    };
    if (method == ValueWord(vwEdge)) block(kEdgeRows);
    else if (method == ValueWord(vwPulse)) block(kPulseRows);
    else if (method == ValueWord(vwVideo)) block(kVideoRows);
    else if (method == ValueWord(vwSlope)) block(kSlopeRows);
    else if (method == ValueWord(vwAlternative)) {
        up.SendAlternation(1);
        up.SendAlternation(2);
    }

    if (la) SendLogicAnalyser(up);
    up.SendRows(kTailRows);

    LastSettingsTransfer().UploadComplete = up.Complete();
    if (up.Incomplete()) MsgBox(MessageTable().MsgUploadIncomplete, vbExclamation);
    up.ReportUnanswered();
    up.levelsNotKnown.Report();
    const QList<int> unknown = up.UnknownValues();
    if (!unknown.isEmpty())
        MsgBox(MessageTable().MsgUploadUnknownValues.arg(UnknownCtrlValuesText(DSOSettings(), unknown)),
               vbExclamation);
}
