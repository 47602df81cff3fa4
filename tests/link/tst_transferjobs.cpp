// The transfer jobs' number rules, the progress display and the transfer
// window's life cycle, without an instrument.
#include <QtTest>

#include "FakeCommandPort.h"
#include "TestEnv.h"
#include "common/Pause.h"
#include "common/Wait.h"
#include "link/LinkEvents.h"
#include "link/LinkState.h"
#include "link/MeasureCatalog.h"
#include "link/TransferJobs.h"
#include "link/TransferValues.h"
#include "measure/model/MeasureList.h"
#include "platform/dialogs/MsgBox.h"
#include "link/TransferSettings.h"
#include "shell/frmPrgress.h"

class TransferJobsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestEnv::Init(); }

    void offsetInPoints_data() {
        QTest::addColumn<float>("offset");
        QTest::addColumn<float>("voltsPerDiv");
        QTest::addColumn<int>("points");
        // x = offset * 25 / vpd, then x +/- 0.5 rounded half to even.
        QTest::newRow("x=1.2") << 0.048f << 1.0f << 2;
        QTest::newRow("x=1.0") << 0.04f << 1.0f << 2;
        QTest::newRow("x=2.0") << 0.08f << 1.0f << 2;
        QTest::newRow("x=-1.2") << -0.048f << 1.0f << -2;
        QTest::newRow("0.1V at 0.5V/div") << 0.1f << 0.5f << 6;
        QTest::newRow("-0.1V at 0.5V/div") << -0.1f << 0.5f << -6;
        QTest::newRow("zero offset") << 0.0f << 1.0f << 0;
        QTest::newRow("zero volts per div") << 0.3f << 0.0f << 0;
    }
    void offsetInPoints() {
        QFETCH(float, offset);
        QFETCH(float, voltsPerDiv);
        QFETCH(int, points);
        QCOMPARE(OffsetInPoints(offset, voltsPerDiv), points);
    }

    void tableNumberMasks_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("0.5") << 0.5 << "5.00E-01";
        QTest::newRow("0") << 0.0 << "0.00E00";
        QTest::newRow("-2") << -2.0 << "-2.00E00";
        QTest::newRow("2.5") << 2.5 << "2.50E+00";
        QTest::newRow("1") << 1.0 << "1.00E+00";
        QTest::newRow("-6 ms") << double(float(-0.006)) << "-6.00E-03";
        QTest::newRow("half away from zero") << 1.125 << "1.13E+00";
        QTest::newRow("rounds into next decade") << 999.5 << "1.00E+03";
        QTest::newRow("large") << 123456.0 << "1.23E+05";
        // 1 ns/div, offset 1 us, point 250: rounded from the single-precision
        // value's 7 digits (1.005000E-06), not from its 15 (1.00499999...).
        QTest::newRow("single precision") << double(float(double(1e-9f / 50.0f) * 250 + 1e-6)) << "1.01E-06";
    }
    void tableNumberMasks() {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(FormatTableNumber(value), text);
    }

    void sampleConversion_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("invert");
        QTest::addColumn<QString>("run");
        QTest::addColumn<bool>("split");
        QTest::addColumn<QList<int>>("raw");
        QTest::addColumn<QList<int>>("converted");
        const QList<int> edges{25, 125, 224, 0, 255};
        QTest::newRow("CH1 plain") << "CH1" << "OFF" << "RUN" << false << edges
                                   << QList<int>{0, 100, 199, 0, 199};
        QTest::newRow("CH1 inverted running") << "CH1" << "ON" << "RUN" << false << edges
                                              << QList<int>{200, 100, 1, 200, 1};
        QTest::newRow("CH2 inverted stopped") << "CH2" << "ON" << "STOP" << false << edges
                                              << QList<int>{0, 100, 199, 0, 199};
        QTest::newRow("invert word is case-sensitive") << "CH1" << "on" << "RUN" << false << edges
                                                       << QList<int>{0, 100, 199, 0, 199};
        QTest::newRow("MATH never inverted") << "MATH" << "ON" << "RUN" << false << edges
                                             << QList<int>{0, 100, 199, 0, 199};
        QTest::newRow("FFT split halves m") << "FFT" << "OFF" << "RUN" << true
                                            << QList<int>{37, 38, 0, 255}
                                            << QList<int>{24, 26, 0, 199};
        QTest::newRow("FFT full screen") << "FFT" << "OFF" << "RUN" << false
                                         << QList<int>{37, 24, 255} << QList<int>{12, 0, 199};
    }
    void sampleConversion() {
        QFETCH(QString, source);
        QFETCH(QString, invert);
        QFETCH(QString, run);
        QFETCH(bool, split);
        QFETCH(QList<int>, raw);
        QFETCH(QList<int>, converted);
        std::vector<int32_t> src(8193, 0);
        for (int i = 0; i < raw.size(); ++i) src[size_t(i + 1)] = raw[i];
        const auto out = ConvertWaveSamples(src.data(), int(raw.size()), source, invert, run, split, 25);
        QCOMPARE(int(out.size()), 8193);
        QCOMPARE(out[0], 0);
        for (int i = 0; i < converted.size(); ++i) QCOMPARE(out[size_t(i + 1)], converted[i]);
        QCOMPARE(out[size_t(raw.size() + 1)], 0);  // nothing beyond the samples read
    }

    void sampleConversionIsBounded() {
        std::vector<int32_t> src(8193, 100);
        const auto out = ConvertWaveSamples(src.data(), 100000, "CH1", "OFF", "RUN", false, 25);
        QCOMPARE(int(out.size()), 8193);
        QCOMPARE(out[8192], 75);
        QCOMPARE(ConvertWaveSamples(src.data(), -5, "CH1", "OFF", "RUN", false, 25)[1], 0);
    }

    void progressBarRefusesPastItsMaximum() {
        auto& t = Transfer();
        t.ProgressValue = 0;
        for (int i = 0; i < 18; ++i) AddProgress(5.6);
        QCOMPARE(float(t.ProgressValue), 95.2f);
        SetProgress(-1);
        QCOMPARE(float(t.ProgressValue), 95.2f);
    }

    void wavePercentStaysUnderCapAndHundred() {
        auto& t = Transfer();
        t.TransferCode = JobWaveView;
        t.TransferSlot = 3;
        t.TransferBusy = true;
        t.ProgressStep = 3;
        t.WavePercent = 1;
        t.WavePercentCap = 33.5;
        QList<int> seen;
        for (int i = 0; i < 12; ++i) {
            ProgressTimerTick();
            seen << t.WavePercent;
        }
        QCOMPARE(seen.first(), 4);
        QCOMPARE(seen.last(), 34);  // the cap, rounded half to even
        t.WavePercentCap = 250;
        t.WavePercent = 99;
        ProgressTimerTick();
        QCOMPARE(t.WavePercent, 100);
        // Outside a running job 6 the view's percentage stays put.
        t.TransferBusy = false;
        t.WavePercent = 7;
        ProgressTimerTick();
        QCOMPARE(t.WavePercent, 7);
        t.TransferCode = JobNone;
    }

    void storedWindowPosition_data() {
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("top");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        // Screen 15360 x 11520 twips, window 4515 x 690 twips.
        QTest::newRow("defaults") << "500" << "800" << 500 << 800;
        QTest::newRow("off to the right and below") << "20000" << "12000" << 400 << 600;
        QTest::newRow("off to the left and above") << "-5000" << "-700" << 400 << 600;
        QTest::newRow("partly off stays") << "-4000" << "-600" << -4000 << -600;
        QTest::newRow("not numbers") << "abc" << "xyz" << 400 << 0;
        QTest::newRow("top beyond 16 bits") << "10" << "99999" << 10 << 0;
    }
    void storedWindowPosition() {
        QFETCH(QString, left);
        QFETCH(QString, top);
        QFETCH(int, x);
        QFETCH(int, y);
        QCOMPARE(ProgressLeftFromStored(left, 15360, 4515), x);
        QCOMPARE(ProgressTopFromStored(top, 11520, 690), y);
    }

    // The window takes its stored place when it loads and stores it when it unloads.
    void windowPositionIsStoredInTwips() {
        WriteTransferSetting("ProgressLeft", "3000");
        WriteTransferSetting("ProgressTop", "1500");
        QPoint placed;
        TransferUi().UploadSettings = [&] {
            placed = LoadedTransferForm()->pos();
            LoadedTransferForm()->move(40, 60);
        };
        QVERIFY(RunTransfer(JobUpload, "Data Uploading...", true));
        QCOMPARE(placed, QPoint(200, 100));
        QCOMPARE(ReadTransferSetting("ProgressLeft", ""), QString("600"));
        QCOMPARE(ReadTransferSetting("ProgressTop", ""), QString("900"));
        TransferUi().UploadSettings = nullptr;
    }

    // An unset code runs no job: the window still asks the trigger status,
    // pauses 200 ms and closes, and the callers find no earlier results.
    void unsetCodeRunsNoJobAndLeavesNoOldResults() {
        auto& t = Transfer();
        t.MeasureResults[0].Value = "1.00V";
        t.DataTitle = "old title";
        t.DataPointCount = 600;
        t.DataVoltText[1] = "4.00E+00";
        PauseService::ClearLog();
        QVERIFY(RunTransfer(JobNone, "Measure Data Loading...", true));
        QVERIFY(t.TransferDone);
        QVERIFY(!t.TransferBusy);
        QCOMPARE(PauseService::Log(), QList<int>{200});
        QVERIFY(t.MeasureResults[0].Value.isEmpty());
        QVERIFY(t.DataTitle.isEmpty());
        QCOMPARE(t.DataPointCount, 0);
        QVERIFY(t.DataVoltText[1].isEmpty());
        QVERIFY(!LoadedTransferForm());
    }

    // Busy from load to the end of the job: a second transfer is refused,
    // the window cannot be closed, and the code set after loading is the one run.
    void windowRefusesCloseAndSecondTransferWhileBusy() {
        auto& t = Transfer();
        bool sawRefusals = false;
        TransferUi().UploadSettings = [&] {
            QVERIFY(t.TransferBusy);
            QVERIFY(!RunTransfer(JobDownload, "Data Downloading...", true));
            frmPrgress* form = LoadedTransferForm();
            QVERIFY(form);
            QVERIFY(!form->close());
            QVERIFY(form->isVisible());
            sawRefusals = true;
        };
        bool downloadRan = false;
        TransferUi().DownloadSettings = [&] { downloadRan = true; };
        QVERIFY(RunTransfer(JobUpload, "Data Uploading...", true));
        QVERIFY(sawRefusals);
        QVERIFY(!downloadRan);
        QVERIFY(!t.TransferBusy);
        QCOMPARE(t.TransferCode, int(JobNone));
        TransferUi().UploadSettings = nullptr;
        TransferUi().DownloadSettings = nullptr;
    }

    void ownerClosedBeforeTheJobRanReleasesTheCaller() {
        auto* owner = new QWidget;
        TransferWindowOwner() = owner;
        TransferForm();
        QVERIFY(Transfer().TransferBusy);
        delete owner;
        QVERIFY(!LoadedTransferForm());
        QVERIFY(!Transfer().TransferBusy);
        QVERIFY(Transfer().TransferDone);
        TransferWindowOwner() = nullptr;
    }

    // A measurement reply that came but is no value the formatter reads (an
    // empty line, a reading below the range, a stray byte before the number)
    // leaves its row "*****", which is judged a failure; the other rows are
    // kept and the link stays up. A query with no reply at all still fails
    // the job.
    // One reply on the Vpp, Rise Time and Duty+ rows: a number in the row's
    // unit, a bound with its sign, the overflow mark of a number the row
    // cannot show; a reply that is no value makes the row "*****" and is
    // counted. Only a plain number in range can pass; the other rows and the
    // link are kept.
    void unusableMeasurementReply_data() {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QString>("vpp");
        QTest::addColumn<QString>("rise");
        QTest::addColumn<QString>("duty");
        QTest::addColumn<bool>("passes");
        const QString none = "*****";
        QTest::newRow("number") << "2.000e+00\n" << "2.00V" << "2.000s" << "200.0%" << true;
        QTest::newRow("number and carriage return") << "2.000e+00\r\n" << "2.00V" << "2.000s" << "200.0%" << true;
        QTest::newRow("below the range") << "<2.000e-09\n" << "<0.00uV" << "<2.000ns" << "<0.00%" << false;
        QTest::newRow("above the range") << ">5.0e+01\r\n" << ">50.0V" << ">50.00s" << ">5000.0%" << false;
        QTest::newRow("no measurement") << "9.9e37\n" << "??.?V" << "??.?s" << "??.?%" << false;
        QTest::newRow("beyond single precision") << "1e308\n" << "??.?V" << "??.?s" << "??.?%" << false;
        QTest::newRow("bound beyond") << "<-9.9e37\n" << "<??.?V" << "<??.?s" << "<??.?%" << false;
        QTest::newRow("beyond a double") << "1e309\n" << "??.?V" << "??.?s" << "??.?%" << false;
        QTest::newRow("negative beyond a double") << "-1.0E+400\r\n" << "??.?V" << "??.?s" << "??.?%" << false;
        QTest::newRow("infinity") << "inf\n" << "??.?V" << "??.?s" << "??.?%" << false;
        QTest::newRow("negative infinity in capitals") << "-INF\n" << "??.?V" << "??.?s" << "??.?%" << false;
        QTest::newRow("bound of infinity") << ">+Infinity\n" << ">??.?V" << ">??.?s" << ">??.?%" << false;
        QTest::newRow("not a number") << "nan\n" << none << none << none << false;
        QTest::newRow("bound without a number") << "<\n" << none << none << none << false;
        QTest::newRow("bound of letters") << ">abc\n" << none << none << none << false;
        QTest::newRow("bound of a bound") << "<<2.0\n" << none << none << none << false;
        QTest::newRow("empty line") << "\n" << none << none << none << false;
        QTest::newRow("vertical tab first") << "\v2.000e+00\n" << none << none << none << false;
        QTest::newRow("no-break space first") << QString(QChar(0xA0)) + "2.000e+00\n" << none << none << none << false;
        QTest::newRow("next-line byte first") << QString(QChar(0x85)) + "2.000e+00\n" << none << none << none << false;
        QTest::newRow("group separator") << "2,000\n" << none << none << none << false;
        QTest::newRow("unit after the number") << "2.0V\n" << none << none << none << false;
        QTest::newRow("mark after a control byte") << "\v*****\n" << none << none << none << false;
    }
    void unusableMeasurementReply() {
        QFETCH(QString, reply);
        QFETCH(QString, vpp);
        QFETCH(QString, rise);
        QFETCH(QString, duty);
        QFETCH(bool, passes);
        FakeCommandPort port;
        port.replies = {{":TRIGGER:STATUS?", "RUN\n"}, {":TRIGGER:MODE?", "EDGE\n"},
                        {":CHANNEL1:SCALE?", "1.000e+00\n"}, {":ACQUIRE:SAMP? CHANNEL1", "1.000e+08\n"},
                        {":TIMEBASE:SCALE?", "5.000e-04\n"}};
        for (int item : MeasureQueryOrder)
            port.replies[QString(":MEASURE:%1? CHANNEL1").arg(MeasureOfItem(item).keyword)] = "1.000e-03\n";
        for (const char* keyword : {"VPP", "RISETIME", "PDUTYCYCLE"})
            port.replies[QString(":MEASURE:%1? CHANNEL1").arg(keyword)] = reply;
        SetLinkConnected(true);
        MsgBoxService::ClearLog();

        QVERIFY(RunTransfer(JobMeasureCH1, "Measure Data Loading...", true));
        QVERIFY(Link().IsConnected);
        QVERIFY(MsgBoxService::Log().isEmpty());
        const auto& results = Transfer().MeasureResults;
        QCOMPARE(results[0].Value, vpp);
        QCOMPARE(results[8].Value, rise);
        QCOMPARE(results[16].Value, duty);
        QCOMPARE(Transfer().MeasureUnread, vpp == "*****" ? 3 : 0);
        for (int item : {0, 8, 16}) {
            MeasureItem it = results[size_t(item)];
            it.Enable = true;
            it.Under = -1e3;
            it.Over = 1e3;
            QCOMPARE(Judge(it, MeasureOfItem(item).family), passes ? Verdict::Pass : Verdict::Fail);
        }
        QCOMPARE(results[1].Value, FormatVolt("1.000e-03"));     // Vmax
        QCOMPARE(results[17].Value, FormatPercent("1.000e-03"));  // Duty-
        QVERIFY(Transfer().DataTitle.startsWith("CH1 1.00V  " + FormatTime4("5.000e-04") + " "));

        port.replies.remove(":MEASURE:VMAX? CHANNEL1");
        QVERIFY(!RunTransfer(JobMeasureCH1, "Measure Data Loading...", true));
        QVERIFY(!Link().IsConnected);
        QVERIFY(Transfer().MeasureResults[0].Value.isEmpty());
        QCOMPARE(Transfer().MeasureUnread, 0);
    }

    void jobSixHidesTheViewProgressAndStaysHidden() {
        int hiddenSlot = -1;
        bool windowShown = true;
        TransferUi().HideWaveProgress = [&](int slot) {
            hiddenSlot = slot;
            windowShown = LoadedTransferForm() && LoadedTransferForm()->isVisible();
        };
        // No instrument here: the job cannot finish, and says so.
        QVERIFY(!RunTransfer(JobWaveView, "Waveform Data Loading...", false, 5));
        QVERIFY(Transfer().TransferFailed);
        QCOMPARE(hiddenSlot, 5);
        QVERIFY(!windowShown);
        // A slot outside the view table runs nothing.
        hiddenSlot = -1;
        QVERIFY(RunTransfer(JobWaveView, "Waveform Data Loading...", false, 18));
        QCOMPARE(hiddenSlot, -1);
        TransferUi().HideWaveProgress = nullptr;
    }
};

QTEST_MAIN(TransferJobsTest)
#include "tst_transferjobs.moc"
