// A fetch that fails (no reply, garbled replies, a cut reply, or silence
// part-way through the job) leaves the view exactly as it was: its record,
// what its window shows and the sheet saved from it; and it says why. Over
// TCP (the USB side) and the pseudo-terminal (the serial side), for the
// waveform and the data view.
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
#include "platform/dialogs/MsgBox.h"
#include "sheets/DataTable.h"
#include "sheets/SheetFile.h"
#include "sheets/ViewWindows.h"
#include "sheets/frmData.h"
#include "shell/frmPrgress.h"
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
    QString readFailMessage() const {
        const MessageTableData& m = MessageTable();
        return Shell().ScopeIOType == 2 ? m.MsgRs232ReadFail + " / " + m.MsgTitleRs232Read
                                        : m.MsgUsbReadFail + " / " + m.MsgTitleUsbRead;
    }

private slots:
    void initTestCase() {
        QVERIFY(LinkFixture::StartSimulator(sim));
        LoadMessages(LangEnglish);
        InstallTransferWindow();
        InstallWaveViewHooks();
        LinkFixture::StartQuickSerialTick(tick, sim);
    }
    void cleanup() {
        sim.SetFault("none");
        for (ViewKind kind : {ViewWave, ViewData})
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
};

QTEST_MAIN(FailedFetchSimTest)
#include "tst_failedfetch_sim.moc"
