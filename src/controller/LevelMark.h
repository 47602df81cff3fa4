#pragma once
// The mark of a trigger level row whose place is not known, and the upload's
// handling of it.
//
// A level row holds divisions of its source's scale and offset; the
// instrument holds its level in volts. After a change of the source, of the
// source channel's scale or offset, of the trigger method or of an
// alternation channel's trigger type, the row is read back from the
// instrument. When that reply does not come or cannot be read, the row's old
// divisions would mean another level: the row then holds the mark in their
// place. The mark is the row's value itself, so nothing that copies, saves or
// uploads the mirror can carry the old divisions on: a saved file keeps the
// mark (the open names the row as not known), the tree shows it as "not known" in the UI language, and the upload leaves the
// row out and says why. A download, an open, a level chosen in the setting
// dialog or a later read-back replaces it.
#include <QList>
#include <QString>
#include <QStringList>

#include "common/DSOSettings.h"

struct CountedMessage;

// The mark ("?": no number, no threshold, nothing the upload can send).
QString LevelNotKnownText();
bool IsLevelNotKnown(const QString& value);

// The value text a tree row of label `label` shows for `value`: the mark of a
// level row as MsgLevelNotKnown, anything else as it is.
QString ShownCtrlValue(const QString& label, const QString& value);

// Whether `text` is the mark in a row that may hold it: one of the 15
// trigger levels (the settings catalog's IsLevelRow).
bool IsLevelNotKnownIn(int number, const QString& text);
// The value numbers of the level rows of `s` that hold the mark, ascending
// (the catalog's SettingNotKnown).
QList<int> LevelRowsNotKnown(const CtrlSettings& s);
// Rows named as the controller tree shows them, in the UI language.
QStringList LevelRowNames(const QList<int>& numbers);

// The level rows an upload leaves out because they hold the mark (or, with
// Note, for another reason its message gives).
class LevelsNotKnown {
public:
    // Whether `value`, a level row's field of `s`, holds the mark (then noted).
    bool LeaveOut(const CtrlSettings& s, const QString& value);
    // Notes the row of `value`, a level row's field of `s`; false when it is none.
    bool Note(const CtrlSettings& s, const QString& value);
    bool Any() const { return !numbers_.isEmpty(); }
    // MsgUploadLevelsNotKnown naming the rows left out, as the controller
    // tree names them (those the opened file held so with
    // MsgUploadFileLevelsNotKnown), or `message` naming them all, each in
    // its form for one row or for several; nothing when none was.
    void Report() const;
    void Report(const CountedMessage& message) const;

private:
    QList<int> numbers_;
};
