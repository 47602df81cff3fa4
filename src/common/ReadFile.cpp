#include "common/ReadFile.h"

#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <mutex>
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
#ifdef Q_OS_UNIX
// A page of a mapping whose file was shortened past it raises SIGBUS when
// touched. Mappings being read are watched here; a fault inside one gets a
// page of zeros put in its place, and the read goes on. Faults anywhere else
// go to whatever handled SIGBUS before.
constexpr int WatchSlots = 16;
std::atomic<bool> slotTaken[WatchSlots];
std::atomic<uintptr_t> slotBegin[WatchSlots];
std::atomic<uintptr_t> slotEnd[WatchSlots];
struct sigaction previousBusAction;
uintptr_t pageSize = 4096;

void OnBusError(int sig, siginfo_t* info, void* context) {
    const int savedErrno = errno;
    const auto at = reinterpret_cast<uintptr_t>(info->si_addr);
    for (int i = 0; i < WatchSlots; ++i) {
        if (at >= slotBegin[i].load(std::memory_order_acquire) && at < slotEnd[i].load(std::memory_order_acquire)) {
            void* page = reinterpret_cast<void*>(at & ~(pageSize - 1));
            if (mmap(page, pageSize, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED) {
                errno = savedErrno;
                return;
            }
        }
    }
    if (previousBusAction.sa_flags & SA_SIGINFO) {
        previousBusAction.sa_sigaction(sig, info, context);
    } else if (previousBusAction.sa_handler != SIG_DFL && previousBusAction.sa_handler != SIG_IGN) {
        previousBusAction.sa_handler(sig);
    } else {
        signal(sig, SIG_DFL);  // returning faults again, now fatally
    }
    errno = savedErrno;
}

bool WatchOnce() {
    static std::once_flag once;
    static bool installed = false;
    std::call_once(once, [] {
        const long size = sysconf(_SC_PAGESIZE);
        if (size > 0) pageSize = uintptr_t(size);
        struct sigaction action {};
        action.sa_sigaction = OnBusError;
        action.sa_flags = SA_SIGINFO;
        sigemptyset(&action.sa_mask);
        installed = sigaction(SIGBUS, &action, &previousBusAction) == 0;
    });
    return installed;
}

// A slot watching [begin, begin + size), or -1 when none is free.
int Watch(const uchar* begin, qint64 size) {
    if (!WatchOnce()) return -1;
    for (int i = 0; i < WatchSlots; ++i) {
        bool expected = false;
        if (!slotTaken[i].compare_exchange_strong(expected, true)) continue;
        slotBegin[i].store(reinterpret_cast<uintptr_t>(begin), std::memory_order_release);
        slotEnd[i].store(reinterpret_cast<uintptr_t>(begin) + uintptr_t(size), std::memory_order_release);
        return i;
    }
    return -1;
}

void Unwatch(int slot) {
    slotEnd[slot].store(0, std::memory_order_release);
    slotBegin[slot].store(0, std::memory_order_release);
    slotTaken[slot].store(false, std::memory_order_release);
}
#else
// Elsewhere a mapped file cannot be shortened: nothing to watch.
int Watch(const uchar*, qint64) { return 0; }
void Unwatch(int) {}
#endif
}  // namespace

FileContents::~FileContents() {
    if (guard_ >= 0) Unwatch(guard_);
    bytes_.clear();
    file_.close();  // unmaps
}

bool FileContents::open(const QString& path, qint64 maxFileBytes, qint64 readLimit, QString* reason) {
    file_.setFileName(path);
    if (!OpenRegularFile(file_, maxFileBytes, reason)) return false;
    const qint64 size = qMin(file_.size(), readLimit);
    if (uchar* mapped = size > 0 ? file_.map(0, size) : nullptr) {
        guard_ = Watch(mapped, size);
        if (guard_ >= 0) {
            bytes_ = QByteArray::fromRawData(reinterpret_cast<const char*>(mapped), qsizetype(size));
            return true;
        }
        file_.unmap(mapped);  // unwatched: a copy is safe
    }
    bytes_ = file_.read(size);
    if (file_.error() != QFileDevice::NoError) {
        if (reason) *reason = file_.errorString();
        return false;
    }
    return true;
}
