// The life cycle every view window inherits: the set-up tick (one-shot or
// repeating), the record's open flag, the close guard and the one unload.
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest>

#include "TestEnv.h"
#include "common/SheetModel.h"
#include "sheets/ViewRecords.h"
#include "sheets/ViewWindow.h"
#include "sheets/ViewWindows.h"

namespace {
class ProbeWindow : public ViewWindow {
public:
    ProbeWindow(int repeatMs) : ViewWindow(ViewMeasure, "probe", repeatMs) { Form_Load(); }
    ~ProbeWindow() override { UnloadOnce(); }
    bool ready = true;
    bool closable = true;
    int setUps = 0, ticks = 0, unloads = 0;

protected:
    bool SetUpReady() const override { return ready; }
    void SetUp() override { ++setUps; }
    void Tick() override { ++ticks; }
    bool CanClose() const override { return closable; }
    void Form_Unload() override {
        ++unloads;
        ViewWindow::Form_Unload();
    }
};
// Counts the layout requests that reach a window's watchers.
class LayoutRequestCounter : public QObject {
public:
    int seen = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::LayoutRequest) ++seen;
        return false;
    }
};
}  // namespace

class ViewWindowBaseTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestEnv::Init(); }
    void init() {
        Sheets().MeasureCount = 2;
        ViewWindowOpen(ViewMeasure, 1) = false;
    }

    // First tick: open flag, one set-up; then a repeating window ticks every
    // time at its interval and a one-shot window stops.
    void setUpTick_data() {
        QTest::addColumn<int>("repeatMs");
        QTest::newRow("one-shot") << 0;
        QTest::newRow("every 500 ms") << 500;
    }
    void setUpTick() {
        QFETCH(int, repeatMs);
        ProbeWindow w(repeatMs);
        SetFormTag(&w, 1);
        QVERIFY(w.Timer1->isActive());
        QCOMPARE(w.Timer1->interval(), 1);
        // Not ready yet (no record to show): nothing happens, the tick stays armed.
        w.ready = false;
        w.Timer1_Timer();
        QVERIFY(w.SetUpPending && !ViewWindowOpen(ViewMeasure, 1));
        QCOMPARE(w.setUps + w.ticks, 0);
        w.ready = true;
        w.Timer1_Timer();
        w.Timer1_Timer();
        QVERIFY(!w.SetUpPending);
        QVERIFY(ViewWindowOpen(ViewMeasure, 1));
        QCOMPARE(w.setUps, 1);
        QCOMPARE(w.ticks, repeatMs ? 2 : 0);
        QCOMPARE(w.Timer1->isActive(), repeatMs > 0);
        if (repeatMs) QCOMPARE(w.Timer1->interval(), repeatMs);
        // Re-used for another view: the set-up runs again.
        w.Form_Load();
        w.Timer1_Timer();
        QCOMPARE(w.setUps, 2);
    }

    // The record follows the tag, typed by the kind.
    void recordFollowsTheTag() {
        ProbeWindow w(0);
        QVERIFY(!w.RecordAs<MeasureInfo>());  // no tag yet
        SetFormTag(&w, 1);
        QCOMPARE(w.RecordAs<MeasureInfo>(), &Sheets().MeasureViews[1]);
        QVERIFY(!w.RecordAs<WaveInfo>());  // not the kind's type
        SetFormTag(&w, 0);
        QCOMPARE(w.RecordAs<MeasureInfo>(), &Sheets().MeasureViews[0]);
    }

    // In a child-window frame, a window without a layout keeps its controls'
    // layout requests from the frame (which measures its title for each); a
    // window with a layout passes them on.
    void framedWindowLayoutRequests() {
        QMdiArea area;
        area.resize(800, 600);
        auto* w = new ProbeWindow(0);
        w->resize(200, 150);
        w->setWindowTitle("probe");
        QMdiSubWindow* frame = area.addSubWindow(w);
        LayoutRequestCounter frameSide;  // watches as the frame does
        w->installEventFilter(&frameSide);
        area.show();
        frame->show();
        w->ShownInFrame();
        QCoreApplication::sendPostedEvents();
        frameSide.seen = 0;
        auto* label = new QLabel("a control", w);
        label->show();
        label->setText("a longer text for the control");
        QCoreApplication::sendPostedEvents();
        QCOMPARE(frameSide.seen, 0);
        // A window with a layout keeps its requests.
        auto* laidOut = new ProbeWindow(0);
        auto* box = new QVBoxLayout(laidOut);
        QMdiSubWindow* frame2 = area.addSubWindow(laidOut);
        LayoutRequestCounter frame2Side;
        laidOut->installEventFilter(&frame2Side);
        frame2->show();
        laidOut->ShownInFrame();
        QCoreApplication::sendPostedEvents();
        frame2Side.seen = 0;
        box->addWidget(new QLabel("a control"));
        QCoreApplication::sendPostedEvents();
        QVERIFY(frame2Side.seen > 0);
    }

    // A refused close keeps the window and its flag; an accepted one unloads
    // once (a second close or the destructor does not unload again).
    void closeAndUnload() {
        auto* w = new ProbeWindow(500);
        SetFormTag(w, 1);
        w->Timer1_Timer();
        w->show();
        w->closable = false;
        QVERIFY(!w->close());
        QVERIFY(ViewWindowOpen(ViewMeasure, 1));
        QCOMPARE(w->unloads, 0);
        w->closable = true;
        QVERIFY(w->close());
        w->close();
        QCOMPARE(w->unloads, 1);
        QVERIFY(!ViewWindowOpen(ViewMeasure, 1));
        QVERIFY(!w->Timer1->isActive());
        delete w;
    }
};

QTEST_MAIN(ViewWindowBaseTest)
#include "tst_viewwindowbase.moc"
