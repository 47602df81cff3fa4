#include "controller/LevelMark.h"

#include <algorithm>

#include "controller/CtrlTree.h"
#include "controller/CtrlValueNames.h"
#include "link/Messages.h"
#include "link/SettingCatalog.h"
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

bool IsLevelNotKnownIn(int number, const QString& text) {
    const ValueForm form = SettingOf(number).form;
    return (form == ValueForm::Level || form == ValueForm::Div) && IsLevelNotKnown(text);
}

QList<int> LevelRowsNotKnown(const CtrlSettings& s) {
    QList<int> out;
    int number = 0;
    for (const QString* v : CtrlSettingsValues(s))
        if (IsLevelNotKnownIn(++number, *v)) out << number;
    return out;
}

QString LevelRowNames(const QList<int>& numbers) {
    QStringList lines;
    for (int k : numbers) lines << CtrlValueName(k);
    return lines.join('\n');
}

bool LevelsNotKnown::LeaveOut(const CtrlSettings& s, const QString& value) {
    if (!IsLevelNotKnown(value)) return false;
    if (const int n = CtrlValueNumber(s, &value))
        if (!numbers_.contains(n)) numbers_ << n;
    return true;
}

void LevelsNotKnown::Report() const {
    if (numbers_.isEmpty()) return;
    QList<int> n = numbers_;
    std::sort(n.begin(), n.end());
    MsgBox(MessageTable().MsgUploadLevelsNotKnown.arg(LevelRowNames(n)), vbExclamation);
}
