// The one place where a trigger level row is read from the instrument: the
// base its source gives the level (as the download counts it) and the row
// itself. Every road that reads a level back goes through here: the trigger
// method and source, a channel's offset, probe and volts per division, the
// alternation trigger type, Set Trig to 50%.
#include "controller/LevelMark.h"
#include "editors/ApplyCore.h"
#include "link/Converters.h"
#include "link/KV2200Cmd.h"
#include "link/LevelBase.h"
#include "link/LinkState.h"
#include "link/ReplyParse.h"
#include "link/SettingCatalog.h"
#include "link/Vocabulary.h"

namespace {
// A level query's reply; empty (and marked) when it did not come. After a
// reply that did not come or made no sense the command layer puts the link
// back in step before this query goes out, or does not send it.
QString askLevel(ApplyRun& run, const QString& query) {
    const QString reply = TrimReply(QueryCmd(query));
    ReplyLost(run, reply);
    return reply;
}
}  // namespace

void MarkLevelNotKnown(QString& field) { field = LevelNotKnownText(); }

LevelBase ReadLevelBase(ApplyRun& run, const QString& source, LevelTrigger trigger) {
    const LevelBase b = AskLevelBase(source, trigger);
    if (b.kind == LevelBase::Unknown) NoteUnusableReadBack(run);
    return b;
}

bool ReadLevelRow(ApplyRun& run, const QString& query, const LevelBase& base, QString& field) {
    switch (base.kind) {
    case LevelBase::Kept: return true;
    case LevelBase::Unknown:
        MarkLevelNotKnown(field);
        return true;  // nothing was asked
    case LevelBase::Threshold: {
        const QString reply = askLevel(run, ":LA:THRESHOLD?");
        QString unused;
        if (!StoreReadBack(run, unused, reply, nullptr, IsThresholdReply(reply)) || reply.isEmpty()) {
            if (reply.isEmpty()) NoteUnusableReadBack(run);
            MarkLevelNotKnown(field);
            return !Link().ReplyFailed;  // a garbled threshold ends nothing
        }
        const QString text = LaThresholdToText(reply);
        if (!text.isEmpty()) field = text;
        return true;
    }
    case LevelBase::Divisions: break;
    }
    const QString reply = askLevel(run, query);
    const QString div = IsNumberReply(reply) ? base.DivText(reply) : QString();
    if (div.isEmpty()) {
        // No reply, a cut or garbled one, or no divisions to be had of it.
        if (!Link().ReplyFailed && !IsNumberReply(reply)) NoteReplyGarbled();
        NoteUnusableReadBack(run);
        MarkLevelNotKnown(field);
        return false;
    }
    field = div;
    return true;
}

bool ReadLevelRows(ApplyRun& run, CtrlSettings& s, const std::vector<int>& rows, const LevelBase& base) {
    for (size_t i = 0; i < rows.size(); ++i) {
        if (ReadLevelRow(run, SettingOf(rows[i]).query, base, SettingValue(s, rows[i]))) continue;
        for (size_t k = i + 1; k < rows.size(); ++k) MarkLevelNotKnown(SettingValue(s, rows[k]));
        return false;
    }
    return true;
}
