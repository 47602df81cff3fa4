// Controller file: the golden file of a new document, a round trip of every
// value, the files that are refused (mirror untouched), and the document
// commands around them (save question, open, save, save as, transfer refusal).
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include "FakeCommandPort.h"
#include "NonRegularFiles.h"
#include "TestEnv.h"
#include "UseLanguage.h"
#include "common/RecentFiles.h"
#include "common/SettingsStore.h"
#include "common/ShellState.h"
#include "controller/CtrlDocument.h"
#include "controller/CtrlFile.h"
#include "controller/CtrlList.h"
#include "controller/CtrlState.h"
#include "controller/CtrlTree.h"
#include "controller/LevelMark.h"
#include "controller/SettingsTransfer.h"
#include "link/LinkEvents.h"
#include "link/LinkState.h"
#include "link/Messages.h"
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
        QCOMPARE(shown[0].text, MessageTable().MsgCtrlValuesUnknown.arg(
                                    "CH1Coupling = \"Kopplung\"\nTriggerMethod = \"EDGES\"\n"
                                    "TriggerPatternCode(2) = \"Z\""));
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
                 MessageTable().MsgUploadUnknownValues.arg("CH1Coupling = \"Kopplung\"\nTriggerMethod = \"EDGES\""));
        UseLanguage(LangEnglish);
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
        QCOMPARE(MsgBoxService::Log()[0].text, MessageTable().MsgCtrlValuesUnknown.arg("TriggerEdgeLevel = \"?\""));
        MsgBoxService::ClearLog();
        const QStringList sent = UploadedCommands();
        QVERIFY(sent.contains(":TRIGGER:EDGE:SOURCE CHANNEL1"));
        for (const QString& c : sent) QVERIFY2(!c.startsWith(":TRIGGER:EDGE:LEVEL"), qPrintable(c));
        QVERIFY(!LastSettingsTransfer().UploadComplete);
        QCOMPARE(MsgBoxService::Log().size(), 1);
        QCOMPARE(MsgBoxService::Log()[0].text, MessageTable().MsgUploadLevelsNotKnown.arg("TriggerEdgeLevel"));
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
        static const QRegularExpression trigger("^Trigger(Edge|Pulse|Video|Slope|Pattern|Duration)");
        static const QRegularExpression alternation("^AltCH([12])(Edge|Pulse|Video|Slope|TrigType)");
        const QMap<QString, int> method = {{"Edge", vwEdge},       {"Pulse", vwPulse},
                                           {"Video", vwVideo},     {"Slope", vwSlope},
                                           {"Pattern", vwPattern}, {"Duration", vwDuration}};
        Link().LAPresent = true;
        for (int n = 1; n <= CtrlValueCount; ++n) {
            const QString name = names[n - 1];
            SetDefaultCtrlSettings();
            CtrlSettings& s = DSOSettings();
            if (const auto m = trigger.match(name); m.hasMatch()) {
                s.TriggerMethod = ValueWord(method[m.captured(1)]);
            } else if (const auto a = alternation.match(name); a.hasMatch()) {
                s.TriggerMethod = ValueWord(vwAlternative);
                if (a.captured(2) != "TrigType")
                    (a.captured(1) == "1" ? s.AltCH1TrigType : s.AltCH2TrigType) = ValueWord(method[a.captured(2)]);
            }
            const CtrlSettings context = s;
            QString& value = *CtrlSettingsValues(s)[size_t(n - 1)];
            const QString good = value;

            for (const char16_t mark : {u'\u0085', u'\u009b', u'\u2028', u'\u200e', u'\ufeff'}) {
                value = good + QChar(mark);
                CtrlSettings read = context;
                int bad = 0;
                QCOMPARE(ParseCtrlFile(CtrlFileBytes(s, CtrlFileHeader()), CtrlFileHeader(), read, &bad),
                         CtrlFileStatus::BadValue);
                QCOMPARE(bad, n);
                QCOMPARE(read, context);
            }

            value = "Banana";
            QVERIFY(WriteBytes(path("banana.rmt"), CtrlFileBytes(s, CtrlFileHeader())));
            SetDefaultCtrlSettings();
            MsgBoxService::ClearLog();
            QVERIFY(ReadCtrlFile(path("banana.rmt")));
            const QString named = name + " = \"Banana\"";
            const bool sent = !neverSent.contains(name);
            const QList<ShownMessage> opened = MsgBoxService::Log();
            // The two group displays are words of a list, though never sent.
            QCOMPARE(opened.size(), sent || name.startsWith("LAGroup") ? 1 : 0);
            if (sent) QCOMPARE(opened[0].text, MessageTable().MsgCtrlValuesUnknown.arg(named));

            MsgBoxService::ClearLog();
            const QStringList commands = UploadedCommands();
            for (const QString& c : commands)
                QVERIFY2(!c.contains("anana", Qt::CaseInsensitive), qPrintable(name + ": " + c));
            QVERIFY2(LastSettingsTransfer().UploadComplete != sent, qPrintable(name));
            const QList<ShownMessage> uploaded = MsgBoxService::Log();
            QCOMPARE(uploaded.size(), sent ? 1 : 0);
            if (sent) QCOMPARE(uploaded[0].text, MessageTable().MsgUploadUnknownValues.arg(named));
        }
        Link().LAPresent = false;
    }

    void refusedFilesLeaveEverythingAlone_data() {
        QTest::addColumn<QByteArray>("bytes");  // empty name: the file does not exist
        QTest::addColumn<bool>("formatMessage");
        const QByteArray golden = ReadAll(Golden());
        const QList<QByteArray> lines = golden.split('\n');
        auto withLine = [&](int line, const QByteArray& text) {
            QList<QByteArray> l = lines;
            l[line] = text + "\r";
            return l.join('\n');
        };
        QTest::newRow("missing file") << QByteArray() << false;
        QTest::newRow("empty file") << QByteArray("\r\n") << true;
        QTest::newRow("header in other case")
            << QByteArray(golden).replace("KV2200M Controller", "KV2200M controller") << true;
        QTest::newRow("other model") << QByteArray(golden).replace("KV2200M", "KV2100M") << true;
        QTest::newRow("header without quotes ends at its comma")
            << withLine(0, "Tarvo Technologies,Inc. KV2200M Controller") << true;
        QTest::newRow("cut after line 100") << lines.mid(0, 100).join('\n') + "\n" << true;
        QTest::newRow("193 lines") << lines.mid(0, 193).join('\n') + "\n" << true;
        QTest::newRow("a value adds a command") << withLine(40, "\"0;:KEY:LOCK ENABLE\"") << true;
        QTest::newRow("a control character") << withLine(3, "\"1.00\tV\"") << true;
        // Characters a command line cannot carry: NEL (one byte 0x85 in a
        // command), a line separator (sent as "?"), an invisible mark.
        QTest::newRow("NEL after a value") << withLine(3, "\"1.00V\u0085\"") << true;
        QTest::newRow("a control character of the upper range") << withLine(3, "\"1.00\u009bV\"") << true;
        QTest::newRow("a line separator") << withLine(3, "\"1.00V\u2028:RUN\"") << true;
        QTest::newRow("an invisible mark") << withLine(64, "\"EDGE\u200e\"") << true;
        QTest::newRow("a line feed inside quotes") << withLine(3, "\"1.00V\n:RUN\"") << true;
        QTest::newRow("a stray quote in a bare field") << withLine(5, "AB\"C") << true;
        QTest::newRow("binary") << QByteArray("\x00\xff\x01\"\"\r\n", 7).repeated(300) << true;
    }

    void refusedFilesLeaveEverythingAlone() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, formatMessage);
        const QString file = path("bad.rmt");
        QFile::remove(file);
        if (!bytes.isEmpty()) QVERIFY(WriteBytes(file, bytes));
        openIsRefused(file, formatMessage);
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
        openIsRefused(file, true);
    }

private:
    // Opening `file` fails with one message and leaves a modified, titled document as it was.
    void openIsRefused(const QString& file, bool formatMessage) {
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
        if (formatMessage)
            QCOMPARE(shown[1].text, QString("File Format is Invaild !"));
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
