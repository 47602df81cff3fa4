// Upload of all settings (transfer job 22): the settings mirror to the
// instrument as one fixed sequence of commands. The sequence is data: the
// row tables below, sent in their order.
#include <QtGlobal>
#include <algorithm>

#include "common/Pause.h"
#include "common/Wait.h"
#include "controller/CtrlFile.h"
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
    Conv conv = nullptr;
    const char* fixed = nullptr;  // Fixed: the value; Level: the source query
    bool step = false;
    int pauseMs = 0;
};

// Blocks A to D.
const Row kHeadRows[] = {
    {":RUN", Kind::Whole, &CtrlSettings::RunStop, RunStateToCmd, nullptr, true},
    {":TRIGGER:ALTERNATION:SOURCE", Kind::Fixed, nullptr, nullptr, "CHANNEL1"},
    {":TRIGGER:ALTERNATION:TIMESCALE", Kind::Upper, &CtrlSettings::AltCH1TimeBaseScale, nullptr, nullptr, true},
    {":TRIGGER:ALTERNATION:TIMEOFFSET", Kind::Upper, &CtrlSettings::AltCH1TimeBaseOffset, nullptr, nullptr, true},
    {":TRIGGER:ALTERNATION:SOURCE", Kind::Fixed, nullptr, nullptr, "CHANNEL2"},
    {":TRIGGER:ALTERNATION:TIMESCALE", Kind::Upper, &CtrlSettings::AltCH2TimeBaseScale, nullptr, nullptr, true},
    {":TRIGGER:ALTERNATION:TIMEOFFSET", Kind::Upper, &CtrlSettings::AltCH2TimeBaseOffset, nullptr, nullptr, true},
    {":TIMEBASE:FORMAT", Kind::Format, &CtrlSettings::TimeBaseFormat, nullptr, nullptr, true, 500},
    {":TIMEBASE:SCALE", Kind::Upper, &CtrlSettings::TimeBaseScale, nullptr, nullptr, true, 1000},
    {":TIMEBASE:OFFSET", Kind::Upper, &CtrlSettings::TimeBaseOffset, nullptr, nullptr, true},
    {":CHANNEL1:DISPLAY", Kind::Word, &CtrlSettings::CH1Display, OnOffToKeyword, nullptr, true},
    {":CHANNEL1:PROBE", Kind::Probe, &CtrlSettings::CH1Probe, nullptr, nullptr, true},
    {":CHANNEL1:SCALE", Kind::Upper, &CtrlSettings::CH1Scale, nullptr, nullptr, true},
    {":CHANNEL1:OFFSET", Kind::Upper, &CtrlSettings::CH1Offset, nullptr, nullptr, true},
    {":CHANNEL1:COUPLING", Kind::Word, &CtrlSettings::CH1Coupling, CouplingToKeyword, nullptr, true},
    {":CHANNEL1:BWLIMIT", Kind::Word, &CtrlSettings::CH1BWLimit, OnOffToKeyword, nullptr, true},
    {":CHANNEL2:DISPLAY", Kind::Word, &CtrlSettings::CH2Display, OnOffToKeyword, nullptr, true},
    {":CHANNEL2:PROBE", Kind::Probe, &CtrlSettings::CH2Probe, nullptr, nullptr, true},
    {":CHANNEL2:SCALE", Kind::Upper, &CtrlSettings::CH2Scale, nullptr, nullptr, true},
    {":CHANNEL2:OFFSET", Kind::Upper, &CtrlSettings::CH2Offset, nullptr, nullptr, true},
    {":CHANNEL2:COUPLING", Kind::Word, &CtrlSettings::CH2Coupling, CouplingToKeyword, nullptr, true},
    {":CHANNEL2:BWLIMIT", Kind::Word, &CtrlSettings::CH2BWLimit, OnOffToKeyword, nullptr, true},
    {":TRIGGER:MODE", Kind::Word, &CtrlSettings::TriggerMethod, TrigModeToKeyword, nullptr, true},
    {":TRIGGER:HOLDOFF", Kind::Upper, &CtrlSettings::TriggerHoldoff, nullptr, nullptr, true},
};

// Block E, one table per trigger method (no steps inside).
const Row kEdgeRows[] = {
    {":TRIGGER:EDGE:SOURCE", Kind::Word, &CtrlSettings::TriggerEdgeSource, TrigSourceToKeyword},
    {":TRIGGER:EDGE:SLOPE", Kind::Word, &CtrlSettings::TriggerEdgeSlope, EdgeSlopeToKeyword},
    {":TRIGGER:EDGE:SWEEP", Kind::Word, &CtrlSettings::TriggerEdgeSweep, SweepToKeyword},
    {":TRIGGER:EDGE:COUPLING", Kind::Word, &CtrlSettings::TriggerEdgeCoupling, CouplingToKeyword},
    {":TRIGGER:EDGE:SENSITIVITY", Kind::Stored, &CtrlSettings::TriggerEdgeSensitivity},
    {":TRIGGER:EDGE:LEVEL", Kind::Level, &CtrlSettings::TriggerEdgeLevel, nullptr, ":TRIGGER:EDGE:SOURCE?"},
};
const Row kPulseRows[] = {
    {":TRIGGER:PULSE:SOURCE", Kind::Word, &CtrlSettings::TriggerPulseSource, TrigSourceToKeyword},
    {":TRIGGER:PULSE:MODE", Kind::Word, &CtrlSettings::TriggerPulseMode, PulseModeToKeyword},
    {":TRIGGER:PULSE:WIDTH", Kind::Upper, &CtrlSettings::TriggerPulseWidth},
    {":TRIGGER:PULSE:SWEEP", Kind::Word, &CtrlSettings::TriggerPulseSweep, SweepToKeyword},
    {":TRIGGER:PULSE:COUPLING", Kind::Word, &CtrlSettings::TriggerPulseCoupling, CouplingToKeyword},
    {":TRIGGER:PULSE:SENSITIVITY", Kind::Stored, &CtrlSettings::TriggerPulseSensitivity},
    {":TRIGGER:PULSE:LEVEL", Kind::Level, &CtrlSettings::TriggerPulseLevel, nullptr, ":TRIGGER:PULSE:SOURCE?"},
};
const Row kVideoRows[] = {
    {":TRIGGER:VIDEO:SOURCE", Kind::Word, &CtrlSettings::TriggerVideoSource, TrigSourceToKeyword},
    {":TRIGGER:VIDEO:POLARITY", Kind::Word, &CtrlSettings::TriggerVideoPolarity, VideoPolarityToKeyword},
    {":TRIGGER:VIDEO:MODE", Kind::WordUpper, &CtrlSettings::TriggerVideoSync, VideoSyncToKeyword},
    {":TRIGGER:VIDEO:STANDARD", Kind::Word, &CtrlSettings::TriggerVideoStandard, VideoStandardConv},
    {":TRIGGER:VIDEO:LINE", Kind::Stored, &CtrlSettings::TriggerVideoLine},
    {":TRIGGER:VIDEO:SENSITIVITY", Kind::Stored, &CtrlSettings::TriggerVideoSensitivity},
    {":TRIGGER:VIDEO:LEVEL", Kind::Level, &CtrlSettings::TriggerVideoLevel, nullptr, ":TRIGGER:VIDEO:SOURCE?"},
};
const Row kSlopeRows[] = {
    {":TRIGGER:SLOPE:SOURCE", Kind::Word, &CtrlSettings::TriggerSlopeSource, TrigSourceToKeyword},
    {":TRIGGER:SLOPE:MODE", Kind::Word, &CtrlSettings::TriggerSlopeMode, SlopeModeToKeyword},
    {":TRIGGER:SLOPE:TIME", Kind::Upper, &CtrlSettings::TriggerSlopeTime},
    {":TRIGGER:SLOPE:WINDOW", Kind::Stored, &CtrlSettings::TriggerSlopeWindow},
    {":TRIGGER:SLOPE:SWEEP", Kind::Word, &CtrlSettings::TriggerSlopeSweep, SweepToKeyword},
    {":TRIGGER:SLOPE:COUPLING", Kind::Word, &CtrlSettings::TriggerSlopeCoupling, CouplingToKeyword},
    {":TRIGGER:SLOPE:SENSITIVITY", Kind::Stored, &CtrlSettings::TriggerSlopeSensitivity},
    {":TRIGGER:SLOPE:LEVELA", Kind::Level, &CtrlSettings::TriggerSlopeLevelA, nullptr, ":TRIGGER:SLOPE:SOURCE?"},
    {":TRIGGER:SLOPE:LEVELB", Kind::Level, &CtrlSettings::TriggerSlopeLevelB, nullptr, ":TRIGGER:SLOPE:SOURCE?"},
};

// The alternation sub-blocks: one row per setting, with the CH1 and the CH2 field.
struct AltRow {
    const char* header;
    Kind kind;
    Field ch1;
    Field ch2;
    Conv conv = nullptr;
};
#define KV_ALT(header, kind, name, conv) \
    {":TRIGGER:ALTERNATION:" header, Kind::kind, &CtrlSettings::AltCH1##name, &CtrlSettings::AltCH2##name, conv}
const AltRow kAltEdgeRows[] = {
    KV_ALT("EDGE:SLOPE", Word, EdgeSlope, EdgeSlopeToKeyword),
    KV_ALT("EDGE:COUPLING", Word, EdgeCoupling, CouplingToKeyword),
    KV_ALT("EDGE:LEVEL", Level, EdgeLevel, nullptr),
    KV_ALT("EDGE:SENSITIVITY", Stored, EdgeSensitivity, nullptr),
    KV_ALT("EDGE:HOLDOFF", Upper, EdgeHoldoff, nullptr),
};
const AltRow kAltPulseRows[] = {
    KV_ALT("PULSE:MODE", Word, PulseMode, PulseModeToKeyword),
    KV_ALT("PULSE:TIME", Upper, PulseWidth, nullptr),
    KV_ALT("PULSE:COUPLING", Word, PulseCoupling, CouplingToKeyword),
    KV_ALT("PULSE:LEVEL", Level, PulseLevel, nullptr),
    KV_ALT("PULSE:SENSITIVITY", Stored, PulseSensitivity, nullptr),
    KV_ALT("PULSE:HOLDOFF", Upper, PulseHoldoff, nullptr),
};
const AltRow kAltVideoRows[] = {
    KV_ALT("VIDEO:POLARITY", Word, VideoPolarity, VideoPolarityToKeyword),
    KV_ALT("VIDEO:MODE", WordUpper, VideoSync, VideoSyncToKeyword),
    KV_ALT("VIDEO:STANDARD", Word, VideoStandard, VideoStandardConv),
    KV_ALT("VIDEO:LINE", Stored, VideoLine, nullptr),
    KV_ALT("VIDEO:SENSITIVITY", Stored, VideoSensitivity, nullptr),
    KV_ALT("VIDEO:HOLDOFF", Upper, VideoHoldoff, nullptr),
    KV_ALT("VIDEO:LEVEL", Level, VideoLevel, nullptr),
};
const AltRow kAltSlopeRows[] = {
    KV_ALT("SLOPE:MODE", Word, SlopeMode, SlopeModeToKeyword),
    KV_ALT("SLOPE:TIME", Upper, SlopeTime, nullptr),
    KV_ALT("SLOPE:LEVELA", Level, SlopeLevelA, nullptr),
    KV_ALT("SLOPE:LEVELB", Level, SlopeLevelB, nullptr),
    KV_ALT("SLOPE:SENSITIVITY", Stored, SlopeSensitivity, nullptr),
    KV_ALT("SLOPE:HOLDOFF", Upper, SlopeHoldoff, nullptr),
    KV_ALT("SLOPE:COUPLING", Word, SlopeCoupling, CouplingToKeyword),
};
#undef KV_ALT

// Block G.
const Row kTailRows[] = {
    {":ACQUIRE:MODE", Kind::Word, &CtrlSettings::AcquireSampling, AcqModeToKeyword, nullptr, true},
    {":ACQUIRE:TYPE", Kind::Word, &CtrlSettings::AcquireType, AcqTypeToKeyword, nullptr, true},
    {":ACQUIRE:AVERAGES", Kind::Stored, &CtrlSettings::AcquireAverages, nullptr, nullptr, true},
    {":DISPLAY:TYPE", Kind::Word, &CtrlSettings::DisplayType, DisplayTypeToKeyword, nullptr, true},
    {":DISPLAY:PERSIST", Kind::Word, &CtrlSettings::DisplayPersist, OnOffToKeyword, nullptr, true},
    {":DISPLAY:GRID", Kind::Word, &CtrlSettings::DisplayGrid, GridToKeyword, nullptr, true},
};

class Uploader {
public:
    explicit Uploader(double step) : step_(step) {}

    bool Stopped() const { return lost_; }
    bool Complete() const { return !lost_ && !leftOut_ && !unknown_; }
    // Rows left out because the link failed them or a value could not be sent.
    bool Incomplete() const { return lost_ || leftOut_; }
    // Rows left out because their value word is none of the setting's choices.
    bool HadUnknownWords() const { return unknown_; }

    // A value word is sent only when it is one of its converter's words: a
    // word of neither language (read from a file) never goes out as the
    // converter's fallback keyword; its command is left out.
    bool Known(Conv conv, const QString& word) {
        if (IsKnownWord(conv, word)) return true;
        unknown_ = true;
        return false;
    }
    bool KnownCodes(const CtrlCodeArray& codes) {
        for (int k = 1; k <= 16; ++k) {
            if (!IsPatternCode(codes[k])) {
                unknown_ = true;
                return false;
            }
        }
        return true;
    }
    // The command `header` with the keyword of `word`, when the word is known.
    void SendWord(const QString& header, Conv conv, const QString& word) {
        if (Known(conv, word)) Send(header + " " + conv(word));
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
        QString value;
        bool ok = true;
        switch (r.kind) {
        case Kind::Whole:
            if (Known(r.conv, s.*r.field)) Send(r.conv(s.*r.field));
            Finish(r);
            return;
        case Kind::Fixed: value = r.fixed; break;
        case Kind::Word: ok = Known(r.conv, s.*r.field); value = r.conv(s.*r.field); break;
        case Kind::WordUpper: ok = Known(r.conv, s.*r.field); value = r.conv(s.*r.field).toUpper(); break;
        case Kind::Format: value = TimebaseFormatToKeyword(s.*r.field); break;
        case Kind::Upper: value = (s.*r.field).toUpper(); break;
        case Kind::Stored: value = s.*r.field; break;
        case Kind::Probe:
            ok = !(s.*r.field).isEmpty();
            value = (s.*r.field).chopped(ok ? 1 : 0);
            break;
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
        const AltRow* rows = nullptr;
        size_t n = 0;
        if (type == ValueWord(vwEdge)) rows = kAltEdgeRows, n = std::size(kAltEdgeRows);
        else if (type == ValueWord(vwPulse)) rows = kAltPulseRows, n = std::size(kAltPulseRows);
        else if (type == ValueWord(vwVideo)) rows = kAltVideoRows, n = std::size(kAltVideoRows);
        else if (type == ValueWord(vwSlope)) rows = kAltSlopeRows, n = std::size(kAltSlopeRows);
        // A type that is none of the four is not sent as another one.
        if (!rows) {
            unknown_ = true;
            return;
        }
        Send(":TRIGGER:ALTERNATION:TYPE " + TrigModeToKeyword(type));
        for (size_t i = 0; i < n; ++i) {
            const AltRow& a = rows[i];
            SendRow(Row{a.header, a.kind, channel == 1 ? a.ch1 : a.ch2, a.conv}, "CH" + ch);
        }
        Step();
    }

    void Send(const QString& command) {
        if (lost_) return;
        // A value that would end the command and start another is not sent.
        if (!IsCtrlValueText(command)) {
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
    bool unknown_ = false;
};

void SendLogicAnalyser(Uploader& up) {
    CtrlSettings& s = DSOSettings();
    if (s.TriggerMethod == ValueWord(vwPattern)) {
        if (!up.Stopped() && up.KnownCodes(s.TriggerPatternCode)) SendPatternTrigger(1);
        up.SendWord(":TRIGGER:PATTERN:SWEEP", SweepToKeyword, s.TriggerPatternSweep);
        up.Step();
    } else if (s.TriggerMethod == ValueWord(vwDuration)) {
        if (!up.Stopped() && up.KnownCodes(s.TriggerDurationCode)) SendPatternTrigger(1);
        up.SendWord(":TRIGGER:DURATION:QUALIFIER", DurationQualToKeyword, s.TriggerDurationQualifier);
        up.Send(":TRIGGER:DURATION:TIME " + s.TriggerDurationTime.toUpper());
        up.SendWord(":TRIGGER:DURATION:SWEEP", SweepToKeyword, s.TriggerDurationSweep);
        up.Step();
    }
    up.SendWord(":LA:DISPLAY", OnOffToKeyword, s.LADisplay);
    // The sixteen channel displays go in one number: sent only when each is on or off.
    if (std::all_of(s.LAChannelDisplay.begin() + 1, s.LAChannelDisplay.begin() + 17,
                    [&up](const QString& d) { return up.Known(OnOffToKeyword, d); }))
        up.Send(":LA:STATUS " + QString::number(LaStatusNumber(s)));
    up.Step();
    up.Send(":LA:LOCATION " + LaLocationText(s));
    up.Step();
    up.Send(":LA:THRESHOLD " + s.LAThreshold.toUpper());
    up.Step();
}

}  // namespace

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
    if (up.HadUnknownWords()) MsgBox(MessageTable().MsgUploadUnknownValues, vbExclamation);
}
