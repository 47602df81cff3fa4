// Controller window: the node click, the edit hand-over (double click, Enter),
// the right button, Upload and Download through the transfer window against
// the simulated instrument.
#include <QAction>
#include <QMenu>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QtTest>

#include "LinkFixture.h"
#include "Simulator.h"
#include "TestEnv.h"
#include "UseLanguage.h"
#include "common/ShellState.h"
#include "controller/CtrlList.h"
#include "controller/CtrlState.h"
#include "controller/CtrlTree.h"
#include "controller/SettingsTransfer.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/TransferJobs.h"
#include "link/UsbFunc.h"
#include "link/Vocabulary.h"
#include "platform/dialogs/MsgBox.h"
#include "platform/mouse/MouseControl.h"
#include "shell/frmPrgress.h"

class CtrlListTest : public QObject {
    Q_OBJECT
    Simulator sim;
    QStringList edits;

    frmCtrlList* form() { return CtrlListForm(); }

    QPoint centre(QTreeWidgetItem* item) {
        return form()->CtrlTreeView->visualItemRect(item).center();
    }

private slots:
    void initTestCase() {
        TestEnv::Init();
        UseLanguage(1);
        QVERIFY(sim.Start());
        sim.SetEnvironment();
        Shell().ScopeIOType = 0;
        OpenVisaRM();
        InstallTransferWindow();
        CtrlHooks().PraseCtrlList = [this](const QString& path) { edits << path; };
        form()->resize(400, 900);
        form()->show();
        QVERIFY(QTest::qWaitForWindowExposed(form()));
    }

    void cleanupTestCase() { LinkFixture::StopSimulator(sim); }

    void init() {
        edits.clear();
        MsgBoxService::ClearLog();
        Link().IsConnected = false;
        CtrlState().CtrlModified = false;
        form()->mnuNewCtrl_Click();
        ExpandAllCtrlNodes();
    }

    void clickRecordsPathAndEditsGoToTheDispatcher() {
        QTreeWidget* tree = form()->CtrlTreeView;
        QTreeWidgetItem* slope = CtrlNode(CtrlGroup::Trigger, 4);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, centre(slope));
        QCOMPARE(CtrlState().SelectedNodePath, QString("KV2200M\\Trigger\\Slope [RISING]"));

        // The right button leaves the recorded node alone.
        QTreeWidgetItem* grid = CtrlNode(CtrlGroup::Display, 5);
        QTest::mouseClick(tree->viewport(), Qt::RightButton, {}, centre(grid));
        QCOMPARE(CtrlState().SelectedNodePath, QString("KV2200M\\Trigger\\Slope [RISING]"));
        form()->PopupMenu->hide();

        // Without a connection: the message, no edit.
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, centre(slope));
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, centre(slope));
        QCOMPARE(edits, QStringList());
        QCOMPARE(MsgBoxService::Log().size(), 1);
        QCOMPARE(MsgBoxService::Log()[0].text, QString("Please Connect Oscilloscope First!"));
        QCOMPARE(MsgBoxService::Log()[0].style, int(vbExclamation));

        // Connected: double click and Enter hand the recorded path over.
        Link().IsConnected = true;
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, centre(slope));
        tree->setFocus();
        QTest::keyClick(tree, Qt::Key_Return);
        QCOMPARE(edits, (QStringList{"KV2200M\\Trigger\\Slope [RISING]", "KV2200M\\Trigger\\Slope [RISING]"}));

        // Moving with the keys selects as a click does.
        tree->setCurrentItem(slope);
        QTest::keyClick(tree, Qt::Key_Down);
        QCOMPARE(CtrlState().SelectedNodePath, QString("KV2200M\\Trigger\\Source [CH1]"));
    }

    void uploadAndDownload_data() {
        QTest::addColumn<bool>("connected");
        QTest::addColumn<bool>("busy");
        QTest::addColumn<bool>("runs");
        QTest::addColumn<int>("language");
        QTest::newRow("not connected: message") << false << false << false << 1;
        QTest::newRow("transfer running: silently nothing") << true << true << false << 1;
        QTest::newRow("connected: the job runs") << true << false << true << 1;
        QTest::newRow("connected, Chinese: the job runs") << true << false << true << 0;
    }

    void uploadAndDownload() {
        QFETCH(bool, connected);
        QFETCH(bool, busy);
        QFETCH(bool, runs);
        QFETCH(int, language);
        UseLanguage(language);
        if (connected) QVERIFY(LinkFixture::OpenUsbAsConnected());
        Transfer().TransferBusy = busy;
        QStringList jobs;
        // Each job records the switches it found and the transfer window's caption.
        TransferUi().UploadSettings = [&] {
            jobs << "upload:" + DSOSettings().CH1Invert + ":" + LoadedTransferForm()->windowTitle();
            MouseControl::SetCursor(MouseControl::PointerHourglass);
        };
        TransferUi().DownloadSettings = [&] {
            jobs << "download:" + LoadedTransferForm()->windowTitle();
            DSOSettings().CH1Scale = "2.00V";
            LastSettingsTransfer().DownloadCommitted = true;
        };
        CtrlSettings& s = DSOSettings();
        s.CH1Invert = s.CH2Invert = s.SpareSwitch = "ON";
        CtrlState().CtrlModified = false;

        form()->cmdUpload_Click();
        QCOMPARE(CtrlState().CtrlModified, false);
        if (runs) QCOMPARE(form()->cmdUpload->cursor().shape(), Qt::ArrowCursor);  // the window set it back
        form()->cmdDownload_Click();
        Transfer().TransferBusy = false;
        TransferUi().UploadSettings = nullptr;
        TransferUi().DownloadSettings = nullptr;

        const QString off = ValueWord(vwOff);
        const QStringList ran = language == 0
            ? QStringList{"upload:" + off + ":数据上传中...", "download:数据下载中..."}
            : QStringList{"upload:OFF:Data Uploading...", "download:Data Downloading..."};
        UseLanguage(1);
        QCOMPARE(jobs, runs ? ran : QStringList());
        QCOMPARE(CtrlState().CtrlModified, runs);
        QCOMPARE(s.CH2Invert, runs ? off : QString("ON"));
        QCOMPARE(s.SpareSwitch, runs ? off : QString("ON"));
        QCOMPARE(MsgBoxService::Log().size(), connected ? 0 : 2);
        if (runs) QCOMPARE(sim.Log().count(":TRIGGER:STATUS?"), 2);
        if (connected) DisconnectDSO();
        sim.ClearLog();
    }

    void popupMenuCarriesTheCommands() {
        QStringList names;
        for (QAction* a : form()->PopupMenu->actions())
            names << (a->isSeparator() ? QString("-") : a->objectName());
        QCOMPARE(names, (QStringList{"mnuNewCtrl", "mnuOpenCtrl", "-", "mnuSaveCtrl", "mnuSaveAsCtrl", "-",
                                     "mnuConnect", "mnuDisconnect", "-", "mnuUpload", "mnuDownLoad", "-",
                                     "mnuExpand"}));
        for (QAction* a : form()->PopupMenu->actions()) QVERIFY(a->isEnabled());
    }

    // Expand All opens the root and the fixed groups that exist, never the LA
    // ones or Trigger\Code, and says nothing about absent ones.
    void expandAll_data() {
        QTest::addColumn<QString>("method");
        QTest::addColumn<bool>("la");
        QTest::addColumn<QStringList>("expanded");  // paths below the root "KV2200M"
        const QStringList fixed{"", "Running Control", "CH1", "CH2", "Time Base", "Trigger", "Acquire", "Display"};
        QTest::newRow("EDGE") << "EDGE" << false << fixed;
        QTest::newRow("EDGE with LA") << "EDGE" << true << fixed;
        QTest::newRow("ALTERNATIVE") << "ALTERNATIVE" << false
            << QStringList{"", "Running Control", "CH1", "CH2", "Time Base", "Time Base\\CH1",
                           "Time Base\\CH2", "Trigger", "Trigger\\CH1", "Trigger\\CH2", "Acquire", "Display"};
        QTest::newRow("PATTERN with LA") << "PATTERN" << true << fixed;
    }
    void expandAll() {
        QFETCH(QString, method);
        QFETCH(bool, la);
        QFETCH(QStringList, expanded);
        Link().LAPresent = la;
        DSOSettings().TriggerMethod = method;
        BuildCtrlTree();
        form()->mnuExpand_Click();
        Link().LAPresent = false;
        QStringList open;
        for (QTreeWidgetItemIterator it(form()->CtrlTreeView); *it; ++it)
            if ((*it)->isExpanded()) open << CtrlNodePath(*it).mid(QString("KV2200M\\").size());
        QCOMPARE(open, expanded);
        QVERIFY(MsgBoxService::Log().isEmpty());
    }

    // A later load of the window keeps the mirror and shows it with the root
    // and Running Control expanded; the unload takes the editors with it.
    void reloadKeepsTheMirror() {
        int unloads = 0;
        CtrlHooks().UnloadEditors = [&] { ++unloads; };
        DSOSettings().CH1Scale = "5.00V";
        CtrlState().CtrlModified = true;
        delete form();
        QCOMPARE(unloads, 1);
        CtrlHooks().UnloadEditors = nullptr;
        QVERIFY(!LoadedCtrlListForm());
        QCOMPARE(CtrlNode(CtrlGroup::CH1, 3), nullptr);

        QCOMPARE(form()->CtrlTreeView->topLevelItemCount(), 1);
        QCOMPARE(DSOSettings().CH1Scale, QString("5.00V"));
        QVERIFY(CtrlState().CtrlModified);
        QCOMPARE(CtrlNode(CtrlGroup::CH1, 3)->text(0), QString("Volt/Div [5.00V]"));
        QStringList open;
        for (QTreeWidgetItemIterator it(form()->CtrlTreeView); *it; ++it)
            if ((*it)->isExpanded()) open << (*it)->text(0);
        QCOMPARE(open, (QStringList{"KV2200M", "Running Control"}));
    }
};

QTEST_MAIN(CtrlListTest)
#include "tst_ctrllist.moc"
