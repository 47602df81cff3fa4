// Recent-file lists: push order, move to top, cap at four, the submenus.
#include <QAction>
#include <QMenu>
#include <QtTest>

#include "TestEnv.h"
#include "common/RecentFiles.h"
#include "common/SettingsStore.h"
#include "shell/DocumentCommands.h"
#include "shell/MainWindow.h"

class RecentTest : public QObject {
    Q_OBJECT

    static void setList(RecentList list, const QStringList& values) {
        auto s = OpenSettingsStore();
        s->remove(RecentSection(list));
        for (int i = 0; i < values.size(); ++i)
            s->setValue(RecentSection(list) + QString("/RecentFile%1").arg(i + 1), values[i]);
        s->sync();
    }

private slots:
    void initTestCase() { TestEnv::Init(); }

    void push_data() {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("empty list") << QStringList{} << "A" << QStringList{"A"};
        QTest::newRow("new path drops the fourth") << QStringList{"A", "B", "C", "D"} << "E"
                                                   << QStringList{"E", "A", "B", "C"};
        QTest::newRow("listed path moves to top") << QStringList{"A", "B", "C", "D"} << "C"
                                                  << QStringList{"C", "A", "B", "D"};
        QTest::newRow("last moves to top") << QStringList{"A", "B", "C", "D"} << "D"
                                           << QStringList{"D", "A", "B", "C"};
        QTest::newRow("first stays first") << QStringList{"A", "B", "C"} << "A" << QStringList{"A", "B", "C"};
        QTest::newRow("letter case makes a new entry") << QStringList{"/x/a.vls", "B"} << "/x/A.vls"
                                                       << QStringList{"/x/A.vls", "/x/a.vls", "B"};
    }

    void push() {
        QFETCH(QStringList, before);
        QFETCH(QString, path);
        QFETCH(QStringList, after);
        for (RecentList list : {RecentList::Ctrl, RecentList::Sheet}) {
            setList(list, before);
            QVERIFY(PushRecentFile(list, path));
            QCOMPARE(ReadRecentList(list), after);
        }
        // The two lists are kept apart.
        setList(RecentList::Sheet, {"S"});
        QVERIFY(PushRecentCtrlFile("C1"));
        QCOMPARE(ReadRecentList(RecentList::Sheet), QStringList{"S"});
    }

    // Opening the file that is already first (every start that reopens its
    // last files) does not write the store again: a comment added by hand,
    // which a rewrite would drop, is still there.
    void firstPathLeavesStoreUntouched() {
        setList(RecentList::Ctrl, {"/c/a.rmt", "/c/b.rmt"});
        const QString path = OpenSettingsStore()->fileName();
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::Append));
            QVERIFY(f.write("; kept\n") > 0);
        }
        QVERIFY(PushRecentCtrlFile("/c/a.rmt"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().contains("; kept"));
        QCOMPARE(ReadRecentList(RecentList::Ctrl), (QStringList{"/c/a.rmt", "/c/b.rmt"}));
    }

    void submenusFollowTheStore() {
        setList(RecentList::Ctrl, {});
        setList(RecentList::Sheet, {"/d/one.vls", "/d/two.vls"});
        frmMain w;
        w.MDIForm_Load();
        // An empty list leaves its submenu disabled with item 0 visible and empty.
        QVERIFY(!w.mnuRecentCtrlRoot->isEnabled());
        QVERIFY(w.RecentCtrlItem(0)->isVisible());
        QVERIFY(w.RecentCtrlItem(0)->text().isEmpty());
        QVERIFY(!w.RecentCtrlItem(1)->isVisible());
        // Two entries show items 0 and 1; items 2 and 3 stay hidden.
        QVERIFY(w.mnuRecentSheetRoot->isEnabled());
        QCOMPARE(w.RecentSheetItem(0)->text(), QString("/d/one.vls"));
        QCOMPARE(w.RecentSheetItem(1)->text(), QString("/d/two.vls"));
        QVERIFY(w.RecentSheetItem(1)->isVisible());
        QVERIFY(!w.RecentSheetItem(2)->isVisible());
        // Adding rebuilds the submenu at once.
        QVERIFY(AddRecentCtrlFile("/c/a.rmt"));
        QVERIFY(w.mnuRecentCtrlRoot->isEnabled());
        QCOMPARE(w.RecentCtrlItem(0)->text(), QString("/c/a.rmt"));
        AddRecentSheetFile("/d/two.vls");
        QCOMPARE(w.RecentSheetItem(0)->text(), QString("/d/two.vls"));
        QCOMPARE(w.RecentSheetItem(1)->text(), QString("/d/one.vls"));
        w.MDIForm_Unload();
    }

    // A path with an ampersand is shown whole (no access key made of it) and
    // opened as it was stored.
    void pathWithAmpersandOpensAsStored() {
        const QString path = "/d/R&D/a&b.vls";
        setList(RecentList::Ctrl, {});
        setList(RecentList::Sheet, {path});
        QStringList opened;
        DocCommands().OpenDataSheet = [&](const QString& p) { opened << p; };
        frmMain w;
        w.MDIForm_Load();
        QCOMPARE(w.RecentSheetItem(0)->text(), QString("/d/R&&D/a&&b.vls"));
        opened.clear();
        w.RecentSheetItem(0)->trigger();
        DocCommands().OpenDataSheet = nullptr;
        QCOMPARE(opened, QStringList{path});
        w.MDIForm_Unload();
    }
};

QTEST_MAIN(RecentTest)
#include "tst_recent.moc"
