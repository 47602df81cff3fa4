// The watch over mapped file reads: a page that vanished under a read reads
// as zeros, and every SIGBUS it did not cause goes where it went before the
// watch. Each case runs in a child process (this binary with --bus-child),
// which starts with the default action for SIGBUS, as the application does.
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstring>

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

}  // namespace

class ReadFileTest : public QObject {
    Q_OBJECT

private slots:
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
    if (argc == 4 && qstrcmp(argv[1], "--bus-child") == 0)
        return BusChild(QByteArray(argv[2]), QString::fromLocal8Bit(argv[3]));
    QCoreApplication app(argc, argv);
    ReadFileTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_readfile.moc"
