#pragma once
// The one rule by which a trigger level row counts for its source. The
// download, the editors' read-backs, the tree, the settings catalog and the
// upload all go by it:
// - CH1, CH2: in divisions of that channel's scale, with its offset;
// - EXT, EXT5: in divisions of a fixed scale (0.2 V, 1 V) without offset;
// - a logic channel (D0 ... D15) or the AC line: the level is the logic
//   analyser's threshold, or the row keeps its text, by the trigger the level
//   belongs to: EDGE reads the threshold under a logic channel and keeps the
//   row under the AC line; PULSE reads the threshold under both; VIDEO,
//   SLOPE and the alternation keep it;
// - a text that names no source keeps the row.
// The upload sends a level whose source has no scale of its own as 0 volts
// (the instrument takes no level there); how the volts and divisions are
// made is LevelBase.h's.
#include <QString>

#include "common/DSOSettings.h"

// The trigger a level row belongs to (the settings catalog says it for each
// of the 15 levels: SettingDesc::levelTrigger).
enum class LevelTrigger {
    None,         // not a level
    Edge,         // the main EDGE level
    Pulse,        // the main PULSE level
    VideoSlope,   // the main VIDEO level, SLOPE levels A and B
    Alternation,  // a channel's level under alternation: its source is the channel
};

// How a level counts under a source.
enum class LevelBy {
    Channel,    // divisions of channel `channel`'s scale and offset (asked of the instrument)
    Fixed,      // divisions of the fixed `scale`, no offset
    Threshold,  // the logic analyser's threshold
    Kept,       // the row keeps its text
};

struct LevelRule {
    LevelBy by = LevelBy::Kept;
    int channel = 0;          // Channel: 1 or 2
    const char* scale = "";   // Fixed: "0.2" (EXT) or "1" (EXT5)
    // Threshold under a logic channel: the trigger then has no coupling,
    // level or sensitivity of its own (the threshold is the analyser's row),
    // and its method shows none of those rows. Under the AC line (PULSE) the
    // level row stays and shows the threshold.
    bool logicChannel = false;
};

// The rule for `source`, as the mirror holds it or the instrument names it
// ("CH1", "EXT5", the AC-line word or "ACLINE", "D3" ...).
LevelRule LevelRuleOf(const QString& source, LevelTrigger trigger);
// The rule of level row `levelNumber` of `s` (one of the 15: the catalog's
// levelTrigger), by its source: the method's source row (levelSource), or
// under alternation its channel (levelChannel). Kept for any other value.
LevelRule LevelRuleOf(const CtrlSettings& s, int levelNumber);
// Whether a level is the logic analyser's threshold: of `trigger` under
// `source` (as the instrument names it), or level row `levelNumber` of `s`.
// The one answer to whether a level row may hold a threshold (or volts)
// text, which the upload then sends as 0 volts.
bool LevelIsThreshold(const QString& source, LevelTrigger trigger);
bool LevelIsThreshold(const CtrlSettings& s, int levelNumber);
// The AC line: its value word in the UI language or the instrument's "ACLINE".
bool IsAcLineSource(const QString& source);
// A logic channel: "D0" ... "D15".
bool IsLogicSource(const QString& source);
