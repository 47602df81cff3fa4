#include <QtTest>

#include "TestEnv.h"
#include "link/Formatters.h"
#include "link/ReplyParse.h"

// Every row runs under a "." locale and a "," locale: the texts are stored
// and read back, so they carry "." in both.
static const QList<QLocale> kLocales = {QLocale::c(), QLocale(QLocale::German)};

class FormattersTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestEnv::Init(); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void display_data() {
        QTest::addColumn<QString>("fn");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        // volts
        QTest::newRow("V reply") << "V" << "1.00E+00\n" << "1.00V";
        QTest::newRow("V 500m") << "V" << "0.5" << "500mV";
        QTest::newRow("V 50m") << "V" << "0.05" << "50.0mV";
        QTest::newRow("V 5m") << "V" << "0.005" << "5.00mV";
        QTest::newRow("V on threshold") << "V" << "9.9999" << "10.0V";
        QTest::newRow("V below threshold") << "V" << "9.9998" << "10.00V";
        QTest::newRow("V 150") << "V" << "150" << "150V";
        QTest::newRow("V 2500") << "V" << "2500" << "2.50kV";
        QTest::newRow("V 25k") << "V" << "25000" << "25.0kV";
        QTest::newRow("V 250k") << "V" << "250000" << "250kV";
        QTest::newRow("V 1M") << "V" << "1e6" << "1.00MV";
        QTest::newRow("V too big") << "V" << "1e7" << "??.?V";
        QTest::newRow("V -1M") << "V" << "-1e6" << "??.?V";
        QTest::newRow("V -500m") << "V" << "-0.5" << "-500mV";
        QTest::newRow("V zero") << "V" << "0" << "0.00uV";
        QTest::newRow("V near zero +") << "V" << "5e-7" << "0.00uV";
        QTest::newRow("V near zero -") << "V" << "-5e-7" << "0.00uV";
        QTest::newRow("V 1u") << "V" << "1e-6" << "1.00uV";
        QTest::newRow("V 150u") << "V" << "1.5e-4" << "150uV";
        QTest::newRow("V empty") << "V" << "" << "0.00uV";
        QTest::newRow("V beyond float") << "V" << "1e39" << "??.?V";
        QTest::newRow("V 1.5") << "V" << "1.5" << "1.50V";
        // times
        QTest::newRow("T4 1m") << "T4" << "1.000e-03" << "1.000ms";
        QTest::newRow("T4 500u") << "T4" << "5.000e-04" << "500.0us";
        QTest::newRow("T4 threshold") << "T4" << "0.99999" << "1.000s";
        QTest::newRow("T4 zero") << "T4" << "0" << "0.000s";
        QTest::newRow("T4 -2u") << "T4" << "-2e-6" << "-2.000us";
        QTest::newRow("T4 10u") << "T4" << "1e-5" << "10.00us";
        QTest::newRow("T4 garbage") << "T4" << "abc" << "0.000s";
        QTest::newRow("T3 25n") << "T3" << "2.5e-08" << "25.0ns";
        QTest::newRow("T3 1000") << "T3" << "1000" << "1000s";
        QTest::newRow("T3 100n") << "T3" << "1e-7" << "100ns";
        QTest::newRow("T3 ps") << "T3" << "5e-12" << "5.00ps";
        QTest::newRow("T3 near zero") << "T3" << "5e-13" << "0.00s";
        QTest::newRow("T5 1") << "T5" << "1" << "1.0000s";
        QTest::newRow("T5 below 1") << "T5" << "0.99999" << "999.99ms";
        QTest::newRow("T5 zero") << "T5" << "0" << "0.0000s";
        QTest::newRow("T3 beyond float") << "T3" << "1e39" << "340282300000000000000000000000000000000s";
        // frequency
        QTest::newRow("F 1k") << "F" << "1.000e+03" << "1.000kHz";
        QTest::newRow("F 50") << "F" << "50" << "50.00Hz";
        QTest::newRow("F 0.5") << "F" << "0.5" << "500.0mHz";
        QTest::newRow("F 150M") << "F" << "1.5e8" << "150.0MHz";
        QTest::newRow("F 2G") << "F" << "2e9" << "2.000GHz";
        QTest::newRow("F zero") << "F" << "0" << "??.???";
        QTest::newRow("F negative") << "F" << "-50" << "??.???";
        QTest::newRow("F too small") << "F" << "0.0005" << "??.???";
        QTest::newRow("F too big") << "F" << "1e12" << "??.???";
        QTest::newRow("F garbage") << "F" << "x" << "??.???";
        // decibels
        QTest::newRow("dB 12.34") << "dB" << "12.34" << "12.3dB";
        QTest::newRow("dB 150") << "dB" << "150" << "150.0dB";
        QTest::newRow("dB -3") << "dB" << "-3" << "-3.00dB";
        QTest::newRow("dB 5") << "dB" << "5" << "5.00dB";
        QTest::newRow("dB -50") << "dB" << "-50" << "-50.0dB";
        QTest::newRow("dB -150") << "dB" << "-150" << "-150.0dB";
        QTest::newRow("dB max") << "dB" << "10000" << "****dB";
        QTest::newRow("dB min") << "dB" << "-10000" << "-****dB";
        QTest::newRow("dB garbage") << "dB" << "" << "0.00dB";
        // percent
        QTest::newRow("% half") << "%" << "0.5" << "50.0%";
        QTest::newRow("% small") << "%" << "0.05" << "5.00%";
        QTest::newRow("% one") << "%" << "1" << "100.0%";
        QTest::newRow("% tenth") << "%" << "0.1" << "10.0%";
        QTest::newRow("% negative") << "%" << "-0.2" << "-20.00%";
        QTest::newRow("% garbage") << "%" << "?" << "0.00%";
    }
    void display() {
        QFETCH(QString, fn);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        for (const QLocale& l : kLocales) {
            QLocale::setDefault(l);
            QString r;
            if (fn == "V") r = FormatVolt(text);
            else if (fn == "T3") r = FormatTime3(text);
            else if (fn == "T4") r = FormatTime4(text);
            else if (fn == "T5") r = FormatTime5(text);
            else if (fn == "F") r = FormatFreq(text);
            else if (fn == "dB") r = FormatDb(text);
            else if (fn == "%") r = FormatPercent(text);
            QCOMPARE(r, expected);
            if (fn == "%") QCOMPARE(FormatPercent(LeadingNumber(text)), expected);  // the number's form
        }
    }

    // What the measurement view and the mirror rely on: the stored texts
    // read back to the number they show, in every locale.
    void storedTextsReadBack() {
        for (const QLocale& l : kLocales) {
            QLocale::setDefault(l);
            QCOMPARE(ParseVolt2(FormatVolt("1.5")), 1.5);
            QCOMPARE(ParseTime(FormatTime4("2.5e-4")), 0.00025);
            QCOMPARE(ParseFrequency(FormatFreq("1234")), 1234.0);
            QCOMPARE(ParsePercent(FormatPercent("0.125")), 0.125);
            QCOMPARE(LeadingNumber(FormatDiv("0.3", "0.2")), 1.5);
        }
    }

    void formatDiv_data() {
        QTest::addColumn<QString>("volts");
        QTest::addColumn<QString>("perDiv");
        QTest::addColumn<QString>("expected");
        QTest::newRow("5 div") << "0.5" << "0.1" << "5.00div";
        QTest::newRow("negative") << "-0.25" << "0.5" << "-0.50div";
        QTest::newRow("reply texts") << "1.000e-01\n" << "5.00e-01\n" << "0.20div";
        QTest::newRow("zero divisor") << "0.5" << "0" << "";
        QTest::newRow("empty divisor") << "0.5" << "" << "";
    }
    void formatDiv() {
        QFETCH(QString, volts);
        QFETCH(QString, perDiv);
        QFETCH(QString, expected);
        const QString perDivBefore = perDiv;
        QCOMPARE(FormatDiv(volts, perDiv), expected);
        QCOMPARE(perDiv, perDivBefore);
    }

    void limitText_data() {
        QTest::addColumn<QString>("fn");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        QTest::newRow("V milli") << "V" << 0.0015 << "1.500" << 3 << "1.500mV";
        QTest::newRow("V unit") << "V" << 2.0 << "2.000" << 2 << "2.000V";
        QTest::newRow("V top") << "V" << 1e9 << "1000.000" << 0 << "1000.000MV";
        QTest::newRow("V over") << "V" << 1.5e9 << "???.?" << 2 << "???.?V";
        QTest::newRow("V zero") << "V" << 0.0 << "0.000" << 4 << "0.000uV";
        QTest::newRow("V -milli") << "V" << -0.5 << "-500.000" << 3 << "-500.000mV";
        QTest::newRow("V -kilo") << "V" << -2000.0 << "-2.000" << 1 << "-2.000kV";
        QTest::newRow("V under") << "V" << -1e9 << "???.?" << 2 << "???.?V";
        QTest::newRow("F kilo") << "F" << 1000.0 << "1.000" << 2 << "1.000KHz";
        QTest::newRow("F milli") << "F" << 0.5 << "500.000" << 4 << "500.000mHz";
        QTest::newRow("F zero") << "F" << 0.0 << "0.000" << 4 << "0.000mHz";
        QTest::newRow("F negative") << "F" << -1.0 << "???.?" << 3 << "???.?Hz";
        QTest::newRow("F over") << "F" << 2e12 << "???.?" << 3 << "???.?Hz";
        QTest::newRow("T micro") << "T" << 0.0005 << "500.000" << 2 << "500.000us";
        QTest::newRow("T pico") << "T" << 1e-12 << "1.000" << 0 << "1.000ps";
        QTest::newRow("T zero") << "T" << 0.0 << "0.000" << 0 << "0.000ps";
        QTest::newRow("T -milli") << "T" << -0.002 << "-2.000" << 3 << "-2.000ms";
        QTest::newRow("T over") << "T" << 1000.0 << "???.?" << 4 << "???.?s";
        QTest::newRow("T -nano") << "T" << -5e-9 << "-5.000" << 1 << "-5.000ns";
        QTest::newRow("% half") << "%" << 0.5 << "50.00" << 0 << "50.00%";
        QTest::newRow("% negative") << "%" << -0.05 << "-5.00" << 0 << "-5.00%";
    }
    void limitText() {
        QFETCH(QString, fn);
        QFETCH(double, value);
        QFETCH(QString, box);
        QFETCH(int, index);
        QFETCH(QString, text);
        for (const QLocale& l : kLocales) {
            QLocale::setDefault(l);
            LimitText r;
            if (fn == "V") r = FormatVoltText(value);
            else if (fn == "F") r = FormatFreqText(value);
            else if (fn == "T") r = FormatTimeText(value);
            else r = FormatPercentText(value);
            QCOMPARE(r.Box, box);
            QCOMPARE(r.UnitIndex, index);
            QCOMPARE(r.Text, text);
        }
    }

    void si_data() {
        QTest::addColumn<QString>("fn");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("t 0.5m") << "T" << 0.0005 << "0.5ms";
        QTest::newRow("t boundary") << "T" << 0.001 << "1.0ms";
        QTest::newRow("t 2m") << "T" << 0.002 << "0.002s";
        QTest::newRow("t 1u") << "T" << 1e-6 << "1.0us";
        QTest::newRow("t 2.5u") << "T" << 2.5e-6 << "0.0025ms";
        QTest::newRow("t 1n") << "T" << 1e-9 << "1.0ns";
        QTest::newRow("t 0.5n") << "T" << 5e-10 << "0.5ns";
        QTest::newRow("t zero") << "T" << 0.0 << "0.0ns";
        QTest::newRow("t negative") << "T" << -0.5 << "-500000000.0ns";
        QTest::newRow("t third") << "T" << 1.0 / 3 << "0.333333333333333s";
        QTest::newRow("v 1.5") << "V" << 1.5 << "1.5v";
        QTest::newRow("v 0.25") << "V" << 0.25 << "0.25v";
        QTest::newRow("v 0.5m") << "V" << 0.0005 << "0.5mv";
        QTest::newRow("v zero") << "V" << 0.0 << "0.0nv";
    }
    void si() {
        QFETCH(QString, fn);
        QFETCH(double, value);
        QFETCH(QString, expected);
        for (const QLocale& l : kLocales) {
            QLocale::setDefault(l);
            if (fn == "T") {
                QCOMPARE(FormatTimeSI(value), expected);
                QCOMPARE(FormatTimeSIDot(value, "ignored"), expected);
            } else {
                QCOMPARE(FormatVoltSI(value), expected);
            }
        }
    }
};

QTEST_MAIN(FormattersTest)
#include "tst_formatters.moc"
