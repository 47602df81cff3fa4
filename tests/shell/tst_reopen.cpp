// Documents opened and closed again and again in the main window: nothing of
// an earlier round stays alive (windows, frames, pictures, file buffers), so
// memory is flat after the first rounds.
#include <QApplication>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPixmapCache>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KV_UNDER_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define KV_UNDER_ASAN 1
#endif
#if defined(__GLIBC__) && !defined(KV_UNDER_ASAN)
#define KV_HEAP_IN_USE 1
#include <malloc.h>
#endif

#include "../memwave/WfmBuilder.h"
#include "TestEnv.h"
#include "common/SheetModel.h"
#include "memwave/frmOpenWaveform.h"
#include "platform/dialogs/MsgBox.h"
#include "replay/frmRecordPlay.h"
#include "sheets/DataSheetTree.h"
#include "sheets/FileFunc.h"
#include "sheets/ViewWindow.h"
#include "sheets/ViewWindows.h"
#include "shell/AppMain.h"
#include "shell/MainWindow.h"

namespace {

// A 2 MB deep-memory file: 1 M samples of each channel.
QByteArray DeepFile() {
    constexpr int n = 1000000;
    WfmBuilder b;
    b.points(n).on(true, true, false).trigger(0);
    b.i32(36, 1000000).i32(52, 1000000).i64(84, 1000000000).f32(100, 1e8f);
    QByteArray ch(n, '\0');
    for (int i = 0; i < n; ++i) ch[i] = char(50 + (i / 997) % 150);
    return b.block(ch).block(ch).bytes();
}

// What is alive between rounds.
struct Live {
    int views = 0;     // view windows
    int frames = 0;    // frames in the work area
    int widgets = 0;   // every widget
    qint64 heap = 0;   // bytes the allocator holds in use (0 where not known)
};

Live Count(const frmMain& w) {
    // Qt's pixmap cache holds pictures up to its own limit, whoever made
    // them: it is emptied so that only what the application holds counts.
    QPixmapCache::clear();
    Live l;
    for (QWidget* widget : QApplication::allWidgets()) {
        ++l.widgets;
        if (qobject_cast<ViewWindow*>(widget)) ++l.views;
    }
    l.frames = int(w.MdiArea->subWindowList().size());
#ifdef KV_HEAP_IN_USE
    l.heap = qint64(mallinfo2().uordblks);
#endif
    return l;
}

// Runs f from the event loop, as a command the user gives is run, and lets
// the loop go on a little (the windows closed are deleted there).
void FromTheEventLoop(const std::function<void()>& f) {
    QEventLoop loop;
    QTimer::singleShot(0, &loop, [&] {
        f();
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
    });
    loop.exec();
}

}  // namespace

class ReopenTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { TestEnv::Init(); }

    // A round: open the sample sheet (No to saving the one open), add a
    // Memory Wave view, open a 2 MB file in it, close the view's window.
    void reopenedDocumentsLeaveNothingBehind() {
        QTemporaryDir dir;
        const QString wfm = dir.filePath("deep.wfm");
        {
            QFile f(wfm);
            const QByteArray bytes = DeepFile();
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        }
        const QString sheet = QFINDTESTDATA("../sheets/data/golden.vls");
        QVERIFY(!sheet.isEmpty());
        int questions = 0;
        MsgBoxService::SetAnswerer([&](const ShownMessage&) {
            ++questions;
            return int(vbNo);
        });
        InstallApplicationParts();
        frmMain w;
        w.MDIForm_Load();
        w.resize(1400, 1000);
        w.show();
        // The pictures of the record view's buttons, by their cache keys.
        auto recordPictures = [] {
            QList<qint64> keys;
            if (auto* form = qobject_cast<frmRecordPlay*>(ExistingViewForm(ViewRecord, 0))) {
                for (QToolButton* b : form->findChildren<QToolButton*>()) keys << b->icon().cacheKey();
                for (int i = 1; i <= 10; ++i) keys << form->ImageList->ListImage(i).cacheKey();
            }
            return keys;
        };
        QList<qint64> firstPictures;
        bool failed = false;
        auto round = [&] {
            failed = true;
            DataBrowserForm()->OpenDataSheet(sheet);
            QCOMPARE(Sheets().MemWaveCount, int16_t(1));
            AddNewMemoryWave();
            auto* view = qobject_cast<frmOpenWaveform*>(ExistingViewForm(ViewMemoryWave, 1));
            QVERIFY(view);
            view->Timer1_Timer();
            QVERIFY(view->OpenWaveformFile(wfm));
            auto* frame = qobject_cast<QMdiSubWindow*>(view->parentWidget());
            QVERIFY(frame);
            QVERIFY(frame->close());
            // The record view's window is new; its pictures are the first one's.
            QCoreApplication::processEvents();
            const QList<qint64> pictures = recordPictures();
            QVERIFY(!pictures.isEmpty());
            if (firstPictures.isEmpty()) firstPictures = pictures;
            QCOMPARE(pictures, firstPictures);
            failed = false;
        };
        for (int i = 0; i < 3; ++i) {
            FromTheEventLoop(round);
            QVERIFY(!failed);
        }
        const Live first = Count(w);
        constexpr int Rounds = 30;
        for (int i = 0; i < Rounds; ++i) {
            FromTheEventLoop(round);
            QVERIFY2(!failed, qPrintable(QString("round %1").arg(i + 4)));
        }
        const Live last = Count(w);
        QVERIFY(questions >= Rounds);  // each open asked about the changed sheet
        QCOMPARE(last.views, first.views);
        QCOMPARE(last.frames, first.frames);
        QCOMPARE(last.widgets, first.widgets);
        // A window, a picture or a file buffer kept per round holds 100 KB
        // or more; what Qt keeps for itself grows a few KB a round.
        QVERIFY2(last.heap - first.heap < Rounds * 32 * 1024,
                 qPrintable(QString("%1 bytes more in use after %2 rounds").arg(last.heap - first.heap).arg(Rounds)));
        MsgBoxService::SetAnswerer(nullptr);
        UnloadAllViews();
        w.MDIForm_Unload();
    }
};

QTEST_MAIN(ReopenTest)
#include "tst_reopen.moc"
