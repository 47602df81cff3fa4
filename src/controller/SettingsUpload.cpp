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
#include "link/TransferJobs.h"
#include "link/Vocabulary.h"
#include "platform/dialogs/MsgBox.h"

namespace {

using Field = QString CtrlSettings::*;
using Conv = QString (*)(const QString&);
using Check = bool (*)(const QString&);
using S = CtrlSettings;

// How a row's value is made from its field.
enum class Kind {
    Whole,      // the converter gives the whole command (run state)
    Fixed,      // a fixed value
    Word,       // the field's value word through its keyword converter
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
    Conv conv = nullptr;    // Whole, Word, WordUpper: the keyword converter
    Check check = nullptr;  // Upper, Stored, Probe, Level: the form the field must have
    const char* fixed = nullptr;  // Fixed: the value; Level: the source query
    bool step = false;
    int pauseMs = 0;
};

Row WordRow(const char* header, Field f, Conv conv, bool step = false, Kind kind = Kind::Word) {
    return {header, kind, f, conv, nullptr, nullptr, step};
}
Row TextRow(const char* header, Kind kind, Field f, Check check, bool step = false, int pauseMs = 0) {
    return {header, kind, f, nullptr, check, nullptr, step, pauseMs};
}
Row FixedRow(const char* header, const char* value) { return {header, Kind::Fixed, nullptr, nullptr, nullptr, value}; }
Row LevelRow(const char* header, Field f, Check check, const char* sourceQuery) {
    return {header, Kind::Level, f, nullptr, check, sourceQuery};
}

// The main edge and pulse levels may hold the threshold a logic-channel
// source read back (the download stores it there).
bool IsDivOrThreshold(const QString& t) { return IsDivText(t) || IsThresholdText(t); }
bool IsOnOffWord(const QString& t) { return IsKnownWord(OnOffToKeyword, t); }

// Blocks A to D.
const Row kHeadRows[] = {
    WordRow(":RUN", &S::RunStop, RunStateToCmd, true, Kind::Whole),
    FixedRow(":TRIGGER:ALTERNATION:SOURCE", "CHANNEL1"),
    TextRow(":TRIGGER:ALTERNATION:TIMESCALE", Kind::Upper, &S::AltCH1TimeBaseScale, IsSecondsText, true),
    TextRow(":TRIGGER:ALTERNATION:TIMEOFFSET", Kind::Upper, &S::AltCH1TimeBaseOffset, IsSecondsText, true),
    FixedRow(":TRIGGER:ALTERNATION:SOURCE", "CHANNEL2"),
    TextRow(":TRIGGER:ALTERNATION:TIMESCALE", Kind::Upper, &S::AltCH2TimeBaseScale, IsSecondsText, true),
    TextRow(":TRIGGER:ALTERNATION:TIMEOFFSET", Kind::Upper, &S::AltCH2TimeBaseOffset, IsSecondsText, true),
    TextRow(":TIMEBASE:FORMAT", Kind::Format, &S::TimeBaseFormat, nullptr, true, 500),
    TextRow(":TIMEBASE:SCALE", Kind::Upper, &S::TimeBaseScale, IsSecondsText, true, 1000),
    TextRow(":TIMEBASE:OFFSET", Kind::Upper, &S::TimeBaseOffset, IsSecondsText, true),
    WordRow(":CHANNEL1:DISPLAY", &S::CH1Display, OnOffToKeyword, true),
    TextRow(":CHANNEL1:PROBE", Kind::Probe, &S::CH1Probe, IsProbeText, true),
    TextRow(":CHANNEL1:SCALE", Kind::Upper, &S::CH1Scale, IsVoltsText, true),
    TextRow(":CHANNEL1:OFFSET", Kind::Upper, &S::CH1Offset, IsVoltsText, true),
    WordRow(":CHANNEL1:COUPLING", &S::CH1Coupling, CouplingToKeyword, true),
    WordRow(":CHANNEL1:BWLIMIT", &S::CH1BWLimit, OnOffToKeyword, true),
    WordRow(":CHANNEL2:DISPLAY", &S::CH2Display, OnOffToKeyword, true),
    TextRow(":CHANNEL2:PROBE", Kind::Probe, &S::CH2Probe, IsProbeText, true),
    TextRow(":CHANNEL2:SCALE", Kind::Upper, &S::CH2Scale, IsVoltsText, true),
    TextRow(":CHANNEL2:OFFSET", Kind::Upper, &S::CH2Offset, IsVoltsText, true),
    WordRow(":CHANNEL2:COUPLING", &S::CH2Coupling, CouplingToKeyword, true),
    WordRow(":CHANNEL2:BWLIMIT", &S::CH2BWLimit, OnOffToKeyword, true),
    WordRow(":TRIGGER:MODE", &S::TriggerMethod, TrigModeToKeyword, true),
    TextRow(":TRIGGER:HOLDOFF", Kind::Upper, &S::TriggerHoldoff, IsSecondsText, true),
};

// Block E, one table per trigger method (no steps inside).
const Row kEdgeRows[] = {
    WordRow(":TRIGGER:EDGE:SOURCE", &S::TriggerEdgeSource, TrigSourceToKeyword),
    WordRow(":TRIGGER:EDGE:SLOPE", &S::TriggerEdgeSlope, EdgeSlopeToKeyword),
    WordRow(":TRIGGER:EDGE:SWEEP", &S::TriggerEdgeSweep, SweepToKeyword),
    WordRow(":TRIGGER:EDGE:COUPLING", &S::TriggerEdgeCoupling, CouplingToKeyword),
    TextRow(":TRIGGER:EDGE:SENSITIVITY", Kind::Stored, &S::TriggerEdgeSensitivity, IsDivText),
    LevelRow(":TRIGGER:EDGE:LEVEL", &S::TriggerEdgeLevel, IsDivOrThreshold, ":TRIGGER:EDGE:SOURCE?"),
};
const Row kPulseRows[] = {
    WordRow(":TRIGGER:PULSE:SOURCE", &S::TriggerPulseSource, TrigSourceToKeyword),
    WordRow(":TRIGGER:PULSE:MODE", &S::TriggerPulseMode, PulseModeToKeyword),
    TextRow(":TRIGGER:PULSE:WIDTH", Kind::Upper, &S::TriggerPulseWidth, IsSecondsText),
    WordRow(":TRIGGER:PULSE:SWEEP", &S::TriggerPulseSweep, SweepToKeyword),
    WordRow(":TRIGGER:PULSE:COUPLING", &S::TriggerPulseCoupling, CouplingToKeyword),
    TextRow(":TRIGGER:PULSE:SENSITIVITY", Kind::Stored, &S::TriggerPulseSensitivity, IsDivText),
    LevelRow(":TRIGGER:PULSE:LEVEL", &S::TriggerPulseLevel, IsDivOrThreshold, ":TRIGGER:PULSE:SOURCE?"),
};
const Row kVideoRows[] = {
    WordRow(":TRIGGER:VIDEO:SOURCE", &S::TriggerVideoSource, TrigSourceToKeyword),
    WordRow(":TRIGGER:VIDEO:POLARITY", &S::TriggerVideoPolarity, VideoPolarityToKeyword),
    WordRow(":TRIGGER:VIDEO:MODE", &S::TriggerVideoSync, VideoSyncToKeyword, false, Kind::WordUpper),
    WordRow(":TRIGGER:VIDEO:STANDARD", &S::TriggerVideoStandard, VideoStandardConv),
    TextRow(":TRIGGER:VIDEO:LINE", Kind::Stored, &S::TriggerVideoLine, IsPlainNumberText),
    TextRow(":TRIGGER:VIDEO:SENSITIVITY", Kind::Stored, &S::TriggerVideoSensitivity, IsDivText),
    LevelRow(":TRIGGER:VIDEO:LEVEL", &S::TriggerVideoLevel, IsDivText, ":TRIGGER:VIDEO:SOURCE?"),
};
const Row kSlopeRows[] = {
    WordRow(":TRIGGER:SLOPE:SOURCE", &S::TriggerSlopeSource, TrigSourceToKeyword),
    WordRow(":TRIGGER:SLOPE:MODE", &S::TriggerSlopeMode, SlopeModeToKeyword),
    TextRow(":TRIGGER:SLOPE:TIME", Kind::Upper, &S::TriggerSlopeTime, IsSecondsText),
    TextRow(":TRIGGER:SLOPE:WINDOW", Kind::Stored, &S::TriggerSlopeWindow, IsSlopeWindowText),
    WordRow(":TRIGGER:SLOPE:SWEEP", &S::TriggerSlopeSweep, SweepToKeyword),
    WordRow(":TRIGGER:SLOPE:COUPLING", &S::TriggerSlopeCoupling, CouplingToKeyword),
    TextRow(":TRIGGER:SLOPE:SENSITIVITY", Kind::Stored, &S::TriggerSlopeSensitivity, IsDivText),
    LevelRow(":TRIGGER:SLOPE:LEVELA", &S::TriggerSlopeLevelA, IsDivText, ":TRIGGER:SLOPE:SOURCE?"),
    LevelRow(":TRIGGER:SLOPE:LEVELB", &S::TriggerSlopeLevelB, IsDivText, ":TRIGGER:SLOPE:SOURCE?"),
};

// The alternation sub-blocks: one row per setting, with the CH1 and the CH2 field.
struct AltRow {
    const char* header;
    Kind kind;
    Field ch1;
    Field ch2;
    Conv conv = nullptr;
    Check check = nullptr;
};
#define KV_ALT(header, kind, name, conv, check)                                                 \
    {":TRIGGER:ALTERNATION:" header, Kind::kind, &CtrlSettings::AltCH1##name, &CtrlSettings::AltCH2##name, \
     conv, check}
const AltRow kAltEdgeRows[] = {
    KV_ALT("EDGE:SLOPE", Word, EdgeSlope, EdgeSlopeToKeyword, nullptr),
    KV_ALT("EDGE:COUPLING", Word, EdgeCoupling, CouplingToKeyword, nullptr),
    KV_ALT("EDGE:LEVEL", Level, EdgeLevel, nullptr, IsDivText),
    KV_ALT("EDGE:SENSITIVITY", Stored, EdgeSensitivity, nullptr, IsDivText),
    KV_ALT("EDGE:HOLDOFF", Upper, EdgeHoldoff, nullptr, IsSecondsText),
};
const AltRow kAltPulseRows[] = {
    KV_ALT("PULSE:MODE", Word, PulseMode, PulseModeToKeyword, nullptr),
    KV_ALT("PULSE:TIME", Upper, PulseWidth, nullptr, IsSecondsText),
    KV_ALT("PULSE:COUPLING", Word, PulseCoupling, CouplingToKeyword, nullptr),
    KV_ALT("PULSE:LEVEL", Level, PulseLevel, nullptr, IsDivText),
    KV_ALT("PULSE:SENSITIVITY", Stored, PulseSensitivity, nullptr, IsDivText),
    KV_ALT("PULSE:HOLDOFF", Upper, PulseHoldoff, nullptr, IsSecondsText),
};
const AltRow kAltVideoRows[] = {
    KV_ALT("VIDEO:POLARITY", Word, VideoPolarity, VideoPolarityToKeyword, nullptr),
    KV_ALT("VIDEO:MODE", WordUpper, VideoSync, VideoSyncToKeyword, nullptr),
    KV_ALT("VIDEO:STANDARD", Word, VideoStandard, VideoStandardConv, nullptr),
    KV_ALT("VIDEO:LINE", Stored, VideoLine, nullptr, IsPlainNumberText),
    KV_ALT("VIDEO:SENSITIVITY", Stored, VideoSensitivity, nullptr, IsDivText),
    KV_ALT("VIDEO:HOLDOFF", Upper, VideoHoldoff, nullptr, IsSecondsText),
    KV_ALT("VIDEO:LEVEL", Level, VideoLevel, nullptr, IsDivText),
};
const AltRow kAltSlopeRows[] = {
    KV_ALT("SLOPE:MODE", Word, SlopeMode, SlopeModeToKeyword, nullptr),
    KV_ALT("SLOPE:TIME", Upper, SlopeTime, nullptr, IsSecondsText),
    KV_ALT("SLOPE:LEVELA", Level, SlopeLevelA, nullptr, IsDivText),
    KV_ALT("SLOPE:LEVELB", Level, SlopeLevelB, nullptr, IsDivText),
    KV_ALT("SLOPE:SENSITIVITY", Stored, SlopeSensitivity, nullptr, IsDivText),
    KV_ALT("SLOPE:HOLDOFF", Upper, SlopeHoldoff, nullptr, IsSecondsText),
    KV_ALT("SLOPE:COUPLING", Word, SlopeCoupling, CouplingToKeyword, nullptr),
};
#undef KV_ALT

// A channel's alternation rows as plain rows (levels with the channel as their source).
Row AltRowOf(const AltRow& a, int channel) {
    return {a.header, a.kind, channel == 1 ? a.ch1 : a.ch2, a.conv, a.check};
}

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
// The sub-block of an alternation trigger type; none for a type that is none of the four.
const AltBlock* AltBlockOf(const QString& type) {
    for (const AltBlock& b : kAltBlocks)
        if (type == ValueWord(b.type)) return &b;
    return nullptr;
}

// Block F's rows (the codes, channel displays and positions go in numbers of their own).
const Row kPatternRows[] = {
    WordRow(":TRIGGER:PATTERN:SWEEP", &S::TriggerPatternSweep, SweepToKeyword),
};
const Row kDurationRows[] = {
    WordRow(":TRIGGER:DURATION:QUALIFIER", &S::TriggerDurationQualifier, DurationQualToKeyword),
    TextRow(":TRIGGER:DURATION:TIME", Kind::Upper, &S::TriggerDurationTime, IsSecondsText),
    WordRow(":TRIGGER:DURATION:SWEEP", &S::TriggerDurationSweep, SweepToKeyword),
};
const Row kLaDisplayRow = WordRow(":LA:DISPLAY", &S::LADisplay, OnOffToKeyword);
const Row kLaThresholdRow = TextRow(":LA:THRESHOLD", Kind::Upper, &S::LAThreshold, IsThresholdText, true);

// Block G.
const Row kTailRows[] = {
    WordRow(":ACQUIRE:MODE", &S::AcquireSampling, AcqModeToKeyword, true),
    WordRow(":ACQUIRE:TYPE", &S::AcquireType, AcqTypeToKeyword, true),
    TextRow(":ACQUIRE:AVERAGES", Kind::Stored, &S::AcquireAverages, IsPlainNumberText, true),
    WordRow(":DISPLAY:TYPE", &S::DisplayType, DisplayTypeToKeyword, true),
    WordRow(":DISPLAY:PERSIST", &S::DisplayPersist, OnOffToKeyword, true),
    WordRow(":DISPLAY:GRID", &S::DisplayGrid, GridToKeyword, true),
};

// Whether a row can send `value`: a word its converter knows, one of the
// three formats, or a text of the row's form. Nothing else is turned into a
// command: no fallback keyword, no "DIGITAL" of a word, no text that is no
// number with the setting's unit.
bool RowSendable(const Row& r, const QString& value) {
    switch (r.kind) {
    case Kind::Fixed: return true;
    case Kind::Whole:
    case Kind::Word:
    case Kind::WordUpper: return IsKnownWord(r.conv, value);
    case Kind::Format: {
        QString format = value;
        return !TimebaseFormatToKeyword(format).isEmpty();
    }
    default: return r.check && r.check(value);
    }
}

// Calls `refused` with each element 1..16 of `a` that `ok` refuses; true when none is.
template <typename F>
bool AllSendable(const CtrlCodeArray& a, Check ok, F refused) {
    bool all = true;
    for (int k = 1; k <= 16; ++k) {
        if (!ok(a[k])) {
            refused(a[k]);
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
    bool Complete() const { return !lost_ && !leftOut_ && unknown_.isEmpty() && !levelsNotKnown.Any(); }
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
    bool ArraySendable(const CtrlCodeArray& a, Check ok) {
        if (lost_) return false;
        return AllSendable(a, ok, [this](const QString& v) { Unknown(v); });
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
        if (r.field && !RowSendable(r, s.*r.field)) {
            Unknown(s.*r.field);
            Finish(r);
            return;
        }
        QString value;
        bool ok = true;
        switch (r.kind) {
        case Kind::Whole:
            Send(r.conv(s.*r.field));
            Finish(r);
            return;
        case Kind::Fixed: value = r.fixed; break;
        case Kind::Word: value = r.conv(s.*r.field); break;
        case Kind::WordUpper: value = r.conv(s.*r.field).toUpper(); break;
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
        Send(":TRIGGER:ALTERNATION:TYPE " + TrigModeToKeyword(type));
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
    // no source, scale or offset, gives no command rather than a made-up level.
    bool LevelValue(const QString& levelDiv, const char* sourceQuery, QString source, QString& value) {
        if (sourceQuery) {
            source = TrimReply(QueryCmd(sourceQuery));
            if (!CheckLink()) return LeftOut();
        }
        const bool made = TriggerLevelVolts(levelDiv, source, value);
        if (!CheckLink() || !made) return LeftOut();
        return true;
    }

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
};

void SendLogicAnalyser(Uploader& up) {
    CtrlSettings& s = DSOSettings();
    if (s.TriggerMethod == ValueWord(vwPattern)) {
        if (!up.Stopped() && up.ArraySendable(s.TriggerPatternCode, IsPatternCode)) SendPatternTrigger(1);
        up.SendRows(kPatternRows);
        up.Step();
    } else if (s.TriggerMethod == ValueWord(vwDuration)) {
        if (!up.Stopped() && up.ArraySendable(s.TriggerDurationCode, IsPatternCode)) SendPatternTrigger(1);
        up.SendRows(kDurationRows);
        up.Step();
    }
    up.SendRow(kLaDisplayRow);
    // The sixteen channel displays go in one number: sent only when each is
    // on or off; the positions likewise, only when each is a number.
    if (up.ArraySendable(s.LAChannelDisplay, IsOnOffWord))
        up.Send(":LA:STATUS " + QString::number(LaStatusNumber(s)));
    up.Step();
    if (up.ArraySendable(s.LAChannelPosition, IsPlainNumberText)) up.Send(":LA:LOCATION " + LaLocationText(s));
    up.Step();
    up.SendRow(kLaThresholdRow);
}

}  // namespace

QList<int> UnsendableCtrlValues(const CtrlSettings& s) {
    QList<int> out;
    const auto note = [&](const QString& v) {
        if (const int n = CtrlValueNumber(s, &v)) out << n;
    };
    const auto visit = [&](const Row& r) {
        if (r.field && !RowSendable(r, s.*r.field)) note(s.*r.field);
    };
    // Every row of every block, whatever the method: a file may be uploaded
    // after its method was changed.
    for (const Row& r : kHeadRows) visit(r);
    for (const Row& r : kEdgeRows) visit(r);
    for (const Row& r : kPulseRows) visit(r);
    for (const Row& r : kVideoRows) visit(r);
    for (const Row& r : kSlopeRows) visit(r);
    for (int channel = 1; channel <= 2; ++channel) {
        const QString& type = channel == 1 ? s.AltCH1TrigType : s.AltCH2TrigType;
        if (!AltBlockOf(type)) note(type);
        for (const AltBlock& b : kAltBlocks)
            for (size_t i = 0; i < b.count; ++i) visit(AltRowOf(b.rows[i], channel));
    }
    for (const Row& r : kPatternRows) visit(r);
    for (const Row& r : kDurationRows) visit(r);
    visit(kLaDisplayRow);
    visit(kLaThresholdRow);
    AllSendable(s.TriggerPatternCode, IsPatternCode, note);
    AllSendable(s.TriggerDurationCode, IsPatternCode, note);
    AllSendable(s.LAChannelDisplay, IsOnOffWord, note);
    AllSendable(s.LAChannelPosition, IsPlainNumberText, note);
    for (const Row& r : kTailRows) visit(r);
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

long long LaStatusNumber(const CtrlSettings& s) {
    long long status = 0;
    for (int k = 1; k <= 16; ++k)
        if (s.LAChannelDisplay[k] == ValueWord(vwOn)) status += 1LL << (16 - k);
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
    up.levelsNotKnown.Report();
    const QList<int> unknown = up.UnknownValues();
    if (!unknown.isEmpty())
        MsgBox(MessageTable().MsgUploadUnknownValues.arg(UnknownCtrlValuesText(DSOSettings(), unknown)),
               vbExclamation);
}
