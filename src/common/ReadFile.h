#pragma once
// The readers' side of file access: only a regular file is opened.
#include <QByteArray>
#include <QFile>
#include <QtGlobal>

class QString;

// Opens `file` (its name set) read-only when it is a regular file of at most
// maxBytes. A device (/dev/zero), a named pipe or a folder is refused before
// it is opened, so a reader neither blocks nor reads without end. False when
// refused or not opened; `reason` then holds the system's reason for a file
// that could not be opened, and is left empty for one that was refused (the
// caller shows its format's message).
bool OpenRegularFile(QFile& file, qint64 maxBytes, QString* reason);

// The bytes of a regular file, mapped where the system allows it, so that a
// parse that refuses a large file at its start reads no more of it than that;
// read whole otherwise. Another program may shorten the file while its bytes
// are looked at (a sheet saved over while it is read ahead): the part past the
// new end then reads as zero bytes, for the parse to refuse, instead of ending
// the application. The bytes stay valid as long as the object.
class FileContents {
public:
    FileContents() = default;
    ~FileContents();
    FileContents(const FileContents&) = delete;
    FileContents& operator=(const FileContents&) = delete;

    // OpenRegularFile with maxFileBytes, then at most readLimit bytes of the
    // file. False as that returns false, or when the read fails (`reason`
    // then holds why).
    bool open(const QString& path, qint64 maxFileBytes, qint64 readLimit, QString* reason);
    const QByteArray& bytes() const { return bytes_; }

private:
    QFile file_;
    QByteArray bytes_;
    int guard_ = -1;  // the slot watching the mapping, or -1
};
