// Controller file: the golden file of a new document, a round trip of every
// value, the files that are refused (mirror untouched), and the document
// commands around them (save question, open, save, save as, transfer refusal).
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include "FakeCommandPort.h"
#include "FileChanges.h"
#include "NonRegularFiles.h"
#include "TestEnv.h"
#include "UseLanguage.h"
#include "common/ReadFile.h"
#include "common/RecentFiles.h"
#include "common/SettingsStore.h"
#include "common/ShellState.h"
#include "controller/CtrlDocument.h"
#include "controller/CtrlFile.h"
#include "controller/CtrlList.h"
#include "controller/CtrlState.h"
#include "controller/CtrlTree.h"
#include "controller/CtrlValueNames.h"
#include "controller/LevelMark.h"
#include "controller/SettingsTransfer.h"
#include "link/LinkEvents.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/SettingCatalog.h"
#include "link/TransferJobs.h"
#include "link/Vocabulary.h"
#include "platform/dialogs/FileDialog.h"
#include "platform/dialogs/MsgBox.h"
#include "shell/ControllerBinding.h"
#include "shell/DocumentCommands.h"
#include "shell/MainWindow.h"

namespace {

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A mirror whose 193 values all differ from the defaults and from each other.
CtrlSettings Distinct() {
    CtrlSettings s;
    int k = 0;
    for (QString* v : CtrlSettingsValues(s)) {
        ++k;
        *v = k % 7 == 0 ? QString("值%1").arg(k) : k % 11 == 0 ? QString("a, b %1").arg(k) : QString("v%1").arg(k);
    }
    return s;
}

QString Golden() { return QFINDTESTDATA("data/new-english.rmt"); }

// The commands an upload of the mirror sends (levels on CH1 at 1 V/div, no offset).
QStringList UploadedCommands() {
    FakeCommandPort port;
    port.replies = {{":TRIGGER:PULSE:SOURCE?", "CH1\n"}, {":TRIGGER:EDGE:SOURCE?", "CH1\n"},
                    {":TRIGGER:VIDEO:SOURCE?", "CH1\n"}, {":TRIGGER:SLOPE:SOURCE?", "CH1\n"},
                    {":CHANNEL1:SCALE?", "1.000e+00\n"}, {":CHANNEL1:OFFSET?", "0.000e+00\n"},
                    {":CHANNEL2:SCALE?", "1.000e+00\n"}, {":CHANNEL2:OFFSET?", "0.000e+00\n"}};
    SetLinkConnected(true);
    UploadSettings();
    SetLinkConnected(false);
    return port.sent;
}

// The trigger method (and alternation type) under which the upload sends the
// value named `name` ("TriggerPulseMode", "AltCH2EdgeLevel" ...).
void SendingContext(const QString& name, CtrlSettings& s) {
    static const QRegularExpression trigger("^Trigger(Edge|Pulse|Video|Slope|Pattern|Duration)");
    static const QRegularExpression alternation("^AltCH([12])(Edge|Pulse|Video|Slope|TrigType)");
    static const QMap<QString, int> method = {{"Edge", vwEdge},       {"Pulse", vwPulse},
                                              {"Video", vwVideo},     {"Slope", vwSlope},
                                              {"Pattern", vwPattern}, {"Duration", vwDuration}};
    if (const auto m = trigger.match(name); m.hasMatch()) {
        s.TriggerMethod = ValueWord(method[m.captured(1)]);
    } else if (const auto a = alternation.match(name); a.hasMatch()) {
        s.TriggerMethod = ValueWord(vwAlternative);
        if (a.captured(2) != "TrigType")
            (a.captured(1) == "1" ? s.AltCH1TrigType : s.AltCH2TrigType) = ValueWord(method[a.captured(2)]);
    }
}

}  // namespace

class CtrlFileTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QList<int> answers;           // message-box answers, in order (then vbOK / vbNo)
    QStringList dialogAnswers;    // file-dialog answers, in order (then "")

    QString path(const QString& name) const { return dir.filePath(name); }

    void newDocument() {
        CtrlState().CtrlModified = false;
        NewCtrl();
        MsgBoxService::ClearLog();
        FileDialogService::ClearLog();
    }

private slots:
    void initTestCase() {
        TestEnv::Init();
        UseLanguage(1);
        MsgBoxService::SetAnswerer([this](const ShownMessage& m) {
            if (!answers.isEmpty()) return answers.takeFirst();
            return (m.style & 0x0F) == vbYesNoCancel ? int(vbNo) : int(vbOK);
        });
        FileDialogService::SetAnswerer([this](const FileDialogRequest&) {
            return dialogAnswers.isEmpty() ? QString() : dialogAnswers.takeFirst();
        });
        CtrlListForm();
    }

    void init() {
        answers.clear();
        dialogAnswers.clear();
        Transfer().TransferBusy = false;
        DSOSettings() = CtrlSettings();
        CtrlState().CtrlFileName.clear();
        newDocument();
    }

    void goldenFileOfNewDocument() {
        // The writer reproduces the hand-made file of a new English document.
        const QByteArray golden = ReadAll(Golden());
        QVERIFY(!golden.isEmpty());
        QCOMPARE(CtrlFileBytes(DSOSettings(), CtrlFileHeader()), golden);

        // Read value by value into a mirror holding other texts.
        DSOSettings() = Distinct();
        QVERIFY(ReadCtrlFile(Golden()));
        const CtrlSettings& s = DSOSettings();
        const std::vector<const QString*> v = CtrlSettingsValues(static_cast<const CtrlSettings&>(s));
        const struct { int number; const QString* field; const char* text; } cases[] = {
            {1, &s.RunStop, "RUN"},
            {2, &s.CH1Display, "ON"},
            {3, &s.CH1Scale, "1.00V"},
            {17, &s.LAChannelDisplay[1], "OFF"},   // D15
            {33, &s.LAChannelPosition[1], "0"},
            {52, &s.MathDisplay, ""},
            {53, &s.FFTDisplay, ""},
            {61, &s.MemorySize, "4000"},
            {62, &s.SpareSwitch, ""},
            {64, &s.TriggerMethod, "EDGE"},
            {90, &s.TriggerSlopeLevelB, "0.20div"},
            {137, &s.AltCH1SlopeLevelB, "0.00div"},
            {148, &s.PatternSpare, "D0"},
            {164, &s.TriggerPatternCode[16], "H"},
            {166, &s.TriggerDurationQualifier, "Less Than"},
            {185, &s.DurationSpare, "H"},
            {189, &s.Intensity, "3%"},
            {193, &s.DisplayGrid, "FULL"},
        };
        for (const auto& c : cases) {
            QCOMPARE(*c.field, QString(c.text));
            QCOMPARE(v[size_t(c.number - 1)], c.field);
        }
        CtrlSettings defaults;
        SetDefaultCtrlSettings(defaults);
        QCOMPARE(s, defaults);
        QVERIFY(MsgBoxService::Log().isEmpty());
    }

    void roundTripOfEveryValue() {
        const CtrlSettings written = Distinct();
        DSOSettings() = written;
        const QString file = path("all.rmt");
        QVERIFY(WriteCtrlFile(file));
        const QByteArray bytes = ReadAll(file);
        const QList<QByteArray> lines = bytes.split('\n');
        QCOMPARE(lines.size(), 195);  // 194 lines, each ended, nothing after
        QVERIFY(lines.last().isEmpty());
        for (int i = 0; i < 194; ++i) {
            QVERIFY(lines[i].endsWith("\"\r"));
            QVERIFY(lines[i].startsWith('"'));
        }
        QCOMPARE(lines[1], QByteArray("\"v1\"\r"));
        QCOMPARE(lines[7], QByteArray("\"值7\"\r"));

        SetDefaultCtrlSettings();
        QVERIFY(ReadCtrlFile(file));
        QCOMPARE(DSOSettings(), written);

        // A file of a Chinese Windows system (GB18030) brings its words.
        QByteArray gb = ReadAll(Golden());
        gb.replace("\"RUN\"", QByteArray(QStringEncoder("GB18030").encode(QString("\"运行\""))));
        QVERIFY(WriteBytes(path("gb.rmt"), gb));
        QVERIFY(ReadCtrlFile(path("gb.rmt")));
        QCOMPARE(DSOSettings().RunStop, QString("RUN"));  // the same setting, in the words of the UI
        // Though a word of it reads as UTF-8 by chance ("停止" CD A3 D6 B9).
        QStringEncoder toGb("GB18030");
        gb = ReadAll(Golden());
        QVERIFY(gb.startsWith(QByteArray("\"") + CtrlFileHeader().toUtf8() + "\"\r\n\"RUN\"\r\n\"ON\"\r\n"));
        gb.replace("\"RUN\"", QByteArray(toGb.encode(QString::fromUtf8("\"停止\""))));
        gb.replace(gb.indexOf("\"ON\""), 4, QByteArray(toGb.encode(QString::fromUtf8("\"打开\""))));
        QVERIFY(WriteBytes(path("gb, a word as UTF-8.rmt"), gb));
        MsgBoxService::ClearLog();
        QVERIFY(ReadCtrlFile(path("gb, a word as UTF-8.rmt")));
        QVERIFY2(MsgBoxService::Log().isEmpty(), qPrintable(MsgBoxService::Log().value(0).text));
        QCOMPARE(DSOSettings().RunStop, QString("STOP"));
        QCOMPARE(*CtrlSettingsValues(DSOSettings())[1], QString("ON"));
    }

    // A file keeps the words of the language it was saved in. Read under the
    // other language, each word is the same setting in that language's words,
    // and an upload sends what it sent before the file was saved.
    void wordsOfEitherLanguage_data() {
        QTest::addColumn<int>("saved");
        QTest::newRow("English file read in Chinese") << int(LangEnglish);
        QTest::newRow("Chinese file read in English") << int(LangChinese);
    }
    void wordsOfEitherLanguage() {
        QFETCH(int, saved);
        const int opened = 1 - saved;
        UseLanguage(saved);
        SetDefaultCtrlSettings();
        CtrlSettings& s = DSOSettings();
        // None of them is its converter's fallback.
        const struct { QString* field; int word; } choices[] = {
            {&s.RunStop, vwRun},                  {&s.CH1Display, vwOn},
            {&s.CH1Coupling, vwDC},               {&s.CH2BWLimit, vwOn},
            {&s.TriggerMethod, vwPulse},          {&s.TriggerPulseMode, vwPulseGreaterNeg},
            {&s.TriggerPulseSweep, vwSweepNormal}, {&s.TriggerPulseCoupling, vwLF},
            {&s.AcquireSampling, vwRealTime},     {&s.AcquireType, vwPeakDetect},
            {&s.DisplayType, vwVectors},          {&s.DisplayGrid, vwHalf},
            {&s.AltCH2EdgeSlope, vwFalling},      {&s.LAChannelDisplay[3], vwOn},
        };
        for (const auto& c : choices) *c.field = ValueWord(c.word);
        s.TriggerPatternCode[9] = ControllerLabel(clRising);
        const CtrlSettings written = s;
        const QStringList sent = UploadedCommands();
        QVERIFY(sent.contains(":TRIGGER:MODE PULSE"));
        QVERIFY(WriteCtrlFile(path("lang.rmt")));

        UseLanguage(opened);
        DSOSettings() = CtrlSettings();
        MsgBoxService::ClearLog();
        QVERIFY(ReadCtrlFile(path("lang.rmt")));
        QVERIFY(MsgBoxService::Log().isEmpty());
        for (const auto& c : choices) QCOMPARE(*c.field, ValueWordIn(c.word, opened));
        QCOMPARE(s.TriggerPatternCode[9], ControllerLabelIn(clRising, opened));
        CtrlSettings translated = written;
        TranslateSettingWords(translated, opened, saved);
        QCOMPARE(DSOSettings(), translated);
        QCOMPARE(UploadedCommands(), sent);
        QVERIFY(MsgBoxService::Log().isEmpty());
        UseLanguage(LangEnglish);
    }

    // A value that is no choice of its setting in either language is read
    // and kept, named when the file opens, and never uploaded.
    void valuesOfNeitherLanguage() {
        SetDefaultCtrlSettings();
        CtrlSettings& s = DSOSettings();
        s.CH1Coupling = "Kopplung";
        s.TriggerMethod = "EDGES";
        s.TriggerPatternCode[2] = "Z";
        QVERIFY(WriteCtrlFile(path("odd.rmt")));
        UseLanguage(LangChinese);
        SetDefaultCtrlSettings();
        MsgBoxService::ClearLog();
        QVERIFY(ReadCtrlFile(path("odd.rmt")));
        const QList<ShownMessage> shown = MsgBoxService::Log();
        QCOMPARE(shown.size(), 1);
        // The settings are named as the tree shows them, in the UI language.
        QCOMPARE(shown[0].text, MessageTable().MsgCtrlValuesUnknown.Naming(
                                    {"CH1 ▸ 耦合 = \"Kopplung\"", "触发系统 ▸ 触发模式 = \"EDGES\"",
                                     "触发系统 ▸ 码型触发 ▸ 码型 ▸ D14 = \"Z\""}));
        QCOMPARE(s.CH1Coupling, QString("Kopplung"));
        QCOMPARE(s.CH2Coupling, ValueWordIn(vwCouplingAC, LangChinese));

        MsgBoxService::ClearLog();
        const QStringList sent = UploadedCommands();
        QVERIFY(sent.contains(":CHANNEL2:COUPLING AC"));
        for (const QString& c : sent)
            QVERIFY2(!c.startsWith(":CHANNEL1:COUPLING") && !c.startsWith(":TRIGGER:MODE"), qPrintable(c));
        QVERIFY(!LastSettingsTransfer().UploadComplete);
        QCOMPARE(MsgBoxService::Log().size(), 1);
        QCOMPARE(MsgBoxService::Log()[0].text,
                 MessageTable().MsgUploadUnknownValues.Naming({"CH1 ▸ 耦合 = \"Kopplung\"", "触发系统 ▸ 触发模式 = \"EDGES\""}));
        UseLanguage(LangEnglish);
        QCOMPARE(UnknownCtrlValueLines(s, {5, 64}),
                 QStringList({"CH1 ▸ Coupling = \"Kopplung\"", "Trigger ▸ Method = \"EDGES\""}));
    }

    // A level marked as not known goes into the file as it is; the file
    // names it when it opens, and its upload leaves the level out and says why.
    void levelNotKnownStaysNotKnownInAFile() {
        SetDefaultCtrlSettings();
        DSOSettings().TriggerEdgeLevel = LevelNotKnownText();
        QVERIFY(WriteCtrlFile(path("notknown.rmt")));
        SetDefaultCtrlSettings();
        MsgBoxService::ClearLog();
        QVERIFY(ReadCtrlFile(path("notknown.rmt")));
        QCOMPARE(DSOSettings().TriggerEdgeLevel, LevelNotKnownText());
        QCOMPARE(MsgBoxService::Log().size(), 1);
        QCOMPARE(MsgBoxService::Log()[0].text, MessageTable().MsgCtrlLevelsNotKnown.Naming(
                     {CtrlValueName(SettingNumber(&CtrlSettings::TriggerEdgeLevel))}));
        MsgBoxService::ClearLog();
        const QStringList sent = UploadedCommands();
        QVERIFY(sent.contains(":TRIGGER:EDGE:SOURCE CHANNEL1"));
        for (const QString& c : sent) QVERIFY2(!c.startsWith(":TRIGGER:EDGE:LEVEL"), qPrintable(c));
        QVERIFY(!LastSettingsTransfer().UploadComplete);
        QCOMPARE(MsgBoxService::Log().size(), 1);
        QCOMPARE(MsgBoxService::Log()[0].text, MessageTable().MsgUploadFileLevelsNotKnown.Naming(
                                                    {CtrlValueName(SettingNumber(&CtrlSettings::TriggerEdgeLevel))}));
    }

    // The mark is a state of the level rows only: every level row opens as
    // not known, and in any other row "?" is a value its setting cannot be.
    void notKnownOnlyInALevelRow() {
        for (int n = 1; n <= CtrlValueCount; ++n) {
            const SettingDesc& d = SettingOf(n);
            if (d.judged != Judged::Sent) continue;
            SetDefaultCtrlSettings();
            CtrlSettings s = DSOSettings();
            *CtrlSettingsValues(s)[size_t(n - 1)] = LevelNotKnownText();
            QVERIFY(WriteBytes(path("mark.rmt"), CtrlFileBytes(s, CtrlFileHeader())));
            MsgBoxService::ClearLog();
            QVERIFY(ReadCtrlFile(path("mark.rmt")));
            QCOMPARE(MsgBoxService::Log().size(), 1);
            const QString name = CtrlValueName(n);
            QCOMPARE(MsgBoxService::Log()[0].text,
                     IsLevelRow(n) ? MessageTable().MsgCtrlLevelsNotKnown.Naming({name})
                                : MessageTable().MsgCtrlValuesUnknown.Naming({name + " = \"?\""}));
        }
        int levels = 0;
        for (const SettingDesc& d : SettingCatalog()) levels += IsLevelRow(d.number) ? 1 : 0;
        QCOMPARE(levels, 15);
    }

    // Every value of a controller file in turn holds a word of neither
    // language. The file is written with the trigger method (and alternation
    // type) that sends that setting, and the logic analyser is fitted. A
    // value the upload would send is named when the file opens, its command
    // is left out, and the upload names it and is incomplete; no command
    // ever carries the word. The same values with a character a command line
    // cannot carry after them make the file refused.
    void noValueOfNeitherLanguageIsSent() {
        const QStringList names = CtrlSettingsNames();
        const QStringList neverSent = {"CH1Invert", "CH2Invert", "LAGroupHighDisplay", "LAGroupLowDisplay",
                                       "MathDisplay", "FFTDisplay", "MemorySize", "SpareSwitch",
                                       "AltCH1SlopeWindow", "AltCH2SlopeWindow", "PatternSpare",
                                       "DurationSpare", "Intensity", "AntiAliasing"};
        Link().LAPresent = true;
        for (int n = 1; n <= CtrlValueCount; ++n) {
            const QString name = names[n - 1];
            SetDefaultCtrlSettings();
            CtrlSettings& s = DSOSettings();
            SendingContext(name, s);
            const CtrlSettings context = s;
            QString& value = *CtrlSettingsValues(s)[size_t(n - 1)];
            const QString good = value;

            for (const char16_t mark : {u'\u0085', u'\u009b', u'\u2028', u'\u200e', u'\ufeff'}) {
                value = good + QChar(mark);
                CtrlSettings read = context;
                CtrlFileFault fault;
                QCOMPARE(ParseCtrlFile(CtrlFileBytes(s, CtrlFileHeader()), CtrlFileHeader(), read, &fault),
                         CtrlFileStatus::BadValue);
                QCOMPARE(fault.value, n);
                QCOMPARE(fault.line, n + 1);
                QCOMPARE(read, context);
            }

            value = "Banana";
            QVERIFY(WriteBytes(path("banana.rmt"), CtrlFileBytes(s, CtrlFileHeader())));
            SetDefaultCtrlSettings();
            MsgBoxService::ClearLog();
            QVERIFY(ReadCtrlFile(path("banana.rmt")));
            const QString named = CtrlValueName(n) + " = \"Banana\"";
            const bool sent = !neverSent.contains(name);
            const QList<ShownMessage> opened = MsgBoxService::Log();
            // The two group displays are words of a list, though never sent.
            QCOMPARE(opened.size(), sent || name.startsWith("LAGroup") ? 1 : 0);
            if (sent) QCOMPARE(opened[0].text, MessageTable().MsgCtrlValuesUnknown.Naming({named}));

            MsgBoxService::ClearLog();
            const QStringList commands = UploadedCommands();
            for (const QString& c : commands)
                QVERIFY2(!c.contains("anana", Qt::CaseInsensitive), qPrintable(name + ": " + c));
            QVERIFY2(LastSettingsTransfer().UploadComplete != sent, qPrintable(name));
            const QList<ShownMessage> uploaded = MsgBoxService::Log();
            QCOMPARE(uploaded.size(), sent ? 1 : 0);
            if (sent) QCOMPARE(uploaded[0].text, MessageTable().MsgUploadUnknownValues.Naming({named}));
        }
        Link().LAPresent = false;
    }

    // Every value the upload sends in turn holds an odd text: a word of
    // neither language, a word of another setting's list (of the language
    // the file is opened in), and in the EDGE and PULSE levels under CH1 a
    // threshold and a volts text. The file is opened in one language, the
    // language is switched, and the mirror is uploaded: the odd text stays as
    // it was, is named on open and by the upload, and its command is left out
    // (the upload sends fewer commands than with the setting's default, and
    // none that the default's upload does not send).
    void oddTextsAcrossALanguageSwitch_data() {
        QTest::addColumn<int>("opened");
        QTest::newRow("opened in English, switched to Chinese") << int(LangEnglish);
        QTest::newRow("opened in Chinese, switched to English") << int(LangChinese);
    }
    void oddTextsAcrossALanguageSwitch() {
        QFETCH(int, opened);
        const int switched = 1 - opened;
        const QStringList names = CtrlSettingsNames();
        // Words of other lists (those of them that are none of the setting's own).
        const int foreign[] = {vwLF, vwHF, vwGND, vwAlternation, vwPattern, vwRising, vwAcLine, vwOn};
        Link().LAPresent = true;
        int cases = 0;
        for (int n = 1; n <= CtrlValueCount; ++n) {
            const SettingDesc& d = SettingOf(n);
            if (d.judged != Judged::Sent) continue;
            const QString name = names[n - 1];
            QStringList odd = {"Banana"};
            if (d.form == ValueForm::Words || d.form == ValueForm::Source) {
                for (int k : foreign)
                    if (!SettingHolds(CtrlSettings(), n, ValueWordIn(k, opened))) odd << ValueWordIn(k, opened);
            }
            if (d.form == ValueForm::DurationCode) odd << ControllerLabelIn(clRising, opened) << "RISING";
            if (d.form == ValueForm::PatternCode) odd << ValueWordIn(vwOn, opened);
            if (name.contains("Level")) odd << "TTL" << "1.50V";

            UseLanguage(opened);
            SetDefaultCtrlSettings();
            SendingContext(name, DSOSettings());
            const CtrlSettings context = DSOSettings();
            UseLanguage(switched);
            TranslateSettingWords(DSOSettings(), switched, opened);
            const QStringList good = UploadedCommands();
            for (const QString& text : odd) {
                ++cases;
                const QString named = "\"" + text + "\"";
                const QString what = name + " = " + named;
                UseLanguage(opened);
                CtrlSettings s = context;
                *CtrlSettingsValues(s)[size_t(n - 1)] = text;
                QVERIFY(WriteBytes(path("odd.rmt"), CtrlFileBytes(s, CtrlFileHeader())));
                SetDefaultCtrlSettings();
                MsgBoxService::ClearLog();
                QVERIFY(ReadCtrlFile(path("odd.rmt")));
                QCOMPARE(MsgBoxService::Log().size(), 1);
                QVERIFY2(MsgBoxService::Log()[0].text.contains(named), qPrintable(what));

                UseLanguage(switched);
                TranslateSettingWords(DSOSettings(), switched, opened);
                // It stays as it was; a word of the setting's own vocabulary
                // that it cannot be (the AC line as a VIDEO source) is translated.
                const QString now = InLanguage(d, text, switched);
                QVERIFY2(*CtrlSettingsValues(DSOSettings())[size_t(n - 1)] == now, qPrintable(what));
                MsgBoxService::ClearLog();
                const QStringList sent = UploadedCommands();
                QVERIFY2(!LastSettingsTransfer().UploadComplete, qPrintable(what));
                QVERIFY2(sent.size() < good.size(), qPrintable(what));
                for (const QString& c : sent) QVERIFY2(good.contains(c), qPrintable(what + ": " + c));
                const QList<ShownMessage> uploaded = MsgBoxService::Log();
                QCOMPARE(uploaded.size(), 1);
                QVERIFY2(uploaded[0].text.contains("\"" + now + "\""), qPrintable(what));
            }
        }
        QVERIFY(cases > 300);
        Link().LAPresent = false;
        UseLanguage(LangEnglish);
    }

    // The main EDGE level under the source the instrument reports: a
    // threshold goes only to a logic channel, divisions whose volts overflow
    // are named and never sent, and a finite level goes out as volts.
    void levelRowHoldsWhatItsSourceAllows_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("level");
        QTest::addColumn<QString>("command");  // empty: no level command, the level is named
        QTest::newRow("divisions at 2 V/div") << "CH1" << "1.50div" << ":TRIGGER:EDGE:LEVEL 3";
        QTest::newRow("threshold under CH1") << "CH1" << "TTL" << "";
        QTest::newRow("volts under CH1") << "CH1" << "1.50V" << "";
        QTest::newRow("overflowing divisions") << "CH1" << "1e308div" << "";
        QTest::newRow("threshold under D3") << "D3" << "TTL" << ":TRIGGER:EDGE:LEVEL 0";
        QTest::newRow("volts under D3") << "D3" << "1.50V" << ":TRIGGER:EDGE:LEVEL 0";
    }
    void levelRowHoldsWhatItsSourceAllows() {
        QFETCH(QString, source);
        QFETCH(QString, level);
        QFETCH(QString, command);
        SetDefaultCtrlSettings();
        DSOSettings().TriggerEdgeSource = source;
        DSOSettings().TriggerEdgeLevel = level;
        Link().LAPresent = source.startsWith('D');  // a logic channel needs the logic analyser
        // Beyond the levels' span, overflowing divisions are named on open too.
        const bool sendable = !command.isEmpty();
        QCOMPARE(UnsendableCtrlValues(DSOSettings()).isEmpty(), sendable);
        FakeCommandPort port;
        port.replies = {{":TRIGGER:EDGE:SOURCE?", source + "\n"},
                        {":CHANNEL1:SCALE?", "2.000e+00\n"}, {":CHANNEL1:OFFSET?", "0.000e+00\n"}};
        SetLinkConnected(true);
        MsgBoxService::ClearLog();
        UploadSettings();
        SetLinkConnected(false);
        const QStringList levels = port.sent.filter(":TRIGGER:EDGE:LEVEL ");
        QCOMPARE(levels, command.isEmpty() ? QStringList() : QStringList{command});
        QCOMPARE(LastSettingsTransfer().UploadComplete, !command.isEmpty());
        Link().LAPresent = false;
        if (command.isEmpty()) {
            QCOMPARE(MsgBoxService::Log().size(), 1);
            QVERIFY(MsgBoxService::Log()[0].text.contains("\"" + level + "\""));
        }
    }

    // Every refusal names the line and the setting that made it, in the UI
    // language, after the generic text.
    void refusedFilesLeaveEverythingAlone_data() {
        QTest::addColumn<QByteArray>("bytes");  // empty: the file does not exist
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("detail");    // the message's second line; "-": no format message
        const QByteArray golden = ReadAll(Golden());
        const QList<QByteArray> lines = golden.split('\n');
        auto withLine = [&](int line, const QByteArray& text) {
            QList<QByteArray> l = lines;
            l[line] = text + "\r";
            return l.join('\n');
        };
        const int en = LangEnglish;
        const QString header = "Line 1 is not the header \"Tarvo Technologies,Inc. KV2200M Controller\".";
        auto badValue = [](int line, const char* name) {
            return QString("Line %1 (%2) holds a character no setting may hold (a control character, an "
                           "invisible mark, a double quote or \";\").").arg(line).arg(QString::fromUtf8(name));
        };
        QTest::newRow("missing file") << QByteArray() << en << "-";
        QTest::newRow("empty file") << QByteArray("\r\n") << en << header;
        QTest::newRow("header in other case")
            << QByteArray(golden).replace("KV2200M Controller", "KV2200M controller") << en << header;
        QTest::newRow("other model") << QByteArray(golden).replace("KV2200M", "KV2100M") << en << header;
        QTest::newRow("header without quotes ends at its comma")
            << withLine(0, "Tarvo Technologies,Inc. KV2200M Controller") << en << header;
        QTest::newRow("a second field after the header") << withLine(0, lines[0].chopped(1) + ",\"x\"") << en
                                                         << header;
        QTest::newRow("cut after line 100") << lines.mid(0, 100).join('\n') + "\n" << en
            << "The file ends before line 101: the value of Trigger ▸ CH1 ▸ EDGE ▸ Holdoff and all after it are missing.";
        QTest::newRow("193 lines: a field missing") << lines.mid(0, 193).join('\n') + "\n" << en
            << "The file ends before line 194: the value of Display ▸ Grid and all after it are missing.";
        QTest::newRow("a field too many") << golden + "\"FULL\"\r\n" << en
                                          << "Line 195 holds a value after the last setting, Display ▸ Grid.";
        QTest::newRow("a field too many after blank lines") << golden + "\r\n\r\n\"FULL\"" << en
                                                            << "Line 197 holds a value after the last setting, Display ▸ Grid.";
        QTest::newRow("a value with a comma, unquoted") << withLine(3, "1.00V,2.00V") << en
            << "Line 4 (CH1 ▸ Volt/Div) holds more than one value: a value with a comma must be written in double quotes.";
        QTest::newRow("a comma after the last line") << golden + "," << en
                                                     << "Line 195 holds a value after the last setting, Display ▸ Grid.";
        QTest::newRow("a comma after a quoted value") << withLine(193, "\"FULL\",") << en
            << "Line 194 (Display ▸ Grid) holds more than one value: a value with a comma must be written in double quotes.";
        QTest::newRow("a value with a comma, unquoted, in Chinese") << withLine(3, "1.00V,2.00V") << int(LangChinese)
            << "第 4 行（CH1 ▸ 档位）含有多个值：含逗号的值须写在双引号内。";
        QTest::newRow("a value adds a command") << withLine(40, "\"0;:KEY:LOCK ENABLE\"") << en
                                                << badValue(41, "LA ▸ Position ▸ D8");
        QTest::newRow("a control character") << withLine(3, "\"1.00\tV\"") << en << badValue(4, "CH1 ▸ Volt/Div");
        QTest::newRow("a control character, in Chinese") << withLine(3, "\"1.00\tV\"") << int(LangChinese)
            << "第 4 行（CH1 ▸ 档位）含有设置不可含有的字符（控制字符、不可见字符、双引号或“;”）。";
        // Characters a command line cannot carry: NEL (one byte 0x85 in a
        // command), a line separator (sent as "?"), an invisible mark.
        QTest::newRow("NEL after a value") << withLine(3, "\"1.00V\u0085\"") << en << badValue(4, "CH1 ▸ Volt/Div");
        QTest::newRow("a control character of the upper range") << withLine(3, "\"1.00\u009bV\"") << en
                                                                 << badValue(4, "CH1 ▸ Volt/Div");
        QTest::newRow("a line separator") << withLine(3, "\"1.00V\u2028:RUN\"") << en << badValue(4, "CH1 ▸ Volt/Div");
        QTest::newRow("an invisible mark") << withLine(64, "\"EDGE\u200e\"") << en << badValue(65, "Trigger ▸ Method");
        QTest::newRow("a line feed inside quotes") << withLine(3, "\"1.00V\n:RUN\"") << en
            << "Line 4 (CH1 ▸ Volt/Div): the value's closing double quote is missing.";
        QTest::newRow("a stray quote in a bare field") << withLine(5, "AB\"C") << en << badValue(6, "CH1 ▸ Coupling");
        QTest::newRow("binary") << QByteArray("\x00\xff\x01\"\"\r\n", 7).repeated(300) << en << header;
        // One damaged byte spoils its own line only: the file's encoding is
        // the vote of its lines with bytes above 0x7F.
        const int run = int(lines.indexOf("\"RUN\"\r"));
        QVERIFY(run > 0);
        const QByteArray chinese = withLine(run, "\"\xE8\xBF\x90\xE8\xA1\x8C\"");  // "运行" in UTF-8
        auto damaged = [](int line) {
            return QString("The text on line %1 is damaged: its bytes are no text of the file's encoding.").arg(line);
        };
        QTest::newRow("a zero byte inside a word") << withLine(run, QByteArray("\"\xE8\x00\x90\xE8\xA1\x8C\"", 8))
                                                   << en << damaged(run + 1);
        QList<QByteArray> beside = chinese.split('\n');
        beside[3] = "\"\xE6\x41\xB6\xE9\x97\xB4\"\r";  // "时间" with its second byte become 'A'
        QTest::newRow("a byte become 'A' beside a sound word (GB18030 by itself)")
            << beside.join('\n') << en << damaged(4);
        QTest::newRow("a damaged byte, in Chinese") << withLine(run, "\"\xE8\xBF\x90\xE8\xA1\"") << int(LangChinese)
            << QString::fromUtf8("第 %1 行的文字已损坏：其字节不是文件编码的文字。").arg(run + 1);
    }

    void refusedFilesLeaveEverythingAlone() { openDamagedFile(); }

    // A line too many or too few is named where the values stop fitting
    // their settings, with the file's count of lines; text after a value's
    // closing quote is named on its line.
    void damageIsNamedWhereItIs_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("detail");
        const QByteArray golden = ReadAll(Golden());
        const QList<QByteArray> lines = golden.split('\n');
        // `text` as line `at` (from 1), the lines from there on one further down.
        auto inserted = [&](int at, const QByteArray& text) {
            QList<QByteArray> l = lines;
            l.insert(at - 1, text + "\r");
            return l.join('\n');
        };
        auto removed = [&](int line) {
            QList<QByteArray> l = lines;
            l.removeAt(line - 1);
            return l.join('\n');
        };
        auto withLine = [&](int line, const QByteArray& text) {
            QList<QByteArray> l = lines;
            l[line - 1] = text + "\r";
            return l.join('\n');
        };
        const int en = LangEnglish, zh = LangChinese;
        auto extra = [](int line, const char* name) {
            return QString("The file has 195 lines where a controller file has 194. Line %1 (%2) is the first whose "
                           "value does not fit its setting: the line too many is there or before it.")
                .arg(line).arg(QString::fromUtf8(name));
        };
        auto missing = [](int line, const char* name) {
            return QString("The file has 193 lines where a controller file has 194. Line %1 (%2) is the first whose "
                           "value does not fit its setting: the missing line is there or before it.")
                .arg(line).arg(QString::fromUtf8(name));
        };
        QTest::newRow("a line too many after line 102") << inserted(103, "\"1.00V\"") << en
            << extra(103, "Trigger ▸ CH2 ▸ EDGE ▸ Coupling");
        QTest::newRow("a line too many after line 102, in Chinese") << inserted(103, "\"1.00V\"") << zh
            << "文件有 195 行，而控制器文件应有 194 行。第 103 行（触发系统 ▸ CH2 ▸ 边沿触发 ▸ 耦合）是第一个值与其设置不符的行："
               "多出的行就在此行或其之前。";
        // The copy fits the setting of its line; the line after it is the first that does not.
        QTest::newRow("line 103 twice") << inserted(103, lines[102].chopped(1)) << en
            << extra(104, "Trigger ▸ CH2 ▸ EDGE ▸ Level");
        QTest::newRow("line 50 missing") << removed(50) << en << missing(50, "LA ▸ Threshold");
        QTest::newRow("line 50 missing, in Chinese") << removed(50) << zh
            << "文件有 193 行，而控制器文件应有 194 行。第 50 行（LA ▸ 门限类型）是第一个值与其设置不符的行："
               "缺失的行就在此行或其之前。";
        QTest::newRow("a blank line inside") << inserted(11, "") << en << extra(11, "CH2 ▸ Volt/Div");
        QTest::newRow("a line of tabs inside") << inserted(11, "\t \t") << en << extra(11, "CH2 ▸ Volt/Div");
        // A level not known (a saved mark) is no damage.
        QTest::newRow("a level not known before the damage")
            << inserted(103, "\"1.00V\"").replace("\"0.00div\"", "\"?\"") << en
            << extra(103, "Trigger ▸ CH2 ▸ EDGE ▸ Coupling");
        // Faults of a line are named in file order with the misfit (lines
        // of the file before the line too many was inserted at 103).
        auto twice = [&](int line, const QByteArray& text) {
            QList<QByteArray> l = lines;
            l[line - 1] = text + "\r";
            l.insert(102, "\"1.00V\"\r");
            return l.join('\n');
        };
        // The mark in any other row (a sensitivity) is a value that does not fit.
        QTest::newRow("the mark in a sensitivity before the damage") << twice(70, "\"?\"") << en
            << extra(70, "Trigger ▸ EDGE ▸ Sensitivity");
        QTest::newRow("a comma value before the damage") << twice(4, "1.00V,2.00V") << en
            << "Line 4 (CH1 ▸ Volt/Div) holds more than one value: a value with a comma must be written in double quotes.";
        QTest::newRow("text after a quote after the damage") << twice(150, "\"H\"x") << en
            << extra(103, "Trigger ▸ CH2 ▸ EDGE ▸ Coupling");
        QTest::newRow("a number after the closing quote") << withLine(4, "\"1.00V\"5") << en
            << "Line 4 (CH1 ▸ Volt/Div) holds text after the value's closing double quote.";
        QTest::newRow("a word after the closing quote") << withLine(3, "\"OFF\"ON") << en
            << "Line 3 (CH1 ▸ Display) holds text after the value's closing double quote.";
        QTest::newRow("a word after the closing quote, in Chinese") << withLine(3, "\"OFF\"ON") << zh
            << "第 3 行（CH1 ▸ 显示）在值结尾的双引号之后还有文字。";
        QTest::newRow("text after the header's closing quote") << withLine(1, lines[0].chopped(1) + "x") << en
            << "Line 1 is not the header \"Tarvo Technologies,Inc. KV2200M Controller\".";
        QTest::newRow("a quote after the closing quote") << withLine(194, "\"FULL\"\"") << en
            << "Line 194 (Display ▸ Grid) holds text after the value's closing double quote.";
    }
    void damageIsNamedWhereItIs() { openDamagedFile(); }

    // A file another program changes while it is read is refused with that
    // one message, whatever its bytes gave.
    void changedWhileReadIsRefused_data() { FileChanges::AddRows(); }
    void changedWhileReadIsRefused() {
        QFETCH(QString, change);
        const QByteArray golden = ReadAll(Golden());
        const QByteArray other = QByteArray(golden).replace("\"1.00V\"", "\"2.00V\"");
        CtrlSettings alone;
        QVERIFY(ParseCtrlFile(other, CtrlFileHeader(), alone) == CtrlFileStatus::Ok);
        const QString file = path("changed.rmt");
        QVERIFY(WriteBytes(file, golden));
        SetFileOpenedHook([&](const QString&) { QVERIFY(FileChanges::Apply(change, file, golden, other)); });
        openIsRefused(file, MessageTable().MsgFileChangedWhileRead);
        SetFileOpenedHook(nullptr);
    }

    // Line ends and blank lines after the last value are no field; any line
    // end reads as one.
    void validFilesWithOtherEndsOpen_data() {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray golden = ReadAll(Golden());
        QTest::newRow("a blank line after the last") << golden + "\r\n";
        QTest::newRow("blank lines and blanks after the last") << golden + "\r\n  \r\n\n\r";
        QTest::newRow("no line end after the last") << golden.chopped(2);
        QTest::newRow("line feeds only") << QByteArray(golden).replace("\r\n", "\n");
        QTest::newRow("carriage returns only") << QByteArray(golden).replace("\r\n", "\r");
        QTest::newRow("lines of tabs after the last") << golden + "\t\r\n\t\t \r\n\t";
        QTest::newRow("blanks around the values") << QByteArray(golden).replace("\"\r\n", "\" \t\r\n").replace("\r\n\"", "\r\n\t \"");
    }
    void validFilesWithOtherEndsOpen() {
        QFETCH(QByteArray, bytes);
        QVERIFY(WriteBytes(path("ends.rmt"), bytes));
        DSOSettings() = Distinct();
        QVERIFY(ReadCtrlFile(path("ends.rmt")));
        CtrlSettings defaults;
        SetDefaultCtrlSettings(defaults);
        QCOMPARE(DSOSettings(), defaults);
        QVERIFY(MsgBoxService::Log().isEmpty());
    }

    // What is not a regular file is neither read without end nor waited on.
    void specialFilesAreRefused_data() {
        QTest::addColumn<QString>("special");
        QTest::newRow("endless device") << "/dev/zero";
        QTest::newRow("named pipe") << "fifo";
        QTest::newRow("folder") << "folder";
    }
    void specialFilesAreRefused() {
        QFETCH(QString, special);
        const QString file = NonRegularFilePath(special, dir);
        if (file.isEmpty()) QSKIP("not on this system");
        openIsRefused(file, "File Format is Invaild !");
    }

private:
    // The row's file (bytes; empty: it does not exist), opened under its
    // language, is refused with "File Format is Invaild !" and its detail
    // ("-": with another message) and changes nothing.
    void openDamagedFile() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, language);
        QFETCH(QString, detail);
        const QString file = path("bad.rmt");
        QFile::remove(file);
        if (!bytes.isEmpty()) QVERIFY(WriteBytes(file, bytes));
        UseLanguage(language);
        openIsRefused(file, detail == "-" ? QString() : MessageTable().MsgBadFileFormat + '\n' + detail);
        UseLanguage(LangEnglish);
    }

    // Opening `file` fails with one message (`message`; "": any) and leaves a
    // modified, titled document as it was.
    void openIsRefused(const QString& file, const QString& message) {
        // A modified, titled document stays as it was.
        DSOSettings() = Distinct();
        const CtrlSettings before = DSOSettings();
        CtrlState().CtrlFileName = "/keep/this.rmt";
        CtrlState().CtrlModified = true;
        QVERIFY(PushRecentCtrlFile("/keep/this.rmt"));
        answers = {vbNo};  // do not save before opening
        QVERIFY(!OpenCtrl(file));
        QCOMPARE(DSOSettings(), before);
        QCOMPARE(CtrlState().CtrlFileName, QString("/keep/this.rmt"));
        QVERIFY(CtrlState().CtrlModified);
        QCOMPARE(ReadRecentList(RecentList::Ctrl).value(0), QString("/keep/this.rmt"));
        const QList<ShownMessage> shown = MsgBoxService::Log();
        QCOMPARE(shown.size(), 2);  // the save question, then the failure
        QCOMPARE(shown[1].style, int(vbCritical));
        if (!message.isEmpty())
            QCOMPARE(shown[1].text, message);
        else
            QVERIFY(!shown[1].text.isEmpty());
    }

private slots:
    void saveQuestionBeforeNew_data() {
        QTest::addColumn<QList<int>>("replies");
        QTest::addColumn<QString>("dialogPath");  // "" cancels; "bad" names an unwritable path
        QTest::addColumn<bool>("reset");
        QTest::addColumn<bool>("written");
        QTest::newRow("No: reset, nothing written") << QList<int>{vbNo} << "" << true << false;
        QTest::newRow("Cancel: nothing") << QList<int>{vbCancel} << "" << false << false;
        QTest::newRow("Yes, then the dialog is cancelled: nothing") << QList<int>{vbYes} << "" << false << false;
        QTest::newRow("Yes, the write fails: nothing") << QList<int>{vbYes, vbOK} << "bad" << false << false;
        QTest::newRow("Yes, saved: written, then reset") << QList<int>{vbYes} << "new.rmt" << true << true;
    }

    void saveQuestionBeforeNew() {
        QFETCH(QList<int>, replies);
        QFETCH(QString, dialogPath);
        QFETCH(bool, reset);
        QFETCH(bool, written);
        const QString target = dialogPath == "bad" ? path("no/such/folder/x.rmt")
                               : dialogPath.isEmpty() ? QString() : path(dialogPath);
        QFile::remove(target);
        DSOSettings().CH1Scale = "5.00V";
        CtrlState().CtrlModified = true;
        answers = replies;
        dialogAnswers = {target};
        NewCtrl();
        QCOMPARE(MsgBoxService::Log().value(0).text, QString("Save the changes to the Control File? "));
        QCOMPARE(MsgBoxService::Log().value(0).style, int(vbYesNoCancel));
        QCOMPARE(DSOSettings().CH1Scale, QString(reset ? "1.00V" : "5.00V"));
        QCOMPARE(CtrlState().CtrlModified, !reset);
        QCOMPARE(QFile::exists(target), written);
        QCOMPARE(CtrlState().CtrlFileName, QString());
        if (written) QVERIFY(ReadAll(target).contains("\"5.00V\""));
    }

    void openSaveAndSaveAs() {
        // Save of an untitled document asks for a name, binds it and lists it.
        const QString first = path("first.rmt");
        DSOSettings().CH2Probe = "10X";
        CtrlState().CtrlModified = true;
        dialogAnswers = {first};
        QVERIFY(SaveCtrl());
        QCOMPARE(FileDialogService::Log().size(), 1);
        QCOMPARE(FileDialogService::Log()[0].title, QString("Save"));
        QCOMPARE(FileDialogService::Log()[0].filter, QString("Control Files (*.rmt)|*.rmt"));
        QCOMPARE(CtrlState().CtrlFileName, first);
        QVERIFY(!CtrlState().CtrlModified);
        QCOMPARE(ReadRecentList(RecentList::Ctrl).value(0), first);

        // A titled document is written at once; a failed write keeps it modified.
        DSOSettings().CH2Probe = "100X";
        CtrlState().CtrlModified = true;
        QVERIFY(SaveCtrl());
        QCOMPARE(FileDialogService::Log().size(), 1);
        QVERIFY(ReadAll(first).contains("\"100X\""));
        CtrlState().CtrlFileName = path("gone/first.rmt");
        CtrlState().CtrlModified = true;
        QVERIFY(!SaveCtrl());
        QVERIFY(CtrlState().CtrlModified);
        QCOMPARE(MsgBoxService::Log().last().style, int(vbCritical));

        // Save As always asks, with its own filter; a cancel changes nothing.
        CtrlState().CtrlFileName = first;
        dialogAnswers = {QString()};
        QVERIFY(!SaveCtrlAs());
        QCOMPARE(CtrlState().CtrlFileName, first);
        QVERIFY(CtrlState().CtrlModified);
        const QString second = path("second.txt");
        dialogAnswers = {second};
        QVERIFY(SaveCtrlAs());
        QCOMPARE(FileDialogService::Log().last().title, QString("Save As"));
        QCOMPARE(FileDialogService::Log().last().filter,
                 QString("Control Files (*.rmt)|*.rmt|Text Files (*.txt)|*.txt|All Files (*.*)|*.*"));
        QCOMPARE(CtrlState().CtrlFileName, second);
        QVERIFY(!CtrlState().CtrlModified);

        // Open: the mirror, the name, the list, a fresh tree with the root selected.
        newDocument();
        dialogAnswers = {first};
        OpenCtrlDialog();
        QCOMPARE(FileDialogService::Log().last().title, QString("Open"));
        QCOMPARE(DSOSettings().CH2Probe, QString("100X"));
        QCOMPARE(CtrlState().CtrlFileName, first);
        QCOMPARE(ReadRecentList(RecentList::Ctrl).mid(0, 2), (QStringList{first, second}));
        QCOMPARE(CtrlState().SelectedNodePath, QString("KV2200M"));
        QVERIFY(CtrlNode(CtrlGroup::RunningControl, 0)->isExpanded());
        QCOMPARE(CtrlNode(CtrlGroup::CH2, 7)->text(0), QString("Probe [100X]"));
    }

    void startUpAndRecentMenuOpenThroughTheShell() {
        const QString a = path("startup-a.rmt"), b = path("startup-b.rmt");
        DSOSettings().CH1Probe = "10X";
        QVERIFY(WriteCtrlFile(a));
        DSOSettings().CH1Probe = "100X";
        QVERIFY(WriteCtrlFile(b));
        SaveStoredText("Recent Ctrl_KV2200M", "RecentFile1", a);
        SaveStoredText("Recent Ctrl_KV2200M", "RecentFile2", b);
        SaveStoredText("General_KV2200M", "StartupLoadCtrl", "True");
        BindControllerCommands();
        CtrlState().CtrlModified = false;
        {
            frmMain w;
            w.MDIForm_Load();
            w.TimerInit_Timer();
            QCOMPARE(CtrlState().CtrlFileName, a);
            QCOMPARE(DSOSettings().CH1Probe, QString("10X"));
            w.mnuFileRecentCtrl_Click(1);
            QCOMPARE(CtrlState().CtrlFileName, b);
            QCOMPARE(DSOSettings().CH1Probe, QString("100X"));
            QCOMPARE(w.RecentCtrlItem(0)->text(), b);
            QCOMPARE(CtrlNode(CtrlGroup::CH1, 7)->text(0), QString("Probe [100X]"));
            w.MDIForm_Unload();
        }
        SaveStoredText("General_KV2200M", "StartupLoadCtrl", "False");
        DocCommands() = DocumentCommandsData();
    }

    void newAndOpenRefusedDuringTransfer() {
        DSOSettings().CH1Scale = "5.00V";
        CtrlState().CtrlModified = true;
        Transfer().TransferBusy = true;
        NewCtrl();
        QVERIFY(!OpenCtrl(Golden()));
        OpenCtrlDialog();
        Transfer().TransferBusy = false;
        QCOMPARE(DSOSettings().CH1Scale, QString("5.00V"));
        QVERIFY(CtrlState().CtrlModified);
        QVERIFY(FileDialogService::Log().isEmpty());
        const QList<ShownMessage> shown = MsgBoxService::Log();
        QCOMPARE(shown.size(), 3);
        for (const ShownMessage& m : shown) QCOMPARE(m.style, int(vbExclamation));
    }
};

QTEST_MAIN(CtrlFileTest)
#include "tst_ctrlfile.moc"
