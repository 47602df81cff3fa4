// Judging the instrument's identity reply, for both brands.
#include <QtTest>

#include "link/Identity.h"

Q_DECLARE_METATYPE(InstrumentBrand)

class IdentityTest : public QObject {
    Q_OBJECT
private slots:
    void verdict_data() {
        QTest::addColumn<InstrumentBrand>("brand");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<bool>("maker");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("bandwidth");
        QTest::addColumn<int>("eu");  // -1: the brand leaves ModelEU alone
        const auto M = InstrumentBrand::Main;
        const auto S = InstrumentBrand::Second;
        QTest::newRow("model ending in E") << M << "TARVO TECHNOLOGIES,KV2202E,SN0001,V1.0\n"
                                           << true << true << "KV2202E" << 4 << 1;
        QTest::newRow("model ending in U") << M << "TARVO TECHNOLOGIES,KV2102U,SN,V" << true << true
                                           << "KV2102U" << 3 << 1;
        QTest::newRow("maker in other case") << M << "Tarvo Technologies,KV2202E,SN,V" << false
                                             << false << "" << 0 << -1;
        QTest::newRow("blank before maker") << M << " TARVO TECHNOLOGIES,KV2202E,SN,V" << false
                                            << false << "" << 0 << -1;
        QTest::newRow("model ending in D keeps its class")
            << M << "TARVO TECHNOLOGIES,KV2152D,SN,V" << true << false << "KV2152D" << 3 << 0;
        QTest::newRow("no second comma: model is the maker")
            << M << "TARVO TECHNOLOGIES,KV2202E" << true << false << "TARVO TECHNOLOGIES" << 5 << 0;
        QTest::newRow("no comma at all") << M << "TARVO TECHNOLOGIES" << false << false << "" << 0 << -1;
        QTest::newRow("empty reply") << M << "" << false << false << "" << 0 << -1;
        QTest::newRow("three-character model") << M << "TARVO TECHNOLOGIES,KVE,SN,V" << true << true
                                               << "KVE" << 5 << 1;
        QTest::newRow("second brand's reply") << M << "HOKANE,KV2202E,SN,V" << false << false << ""
                                              << 0 << -1;
        QTest::newRow("second brand: any model") << S << "HOKANE,KV2202D,SN,V" << true << true
                                                 << "KV2202D" << 2 << -1;
        QTest::newRow("second brand: E model") << S << "HOKANE,KV2202E,SN,V" << true << true
                                               << "KV2202E" << 2 << -1;
        QTest::newRow("second brand refuses main") << S << "TARVO TECHNOLOGIES,KV2202E,SN,V" << false
                                                   << false << "" << 0 << -1;
        QTest::newRow("second brand: no comma") << S << "HOKANE" << false << false << "" << 0 << -1;
    }
    void verdict() {
        QFETCH(InstrumentBrand, brand);
        QFETCH(QString, reply);
        QFETCH(bool, maker);
        QFETCH(bool, accepted);
        QFETCH(QString, model);
        QFETCH(int, bandwidth);
        QFETCH(int, eu);
        const IdentityVerdict v = CheckIdentity(reply, brand);
        QCOMPARE(v.makerMatches, maker);
        QCOMPARE(v.accepted, accepted);
        if (!maker) return;
        QCOMPARE(v.scopeModel, model);
        QCOMPARE(v.bandwidthClass, bandwidth);
        QCOMPARE(v.setsModelEU, eu >= 0);
        if (eu >= 0) QCOMPARE(v.modelEU, eu);
    }

    void bandwidthClass_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("cls");
        QTest::newRow("02") << "KV2022E" << 0;
        QTest::newRow("04") << "KV2042E" << 1;
        QTest::newRow("06") << "KV2062E" << 2;
        QTest::newRow("10") << "KV2102E" << 3;
        QTest::newRow("15") << "KV2152E" << 3;
        QTest::newRow("20") << "KV2202E" << 4;
        QTest::newRow("05") << "KV2052E" << 5;
        QTest::newRow("letters") << "KV2ABE" << 5;
        QTest::newRow("digit then letter") << "KV22XE" << 0;
        QTest::newRow("four characters") << "KV22" << 0;
        QTest::newRow("three characters") << "KV2" << 5;
    }
    void bandwidthClass() {
        QFETCH(QString, model);
        QFETCH(int, cls);
        QCOMPARE(BandwidthClassOf(model), cls);
    }

    void colourMark_data() {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<bool>("colour");
        QTest::newRow("C at 26") << "TARVO TECHNOLOGIES,KV2202C,SN,V" << true;
        QTest::newRow("M at 26") << "TARVO TECHNOLOGIES,KV2202M,SN,V" << false;
        QTest::newRow("25 characters") << "TARVO TECHNOLOGIES,KV2202" << false;
        QTest::newRow("c in lower case") << "TARVO TECHNOLOGIES,KV2202c" << false;
        QTest::newRow("empty") << "" << false;
    }
    void colourMark() {
        QFETCH(QString, reply);
        QFETCH(bool, colour);
        QCOMPARE(IdentityMarksColor(reply), colour);
    }

    void buildBrand() {
#if defined(KV_SECOND_BRAND) && KV_SECOND_BRAND
        QCOMPARE(BuildBrand(), InstrumentBrand::Second);
        QCOMPARE(BrandMaker(BuildBrand()), QString("HOKANE"));
#else
        QCOMPARE(BuildBrand(), InstrumentBrand::Main);
        QCOMPARE(BrandMaker(BuildBrand()), QString("TARVO TECHNOLOGIES"));
#endif
    }
};

QTEST_MAIN(IdentityTest)
#include "tst_identity.moc"
