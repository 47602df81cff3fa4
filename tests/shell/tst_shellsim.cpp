// The shell against the simulated instrument: connecting at start, connect
// and disconnect from the menus, the unlock at unload, the USB device list,
// the baud command of the options dialog's OK.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QtTest>

#include "Simulator.h"
#include "TestEnv.h"
#include "common/SheetModel.h"
#include "common/SettingsStore.h"
#include "common/ShellState.h"
#include "controller/CtrlState.h"
#include "link/TransferJobs.h"
#include "platform/dialogs/MsgBox.h"
#include "shell/MainWindow.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/UsbFunc.h"
#include "shell/OptionsDialog.h"
#include "shell/UsbChoice.h"

class ShellSimTest : public QObject {
    Q_OBJECT
    Simulator sim;

    void connectOverUsb() {
        Shell().ScopeIOType = 0;
        ConnectDSO();
        QVERIFY(Link().IsConnected);
        sim.ClearLog();
    }

private slots:
    void initTestCase() {
        TestEnv::Init();
        QVERIFY(sim.Start());
        sim.SetEnvironment();
        OpenVisaRM();
    }
    void init() {
        ResetUsbDeviceChoice();
        Shell().BaudRate = "9600";
        Link().IsConnected = false;
        MsgBoxService::ClearLog();
    }
    void cleanupTestCase() { CloseVisaRM(); }

    void loadConnectsWhenAskedAndUnloadUnlocks_data() {
        QTest::addColumn<QString>("check");
        QTest::addColumn<bool>("connected");
        QTest::newRow("start-up check") << "True" << true;
        QTest::newRow("no start-up check") << "False" << false;
    }
    void loadConnectsWhenAskedAndUnloadUnlocks() {
        QFETCH(QString, check);
        QFETCH(bool, connected);
        TestEnv::ClearSettingsStore();
        SaveStoredText("General_KV2200M", "StartupCheckHardware", check);
        sim.ClearLog();
        {
            frmMain w;
            w.MDIForm_Load();
            QCOMPARE(Link().IsConnected, connected);
            QCOMPARE(w.picLED_ON->isVisibleTo(&w), connected);
            QCOMPARE(w.picLED_OFF->isVisibleTo(&w), !connected);
            QCOMPARE(sim.Log().contains("*IDN?"), connected);
            QVERIFY(MsgBoxService::Log().isEmpty());
            sim.ClearLog();
            w.MDIForm_Unload();
            // Unlocks the front panel exactly once, and only when connected.
            // (A command is not answered: the log is polled until the simulator has read it.)
            QTRY_COMPARE(sim.Log(), connected ? QStringList{":KEY:LOCK DISABLE"} : QStringList{});
            OpenVisaRM();  // the unload closed the resource manager
        }
        Link().IsConnected = false;
    }

    void menusConnectAndDisconnect() {
        TestEnv::ClearSettingsStore();
        frmMain w;
        w.MDIForm_Load();
        QVERIFY(!Link().IsConnected);
        w.mnuToolsConnect->trigger();
        QVERIFY(Link().IsConnected);
        QVERIFY(w.picLED_ON->isVisibleTo(&w));
        sim.ClearLog();
        w.ToolbarButton("Disconnect")->trigger();
        QVERIFY(!Link().IsConnected);
        QVERIFY(w.picLED_OFF->isVisibleTo(&w));
        QTRY_COMPARE(sim.Log(), QStringList{":KEY:LOCK DISABLE"});
        w.ToolbarButton("Connect")->trigger();
        QVERIFY(Link().IsConnected);
        // A running transfer keeps the window (and the link) open.
        Transfer().TransferBusy = true;
        QVERIFY(w.MDIForm_QueryUnload());
        Transfer().TransferBusy = false;
        QVERIFY(!w.MDIForm_QueryUnload());
        w.MDIForm_Unload();
        OpenVisaRM();
        Link().IsConnected = false;
    }

    void deviceListShowsTheSerialField() {
        frmOptions dlg;
        QCOMPARE(dlg.DeviceCombo->count(), 1);
        QCOMPARE(dlg.DeviceCombo->currentText(), QString("SIM0001"));
        dlg.cmdOK_Click();
        QCOMPARE(UsbChoiceIndex(), 1);
        QCOMPARE(UsbChoiceResource(), Simulator::AliasName());
    }

    void okWhileConnectedSendsTheNewRate_data() {
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QStringList>("sent");
        QTest::newRow("changed") << "19200" << QStringList{":RS232:BAUD 19200"};
        QTest::newRow("unchanged") << "9600" << QStringList{};
    }
    void okWhileConnectedSendsTheNewRate() {
        QFETCH(QString, rate);
        QFETCH(QStringList, sent);
        connectOverUsb();
        frmOptions dlg;
        dlg.BaudCombo->setCurrentText(rate);
        dlg.cmdOK_Click();
        // The disconnect that follows unlocks the front panel.
        QTRY_COMPARE(sim.Log(), sent + QStringList{":KEY:LOCK DISABLE"});
        QVERIFY(!Link().IsConnected);
        QCOMPARE(Shell().BaudRate, rate);
    }

    void okWhileNotConnectedSendsNothing() {
        sim.ClearLog();
        frmOptions dlg;
        dlg.BaudCombo->setCurrentText("38400");
        dlg.cmdOK_Click();
        QVERIFY(sim.Log().isEmpty());
        QCOMPARE(Shell().BaudRate, QString("38400"));
    }
};

QTEST_MAIN(ShellSimTest)
#include "tst_shellsim.moc"
