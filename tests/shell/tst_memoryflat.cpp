// Loops the application runs for hours hold no more after many rounds than
// after a few: a refresh of each fetching view that a dropped link ends
// (the read message answered in its real box, Tools > Connect again), and
// the record replay going round its frames. Counted as the application
// runs (the services keep no logs), by what is alive rather than by time:
// QObjects exactly, heap bytes within a small bound.
#include <QAbstractButton>
#include <QAction>
#include <QMessageBox>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QtTest>

#include "LinkFixture.h"
#include "LiveCounts.h"
#include "Simulator.h"
#include "TestEnv.h"
#include "common/Pause.h"
#include "common/ServiceLog.h"
#include "common/SheetModel.h"
#include "common/ShellState.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "measure/frmMeasure.h"
#include "platform/dialogs/FileDialog.h"
#include "platform/dialogs/MsgBox.h"
#include "replay/RcdBuilder.h"
#include "replay/frmRecordPlay.h"
#include "replay/model/ReplayEngine.h"
#include "sheets/DataSheetTree.h"
#include "sheets/FileFunc.h"
#include "sheets/SheetDocument.h"
#include "sheets/ViewWindows.h"
#include "sheets/frmData.h"
#include "shell/AppMain.h"
#include "shell/DocumentCommands.h"
#include "shell/MainWindow.h"
#include "waveview/frmWave.h"

namespace {
// Rounds before counting (caches fill, lists reach their size), then the
// rounds counted. The heap bound leaves room for the caches that fill once
// (glyphs, painter states, the accessibility cache's table); a list that
// takes an entry at every pause, message or dialog passes it within the
// rounds counted.
constexpr int WarmUpRounds = 10;
constexpr int CountedRounds = 30;
constexpr int64_t HeapBound = 2048;

struct Held {
    int64_t objects, heap;
};
Held Now() {
    // Windows closed in the round are gone once their deferred deletes ran.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    return {LiveCounts::LiveQObjects(), LiveCounts::LiveHeapBytes()};
}
}  // namespace

class MemoryFlatTest : public QObject {
    Q_OBJECT
    Simulator sim;
    frmMain* main = nullptr;
    QTemporaryDir dir;
    int boxesAnswered = 0;

    // Runs `round` before and while counting; what it left is compared.
    void holdsFlat(const std::function<void()>& round) {
        for (int k = 0; k < WarmUpRounds && !QTest::currentTestFailed(); ++k) round();
        const Held before = Now();
        for (int k = 0; k < CountedRounds && !QTest::currentTestFailed(); ++k) round();
        const Held after = Now();
        if (QTest::currentTestFailed()) return;
        QCOMPARE(after.objects - before.objects, int64_t(0));
        if (!LiveCounts::HeapCounted()) return;  // under AddressSanitizer
        QVERIFY2(after.heap - before.heap <= HeapBound,
                 qPrintable(QString("%1 bytes more after %2 rounds").arg(after.heap - before.heap).arg(CountedRounds)));
    }

public:
    static void initMain() { LiveCounts::Install(); }

private slots:
    void initTestCase() {
        // Qt's painting hands work to the global thread pool, whose threads
        // come and go with time: all of them are started now and kept.
        QThreadPool* pool = QThreadPool::globalInstance();
        pool->setExpiryTimeout(-1);
        static QSemaphore started, go;
        const int threads = pool->maxThreadCount();
        for (int k = 0; k < threads; ++k) pool->start([] {
            started.release();
            go.acquire();
        });
        started.acquire(threads);
        go.release(threads);

        QVERIFY(LinkFixture::StartSimulator(sim));
        LoadMessages(LangEnglish);
        InstallApplicationParts();
        BindDataSheetCommands();
        main = new frmMain;
        SetMainForm(main);
        main->MDIForm_Load();
        main->show();
        DataBrowserForm()->mnuNewDataSheet_Click();
        AddNewWaveform();
        AddNewMeasure();
        AddNewData();
        AddNewRecord();
        // The messages come in their real boxes, answered as a user does.
        auto* answering = new QTimer(this);
        connect(answering, &QTimer::timeout, this, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
                    ++boxesAnswered;
                    ok->click();
                }
        });
        answering->start(1);
    }
    void init() {
        LinkFixture::ResetFetchState(sim);
        // As the application runs: no service keeps a log.
        KeepServiceLogs(false);
    }
    void cleanup() {
        KeepServiceLogs(true);
        MsgBoxService::SetAnswerer([](const ShownMessage&) { return int(vbOK); });
        sim.SetFault("none");
    }
    void cleanupTestCase() {
        SheetDoc().SetModified(false);
        delete main;
        LinkFixture::StopSimulator(sim);
    }

    // What the loops below would keep in every round, if anything did, and
    // what the heap count does not see under AddressSanitizer: the services'
    // records of their calls. The application keeps none; a test that keeps
    // them reads each call.
    void theServicesKeepNoLogs() {
        MsgBoxService::SetAnswerer([](const ShownMessage&) { return int(vbOK); });
        FileDialogService::SetAnswerer([](const FileDialogRequest&) { return QString(); });
        const auto unanswer = qScopeGuard([] { FileDialogService::SetAnswerer(nullptr); });
        const auto call = [] {
            PauseService::ClearLog();
            MsgBoxService::ClearLog();
            FileDialogService::ClearLog();
            PauseMs(100);
            MsgBox("said");
            GetOpenFileName("Open", "All (*.*)|*.*");
            return QList<qsizetype>{PauseService::Log().size(), MsgBoxService::Log().size(),
                                     FileDialogService::Log().size()};
        };
        QCOMPARE(call(), (QList<qsizetype>{0, 0, 0}));
        KeepServiceLogs(true);
        QCOMPARE(call(), (QList<qsizetype>{1, 1, 1}));
    }

    // Connect, a whole fetch, a fetch the link drops part-way, its message.
    void refreshEndedByADroppedLink_data() {
        QTest::addColumn<int>("kind");
        QTest::newRow("measurement view") << int(ViewMeasure);
        QTest::newRow("waveform view") << int(ViewWave);
        QTest::newRow("data view") << int(ViewData);
    }
    void refreshEndedByADroppedLink() {
        QFETCH(int, kind);
        FetchingViewWindow* view = kind == ViewMeasure ? static_cast<FetchingViewWindow*>(MeasureForm(0))
                                   : kind == ViewWave  ? static_cast<FetchingViewWindow*>(WaveForm(0))
                                                       : static_cast<FetchingViewWindow*>(DataForm(0));
        QVERIFY(view);
        MsgBoxService::SetAnswerer(nullptr);
        int rounds = 0;
        const int answeredBefore = boxesAnswered;
        holdsFlat([&] {
            main->mnuToolsConnect->trigger();
            QVERIFY(Link().IsConnected);
            view->Timer1_Timer();  // the channel choice follows the display
            view->cmdRefresh_Click();
            QVERIFY(Link().IsConnected);
            sim.SetFault("drop 0 after 4");
            view->cmdRefresh_Click();
            sim.SetFault("none");
            QVERIFY(!Link().IsConnected);
            ++rounds;
        });
        QCOMPARE(boxesAnswered - answeredBefore, rounds);  // one read message each round
    }

    // The replay of a record, opened again through the file dialog each
    // round and played round its frames twice by the frame timer's ticks.
    void recordReplayLoop() {
        constexpr int frames = 20;
        RcdHeader h;
        h.last = frames;
        const QString path = dir.filePath("loop.rcd");
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QCOMPARE(f.write(Rcd(h, Frames(frames))), qint64(Rcd(h, Frames(frames)).size()));
        }
        auto* w = qobject_cast<frmRecordPlay*>(ExistingViewForm(ViewRecord, 0));
        QVERIFY(w);
        w->Timer1_Timer();
        FileDialogService::SetAnswerer([&](const FileDialogRequest&) { return path; });
        const auto unanswer = qScopeGuard([] { FileDialogService::SetAnswerer(nullptr); });
        RecordInfo& r = Sheets().RecordViews[0];
        // The frames go on by the ticks given here alone: the frame timer's
        // own interval is the longest a user can set.
        r.FrameInterval = MaxFrameInterval;
        holdsFlat([&] {
            w->cmdRun_Click();
            QCOMPARE(r.ReplayStatus, uint8_t(StateReplaying));
            QVERIFY(r.LoopReplay);
            QCOMPARE(w->TimerInterval->interval(), int(MaxFrameInterval * 1000));
            QSet<int> shown;
            for (int tick = 0; tick < 2 * frames; ++tick) {
                QMetaObject::invokeMethod(w->TimerInterval, "timeout");
                QCoreApplication::processEvents();  // the picture and the status line painted
                shown << r.CurrentFrame;
            }
            QCOMPARE(shown.size(), frames);
            QCOMPARE(r.ReplayStatus, uint8_t(StateReplaying));
        });
    }
};

QTEST_MAIN(MemoryFlatTest)
#include "tst_memoryflat.moc"
