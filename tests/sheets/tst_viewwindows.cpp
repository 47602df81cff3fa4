#include <QSignalSpy>
#include <QTreeWidget>
#include <QtTest>

#include "TestEnv.h"
#include "common/HookCheck.h"
#include "common/SheetModel.h"
#include "platform/dialogs/MsgBox.h"
#include "sheets/FileFunc.h"
#include "sheets/SheetDocument.h"
#include "sheets/SheetTreeBinder.h"
#include "sheets/ViewWindows.h"

Q_DECLARE_METATYPE(ViewKind)

class ViewWindowsTest : public QObject {
    Q_OBJECT

    QList<QPair<int, bool>> buttonCalls;

private slots:
    void initTestCase() {
        TestEnv::Init();
        // The toolbar's side: buttons 11, 12 and 13 follow the announcement.
        connect(&SheetDoc(), &SheetDocument::sheetOpenChanged, this, [this](bool open) {
            for (int b : {11, 12, 13}) buttonCalls.append({b, open});
        });
    }

    void init() {
        buttonCalls.clear();
        MsgBoxService::ClearLog();
        for (int k = 0; k < ViewKindCount; ++k) SetViewFormFactory(ViewKind(k), nullptr);
        SheetTree().SheetTreeView = nullptr;
        SheetTree().SheetNode = nullptr;
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
        if (situation != "no tree") SheetTree().SheetTreeView = &tree;
        if (situation == "node" || situation == "removed") {
            SheetTree().SheetNode = new QTreeWidgetItem(root, QStringList{"sheet"});
            if (situation == "removed") {
                delete SheetTree().SheetNode;  // the stale pointer must not be dereferenced
            }
        }
        if (situation == "foreign")
            SheetTree().SheetNode = new QTreeWidgetItem(&other, QStringList{"sheet"});

        QCOMPARE(IsDataSheetOpen(), open);
        QCOMPARE(Sheets().SheetOpen, open);
        // Buttons 11, 12, 13 follow the result in that order, even when they
        // already had that state; 15 and 16 are never touched.
        const QList<QPair<int, bool>> expected{{11, open}, {12, open}, {13, open}};
        QCOMPARE(buttonCalls, expected);
        QVERIFY(MsgBoxService::Log().isEmpty());
    }

    void isDataSheetOpenAnswersWithNobodyListening() {
        QTreeWidget tree;
        SheetTree().SheetTreeView = &tree;
        SheetTree().SheetNode = new QTreeWidgetItem(&tree, QStringList{"sheet"});
        SheetDocument alone;  // a document without a toolbar attached
        QVERIFY(alone.RefreshSheetOpen());
        QVERIFY(Sheets().SheetOpen);
        QVERIFY(buttonCalls.isEmpty());
    }

    void viewFormIsMadeOnFirstUseAndRecordOutlivesIt() {
        // No factory: a wiring fault, reported loudly rather than ignored.
        SetMissingHookFatal(false);
        MissingHookLog().clear();
        QVERIFY(ViewForm(ViewWave, 3) == nullptr);
        QCOMPARE(MissingHookLog().size(), 1);
        SetMissingHookFatal(true);

        int made = 0;
        SetViewFormFactory(ViewWave, [&](int) { ++made; return new QWidget; });
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

    void windowSlotBoundsPerKind_data() {
        QTest::addColumn<ViewKind>("kind");
        QTest::addColumn<int>("slotTotal");
        QTest::newRow("wave") << ViewWave << 18;
        QTest::newRow("measure") << ViewMeasure << 18;
        QTest::newRow("data") << ViewData << 18;
        QTest::newRow("record") << ViewRecord << 5;
        QTest::newRow("memory wave") << ViewMemoryWave << 4;
    }
    void windowSlotBoundsPerKind() {
        QFETCH(ViewKind, kind);
        QFETCH(int, slotTotal);
        int made = 0;
        SetViewFormFactory(kind, [&](int) { ++made; return new QWidget; });
        // The last slot exists; one past it and -1 neither make nor return a window.
        QWidget* last = ViewForm(kind, slotTotal - 1);
        QVERIFY(last);
        QVERIFY(ViewForm(kind, slotTotal) == nullptr);
        QVERIFY(ViewForm(kind, -1) == nullptr);
        QCOMPARE(made, 1);
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

    // Removing a view moves the later records, windows (re-tagged) and nodes
    // down one slot together; the removed view's window and node go.
    void removingAViewMovesRecordsWindowsAndNodesDown_data() {
        QTest::addColumn<ViewKind>("kind");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("removed");
        QTest::newRow("wave, middle") << ViewWave << 4 << 1;
        QTest::newRow("measure, first") << ViewMeasure << 3 << 0;
        QTest::newRow("data, last") << ViewData << 3 << 2;
        QTest::newRow("record, full") << ViewRecord << 4 << 0;
        QTest::newRow("memory wave, only") << ViewMemoryWave << 1 << 0;
    }
    void removingAViewMovesRecordsWindowsAndNodesDown() {
        QFETCH(ViewKind, kind);
        QFETCH(int, count);
        QFETCH(int, removed);
        auto nameOf = [kind](int slot) -> QString& { return NameField(kind, slot); };
        QTreeWidget tree;
        std::vector<QPointer<QWidget>> windows;
        std::vector<QTreeWidgetItem*> nodes;
        for (int i = 0; i < count; ++i) {
            nameOf(i) = QString("view%1").arg(i);
            windows.emplace_back(new QWidget);
            SetViewForm(kind, i, windows.back());
            nodes.push_back(new QTreeWidgetItem(&tree, QStringList{nameOf(i)}));
            SetViewNode(kind, i, nodes.back());
        }
        ViewCount(kind) = int16_t(count);
        QSignalSpy removedSpy(&SheetDoc(), &SheetDocument::viewRemoved);

        SheetDoc().RemoveView(kind, count);  // no view there: nothing happens
        SheetDoc().RemoveView(kind, -1);
        QCOMPARE(removedSpy.count(), 0);
        SheetDoc().RemoveView(kind, removed);

        QCOMPARE(removedSpy.count(), 1);
        QCOMPARE(removedSpy.at(0).at(1).toInt(), removed);
        QCOMPARE(int(ViewCount(kind)), count - 1);
        QCOMPARE(tree.topLevelItemCount(), count - 1);  // the removed view's node is gone
        for (int i = 0; i < count - 1; ++i) {
            const int was = i < removed ? i : i + 1;
            QCOMPARE(nameOf(i), QString("view%1").arg(was));
            QCOMPARE(ExistingViewForm(kind, i), windows[size_t(was)].data());
            QCOMPARE(FormSlot(kind, ExistingViewForm(kind, i)), i);
            QCOMPARE(ViewNode(kind, i), nodes[size_t(was)]);
        }
        QVERIFY(ExistingViewForm(kind, count - 1) == nullptr);
        QVERIFY(ViewNode(kind, count - 1) == nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(windows[size_t(removed)].isNull());  // the removed view's window is gone

        for (int i = 0; i < count - 1; ++i) {
            SetViewNode(kind, i, nullptr);
            delete ExistingViewForm(kind, i);
        }
        ViewCount(kind) = 0;
    }
};

QTEST_MAIN(ViewWindowsTest)
#include "tst_viewwindows.moc"
