#pragma once
// The one rule by which a trigger level row counts for its source. The
// download, the editors' read-backs, the tree and the upload all go by it:
// - CH1, CH2: in divisions of that channel's scale, with its offset;
// - EXT, EXT5: in divisions of a fixed scale (0.2 V, 1 V) without offset;
// - any other source: the level is the logic analyser's threshold, or the
//   row keeps its text, by the trigger the level belongs to: EDGE keeps it
//   under the AC line and reads the threshold under any other; PULSE reads
//   the threshold under all of them; VIDEO and SLOPE keep it.
// The upload sends such a level as 0 volts (the instrument takes no level
// there).
#include <QString>

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
};

// The rule for `source`, as the mirror holds it or the instrument names it
// ("CH1", "EXT5", the AC-line word or "ACLINE", "D3" ...).
LevelRule LevelRuleOf(const QString& source, LevelTrigger trigger);
// The AC line: its value word in the UI language or the instrument's "ACLINE".
bool IsAcLineSource(const QString& source);
