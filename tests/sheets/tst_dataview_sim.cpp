// The data view against the simulated instrument: the tables of CH1, CH2 and
// LA fetched into the view's record and shown, no fetch without a channel,
// and continuous refresh with its stop conditions and the other kinds' lock-out.
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTableView>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QRadioButton>
#include <QToolButton>
#include <QtTest>

#include "LinkFixture.h"
#include "Simulator.h"
#include "TestEnv.h"
#include "ViewFixture.h"
#include "common/DSOSettings.h"
#include "common/SheetModel.h"
#include "common/ShellState.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/TransferJobs.h"
#include "link/TransferValues.h"
#include "link/UsbFunc.h"
#include "shell/frmPrgress.h"
#include "link/Vocabulary.h"
#include "platform/dialogs/MsgBox.h"
#include "common/RecentFiles.h"
#include "platform/dialogs/FileDialog.h"
#include "sheets/DataSheetTree.h"
#include "sheets/DataTable.h"
#include "sheets/FileFunc.h"
#include "sheets/SheetDocument.h"
#include "sheets/SheetTreeBinder.h"
#include "shell/Language.h"
#include "sheets/ViewRefresh.h"
#include "sheets/frmData.h"
#include "sheets/ViewWindows.h"

class DataViewSimTest : public QObject {
    Q_OBJECT
private:
    Simulator sim;

    // A fresh Data view in slot 0 with its window, after its first tick.
    QPointer<frmData> openView(const QString& channel) {
        Sheets().DataCount = 1;
        ResetViewRecord(ViewData, 0);
        Sheets().DataViews[0].Channel = channel;
        auto* f = new frmData;
        SetFormTag(f, 0);
        SetViewForm(ViewData, 0, f);
        f->Timer1->stop();
        f->Timer1_Timer();
        return f;
    }


private slots:
    void initTestCase() {
        QVERIFY(LinkFixture::StartConnectedSimulator(sim));
        LoadMessages(LangEnglish);
    }
    void init() {
        LinkFixture::ResetFetchState(sim);
        DSOSettings().LADisplay = OnWord();
    }
    void cleanup() {
        if (QWidget* w = ExistingViewForm(ViewData, 0)) delete w;
    }
    void cleanupTestCase() {
        DisconnectDSO();
        LinkFixture::StopSimulator(sim);
    }

    void fetchesTheChosenChannel_data() {
        QTest::addColumn<QString>("channel");
        QTest::addColumn<QString>("source");
        QTest::newRow("CH1") << "CH1" << "CHANNEL1";
        QTest::newRow("CH2") << "CH2" << "CHANNEL2";
        QTest::newRow("LA") << "LA" << "DIGITAL";
    }
    void fetchesTheChosenChannel() {
        QFETCH(QString, channel);
        QFETCH(QString, source);
        QPointer<frmData> f = openView(channel);
        QVERIFY(f->OptionCH[channel == "CH1" ? 0 : channel == "CH2" ? 1 : 2]->isChecked());
        QVERIFY(!f->cmdExport->isEnabled());
        QCOMPARE(f->Table->rowCount(), DataTableModel::EmptyRows);

        f->cmdRefresh_Click();

        QCOMPARE(sim.Log().filter(":WAVEFORM:DATA?"), QStringList{":WAVEFORM:DATA? " + source});
        const DataInfo& r = Sheets().DataViews[0];
        const SystemDataRecord screen = SystemDataRecord::FromBytes(
            QByteArray(reinterpret_cast<const char*>(Link().SystemDataBuf.data()), SystemDataRecord::Size));
        const int points = 2 * (screen.TraceLastX - screen.TraceFirstX + 1);
        QVERIFY(points > 0);
        QVERIFY(r.HasData);
        QVERIFY(Sheets().SheetModified);
        QCOMPARE(r.PointCount, points);
        QCOMPARE(r.TimeTexts.size(), points + 1);
        QCOMPARE(r.Title, Transfer().DataTitle);
        QCOMPARE(f->SettingLabel->text(), r.Title);
        QCOMPARE(f->Table->rowCount(), points);
        for (int i : {1, points / 2, points}) {
            QCOMPARE(r.TimeTexts[i], Transfer().DataTimeText[size_t(i)]);
            QCOMPARE(r.VoltTexts[i], Transfer().DataVoltText[size_t(i)]);
            QCOMPARE(f->Table->index(i - 1, 0).data().toString(), QString::number(i));
            QCOMPARE(f->Table->index(i - 1, 1).data().toString(), r.TimeTexts[i]);
            QCOMPARE(f->Table->index(i - 1, 2).data().toString(), r.VoltTexts[i]);
        }
        QVERIFY(!r.TimeTexts[1].isEmpty());
        QCOMPARE(r.VoltTexts[1].isEmpty(), channel == "LA");
        QVERIFY(f->cmdExport->isEnabled());
        QVERIFY(f->cmdRefresh->isEnabled());
    }

    void fetchesNothingWithoutAChannel_data() {
        QTest::addColumn<bool>("displaysOff");
        QTest::newRow("CH1 and CH2 display off") << true;
        QTest::newRow("no option selected") << false;
    }
    void fetchesNothingWithoutAChannel() {
        QFETCH(bool, displaysOff);
        if (displaysOff) DSOSettings().CH1Display = DSOSettings().CH2Display = OffWord();
        QPointer<frmData> f = openView("CH1");
        if (!displaysOff)
            for (auto* o : f->OptionCH) o->setChecked(false);
        QCOMPARE(f->OptionCH[0]->isEnabled(), !displaysOff);
        // An earlier job must never run again in the view's name.
        Transfer().TransferCode = JobDownload;

        QVERIFY(!f->LoadData());
        f->cmdRefresh_Click();

        QVERIFY(sim.Log().isEmpty());
        QVERIFY(!LoadedTransferForm());
        QVERIFY(!Sheets().DataViews[0].HasData);
        QVERIFY(!Sheets().SheetModified);
    }

    void channelFollowsTheDisplays() {
        QPointer<frmData> f = openView("CH2");
        DSOSettings().CH2Display = OffWord();
        DSOSettings().LADisplay = OffWord();
        f->Timer1_Timer();
        QVERIFY(!f->OptionCH[1]->isEnabled() && !f->OptionCH[1]->isChecked());
        QVERIFY(!f->OptionCH[2]->isEnabled());
        // In between no option is selected and the choice keeps its word.
        QVERIFY(!f->OptionCH[0]->isChecked());
        QCOMPARE(Sheets().DataViews[0].Channel, QString("CH2"));
        f->Timer1_Timer();
        QVERIFY(f->OptionCH[0]->isChecked());
        QCOMPARE(Sheets().DataViews[0].Channel, QString("CH1"));
    }

    void continuousRefresh_data() {
        QTest::addColumn<QString>("stop");
        QTest::newRow("stopped by a second press") << "press";
        QTest::newRow("ended by closing the window") << "close";
    }
    void continuousRefresh() {
        QFETCH(QString, stop);
        QPointer<frmData> f = openView("CH1");
        Sheets().DataViews[0].Name = "Data0";
        Shell().RefreshType = "Auto";
        Shell().RefreshInterval = 100;

        int waveFetches = 0, seenPasses = 0;
        bool lockedOut = false, looked = false;
        QTimer driver;
        QObject::connect(&driver, &QTimer::timeout, [&] {
            if (!f || !DataAutoRefresh()) return;
            if (Transfer().TransferBusy || RefreshState(RefreshKind::Data).Loading) return;
            looked = looked || f->cmdRefresh->property("stopLook").toBool();
            if (LinkFixture::FetchCount(sim) == 1 && seenPasses++ == 0) {
                // The interval grows while the refresh runs: it must not stall.
                Shell().RefreshInterval = 250;
            }
            if (LinkFixture::FetchCount(sim) >= 3) {
                // A waveform view's press fetches nothing while the data view
                // refreshes, and says why.
                ViewFixture::PressRefresh(RefreshKind::Wave, f.data(), waveFetches);
                lockedOut = DataAutoRefresh() && !Sheets().WaveViews[0].AutoRefresh;
                if (stop == "press") f->cmdRefresh_Click();
                else QVERIFY(f->close());
                return;
            }
            f->Timer2_Timer();
        });
        driver.start(1);

        f->cmdRefresh_Click();
        driver.stop();

        QVERIFY(LinkFixture::FetchCount(sim) >= 3);
        QVERIFY(looked);
        QVERIFY(lockedOut);
        QCOMPARE(waveFetches, 0);
        QCOMPARE(MsgBoxService::Log().size(), 1);
        QCOMPARE(MsgBoxService::Log().first().text, MessageTable().MsgOtherViewRefreshing.arg("Data0"));
        QVERIFY(!DataAutoRefresh());
        QVERIFY(!Sheets().DataViews[0].AutoRefresh);
        QVERIFY(!RefreshState(RefreshKind::Data).Loading);
        if (stop == "press") {
            QVERIFY(f);
            QVERIFY(!f->cmdRefresh->property("stopLook").toBool());
            QVERIFY(!f->Timer2->isActive());
            QVERIFY(f->cmdRefresh->isEnabled());
        } else {
            QTRY_VERIFY(!f);
            QVERIFY(!Sheets().DataViews[0].WindowOpen);
        }
    }

    // Build a sheet in the browser, fetch, save, close the sheet, open it
    // again from the recent list: the same table, the same export.
    void tableSurvivesSaveAndReopen() {
        InstallViewCaptionSetters();
        QTemporaryDir dir;
        frmDataSheetTree* tree = DataBrowserForm();
        SheetDoc().SetModified(false);
        tree->mnuNewDataSheet_Click();
        AddNewData();
        QPointer<frmData> f = DataForm(0);
        QVERIFY(f);
        QCOMPARE(f->TableView()->model()->headerData(2, Qt::Horizontal).toString(), QString("Voltage[V]"));
        f->Timer1_Timer();
        f->OptionCH[1]->click();
        QCOMPARE(Sheets().DataViews[0].Channel, QString("CH2"));
        f->cmdRefresh_Click();
        QVERIFY(Sheets().DataViews[0].PointCount > 0);
        const QString before = dir.filePath("before.txt"), after = dir.filePath("after.txt");
        QVERIFY(ExportDataText(before, 0));

        const QString path = dir.filePath("fetched.vls");
        FileDialogService::SetAnswerer([&](const FileDialogRequest&) { return path; });
        tree->mnuSaveDataSheet_Click();
        FileDialogService::SetAnswerer(nullptr);
        tree->DataSheetTree->setCurrentItem(SheetTree().SheetNode);
        tree->mnuRemove_Click();
        QVERIFY(!SheetNodeInTree());
        QTRY_VERIFY(!f);
        Sheets().DataViews[0] = DataInfo();

        tree->OpenDataSheet(ReadRecentList(RecentList::Sheet).value(0));
        f = DataForm(0);
        QVERIFY(f);
        f->Timer1_Timer();
        const DataInfo& r = Sheets().DataViews[0];
        QCOMPARE(f->Table->rowCount(), r.PointCount);
        QCOMPARE(f->SettingLabel->text(), r.Title);
        QCOMPARE(f->Table->index(r.PointCount - 1, 2).data().toString(), r.VoltTexts[r.PointCount]);
        QVERIFY(ExportDataText(after, 0));
        QFile a(before), b(after);
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        QCOMPARE(b.readAll(), a.readAll());
        QVERIFY(sim.Log().filter(":WAVEFORM:DATA?").size() == 1);
    }

    // A data window under another builds its table's view only once some of
    // it is seen; its model is there all along and the view, once built,
    // shows it with the window's column widths.
    void tableIsBuiltOnceSeen() {
        Sheets().DataCount = 2;
        QMdiArea area;
        area.resize(500, 400);
        area.show();
        QList<QPointer<frmData>> forms;
        for (int slot = 0; slot < 2; ++slot) {
            ResetViewRecord(ViewData, slot);
            auto* f = new frmData;
            SetFormTag(f, slot);
            SetViewForm(ViewData, slot, f);
            QMdiSubWindow* frame = area.addSubWindow(f);
            frame->setGeometry(0, 0, 480, 380);
            frame->show();
            forms << f;
        }
        QTRY_VERIFY(forms[1]->MeasureView);
        QCoreApplication::processEvents();
        QVERIFY(!forms[0]->MeasureView);
        QCOMPARE(forms[0]->Table->headerData(2, Qt::Horizontal).toString(), QString("Voltage[V]"));

        area.setActiveSubWindow(qobject_cast<QMdiSubWindow*>(forms[0]->parentWidget()));
        QTRY_VERIFY(forms[0]->MeasureView);
        QTableView* view = forms[0]->MeasureView;
        QCOMPARE(view->model(), forms[0]->Table);
        QVERIFY(view->isVisible());
        QCOMPARE(view->columnWidth(1), forms[1]->MeasureView->columnWidth(1));
        QVERIFY(view->columnWidth(1) > view->columnWidth(0));
        for (int slot = 0; slot < 2; ++slot) {
            delete forms[slot];
            SetViewForm(ViewData, slot, nullptr);
        }
    }

    void closingIsRefusedDuringAFetch() {
        QPointer<frmData> f = openView("CH1");
        bool refused = false;
        QTimer::singleShot(0, [&] { refused = Transfer().TransferBusy && f && !f->close(); });
        f->cmdRefresh_Click();
        QVERIFY(refused);
        QVERIFY(f);
    }
};

QTEST_MAIN(DataViewSimTest)
#include "tst_dataview_sim.moc"
