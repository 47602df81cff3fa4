// The record file reader.
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "FileChanges.h"
#include "RcdBuilder.h"
#include "common/ReadFile.h"
#include "common/SheetModel.h"
#include "replay/model/RecordFile.h"

Q_DECLARE_METATYPE(RecordError)

namespace {
bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}
}  // namespace

class RecordFileTest : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;

private slots:
    void initTestCase() {
        QVERIFY(tmp.isValid());
        QVERIFY(WatchMappedFileReads());  // as the application reads files
    }
    void cleanup() { SetFileOpenedHook(nullptr); }

    void goodFileGivesSamplesChannelTextsAndFrames() {
        RcdHeader h;
        h.source = 2;
        h.sourceChannel = 7;  // any value but 0 chooses CH2
        h.first = 5;
        h.last = 14;
        h.ch1On = 0;  // only the chosen channel must be on
        h.ch2Micro = 500000;
        h.ch2Raw = -50;
        h.timeDivPs = 1000000000;  // 1 ms
        h.delayPs = -2500000;      // -2.5 us
        QByteArray raw = Frames(10);
        raw[0] = char(0);
        raw[1] = char(255);
        raw[2] = char(25 + 100);
        raw[3] = char(24);
        raw.append("xyz");  // bytes beyond the frames are kept, not refused
        RecordContent c;
        QCOMPARE(ParseRecordFile(Rcd(h, raw), c), RecordError::None);
        QCOMPARE(c.Channel, QString("CH2"));
        QCOMPARE(c.FrameCount, int16_t(10));
        QCOMPARE(c.Samples.size(), size_t(10 * 1024 + 3 + 1));
        QCOMPARE(QList<int>({c.Samples[0], c.Samples[1], c.Samples[2], c.Samples[3]}), QList<int>({0, 199, 100, 0}));
        QCOMPARE(c.Samples[1024 * 9], int16_t(125 + 9 - 25));
        QCOMPARE(c.Samples.back(), int16_t(0));
        QCOMPARE(c.VoltScaleText, QString("500mV"));
        QCOMPARE(c.OffsetText, QString("-1.00V"));
        QCOMPARE(c.TimeScaleText, QString("1.000ms"));
        QCOMPARE(c.DelayText, QString("-2.5000us"));

        RecordInfo r;
        r.CurrentFrame = 7;
        CommitRecordContent(r, std::move(c), "/data/a.rcd");
        QVERIFY(r.Loaded);
        QCOMPARE(QList<int>({r.StartFrame, r.FrameCount, r.CurrentFrame}), QList<int>({1, 10, 1}));
        QCOMPARE(r.FilePath, QString("/data/a.rcd"));
        QCOMPARE(RecordFramesHeld(r), 10);
    }

    void channelFromSource_data() {
        QTest::addColumn<int>("source");
        QTest::addColumn<int>("sourceChannel");
        QTest::addColumn<QString>("channel");
        QTest::newRow("0 is CH1") << 0 << 1 << "CH1";
        QTest::newRow("1 is CH2") << 1 << 0 << "CH2";
        QTest::newRow("2 with 0 is CH1") << 2 << 0 << "CH1";
        QTest::newRow("2 with 1 is CH2") << 2 << 1 << "CH2";
    }
    void channelFromSource() {
        QFETCH(int, source);
        QFETCH(int, sourceChannel);
        QFETCH(QString, channel);
        RcdHeader h;
        h.source = source;
        h.sourceChannel = sourceChannel;
        RecordContent c;
        QCOMPARE(ParseRecordFile(Rcd(h, Frames(1)), c), RecordError::None);
        QCOMPARE(c.Channel, channel);
    }

    // Every refused file leaves what the caller holds as it was.
    void damagedFilesAreRefused_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<RecordError>("error");
        RcdHeader h;
        const QByteArray good = Rcd(h, Frames(3));
        RcdHeader wrongMagic = h;
        wrongMagic.magic = 0xBABB;
        RcdHeader noChannel = h;
        noChannel.source = 3;
        RcdHeader negative = h;
        negative.source = -1;
        RcdHeader reversed = h;
        reversed.first = 3;
        reversed.last = 2;
        RcdHeader longer = h;
        longer.last = 4;  // four frames promised, three stored
        RcdHeader off = h;
        off.ch1On = 0;
        RcdHeader huge = h;
        huge.last = 32767;
        huge.first = -32768;

        QTest::newRow("40 bytes beginning BA BA") << QByteArray("\xBA\xBA", 2) + QByteArray(38, '\0')
                                                  << RecordError::InflateFailed;
        QTest::newRow("other magic") << Rcd(wrongMagic, Frames(3)) << RecordError::FormatError;
        QTest::newRow("empty file") << QByteArray() << RecordError::FormatError;
        QTest::newRow("header only") << RcdHeaderBytes(h) << RecordError::InflateFailed;
        QTest::newRow("stream cut short") << good.left(good.size() - 10) << RecordError::InflateFailed;
        QTest::newRow("stream damaged") << QByteArray(good).replace(60, 4, "\xFF\xFF\xFF\xFF")
                                        << RecordError::InflateFailed;
        QTest::newRow("inflates past the limit") << Rcd(h, QByteArray(RecordReadLimit + 1, char(100)))
                                                 << RecordError::InflateFailed;
        QTest::newRow("source 3") << Rcd(noChannel, Frames(3)) << RecordError::FormatError;
        QTest::newRow("source -1") << Rcd(negative, Frames(3)) << RecordError::FormatError;
        QTest::newRow("frame count 0") << Rcd(reversed, Frames(3)) << RecordError::FormatError;
        QTest::newRow("more frames than the payload") << Rcd(longer, Frames(3)) << RecordError::FormatError;
        QTest::newRow("count beyond 16 bits") << Rcd(huge, Frames(3)) << RecordError::FormatError;
        QTest::newRow("channel off") << Rcd(off, Frames(3)) << RecordError::ChannelOff;
    }
    void damagedFilesAreRefused() {
        QFETCH(QByteArray, file);
        QFETCH(RecordError, error);
        RecordContent c;
        c.Channel = "before";
        c.Samples = {1, 2, 3};
        QCOMPARE(ParseRecordFile(file, c), error);
        QCOMPARE(c.Channel, QString("before"));
        QCOMPARE(c.Samples, std::vector<int16_t>({1, 2, 3}));
    }

    // The zlib stream ends with a checksum of what it inflates to: a file
    // cut anywhere in its last bytes does not inflate.
    void fileCutShortIsRefused() {
        const QByteArray good = Rcd(RcdHeader(), Frames(3));
        const QString path = tmp.filePath("cut.rcd");
        RecordContent c;
        QVERIFY(WriteBytes(path, good));
        QCOMPARE(ReadRecordFile(path, c), RecordError::None);
        for (int cut = 1; cut <= 12; ++cut) {
            QVERIFY(WriteBytes(path, good.left(good.size() - cut)));
            QVERIFY2(ReadRecordFile(path, c) == RecordError::InflateFailed,
                     qPrintable(QString("cut %1 bytes short").arg(cut)));
        }
    }

    // A file another program changes while it is read is refused whatever
    // its bytes gave, and what the caller holds stays as it was.
    void fileChangedWhileReadIsRefused_data() { FileChanges::AddRows(); }
    void fileChangedWhileReadIsRefused() {
        QFETCH(QString, change);
        const QByteArray good = Rcd(RcdHeader(), Frames(40));
        // A record of the same size that differs in its channel offset:
        // sound by itself, so only the check of the file's stamp refuses it.
        QByteArray other = good;
        other[28] = char(other[28] ^ 0x10);
        RecordContent alone;
        QCOMPARE(ParseRecordFile(other, alone), RecordError::None);
        const QString path = tmp.filePath("changed.rcd");
        QVERIFY(WriteBytes(path, good));
        SetFileOpenedHook([&](const QString&) { QVERIFY(FileChanges::Apply(change, path, good, other)); });
        RecordContent c;
        c.Channel = "before";
        QCOMPARE(ReadRecordFile(path, c), RecordError::ChangedWhileRead);
        QCOMPARE(c.Channel, QString("before"));
        SetFileOpenedHook(nullptr);
        QVERIFY(WriteBytes(path, good));
        QCOMPARE(ReadRecordFile(path, c), RecordError::None);
    }
};

QTEST_GUILESS_MAIN(RecordFileTest)
#include "tst_recordfile.moc"
