// The virtual panel under a real window manager on a 1024 x 768 screen: its
// frame, title bar and borders included, lies on the screen when it opens
// and after every Zoom, the first one included. It needs an X server with a
// window manager (for instance `Xvfb :5 -screen 0 1024x768x24` and openbox,
// run with QT_QPA_PLATFORM=xcb DISPLAY=:5); anywhere else (ctest runs the
// tests offscreen) it is skipped. The offscreen tests cover the placement
// with a frame the platform reports late (tst_panelwindows, tst_onscreen).
#include <QtTest>

#include <QScreen>
#include <QTimer>

#include "FakeCommandPort.h"
#include "TestEnv.h"
#include "link/LinkState.h"
#include "panel/frmV_Panel.h"
#include "panel/model/PanelKeys.h"

namespace {
QString text(const QRect& r) {
    return QString("(%1,%2)-(%3,%4)").arg(r.left()).arg(r.top()).arg(r.right() + 1).arg(r.bottom() + 1);
}
}  // namespace

class PanelWmTest : public QObject {
    Q_OBJECT
    std::unique_ptr<FakeCommandPort> port;

    // Waits until the window manager has framed the window and its geometry
    // has stopped changing.
    static bool settled(QWidget& w) {
        if (!QTest::qWaitFor([&] { return w.frameGeometry() != w.geometry(); }, 3000)) return false;
        QRect last;
        for (int i = 0; i < 20; ++i) {
            QTest::qWait(100);
            if (w.frameGeometry() == last) return true;
            last = w.frameGeometry();
        }
        return true;
    }

private slots:
    void initTestCase() {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server with a window manager (QT_QPA_PLATFORM=xcb)");
        if (!PanelRules().zoom) QSKIP("the built brand's panel has no zoom");
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
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QWidget main;
        if (owner.isNull()) {
            main.showMaximized();
        } else if (!owner.isEmpty()) {
            main.setGeometry(owner);
            main.show();
        }
        if (main.isVisible() && !settled(main)) QSKIP("no window manager frames the windows");
        frmV_Panel panel(main.isVisible() ? &main : nullptr);
        if (!openedAt.isNull()) panel.move(openedAt);
        panel.show();
        // No screen copy: only the window's place is tried.
        panel.findChild<QTimer*>("tDrawBmp")->stop();
        if (atOnce) {
            panel.cmdZoom_Click();
            if (!settled(panel)) QSKIP("no window manager frames the windows");
            QVERIFY2(screen.contains(panel.frameGeometry()), qPrintable(text(panel.frameGeometry())));
            panel.cmdZoom_Click();
        }
        if (!settled(panel)) QSKIP("no window manager frames the windows");
        QVERIFY2(screen.contains(panel.frameGeometry()), qPrintable(text(panel.frameGeometry())));
        for (int zoom : {1, 0, 1}) {
            panel.cmdZoom_Click();
            QCOMPARE(panel.PanelZoom(), zoom);
            QVERIFY(settled(panel));
            QVERIFY2(screen.contains(panel.frameGeometry()),
                     qPrintable(QString("zoom %1: %2").arg(zoom).arg(text(panel.frameGeometry()))));
        }
        panel.reject();
    }
};

QTEST_MAIN(PanelWmTest)
#include "tst_panelwm.moc"
