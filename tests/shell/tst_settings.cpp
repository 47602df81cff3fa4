// Stored settings: exact sections, keys and texts; defaults; unconvertible values.
#include <QFile>
#include <QtTest>

#include "TestEnv.h"
#include "common/SettingsStore.h"
#include "common/ShellState.h"
#include "shell/SoftwareSettings.h"
#include "shell/UsbChoice.h"

class SettingsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { TestEnv::Init(); }
    void init() { TestEnv::ClearSettingsStore(); }

    void emptyStoreGivesDefaults() {
        Shell().COM_Port = 9;
        Shell().StartupLoadCtrl = true;
        SetUsbDeviceChoice(2, "USB0::1::2::X::INSTR");
        const MainRectTwips r = LoadSoftwareSetting();
        const ShellStateData& sh = Shell();
        QCOMPARE(sh.StartupCheckHardware, false);
        QCOMPARE(sh.StartupLoadSheet, false);
        QCOMPARE(sh.StartupLoadCtrl, false);
        QCOMPARE(sh.ScopeIOType, 0);
        QCOMPARE(sh.COM_Port, 1);
        QCOMPARE(sh.BaudRate, QString("9600"));
        QCOMPARE(sh.GPIB_Addr, 7);
        QCOMPARE(sh.RefreshType, QString("Single"));
        QCOMPARE(sh.RefreshInterval, 1000);
        QCOMPARE(r.Left, 1000.f);
        QCOMPARE(r.Top, 1000.f);
        QCOMPARE(r.Width, 6500.f);
        QCOMPARE(r.Height, 6500.f);
        QCOMPARE(UsbChoiceIndex(), 0);  // the USB choice is never kept between runs
    }

    void roundTripWritesTheExactSectionsKeysAndTexts() {
        ShellStateData& sh = Shell();
        sh.StartupCheckHardware = true;
        sh.StartupLoadSheet = false;
        sh.StartupLoadCtrl = true;
        sh.ScopeIOType = 2;
        sh.COM_Port = 3;
        sh.BaudRate = "19200";
        sh.GPIB_Addr = 12;
        sh.RefreshType = "Auto";
        sh.RefreshInterval = 5000;
        MainRectTwips rect{1500.f, 1234.5f, 9000.f, 7200.f};
        QVERIFY(SaveSoftwareSetting(rect));

        // What another reader of the store sees, key by key.
        QSettings raw(TestEnv::IniPath(), QSettings::IniFormat);
        const QList<QPair<QString, QString>> expected = {
            {"General_KV2200M/StartupCheckHardware", "True"}, {"General_KV2200M/StartupLoadSheet", "False"},
            {"General_KV2200M/StartupLoadCtrl", "True"},      {"IO Settings_KV2200M/ScopeIOType", "2"},
            {"IO Settings_KV2200M/COM_Port", "3"},            {"IO Settings_KV2200M/BaudRate", "19200"},
            {"IO Settings_KV2200M/GPIB_Addr", "12"},          {"Refresh_KV2200M/Refresh Type", "Auto"},
            {"Refresh_KV2200M/Refresh Interval", "5000"},     {"Settings_KV2200M/MainLeft", "1500"},
            {"Settings_KV2200M/MainTop", "1234.5"},           {"Settings_KV2200M/MainWidth", "9000"},
            {"Settings_KV2200M/MainHeight", "7200"},
        };
        for (const auto& [key, text] : expected) QCOMPARE(raw.value(key).toString(), text);
        QCOMPARE(raw.childGroups(), (QStringList{"General_KV2200M", "IO Settings_KV2200M", "Refresh_KV2200M",
                                                 "Settings_KV2200M"}));

        sh = ShellStateData();
        const MainRectTwips back = LoadSoftwareSetting();
        QCOMPARE(sh.StartupCheckHardware, true);
        QCOMPARE(sh.StartupLoadCtrl, true);
        QCOMPARE(sh.ScopeIOType, 2);
        QCOMPARE(sh.COM_Port, 3);
        QCOMPARE(sh.BaudRate, QString("19200"));
        QCOMPARE(sh.GPIB_Addr, 12);
        QCOMPARE(sh.RefreshType, QString("Auto"));
        QCOMPARE(sh.RefreshInterval, 5000);
        QCOMPARE(back.Top, 1234.5f);
        QCOMPARE(back.Width, 9000.f);
    }

    void withoutRectangleTheStoredRectangleStays() {
        QVERIFY(SaveSoftwareSetting(MainRectTwips{1, 2, 3000, 4000}));
        Shell().COM_Port = 5;
        QVERIFY(SaveSoftwareSetting(std::nullopt));  // minimised window
        const MainRectTwips r = LoadSoftwareSetting();
        QCOMPARE(r.Width, 3000.f);
        QCOMPARE(r.Height, 4000.f);
        QCOMPARE(Shell().COM_Port, 5);
    }

    void storedTexts_data() {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("expected");
        QTest::newRow("bool -1") << "General_KV2200M" << "StartupCheckHardware" << "-1" << "hw" << "1";
        QTest::newRow("bool 0") << "General_KV2200M" << "StartupCheckHardware" << "0" << "hw" << "0";
        QTest::newRow("bool lower case") << "General_KV2200M" << "StartupCheckHardware" << "true" << "hw" << "1";
        QTest::newRow("bool garbage keeps default") << "General_KV2200M" << "StartupCheckHardware" << "yes"
                                                    << "hw" << "0";
        QTest::newRow("port garbage keeps default") << "IO Settings_KV2200M" << "COM_Port" << "abc" << "port"
                                                    << "1";
        // Numbers outside their ranges give the default.
        QTest::newRow("port out of range gives default") << "IO Settings_KV2200M" << "COM_Port" << "17" << "port"
                                                         << "1";
        QTest::newRow("port 0") << "IO Settings_KV2200M" << "COM_Port" << "0" << "port" << "1";
        QTest::newRow("port 16") << "IO Settings_KV2200M" << "COM_Port" << "16" << "port" << "16";
        QTest::newRow("gpib 30") << "IO Settings_KV2200M" << "GPIB_Addr" << "30" << "gpib" << "30";
        QTest::newRow("gpib 31") << "IO Settings_KV2200M" << "GPIB_Addr" << "31" << "gpib" << "7";
        QTest::newRow("gpib negative") << "IO Settings_KV2200M" << "GPIB_Addr" << "-1" << "gpib" << "7";
        QTest::newRow("interval 0") << "Refresh_KV2200M" << "Refresh Interval" << "0" << "interval" << "1000";
        QTest::newRow("interval 99 ms") << "Refresh_KV2200M" << "Refresh Interval" << "99" << "interval" << "1000";
        QTest::newRow("interval 1 h") << "Refresh_KV2200M" << "Refresh Interval" << "3600000" << "interval"
                                      << "3600000";
        QTest::newRow("baud digits") << "IO Settings_KV2200M" << "BaudRate" << " 19200 " << "baud" << "19200";
        QTest::newRow("baud with letters") << "IO Settings_KV2200M" << "BaudRate" << "96OO" << "baud" << "9600";
        QTest::newRow("baud negative") << "IO Settings_KV2200M" << "BaudRate" << "-9600" << "baud" << "9600";
        QTest::newRow("baud zero") << "IO Settings_KV2200M" << "BaudRate" << "0" << "baud" << "9600";
        QTest::newRow("baud with a line feed") << "IO Settings_KV2200M" << "BaudRate" << "9600\n1" << "baud"
                                               << "9600";
        QTest::newRow("io type other than 0 or 2") << "IO Settings_KV2200M" << "ScopeIOType" << "1" << "io"
                                                   << "0";
        QTest::newRow("io type 2") << "IO Settings_KV2200M" << "ScopeIOType" << "2" << "io" << "2";
        QTest::newRow("interval garbage keeps default") << "Refresh_KV2200M" << "Refresh Interval" << "5s"
                                                        << "interval" << "1000";
        QTest::newRow("interval too large") << "Refresh_KV2200M" << "Refresh Interval" << "1e12" << "interval"
                                            << "1000";
        QTest::newRow("gpib garbage keeps default") << "IO Settings_KV2200M" << "GPIB_Addr" << "" << "gpib"
                                                    << "7";
        QTest::newRow("width garbage keeps default") << "Settings_KV2200M" << "MainWidth" << "wide" << "width"
                                                     << "6500";
    }

    void storedTexts() {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, text);
        QFETCH(QString, field);
        QFETCH(QString, expected);
        QVERIFY(SaveStoredText("IO Settings_KV2200M", "BaudRate", "4800"));  // a neighbour still reads
        QVERIFY(SaveStoredText(section, key, text));
        const MainRectTwips r = LoadSoftwareSetting();
        const ShellStateData& sh = Shell();
        const QMap<QString, QString> got = {
            {"hw", QString::number(sh.StartupCheckHardware)}, {"port", QString::number(sh.COM_Port)},
            {"io", QString::number(sh.ScopeIOType)},          {"interval", QString::number(sh.RefreshInterval)},
            {"gpib", QString::number(sh.GPIB_Addr)},          {"width", QString::number(r.Width)},
            {"baud", sh.BaudRate},
        };
        QCOMPARE(got.value(field), expected);
        if (key != "BaudRate") QCOMPARE(sh.BaudRate, QString("4800"));
    }

    // The stored rectangle against a screen of 1920 x 1040 pixels (15 twips
    // a pixel) whose usable area starts 40 pixels down.
    void mainRectangleFitsTheScreen_data() {
        QTest::addColumn<QRectF>("stored");  // left, top, width, height
        QTest::addColumn<QRectF>("fitted");
        QTest::newRow("inside stays") << QRectF(1000, 1000, 6500, 6500) << QRectF(1000, 1000, 6500, 6500);
        QTest::newRow("taller than the screen") << QRectF(1000, 1000, 6500, 4.5e9) << QRectF(1000, 600, 6500, 15600);
        QTest::newRow("wider than the screen") << QRectF(1000, 1000, 6e8, 6500) << QRectF(0, 1000, 28800, 6500);
        QTest::newRow("far above") << QRectF(1000, -1.5e6, 6500, 6500) << QRectF(1000, 600, 6500, 6500);
        QTest::newRow("past the right edge") << QRectF(40000, 1000, 6500, 6500) << QRectF(22300, 1000, 6500, 6500);
        QTest::newRow("past the bottom edge") << QRectF(1000, 16000, 6500, 6500) << QRectF(1000, 9700, 6500, 6500);
        QTest::newRow("too small") << QRectF(1000, 1000, 15, 0) << QRectF(1000, 1000, 3000, 3000);
        QTest::newRow("negative size") << QRectF(1000, 1000, -6500, -1) << QRectF(1000, 1000, 3000, 3000);
    }
    void mainRectangleFitsTheScreen() {
        QFETCH(QRectF, stored);
        QFETCH(QRectF, fitted);
        const MainRectTwips in{float(stored.x()), float(stored.y()), float(stored.width()), float(stored.height())};
        const MainRectTwips out = FitMainRect(in, QRectF(0, 600, 28800, 15600));
        QCOMPARE(QRectF(out.Left, out.Top, out.Width, out.Height), fitted);
    }
};

QTEST_MAIN(SettingsTest)
#include "tst_settings.moc"
