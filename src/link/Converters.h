#pragma once
// Converters between the display words of the settings mirror (ValueWords of
// the current UI language) and the instrument's keywords and reply forms,
// and the setting converters and trigger helpers built on them.
//
// All comparisons are exact, whole-text and case-sensitive. Every converter
// is total: odd input gives the documented fallback, never a failure.
#include <QString>
#include <vector>
#include <functional>

#include "common/DSOSettings.h"

// ---- Keyword converters: display word -> keyword / reply -> display word.
QString RunStateToCmd(const QString& word);  // a whole command: ":RUN" or ":STOP"
QString RunStateToText(const QString& reply);
QString OnOffToKeyword(const QString& word);
QString OnOffToText(const QString& reply);
QString AcqModeToKeyword(const QString& word);
QString AcqModeToText(const QString& reply);
QString AcqTypeToKeyword(const QString& word);
QString AcqTypeToText(const QString& reply);
QString DisplayTypeToKeyword(const QString& word);
QString DisplayTypeToText(const QString& reply);
QString GridToKeyword(const QString& word);
QString GridToText(const QString& reply);
QString TrigModeToKeyword(const QString& word);
QString TrigModeToText(const QString& reply);
QString SweepToKeyword(const QString& word);  // unknown: the empty text
QString SweepToText(const QString& reply);    // unknown: the empty text
QString CouplingToKeyword(const QString& word);
QString CouplingToText(const QString& reply);
QString EdgeSlopeToKeyword(const QString& word);
QString EdgeSlopeToText(const QString& reply);
QString PulseModeToKeyword(const QString& word);
QString PulseModeToText(const QString& reply);
QString SlopeModeToKeyword(const QString& word);
QString SlopeModeToText(const QString& reply);
QString VideoPolarityToKeyword(const QString& word);
QString VideoPolarityToText(const QString& reply);
QString VideoSyncToKeyword(const QString& word);
QString VideoSyncToText(const QString& reply);
QString DurationQualToKeyword(const QString& word);
QString DurationQualToText(const QString& reply);

// ---- Setting converters. An empty result from a converter of a reply
// means "not convertible": the caller keeps the setting it would have set.

// Trims blanks from both ends of `format` in place; "Y-T" -> "YT",
// "X-Y" -> "XY", "Roll" -> "SCANNING"; any other text gives the empty text
// (no format is made of a word that names none).
QString TimebaseFormatToKeyword(QString& format);
QString TimebaseFormatToText(const QString& reply);  // "SCANNING" -> "Roll"
// Level text of a logic-channel trigger: "TTL"/"ECL"/"CMOS" as they are, a
// user level (five characters of prefix, then the level) as a volts text.
// A reply shorter than the five-character prefix gives the empty text; the
// prefix alone is an empty level (formatted as zero).
QString LaThresholdToText(const QString& reply);
// Threshold setting text: "User" + one character + level -> volts text; a
// "User" alone gives the empty text, "User " (an empty level) the formatted
// zero; anything else as it is.
QString LaThresholdUserText(const QString& reply);
// "CH1" -> "CHANNEL1", "CH2" -> "CHANNEL2", the AC-line word (or
// "ACLINE" itself, as a download keeps it) -> "ACLINE", "EXT", "EXT5", "D0" ... "D15" -> "DIGITAL0" ... "DIGITAL15"; any other
// text (the empty one included) gives the empty text.
QString TrigSourceToKeyword(const QString& source);
QString TrigSourceToText(const QString& reply);  // "ACLINE" -> the AC-line word
// Level in volts for a level command, from a level in divisions and the
// source's scale and offset (asked for CH1/CH2; LevelBase.h), always with ".",
// in the fewest digits that keep the value. A scale or offset reply that did
// not come or is no number counts as 0. (The upload and the setting dialog
// go by TriggerLevelVolts, LevelBase.h, which makes no level of those.)
QString TriggerLevelText(const QString& levelDiv, const QString& source);
// Sends the pattern of the pattern or duration trigger after the code of
// channel Dn (0..15) was set; clears a second edge. n outside 0..15 sends
// nothing.
void SendPatternTrigger(int n);
// The command SendPatternTrigger sends for the mirror `s` (clearing a second
// edge in it); the empty text for n outside 0..15.
QString PatternTriggerCommand(CtrlSettings& s, int n);
// "PAL/SECAM" -> "PALSECAM", "NTSC" as it is; any other text gives the empty text.
QString VideoStandardConv(const QString& standard);
QString DivToText(const QString& reply);             // a number -> "#0.00" and "div" (sensitivities)
QString ProbeToText(const QString& reply);           // "1X" ... "1000X"
// Fills codes[1..16] from a pattern reply "value,mask[,edge channel[,sense]]";
// the reply variable keeps the last field. Returns the empty text. A reply
// of more than four fields changes no code; an unusable edge field sets no
// edge. Edges are written as the "Rising"/"Falling" labels.
QString PatternText(QString& reply, CtrlCodeArray& codes);
// The volts/div text that the same setting has with a 1X probe.
QString VoltsPerDivIndex(const QString& voltsPerDiv, const QString& probe);

// ---- Replies a converter knows. The converters above are total (odd input
// gives their fallback); where a reply that makes no sense must not be
// stored, the caller asks these first.
using ReplyConverter = QString (*)(const QString&);
// Whether `reply` (cut at its line feed) is one that `conv` knows: one of a
// keyword converter's reply words (the fallback row's own word included, so
// "OFF" is known to OnOffToText, "WAIT" is not), a number for the display
// formatters (FormatVolt, FormatTime3 ...), "Y-T", "X-Y" or "SCANNING", a
// trigger source, a threshold, a probe text ("1X" ... "1000X"). The empty
// text is known to none; a converter not listed here knows every other text.
bool IsKnownReply(ReplyConverter conv, const QString& reply);
// A finite number and nothing else ("." as decimal point, blanks around it):
// IsPlainNumber, the number the formatters read.
bool IsNumberReply(const QString& reply);
// "CH1", "CH2", "EXT", "EXT5", "ACLINE", "D0" ... "D15".
bool IsSourceReply(const QString& reply);
// A level row's divisions ("0.10div", "-1.24div"), read by ReadUnitNumber:
// what the upload's levels turn into volts.
bool IsDivText(const QString& text);
// A probe reply or value: "1X", "2X", "5X", "10X" ... "1000X".
bool IsProbeText(const QString& text);
// "NTSC" or "PAL/SECAM".
bool IsVideoStandardReply(const QString& reply);
// "TTL", "ECL", "CMOS", or a user level: "USER" (any case), one separator
// and a number.
bool IsThresholdReply(const QString& reply);

// Whether a pattern code is the rising or the falling edge (either spelling
// in either language: the "Rising" label or the "RISING" word).
bool IsRisingCode(const QString& code);
bool IsFallingCode(const QString& code);

// What the pattern sender needs of the controller tree: rewrite the text of
// the node (group, item) of the node table. Unset: nothing is rewritten.
struct CtrlTreeHooks {
    std::function<void(int group, int item, const QString& text)> SetNodeText;
};
CtrlTreeHooks& CtrlTreeUi();
