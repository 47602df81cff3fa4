#include "link/LevelBase.h"

#include <cmath>

#include "link/Converters.h"
#include "link/Formatters.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/ReplyParse.h"

namespace {

// A number for a command: ".", no trailing zeros, no blanks, no zero before
// the point below 1 (".6", "-.5", "0"), in the fewest significant digits (at
// most 15) that read back within `noise` of v. A value within the noise of 0
// is "0".
QString commandNumber(double v, double noise) {
    if (!std::isfinite(v) || std::fabs(v) <= noise) return "0";
    double kept = v;
    for (int digits = 1; digits < 15; ++digits) {
        const double rounded = QString::number(v, 'g', digits).toDouble();
        if (std::fabs(rounded - v) <= noise) {
            kept = rounded;
            break;
        }
    }
    // Written as before: exponent only for very small or large values.
    QString t = QString::number(kept, 'g', 15);
    if (t.startsWith("0.")) t.remove(0, 1);
    else if (t.startsWith("-0.")) t.remove(1, 1);
    return t;
}

// One number of a base, its reply cut at the line feed. A reply that did not
// come, or that came but is no number (the link is then out of step), gives
// false and is noted in `base` with its query.
bool askNumber(const QString& query, LevelBase& base, QString& reply) {
    reply = TrimReply(QueryCmd(query));
    if (!Link().ReplyFailed && IsNumberReply(reply)) return true;
    if (!Link().ReplyFailed) NoteReplyGarbled();
    base.failedQuery = query;
    base.failedReply = reply;
    return false;
}

}  // namespace

QString LevelBase::DivText(const QString& volts) const {
    if (kind != Divisions) return QString();
    const double d = LeadingNumber(scale);
    if (d == 0) return QString();
    const double q = (LeadingNumber(volts) + offset) / d;
    if (!std::isfinite(q)) return QString();
    return FormatDiv(q);
}

bool LevelBase::Volts(const QString& levelDiv, QString& volts, bool* finite) const {
    if (finite) *finite = true;
    if (kind == Unknown) return false;
    // No scale (Threshold, Kept) reads as 0.
    const double product = LeadingNumber(levelDiv) * LeadingNumber(scale);
    const double shift = kind == Divisions ? offset : 0;
    // The product and the difference leave noise in the last bits
    // (1.44 x 1 - 1.5 is -0.06000000000000005): digits below a millionth of a
    // millionth of the terms are that noise, far below the instrument's
    // resolution, and are not sent.
    const double noise = 1e-12 * (std::fabs(product) + std::fabs(shift));
    const double v = product - shift;
    // No command carries a level that overflowed (1e308div at 2 V/div).
    if (!std::isfinite(v) || !std::isfinite(noise)) {
        if (finite) *finite = false;
        return false;
    }
    volts = commandNumber(v, noise);
    return true;
}

LevelBase AskLevelBase(const QString& source, LevelTrigger trigger, const KnownOffsets* known) {
    LevelBase b;
    const LevelRule rule = LevelRuleOf(source, trigger);
    switch (rule.by) {
    case LevelBy::Channel: {
        const QString ch = QString::number(rule.channel);
        QString scale, offset;
        if (!askNumber(":CHANNEL" + ch + ":SCALE?", b, scale)) return b;
        b.scale = scale;
        if (known) {
            b.offset = known->channel[rule.channel];
        } else {
            if (!askNumber(":CHANNEL" + ch + ":OFFSET?", b, offset)) return b;
            b.offset = LeadingNumber(offset);
        }
        b.kind = LevelBase::Divisions;
        return b;
    }
    case LevelBy::Fixed:
        b.kind = LevelBase::Divisions;
        b.scale = rule.scale;
        return b;
    case LevelBy::Threshold: b.kind = LevelBase::Threshold; return b;
    case LevelBy::Kept: b.kind = LevelBase::Kept; return b;
    }
    return b;
}

bool TriggerLevelVolts(const QString& levelDiv, const QString& source, QString& volts, bool* finite) {
    if (finite) *finite = true;
    if (!IsSourceReply(source)) {
        // A source asked just before that came as something else.
        if (!Link().ReplyFailed) NoteReplyGarbled();
        return false;
    }
    return AskLevelBase(source, LevelTrigger::None).Volts(levelDiv, volts, finite);
}
