// The waveform view window: refresh from the simulated instrument once and
// continuously, the set-up tick, zoom and layout.
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QToolButton>
#include <QtTest>
#include <cstring>

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
#include "link/Vocabulary.h"
#include "link/WaveNumbers.h"
#include "shell/frmPrgress.h"
#include "sheets/ViewWindows.h"
#include "platform/dialogs/MsgBox.h"
#include "sheets/ViewRefresh.h"
#include "waveview/frmWave.h"

class WaveViewSimTest : public QObject {
    Q_OBJECT
private:
    Simulator sim;

    // A Wave view in slot 0 (its record set up by `setUp`) with its window,
    // after its first tick.
    template <typename F>
    QPointer<frmWave> openView(F setUp) {
        Sheets().WaveCount = 1;
        ResetViewRecord(ViewWave, 0);
        setUp(Sheets().WaveViews[0]);
        auto* f = static_cast<frmWave*>(ViewForm(ViewWave, 0));
        f->resize(800, 600);
        f->Timer1->stop();
        f->Timer1_Timer();
        return f;
    }
    QPointer<frmWave> openView() {
        return openView([](WaveInfo&) {});
    }


    static int countColour(const QImage& img, QRgb colour) {
        int n = 0;
        for (int y = 25; y < img.height(); ++y)
            for (int x = 25; x < img.width(); ++x) n += img.pixel(x, y) == colour;
        return n;
    }

private slots:
    void initTestCase() {
        QVERIFY(LinkFixture::StartConnectedSimulator(sim));
        LoadMessages(LangEnglish);
        InstallWaveViewHooks();
    }
    void init() {
        LinkFixture::ResetFetchState(sim);
        DSOSettings().MathDisplay = OffWord();
        DSOSettings().LADisplay = OffWord();
    }
    void cleanup() {
        for (int slot : {0, 1})
            if (QWidget* w = ExistingViewForm(ViewWave, slot)) delete w;
    }
    void cleanupTestCase() {
        DisconnectDSO();
        LinkFixture::StopSimulator(sim);
    }

    void refreshOnceFillsTheRecordAndDraws() {
        QPointer<frmWave> f = openView();
        // A new view gets the first channel the instrument shows.
        QVERIFY(f->ChkCH[0]->isChecked());
        QVERIFY(!f->ChkCH[1]->isChecked());
        QVERIFY(Sheets().WaveViews[0].Ch1Chosen);
        QVERIFY(!Sheets().WaveViews[0].HasData);
        QCOMPARE(countColour(f->ShownPicture(), WaveColors::Ch1().rgb()), 0);

        bool panelShown = false;
        QTimer::singleShot(0, [&] { panelShown = f && f->picRefreshProgress->isVisible(); });
        QApplication::setActiveWindow(f);
        f->show();
        f->cmdRefresh_Click();

        QCOMPARE(sim.Log().filter(":WAVEFORM:DATA?"), QStringList{":WAVEFORM:DATA? CHANNEL1"});
        const WaveInfo& r = Sheets().WaveViews[0];
        QVERIFY(r.HasData);
        QVERIFY(r.Ch1Fetched && !r.Ch2Fetched);
        QCOMPARE(r.PointCount, 600);
        // The commit derived the numbers the drawing reads from the texts.
        auto derived = std::make_unique<WaveInfo>(r);
        UpdateWaveNumbers(*derived);
        QVERIFY(r.Numbers.Ch1Scale > 0);
        QVERIFY(std::memcmp(&derived->Numbers, &r.Numbers, sizeof(WaveNumbers)) == 0);
        QVERIFY(Sheets().SheetModified);
        QVERIFY(panelShown);
        QVERIFY(!f->picRefreshProgress->isVisible());
        QVERIFY(f->cmdRefresh->isEnabled());
        QVERIFY(!LoadedTransferForm());
        // The picture now holds the CH1 trace and its labels.
        QVERIFY(countColour(f->ShownPicture(), WaveColors::Ch1().rgb()) > 300);
        f->hide();
    }

    void refreshWithoutChannelOrLinkFetchesNothing() {
        DSOSettings().CH1Display = DSOSettings().CH2Display = OffWord();
        QPointer<frmWave> f = openView();
        QVERIFY(!f->ChkCH[0]->isEnabled() && !f->ChkCH[1]->isEnabled());
        Transfer().TransferCode = JobDownload;  // never re-run in the view's name
        f->cmdRefresh_Click();
        QVERIFY(sim.Log().isEmpty());
        QVERIFY(!Sheets().WaveViews[0].HasData);
        QVERIFY(f->cmdRefresh->isEnabled());

        DSOSettings().CH1Display = OnWord();
        f->Timer1_Timer();
        Link().IsConnected = false;
        f->cmdRefresh_Click();
        Link().IsConnected = true;
        QVERIFY(sim.Log().isEmpty());
        QCOMPARE(MsgBoxService::Log().size(), 1);
        QCOMPARE(MsgBoxService::Log().first().text, MessageTable().MsgConnectFirst);

        // F5 from any control of the window presses Refresh; Shift+F5 does not.
        Link().IsConnected = false;
        for (QWidget* target : {static_cast<QWidget*>(f->ChkCH[0]),
                                static_cast<QWidget*>(f->ZoomCombo->lineEdit())}) {
            QKeyEvent shifted(QEvent::KeyPress, Qt::Key_F5, Qt::ShiftModifier);
            QApplication::sendEvent(target, &shifted);
            QKeyEvent plain(QEvent::KeyPress, Qt::Key_F5, Qt::NoModifier);
            QApplication::sendEvent(target, &plain);
        }
        Link().IsConnected = true;
        QCOMPARE(MsgBoxService::Log().size(), 3);
        QVERIFY(sim.Log().isEmpty());
    }

    void continuousRefresh_data() {
        QTest::addColumn<QString>("stop");
        QTest::newRow("stopped by a second press") << "press";
        QTest::newRow("ended by closing the window") << "close";
        QTest::newRow("another waveform view takes over") << "other";
    }
    void continuousRefresh() {
        QFETCH(QString, stop);
        QPointer<frmWave> f = openView([](WaveInfo& r) { r.Name = "Wave0"; });
        QPointer<frmWave> other;
        Shell().RefreshType = "Auto";
        Shell().RefreshInterval = 100;

        bool looked = false, lockedOut = false;
        int dataFetches = 0;
        QTimer driver;
        QObject::connect(&driver, &QTimer::timeout, [&] {
            if (!f || !WaveAutoRefresh()) return;
            if (Transfer().TransferBusy || RefreshState(RefreshKind::Wave).Loading) return;
            looked = looked || f->cmdRefresh->property("stopLook").toBool();
            if (LinkFixture::FetchCount(sim) >= 3) {
                // A data view's press fetches nothing meanwhile and says why.
                ViewFixture::PressRefresh(RefreshKind::Data, f.data(), dataFetches);
                lockedOut = WaveAutoRefresh();
                if (stop == "press") {
                    f->cmdRefresh_Click();
                } else if (stop == "close") {
                    QVERIFY(f->close());
                } else {
                    Shell().RefreshType = "Single";
                    Sheets().WaveCount = 2;
                    ResetViewRecord(ViewWave, 1);
                    other = static_cast<frmWave*>(ViewForm(ViewWave, 1));
                    other->Timer1->stop();
                    other->Timer1_Timer();
                    sim.ClearLog();
                    other->cmdRefresh_Click();
                }
                return;
            }
            f->Timer2_Timer();
        });
        driver.start(1);

        f->cmdRefresh_Click();
        driver.stop();

        QVERIFY(looked);
        QVERIFY(lockedOut);
        QCOMPARE(dataFetches, 0);
        QCOMPARE(MsgBoxService::Log().size(), 1);
        QCOMPARE(MsgBoxService::Log().first().text, MessageTable().MsgOtherViewRefreshing.arg("Wave0"));
        QVERIFY(!WaveAutoRefresh());
        QVERIFY(!Sheets().WaveViews[0].AutoRefresh);
        QVERIFY(!RefreshState(RefreshKind::Wave).Loading);
        if (stop == "close") {
            QTRY_VERIFY(!f);
            QVERIFY(!Sheets().WaveViews[0].WindowOpen);
            return;
        }
        QVERIFY(f);
        QVERIFY(!f->cmdRefresh->property("stopLook").toBool());
        QVERIFY(!f->Timer2->isActive());
        QVERIFY(f->cmdRefresh->isEnabled());
        if (stop == "other") {
            QCOMPARE(LinkFixture::FetchCount(sim), 1);  // the other view's own single fetch
            QVERIFY(Sheets().WaveViews[1].HasData);
        }
    }

    void firstTickTakesTheStoredOptionsWithoutModifying() {
        QPointer<frmWave> f = openView([](WaveInfo& r) {
            r.Ch2Chosen = true;
            r.ShowGrid = false;
            r.ColorDisplay = false;
            r.BestFit = false;
        });
        QVERIFY(!Sheets().SheetModified);
        QVERIFY(Sheets().WaveViews[0].WindowOpen);
        QVERIFY(f->ChkCH[1]->isChecked() && !f->ChkCH[0]->isChecked());
        QVERIFY(!f->GridCheck->isChecked());
        QVERIFY(f->OptionColor[1]->isChecked());
        QVERIFY(!f->BestFitChk->isChecked() && f->ZoomCombo->isEnabled());
        QCOMPARE(f->ZoomFactor, 1.5);
        QCOMPARE(f->WavePic->size(), QSize(525, 375));
        // The picture is black and white.
        QCOMPARE(f->ShownPicture().pixel(5, 5), QColor(Qt::white).rgb());

        // The instrument stops showing CH2: the box goes off within a tick.
        DSOSettings().CH2Display = OffWord();
        f->Timer1_Timer();
        QVERIFY(!f->ChkCH[1]->isEnabled() && !f->ChkCH[1]->isChecked());
        QVERIFY(!Sheets().WaveViews[0].Ch2Chosen);
        QVERIFY(f->ChkCH[0]->isChecked() && Sheets().WaveViews[0].Ch1Chosen);

        // Options the user changes are kept in the record and mark the sheet.
        f->GridCheck->click();
        QVERIFY(Sheets().WaveViews[0].ShowGrid);
        QVERIFY(Sheets().SheetModified);
    }

    void zoomAndScrolling() {
        QPointer<frmWave> f = openView([](WaveInfo& r) { r.BestFit = false; });
        // A hidden window gets its resize event when shown: run the layout.
        f->resize(frmWave::PanelTwips / 15 + 400, 100 / 15 + 300);  // container 400 x 300
        f->Form_Resize();
        QCOMPARE(f->BackPic->size(), QSize(400, 300));
        // 150%: both bars, panning by percent of the range.
        QVERIFY(f->HScroll->isVisibleTo(f) && f->VScroll->isVisibleTo(f));
        QCOMPARE(f->ScrollRangeX, 125.0f);
        QCOMPARE(f->HScroll->pageStep(), 76);
        f->HScroll->setValue(40);
        QCOMPARE(f->WavePic->x(), -50);
        f->VScroll->setValue(100);
        QCOMPARE(f->WavePic->y(), -75);
        // Any layout puts the picture back at the origin.
        f->GridCheck->click();
        QCOMPARE(f->WavePic->pos(), QPoint(0, 0));
        QCOMPARE(f->HScroll->value(), 0);

        // Typed factors: refused ones leave the factor and show it again.
        const QList<QPair<QString, QString>> typed = {
            {"200%", "200%"}, {"abc%", "200%"}, {"5000%", "200%"}, {"50%", "50%"}};
        int messages = 0;
        for (const auto& [text, shown] : typed) {
            f->ZoomCombo->setEditText(text);
            f->ZoomCombo_Change();
            QCOMPARE(f->ZoomCombo->currentText(), shown);
            messages += text != shown;
        }
        QCOMPARE(MsgBoxService::Log().size(), messages);
        QCOMPARE(MsgBoxService::Log().first().text, QString("Invalid Zoom Factor!"));
        QCOMPARE(f->ZoomFactor, 0.5);
        QVERIFY(!f->HScroll->isVisibleTo(f) && !f->VScroll->isVisibleTo(f));

        // Best Fit follows the window; switching it off keeps the factor.
        f->BestFitChk->click();
        QVERIFY(!f->ZoomCombo->isEnabled());
        f->resize(frmWave::PanelTwips / 15 + 700, 100 / 15 + 300);
        f->Form_Resize();
        QCOMPARE(f->ZoomFactor, 1.2);
        QCOMPARE(f->ZoomCombo->currentText(), QString("120%"));
        QCOMPARE(f->WavePic->size(), QSize(420, 300));
        f->BestFitChk->click();
        QVERIFY(f->ZoomCombo->isEnabled());
        QCOMPARE(f->ZoomFactor, 1.2);
    }
};

QTEST_MAIN(WaveViewSimTest)
#include "tst_waveview_sim.moc"
