#pragma once
// Another program changing a file while it is read, for the readers' tests
// (run from SetFileOpenedHook, between the read's opening and its check).
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
}

// The file at path, holding `whole`, changed as named: cut to half, written
// again with the same bytes and a later time, or written twice over.
inline bool Apply(const QString& change, const QString& path, const QByteArray& whole) {
    QFile f(path);
    if (change == "shortened") return f.resize(whole.size() / 2);
    if (!f.open(QIODevice::ReadWrite) || f.write(whole) != whole.size()) return false;
    if (change == "grown") return f.write(whole) == whole.size() && f.flush();
    return f.flush() && f.setFileTime(f.fileTime(QFileDevice::FileModificationTime).addSecs(10),
                         QFileDevice::FileModificationTime);
}

}  // namespace FileChanges
