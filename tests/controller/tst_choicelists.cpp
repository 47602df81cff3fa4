// Generated choice lists of the setting dialog: the plain lists as tables,
// and the two procedures that ask the instrument, against the simulator.
#include <QtTest>

#include "Simulator.h"
#include "TestEnv.h"
#include "LinkFixture.h"
#include "common/DSOSettings.h"
#include "common/ShellState.h"
#include "controller/ChoiceLists.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/UsbFunc.h"

class ChoiceListsTest : public QObject {
    Q_OBJECT
    Simulator sim;

private slots:
    void initTestCase() {
        QVERIFY(LinkFixture::StartUsbSimulator(sim));
        Shell().ScopeIOType = 0;
        QVERIFY(LinkFixture::OpenUsbAsConnected());
    }
    void cleanupTestCase() { LinkFixture::StopSimulator(sim); }

    void timeDiv_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<int>("modelClass");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::newRow("Y-T class 0") << "Y-T" << 0 << 29 << "20.00ns" << "50.00s";
        QTest::newRow("Y-T class 1") << "Y-T" << 1 << 30 << "10.00ns" << "50.00s";
        QTest::newRow("Y-T class 2") << "Y-T" << 2 << 31 << "5.000ns" << "50.00s";
        QTest::newRow("Y-T class 3") << "Y-T" << 3 << 32 << "2.000ns" << "50.00s";
        QTest::newRow("Y-T class 4") << "Y-T" << 4 << 33 << "1.000ns" << "50.00s";
        QTest::newRow("roll class 5") << "SCANNING" << 5 << 33 << "1.000ns" << "50.00s";
        QTest::newRow("roll class 0") << "SCANNING" << 0 << 29 << "20.00ns" << "50.00s";
        QTest::newRow("X-Y any class") << "X-Y" << 0 << 13 << "1.000us" << "10.00ms";
        QTest::newRow("X-Y class 4") << "X-Y" << 4 << 13 << "1.000us" << "10.00ms";
        QTest::newRow("lower case") << "y-t" << 0 << 0 << "" << "";
        QTest::newRow("no reply") << "" << 4 << 0 << "" << "";
    }
    void timeDiv() {
        QFETCH(QString, format);
        QFETCH(int, modelClass);
        QFETCH(int, count);
        QFETCH(QString, first);
        QFETCH(QString, last);
        const QStringList list = TimeDivChoices(format, modelClass);
        QCOMPARE(list.size(), count);
        QCOMPARE(list.value(0), first);
        QCOMPARE(list.isEmpty() ? QString() : list.last(), last);
    }

    void timeDivSequence() {
        const QStringList seq = TimeDivSequence();
        QCOMPARE(seq.size(), 33);
        QCOMPARE(seq.mid(6, 6), QStringList({"100.0ns", "200.0ns", "500.0ns", "1.000us",
                                              "2.000us", "5.000us"}));
        QCOMPARE(seq.mid(24, 9), QStringList({"100.0ms", "200.0ms", "500.0ms", "1.000s", "2.000s",
                                               "5.000s", "10.00s", "20.00s", "50.00s"}));
        // An X-Y list does not hold a fast Y-T scale.
        QVERIFY(!TimeDivChoices("X-Y", 4).contains("50.00ns"));
    }

    void divisionLists() {
        const QStringList level = TrigLevelChoices();
        QCOMPARE(level.size(), 301);
        QCOMPARE(level.first(), QString("6.00div"));
        QCOMPARE(level.last(), QString("-6.00div"));
        QCOMPARE(level.mid(148, 5),
                 QStringList({"0.08div", "0.04div", "0.00div", "-0.04div", "-0.08div"}));
        QVERIFY(!level.contains("-6.04div"));
        QVERIFY(!level.contains("-0.00div"));
        // Every entry is k steps of 0.04 below 6: no drift of the running value.
        for (int k = 0; k < level.size(); ++k) {
            const long long h = 600 - 4LL * k;
            QCOMPARE(level[k], QString("%1%2.%3div").arg(h < 0 ? "-" : "").arg(qAbs(h) / 100)
                                   .arg(qAbs(h) % 100, 2, 10, QLatin1Char('0')));
        }

        const QStringList sens = TrigSensitivityChoices();
        QCOMPARE(sens.size(), 91);
        QCOMPARE(sens.first(), QString("1.00div"));
        QCOMPARE(sens.mid(89), QStringList({"0.11div", "0.10div"}));
        QVERIFY(!sens.contains("0.09div"));
    }

    void voltDiv_data() {
        QTest::addColumn<QString>("probe");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("1X") << "1X"
                            << QStringList{"2.00mV", "5.00mV", "10.0mV", "20.0mV", "50.0mV", "100mV",
                                           "200mV", "500mV", "1.00V", "2.00V", "5.00V"};
        QTest::newRow("10X") << "10X"
                             << QStringList{"20.0mV", "50.0mV", "100mV", "200mV", "500mV", "1.00V",
                                            "2.00V", "5.00V", "10.0V", "20.0V", "50.0V"};
        QTest::newRow("100X") << "100X"
                              << QStringList{"200mV", "500mV", "1.00V", "2.00V", "5.00V", "10.0V",
                                             "20.0V", "50.0V", "100V", "200V", "500V"};
        QTest::newRow("1000X") << "1000X"
                               << QStringList{"2.00V", "5.00V", "10.0V", "20.0V", "50.0V", "100V",
                                              "200V", "500V", "1kV", "2kV", "5kV"};
        QTest::newRow("5X") << "5X" << QStringList();
        QTest::newRow("500X") << "500X" << QStringList();
        QTest::newRow("empty") << "" << QStringList();
    }
    void voltDiv() {
        QFETCH(QString, probe);
        QFETCH(QStringList, expected);
        QCOMPARE(VoltDivChoices(probe), expected);
    }

    // The procedures append to what the list holds and never clear it.
    void appendingProcedures() {
        CtrlSettings saved = DSOSettings();
        DSOSettings().CH1Probe = "1X";
        DSOSettings().CH2Probe = "10X";
        QStringList combo = {"CH1", "CH2", "EXT", "AC"};
        AddLaSource(combo);
        QCOMPARE(combo.size(), 20);
        QCOMPARE(combo.mid(4, 2), QStringList({"D0", "D1"}));
        QCOMPARE(combo.last(), QString("D15"));

        combo.clear();
        SetCtrlDialogVoltDivNum(combo, "CH2");
        QCOMPARE(combo.first(), QString("20.0mV"));
        SetCtrlDialogVoltDivNum(combo, "ch1");  // anything but "CH1" is CH2
        QCOMPARE(combo.size(), 22);
        QCOMPARE(combo.count("20.0mV"), 2);
        SetCtrlDialogVoltDivNum(combo, "CH1");
        QCOMPARE(combo.last(), QString("5.00V"));

        combo.clear();
        SetCtrlDialogTrigLevelNum(combo);
        SetCtrlDialogTrigLevelNum(combo);
        QCOMPARE(combo.size(), 602);
        QCOMPARE(combo.count("0.00div"), 2);
        combo.clear();
        SetCtrlDialogTrigSensitivityNum(combo);
        QCOMPARE(combo.size(), 91);
        DSOSettings() = saved;
    }

    // The time base list follows the instrument's format now, not the mirror.
    void instrumentLists_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<int>("count");
        QTest::newRow("Y-T") << "YT" << 31;
        QTest::newRow("roll") << "SCANNING" << 31;
        QTest::newRow("X-Y") << "XY" << 13;
    }
    void instrumentLists() {
        QFETCH(QString, format);
        QFETCH(int, count);
        Link().BandwidthClass = 2;
        DSOSettings().TimeBaseFormat = "X-Y";
        SendCmd(":TIMEBASE:FORMAT " + format);
        QueryCmd("*IDN?");  // its reply means the command has arrived
        sim.ClearLog();
        QStringList combo = {"keep"};
        SetCtrlDialogTimeDivNum(combo);
        QCOMPARE(combo.size(), 1 + count);
        QCOMPARE(combo.first(), QString("keep"));
        QCOMPARE(sim.Log(), QStringList{":TIMEBASE:FORMAT?"});
    }

    void memoryList_data() {
        QTest::addColumn<QString>("size");
        QTest::addColumn<int>("count");
        QTest::newRow("4000") << "4000" << 3999;
        QTest::newRow("one") << "1" << 0;
        QTest::newRow("not a number") << "lots" << 0;
    }
    void memoryList() {
        QFETCH(QString, size);
        QFETCH(int, count);
        sim.Set(":WAVEFORM:SYSMEMSIZE", size);
        QStringList combo;
        SetCtrlDialogMemOffsetNum(combo);
        QCOMPARE(combo.size(), count);
        if (count) QCOMPARE(combo.last(), QString::number(count));
    }
};

QTEST_MAIN(ChoiceListsTest)
#include "tst_choicelists.moc"
