// A fetch that fails (no reply, garbled replies, a cut reply, or silence
// part-way through the job) leaves the view exactly as it was: its record,
// what its window shows and the sheet saved from it; and it says why. Over
// TCP (the USB side) and the pseudo-terminal (the serial side), for the
// waveform and the data view. A late reply in a refresh (waveform,
// measurement, data) says that the link was closed and how to connect again.
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "LinkFixture.h"
#include "Simulator.h"
#include "TestEnv.h"
#include "common/DSOSettings.h"
#include "common/SheetModel.h"
#include "common/ShellState.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/Vocabulary.h"
#include "measure/frmMeasure.h"
#include "platform/dialogs/MsgBox.h"
#include "sheets/DataTable.h"
#include "sheets/SheetFile.h"
#include "sheets/ViewWindows.h"
#include "sheets/frmData.h"
#include "sheets/FetchingView.h"
#include "shell/frmPrgress.h"
#include "common/Wait.h"
#include "waveview/frmWave.h"

namespace {
QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
}  // namespace

class FailedFetchSimTest : public QObject {
    Q_OBJECT
    Simulator sim;
    QTimer tick;
    QString lastTransport;
    QTemporaryDir dir;

    // A view of the kind in slot 0 with its window, after its first tick.
    QWidget* openView(bool wave) {
        if (wave) {
            Sheets().WaveCount = 1;
            ResetViewRecord(ViewWave, 0);
            auto* f = static_cast<frmWave*>(ViewForm(ViewWave, 0));
            f->resize(800, 600);
            f->Timer1->stop();
            f->Timer1_Timer();
            return f;
        }
        Sheets().DataCount = 1;
        ResetViewRecord(ViewData, 0);
        Sheets().DataViews[0].Channel = "CH1";
        auto* f = new frmData;
        SetFormTag(f, 0);
        SetViewForm(ViewData, 0, f);
        f->Timer1->stop();
        f->Timer1_Timer();
        return f;
    }
    static bool load(QWidget* w, bool wave) {
        return wave ? static_cast<frmWave*>(w)->LoadData() : static_cast<frmData*>(w)->LoadData();
    }
    // What the window shows: the waveform picture, or the data view's
    // settings line and every row.
    static QByteArray shown(QWidget* w, bool wave) {
        if (wave) {
            const QImage& p = static_cast<frmWave*>(w)->ShownPicture();
            return QByteArray(reinterpret_cast<const char*>(p.constBits()), p.sizeInBytes());
        }
        auto* f = static_cast<frmData*>(w);
        QString text = f->SettingLabel->text();
        for (int r = 0; r < f->Table->rowCount(); ++r)
            for (int c = 0; c < f->Table->columnCount(); ++c)
                text += '|' + f->Table->index(r, c).data().toString();
        return text.toUtf8();
    }
    QString readFailMessage() const { return LinkFixture::DroppedLinkMessage(Shell().ScopeIOType == 2); }

private slots:
    void initTestCase() {
        QVERIFY(LinkFixture::StartSimulator(sim));
        LoadMessages(LangEnglish);
        InstallTransferWindow();
        InstallWaveViewHooks();
        RegisterMeasureWindow();
        LinkFixture::StartQuickSerialTick(tick, sim);
    }
    void cleanup() {
        sim.SetFault("none");
        for (ViewKind kind : {ViewWave, ViewMeasure, ViewData})
            if (QWidget* w = ExistingViewForm(kind, 0)) delete w;
    }
    void cleanupTestCase() {
        DisconnectDSO();
        LinkFixture::StopSimulator(sim);
    }

    void failedFetchChangesNothing_data() {
        QTest::addColumn<QString>("transport");
        QTest::addColumn<QString>("fault");  // "midway": silent from the job's last reply on
        QTest::addColumn<bool>("wave");
        for (const char* tr : {"tcp", "pty"})
            for (const char* fault : {"silent", "garbage", "truncate 3", "midway"})
                for (bool wave : {true, false})
                    QTest::addRow("%s %s %s", tr, fault, wave ? "wave" : "data") << tr << fault << wave;
    }
    void failedFetchChangesNothing() {
        QFETCH(QString, transport);
        QFETCH(QString, fault);
        QFETCH(bool, wave);
        QVERIFY(LinkFixture::ConnectOver(sim, transport, lastTransport));
        sim.Set(":TRIGGER:MODE", "EDGE");
        LinkFixture::ResetFetchState(sim);
        QPointer<QWidget> w = openView(wave);

        QVERIFY(load(w, wave));  // the view holds a fetch
        const int replies = int(sim.Log().filter("?").size());
        const QString before = dir.filePath("before.vls");
        QVERIFY(WriteDataSheet(before));
        Sheets().SheetModified = false;
        const QByteArray window = shown(w, wave);

        // The instrument moves on (new scales and time base), then fails.
        const QString scale = sim.Get(":CHANNEL1:SCALE");
        const QString time = sim.Get(":TIMEBASE:SCALE");
        sim.Set(":CHANNEL1:SCALE", "2");
        sim.Set(":TIMEBASE:SCALE", "0.001");
        sim.ClearLog();
        MsgBoxService::ClearLog();
        sim.SetFault(fault == "midway" ? QString("silent after %1").arg(replies - 1) : fault);

        const bool loaded = load(w, wave);
        sim.SetFault("none");
        sim.Set(":CHANNEL1:SCALE", scale);
        sim.Set(":TIMEBASE:SCALE", time);

        QVERIFY(!loaded);
        QVERIFY(w);
        QCOMPARE(LinkFixture::ShownTexts(), QStringList{readFailMessage()});
        if (fault == "midway")  // it failed at the trace itself, after the settings
            QVERIFY2(sim.Log().filter("?").size() == replies, qPrintable(sim.Log().join(';')));
        QVERIFY(!Sheets().SheetModified);
        QCOMPARE(shown(w, wave), window);
        const QString after = dir.filePath("after.vls");
        QVERIFY(WriteDataSheet(after));
        QCOMPARE(fileBytes(after), fileBytes(before));
    }

    // A reply that comes too late in a refresh drops the link. The message,
    // in the UI language, keeps the transport's own text first and says on a
    // line of its own that the link was closed and how to connect again; the
    // next Refresh asks for a connection.
    void lateReplySaysTheLinkWasClosed_data() {
        const QString usbEnglish = "Can't Read data from USB Device!\nThe link to the oscilloscope was closed. "
                                   "To connect again, choose Tools > Connect to Oscilloscope. / USB Read Message";
        const QString usbChinese = QString::fromUtf8(
            "不能通过USB设备读取数据！\n与示波器的连接已关闭。如需重新连接，请选择“工具 > 连接示波器”。 / USB读取信息");
        QTest::addColumn<QString>("transport");
        QTest::addColumn<QString>("view");
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("message");
        for (const char* view : {"wave", "measure"}) {
            QTest::addRow("%s English", view) << "tcp" << view << int(LangEnglish) << usbEnglish;
            QTest::addRow("%s Chinese", view) << "tcp" << view << int(LangChinese) << usbChinese;
        }
        QTest::newRow("data English") << "tcp" << "data" << int(LangEnglish) << usbEnglish;
        QTest::newRow("measure Chinese, serial line")
            << "pty" << "measure" << int(LangChinese)
            << QString::fromUtf8("不能通过RS232端口读取数据！\n与示波器的连接已关闭。如需重新连接，请选择“工具 > 连接示波器”。"
                                 " / RS232读取信息");
    }
    void lateReplySaysTheLinkWasClosed() {
        QFETCH(QString, transport);
        QFETCH(QString, view);
        QFETCH(int, language);
        QFETCH(QString, message);
        QVERIFY(LinkFixture::ConnectOver(sim, transport, lastTransport));
        sim.Set(":TRIGGER:MODE", "EDGE");
        LinkFixture::ResetFetchState(sim);
        const auto restore = qScopeGuard([] {
            LoadMessages(LangEnglish);
            Shell().UILanguage = LangEnglish;
        });
        LoadMessages(language);
        Shell().UILanguage = language;
        QPointer<FetchingViewWindow> w;
        if (view == "measure") {
            Sheets().MeasureCount = 1;
            ResetViewRecord(ViewMeasure, 0);
            auto* f = new frmMeasure;
            SetFormTag(f, 0);
            SetViewForm(ViewMeasure, 0, f);
            f->Timer1->stop();
            f->Timer1_Timer();
            w = f;
        } else {
            w = static_cast<FetchingViewWindow*>(openView(view == "wave"));
        }

        // The third reply of the refresh comes after the reply time.
        sim.SetFault("late 600 after 2 for 1");
        w->cmdRefresh_Click();
        QVERIFY(w);
        QCOMPARE(LinkFixture::ShownTexts(), QStringList{message});
        QVERIFY(!Link().IsConnected);

        MsgBoxService::ClearLog();
        w->cmdRefresh_Click();
        QCOMPARE(LinkFixture::ShownTexts(), QStringList{MessageTable().MsgConnectFirst + " / "});
        QVERIFY(YieldUntil([this] { return sim.Control("LATE?").trimmed() == "0"; }, 10000));
    }
};

QTEST_MAIN(FailedFetchSimTest)
#include "tst_failedfetch_sim.moc"
