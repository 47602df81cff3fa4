// The measurement catalogue: three orders over the same 18 items, and the
// dialog's unit lists in step with the limit formatters.
#include <QtTest>
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
};

QTEST_GUILESS_MAIN(MeasureCatalogTest)
#include "tst_measurecatalog.moc"
