#pragma once
// The one way a file is written: whole or not at all.
//
// The bytes go to a QSaveFile opened unbuffered, so every write reaches the
// system at once and reports its own failure (a full disk, a file-size
// limit); every write and the commit are checked. A buffered QSaveFile is
// not enough: its commit() can report success although its own last flush
// failed, which leaves an empty file behind a "saved" document.
//
// On any failure the file at `path` is exactly what it was (or absent), the
// function returns false and `*error` holds the system's reason, ready for a
// message box. The caller shows it and keeps its document modified.
#include <QByteArray>
#include <QString>
#include <functional>

class QIODevice;

bool SaveFileWhole(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// For writers that stream: `write` writes to the device (with WriteAllTo or
// its own checked writes) and returns false when it gave up. A device error
// left behind by `write` fails the save as well.
bool SaveFileWhole(const QString& path, const std::function<bool(QIODevice&)>& write,
                   QString* error = nullptr);

// A file-size limit (ulimit -f) must make a write fail with its error, not
// end the process with SIGXFSZ and lose unsaved work: call once at start-up.
void IgnoreFileSizeSignal();

// Writes all `size` bytes, retrying after a short write so that the device
// records the system's reason when it stops; false when not all were written.
bool WriteAllTo(QIODevice& device, const char* data, qint64 size);
inline bool WriteAllTo(QIODevice& device, const QByteArray& bytes) {
    return WriteAllTo(device, bytes.constData(), bytes.size());
}
