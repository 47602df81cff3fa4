// Benchmark (not a test): start-up, measured from outside the started process
// against a bare QMainWindow started the same way in the same run.
//
//   shown  from the start of the process to its main window on screen (the
//          window's first expose): the application with no files to reopen,
//          against a bare QMainWindow;
//   quiet  from the start of the process until it goes quiet (its main
//          thread's CPU time sampled every 20 ms: the last sample that grew by
//          more than 0.2 ms before five that did not): the application reopening
//          its last sheet (16 Wave views with CH1 and CH2, 16 Data views of
//          8,192 rows) and a controller file, against the bare window.
//
// A third start, printed beside the first figure, builds the same windows
// of Qt's widgets alone, splash first (`--child skeleton`): what windows like
// these cost here before any of the application's own work.
//
// Each figure is the median of several starts. The bench starts itself as
// the child process (`--child bare|app START_NS`), so both sides pay the
// same process start-up; the child reports the moment its window is exposed.
// `--prepare DIR` writes the files and settings of the reopening start into
// DIR, for profiling one start (XDG_CONFIG_HOME=DIR bench_startup --child app 0).
#include <QApplication>
#include <QDir>
#include <QDockWidget>
#include <QFrame>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include "SheetSamples.h"
#include "common/DSOSettings.h"
#include "common/ReadFile.h"
#include "common/SettingsStore.h"
#include "common/SheetModel.h"
#include "common/ShellState.h"
#include "controller/CtrlFile.h"
#include "link/Messages.h"
#include "link/Vocabulary.h"
#include "platform/dialogs/MsgBox.h"
#include "sheets/SheetFile.h"
#include "shell/AppMain.h"

namespace {

qint64 MonotonicNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// ---- the child: reports the first expose of its main window ---------------

class ExposeProbe : public QObject {
public:
    ExposeProbe(qint64 startNs, QString windowName) : start_(startNs), name_(std::move(windowName)) {}

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (!done_ && e->type() == QEvent::Expose) {
            auto* window = qobject_cast<QWindow*>(o);
            if (window && window->isExposed()) {
                for (QWidget* w : QApplication::topLevelWidgets()) {
                    if (w->windowHandle() == window && w->objectName() == name_) {
                        done_ = true;
                        std::printf("shown %lld\n", static_cast<long long>(MonotonicNs() - start_));
                        std::fflush(stdout);
                    }
                }
            }
        }
        return false;
    }

private:
    qint64 start_;
    QString name_;
    bool done_ = false;
};

// The same windows made of Qt's widgets alone, in the same order: a splash
// window with a picture and five lines of text painted first, then a main
// window with the menus, tool bar, status bar, child-window area and two
// panes with trees the application shows at start. It is the least any
// window like the application's costs here.
int RunSkeleton(qint64 startNs) {
    ExposeProbe probe(startNs, "skeleton");
    qApp->installEventFilter(&probe);
    auto* splash = new QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint);
    auto* frame = new QFrame(splash);
    frame->setFrameShape(QFrame::Box);
    auto* inner = new QVBoxLayout(frame);
    QPixmap logo(420, 140);
    logo.fill(Qt::white);
    {
        QPainter p(&logo);
        for (int x = 0; x < 420; x += 4) p.drawLine(x, 70, x + 4, 70 + (x % 40) - 20);
    }
    auto* picture = new QLabel(frame);
    picture->setPixmap(logo);
    inner->addWidget(picture);
    for (const char* text : {"Product name", "Platform", "Version", "Company", "Warning: a long line of text"}) {
        auto* l = new QLabel(text, frame);
        if (inner->count() == 1) {
            QFont f = l->font();
            f.setPointSize(16);
            f.setBold(true);
            l->setFont(f);
        }
        inner->addWidget(l);
    }
    auto* outer = new QVBoxLayout(splash);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);
    splash->adjustSize();
    splash->show();
    QApplication::processEvents();

    auto* w = new QMainWindow;
    w->setObjectName("skeleton");
    w->setCentralWidget(new QMdiArea(w));
    const int counts[] = {12, 5, 4, 5, 6};
    for (int m = 0; m < 5; ++m) {
        QMenu* menu = w->menuBar()->addMenu(QString("Menu %1").arg(m));
        for (int i = 0; i < counts[m]; ++i) menu->addAction(QString("Item %1").arg(i));
    }
    QToolBar* tools = w->addToolBar("tools");
    tools->setIconSize(QSize(16, 16));
    for (int i = 0; i < 13; ++i) {
        QPixmap icon(16, 16);
        icon.fill(QColor::fromHsv(i * 25, 200, 200));
        tools->addAction(QIcon(icon), QString("Button %1").arg(i));
    }
    for (const char* text : {"Status", "Date", "Time"}) w->statusBar()->addWidget(new QLabel(text));
    const QIcon rootIcon = w->style()->standardIcon(QStyle::SP_ComputerIcon);
    const QIcon nodeIcon = w->style()->standardIcon(QStyle::SP_DirIcon);
    for (int pane = 0; pane < 2; ++pane) {
        auto* dock = new QDockWidget(QString("Pane %1").arg(pane), w);
        auto* tree = new QTreeWidget(dock);
        tree->setHeaderHidden(true);
        auto* root = new QTreeWidgetItem(tree, {"Root"});
        root->setIcon(0, rootIcon);
        for (int i = 0; i < (pane ? 12 : 2); ++i) {
            auto* item = new QTreeWidgetItem(root, {QString("Node %1").arg(i)});
            item->setIcon(0, nodeIcon);
        }
        tree->expandAll();
        dock->setWidget(tree);
        w->addDockWidget(Qt::LeftDockWidgetArea, dock);
    }
    delete splash;
    w->show();
    return QApplication::exec();
}

int RunChild(int argc, char** argv, const QString& mode, qint64 startNs) {
    WatchMappedFileReads();  // as main does
    QApplication app(argc, argv);
    QApplication::setApplicationName("Velmora");
    QApplication::setOrganizationName("Velmora");
    if (mode == "skeleton") return RunSkeleton(startNs);
    if (mode == "bare") {
        ExposeProbe probe(startNs, "bare");
        app.installEventFilter(&probe);
        QMainWindow w;
        w.setObjectName("bare");
        w.resize(800, 600);
        w.show();
        return QApplication::exec();
    }
    ExposeProbe probe(startNs, "frmMain");
    app.installEventFilter(&probe);
    InstallApplicationParts();
    return Main();
}

// ---- the parent: starts the child and watches it ---------------------------

// CPU time of a process's main thread in nanoseconds; -1 once it is gone.
long long CpuNs(qint64 pid) {
    QFile f(QString("/proc/%1/schedstat").arg(pid));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QList<QByteArray> fields = f.readAll().split(' ');
    bool ok = false;
    const long long ns = fields.value(0).toLongLong(&ok);
    return ok ? ns : -1;
}

struct Start {
    double shownMs = -1;
    double quietMs = -1;
};

Start StartOnce(const QString& self, const QString& mode, const QString& configHome) {
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", configHome);
    if (!env.contains("QT_QPA_PLATFORM")) env.insert("QT_QPA_PLATFORM", "offscreen");
    child.setProcessEnvironment(env);
    const qint64 start = MonotonicNs();
    child.start(self, {"--child", mode, QString::number(start)});
    if (!child.waitForStarted(5000)) return {};
    Start s;
    const qint64 pid = child.processId();
    long long lastCpu = 0;
    qint64 lastBusyNs = MonotonicNs();
    int idlePolls = 0;
    const qint64 deadline = start + 30LL * 1000000000;
    while (MonotonicNs() < deadline) {
        QThread::msleep(20);
        const qint64 now = MonotonicNs();
        const long long cpu = CpuNs(pid);
        if (cpu < 0) break;
        // Busy: more than 0.2 ms of CPU time since the last look.
        if (cpu - lastCpu > 200000) {
            lastCpu = cpu;
            lastBusyNs = now;
            idlePolls = 0;
        } else if (++idlePolls >= 5) {
            s.quietMs = double(lastBusyNs - start) / 1e6;
            break;
        }
    }
    child.kill();
    child.waitForFinished(5000);
    const QList<QByteArray> lines = child.readAllStandardOutput().split('\n');
    for (const QByteArray& l : lines)
        if (l.startsWith("shown ")) s.shownMs = l.mid(6).toDouble() / 1e6;
    return s;
}

double Median(std::vector<double> v) {
    v.erase(std::remove_if(v.begin(), v.end(), [](double x) { return x < 0; }), v.end());
    if (v.empty()) return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The last sheet and controller file to reopen, in a settings folder of their own.
bool PrepareFullStart(const QString& dir) {
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir));
    LoadValueWords(LangEnglish);
    LoadMessages(LangEnglish);
    MsgBoxService::SetAnswerer([](const ShownMessage& m) {
        std::fprintf(stderr, "message: %s\n", qPrintable(m.text));
        return int(vbOK);
    });
    SheetModelData& s = Sheets();
    SheetSamples::FillFull(s);
    s.MeasureCount = s.RecordCount = s.MemWaveCount = 0;
    for (WaveInfo& w : s.WaveViews) {
        // CH1 and CH2 only.
        w.MathChosen = w.LaChosen = false;
        w.MathFetched = w.LaFetched = false;
    }
    const QString sheet = dir + "/last.vls";
    const QString ctrl = dir + "/last.rmt";
    SetDefaultCtrlSettings();
    if (!WriteDataSheet(sheet) || !WriteCtrlFile(ctrl)) return false;
    return SaveStoredText("General_KV2200M", "StartupLoadSheet", "True") &&
           SaveStoredText("General_KV2200M", "StartupLoadCtrl", "True") &&
           SaveStoredText("Recent Sheet_KV2200M", "RecentFile1", sheet) &&
           SaveStoredText("Recent Ctrl_KV2200M", "RecentFile1", ctrl);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 4 && QByteArray(argv[1]) == "--child")
        return RunChild(argc, argv, QString::fromLatin1(argv[2]), QByteArray(argv[3]).toLongLong());
    if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 3 && QByteArray(argv[1]) == "--prepare") {
        // For profiling one start: XDG_CONFIG_HOME=DIR bench_startup --child app 0
        QApplication app(argc, argv);
        return PrepareFullStart(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    }
    QTemporaryDir plain, full;
    if (!plain.isValid() || !full.isValid()) return 1;
    {
        QApplication app(argc, argv);
        if (!PrepareFullStart(full.path())) {
            std::fprintf(stderr, "the files to reopen could not be written\n");
            return 1;
        }
    }
    const QString self = QString::fromLocal8Bit(argv[0]);
    const int rounds = 7;
    std::vector<double> bareShown, bareQuiet, appShown, fullQuiet, skeletonShown;
    for (int r = 0; r < rounds; ++r) {
        const Start b = StartOnce(self, "bare", plain.path());
        bareShown.push_back(b.shownMs);
        bareQuiet.push_back(b.quietMs);
        appShown.push_back(StartOnce(self, "app", plain.path()).shownMs);
        skeletonShown.push_back(StartOnce(self, "skeleton", plain.path()).shownMs);
        fullQuiet.push_back(StartOnce(self, "app", full.path()).quietMs);
    }
    const double bs = Median(bareShown), bq = Median(bareQuiet), as = Median(appShown),
                 fq = Median(fullQuiet), ks = Median(skeletonShown);
    std::printf("bare QMainWindow          shown %7.1f ms  quiet %7.1f ms\n", bs, bq);
    std::printf("main window on screen     %7.1f ms  ratio %.2f (bar 2)\n", as, bs > 0 ? as / bs : 0.0);
    std::printf("  the same windows of Qt's widgets alone, splash first: %.1f ms  ratio %.2f\n", ks,
                bs > 0 ? ks / bs : 0.0);
    std::printf("last sheet + controller   quiet %7.1f ms  ratio %.2f (bar 4)\n", fq, bq > 0 ? fq / bq : 0.0);
    return bs > 0 && bq > 0 && as > 0 && fq > 0 ? 0 : 1;
}
