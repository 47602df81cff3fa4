#pragma once
// The readers' side of file access: only a regular file is opened.
#include <QByteArray>
#include <QFile>
#include <QtGlobal>
#include <functional>

class QString;

// Opens `file` (its name set) read-only when it is a regular file of at most
// maxBytes. A device (/dev/zero), a named pipe or a folder is refused before
// it is opened, so a reader neither blocks nor reads without end. False when
// refused or not opened; `reason` then holds the system's reason for a file
// that could not be opened, and is left empty for one that was refused (the
// caller shows its format's message).
bool OpenRegularFile(QFile& file, qint64 maxBytes, QString* reason);

// Sets up the watch that lets FileContents read a file mapped (below): a
// SIGBUS raised by a page of a watched mapping that its file no longer holds
// gets a page of zeros in its place; any other SIGBUS (a fault elsewhere, one
// sent by kill or raise) goes to the action that was set before, so the
// default still ends the process. Called once at start-up where the
// application sets its other signal handling (main), before any thread
// starts. Until it is called, or when another action has replaced the
// watch's since, FileContents reads a copy of the file instead. True while
// the watch is in place.
bool WatchMappedFileReads();

// The bytes of a regular file, mapped where the system allows it and the
// watch is in place, so that a parse that refuses a large file at its start
// reads no more of it than that; read whole otherwise. Another program may
// shorten the file while its bytes are looked at (a sheet saved over while it
// is read ahead): the part past the new end then reads as zero bytes instead
// of ending the application. Bytes read while another program writes may mix
// the old file with the new in any way, so a reader asks changed() after its
// parse and refuses a changed file. The bytes stay valid as long as the
// object.
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
    // The file changed since open() opened it: its size or modification time
    // differs now, or a part of the mapping vanished under the read.
    bool changed() const;

private:
    QFile file_;
    QByteArray bytes_;
    int guard_ = -1;  // the slot watching the mapping, or -1
    qint64 openedSize_ = -1;
    qint64 openedTime_ = 0;  // of the last modification
};

// Tests only: called by FileContents::open with the path once the bytes are
// there, before any parse (a test changes the file in it). Empty by default.
void SetFileOpenedHook(std::function<void(const QString& path)> hook);
