#pragma once
// The data sheet file (".vls"): a sequential text file holding the whole
// sheet, fetched data included, so that a sheet read back shows every view
// without the instrument.
//
// Layout: one item per line, every line ending in CR LF. The header (maker
// and model line, sheet name, the five counts), then every Wave, Measure,
// Data, Record and Memory Wave view in slot order, each kind's items in a
// fixed order, sample and memory blocks only under the flags that say they
// are present (see SheetFile.cpp for the item lists).
//
// Item forms: strings in double quotes with no escaping; booleans "#TRUE#" /
// "#FALSE#"; whole numbers in plain decimal; Single values with at most 7 and
// Double values with at most 15 significant digits, "." as decimal point in
// every locale, exponent form ("1.5E-07", "2E+15") for very small or large
// magnitudes. Written as UTF-8; read as UTF-8, or as GB18030 when not every text
// is UTF-8 and every text is GB18030 (sheets saved on a Chinese Windows
// system; ChooseTextEncoding); a text of neither, or holding a control
// character, is damage, named by its line.
//
// Reading is all or nothing: the file is parsed into a scratch copy of the
// sheet, every count and block size is checked against the limits and the
// bytes left before anything is allocated, and only a complete, valid file
// replaces the open sheet's names, counts and saved fields.
#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

struct SheetModelData;
struct RecordInfo;

// The text of a whole sheet: the header, then slots 0..count-1 of each kind.
// laPresent is stored in every Wave view's logic-analyser item.
QByteArray SheetFileText(const SheetModelData& sheet, bool laPresent);

// Where a refused sheet is damaged, when the reader can say: the line of a
// text whose bytes are no text of the file's encoding (0 for none).
struct SheetDamage {
    int textLine = 0;
};

// Parses a sheet file's bytes into `into`: the sheet name, the five counts
// and the saved fields of slots 0..count-1. Fields the file does not hold
// keep their values. Returns false (and leaves `into` partly written) when
// the header is not this model's or any item is malformed, missing or out of
// range, or a text is damaged (`damage` then names its line); callers pass a
// scratch copy. The texts are read as UTF-8, or as GB18030 when not every
// one is UTF-8 and every one is GB18030 (common/TextEncoding.h); a text of
// neither, or holding a control character, is damage.
bool ParseSheetFile(const QByteArray& bytes, SheetModelData& into, SheetDamage* damage = nullptr);

// Number texts of the file: Single with at most 7, Double with at most 15
// significant digits.
QByteArray SheetSingleText(float v);
QByteArray SheetDoubleText(double v);

// The first line of every sheet file: "<maker> <model> Data Sheet".
QString SheetFileHeader();

// True when a sheet or view name can be stored in the file: no double quote
// and no control character. Where names are entered, others are refused.
bool IsStorableName(const QString& name);

// Writes the open sheet (Sheets()) to path, whole or not at all. Record
// views that are replaying are paused first and stored as paused. Returns
// false after showing the failure's description (critical icon) when the
// file could not be written; the open sheet is then unchanged except for
// the paused replays. SheetFileName and SheetModified are left to the caller.
bool WriteDataSheet(const QString& path);

// Reads the file at path into the open sheet. On any failure the open sheet
// is unchanged and one message is shown with the critical icon
// (ReadRefusalText: the system's reason for a file that cannot be opened or
// read, MsgFileChangedWhileRead, or MsgBadSheetFile with the damaged text's
// line when known); returns false.
// Creates no window and no tree node; SheetFileName and SheetModified are
// left to the caller.
bool ReadDataSheet(const QString& path);

// The two halves of ReadDataSheet, for a caller that must know the file is
// good before it lets the open sheet go: the parse (a heap copy of the open
// sheet with the file's names, counts and saved fields, or nullptr after the
// messages above), and its commit into the open sheet (the views' own
// WindowOpen and AutoRefresh stay as they are). The commit bounds the replay
// fields of every Record view (BoundReplayFields).
std::unique_ptr<SheetModelData> ParseDataSheetFile(const QString& path);
// Starts reading and parsing the file at path on a thread of its own, for the
// ParseDataSheetFile(path) that follows (the last sheet reopened at start,
// read while the main window is made). Only for an empty, unchanged open
// sheet; ParseDataSheetFile takes the result only when the open sheet is
// still empty and unchanged and the file's size and time are those of the
// start, and otherwise (or for another path) reads the file itself. A file
// that cannot be read is left to that read, which reports it.
void ReadDataSheetAhead(const QString& path);
// True when the file at path is a sheet this program reads (parsed into a
// throw-away record); shows nothing.
bool IsReadableSheetFile(const QString& path);

// The readers open regular files only, of at most this size: the format's
// counts and file positions are 32-bit, so no sheet is larger.
constexpr qint64 MaxSheetFileBytes = (qint64(1) << 31) - 1;
// The longest text item (sheet and view names, captions, table cells) read:
// the longest name the rename editor takes; the program writes no longer
// text (the instrument's texts are far shorter). A longer one is damage.
constexpr int MaxSheetTextLength = 32767;
void CommitDataSheet(SheetModelData&& read);

// Brings a Record view's replay fields into what its replay can use, so a
// damaged file cannot make it read past its samples or run a 0 ms timer. A
// view that holds no whole frame is neither loaded nor shown (its frame
// fields wait for the next load); otherwise the first frame is 1, the frame
// count at most the frames held, the current frame within 1..count. A state
// beyond Stop becomes Pause; an interval that is not a positive number
// becomes 0.05 s, others are kept within 0.001..60 s.
void BoundReplayFields(RecordInfo& r);

// What the file procedures need of the record replay view: pausing a view
// that is replaying before it is stored (its frame timer must stop). Set by
// the replay view and required (RequireHook) when a view is replaying; the
// record's status is set to paused in any case.
struct SheetFileHooksData {
    std::function<void(int slot)> RecordReplayPause;
};
SheetFileHooksData& SheetFileHooks();
