// The screen copy through the command port, against a fake port: what counts
// as an image, a key pressed during the read, a failed read, and a transport
// without a screen copy.
#include <QtTest>

#include "FakeCommandPort.h"
#include "LinkFixture.h"
#include "TestEnv.h"
#include "common/Wait.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/ScreenCopyState.h"
#include "platform/dialogs/MsgBox.h"

Q_DECLARE_METATYPE(QList<FakeCommandPort::Chunk>)

namespace {
std::vector<uint8_t> pattern() {
    std::vector<uint8_t> p(74880);
    for (size_t i = 0; i < p.size(); ++i) p[i] = uint8_t((i * 13 + i / 320) & 0x0F);
    return p;
}
FakeCommandPort::Chunk received(const QByteArray& b) { return {ScreenChunkRead::Received, b}; }
FakeCommandPort::Chunk failed(const QByteArray& b) { return {ScreenChunkRead::Failed, b}; }
}  // namespace

class ScreenCopyTest : public QObject {
    Q_OBJECT
    std::vector<uint8_t> dest;

private slots:
    void initTestCase() {
        TestEnv::Init();
        LoadMessages(LangEnglish);
    }
    void init() {
        Link().IsConnected = true;
        // The last frame's colour query left it set; it excuses nothing now.
        Link().CommandSent = true;
        ScreenCopy().ScreenCopyRunning = ScreenCopy().ScreenCopyOpen = true;
        dest.assign(ScreenCopyStateData::ImageBytes + 1, 0xEE);
        MsgBoxService::ClearLog();
    }

    void oneFrame_data() {
        const QByteArray image = FakeCommandPort::ScreenReply(pattern());
        QTest::addColumn<QList<FakeCommandPort::Chunk>>("chunks");
        QTest::addColumn<bool>("keyDuringRead");
        QTest::addColumn<bool>("image");
        QTest::addColumn<int>("reads");
        QTest::addColumn<bool>("reported");
        QTest::newRow("whole reply") << QList{received(image)} << false << true << 1 << false;
        QTest::newRow("parts first") << QList{received(image.left(10)), received(image.left(74879)), received(image)}
                                     << false << true << 3 << false;
        // A key's command during the read ends it: nothing stale is taken as
        // the image, however many bytes the failed read had.
        QTest::newRow("key, read fails empty") << QList{failed({})} << true << false << 1 << false;
        QTest::newRow("key, read fails after a screen's worth") << QList{failed(image)} << true << false << 1 << false;
        QTest::newRow("key, whole reply still taken") << QList{received(image)} << true << true << 1 << false;
        QTest::newRow("no key, read fails") << QList{failed({})} << false << false << 1 << true;
        QTest::newRow("no key, read fails after part of the reply")
            << QList{received(image.left(50000)), failed({})} << false << false << 2 << true;
        // More than one reply is no screen: never drawn from its last bytes.
        QTest::newRow("no key, oversize reply") << QList{received(image + QByteArray(100, '\0'))} << false << false << 1
                                                << true;
        QTest::newRow("key, oversize reply") << QList{received(image + QByteArray(100, '\0'))} << true << false << 1
                                             << false;
    }
    void oneFrame() {
        QFETCH(QList<FakeCommandPort::Chunk>, chunks);
        QFETCH(bool, keyDuringRead);
        QFETCH(bool, image);
        QFETCH(int, reads);
        QFETCH(bool, reported);
        FakeCommandPort port;
        port.screenChunks = chunks;
        if (keyDuringRead)
            port.duringScreenRead = [&port] {
                if (port.screenReads != 1) return;
                Link().CommandSent = true;
                SendCmd(":KEY:RUN");
            };
        // A failed link waits for the panel to stop.
        QTimer stopAfterFailure;
        stopAfterFailure.setInterval(1);
        connect(&stopAfterFailure, &QTimer::timeout, [] {
            if (Link().IsConnected) return;
            ScreenCopy().ScreenCopyRunning = false;
            NotifyWaiters();
        });
        if (reported) stopAfterFailure.start();
        QCOMPARE(GetHardcopyVisa(dest), image);
        QCOMPARE(port.screenReads, reads);
        QCOMPARE(port.sent.first(), QString(":HARDCOPY"));
        QCOMPARE(port.sent.size(), keyDuringRead ? 2 : 1);
        if (image) {
            const auto p = pattern();
            QVERIFY(std::equal(p.begin(), p.end() - 1, dest.begin()));
            QCOMPARE(dest[74879], uint8_t(0xEE));
            QVERIFY(!Link().CommandSent);
        } else {
            QCOMPARE(dest, std::vector<uint8_t>(ScreenCopyStateData::ImageBytes + 1, 0xEE));
        }
        QCOMPARE(LinkFixture::ShownTexts(),
                 reported ? QStringList{LinkFixture::DroppedLinkMessage(false)} : QStringList());
        QCOMPARE(Link().IsConnected, !reported);
    }

    void noCopyWithoutALinkThatCopies() {
        FakeCommandPort port;
        port.screenChunks = {received(FakeCommandPort::ScreenReply(pattern()))};
        port.copiesScreen = false;  // the serial line
        QVERIFY(!GetHardcopyVisa(dest));
        port.copiesScreen = true;
        Link().IsConnected = false;
        QVERIFY(!GetHardcopyVisa(dest));
        QVERIFY(port.sent.isEmpty());
        QCOMPARE(port.screenReads, 0);
    }

    void stopDuringTheReadEndsIt() {
        FakeCommandPort port;
        port.screenChunks = {received("partial"), received(FakeCommandPort::ScreenReply(pattern()))};
        port.duringScreenRead = [] { ScreenCopy().ScreenCopyRunning = false; };
        QVERIFY(!GetHardcopyVisa(dest));
        QCOMPARE(port.screenReads, 1);
    }
};

QTEST_MAIN(ScreenCopyTest)
#include "tst_screencopy.moc"
