// The command layer and the USB transport against the simulated instrument,
// reached through the USB search under its alias, over a real socket.
#include <QtTest>

#include "LinkFixture.h"
#include "Simulator.h"
#include "TestEnv.h"
#include "common/Pause.h"
#include "common/ShellState.h"
#include "common/SystemData.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/ScreenCopyState.h"
#include "link/UsbFunc.h"
#include "platform/dialogs/MsgBox.h"

class UsbSimTest : public QObject {
    Q_OBJECT
    Simulator sim;
    QString defaultIdn;
    QByteArray screenReply;  // the simulator's reply to ":HARDCOPY", read raw

private slots:
    void initTestCase() {
        QVERIFY(LinkFixture::StartUsbSimulator(sim));
        LoadMessages(LangEnglish);
        defaultIdn = sim.Get("IDN");

        // The screen copy as the instrument sends it, through a session of our own.
        ViSession vi = VI_NULL;
        QCOMPARE(viOpen(Usb().DefaultRM, Simulator::AliasName().toLatin1().constData(), VI_NO_LOCK, 0, &vi),
                 VI_SUCCESS);
        ViUInt32 n = 0;
        QCOMPARE(viWrite(vi, reinterpret_cast<const ViByte*>(":HARDCOPY\n"), 10, &n), VI_SUCCESS);
        screenReply.resize(100000);
        QCOMPARE(viRead(vi, reinterpret_cast<ViByte*>(screenReply.data()), 100000, &n), VI_SUCCESS);
        screenReply.resize(int(n));
        QCOMPARE(screenReply.size(), 77878);
        viClose(vi);
    }
    void init() {
        QVERIFY(LinkFixture::ReconnectUsb(sim));
        QCOMPARE(Usb().UsbResource, Simulator::AliasName());
        Link().CommandSent = false;
        ScreenCopy().ScreenCopyRunning = ScreenCopy().ScreenCopyOpen = true;
        sim.ClearLog();
        PauseService::ClearLog();
        MsgBoxService::ClearLog();
    }
    void cleanupTestCase() { LinkFixture::StopSimulator(sim); }

    void gateWritesAndReadsNothingWhileNotConnected() {
        Link().IsConnected = false;
        SendCmd(":KEY:LOCK ENABLE");
        QCOMPARE(QueryCmd("*IDN?"), QString());
        QVERIFY(Link().CommandSent);
        QCOMPARE(PauseService::Log(), QList<int>{100});
        // Once the gate opens, the first thing the instrument sees is the probe.
        Link().IsConnected = true;
        QVERIFY(QueryCmd("*IDN?").startsWith("TARVO TECHNOLOGIES,"));
        QCOMPARE(sim.Log(), QStringList{"*IDN?"});
        QVERIFY(MsgBoxService::Log().isEmpty());
    }

    void commandsPauseAndQueriesDoNot() {
        SendCmd(":RUN");
        SendCmd(":STOP");
        QCOMPARE(PauseService::Log(), (QList<int>{100, 100}));
        QCOMPARE(QueryCmd(":TRIGGER:STATUS?"), QString("STOP\n"));  // line feed kept
        QCOMPARE(PauseService::Log(), (QList<int>{100, 100}));
        QCOMPARE(sim.Log(), (QStringList{":RUN", ":STOP", ":TRIGGER:STATUS?"}));
    }

    void textReplyOf300BytesIsCutAt256() {
        const QString idn = "TARVO TECHNOLOGIES,KV2202E," + QString(271, 'S');  // 299 + line feed
        sim.Set("IDN", idn);
        const QString reply = QueryCmd("*IDN?");
        sim.Set("IDN", defaultIdn);
        QCOMPARE(reply, idn.left(256));
    }

    void blockRead() {
        Link().WaveSamples.fill(-1);
        SendCmd(":WAVEFORM:DATA? CHANNEL1");
        int32_t count = 0;
        ReadVisaBlock(count);
        QCOMPARE(count, 600);
        const auto& w = Link().WaveSamples;
        QCOMPARE(w[0], -1);
        QCOMPARE(w[601], -1);
        QVERIFY(std::all_of(w.begin() + 1, w.begin() + 601, [](int32_t v) { return v >= 25 && v <= 224; }));
        QCOMPARE(PauseService::Log(), QList<int>{100});
    }

    void systemData_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("stored");
        QTest::newRow("record") << "none" << 116;
        QTest::newRow("oversized reply is cut at the buffer") << "oversize 50" << 120;
    }
    void systemData() {
        QFETCH(QString, fault);
        QFETCH(int, stored);
        sim.SetFault(fault);
        Link().SystemDataBuf.fill(0xEE);
        SendCmd(":SYSTEM:DATA?");
        ReadSystemDataVisa();
        const auto& buf = Link().SystemDataBuf;
        const SystemDataRecord rec = SystemDataRecord::FromBytes(
            QByteArray(reinterpret_cast<const char*>(buf.data()), SystemDataRecord::Size));
        QCOMPARE(rec.TraceFirstX, int16_t(0));
        QCOMPARE(rec.TraceLastX, int16_t(299));
        QCOMPARE(std::count(buf.begin() + stored, buf.end(), uint8_t(0xEE)), long(120 - stored));
        QVERIFY(MsgBoxService::Log().isEmpty());
        sim.SetFault("none");
        QVERIFY(QueryCmd("*IDN?").startsWith("TARVO"));  // nothing of it left over
    }

    void screenCopyChunk_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("from");  // reply byte that becomes pixel 0; -1 short, -2 too long
        QTest::newRow("as sent") << "none" << 2998;
        QTest::newRow("one byte longer") << "oversize 1" << -2;
        QTest::newRow("one short of a reply") << "truncate 77877" << -1;
        QTest::newRow("ten bytes") << "truncate 10" << -1;
        QTest::newRow("read limit") << "oversize 22122" << -2;
    }
    void screenCopyChunk() {
        QFETCH(QString, fault);
        QFETCH(int, from);
        sim.SetFault(fault);
        SendCmd(":HARDCOPY");
        std::vector<uint8_t> dest(ScreenCopyStateData::ImageBytes + 1, 0xEE);
        const HardcopyChunk r = ReadHardcopyChunk(dest);
        if (from < 0) {
            // A short read goes on reading; a longer one is refused, reported
            // (no command was sent during it) and the link dropped.
            QCOMPARE(r, from == -1 ? HardcopyChunk::ReadAgain : HardcopyChunk::Failed);
            QCOMPARE(LinkFixture::ShownTexts(),
                     from == -1 ? QStringList() : QStringList{LinkFixture::DroppedLinkMessage(false)});
            QCOMPARE(dest, std::vector<uint8_t>(ScreenCopyStateData::ImageBytes + 1, 0xEE));
            return;
        }
        QVERIFY(MsgBoxService::Log().isEmpty());
        const QByteArray& reply = screenReply;
        QCOMPARE(r, HardcopyChunk::Image);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(dest.data()), 74879), reply.mid(from, 74879));
        QCOMPARE(dest[74879], uint8_t(0xEE));
    }

    void screenCopyLoop() {
        std::vector<uint8_t> dest(ScreenCopyStateData::ImageBytes + 1, 0);
        QVERIFY(GetHardcopyVisa(dest));
        QCOMPARE(sim.Log(), QStringList{":HARDCOPY"});
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(dest.data()), 74879), screenReply.mid(2998, 74879));
        QVERIFY(!Link().CommandSent);

        // A silent instrument with no command since the last image drops the link.
        sim.SetFault("silent");
        SendCmd(":HARDCOPY");
        QCOMPARE(ReadHardcopyChunk(dest), HardcopyChunk::Failed);
        QCOMPARE(LinkFixture::ShownTexts(), QStringList{LinkFixture::DroppedLinkMessage(false)});
        QVERIFY(!Link().IsConnected);
    }

    // A connection closed during a reply is reported at once and the link
    // counts as disconnected: the next command is not written and fails no more.
    void instrumentDropsTheLinkDuringAReply() {
        sim.SetFault("drop 5");
        QCOMPARE(QueryCmd("*IDN?"), QString());  // cut short: no reply
        QCOMPARE(LinkFixture::ShownTexts(), QStringList{LinkFixture::DroppedLinkMessage(false)});
        QVERIFY(!Link().IsConnected);
        SendCmd(":KEY:LOCK DISABLE");
        QCOMPARE(MsgBoxService::Log().size(), 1);
        QCOMPARE(PauseService::Log(), QList<int>{100});
    }
};

QTEST_MAIN(UsbSimTest)
#include "tst_usbsim.moc"
