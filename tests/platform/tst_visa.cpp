// The VISA layer over TCP (against a scripted local instrument), its search
// expressions and aliases, and the USBTMC device names taken from sysfs.
#include <QtTest>

#include <atomic>
#include <cstring>
#include <string>

#include "FakeTcpInstrument.h"
#include "TestEnv.h"
#include "platform/visa/Visa.h"

namespace {
std::string bytesOf(int n, int seed) {
    std::string s(size_t(n), '\0');
    for (int i = 0; i < n; ++i) s[size_t(i)] = char((i * 7 + seed) & 0xFF);
    return s;
}

// A device clear's mark: the length word FFFFFFFF and the clear's number.
std::string mark(uint32_t n) {
    return std::string(4, '\xff') + std::string{char(n & 0xFF), char((n >> 8) & 0xFF), char((n >> 16) & 0xFF),
                                                char((n >> 24) & 0xFF)};
}
std::atomic<bool> clearsAnswered{true};

FakeTcpInstrument::Reply script(const std::string& line) {
    using F = FakeTcpInstrument;
    if (!line.empty() && line[0] == '\x18') {
        // What was on its way before the clear, an earlier clear's mark, and
        // half a message, all ahead of this clear's mark.
        if (!clearsAnswered) return {};
        const uint32_t n = uint32_t(std::stoul(line.substr(1)));
        return {F::Frame("STALE\n") + mark(n - 1) + F::Frame("OLD\n") + mark(n)};
    }
    if (line == "MARKED?") return {mark(77) + F::Frame("M\n")};
    if (line == "TEXT300?") return {F::Frame(std::string(299, 'x') + "\n")};
    if (line == "TWO?") return {F::Frame("A\n") + F::Frame("B\n")};
    if (line == "BIN?") return {F::Frame(std::string("\x00\x0a\xff\x80", 4))};
    if (line == "EMPTY?") return {F::Frame("")};
    if (line == "REC300?") return {F::Frame(bytesOf(300, 3))};
    if (line == "ECHO?") return {F::Frame("E\n")};
    if (line == "HALF?") return {F::Frame("0123456789").substr(0, 8), true};  // 4 of 10 bytes, then gone
    return {};  // silent
}

QByteArray readOnce(ViSession vi, ViUInt32 max, ViStatus* st) {
    QByteArray buf(int(max), '\0');
    ViUInt32 n = 0;
    *st = viRead(vi, reinterpret_cast<ViByte*>(buf.data()), max, &n);
    return buf.left(int(n));
}

ViStatus writeText(ViSession vi, const QByteArray& text) {
    ViUInt32 n = 0;
    return viWrite(vi, reinterpret_cast<const ViByte*>(text.constData()), ViUInt32(text.size()), &n);
}

void writeFile(const QString& path, const QByteArray& text) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text);
}
}  // namespace

class VisaTest : public QObject {
    Q_OBJECT
    std::unique_ptr<FakeTcpInstrument> fake;
    ViSession rm = VI_NULL;
    ViSession vi = VI_NULL;

private slots:
    void initTestCase() {
        TestEnv::Init();
        fake = std::make_unique<FakeTcpInstrument>(script);
        QCOMPARE(viOpenDefaultRM(&rm), VI_SUCCESS);
    }
    void init() {
        Visa::SetDefaultTimeoutMs(300);
        qputenv("KV2200_VISA_ALIASES", "USB0::0x0400::0x05DC::SIM0001::INSTR=" + fake->Target().toLatin1());
        QCOMPARE(viOpen(rm, "USB0::0x0400::0x05DC::SIM0001::INSTR", VI_NO_LOCK, 0, &vi), VI_SUCCESS);
    }
    void cleanup() { viClose(vi); }

    void searchFindsAliasesInOrderAndOpensTheirTargets() {
        qputenv("KV2200_VISA_ALIASES",
                " USB0::0x0400::0x05DC::SIM0001::INSTR=" + fake->Target().toLatin1() +
                    ";GPIB0::7::INSTR=" + fake->Target().toLatin1() +
                    ";broken;USB0::0x0400::0x05DC::SIM0002::INSTR=TCPIP::127.0.0.1::1::SOCKET");
        ViChar desc[VI_FIND_BUFLEN];
        ViFindList list = VI_NULL;
        ViUInt32 count = 0;
        QCOMPARE(viFindRsrc(rm, "USB?*INSTR", &list, &count, desc), VI_SUCCESS);
        QCOMPARE(count, 2u);
        QCOMPARE(QString(desc), QString("USB0::0x0400::0x05DC::SIM0001::INSTR"));
        QCOMPARE(viFindNext(list, desc), VI_SUCCESS);
        QCOMPARE(QString(desc), QString("USB0::0x0400::0x05DC::SIM0002::INSTR"));
        QCOMPARE(viFindNext(list, desc), VI_ERROR_RSRC_NFOUND);

        // Names are case-insensitive; a target that does not answer fails the open.
        ViSession s = VI_NULL;
        QCOMPARE(viOpen(rm, "usb0::0x0400::0x05dc::SIM0001::instr", VI_NO_LOCK, 0, &s), VI_SUCCESS);
        QCOMPARE(writeText(s, "ECHO?\n"), VI_SUCCESS);
        ViStatus st;
        QCOMPARE(readOnce(s, 256, &st), QByteArray("E\n"));
        viClose(s);
        QVERIFY(viOpen(rm, "USB0::0x0400::0x05DC::SIM0002::INSTR", VI_NO_LOCK, 0, &s) < VI_SUCCESS);
        QCOMPARE(viOpen(rm, "USB0::0x0400::0x05DC::NOSUCH::INSTR", VI_NO_LOCK, 0, &s), VI_ERROR_RSRC_NFOUND);
        QCOMPARE(s, VI_NULL);
        QCOMPARE(viOpen(rm, "nonsense", VI_NO_LOCK, 0, &s), VI_ERROR_INV_RSRC_NAME);

        // No alias (and no USBTMC instrument here): nothing found, no error beyond that.
        if (!Visa::UsbtmcDevices().isEmpty()) QSKIP("a USBTMC instrument is attached");
        qputenv("KV2200_VISA_ALIASES", "");
        std::strcpy(desc, "stale");
        QCOMPARE(viFindRsrc(rm, "USB?*INSTR", &list, &count, desc), VI_ERROR_RSRC_NFOUND);
        QCOMPARE(count, 0u);
        QCOMPARE(QString(desc), QString());
    }

    void expressions_data() {
        QTest::addColumn<QString>("expr");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<bool>("matches");
        const QString usb = "USB0::0x0400::0x05DC::SIM0001::INSTR";
        QTest::newRow("usb instr") << "USB?*INSTR" << usb << true << true;
        QTest::newRow("any case") << "USB?*INSTR" << usb.toLower() << true << true;
        QTest::newRow("socket is no usb") << "USB?*INSTR" << "TCPIP::127.0.0.1::5025::SOCKET" << true << false;
        QTest::newRow("whole name only") << "USB?*INSTR" << usb + "X" << true << false;
        QTest::newRow("question is one char") << "USB?::?*" << "USB0::x" << true << true;
        QTest::newRow("set") << "USB[0-3]::?*" << "USB4::x" << true << false;
        QTest::newRow("dots are literal") << "TCPIP::1.2?*" << "TCPIP::1x2" << true << false;
        QTest::newRow("nothing to repeat") << "*INSTR" << usb << false << false;
        QTest::newRow("open set") << "USB[0?*" << usb << false << false;
    }
    void expressions() {
        QFETCH(QString, expr);
        QFETCH(QString, name);
        QFETCH(bool, valid);
        QFETCH(bool, matches);
        bool ok = !valid;
        QCOMPARE(Visa::MatchesExpression(expr, name, &ok), matches);
        QCOMPARE(ok, valid);
        if (!valid) {
            ViFindList list;
            ViUInt32 count;
            ViChar desc[VI_FIND_BUFLEN];
            QCOMPARE(viFindRsrc(rm, expr.toLatin1().constData(), &list, &count, desc), VI_ERROR_INV_EXPR);
        }
    }

    void readsStopAtTheCountOrTheEndOfTheMessage() {
        ViStatus st;
        QCOMPARE(writeText(vi, "TEXT300?\n"), VI_SUCCESS);
        QCOMPARE(readOnce(vi, 256, &st), QByteArray(256, 'x'));
        QCOMPARE(st, VI_SUCCESS_MAX_CNT);
        QCOMPARE(readOnce(vi, 256, &st), QByteArray(43, 'x') + "\n");  // the rest of the same message
        QCOMPARE(st, VI_SUCCESS);

        // Two messages that arrive together are still two reads.
        QCOMPARE(writeText(vi, "TWO?\n"), VI_SUCCESS);
        QCOMPARE(readOnce(vi, 256, &st), QByteArray("A\n"));
        QCOMPARE(readOnce(vi, 256, &st), QByteArray("B\n"));

        // Binary bytes pass untouched, an empty message is an empty read.
        QCOMPARE(writeText(vi, "BIN?\n"), VI_SUCCESS);
        QCOMPARE(readOnce(vi, 8192, &st), QByteArray("\x00\x0a\xff\x80", 4));
        QCOMPARE(st, VI_SUCCESS);
        QCOMPARE(writeText(vi, "EMPTY?\n"), VI_SUCCESS);
        QCOMPARE(readOnce(vi, 256, &st), QByteArray());
        QCOMPARE(st, VI_SUCCESS);
        const QStringList log = fake->Log();
        QCOMPARE(log.mid(log.size() - 4), (QStringList{"TEXT300?", "TWO?", "BIN?", "EMPTY?"}));
    }

    // A flush drops the rest of a message already begun and every message
    // waiting: the next read is the reply to the next request.
    void flushDropsWhatIsWaiting() {
        ViStatus st;
        QCOMPARE(writeText(vi, "TEXT300?\n"), VI_SUCCESS);
        QCOMPARE(readOnce(vi, 256, &st), QByteArray(256, 'x'));
        QCOMPARE(viFlush(vi, VI_READ_BUF_DISCARD), VI_SUCCESS);
        QCOMPARE(writeText(vi, "TWO?\n"), VI_SUCCESS);
        QCOMPARE(readOnce(vi, 256, &st), QByteArray("A\n"));
        QCOMPARE(viFlush(vi, VI_READ_BUF_DISCARD), VI_SUCCESS);
        QCOMPARE(writeText(vi, "ECHO?\n"), VI_SUCCESS);
        QCOMPARE(readOnce(vi, 256, &st), QByteArray("E\n"));
        QCOMPARE(st, VI_SUCCESS);
        // Nothing waiting: nothing later is lost.
        QCOMPARE(viFlush(vi, VI_READ_BUF_DISCARD), VI_SUCCESS);
        QCOMPARE(writeText(vi, "ECHO?\n"), VI_SUCCESS);
        QCOMPARE(readOnce(vi, 256, &st), QByteArray("E\n"));
    }

    // A device clear drops everything that comes before its own mark, an
    // earlier clear's mark included; a mark met by a read is skipped. A
    // clear whose mark does not come times out, and the next one still
    // finds its own.
    void clearDropsWhatCameBeforeItsMark() {
        ViStatus st;
        QCOMPARE(writeText(vi, "TEXT300?\n"), VI_SUCCESS);
        QCOMPARE(readOnce(vi, 10, &st), QByteArray(10, 'x'));
        QCOMPARE(viClear(vi), VI_SUCCESS);
        QCOMPARE(writeText(vi, "ECHO?\n"), VI_SUCCESS);
        QCOMPARE(readOnce(vi, 256, &st), QByteArray("E\n"));
        QCOMPARE(writeText(vi, "MARKED?\n"), VI_SUCCESS);
        QCOMPARE(readOnce(vi, 256, &st), QByteArray("M\n"));
        QCOMPARE(st, VI_SUCCESS);

        clearsAnswered = false;
        QCOMPARE(viClear(vi), VI_ERROR_TMO);
        clearsAnswered = true;
        QCOMPARE(viClear(vi), VI_SUCCESS);
        QCOMPARE(writeText(vi, "ECHO?\n"), VI_SUCCESS);
        QCOMPARE(readOnce(vi, 256, &st), QByteArray("E\n"));
    }

    void silenceTimesOutAndADroppedLinkFailsTheNextWrite() {
        ViStatus st;
        QCOMPARE(writeText(vi, "SILENT?\n"), VI_SUCCESS);
        QCOMPARE(readOnce(vi, 256, &st), QByteArray());
        QCOMPARE(st, VI_ERROR_TMO);

        QCOMPARE(writeText(vi, "HALF?\n"), VI_SUCCESS);
        QCOMPARE(readOnce(vi, 256, &st), QByteArray("0123"));
        QCOMPARE(st, VI_ERROR_CONN_LOST);
        QCOMPARE(writeText(vi, "ECHO?\n"), VI_ERROR_CONN_LOST);
    }

    void formattedReadTakesTheWholeMessageIntoABoundedBuffer() {
        QCOMPARE(writeText(vi, "REC300?\n"), VI_SUCCESS);
        QByteArray buf(121, char(0x5A));
        ViUInt32 stored = 0;
        QCOMPARE(viScanf(vi, "%t", reinterpret_cast<ViByte*>(buf.data()), 120, &stored), VI_SUCCESS);
        QCOMPARE(stored, 120u);
        QCOMPARE(buf.left(120), QByteArray::fromStdString(bytesOf(120, 3)));
        QCOMPARE(buf.at(120), char(0x5A));  // nothing written past the buffer
        // The rest of the long message was dropped: the next read is the next reply.
        QCOMPARE(writeText(vi, "ECHO?\n"), VI_SUCCESS);
        ViStatus st;
        QCOMPARE(readOnce(vi, 256, &st), QByteArray("E\n"));

        QCOMPARE(viScanf(vi, "%s", reinterpret_cast<ViByte*>(buf.data()), 120, &stored), VI_ERROR_INV_FMT);
        QCOMPARE(writeText(vi, "SILENT?\n"), VI_SUCCESS);
        QCOMPARE(viScanf(vi, "%t", reinterpret_cast<ViByte*>(buf.data()), 120, &stored), VI_ERROR_TMO);
    }

    void closingTheManagerEndsItsSessionsAndLists() {
        ViSession rm2 = VI_NULL, s = VI_NULL;
        QCOMPARE(viOpenDefaultRM(&rm2), VI_SUCCESS);
        QCOMPARE(viOpen(rm2, "USB0::0x0400::0x05DC::SIM0001::INSTR", VI_NO_LOCK, 0, &s), VI_SUCCESS);
        ViFindList list;
        ViUInt32 count;
        ViChar desc[VI_FIND_BUFLEN];
        QCOMPARE(viFindRsrc(rm2, "USB?*INSTR", &list, &count, desc), VI_SUCCESS);
        QCOMPARE(viClose(rm2), VI_SUCCESS);
        QCOMPARE(writeText(s, "ECHO?\n"), VI_ERROR_INV_OBJECT);
        QCOMPARE(viFindNext(list, desc), VI_ERROR_INV_OBJECT);
        QCOMPARE(viClose(rm2), VI_ERROR_INV_OBJECT);
        // The other manager's session is untouched.
        QCOMPARE(writeText(vi, "ECHO?\n"), VI_SUCCESS);
    }

    void timeoutSetting() {
        Visa::SetDefaultTimeoutMs(0);
        qputenv("KV2200_VISA_TIMEOUT_MS", "250");
        QCOMPARE(Visa::DefaultTimeoutMs(), 250);
        qputenv("KV2200_VISA_TIMEOUT_MS", "soon");
        QCOMPARE(Visa::DefaultTimeoutMs(), 3000);
        Visa::SetDefaultTimeoutMs(40);
        QCOMPARE(Visa::DefaultTimeoutMs(), 40);
    }

    void usbtmcNamesComeFromSysfs() {
        QTemporaryDir root;
        const QString sys = root.path() + "/class", dev = root.path() + "/devices";
        QVERIFY(QDir().mkpath(sys));
        QVERIFY(QDir().mkpath(dev + "/1-2/1-2:1.0"));
        QVERIFY(QDir().mkpath(dev + "/1-1/1-1:1.0"));
        writeFile(dev + "/1-2/idVendor", "0400\n");
        writeFile(dev + "/1-2/idProduct", "05dc\n");
        writeFile(dev + "/1-2/serial", "KV22A0001\n");
        writeFile(dev + "/1-1/idVendor", "1ab1\n");
        writeFile(dev + "/1-1/idProduct", "4ce\n");  // no serial number
        for (const auto& [node, iface] : {std::pair{"usbtmc10", "/1-2/1-2:1.0"}, std::pair{"usbtmc2", "/1-1/1-1:1.0"},
                                          std::pair{"lp0", "/1-1/1-1:1.0"}}) {
            QVERIFY(QDir().mkpath(sys + "/" + node));
            QVERIFY(QFile::link(dev + iface, sys + "/" + node + "/device"));
        }
        QVERIFY(QDir().mkpath(sys + "/usbtmc3"));  // no device link: skipped
        const QList<Visa::UsbtmcDevice> found = Visa::UsbtmcDevices(sys, "/dev");
        QCOMPARE(found.size(), 2);
        QCOMPARE(found[0].resource, QString("USB0::0x1AB1::0x04CE::usbtmc2::INSTR"));
        QCOMPARE(found[0].devicePath, QString("/dev/usbtmc2"));
        QCOMPARE(found[1].resource, QString("USB0::0x0400::0x05DC::KV22A0001::INSTR"));
        QCOMPARE(found[1].devicePath, QString("/dev/usbtmc10"));
        QVERIFY(Visa::UsbtmcDevices(root.path() + "/absent").isEmpty());
    }
};

QTEST_MAIN(VisaTest)
#include "tst_visa.moc"
