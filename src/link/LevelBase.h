#pragma once
// A trigger level between the instrument and the mirror: the instrument keeps
// it in volts, the mirror in divisions of its source's scale with its offset
// (the level rule, LevelRule.h). The one place that asks a source's scale
// and offset of the instrument and makes divisions of volts (the download,
// the setting editors' read-backs, the alternation's) or volts of divisions
// (the upload, the setting dialog's level commands).
//
// A reply it asks for that did not come (Link().ReplyFailed: the transport
// has left the link out of step) or that is no number (NoteReplyGarbled: out
// of step too) gives no base, and nothing more is asked; the command layer
// puts the link back in step before the caller's next request, or does not
// send it (KV2200Cmd.h).
#include <QString>

#include "link/LevelRule.h"

struct LevelBase {
    enum Kind {
        Unknown,    // a scale or offset reply did not come or is no number
        Divisions,  // divisions of `scale` with `offset` (CH1, CH2, EXT, EXT5)
        Threshold,  // the logic analyser's threshold
        Kept,       // the source has no scale: the row keeps its text
    } kind = Unknown;
    QString scale;      // Divisions: volts per division, a number text; Unknown: the scale when it came
    double offset = 0;  // Divisions: the source's offset in volts
    // Unknown: the query whose reply could not be used, and that reply (empty
    // when none came, or it came empty).
    QString failedQuery;
    QString failedReply;

    // A level reply in volts as divisions: (volts + offset) / scale as
    // "#0.00div" (FormatDiv). The empty text for any other kind, a scale of 0
    // or no number, or a quotient that is not finite.
    QString DivText(const QString& volts) const;
    // The volts of a level command for a level in divisions: div x scale -
    // offset, with "." in the fewest digits that keep the value (the
    // arithmetic's noise in the last bits is not sent: "-.06", not
    // "-.0600000000000001"). A source without a scale (Threshold, Kept) takes
    // 0 volts: the instrument takes no level there. False for Unknown, and
    // for volts that are not finite (a huge level times the scale; `finite`,
    // when given, is then set false).
    bool Volts(const QString& levelDiv, QString& volts, bool* finite = nullptr) const;
};

// Channel offsets the caller has just read (the download reads them in its
// own order), by channel number (1, 2).
struct KnownOffsets {
    double channel[3] = {0, 0, 0};
};

// The base of a level of `trigger` under `source` (as the mirror holds it or
// the instrument names it), by the level rule: CH1 and CH2 ask the channel's
// scale, then its offset (unless `known` gives it); EXT and EXT5 have fixed
// scales without offset; the rest ask nothing.
LevelBase AskLevelBase(const QString& source, LevelTrigger trigger, const KnownOffsets* known = nullptr);

// The volts of a level command for `levelDiv` under `source` as the
// instrument named it (or the alternation channel), its base asked
// (AskLevelBase). The volts are the same under every trigger: a source
// without a scale of its own takes 0. False, and no volts, when the source is
// none the instrument names (a reply that came as something else is
// garbled), a scale or offset reply did not come or is no number, or the
// volts are not finite (`finite` false). No level is made up of a reply that
// did not come; the upload and the setting dialog both go by this.
bool TriggerLevelVolts(const QString& levelDiv, const QString& source, QString& volts, bool* finite = nullptr);
