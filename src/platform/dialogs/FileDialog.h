#pragma once
// The file-dialog service. Every open/save file dialog goes through it, so
// tests can answer it and read what was asked. The real one is a QFileDialog.
//
// Filters are written as pairs "Description|pattern|Description|pattern"
// (e.g. "Data Sheet Files (*.vls)|*.vls"); the service turns them into Qt's form.
#include <QList>
#include <QString>
#include <functional>

class QFileDialog;
class QWidget;

enum class FileDialogKind { Open, Save };

struct FileDialogRequest {
    FileDialogKind kind = FileDialogKind::Open;
    QString title;
    QString filter;
    QString initialPath;
};

// Shows the dialog; returns the chosen path, or the empty text when cancelled.
// A save path typed without an extension gets the chosen filter's one.
QString ShowFileDialog(const FileDialogRequest& request, QWidget* parent = nullptr);
QString GetOpenFileName(const QString& title, const QString& filter, QWidget* parent = nullptr);

// The real dialog ShowFileDialog shows (the caller deletes it; a child of
// parent): Qt's own file dialog (never the desktop's), whose icons and type
// names come from file names alone, so listing a folder reads no file (a
// file such as /proc/kmsg never answers).
QFileDialog* MakeFileDialog(const FileDialogRequest& request, QWidget* parent = nullptr);
QString GetSaveFileName(const QString& title, const QString& filter, QWidget* parent = nullptr);

// "A (*.x)|*.x|B (*.y)|*.y" -> "A (*.x);;B (*.y)" (descriptions keep their patterns;
// a description without one gets the pattern added).
QString QtFileFilter(const QString& pairFilter);

// The save rule: a path whose file name has no extension gets the one of
// filter `chosen` (from 0) of the pair filter ("mysheet" -> "mysheet.vls");
// a name with an extension, or a filter of no single extension ("*.*"),
// keeps the path as typed.
QString WithFilterExtension(const QString& path, const QString& pairFilter, int chosen);

namespace FileDialogService {
// Replaces the real dialog: the answerer returns the path ("" = cancel).
// Pass nullptr to restore the real dialog.
void SetAnswerer(std::function<QString(const FileDialogRequest&)> answerer);
// The filter the next answered save dialog reports as chosen (default 0,
// back to 0 after that dialog).
void SetChosenFilter(int index);
// Every dialog asked since the last ClearLog (kept while the service logs
// are, common/ServiceLog.h).
QList<FileDialogRequest> Log();
void ClearLog();
}  // namespace FileDialogService
