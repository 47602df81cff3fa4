#include <QtTest>
#include <QTreeWidget>

#include "TestEnv.h"
#include "common/SheetModel.h"
#include "platform/dialogs/MsgBox.h"

Q_DECLARE_METATYPE(ViewKind)

class SheetModelTest : public QObject {
    Q_OBJECT

    QList<QPair<int, bool>> buttonCalls;

private slots:
    void initTestCase() { TestEnv::Init(); }

    void init() {
        buttonCalls.clear();
        MsgBoxService::ClearLog();
        SheetHooks().SetToolbarButtonEnabled = [this](int b, bool on) { buttonCalls.append({b, on}); };
        for (auto& f : SheetHooks().FormFactory) f = nullptr;
        Sheets().SheetTreeView = nullptr;
        Sheets().SheetNode = nullptr;
    }

    void isDataSheetOpenFollowsTheSheetNode_data() {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<bool>("open");
        QTest::newRow("no tree yet") << "no tree" << false;
        QTest::newRow("tree but no sheet node made") << "no node" << false;
        QTest::newRow("sheet node in the tree") << "node" << true;
        QTest::newRow("sheet node removed from the tree") << "removed" << false;
        QTest::newRow("sheet node of another tree") << "foreign" << false;
    }
    void isDataSheetOpenFollowsTheSheetNode() {
        QFETCH(QString, situation);
        QFETCH(bool, open);
        QTreeWidget tree, other;
        auto* root = new QTreeWidgetItem(&tree, QStringList{"root"});
        if (situation != "no tree") Sheets().SheetTreeView = &tree;
        if (situation == "node" || situation == "removed") {
            Sheets().SheetNode = new QTreeWidgetItem(root, QStringList{"sheet"});
            if (situation == "removed") {
                delete Sheets().SheetNode;  // the stale pointer must not be dereferenced
            }
        }
        if (situation == "foreign")
            Sheets().SheetNode = new QTreeWidgetItem(&other, QStringList{"sheet"});

        QCOMPARE(IsDataSheetOpen(), open);
        // Buttons 11, 12, 13 follow the result in that order, even when they
        // already had that state; 15 and 16 are never touched.
        const QList<QPair<int, bool>> expected{{11, open}, {12, open}, {13, open}};
        QCOMPARE(buttonCalls, expected);
        QVERIFY(MsgBoxService::Log().isEmpty());
    }

    void isDataSheetOpenSetsEveryButtonWhenOneFails() {
        QTreeWidget tree;
        Sheets().SheetTreeView = &tree;
        Sheets().SheetNode = new QTreeWidgetItem(&tree, QStringList{"sheet"});
        QList<int> set;
        SheetHooks().SetToolbarButtonEnabled = [&](int b, bool) {
            set.append(b);
            if (b == 11) throw std::runtime_error("no such button");
        };
        QVERIFY(IsDataSheetOpen());
        QCOMPARE(set, (QList<int>{11, 12, 13}));
        SheetHooks().SetToolbarButtonEnabled = nullptr;
        QVERIFY(IsDataSheetOpen());  // no hook set: still answers
    }

    void viewFormIsMadeOnFirstUseAndRecordOutlivesIt() {
        QVERIFY(ViewForm(ViewWave, 3) == nullptr);  // no factory yet: slot stays empty
        int made = 0;
        SheetHooks().FormFactory[ViewWave] = [&](int) { ++made; return new QWidget; };

        Sheets().WaveViews[3].Name = "Wave3";
        QWidget* first = ViewForm(ViewWave, 3);
        QVERIFY(first);
        QVERIFY(!first->isVisible());
        QCOMPARE(FormSlot(ViewWave, first), 3);
        QCOMPARE(ViewForm(ViewWave, 3), first);
        QCOMPARE(ExistingViewForm(ViewWave, 3), first);
        QCOMPARE(made, 1);

        delete first;  // the window closes; the view stays in the sheet
        QVERIFY(ExistingViewForm(ViewWave, 3) == nullptr);
        QCOMPARE(Sheets().WaveViews[3].Name, QString("Wave3"));
        QWidget* second = ViewForm(ViewWave, 3);
        QVERIFY(second);
        QCOMPARE(FormSlot(ViewWave, second), 3);
        QCOMPARE(made, 2);
        delete second;
    }

    void slotBoundsPerKind_data() {
        QTest::addColumn<ViewKind>("kind");
        QTest::addColumn<int>("slotTotal");
        QTest::addColumn<int>("maxViews");
        QTest::newRow("wave") << ViewWave << 18 << 16;
        QTest::newRow("measure") << ViewMeasure << 18 << 16;
        QTest::newRow("data") << ViewData << 18 << 16;
        QTest::newRow("record") << ViewRecord << 5 << 4;
        QTest::newRow("memory wave") << ViewMemoryWave << 4 << 3;
    }
    void slotBoundsPerKind() {
        QFETCH(ViewKind, kind);
        QFETCH(int, slotTotal);
        QFETCH(int, maxViews);
        QCOMPARE(SlotCount(kind), slotTotal);
        QCOMPARE(MaxViewCount(kind), maxViews);
        int made = 0;
        SheetHooks().FormFactory[kind] = [&](int) { ++made; return new QWidget; };
        // The last slot exists; one past it and -1 neither make nor return a window.
        QWidget* last = ViewForm(kind, slotTotal - 1);
        QVERIFY(last);
        QVERIFY(ViewForm(kind, slotTotal) == nullptr);
        QVERIFY(ViewForm(kind, -1) == nullptr);
        QCOMPARE(made, 1);
        ResetViewRecord(kind, slotTotal);  // ignored, no crash
        ResetViewRecord(kind, -1);

        ViewCount(kind) = 2;
        const int16_t counts[] = {Sheets().WaveCount, Sheets().MeasureCount, Sheets().DataCount,
                                  Sheets().RecordCount, Sheets().MemWaveCount};
        QCOMPARE(counts[kind], int16_t(2));
        ViewCount(kind) = 0;
        delete last;
    }

    void formSlotReadsOnlyPlainTagsOfTheKind_data() {
        QTest::addColumn<ViewKind>("kind");
        QTest::addColumn<QVariant>("tag");
        QTest::addColumn<int>("slot");
        QTest::newRow("first") << ViewWave << QVariant("0") << 0;
        QTest::newRow("last wave slot") << ViewWave << QVariant("17") << 17;
        QTest::newRow("17 is no record slot") << ViewRecord << QVariant("17") << -1;
        QTest::newRow("last memory wave slot") << ViewMemoryWave << QVariant("3") << 3;
        QTest::newRow("no tag") << ViewWave << QVariant() << -1;
        QTest::newRow("empty") << ViewWave << QVariant("") << -1;
        QTest::newRow("negative") << ViewWave << QVariant("-1") << -1;
        QTest::newRow("blank before") << ViewWave << QVariant(" 3") << -1;
        QTest::newRow("trailing text") << ViewWave << QVariant("3a") << -1;
        QTest::newRow("huge") << ViewWave << QVariant("99999999999") << -1;
    }
    void formSlotReadsOnlyPlainTagsOfTheKind() {
        QFETCH(ViewKind, kind);
        QFETCH(QVariant, tag);
        QFETCH(int, slot);
        QWidget w;
        w.setProperty("Tag", tag);
        QCOMPARE(FormSlot(kind, &w), slot);
    }

    void resetGivesANewViewsRecordButKeepsTheWindowFlag() {
        WaveInfo& w = Sheets().WaveViews[5];
        w.Name = "old";
        w.HasData = true;
        w.WindowOpen = true;
        w.Ch1Samples[1024] = 77;
        w.ColorDisplay = false;
        w.SystemData.TraceFirstX = 9;
        Sheets().WaveViews[6].Name = "neighbour";
        ResetViewRecord(ViewWave, 5);
        QVERIFY(w.Name.isEmpty());
        QVERIFY(!w.HasData);
        QVERIFY(w.WindowOpen);
        QCOMPARE(w.Ch1Samples[1024], 0);
        QVERIFY(w.ColorDisplay && w.ShowGrid && w.BestFit && !w.SplitDisplay);
        QCOMPARE(w.SystemData.TraceFirstX, int16_t(0));
        QCOMPARE(Sheets().WaveViews[6].Name, QString("neighbour"));

        DataInfo& d = Sheets().DataViews[17];
        d.HasData = true;
        d.PointCount = 3;
        d.VoltTexts = QStringList{"a", "b", "c", "d"};
        d.Title = "old table";
        ResetViewRecord(ViewData, 17);
        QVERIFY(!d.HasData);
        QCOMPARE(d.PointCount, 0);
        QVERIFY(d.VoltTexts.isEmpty() && d.Title.isEmpty());

        MeasureInfo& m = Sheets().MeasureViews[0];
        m.HasData = true;
        m.Items[17].Value = "1.0V";
        ResetViewRecord(ViewMeasure, 0);
        QVERIFY(!m.HasData);
        QVERIFY(m.Items[17].Value.isEmpty());

        RecordInfo& r = Sheets().RecordViews[4];
        r.Samples.assign(2048, 5);
        r.LoopReplay = false;
        r.FrameInterval = 1.0;
        ResetViewRecord(ViewRecord, 4);
        QVERIFY(r.Samples.empty());
        QVERIFY(r.LoopReplay && r.BlackBackground);
        QCOMPARE(r.FrameInterval, 0.05);

        MemWaveInfo& mw = Sheets().MemWaveViews[3];
        mw.Loaded = true;
        mw.Ch1Memory.assign(10, 1);
        mw.ShowGrid = false;
        ResetViewRecord(ViewMemoryWave, 3);
        QVERIFY(!mw.Loaded && mw.Ch1Memory.empty() && mw.ShowGrid && mw.BlackBackground);
    }

    void clearViewRefreshStateCoversEverySlot() {
        for (WaveInfo& w : Sheets().WaveViews) {
            w.AutoRefresh = w.Ch1Chosen = w.LaChosen = w.Ch2Fetched = w.MathFetched = true;
            w.HasData = true;
        }
        for (MeasureInfo& m : Sheets().MeasureViews) m.AutoRefresh = true;
        for (DataInfo& d : Sheets().DataViews) {
            d.AutoRefresh = true;
            d.Channel = "LA";
        }
        ClearViewRefreshState();
        for (const WaveInfo& w : Sheets().WaveViews) {
            QVERIFY(!w.AutoRefresh && !w.Ch1Chosen && !w.LaChosen && !w.Ch2Fetched && !w.MathFetched);
            QVERIFY(w.HasData);  // data is kept
        }
        for (const MeasureInfo& m : Sheets().MeasureViews) QVERIFY(!m.AutoRefresh);
        for (const DataInfo& d : Sheets().DataViews) QVERIFY(!d.AutoRefresh && d.Channel.isEmpty());
    }
};

QTEST_MAIN(SheetModelTest)
#include "tst_sheetmodel.moc"
