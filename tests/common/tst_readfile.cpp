// Reads of a file another program changes. A read while the file is written
// holds one version of it or is refused. The watch over mapped file reads: a
// page that vanished under a read reads as zeros, and every SIGBUS it did
// not cause meets the action set before, as the kernel would have given it.
// Each case runs in a child process (this binary with --read-child or
// --bus-child), which starts with the default action for SIGBUS, as the
// application does.
#include <fcntl.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <linux/userfaultfd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <thread>
#include <vector>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "common/ReadFile.h"

namespace {

volatile sig_atomic_t handled = 0;
void CountBusSignal(int) { handled = handled + 1; }

// What was blocked while the handler ran: 1 each when SIGUSR1 / SIGBUS was.
volatile sig_atomic_t usr1Blocked = -1, busBlocked = -1;
void NoteMask(int) {
    sigset_t now;
    pthread_sigmask(SIG_BLOCK, nullptr, &now);
    usr1Blocked = sigismember(&now, SIGUSR1);
    busBlocked = sigismember(&now, SIGBUS);
    handled = handled + 1;
}

// The kernel's early report of a memory error (BUS_MCEERR_AO), sent by the
// process to itself as the kernel would send it: it arrives once and is no
// fault of the access that follows.
bool ReportMemoryErrorEarly() {
    siginfo_t info;
    std::memset(&info, 0, sizeof info);
    info.si_signo = SIGBUS;
    info.si_code = BUS_MCEERR_AO;
    info.si_addr = &info;
    return syscall(SYS_rt_tgsigqueueinfo, getpid(), syscall(SYS_gettid), SIGBUS, &info) == 0;
}

// A handler set before the watch with its own mask (SIGUSR1) and flags.
void HandleWith(int flags) {
    struct sigaction action {};
    action.sa_handler = NoteMask;
    sigemptyset(&action.sa_mask);
    if (!(flags & SA_NODEFER)) sigaddset(&action.sa_mask, SIGUSR1);
    action.sa_flags = flags;
    sigaction(SIGBUS, &action, nullptr);
}

// A stack-segment fault: an access through the stack pointer to an address
// that is not canonical. The kernel reports it as SIGBUS with SI_KERNEL, a
// code of none of the faults at a page.
void StackSegmentFault() {
#if defined(__x86_64__)
    const unsigned long far = 0x8000000000000000ul;
    unsigned long out;
    asm volatile("movq (%%rsp,%1,1), %0" : "=r"(out) : "r"(far) : "memory");
#endif
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

const QByteArray ThreePages(3 * 4096, 'x');

// A file of three pages shortened to nothing under a read: false when the
// read did not see it changed. `mapped`: the bytes came from the watched
// mapping (they read as zeros), else from a copy (they read as written).
bool CutFileIsRefused(const QString& path, bool mapped) {
    if (!WriteFile(path, ThreePages)) return false;
    FileContents file;
    if (!file.open(path, 1 << 20, 1 << 20, nullptr) || !QFile::resize(path, 0)) return false;
    char any = 0;
    for (const char c : file.bytes()) any |= c;  // every page touched
    return file.changed() && (mapped ? any == 0 : file.bytes() == ThreePages);
}

// The child: sets the action the mode names, the watch, makes one read, then
// meets the mode's SIGBUS. Exit code 0 when it lived through it as it must.
int BusChild(const QByteArray& mode, const QString& dir) {
    prctl(PR_SET_DUMPABLE, 0);  // no core file for the ends the parent expects
    signal(SIGBUS, SIG_DFL);    // as in the application (a sanitizer's own handler set aside)
    if (mode == "ignored" || mode == "stack fault ignored") signal(SIGBUS, SIG_IGN);
    if (mode == "handled" || mode == "early handled") signal(SIGBUS, CountBusSignal);
    if (mode == "early ignored") signal(SIGBUS, SIG_IGN);
    if (mode == "own mask") HandleWith(0);
    if (mode == "no defer") HandleWith(SA_NODEFER);
    if (mode == "reset handler") HandleWith(SA_RESETHAND);
    if (!WatchMappedFileReads()) return 2;
    const QString path = dir + "/" + QString::fromLatin1(mode);
    if (!WriteFile(path, ThreePages)) return 3;
    FileContents watched;  // a read, held open
    if (!watched.open(path, 1 << 20, 1 << 20, nullptr) || watched.bytes() != ThreePages) return 4;

    if (mode == "raise") {
        raise(SIGBUS);
        return 10;
    }
    // A mapping of the child's own, not watched, faults past its file's end.
    const auto faultOutsideTheWatch = [&] {
        QFile own(path + ".own");
        if (!own.open(QIODevice::ReadWrite) || own.write(ThreePages) != ThreePages.size()) return 5;
        const uchar* bytes = own.map(0, ThreePages.size());
        if (!bytes || !own.resize(0)) return 6;
        return *static_cast<const volatile uchar*>(bytes + 4096) + 11;
    };
    if (mode == "fault") return faultOutsideTheWatch();
    if (mode == "stack fault ignored") {
        StackSegmentFault();
        return 26;
    }
    if (mode == "reset handler") {
        raise(SIGBUS);
        if (handled != 1) return 27;
        if (!WatchMappedFileReads()) return 28;  // the watch stays in place
        if (!CutFileIsRefused(path + ".cut", true)) return 29;
        return faultOutsideTheWatch();  // the default now: it ends the process
    }
    if (mode.startsWith("early")) {
        if (!ReportMemoryErrorEarly()) return 17;
        if (mode == "early") return 18;  // it must have ended the process
        if (mode == "early handled" && handled != 1) return 19;
        if (!WatchMappedFileReads()) return 20;  // the watch stays in place
        return CutFileIsRefused(path + ".cut", true) ? 0 : 21;
    }
    if (mode == "own mask" || mode == "no defer") {
        raise(SIGBUS);
        const int expect = mode == "own mask" ? 1 : 0;
        if (handled != 1 || usr1Blocked != expect || busBlocked != expect) return 22;
        sigset_t now;
        pthread_sigmask(SIG_BLOCK, nullptr, &now);
        if (sigismember(&now, SIGUSR1) || sigismember(&now, SIGBUS)) return 23;  // as before the signal
        if (!WatchMappedFileReads()) return 24;
        return CutFileIsRefused(path + ".cut", true) ? 0 : 25;
    }
    if (mode == "replaced") {
        // Another action set after the watch: reads copy the file instead.
        signal(SIGBUS, CountBusSignal);
        if (WatchMappedFileReads()) return 7;
        return CutFileIsRefused(path + ".cut", false) ? 0 : 8;
    }
    // The parent sends SIGBUS, then "go".
    std::puts("ready");
    std::fflush(stdout);
    char line[8];
    if (!std::fgets(line, sizeof line, stdin)) return 12;  // (calls the signal interrupts go on)
    if (mode == "sent") return 13;
    if (mode == "handled" && handled != 1) return 14;
    if (!WatchMappedFileReads()) return 15;  // the watch stays in place
    return CutFileIsRefused(path + ".cut", true) ? 0 : 16;
}

// Another program writing a file in place, at its size, while it is read:
// each read a reader takes must hold one version. The two versions are a
// byte repeated, so a read that holds both shows it.
struct Versions {
    explicit Versions(qsizetype size) : a(size, 'a'), b(size, 'b') {}
    const QByteArray a, b;
};
struct ReadCounts {
    long reads = 0, refused = 0, mixed = 0, failed = 0;
};

// From now on no watch for changes to a file is to be had, as when the
// system's limit of watches is reached: the process's every call for one
// fails with ENOSPC (a seccomp filter), and nothing else changes. Called
// before the process starts a thread.
bool RefuseChangeWatches() {
    struct sock_filter rules[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(struct seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_inotify_add_watch, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | ENOSPC),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    struct sock_fprog program {};
    program.len = sizeof rules / sizeof rules[0];
    program.filter = rules;
    return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 && prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

// One read as the readers make it: the bytes, a parse that looks at every
// one of them, then the check for a change.
void ReadOnce(const QString& path, const Versions& versions, ReadCounts& counts) {
    ++counts.reads;
    const qsizetype size = versions.a.size();
    FileContents file;
    if (!file.open(path, size, size, nullptr)) {
        ++counts.failed;
        return;
    }
    const bool one = file.bytes() == versions.a || file.bytes() == versions.b;
    if (file.changed()) ++counts.refused;
    else if (!one) ++counts.mixed;
}

// The racing writer: another process writing the two versions in turn, each
// in one write, as fast as it can, counting its writes in a page it shares.
// The reader reads until a count of reads or of its own processor time.
constexpr qsizetype RaceBytes = 16 * 4096;
constexpr long RaceReads = 20000;
constexpr qint64 RaceCpuNs = 1'000'000'000;

qint64 ThreadCpuNs() {
    struct timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

bool RaceWriter(int out, const QString& path, ReadCounts& counts) {
    const Versions versions(RaceBytes);
    auto* writes = static_cast<std::atomic<long>*>(
        mmap(nullptr, sizeof(std::atomic<long>), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0));
    if (writes == MAP_FAILED) return false;
    const pid_t writer = fork();
    if (writer < 0) return false;
    if (writer == 0) {
        for (long i = 1;; ++i)
            if (pwrite(out, (i & 1 ? versions.b : versions.a).constData(), size_t(RaceBytes), 0) == RaceBytes)
                writes->fetch_add(1, std::memory_order_relaxed);
    }
    const qint64 start = ThreadCpuNs();
    while (counts.reads < RaceReads && ThreadCpuNs() - start < RaceCpuNs) ReadOnce(path, versions, counts);
    kill(writer, SIGKILL);
    waitpid(writer, nullptr, 0);
    std::printf("%ld writes; ", writes->load());
    return writes->load() > 0;
}

// The held writer: one write of the second version whose bytes past the
// first part lie on a page not there yet, which this process gives only when
// it chooses (userfaultfd). The write stops at that page with the file's
// first part written and its last page as before, under way, until the page
// is given: a write another program had begun before the read, as long as
// the read lasts. (Beyond the largest chunk a write takes in one go.)
constexpr qsizetype HeldBytes = 512 * 4096 + 4096;

int OpenUserFaults() {
    int fd = int(syscall(SYS_userfaultfd, O_CLOEXEC));
    if (fd < 0) {
        const int device = open("/dev/userfaultfd", O_RDWR | O_CLOEXEC);
        if (device >= 0) {
            fd = ioctl(device, USERFAULTFD_IOC_NEW, O_CLOEXEC);
            close(device);
        }
    }
    struct uffdio_api api {};
    api.api = UFFD_API;
    if (fd >= 0 && ioctl(fd, UFFDIO_API, &api) != 0) {
        close(fd);
        fd = -1;
    }
    return fd;
}

// The state of a thread, from its open stat file ('D': waiting on a lock).
char ThreadState(int stat) {
    char line[512];
    const ssize_t n = pread(stat, line, sizeof line - 1, 0);
    if (n <= 0) return 0;
    line[n] = 0;
    const char* end = std::strrchr(line, ')');
    return end && end[1] == ' ' ? end[2] : 0;
}

// The file holds the first part of the second version and the last page of
// the first.
bool HalfWritten(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray first = file.read(1);
    return file.seek(HeldBytes - 1) && first == "b" && file.read(1) == "a";
}

// 77: no userfaultfd to be had here.
int HeldWriter(int out, const QString& path, ReadCounts& counts) {
    const int faults = OpenUserFaults();
    if (faults < 0) return 77;
    const size_t page = size_t(sysconf(_SC_PAGESIZE));
    auto* bytes = static_cast<char*>(
        mmap(nullptr, size_t(HeldBytes), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    if (bytes == MAP_FAILED) return 30;
    const Versions versions(HeldBytes);
    char* held = bytes + HeldBytes - page;
    std::memcpy(bytes, versions.b.constData(), size_t(held - bytes));
    struct uffdio_register hold {};
    hold.range.start = reinterpret_cast<uintptr_t>(held);
    hold.range.len = page;
    hold.mode = UFFDIO_REGISTER_MODE_MISSING;
    if (ioctl(faults, UFFDIO_REGISTER, &hold) != 0) return 31;
    std::thread writer([&] { (void)!pwrite(out, bytes, size_t(HeldBytes), 0); });
    int code = 0;
    struct uffd_msg fault {};
    if (read(faults, &fault, sizeof fault) != sizeof fault || fault.event != UFFD_EVENT_PAGEFAULT) code = 32;
    else if (!HalfWritten(path)) code = 33;
    // The read, on a thread of its own while the write is held; the page is
    // given once the read is done or waits (on the file's lock, for the
    // write to finish).
    std::atomic<pid_t> readerId{0};
    std::atomic<bool> go{false}, done{false};
    std::thread reader;
    if (!code) {
        reader = std::thread([&] {
            readerId = pid_t(syscall(SYS_gettid));
            while (!go) sched_yield();
            ReadOnce(path, versions, counts);
            done = true;
        });
        while (!readerId) sched_yield();
        const QByteArray statPath = "/proc/self/task/" + QByteArray::number(readerId.load()) + "/stat";
        const int stat = open(statPath.constData(), O_RDONLY | O_CLOEXEC);
        if (stat < 0) code = 34;
        go = true;
        while (!done && ThreadState(stat) != 'D') sched_yield();
    }
    std::vector<char> rest(page, 'b');
    struct uffdio_copy give {};
    give.dst = reinterpret_cast<uintptr_t>(held);
    give.src = reinterpret_cast<uintptr_t>(rest.data());
    give.len = page;
    const bool given = ioctl(faults, UFFDIO_COPY, &give) == 0;
    writer.join();
    if (reader.joinable()) reader.join();
    return code ? code : given ? 0 : 35;
}

// The child: reads the file while the writer named writes it. Prints the
// counts; exit code 0 when no read that mixed the versions was taken (and
// the racing writer did write), 77 when the writer cannot be had here.
int ReadChild(const QByteArray& writer, const QByteArray& mode, const QString& dir) {
    if (mode != "copied" && !WatchMappedFileReads()) return 2;
    const QString path = dir + "/file";
    if (!WriteFile(path, QByteArray(writer == "held" ? HeldBytes : RaceBytes, 'a'))) return 3;
    // The writer opens the file before any read starts and keeps it open.
    const int out = open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC);
    if (out < 0) return 4;
    if (mode == "no notice left" && !RefuseChangeWatches()) return 5;
    ReadCounts counts;
    const int code = writer == "held" ? HeldWriter(out, path, counts) : RaceWriter(out, path, counts) ? 0 : 6;
    std::printf("%ld reads, %ld refused, %ld mixed taken, %ld failed\n", counts.reads, counts.refused, counts.mixed,
                counts.failed);
    std::fflush(stdout);
    if (code) return code;
    return counts.mixed == 0 && counts.failed == 0 ? 0 : 1;
}

}  // namespace

class ReadFileTest : public QObject {
    Q_OBJECT

private slots:
    // Another program writing the file in place at its size during the
    // reads: each read holds one version or is refused as changed. The
    // racing writer writes as fast as it can; the held one has begun its
    // write before the read and finishes it only after.
    void aReadDuringAWriteHoldsOneVersion_data() {
        QTest::addColumn<QByteArray>("writer");
        QTest::addColumn<QByteArray>("mode");
        for (const char* writer : {"racing", "held"})
            for (const char* mode : {"mapped", "copied", "no notice left"})
                QTest::addRow("%s, %s", writer, mode) << QByteArray(writer) << QByteArray(mode);
    }
    void aReadDuringAWriteHoldsOneVersion() {
        QFETCH(QByteArray, writer);
        QFETCH(QByteArray, mode);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {"--read-child", QString::fromLatin1(writer), QString::fromLatin1(mode), dir.path()});
        QVERIFY(child.waitForFinished(-1));
        const QByteArray said = child.readAllStandardOutput().trimmed() + child.readAllStandardError();
        qInfo("%s", said.constData());
        if (child.exitStatus() == QProcess::NormalExit && child.exitCode() == 77)
            QSKIP("no userfaultfd here to hold a write");
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
                 qPrintable(QString("exit code %1: %2").arg(child.exitCode()).arg(QString::fromLatin1(said))));
    }

    void busSignalsTheWatchDidNotCauseGoOn_data() {
        QTest::addColumn<QByteArray>("mode");
        QTest::addColumn<bool>("ends");  // the child ends by SIGBUS
        QTest::newRow("sent by another process: ends it") << QByteArray("sent") << true;
        QTest::newRow("raised by the process: ends it") << QByteArray("raise") << true;
        QTest::newRow("a fault outside the watched mappings: ends it") << QByteArray("fault") << true;
        QTest::newRow("sent, ignored before: a cut file after it refused") << QByteArray("ignored") << false;
        QTest::newRow("sent, handled before: a cut file after it refused") << QByteArray("handled") << false;
        QTest::newRow("another action set after the watch: reads copy") << QByteArray("replaced") << false;
        // A memory error the kernel reports ahead of any access (BUS_MCEERR_AO)
        // does not come again on return: it goes to the action set before.
        QTest::newRow("memory error reported early: ends it") << QByteArray("early") << true;
        QTest::newRow("memory error reported early, handled before: handled once") << QByteArray("early handled")
                                                                                  << false;
        QTest::newRow("memory error reported early, ignored before: goes on") << QByteArray("early ignored") << false;
        // A handler set before runs as the kernel would run it.
        QTest::newRow("handler with its own mask: runs with it, SIGBUS blocked") << QByteArray("own mask") << false;
        QTest::newRow("handler with SA_NODEFER: runs with SIGBUS open") << QByteArray("no defer") << false;
        // A handler set with SA_RESETHAND runs once; after it the default
        // stands, while the watch stays in place.
        QTest::newRow("handler with SA_RESETHAND: runs once, the next fault ends it") << QByteArray("reset handler")
                                                                                    << true;
        // A fault the kernel forces (at an access), whatever its code, ends
        // the process though SIGBUS is ignored.
#if defined(__x86_64__)
        QTest::newRow("stack-segment fault (SI_KERNEL), ignored before: ends it") << QByteArray("stack fault ignored")
                                                                                  << true;
#endif
    }
    void busSignalsTheWatchDidNotCauseGoOn() {
        QFETCH(QByteArray, mode);
        QFETCH(bool, ends);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {"--bus-child", QString::fromLatin1(mode), dir.path()});
        QVERIFY(child.waitForStarted());
        if (mode == "sent" || mode == "ignored" || mode == "handled") {
            QVERIFY(child.waitForReadyRead(20000));
            QCOMPARE(child.readLine().trimmed(), QByteArray("ready"));
            QCOMPARE(kill(pid_t(child.processId()), SIGBUS), 0);
            child.write("go\n");
        }
        QVERIFY(child.waitForFinished(20000));
        const QByteArray said = child.readAllStandardError();
        if (ends) {
            QVERIFY2(child.exitStatus() == QProcess::CrashExit, qPrintable(QString("exit code %1").arg(child.exitCode())));
            QCOMPARE(child.exitCode(), SIGBUS);
        } else {
            QVERIFY2(child.exitStatus() == QProcess::NormalExit, said.constData());
            QCOMPARE(child.exitCode(), 0);
        }
    }
};

int main(int argc, char** argv) {
    if (argc == 5 && qstrcmp(argv[1], "--read-child") == 0)
        return ReadChild(QByteArray(argv[2]), QByteArray(argv[3]), QString::fromLocal8Bit(argv[4]));
    if (argc == 4 && qstrcmp(argv[1], "--bus-child") == 0)
        return BusChild(QByteArray(argv[2]), QString::fromLocal8Bit(argv[3]));
    QCoreApplication app(argc, argv);
    ReadFileTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_readfile.moc"
