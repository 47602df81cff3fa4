// The virtual panel and the key pad under a real window manager on a
// 1024 x 768 screen: the panel's frame, title bar and borders included, lies
// on the screen when it opens and after every Zoom, the first one included;
// a window the user drags partly past the screen's edge straight after it
// opened or zoomed stays where it was put. It needs an X server with a
// window manager: ctest runs it under Xvfb and openbox of its own
// (tests/support/run-under-wm.sh); anywhere else it is skipped. The offscreen
// tests cover the placement rule (tst_panelwindows, tst_onscreen).
#include <QtTest>

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#if KV_TEST_XCB
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#endif

#include "FakeCommandPort.h"
#include "TestEnv.h"
#include "link/LinkState.h"
#include "panel/frmV_Key.h"
#include "panel/frmV_Panel.h"
#include "panel/model/PanelKeys.h"
#include "widgets/OnScreen.h"

namespace {
// A window's frame as the platform knows it now (a widget's own frame
// geometry may keep the none it saw before the window manager framed it).
QRect frameOf(const QWidget& w) { return w.windowHandle() ? w.windowHandle()->frameGeometry() : QRect(); }
bool framed(const QWidget& w) { return w.windowHandle() && !w.windowHandle()->frameMargins().isNull(); }

QString text(const QRect& r) {
    return QString("(%1,%2)-(%3,%4)").arg(r.left()).arg(r.top()).arg(r.right() + 1).arg(r.bottom() + 1);
}

#if KV_TEST_XCB
xcb_connection_t* connection() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}
xcb_window_t rootWindow(xcb_connection_t* c) { return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root; }
xcb_atom_t atomNamed(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return atom;
}

// A window manager names its check window on the root window.
bool windowManagerRuns() {
    xcb_connection_t* c = connection();
    if (!c) return false;
    const xcb_get_property_cookie_t cookie = xcb_get_property(
        c, 0, rootWindow(c), atomNamed(c, "_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW, 0, 1);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, nullptr);
    const bool runs = reply && xcb_get_property_value_length(reply) == 4;
    free(reply);
    return runs;
}

// Asks the window manager to move a window's frame to `at`, as a pager or
// the user's drag does (_NET_MOVERESIZE_WINDOW, from the user): the window
// learns of it as of a drag, from the window manager.
bool moveAsTheUser(QWidget& window, const QPoint& at) {
    xcb_connection_t* c = connection();
    if (!c) return false;
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = xcb_window_t(window.winId());
    event.type = atomNamed(c, "_NET_MOVERESIZE_WINDOW");
    constexpr uint32_t kXAndY = 3u << 8, kFromTheUser = 2u << 12;
    event.data.data32[0] = XCB_GRAVITY_NORTH_WEST | kXAndY | kFromTheUser;
    event.data.data32[1] = uint32_t(at.x());
    event.data.data32[2] = uint32_t(at.y());
    xcb_send_event(c, 0, rootWindow(c), XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(c);
    return true;
}
#endif
}  // namespace

class PanelWmTest : public QObject {
    Q_OBJECT
    // How long the window manager is given to frame a window: long, for a
    // busy machine (a window it never frames fails the test).
    static constexpr int kFramedMs = 60000;
    std::unique_ptr<FakeCommandPort> port;

    // Waits until the window manager has framed the window and its geometry
    // has stopped changing.
    static bool settled(QWidget& w) {
        if (!QTest::qWaitFor([&] { return framed(w); }, kFramedMs)) return false;
        QRect last;
        for (int i = 0; i < 20; ++i) {
            QTest::qWait(100);
            if (frameOf(w) == last) return true;
            last = frameOf(w);
        }
        return true;
    }

private slots:
    void initTestCase() {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server with a window manager (QT_QPA_PLATFORM=xcb)");
#if KV_TEST_XCB
        if (!windowManagerRuns()) QSKIP("needs a window manager on the X server");
#endif
        TestEnv::Init();
        port = std::make_unique<FakeCommandPort>();
        port->replies.insert("*IDN?", "TARVO TECHNOLOGIES,KV2202C,SN1,V1\n");
        Link().IsConnected = true;
        Link().LinkOpen = true;
    }

    // Opened where the application opens it, centred over its owner (the
    // main window, maximized or lower on the screen), or at a place of its
    // own; zoomed once it is framed, or at once, before the window manager
    // has framed it (its frame not yet known).
    void zoomKeepsTheFrameOnScreen_data() {
        QTest::addColumn<QRect>("owner");  // empty: none; null: maximized
        QTest::addColumn<QPoint>("openedAt");
        QTest::addColumn<bool>("atOnce");
        for (bool atOnce : {false, true}) {
            const char* when = atOnce ? ", zoomed at once" : "";
            QTest::addRow("over a maximized owner%s", when) << QRect() << QPoint() << atOnce;
            QTest::addRow("over a lower owner%s", when) << QRect(0, 300, 1000, 400) << QPoint() << atOnce;
            QTest::addRow("centred%s", when) << QRect(0, 0, -1, -1) << QPoint(127, 209) << atOnce;
            QTest::addRow("lower%s", when) << QRect(0, 0, -1, -1) << QPoint(127, 380) << atOnce;
            QTest::addRow("bottom right%s", when) << QRect(0, 0, -1, -1) << QPoint(250, 415) << atOnce;
        }
    }
    void zoomKeepsTheFrameOnScreen() {
        QFETCH(QRect, owner);
        QFETCH(QPoint, openedAt);
        QFETCH(bool, atOnce);
        if (!PanelRules().zoom) QSKIP("the built brand's panel has no zoom");
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QWidget main;
        if (owner.isNull()) {
            main.showMaximized();
        } else if (!owner.isEmpty()) {
            main.setGeometry(owner);
            main.show();
        }
        QVERIFY2(!main.isVisible() || settled(main), "not framed");
        frmV_Panel panel(main.isVisible() ? &main : nullptr);
        if (!openedAt.isNull()) panel.move(openedAt);
        panel.show();
        // No screen copy: only the window's place is tried.
        panel.findChild<QTimer*>("tDrawBmp")->stop();
        if (atOnce) {
            panel.cmdZoom_Click();
            QVERIFY2(settled(panel), "not framed");
            QVERIFY2(screen.contains(frameOf(panel)), qPrintable(text(frameOf(panel))));
            panel.cmdZoom_Click();
        }
        QVERIFY2(settled(panel), "not framed");
        QVERIFY2(screen.contains(frameOf(panel)), qPrintable(text(frameOf(panel))));
        for (int zoom : {1, 0, 1}) {
            panel.cmdZoom_Click();
            QCOMPARE(panel.PanelZoom(), zoom);
            QVERIFY(settled(panel));
            QVERIFY2(screen.contains(frameOf(panel)),
                     qPrintable(QString("zoom %1: %2").arg(zoom).arg(text(frameOf(panel)))));
        }
        panel.reject();
    }

    // Straight after the window opened, or the panel zoomed, and was placed
    // on the screen, its frame known there, the user drags it partly past
    // the screen's right and lower edges: it stays there, also once the time
    // in which the window manager's late answers are waited for has passed.
    void draggedWindowStaysWhereTheUserPutIt_data() {
        QTest::addColumn<QString>("window");
        QTest::newRow("panel opened") << "panel";
        if (PanelRules().zoom) QTest::newRow("panel zoomed") << "zoom";
        QTest::newRow("key pad opened") << "key pad";
    }
    void draggedWindowStaysWhereTheUserPutIt() {
#if KV_TEST_XCB
        QFETCH(QString, window);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        std::unique_ptr<QDialog> w;
        if (window == "key pad")
            w = std::make_unique<frmV_Key>();
        else
            w = std::make_unique<frmV_Panel>();
        w->move(screen.topLeft() + QPoint(40, 60));
        w->show();
        if (auto* copy = w->findChild<QTimer*>("tDrawBmp")) copy->stop();  // no screen copy
        auto framedOnScreen = [&] {
            return framed(*w) && screen.contains(frameOf(*w)) &&
                   !PlacingOnScreen(w.get());
        };
        QVERIFY2(QTest::qWaitFor(framedOnScreen, kFramedMs), qPrintable(text(frameOf(*w))));
        if (window == "zoom") {
            const QSize single = w->size();
            static_cast<frmV_Panel*>(w.get())->cmdZoom_Click();
            QVERIFY2(QTest::qWaitFor([&] { return w->size() != single && framedOnScreen(); }, kFramedMs),
                     qPrintable(text(frameOf(*w))));
        }
        const QPoint at = screen.bottomRight() - QPoint(200, 150);
        QVERIFY(moveAsTheUser(*w, at));
        QVERIFY2(QTest::qWaitFor([&] { return frameOf(*w).topLeft() == at; }, kFramedMs),
                 qPrintable(text(frameOf(*w))));
        QTest::qWait(1200);
        QVERIFY(w->isVisible());
        QCOMPARE(frameOf(*w).topLeft(), at);
        w->reject();
#else
        QSKIP("built without the X client library");
#endif
    }
};

QTEST_MAIN(PanelWmTest)
#include "tst_panelwm.moc"
