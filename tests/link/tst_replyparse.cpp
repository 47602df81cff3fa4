#include <QtTest>

#include <cmath>
#include <limits>

#include "TestEnv.h"
#include "link/ReplyParse.h"

// Every row runs under a "." locale and a "," locale: reading always takes
// ".", and texts written by default always carry ".".
static const QList<QLocale> kLocales = {QLocale::c(), QLocale(QLocale::German)};

class ReplyParseTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestEnv::Init(); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void trimReply_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("line feed") << "1.20e+00\n" << "1.20e+00";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("lf alone") << "\n" << "";
        QTest::newRow("second line") << "ab\ncd\nef" << "ab";
        QTest::newRow("cr stays") << "ab\r\n" << "ab\r";
        QTest::newRow("no lf") << "abc" << "abc";
    }
    void trimReply() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(TrimReply(text), expected);
    }

    void leadingNumber_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("blank inside") << "1 000" << 1000.0;
        QTest::newRow("comma ends") << "1,5" << 1.0;
        QTest::newRow("exp upper") << "2.5E+03" << 2500.0;
        QTest::newRow("exp lower") << "2.5e3" << 2500.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("letters") << "abc" << 0.0;
        QTest::newRow("point first") << ".5" << 0.5;
        QTest::newRow("signs") << " -1.5mV" << -1.5;
        QTest::newRow("plus") << "+3" << 3.0;
        QTest::newRow("unit follows") << "1.20div" << 1.2;
        QTest::newRow("exp without digits") << "1e" << 1.0;
        QTest::newRow("exp sign only") << "2E+x" << 2.0;
        QTest::newRow("sign alone") << "-" << 0.0;
        QTest::newRow("point alone") << "." << 0.0;
        QTest::newRow("second point ends") << "1.2.3" << 1.2;
        QTest::newRow("tab and lf skipped") << "\t1\n2" << 12.0;
    }
    void leadingNumber() {
        QFETCH(QString, text);
        QFETCH(double, expected);
        for (const QLocale& l : kLocales) {
            QLocale::setDefault(l);
            QCOMPARE(LeadingNumber(text), expected);
        }
    }

    // A number of any size, as a measurement reply may give it: beyond a
    // double it reads as infinite, as the infinity words do; "nan" and what
    // is no whole number are none.
    void numberOfAnySize_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<double>("value");
        const double inf = std::numeric_limits<double>::infinity();
        QTest::newRow("in range") << "2.5e3\r\n" << true << 2500.0;
        QTest::newRow("beyond a double") << "1e309" << true << inf;
        QTest::newRow("negative beyond") << " -1E+400\n" << true << -inf;
        QTest::newRow("below the smallest") << "1e-400" << true << 0.0;
        QTest::newRow("inf") << "inf" << true << inf;
        QTest::newRow("signed, capitals") << "-INF\r" << true << -inf;
        QTest::newRow("spelled out") << "+Infinity" << true << inf;
        QTest::newRow("nan") << "nan" << false << 0.0;
        QTest::newRow("signed nan") << "-NaN" << false << 0.0;
        QTest::newRow("longer word") << "infinite" << false << 0.0;
        QTest::newRow("shorter word") << "in" << false << 0.0;
        QTest::newRow("something after") << "inf x" << false << 0.0;
        QTest::newRow("group separator") << "2,5" << false << 0.0;
        QTest::newRow("empty") << "" << false << 0.0;
    }
    void numberOfAnySize() {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(double, value);
        const ParsedValue v = NumberOfAnySize(text);
        QCOMPARE(v.valid, valid);
        QCOMPARE(v.value, value);
        QCOMPARE(IsPlainNumber(text), valid && std::isfinite(value));
    }

    void leadingNumberOutOfRangeIsNotACrash() {
        const double big = LeadingNumber("1e999");
        QVERIFY(big == 0 || std::isinf(big));
        QCOMPARE(LeadingNumber(QString(5000, '9')) > 0, true);
    }

    void formatWithMask_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<bool>("single");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no lead digit") << 0.5 << "#.00" << false << ".50";
        QTest::newRow("lead zero") << 0.5 << "#0.00" << false << "0.50";
        QTest::newRow("percent") << 0.5 << "00.0%" << false << "50.0%";
        QTest::newRow("small percent") << 0.05 << "0.00%" << false << "5.00%";
        QTest::newRow("dB literal") << 12.34 << "#00.0dB" << false << "12.3dB";
        QTest::newRow("dB padded") << 5.5 << "#00.0dB" << false << "05.5dB";
        QTest::newRow("half away, decimal") << 1.005 << "#.00" << false << "1.01";
        QTest::newRow("negative half away") << -2.5 << "###" << false << "-3";
        QTest::newRow("### zero is empty") << 0.2 << "###" << false << "";
        QTest::newRow("no invented digits") << 0.1 << "0.0########################" << false << "0.1";
        QTest::newRow("min decimals") << 2.0 << "0.0########################" << false << "2.0";
        QTest::newRow("15 digits") << 1.0 / 3 << "0.0########################" << false
                                   << "0.333333333333333";
        QTest::newRow("single 7 digits") << double(0.99999f) << "#.000" << true << "1.000";
        QTest::newRow("carry adds digit") << 9.9999 << "##.0" << false << "10.0";
        QTest::newRow("negative rounds to zero") << -0.001 << "0.00" << false << "0.00";
        QTest::newRow("whole percent") << 0.07 << "0%" << false << "7%";
        QTest::newRow("scientific") << 1234.5 << "0.00E+00" << false << "1.23E+03";
        QTest::newRow("scientific neg exp") << 0.00125 << "0.0E-0" << false << "1.3E-3";
        QTest::newRow("scientific carry") << 9.99 << "0.0E+00" << false << "1.0E+01";
    }
    void formatWithMask() {
        QFETCH(double, value);
        QFETCH(QString, mask);
        QFETCH(bool, single);
        QFETCH(QString, expected);
        for (const QLocale& l : kLocales) {
            QLocale::setDefault(l);
            QCOMPARE(FormatWithMask(value, mask, single ? Precision::Single : Precision::Double),
                     expected);
        }
    }

    void formatWithMaskFollowsLocaleOnlyWhenAsked() {
        QLocale::setDefault(QLocale(QLocale::German));
        QCOMPARE(FormatWithMask(1.5, "0.000", Precision::Double, DecimalMark::Locale), "1,500");
        QCOMPARE(FormatWithMask(1.5, "0.000"), "1.500");
        QLocale::setDefault(QLocale::c());
        QCOMPARE(FormatWithMask(1.5, "0.000", Precision::Double, DecimalMark::Locale), "1.500");
    }

    void parsers_data() {
        QTest::addColumn<QString>("parser");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::addColumn<bool>("valid");
        QTest::newRow("V digit prefix") << "V" << "1.5V" << 1.5 << true;
        QTest::newRow("V milli") << "V" << "1.5mV" << 0.0015 << true;
        QTest::newRow("V negative") << "V" << "-1.5mV" << -0.0015 << true;
        QTest::newRow("V exponent") << "V" << "1.5e-3V" << 0.0015 << true;
        QTest::newRow("V nano") << "V" << "250nV" << 2.5e-7 << true;
        QTest::newRow("V pico") << "V" << "3pV" << 3e-12 << true;
        QTest::newRow("V mega refused") << "V" << "1.5MV" << 0.0 << false;
        QTest::newRow("V space before unit") << "V" << "1.5 V" << 0.0 << false;
        QTest::newRow("V space before prefix") << "V" << "1.5 mV" << 0.0015 << true;
        QTest::newRow("V no unit") << "V" << "1.5" << 0.0 << false;
        QTest::newRow("V alone") << "V" << "V" << 0.0 << false;
        QTest::newRow("V first") << "V" << "V5" << 0.0 << false;
        // No number before the unit, or text after it: no value (not 0, not the number before it).
        QTest::newRow("mV alone") << "V" << "mV" << 0.0 << false;
        QTest::newRow("letters before prefix") << "V" << "abcmV" << 0.0 << false;
        QTest::newRow("letter, blank, prefix") << "V" << "x mV" << 0.0 << false;
        QTest::newRow("text after the unit") << "V" << "1.00Vx" << 0.0 << false;
        QTest::newRow("beyond a double") << "V" << "1e309V" << 0.0 << false;
        QTest::newRow("below a double") << "V" << "1e-400V" << 0.0 << true;
        QTest::newRow("point before unit") << "V" << "1.V" << 1.0 << true;
        QTest::newRow("reply with cr lf") << "V" << "2.00V\r\n" << 2.0 << true;
        QTest::newRow("blank inside number") << "V" << "1 .5V" << 0.0 << false;
        QTest::newRow("V reply with lf") << "V" << "2.00V\n" << 2.0 << true;
        QTest::newRow("V2 mega") << "V2" << "1.5MV" << 1.5e6 << true;
        QTest::newRow("V2 plain") << "V2" << "2.00V" << 2.0 << true;
        QTest::newRow("V2 milli") << "V2" << "500mV" << 0.5 << true;
        QTest::newRow("V2 zero micro") << "V2" << "0.00uV" << 0.0 << true;
        QTest::newRow("V2 out of range") << "V2" << "??.?V" << 0.0 << false;
        QTest::newRow("V2 nano refused") << "V2" << "1.5nV" << 0.0 << false;
        QTest::newRow("F kilo") << "F" << "1.000kHz" << 1000.0 << true;
        QTest::newRow("F upper K") << "F" << "1.000KHz" << 0.0 << false;
        QTest::newRow("F plain") << "F" << "50.00Hz" << 50.0 << true;
        QTest::newRow("F giga") << "F" << "1.5GHz" << 1.5e9 << true;
        QTest::newRow("F milli") << "F" << "500.0mHz" << 0.5 << true;
        QTest::newRow("F lower case") << "F" << "1.000khz" << 0.0 << false;
        QTest::newRow("F unknown") << "F" << "??.???" << 0.0 << false;
        QTest::newRow("T micro") << "T" << "500.0us" << 0.0005 << true;
        QTest::newRow("T plain") << "T" << "2.000s" << 2.0 << true;
        QTest::newRow("T upper S") << "T" << "1.000S" << 0.0 << false;
        QTest::newRow("P percent") << "P" << "50.0%" << 0.5 << true;
        QTest::newRow("P alone") << "P" << "%" << 0.0 << false;
        QTest::newRow("F text after unit") << "F" << "1.000kHzz" << 0.0 << false;
        QTest::newRow("P no sign") << "P" << "50.0" << 0.0 << false;
        QTest::newRow("mark after lf") << "V" << "1.5V\n>" << 0.0 << false;
        QTest::newRow("mark less") << "T" << "<1.0us" << 0.0 << false;
        QTest::newRow("stars") << "P" << "*****" << 0.0 << false;
        QTest::newRow("stars dB-like") << "V2" << "****dB" << 0.0 << false;
        QTest::newRow("empty V") << "V" << "" << 0.0 << false;
        QTest::newRow("empty P") << "P" << "" << 0.0 << false;
        // A comma is no decimal mark: why stored texts never carry one.
        QTest::newRow("comma text") << "V" << "1,50V" << 0.0 << false;
        QTest::newRow("comma before prefix") << "V" << "1,5mV" << 0.0 << false;
    }
    void parsers() {
        QFETCH(QString, parser);
        QFETCH(QString, text);
        QFETCH(double, expected);
        QFETCH(bool, valid);
        for (const QLocale& l : kLocales) {
            QLocale::setDefault(l);
            ParsedValue r{-99, false};
            if (parser == "V") r = ParseVoltChecked(text);
            else if (parser == "V2") r = ParseVolt2Checked(text);
            else if (parser == "F") r = ParseFrequencyChecked(text);
            else if (parser == "T") r = ParseTimeChecked(text);
            else if (parser == "P") r = ParsePercentChecked(text);
            QCOMPARE(r.valid, valid);
            QCOMPARE(r.value, expected);
        }
    }

    void parseTimeToText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("valid");
        QTest::newRow("micro") << "500.0us" << "500.000E-6" << true;
        QTest::newRow("milli, long") << "1.234567ms" << "1.234567E-3" << true;
        QTest::newRow("seconds") << "2.000s" << "2.000" << true;
        QTest::newRow("pico") << "5ps" << "5.000E-12" << true;
        QTest::newRow("nano") << "-25.0ns" << "-25.000E-9" << true;
        QTest::newRow("empty") << "" << "" << false;
        QTest::newRow("kilo refused") << "1ks" << "" << false;
        QTest::newRow("marks") << "<1us" << "" << false;
    }
    void parseTimeToText() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QFETCH(bool, valid);
        for (const QLocale& l : kLocales) {
            QLocale::setDefault(l);
            QCOMPARE(ParseTimeToText(text), expected);
            QCOMPARE(ParseTimeChecked(text).valid, valid);
        }
    }
};

QTEST_MAIN(ReplyParseTest)
#include "tst_replyparse.moc"
