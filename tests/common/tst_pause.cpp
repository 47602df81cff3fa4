#include <QtTest>

#include "TestEnv.h"
#include "common/Pause.h"
#include "common/SystemData.h"
#include "common/Wait.h"

class PauseTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestEnv::Init(); }

    void pausesAreLoggedInOrderAndScaled() {
        // Scale 0: nothing sleeps (an hour's pause would be unmistakable,
        // however busy the machine).
        QElapsedTimer t;
        t.start();
        PauseMs(3600 * 1000);
        QVERIFY(t.elapsed() < 600 * 1000);
        PauseService::ClearLog();
        PauseMs(100);
        PauseMs(3);
        PauseMs(-5);
        QCOMPARE(PauseService::Log(), (QList<int>{100, 3, 0}));
        QCOMPARE(PauseService::LoggedTotal(), 103);
    }

    void quitAskedDuringAYieldEndsTheLoopAfterIt() {
        // The last window closes while a wait yields: the wait runs to its
        // end, then the main loop ends (a plain posted quit would be lost).
        bool ready = false, waitEnded = false, quitSeenInWait = false;
        QTimer::singleShot(0, [&] {
            QuitWhenNoWaitRuns();
            QTimer::singleShot(60, [&] { ready = true; NotifyWaiters(); });
            YieldUntil([&] { return ready; }, 5000);
            waitEnded = true;
        });
        QTimer::singleShot(5000, [] { QCoreApplication::exit(2); });  // guard
        QObject scope;
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, &scope, [&] { quitSeenInWait = !waitEnded; });
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(waitEnded);
        QVERIFY(!quitSeenInWait);
    }

    void yieldUntilWakesOnNotifyAndHonoursDeadline() {
        bool flag = false;
        QTimer::singleShot(10, [&] { flag = true; NotifyWaiters(); });
        QVERIFY(YieldUntil([&] { return flag; }, 5000));
        QVERIFY(!YieldUntil([] { return false; }, 20));
    }

    void systemDataRoundTripAndShortBlock() {
        QByteArray bytes(SystemDataRecord::Size, '\0');
        for (int i = 0; i < bytes.size(); ++i) bytes[i] = char(i * 7 + 1);
        SystemDataRecord r = SystemDataRecord::FromBytes(bytes);
        QCOMPARE(r.ToBytes(), bytes);
        QCOMPARE(r.TraceFirstX, int16_t(1 | (8 << 8)));
        // A short block overwrites only the fields it fully holds.
        QByteArray shortBlock(3, char(0xFF));
        r.OverlayBytes(reinterpret_cast<const uint8_t*>(shortBlock.constData()), 3);
        QCOMPARE(r.TraceFirstX, int16_t(-1));
        QCOMPARE(r.ToBytes().mid(2), bytes.mid(2));
    }
};

QTEST_MAIN(PauseTest)
#include "tst_pause.moc"
