// Connect, identify and disconnect over both transports, against the
// simulated instrument: what goes out, what is shown, and the state left.
#include <QtTest>

#include "Simulator.h"
#include "TestEnv.h"
#include "common/DSOSettings.h"
#include "common/Pause.h"
#include "common/ShellState.h"
#include "link/Identity.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/Vocabulary.h"
#include "link/RS232Func.h"
#include "link/UsbFunc.h"
#include "platform/dialogs/MsgBox.h"

namespace {
const QString kIdentity = "TARVO TECHNOLOGIES,KV2202E,SN0001,V1.0";
const QStringList kConnectSequence = {":KEY:LOCK ENABLE", ":WAVeform:POINts:MODE NORmal", "*IDN?"};
}  // namespace

class ConnectTest : public QObject {
    Q_OBJECT
    Simulator sim;
    QTimer tick;             // the main window's 100 ms tick
    QList<bool> led;         // every switch of the connection indicator
    QByteArray aliases;

    void useTransport(int ioType) {
        Shell().ScopeIOType = ioType;
        Shell().COM_Port = 1;
        Shell().BaudRate = "9600";
    }
    QList<ShownMessage> messages() { return MsgBoxService::Log(); }

private slots:
    void initTestCase() {
        // Both brands' identity rules are checked in tst_identity whatever the
        // build; the sequences here use the main brand's instrument.
        if (BuildBrand() != InstrumentBrand::Main) QSKIP("built for the second brand");
        TestEnv::Init();
        LoadMessages(LangEnglish);
        LoadValueWords(LangEnglish);
        QVERIFY(sim.Start());
        sim.SetEnvironment();
        aliases = qgetenv("KV2200_VISA_ALIASES");
        OpenVisaRM();
        LinkUi().ShowConnectionLed = [this](bool on) { led.append(on); };
        QObject::connect(&tick, &QTimer::timeout, [] { SerialTick(); });
        tick.start(100);
    }
    void cleanupTestCase() {
        Link().IsConnected = Link().Connecting = false;
        CloseComm();
        CloseVisaRM();
    }
    void init() {
        Link().IsConnected = false;
        Link().Connecting = false;
        Link().LinkOpen = false;
        Link().ScopeModel.clear();
        Link().ModelEU = 0;
        Link().BandwidthClass = 0;
        DSOSettings().MathDisplay.clear();
        qputenv("KV2200_VISA_ALIASES", aliases);
        sim.SetFault("none");
        sim.Set("IDN", kIdentity);
        sim.Set(":MATH:DISPLAY", "OFF");
        sim.ClearLog();
        led.clear();
        MsgBoxService::ClearLog();
        PauseService::ClearLog();
    }

    void accepted_data() {
        QTest::addColumn<int>("ioType");
        QTest::addColumn<QString>("math");
        QTest::newRow("USB, math on") << 0 << "ON";
        QTest::newRow("USB, math off") << 0 << "OFF";
        QTest::newRow("RS-232, math on") << 2 << "ON";
        QTest::newRow("RS-232, math off") << 2 << "OFF";
    }
    void accepted() {
        QFETCH(int, ioType);
        QFETCH(QString, math);
        useTransport(ioType);
        sim.Set(":MATH:DISPLAY", math);
        Link().LAPresent = true;  // left from an earlier session
        ConnectDSO();
        QVERIFY(messages().isEmpty());
        QVERIFY(!Link().LAPresent);
        QCOMPARE(sim.Log(), kConnectSequence + QStringList{":MATH:DISPLAY?"});
        QVERIFY(Link().IsConnected);
        QVERIFY(!Link().Connecting);
        QCOMPARE(led, QList<bool>{true});
        QCOMPARE(Link().ScopeModel, QString("KV2202E"));
        QCOMPARE(Link().ModelEU, 1);
        QCOMPARE(Link().BandwidthClass, 4);
        QCOMPARE(Link().SampleCodeMin, 25);
        QCOMPARE(DSOSettings().MathDisplay, math);  // the English ON and OFF words
        // The lock's own 100 ms are followed by 50 ms more before the next command.
        const QList<int> pauses = PauseService::Log();
        const int at = pauses.indexOf(50);
        QVERIFY(at > 0);
        QCOMPARE(pauses[at - 1], 100);
    }

    void refused_data() {
        QTest::addColumn<int>("ioType");
        QTest::addColumn<QString>("identity");
        QTest::addColumn<QString>("model");  // what the refused reply leaves in ScopeModel
        for (int io : {0, 2}) {
            const QString t = io == 2 ? "RS-232: " : "USB: ";
            QTest::newRow(qPrintable(t + "maker in other case"))
                << io << "Tarvo Technologies,KV2202E,SN0001,V1.0" << "";
            QTest::newRow(qPrintable(t + "model ending in D"))
                << io << "TARVO TECHNOLOGIES,KV2152D,SN0001,V1.0" << "KV2152D";
            QTest::newRow(qPrintable(t + "no comma")) << io << "TARVO TECHNOLOGIES" << "";
            QTest::newRow(qPrintable(t + "second brand")) << io << "HOKANE,KV2202E,SN0001,V1.0" << "";
        }
    }
    void refused() {
        QFETCH(int, ioType);
        QFETCH(QString, identity);
        QFETCH(QString, model);
        useTransport(ioType);
        sim.Set("IDN", identity);
        DSOSettings().MathDisplay = "ON";
        ConnectDSO();
        QCOMPARE(messages().size(), 1);
        QCOMPARE(messages()[0].text, QString("Device not found!"));
        QCOMPARE(messages()[0].title, QString("Connect to Oscilloscope"));
        QCOMPARE(messages()[0].style, int(vbExclamation));
        // The panel that was locked is given back. (The last line is a
        // command: the simulator may log it a moment after it went out.)
        QTRY_COMPARE(sim.Log(), kConnectSequence + QStringList{":KEY:LOCK DISABLE"});
        QVERIFY(!Link().IsConnected);
        QVERIFY(!Link().Connecting);
        QCOMPARE(led, QList<bool>{false});
        QCOMPARE(Link().ScopeModel, model);
        QCOMPARE(DSOSettings().MathDisplay, ValueWord(vwOff));
    }

    // A silent instrument: the identity reply times out empty and the connect
    // is refused. (No reply is to come, so the tick may run fast.)
    void silentInstrument() {
        useTransport(2);
        sim.SetFault("silent");
        tick.setInterval(0);
        ConnectDSO();
        tick.setInterval(100);
        QCOMPARE(messages().size(), 1);
        QCOMPARE(messages()[0].text, QString("Device not found!"));
        QVERIFY(!Link().IsConnected);
        QTRY_COMPARE(sim.Log(), kConnectSequence + QStringList{":KEY:LOCK DISABLE"});
    }

    void openFailure_data() {
        QTest::addColumn<int>("ioType");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        QTest::newRow("USB, no device") << 0 << "Can't Connect to USB Device!" << "USB Init";
        QTest::newRow("RS-232, bad port") << 2
                                        << "Invalid port number!\nCOM17 is no port: the ports are COM1 to COM16."
                                        << "RS232 Init";
    }
    void openFailure() {
        QFETCH(int, ioType);
        QFETCH(QString, text);
        QFETCH(QString, title);
        useTransport(ioType);
        qunsetenv("KV2200_VISA_ALIASES");
        Shell().COM_Port = 17;
        ConnectDSO();
        QCOMPARE(messages().size(), 1);
        QCOMPARE(messages()[0].text, text);
        QCOMPARE(messages()[0].title, title);
        QVERIFY(sim.Log().isEmpty());
        QVERIFY(!Link().IsConnected);
        QVERIFY(!Link().LinkOpen);
        QCOMPARE(led, QList<bool>{false});
        QCOMPARE(DSOSettings().MathDisplay, ValueWord(vwOff));
    }

    // Only 2 means the serial line; any other stored value is USB and is kept as 0.
    void otherTransportValuesMeanUsb() {
        useTransport(1);
        ConnectDSO();
        QVERIFY(Link().IsConnected);
        QCOMPARE(Shell().ScopeIOType, 0);
    }

    void disconnect_data() {
        QTest::addColumn<int>("ioType");
        QTest::addColumn<bool>("connectFirst");
        QTest::newRow("USB, connected") << 0 << true;
        QTest::newRow("RS-232, connected") << 2 << true;
        // (The serial line the row before left open; a USB session of an
        // earlier connect is closed by the serial connect.)
        QTest::newRow("not connected") << 2 << false;
    }
    void disconnect() {
        QFETCH(int, ioType);
        QFETCH(bool, connectFirst);
        useTransport(ioType);
        if (connectFirst) {
            ConnectDSO();
            QVERIFY(Link().IsConnected);
        }
        sim.ClearLog();
        led.clear();
        DisconnectDSO();
        if (connectFirst) QTRY_COMPARE(sim.Log(), QStringList{":KEY:LOCK DISABLE"});
        // Nothing at all goes out: a query behind it is the first line logged.
        Link().Connecting = true;
        QueryCmd("*IDN?");
        Link().Connecting = false;
        QCOMPARE(sim.Log(), (connectFirst ? QStringList{":KEY:LOCK DISABLE"} : QStringList{}) + QStringList{"*IDN?"});
        QVERIFY(!Link().IsConnected);
        QCOMPARE(led, QList<bool>{false});
        QVERIFY(messages().isEmpty());
    }

    // The colour mark is asked of the instrument each time, and only while the link talks.
    void colourModel() {
        useTransport(2);
        sim.Set("IDN", "TARVO TECHNOLOGIES,KV2202CE,SN0001,V1.0");
        ConnectDSO();
        QVERIFY(Link().IsConnected);
        QVERIFY(IsColorModel());
        sim.Set("IDN", "TARVO TECHNOLOGIES,KV2202ME,SN0001,V1.0");
        QVERIFY(!IsColorModel());
        DisconnectDSO();
        sim.ClearLog();
        Link().CommandSent = false;
        QVERIFY(Link().LinkOpen);
        QVERIFY(!IsColorModel());
        QVERIFY(sim.Log().isEmpty());
        QVERIFY(Link().CommandSent);
    }

    // A second connect over the serial line reopens the port and runs the whole sequence again.
    void reconnectWhileConnected() {
        useTransport(2);
        ConnectDSO();
        QVERIFY(Link().IsConnected);
        sim.ClearLog();
        ConnectDSO();
        QVERIFY(Link().IsConnected);
        QCOMPARE(sim.Log(), kConnectSequence + QStringList{":MATH:DISPLAY?"});
    }
};

QTEST_MAIN(ConnectTest)
#include "tst_connect.moc"
