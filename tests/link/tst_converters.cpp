#include <QtTest>
#include <cmath>
#include <functional>

#include "TestEnv.h"
#include "common/ShellState.h"
#include "link/Converters.h"
#include "link/SettingCatalog.h"
#include "link/Formatters.h"
#include "link/LinkState.h"
#include "link/ReplyParse.h"
#include "link/Vocabulary.h"

namespace {

void loadLanguage(int lang) {
    LoadValueWords(lang);
    LoadControllerLabels(lang);
    LoadMeasureNames(lang);
}

using Conv = std::function<QString(const QString&)>;

const QMap<QString, Conv>& converters() {
    static const QMap<QString, Conv> m = {
        {"RunStateToCmd", RunStateToCmd},
        {"RunStateToText", RunStateToText},
        {"OnOffToKeyword", OnOffToKeyword},
        {"OnOffToText", OnOffToText},
        {"AcqModeToKeyword", AcqModeToKeyword},
        {"AcqModeToText", AcqModeToText},
        {"AcqTypeToKeyword", AcqTypeToKeyword},
        {"AcqTypeToText", AcqTypeToText},
        {"DisplayTypeToKeyword", DisplayTypeToKeyword},
        {"DisplayTypeToText", DisplayTypeToText},
        {"GridToKeyword", GridToKeyword},
        {"GridToText", GridToText},
        {"TrigModeToKeyword", TrigModeToKeyword},
        {"TrigModeToText", TrigModeToText},
        {"SweepToKeyword", SweepToKeyword},
        {"SweepToText", SweepToText},
        {"CouplingToKeyword", CouplingToKeyword},
        {"CouplingToText", CouplingToText},
        {"EdgeSlopeToKeyword", EdgeSlopeToKeyword},
        {"EdgeSlopeToText", EdgeSlopeToText},
        {"PulseModeToKeyword", PulseModeToKeyword},
        {"PulseModeToText", PulseModeToText},
        {"SlopeModeToKeyword", SlopeModeToKeyword},
        {"SlopeModeToText", SlopeModeToText},
        {"VideoPolarityToKeyword", VideoPolarityToKeyword},
        {"VideoPolarityToText", VideoPolarityToText},
        {"VideoSyncToKeyword", VideoSyncToKeyword},
        {"VideoSyncToText", VideoSyncToText},
        {"DurationQualToKeyword", DurationQualToKeyword},
        {"DurationQualToText", DurationQualToText},
        {"TimebaseFormatToText", TimebaseFormatToText},
        {"LaThresholdToText", LaThresholdToText},
        {"LaThresholdUserText", LaThresholdUserText},
        {"TrigSourceToKeyword", TrigSourceToKeyword},
        {"TrigSourceToText", TrigSourceToText},
        {"VideoStandardConv", VideoStandardConv},
        {"ProbeToText", ProbeToText},
        {"TimebaseFormatToKeyword",
         [](const QString& t) {
             QString copy = t;
             return TimebaseFormatToKeyword(copy);
         }},
        {"VoltsPerDivIndex10X", [](const QString& t) { return VoltsPerDivIndex(t, "10X"); }},
    };
    return m;
}

CtrlCodeArray codesOf(const char* sixteen) {
    CtrlCodeArray a;
    const QStringList parts = QString::fromLatin1(sixteen).split(' ');
    for (int k = 1; k <= 16; ++k) a[k] = parts.value(k - 1);
    return a;
}

QString joined(const CtrlCodeArray& a) {
    QStringList l;
    for (int k = 1; k <= 16; ++k) l << a[k];
    return l.join(' ');
}

}  // namespace

class ConvertersTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestEnv::Init(); }
    void cleanup() {
        loadLanguage(LangEnglish);
        Link().LAPresent = false;
    }

    // Keyword converters: (UI language, converter, argument) -> result.
    void keywords_data() {
        QTest::addColumn<int>("lang");
        QTest::addColumn<QString>("fn");
        QTest::addColumn<QString>("arg");
        QTest::addColumn<QString>("expected");
        const int en = LangEnglish, zh = LangChinese;
        QTest::newRow("on en") << en << "OnOffToKeyword" << "ON" << "ON";
        QTest::newRow("on zh word in en") << en << "OnOffToKeyword" << "打开" << "OFF";
        QTest::newRow("on zh") << zh << "OnOffToKeyword" << "打开" << "ON";
        QTest::newRow("on lower") << en << "OnOffToText" << "on" << "OFF";
        QTest::newRow("on with lf") << en << "OnOffToText" << "ON\n" << "OFF";
        QTest::newRow("on reply zh") << zh << "OnOffToText" << "ON" << "打开";
        QTest::newRow("stop") << en << "RunStateToText" << "STOP" << "STOP";
        QTest::newRow("wait") << en << "RunStateToText" << "WAIT" << "STOP";
        QTest::newRow("run empty") << en << "RunStateToText" << "" << "STOP";
        QTest::newRow("run reply zh") << zh << "RunStateToText" << "RUN" << "运行";
        QTest::newRow("run cmd empty") << en << "RunStateToCmd" << "" << ":STOP";
        QTest::newRow("run cmd") << en << "RunStateToCmd" << "RUN" << ":RUN";
        QTest::newRow("sweep empty") << en << "SweepToKeyword" << "" << "";
        QTest::newRow("sweep stop") << en << "SweepToText" << "STOP" << "";
        QTest::newRow("sweep single") << en << "SweepToKeyword" << "SINGLE" << "SINGLE";
        QTest::newRow("sweep zh") << zh << "SweepToText" << "NORMAL" << "普通";
        QTest::newRow("alt out") << en << "TrigModeToKeyword" << "ALTERNATIVE" << "ALTERNATION";
        QTest::newRow("alt back") << en << "TrigModeToText" << "ALTERNATION" << "ALTERNATIVE";
        QTest::newRow("alt word as reply") << en << "TrigModeToText" << "ALTERNATIVE" << "DURATION";
        QTest::newRow("pulse no blank") << en << "PulseModeToText" << "+LESSTHAN" << "-Equal";
        QTest::newRow("pulse blank") << en << "PulseModeToText" << "+LESS THAN" << "+Less Than";
        QTest::newRow("pulse zh") << zh << "PulseModeToText" << "+LESS THAN" << "正脉宽小于";
        QTest::newRow("slope zh") << zh << "SlopeModeToText" << "+LESS THAN" << "上升沿小于";
        QTest::newRow("sync keyword as reply") << en << "VideoSyncToText" << "ALLlines" << "EVENfield";
        QTest::newRow("sync reply") << en << "VideoSyncToText" << "ALL LINES" << "ALLlines";
        QTest::newRow("sync out") << en << "VideoSyncToKeyword" << "ODDfield" << "ODDfield";
        QTest::newRow("pulse en") << en << "PulseModeToKeyword" << "+Greater Than" << "+GREATERTHAN";
        QTest::newRow("slope en") << en << "SlopeModeToKeyword" << "+Greater Than" << "+GREATERTHAN";
        QTest::newRow("pulse word of slope zh") << zh << "PulseModeToKeyword" << "上升沿大于" << "-EQUAL";
        QTest::newRow("slope word zh") << zh << "SlopeModeToKeyword" << "上升沿大于" << "+GREATERTHAN";
        QTest::newRow("ac line en") << en << "CouplingToKeyword" << "AC" << "AC";
        QTest::newRow("ac line zh") << zh << "CouplingToKeyword" << "市电" << "GND";
        QTest::newRow("ac coupling zh") << zh << "CouplingToKeyword" << "交流" << "AC";
        QTest::newRow("edge out") << en << "EdgeSlopeToKeyword" << "RISING" << "POSITIVE";
        QTest::newRow("edge back") << en << "EdgeSlopeToText" << "NEGATIVE" << "FALLING";
        QTest::newRow("acq out") << en << "AcqModeToKeyword" << "REAL_TIME" << "RTIME";
        QTest::newRow("acq other") << en << "AcqModeToKeyword" << "x" << "ETIME";
        QTest::newRow("acq back") << en << "AcqModeToText" << "REAL_TIME" << "REAL_TIME";
        QTest::newRow("acq type") << zh << "AcqTypeToText" << "PEAKDETECT" << "峰值检测";
        QTest::newRow("grid") << en << "GridToText" << "HALF" << "HALF";
        QTest::newRow("grid other") << en << "GridToKeyword" << "half" << "NONE";
        QTest::newRow("display") << en << "DisplayTypeToKeyword" << "VECTORS" << "VECTORS";
        QTest::newRow("polarity") << en << "VideoPolarityToText" << "x" << "NEGATIVE";
        QTest::newRow("duration out") << en << "DurationQualToKeyword" << "Greater Than" << "GREATERTHAN";
        QTest::newRow("duration back") << en << "DurationQualToText" << "LESS THAN" << "Less Than";
    }
    void keywords() {
        QFETCH(int, lang);
        QFETCH(QString, fn);
        QFETCH(QString, arg);
        QFETCH(QString, expected);
        loadLanguage(lang);
        const QString before = arg;
        QCOMPARE(converters()[fn](arg), expected);
        QCOMPARE(arg, before);
    }

    void settingConverters_data() {
        QTest::addColumn<int>("lang");
        QTest::addColumn<QString>("fn");
        QTest::addColumn<QString>("arg");
        QTest::addColumn<QString>("expected");
        const int en = LangEnglish, zh = LangChinese;
        QTest::newRow("format yt") << en << "TimebaseFormatToText" << "Y-T" << "Y-T";
        QTest::newRow("format roll") << en << "TimebaseFormatToText" << "SCANNING" << "Roll";
        QTest::newRow("format kw roll") << en << "TimebaseFormatToKeyword" << "Roll" << "SCANNING";
        QTest::newRow("format kw word") << en << "TimebaseFormatToKeyword" << "Banana" << "";
        QTest::newRow("format kw reply") << en << "TimebaseFormatToKeyword" << "SCANNING" << "";
        QTest::newRow("thr name") << en << "LaThresholdToText" << "CMOS" << "CMOS";
        QTest::newRow("thr level") << en << "LaThresholdToText" << "User:1.5" << "1.50V";
        QTest::newRow("thr USER") << en << "LaThresholdToText" << "USER 0.8" << "800mV";
        QTest::newRow("thr short") << en << "LaThresholdToText" << "ab" << "";
        QTest::newRow("thr empty") << en << "LaThresholdToText" << "" << "";
        QTest::newRow("user level") << en << "LaThresholdUserText" << "User:-2.5" << "-2.50V";
        QTest::newRow("user capitals") << en << "LaThresholdUserText" << "USER:1" << "USER:1";
        QTest::newRow("user alone") << en << "LaThresholdUserText" << "User" << "";
        // Five characters: an empty level, which formats as zero.
        QTest::newRow("thr prefix only") << en << "LaThresholdToText" << "User " << FormatVolt("");
        QTest::newRow("user prefix only") << en << "LaThresholdUserText" << "User " << FormatVolt("");
        QTest::newRow("user ttl") << en << "LaThresholdUserText" << "TTL" << "TTL";
        QTest::newRow("src D0") << en << "TrigSourceToKeyword" << "D0" << "DIGITAL0";
        QTest::newRow("src D15") << en << "TrigSourceToKeyword" << "D15" << "DIGITAL15";
        QTest::newRow("src AC en") << en << "TrigSourceToKeyword" << "AC" << "ACLINE";
        // No keyword is made of a word that names no source.
        QTest::newRow("src AC zh") << zh << "TrigSourceToKeyword" << "AC" << "";
        QTest::newRow("src word") << en << "TrigSourceToKeyword" << "Banana" << "";
        QTest::newRow("src D16") << en << "TrigSourceToKeyword" << "D16" << "";
        QTest::newRow("src line kept by a download") << zh << "TrigSourceToKeyword" << "ACLINE" << "ACLINE";
        QTest::newRow("src AC word zh") << zh << "TrigSourceToKeyword" << "市电" << "ACLINE";
        QTest::newRow("src ch1") << en << "TrigSourceToKeyword" << "CH1" << "CHANNEL1";
        QTest::newRow("src ext5") << en << "TrigSourceToKeyword" << "EXT5" << "EXT5";
        QTest::newRow("src empty") << en << "TrigSourceToKeyword" << "" << "";
        QTest::newRow("src reply") << zh << "TrigSourceToText" << "ACLINE" << "市电";
        QTest::newRow("src reply ch") << en << "TrigSourceToText" << "CH2" << "CH2";
        QTest::newRow("pal") << en << "VideoStandardConv" << "PAL/SECAM" << "PALSECAM";
        QTest::newRow("ntsc") << en << "VideoStandardConv" << "NTSC" << "NTSC";
        QTest::newRow("standard word") << en << "VideoStandardConv" << "Banana" << "";
        QTest::newRow("probe 10") << en << "ProbeToText" << "1.000e+01" << "10X";
        QTest::newRow("probe 10 plain") << en << "ProbeToText" << "10" << "10X";
        QTest::newRow("probe 20") << en << "ProbeToText" << "20" << "1000X";
        QTest::newRow("probe 1") << en << "ProbeToText" << "1X" << "1X";
    }
    void settingConverters() {
        QFETCH(int, lang);
        QFETCH(QString, fn);
        QFETCH(QString, arg);
        QFETCH(QString, expected);
        loadLanguage(lang);
        QCOMPARE(converters()[fn](arg), expected);
    }

    void timebaseFormatTrimsCallersText() {
        QString f = "  X-Y ";
        QCOMPARE(TimebaseFormatToKeyword(f), QString("XY"));
        QCOMPARE(f, QString("X-Y"));
    }

    void voltsPerDivIndex_data() {
        QTest::addColumn<QString>("vpd");
        QTest::addColumn<QString>("probe");
        QTest::addColumn<QString>("expected");
        QTest::newRow("2X") << "400mV" << "2X" << "200mV";
        QTest::newRow("1000X top") << "5.00kV" << "1000X" << "5.00V";
        QTest::newRow("500X") << "2500V" << "500X" << "5.00V";
        QTest::newRow("not in ladder") << "3.00V" << "10X" << "10.0V";
        QTest::newRow("unknown probe") << "1.00V" << "3X" << "";
        QTest::newRow("1X unchanged") << "anything" << "1X" << "anything";
    }
    void voltsPerDivIndex() {
        QFETCH(QString, vpd);
        QFETCH(QString, probe);
        QFETCH(QString, expected);
        QCOMPARE(VoltsPerDivIndex(vpd, probe), expected);
    }

    // Trigger level without a query: fixed scales of the external inputs.
    void triggerLevelWithoutQuery_data() {
        QTest::addColumn<QString>("level");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("expected");
        QTest::newRow("EXT") << "2.00div" << "EXT" << ".4";
        QTest::newRow("EXT negative") << "-2.50div" << "EXT" << "-.5";
        QTest::newRow("EXT5") << "-1.50div" << "EXT5" << "-1.5";
        QTest::newRow("ACLINE") << "2.00div" << "ACLINE" << "0";
        QTest::newRow("logic channel") << "2.00div" << "D3" << "0";
        QTest::newRow("empty source") << "2.00div" << "" << "0";
    }
    void triggerLevelWithoutQuery() {
        QFETCH(QString, level);
        QFETCH(QString, source);
        QFETCH(QString, expected);
        QLocale::setDefault(QLocale(QLocale::German));
        QCOMPARE(TriggerLevelText(level, source), expected);
        QLocale::setDefault(QLocale::c());
    }

    void patternText_data() {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QString>("codes");
        QTest::newRow("no comma: mask 0")
            << "65535" << "X X X X X X X X X X X X X X X X";
        QTest::newRow("mask 0") << "65535,0" << "X X X X X X X X X X X X X X X X";
        QTest::newRow("value 1, none")
            << "1,65535,None" << "L L L L L L L L L L L L L L L H";
        QTest::newRow("two fields") << "32768,65535" << "H L L L L L L L L L L L L L L L";
        QTest::newRow("edge positive")
            << "32768,32769,Edge0, Positive " << "H X X X X X X X X X X X X X X Rising";
        QTest::newRow("edge falling")
            << "0,65535,Ch: 15,Negative" << "Falling L L L L L L L L L L L L L L L";
        QTest::newRow("edge without sense")
            << "0,65535,Ch: 3" << "L L L L L L L L L L L L Falling L L L";
        QTest::newRow("short third field: no edge")
            << "1,65535,ab,Positive" << "L L L L L L L L L L L L L L L H";
        QTest::newRow("edge channel 16: no edge")
            << "1,65535,Ch: 16,Positive" << "L L L L L L L L L L L L L L L H";
        QTest::newRow("edge channel -1: no edge")
            << "1,65535,Ch: -1,Positive" << "L L L L L L L L L L L L L L L H";
        QTest::newRow("five fields: unchanged")
            << "1,65535,None,Positive,x" << "a a a a a a a a a a a a a a a a";
        QTest::newRow("garbage") << "abc" << "X X X X X X X X X X X X X X X X";
        QTest::newRow("empty") << "" << "X X X X X X X X X X X X X X X X";
        QTest::newRow("huge value") << "1e30,65535" << "L L L L L L L L L L L L L L L L";
    }
    void patternText() {
        QFETCH(QString, reply);
        QFETCH(QString, codes);
        CtrlCodeArray a = codesOf("a a a a a a a a a a a a a a a a");
        a[0] = "zero";
        a[17] = "end";
        QCOMPARE(PatternText(reply, a), QString());
        QCOMPARE(joined(a), codes);
        QCOMPARE(a[0], QString("zero"));
        QCOMPARE(a[17], QString("end"));
    }

    void patternTextChineseEdge() {
        loadLanguage(LangChinese);
        CtrlCodeArray a;
        QString reply = "0,65535,Edge2,Positive";
        PatternText(reply, a);
        QCOMPARE(a[14], QString("上升沿"));
        QCOMPARE(reply, QString("Positive"));  // the reply variable keeps the last field
    }

    void patternCommand_data() {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("codes");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("codesAfter");
        QTest::newRow("all high")
            << "PATTERN" << "H H H H H H H H H H H H H H H H" << 0
            << ":TRIGGER:PATTERN:PATTERN 65535,65535" << "H H H H H H H H H H H H H H H H";
        QTest::newRow("edge on D0")
            << "PATTERN" << "H X X X X X X X X X X X X X X Rising" << 0
            << ":TRIGGER:PATTERN:PATTERN 32768,32769,0,1"
            << "H X X X X X X X X X X X X X X Rising";
        QTest::newRow("duration")
            << "DURATION" << "H X X X X X X X X X X X X X X L" << 0
            << ":TRIGGER:DURATION:PATTERN 32768,32769" << "H X X X X X X X X X X X X X X L";
        // D5 Rising, D3 just set Falling: D5 becomes X.
        QTest::newRow("second edge cleared")
            << "PATTERN" << "L L L L L L L L L L Rising L Falling L L L" << 3
            << ":TRIGGER:PATTERN:PATTERN 0,65503,3,0"
            << "L L L L L L L L L L X L Falling L L L";
        // An edge read back from the instrument ("RISING") counts as an edge.
        QTest::newRow("edge word spelling")
            << "PATTERN" << "L L L L L L L L L L L L L L L RISING" << 4
            << ":TRIGGER:PATTERN:PATTERN 0,65535,0,1" << "L L L L L L L L L L L L L L L RISING";
        QTest::newRow("channel out of range")
            << "PATTERN" << "H H H H H H H H H H H H H H H H" << 16 << ""
            << "H H H H H H H H H H H H H H H H";
    }
    void patternCommand() {
        QFETCH(QString, method);
        QFETCH(QString, codes);
        QFETCH(int, n);
        QFETCH(QString, command);
        QFETCH(QString, codesAfter);
        CtrlSettings s;
        s.TriggerMethod = method;
        QStringList nodes;
        CtrlTreeUi().SetNodeText = [&](int g, int i, const QString& t) {
            nodes << QString("%1,%2 %3").arg(g).arg(i).arg(t);
        };
        (method == "PATTERN" ? s.TriggerPatternCode : s.TriggerDurationCode) =
            codesOf(codes.toLatin1().constData());
        QCOMPARE(PatternTriggerCommand(s, n), command);
        QCOMPARE(joined(method == "PATTERN" ? s.TriggerPatternCode : s.TriggerDurationCode),
                 codesAfter);
        if (codes != codesAfter) QCOMPARE(nodes, QStringList{"21,15 D5 [X]"});
        else QVERIFY(nodes.isEmpty());
        CtrlTreeUi().SetNodeText = nullptr;
    }

    // Which replies a converter knows: every reply word of a pair (the
    // fallback's own word too), numbers for the formatters, and nothing else.
    void knownReplies_data() {
        QTest::addColumn<QString>("conv");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<bool>("known");
        const struct { const char* conv; const char* reply; bool known; } rows[] = {
            {"OnOffToText", "ON", true}, {"OnOffToText", "OFF", true}, {"OnOffToText", "on", false},
            {"OnOffToText", "", false}, {"RunStateToText", "STOP", true}, {"RunStateToText", "g!V!", false},
            {"AcqModeToText", "EQUAL_TIME", true}, {"AcqModeToText", "ETIME", false},
            {"TrigModeToText", "ALTERNATION", true}, {"TrigModeToText", "ALTERNATIVE", false},
            {"CouplingToText", "GND", true}, {"CouplingToText", "ACDC", false},
            {"PulseModeToText", "-EQUAL", true}, {"PulseModeToText", "+LESSTHAN", false},
            {"VideoSyncToText", "EVEN FIELD", true}, {"VideoSyncToText", "EVENfield", false},
            {"SweepToText", "SINGLE", true}, {"SweepToText", "STOP", false},
            {"DurationQualToText", "EQUAL", true}, {"GridToText", "NONE", true},
            {"FormatVolt", "1.500e+00", true}, {"FormatVolt", " -2e-3 ", true},
            {"FormatVolt", "1.5V", false}, {"FormatVolt", "1e999", false}, {"FormatTime4", "1.5.2", false},
            {"FormatTime3", "abc", false},
            {"TimebaseFormatToText", "SCANNING", true}, {"TimebaseFormatToText", "YT", false},
            {"TrigSourceToText", "ACLINE", true}, {"TrigSourceToText", "D15", true},
            {"TrigSourceToText", "D16", false}, {"TrigSourceToText", "CH3", false},
            {"ProbeToText", "1000X", true}, {"ProbeToText", "7X", false}, {"ProbeToText", "10", false},
            {"LaThresholdToText", "CMOS", true}, {"LaThresholdToText", "User 1.400e+00", true},
            {"LaThresholdToText", "USER:-2", true}, {"LaThresholdToText", "User abc", false},
            {"LaThresholdToText", "Usedr", false},
            {"VideoStandardConv", "anything", true},  // not a reply converter
        };
        for (const auto& r : rows)
            QTest::addRow("%s(%s)", r.conv, r.reply) << r.conv << r.reply << r.known;
    }
    void knownReplies() {
        QFETCH(QString, conv);
        QFETCH(QString, reply);
        QFETCH(bool, known);
        static const QMap<QString, ReplyConverter> pointers = {
            {"OnOffToText", OnOffToText}, {"RunStateToText", RunStateToText},
            {"AcqModeToText", AcqModeToText}, {"TrigModeToText", TrigModeToText},
            {"CouplingToText", CouplingToText}, {"PulseModeToText", PulseModeToText},
            {"VideoSyncToText", VideoSyncToText}, {"SweepToText", SweepToText},
            {"DurationQualToText", DurationQualToText}, {"GridToText", GridToText},
            {"FormatVolt", FormatVolt}, {"FormatTime4", FormatTime4}, {"FormatTime3", FormatTime3},
            {"TimebaseFormatToText", TimebaseFormatToText}, {"TrigSourceToText", TrigSourceToText},
            {"ProbeToText", ProbeToText}, {"LaThresholdToText", LaThresholdToText},
            {"VideoStandardConv", VideoStandardConv},
        };
        QVERIFY(pointers.contains(conv));
        QCOMPARE(IsKnownReply(pointers[conv], reply), known);
        // The reply words do not depend on the UI language.
        loadLanguage(LangChinese);
        QCOMPARE(IsKnownReply(pointers[conv], reply), known);
    }

    // The texts the upload sends of a controller file's values: a word its
    // converter turns into a keyword, or a number with the setting's unit.
    void sendableValues_data() {
        QTest::addColumn<QString>("check");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("sendable");
        const struct { const char* check; const char* text; bool sendable; } rows[] = {
            {"volts", "1.00V", true}, {"volts", "500mV", true}, {"volts", "-1.20V", true},
            {"volts", "0.00MV", true}, {"volts", "1kV", true}, {"volts", "1e-3V", true},
            {"volts", ".5v", true}, {"volts", "1.00", false}, {"volts", "Banana", false},
            {"volts", "BANANA", false}, {"volts", "1.00 V", false}, {"volts", " 1.00V", true},
            {"volts", "1.00VV", false}, {"volts", "1.00GV", false}, {"volts", "1.00s", false},
            {"volts", "V", false}, {"volts", "1e999V", false}, {"volts", "\uff11.00V", false},
            {"volts", "1.00V\u0085", false}, {"volts", "1.0.0V", false}, {"volts", "", false},
            {"volts", "1.V", true}, {"volts", "1.00\u212aV", false}, {"volts", "1.00kV", true}, {"volts", "\u0661V", false},
            {"seconds", "10.00us", true}, {"seconds", "0.0000s", true}, {"seconds", "100NS", true},
            {"seconds", "-1.500ms", true}, {"seconds", "1ks", false}, {"seconds", "10.00", false},
            {"div", "0.10div", true}, {"div", "-5.96DIV", true}, {"div", "0.10mdiv", false},
            {"div", "0.10", false}, {"number", "16", true}, {"number", "+1", true}, {"number", "16 ", true},
            {"number", "16x", false}, {"number", "", false}, {"probe", "10X", true},
            {"probe", "1000X", true}, {"probe", "7X", false}, {"probe", "Banan", false},
            {"probe", "", false}, {"threshold", "TTL", true}, {"threshold", "1.40V", true},
            {"threshold", "User", false}, {"window", "PAB", true}, {"window", "PC", false},
            {"source", "CH1", true}, {"source", "D15", false /* no logic analyser */}, {"source", "AC", true},
            {"source", "ACLINE", true}, {"source", "Banana", false}, {"source", "D16", false},
            {"source", "", false}, {"standard", "PAL/SECAM", true}, {"standard", "NTSC", true},
            {"standard", "PAL", false},
        };
        for (const auto& r : rows)
            QTest::addRow("%s(%s)", r.check, r.text) << r.check << QString::fromUtf8(r.text) << r.sendable;
    }
    void sendableValues() {
        QFETCH(QString, check);
        QFETCH(QString, text);
        QFETCH(bool, sendable);
        // A setting of each form (the div and number ones with a span wide enough for the rows).
        static const QMap<QString, QString CtrlSettings::*> settings = {
            {"volts", &CtrlSettings::CH1Offset}, {"seconds", &CtrlSettings::TriggerHoldoff},
            {"div", &CtrlSettings::TriggerVideoLevel}, {"number", &CtrlSettings::TriggerVideoLine},
            {"probe", &CtrlSettings::CH1Probe}, {"threshold", &CtrlSettings::LAThreshold},
            {"window", &CtrlSettings::TriggerSlopeWindow}, {"source", &CtrlSettings::TriggerEdgeSource},
            {"standard", &CtrlSettings::TriggerVideoStandard},
        };
        QVERIFY(settings.contains(check));
        QCOMPARE(SettingHolds(CtrlSettings(), SettingNumber(settings[check]), text), sendable);
    }

    // A text the application writes (a formatter's text of a reply, a dialog's
    // stored value, a default) is sent exactly as it stands, so a file it
    // wrote uploads byte for byte as before; an odd spelling of the same
    // value goes out in that one format.
    void writtenTextsAreTheirOwnSendText() {
        const CtrlSettings s;
        struct Setting { QString CtrlSettings::*field; QString (*format)(double); };
        const Setting settings[] = {
            {&CtrlSettings::CH1Scale, [](double v) { return FormatVolt(v); }},
            {&CtrlSettings::CH2Offset, [](double v) { return FormatVolt(v); }},
            {&CtrlSettings::LAThreshold, [](double v) { return FormatVolt(v); }},
            {&CtrlSettings::TimeBaseScale, [](double v) { return FormatTime4(v); }},
            {&CtrlSettings::AltCH1TimeBaseOffset, [](double v) { return FormatTime5(QString::number(v, 'g', 17)); }},
            {&CtrlSettings::TriggerHoldoff, [](double v) { return FormatTime3(QString::number(v, 'g', 17)); }},
        };
        int checked = 0;
        for (const Setting& set : settings) {
            const int n = SettingNumber(set.field);
            for (double mantissa : {1.0, 1.5, 2.0, 2.5, 5.0, 7.77, 9.99})
                for (int e = -11; e <= 5; ++e)
                    for (double sign : {1.0, -1.0}) {
                        const QString text = set.format(sign * mantissa * std::pow(10.0, e));
                        if (text.startsWith("??")) continue;  // beyond the display
                        QCOMPARE(SettingSendText(s, n, text).value_or("(none)"), text);
                        ++checked;
                    }
        }
        QVERIFY(checked > 500);
        // Every default of a sent value is itself.
        CtrlSettings defaults;
        SetDefaultCtrlSettings(defaults);
        for (const SettingDesc& d : SettingCatalog())
            if (d.judged == Judged::Sent && d.defaultText)
                QCOMPARE(SettingSendText(defaults, d.number).value_or("(none)"), QString(d.defaultText));
        // Divisions in hundredths over the levels' span, and the whole numbers.
        for (int h = -600; h <= 600; ++h) {
            const QString text = FormatWithMask(h / 100.0, "#0.00") + "div";
            QCOMPARE(SettingSendText(s, SettingNumber(&CtrlSettings::TriggerVideoLevel), text).value_or("(none)"), text);
        }
        for (const QString& avg : SettingChoices(s, SettingNumber(&CtrlSettings::AcquireAverages)))
            QCOMPARE(SettingSendText(s, SettingNumber(&CtrlSettings::AcquireAverages), avg).value_or("(none)"), avg);
    }

    // Odd spellings of a valid number go out in the setting's format;
    // numbers its format cannot write, or beyond the dialog's span, are none.
    void sendTextOfOddSpellings_data() {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("sent");  // "(none)": the setting cannot be it
        const struct { const char* setting; const char* text; const char* sent; } rows[] = {
            {"CH1Scale", "1.V", "1.00V"}, {"CH1Scale", " 1.00V ", "1.00V"}, {"CH1Scale", "1e0v", "1.00V"},
            {"CH1Scale", ".5V", "500mV"}, {"CH1Scale", "0.00MV", "0.00uV"}, {"CH1Scale", "1e308V", "(none)"},
            {"CH1Offset", "-1e-400V", "0.00uV"}, {"CH1Offset", "0.00mV", "0.00mV"},
            {"TriggerHoldoff", "1E-7S", "100ns"}, {"TriggerHoldoff", "1e308s", "(none)"},
            {"TriggerEdgeSensitivity", "0.10DIV", "0.10div"}, {"TriggerEdgeSensitivity", "1.div", "1.00div"},
            {"TriggerEdgeSensitivity", "0.099div", "0.10div"}, {"TriggerEdgeSensitivity", "0.094div", "(none)"},
            {"TriggerEdgeSensitivity", "1e-400div", "(none)"}, {"TriggerEdgeLevel", "6.004div", "6.00div"},
            {"TriggerEdgeLevel", "6.01div", "(none)"}, {"TriggerEdgeLevel", "?", "(none)"},
            {"AcquireAverages", "1.6e1", "16"}, {"AcquireAverages", "17", "(none)"},
            {"TriggerVideoLine", "525", "525"}, {"TriggerVideoLine", "0", "(none)"},
            {"TriggerVideoLine", "1.5", "(none)"}, {"LAThreshold", "TTL", "TTL"},
            {"LAThreshold", "1.4v", "1.40V"}, {"TriggerVideoSource", "EXT5", "EXT5"},
            {"TriggerVideoSource", "D3", "(none)"}, {"TriggerVideoSource", "ACLINE", "(none)"},
            {"TriggerPulseSource", "ACLINE", "ACLINE"}, {"TriggerPulseSource", "D3", "(none)"},
        };
        for (const auto& r : rows) QTest::addRow("%s %s", r.setting, r.text) << r.setting << r.text << r.sent;
    }
    void sendTextOfOddSpellings() {
        QFETCH(QString, setting);
        QFETCH(QString, text);
        QFETCH(QString, sent);
        const int n = int(CtrlSettingsNames().indexOf(setting)) + 1;
        QVERIFY(n > 0);
        QCOMPARE(SettingSendText(CtrlSettings(), n, text).value_or("(none)"), sent);
        QCOMPARE(SettingHolds(CtrlSettings(), n, text), sent != "(none)");
    }

    // A setting whose span depends on another is judged through what the
    // instrument will hold of that one: a video line by the standard the
    // upload sends before it, and where the standard is left out (none of
    // its choices) by the narrowest span, NTSC's 525 lines; the logic
    // sources and the PATTERN and DURATION methods by the logic analyser,
    // only when it is known to be fitted. The dialog's list offers what the
    // Send road holds. What the instrument reports (the Store road) is
    // judged by any standard (the download reads a line before its
    // standard), and a logic source or method says the analyser is there.
    void judgedThroughAnother_data() {
        QTest::addColumn<QString>("context");  // field=text;...
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("store");
        QTest::addColumn<bool>("holds");
        QTest::addColumn<bool>("la");
        const struct { const char* context; const char* field; const char* text; bool store; bool holds; bool la = false; } rows[] = {
            {"TriggerVideoStandard=NTSC", "TriggerVideoLine", "525", false, true},
            {"TriggerVideoStandard=NTSC", "TriggerVideoLine", "526", false, false},
            {"TriggerVideoStandard=PAL/SECAM", "TriggerVideoLine", "625", false, true},
            {"TriggerVideoStandard=PAL/SECAM", "TriggerVideoLine", "626", false, false},
            {"TriggerVideoStandard=PAL", "TriggerVideoLine", "525", false, true},
            {"TriggerVideoStandard=PAL", "TriggerVideoLine", "526", false, false},
            {"TriggerVideoStandard=BANANA", "TriggerVideoLine", "600", false, false},
            {"TriggerVideoStandard=", "TriggerVideoLine", "600", false, false},
            {"TriggerVideoStandard=ntsc", "TriggerVideoLine", "600", false, false},
            {"TriggerVideoStandard= PAL/SECAM", "TriggerVideoLine", "600", false, false},
            {"AltCH1VideoStandard=PAL/SECAM;AltCH2VideoStandard=PAL", "AltCH1VideoLine", "600", false, true},
            {"AltCH1VideoStandard=PAL/SECAM;AltCH2VideoStandard=PAL", "AltCH2VideoLine", "600", false, false},
            {"AltCH1VideoStandard=;AltCH2VideoStandard=PAL/SECAM", "AltCH2VideoLine", "625", false, true},
            {"AltCH1VideoStandard=;AltCH2VideoStandard=PAL/SECAM", "AltCH1VideoLine", "526", false, false},
            {"TriggerVideoStandard=NTSC", "TriggerVideoLine", "600", true, true},
            {"TriggerVideoStandard=BANANA", "TriggerVideoLine", "625", true, true},
            {"TriggerVideoStandard=BANANA", "TriggerVideoLine", "626", true, false},
            {"", "TriggerMethod", "PATTERN", false, false},
            {"", "TriggerMethod", "DURATION", false, false},
            {"", "TriggerMethod", "ALTERNATIVE", false, true},
            {"", "TriggerMethod", "PATTERN", false, true, true},
            {"", "TriggerMethod", "DURATION", false, true, true},
            {"", "TriggerMethod", "DURATION", true, true},
            {"", "TriggerEdgeSource", "D3", false, false},
            {"", "TriggerEdgeSource", "D3", false, true, true},
            {"", "TriggerPulseSource", "D15", false, true, true},
            {"", "TriggerVideoSource", "D3", false, false, true},
            {"", "TriggerPulseSource", "D0", true, true},
        };
        for (const auto& r : rows)
            QTest::addRow("%s %s=%s%s%s", r.context, r.field, r.text, r.store ? " stored" : "", r.la ? " with LA" : "")
                << r.context << r.field << r.text << r.store << r.holds << r.la;
    }
    void judgedThroughAnother() {
        QFETCH(QString, context);
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(bool, store);
        QFETCH(bool, holds);
        QFETCH(bool, la);
        Link().LAPresent = la;
        const QStringList names = CtrlSettingsNames();
        CtrlSettings s;
        for (const QString& edit : context.split(';', Qt::SkipEmptyParts)) {
            const int k = int(names.indexOf(edit.section('=', 0, 0))) + 1;
            QVERIFY(k > 0);
            SettingValue(s, k) = edit.section('=', 1);
        }
        const int n = int(names.indexOf(field)) + 1;
        QVERIFY(n > 0);
        SettingValue(s, n) = text;
        QCOMPARE(SettingHolds(s, n, store ? Road::Store : Road::Send), holds);
        if (store) return;
        QCOMPARE(SettingSendText(s, n).has_value(), holds);
        QCOMPARE(SettingChoices(s, n).contains(text), holds);
    }

    // Garbage replies for every converter: never a crash, and the result is
    // one of the converter's known outputs (or empty).
    void garbageReplies() {
        const QStringList garbage = {
            "", "\n", " ", ",", ",,,,,,", "\x01\x02", QString(4000, 'Z'), "-", "+", ".", "e",
            "1e999", "-1e999", "NaN", "inf", "User", "Use", "USER", "D", "D99", "CH", "ÿ",
            "打开", "上升沿", "ON ", " ON", "on", "None,None,None,None,None", "%", "<>", "*",
        };
        for (int lang : {LangEnglish, LangChinese}) {
            loadLanguage(lang);
            for (auto it = converters().begin(); it != converters().end(); ++it) {
                for (const QString& g : garbage) {
                    const QString r = it.value()(g);
                    QVERIFY2(r.size() <= g.size() + 20,
                             qPrintable(it.key() + ": " + g.left(20) + " -> " + r.left(40)));
                    // A reply becomes a value word of the UI language or nothing.
                    static const QStringList notPairs = {
                        "TimebaseFormatToText", "TrigSourceToText", "LaThresholdToText",
                        "ProbeToText"};
                    const bool pairReply =
                        it.key().endsWith("ToText") && !notPairs.contains(it.key());
                    if (pairReply)
                        QVERIFY2(r.isEmpty() || std::find(Vocabulary().ValueWords.begin(),
                                                          Vocabulary().ValueWords.end(),
                                                          r) != Vocabulary().ValueWords.end(),
                                 qPrintable(it.key() + " -> " + r));
                }
            }
            for (const QString& g : garbage) {
                QString reply = g;
                CtrlCodeArray a;
                PatternText(reply, a);
                for (int k = 1; k <= 16; ++k)
                    QVERIFY(QStringList({"", "H", "L", "X", ControllerLabel(clRising),
                                         ControllerLabel(clFalling)})
                                .contains(a[k]));
                QCOMPARE(TriggerLevelText(g, g).isEmpty(), false);
                QVERIFY(!VoltsPerDivIndex(g, g).contains('\n'));
            }
        }
    }
};

QTEST_MAIN(ConvertersTest)
#include "tst_converters.moc"
