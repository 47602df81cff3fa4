#pragma once
// The readers' side of file access: only a regular file is opened.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtGlobal>
#include <functional>

// Opens `file` (its name set) read-only when it is a regular file of at most
// maxBytes. A device (/dev/zero), a named pipe or a folder is refused before
// it is opened, so a reader neither blocks nor reads without end. False when
// refused or not opened; `reason` then holds the system's reason for a file
// that could not be opened, and is left empty for one that was refused (the
// caller shows its format's message).
bool OpenRegularFile(QFile& file, qint64 maxBytes, QString* reason);

// Why a reader refused a file. A failed read gives one message, the one its
// kind names (ReadRefusalText, link/Messages.h), and nothing else: the system's
// reason for a file that could not be opened or read; that another program
// changed the file while it was read (whatever its bytes gave); or the
// format's message for a file that is none of the format's, followed by
// where it is damaged when the reader can say.
struct ReadRefusal {
    enum Kind { None, Unreadable, Changed, NotTheFormat };
    Kind kind = None;
    QString detail;  // Unreadable: the system's reason; NotTheFormat: where, or empty

    // The refusal of an open that returned false with `reason` (OpenRegularFile).
    static ReadRefusal Unopened(const QString& reason) {
        return reason.isEmpty() ? ReadRefusal{NotTheFormat, {}} : ReadRefusal{Unreadable, reason};
    }
    bool refused() const { return kind != None; }
};

// Sets up the watch that lets FileContents read a file mapped (below): a
// SIGBUS raised by a page of a watched mapping that its file no longer holds
// gets a page of zeros in its place; any other SIGBUS (a fault elsewhere, one
// sent by kill or raise) meets the action that was set before as the kernel
// would have given it (so the default, or a fault while SIGBUS is ignored,
// still ends the process), and the watch stays in place. Called once at
// start-up where the application sets its other signal handling (main),
// before any thread starts. Until it is called, or when another action has
// replaced the watch's since, FileContents reads a copy of the file instead.
// True while the watch is in place.
bool WatchMappedFileReads();

// What tells one state of a file from another: its size, its modification
// time and its change time (nanoseconds), and which file it is. A writer may
// set the modification time back (cp -p, rsync -t); the change time no
// program can set, so a file written in place differs in it all the same.
struct FileStamp {
    qint64 size = -1;  // -1: the file could not be looked at
    qint64 modified = 0;
    qint64 changed = 0;
    quint64 device = 0;
    quint64 inode = 0;
    bool known() const { return size >= 0; }
    bool operator==(const FileStamp& o) const {
        return size == o.size && modified == o.modified && changed == o.changed && device == o.device &&
               inode == o.inode;
    }
};
// The stamp of the file at path (not known when it cannot be looked at).
FileStamp StampOfFile(const QString& path);

// The bytes of a regular file, mapped where the system allows it and the
// watch is in place, so that a parse that refuses a large file at its start
// reads no more of it than that; read whole otherwise. Another program may
// shorten the file while its bytes are looked at (a sheet saved over while it
// is read ahead): the part past the new end then reads as zero bytes instead
// of ending the application. Bytes read while another program writes may mix
// the old file with the new in any way, so a reader asks changed() after its
// parse and refuses a changed file: from before the first byte is read,
// every change to the file is noticed, and a write already under way is let
// finish first. Where no notice can be had (the system's limits reached)
// the file is read whole, twice, and the two copies must agree. The bytes
// stay valid as long as the object.
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
    // The bytes may not be one version of the file: a change to it was
    // noticed since open() opened it, its stamp (size, modification or
    // change time) differs now, a part of the mapping vanished under the
    // read, or the two copies read without a notice differed.
    bool changed() const;

private:
    QFile file_;
    QByteArray bytes_;
    int guard_ = -1;  // the slot watching the mapping, or -1
    int notice_ = -1;  // the watch for changes to the file, or -1 (none to be had)
    quint64 noticesSeen_ = 0;  // the changes it had reported when the read began
    bool copiesDiffer_ = false;  // without a notice: two copies of the bytes differed
    FileStamp opened_;  // when opened
};

// Tests only: called by FileContents::open with the path once the bytes are
// there, before any parse (a test changes the file in it). Empty by default.
void SetFileOpenedHook(std::function<void(const QString& path)> hook);
