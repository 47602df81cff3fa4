#include "controller/LevelMark.h"

#include <algorithm>

#include "controller/CtrlState.h"
#include "controller/CtrlTree.h"
#include "controller/CtrlValueNames.h"
#include "link/Messages.h"
#include "link/SettingCatalog.h"
#include "link/Vocabulary.h"
#include "platform/dialogs/MsgBox.h"

QString LevelNotKnownText() { return NotKnownMark(); }

bool IsLevelNotKnown(const QString& value) { return value == LevelNotKnownText(); }

QString ShownCtrlValue(const QString& label, const QString& value) {
    if (!IsLevelNotKnown(value)) return value;
    for (int l : {lbLevel, lbLevelA, lbLevelB})
        if (label == ControllerLabel(l)) return MessageTable().MsgLevelNotKnown;
    return value;
}

bool IsLevelNotKnownIn(int number, const QString& text) { return IsLevelRow(number) && IsLevelNotKnown(text); }

QList<int> LevelRowsNotKnown(const CtrlSettings& s) {
    QList<int> out;
    for (int n = 1; n <= CtrlValueCount; ++n)
        if (SettingNotKnown(s, n)) out << n;
    return out;
}

QStringList LevelRowNames(const QList<int>& numbers) {
    QStringList names;
    for (int k : numbers) names << CtrlValueName(k);
    return names;
}

bool LevelsNotKnown::LeaveOut(const CtrlSettings& s, const QString& value) {
    if (!IsLevelNotKnown(value)) return false;
    Note(s, value);
    return true;
}

bool LevelsNotKnown::Note(const CtrlSettings& s, const QString& value) {
    const int n = CtrlValueNumber(s, &value);
    if (n && !numbers_.contains(n)) numbers_ << n;
    return n != 0;
}

void LevelsNotKnown::Report() const {
    if (numbers_.isEmpty()) return;
    QList<int> n = numbers_;
    std::sort(n.begin(), n.end());
    // Named as the controller tree shows them, in the UI language; the
    // reason is the file's where the opened file held them so.
    QList<int> lost, fromFile;
    const QList<int>& file = CtrlState().CtrlFileLevelsNotKnown;
    for (int k : n) (file.contains(k) ? fromFile : lost) << k;
    if (!lost.isEmpty()) MsgBox(MessageTable().MsgUploadLevelsNotKnown.Naming(LevelRowNames(lost)), vbExclamation);
    if (!fromFile.isEmpty())
        MsgBox(MessageTable().MsgUploadFileLevelsNotKnown.Naming(LevelRowNames(fromFile)), vbExclamation);
}

void LevelsNotKnown::Report(const CountedMessage& message) const {
    if (numbers_.isEmpty()) return;
    QList<int> n = numbers_;
    std::sort(n.begin(), n.end());
    MsgBox(message.Naming(LevelRowNames(n)), vbExclamation);
}
