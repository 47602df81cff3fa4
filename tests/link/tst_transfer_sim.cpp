// The transfer jobs against the simulated instrument, over TCP (the USB side
// through an alias) and over a pseudo-terminal (the serial side): the command
// stream and the pauses of each job, the results against what the instrument
// sent, and misbehaving replies.
#include <QtTest>

#include "LinkFixture.h"
#include "Simulator.h"
#include "TestEnv.h"
#include "common/Pause.h"
#include "common/SheetModel.h"
#include "common/ShellState.h"
#include "link/Formatters.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/RS232Func.h"
#include "link/ReplyParse.h"
#include "link/TransferJobs.h"
#include "link/TransferValues.h"
#include "link/UsbFunc.h"
#include "link/Vocabulary.h"
#include "common/DSOSettings.h"
#include "shell/frmPrgress.h"

namespace {

// The expected exchange of a job: queries, commands (each followed by the
// command layer's 100 ms) and the job's own pauses, in order.
class Exchange {
public:
    explicit Exchange(bool serial) : serial_(serial) {}
    Exchange& Q(const QString& query) {
        commands << query;
        if (serial_) pauses << CommWritePauseMs(int(query.size()), Shell().BaudRate);
        return *this;
    }
    Exchange& S(const QString& command) {
        commands << command;
        if (serial_) pauses << CommWritePauseMs(int(command.size()), Shell().BaudRate);
        pauses << 100;
        return *this;
    }
    Exchange& P(int ms) {
        pauses << ms;
        return *this;
    }
    QStringList commands;
    QList<int> pauses;

private:
    bool serial_;
};

const char* const MeasureKeywords[18] = {
    "FREQUENCY", "VPP",        "VMAX",       "VMIN",   "VTOP",     "VAVERAGE",
    "VBASE",     "VRMS",       "VAMPLITUDE", "PDUTYCYCLE", "NDUTYCYCLE", "PERIOD",
    "RISETIME",  "FALLTIME",   "PWIDTH",     "NWIDTH", "OVERSHOOT", "PRESHOOT"};
const char* const MeasureKinds[18] = {"f", "v", "v", "v", "v", "v", "v", "v", "v",
                                      "p", "p", "t", "t", "t", "t", "t", "p", "p"};
const int MeasureRowSlots[18] = {7, 0, 1, 2, 4, 3, 5, 6, 15, 16, 17, 10, 8, 9, 11, 12, 13, 14};

QByteArray ReadBlockNow(const QString& source) {
    // One block read the way the jobs do it, for comparison.
    SendCmd(":WAVEFORM:DATA? " + source);
    Link().WaveSamples.fill(0);
    int n = 0;
    if (Shell().ScopeIOType == 2) {
        if (WaitCommBinary()) n = int(std::min<qint64>(Serial().RxExpected, 8192));
        for (int i = 1; i <= n; ++i) Link().WaveSamples[size_t(i)] = uint8_t(Serial().RxBuffer[i - 1]);
    } else {
        int32_t count = 0;
        ReadVisaBlock(count);
        n = count;
    }
    QByteArray bytes;
    for (int i = 1; i <= n; ++i) bytes.append(char(Link().WaveSamples[size_t(i)]));
    return bytes;
}

}  // namespace

class TransferSimTest : public QObject {
    Q_OBJECT
private:
    Simulator sim;
    QTimer tick;

    bool serial() const { return Shell().ScopeIOType == 2; }

    void connectOver(const QString& transport) {
        QVERIFY(LinkFixture::ConnectOver(sim, transport, lastTransport));
        sim.Set(":TRIGGER:MODE", "EDGE");
        sim.Set(":TIMEBASE:FORMAT", "Y-T");
        sim.Set(":MATH:DISPLAY", "ON");
        sim.Set(":FFT:DISPLAY", "OFF");
        sim.ClearLog();
        PauseService::ClearLog();
    }
    QString lastTransport;

    // A job over a transport, with the instrument's trigger mode.
    static void jobColumns() {
        QTest::addColumn<QString>("transport");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("mode");
    }
    void connectInMode(const QString& transport, const QString& mode) {
        connectOver(transport);
        sim.Set(":TRIGGER:MODE", mode);
        sim.ClearLog();
    }

    void transports() {
        QTest::addColumn<QString>("transport");
        QTest::newRow("tcp") << "tcp";
        QTest::newRow("pty") << "pty";
    }

private slots:
    void initTestCase() {
        QVERIFY(LinkFixture::StartSimulator(sim));
        LinkFixture::StartQuickSerialTick(tick, sim);
    }
    void cleanup() {
        TransferUi().HideWaveProgress = nullptr;
        CtrlTreeUi().SetNodeText = nullptr;
        sim.SetFault("none");
    }
    void cleanupTestCase() {
        DisconnectDSO();
        LinkFixture::StopSimulator(sim);
    }

    void measurementJob_data() {
        jobColumns();
        for (const char* tr : {"tcp", "pty"}) {
            QTest::addRow("%s CH1 edge", tr) << tr << int(JobMeasureCH1) << "EDGE";
            QTest::addRow("%s CH2 alternation", tr) << tr << int(JobMeasureCH2) << "ALTERNATION";
        }
    }
    void measurementJob() {
        QFETCH(QString, transport);
        QFETCH(int, code);
        QFETCH(QString, mode);
        connectInMode(transport, mode);
        const QString ch = code == JobMeasureCH1 ? "CHANNEL1" : "CHANNEL2";

        QVERIFY(RunTransfer(code, "Measure Data Loading...", true));

        Exchange e(serial());
        e.Q(":TRIGGER:STATUS?").P(200).Q(":TRIGGER:MODE?").Q(":" + ch + ":SCALE?").Q(":ACQUIRE:SAMP? " + ch);
        if (mode == "ALTERNATION") e.S(":TRIGGER:ALTERNATION:SOURCE " + ch).Q(":TRIGGER:ALTERNATION:TIMESCALE?");
        else e.Q(":TIMEBASE:SCALE?");
        e.S(":MEASURE:SOURCE " + ch);
        for (int i = 0; i < 18; ++i) {
            e.Q(QString(":MEASURE:%1? ").arg(MeasureKeywords[i]) + ch);
            if (i < 17) e.P(100);
        }
        e.P(200);
        QCOMPARE(sim.Log(), e.commands);
        QCOMPARE(PauseService::Log(), e.pauses);
        QCOMPARE(float(Transfer().ProgressValue), 95.2f);

        // Every value is the reply the instrument gives, through its row's
        // formatter ("*****" for a volt, time or frequency it cannot measure).
        const auto& results = Transfer().MeasureResults;
        int measured = 0;
        for (int i = 0; i < 18; ++i) {
            const QString reply = TrimReply(QueryCmd(QString(":MEASURE:%1? ").arg(MeasureKeywords[i]) + ch));
            QVERIFY2(!reply.isEmpty(), MeasureKeywords[i]);
            const QString kind = MeasureKinds[i];
            QString expected;
            if (reply.contains('*')) expected = kind == "p" ? reply : "*****";
            else if (kind == "v") expected = FormatVolt(reply);
            else if (kind == "t") expected = FormatTime4(reply);
            else if (kind == "f") expected = FormatFreq(reply);
            else expected = FormatPercent(reply);
            QCOMPARE(results[size_t(MeasureRowSlots[i])].Value, expected);
            measured += !reply.contains('*');
        }
        QVERIFY(measured >= 12);
        const QString timeScale = mode == "ALTERNATION" ? ":TRIGGER:ALTERNATION:TIMESCALE?" : ":TIMEBASE:SCALE?";
        const QString title = Transfer().DataTitle;
        QVERIFY2(title.startsWith(QString("CH%1 ").arg(code) + FormatVolt(TrimReply(QueryCmd(":" + ch + ":SCALE?"))) +
                                  "  " + FormatTime4(TrimReply(QueryCmd(timeScale))) + " "),
                 qPrintable(title));
        QVERIFY2(title.contains("Sa  [Date:") && title.endsWith("]"), qPrintable(title));
    }

    void dataTableJob_data() {
        jobColumns();
        for (const char* tr : {"tcp", "pty"}) {
            QTest::addRow("%s CH1", tr) << tr << int(JobDataCH1) << "EDGE";
            QTest::addRow("%s LA", tr) << tr << int(JobDataLA) << "EDGE";
            QTest::addRow("%s CH2 alternation", tr) << tr << int(JobDataCH2) << "ALTERNATION";
            QTest::addRow("%s LA alternation", tr) << tr << int(JobDataLA) << "ALTERNATION";
        }
    }
    void dataTableJob() {
        QFETCH(QString, transport);
        QFETCH(int, code);
        QFETCH(QString, mode);
        connectInMode(transport, mode);
        const bool la = code == JobDataLA;
        const bool alternation = mode == "ALTERNATION" && !la;
        const QString ch = code == JobDataCH1 ? "CHANNEL1" : "CHANNEL2";
        // A voltage column left from an earlier table must not survive an LA table.
        Transfer().DataVoltText[1] = "9.99E+00";

        QVERIFY(RunTransfer(code, "Wave Data Data Loading...", true, 0, [] { SetProgress(1); }));

        Exchange e(serial());
        e.Q(":TRIGGER:STATUS?").Q(":TRIGGER:STATUS?").S(":SYSTEM:DATA?").Q(":TRIGGER:MODE?")
            .Q(":" + ch + ":SCALE?").Q(":" + ch + ":OFFSET?").Q(":" + ch + ":INVERT?");
        if (alternation)
            e.S(":TRIGGER:ALTERNATION:SOURCE " + ch)
                .Q(":TRIGGER:ALTERNATION:TIMESCALE?").Q(":TRIGGER:ALTERNATION:TIMEOFFSET?");
        else
            e.Q(":TIMEBASE:SCALE?").Q(":TIMEBASE:OFFSET?");
        if (!la) e.Q(":" + ch + ":SCALE?").Q(":ACQUIRE:SAMP? " + ch);
        e.S(la ? ":WAVEFORM:DATA? DIGITAL" : ":WAVEFORM:DATA? " + ch).P(200);
        QCOMPARE(sim.Log(), e.commands);
        QCOMPARE(PauseService::Log(), e.pauses);
        QCOMPARE(float(Transfer().ProgressValue), 100.0f);
        // After a system-data read the progress timer ticks every 200 ms over
        // the serial line for the rest of the job, every 1 ms over USB.
        QCOMPARE(Transfer().ProgressTimerInterval, serial() ? 200 : 1);

        const SystemDataRecord screen = SystemDataRecord::FromBytes(
            QByteArray(reinterpret_cast<const char*>(Link().SystemDataBuf.data()), SystemDataRecord::Size));
        const int first = alternation ? screen.LowerFirstX : screen.TraceFirstX;
        const int points = 2 * ((alternation ? screen.LowerLastX : screen.TraceLastX) - first + 1);
        QVERIFY(points > 0);
        QCOMPARE(Transfer().DataPointCount, points);
        QVERIFY(Transfer().DataTitle.contains(QString("  Size=%1  [Date:").arg(points)));

        // Times: dt = time per division / 50, point numbers from the screen's centre.
        const QString timeBase = alternation ? ":TRIGGER:ALTERNATION:TIME" : ":TIMEBASE:";
        const float dt = float(ReplyNumberForTest(timeBase + "SCALE?")) / 50.0f;
        const double offset = ReplyNumberForTest(timeBase + "OFFSET?");
        for (int k : {1, points / 2, points}) {
            const int p = 2 * first + k - 1 - 300 + 2 * first;
            QCOMPARE(Transfer().DataTimeText[size_t(k)], FormatTableNumber(float(double(dt) * p + offset)));
        }
        if (la) {
            QVERIFY(Transfer().DataVoltText[1].isEmpty());
            return;
        }
        // Voltages from the samples the instrument sends.
        const QByteArray raw = ReadBlockNow(ch);
        const float vpd = float(ReplyNumberForTest(":" + ch + ":SCALE?"));
        const int off = OffsetInPoints(float(ReplyNumberForTest(":" + ch + ":OFFSET?")), vpd);
        for (int i : {1, points / 3, points}) {
            const int row = uint8_t(raw[2 * first + i - 1]) - Link().SampleCodeMin;
            QCOMPARE(Transfer().DataVoltText[size_t(i)], FormatTableNumber(float(double(100 - off - row) * vpd / 25.0)));
        }
    }

    void waveformJob_data() { transports(); }
    void waveformJob() {
        QFETCH(QString, transport);
        connectOver(transport);
        WaveInfo& w = Sheets().WaveViews[2];
        w = WaveInfo();
        w.Ch1Chosen = w.Ch2Chosen = w.MathChosen = w.LaChosen = true;
        int hidden = -1;
        TransferUi().HideWaveProgress = [&](int slot) { hidden = slot; };

        QVERIFY(RunTransfer(JobWaveView, "Waveform Data Loading...", false, 2, [] {
            Transfer().WavePercent = 1;
        }));
        QCOMPARE(hidden, 2);
        QVERIFY(!LoadedTransferForm());

        Exchange e(serial());
        e.Q(":TRIGGER:STATUS?").Q(":TRIGGER:STATUS?").Q(":MATH:DISPLAY?").Q(":FFT:DISPLAY?").S(":SYSTEM:DATA?")
            .Q(":TRIGGER:MODE?").Q(":TIMEBASE:FORMAT?")
            .Q(":CHANNEL1:SCALE?").Q(":CHANNEL1:OFFSET?").Q(":CHANNEL2:SCALE?").Q(":CHANNEL2:OFFSET?")
            .Q(":TIMEBASE:SCALE?").Q(":TIMEBASE:OFFSET?")
            .Q(":CHANNEL1:INVERT?").S(":WAVEFORM:DATA? CHANNEL1")
            .Q(":CHANNEL2:INVERT?").S(":WAVEFORM:DATA? CHANNEL2")
            .S(":WAVEFORM:DATA? MATH").S(":WAVEFORM:DATA? DIGITAL").P(200);
        QCOMPARE(sim.Log(), e.commands);
        QCOMPARE(PauseService::Log(), e.pauses);

        QVERIFY(w.Ch1Fetched && w.Ch2Fetched && w.MathFetched && w.LaFetched);
        QCOMPARE(w.TriggerMode, QString("EDGE"));
        QVERIFY(w.YTFormat && !w.XYFormat && !w.SplitDisplay);
        QCOMPARE(w.PointCount, 600);
        QCOMPARE(w.ChannelCode, 2);
        QCOMPARE(w.Ch1Scale, FormatVolt(TrimReply(QueryCmd(":CHANNEL1:SCALE?"))));
        QCOMPARE(w.TimeScale, FormatTime4(TrimReply(QueryCmd(":TIMEBASE:SCALE?"))));
        // The screen description, field by field at its offsets, as the instrument describes it.
        QCOMPARE(w.SystemData.TraceFirstX, int16_t(0));
        QCOMPARE(w.SystemData.TraceLastX, int16_t(299));
        QCOMPARE(w.SystemData.MathShown, uint8_t(1));
        QCOMPARE(w.SystemData.Stored20, 1.0f);
        QCOMPARE(w.SystemData.FFTDbPerDiv, int16_t(20));
        QCOMPARE(w.SystemData.FFTHorizPos, int16_t(150));
        QCOMPARE(w.SystemData.LALastX, int16_t(299));
        QCOMPARE(w.SystemData.ToBytes(),
                 QByteArray(reinterpret_cast<const char*>(Link().SystemDataBuf.data()), SystemDataRecord::Size));
        QCOMPARE(Transfer().WavePercentCap, 100.0);  // 25 per trace, after the fourth

        struct { const char* source; const SampleArray* samples; const char* word; } traces[] = {
            {"CHANNEL1", &w.Ch1Samples, "CH1"}, {"CHANNEL2", &w.Ch2Samples, "CH2"}, {"MATH", &w.MathSamples, "MATH"}};
        for (const auto& tr : traces) {
            const QByteArray raw = ReadBlockNow(tr.source);
            QVERIFY(raw.size() >= 600);
            std::vector<int32_t> src(8193, 0);
            for (int i = 0; i < raw.size() && i < 8192; ++i) src[size_t(i + 1)] = uint8_t(raw[i]);
            const auto expected = ConvertWaveSamples(src.data(), int(std::min<qsizetype>(raw.size(), 8192)), tr.word,
                                                     "OFF", "RUN", false, Link().SampleCodeMin);
            QVERIFY2(std::equal(expected.begin(), expected.end(), tr.samples->begin()), tr.source);
        }
        const QByteArray la = ReadBlockNow("DIGITAL");
        QVERIFY(!la.isEmpty());
        for (int i : {1, int(la.size())}) QCOMPARE(w.LaSamples[size_t(i)], int32_t(uint8_t(la[i - 1])));
    }

    // The other roads through the waveform job: alternation time bases, the
    // X-Y format reading both channels, and a math trace the instrument hides.
    void waveformJobPaths_data() {
        QTest::addColumn<QString>("transport");
        QTest::addColumn<QString>("path");
        for (const char* tr : {"tcp", "pty"})
            for (const char* path : {"alternation", "x-y", "math hidden"}) QTest::addRow("%s %s", tr, path) << tr << path;
    }
    void waveformJobPaths() {
        QFETCH(QString, transport);
        QFETCH(QString, path);
        connectOver(transport);
        WaveInfo& w = Sheets().WaveViews[4];
        w = WaveInfo();
        w.TimeScale = "kept";
        DSOSettings().CH1Display = OffWord();
        DSOSettings().CH2Display = OnWord();
        QList<QPair<int, int>> nodes;
        CtrlTreeUi().SetNodeText = [&](int group, int item, const QString& text) {
            nodes << qMakePair(group, item);
            QCOMPARE(text, ControllerLabel(5) + " [" + OnWord() + "]");
        };
        Exchange e(serial());
        e.Q(":TRIGGER:STATUS?").Q(":TRIGGER:STATUS?").Q(":MATH:DISPLAY?").Q(":FFT:DISPLAY?").S(":SYSTEM:DATA?")
            .Q(":TRIGGER:MODE?").Q(":TIMEBASE:FORMAT?");
        if (path == "alternation") {
            sim.Set(":TRIGGER:MODE", "ALTERNATION");
            w.Ch1Chosen = w.Ch2Chosen = true;
            e.Q(":CHANNEL1:SCALE?").Q(":CHANNEL1:OFFSET?").Q(":CHANNEL2:SCALE?").Q(":CHANNEL2:OFFSET?")
                .S(":TRIGGER:ALTERNATION:SOURCE CHANNEL1").P(100)
                .Q(":TRIGGER:ALTERNATION:TIMESCALE?").Q(":TRIGGER:ALTERNATION:TIMEOFFSET?")
                .S(":TRIGGER:ALTERNATION:SOURCE CHANNEL2").P(100)
                .Q(":TRIGGER:ALTERNATION:TIMESCALE?").Q(":TRIGGER:ALTERNATION:TIMEOFFSET?")
                .Q(":CHANNEL1:INVERT?").S(":WAVEFORM:DATA? CHANNEL1").Q(":CHANNEL2:INVERT?").S(":WAVEFORM:DATA? CHANNEL2");
        } else if (path == "x-y") {
            sim.Set(":TIMEBASE:FORMAT", "X-Y");
            w.Ch1Chosen = true;
            e.Q(":CHANNEL1:SCALE?").Q(":CHANNEL1:OFFSET?").Q(":CHANNEL2:SCALE?").Q(":CHANNEL2:OFFSET?")
                .Q(":TIMEBASE:SCALE?").Q(":TIMEBASE:OFFSET?")
                .Q(":CHANNEL1:INVERT?").S(":WAVEFORM:DATA? CHANNEL1").Q(":CHANNEL2:INVERT?").S(":WAVEFORM:DATA? CHANNEL2");
        } else {
            sim.Set(":MATH:DISPLAY", "OFF");
            w.MathChosen = true;
            e.Q(":TIMEBASE:SCALE?").Q(":TIMEBASE:OFFSET?");
        }
        e.P(200);
        sim.ClearLog();
        PauseService::ClearLog();

        QVERIFY(RunTransfer(JobWaveView, "Waveform Data Loading...", false, 4));
        QCOMPARE(sim.Log(), e.commands);
        QCOMPARE(PauseService::Log(), e.pauses);
        if (path == "alternation") {
            QVERIFY(w.SplitDisplay);
            QCOMPARE(w.TimeScale, QString("kept"));
            QCOMPARE(w.AltCh2TimeScale, FormatTime4(TrimReply(QueryCmd(":TRIGGER:ALTERNATION:TIMESCALE?"))));
            QCOMPARE(Transfer().WavePercent, 100);  // the second of two traces ends at its cap
        } else if (path == "x-y") {
            QVERIFY(w.XYFormat && !w.YTFormat && !w.YTVariant);
            QVERIFY(w.Ch1Fetched && !w.Ch2Fetched && w.Ch2Chosen);
            QCOMPARE(w.ChannelCode, 2);
            QCOMPARE(Transfer().WavePercentCap, 100.0);  // one trace chosen: 100 for both reads
            QCOMPARE(DSOSettings().CH1Display, OnWord());
            QCOMPARE(nodes, (QList<QPair<int, int>>{{2, 2}}));
            QVERIFY(std::any_of(w.Ch2Samples.begin() + 1, w.Ch2Samples.end(), [](int32_t v) { return v != 0; }));
        } else {
            QVERIFY(!w.MathChosen && !w.MathFetched);
            QCOMPARE(w.MathDisplayWord, OffWord());
        }
    }

    // A silent instrument, a cut block and an over-long block: the jobs end,
    // nothing is read outside a buffer, and no earlier data passes for new.
    void misbehavingReplies_data() {
        QTest::addColumn<QString>("transport");
        QTest::addColumn<QString>("fault");
        for (const char* tr : {"tcp", "pty"}) {
            QTest::addRow("%s silent", tr) << tr << "silent";
            QTest::addRow("%s truncated", tr) << tr << "truncate 100";
            QTest::addRow("%s oversize", tr) << tr << "oversize 9000";
        }
    }
    void misbehavingReplies() {
        QFETCH(QString, transport);
        QFETCH(QString, fault);
        connectOver(transport);
        WaveInfo& w = Sheets().WaveViews[1];
        w = WaveInfo();
        w.Ch1Chosen = w.LaChosen = true;
        w.Ch1Samples.fill(-7);
        w.LaSamples.fill(-7);
        Link().WaveSamples.fill(66);
        Transfer().DataPointCount = 600;
        Transfer().DataVoltText[1] = "1.00E+00";
        Link().SystemDataBuf.fill(0x55);
        sim.SetFault(fault);

        // Only extra bytes after a whole block leave a job able to finish.
        const bool finishes = fault.startsWith("oversize");
        QCOMPARE(RunTransfer(JobDataCH1, "Wave Data Data Loading...", true), finishes);
        QCOMPARE(Link().IsConnected, finishes);
        const int rows = Transfer().DataPointCount;
        QVERIFY(rows >= 0 && rows <= 8192);
        if (fault == "silent" || (fault.startsWith("truncate") && serial())) {
            QCOMPARE(rows, 0);
            QVERIFY(Transfer().DataVoltText[1].isEmpty());
        }
        if (fault.startsWith("truncate") && !serial()) QVERIFY(rows <= 100);
        for (int i = rows + 1; i <= rows + 2; ++i) QVERIFY(Transfer().DataVoltText[size_t(i)].isEmpty());

        if (!finishes) {
            connectOver(transport);
            sim.SetFault(fault);
        }
        QCOMPARE(RunTransfer(JobWaveView, "Waveform Data Loading...", false, 1), finishes);
        const auto stale = [](int32_t v) { return v == -7; };
        if (finishes) {
            QVERIFY(std::none_of(w.Ch1Samples.begin(), w.Ch1Samples.end(), stale));
        } else {
            // A fetch that did not finish leaves the view's record as it was.
            QVERIFY(std::all_of(w.Ch1Samples.begin(), w.Ch1Samples.end(), stale));
            QVERIFY(std::all_of(w.LaSamples.begin(), w.LaSamples.end(), stale));
            QVERIFY(!w.Ch1Fetched && !w.LaFetched);
        }
        QVERIFY(!Transfer().TransferBusy);
        sim.SetFault("none");
    }

private:
    static double ReplyNumberForTest(const QString& query) { return ReplyNumber(QueryCmd(query)); }
};

QTEST_MAIN(TransferSimTest)
#include "tst_transfer_sim.moc"
