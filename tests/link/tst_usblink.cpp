// The command layer over the USB transport, against a scripted instrument on
// a real socket reached through an alias: the gate, the pauses, the reads and
// their bounds, the screen copy, and the failure paths.
#include <QtTest>

#include "FakeTcpInstrument.h"
#include "LinkFixture.h"
#include "TestEnv.h"
#include "common/Pause.h"
#include "common/ShellState.h"
#include "common/Wait.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/ScreenCopyState.h"
#include "link/UsbFunc.h"
#include "platform/dialogs/MsgBox.h"

namespace {
const QString kNameA = "USB0::0x0400::0x05DC::SIM0001::INSTR";
const QString kNameB = "USB0::0x0400::0x05DC::SIM0002::INSTR";

std::string bytesOf(int n) {
    std::string s(size_t(n), '\0');
    for (int i = 0; i < n; ++i) s[size_t(i)] = char((i * 7 + i / 251) & 0xFF);
    return s;
}

void setAliases(const QList<QPair<QString, QString>>& pairs) {
    QStringList parts;
    for (const auto& p : pairs) parts << p.first + "=" + p.second;
    qputenv("KV2200_VISA_ALIASES", parts.join(';').toLatin1());
}

}  // namespace

class UsbLinkTest : public QObject {
    Q_OBJECT
    FakeReplyScript script, scriptB;
    std::unique_ptr<FakeTcpInstrument> fake, fakeB;
    QList<bool> leds;

    // Opens the first instrument the search finds and marks the link connected.
    void connectTo(const QString& target) {
        setAliases({{kNameA, target}});
        LinkFixture::OpenUsbAsConnected();
    }

private slots:
    void initTestCase() {
        TestEnv::Init();
        LoadMessages(LangEnglish);
        Visa::SetDefaultTimeoutMs(200);
        fake = std::make_unique<FakeTcpInstrument>(std::ref(script));
        fakeB = std::make_unique<FakeTcpInstrument>(std::ref(scriptB));
        script.Set(":RUN?", "RUN\n");
        scriptB.Set(":RUN?", "STOP\n");
        LinkUi().ShowConnectionLed = [this](bool on) { leds << on; };
        OpenVisaRM();
    }
    void init() {
        Shell().ScopeIOType = 0;
        LoadMessages(LangEnglish);
        connectTo(fake->Target());
        QVERIFY(Link().IsConnected);
        Link().CommandSent = false;
        ScreenCopy().ScreenCopyRunning = ScreenCopy().ScreenCopyOpen = true;
        leds.clear();
        fake->ClearLog();
        PauseService::ClearLog();
        MsgBoxService::ClearLog();
    }
    void cleanupTestCase() { CloseVisaRM(); }

    void gateRefusesEverythingWhileNotConnected() {
        Link().IsConnected = false;
        SendCmd(":KEY:LOCK ENABLE");
        QCOMPARE(QueryCmd(":RUN?"), QString());
        QVERIFY(Link().CommandSent);
        int32_t count = -5;
        ReadVisaBlock(count);
        QCOMPARE(count, -5);
        const auto sysBefore = Link().SystemDataBuf;
        ReadSystemDataVisa();
        QCOMPARE(Link().SystemDataBuf, sysBefore);
        std::vector<uint8_t> dest(ScreenCopyStateData::ImageBytes + 1, 0xEE);
        QCOMPARE(ReadHardcopyChunk(dest), HardcopyChunk::NoCopy);
        QVERIFY(!GetHardcopyVisa(dest));
        QCOMPARE(count, -5);
        QCOMPARE(dest, std::vector<uint8_t>(ScreenCopyStateData::ImageBytes + 1, 0xEE));
        QCOMPARE(PauseService::Log(), QList<int>{100});  // the command's pause is kept
        QVERIFY(MsgBoxService::Log().isEmpty());

        // A connect in progress opens the gate; the instrument got nothing before.
        Link().Connecting = true;
        QCOMPARE(QueryCmd(":RUN?"), QString("RUN\n"));
        Link().Connecting = false;
        QCOMPARE(fake->Log(), QStringList{":RUN?"});
    }

    void commandsPauseAndQueriesDoNot_data() {
        QTest::addColumn<int>("ioType");
        QTest::newRow("usb") << 0;
        QTest::newRow("other value is usb too") << 1;
        QTest::newRow("any but serial") << 7;
    }
    void commandsPauseAndQueriesDoNot() {
        QFETCH(int, ioType);
        Shell().ScopeIOType = ioType;
        SendCmd(":STOP");
        QCOMPARE(PauseService::Log(), QList<int>{100});
        QCOMPARE(QueryCmd(":RUN?"), QString("RUN\n"));  // unchanged, line feed kept
        QCOMPARE(PauseService::Log(), QList<int>{100});
        QCOMPARE(fake->Log(), (QStringList{":STOP", ":RUN?"}));
        QVERIFY(Link().CommandSent);
        QCOMPARE(CopyText(":STOP"), QString(":STOP"));
    }

    void longTextReplyIsCutAt256() {
        script.Set("LONG?", std::string(299, 'x') + "\n");
        QCOMPARE(QueryCmd("LONG?"), QString(256, 'x'));
        // The rest of that reply is dropped: the next query gets its own reply.
        script.Set("NEXT?", "ok\n");
        QCOMPARE(QueryCmd("NEXT?"), QString("ok\n"));
    }

    void blockReadFillsWaveSamplesFromOne() {
        Link().WaveSamples.fill(-1);
        script.Set(":WAVEFORM:DATA? CHANNEL1", std::string("\xff\x00\x0a\x80\x7f", 5));
        SendCmd(":WAVEFORM:DATA? CHANNEL1");
        int32_t count = 0;
        QCOMPARE(ReadVisaBlock(count), QString());
        QCOMPARE(count, 5);
        const auto& w = Link().WaveSamples;
        QCOMPARE(QList<int32_t>({w[0], w[1], w[2], w[3], w[4], w[5], w[6]}),
                 QList<int32_t>({-1, 255, 0, 10, 128, 127, -1}));

        // A block longer than the buffer is cut at 8192 bytes.
        script.Set(":WAVEFORM:DATA? CHANNEL2", bytesOf(9000));
        SendCmd(":WAVEFORM:DATA? CHANNEL2");
        ReadVisaBlock(count);
        QCOMPARE(count, 8192);
        QCOMPARE(w[8192], int32_t(uint8_t(bytesOf(9000)[8191])));
    }

    void systemDataIsReadWholeAndBounded_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("stored");
        QTest::newRow("record") << 116 << 116;
        QTest::newRow("longer than the buffer") << 300 << 120;
    }
    void systemDataIsReadWholeAndBounded() {
        QFETCH(int, size);
        QFETCH(int, stored);
        Link().SystemDataBuf.fill(0xEE);
        script.Set(":SYSTEM:DATA?", bytesOf(size));
        SendCmd(":SYSTEM:DATA?");
        ReadSystemDataVisa();
        const QByteArray got(reinterpret_cast<const char*>(Link().SystemDataBuf.data()), 120);
        QCOMPARE(got.left(stored), QByteArray::fromStdString(bytesOf(size)).left(stored));
        QCOMPARE(got.mid(stored), QByteArray(120 - stored, char(0xEE)));
        QVERIFY(MsgBoxService::Log().isEmpty());
        // Nothing of the reply is left over for the next query.
        QCOMPARE(QueryCmd(":RUN?"), QString("RUN\n"));
    }

    void systemDataReadFailureDropsTheLink() {
        LoadMessages(LangChinese);  // the text is taken when shown
        script.SetReply(":SYSTEM:DATA?", {});
        SendCmd(":SYSTEM:DATA?");
        ReadSystemDataVisa();
        QCOMPARE(LinkFixture::ShownTexts(), QStringList{QString::fromUtf8("不能通过USB设备读取数据！\n与示波器的连接已关闭。如需重新连接，请选择“工具 > 连接示波器”。 / USB读取信息")});
        QCOMPARE(MsgBoxService::Log().first().style, int(vbExclamation));
        QVERIFY(!Link().IsConnected);
        QCOMPARE(leds, QList<bool>{false});
    }

    void screenCopyChunk_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("from");  // first reply byte of the image; -1 short, -2 too long
        QTest::newRow("one reply") << 77878 << 2998;
        QTest::newRow("one byte over") << 77879 << -2;
        QTest::newRow("read limit") << 100000 << -2;
        QTest::newRow("one byte short") << 77877 << -1;
        QTest::newRow("a screen without its header") << 74880 << -1;
        QTest::newRow("10") << 10 << -1;
    }
    void screenCopyChunk() {
        QFETCH(int, size);
        QFETCH(int, from);
        const std::string reply = bytesOf(size);
        script.Set(":HARDCOPY", reply);
        std::vector<uint8_t> dest(ScreenCopyStateData::ImageBytes + 1, 0xEE);
        SendCmd(":HARDCOPY");
        Link().CommandSent = true;
        int received = -1;
        const HardcopyChunk r = ReadHardcopyChunk(dest, &received);
        QCOMPARE(received, size);
        QVERIFY(MsgBoxService::Log().isEmpty());
        if (from < 0) {
            // A short read goes on reading; a longer one is refused (here a
            // command was sent meanwhile, so quietly).
            QCOMPARE(r, from == -1 ? HardcopyChunk::ReadAgain : HardcopyChunk::Ended);
            QVERIFY(Link().CommandSent);
            QCOMPARE(dest, std::vector<uint8_t>(ScreenCopyStateData::ImageBytes + 1, 0xEE));
            return;
        }
        QCOMPARE(r, HardcopyChunk::Image);
        QVERIFY(!Link().CommandSent);
        QVERIFY(std::equal(dest.begin(), dest.begin() + 74879, reply.begin() + from,
                           [](uint8_t a, char b) { return a == uint8_t(b); }));
        QCOMPARE(dest[74879], uint8_t(0xEE));  // the last element is not written
    }

    void screenCopyLoopReadsTheSameReplyUntilAnImage() {
        const std::string image = bytesOf(77878);
        script.SetReply(":HARDCOPY", {FakeTcpInstrument::Frame(bytesOf(10)) + FakeTcpInstrument::Frame(bytesOf(50000)) +
                                      FakeTcpInstrument::Frame(image)});
        std::vector<uint8_t> dest(ScreenCopyStateData::ImageBytes + 1, 0);
        QVERIFY(GetHardcopyVisa(dest));
        QCOMPARE(fake->Log(), QStringList{":HARDCOPY"});
        QCOMPARE(PauseService::Log(), QList<int>{100});
        QCOMPARE(dest[0], uint8_t(image[2998]));
        QCOMPARE(dest[74878], uint8_t(image[77876]));

        // Over the serial line there is no screen copy.
        Shell().ScopeIOType = 2;
        QVERIFY(!GetHardcopyVisa(dest));
        QCOMPARE(fake->Log(), QStringList{":HARDCOPY"});
    }

    void screenCopyReadFailure_data() {
        QTest::addColumn<bool>("commandSent");
        QTest::newRow("right after a key command") << true;
        QTest::newRow("no command since the last image") << false;
    }
    void screenCopyReadFailure() {
        QFETCH(bool, commandSent);
        script.SetReply(":HARDCOPY", {});  // the instrument stays silent
        SendCmd(":HARDCOPY");
        Link().CommandSent = commandSent;
        std::vector<uint8_t> dest(ScreenCopyStateData::ImageBytes + 1, 0);
        int received = -1;
        QCOMPARE(ReadHardcopyChunk(dest, &received), commandSent ? HardcopyChunk::Ended : HardcopyChunk::Failed);
        QCOMPARE(received, 0);  // never a preset count
        QCOMPARE(dest, std::vector<uint8_t>(ScreenCopyStateData::ImageBytes + 1, 0));
        QCOMPARE(Link().IsConnected, commandSent);
        QCOMPARE(LinkFixture::ShownTexts(), commandSent ? QStringList()
                                           : QStringList{LinkFixture::DroppedLinkMessage(false)});
    }

    void screenCopyLoopEndsWhenThePanelStopsAfterALinkFailure() {
        script.SetReply(":HARDCOPY", {});
        QTimer::singleShot(0, [] {
            ScreenCopy().ScreenCopyRunning = false;
            NotifyWaiters();
        });
        std::vector<uint8_t> dest(ScreenCopyStateData::ImageBytes + 1, 0);
        QVERIFY(!GetHardcopyVisa(dest));
        QVERIFY(!Link().IsConnected);
        QCOMPARE(MsgBoxService::Log().size(), 1);
        QCOMPARE(fake->Log(), QStringList{":HARDCOPY"});
    }

    void linkDroppedDuringAReadIsReported() {
        // The instrument drops the link in the middle of a reply.
        script.SetReply("DROP?", {FakeTcpInstrument::Frame("0123456789").substr(0, 7), true});
        // A reply cut short is no reply; the lost connection is said at once
        // and the link counts as disconnected.
        QCOMPARE(QueryCmd("DROP?"), QString());
        QVERIFY(Link().ReplyFailed);
        QCOMPARE(LinkFixture::ShownTexts(), QStringList{LinkFixture::DroppedLinkMessage(false)});
        QCOMPARE(MsgBoxService::Log().first().style, int(vbExclamation));
        QVERIFY(!Link().IsConnected);
        QCOMPARE(leds, QList<bool>{false});
        // Now gated: nothing is written, no further message.
        SendCmd(":KEY:LOCK DISABLE");
        QCOMPARE(MsgBoxService::Log().size(), 1);
        QCOMPARE(PauseService::Log(), QList<int>{100});

        // A write on the lost session (during a connect) fails and says so;
        // the state is left to the connect.
        Link().Connecting = true;
        SendCmd(":KEY:LOCK ENABLE");
        Link().Connecting = false;
        QCOMPARE(LinkFixture::ShownTexts().value(1), QString("Can't Connect to USB Device! / USB Send Message"));
        QCOMPARE(leds, QList<bool>{false});
    }

    void openPicksTheFirstFoundAndKeepsIt() {
        setAliases({{kNameA, fake->Target()}, {kNameB, fakeB->Target()}});
        Usb().UsbDeviceIndex = 0;
        OpenVisa();
        QVERIFY(Link().LinkOpen);
        QCOMPARE(Usb().UsbDeviceIndex, 1);
        QCOMPARE(Usb().UsbResource, kNameA);
        // The search order changes; the choice stays.
        setAliases({{kNameB, fakeB->Target()}, {kNameA, fake->Target()}});
        OpenVisa();
        QCOMPARE(Usb().UsbResourceList[0], kNameB);
        QCOMPARE(Usb().UsbResource, kNameA);
        QCOMPARE(QueryCmd(":RUN?"), QString("RUN\n"));
        QVERIFY(MsgBoxService::Log().isEmpty());
    }

    void openFailures_data() {
        QTest::addColumn<bool>("anyPresent");
        QTest::newRow("chosen device unplugged, another present") << true;
        QTest::newRow("no device at all") << false;
    }
    void openFailures() {
        QFETCH(bool, anyPresent);
        if (!anyPresent && !Visa::UsbtmcDevices().isEmpty()) QSKIP("a USBTMC instrument is attached");
        setAliases(anyPresent ? QList<QPair<QString, QString>>{{kNameB, fakeB->Target()}}
                              : QList<QPair<QString, QString>>{});
        Usb().UsbDeviceIndex = 1;
        Usb().UsbResource = kNameA;
        OpenVisa();
        QVERIFY(!Link().LinkOpen);
        QCOMPARE(LinkFixture::ShownTexts(), QStringList{"Can't Connect to USB Device! / USB Init"});
        QCOMPARE(MsgBoxService::Log().first().style, int(vbExclamation));
    }
};

QTEST_MAIN(UsbLinkTest)
#include "tst_usblink.moc"
