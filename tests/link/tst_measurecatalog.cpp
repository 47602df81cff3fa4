// The measurement catalogue: three orders over the same 18 items, and the
// dialog's unit lists in step with the limit formatters.
#include <QtTest>
#include <limits>
#include <set>

#include "link/MeasureCatalog.h"
#include "link/Vocabulary.h"

class MeasureCatalogTest : public QObject {
    Q_OBJECT
private slots:
    void ordersArePermutations() {
        for (const MeasureOrder* o : {&MeasureNameOrder, &MeasureDisplayOrder, &MeasureQueryOrder}) {
            const std::set<int> items(o->begin(), o->end());
            QCOMPARE(int(items.size()), 18);
            QCOMPARE(*items.begin(), 0);
            QCOMPARE(*items.rbegin(), 17);
        }
        std::set<int> pictures;
        for (int k = 0; k < 18; ++k) {
            QCOMPARE(MeasureOfItem(k).item, k);
            pictures.insert(MeasureOfItem(k).picture);
        }
        QCOMPARE(int(pictures.size()), 18);
    }

    void ordersReadAsGiven() {
        auto names = [](const MeasureOrder& o) {
            QStringList l;
            for (int item : o) l << MeasureItemName(item, 1);
            return l.join(',');
        };
        QCOMPARE(names(MeasureDisplayOrder),
                 QString("Vpp,Vmax,Vmin,Vavg,Vamp,Vtop,Vbase,Vrms,Vover,Vpre,Frequency,Rise Time,"
                         "Fall Time,Period,Pulse Width+,Pulse Width-,Duty+,Duty-"));
        QCOMPARE(names(MeasureNameOrder),
                 QString("Vpp,Vmax,Vmin,Vavg,Vamp,Vrms,Vtop,Vbase,Vpre,Vover,Frequency,Period,"
                         "Rise Time,Fall Time,Pulse Width+,Pulse Width-,Duty+,Duty-"));
        LoadMeasureNames(0);
        QCOMPARE(Vocabulary().MeasureNames[5], QString::fromUtf8("均方根值"));
        LoadMeasureNames(1);
        QCOMPARE(Vocabulary().MeasureNames[11], QString("Period"));
    }

    // The number box times the chosen unit's value gives the limit back.
    void unitListsMatchFormatters() {
        const double values[] = {0, 2.5e-10, 3e-7, 0.0025, 1.5, 1500, 2.5e6, 4e9, -0.002, -1500};
        for (int k = 0; k < 18; ++k) {
            const UnitFamily f = MeasureOfItem(k).family;
            for (double v : values) {
                const LimitText t = FormatFamilyLimit(f, v);
                if (t.Box.startsWith("???")) continue;
                const double factor = FamilyUnitFactor(f, t.UnitIndex);
                QVERIFY(factor != 0);
                QVERIFY2(qAbs(t.Box.toDouble() * factor - v) <= qAbs(v) * 1e-3 + factor * 1e-3,
                         qPrintable(QString("%1 %2 %3").arg(k).arg(v).arg(t.Text)));
                QVERIFY(t.Text.endsWith(FamilyUnitWords(f)[t.UnitIndex], Qt::CaseInsensitive));
            }
        }
    }

    // A row shows a number its formatter can show whole, else the family's
    // overflow mark; the verdict's parser takes the one and refuses the
    // other, also as a text stored before the rows had their marks.
    void rowValues_data() {
        QTest::addColumn<int>("item");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        const int vpp = 0, freq = 7, rise = 8, duty = 16;
        const double inf = std::numeric_limits<double>::infinity();
        QTest::newRow("V") << vpp << 1.5 << "1.50V";
        QTest::newRow("V no measurement") << vpp << 9.9e37 << "??.?V";
        QTest::newRow("V beyond single") << vpp << -1e308 << "??.?V";
        QTest::newRow("F no measurement") << freq << 9.9e37 << "??.???";
        QTest::newRow("F beyond single") << freq << 1e308 << "??.???";
        QTest::newRow("T") << rise << 2e-9 << "2.000ns";
        QTest::newRow("T largest shown") << rise << 999999.9 << "999999.9s";
        QTest::newRow("T largest negative") << rise << -999999.9 << "-999999.9s";
        QTest::newRow("T a digit too many") << rise << 1e6 << "??.?s";
        QTest::newRow("T negative, too many") << rise << -1e6 << "??.?s";
        QTest::newRow("T no measurement") << rise << 9.9e37 << "??.?s";
        QTest::newRow("T beyond single") << rise << 1e308 << "??.?s";
        QTest::newRow("T infinite") << rise << -inf << "??.?s";
        QTest::newRow("% half") << duty << 0.5 << "50.0%";
        QTest::newRow("% largest shown") << duty << 9999.999 << "999999.9%";
        QTest::newRow("% a digit too many") << duty << 1e4 << "??.?%";
        QTest::newRow("% lowest shown") << duty << -999.9999 << "-99999.99%";
        QTest::newRow("% negative, too many") << duty << -1e3 << "??.?%";
        QTest::newRow("% no measurement") << duty << 9.9e37 << "??.?%";
        QTest::newRow("% beyond single") << duty << 1e308 << "??.?%";
    }
    void rowValues() {
        QFETCH(int, item);
        QFETCH(double, value);
        QFETCH(QString, text);
        const UnitFamily f = MeasureOfItem(item).family;
        QCOMPARE(FormatFamilyValue(f, value), text);
        const ParsedValue back = ParseFamilyValue(f, text);
        QCOMPARE(back.valid, !text.contains('?'));
        if (back.valid) QVERIFY(qAbs(back.value - value) <= qAbs(value) * 1e-6);
        // What the row showed before: the formatter's own text of the number.
        const QString before = f == UnitFamily::Time ? FormatTime4(value)
                               : f == UnitFamily::Percent ? FormatPercent(value)
                                                          : text;
        QCOMPARE(ParseFamilyValue(f, before).valid, back.valid);
    }
};

QTEST_GUILESS_MAIN(MeasureCatalogTest)
#include "tst_measurecatalog.moc"
