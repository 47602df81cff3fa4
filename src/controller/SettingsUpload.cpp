// Upload of all settings (transfer job 22): the settings mirror to the
// instrument as one fixed sequence of commands. The sequence is data: the
// row tables below, sent in their order.
#include <QtGlobal>
#include <algorithm>
#include <optional>

#include "common/Pause.h"
#include "common/Wait.h"
#include "controller/CtrlFile.h"
#include "controller/LevelMark.h"
#include "controller/SettingsTransfer.h"
#include "controller/SettingsTransferSteps.h"
#include "link/Converters.h"
#include "link/KV2200Cmd.h"
#include "link/LevelBase.h"
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
    Level,      // the level in volts (by its source: the catalog's levelSource or levelChannel)
};

// One setting of the sequence: its command's header is the catalog's.
struct Row {
    Kind kind;
    Field field = nullptr;
    const char* fixed = nullptr;  // Fixed: the whole command
    bool step = false;
    int pauseMs = 0;
};

Row R(Field f, Kind kind, bool step = false, int pauseMs = 0) { return {kind, f, nullptr, step, pauseMs}; }
Row FixedRow(const char* command) { return {Kind::Fixed, nullptr, command}; }
Row LevelRow(Field f) { return {Kind::Level, f}; }

// The header of a row's command: the catalog's command of its setting.
QString HeaderOf(Field f) { return SettingOf(f).command; }

// Blocks A to D.
const Row kHeadRows[] = {
    R(&S::RunStop, Kind::Whole, true),
    FixedRow(":TRIGGER:ALTERNATION:SOURCE CHANNEL1"),
    R(&S::AltCH1TimeBaseScale, Kind::Upper, true),
    R(&S::AltCH1TimeBaseOffset, Kind::Upper, true),
    FixedRow(":TRIGGER:ALTERNATION:SOURCE CHANNEL2"),
    R(&S::AltCH2TimeBaseScale, Kind::Upper, true),
    R(&S::AltCH2TimeBaseOffset, Kind::Upper, true),
    R(&S::TimeBaseFormat, Kind::Format, true, 500),
    R(&S::TimeBaseScale, Kind::Upper, true, 1000),
    R(&S::TimeBaseOffset, Kind::Upper, true),
    R(&S::CH1Display, Kind::Word, true),
    R(&S::CH1Probe, Kind::Probe, true),
    R(&S::CH1Scale, Kind::Upper, true),
    R(&S::CH1Offset, Kind::Upper, true),
    R(&S::CH1Coupling, Kind::Word, true),
    R(&S::CH1BWLimit, Kind::Word, true),
    R(&S::CH2Display, Kind::Word, true),
    R(&S::CH2Probe, Kind::Probe, true),
    R(&S::CH2Scale, Kind::Upper, true),
    R(&S::CH2Offset, Kind::Upper, true),
    R(&S::CH2Coupling, Kind::Word, true),
    R(&S::CH2BWLimit, Kind::Word, true),
    R(&S::TriggerMethod, Kind::Word, true),
    R(&S::TriggerHoldoff, Kind::Upper, true),
};

// Block E, one table per trigger method (no steps inside).
const Row kEdgeRows[] = {
    R(&S::TriggerEdgeSource, Kind::Word),
    R(&S::TriggerEdgeSlope, Kind::Word),
    R(&S::TriggerEdgeSweep, Kind::Word),
    R(&S::TriggerEdgeCoupling, Kind::Word),
    R(&S::TriggerEdgeSensitivity, Kind::Stored),
    LevelRow(&S::TriggerEdgeLevel),
};
const Row kPulseRows[] = {
    R(&S::TriggerPulseSource, Kind::Word),
    R(&S::TriggerPulseMode, Kind::Word),
    R(&S::TriggerPulseWidth, Kind::Upper),
    R(&S::TriggerPulseSweep, Kind::Word),
    R(&S::TriggerPulseCoupling, Kind::Word),
    R(&S::TriggerPulseSensitivity, Kind::Stored),
    LevelRow(&S::TriggerPulseLevel),
};
const Row kVideoRows[] = {
    R(&S::TriggerVideoSource, Kind::Word),
    R(&S::TriggerVideoPolarity, Kind::Word),
    R(&S::TriggerVideoSync, Kind::WordUpper),
    R(&S::TriggerVideoStandard, Kind::Word),
    R(&S::TriggerVideoLine, Kind::Stored),
    R(&S::TriggerVideoSensitivity, Kind::Stored),
    LevelRow(&S::TriggerVideoLevel),
};
const Row kSlopeRows[] = {
    R(&S::TriggerSlopeSource, Kind::Word),
    R(&S::TriggerSlopeMode, Kind::Word),
    R(&S::TriggerSlopeTime, Kind::Upper),
    R(&S::TriggerSlopeWindow, Kind::Stored),
    R(&S::TriggerSlopeSweep, Kind::Word),
    R(&S::TriggerSlopeCoupling, Kind::Word),
    R(&S::TriggerSlopeSensitivity, Kind::Stored),
    LevelRow(&S::TriggerSlopeLevelA),
    LevelRow(&S::TriggerSlopeLevelB),
};

// The alternation sub-blocks: one row per setting, with the CH1 and the CH2 field.
struct AltRow {
    Kind kind;
    Field ch1;
    Field ch2;
};
#define KV_ALT(kind, name) {Kind::kind, &CtrlSettings::AltCH1##name, &CtrlSettings::AltCH2##name}
const AltRow kAltEdgeRows[] = {
    KV_ALT(Word, EdgeSlope),
    KV_ALT(Word, EdgeCoupling),
    KV_ALT(Level, EdgeLevel),
    KV_ALT(Stored, EdgeSensitivity),
    KV_ALT(Upper, EdgeHoldoff),
};
const AltRow kAltPulseRows[] = {
    KV_ALT(Word, PulseMode),
    KV_ALT(Upper, PulseWidth),
    KV_ALT(Word, PulseCoupling),
    KV_ALT(Level, PulseLevel),
    KV_ALT(Stored, PulseSensitivity),
    KV_ALT(Upper, PulseHoldoff),
};
const AltRow kAltVideoRows[] = {
    KV_ALT(Word, VideoPolarity),
    KV_ALT(WordUpper, VideoSync),
    KV_ALT(Word, VideoStandard),
    KV_ALT(Stored, VideoLine),
    KV_ALT(Stored, VideoSensitivity),
    KV_ALT(Upper, VideoHoldoff),
    KV_ALT(Level, VideoLevel),
};
const AltRow kAltSlopeRows[] = {
    KV_ALT(Word, SlopeMode),
    KV_ALT(Upper, SlopeTime),
    KV_ALT(Level, SlopeLevelA),
    KV_ALT(Level, SlopeLevelB),
    KV_ALT(Stored, SlopeSensitivity),
    KV_ALT(Upper, SlopeHoldoff),
    KV_ALT(Word, SlopeCoupling),
};
#undef KV_ALT

// A channel's alternation rows as plain rows.
Row AltRowOf(const AltRow& a, int channel) { return {a.kind, channel == 1 ? a.ch1 : a.ch2}; }

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
    const int word = OwnWordOf(SettingOf(&S::AltCH1TrigType), type);
    for (const AltBlock& b : kAltBlocks)
        if (word == b.type) return &b;
    return nullptr;
}

// Block F's rows (the codes, channel displays and positions go in numbers of their own).
const Row kPatternRows[] = {
    R(&S::TriggerPatternSweep, Kind::Word),
};
const Row kDurationRows[] = {
    R(&S::TriggerDurationQualifier, Kind::Word),
    R(&S::TriggerDurationTime, Kind::Upper),
    R(&S::TriggerDurationSweep, Kind::Word),
};
const Row kLaDisplayRow = R(&S::LADisplay, Kind::Word);
const Row kLaThresholdRow = R(&S::LAThreshold, Kind::Upper, true);

// Block G.
const Row kTailRows[] = {
    R(&S::AcquireSampling, Kind::Word, true),
    R(&S::AcquireType, Kind::Word, true),
    R(&S::AcquireAverages, Kind::Stored, true),
    R(&S::DisplayType, Kind::Word, true),
    R(&S::DisplayPersist, Kind::Word, true),
    R(&S::DisplayGrid, Kind::Word, true),
};

// The keyword of a word row: the setting's own word (of either language) as
// the loaded word, through the setting's converter.
QString KeywordOf(const Row& r, const QString& value) {
    const SettingDesc& d = SettingOf(r.field);
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
    void SendRow(const Row& r) {
        if (lost_) return;
        if (r.kind == Kind::Fixed) {
            Send(r.fixed);
            return Finish(r);
        }
        CtrlSettings& s = DSOSettings();
        // A level whose place is not known is left out, never guessed.
        if (r.kind == Kind::Level && levelsNotKnown.LeaveOut(s, s.*r.field)) return Finish(r);
        // The value as the setting writes it (SettingCatalog); none: the
        // setting cannot be it, and its command is left out.
        const int number = SettingNumber(r.field);
        const std::optional<QString> text = SettingSendText(s, number);
        if (!text) {
            Unknown(s.*r.field);
            Finish(r);
            return;
        }
        if (r.kind == Kind::Whole) {
            Send(KeywordOf(r, *text));
            return Finish(r);
        }
        QString value;
        // The time base format's converter trims the field itself.
        QString sendText = *text;
        QString& from = r.kind == Kind::Format ? s.*r.field : sendText;
        const bool ok = r.kind == Kind::Level ? LevelValue(s.*r.field, *text, SettingOf(number), value)
                                              : MakeValue(r, from, value);
        if (ok && !lost_) Send(HeaderOf(r.field) + " " + value);
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
        Send(HeaderOf(&S::AltCH1TrigType) + " " + TrigModeToKeyword(ValueWord(block->type)));
        for (size_t i = 0; i < block->count; ++i) SendRow(AltRowOf(block->rows[i], channel));
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

    // The value text of a row that is no level, made from its send text.
    static bool MakeValue(const Row& r, QString& field, QString& value) {
        switch (r.kind) {
        case Kind::Word: value = KeywordOf(r, field); break;
        case Kind::WordUpper: value = KeywordOf(r, field).toUpper(); break;
        case Kind::Format: value = TimebaseFormatToKeyword(field); break;
        case Kind::Upper: value = field.toUpper(); break;
        case Kind::Stored: value = field; break;
        case Kind::Probe: value = field.chopped(1); break;
        case Kind::Whole:
        case Kind::Fixed:
        case Kind::Level: return false;
        }
        return true;
    }

    // Volts of a level row: the source asked of the instrument by its
    // method's source query (the catalog's levelSource), or under
    // alternation the level's channel. A reply that did not come, or that is
    // no source, scale or offset, gives no command rather than a made-up
    // level, and the row is named. The upload asks on: the command layer
    // puts the link back in step before the next query, or does not send it
    // (KV2200Cmd.h), so a late reply is never taken for a later row's.
    // `field` is the row's value (named when left out), `levelDiv` its send text.
    bool LevelValue(const QString& field, const QString& levelDiv, const SettingDesc& level, QString& value) {
        QString source = "CH" + QString::number(level.levelChannel);
        if (level.levelSource > 0) {
            source = TrimReply(QueryCmd(SettingOf(level.levelSource).query));
            if (!CheckLink()) return LeftOut();
            if (Link().ReplyFailed) return Unanswered(field);
            if (!IsSourceReply(source)) {
                NoteReplyGarbled();
                return Unanswered(field);
            }
        }
        // A threshold (or volts) text is a level only where the level is the
        // analyser's threshold under the instrument's source (the level
        // rule; should its source command have been left out, the
        // instrument's may be another): it then goes out as 0 volts, and
        // under any other source it is named, never sent as divisions.
        if (!IsDivText(levelDiv) && !LevelIsThreshold(source, level.levelTrigger)) {
            Unknown(field);
            return false;
        }
        bool finite = true;
        const bool made = TriggerLevelVolts(levelDiv, source, value, &finite);
        if (!CheckLink()) return LeftOut();
        if (!finite) {
            Unknown(field);
            return false;
        }
        return made || Unanswered(field);
    }

    // A level row left out because a reply it is computed from did not come
    // or could not be read; returns false.
    bool Unanswered(const QString& field) {
        if (!unanswered_.Note(DSOSettings(), field)) leftOut_ = true;
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
        up.Send(SettingOf(&S::LAChannelDisplay, 1).command + " " + QString::number(LaStatusNumber(s)));
    up.Step();
    if (up.ArraySendable(&CtrlSettings::LAChannelPosition))
        up.Send(SettingOf(&S::LAChannelPosition, 1).command + " " + LaLocationText(s));
    up.Step();
    up.SendRow(kLaThresholdRow);
}

}  // namespace

QList<int> UnsendableCtrlValues(const CtrlSettings& s) {
    // Every value the upload sends, whatever the method: a file may be
    // uploaded after its method was changed.
    QList<int> out;
    // A level not known is a state of its own (LevelRowsNotKnown).
    for (const SettingDesc& d : SettingCatalog())
        if (SettingSent(d.number) && !SettingHolds(s, d.number) && !SettingNotKnown(s, d.number)) out << d.number;
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

QList<int> UploadSequence() {
    QList<int> out;
    auto rows = [&](const auto& table) {
        for (const Row& r : table)
            if (r.field) out << SettingNumber(r.field);
    };
    auto array = [&](CtrlCodeArray S::*a) {
        for (int k = 1; k <= 16; ++k) out << SettingNumber(a, k);
    };
    rows(kHeadRows);
    rows(kEdgeRows);
    rows(kPulseRows);
    rows(kVideoRows);
    rows(kSlopeRows);
    for (int ch : {1, 2}) {
        out << SettingNumber(ch == 1 ? &S::AltCH1TrigType : &S::AltCH2TrigType);
        for (const AltBlock& b : kAltBlocks)
            for (size_t i = 0; i < b.count; ++i) out << SettingNumber(AltRowOf(b.rows[i], ch).field);
    }
    array(&S::TriggerPatternCode);
    rows(kPatternRows);
    array(&S::TriggerDurationCode);
    rows(kDurationRows);
    out << SettingNumber(kLaDisplayRow.field);
    array(&S::LAChannelDisplay);
    array(&S::LAChannelPosition);
    out << SettingNumber(kLaThresholdRow.field);
    rows(kTailRows);
    return out;
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
        MsgBox(MessageTable().MsgUploadUnknownValues.Naming(UnknownCtrlValueLines(DSOSettings(), unknown)),
               vbExclamation);
}
