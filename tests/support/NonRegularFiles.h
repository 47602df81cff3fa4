#pragma once
// Files a reader must refuse without opening: a row of a table names one as
// "fifo" (a named pipe made in dir), "folder" (dir itself) or a path as it
// stands ("/dev/zero").
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>

// The path of the file, or the empty text when this system has none
// (the caller skips the row).
inline QString NonRegularFilePath(const QString& kind, const QTemporaryDir& dir) {
    if (kind == QLatin1String("folder")) return dir.path();
    if (kind == QLatin1String("fifo")) {
        const QString path = dir.filePath(QStringLiteral("pipe.fifo"));
        QFile::remove(path);
        return mkfifo(QFile::encodeName(path).constData(), 0600) == 0 ? path : QString();
    }
    return QFileInfo::exists(kind) ? kind : QString();
}
