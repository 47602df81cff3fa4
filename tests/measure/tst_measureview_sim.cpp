// The measurement view against the simulated instrument: a fetch fills the
// 18 rows, a failed or impossible fetch keeps what the view held, bounds,
// overflow marks and unread replies, the limits dialog's OK and Cancel, the
// export file, limits kept by the sheet file, the texts following the UI
// language, and Refresh while a data view refreshes continuously.
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include "LinkFixture.h"
#include "Simulator.h"
#include "TestEnv.h"
#include "common/DSOSettings.h"
#include "common/RecentFiles.h"
#include "common/SheetModel.h"
#include "common/ShellState.h"
#include "common/Wait.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/TransferJobs.h"
#include "link/TransferValues.h"
#include "measure/frmMeasure.h"
#include "measure/frmPassFailed.h"
#include "measure/model/MeasureExport.h"
#include "platform/dialogs/FileDialog.h"
#include "platform/dialogs/MsgBox.h"
#include "sheets/DataSheetTree.h"
#include "sheets/FileFunc.h"
#include "sheets/SheetDocument.h"
#include "sheets/SheetFile.h"
#include "sheets/SheetTreeBinder.h"
#include "sheets/ViewHost.h"
#include "sheets/ViewRefresh.h"
#include "sheets/ViewWindows.h"
#include "sheets/frmData.h"
#include "shell/Language.h"
#include "shell/frmPrgress.h"

class MeasureViewSimTest : public QObject {
    Q_OBJECT
private:
    Simulator sim;

    // A fresh Measure view in slot 0 with its window, after its first tick.
    QPointer<frmMeasure> openView() {
        Sheets().MeasureCount = 1;
        ResetViewRecord(ViewMeasure, 0);
        for (int k = 0; k < MeasureItemCount; ++k) {
            Sheets().MeasureViews[0].Items[size_t(k)].Under = MeasureOfItem(k).under;
            Sheets().MeasureViews[0].Items[size_t(k)].Over = MeasureOfItem(k).over;
        }
        auto* f = new frmMeasure;
        SetFormTag(f, 0);
        SetViewForm(ViewMeasure, 0, f);
        f->Timer1->stop();
        f->Timer1_Timer();
        return f;
    }
    static QString cell(frmMeasure* f, int row, int column) {
        return f->MeasureView->topLevelItem(row)->text(column);
    }

private slots:
    void initTestCase() {
        InstallTransferWindow();
        RegisterMeasureWindow();
        QVERIFY(LinkFixture::StartConnectedSimulator(sim));
        LoadMessages(LangEnglish);
    }
    void init() {
        LinkFixture::ResetFetchState(sim);
        MsgBoxService::SetAnswerer([](const ShownMessage&) { return int(vbOK); });
    }
    void cleanup() {
        if (QWidget* w = ExistingViewForm(ViewMeasure, 0)) delete w;
        MsgBoxService::SetAnswerer(nullptr);
        sim.SetFault("none");
        if (!Link().IsConnected) QVERIFY(LinkFixture::ReconnectUsb(sim));
    }
    void cleanupTestCase() {
        DisconnectDSO();
        LinkFixture::StopSimulator(sim);
    }

    void fetchFillsAllRows_data() {
        QTest::addColumn<bool>("ch2Only");
        QTest::newRow("CH1") << false;
        QTest::newRow("only CH2 displayed") << true;
    }
    void fetchFillsAllRows() {
        QFETCH(bool, ch2Only);
        if (ch2Only) DSOSettings().CH1Display = OffWord();
        QPointer<frmMeasure> f = openView();
        QVERIFY(f->OptionCH[ch2Only ? 1 : 0]->isChecked());
        QCOMPARE(f->OptionCH[0]->isEnabled(), !ch2Only);
        QCOMPARE(f->MeasureView->topLevelItemCount(), 18);
        QVERIFY(cell(f, 0, 1).isEmpty());
        // The row pictures are made once: a fetch shows the same ones again.
        auto pictures = [&] {
            QList<qint64> keys;
            for (int row = 0; row < 18; ++row) keys << f->MeasureView->topLevelItem(row)->icon(0).cacheKey();
            return keys;
        };
        const QList<qint64> before = pictures();
        QCOMPARE(QSet<qint64>(before.begin(), before.end()).size(), 18);

        f->cmdRefresh_Click();
        QCOMPARE(pictures(), before);

        QCOMPARE(sim.Log().filter(":MEASURE:SOURCE").value(0),
                 QString(":MEASURE:SOURCE CHANNEL%1").arg(ch2Only ? 2 : 1));
        const MeasureInfo& r = Sheets().MeasureViews[0];
        QVERIFY(r.HasData);
        QVERIFY(Sheets().SheetModified);
        QCOMPARE(r.Title, Transfer().DataTitle);
        QCOMPARE(f->SettingLabel->text(), r.Title);
        for (int row = 0; row < 18; ++row) {
            const int item = MeasureDisplayOrder[size_t(row)];
            QVERIFY(!r.Items[size_t(item)].Value.isEmpty());
            QCOMPARE(r.Items[size_t(item)].Value, Transfer().MeasureResults[size_t(item)].Value);
            QCOMPARE(cell(f, row, 0), MeasureItemName(item, 1));
            QCOMPARE(cell(f, row, 1), r.Items[size_t(item)].Value);
            QVERIFY(cell(f, row, 4).isEmpty());  // nothing enabled: nothing judged
        }
        QVERIFY(f->cmdRefresh->isEnabled());
    }

    // No channel, the link down, a silent instrument: nothing new is shown
    // as fetched, and the view keeps what it held.
    void failedFetchKeepsTheView_data() {
        QTest::addColumn<QString>("cause");
        QTest::newRow("no channel displayed") << "displays";
        QTest::newRow("no option selected") << "options";
        QTest::newRow("link down") << "link";
        QTest::newRow("silent instrument") << "silent";
    }
    void failedFetchKeepsTheView() {
        QFETCH(QString, cause);
        QPointer<frmMeasure> f = openView();
        MeasureInfo& r = Sheets().MeasureViews[0];
        const bool fetchedBefore = cause == "silent";
        if (fetchedBefore) {
            r.Items[0].Enable = true;
            r.Items[0].Under = -1e9;
            r.Items[0].Over = 1e9;
            f->cmdRefresh_Click();
            QCOMPARE(r.Items[0].Result, QString("Pass"));
        }
        const MeasureInfo before = r;
        SheetDoc().SetModified(false);
        sim.ClearLog();
        MsgBoxService::ClearLog();
        // An earlier job must never run again in the view's name.
        Transfer().TransferCode = JobDownload;

        if (cause == "displays") {
            DSOSettings().CH1Display = DSOSettings().CH2Display = OffWord();
            f->Timer1_Timer();
        } else if (cause == "options") {
            for (auto* o : f->OptionCH) o->setChecked(false);
        } else if (cause == "link") {
            Link().IsConnected = false;
        } else {
            sim.SetFault("silent");
        }
        QVERIFY(!f->LoadMeasure());

        if (cause == "silent") {
            QVERIFY(!LinkFixture::ShownTexts().isEmpty());
            QVERIFY(LinkFixture::ShownTexts().join(' ').contains("Can't Read data"));
        } else {
            QVERIFY(sim.Log().filter(":MEASURE").isEmpty());
            QVERIFY(sim.Log().filter(":WAVEFORM").isEmpty());
            QVERIFY(MsgBoxService::Log().isEmpty());
        }
        QCOMPARE(r.HasData, before.HasData);
        QVERIFY(!Sheets().SheetModified);
        for (int k = 0; k < 18; ++k) {
            QCOMPARE(r.Items[size_t(k)].Value, before.Items[size_t(k)].Value);
            QCOMPARE(r.Items[size_t(k)].Result, before.Items[size_t(k)].Result);
        }
        QCOMPARE(cell(f, 0, 4), fetchedBefore ? QString("Pass") : QString());
    }

    // Replies planted in the simulator: a bound shows with its sign in the
    // row's unit, "no measurement" and a number beyond a double as the row's
    // overflow mark, judged "Fail"; replies that are no value leave their
    // rows "*****" and the status line says how many; the sheet file keeps
    // every text. A fetch whose replies all read takes the status text back.
    void boundsMarksAndUnreadReplies() {
        QStringList status;
        ViewHost().ShowStatus = [&](const QString& text) { status << text; };
        const auto unhook = qScopeGuard([] { ViewHost().ShowStatus = nullptr; });
        const QStringList planted = {":MEASURE:RISETIME", ":MEASURE:PDUTYCYCLE", ":MEASURE:VMAX",
                                     ":MEASURE:VMIN", ":MEASURE:NWIDTH", ":MEASURE:FREQUENCY"};
        const QStringList replies = {"<2.000e-09", "9.9e37", "?!", "<", "1,5", "1e309"};
        for (int k = 0; k < planted.size(); ++k) sim.Set(planted[k], replies[k]);
        QPointer<frmMeasure> f = openView();
        MeasureInfo& r = Sheets().MeasureViews[0];
        for (int item : {8, 16}) {
            r.Items[size_t(item)].Enable = true;
            r.Items[size_t(item)].Under = -1e9;
            r.Items[size_t(item)].Over = 1e9;
        }

        f->cmdRefresh_Click();
        for (const QString& key : planted) sim.Set(key, "");

        QVERIFY(Link().IsConnected);
        QVERIFY(MsgBoxService::Log().isEmpty());
        QCOMPARE(cell(f, 11, 0), QString("Rise Time"));
        QCOMPARE(cell(f, 11, 1), QString("<2.000ns"));
        QCOMPARE(cell(f, 11, 4), QString("Fail"));
        QCOMPARE(cell(f, 16, 1), QString("??.?%"));  // Duty+
        QCOMPARE(cell(f, 16, 4), QString("Fail"));
        QCOMPARE(cell(f, 10, 0), QString("Frequency"));
        QCOMPARE(cell(f, 10, 1), QString("??.???"));
        for (int row : {1, 2, 15}) QCOMPARE(cell(f, row, 1), QString("*****"));  // Vmax, Vmin, Pulse Width-
        QCOMPARE(cell(f, 0, 1), Transfer().MeasureResults[0].Value);
        QCOMPARE(status, QStringList{"3 of 18 measurements could not be read"});
        QVERIFY(MeasureExportText(r, Shell().MakerName, 1).contains("Rise Time\t<2.000ns\t"));

        auto back = std::make_unique<SheetModelData>();
        QVERIFY(ParseSheetFile(SheetFileText(Sheets(), false), *back));
        for (int k = 0; k < MeasureItemCount; ++k)
            QCOMPARE(back->MeasureViews[0].Items[size_t(k)].Value, r.Items[size_t(k)].Value);

        f->cmdRefresh_Click();
        QCOMPARE(cell(f, 11, 1), Transfer().MeasureResults[8].Value);
        QVERIFY(!cell(f, 11, 1).startsWith('<'));
        QCOMPARE(status, (QStringList{"3 of 18 measurements could not be read", ""}));
    }

    void limitsDialog() {
        QPointer<frmMeasure> f = openView();
        f->cmdRefresh_Click();
        const MeasureInfo before = Sheets().MeasureViews[0];

        // Cancel after edits: nothing changes.
        {
            frmPassFailed d(0);
            d.Timer1_Timer();
            QCOMPARE(d.MTypeCombo->count(), 18);
            QCOMPARE(d.UnderNum->text(), QString("100.000"));
            QCOMPARE(d.UnderUnit->currentText(), QString("mV"));
            QVERIFY(!d.UnderNum->isEnabled());
            d.EnabledChk->click();
            QVERIFY(d.UnderNum->isEnabled() && d.OverUnit->isEnabled());
            d.UnderNum->clear();
            QTest::keyClicks(d.UnderNum, "5");
            QCOMPARE(d.Model()->Items()[0].Under, 0.005);
            QTest::keyClicks(d.OverNum, "x");  // not a number: said, box emptied
            QCOMPARE(MsgBoxService::Log().value(0).text, MessageTable().MsgInvalidNumeric);
            QVERIFY(d.OverNum->text().isEmpty());
            d.CancelButton->click();
            QCOMPARE(d.result(), int(QDialog::Rejected));
        }
        QCOMPARE(Sheets().MeasureViews[0].Items[0].Enable, before.Items[0].Enable);
        QCOMPARE(Sheets().MeasureViews[0].Items[0].Under, before.Items[0].Under);

        // OK with crossed limits raises the upper one and stays open; the
        // second OK commits, marks the sheet modified and the view judges.
        SheetDoc().SetModified(false);
        frmPassFailed d(0);
        d.Timer1_Timer();
        d.EnabledChk->click();
        d.UnderNum->clear();
        QTest::keyClicks(d.UnderNum, "1");
        d.UnderUnit->setCurrentIndex(2);
        d.UnderUnit_Click();  // "V"
        d.OverNum->clear();
        QTest::keyClicks(d.OverNum, "0.5");
        d.OverNum_Change();
        d.OverUnit->setCurrentIndex(2);
        d.OverUnit_Click();  // raised at once to 1 V, copied from the lower controls
        QCOMPARE(d.OverNum->text(), QString("1"));
        d.OKButton->click();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        const MeasureItem& vpp = Sheets().MeasureViews[0].Items[0];
        QVERIFY(vpp.Enable);
        QCOMPARE(vpp.Under, 1.0);
        QCOMPARE(vpp.Over, 1.0);
        QVERIFY(Sheets().SheetModified);
        f->Redisplay();
        QCOMPARE(cell(f, 0, 2), QString("1.000V"));
        QVERIFY(cell(f, 0, 4).startsWith("Fail"));
    }

    void exportWritesTheFileWhole() {
        QPointer<frmMeasure> f = openView();
        f->cmdRefresh_Click();
        Sheets().MeasureViews[0].Items[7].Enable = true;
        f->Redisplay();
        QTemporaryDir dir;
        const QString path = dir.filePath("m.xls");
        FileDialogService::SetAnswerer([&](const FileDialogRequest&) { return path; });
        f->cmdExport_Click();
        FileDialogService::SetAnswerer(nullptr);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), MeasureExportText(Sheets().MeasureViews[0], Shell().MakerName, 1));

        // A path that cannot be written: said, and no file left behind.
        MsgBoxService::ClearLog();
        const QString bad = dir.filePath("missing/m.txt");
        QVERIFY(!f->ExportMeasureFileProc(bad, 0));
        QCOMPARE(MsgBoxService::Log().size(), 1);
        QVERIFY(!QFile::exists(bad));
    }

    // Limits set before the first fetch survive save and reopen.
    void limitsSurviveSaveAndReopen() {
        InstallViewCaptionSetters();
        QTemporaryDir dir;
        frmDataSheetTree* tree = DataBrowserForm();
        SheetDoc().SetModified(false);
        tree->mnuNewDataSheet_Click();
        AddNewMeasure();
        QPointer<frmMeasure> f = MeasureForm(0);
        QVERIFY(f);
        f->Timer1_Timer();
        MeasureItem& duty = Sheets().MeasureViews[0].Items[16];
        duty.Enable = true;
        duty.Under = 0.25;
        QVERIFY(!Sheets().MeasureViews[0].HasData);

        const QString path = dir.filePath("limits.vls");
        FileDialogService::SetAnswerer([&](const FileDialogRequest&) { return path; });
        tree->mnuSaveDataSheet_Click();
        FileDialogService::SetAnswerer(nullptr);
        tree->DataSheetTree->setCurrentItem(SheetTree().SheetNode);
        tree->mnuRemove_Click();
        QTRY_VERIFY(!f);
        Sheets().MeasureViews[0] = MeasureInfo();

        tree->OpenDataSheet(ReadRecentList(RecentList::Sheet).value(0));
        f = MeasureForm(0);
        QVERIFY(f);
        f->Timer1_Timer();
        const MeasureInfo& r = Sheets().MeasureViews[0];
        QVERIFY(!r.HasData);
        QVERIFY(r.Items[16].Enable);
        QCOMPARE(r.Items[16].Under, 0.25);
        QCOMPARE(r.Items[16].Over, 0.6);
        QCOMPARE(r.Items[0].Under, 0.1);
        QCOMPARE(cell(f, 0, 0), QString("Vpp"));
        tree->mnuRemove_Click();
    }

    void textsFollowTheLanguage() {
        InstallViewCaptionSetters();
        QPointer<frmMeasure> f = openView();
        f->cmdRefresh_Click();
        Sheets().MeasureViews[0].Items[0].Enable = true;
        Sheets().MeasureViews[0].Items[0].Under = -1e9;
        Sheets().MeasureViews[0].Items[0].Over = 1e9;
        SwitchLanguage(LangChinese);
        QCOMPARE(f->MeasureView->headerItem()->text(0), QString::fromUtf8("类型"));
        QCOMPARE(f->cmdRefresh->text(), QString::fromUtf8(" 更新 ."));
        QCOMPARE(cell(f, 0, 0), QString::fromUtf8("峰峰值"));
        QCOMPARE(cell(f, 0, 4), QString::fromUtf8("通过"));
        QCOMPARE(Sheets().MeasureViews[0].Items[0].Result, QString::fromUtf8("通过"));
        SwitchLanguage(LangEnglish);
        QCOMPARE(cell(f, 0, 4), QString("Pass"));
        QCOMPARE(f->MeasureView->headerItem()->text(4), QString("Pass&Fail"));
    }

    // While a data view refreshes continuously, the measurement view's
    // Refresh sends nothing, keeps its values and says which view must stop
    // first; screen readers hear the data view's Refresh held down meanwhile.
    // Once that refresh is stopped, the measurement view's Refresh fetches.
    void refreshWhileAnotherViewRefreshesSaysWhy() {
        QPointer<frmMeasure> m = openView();
        m->cmdRefresh_Click();
        const MeasureInfo& r = Sheets().MeasureViews[0];
        QVERIFY(r.HasData);
        const QString shownValue = cell(m, 0, 1);

        Sheets().DataCount = 1;
        ResetViewRecord(ViewData, 0);
        Sheets().DataViews[0].Channel = "CH1";
        Sheets().DataViews[0].Name = "Data3";
        QPointer<frmData> d = new frmData;
        SetFormTag(d, 0);
        SetViewForm(ViewData, 0, d);
        d->Timer1->stop();
        d->Timer1_Timer();
        Shell().RefreshType = "Auto";
        Shell().RefreshInterval = 100;

        QStringList sentMeanwhile;
        QList<ShownMessage> shown;
        bool dataHeld = false, measureHeld = true, pressed = false;
        QTimer driver;
        QObject::connect(&driver, &QTimer::timeout, [&] {
            if (!d || !DataAutoRefresh() || pressed) return;
            if (Transfer().TransferBusy || RefreshState(RefreshKind::Data).Loading) return;
            pressed = true;
            sim.ClearLog();
            MsgBoxService::ClearLog();
            m->cmdRefresh_Click();
            sentMeanwhile = sim.Log();
            shown = MsgBoxService::Log();
            dataHeld = QAccessible::queryAccessibleInterface(d->cmdRefresh)->state().pressed;
            measureHeld = QAccessible::queryAccessibleInterface(m->cmdRefresh)->state().pressed;
            d->cmdRefresh_Click();  // stops the data view's refresh
        });
        driver.start(1);
        d->cmdRefresh_Click();
        driver.stop();

        QVERIFY(pressed);
        QVERIFY2(sentMeanwhile.isEmpty(), qPrintable(sentMeanwhile.join(' ')));
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().text, MessageTable().MsgOtherViewRefreshing.arg("Data3"));
        QVERIFY(shown.first().text.contains("\"Data3\""));
        QVERIFY(dataHeld);
        QVERIFY(!measureHeld);
        QVERIFY(!m->cmdRefresh->property("stopLook").toBool());
        QVERIFY(!Sheets().MeasureViews[0].AutoRefresh);
        QCOMPARE(cell(m, 0, 1), shownValue);
        QVERIFY(!DataAutoRefresh());
        QVERIFY(!QAccessible::queryAccessibleInterface(d->cmdRefresh)->state().pressed);

        // The other view stopped: the press fetches, with nothing to say.
        Shell().RefreshType = "Single";
        sim.ClearLog();
        MsgBoxService::ClearLog();
        m->cmdRefresh_Click();
        QCOMPARE(sim.Log().filter(":MEASURE:SOURCE").size(), 1);
        QVERIFY(MsgBoxService::Log().isEmpty());
        delete d;
    }

    // The serial line pulled during a continuous refresh in the Chinese UI:
    // the refresh stops with one message, in Chinese, shown with the link
    // already down (a message box runs the event loop, where nothing more
    // may be written or reported).
    void pulledSerialLineDuringContinuousRefresh() {
        QTimer tick;
        LinkFixture::StartQuickSerialTick(tick, sim);
        QString transport = "tcp";
        QVERIFY(LinkFixture::ConnectOver(sim, "pty", transport));
        TestEnv::UseLanguage(LangChinese);
        const auto english = qScopeGuard([] { TestEnv::UseLanguage(LangEnglish); });
        QPointer<frmMeasure> f = openView();
        Shell().RefreshType = "Auto";
        Shell().RefreshInterval = 100;
        QList<bool> upWhileShown;
        LinkFixture::AnswerLikeAModalBox(upWhileShown);
        MsgBoxService::ClearLog();
        sim.ClearLog();
        bool pulled = false;
        QTimer driver;
        QObject::connect(&driver, &QTimer::timeout, [&] {
            // After a whole fetch, the next reply hangs the line up.
            if (pulled || sim.Log().filter(":MEASURE:").size() < 19) return;
            sim.SetFault("drop 0");
            pulled = true;
        });
        driver.start(1);
        f->cmdRefresh_Click();
        driver.stop();

        QVERIFY(pulled);
        QVERIFY(!Link().IsConnected);
        QVERIFY(!Sheets().MeasureViews[0].AutoRefresh);
        QCOMPARE(LinkFixture::ShownTexts(),
                 QStringList{QString::fromUtf8("不能通过RS232端口读取数据！\n与示波器的连接已关闭。如需重新连接，请选择“工具 > 连接示波器”。 / RS232读取信息")});
        QCOMPARE(upWhileShown, (QList<bool>{false, false}));
        sim.SetFault("none");
    }

    void closingIsRefusedDuringAFetch() {
        QPointer<frmMeasure> f = openView();
        bool refused = false;
        QTimer::singleShot(0, [&] { refused = Transfer().TransferBusy && f && !f->close(); });
        f->cmdRefresh_Click();
        QVERIFY(refused);
        QVERIFY(f);
    }
};

QTEST_MAIN(MeasureViewSimTest)
#include "tst_measureview_sim.moc"
