// The key pad over the serial line and the virtual panel over USB against the
// simulated instrument, through the real command layer: the instrument gets
// the key commands, and its screen copy is decoded at known pixels.
#include <QtTest>

#include <QAbstractButton>
#include <QTimer>

#include "LinkFixture.h"
#include "Simulator.h"
#include "TestEnv.h"
#include "common/ShellState.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "panel/PanelKeyBoard.h"
#include "panel/frmV_Key.h"
#include "panel/frmV_Panel.h"
#include "panel/model/PanelKeys.h"

class PanelSimTest : public QObject {
    Q_OBJECT
    Simulator sim;
    QTimer tick;
    QString transport;

    static QString forceCommand() {
        return QString::fromLatin1(FindPanelKey(PanelKeyCommands(), "VK_Trig_Force")->command);
    }

private slots:
    void initTestCase() {
        QVERIFY(LinkFixture::StartSimulator(sim));
        TestEnv::UseLanguage(LangEnglish);
        if (BuildPanelBrand() == PanelBrand::Second) sim.Set("IDN", "HOKANE,KV2202E,SN0001,V1.00");
        LinkFixture::StartQuickSerialTick(tick);
    }
    void cleanupTestCase() {
        DisconnectDSO();
        LinkFixture::StopSimulator(sim);
    }

    void keyPadOverTheSerialLine() {
        QVERIFY(LinkFixture::ConnectOver(sim, "pty", transport));
        sim.ClearLog();
        frmV_Key pad;
        QTest::mouseClick(pad.Keys()->Key("VK_Run"), Qt::LeftButton);
        QTest::mouseClick(pad.Keys()->Key("VK_Trig_Force"), Qt::LeftButton);
        QVERIFY(!QueryCmd("*IDN?").isEmpty());  // every command before it has arrived
        QCOMPARE(sim.Log(), (QStringList{":KEY:RUN", forceCommand(), "*IDN?"}));
    }

    void panelScreenOverUsb() {
        QVERIFY(LinkFixture::ConnectOver(sim, "tcp", transport));
        sim.ClearLog();
        frmV_Panel panel;
        panel.DrawBulkWave();
        QCOMPARE(sim.Log(), (QStringList{":HARDCOPY", "*IDN?"}));
        // A monochrome identity: black background, grey graticule frame at
        // (10, 17), the white status strip on row 2.
        const QImage& pic = panel.Picture();
        QCOMPARE(pic.size(), QSize(320, 234));
        QCOMPARE(pic.pixel(0, 0), qRgb(0, 0, 0));
        QCOMPARE(pic.pixel(10, 17), qRgb(128, 128, 128));
        QCOMPARE(pic.pixel(310, 217), qRgb(128, 128, 128));
        QCOMPARE(pic.pixel(0, 2), qRgb(255, 255, 255));
        QCOMPARE(pic.pixel(11, 18), qRgb(0, 0, 0));

        sim.ClearLog();
        QTest::mouseClick(panel.Keys()->Key("VK_Menu_Off"), Qt::LeftButton);
        QVERIFY(!QueryCmd("*IDN?").isEmpty());
        QCOMPARE(sim.Log(), (QStringList{":KEY:MNUOFF", "*IDN?"}));
    }
};

QTEST_MAIN(PanelSimTest)
#include "tst_panelsim.moc"
