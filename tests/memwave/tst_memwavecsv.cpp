// The comma-separated text of a memory waveform: byte for byte for small
// records in both modes, the number texts against an exact formatter, the
// progress and the refusals.
#include <QBuffer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>
#include <memory>

#include "common/SheetModel.h"
#include "memwave/model/MemoryWaveCsv.h"

namespace {

// A normal-mode record as a loaded file leaves it.
std::unique_ptr<MemWaveInfo> NormalRecord(int n, bool ch1, bool ch2) {
    auto r = std::make_unique<MemWaveInfo>();
    r->TriggerMode = "EDGE";
    r->MemoryPointCount = n;
    r->SampleRate = 1e6f;
    r->ScreenData.CH1Shown = ch1;
    r->ScreenData.CH2Shown = ch2;
    r->ResetCopy.Ch1VoltsPerDiv = 0.5f;
    r->ResetCopy.Ch2VoltsPerDiv = 1.0f;
    r->ResetCopy.Ch2OffsetVolts = 1.0f;
    r->Ch1Memory.assign(size_t(n) + 1, 125);
    r->Ch2Memory.assign(size_t(n) + 1, 125);
    return r;
}

QByteArray Text(const MemWaveInfo& r) {
    MemoryWaveCsvSource src;
    if (MakeMemoryWaveCsvSource(r, src) != MemoryWaveCsvStatus::Ok) return "refused";
    return MemoryWaveCsvText(src);
}

class FailingDevice : public QIODevice {
public:
    explicit FailingDevice(qint64 room) : room_(room) { open(WriteOnly); }
protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 len) override {
        if (room_ <= 0) return -1;
        const qint64 n = std::min(len, room_);
        room_ -= n;
        return n;
    }
private:
    qint64 room_;
};

}  // namespace

class MemoryWaveCsvTest : public QObject {
    Q_OBJECT

private slots:
    // 1000 points, both channels: the first line and the middle one (which
    // carries the acquisition delay); the view's current scale is not used.
    void normalModeExample() {
        auto r = NormalRecord(1000, true, true);
        r->Ch1Memory[0] = 75;
        r->Ch2Memory[0] = 150;
        r->Ch1VoltsPerDiv = 5;  // stepped in the view: not exported
        r->Ch2OffsetVolts = -3;
        const QList<QByteArray> lines = Text(*r).split('\n');
        QCOMPARE(lines.size(), 1000 + 2 + 1);
        QCOMPARE(lines[0], QByteArray("X,CH1,CH2\r"));
        QCOMPARE(lines[1], QByteArray("Second,Voltage,Voltage\r"));
        QCOMPARE(lines[2], QByteArray("-5.00E-04,1.00E+00,-2.00E00\r"));
        QCOMPARE(lines[2 + 500], QByteArray("0.00E00,0.00E00,-1.00E00\r"));
        QCOMPARE(lines.last(), QByteArray());
        r->AcqDelayTime = 2e-3;
        QCOMPARE(Text(*r).split('\n')[2 + 500], QByteArray("2.00E-03,0.00E00,-1.00E00\r"));
    }

    // Small records byte for byte: CH1 only; ALTERNATION with its own count,
    // middle index, rate and delay per channel and empty fields past the
    // shorter channel; CH2 only in ALTERNATION.
    void wholeText_data() {
        QTest::addColumn<QByteArray>("mode");
        QTest::addColumn<bool>("ch1");
        QTest::addColumn<bool>("ch2");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("normal, CH1 only, 5 points")
            << QByteArray("EDGE") << true << false
            << QByteArray("X,CH1\r\nSecond,Voltage\r\n"
                          "-2.00E-06,1.00E+00\r\n-1.00E-06,5.00E-01\r\n0.00E00,0.00E00\r\n"
                          "1.00E-06,-5.00E-01\r\n2.00E-06,-2.00E-02\r\n");
        QTest::newRow("alternation, both, CH2 longer")
            << QByteArray("ALTERNATION") << true << true
            << QByteArray("X(CH1),CH1,X(CH2),CH2\r\nSecond[S],Voltage[V],Second[S],Voltage[V]\r\n"
                          "-2.00E-06,1.00E+00,1.00E+00,-2.00E00\r\n"
                          "-1.00E-06,5.00E-01,1.00E+00,-2.00E00\r\n"
                          "0.00E00,0.00E00,1.00E+00,-2.00E00\r\n"
                          "1.00E-06,-5.00E-01,1.00E+00,-2.00E00\r\n"
                          "2.00E-06,-2.00E-02,1.00E+00,-2.00E00\r\n"
                          ",,1.00E+00,-2.00E00\r\n"
                          ",,1.00E+00,-2.00E00\r\n");
        QTest::newRow("alternation, CH2 only")
            << QByteArray("ALTERNATION") << false << true
            << QByteArray("X(CH1),X(CH2),CH2\r\nSecond[S],Second[S],Voltage[V]\r\n"
                          "-2.00E-06,1.00E+00,-2.00E00\r\n-1.00E-06,1.00E+00,-2.00E00\r\n"
                          "0.00E00,1.00E+00,-2.00E00\r\n1.00E-06,1.00E+00,-2.00E00\r\n"
                          "2.00E-06,1.00E+00,-2.00E00\r\n,1.00E+00,-2.00E00\r\n,1.00E+00,-2.00E00\r\n");
    }
    void wholeText() {
        QFETCH(QByteArray, mode);
        QFETCH(bool, ch1);
        QFETCH(bool, ch2);
        QFETCH(QByteArray, text);
        auto r = NormalRecord(5, ch1, ch2);
        r->Ch1Memory = {75, 100, 125, 150, 126};
        r->TriggerMode = QString::fromLatin1(mode);
        r->AltCh1PointCount = 5;
        r->AltCh1SampleRate = 1e6f;
        // CH2: 7 points at 1 GSa/s around 1 s; the time stays 1.00E+00.
        r->AltCh2PointCount = 7;
        r->AltCh2SampleRate = 1e9f;
        r->AltCh2AcqDelayTime = 1.0;
        r->Ch2Memory.assign(7, 150);
        QCOMPARE(Text(*r), text);
    }

    void refusals() {
        auto r = NormalRecord(10, false, false);
        MemoryWaveCsvSource src;
        QCOMPARE(MakeMemoryWaveCsvSource(*r, src), MemoryWaveCsvStatus::NoChannel);
        r->ScreenData.CH2Shown = 2;  // only 1 counts as on
        QCOMPARE(MakeMemoryWaveCsvSource(*r, src), MemoryWaveCsvStatus::NoChannel);
        r = NormalRecord(10, true, false);
        r->SampleRate = 0;
        QCOMPARE(MakeMemoryWaveCsvSource(*r, src), MemoryWaveCsvStatus::BadData);
        r = NormalRecord(10, false, true);
        r->Ch2Memory.resize(9);  // shorter than its count (a damaged sheet)
        QCOMPARE(MakeMemoryWaveCsvSource(*r, src), MemoryWaveCsvStatus::BadData);
        r = NormalRecord(10, true, false);
        r->ResetCopy.Ch1VoltsPerDiv = NAN;
        QCOMPARE(MakeMemoryWaveCsvSource(*r, src), MemoryWaveCsvStatus::BadData);
        // A channel at 0 V/div: every voltage 0, no division.
        r->ResetCopy.Ch1VoltsPerDiv = 0;
        QVERIFY(Text(*r).contains("0.00E00,0.00E00\r\n"));
    }

    // The source is a copy: the record may change while the export yields.
    void exportsFromItsCopy() {
        auto r = NormalRecord(3, true, false);
        MemoryWaveCsvSource src;
        QCOMPARE(MakeMemoryWaveCsvSource(*r, src), MemoryWaveCsvStatus::Ok);
        const QByteArray before = MemoryWaveCsvText(src);
        r->Ch1Memory.clear();
        r->MemoryPointCount = 99;
        QCOMPARE(MemoryWaveCsvText(src), before);
    }

    void numberTexts_data() {
        QTest::addColumn<float>("value");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("2.5") << 2.5f << QByteArray("2.50E+00");
        QTest::newRow("1") << 1.0f << QByteArray("1.00E+00");
        QTest::newRow("0.004") << 0.004f << QByteArray("4.00E-03");
        QTest::newRow("0") << 0.0f << QByteArray("0.00E00");
        QTest::newRow("-0") << -0.0f << QByteArray("0.00E00");
        QTest::newRow("-2.5") << -2.5f << QByteArray("-2.50E00");
        QTest::newRow("-0.5") << -0.5f << QByteArray("-5.00E-01");
        QTest::newRow("just below 1 rounds to 1") << 0.9996f << QByteArray("1.00E00");
        QTest::newRow("half away from zero") << 1.125f << QByteArray("1.13E+00");
        QTest::newRow("negative half") << -1.125f << QByteArray("-1.13E00");
        QTest::newRow("round into the next decade") << 999.5f << QByteArray("1.00E+03");
        QTest::newRow("1e-5 as a float") << 1e-5f << QByteArray("1.00E-05");
        QTest::newRow("largest") << 3.4028235e38f << QByteArray("3.40E+38");
        QTest::newRow("smallest") << 1.4e-45f << QByteArray("1.40E-45");
        QTest::newRow("12345") << 12345.0f << QByteArray("1.23E+04");
    }
    void numberTexts() {
        QFETCH(float, value);
        QFETCH(QByteArray, text);
        QCOMPARE(CsvNumberText(value), text);
        QCOMPARE(CsvNumberTextExact(value), text);
    }

    // The fast formatter against the exact one, over random bit patterns and
    // decimal-looking values near rounding edges.
    void fastMatchesExact() {
        QRandomGenerator gen(7);
        for (int k = 0; k < 300000; ++k) {
            float v;
            if (k % 2) {
                const quint32 bits = gen.generate();
                std::memcpy(&v, &bits, 4);
                if (!std::isfinite(v)) continue;
            } else {
                v = float(gen.bounded(2000000) - 1000000) / 2000.0f * std::pow(10.0f, float(gen.bounded(-12, 6)));
            }
            if (CsvNumberText(v) != CsvNumberTextExact(v))
                QFAIL(qPrintable(QString("%1: %2 vs %3").arg(double(v), 0, 'g', 9)
                                     .arg(QString(CsvNumberText(v)), QString(CsvNumberTextExact(v)))));
        }
    }

    // Progress in tens, also for 5 lines or fewer (every line then).
    void progress_data() {
        QTest::addColumn<int>("n");
        QTest::addColumn<QList<int>>("percents");
        QTest::newRow("100 lines") << 100 << QList<int>{0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100};
        QTest::newRow("3 lines") << 3 << QList<int>{0, 10, 20, 30};
        QTest::newRow("1 line") << 1 << QList<int>{0, 10};
        QTest::newRow("15 lines") << 15 << QList<int>{0, 10, 20, 30, 40, 50, 60, 70};
        QTest::newRow("no lines") << 0 << QList<int>{0};
    }
    void progress() {
        QFETCH(int, n);
        QFETCH(QList<int>, percents);
        auto r = NormalRecord(n, true, false);
        MemoryWaveCsvSource src;
        QCOMPARE(MakeMemoryWaveCsvSource(*r, src), MemoryWaveCsvStatus::Ok);
        QList<int> seen;
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(WriteMemoryWaveCsv(buffer, src, {[&](int p) { seen << p; }, {}}));
        QCOMPARE(seen, percents);
        QCOMPARE(buffer.data(), MemoryWaveCsvText(src));
    }

    // A large record goes out in pieces with yields between them; a failing
    // device fails the write; a file that cannot be made reports why and
    // leaves nothing.
    void writing() {
        auto r = NormalRecord(100000, true, true);
        for (int i = 0; i < 100000; ++i) r->Ch1Memory[size_t(i)] = int16_t(i % 200 + 25);
        MemoryWaveCsvSource src;
        QCOMPARE(MakeMemoryWaveCsvSource(*r, src), MemoryWaveCsvStatus::Ok);
        QTemporaryDir dir;
        const QString path = dir.filePath("out.csv");
        int yields = 0;
        QString error;
        QVERIFY(SaveMemoryWaveCsv(path, src, &error, {{}, [&] { ++yields; }}));
        QVERIFY(yields > 1);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), MemoryWaveCsvText(src));

        FailingDevice full(50000);
        QVERIFY(!WriteMemoryWaveCsv(full, src));
        QVERIFY(!SaveMemoryWaveCsv(dir.filePath("missing/out.csv"), src, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!QFile::exists(dir.filePath("missing/out.csv")));
    }
};

QTEST_GUILESS_MAIN(MemoryWaveCsvTest)
#include "tst_memwavecsv.moc"
