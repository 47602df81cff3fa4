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
#include "platform/dialogs/MsgBox.h"

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
        LinkFixture::StartQuickSerialTick(tick, sim);
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

    // The live copy under a misbehaving instrument: it either goes on showing
    // the instrument's true picture or says it can't read and closes; it
    // never shows a wrong picture, and never freezes without a word.
    void liveCopyUnderFaults_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("keepsRunning");
        QTest::newRow("late replies") << "late 100" << true;
        QTest::newRow("silent from the start") << "silent" << false;
        QTest::newRow("silent after two frames") << "silent after 4" << false;  // a frame is two replies
        QTest::newRow("cut short") << "truncate 50000" << false;
        QTest::newRow("cut after a screen's worth") << "truncate 77000" << false;
        QTest::newRow("oversize") << "oversize 100" << false;
        QTest::newRow("connection dropped") << "drop 40000" << false;
        QTest::newRow("garbage") << "garbage" << false;
    }
    void liveCopyUnderFaults() {
        QFETCH(QString, fault);
        QFETCH(bool, keepsRunning);
        QVERIFY(LinkFixture::ConnectOver(sim, "tcp", transport));
        QImage truePicture;
        {
            frmV_Panel first;
            first.DrawBulkWave();
            truePicture = first.Picture();
        }
        QVERIFY(!truePicture.isNull());
        MsgBoxService::ClearLog();
        sim.SetFault(fault);

        frmV_Panel panel;
        QSignalSpy finished(&panel, &QDialog::finished);
        // Every frame the copy paints is kept (the loop runs inside the
        // events, so the watch closes a panel that keeps running).
        QList<QImage> shown;
        QTimer watch;
        connect(&watch, &QTimer::timeout, [&] {
            const QImage& p = panel.Picture();
            if (!p.isNull() && (shown.isEmpty() || shown.last().cacheKey() != p.cacheKey())) shown << p;
            if (shown.size() >= 3 && panel.isVisible()) panel.reject();
        });
        watch.start(1);
        panel.show();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 20000);
        if (keepsRunning) {
            QVERIFY(MsgBoxService::Log().isEmpty());
            QVERIFY(Link().IsConnected);
        } else {
            QCOMPARE(LinkFixture::ShownTexts(), QStringList{LinkFixture::DroppedLinkMessage(false)});
            QVERIFY(!Link().IsConnected);
        }
        QVERIFY(shown.size() >= (keepsRunning ? 3 : 0));
        for (const QImage& picture : shown) QCOMPARE(picture, truePicture);
        sim.SetFault("none");
    }
};

QTEST_MAIN(PanelSimTest)
#include "tst_panelsim.moc"
