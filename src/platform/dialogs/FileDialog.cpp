#include "platform/dialogs/FileDialog.h"

#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QPointer>
#include <QRegularExpression>
#include <QStringList>

#include "common/ServiceLog.h"

namespace {
// Icons and type names from a file's name alone. Qt's own provider reads a
// file's first bytes to tell its type, and some files never answer (typing
// /proc in the name box listed /proc/kmsg, whose read waits for the next
// kernel message, and the dialog froze).
class NameOnlyIconProvider : public QFileIconProvider {
public:
    using QFileIconProvider::icon;
    QIcon icon(const QFileInfo& info) const override {
        if (info.isDir()) return icon(Folder);
        if (!info.isFile()) return QFileIconProvider::icon(info);  // a device or a pipe: its kind
        const QIcon themed = QIcon::fromTheme(byName(info).iconName());
        return themed.isNull() ? icon(File) : themed;
    }
    QString type(const QFileInfo& info) const override {
        if (!info.isFile()) return QFileIconProvider::type(info);
        const QMimeType mime = byName(info);
        return mime.comment().isEmpty() ? mime.name() : mime.comment();
    }

private:
    QMimeType byName(const QFileInfo& info) const {
        return mimes_.mimeTypeForFile(info, QMimeDatabase::MatchExtension);
    }
    QMimeDatabase mimes_;
};

struct State {
    std::function<QString(const FileDialogRequest&)> answerer;
    ServiceLog<FileDialogRequest> log;
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
    st().log.Add(request);
    const bool save = request.kind == FileDialogKind::Save;
    if (st().answerer) {
        const QString path = st().answerer(request);
        const int chosen = st().chosenFilter;
        st().chosenFilter = 0;
        return save ? WithFilterExtension(path, request.filter, chosen) : path;
    }
    // Guarded: a parent closed while the dialog runs takes the dialog along.
    const QPointer<QFileDialog> dialog = MakeFileDialog(request, parent);
    const bool accepted = dialog->exec() == QDialog::Accepted;
    if (!dialog) return QString();
    const QString path = accepted ? dialog->selectedFiles().value(0) : QString();
    const int chosen = int(dialog->nameFilters().indexOf(dialog->selectedNameFilter()));
    delete dialog.data();
    return save ? WithFilterExtension(path, request.filter, chosen) : path;
}

QFileDialog* MakeFileDialog(const FileDialogRequest& request, QWidget* parent) {
    // Never freed: a dialog may use it until the very end.
    static NameOnlyIconProvider* const icons = new NameOnlyIconProvider;
    auto* dialog = new QFileDialog(parent, request.title, request.initialPath, QtFileFilter(request.filter));
    // Qt's own dialog, so that its icons come from the provider above.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setIconProvider(icons);
    if (request.kind == FileDialogKind::Save) {
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
    } else {
        dialog->setFileMode(QFileDialog::ExistingFile);
    }
    return dialog;
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
QList<FileDialogRequest> Log() { return st().log.Entries(); }
void ClearLog() { st().log.Clear(); }
}  // namespace FileDialogService
