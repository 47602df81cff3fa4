// A user's first click on a view's Refresh after Tools > Connect runs the
// view's job: in a measurement view just connected, and in a data view whose
// link a fault dropped, after its message is answered and the link connected
// again; the click made after the connect, or while the connect still waits
// for the instrument (the instrument is held stopped until the click has
// reached the X server). The whole main window, the menus and the simulated
// instrument are real. Under a window manager (tests/support/run-under-wm.sh)
// the pointer itself moves and clicks through the X server (its XTEST
// extension, where the X libraries are there); elsewhere the clicks are
// Qt's own mouse events (QTest) on the offscreen screen, and the click during
// the connect cannot be made.
#include <dlfcn.h>
#include <signal.h>

#include <atomic>
#include <functional>
#include <thread>

#include <QAbstractButton>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include "LinkFixture.h"
#include "Simulator.h"
#include "common/DSOSettings.h"
#include "common/SheetModel.h"
#include "common/ShellState.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/TransferJobs.h"
#include "link/UsbFunc.h"
#include "platform/dialogs/MsgBox.h"
#include "platform/visa/Visa.h"
#include "sheets/FetchingView.h"
#include "sheets/ViewRecords.h"
#include "sheets/ViewWindows.h"
#include "shell/AppMain.h"
#include "shell/ControllerBinding.h"
#include "shell/DocumentCommands.h"
#include "shell/MainWindow.h"

namespace {

// The pointer of the X server, moved and pressed as a user's hand does
// (XTEST); usable only on the xcb platform with the X libraries loadable.
class XPointer {
public:
    bool Open() {
        if (QGuiApplication::platformName() != QLatin1String("xcb")) return false;
        void* x11 = dlopen("libX11.so.6", RTLD_NOW);
        void* xtst = dlopen("libXtst.so.6", RTLD_NOW);
        if (!x11 || !xtst) return false;
        auto open = reinterpret_cast<void* (*)(const char*)>(dlsym(x11, "XOpenDisplay"));
        sync_ = reinterpret_cast<int (*)(void*, int)>(dlsym(x11, "XSync"));
        motion_ = reinterpret_cast<int (*)(void*, int, int, int, unsigned long)>(dlsym(xtst, "XTestFakeMotionEvent"));
        button_ = reinterpret_cast<int (*)(void*, unsigned, int, unsigned long)>(dlsym(xtst, "XTestFakeButtonEvent"));
        display_ = open && sync_ && motion_ && button_ ? open(nullptr) : nullptr;
        return display_ != nullptr;
    }
    // Moves to the point (global coordinates), then presses and releases
    // the left button there.
    void Click(const QPoint& at) {
        motion_(display_, -1, at.x(), at.y(), 0);
        sync_(display_, 0);
        button_(display_, 1, 1, 0);
        sync_(display_, 0);
        button_(display_, 1, 0, 0);
        sync_(display_, 0);
    }

private:
    void* display_ = nullptr;
    int (*sync_)(void*, int) = nullptr;
    int (*motion_)(void*, int, int, int, unsigned long) = nullptr;
    int (*button_)(void*, unsigned, int, unsigned long) = nullptr;
};

QPoint centreOf(const QWidget* w) { return w->mapToGlobal(w->rect().center()); }

}  // namespace

class RefreshClickTest : public QObject {
    Q_OBJECT
    enum ClickTime { AfterConnect, BeforeMenuRead, DuringConnect };
    Simulator sim;
    XPointer pointer;
    XPointer helperPointer;  // the same pointer, from another thread
    bool realPointer = false;
    QStringList boxes;  // the texts of the message boxes answered
    QTimer boxAnswerer;

    // A click on a button, as the user makes it.
    void click(QWidget* w) {
        if (realPointer) pointer.Click(centreOf(w));
        else QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
    }
    // Tools > Connect to Oscilloscope, chosen with the mouse.
    // With `during`, `during` runs in a thread of its own once the connect
    // has begun, the instrument stopped meanwhile; the connect waits for it.
    void chooseConnect(frmMain* w, const std::function<void()>& during = {}) {
        if (!realPointer) {
            w->mnuToolsConnect->trigger();
            return;
        }
        QMenuBar* bar = w->menuBar();
        pointer.Click(bar->mapToGlobal(bar->actionGeometry(w->mnuTools->menuAction()).center()));
        QTRY_VERIFY(w->mnuTools->isVisible());
        const QPoint connectAt = w->mnuTools->mapToGlobal(w->mnuTools->actionGeometry(w->mnuToolsConnect).center());
        if (!during) {
            pointer.Click(connectAt);
            return;
        }
        // The instrument answers nothing until `during` is done, and the
        // connect's read waits that long (an hour bounds a hang).
        const pid_t simulator = pid_t(sim.ProcessId());
        QVERIFY(simulator > 0);
        Visa::SetDefaultTimeoutMs(3600 * 1000);
        QVERIFY(::kill(simulator, SIGSTOP) == 0);
        std::atomic<bool> done{false}, cancel{false};
        std::thread helper([&] {
            while (!__atomic_load_n(&Link().Connecting, __ATOMIC_ACQUIRE) && !cancel) std::this_thread::yield();
            if (!cancel) during();
            ::kill(simulator, SIGCONT);
            done = true;
        });
        const auto end = qScopeGuard([&] {
            cancel = true;
            helper.join();
            Visa::SetDefaultTimeoutMs(0);
        });
        pointer.Click(connectAt);
        QTRY_VERIFY_WITH_TIMEOUT(done && !Link().Connecting, 3600 * 1000);
    }

private slots:
    void initTestCase() {
        QVERIFY(LinkFixture::StartSimulator(sim));
        InstallApplicationParts();
        BindControllerCommands();
        BindDataSheetCommands();
        realPointer = pointer.Open() && helperPointer.Open();
        qInfo("clicks: %s", realPointer ? "the X server's pointer" : "Qt's mouse events");
        if (realPointer) {
            // A message box is answered as the user does, with its button.
            MsgBoxService::SetAnswerer(nullptr);
            boxAnswerer.setInterval(50);
            connect(&boxAnswerer, &QTimer::timeout, this, [this] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (!box || !box->isVisible() || box->property("answered").toBool()) return;
                box->setProperty("answered", true);
                boxes << box->text();
                pointer.Click(centreOf(box->buttons().first()));
            });
            boxAnswerer.start();
        } else {
            MsgBoxService::SetAnswerer([this](const ShownMessage& m) {
                boxes << m.text;
                return int(vbOK);
            });
        }
    }
    void cleanupTestCase() {
        boxAnswerer.stop();
        MsgBoxService::SetAnswerer(nullptr);
        LinkFixture::StopSimulator(sim);
    }

    void firstClickAfterConnectRunsTheJob_data() {
        QTest::addColumn<bool>("measure");
        QTest::addColumn<bool>("faultFirst");
        QTest::addColumn<int>("when");
        QTest::newRow("measurement view") << true << false << int(AfterConnect);
        QTest::newRow("measurement view, clicked before the menu's click is read") << true << false
                                                                                    << int(BeforeMenuRead);
        QTest::newRow("measurement view, clicked while the connect waits") << true << false << int(DuringConnect);
        QTest::newRow("data view after a fault") << false << true << int(AfterConnect);
        QTest::newRow("data view after a fault, clicked before the menu's click is read")
            << false << true << int(BeforeMenuRead);
        QTest::newRow("data view after a fault, clicked while the connect waits") << false << true
                                                                                  << int(DuringConnect);
    }
    void firstClickAfterConnectRunsTheJob() {
        QFETCH(bool, measure);
        QFETCH(bool, faultFirst);
        QFETCH(int, when);
        if (when != AfterConnect && !realPointer) QSKIP("a click the program has not read yet needs the X server's pointer");
        boxes.clear();
        auto* w = new frmMain;
        SetMainForm(w);
        w->MDIForm_Load();
        const auto unload = qScopeGuard([w] {
            DisconnectDSO();
            w->MDIForm_Unload();
            delete w;
            OpenVisaRM();  // the unload closed the resource manager
        });
        Shell().ScopeIOType = 0;
        Shell().RefreshType = "Single";
        w->setGeometry(20, 40, 980, 700);
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w));
        DocCommands().NewDataSheet();
        if (measure) DocCommands().AddNewMeasure();
        else DocCommands().AddNewData();
        QPointer<FetchingViewWindow> view =
            qobject_cast<FetchingViewWindow*>(ExistingViewForm(measure ? ViewMeasure : ViewData, 0));
        QVERIFY(view);
        QVERIFY(QTest::qWaitForWindowExposed(view->cmdRefresh));
        // Its first tick has set it up (the channel choice follows the display).
        QTRY_VERIFY(ViewWindowOpen(measure ? ViewMeasure : ViewData, 0));
        // The button is where the pointer goes: not hidden under anything.
        if (realPointer) QTRY_COMPARE(QApplication::widgetAt(centreOf(view->cmdRefresh)), view->cmdRefresh);
        const auto fetched = [&] {
            return measure ? Sheets().MeasureViews[0].HasData : Sheets().DataViews[0].HasData;
        };

        if (faultFirst) {
            chooseConnect(w);
            QTRY_VERIFY(Link().IsConnected);
            click(view->cmdRefresh);
            QTRY_VERIFY(fetched());
            QTRY_VERIFY(!Transfer().TransferBusy);
            sim.SetFault("silent");
            click(view->cmdRefresh);
            QTRY_VERIFY_WITH_TIMEOUT(!Link().IsConnected && !Transfer().TransferBusy &&
                                         !QApplication::activeModalWidget(),
                                     60000);
            sim.SetFault("none");
            QCOMPARE(boxes, QStringList{LinkDroppedText(MessageTable().MsgUsbReadFail)});
            Sheets().DataViews[0].HasData = false;
        }
        boxes.clear();

        const QPoint refreshAt = centreOf(view->cmdRefresh);
        if (when == DuringConnect) {
            chooseConnect(w, [&] { helperPointer.Click(refreshAt); });
        } else if (when == BeforeMenuRead) {
            // Both clicks reach the X server before the program reads the
            // first: the second goes to the menu, still open there.
            chooseConnect(w);
            click(view->cmdRefresh);
        } else {
            chooseConnect(w);
            QTRY_VERIFY(Link().IsConnected);
            click(view->cmdRefresh);
        }
        QTRY_VERIFY_WITH_TIMEOUT(fetched() && !Transfer().TransferBusy, 60000);
        QVERIFY(Link().IsConnected);
        QCOMPARE(boxes, QStringList());
        QVERIFY(view->cmdRefresh->isEnabled());
    }
};

QTEST_MAIN(RefreshClickTest)
#include "tst_refreshclickwm.moc"
