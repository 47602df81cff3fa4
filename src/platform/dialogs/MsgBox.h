#pragma once
// The message-box service. Every message the application shows goes through
// MsgBox, so tests can answer it and read what was shown. The real one is a
// QMessageBox.
#include <QList>
#include <QString>
#include <functional>

// Buttons, icons and results, with the classic numeric values.
enum MsgBoxStyle {
    vbOKOnly = 0, vbOKCancel = 1, vbAbortRetryIgnore = 2, vbYesNoCancel = 3, vbYesNo = 4,
    vbRetryCancel = 5,
    vbCritical = 16, vbQuestion = 32, vbExclamation = 48, vbInformation = 64,
};
enum MsgBoxResult { vbOK = 1, vbCancel = 2, vbAbort = 3, vbRetry = 4, vbIgnore = 5, vbYes = 6, vbNo = 7 };

struct ShownMessage {
    QString text;
    int style = 0;
    QString title;
};

// Shows a message box; returns the button pressed.
int MsgBox(const QString& text, int style = vbOKOnly, const QString& title = QString());

namespace MsgBoxService {
// Replaces the real box: the answerer gets each message and returns the button.
// Pass nullptr to restore the real box.
void SetAnswerer(std::function<int(const ShownMessage&)> answerer);
// Every message shown since the last ClearLog (kept while the service logs
// are, common/ServiceLog.h).
QList<ShownMessage> Log();
void ClearLog();
}  // namespace MsgBoxService
