#include "controller/LevelMark.h"

#include <algorithm>

#include "controller/CtrlTree.h"
#include "controller/CtrlValueNames.h"
#include "link/Messages.h"
#include "link/Vocabulary.h"
#include "platform/dialogs/MsgBox.h"

QString LevelNotKnownText() { return QStringLiteral("?"); }

bool IsLevelNotKnown(const QString& value) { return value == LevelNotKnownText(); }

QString ShownCtrlValue(const QString& label, const QString& value) {
    if (!IsLevelNotKnown(value)) return value;
    for (int l : {lbLevel, lbLevelA, lbLevelB})
        if (label == ControllerLabel(l)) return MessageTable().MsgLevelNotKnown;
    return value;
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

void LevelsNotKnown::Report() const { Report(MessageTable().MsgUploadLevelsNotKnown); }

void LevelsNotKnown::Report(const QString& message) const {
    if (numbers_.isEmpty()) return;
    QList<int> n = numbers_;
    std::sort(n.begin(), n.end());
    // Named as the controller tree shows them, in the UI language.
    QStringList lines;
    for (int k : n) lines << CtrlValueName(k);
    MsgBox(message.arg(lines.join('\n')), vbExclamation);
}
