#include "platform/dialogs/MsgBox.h"

#include <QApplication>
#include <QMessageBox>

#include "common/ServiceLog.h"

namespace {
struct State {
    std::function<int(const ShownMessage&)> answerer;
    ServiceLog<ShownMessage> log;
};
State& st() {
    static State s;
    return s;
}

int realBox(const ShownMessage& m) {
    QMessageBox box(QApplication::activeWindow());
    box.setText(m.text);
    box.setWindowTitle(m.title.isEmpty() ? QApplication::applicationName() : m.title);
    switch (m.style & 0x70) {
    case vbCritical: box.setIcon(QMessageBox::Critical); break;
    case vbQuestion: box.setIcon(QMessageBox::Question); break;
    case vbExclamation: box.setIcon(QMessageBox::Warning); break;
    case vbInformation: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    struct B { QMessageBox::StandardButton sb; int result; };
    QList<B> buttons;
    switch (m.style & 0x0F) {
    case vbOKCancel: buttons = {{QMessageBox::Ok, vbOK}, {QMessageBox::Cancel, vbCancel}}; break;
    case vbAbortRetryIgnore:
        buttons = {{QMessageBox::Abort, vbAbort}, {QMessageBox::Retry, vbRetry}, {QMessageBox::Ignore, vbIgnore}};
        break;
    case vbYesNoCancel:
        buttons = {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}, {QMessageBox::Cancel, vbCancel}};
        break;
    case vbYesNo: buttons = {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}}; break;
    case vbRetryCancel: buttons = {{QMessageBox::Retry, vbRetry}, {QMessageBox::Cancel, vbCancel}}; break;
    default: buttons = {{QMessageBox::Ok, vbOK}}; break;
    }
    QMessageBox::StandardButtons all;
    for (const B& b : buttons) all |= b.sb;
    box.setStandardButtons(all);
    const int pressed = box.exec();
    for (const B& b : buttons)
        if (b.sb == pressed) return b.result;
    // Closed with the window's close button: the cancelling answer.
    if (all & QMessageBox::Cancel) return vbCancel;
    if ((m.style & 0x0F) == vbYesNo) return vbNo;
    return vbOK;
}
}  // namespace

int MsgBox(const QString& text, int style, const QString& title) {
    ShownMessage m{text, style, title};
    st().log.Add(m);
    if (st().answerer) return st().answerer(m);
    return realBox(m);
}

namespace MsgBoxService {
void SetAnswerer(std::function<int(const ShownMessage&)> answerer) { st().answerer = std::move(answerer); }
QList<ShownMessage> Log() { return st().log.Entries(); }
void ClearLog() { st().log.Clear(); }
}  // namespace MsgBoxService
