// The shell against the simulated instrument: the USB device list, the baud
// command of the options dialog's OK.
#include <QComboBox>
#include <QtTest>

#include "Simulator.h"
#include "TestEnv.h"
#include "common/ShellState.h"
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
        Link().Connecting = true;
        OpenVisa();
        Link().Connecting = false;
        Link().IsConnected = Link().LinkOpen;
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
    }
    void cleanupTestCase() { CloseVisaRM(); }

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
        QStringList got = sim.Log();
        got.removeAll(":KEY:LOCK DISABLE");  // the disconnect that follows
        QCOMPARE(got, sent);
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
