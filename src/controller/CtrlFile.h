#pragma once
// The controller file (".rmt"): the whole settings mirror as 194 quoted text
// lines ended by CR LF: the header "<MakerName> <ModelName> Controller", then
// the 193 values in record order. Written as UTF-8; read as UTF-8, or as
// GB18030 when the bytes are not UTF-8 (files of a Chinese Windows system).
//
// Reading goes into a copy and commits only a complete file whose header
// matches and whose values are texts a setting may hold (IsCtrlValueText: a
// value goes into instrument commands later). Writing is whole or
// nothing (SaveFileWhole).
#include <QByteArray>
#include <QList>
#include <QString>

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
    BadHeader,   // the first field is not the header
    Short,       // fewer than 194 fields
    BadValue,    // a value is no text a setting may hold (IsCtrlValueText)
};

// Parses file bytes into `out` (all 193 values) when the result is Ok;
// otherwise `out` is unchanged. `badValue` receives the number (1..193) of a
// refused value. The value words are read in either UI language and held in
// the current one (NormalizeSettingWords); `unknownValues` receives the
// numbers of the values that are none of their setting's choices or that the
// upload cannot send (UnsendableCtrlValues), ascending: they are kept as they
// are, and the upload leaves them out.
CtrlFileStatus ParseCtrlFile(const QByteArray& bytes, const QString& header, CtrlSettings& out,
                             int* badValue = nullptr, QList<int>* unknownValues = nullptr);

// The text that reports such values: one line per value, its name and text.
QString UnknownCtrlValuesText(const CtrlSettings& s, const QList<int>& unknownValues);

// Writes DSOSettings() to the file; a failure is shown (error icon) and gives
// false, and nothing of an existing file is lost.
bool WriteCtrlFile(const QString& path);
// Reads the file into DSOSettings(); a failure (the file cannot be read, a
// foreign header, a short or damaged file) is shown with the error icon, gives
// false and leaves the mirror as it was. Values that are none of their
// setting's choices, or that the upload cannot send, are read, and named in
// a message.
bool ReadCtrlFile(const QString& path);
