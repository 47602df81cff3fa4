#pragma once
// The catalog of the settings mirror: one description for each of its 193
// values, saying what the value may hold (its own value words, or the form
// of its number or text), the converter that makes its keyword, whether the
// upload sends it, its default, and where it goes: its command, query and
// reply converter, its tree row (group, item) and label, and its editor.
// Every road that judges, translates, lists or carries a value reads it
// here: the file open's normalisation, the language switch, the defaults,
// the upload and the download, the controller tree's rows, the setting
// dialog's rows and lists, and the applies' commands, tree places and
// converters. What is not a setting stays outside: the immediate actions,
// the group nodes and the sequences' fixed rows. The orders are their
// roads' own data: the upload's and the download's sequences, and the
// order of the tree's rows (controller/CtrlTree.cpp).
//
// A new setting is:
// - its entry here (what it may hold in build(), where it goes in routes());
// - its field in common/DSOSettings.h;
// - its place in the sequences: the upload's and the download's
//   (SettingsUpload.cpp, SettingsDownload.cpp: lists of settings in the order
//   the instrument gets them) and, with a row, the tree's order
//   (controller/CtrlTree.cpp);
// - with a new label, its two texts (link/Vocabulary.cpp) and its name
//   (link/CtrlPlaces.h).
// The dialog's row and the apply's command follow from the entry; an apply
// adds only its own steps (pauses, a read-back, a rebuild). The table test
// (tst_settingroutes) holds the catalog, the sequences, the tree, the dialog
// and the applies together.
//
// A new value changes the controller file: the file holds the values by
// position, one a line (value number k on line k + 1), and is read only
// when it has exactly CtrlValueCount values. A value added at the end makes
// every file written before it one line short, and the open refuses such a
// file; a value added elsewhere moves every later line. So a new value comes
// with a decision on the files without it (read them with the new value at
// its default, or refuse them) and a test of that decision.
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "common/DSOSettings.h"
#include "link/LevelRule.h"

// What a value may hold.
enum class ValueForm {
    Words,           // one of its own value words
    Volts,           // a number with "V" and an optional k, m, u, n, p: "1.00V", "500mV"
    Seconds,         // a number with "s" and an optional m, u, n, p: "10.00us"
    Div,             // a number with "div": "0.10div"
    Level,           // a div text; where the level is the threshold (LevelIsThreshold) also a threshold
    PlainNumber,     // a number without a unit: "16", "0"
    Probe,           // "1X", "2X", "5X", "10X", "50X", "100X", "500X", "1000X"
    Threshold,       // "TTL", "ECL", "CMOS" or a volts text (the USER word is translated, not sent)
    SlopeWindow,     // "PA", "PB", "PAB", "NA", "NB", "NAB"
    TimeBaseFormat,  // "Y-T", "X-Y", "Roll"
    Source,          // "CH1", "CH2", "EXT", "EXT5", the AC-line word or "ACLINE", "D0" ... "D15"
    VideoStandard,   // "NTSC", "PAL/SECAM"
    PatternCode,     // "H", "L", "X", or an edge ("Rising"/"Falling" label, "RISING"/"FALLING" word)
    DurationCode,    // "H", "L", "X"
    Text,            // a text kept as it is (percent, memory size): never sent, never judged
};

// How far a value is judged.
enum class Judged {
    Sent,   // the upload sends it: a value it cannot hold is named on open and by the upload
    Named,  // never sent, but a value that is none of its words is named on open
    Kept,   // never sent and never judged (its own words are still translated)
};

using SettingConverter = QString (*)(const QString&);

// How a number is written when it is sent (and when a dialog stores it).
enum class NumberFormat {
    None,   // not a number
    Volt,   // FormatVolt: "1.00V", "500mV"
    Time3,  // FormatTime3: "100ns", "1.00us"
    Time4,  // FormatTime4: "10.00us", "0.000s"
    Div,    // "#0.00" and "div": "0.10div", "-1.24div"
    Whole,  // a whole number: "16", "0"
};

// Which road a value is judged for.
enum class Road {
    // Sent by the upload (also the file open's check and the dialog's lists):
    // what the setting dialog offers, and what the instrument itself reports.
    Send,
    // Stored by the download from a reply: what the instrument may report.
    // Beside Send it takes a logic-channel source without the logic analyser
    // known to be fitted (an instrument that reports one has it) and a level
    // beyond the dialog's span (the instrument keeps its level in volts when
    // a channel's scale changes).
    Store,
};

// The editor the setting dialog opens on a setting's row.
enum class SettingEditor {
    None,       // no editor (no row, or only named)
    Choice,     // the choice list
    TimeBox,    // the value box in seconds
    VoltBox,    // the value box in volts
    Adjust,     // the coarse/fine volts per division
    Threshold,  // the threshold words and the volts box together
};

struct SettingDesc {
    int number = 0;  // 1 .. CtrlValueCount, record and file order
    ValueForm form = ValueForm::Text;
    // Words: the own value words, in the order the setting dialog lists them;
    // Threshold and Source: the one word each may hold (USER, the AC line).
    std::vector<int> words;
    // Words: those the instrument has only with the logic analyser (the
    // PATTERN and DURATION methods), held as a logic-channel source is.
    std::vector<int> analyserWords;
    // The converter of its keyword (Words, Source, VideoStandard); nullptr
    // where the upload builds the value itself.
    SettingConverter keyword = nullptr;
    Judged judged = Judged::Named;  // Sent is given by the command alone (routes)
    int levelSource = 0;  // a main trigger level: the value number of its method's source row
    // The default: a value word, else a fixed text; neither: New keeps the value.
    int defaultWord = -1;
    const char* defaultText = nullptr;

    // What the value can be beyond its form, and how it is written when sent.
    // Numbers: the span the setting dialog offers, inclusive (unset: any
    // finite number), and the setting's own format.
    bool spanned = false;
    double least = 0;
    double most = 0;
    NumberFormat format = NumberFormat::None;
    // A whole number: the numbers the dialog lists (averages); empty: every
    // whole number of the span.
    std::vector<int> listed;
    // A video line: the value number of the standard whose last line ends
    // its span on the Send road (525 for "NTSC", 625 for "PAL/SECAM", 525
    // for a standard the upload leaves out, SettingSendText); on the Store
    // road 625.
    int lineStandard = 0;
    // A trigger source: the method whose own source list it has (vwEdge,
    // vwPulse, vwVideo, vwSlope); -1: any source (never judged).
    int sourceMethod = -1;
    // ---- Where it goes: its command, its query and reply, its tree row and
    // editor. A value is sent exactly when it has a command (`judged` is Sent
    // then, and only then).
    QString command;          // the header the upload sends it under (":CHANNEL1:COUPLING")
    QString query;            // the query the download reads it with (":CHANNEL1:COUPLING?"); empty: not read
    // The command that sets this one value alone where `command` sets its
    // whole array (a logic channel's display and position: ":DIGITAL3:TURN",
    // ":DIGITAL3:POSITION") or where it has none (a channel group's display:
    // ":LA:GROUP2" for D15-D8): what the setting dialog sends for it.
    QString elementCommand;
    SettingConverter reply = nullptr;  // reply -> value text; nullptr: the reply as it comes
    int treeGroup = 0;        // its row: group (CtrlGroup, link/CtrlPlaces.h) and item; 0: no row
    int treeItem = 0;         // 0 with a group: the item moves with the trigger method (Holdoff)
    int label = -1;           // its row's label (ControllerLabels index)
    SettingEditor editor = SettingEditor::None;
    // A trigger level (one of the 15; it may hold the mark of a level not
    // known, IsLevelRow): the trigger it belongs to (its source counts by the
    // level rule, link/LevelRule.h) and its source: the value number of the
    // method's source row (`levelSource` above), or under alternation its
    // channel (1 or 2).
    LevelTrigger levelTrigger = LevelTrigger::None;
    int levelChannel = 0;
};

// The 193 descriptions, value number k at index k - 1.
const std::vector<SettingDesc>& SettingCatalog();
// The description of value `number`; an empty one (form Text, kept) outside 1 .. 193.
const SettingDesc& SettingOf(int number);
// The description of a field of the mirror, or of element k of an array.
const SettingDesc& SettingOf(QString CtrlSettings::*field);
const SettingDesc& SettingOf(CtrlCodeArray CtrlSettings::*array, int k);
// Whether the upload sends value `number` (it has a command).
bool SettingSent(int number);
// Value `number` (1 .. CtrlValueCount) of `s`; of a const `s`, a copy (the
// empty text outside 1 .. CtrlValueCount).
QString& SettingValue(CtrlSettings& s, int number);
QString SettingValue(const CtrlSettings& s, int number);
// The value number of a field of the mirror, or of element k of an array.
int SettingNumber(QString CtrlSettings::*field);
int SettingNumber(CtrlCodeArray CtrlSettings::*array, int k);

// The own word (value-word index) that `text` spells in `language` (0
// Chinese, 1 English, -1 either); -1 for none. Pattern codes: the edge
// label (clRising, clFalling) it spells, H/L/X excepted.
int OwnWordOf(const SettingDesc& d, const QString& text, int language = -1);
// `text` with an own word of either language as the word of `language`
// (an edge code as its label); any other text as it is.
QString InLanguage(const SettingDesc& d, const QString& text, int language);
// Whether value `number` of `s` is what its setting can be on `road` (a
// level is judged by its row's source in `s`, a video line by the standard
// the instrument will hold, the one the upload sends (SettingSendText),
// a logic-channel source and the PATTERN and DURATION methods on the Send
// road by the fitted logic analyser, `Link().LAPresent`). The mark of a
// level not known is no value.
bool SettingHolds(const CtrlSettings& s, int number, Road road = Road::Send);
bool SettingHolds(const CtrlSettings& s, int number, const QString& text, Road road = Road::Send);
// What the upload sends of value `number`: its text written from the value
// as read, in the setting's own format ("1.V" and " 1.00V " as "1.00V",
// "0.10DIV" as "0.10div", "16.0" as "16"); its default and a text already in
// its format stay as they are, and a word, code or fixed text is itself.
// None when the setting cannot be it (SettingHolds): the upload leaves it
// out and the instrument keeps a value not known here. This is also what
// the instrument holds once the upload has run, so a setting whose span
// depends on another is judged through it (a video line by its standard),
// and where it is none, by its narrowest span.
std::optional<QString> SettingSendText(const CtrlSettings& s, int number);
std::optional<QString> SettingSendText(const CtrlSettings& s, int number, const QString& text);
// A number in the format (the empty text for NumberFormat::None).
QString FormatNumber(NumberFormat format, double value);
// "Not known": the mark "?" that a trigger level row holds when its place
// is not known (a read-back that failed, kept by a file). It is a state, not
// a value: never sent, and named as not known. In any other row "?" is a
// value its setting cannot be.
inline QString NotKnownMark() { return QStringLiteral("?"); }
bool IsLevelRow(int number);
bool SettingNotKnown(const CtrlSettings& s, int number);

// The setting's choices in the current UI language, in the dialog's order:
// its own words (the PATTERN and DURATION methods only with the logic
// analyser), the fixed texts of its form (probes, standards, windows,
// formats, codes, thresholds), the listed numbers or whole numbers of its
// span (averages, video lines by the standard the instrument will hold, LA
// positions), or the method's own sources (logic channels only with the
// logic analyser). The level and sensitivity lists are the controller's
// generated lists, within the span here.
QStringList SettingChoices(const CtrlSettings& s, int number);
QStringList SettingChoices(int number);  // of the mirror, DSOSettings()
// The fixed texts of a form (Probe, SlopeWindow, TimeBaseFormat,
// VideoStandard, the codes, the three named thresholds); empty for others.
QStringList FormTexts(ValueForm form);
