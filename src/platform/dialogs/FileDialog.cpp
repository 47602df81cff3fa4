#include "platform/dialogs/FileDialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

namespace {
struct State {
    std::function<QString(const FileDialogRequest&)> answerer;
    QList<FileDialogRequest> log;
    int chosenFilter = 0;
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

QString WithFilterExtension(const QString& path, const QString& pairFilter, int chosen) {
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty()) return path;
    const QStringList parts = pairFilter.split('|');
    const int at = 2 * chosen + 1;
    if (chosen < 0 || at >= parts.size()) return path;
    // Only a filter of one plain extension ("*.vls") names one.
    static const QRegularExpression single(QStringLiteral("^\\*\\.([A-Za-z0-9_]+)$"));
    const QRegularExpressionMatch m = single.match(parts[at].trimmed());
    if (!m.hasMatch()) return path;
    QString out = path;
    if (!out.endsWith('.')) out += '.';
    return out + m.captured(1);
}

QString ShowFileDialog(const FileDialogRequest& request, QWidget* parent) {
    st().log.append(request);
    const bool save = request.kind == FileDialogKind::Save;
    if (st().answerer) {
        const QString path = st().answerer(request);
        const int chosen = st().chosenFilter;
        st().chosenFilter = 0;
        return save ? WithFilterExtension(path, request.filter, chosen) : path;
    }
    const QString filter = QtFileFilter(request.filter);
    if (!save) return QFileDialog::getOpenFileName(parent, request.title, request.initialPath, filter);
    QString selected;
    const QString path =
        QFileDialog::getSaveFileName(parent, request.title, request.initialPath, filter, &selected);
    return WithFilterExtension(path, request.filter, int(filter.split(";;").indexOf(selected)));
}

QString GetOpenFileName(const QString& title, const QString& filter, QWidget* parent) {
    return ShowFileDialog({FileDialogKind::Open, title, filter, QString()}, parent);
}

QString GetSaveFileName(const QString& title, const QString& filter, QWidget* parent) {
    return ShowFileDialog({FileDialogKind::Save, title, filter, QString()}, parent);
}

namespace FileDialogService {
void SetAnswerer(std::function<QString(const FileDialogRequest&)> answerer) { st().answerer = std::move(answerer); }
void SetChosenFilter(int index) { st().chosenFilter = index; }
QList<FileDialogRequest> Log() { return st().log; }
void ClearLog() { st().log.clear(); }
}  // namespace FileDialogService
