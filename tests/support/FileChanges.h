#pragma once
// Another program changing a file while it is read, for the readers' tests
// (run from SetFileOpenedHook, between the read's opening and its check).
#include <fcntl.h>
#include <sys/stat.h>

#include <QDateTime>
#include <QFile>
#include <QString>
#include <QtTest>

namespace FileChanges {

// The rows of a test over the kinds of change: column "change".
inline void AddRows() {
    QTest::addColumn<QString>("change");
    QTest::newRow("shortened") << "shortened";
    QTest::newRow("written again, same bytes, new time") << "rewritten";
    QTest::newRow("grown") << "grown";
    // Same size, and the old modification time put back to the nanosecond:
    // only the change time tells.
    QTest::newRow("other bytes, same size, time set back (cp -p)") << "copied keeping the time";
    QTest::newRow("other bytes in place, time set back (rsync -t --inplace)") << "overwritten keeping the time";
}

// The file at path, holding `whole`, changed as named: cut to half, written
// again with the same bytes and a later time, or written twice over; or
// `other` (of whole's size) written over it, emptied first (cp -p) or in
// place (rsync --inplace), and its modification time set back to what it was.
inline bool Apply(const QString& change, const QString& path, const QByteArray& whole,
                  const QByteArray& other = QByteArray()) {
    QFile f(path);
    if (change == "shortened") return f.resize(whole.size() / 2);
    if (change.endsWith("keeping the time")) {
        struct stat before {};
        if (other.size() != whole.size() || other == whole ||
            stat(QFile::encodeName(path).constData(), &before) != 0)
            return false;
        const bool empty = change.startsWith("copied");
        if (!f.open(empty ? QIODevice::WriteOnly | QIODevice::Truncate : QIODevice::ReadWrite) ||
            f.write(other) != other.size() || !f.flush())
            return false;
        const struct timespec times[2] = {before.st_atim, before.st_mtim};
        return futimens(f.handle(), times) == 0;
    }
    if (!f.open(QIODevice::ReadWrite) || f.write(whole) != whole.size()) return false;
    if (change == "grown") return f.write(whole) == whole.size() && f.flush();
    return f.flush() && f.setFileTime(f.fileTime(QFileDevice::FileModificationTime).addSecs(10),
                         QFileDevice::FileModificationTime);
}

}  // namespace FileChanges
