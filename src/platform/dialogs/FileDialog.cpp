#include "platform/dialogs/FileDialog.h"

#include <QFileDialog>
#include <QStringList>

namespace {
struct State {
    std::function<QString(const FileDialogRequest&)> answerer;
    QList<FileDialogRequest> log;
};
State& st() {
    static State s;
    return s;
}
}  // namespace

QString QtFileFilter(const QString& pairFilter) {
    const QStringList parts = pairFilter.split('|');
    QStringList out;
    for (int i = 0; i < parts.size(); i += 2) {
        const QString desc = parts[i].trimmed();
        const QString pattern = i + 1 < parts.size() ? parts[i + 1].trimmed() : QString();
        if (desc.isEmpty() && pattern.isEmpty()) continue;
        QString pat = pattern;
        pat.replace(';', ' ');
        if (pat.isEmpty() || desc.contains('(')) out.append(desc.isEmpty() ? pat : desc);
        else out.append(QString("%1 (%2)").arg(desc, pat));
    }
    return out.join(";;");
}

QString ShowFileDialog(const FileDialogRequest& request, QWidget* parent) {
    st().log.append(request);
    if (st().answerer) return st().answerer(request);
    const QString filter = QtFileFilter(request.filter);
    if (request.kind == FileDialogKind::Save)
        return QFileDialog::getSaveFileName(parent, request.title, request.initialPath, filter);
    return QFileDialog::getOpenFileName(parent, request.title, request.initialPath, filter);
}

QString GetOpenFileName(const QString& title, const QString& filter, QWidget* parent) {
    return ShowFileDialog({FileDialogKind::Open, title, filter, QString()}, parent);
}

QString GetSaveFileName(const QString& title, const QString& filter, QWidget* parent) {
    return ShowFileDialog({FileDialogKind::Save, title, filter, QString()}, parent);
}

namespace FileDialogService {
void SetAnswerer(std::function<QString(const FileDialogRequest&)> answerer) { st().answerer = std::move(answerer); }
QList<FileDialogRequest> Log() { return st().log; }
void ClearLog() { st().log.clear(); }
}  // namespace FileDialogService
