#include <QtTest>

#include "TestEnv.h"
#include "common/DSOSettings.h"
#include "common/ShellState.h"
#include "link/Vocabulary.h"

namespace {

void loadLanguage(int lang) {
    LoadValueWords(lang);
    LoadControllerLabels(lang);
    LoadMeasureNames(lang);
}

// The mirror after New in a language.
CtrlSettings defaults(int lang) {
    loadLanguage(lang);
    CtrlSettings s;
    SetDefaultCtrlSettings(s);
    return s;
}

// Switches the language the way the Language menu does: new tables first,
// then the mirror's words.
void switchLanguage(CtrlSettings& s, int from, int to) {
    loadLanguage(to);
    TranslateSettingWords(s, to, from);
}

}  // namespace

class VocabularyTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestEnv::Init(); }
    void cleanup() { loadLanguage(LangEnglish); }

    void tablesInBothLanguages() {
        loadLanguage(LangChinese);
        QCOMPARE(Vocabulary().MeasureNames[17], QString("负占空比"));
        QCOMPARE(ValueWord(vwAcLine), QString("市电"));
        QCOMPARE(ValueWord(vwCouplingAC), QString("交流"));
        QCOMPARE(ControllerLabel(1), QString("运行|停止"));
        QCOMPARE(ControllerLabel(clD15), QString("D15"));
        QCOMPARE(ControllerLabel(60), QString("D0"));
        QCOMPARE(ControllerLabel(76), QString("Anti-aliasing"));
        QCOMPARE(Vocabulary().DefaultSheetName, QString("未标题"));
        QCOMPARE(Vocabulary().SheetRootName, QString("数据浏览器"));
        loadLanguage(LangEnglish);
        QCOMPARE(Vocabulary().MeasureNames[12], QString("Rise Time"));
        QCOMPARE(ValueWord(vwAcLine), ValueWord(vwCouplingAC));
        QCOMPARE(ValueWord(vwSweepNormal), ValueWord(vwAcqNormal));
        QCOMPARE(ValueWord(vwPulseGreaterPos), ValueWord(vwSlopeGreaterPos));
        QCOMPARE(ValueWord(vwNone), QString("NONE"));
        QCOMPARE(ControllerLabel(1), QString("Run|Stop"));
        QCOMPARE(ControllerLabel(83), QString("Virtual Panel"));
        QCOMPARE(Vocabulary().DefaultSheetName, QString("Untitle"));
        QCOMPARE(ControllerLabel(63), QString());
        QCOMPARE(ValueWord(-1), QString());
        QCOMPARE(ValueWord(ValueWordCount), QString());
    }

    void unknownLanguageChangesOnlyTheNeutralLabels() {
        loadLanguage(LangChinese);
        Vocabulary().ControllerLabels[40].clear();
        loadLanguage(7);
        QCOMPARE(ValueWord(vwRun), QString("运行"));
        QCOMPARE(Vocabulary().MeasureNames[0], QString("峰峰值"));
        QCOMPARE(ControllerLabel(0), QString("运行控制"));
        QCOMPARE(ControllerLabel(clCodeH), QString("H"));  // neutral entries are still stored
    }

    void mirrorOrderAndCount() {
        CtrlSettings s;
        const auto values = CtrlSettingsValues(s);
        const QStringList names = CtrlSettingsNames();
        QCOMPARE(int(values.size()), CtrlValueCount);
        QCOMPARE(names.size(), CtrlValueCount);
        QCOMPARE(QStringList(names).removeDuplicates(), 0);
        // Value numbers of the controller file (1-based).
        QCOMPARE(values[0], &s.RunStop);
        QCOMPARE(values[16], &s.LAChannelDisplay[1]);
        QCOMPARE(values[31], &s.LAChannelDisplay[16]);
        QCOMPARE(values[32], &s.LAChannelPosition[1]);
        QCOMPARE(values[48], &s.LAThreshold);
        QCOMPARE(values[51], &s.MathDisplay);
        QCOMPARE(values[52], &s.FFTDisplay);
        QCOMPARE(values[61], &s.SpareSwitch);
        QCOMPARE(values[63], &s.TriggerMethod);
        QCOMPARE(values[93], &s.AltCH1TrigType);
        QCOMPARE(values[123], &s.AltCH1VideoHoldoff);
        QCOMPARE(values[146], &s.AltCH2SlopeHoldoff);
        QCOMPARE(values[147], &s.PatternSpare);
        QCOMPARE(values[148], &s.TriggerPatternCode[1]);
        QCOMPARE(values[165], &s.TriggerDurationQualifier);
        QCOMPARE(values[166], &s.TriggerDurationCode[1]);
        QCOMPARE(values[184], &s.DurationSpare);
        QCOMPARE(values[192], &s.DisplayGrid);
        QCOMPARE(names[16], QString("LAChannelDisplay(1)"));
        // Elements 0 and 17 are not part of the record.
        s.TriggerPatternCode[0] = "x";
        QVERIFY(s == CtrlSettings());
        s.TriggerPatternCode[16] = "x";
        QVERIFY(s != CtrlSettings());
    }

    void defaults() {
        CtrlSettings s = ::defaults(LangEnglish);
        QCOMPARE(s.RunStop, QString("RUN"));
        QCOMPARE(s.CH1Display, QString("ON"));
        QCOMPARE(s.CH2Display, QString("OFF"));
        QCOMPARE(s.CH1Offset, QString("0.00mV"));
        QCOMPARE(s.TimeBaseOffset, QString("0.0000s"));
        QCOMPARE(s.TriggerSlopeLevelB, QString("0.20div"));
        QCOMPARE(s.AltCH1SlopeLevelB, QString("0.00div"));
        QCOMPARE(s.AltCH2SlopeLevelB, QString("0.00div"));
        QCOMPARE(s.TriggerPulseMode, QString("+Less Than"));
        QCOMPARE(s.AltCH2SlopeMode, QString("+Less Than"));
        QCOMPARE(s.TriggerDurationQualifier, QString("Less Than"));
        QCOMPARE(s.Intensity, QString("3%"));
        QCOMPARE(s.PatternSpare, QString("D0"));
        QCOMPARE(s.TriggerPatternCode[16], QString("H"));
        QCOMPARE(s.LAChannelPosition[1], QString("0"));
        // New leaves these three as they are (empty right after start).
        QVERIFY(s.MathDisplay.isEmpty() && s.FFTDisplay.isEmpty() && s.SpareSwitch.isEmpty());
        s.MathDisplay = "ON";
        SetDefaultCtrlSettings(s);
        QCOMPARE(s.MathDisplay, QString("ON"));
        // Every other value has a default.
        const auto values = CtrlSettingsValues(s);
        const QStringList names = CtrlSettingsNames();
        for (int i = 0; i < CtrlValueCount; ++i)
            if (names[i] != "FFTDisplay" && names[i] != "SpareSwitch")
                QVERIFY2(!values[size_t(i)]->isEmpty(), qPrintable(names[i]));

        const CtrlSettings zh = ::defaults(LangChinese);
        QCOMPARE(zh.TriggerSlopeMode, QString("上升沿小于"));
        QCOMPARE(zh.AltCH1SlopeMode, QString("上升沿小于"));
        QCOMPARE(zh.AltCH2PulseMode, QString("正脉宽小于"));
        QCOMPARE(zh.CH1Coupling, QString("交流"));
        QCOMPARE(zh.TriggerEdgeSource, QString("CH1"));
    }

    // Table of single fields: (field, method, text before, language switch, text after).
    void translate_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("from");
        QTest::addColumn<QString>("after");
        const int en = LangEnglish, zh = LangChinese;
        QTest::newRow("run") << "RunStop" << "EDGE" << "RUN" << en << "运行";
        QTest::newRow("stop") << "RunStop" << "EDGE" << "STOP" << en << "停止";
        QTest::newRow("run other stays") << "RunStop" << "EDGE" << "" << en << "";
        QTest::newRow("coupling gnd") << "CH1Coupling" << "EDGE" << "GND" << en << "接地";
        QTest::newRow("trigger coupling word in a channel stays") << "CH2Coupling" << "EDGE" << "LF" << en << "LF";
        QTest::newRow("edge source AC") << "TriggerEdgeSource" << "EDGE" << "AC" << en << "市电";
        QTest::newRow("edge source CH1") << "TriggerEdgeSource" << "EDGE" << "CH1" << en << "CH1";
        QTest::newRow("grid full") << "DisplayGrid" << "EDGE" << "完全" << zh << "FULL";
        QTest::newRow("grid half") << "DisplayGrid" << "EDGE" << "半网格" << zh << "HALF";
        QTest::newRow("grid none") << "DisplayGrid" << "EDGE" << "无" << zh << "NONE";
        QTest::newRow("grid other stays") << "DisplayGrid" << "EDGE" << "x" << zh << "x";
        QTest::newRow("threshold user") << "LAThreshold" << "EDGE" << "USER" << en << "用户定义";
        QTest::newRow("threshold level") << "LAThreshold" << "EDGE" << "1.50V" << en << "1.50V";
        QTest::newRow("pattern H") << "TriggerPatternCode" << "PATTERN" << "H" << en << "H";
        QTest::newRow("pattern RISING") << "TriggerPatternCode" << "PATTERN" << "RISING" << en << "上升沿";
        QTest::newRow("pattern Rising") << "TriggerPatternCode" << "PATTERN" << "Rising" << en << "上升沿";
        QTest::newRow("pattern Falling") << "TriggerPatternCode" << "PATTERN" << "Falling" << en << "下降沿";
        QTest::newRow("pattern back") << "TriggerPatternCode" << "PATTERN" << "上升沿" << zh << "Rising";
        QTest::newRow("alt type unknown") << "AltCH1TrigType" << "ALTERNATIVE" << "?" << en << "?";
        QTest::newRow("alt type edge") << "AltCH2TrigType" << "ALTERNATIVE" << "EDGE" << en << "边沿触发";
        QTest::newRow("alt slope of unknown type stays")
            << "AltCH1SlopeCoupling" << "ALTERNATIVE" << "?" << en << "?";
        QTest::newRow("ALTERNATION in an alternation slope stays")
            << "AltCH1EdgeSlope" << "ALTERNATIVE" << "ALTERNATION" << en << "ALTERNATION";
        QTest::newRow("edge in a duration code stays")
            << "TriggerDurationCode" << "EDGE" << "Rising" << en << "Rising";
        QTest::newRow("method word stays unknown") << "TriggerMethod" << "EDGE" << "Banana" << en << "Banana";
        QTest::newRow("alt slope of edge type stays unknown")
            << "AltCH2SlopeCoupling" << "ALTERNATIVE" << "?" << en << "?";
        // Fields the switch used to leave in the old language.
        QTest::newRow("pulse mode, edge in force")
            << "TriggerPulseMode" << "EDGE" << "-Equal" << en << "负脉宽等于";
        QTest::newRow("unknown word of a method not in force stays")
            << "TriggerPulseMode" << "EDGE" << "???" << en << "???";
        QTest::newRow("pulse source AC") << "TriggerPulseSource" << "EDGE" << "AC" << en << "市电";
        QTest::newRow("invert") << "CH1Invert" << "EDGE" << "OFF" << en << "关闭";
        QTest::newRow("math on") << "MathDisplay" << "EDGE" << "打开" << zh << "ON";
        QTest::newRow("math empty stays") << "MathDisplay" << "EDGE" << "" << zh << "";
        QTest::newRow("anti-aliasing") << "AntiAliasing" << "EDGE" << "ON" << en << "打开";
        QTest::newRow("duration sweep, edge in force")
            << "TriggerDurationSweep" << "EDGE" << "SINGLE" << en << "单次";
        QTest::newRow("alt pulse of edge type")
            << "AltCH2PulseMode" << "ALTERNATIVE" << "+Equal" << en << "正脉宽等于";
    }
    void translate() {
        QFETCH(QString, field);
        QFETCH(QString, method);
        QFETCH(QString, before);
        QFETCH(int, from);
        QFETCH(QString, after);
        const int to = 1 - from;
        CtrlSettings s = ::defaults(from);
        s.TriggerMethod = ValueWordIn(method == "EDGE" ? vwEdge
                                      : method == "PATTERN" ? vwPattern
                                                            : vwAlternative,
                                      from);
        const QStringList names = CtrlSettingsNames();
        int idx = names.indexOf(field);
        if (idx < 0) idx = names.indexOf(field + "(5)");
        QVERIFY(idx >= 0);
        *CtrlSettingsValues(s)[size_t(idx)] = before;
        s.AltCH1TrigType = "?";  // channel 1 holds no type word; channel 2 keeps EDGE
        switchLanguage(s, from, to);
        QCOMPARE(*CtrlSettingsValues(s)[size_t(idx)], after);
    }

    void sameOrUnknownLanguageChangesNothing() {
        CtrlSettings s = ::defaults(LangEnglish);
        const CtrlSettings before = s;
        TranslateSettingWords(s, LangEnglish, LangEnglish);
        TranslateSettingWords(s, LangChinese, 2);
        TranslateSettingWords(s, 5, LangEnglish);
        QVERIFY(s == before);
    }

    // The whole mirror, under every trigger method and alternation type,
    // survives English -> Chinese -> English, and every value word is in
    // Chinese in between.
    void roundTripOfTheWholeMirror_data() {
        QTest::addColumn<int>("method");
        QTest::addColumn<int>("altType");
        for (int m : {vwEdge, vwPulse, vwSlope, vwVideo, vwAlternative, vwPattern, vwDuration})
            QTest::newRow(qPrintable(ValueWordIn(m, LangEnglish))) << m << int(vwEdge);
        for (int t : {vwPulse, vwVideo, vwSlope})
            QTest::newRow(qPrintable("ALTERNATIVE " + ValueWordIn(t, LangEnglish)))
                << int(vwAlternative) << t;
    }
    void roundTripOfTheWholeMirror() {
        QFETCH(int, method);
        QFETCH(int, altType);
        CtrlSettings s = ::defaults(LangEnglish);
        s.TriggerMethod = ValueWordIn(method, LangEnglish);
        s.AltCH1TrigType = ValueWordIn(altType, LangEnglish);
        s.AltCH2TrigType = ValueWordIn(vwSlope, LangEnglish);
        s.MathDisplay = "ON";
        s.FFTDisplay = "OFF";
        s.SpareSwitch = "OFF";
        s.TriggerPulseSource = "AC";
        s.TriggerPatternCode[3] = "Rising";
        s.TriggerPatternCode[9] = "Falling";
        s.TriggerPatternCode[12] = "X";
        s.LAChannelDisplay[7] = "ON";
        s.TriggerEdgeSweep = "NORMAL";
        s.AcquireType = "NORMAL";
        s.LAThreshold = "USER";
        const CtrlSettings english = s;

        switchLanguage(s, LangEnglish, LangChinese);
        const CtrlSettings defaultsZh = ::defaults(LangChinese);
        QCOMPARE(s.TriggerPulseMode, defaultsZh.TriggerPulseMode);
        QCOMPARE(s.TriggerSlopeMode, defaultsZh.TriggerSlopeMode);
        QCOMPARE(s.AltCH2VideoSync, defaultsZh.AltCH2VideoSync);
        QCOMPARE(s.DisplayType, defaultsZh.DisplayType);
        QCOMPARE(s.TriggerEdgeSweep, QString("普通"));
        QCOMPARE(s.AcquireType, QString("普通"));
        QCOMPARE(s.TriggerPulseSource, QString("市电"));
        QCOMPARE(s.MathDisplay, QString("打开"));
        QCOMPARE(s.TriggerPatternCode[3], QString("上升沿"));
        QCOMPARE(s.LAThreshold, QString("用户定义"));
        // No English value word is left anywhere in the mirror.
        const auto values = CtrlSettingsValues(s);
        const QStringList names = CtrlSettingsNames();
        for (int i = 0; i < CtrlValueCount; ++i)
            for (int k = 0; k < ValueWordCount; ++k)
                if (ValueWordIn(k, LangEnglish) != ValueWordIn(k, LangChinese))
                    QVERIFY2(*values[size_t(i)] != ValueWordIn(k, LangEnglish),
                             qPrintable(names[i] + " = " + *values[size_t(i)]));

        switchLanguage(s, LangChinese, LangEnglish);
        const auto a = CtrlSettingsValues(s);
        const auto b = CtrlSettingsValues(english);
        for (int i = 0; i < CtrlValueCount; ++i)
            QVERIFY2(*a[size_t(i)] == *b[size_t(i)],
                     qPrintable(names[i] + ": " + *a[size_t(i)] + " != " + *b[size_t(i)]));
    }

    void globalMirrorAndDefaults() {
        loadLanguage(LangEnglish);
        SetDefaultCtrlSettings();
        QCOMPARE(DSOSettings().TriggerMethod, QString("EDGE"));
        loadLanguage(LangChinese);
        TranslateSettingWords(LangChinese, LangEnglish);
        QCOMPARE(DSOSettings().TriggerMethod, QString("边沿触发"));
    }
};

QTEST_MAIN(VocabularyTest)
#include "tst_vocabulary.moc"
