// The measurement model without windows: verdicts, list rows, the limit
// dialog's edits and checks, the export text.
#include <QtTest>

#include "link/Messages.h"
#include "measure/model/MeasureExport.h"
#include "measure/model/MeasureList.h"
#include "measure/model/MeasurePictures.h"
#include "measure/model/PassFailModel.h"

namespace {
// A new view's items: disabled, the default limits.
MeasureItems newViewItems() {
    MeasureItems items;
    for (int k = 0; k < MeasureCount18; ++k) {
        items[size_t(k)].Under = MeasureOfItem(k).under;
        items[size_t(k)].Over = MeasureOfItem(k).over;
    }
    return items;
}
int positionOf(int item) {
    for (int p = 0; p < MeasureCount18; ++p)
        if (MeasureNameOrder[size_t(p)] == item) return p;
    return -1;
}
}  // namespace

class MeasureModelTest : public QObject {
    Q_OBJECT
private slots:
    void verdicts_data() {
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("enable");
        QTest::addColumn<double>("under");
        QTest::addColumn<double>("over");
        QTest::addColumn<int>("verdict");
        const int vpp = 0, freq = 7, rise = 8, duty = 16;
        QTest::newRow("inside") << vpp << "150mV" << true << 0.1 << 0.2 << int(Verdict::Pass);
        QTest::newRow("on lower") << vpp << "100mV" << true << 0.1 << 0.2 << int(Verdict::Pass);
        QTest::newRow("on upper") << vpp << "200mV" << true << 0.1 << 0.2 << int(Verdict::Pass);
        QTest::newRow("below") << vpp << "50.0mV" << true << 0.1 << 0.2 << int(Verdict::UnderLimit);
        QTest::newRow("above") << vpp << "250mV" << true << 0.1 << 0.2 << int(Verdict::OverLimit);
        QTest::newRow("disabled") << vpp << "50.0mV" << false << 0.1 << 0.2 << int(Verdict::None);
        QTest::newRow("invalid reply") << vpp << "*****" << true << 0.1 << 0.2 << int(Verdict::Fail);
        QTest::newRow("no unit") << vpp << "0.15" << true << 0.0 << 1.0 << int(Verdict::Fail);
        QTest::newRow("never fetched") << vpp << "" << true << 0.1 << 0.2 << int(Verdict::None);
        QTest::newRow("limits crossed, between") << vpp << "150mV" << true << 0.2 << 0.1 << int(Verdict::UnderLimit);
        QTest::newRow("limits crossed, on lower") << vpp << "200mV" << true << 0.2 << 0.1 << int(Verdict::OverLimit);
        QTest::newRow("frequency") << freq << "1.500MHz" << true << 1e6 << 2e6 << int(Verdict::Pass);
        QTest::newRow("time") << rise << "2.500us" << true << 1e-6 << 2e-6 << int(Verdict::OverLimit);
        QTest::newRow("percent") << duty << "50.0%" << true << 0.45 << 0.6 << int(Verdict::Pass);
        QTest::newRow("percent marked") << duty << "<50.0%" << true << 0.45 << 0.6 << int(Verdict::Fail);
        QTest::newRow("bound time") << rise << "<2.000ns" << true << 0.0 << 1.0 << int(Verdict::Fail);
        QTest::newRow("bound volts") << vpp << ">50.0V" << true << 0.0 << 100.0 << int(Verdict::Fail);
        QTest::newRow("bound, disabled") << rise << "<2.000ns" << false << 0.0 << 1.0 << int(Verdict::None);
        QTest::newRow("time overflow") << rise << "??.?s" << true << 0.0 << 1.0 << int(Verdict::Fail);
        QTest::newRow("percent overflow") << duty << "??.?%" << true << -1.0 << 1.0 << int(Verdict::Fail);
        QTest::newRow("frequency overflow") << freq << "??.???" << true << 0.0 << 1e9 << int(Verdict::Fail);
        // Texts of a sheet saved before the rows had their overflow marks.
        QTest::newRow("stored made-up time") << rise << "99000000000000000000000000000000000000.0s" << true
                                             << 0.0 << 1.0 << int(Verdict::Fail);
        QTest::newRow("stored made-up percent") << duty << "9900000000000000000000000000000000000000.0%" << true
                                                << 0.0 << 1.0 << int(Verdict::Fail);
        QTest::newRow("largest time shown") << rise << "999999.9s" << true << 0.0 << 1e6 << int(Verdict::Pass);
    }
    void verdicts() {
        QFETCH(int, item);
        QFETCH(QString, value);
        QFETCH(bool, enable);
        QFETCH(double, under);
        QFETCH(double, over);
        QFETCH(int, verdict);
        MeasureItem it;
        it.Value = value;
        it.Enable = enable;
        it.Under = under;
        it.Over = over;
        QCOMPARE(int(Judge(it, MeasureOfItem(item).family)), verdict);
    }

    void judgedRowsFollowDisplayOrderAndStoreResults() {
        MeasureInfo r;
        r.Items = newViewItems();
        for (auto& it : r.Items) it.Value = QStringLiteral("150mV");
        r.Items[0].Enable = true;                    // Vpp, judged
        r.Items[15].Enable = true;                   // Vamp
        r.Items[15].Value = QStringLiteral("*****");
        r.Items[3].Result = QStringLiteral("stale"); // not judged: cleared
        const MeasureListRows rows = JudgedRows(r, 1);
        QCOMPARE(rows[0].name, QString("Vpp"));
        QCOMPARE(rows[0].under, QString("100.000mV"));
        QCOMPARE(rows[0].over, QString("200.000mV"));
        QCOMPARE(rows[0].verdict, QString("Pass"));
        QCOMPARE(rows[4].item, 15);
        QCOMPARE(rows[4].verdict, QString("Fail"));
        QCOMPARE(rows[10].name, QString("Frequency"));
        QCOMPARE(rows[13].name, QString("Period"));
        QCOMPARE(rows[13].picture, 12);
        QVERIFY(rows[3].under.isEmpty() && rows[3].verdict.isEmpty());
        QCOMPARE(r.Items[0].Result, QString("Pass"));
        QVERIFY(r.Items[3].Result.isEmpty());

        const MeasureListRows zh = JudgedRows(r, 0);
        QCOMPARE(zh[0].name, QString::fromUtf8("峰峰值"));
        QCOMPARE(r.Items[0].Result, QString::fromUtf8("通过"));
        QCOMPARE(NameRows(1)[7].name, QString("Vrms"));
        QVERIFY(NameRows(1)[7].value.isEmpty());
    }

    void limitNumbers_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("kind");
        QTest::addColumn<double>("value");
        const int E = LimitNumber::Empty, N = LimitNumber::Number, I = LimitNumber::Invalid;
        QTest::newRow("plain") << "C" << "2.5" << N << 2.5;
        QTest::newRow("trailing mark") << "C" << "5." << N << 5.0;
        QTest::newRow("negative") << "C" << "-2" << N << -2.0;
        QTest::newRow("exponent") << "C" << "1e3" << N << 1000.0;
        QTest::newRow("empty") << "C" << "" << E << 0.0;
        QTest::newRow("minus alone") << "C" << "-" << E << 0.0;
        QTest::newRow("letters") << "C" << "abc" << I << 0.0;
        QTest::newRow("comma in C") << "C" << "1,5" << I << 0.0;
        QTest::newRow("comma locale") << "de_DE" << "1,5" << N << 1.5;
        QTest::newRow("comma locale, trailing") << "de_DE" << "5," << N << 5.0;
        QTest::newRow("comma locale, dot") << "de_DE" << "1.5" << I << 0.0;
    }
    void limitNumbers() {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(int, kind);
        QFETCH(double, value);
        const LimitNumber n = ReadLimitNumber(text, QLocale(locale));
        QCOMPARE(int(n.kind), kind);
        QCOMPARE(n.value, value);
    }

    void dialogShowsNewViewLimits() {
        PassFailModel m(newViewItems(), QLocale::c());
        struct Case { int item; const char* under; const char* over; int unit; };
        const Case cases[] = {{0, "100.000", "200.000", 3}, {7, "1.000", "2.000", 1},
                              {8, "1.000", "2.000", 2}, {16, "40.00", "60.00", 0}};
        for (const Case& c : cases) {
            m.ShowType(positionOf(c.item));
            QCOMPARE(m.UnderBox().number, QString(c.under));
            QCOMPARE(m.OverBox().number, QString(c.over));
            QCOMPARE(m.UnderBox().unit, c.unit);
            QVERIFY(!m.Enabled());
        }
        QCOMPARE(PassFailModel::TypeNames(1)[4], QString("Vamp"));
        QCOMPARE(PassFailModel::TypeNames(0)[10], QString::fromUtf8("频率"));
        // A comma locale shows its own mark.
        PassFailModel de(newViewItems(), QLocale("de_DE"));
        QCOMPARE(de.UnderBox().number, QString("100,000"));
    }

    void dialogEdits() {
        PassFailModel m(newViewItems(), QLocale::c());
        m.ShowType(positionOf(0));  // Vpp: MV kV V mV uV
        QCOMPARE(m.EditUnder("5.", 2), PassFailModel::Edit::Stored);
        QCOMPARE(m.Items()[0].Under, 5.0);
        QCOMPARE(m.EditUnder("5.", 3), PassFailModel::Edit::Stored);
        QCOMPARE(m.Items()[0].Under, 0.005);
        QCOMPARE(m.EditUnder("abc", 2), PassFailModel::Edit::Invalid);
        QCOMPARE(m.EditUnder("-", 2), PassFailModel::Edit::Ignored);
        QCOMPARE(m.Items()[0].Under, 0.005);  // unchanged
        QCOMPARE(m.EditUnder("-2", 2), PassFailModel::Edit::Stored);
        QCOMPARE(m.Items()[0].Under, -2.0);
        // The unit choice reads the number in the new unit, not converted.
        QCOMPARE(m.EditUnder("100.000", 2), PassFailModel::Edit::Stored);
        QCOMPARE(m.Items()[0].Under, 100.0);

        // Upper "5" mV below a lower 1 V is raised to it.
        m.EditUnder("1", 2);
        m.EditOver("5", 3);
        QCOMPARE(m.Items()[0].Over, 0.005);
        QVERIFY(m.RaiseOverToUnder());
        QCOMPARE(m.Items()[0].Over, 1.0);
        QVERIFY(!m.RaiseOverToUnder());

        m.ShowType(positionOf(16));  // Duty+
        QCOMPARE(m.EditUnder("25", 0), PassFailModel::Edit::Stored);
        QCOMPARE(m.Items()[16].Under, 0.25);
        QCOMPARE(m.UnderBox().number, QString("25.00"));

        m.ShowType(positionOf(8));  // Rise Time: 0 shows in ps
        m.EditUnder("0", 4);
        QCOMPARE(m.UnderBox().number, QString("0.000"));
        QCOMPARE(m.UnderBox().unit, 0);
    }

    void okChecksEveryEnabledItem() {
        // The shown type first: raised, dialog stays open; then it passes.
        {
            PassFailModel m(newViewItems(), QLocale::c());
            m.SetEnabled(true);
            m.EditUnder("1", 2);
            m.EditOver("0.5", 2);
            QCOMPARE(m.CheckForOk(), 0);
            QCOMPARE(m.Items()[0].Over, 1.0);
            QCOMPARE(m.CheckForOk(), -1);
        }
        // Another enabled type with crossed limits is shown and raised.
        {
            PassFailModel m(newViewItems(), QLocale::c());
            m.ShowType(positionOf(1));  // Vmax
            m.SetEnabled(true);
            m.EditUnder("1", 2);
            m.EditOver("0.5", 2);
            m.ShowType(positionOf(2));  // Vmin: crossed but disabled, not checked
            m.EditUnder("1", 2);
            m.EditOver("0.5", 2);
            m.ShowType(0);
            QCOMPARE(m.CheckForOk(), positionOf(1));
            QCOMPARE(m.ShownItem(), 1);
            QCOMPARE(m.Items()[1].Over, 1.0);
            m.ShowType(0);
            QCOMPARE(m.CheckForOk(), -1);
            QCOMPARE(m.Items()[2].Over, 0.5);
        }
    }

    void exportText() {
        MeasureInfo r;
        r.Items = newViewItems();
        r.Title = QStringLiteral("CH1 1.00V  500us 1MSa/s  [Date:2026-12-10]");
        for (auto& it : r.Items) it.Value = QStringLiteral("1.00V");
        r.Items[0].Value = QStringLiteral("150mV\nrest");
        r.Items[0].Enable = true;
        r.Items[0].Result = QStringLiteral("Pass");
        r.Items[7].Enable = true;
        r.Items[7].Value = QStringLiteral("*****");
        r.Items[7].Under = 1500;
        r.Items[7].Result = QStringLiteral("Fail");
        r.Items[8].Enable = true;  // Rise Time: below what the instrument can measure
        r.Items[8].Value = QStringLiteral("<2.000ns");
        JudgedRows(r, 1);
        const QByteArray text = MeasureExportText(r, QStringLiteral("Maker"), 1);
        const QList<QByteArray> lines = text.split('\n');
        QCOMPARE(lines.size(), 27);  // 26 lines, each with CR LF, and the empty rest
        QVERIFY(text.endsWith("\r\n"));
        QCOMPARE(lines[0], QByteArray("Maker -[Measure]\r"));
        QCOMPARE(lines[4], QByteArray("\r"));
        QCOMPARE(lines[5], r.Title.toUtf8() + "\r");
        QCOMPARE(lines[7], QString::fromUtf8("  类型\t   值\t  下限\t  上限\t通过&失败\r").toUtf8());
        QCOMPARE(lines[8], QByteArray("Vpp\t150mV\t100.000mV\t200.000mV\tPass\r"));
        QCOMPARE(lines[9], QByteArray("Vmax\t1.00V\t\t\t\r"));
        QCOMPARE(lines[18], QByteArray("Frequency\t*****\t1.500KHz\t2.000MHz\tFail\r"));
        QCOMPARE(lines[19], QByteArray("Rise Time\t<2.000ns\t1.000us\t2.000us\tFail\r"));
        QCOMPARE(lines[21], QByteArray("Period\t1.00V\t\t\t\r"));
        QVERIFY(MeasureExportText(r, "Maker", 0).contains(QString::fromUtf8("峰峰值\t150mV").toUtf8()));
    }

    void unreadMeasuresText() {
        LoadMessages(LangEnglish);
        QVERIFY(UnreadMeasuresText(0, 18).isEmpty());
        QCOMPARE(UnreadMeasuresText(3, 18), QString("3 of 18 measurements could not be read"));
        LoadMessages(LangChinese);
        QCOMPARE(UnreadMeasuresText(12, 18), QString::fromUtf8("18 项测量中有 12 项无法读取"));
        LoadMessages(LangEnglish);
    }

    // Equal shares while every column fits one; a wider column takes what it
    // needs and the others share the rest, looked at again as shares shrink.
    void columnWidths_data() {
        QTest::addColumn<int>("room");
        QTest::addColumn<std::vector<int>>("least");
        QTest::addColumn<std::vector<int>>("widths");
        QTest::newRow("equal") << 350 << std::vector<int>{40, 70, 10, 0, 40} << std::vector<int>{70, 70, 70, 70, 70};
        QTest::newRow("one wide") << 350 << std::vector<int>{116, 30, 30, 30, 30}
                                  << std::vector<int>{116, 58, 58, 58, 58};
        QTest::newRow("wide after the first") << 300 << std::vector<int>{130, 55, 10, 10, 10}
                                              << std::vector<int>{130, 55, 38, 38, 38};
        QTest::newRow("more than the room") << 300 << std::vector<int>{200, 200, 10, 10, 10}
                                            << std::vector<int>{200, 200, 10, 10, 10};
    }
    void columnWidths() {
        QFETCH(int, room);
        QFETCH(std::vector<int>, least);
        QFETCH(std::vector<int>, widths);
        QCOMPARE(ShareColumnWidths(room, least), widths);
    }

    void picturesAreDrawn() {
        for (int p = 1; p <= 18; ++p) {
            const QImage img = MeasurePicture(p);
            QCOMPARE(img.size(), QSize(56, 20));
            QVERIFY2(img != MeasurePicture(0), qPrintable(QString::number(p)));
        }
    }
};

QTEST_GUILESS_MAIN(MeasureModelTest)
#include "tst_model_measure.moc"
