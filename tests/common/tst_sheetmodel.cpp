#include <QtTest>
#include <algorithm>
#include <memory>

#include "TestEnv.h"
#include "common/SheetModel.h"

Q_DECLARE_METATYPE(ViewKind)

class SheetModelTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { TestEnv::Init(); }

    void slotBoundsPerKind_data() {
        QTest::addColumn<ViewKind>("kind");
        QTest::addColumn<int>("slotTotal");
        QTest::addColumn<int>("maxViews");
        QTest::newRow("wave") << ViewWave << 18 << 16;
        QTest::newRow("measure") << ViewMeasure << 18 << 16;
        QTest::newRow("data") << ViewData << 18 << 16;
        QTest::newRow("record") << ViewRecord << 5 << 4;
        QTest::newRow("memory wave") << ViewMemoryWave << 4 << 3;
    }
    void slotBoundsPerKind() {
        QFETCH(ViewKind, kind);
        QFETCH(int, slotTotal);
        QFETCH(int, maxViews);
        QCOMPARE(SlotCount(kind), slotTotal);
        QCOMPARE(MaxViewCount(kind), maxViews);
        ResetViewRecord(kind, slotTotal);  // ignored, no crash
        ResetViewRecord(kind, -1);

        ViewCount(kind) = 2;
        const int16_t counts[] = {Sheets().WaveCount, Sheets().MeasureCount, Sheets().DataCount,
                                  Sheets().RecordCount, Sheets().MemWaveCount};
        QCOMPARE(counts[kind], int16_t(2));
        ViewCount(kind) = 0;
    }

    void resetGivesANewViewsRecordButKeepsTheWindowFlag() {
        WaveInfo& w = Sheets().WaveViews[5];
        w.Name = "old";
        w.HasData = true;
        w.WindowOpen = true;
        w.Ch1Samples[1024] = 77;
        w.ColorDisplay = false;
        w.SystemData.TraceFirstX = 9;
        Sheets().WaveViews[6].Name = "neighbour";
        ResetViewRecord(ViewWave, 5);
        QVERIFY(w.Name.isEmpty());
        QVERIFY(!w.HasData);
        QVERIFY(w.WindowOpen);
        QCOMPARE(w.Ch1Samples[1024], 0);
        QVERIFY(w.ColorDisplay && w.ShowGrid && w.BestFit && !w.SplitDisplay);
        QCOMPARE(w.SystemData.TraceFirstX, int16_t(0));
        QCOMPARE(Sheets().WaveViews[6].Name, QString("neighbour"));

        DataInfo& d = Sheets().DataViews[17];
        d.HasData = true;
        d.PointCount = 3;
        d.VoltTexts = QStringList{"a", "b", "c", "d"};
        d.Title = "old table";
        ResetViewRecord(ViewData, 17);
        QVERIFY(!d.HasData);
        QCOMPARE(d.PointCount, 0);
        QVERIFY(d.VoltTexts.isEmpty() && d.Title.isEmpty());

        MeasureInfo& m = Sheets().MeasureViews[0];
        m.HasData = true;
        m.Items[17].Value = "1.0V";
        ResetViewRecord(ViewMeasure, 0);
        QVERIFY(!m.HasData);
        QVERIFY(m.Items[17].Value.isEmpty());

        RecordInfo& r = Sheets().RecordViews[4];
        r.Samples.assign(2048, 5);
        r.LoopReplay = false;
        r.FrameInterval = 1.0;
        ResetViewRecord(ViewRecord, 4);
        QVERIFY(r.Samples.empty());
        QVERIFY(r.LoopReplay && r.BlackBackground);
        QCOMPARE(r.FrameInterval, 0.05);

        MemWaveInfo& mw = Sheets().MemWaveViews[3];
        mw.Loaded = true;
        mw.Ch1Memory.assign(10, 1);
        mw.ShowGrid = false;
        ResetViewRecord(ViewMemoryWave, 3);
        QVERIFY(!mw.Loaded && mw.Ch1Memory.empty() && mw.ShowGrid && mw.BlackBackground);
    }

    // A trace assigned over another ends equal to it, in every piece: the
    // first and last slots, a piece boundary, and a piece that was equal.
    void assignedTraceEqualsItsSource() {
        auto to = std::make_unique<SampleArray>();
        auto from = std::make_unique<SampleArray>();
        to->fill(7);
        from->fill(7);
        (*from)[0] = 1;
        (*from)[1023] = 2;
        (*from)[1024] = 3;
        (*from)[8192] = 4;
        for (int k = 3000; k < 3100; ++k) (*from)[size_t(k)] = -k;
        *to = *from;
        QVERIFY(*to == *from);
        *to = SampleArray{};
        QVERIFY(std::all_of(to->begin(), to->end(), [](int32_t v) { return v == 0; }));
    }

    void clearViewRefreshStateCoversEverySlot() {
        for (WaveInfo& w : Sheets().WaveViews) {
            w.AutoRefresh = w.Ch1Chosen = w.LaChosen = w.Ch2Fetched = w.MathFetched = true;
            w.HasData = true;
        }
        for (MeasureInfo& m : Sheets().MeasureViews) m.AutoRefresh = true;
        for (DataInfo& d : Sheets().DataViews) {
            d.AutoRefresh = true;
            d.Channel = "LA";
        }
        ClearViewRefreshState();
        for (const WaveInfo& w : Sheets().WaveViews) {
            QVERIFY(!w.AutoRefresh && !w.Ch1Chosen && !w.LaChosen && !w.Ch2Fetched && !w.MathFetched);
            QVERIFY(w.HasData);  // data is kept
        }
        for (const MeasureInfo& m : Sheets().MeasureViews) QVERIFY(!m.AutoRefresh);
        for (const DataInfo& d : Sheets().DataViews) QVERIFY(!d.AutoRefresh && d.Channel.isEmpty());
    }
};

QTEST_MAIN(SheetModelTest)
#include "tst_sheetmodel.moc"
