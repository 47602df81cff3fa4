#pragma once
// The controller file (".rmt"): the whole settings mirror as 194 quoted text
// lines ended by CR LF: the header "<MakerName> <ModelName> Controller", then
// the 193 values in record order. Written as UTF-8; read as UTF-8, or as
// GB18030 when not every line is UTF-8 and every line is GB18030 (files of a
// Chinese Windows system; DecodeTextLines).
//
// Reading goes into a copy and commits only a file of exactly the header and
// the 193 values, one a line, whose values are texts a setting may hold
// (IsCtrlValueText: a value goes into instrument commands later); a refusal
// names the line and the setting that made it. Writing is whole or
// nothing (SaveFileWhole).
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include "common/DSOSettings.h"

// A text a setting may hold: no control character of either range (line
// feed, carriage return, ..., and U+0080..U+009F such as NEL, which a command
// would carry as a raw byte), no line or paragraph separator, no invisible
// format mark, half a surrogate pair or non-character (a command line carries
// none of them), no double quote (it would break the file's lines) and no ";"
// (it would start another command when the value is sent).
bool IsCtrlValueText(const QString& v);

// MakerName + " " + ModelName + " Controller".
QString CtrlFileHeader();

// The file's bytes for a mirror.
QByteArray CtrlFileBytes(const CtrlSettings& s, const QString& header);

enum class CtrlFileStatus {
    Ok,
    BadHeader,   // line 1 is not the header alone
    Short,       // fewer than 194 fields
    Long,        // more than 194 fields (blank lines after the last value are none)
    SharedLine,  // a line holds more than one field (a value with a comma, not quoted)
    Unclosed,    // a quoted value whose closing quote is not on its line
    BadValue,    // a value is no text a setting may hold (IsCtrlValueText)
    TextAfterQuote,  // text after a quoted value's closing quote
    Shifted,     // a line too many or too few, and a value that does not fit its
                 // setting at or after the damage (line, value: the first such)
    DamagedText, // a line's bytes are no text of the file's encoding (DecodeTextLines)
};

// Where a file is not the format's: the first fault, in file order.
struct CtrlFileFault {
    CtrlFileStatus status = CtrlFileStatus::Ok;
    int line = 0;   // the line (from 1) that made it; Short: the first missing line
    int value = 0;  // the value number (1..193) read from that line; Short: the
                    // first missing value; Long: 193, the last; 0 for the header
    int lines = 0;  // Shifted: the lines of the file (blank lines after the last value are none)
};

// Parses file bytes into `out` (all 193 values) when the result is Ok;
// otherwise `out` is unchanged and `fault` says where. A file is the header
// and 193 values, one a line; line ends and blank lines (spaces, tabs) after
// the last value are allowed, and blanks around a value. A quoted value ends
// at its closing quote, and only blanks may follow it. Faults of a line
// (SharedLine, Unclosed, TextAfterQuote, BadValue) are named in file order.
// A file of a line too many or too few names the first line before them
// whose value does not fit its setting (the catalog's SettingHolds, judged
// by the setting of that line's number; a level row's not-known mark fits):
// the values after the damage sit one line off, so the first misfit is at or
// just after it. When every value fits, it is Long (the first line past the
// last setting) or Short (where the file ends). The value words are read in either UI language and held in
// the current one (NormalizeSettingWords); `unknownValues` receives the
// numbers of the values that are none of their setting's choices or that the
// upload cannot send (UnsendableCtrlValues), ascending: they are kept as they
// are, and the upload leaves them out.
CtrlFileStatus ParseCtrlFile(const QByteArray& bytes, const QString& header, CtrlSettings& out,
                             CtrlFileFault* fault = nullptr, QList<int>* unknownValues = nullptr);

// The refusal in the UI language: "File Format is Invaild !", then the line
// and the setting (CtrlValueName) that made it and what is wrong there.
QString CtrlFileFaultText(const CtrlFileFault& fault);

// The lines that report such values: one per value, its name as the tree
// shows it (CtrlValueName, in the UI language) and its text.
QStringList UnknownCtrlValueLines(const CtrlSettings& s, const QList<int>& unknownValues);

// Writes DSOSettings() to the file; a failure is shown (error icon) and gives
// false, and nothing of an existing file is lost.
bool WriteCtrlFile(const QString& path);
// Reads the file into DSOSettings(); a failure (the file cannot be read, a
// foreign header, a short or damaged file: CtrlFileFaultText; a file another
// program changed while it was read) is shown in one message with the error
// icon, gives false and leaves the mirror as it was. Values that are none of their
// setting's choices, or that the upload cannot send, are read, and named in
// a message.
bool ReadCtrlFile(const QString& path);
