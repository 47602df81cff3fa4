// The main window on the smallest screen it is made for, 1024 x 768 (under
// the offscreen platform, set through its configuration file): maximized,
// both panes shown, every kind of view opens with its frame and title-bar
// buttons inside the work area; a view whose designed size fits keeps it.
#include <QDockWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QtTest>

#include "TestEnv.h"
#include "sheets/FileFunc.h"
#include "sheets/ViewHost.h"
#include "sheets/ViewWindows.h"
#include "shell/AppMain.h"
#include "shell/MainWindow.h"

class SmallScreenTest : public QObject {
    Q_OBJECT

public:
    static void initMain() { TestEnv::UseOffscreenScreen(1024, 768); }

private slots:
    void initTestCase() {
        TestEnv::Init();
        if (QGuiApplication::platformName() == QLatin1String("offscreen"))
            QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry(), QRect(0, 0, 1024, 768));
    }

    void everyViewOpensInsideTheWorkArea() {
        InstallApplicationParts();
        frmMain w;
        w.MDIForm_Load();
        w.showMaximized();
        QCoreApplication::processEvents();
        for (const char* pane : {"DataSheet", "Controller"}) QVERIFY(w.findChild<QDockWidget*>(pane)->isVisible());
        const QRect area = w.MdiArea->viewport()->rect();
        // The size each view was made with, taken as it is shown.
        QList<QSize> designed;
        const auto show = ViewHost().Show;
        ViewHost().Show = [&](QWidget* form) {
            designed << form->size();
            show(form);
        };
        int shrunk = 0;
        for (ViewKind kind : {ViewWave, ViewMeasure, ViewData, ViewRecord, ViewMemoryWave}) {
            AddNewView(kind);
            QCoreApplication::processEvents();
            QMdiSubWindow* frame = w.MdiArea->subWindowList(QMdiArea::CreationOrder).last();
            const QSize made = designed.last(), shown = frame->widget()->size();
            const QSize decoration = frame->size() - shown;
            const QString where = QString("view kind %1: %2,%3 %4x%5 in %6x%7")
                                      .arg(int(kind)).arg(frame->x()).arg(frame->y()).arg(frame->width())
                                      .arg(frame->height()).arg(area.width()).arg(area.height());
            QVERIFY2(area.contains(frame->geometry()), qPrintable(where));
            // Each side keeps its designed length where it fits, else fills the area.
            const bool wideFits = made.width() + decoration.width() <= area.width();
            const bool tallFits = made.height() + decoration.height() <= area.height();
            QCOMPARE(wideFits ? shown.width() : frame->width(), wideFits ? made.width() : area.width());
            QCOMPARE(tallFits ? shown.height() : frame->height(), tallFits ? made.height() : area.height());
            shrunk += !wideFits || !tallFits;
        }
        QVERIFY(shrunk > 0);  // the memory-wave view is wider than the area
        QVERIFY(!w.MdiArea->horizontalScrollBar()->isVisible());
        ViewHost().Show = show;
        UnloadAllViews();
        w.MDIForm_Unload();
    }
};

QTEST_MAIN(SmallScreenTest)
#include "tst_smallscreen.moc"
