#include <QDateTime>
#include <QDir>
#include <ctime>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "FileChanges.h"
#include "NonRegularFiles.h"
#include "SheetSamples.h"
#include "TestEnv.h"
#include "common/SheetModel.h"
#include "common/ReadFile.h"
#include "common/ShellState.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/Vocabulary.h"
#include "platform/dialogs/MsgBox.h"
#include "sheets/SheetFile.h"

namespace {

std::unique_ptr<SheetModelData> NewSheet() {
    auto s = std::make_unique<SheetModelData>();
    SheetSamples::Clear(*s);
    return s;
}

QList<QByteArray> Lines(const QByteArray& text) {
    QList<QByteArray> lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    for (QByteArray& l : lines) {
        if (!l.endsWith('\r')) return {};  // every line ends in CR LF
        l.chop(1);
    }
    return lines;
}

QByteArray Join(const QList<QByteArray>& lines) {
    QByteArray out;
    for (const QByteArray& l : lines) out += l + "\r\n";
    return out;
}

// Index of the first line of a kind's section (the header is kind -1): the
// number of lines of the same sheet without that kind and the later ones.
int SectionStart(const SheetModelData& sheet, int kind) {
    if (kind < 0) return 0;
    auto copy = std::make_unique<SheetModelData>(sheet);
    int16_t* counts[] = {&copy->WaveCount, &copy->MeasureCount, &copy->DataCount,
                         &copy->RecordCount, &copy->MemWaveCount};
    for (int k = kind; k < ViewKindCount; ++k) *counts[k] = 0;
    return int(Lines(SheetFileText(*copy, false)).size());
}

void SaveToCorpus(const QString& name, const QByteArray& text) {
    const QString dir = qEnvironmentVariable("KV_SHEET_CORPUS");
    if (dir.isEmpty()) return;
    QDir().mkpath(dir);
    QFile f(dir + "/" + name + ".vls");
    if (f.open(QIODevice::WriteOnly)) f.write(text);
}

QByteArray FileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

template <size_t N>
bool SameRange(const std::array<int32_t, N>& a, const std::array<int32_t, N>& b, int first, int last) {
    return std::equal(a.begin() + first, a.begin() + last + 1, b.begin() + first);
}

}  // namespace

class SheetFileTest : public QObject {
    Q_OBJECT

    QTemporaryDir tmp;

private slots:
    void initTestCase() {
        TestEnv::Init();
        TestEnv::UseLanguage(LangEnglish);
        QVERIFY(tmp.isValid());
    }

    void init() {
        MsgBoxService::ClearLog();
        SheetSamples::Clear(Sheets());
        Link().LAPresent = false;
        SheetFileHooks().RecordReplayPause = nullptr;
        SetFileOpenedHook(nullptr);
    }

    // Table cells that repeat within and across tables (as levels and time
    // bases do) read back each with its own text, and editing one after the
    // read leaves the others alone.
    void repeatedTableCellsReadBackApart() {
        auto src = NewSheet();
        SheetSamples::FillFull(*src);
        QVERIFY(src->DataCount >= 2);
        const QStringList volts = {"1.00V", "1.00V", QString::fromUtf8("中文"), "1.00V",
                                   QString::fromUtf8("中文"), "", "1.00"};
        for (int v = 0; v < 2; ++v) {
            DataInfo& d = src->DataViews[size_t(v)];
            d.HasData = true;
            d.PointCount = int32_t(volts.size() - 1);
            d.VoltTexts = volts;
            d.TimeTexts = QStringList(volts.size(), v ? "1.00V" : "-2.5E-03");
        }
        auto dst = NewSheet();
        QVERIFY(ParseSheetFile(SheetFileText(*src, true), *dst));
        for (int v = 0; v < 2; ++v) {
            QCOMPARE(dst->DataViews[size_t(v)].VoltTexts, volts);
            QCOMPARE(dst->DataViews[size_t(v)].TimeTexts, src->DataViews[size_t(v)].TimeTexts);
        }
        dst->DataViews[0].VoltTexts[0] += "x";
        dst->DataViews[1].TimeTexts[2].clear();
        QCOMPARE(dst->DataViews[0].VoltTexts[1], QString("1.00V"));
        QCOMPARE(dst->DataViews[1].VoltTexts, volts);
        QCOMPARE(dst->DataViews[1].TimeTexts[3], QString("1.00V"));
    }

    // A sheet read ahead stands for the read that follows only while
    // nothing it depends on moved: the same path, the same file, the same
    // empty open sheet. Otherwise the file is read as it is now, into the open
    // sheet as it is now.
    void readAheadStandsOnlyForAnUnchangedStart() {
        auto text = [](int variant) {
            auto s = NewSheet();
            SheetSamples::FillTelling(*s, variant);
            return SheetFileText(*s, false);
        };
        const QString a = tmp.filePath("ahead-a.vls"), b = tmp.filePath("ahead-b.vls");
        auto write = [](const QString& path, const QByteArray& bytes, int secondsAgo) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            QCOMPARE(f.write(bytes), bytes.size());
            f.close();
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(QDateTime::currentDateTime().addSecs(-secondsAgo),
                                  QFileDevice::FileModificationTime));
        };
        auto parsedText = [](const QString& path) {
            std::unique_ptr<SheetModelData> read = ParseDataSheetFile(path);
            return read ? SheetFileText(*read, false) : QByteArray();
        };
        write(a, text(1), 100);
        write(b, text(2), 100);

        // Unchanged: the read ahead's result is the direct read's.
        const QByteArray direct = parsedText(a);
        QVERIFY(!direct.isEmpty());
        ReadDataSheetAhead(a);
        QCOMPARE(parsedText(a), direct);

        // Another path: that file.
        ReadDataSheetAhead(a);
        QCOMPARE(parsedText(b), text(2));

        // The file written again meanwhile: the new text.
        ReadDataSheetAhead(a);
        write(a, text(2), 50);
        QCOMPARE(parsedText(a), text(2));

        // The open sheet changed meanwhile: the read starts from it as it is
        // now (a slot past the file's counts keeps the open sheet's record).
        write(a, text(1), 10);
        ReadDataSheetAhead(a);
        Sheets().WaveCount = 1;
        Sheets().WaveViews[17].Name = "kept from the open sheet";
        std::unique_ptr<SheetModelData> read = ParseDataSheetFile(a);
        QVERIFY(read);
        QCOMPARE(read->WaveViews[17].Name, QString("kept from the open sheet"));
        QCOMPARE(SheetFileText(*read, false), text(1));

        // An unreadable file is reported by the read that follows, as
        // without a read ahead: the system's reason alone.
        MsgBoxService::ClearLog();
        ReadDataSheetAhead(tmp.filePath("missing.vls"));
        QVERIFY(!ParseDataSheetFile(tmp.filePath("missing.vls")));
        QCOMPARE(MsgBoxService::Log().size(), 1);
        QVERIFY(!MsgBoxService::Log()[0].text.isEmpty());
        QVERIFY(MsgBoxService::Log()[0].text != MessageTable().MsgBadSheetFile);
    }

    // Another program may shorten a file while it is being read (a sheet
    // saved over while it is read ahead): the part past the new end reads as
    // zeros, which the parse refuses, instead of ending the application.
    void fileShortenedWhileReadIsRefused() {
        SheetSamples::FillFull(Sheets());
        const QByteArray whole = SheetFileText(Sheets(), false);
        const QString path = tmp.filePath("shortened.vls");
        QVERIFY(WriteBytes(path, whole));
        for (const qint64 keep : {qint64(0), qint64(whole.size() / 3)}) {
            FileContents file;
            QVERIFY(file.open(path, MaxSheetFileBytes, MaxSheetFileBytes, nullptr));
            QCOMPARE(file.bytes().size(), whole.size());
            QVERIFY(QFile::resize(path, keep));
            auto scratch = std::make_unique<SheetModelData>();
            QVERIFY(!ParseSheetFile(file.bytes(), *scratch));
            QCOMPARE(file.bytes().back(), '\0');
            QVERIFY(file.changed());
            QVERIFY(WriteBytes(path, whole));
        }
    }

    // Every item is written with its line end: a sheet cut anywhere in its
    // last item or line end ("100" read as "10") is refused with the sheet's
    // message, and the open sheet stays as it was. Whole, each opens.
    void sheetCutShortIsRefused_data() {
        QTest::addColumn<QByteArray>("whole");
        auto telling = NewSheet();
        SheetSamples::FillTelling(*telling, 0);
        const QByteArray written = SheetFileText(*telling, false);
        QTest::newRow("sample sheet") << FileBytes(QFINDTESTDATA("data/golden.vls"));
        QTest::newRow("written by the application") << written;
        QTest::newRow("LF line ends") << QByteArray(written).replace("\r\n", "\n");
        QTest::newRow("CR line ends") << QByteArray(written).replace("\r\n", "\r");
    }
    void sheetCutShortIsRefused() {
        QFETCH(QByteArray, whole);
        QVERIFY(whole.size() > 100);
        const QString path = tmp.filePath("cut.vls");
        QVERIFY(WriteBytes(path, whole));
        QVERIFY(ReadDataSheet(path));
        QVERIFY(MsgBoxService::Log().isEmpty());
        const QByteArray open = SheetFileText(Sheets(), false);
        for (int cut = 1; cut <= 8; ++cut) {
            MsgBoxService::ClearLog();
            QVERIFY(WriteBytes(path, whole.left(whole.size() - cut)));
            QVERIFY2(!ReadDataSheet(path), qPrintable(QString("cut %1 bytes short").arg(cut)));
            QCOMPARE(MsgBoxService::Log().size(), 1);
            QCOMPARE(MsgBoxService::Log()[0].text, MessageTable().MsgBadSheetFile);
            QCOMPARE(SheetFileText(Sheets(), false), open);
        }
    }

    // A file another program changes while it is read may give any mix of
    // its old and new bytes: when its size or time differs after the parse
    // from before it, it is refused, whatever the bytes gave, and says why.
    void sheetChangedWhileReadIsRefused_data() { FileChanges::AddRows(); }
    void sheetChangedWhileReadIsRefused() {
        QFETCH(QString, change);
        auto sheet = NewSheet();
        SheetSamples::FillTelling(*sheet, 1);
        const QByteArray whole = SheetFileText(*sheet, false);
        // A sheet of the same size under another name: sound by itself, so
        // only the check of the file's stamp refuses it.
        sheet->SheetName.replace("sheet", "Sheet");
        const QByteArray other = SheetFileText(*sheet, false);
        QVERIFY(ParseSheetFile(other, *NewSheet()));
        const QString path = tmp.filePath("changed.vls");
        QVERIFY(WriteBytes(path, whole));
        SetFileOpenedHook([&](const QString& opened) {
            QCOMPARE(opened, path);
            QVERIFY(FileChanges::Apply(change, path, whole, other));
        });
        SheetSamples::FillTelling(Sheets(), 2);
        const QByteArray open = SheetFileText(Sheets(), false);
        QVERIFY(!ReadDataSheet(path));
        // One message, which says what happened.
        QCOMPARE(MsgBoxService::Log().size(), 1);
        QCOMPARE(MsgBoxService::Log()[0].text, MessageTable().MsgFileChangedWhileRead);
        QCOMPARE(MsgBoxService::Log()[0].style, int(vbCritical));
        QCOMPARE(SheetFileText(Sheets(), false), open);
        QVERIFY(WriteBytes(path, whole));
        QVERIFY(!IsReadableSheetFile(path));

        SetFileOpenedHook(nullptr);
        QVERIFY(WriteBytes(path, whole));
        QVERIFY(IsReadableSheetFile(path));
        MsgBoxService::ClearLog();
        QVERIFY(ReadDataSheet(path));
        QVERIFY(MsgBoxService::Log().isEmpty());
    }

    // A cell is first compared with the same row of the table before: cells
    // that differ from the one above only slightly, or whose bytes read one
    // by one equal the text above ("é" under "Ã©"), keep their own text.
    void cellsUnlikeTheRowAboveKeepTheirText() {
        const QStringList above = {"1.001V", "-2.51234E-06", "-2.5123E-06", "1.00V", QString::fromUtf8("Ã©"),
                                   QString::fromUtf8("µs"), "", "abcdefghij", "1.00V"};
        const QStringList below = {"1.002V", "-2.51235E-06", "-2.51234E-06", "1.00 V", QString::fromUtf8("é"),
                                   "xs", "0", "abcdXfghij", "1.00V"};
        QStringList lastDiffers = above;
        lastDiffers.last() = "1.00W";
        auto src = NewSheet();
        SheetSamples::FillFull(*src);
        QVERIFY(src->DataCount >= 6);
        // Then a table equal to the one before but in its last row, and two
        // tables equal in every row.
        const QStringList tables[] = {above, below, above, lastDiffers, lastDiffers, lastDiffers};
        for (int v = 0; v < 6; ++v) {
            DataInfo& d = src->DataViews[size_t(v)];
            d.HasData = true;
            d.PointCount = int32_t(above.size() - 1);
            d.VoltTexts = tables[v];
            d.TimeTexts = tables[5 - v];
        }
        auto dst = NewSheet();
        QVERIFY(ParseSheetFile(SheetFileText(*src, true), *dst));
        for (int v = 0; v < 6; ++v) {
            QCOMPARE(dst->DataViews[size_t(v)].VoltTexts, tables[v]);
            QCOMPARE(dst->DataViews[size_t(v)].TimeTexts, tables[5 - v]);
        }
        // Equal tables read back apart.
        dst->DataViews[4].VoltTexts[0] = "edited";
        QCOMPARE(dst->DataViews[3].VoltTexts, lastDiffers);
        QCOMPARE(dst->DataViews[5].VoltTexts, lastDiffers);
    }

    // Every stored field of every kind survives a write and a read, with the
    // values most likely to break a text format.
    void roundTripKeepsEveryStoredField_data() {
        QTest::addColumn<int>("variant");
        QTest::newRow("all traces, every block") << 0;
        QTest::newRow("FFT third trace, ALTERNATION memory") << 1;
        QTest::newRow("CH1 only, no other block") << 2;
    }
    void roundTripKeepsEveryStoredField() {
        QFETCH(int, variant);
        auto src = NewSheet();
        SheetSamples::FillTelling(*src, variant);
        src->RecordViews[0].TimeScaleText = "5\"00us";  // a quote cannot end the item early
        const QByteArray text = SheetFileText(*src, true);
        SaveToCorpus(QString("roundtrip%1").arg(variant), text);
        QVERIFY(!Lines(text).isEmpty());

        auto dst = NewSheet();
        QVERIFY(ParseSheetFile(text, *dst));
        src->RecordViews[0].TimeScaleText = "5'00us";
        src->WaveViews[0].LaAvailable = true;  // the present flag at saving
        QCOMPARE(SheetFileText(*dst, true), SheetFileText(*src, true));

        // The telling values themselves, not only the text they give.
        QCOMPARE(dst->SheetName, src->SheetName);
        const WaveInfo &w = dst->WaveViews[0], &ws = src->WaveViews[0];
        QCOMPARE(w.Name, ws.Name);
        QCOMPARE(w.AltCh1TimeOffset, QString("1,5s"));
        QCOMPARE(w.SpareValue1, int16_t(-32768));
        QCOMPARE(w.ChannelCode, -7);
        QCOMPARE(w.SystemData.Stored20, -1.25e-7f);
        QCOMPARE(w.SystemData.Stored48, 1e-30f);
        QCOMPARE(w.SystemData.Stored64, 3.4e38f);
        QCOMPARE(w.SystemData.FFTHzPerDiv, 1234567.f);
        QVERIFY(w.LaAvailable);
        QCOMPARE(SameRange(w.Ch1Samples, ws.Ch1Samples, 1, 1024), ws.Ch1Fetched);
        QCOMPARE(SameRange(w.Ch2Samples, ws.Ch2Samples, 1, 1024), ws.Ch2Fetched);
        QCOMPARE(SameRange(w.LaSamples, ws.LaSamples, 1, 2048), ws.LaFetched);
        if (variant == 1) {
            // The Chinese ON word selects the FFT trace in an English session;
            // the MATH trace is left as it was.
            QVERIFY(SameRange(w.FftSamples, ws.FftSamples, 1, 1024));
            QCOMPARE(w.MathSamples[5], 0);
        } else if (variant == 0) {
            QVERIFY(SameRange(w.MathSamples, ws.MathSamples, 1, 1024));
            QCOMPARE(w.FftSamples[5], 0);
        }

        const MeasureInfo& m = dst->MeasureViews[0];
        QCOMPARE(m.Name, src->MeasureViews[0].Name);
        if (m.HasData) {
            QCOMPARE(m.Items[7].Over, 2e15);
            QCOMPARE(m.Items[8].Under, -123456789.012345);
            QCOMPARE(m.Items[0].Over, -9e-7);
            QCOMPARE(m.Items[3].Value, QString("*****"));
        }
        const DataInfo& d = dst->DataViews[0];
        QCOMPARE(d.Name, src->DataViews[0].Name);
        if (d.HasData) {
            QCOMPARE(d.VoltTexts, src->DataViews[0].VoltTexts);
            QCOMPARE(d.TimeTexts, src->DataViews[0].TimeTexts);
        }
        const RecordInfo& r = dst->RecordViews[0];
        QCOMPARE(r.FilePath, src->RecordViews[0].FilePath);
        QCOMPARE(r.FrameInterval, 2.5e-9);
        QCOMPARE(r.CurrentFrame, int16_t(-3));
        if (r.DisplayActive) QCOMPARE(r.Samples, src->RecordViews[0].Samples);
        const MemWaveInfo &mw = dst->MemWaveViews[0], &mws = src->MemWaveViews[0];
        QCOMPARE(mw.FilePath, mws.FilePath);
        QCOMPARE(mw.AcqDelayTime, -1.23456789012345e-3);
        QCOMPARE(mw.AltCh1AcqDelayTime, 1e300);
        QCOMPARE(mw.AltCh2AcqDelayTime, -1e-300);
        QCOMPARE(mw.SampleRate, 2e8f);
        QCOMPARE(mw.AltCh2SampleRate, 123.4567f);
        QCOMPARE(mw.Ch2AcqVoltsPerDiv, 1e7f);
        if (mw.Loaded) {
            QCOMPARE(mw.Ch1Memory, mws.Ch1Memory);
            QCOMPARE(mw.Ch2Memory, mws.Ch2Memory);
            QCOMPARE(mw.LaMemory, mws.LaMemory);
        }
    }

    // Number texts: "." in every locale, the significant digits of the
    // type, exponent form for very small and very large magnitudes.
    void numbersAreWrittenInTheFileForm_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("single");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("zero") << 0.0 << false << QByteArray("0");
        QTest::newRow("frame interval") << 0.05 << false << QByteArray("0.05");
        QTest::newRow("small limit") << 0.0001 << false << QByteArray("0.0001");
        QTest::newRow("below 1E-4") << -0.00001 << false << QByteArray("-1E-05");
        QTest::newRow("15 digits") << 123456789012345.0 << false << QByteArray("123456789012345");
        QTest::newRow("16 digits") << 1e15 << false << QByteArray("1E+15");
        QTest::newRow("double rounds at 15") << 0.1234567890123456 << false
                                             << QByteArray("0.123456789012346");
        QTest::newRow("tiny double") << -2.5e-300 << false << QByteArray("-2.5E-300");
        QTest::newRow("single 7 digits") << 1234567.0 << true << QByteArray("1234567");
        QTest::newRow("single 8 digits") << 12345678.0 << true << QByteArray("1.234568E+07");
        QTest::newRow("single 0.1") << 0.1 << true << QByteArray("0.1");
        QTest::newRow("single 3.3") << 3.3 << true << QByteArray("3.3");
        QTest::newRow("single negative exponent") << -1.5e-7 << true << QByteArray("-1.5E-07");
        QTest::newRow("infinity stores the largest") << qInf() << true << QByteArray("3.402823E+38");
        QTest::newRow("NaN stores 0") << qQNaN() << false << QByteArray("0");
    }
    void numbersAreWrittenInTheFileForm() {
        QFETCH(double, value);
        QFETCH(bool, single);
        QFETCH(QByteArray, text);
        QCOMPARE(single ? SheetSingleText(float(value)) : SheetDoubleText(value), text);
    }

    // The reader takes every ordinary decimal form, also those this writer
    // never makes.
    void readerAcceptsEveryNumberForm_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("no leading zero") << QByteArray(".5") << 0.5;
        QTest::newRow("negative, no leading zero") << QByteArray("-.25") << -0.25;
        QTest::newRow("lower-case exponent") << QByteArray("1.5e+3") << 1500.0;
        QTest::newRow("exponent without sign") << QByteArray("2E3") << 2000.0;
        QTest::newRow("leading spaces and plus") << QByteArray("   +7") << 7.0;
        QTest::newRow("trailing point") << QByteArray("3.") << 3.0;
    }
    void readerAcceptsEveryNumberForm() {
        QFETCH(QByteArray, text);
        QFETCH(double, value);
        auto sheet = NewSheet();
        sheet->MeasureCount = 1;
        sheet->MeasureViews[0].HasData = true;
        sheet->MeasureViews[0].Items[0].Over = 42;
        QList<QByteArray> lines = Lines(SheetFileText(*sheet, false));
        const int over = SectionStart(*sheet, ViewMeasure) + 3 + 2;  // after name, flag, title, value, enable
        QCOMPARE(lines[over], QByteArray("42"));
        lines[over] = text;
        lines[2] = " 0";  // WaveCount after a space
        auto dst = NewSheet();
        QVERIFY(ParseSheetFile(Join(lines), *dst));
        QCOMPARE(dst->MeasureViews[0].Items[0].Over, value);
    }

    // What the writer writes at the ends of the Double range (15 digits put
    // the largest Double a little above itself), the reader reads back.
    void largestDoublesRoundTrip_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("readBack");
        const double max = std::numeric_limits<double>::max();
        QTest::newRow("largest") << max << max;
        QTest::newRow("largest, negative") << -max << -max;
        QTest::newRow("just below the largest") << std::nextafter(max, 0.0) << max;
        QTest::newRow("infinity") << qInf() << max;
        QTest::newRow("minus infinity") << -qInf() << -max;
        QTest::newRow("below the rounding") << 1.7976931348623e308 << 1.7976931348623e308;
        QTest::newRow("smallest denormal") << std::numeric_limits<double>::denorm_min()
                                           << 4.94065645841247e-324;
    }
    void largestDoublesRoundTrip() {
        QFETCH(double, value);
        QFETCH(double, readBack);
        auto sheet = NewSheet();
        sheet->MeasureCount = 1;
        sheet->MeasureViews[0].HasData = true;
        sheet->MeasureViews[0].Items[3].Over = value;
        sheet->RecordCount = 1;
        sheet->RecordViews[0].FrameInterval = value;
        const QByteArray text = SheetFileText(*sheet, false);
        auto dst = NewSheet();
        QVERIFY(ParseSheetFile(text, *dst));
        QCOMPARE(dst->MeasureViews[0].Items[3].Over, readBack);
        QCOMPARE(dst->RecordViews[0].FrameInterval, readBack);
        QCOMPARE(SheetFileText(*dst, false), text);
    }

    // Only a regular file of a sheet's size is read: a device, a named pipe,
    // a folder or a file larger than any sheet gives the format's message,
    // neither blocking nor reading without end, and changes nothing.
    void specialFilesAreRefused_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("endless device") << "/dev/zero";
        QTest::newRow("named pipe") << "fifo";
        QTest::newRow("folder") << "folder";
        QTest::newRow("larger than a sheet can be") << "huge.vls";
    }
    void specialFilesAreRefused() {
        QFETCH(QString, path);
        if (path == "huge.vls") {
            path = tmp.filePath(path);
            QFile f(path);
            QVERIFY(WriteBytes(path, SheetFileText(*NewSheet(), false)));
            QVERIFY(f.open(QIODevice::ReadWrite));
            if (!f.resize(MaxSheetFileBytes + 1)) QSKIP("no sparse file here");
        } else {
            path = NonRegularFilePath(path, tmp);
        }
        if (path.isEmpty() || !QFileInfo::exists(path)) QSKIP("not on this system");
        SheetSamples::FillTelling(Sheets(), 2);
        const QByteArray before = SheetFileText(Sheets(), false);
        QVERIFY(!IsReadableSheetFile(path));
        QVERIFY(!ReadDataSheet(path));
        QCOMPARE(SheetFileText(Sheets(), false), before);
        QVERIFY(!MsgBoxService::Log().isEmpty());
        QCOMPARE(MsgBoxService::Log().last().text, MessageTable().MsgBadSheetFile);
        if (path.endsWith("huge.vls")) QFile::remove(path);
    }

    // A file written from the item tables by hand, read field by field; the
    // writer gives back the same bytes.
    void handWrittenFileIsReadFieldByField() {
        const QString golden = QFINDTESTDATA("data/golden.vls");
        QVERIFY(!golden.isEmpty());
        SaveToCorpus("golden", FileBytes(golden));
        QVERIFY(ReadDataSheet(golden));
        QVERIFY(MsgBoxService::Log().isEmpty());
        const SheetModelData& s = Sheets();
        QCOMPARE(s.SheetName, QString::fromUtf8("黄金, sheet"));
        QCOMPARE(QList<int>({s.WaveCount, s.MeasureCount, s.DataCount, s.RecordCount, s.MemWaveCount}),
                 QList<int>({1, 1, 1, 1, 1}));

        const WaveInfo& w = s.WaveViews[0];
        QCOMPARE(w.Name, QString("Wave,0"));
        QVERIFY(w.HasData);
        QCOMPARE(w.TriggerMode, QString("EDGE"));
        QCOMPARE(w.PointCount, 600);
        QVERIFY(!w.SpareFlag && w.YTFormat && !w.YTVariant);
        QCOMPARE(w.SpareValue1, int16_t(-5));
        QCOMPARE(w.SpareValue2, int16_t(7));
        QCOMPARE(QStringList({w.Ch1Offset, w.Ch2Offset, w.Ch1Scale, w.Ch2Scale, w.TimeScale,
                              w.TimeOffset, w.AltCh1TimeScale, w.AltCh2TimeScale, w.AltCh1TimeOffset,
                              w.AltCh2TimeOffset, w.FetchDate}),
                 QStringList({"-1.20mV", "3.04V", "500mV", "1.00V", "2.500us", "-12.00us", "10.00ns",
                              "5.000ms", "1.000us", "-2.000us", "2026-12-09 22:00:00"}));
        QCOMPARE(w.ChannelCode, 2);
        QVERIFY(w.ColorDisplay && !w.ShowGrid && w.SplitDisplay && !w.BestFit);
        QVERIFY(w.LaAvailable);
        QVERIFY(w.Ch1Chosen && w.Ch2Chosen && w.MathChosen && !w.LaChosen);
        QVERIFY(w.Ch1Fetched && w.Ch2Fetched && w.MathFetched && !w.LaFetched);
        const SystemDataRecord& sd = w.SystemData;
        QCOMPARE(QList<int>({sd.TraceFirstX, sd.TraceLastX, sd.UpperFirstX, sd.UpperLastX,
                             sd.LowerFirstX, sd.LowerLastX, sd.ScanFlag, sd.CH1Shown, sd.CH2Shown,
                             sd.MathShown, sd.MathOperation}),
                 QList<int>({10, 290, 11, 289, 12, 288, 1, 1, 1, 1, 3}));
        QCOMPARE(sd.Stored20, 0.5f);
        QCOMPARE(sd.MathPosition, int16_t(-50));
        QCOMPARE(sd.MathScale, 2.5e-7f);
        QCOMPARE(sd.Stored32, int16_t(32));
        QCOMPARE(QList<int>({sd.FFTShown, sd.FFTLowerHalf, sd.Stored36, sd.FFTFullScreen, sd.FFTScaleDb}),
                 QList<int>({1, 0, 36, 0, 1}));
        QCOMPARE(sd.FFTVrmsPerDiv, 1000.f);
        QCOMPARE(sd.Stored44, int16_t(44));
        QCOMPARE(sd.FFTDbPerDiv, int16_t(-20));
        QCOMPARE(sd.Stored48, 1.5e7f);
        QCOMPARE(sd.FFTPosition, int16_t(25));
        QCOMPARE(sd.FFTHzPerDiv, 12500.f);
        QCOMPARE(sd.FFTZoom, int16_t(2));
        QCOMPARE(sd.Stored64, -0.125f);
        QCOMPARE(sd.FFTHorizPos, int16_t(100));
        QCOMPARE(sd.LAShown, uint8_t(0));
        QCOMPARE(sd.LADisplayState, int16_t(255));
        for (int i = 0; i < 16; ++i) QCOMPARE(sd.LARowY[i], int16_t(20 + 10 * i));
        QCOMPARE(QList<int>({sd.LAState106, sd.LAState107, sd.LAState108}), QList<int>({3, 4, 5}));
        QVERIFY(!w.XYFormat);
        QCOMPARE(w.MathDisplayWord, QString("ON"));
        QCOMPARE(w.FftDisplayWord, QString("ON"));
        for (int i = 1; i <= 1024; ++i) {
            QCOMPARE(w.Ch1Samples[i], i % 201);
            QCOMPARE(w.Ch2Samples[i], 200 - i % 201);
            QCOMPARE(w.FftSamples[i], (i * 3) % 100);  // third trace with the ON word
        }
        QCOMPARE(w.MathSamples[1], 0);

        const MeasureInfo& m = s.MeasureViews[0];
        QCOMPARE(m.Name, QString("Measure 0, Vpp"));
        QVERIFY(m.HasData);
        QCOMPARE(m.Title, QString("CH1 1.00V"));
        for (int k = 0; k < MeasureItemCount; ++k) {
            QCOMPARE(m.Items[k].Value, QString("v%1").arg(k));
            QCOMPARE(m.Items[k].Enable, k % 2 == 0);
            QCOMPARE(m.Items[k].Over, k + 0.25);
            QCOMPARE(m.Items[k].Under, k < 10 ? -k * 1e-9 : -(k / 10.0) * 1e-8);
        }

        const DataInfo& d = s.DataViews[0];
        QCOMPARE(d.Name, QString("Data 0"));
        QVERIFY(d.HasData);
        QCOMPARE(d.Title, QString("CH1 1.00V/div, 500us"));
        QCOMPARE(d.PointCount, 2);
        QCOMPARE(d.VoltTexts, QStringList({"0.00E+00", "1,25", QString::fromUtf8("中文")}));
        QCOMPARE(d.TimeTexts, QStringList({"-2.500E-03", "0.000E+00", "2.500E-03"}));

        const RecordInfo& r = s.RecordViews[0];
        QCOMPARE(r.Name, QString("Record 0"));
        QVERIFY(r.DisplayActive && r.Loaded && !r.BlackBackground && !r.SpareFlag && r.LoopReplay);
        QCOMPARE(r.FilePath, QString("/tmp/rec 0.rec"));
        QCOMPARE(r.Channel, QString("CH1"));
        QCOMPARE(QList<int>({r.StartFrame, r.FrameCount, r.ReplayStatus, r.CurrentFrame}),
                 QList<int>({1, 2, 1, 2}));
        QCOMPARE(QStringList({r.TimeScaleText, r.DelayText, r.VoltScaleText, r.OffsetText}),
                 QStringList({"200us", "0.000s", "1.00V", "-0.50V"}));
        QCOMPARE(r.FrameInterval, 0.05);
        QCOMPARE(r.Samples.size(), size_t(2048));  // (2 - 1 + 1) frames
        for (size_t j = 0; j < r.Samples.size(); ++j) QCOMPARE(r.Samples[j], int16_t(j % 200));

        const MemWaveInfo& mw = s.MemWaveViews[0];
        QCOMPARE(mw.Name, QString("Memory Wave0"));
        QCOMPARE(mw.FilePath, QString("/data/w.wfm"));
        QVERIFY(mw.Loaded && mw.YTFormat);
        QCOMPARE(mw.TriggerMode, QString("EDGE"));
        QCOMPARE(mw.ScreenPointCount, 600);
        const QList<float> volts{0.5f, -1.5f, 0.002f, 5.f, 0.01f, 1e7f};
        QCOMPARE(QList<float>({mw.Ch1OffsetVolts, mw.Ch2OffsetVolts, mw.Ch1VoltsPerDiv,
                               mw.Ch2VoltsPerDiv, mw.Ch1AcqVoltsPerDiv, mw.Ch2AcqVoltsPerDiv}),
                 volts);
        QCOMPARE(QList<int>({mw.Ch1AcqOffsetCode, mw.Ch2AcqOffsetCode}), QList<int>({-25, 50}));
        QCOMPARE(QList<float>({mw.SampleRate, mw.AltCh1SampleRate, mw.AltCh2SampleRate}),
                 QList<float>({2e8f, 1000.f, 0.001f}));
        const QList<double> times{2e-7, -0.001, 0, 1.5, 5e-9, 0.0001, 1e15, 123456789012345, -1e-5, 0.1};
        QCOMPARE(QList<double>({mw.LaTimeValue, mw.AcqDelayTime, mw.AltCh1AcqDelayTime,
                                mw.AltCh2AcqDelayTime, mw.TimePerDiv, mw.DelayTime,
                                mw.AltCh1TimePerDiv, mw.AltCh2TimePerDiv, mw.AltCh1DelayTime,
                                mw.AltCh2DelayTime}),
                 times);
        QVERIFY(mw.BlackBackground && mw.ShowGrid && !mw.SplitDisplay && !mw.SpareFlag2);
        QVERIFY(mw.HasCh1 && !mw.HasCh2 && !mw.HasMath && !mw.HasLa && !mw.XYFormat);
        QVERIFY(!mw.SpareCh1Flag && !mw.SpareCh2Flag && !mw.SpareMathFlag && !mw.SpareLaFlag);
        QCOMPARE(QList<int>({mw.ScreenData.CH1Shown, mw.ScreenData.CH2Shown, mw.ScreenData.LAShown,
                             mw.ScreenData.LADisplayState}),
                 QList<int>({1, 0, 0, -1}));
        for (int i = 0; i < 16; ++i) QCOMPARE(mw.ScreenData.LARowY[i], int16_t(-i));
        QCOMPARE(QList<int>({mw.ScreenData.LAState106, mw.ScreenData.LAState107,
                             mw.ScreenData.LAState108}),
                 QList<int>({6, 7, 8}));
        QCOMPARE(mw.SpareText, QString("spare"));
        QCOMPARE(mw.StateWord, QString("OFF"));
        QCOMPARE(QList<int>({mw.MemoryPointCount, mw.AltCh1PointCount, mw.AltCh2PointCount}),
                 QList<int>({3, 0, 0}));
        const MemWaveResetCopy& rc = mw.ResetCopy;
        QCOMPARE(QList<float>({rc.Ch1OffsetVolts, rc.Ch2OffsetVolts, rc.Ch1VoltsPerDiv,
                               rc.Ch2VoltsPerDiv, rc.Ch1AcqVoltsPerDiv, rc.Ch2AcqVoltsPerDiv}),
                 volts);
        QCOMPARE(QList<int>({rc.Ch1AcqOffsetCode, rc.Ch2AcqOffsetCode}), QList<int>({-25, 50}));
        QCOMPARE(QList<double>({rc.LaTimeValue, rc.AcqDelayTime, rc.AltCh1AcqDelayTime,
                                rc.AltCh2AcqDelayTime, rc.TimePerDiv, rc.DelayTime,
                                rc.AltCh1TimePerDiv, rc.AltCh2TimePerDiv, rc.AltCh1DelayTime,
                                rc.AltCh2DelayTime}),
                 times);
        for (int i = 0; i < 16; ++i) QCOMPARE(rc.LaRowY[i], int16_t(2 * i));
        QCOMPARE(rc.LaSelected, uint8_t(4));
        QCOMPARE(mw.Ch1Memory, std::vector<int16_t>({-100, 0, 100}));

        // Written back (with the logic analyser present, as stored) it is the same file.
        Link().LAPresent = true;
        const QString out = tmp.filePath("golden-out.vls");
        QVERIFY(WriteDataSheet(out));
        QCOMPARE(FileBytes(out), FileBytes(golden));
    }

    // How many lines each shape of section takes, and in what order the
    // blocks' items come.
    void sectionsHaveTheirItemCounts_data() {
        QTest::addColumn<QString>("shape");
        QTest::addColumn<int>("lines");
        QTest::newRow("no views") << "empty" << 7;
        QTest::newRow("wave without data") << "wave" << 7 + 87;
        QTest::newRow("wave with CH1 and CH2") << "wave12" << 7 + 87 + 2048;
        QTest::newRow("data with PointCount 0") << "data0" << 7 + 4 + 2;
        QTest::newRow("memory of 524288 points, interleaved")
            << "mem524288" << 7 + 104 + 3 * 524288;
        QTest::newRow("memory of 524287 points, blocks")
            << "mem524287" << 7 + 104 + 2 * 524287 + 524288;
        QTest::newRow("ALTERNATION 1000 and 2000") << "alt1000_2000" << 7 + 104 + 3000;
        QTest::newRow("ALTERNATION 1000 and 1000") << "alt1000_1000" << 7 + 104 + 2000;
    }
    void sectionsHaveTheirItemCounts() {
        QFETCH(QString, shape);
        QFETCH(int, lines);
        auto s = NewSheet();
        s->SheetName = "S";
        if (shape.startsWith("wave")) {
            s->WaveCount = 1;
            WaveInfo& w = s->WaveViews[0];
            w.HasData = shape == "wave12";
            w.Ch1Fetched = w.Ch2Fetched = true;
            w.Ch1Samples[1] = 11;
            w.Ch2Samples[1] = 22;
            w.Ch1Samples[2] = 33;
        } else if (shape == "data0") {
            s->DataCount = 1;
            s->DataViews[0].HasData = true;
            s->DataViews[0].VoltTexts = QStringList{"v0"};
            s->DataViews[0].TimeTexts = QStringList{"t0"};
        } else if (shape.startsWith("mem") || shape.startsWith("alt")) {
            s->MemWaveCount = 1;
            MemWaveInfo& m = s->MemWaveViews[0];
            m.Loaded = true;
            if (shape.startsWith("alt")) {
                m.TriggerMode = "ALTERNATION";
                m.AltCh1PointCount = 1000;
                m.AltCh2PointCount = shape.endsWith("2000") ? 2000 : 1000;
                m.HasLa = true;  // not consulted in this mode
                m.Ch1Memory.assign(1000, 1);
                m.Ch2Memory.assign(size_t(m.AltCh2PointCount), 2);
            } else {
                m.TriggerMode = "EDGE";
                m.MemoryPointCount = shape == "mem524288" ? 524288 : 524287;
                m.HasCh1 = m.HasCh2 = m.HasLa = true;
                m.Ch1Memory.assign(size_t(m.MemoryPointCount), 1);
                m.Ch2Memory.assign(size_t(m.MemoryPointCount), 2);
                m.LaMemory.assign(524288, 3);
            }
        }
        const QByteArray text = SheetFileText(*s, false);
        QVERIFY(text.endsWith("\r\n"));
        const QList<QByteArray> l = Lines(text);
        QCOMPARE(int(l.size()), lines);
        QCOMPARE(int(text.count('\n')), lines);

        if (shape == "empty")
            QCOMPARE(l, QList<QByteArray>({"\"Tarvo Technologies,Inc. KV2200M Data Sheet\"", "\"S\"",
                                           "0", "0", "0", "0", "0"}));
        if (shape == "wave12")  // CH1 and CH2 alternate
            QCOMPARE(l.mid(7 + 87, 3), QList<QByteArray>({"11", "22", "33"}));
        if (shape == "data0") QCOMPARE(l.mid(11), QList<QByteArray>({"\"v0\"", "\"t0\""}));
        const int block = 7 + 104;
        if (shape == "mem524288") QCOMPARE(l.mid(block, 4), QList<QByteArray>({"1", "2", "3", "1"}));
        if (shape == "mem524287") {
            QCOMPARE(l[block + 524286], QByteArray("1"));
            QCOMPARE(l[block + 524287], QByteArray("2"));
            QCOMPARE(l[block + 2 * 524287], QByteArray("3"));
        }
        if (shape == "alt1000_2000") {
            QCOMPARE(l[block + 999], QByteArray("1"));
            QCOMPARE(l[block + 1000], QByteArray("2"));
        }
        if (shape == "alt1000_1000") QCOMPARE(l.mid(block, 3), QList<QByteArray>({"1", "2", "1"}));

        auto back = NewSheet();
        QVERIFY(ParseSheetFile(text, *back));
        QCOMPARE(SheetFileText(*back, false), text);
    }

    // A damaged file changes nothing of the open sheet and gets the message.
    void damagedFileLeavesTheOpenSheetAlone_data() {
        QTest::addColumn<int>("kind");   // -1 header, -2 whole file
        QTest::addColumn<int>("item");   // 1-based item of the section, or a whole-file change
        QTest::addColumn<QByteArray>("replacement");
        QTest::newRow("empty file") << -2 << 0 << QByteArray();
        QTest::newRow("cut in half") << -2 << 1 << QByteArray();
        QTest::newRow("last item missing") << -2 << 2 << QByteArray();
        QTest::newRow("header in other letter case")
            << -1 << 1 << QByteArray("\"Tarvo Technologies,Inc. KV2200M data sheet\"");
        QTest::newRow("huge count") << -1 << 3 << QByteArray("30000");
        QTest::newRow("count above the kind's limit") << -1 << 6 << QByteArray("5");
        QTest::newRow("negative count") << -1 << 4 << QByteArray("-1");
        QTest::newRow("count out of 16 bits") << -1 << 5 << QByteArray("70000");
        QTest::newRow("wrong type for a flag") << int(ViewWave) << 2 << QByteArray("1");
        QTest::newRow("text for a number") << int(ViewWave) << 4 << QByteArray("\"600\"");
        QTest::newRow("missing closing quote") << -1 << 2 << QByteArray("\"Sheet name");
        QTest::newRow("text after the closing quote") << int(ViewWave) << 1 << QByteArray("\"W\"x");
        QTest::newRow("Integer out of range") << int(ViewWave) << 8 << QByteArray("-32769");
        QTest::newRow("Byte out of range") << int(ViewWave) << 41 << QByteArray("256");
        QTest::newRow("Single out of range") << int(ViewWave) << 46 << QByteArray("1E+39");
        QTest::newRow("infinite Double") << int(ViewMeasure) << 6 << QByteArray("inf");
        QTest::newRow("Double beyond the largest written")
            << int(ViewMeasure) << 6 << QByteArray("1.79769313486233E+308");
        QTest::newRow("huge data point count") << int(ViewData) << 4 << QByteArray("2000000000");
        QTest::newRow("huge record frame count") << int(ViewRecord) << 9 << QByteArray("32767");
        QTest::newRow("huge memory point count") << int(ViewMemoryWave) << 67 << QByteArray("100000000");
        QTest::newRow("huge ALTERNATION count") << int(ViewMemoryWave) << 68 << QByteArray("2147483647");
    }
    void damagedFileLeavesTheOpenSheetAlone() {
        QFETCH(int, kind);
        QFETCH(int, item);
        QFETCH(QByteArray, replacement);
        auto base = NewSheet();
        SheetSamples::FillTelling(*base, 0);
        if (kind == ViewMemoryWave && item == 68) base->MemWaveViews[0].TriggerMode = "ALTERNATION";
        const QByteArray good = SheetFileText(*base, false);
        QVERIFY(ParseSheetFile(good, *NewSheet()));  // undamaged, it reads
        QByteArray bad;
        if (kind == -2) {
            if (item == 1) bad = good.left(good.size() / 2);
            if (item == 2) bad = Join(Lines(good).mid(0, Lines(good).size() - 1));
        } else {
            QList<QByteArray> lines = Lines(good);
            lines[SectionStart(*base, kind) + item - 1] = replacement;
            bad = Join(lines);
        }
        SaveToCorpus(QString("damaged-%1-%2").arg(kind).arg(item), bad);
        const QString path = tmp.filePath("damaged.vls");
        QVERIFY(WriteBytes(path, bad));

        // The open sheet: a different one, with data the read must not touch.
        SheetSamples::FillTelling(Sheets(), 2);
        Sheets().SheetName = "Open sheet";
        const QByteArray before = SheetFileText(Sheets(), false);

        QVERIFY(!ReadDataSheet(path));
        QCOMPARE(SheetFileText(Sheets(), false), before);
        QCOMPARE(MsgBoxService::Log().size(), 1);
        QCOMPARE(MsgBoxService::Log()[0].text, QString("Data Sheet File Format is Invaild !"));
        QCOMPARE(MsgBoxService::Log()[0].style, int(vbCritical));
    }

    // A file that cannot be opened gives the system's reason alone.
    void unopenableFileAndUnwritableGiveOneMessageEach() {
        SheetSamples::FillTelling(Sheets(), 2);
        const QByteArray before = SheetFileText(Sheets(), false);
        QVERIFY(!ReadDataSheet(tmp.filePath("no such folder/x.vls")));
        QCOMPARE(MsgBoxService::Log().size(), 1);
        QCOMPARE(MsgBoxService::Log()[0].style, int(vbCritical));
        QVERIFY(!MsgBoxService::Log()[0].text.isEmpty());
        QVERIFY(!MsgBoxService::Log()[0].text.contains(MessageTable().MsgBadSheetFile));
        QCOMPARE(SheetFileText(Sheets(), false), before);

        for (const QString& path : {tmp.filePath("no such folder/x.vls"), tmp.path()}) {
            MsgBoxService::ClearLog();
            QVERIFY(!WriteDataSheet(path));
            QCOMPARE(MsgBoxService::Log().size(), 1);
            QCOMPARE(MsgBoxService::Log()[0].style, int(vbCritical));
        }
        QVERIFY(!QFile::exists(tmp.filePath("no such folder/x.vls")));
    }

    // No text item runs longer than the longest name the rename editor takes
    // (MaxSheetTextLength characters); a longer one is damage, refused
    // before it is turned into text (a 10 MB name took 26 s and 713 MB, and
    // as a tree node's text crashed the application).
    void longTextsAreRefused_data() {
        QTest::addColumn<int>("field");  // 0 sheet name, 1 view name, 2 table cell
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("read");
        const QString wide = QString::fromUtf8("波");
        QTest::newRow("sheet name at the bound") << 0 << QString(MaxSheetTextLength, 'n') << true;
        QTest::newRow("sheet name one longer") << 0 << QString(MaxSheetTextLength + 1, 'n') << false;
        QTest::newRow("Chinese view name at the bound") << 1 << wide.repeated(MaxSheetTextLength) << true;
        QTest::newRow("Chinese view name one longer") << 1 << wide.repeated(MaxSheetTextLength + 1) << false;
        QTest::newRow("table cell one longer") << 2 << QString(MaxSheetTextLength + 1, '1') << false;
        QTest::newRow("10 MB sheet name") << 0 << QString(10 << 20, 'n') << false;
    }
    void longTextsAreRefused() {
        QFETCH(int, field);
        QFETCH(QString, text);
        QFETCH(bool, read);
        auto src = NewSheet();
        SheetSamples::FillTelling(*src, 0);
        auto at = [field](SheetModelData& sheet) -> QString& {
            if (field == 0) return sheet.SheetName;
            if (field == 1) return sheet.WaveViews[0].Name;
            return sheet.DataViews[0].TimeTexts[1];
        };
        at(*src) = text;
        auto dst = NewSheet();
        // Bounded by this process's processor time, which other work on the
        // machine does not eat.
        const std::clock_t cpu = std::clock();
        QCOMPARE(ParseSheetFile(SheetFileText(*src, false), *dst), read);
        QVERIFY(std::clock() - cpu < CLOCKS_PER_SEC);
        if (read) QCOMPARE(at(*dst), text);
    }

    // A large file that is no sheet is refused at its first item: nothing
    // past it is looked at or converted (a 2 GiB one took 13.6 s and 6.3 GB,
    // and as the last sheet kept the main window unpainted).
    void largeFileThatIsNoSheetIsRefusedAtOnce_data() {
        QTest::addColumn<QByteArray>("start");
        QTest::newRow("zeros") << QByteArray();
        QTest::newRow("a quote never closed") << QByteArray("\"");
        QTest::newRow("the header, then a name never closed") << "\"" + SheetFileHeader().toUtf8() + "\"\r\n\"";
    }
    void largeFileThatIsNoSheetIsRefusedAtOnce() {
        QFETCH(QByteArray, start);
        const QString path = tmp.filePath("large.vls");
        QVERIFY(WriteBytes(path, start));
        QFile f(path);
        if (!f.resize(qint64(1) << 30)) QSKIP("no sparse file here");  // 1 GiB, nearly all a hole
        f.close();
        SheetSamples::FillTelling(Sheets(), 2);
        const QByteArray before = SheetFileText(Sheets(), false);
        const std::clock_t cpu = std::clock();  // processor time: load elsewhere does not count
        QVERIFY(!ReadDataSheet(path));
        const qint64 ms = qint64(std::clock() - cpu) * 1000 / CLOCKS_PER_SEC;
        QVERIFY2(ms < 1000, qPrintable(QString::number(ms) + " ms of processor time"));
        QCOMPARE(SheetFileText(Sheets(), false), before);
        QCOMPARE(MsgBoxService::Log().size(), 1);
        QCOMPARE(MsgBoxService::Log()[0].text, MessageTable().MsgBadSheetFile);
        QFile::remove(path);
    }

    // A replaying Record view is paused through its view and stored paused.
    void replayingRecordIsStoredPaused() {
        SheetSamples::FillTelling(Sheets(), 0);
        Sheets().RecordCount = 2;
        Sheets().RecordViews[1] = Sheets().RecordViews[0];
        Sheets().RecordViews[0].ReplayStatus = 0;  // replaying
        Sheets().RecordViews[1].ReplayStatus = 0;
        Sheets().RecordViews[1].DisplayActive = false;  // nothing shown: not paused
        QList<int> paused;
        SheetFileHooks().RecordReplayPause = [&](int slot) { paused << slot; };
        const QString path = tmp.filePath("replay.vls");
        QVERIFY(WriteDataSheet(path));
        QCOMPARE(paused, QList<int>({0}));
        QCOMPARE(Sheets().RecordViews[0].ReplayStatus, uint8_t(1));
        QCOMPARE(Sheets().RecordViews[1].ReplayStatus, uint8_t(0));
        auto back = NewSheet();
        QVERIFY(ParseSheetFile(FileBytes(path), *back));
        QCOMPARE(back->RecordViews[0].ReplayStatus, uint8_t(1));
    }

    // Sheets saved on a Chinese Windows system are GB18030.
    void gb18030FileIsRead() {
        auto src = NewSheet();
        SheetSamples::FillTelling(*src, 0);
        const QByteArray utf8 = SheetFileText(*src, false);
        QStringEncoder toGb("GB18030");
        QVERIFY(toGb.isValid());
        const QByteArray gb = toGb(QString::fromUtf8(utf8));
        QVERIFY(gb != utf8);
        SaveToCorpus("gb18030", gb);
        auto dst = NewSheet();
        QVERIFY(ParseSheetFile(gb, *dst));
        QCOMPARE(SheetFileText(*dst, false), utf8);
        QCOMPARE(dst->SheetName, src->SheetName);
    }

    // One damaged byte changes no other text: a text that is not of the
    // file's encoding, or that holds a control character, is refused, named
    // by its line, and the open sheet stays as it was.
    void damagedTextIsRefusedNamingItsLine_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("at");  // the damaged byte
        QTest::addColumn<char>("value");
        auto sheet = NewSheet();
        SheetSamples::FillTelling(*sheet, 1);
        const QByteArray utf8 = SheetFileText(*sheet, false);
        QStringEncoder toGb("GB18030");
        const QByteArray gb = toGb(QString::fromUtf8(utf8));
        auto in = [](const QByteArray& bytes, const char* text, int step) {
            return int(bytes.indexOf(QByteArray(text))) + step;
        };
        QTest::newRow("UTF-8: a zero byte inside the sheet name") << utf8 << in(utf8, "\xE8\xAF\x95", 1) << '\0';
        QTest::newRow("UTF-8: 0xFF in a view's name") << utf8 << in(utf8, "\xE6\xB5\x8B", 0) << '\xFF';
        QTest::newRow("UTF-8: a continuation byte become 'A' (GB18030 by itself)")
            << utf8 << in(utf8, "\xE6\x97\xB6", 1) << 'A';
        QTest::newRow("UTF-8: a zero byte in the last text") << utf8 << int(utf8.lastIndexOf("\xE5\xA4\x87") + 1)
                                                             << '\0';
        const QByteArray gbName = toGb(QString::fromUtf8("试验"));
        QTest::newRow("GB18030: a zero byte inside the sheet name")
            << gb << in(gb, gbName.constData(), 1) << '\0';
        QTest::newRow("GB18030: a lone lead byte ending a view's name")
            << gb << int(gb.indexOf(QByteArray(toGb(QString::fromUtf8("测量0"))))) + 4 << '\xFE';
        // A control byte inside a text that stays UTF-8.
        auto edge = NewSheet();
        SheetSamples::FillTelling(*edge, 0);
        const QByteArray plain = SheetFileText(*edge, false);
        QTest::newRow("UTF-8: a zero byte in the trigger mode (ED 0 E)") << plain << in(plain, "\"EDGE\"", 3) << '\0';
        QTest::newRow("UTF-8: a zero byte in an offset (3.0 0 V)") << plain << in(plain, "\"3.04V\"", 4) << '\0';
        QTest::newRow("UTF-8: a zero byte in the sheet name") << plain << in(plain, ", sheet 0", 2) << '\0';
        QTest::newRow("UTF-8: a zero byte in a view's name") << plain << in(plain, ", Vpp", 2) << '\0';
        QTest::newRow("UTF-8: a zero byte in a table cell") << plain << in(plain, "-500E-03", 1) << '\0';
        QTest::newRow("UTF-8: byte 0x04 in a record's time scale") << plain << in(plain, "\"500us\"", 3) << '\x04';
        const QByteArray gbEdge = toGb(QString::fromUtf8(plain));
        QTest::newRow("GB18030: a zero byte in the trigger mode") << gbEdge << in(gbEdge, "\"EDGE\"", 3) << '\0';
    }
    void damagedTextIsRefusedNamingItsLine() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, at);
        QFETCH(char, value);
        QVERIFY(at > 0 && at < bytes.size() && bytes[at] != value);
        auto whole = NewSheet();
        QVERIFY(ParseSheetFile(bytes, *whole));
        bytes[at] = value;
        SaveToCorpus(QString("damaged-text-%1").arg(at), bytes);
        const int line = int(bytes.left(at).count("\r\n")) + 1;
        SheetDamage damage;
        QVERIFY(!ParseSheetFile(bytes, *NewSheet(), &damage));
        QCOMPARE(damage.textLine, line);

        SheetSamples::FillTelling(Sheets(), 2);
        const QByteArray open = SheetFileText(Sheets(), false);
        const QString path = tmp.filePath("damaged text.vls");
        QVERIFY(WriteBytes(path, bytes));
        QVERIFY(!ReadDataSheet(path));
        QCOMPARE(MsgBoxService::Log().size(), 1);
        QCOMPARE(MsgBoxService::Log()[0].text,
                 MessageTable().MsgBadSheetFile + '\n' + MessageTable().MsgTextDamaged.arg(line));
        QCOMPARE(MsgBoxService::Log()[0].style, int(vbCritical));
        QCOMPARE(SheetFileText(Sheets(), false), open);
    }

    // A sheet saved as GB18030 reads as GB18030 though a few of its texts
    // read as UTF-8 by chance ("值" is D6 B5, a Hebrew point in UTF-8).
    void gb18030FileWithTextsThatReadAsUtf8IsRead() {
        auto src = NewSheet();
        SheetSamples::FillTelling(*src, 1);
        src->SheetName = QString::fromUtf8("值");
        src->WaveViews[0].Name = QString::fromUtf8("模式");
        const QByteArray utf8 = SheetFileText(*src, false);
        const QByteArray gb = QStringEncoder("GB18030")(QString::fromUtf8(utf8));
        QVERIFY(QByteArray(QStringEncoder("GB18030")(src->SheetName)).isValidUtf8());
        QVERIFY(QByteArray(QStringEncoder("GB18030")(src->WaveViews[0].Name)).isValidUtf8());
        auto dst = NewSheet();
        QVERIFY(ParseSheetFile(gb, *dst));
        QCOMPARE(dst->SheetName, src->SheetName);
        QCOMPARE(SheetFileText(*dst, false), utf8);
    }

    // A sheet reads as it was written: every sheet this program writes
    // (UTF-8), whatever else its bytes could be, and a sheet of a Chinese
    // Windows system (GB18030) though a few of its texts read as UTF-8 by
    // chance ("前" C7 B0 is U+01F0 in UTF-8, "一" D2 BB U+04BB, "十" CA AE
    // U+02AE, "聙" C2 80 the control character U+0080).
    void sheetReadsAsWritten_data() {
        QTest::addColumn<QString>("sheetName");
        QTest::addColumn<QStringList>("viewNames");  // of Wave views
        QTest::addColumn<bool>("gb18030");           // saved as GB18030, else as this program saves it
        const QString front = QString::fromUtf8("前"), back = QString::fromUtf8("后");
        const QString measure = QString::fromUtf8("测量"), one = QString::fromUtf8("一"), ten = QString::fromUtf8("十");
        for (const bool gb : {true, false}) {
            const char* saved = gb ? "GB18030" : "UTF-8";
            QTest::addRow("%s: views 前 and 后", saved) << "Sheet" << QStringList{front, back} << gb;
            QTest::addRow("%s: sheet 测量, views 一 and 十", saved) << measure << QStringList{one, ten} << gb;
            QTest::addRow("%s: 一 and 十 beside 试验", saved)
                << QString::fromUtf8("试验") << QStringList{one, ten, "Wave"} << gb;
            QTest::addRow("%s: 聙 alone", saved) << "Sheet" << QStringList{QString::fromUtf8("聙")} << gb;
            QTest::addRow("%s: 聙 beside 后", saved) << "Sheet" << QStringList{QString::fromUtf8("聙"), back} << gb;
        }
        // Bytes a GB18030 text could have: this program's sheet reads as written.
        QTest::newRow("UTF-8: the bytes of 一 and 十 in GB18030") << "Sheet"
            << QStringList{QString::fromUtf8("һ"), QString::fromUtf8("ʮ")} << false;
        QTest::newRow("UTF-8: Latin, Cyrillic, a unit") << QString::fromUtf8("Café")
            << QStringList{QString::fromUtf8("Волна"), QString::fromUtf8("5µs, 20°C")} << false;
    }
    void sheetReadsAsWritten() {
        QFETCH(QString, sheetName);
        QFETCH(QStringList, viewNames);
        QFETCH(bool, gb18030);
        auto src = NewSheet();
        src->SheetName = sheetName;
        src->WaveCount = int16_t(viewNames.size());
        for (int i = 0; i < viewNames.size(); ++i) src->WaveViews[size_t(i)].Name = viewNames[i];
        const QByteArray utf8 = SheetFileText(*src, false);
        QStringEncoder toGb("GB18030");
        const QByteArray bytes = gb18030 ? QByteArray(toGb(QString::fromUtf8(utf8))) : utf8;
        QVERIFY(!toGb.hasError());
        auto dst = NewSheet();
        SheetDamage damage;
        QVERIFY2(ParseSheetFile(bytes, *dst, &damage), qPrintable(QString("damage on line %1").arg(damage.textLine)));
        QCOMPARE(dst->SheetName, sheetName);
        QCOMPARE(SheetFileText(*dst, false), utf8);
    }

    // The memory view stores XYFormat twice; the second one is the one read.
    void secondXYFormatWins() {
        auto s = NewSheet();
        s->MemWaveCount = 1;
        QList<QByteArray> lines = Lines(SheetFileText(*s, false));
        const int start = SectionStart(*s, ViewMemoryWave);
        lines[start + 40 - 1] = "#TRUE#";
        lines[start + 64 - 1] = "#FALSE#";
        auto dst = NewSheet();
        dst->MemWaveViews[0].XYFormat = true;
        QVERIFY(ParseSheetFile(Join(lines), *dst));
        QVERIFY(!dst->MemWaveViews[0].XYFormat);
    }

    void namesWithQuotesOrControlsAreNotStorable_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("storable");
        QTest::newRow("plain") << "Wave0" << true;
        QTest::newRow("comma and Chinese") << QString::fromUtf8("波形, 1") << true;
        QTest::newRow("apostrophe") << "it's" << true;
        QTest::newRow("double quote") << "a\"b" << false;
        QTest::newRow("line feed") << "a\nb" << false;
        QTest::newRow("carriage return") << "a\rb" << false;
        QTest::newRow("tab") << "a\tb" << false;
    }
    void namesWithQuotesOrControlsAreNotStorable() {
        QFETCH(QString, name);
        QFETCH(bool, storable);
        QCOMPARE(IsStorableName(name), storable);
    }
};

QTEST_MAIN(SheetFileTest)
#include "tst_sheetfile.moc"
