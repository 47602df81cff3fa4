// The deep-memory waveform file reader: fields, block layout, damaged files,
// the reset copy.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "FileChanges.h"
#include "WfmBuilder.h"
#include "common/ReadFile.h"
#include "common/SheetModel.h"
#include "memwave/model/WaveformFile.h"

namespace {

void SaveToCorpus(const QString& name, const QByteArray& bytes) {
    const QString dir = qEnvironmentVariable("KV_WFM_CORPUS");
    if (dir.isEmpty()) return;
    QDir().mkpath(dir);
    QFile f(dir + "/" + name + ".wfm");
    if (f.open(QIODevice::WriteOnly)) f.write(bytes);
}

// A normal-mode file with every header field the reader uses set to a value
// of its own.
WfmBuilder FullHeader(bool shortHeader, int32_t n) {
    WfmBuilder b(shortHeader);
    b.points(n)
        .i32(36, 500000)  // CH1 0.5 V/div
        .u16(40, 50)      // CH1 offset 2 div
        .i32(52, 200000)
        .u16(56, uint16_t(-30))
        .i32(60, 1000000)
        .u16(64, uint16_t(-25))
        .i32(76, 2000000)
        .u16(80, 12)
        .i64(84, 1000000)          // 1 us/div
        .i64(92, -1)               // -1 ps
        .f32(100, 2.5e8f)
        .i64(104, 200000)          // 200 ns
        .i64(112, 5000000)         // 5 us
        .u8(121, 3)
        .u16(122, 0x8421)
        .u8(140, 7)
        .u8(141, 9);
    for (int i = 0; i < 16; ++i) b.u8(124 + i, uint8_t(i));
    b.u8(124, 0).u8(125, 1).u8(139, 16);
    return b;
}

std::unique_ptr<MemWaveInfo> Parsed(const QByteArray& bytes, WaveformReadStatus expect = WaveformReadStatus::Ok) {
    WaveformFileData data;
    const WaveformReadStatus status = ParseWaveformFile(bytes, data);
    if (status != expect) {
        qWarning("status %d, expected %d", int(status), int(expect));
        return nullptr;
    }
    auto rec = std::make_unique<MemWaveInfo>();
    if (status == WaveformReadStatus::Ok) CommitWaveformFile(*rec, std::move(data), "/data/a.wfm");
    return rec;
}

}  // namespace

class WfmFileTest : public QObject {
    Q_OBJECT

private slots:
    void headerFieldsAndBlocks_data() {
        QTest::addColumn<bool>("shortHeader");
        QTest::newRow("long header") << false;
        QTest::newRow("short header") << true;
    }
    // Field by field from the byte table; CH1 at 276 (256), CH2 right after,
    // logic after CH2 (long header only); short-header codes are 25 more.
    void headerFieldsAndBlocks() {
        QFETCH(bool, shortHeader);
        const int n = 1000;
        WfmBuilder b = FullHeader(shortHeader, n);
        b.on(true, true, true).ramp(n, 0).ramp(n, 100).ramp(n, 200);
        const QByteArray bytes = b.bytes();
        QCOMPARE(bytes.size(), (shortHeader ? 256 : 276) + 3 * n);
        SaveToCorpus(shortHeader ? "short" : "long", bytes);
        auto rec = Parsed(bytes);
        QVERIFY(rec);
        const MemWaveInfo& r = *rec;
        QVERIFY(r.Loaded);
        QCOMPARE(r.FilePath, QString("/data/a.wfm"));
        QCOMPARE(r.TriggerMode, QString("EDGE"));
        QVERIFY(!r.SplitDisplay);
        QVERIFY(r.YTFormat);
        QCOMPARE(r.StateWord, QString("OFF"));
        QCOMPARE(r.ScreenPointCount, 600);
        QCOMPARE(r.MemoryPointCount, n);
        QCOMPARE(r.Ch1VoltsPerDiv, 0.5f);
        QCOMPARE(r.Ch1OffsetVolts, 1.0f);
        QCOMPARE(r.Ch1AcqVoltsPerDiv, 0.2f);
        QCOMPARE(r.Ch1AcqOffsetCode, int16_t(-30));
        QCOMPARE(r.Ch2VoltsPerDiv, 1.0f);
        QCOMPARE(r.Ch2OffsetVolts, -1.0f);
        QCOMPARE(r.Ch2AcqVoltsPerDiv, 2.0f);
        QCOMPARE(r.Ch2AcqOffsetCode, int16_t(12));
        QCOMPARE(r.TimePerDiv, 1e-6);
        QCOMPARE(r.DelayTime, -1e-12);
        QCOMPARE(r.SampleRate, 2.5e8f);
        QCOMPARE(r.LaTimeValue, 2e-7);
        QCOMPARE(r.AcqDelayTime, 5e-6);
        QCOMPARE(r.HasCh1, true);
        QCOMPARE(r.HasCh2, true);
        QCOMPARE(r.ScreenData.CH1Shown, uint8_t(1));
        QCOMPARE(r.ScreenData.CH2Shown, uint8_t(1));
        const int add = shortHeader ? 25 : 0;
        QCOMPARE(r.Ch1Memory.size(), size_t(n + 1));
        QCOMPARE(r.Ch1Memory[0], int16_t(0 + add));
        QCOMPARE(r.Ch1Memory[255], int16_t(255 + add));  // no byte overflow
        QCOMPARE(r.Ch1Memory[n], int16_t(0));
        QCOMPARE(r.Ch2Memory[0], int16_t(100 + add));
        QCOMPARE(r.Ch2Memory[n - 1], int16_t(((100 + n - 1) & 0xFF) + add));
        if (shortHeader) {
            QVERIFY(!r.HasLa);
            QCOMPARE(r.ScreenData.LAShown, uint8_t(0));
            return;
        }
        QVERIFY(r.HasLa);
        QCOMPARE(r.ScreenData.LAShown, uint8_t(1));
        QCOMPARE(r.LaMemory.size(), size_t(n + 1));
        QCOMPARE(r.LaMemory[0], int16_t(200 + 256 * 201));
        QCOMPARE(r.LaMemory[n / 2 - 1], int16_t(uint16_t(((200 + n - 2) & 0xFF) | ((200 + n - 1) & 0xFF) << 8)));
        QCOMPARE(r.LaMemory[n / 2], int16_t(0));
        QCOMPARE(r.ScreenData.LARowY[0], int16_t(222));
        QCOMPARE(r.ScreenData.LARowY[1], int16_t(210));
        QCOMPARE(r.ScreenData.LARowY[15], int16_t(30));
        QCOMPARE(r.ScreenData.LADisplayState, int16_t(0x8421));
        QCOMPARE(r.ScreenData.LAState106, uint8_t(3));
        QCOMPARE(r.ScreenData.LAState107, uint8_t(9));
        QCOMPARE(r.ScreenData.LAState108, uint8_t(7));
        QCOMPARE(LaCurrentChannel(r), 3);
    }

    // Which blocks are read where, and how long the file must be.
    void blockLayout_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("ch1");   // elements, -1 absent
        QTest::addColumn<int>("ch2");
        QTest::addColumn<int>("la");
        QTest::addColumn<int>("ch2First");  // CH2's first code
        auto normal = [](int n, bool c1, bool c2, bool la) {
            WfmBuilder b;
            b.points(n).on(c1, c2, la);
            return b;
        };
        QTest::newRow("CH2 only starts after the skipped bytes")
            << normal(10, false, true, false).ramp(10, 40).bytes() << -1 << 11 << -1 << 40;
        QTest::newRow("on byte 2 is not on")
            << normal(10, false, true, false).u8(49, 2).ramp(10, 40).bytes() << -1 << 11 << -1 << 40;
        QTest::newRow("logic below 524288: n bytes")
            << normal(524287, false, false, true).ramp(524287, 0).bytes() << -1 << -1 << 524288 << 0;
        QTest::newRow("logic from 524288: 2n bytes")
            << normal(524288, false, false, true).ramp(2 * 524288, 0).bytes() << -1 << -1 << 1048577 << 0;
        QTest::newRow("zero points: one element")
            << normal(0, true, false, false).bytes() << 1 << -1 << -1 << 0;
        WfmBuilder alt;
        alt.points(600).ch2Points(1200).on(true, true, true).trigger(4).ramp(600, 0).ramp(1200, 7);
        QTest::newRow("alternation: own CH2 count, logic ignored") << alt.bytes() << 601 << 1201 << -1 << 7;
        WfmBuilder altShort(true);
        altShort.points(3).ch2Points(5).on(false, true, false).trigger(4).ramp(5, 7);
        QTest::newRow("alternation, short header") << altShort.bytes() << -1 << 6 << -1 << 32;
    }
    void blockLayout() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, ch1);
        QFETCH(int, ch2);
        QFETCH(int, la);
        QFETCH(int, ch2First);
        auto rec = Parsed(bytes);
        QVERIFY(rec);
        QCOMPARE(rec->HasCh1 ? int(rec->Ch1Memory.size()) : -1, ch1);
        QCOMPARE(rec->HasCh2 ? int(rec->Ch2Memory.size()) : -1, ch2);
        QCOMPARE(rec->HasLa ? int(rec->LaMemory.size()) : -1, la);
        if (rec->HasCh2) QCOMPARE(int(rec->Ch2Memory[0]), ch2First);
        if (ch1 == 1) QCOMPARE(rec->Ch1Memory[0], int16_t(0));
        // One byte less than the blocks need is a damaged file.
        if (bytes.size() > 276) {
            WaveformFileData data;
            QCOMPARE(ParseWaveformFile(bytes.left(bytes.size() - 1), data), WaveformReadStatus::Damaged);
        }
    }

    void damagedFiles_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("status");
        const int format = int(WaveformReadStatus::FormatError), damaged = int(WaveformReadStatus::Damaged);
        QTest::newRow("empty") << QByteArray() << format;
        QTest::newRow("one byte") << QByteArray("\xA5", 1) << format;
        QTest::newRow("zero magic") << QByteArray(300, '\0') << format;
        QTest::newRow("swapped magic") << QByteArray("\xA5\xA1", 2) << format;
        WfmBuilder a;
        a.points(100).on(true, false, false).ramp(99, 0);
        QTest::newRow("block one byte short") << a.bytes() << damaged;
        WfmBuilder b;
        b.points(-1).on(true, false, false);
        QTest::newRow("negative count") << b.bytes() << damaged;
        WfmBuilder c;
        c.points(0x7FFFFFFF).on(false, false, true);
        QTest::newRow("huge logic count") << c.bytes() << damaged;
        WfmBuilder d;
        d.points(1).ch2Points(-5).trigger(4).on(false, true, false).ramp(1, 0);
        QTest::newRow("negative CH2 count") << d.bytes() << damaged;
        // Bytes past the read limit do not count, even when the file has them.
        WfmBuilder e;
        e.points(WaveformReadLimit - 276).on(true, false, false).ramp(WaveformReadLimit - 276 + 10, 0);
        QTest::newRow("block within the limit") << e.bytes() << int(WaveformReadStatus::Ok);
        WfmBuilder f;
        f.points(WaveformReadLimit - 275).on(true, false, false).ramp(WaveformReadLimit, 0);
        QTest::newRow("block past the limit") << f.bytes() << damaged;
    }
    void damagedFiles() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, status);
        SaveToCorpus(QTest::currentDataTag(), bytes.left(65536));
        WaveformFileData data;
        QCOMPARE(int(ParseWaveformFile(bytes, data)), status);
    }

    // A file of only the magic: valid, no block; the view is not loaded and
    // keeps its path, but the rest of the load happens.
    void magicOnly() {
        MemWaveInfo r;
        r.FilePath = "/old.wfm";
        r.Loaded = true;
        r.HasCh1 = true;
        r.Ch1Memory = {1, 2, 3};
        WaveformFileData data;
        QCOMPARE(ParseWaveformFile(QByteArray("\xA5\xA5", 2), data), WaveformReadStatus::Ok);
        CommitWaveformFile(r, std::move(data), "/new.wfm");
        QVERIFY(!r.Loaded);
        QVERIFY(!r.HasCh1);
        QCOMPARE(r.FilePath, QString("/old.wfm"));
        QCOMPARE(r.Ch1Memory.size(), size_t(3));  // an absent block keeps the memory
        QCOMPARE(r.ScreenPointCount, 600);
        QCOMPARE(r.TriggerMode, QString("EDGE"));
    }

    // The other mode's fields and the logic fields keep their values.
    void otherModeFieldsKept() {
        MemWaveInfo r;
        r.MemoryPointCount = 77;
        r.TimePerDiv = 3;
        r.ScreenData.LARowY[2] = 99;
        WfmBuilder alt;
        alt.points(2).ch2Points(2).trigger(4).i64(84, 1000).i64(236, 2000).on(true, false, true).ramp(2, 0);
        WaveformFileData data;
        QCOMPARE(ParseWaveformFile(alt.bytes(), data), WaveformReadStatus::Ok);
        CommitWaveformFile(r, std::move(data), "/a.wfm");
        QCOMPARE(r.TriggerMode, QString("ALTERNATION"));
        QVERIFY(r.SplitDisplay);
        QCOMPARE(r.MemoryPointCount, 77);
        QCOMPARE(r.TimePerDiv, 3.0);
        QCOMPARE(r.AltCh1TimePerDiv, 1e-9);
        QCOMPARE(r.AltCh2TimePerDiv, 2e-9);
        QCOMPARE(r.ScreenData.LARowY[2], int16_t(99));
        QVERIFY(!r.HasLa);
    }

    void triggerByte_data() {
        QTest::addColumn<int>("byte");
        QTest::addColumn<QString>("mode");
        QTest::newRow("3") << 3 << "EDGE";
        QTest::newRow("4") << 4 << "ALTERNATION";
        QTest::newRow("5") << 5 << "EDGE";
    }
    void triggerByte() {
        QFETCH(int, byte);
        QFETCH(QString, mode);
        auto rec = Parsed(WfmBuilder().trigger(uint8_t(byte)).bytes());
        QVERIFY(rec);
        QCOMPARE(rec->TriggerMode, mode);
    }

    // Picosecond fields are signed 64-bit counts.
    void picoseconds() {
        auto rec = Parsed(WfmBuilder().i64(84, 1000000).i64(92, -1).i64(112, int64_t(1) << 40).bytes());
        QVERIFY(rec);
        QCOMPARE(rec->TimePerDiv, 1e-6);
        QCOMPARE(rec->DelayTime, -1e-12);
        QCOMPARE(rec->AcqDelayTime, double(int64_t(1) << 40) / 1e12);
    }

    // A current logic channel byte above 15 names no channel.
    void logicChannelBounded() {
        auto rec = Parsed(WfmBuilder().points(2).on(false, false, true).u8(121, 200).ramp(2, 0).bytes());
        QVERIFY(rec);
        QCOMPARE(rec->ScreenData.LAState106, uint8_t(200));
        QCOMPARE(LaCurrentChannel(*rec), -1);
        rec->ScreenData.LAState106 = 15;
        QCOMPARE(LaCurrentChannel(*rec), 15);
    }

    // Reset returns to the values as loaded, as often as asked.
    void resetCopy() {
        const int n = 4;
        auto rec = Parsed(FullHeader(false, n).on(true, false, true).ramp(n, 0).ramp(n, 0).bytes());
        QVERIFY(rec);
        MemWaveInfo& r = *rec;
        const MemWaveInfo loaded = r;
        for (int round = 0; round < 2; ++round) {
            r.Ch1VoltsPerDiv = 5;
            r.Ch2OffsetVolts = 3;
            r.TimePerDiv = 9;
            r.AltCh2DelayTime = 4;
            r.ScreenData.LARowY[5] = 1;
            r.ScreenData.LAState106 = 8;
            r.SampleRate = 1;  // not part of the copy
            RestoreLoadedView(r);
            QCOMPARE(r.Ch1VoltsPerDiv, loaded.Ch1VoltsPerDiv);
            QCOMPARE(r.Ch2OffsetVolts, loaded.Ch2OffsetVolts);
            QCOMPARE(r.TimePerDiv, loaded.TimePerDiv);
            QCOMPARE(r.AltCh2DelayTime, loaded.AltCh2DelayTime);
            QCOMPARE(r.ScreenData.LARowY[5], loaded.ScreenData.LARowY[5]);
            QCOMPARE(r.ScreenData.LAState106, uint8_t(3));
            QCOMPARE(r.SampleRate, 1.0f);
        }
    }

    void readsFromDisk() {
        QTemporaryDir dir;
        const QString path = dir.filePath("x.wfm");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(WfmBuilder().points(3).on(true, false, false).ramp(3, 30).bytes());
        f.close();
        WaveformFileData data;
        QCOMPARE(ReadWaveformFile(path, data), WaveformReadStatus::Ok);
        QCOMPARE(data.Ch1Memory, (std::vector<int16_t>{30, 31, 32, 0}));
        QString reason;
        QCOMPARE(ReadWaveformFile(dir.filePath("missing.wfm"), data, &reason), WaveformReadStatus::Unreadable);
        QVERIFY(!reason.isEmpty());
        QCOMPARE(ReadWaveformFile(dir.path(), data), WaveformReadStatus::FormatError);
    }

    // A file another program changes while it is read is refused whatever
    // its bytes gave, and what the caller holds stays as it was.
    void fileChangedWhileReadIsRefused_data() { FileChanges::AddRows(); }
    void fileChangedWhileReadIsRefused() {
        QFETCH(QString, change);
        QTemporaryDir dir;
        const QString path = dir.filePath("changed.wfm");
        const QByteArray good = FullHeader(false, 300).on(true, false, false).ramp(300, 30).bytes();
        // The same file with another CH1 offset: sound by itself.
        QByteArray other = good;
        other[40] = char(other[40] ^ 0x01);
        QVERIFY(Parsed(other));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(good) == good.size());
        f.close();
        SetFileOpenedHook([&](const QString&) { QVERIFY(FileChanges::Apply(change, path, good, other)); });
        WaveformFileData data;
        data.Ch1Present = true;
        QCOMPARE(ReadWaveformFile(path, data), WaveformReadStatus::ChangedWhileRead);
        QVERIFY(data.Ch1Present && data.Ch1Memory.empty());
        SetFileOpenedHook(nullptr);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(good) == good.size());
        f.close();
        QCOMPARE(ReadWaveformFile(path, data), WaveformReadStatus::Ok);
    }
};

QTEST_GUILESS_MAIN(WfmFileTest)
#include "tst_wfmfile.moc"
