#include "common/ReadFile.h"

#include <QDateTime>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <pthread.h>
#include <cstdint>
#include <cstdio>
#include <mutex>
#endif
#ifdef Q_OS_LINUX
#include <sys/inotify.h>

#include <unordered_map>
#endif

bool OpenRegularFile(QFile& file, qint64 maxBytes, QString* reason) {
    const QFileInfo info(file.fileName());
    if (info.exists() && (!info.isFile() || info.size() > maxBytes)) return false;
    if (!file.open(QIODevice::ReadOnly)) {
        if (reason) *reason = file.errorString();
        return false;
    }
    if (file.isSequential() || file.size() > maxBytes) {
        file.close();
        return false;
    }
    return true;
}

namespace {
std::function<void(const QString&)>& OpenedHook() {
    static std::function<void(const QString&)> hook;
    return hook;
}

#ifdef Q_OS_UNIX
// A page of a mapping whose file was shortened past it raises SIGBUS when
// touched. Mappings being read are watched here; a fault inside one gets a
// page of zeros put in its place (and its slot marks the read as changed),
// and the read goes on. Every other SIGBUS (a fault elsewhere, one sent by
// kill or raise, a memory error the kernel reports early) meets the action
// that was there before the watch, as the kernel would have given it, and
// the watch stays in place.
constexpr int WatchSlots = 16;
std::atomic<bool> slotTaken[WatchSlots];
std::atomic<bool> slotFaulted[WatchSlots];
std::atomic<uintptr_t> slotBegin[WatchSlots];
std::atomic<uintptr_t> slotEnd[WatchSlots];
struct sigaction previousBusAction;
// A previous handler set with SA_RESETHAND has run: from then on the action
// before the watch is the default, as the kernel would have reset it.
std::atomic<bool> previousReset{false};
uintptr_t pageSize = 4096;
std::atomic<bool> installed{false};

// A fault in a watched mapping: a page of zeros in place of the vanished one.
bool ZeroVanishedPage(const siginfo_t* info) {
    // Only the kernel's report of a page beyond the file's end; a signal
    // sent by a process (si_code <= 0) names no real address.
    if (info->si_code != BUS_ADRERR) return false;
    const auto at = reinterpret_cast<uintptr_t>(info->si_addr);
    for (int i = 0; i < WatchSlots; ++i) {
        if (at < slotBegin[i].load(std::memory_order_acquire) || at >= slotEnd[i].load(std::memory_order_acquire))
            continue;
        void* page = reinterpret_cast<void*>(at & ~(pageSize - 1));
        if (mmap(page, pageSize, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) == MAP_FAILED)
            return false;
        slotFaulted[i].store(true, std::memory_order_release);
        return true;
    }
    return false;
}

// A fault the kernel raised at an access (si_code > 0: BUS_ADRALN,
// BUS_ADRERR, BUS_OBJERR, BUS_MCEERR_AR, and SI_KERNEL for a stack-segment
// or segment-not-present fault). The kernel forces such a fault on the
// process: ignored or blocked, it takes the default action and ends it.
// Every other SIGBUS was sent by a process (si_code <= 0: kill, raise,
// sigqueue) or reports a memory error ahead of any access (BUS_MCEERR_AO),
// and takes the action as it is set.
bool ForcedByKernel(const siginfo_t* info) {
#ifdef BUS_MCEERR_AO
    if (info->si_code == BUS_MCEERR_AO) return false;
#endif
    return info->si_code > 0;
}

// The previous handler, run as the kernel would have run it: with its own
// mask added to the blocked signals and the signal itself blocked unless it
// asked for SA_NODEFER.
void RunPreviousHandler(const struct sigaction& before, int sig, siginfo_t* info, void* context) {
    sigset_t kept, during;
    pthread_sigmask(SIG_BLOCK, nullptr, &kept);
    during = kept;
    for (int s = 1; s < NSIG; ++s)
        if (sigismember(&before.sa_mask, s) == 1) sigaddset(&during, s);
    if (!(before.sa_flags & SA_NODEFER)) sigaddset(&during, sig);
    else if (sigismember(&before.sa_mask, sig) != 1) sigdelset(&during, sig);
    pthread_sigmask(SIG_SETMASK, &during, nullptr);
    if (before.sa_flags & SA_SIGINFO) before.sa_sigaction(sig, info, context);
    else before.sa_handler(sig);
    pthread_sigmask(SIG_SETMASK, &kept, nullptr);
}

// The default action: the process ends by the signal. The default is put
// back and the same report queued again, to arrive as soon as this handler
// returns (before a faulting access would run again).
void EndByDefault(int sig, siginfo_t* info) {
    signal(sig, SIG_DFL);
#ifdef SYS_rt_tgsigqueueinfo
    if (syscall(SYS_rt_tgsigqueueinfo, getpid(), syscall(SYS_gettid), sig, info) == 0) return;
#endif
    raise(sig);
}

// What the action set before the watch would have done with the signal.
void PassOn(int sig, siginfo_t* info, void* context) {
    const struct sigaction& before = previousBusAction;
    const bool handler = before.sa_handler != SIG_DFL && before.sa_handler != SIG_IGN;
    // A handler set with SA_RESETHAND runs once; the default stands after it.
    if (handler && !((before.sa_flags & SA_RESETHAND) && previousReset.exchange(true))) {
        RunPreviousHandler(before, sig, info, context);
        return;
    }
    if (before.sa_handler == SIG_IGN && !ForcedByKernel(info)) return;  // ignored, as before
    EndByDefault(sig, info);
}

void OnBusError(int sig, siginfo_t* info, void* context) {
    const int savedErrno = errno;
    if (!ZeroVanishedPage(info)) PassOn(sig, info, context);
    errno = savedErrno;
}

// The watch is in place: installed, and no one has set another action since.
bool Armed() {
    if (!installed.load(std::memory_order_acquire)) return false;
    struct sigaction now {};
    return sigaction(SIGBUS, nullptr, &now) == 0 && (now.sa_flags & SA_SIGINFO) && now.sa_sigaction == OnBusError;
}

// A slot watching [begin, begin + size), or -1 when the watch is off or no
// slot is free.
int Watch(const uchar* begin, qint64 size) {
    if (!Armed()) return -1;
    for (int i = 0; i < WatchSlots; ++i) {
        bool expected = false;
        if (!slotTaken[i].compare_exchange_strong(expected, true)) continue;
        slotFaulted[i].store(false, std::memory_order_release);
        slotBegin[i].store(reinterpret_cast<uintptr_t>(begin), std::memory_order_release);
        slotEnd[i].store(reinterpret_cast<uintptr_t>(begin) + uintptr_t(size), std::memory_order_release);
        return i;
    }
    return -1;
}

bool Faulted(int slot) { return slotFaulted[slot].load(std::memory_order_acquire); }

void Unwatch(int slot) {
    slotEnd[slot].store(0, std::memory_order_release);
    slotBegin[slot].store(0, std::memory_order_release);
    slotTaken[slot].store(false, std::memory_order_release);
}

FileStamp StampOf(const struct stat& st) {
    FileStamp f;
    f.size = qint64(st.st_size);
    f.modified = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    f.changed = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    f.device = quint64(st.st_dev);
    f.inode = quint64(st.st_ino);
    return f;
}

// The stamp of the open file.
FileStamp StampOpen(const QFile& file) {
    struct stat st {};
    if (fstat(file.handle(), &st) != 0) return {};
    return StampOf(st);
}

// Waits until a write another program has under way on the open file is
// done: a writer holds the file's lock for the whole of one write, and these
// calls take it (SEEK_DATA on ext4, btrfs and tmpfs, a read on XFS), so a
// write that began before this cannot go on writing into the bytes read
// after it. Elsewhere they return at once. The file's offset stays.
void SettleWrites(int fd) {
#ifdef SEEK_DATA
    const off_t at = lseek(fd, 0, SEEK_CUR);
    lseek(fd, 0, SEEK_DATA);
    if (at >= 0) lseek(fd, at, SEEK_SET);
#endif
    char byte;
    (void)!pread(fd, &byte, 1, 0);
}

#else
// Elsewhere a mapped file cannot be shortened: nothing to watch.
int Watch(const uchar*, qint64) { return 0; }
bool Faulted(int) { return false; }
void Unwatch(int) {}

FileStamp StampOpen(const QFile& file) { return StampOfFile(file.fileName()); }
void SettleWrites(int) {}
#endif

#ifdef Q_OS_LINUX
// The notices of change to the files being read: one inotify instance for
// the process, made at the first read and kept; a watch on each file while
// it is read (readers of one file at a time share its watch); and for each
// watch the count of the changes it reported. A watch reports every change
// to its file: each write, whichever program makes it and whenever that
// opened the file, each shortening or lengthening, each change of its
// attributes.
class ChangeNotices {
public:
    // A watch on the open file `fd` (the very file the descriptor holds,
    // whatever its name now), and in `seen` the count of its changes so far;
    // -1 when none can be had (the system's limits reached).
    int watch(int fd, quint64* seen) {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (instance_ < 0) instance_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (instance_ < 0) return -1;
        if (!tally()) return -1;  // what is reported before the watch is not this read's
        char self[40];
        std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
        const int watch = inotify_add_watch(instance_, self, IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE);
        if (watch < 0) return -1;
        Watch& w = watches_[watch];
        ++w.readers;
        *seen = w.changes;
        return watch;
    }
    // The file of `watch` changed since its count was `seen` (or its reports
    // cannot be read).
    bool changedSince(int watch, quint64 seen) {
        const std::lock_guard<std::mutex> lock(mutex_);
        const auto it = watches_.find(watch);
        return !tally() || it == watches_.end() || it->second.changes != seen;
    }
    void unwatch(int watch) {
        const std::lock_guard<std::mutex> lock(mutex_);
        const auto it = watches_.find(watch);
        if (it == watches_.end() || --it->second.readers > 0) return;
        watches_.erase(it);
        inotify_rm_watch(instance_, watch);
    }

private:
    // Counts the reports waiting, each to its watch. False when they cannot
    // be read.
    bool tally() {
        alignas(struct inotify_event) char reports[4096];
        for (;;) {
            const ssize_t n = read(instance_, reports, sizeof reports);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK;
            if (n == 0) return false;
            for (ssize_t at = 0; at + ssize_t(sizeof(struct inotify_event)) <= n;) {
                const auto* report = reinterpret_cast<const struct inotify_event*>(reports + at);
                if (report->mask & IN_Q_OVERFLOW) {
                    for (auto& w : watches_) ++w.second.changes;  // reports lost: any file may have changed
                } else if (const auto it = watches_.find(report->wd); it != watches_.end()) {
                    ++it->second.changes;
                }
                at += ssize_t(sizeof(struct inotify_event) + report->len);
            }
        }
    }

    struct Watch {
        int readers = 0;
        quint64 changes = 0;
    };
    std::mutex mutex_;
    int instance_ = -1;
    std::unordered_map<int, Watch> watches_;
};

ChangeNotices& Notices() {
    static ChangeNotices* notices = new ChangeNotices;  // kept to the end: reads may run on other threads then
    return *notices;
}

int WatchChanges(int fd, quint64* seen) { return Notices().watch(fd, seen); }
bool ChangedSince(int watch, quint64 seen) { return Notices().changedSince(watch, seen); }
void UnwatchChanges(int watch) { Notices().unwatch(watch); }
#else
// No notices here: reads copy the file twice.
int WatchChanges(int, quint64*) { return -1; }
bool ChangedSince(int, quint64) { return true; }
void UnwatchChanges(int) {}
#endif
}  // namespace

bool WatchMappedFileReads() {
#ifdef Q_OS_UNIX
    static std::once_flag once;
    std::call_once(once, [] {
        const long size = sysconf(_SC_PAGESIZE);
        if (size > 0) pageSize = uintptr_t(size);
        struct sigaction before {};
        if (sigaction(SIGBUS, nullptr, &before) != 0) return;
        struct sigaction action {};
        action.sa_sigaction = OnBusError;
        action.sa_flags = SA_SIGINFO | (before.sa_flags & SA_ONSTACK);
        // A handler set before: its mask is blocked as the signal arrives,
        // and a call the signal interrupts goes on only if it asked for that.
        // Under the default or ignored, a call the signal interrupts goes on.
        if (before.sa_handler != SIG_DFL && before.sa_handler != SIG_IGN) {
            action.sa_mask = before.sa_mask;
            action.sa_flags |= before.sa_flags & SA_RESTART;
        } else {
            sigemptyset(&action.sa_mask);
            action.sa_flags |= SA_RESTART;
        }
        previousBusAction = before;
        installed.store(sigaction(SIGBUS, &action, nullptr) == 0, std::memory_order_release);
    });
    return Armed();
#else
    return true;
#endif
}

FileStamp StampOfFile(const QString& path) {
#ifdef Q_OS_UNIX
    struct stat st {};
    if (stat(QFile::encodeName(path).constData(), &st) != 0) return {};
    return StampOf(st);
#else
    const QFileInfo info(path);
    if (!info.exists()) return {};
    FileStamp f;
    f.size = info.size();
    f.modified = info.lastModified().toMSecsSinceEpoch();
    f.changed = info.metadataChangeTime().toMSecsSinceEpoch();
    return f;
#endif
}

void SetFileOpenedHook(std::function<void(const QString&)> hook) { OpenedHook() = std::move(hook); }

FileContents::~FileContents() {
    if (guard_ >= 0) Unwatch(guard_);
    bytes_.clear();
    file_.close();  // unmaps
    if (notice_ >= 0) UnwatchChanges(notice_);
}

bool FileContents::open(const QString& path, qint64 maxFileBytes, qint64 readLimit, QString* reason) {
    file_.setFileName(path);
    if (!OpenRegularFile(file_, maxFileBytes, reason)) return false;
    opened_ = StampOpen(file_);  // none (size -1) counts as changed
    // Every change from here on is noticed; a write already under way is
    // let finish before the first byte is read.
    notice_ = WatchChanges(file_.handle(), &noticesSeen_);
    SettleWrites(file_.handle());
    const qint64 size = qMin(file_.size(), readLimit);
    // Without the notice the bytes are copied, twice, below.
    uchar* mapped = size > 0 && notice_ >= 0 ? file_.map(0, size) : nullptr;
    if (mapped) {
        guard_ = Watch(mapped, size);
        if (guard_ < 0) {
            file_.unmap(mapped);  // unwatched: a copy is safe
            mapped = nullptr;
        }
    }
    if (mapped) {
        bytes_ = QByteArray::fromRawData(reinterpret_cast<const char*>(mapped), qsizetype(size));
    } else {
        bytes_ = file_.read(size);
        if (file_.error() != QFileDevice::NoError) {
            if (reason) *reason = file_.errorString();
            return false;
        }
        if (notice_ < 0) {
            // No notice of changes: a second copy, read once any write under
            // way is done, must hold the same bytes.
            SettleWrites(file_.handle());
            const bool same = file_.seek(0) && file_.read(size) == bytes_;
            if (file_.error() != QFileDevice::NoError) {
                if (reason) *reason = file_.errorString();
                return false;
            }
            copiesDiffer_ = !same;
        }
    }
    if (OpenedHook()) OpenedHook()(path);
    return true;
}

bool FileContents::changed() const {
    if (guard_ >= 0 && Faulted(guard_)) return true;
    if (copiesDiffer_) return true;
    // A write still under way when the parse ends is let finish, so that
    // its notice (or its new stamp) is there to be seen.
    SettleWrites(file_.handle());
    if (notice_ >= 0 && ChangedSince(notice_, noticesSeen_)) return true;
    return !opened_.known() || !(StampOpen(file_) == opened_);
}
