// The watch over mapped file reads: a page that vanished under a read reads
// as zeros, and every SIGBUS it did not cause goes where it went before the
// watch. Each case runs in a child process (this binary with --bus-child),
// which starts with the default action for SIGBUS, as the application does.
#include <signal.h>
#include <sys/prctl.h>
#include <sys/types.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "common/ReadFile.h"

namespace {

volatile sig_atomic_t handled = 0;
void CountBusSignal(int) { handled = handled + 1; }

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
    if (mode == "ignored") signal(SIGBUS, SIG_IGN);
    if (mode == "handled") signal(SIGBUS, CountBusSignal);
    if (!WatchMappedFileReads()) return 2;
    const QString path = dir + "/" + QString::fromLatin1(mode);
    if (!WriteFile(path, ThreePages)) return 3;
    FileContents watched;  // a read, held open
    if (!watched.open(path, 1 << 20, 1 << 20, nullptr) || watched.bytes() != ThreePages) return 4;

    if (mode == "raise") {
        raise(SIGBUS);
        return 10;
    }
    if (mode == "fault") {
        // A mapping of the child's own, not watched, faults past its file's end.
        QFile own(path + ".own");
        if (!own.open(QIODevice::ReadWrite) || own.write(ThreePages) != ThreePages.size()) return 5;
        const uchar* bytes = own.map(0, ThreePages.size());
        if (!bytes || !own.resize(0)) return 6;
        return *static_cast<const volatile uchar*>(bytes + 4096) + 11;
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
