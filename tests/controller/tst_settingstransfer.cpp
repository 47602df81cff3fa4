// Upload and download of all settings against the simulated instrument, over
// TCP (the VISA side, through an alias) and a pseudo-terminal (serial side):
// the command streams, the round trip, and failures that must leave the
// mirror alone.
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include "LinkFixture.h"
#include "Simulator.h"
#include "TestEnv.h"
#include "common/DSOSettings.h"
#include "common/Pause.h"
#include "common/ShellState.h"
#include "controller/CtrlFile.h"
#include "controller/CtrlList.h"
#include "controller/CtrlState.h"
#include "controller/CtrlTree.h"
#include "controller/CtrlValueNames.h"
#include "controller/SettingsTransfer.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/RS232Func.h"
#include "link/ReplyParse.h"
#include "link/SettingCatalog.h"
#include "link/TransferJobs.h"
#include "link/UsbFunc.h"
#include "link/Vocabulary.h"
#include "platform/dialogs/MsgBox.h"
#include "shell/frmPrgress.h"

namespace {

// ---- Expected command streams, piece by piece as the sequences give them ----

// Blocks A to D for the mirror of uploadMirror() with the method keyword.
QStringList UploadHead(const QString& methodKeyword) {
    return {":RUN",
            ":TRIGGER:ALTERNATION:SOURCE CHANNEL1",
            ":TRIGGER:ALTERNATION:TIMESCALE 10.00US",
            ":TRIGGER:ALTERNATION:TIMEOFFSET 0.0000S",
            ":TRIGGER:ALTERNATION:SOURCE CHANNEL2",
            ":TRIGGER:ALTERNATION:TIMESCALE 10.00US",
            ":TRIGGER:ALTERNATION:TIMEOFFSET 0.0000S",
            ":TIMEBASE:FORMAT YT",
            ":TIMEBASE:SCALE 10.00US",
            ":TIMEBASE:OFFSET 0.0000S",
            ":CHANNEL1:DISPLAY ON",
            ":CHANNEL1:PROBE 10",
            ":CHANNEL1:SCALE 1.00V",
            ":CHANNEL1:OFFSET 500MV",
            ":CHANNEL1:COUPLING AC",
            ":CHANNEL1:BWLIMIT OFF",
            ":CHANNEL2:DISPLAY OFF",
            ":CHANNEL2:PROBE 1",
            ":CHANNEL2:SCALE 200MV",
            ":CHANNEL2:OFFSET -100MV",
            ":CHANNEL2:COUPLING AC",
            ":CHANNEL2:BWLIMIT OFF",
            ":TRIGGER:MODE " + methodKeyword,
            ":TRIGGER:HOLDOFF 100NS"};
}

const QStringList kUploadEdge = {
    ":TRIGGER:EDGE:SOURCE CHANNEL1", ":TRIGGER:EDGE:SLOPE POSITIVE", ":TRIGGER:EDGE:SWEEP AUTO",
    ":TRIGGER:EDGE:COUPLING DC",     ":TRIGGER:EDGE:SENSITIVITY 0.10div",
    ":TRIGGER:EDGE:SOURCE?",         ":CHANNEL1:SCALE?", ":CHANNEL1:OFFSET?",
    ":TRIGGER:EDGE:LEVEL .5"};  // 1.00 div x 1 V - 0.5 V

const QStringList kUploadAlternation = {
    ":TRIGGER:ALTERNATION:SOURCE CHANNEL1", ":TRIGGER:ALTERNATION:TYPE VIDEO",
    ":TRIGGER:ALTERNATION:VIDEO:POLARITY POSITIVE", ":TRIGGER:ALTERNATION:VIDEO:MODE ALLLINES",
    ":TRIGGER:ALTERNATION:VIDEO:STANDARD PALSECAM", ":TRIGGER:ALTERNATION:VIDEO:LINE 1",
    ":TRIGGER:ALTERNATION:VIDEO:SENSITIVITY 0.10div", ":TRIGGER:ALTERNATION:VIDEO:HOLDOFF 100NS",
    ":CHANNEL1:SCALE?", ":CHANNEL1:OFFSET?",
    ":TRIGGER:ALTERNATION:VIDEO:LEVEL 1.5",  // 2.00 div x 1 V - 0.5 V
    ":TRIGGER:ALTERNATION:SOURCE CHANNEL2", ":TRIGGER:ALTERNATION:TYPE SLOPE",
    ":TRIGGER:ALTERNATION:SLOPE:MODE +LESSTHAN", ":TRIGGER:ALTERNATION:SLOPE:TIME 1US",
    ":CHANNEL2:SCALE?", ":CHANNEL2:OFFSET?",
    ":TRIGGER:ALTERNATION:SLOPE:LEVELA .3",  // 1.00 div x 0.2 V + 0.1 V
    ":CHANNEL2:SCALE?", ":CHANNEL2:OFFSET?",
    ":TRIGGER:ALTERNATION:SLOPE:LEVELB .1",
    ":TRIGGER:ALTERNATION:SLOPE:SENSITIVITY 0.10div", ":TRIGGER:ALTERNATION:SLOPE:HOLDOFF 100NS",
    ":TRIGGER:ALTERNATION:SLOPE:COUPLING DC"};

// D15 low, D0 don't care, D7 rising; D15 and D0 shown; D7 at row 1, D8 at row 15.
const QStringList kUploadPattern = {":TRIGGER:PATTERN:PATTERN 32638,65534,7,1",
                                    ":TRIGGER:PATTERN:SWEEP AUTO"};
const QStringList kUploadLa = {":LA:DISPLAY OFF", ":LA:STATUS 32769", ":LA:LOCATION 268435456,15",
                               ":LA:THRESHOLD TTL"};

const QStringList kUploadTail = {":ACQUIRE:MODE RTIME",    ":ACQUIRE:TYPE NORMAL",
                                 ":ACQUIRE:AVERAGES 16",   ":DISPLAY:TYPE VECTORS",
                                 ":DISPLAY:PERSIST OFF",   ":DISPLAY:GRID FULL"};

QStringList ChannelQueries(int ch) {
    QStringList out;
    for (const char* tail : {"PROBE", "SCALE", "COUPLING", "BWLIMIT", "DISPLAY", "OFFSET"})
        out << QString(":CHANNEL%1:%2?").arg(ch).arg(tail);
    return out;
}

// A source's scale query of the download's source rules, if any.
QStringList ScaleQueryOf(const QString& source) {
    if (source == "CH1") return {":CHANNEL1:SCALE?"};
    if (source == "CH2") return {":CHANNEL2:SCALE?"};
    return {};
}

QStringList AlternationQueries(int ch) {
    QStringList out = {QString(":CHANNEL%1:SCALE?").arg(ch),
                       QString(":TRIGGER:ALTERNATION:SOURCE CHANNEL%1").arg(ch)};
    for (const char* q : {"TYPE", "EDGE:SLOPE", "EDGE:COUPLING", "EDGE:LEVEL", "EDGE:HOLDOFF",
                          "EDGE:SENSITIVITY", "PULSE:MODE", "PULSE:TIME", "PULSE:COUPLING",
                          "PULSE:LEVEL", "PULSE:HOLDOFF", "PULSE:SENSITIVITY", "VIDEO:POLARITY",
                          "VIDEO:MODE", "VIDEO:LINE", "VIDEO:STANDARD", "VIDEO:LEVEL",
                          "VIDEO:SENSITIVITY", "SLOPE:COUPLING", "SLOPE:MODE", "SLOPE:TIME",
                          "SLOPE:LEVELA", "SLOPE:LEVELB", "SLOPE:SENSITIVITY"})
        out << QString(":TRIGGER:ALTERNATION:%1?").arg(q);
    return out;
}

// The whole download for the instrument's sources, after the window's own
// status query.
QStringList DownloadStream(bool la, const QString& edge, const QString& pulse, const QString& video) {
    auto digital = [](const QString& s) { return !QStringList{"CH1", "CH2", "EXT", "EXT5"}.contains(s); };
    QStringList q = {":TRIGGER:STATUS?", ":CHANNEL:ACTIVE?", ":TRIGGER:STATUS?"};
    for (int ch = 1; ch <= 2; ++ch)
        q << QString(":TRIGGER:ALTERNATION:SOURCE CHANNEL%1").arg(ch)
          << ":TRIGGER:ALTERNATION:TIMESCALE?" << ":TRIGGER:ALTERNATION:TIMEOFFSET?";
    q << ":TIMEBASE:FORMAT?" << ":TIMEBASE:SCALE?" << ":TIMEBASE:OFFSET?" << ChannelQueries(1)
      << ChannelQueries(2) << ":TRIGGER:MODE?" << ":TRIGGER:HOLDOFF?";
    q << ":TRIGGER:EDGE:SOURCE?" << ScaleQueryOf(edge) << ":TRIGGER:EDGE:SLOPE?"
      << ":TRIGGER:EDGE:SWEEP?" << ":TRIGGER:EDGE:COUPLING?"
      << (digital(edge) && edge != "ACLINE" ? ":LA:THRESHOLD?" : ":TRIGGER:EDGE:LEVEL?")
      << ":TRIGGER:EDGE:SENSITIVITY?";
    q << ":TRIGGER:PULSE:SOURCE?" << ScaleQueryOf(pulse) << ":TRIGGER:PULSE:MODE?"
      << ":TRIGGER:PULSE:WIDTH?" << ":TRIGGER:PULSE:SWEEP?" << ":TRIGGER:PULSE:COUPLING?"
      << (digital(pulse) ? ":LA:THRESHOLD?" : ":TRIGGER:PULSE:LEVEL?")
      << ":TRIGGER:PULSE:SENSITIVITY?";
    q << ":TRIGGER:VIDEO:SOURCE?" << ScaleQueryOf(video) << ":TRIGGER:VIDEO:POLARITY?"
      << ":TRIGGER:VIDEO:MODE?" << ":TRIGGER:VIDEO:LINE?" << ":TRIGGER:VIDEO:STANDARD?"
      << ":TRIGGER:VIDEO:LEVEL?" << ":TRIGGER:VIDEO:SENSITIVITY?";
    q << ":TRIGGER:SLOPE:SOURCE?" << ":CHANNEL1:SCALE?" << ":TRIGGER:SLOPE:COUPLING?"
      << ":TRIGGER:SLOPE:SWEEP?" << ":TRIGGER:SLOPE:MODE?" << ":TRIGGER:SLOPE:TIME?"
      << ":TRIGGER:SLOPE:LEVELA?" << ":TRIGGER:SLOPE:LEVELB?" << ":TRIGGER:SLOPE:SENSITIVITY?";
    if (la)
        q << ":TRIGGER:PATTERN:PATTERN?" << ":TRIGGER:PATTERN:SWEEP?" << ":TRIGGER:DURATION:PATTERN?"
          << ":TRIGGER:DURATION:QUALIFIER?" << ":TRIGGER:DURATION:TIME?" << ":TRIGGER:DURATION:SWEEP?";
    q << AlternationQueries(1) << AlternationQueries(2);
    if (la) q << ":LA:DISPLAY?" << ":LA:STATUS?" << ":LA:LOCATION?" << ":LA:THRESHOLD?";
    q << ":ACQUIRE:MODE?" << ":ACQUIRE:TYPE?" << ":ACQUIRE:AVERAGES?" << ":DISPLAY:TYPE?"
      << ":DISPLAY:PERSIST?" << ":DISPLAY:GRID?" << ":CHANNEL:ACTIVE CHANNEL1";
    return q;
}

// ---- Mirror edits by field name ("CH1Offset=500mV;TriggerMethod=PULSE") ----

QString* FieldByName(CtrlSettings& s, const QString& name) {
    const QStringList names = CtrlSettingsNames();
    const int i = names.indexOf(name);
    return i < 0 ? nullptr : CtrlSettingsValues(s)[size_t(i)];
}

// An English value word becomes the same word of the current language.
QString InUiLanguage(const QString& english) {
    for (int i = 0; i < ValueWordCount; ++i)
        if (ValueWordIn(i, LangEnglish) == english) return ValueWord(i);
    return english;
}

bool ApplyEdits(CtrlSettings& s, const QString& edits) {
    for (const QString& e : edits.split(';', Qt::SkipEmptyParts)) {
        QString* f = FieldByName(s, e.section('=', 0, 0));
        if (!f) return false;
        *f = InUiLanguage(e.section('=', 1));
    }
    return true;
}

// The fields the upload sends for this mirror (the others need not read back).
bool Uploaded(const QString& name, const CtrlSettings& s, bool la) {
    static const QRegularExpression trig("^Trigger(Edge|Pulse|Video|Slope|Pattern|Duration)");
    static const QRegularExpression alt("^AltCH([12])(Edge|Pulse|Video|Slope|TrigType)");
    const QString method = s.TriggerMethod;
    auto is = [&](int word) { return method == ValueWord(word); };
    if (auto m = trig.match(name); m.hasMatch()) {
        const QString g = m.captured(1);
        if (g == "Pattern" || g == "Duration") return la && is(g == "Pattern" ? vwPattern : vwDuration);
        const int word = g == "Edge" ? vwEdge : g == "Pulse" ? vwPulse : g == "Video" ? vwVideo : vwSlope;
        return is(word) && name != "TriggerSlopeWindow";
    }
    if (auto m = alt.match(name); m.hasMatch()) {
        if (!is(vwAlternative)) return false;
        const QString g = m.captured(2);
        if (g == "TrigType") return true;
        const QString type = m.captured(1) == "1" ? s.AltCH1TrigType : s.AltCH2TrigType;
        const bool neverRead = name.endsWith("VideoHoldoff") || name.endsWith("SlopeHoldoff");
        return !neverRead && type == ValueWord(g == "Edge" ? vwEdge : g == "Pulse" ? vwPulse
                                                  : g == "Video" ? vwVideo : vwSlope);
    }
    return true;
}

QStringList Differences(const CtrlSettings& want, const CtrlSettings& got, bool la) {
    QStringList out;
    const QStringList names = CtrlSettingsNames();
    const auto w = CtrlSettingsValues(want), g = CtrlSettingsValues(got);
    for (int i = 0; i < names.size(); ++i)
        if (Uploaded(names[i], want, la) && *w[size_t(i)] != *g[size_t(i)])
            out << names[i] + ": " + *w[size_t(i)] + " -> " + *g[size_t(i)];
    return out;
}

}  // namespace

class SettingsTransferTest : public QObject {
    Q_OBJECT
    Simulator sim;
    QTimer tick;
    QString lastTransport;

    // Jobs 22 and 23 as the controller window runs them; true when complete.
    static bool UploadToDSO() {
        LastSettingsTransfer().UploadComplete = false;
        CtrlListForm()->UploadToDSO();
        return LastSettingsTransfer().UploadComplete;
    }
    static bool DownloadfromDSO() {
        LastSettingsTransfer().DownloadCommitted = false;
        CtrlListForm()->DownloadfromDSO();
        return LastSettingsTransfer().DownloadCommitted;
    }
    static QTreeWidget* tree() { return CtrlListForm()->CtrlTreeView; }

    // The simulator's log once everything sent has arrived (the reply to a
    // query sent last says so), without that query.
    QStringList arrivedLog() {
        if (Link().IsConnected) QueryCmd("*IDN?");
        QStringList log = sim.Log();
        if (!log.isEmpty() && log.last() == "*IDN?") log.removeLast();
        return log;
    }

    void connectOver(const QString& transport) {
        QVERIFY(LinkFixture::ConnectOver(sim, transport, lastTransport));
        LinkFixture::ResetInstrument(sim);
        PauseService::ClearLog();
        MsgBoxService::ClearLog();
    }

    // Sets a fault once the transfer window's bar has reached `percent`
    // (checked each time the job yields).
    void faultAt(double percent, const QString& fault) {
        auto* poll = new QTimer(this);
        poll->setInterval(0);
        connect(poll, &QTimer::timeout, this, [this, poll, percent, fault] {
            if (!Transfer().TransferBusy || Transfer().ProgressValue < percent) return;
            sim.SetFault(fault);
            poll->deleteLater();
        });
        poll->start();
    }

    // The default mirror with a few values of the tables above.
    void uploadMirror(const QString& method, bool la) {
        SetDefaultCtrlSettings();
        Link().LAPresent = la;
        QVERIFY(ApplyEdits(DSOSettings(),
                           "CH1Probe=10X;CH1Offset=500mV;CH2Scale=200mV;CH2Offset=-100mV;"
                           "TriggerEdgeLevel=1.00div;AltCH1TrigType=VIDEO;AltCH2TrigType=SLOPE;"
                           "AltCH1VideoLevel=2.00div;AltCH1VideoSync=ALLlines;"
                           "AltCH1VideoStandard=PAL/SECAM;AltCH2SlopeLevelA=1.00div;"
                           "LAChannelDisplay(1)=ON;LAChannelDisplay(16)=ON;"
                           "LAChannelPosition(9)=1;LAChannelPosition(8)=15;"
                           "TriggerPatternCode(1)=L;TriggerPatternCode(16)=X;"
                           "TriggerPatternCode(9)=Rising;TriggerMethod=" + method));
    }

    // Writes a controller file as the English application wrote it, but for
    // the odd values (field, text as it stands), and opens it in `language`
    // with the logic analyser `la`; the messages of the open are logged.
    static bool OpenOddFile(const QString& path, const QString& context,
                            const QList<QPair<QString, QString>>& odd, int language, bool la) {
        TestEnv::UseLanguage(LangEnglish);
        CtrlSettings s;
        SetDefaultCtrlSettings(s);
        if (!ApplyEdits(s, context)) return false;
        for (const auto& [field, text] : odd) {
            QString* f = FieldByName(s, field);
            if (!f) return false;
            *f = text;
        }
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(CtrlFileBytes(s, CtrlFileHeader())) < 0) return false;
        f.close();

        TestEnv::UseLanguage(language);
        Link().LAPresent = la;
        MsgBoxService::ClearLog();
        return ReadCtrlFile(path);
    }

private slots:
    void initTestCase() {
        QVERIFY(LinkFixture::StartSimulator(sim));
        TestEnv::UseLanguage(LangEnglish);
        InstallTransferWindow();
        CtrlListForm();  // its first load fills the mirror with defaults
        LinkFixture::StartQuickSerialTick(tick, sim);
    }
    void cleanup() {
        QLocale::setDefault(QLocale::c());
        TestEnv::UseLanguage(LangEnglish);
        Link().LAPresent = false;
    }
    void cleanupTestCase() {
        DisconnectDSO();
        LinkFixture::StopSimulator(sim);
    }

    // The upload's one fixed sequence, its pauses and its progress.
    void uploadStream_data() {
        QTest::addColumn<QString>("transport");
        QTest::addColumn<QString>("method");
        QTest::addColumn<bool>("la");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<double>("bar");
        for (const char* tr : {"tcp", "pty"}) {
            QTest::addRow("%s edge", tr) << tr << "EDGE" << false
                                         << UploadHead("EDGE") + kUploadEdge + kUploadTail << 99.99998;
            QTest::addRow("%s edge with LA", tr)
                << tr << "EDGE" << true << UploadHead("EDGE") + kUploadEdge + kUploadLa + kUploadTail
                << 100.0;
            // 30 steps: the last one would pass 100 and is refused.
            QTest::addRow("%s alternation", tr)
                << tr << "ALTERNATIVE" << false
                << UploadHead("ALTERNATION") + kUploadAlternation + kUploadTail << 99.99998;
            QTest::addRow("%s pattern with LA", tr)
                << tr << "PATTERN" << true
                << UploadHead("PATTERN") + kUploadPattern + kUploadLa + kUploadTail << 100.0;
        }
    }
    void uploadStream() {
        QFETCH(QString, transport);
        QFETCH(QString, method);
        QFETCH(bool, la);
        QFETCH(QStringList, expected);
        QFETCH(double, bar);
        connectOver(transport);
        uploadMirror(method, la);
        const CtrlSettings before = DSOSettings();
        QLocale::setDefault(QLocale(QLocale::German));  // numbers still carry "."

        QVERIFY(UploadToDSO());
        QCOMPARE(arrivedLog(), QStringList{":TRIGGER:STATUS?"} + expected);
        QCOMPARE(DSOSettings(), before);
        QVERIFY(qAbs(Transfer().ProgressValue - bar) < 1e-4);
        QVERIFY(MsgBoxService::Log().isEmpty());
        if (transport == "tcp") {
            // 100 ms after each command, 500 ms after the format, 1 s after the
            // scale, 200 ms when the window closes.
            const QList<int> pauses = PauseService::Log();
            QCOMPARE(pauses.mid(0, 11), (QList<int>{100, 100, 100, 100, 100, 100, 100, 100, 500, 100, 1000}));
            const int commands = int(std::count_if(expected.begin(), expected.end(),
                                                   [](const QString& c) { return !c.endsWith('?'); }));
            QCOMPARE(pauses.count(100), commands);
            QCOMPARE(PauseService::LoggedTotal(), 100LL * commands + 1500 + 200);
        }
    }

    // Odd values in a controller file, opened in both UI languages and
    // uploaded to the simulator: each method's source row with every source
    // (with and without the logic analyser), numbers beyond their lists'
    // span, and odd spellings of valid numbers. A value its setting cannot be
    // is named on open and by the upload and never sent; a valid one goes out
    // in the setting's own format, whatever the file's spelling.
    void oddValuesSweep_data() {
        QTest::addColumn<QString>("context");  // mirror edits under which the upload sends the value
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("la");
        QTest::addColumn<QString>("command");  // what goes out; a header alone: left out and named
        const char* const methods[] = {"EDGE", "PULSE", "VIDEO", "SLOPE"};
        const struct { const char* source; const char* keyword; } sources[] = {
            {"CH1", "CHANNEL1"}, {"CH2", "CHANNEL2"}, {"EXT", "EXT"}, {"EXT5", "EXT5"},
            {"AC", "ACLINE"}, {"ACLINE", "ACLINE"}, {"D0", "DIGITAL0"}, {"D3", "DIGITAL3"},
            {"D15", "DIGITAL15"}};
        for (const char* m : methods) {
            const QString method(m);
            const QString field = "Trigger" + method.left(1) + method.mid(1).toLower() + "Source";
            const QString header = ":TRIGGER:" + method + ":SOURCE";
            const bool edgeOrPulse = method == "EDGE" || method == "PULSE";
            for (const auto& s : sources) {
                for (bool la : {false, true}) {
                    const QString source(s.source);
                    const bool own = source.startsWith('D') ? edgeOrPulse && la
                                     : source.startsWith("AC") ? edgeOrPulse
                                                               : true;
                    QTest::addRow("%s source %s%s", m, s.source, la ? " with LA" : "")
                        << "TriggerMethod=" + method << field << source << la
                        << (own ? header + " " + s.keyword : header);
                }
            }
        }
        const struct { const char* context; const char* field; const char* text; bool la; const char* command; } rows[] = {
            // Averages: the dialog's list.
            {"", "AcquireAverages", "0", false, ":ACQUIRE:AVERAGES"},
            {"", "AcquireAverages", "-1e9", false, ":ACQUIRE:AVERAGES"},
            {"", "AcquireAverages", "1000", false, ":ACQUIRE:AVERAGES"},
            {"", "AcquireAverages", "1e308", false, ":ACQUIRE:AVERAGES"},
            {"", "AcquireAverages", "1e-400", false, ":ACQUIRE:AVERAGES"},
            {"", "AcquireAverages", "3", false, ":ACQUIRE:AVERAGES"},
            {"", "AcquireAverages", "256", false, ":ACQUIRE:AVERAGES 256"},
            {"", "AcquireAverages", "16.0", false, ":ACQUIRE:AVERAGES 16"},
            {"", "AcquireAverages", "+1.28e2", false, ":ACQUIRE:AVERAGES 128"},
            // Video lines: 1 to the standard's last line.
            {"TriggerMethod=VIDEO", "TriggerVideoLine", "0", false, ":TRIGGER:VIDEO:LINE"},
            {"TriggerMethod=VIDEO", "TriggerVideoLine", "-1", false, ":TRIGGER:VIDEO:LINE"},
            {"TriggerMethod=VIDEO", "TriggerVideoLine", "1e308", false, ":TRIGGER:VIDEO:LINE"},
            {"TriggerMethod=VIDEO", "TriggerVideoLine", "1e-400", false, ":TRIGGER:VIDEO:LINE"},
            {"TriggerMethod=VIDEO", "TriggerVideoLine", "2.5", false, ":TRIGGER:VIDEO:LINE"},
            {"TriggerMethod=VIDEO", "TriggerVideoLine", "526", false, ":TRIGGER:VIDEO:LINE"},
            {"TriggerMethod=VIDEO;TriggerVideoStandard=PAL/SECAM", "TriggerVideoLine", "526", false,
             ":TRIGGER:VIDEO:LINE 526"},
            {"TriggerMethod=VIDEO;TriggerVideoStandard=PAL/SECAM", "TriggerVideoLine", "626", false,
             ":TRIGGER:VIDEO:LINE"},
            {"TriggerMethod=VIDEO", "TriggerVideoLine", "525.0", false, ":TRIGGER:VIDEO:LINE 525"},
            {"TriggerMethod=ALTERNATIVE;AltCH1TrigType=VIDEO", "AltCH1VideoLine", "0", false,
             ":TRIGGER:ALTERNATION:VIDEO:LINE"},
            // The logic analyser's methods only with it.
            {"", "TriggerMethod", "PATTERN", false, ":TRIGGER:MODE"},
            {"", "TriggerMethod", "DURATION", false, ":TRIGGER:MODE"},
            {"", "TriggerMethod", "DURATION", true, ":TRIGGER:MODE DURATION"},
            // LA positions 0 to 15: the sixteen go in one number.
            {"", "LAChannelPosition(9)", "16", true, ":LA:LOCATION"},
            {"", "LAChannelPosition(9)", "-1", true, ":LA:LOCATION"},
            {"", "LAChannelPosition(9)", "1e308", true, ":LA:LOCATION"},
            {"", "LAChannelPosition(9)", "15.0", true, ":LA:LOCATION 4026531840,0"},
            // Sensitivities: 0.10 to 1.00 divisions.
            {"", "TriggerEdgeSensitivity", "0div", false, ":TRIGGER:EDGE:SENSITIVITY"},
            {"", "TriggerEdgeSensitivity", "-0.1div", false, ":TRIGGER:EDGE:SENSITIVITY"},
            {"", "TriggerEdgeSensitivity", "1e308div", false, ":TRIGGER:EDGE:SENSITIVITY"},
            {"", "TriggerEdgeSensitivity", "1e-400div", false, ":TRIGGER:EDGE:SENSITIVITY"},
            {"", "TriggerEdgeSensitivity", "1.01div", false, ":TRIGGER:EDGE:SENSITIVITY"},
            {"", "TriggerEdgeSensitivity", "0.10DIV", false, ":TRIGGER:EDGE:SENSITIVITY 0.10div"},
            {"", "TriggerEdgeSensitivity", "1.div", false, ":TRIGGER:EDGE:SENSITIVITY 1.00div"},
            {"", "TriggerEdgeSensitivity", " .5div ", false, ":TRIGGER:EDGE:SENSITIVITY 0.50div"},
            {"TriggerMethod=SLOPE", "TriggerSlopeSensitivity", "1e308div", false, ":TRIGGER:SLOPE:SENSITIVITY"},
            // Levels: -6 to 6 divisions (1 V/div, no offset).
            {"", "TriggerEdgeLevel", "6.04div", false, ":TRIGGER:EDGE:LEVEL"},
            {"", "TriggerEdgeLevel", "-7div", false, ":TRIGGER:EDGE:LEVEL"},
            {"", "TriggerEdgeLevel", "1e308div", false, ":TRIGGER:EDGE:LEVEL"},
            {"", "TriggerEdgeLevel", "1.div", false, ":TRIGGER:EDGE:LEVEL 1"},
            {"", "TriggerEdgeLevel", "-6.00DIV", false, ":TRIGGER:EDGE:LEVEL -6"},
            {"TriggerMethod=SLOPE", "TriggerSlopeLevelB", "1e308div", false, ":TRIGGER:SLOPE:LEVELB"},
            {"TriggerMethod=ALTERNATIVE;AltCH1TrigType=VIDEO", "AltCH2EdgeLevel", "-1e308div", false,
             ":TRIGGER:ALTERNATION:EDGE:LEVEL"},
            // Volts and seconds: what can be written in the setting's format.
            {"", "CH1Scale", "1.V", false, ":CHANNEL1:SCALE 1.00V"},
            {"", "CH1Scale", "1.00V ", false, ":CHANNEL1:SCALE 1.00V"},
            {"", "CH1Scale", "500mv", false, ":CHANNEL1:SCALE 500MV"},
            {"", "CH1Offset", "1.V", false, ":CHANNEL1:OFFSET 1.00V"},
            {"", "CH1Offset", "1e308V", false, ":CHANNEL1:OFFSET"},
            {"", "TriggerHoldoff", "1.e-7s", false, ":TRIGGER:HOLDOFF 100NS"},
            {"", "TriggerHoldoff", "1e308s", false, ":TRIGGER:HOLDOFF"},
            {"", "TimeBaseScale", "1.E-5S", false, ":TIMEBASE:SCALE 10.00US"},
        };
        for (const auto& r : rows)
            QTest::addRow("%s %s%s", r.field, r.text, r.la ? " with LA" : "")
                << r.context << r.field << r.text << r.la << r.command;
    }
    void oddValuesSweep() {
        QFETCH(QString, context);
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(bool, la);
        QFETCH(QString, command);
        const bool sent = command.contains(' ');
        const QString header = command.section(' ', 0, 0);
        const int number = int(CtrlSettingsNames().indexOf(field)) + 1;
        QVERIFY(number > 0);
        QTemporaryDir dir;
        const QString path = dir.filePath("odd.rmt");
        connectOver("tcp");
        for (int language : {LangEnglish, LangChinese}) {
            QVERIFY(OpenOddFile(path, context, {{field, text}}, language, la));
            const QString what = QString("%1 = %2 (%3)").arg(field, text).arg(language);
            const QList<ShownMessage> opened = MsgBoxService::Log();
            QCOMPARE(opened.size(), sent ? 0 : 1);
            const QString named = CtrlValueName(number) + " = \"";
            if (!sent) QVERIFY2(opened[0].text.contains(named), qPrintable(what + ": " + opened[0].text));

            MsgBoxService::ClearLog();
            sim.ClearLog();
            QCOMPARE(UploadToDSO(), sent);
            const QStringList log = arrivedLog();
            const QStringList commands = log.filter(QRegularExpression("^" + QRegularExpression::escape(header) + " "));
            QCOMPARE(commands, sent ? QStringList{command} : QStringList());
            const QList<ShownMessage> uploaded = MsgBoxService::Log();
            QCOMPARE(uploaded.size(), sent ? 0 : 1);
            if (!sent) {
                QCOMPARE(uploaded[0].text.section('\n', 0, 0), MessageTable().MsgUploadUnknownValues.one.section('\n', 0, 0));
                QVERIFY2(uploaded[0].text.contains(named), qPrintable(what));
            }
        }
        Link().LAPresent = false;
    }

    // A video line is judged by the standard the instrument will hold. A
    // standard that is none of its choices is left out, so the instrument
    // keeps one not known here (NTSC's lines end at 525): a line beyond that
    // is left out and named with the standard, on open and by the upload,
    // in both languages; a line within it goes out.
    void videoLineUnderRefusedStandard_data() {
        QTest::addColumn<QString>("context");
        QTest::addColumn<QString>("prefix");  // of the trigger's fields
        QTest::addColumn<QString>("header");  // of its line and standard commands
        QTest::addColumn<QString>("standard");
        QTest::addColumn<QString>("line");
        const struct { const char* name; const char* context; const char* prefix; const char* header; } triggers[] = {
            {"main", "TriggerMethod=VIDEO", "Trigger", ":TRIGGER:VIDEO:"},
            {"alternation", "TriggerMethod=ALTERNATIVE;AltCH2TrigType=VIDEO", "AltCH2", ":TRIGGER:ALTERNATION:VIDEO:"},
        };
        for (const auto& t : triggers)
            for (const char* standard : {"PAL", "BANANA", ""})
                for (const char* line : {"600", "525"})
                    QTest::addRow("%s standard '%s' line %s", t.name, standard, line)
                        << t.context << t.prefix << t.header << standard << line;
    }
    void videoLineUnderRefusedStandard() {
        QFETCH(QString, context);
        QFETCH(QString, prefix);
        QFETCH(QString, header);
        QFETCH(QString, standard);
        QFETCH(QString, line);
        const bool lineSent = line.toInt() <= 525;
        const int standardNumber = int(CtrlSettingsNames().indexOf(prefix + "VideoStandard")) + 1;
        const int lineNumber = int(CtrlSettingsNames().indexOf(prefix + "VideoLine")) + 1;
        QVERIFY(standardNumber > 0 && lineNumber > 0);
        QTemporaryDir dir;
        const QString path = dir.filePath("video.rmt");
        connectOver("tcp");
        for (int language : {LangEnglish, LangChinese}) {
            QVERIFY(OpenOddFile(path, context, {{prefix + "VideoStandard", standard}, {prefix + "VideoLine", line}},
                                language, false));
            const QString standardNamed = CtrlValueName(standardNumber) + " = \"" + standard + "\"";
            const QString lineNamed = CtrlValueName(lineNumber) + " = \"" + line + "\"";
            const QList<ShownMessage> opened = MsgBoxService::Log();
            QCOMPARE(opened.size(), 1);
            QVERIFY2(opened[0].text.contains(standardNamed), qPrintable(opened[0].text));
            QCOMPARE(opened[0].text.contains(lineNamed), !lineSent);

            MsgBoxService::ClearLog();
            sim.ClearLog();
            QVERIFY(!UploadToDSO());
            const QStringList log = arrivedLog();
            QCOMPARE(log.filter(QRegularExpression("^" + QRegularExpression::escape(header) + "STANDARD")), QStringList());
            QCOMPARE(log.filter(QRegularExpression("^" + QRegularExpression::escape(header) + "LINE")),
                     lineSent ? QStringList{header + "LINE " + line} : QStringList());
            const QList<ShownMessage> uploaded = MsgBoxService::Log();
            QCOMPARE(uploaded.size(), 1);
            QCOMPARE(uploaded[0].text.section('\n', 0, 0), MessageTable().MsgUploadUnknownValues.For(lineSent ? 1 : 2).section('\n', 0, 0));
            QVERIFY2(uploaded[0].text.contains(standardNamed), qPrintable(uploaded[0].text));
            QCOMPARE(uploaded[0].text.contains(lineNamed), !lineSent);
        }
    }

    // Every query of the download, for the instrument's trigger sources.
    void downloadStream_data() {
        QTest::addColumn<QString>("transport");
        QTest::addColumn<bool>("la");
        QTest::addColumn<QString>("edge");
        QTest::addColumn<QString>("pulse");
        QTest::addColumn<QString>("video");
        QTest::addColumn<double>("bar");
        for (const char* tr : {"tcp", "pty"}) {
            QTest::addRow("%s channel sources", tr) << tr << false << "CH1" << "CH2" << "CH1" << 95.52;
            QTest::addRow("%s LA, logic and line sources", tr)
                << tr << true << "DIGITAL3" << "ACLINE" << "EXT" << 96.05;
        }
    }
    void downloadStream() {
        QFETCH(QString, transport);
        QFETCH(bool, la);
        QFETCH(QString, edge);
        QFETCH(QString, pulse);
        QFETCH(QString, video);
        QFETCH(double, bar);
        connectOver(transport);
        Link().LAPresent = la;
        SendCmd(":TRIGGER:EDGE:SOURCE " + edge);
        SendCmd(":TRIGGER:PULSE:SOURCE " + pulse);
        SendCmd(":TRIGGER:VIDEO:SOURCE " + video);
        QueryCmd("*IDN?");
        sim.ClearLog();
        SetDefaultCtrlSettings();
        // Branches the user opened stay open across the rebuild; the others stay closed.
        BuildCtrlTree();
        CtrlNode(CtrlGroup::CH2, 0)->setExpanded(true);
        CtrlNode(CtrlGroup::Trigger, 0)->setExpanded(true);
        if (la) CtrlNode(CtrlGroup::LA, CtrlGroup::LADisplayGroup)->setExpanded(true);
        const QString sourceText = edge.startsWith("DIGITAL") ? "D" + edge.mid(7) : edge == "CHANNEL1" ? "CH1" : edge;

        QVERIFY(DownloadfromDSO());
        QCOMPARE(arrivedLog(), DownloadStream(la, sourceText, pulse == "CHANNEL2" ? "CH2" : pulse, video));
        QVERIFY(qAbs(Transfer().ProgressValue - bar) < 0.01);
        QVERIFY(tree()->topLevelItemCount() > 0);  // rebuilt from the new mirror
        QVERIFY(CtrlNode(CtrlGroup::CH2, 0)->isExpanded());
        QVERIFY(CtrlNode(CtrlGroup::Trigger, 0)->isExpanded());
        QVERIFY(!CtrlNode(CtrlGroup::CH1, 0)->isExpanded());
        if (la) {
            QVERIFY(CtrlNode(CtrlGroup::LA, CtrlGroup::LADisplayGroup)->isExpanded());
            QVERIFY(!CtrlNode(CtrlGroup::LA, CtrlGroup::LAPosition)->isExpanded());
        }
        QVERIFY(MsgBoxService::Log().isEmpty());
    }

    // Upload, then download into a mirror that differs: every uploaded value
    // reads back as it was, levels included when the channel offset is not 0.
    void roundTrip_data() {
        QTest::addColumn<QString>("transport");
        QTest::addColumn<int>("language");
        QTest::addColumn<bool>("la");
        QTest::addColumn<QString>("edits");
        QTest::newRow("tcp edge, offsets") << "tcp" << int(LangEnglish) << false
            << "RunStop=STOP;CH1Scale=500mV;CH1Offset=-1.20V;CH1Probe=10X;CH1Coupling=DC;"
               "CH2Display=ON;CH2Scale=2.00V;CH2Offset=750mV;TimeBaseScale=200.0us;"
               "TimeBaseOffset=-1.500ms;AltCH1TimeBaseScale=50.00us;AltCH2TimeBaseOffset=2.000us;"
               "TriggerHoldoff=1.50us;TriggerEdgeSource=CH1;TriggerEdgeLevel=1.24div;"
               "TriggerEdgeSlope=FALLING;TriggerEdgeSweep=SINGLE;TriggerEdgeSensitivity=0.30div;"
               "AcquireType=PEAKDETECT;DisplayGrid=HALF;DisplayType=DOTS";
        QTest::newRow("pty pulse on CH2") << "pty" << int(LangEnglish) << false
            << "TriggerMethod=PULSE;TriggerPulseSource=CH2;CH2Scale=200mV;CH2Offset=-300mV;"
               "TriggerPulseLevel=-2.40div;TriggerPulseWidth=20.0us;TriggerPulseCoupling=HF";
        QTest::newRow("tcp Chinese video on CH1") << "tcp" << int(LangChinese) << false
            << "TriggerMethod=VIDEO;TriggerVideoSource=CH1;CH1Scale=2.00V;CH1Offset=2.50V;"
               "TriggerVideoLevel=-0.52div;TriggerVideoSync=ODDfield;TriggerVideoStandard=PAL/SECAM;"
               "TriggerVideoLine=100;TriggerVideoPolarity=NEGATIVE";
        QTest::newRow("pty Chinese slope on EXT5") << "pty" << int(LangChinese) << false
            << "TriggerMethod=SLOPE;TriggerSlopeSource=EXT5;TriggerSlopeLevelA=1.52div;"
               "TriggerSlopeLevelB=-0.80div;TriggerSlopeTime=5.00ms;TriggerSlopeSweep=SINGLE";
        QTest::newRow("tcp alternation edge and pulse") << "tcp" << int(LangEnglish) << false
            << "TriggerMethod=ALTERNATIVE;AltCH1TrigType=EDGE;AltCH2TrigType=PULSE;CH1Offset=1.00V;"
               "CH2Offset=-500mV;CH2Scale=500mV;AltCH1EdgeLevel=0.96div;AltCH2PulseLevel=-1.00div;"
               "AltCH1EdgeHoldoff=200ns;AltCH2PulseWidth=3.00us;AltCH1EdgeSlope=FALLING";
        QTest::newRow("pty alternation video and slope") << "pty" << int(LangEnglish) << false
            << "TriggerMethod=ALTERNATIVE;AltCH1TrigType=VIDEO;AltCH2TrigType=SLOPE;CH1Offset=-2.00V;"
               "CH2Offset=400mV;AltCH1VideoLevel=2.00div;AltCH2SlopeLevelA=-1.20div;"
               "AltCH2SlopeLevelB=0.40div;AltCH1VideoStandard=PAL/SECAM";
        QTest::newRow("tcp pattern with LA") << "tcp" << int(LangEnglish) << true
            << "TriggerMethod=PATTERN;LADisplay=ON;LAThreshold=1.40V;TriggerPatternSweep=SINGLE;"
               "LAChannelDisplay(1)=ON;LAChannelDisplay(2)=ON;LAChannelDisplay(16)=ON;"
               "LAChannelPosition(1)=15;LAChannelPosition(9)=7;LAChannelPosition(16)=3;"
               "TriggerPatternCode(1)=L;TriggerPatternCode(4)=X;TriggerPatternCode(12)=Falling";
        QTest::newRow("pty duration with LA") << "pty" << int(LangEnglish) << true
            << "TriggerMethod=DURATION;LAThreshold=CMOS;TriggerDurationQualifier=Greater Than;"
               "TriggerDurationTime=10.0us;TriggerDurationCode(2)=L;TriggerDurationCode(15)=X;"
               "LAChannelDisplay(3)=ON";
    }
    void roundTrip() {
        QFETCH(QString, transport);
        QFETCH(int, language);
        QFETCH(bool, la);
        QFETCH(QString, edits);
        connectOver(transport);
        TestEnv::UseLanguage(language);
        Link().LAPresent = la;
        // What the instrument holds now, as the mirror gives it.
        QVERIFY(DownloadfromDSO());
        const CtrlSettings start = DSOSettings();
        QVERIFY(ApplyEdits(DSOSettings(), edits));
        const CtrlSettings uploaded = DSOSettings();
        QVERIFY(uploaded != start);

        QLocale::setDefault(QLocale(QLocale::German));
        QVERIFY(UploadToDSO());
        DSOSettings() = start;
        QVERIFY(DownloadfromDSO());
        QCOMPARE(Differences(uploaded, DSOSettings(), la), QStringList());
        QVERIFY(MsgBoxService::Log().isEmpty());
    }

    // A mirror value that would end its command and start another is left
    // out, named, and the upload reported incomplete; the other rows go out.
    void uploadRefusesCommandBreaks() {
        connectOver("tcp");
        uploadMirror("EDGE", false);
        DSOSettings().TriggerEdgeSensitivity = "0.10div\n:KEY:LOCK ENABLE";
        DSOSettings().TimeBaseScale = "1us;:STOP";
        QVERIFY(!UploadToDSO());
        const QStringList log = arrivedLog();
        QVERIFY(log.filter("SENSITIVITY").isEmpty());
        QVERIFY(log.filter(":TIMEBASE:SCALE").isEmpty());
        QVERIFY(!log.contains(":KEY:LOCK ENABLE") && !log.contains(":STOP"));
        QVERIFY(log.contains(":TRIGGER:EDGE:LEVEL .5") && log.contains(":DISPLAY:GRID FULL"));
        // Neither is a number with its unit: the upload names both.
        QCOMPARE(LinkFixture::ShownTexts(),
                 QStringList{MessageTable().MsgUploadUnknownValues.Naming(
                                 {"Time Base ▸ Time/Div = \"1us;:STOP\"",
                                  "Trigger ▸ EDGE ▸ Sensitivity = \"0.10div\n:KEY:LOCK ENABLE\""}) +
                             " / "});
    }

    // The controller window's commands: a connection first; a committed
    // download marks the document modified and resets the transfer switches,
    // an upload leaves the modified flag alone.
    void windowCommands() {
        connectOver("tcp");
        SetDefaultCtrlSettings();
        DSOSettings().CH1Invert = DSOSettings().SpareSwitch = "ON";
        CtrlState().CtrlModified = false;
        CtrlListForm()->cmdUpload_Click();
        QVERIFY(LastSettingsTransfer().UploadComplete);
        QVERIFY(!CtrlState().CtrlModified);
        QCOMPARE(DSOSettings().CH1Invert, QString("OFF"));

        DSOSettings().CH2Invert = DSOSettings().SpareSwitch = "ON";
        CtrlListForm()->cmdDownload_Click();
        QVERIFY(LastSettingsTransfer().DownloadCommitted);
        QVERIFY(CtrlState().CtrlModified);
        QCOMPARE(DSOSettings().CH2Invert + DSOSettings().SpareSwitch, QString("OFFOFF"));

        DisconnectDSO();
        sim.ClearLog();
        MsgBoxService::ClearLog();
        const CtrlSettings before = DSOSettings();
        CtrlListForm()->cmdUpload_Click();
        CtrlListForm()->cmdDownload_Click();
        QCOMPARE(LinkFixture::ShownTexts(), QStringList({MessageTable().MsgConnectFirst + " / ",
                                                         MessageTable().MsgConnectFirst + " / "}));
        QCOMPARE(sim.Log().filter(QRegularExpression("^(?!:KEY:LOCK )")), QStringList());
        QCOMPARE(DSOSettings(), before);
    }

    // Logic-channel display and positions: element k of the arrays is D(16 - k).
    void laNumbers_data() {
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("location");
        QTest::addColumn<QString>("displays");   // D15 .. D0, 1 = ON
        QTest::addColumn<QString>("groups");     // high, low
        QTest::addColumn<QString>("positions");  // D15 .. D0
        QTest::newRow("high group on") << "65280" << "1,0" << "1111111100000000" << "ON,OFF"
                                       << "0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,1";
        QTest::newRow("all but D15") << "32767" << "16,0" << "0111111111111111" << "OFF,ON"
                                     << "0,0,0,0,0,0,0,0,0,0,0,0,0,0,1,0";
        QTest::newRow("D4 and D8") << "32769" << "65536,15" << "1000000000000001" << "OFF,OFF"
                                   << "0,0,0,0,0,0,0,15,0,0,0,1,0,0,0,0";
        QTest::newRow("no comma: the high group") << "0" << "15" << "0000000000000000" << "OFF,OFF"
                                                  << "0,0,0,0,0,0,0,15,0,0,0,0,0,0,0,0";
        QTest::newRow("D7 at row 1") << "0" << "268435456,0" << "0000000000000000" << "OFF,OFF"
                                     << "0,0,0,0,0,0,0,0,1,0,0,0,0,0,0,0";
    }
    void laNumbers() {
        QFETCH(QString, status);
        QFETCH(QString, location);
        QFETCH(QString, displays);
        QFETCH(QString, groups);
        QFETCH(QString, positions);
        CtrlSettings s;
        ApplyLaStatus(s, status);
        ApplyLaLocation(s, location);
        QString shown, at;
        for (int k = 1; k <= 16; ++k) {
            shown += s.LAChannelDisplay[size_t(k)] == "ON" ? "1" : "0";
            at += (k > 1 ? "," : "") + s.LAChannelPosition[size_t(k)];
        }
        QCOMPARE(shown, displays);
        QCOMPARE(s.LAGroupHighDisplay + "," + s.LAGroupLowDisplay, groups);
        QCOMPARE(at, positions);
        // The upload's numbers of the same arrays give the replies back.
        QCOMPARE(QString::number(LaStatusNumber(s)), status);
        const QString loc = LaLocationText(s);
        QCOMPARE(loc, location.contains(',') ? location : "0," + location);
    }

    // Levels read back against the source's scale (and offset) of their own block.
    void downloadLevels_data() {
        QTest::addColumn<QString>("setup");  // simulator settings, ";"-separated
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("expected");
        QTest::newRow("CH2, 0.5 V at 0.2 V/div") << ":CHANNEL2:OFFSET 0;:TRIGGER:EDGE:SOURCE CHANNEL2;"
            ":CHANNEL2:SCALE 0.2;:TRIGGER:EDGE:LEVEL 0.5" << "TriggerEdgeLevel" << "2.50div";
        QTest::newRow("CH2 with offset") << ":CHANNEL2:OFFSET 0.1;:TRIGGER:EDGE:SOURCE CHANNEL2;"
            ":CHANNEL2:SCALE 0.2;:TRIGGER:EDGE:LEVEL 0.5" << "TriggerEdgeLevel" << "3.00div";
        QTest::newRow("EXT") << ":TRIGGER:EDGE:SOURCE EXT;:TRIGGER:EDGE:LEVEL 0.1"
                             << "TriggerEdgeLevel" << "0.50div";
        QTest::newRow("EXT5") << ":TRIGGER:EDGE:SOURCE EXT5;:TRIGGER:EDGE:LEVEL 1.5"
                              << "TriggerEdgeLevel" << "1.50div";
        QTest::newRow("AC line keeps the level") << ":TRIGGER:EDGE:SOURCE ACLINE;:TRIGGER:EDGE:LEVEL 1.5"
                                                 << "TriggerEdgeLevel" << "keep";
        QTest::newRow("logic channel reads the threshold")
            << ":TRIGGER:EDGE:SOURCE DIGITAL3;:LA:THRESHOLD TTL" << "TriggerEdgeLevel" << "TTL";
        QTest::newRow("pulse on the line reads the threshold")
            << ":TRIGGER:PULSE:SOURCE ACLINE;:LA:THRESHOLD 1.4" << "TriggerPulseLevel" << "1.40V";
        // A source outside the method's own list (and what the instrument
        // reports for it) is no reply the download takes: nothing changes.
        QTest::newRow("video on the line is refused")
            << ":TRIGGER:PULSE:SOURCE CHANNEL2;:CHANNEL2:SCALE 0.5;:TRIGGER:VIDEO:SOURCE ACLINE;"
               ":TRIGGER:VIDEO:LEVEL 1" << "TriggerVideoLevel" << "refused";
        QTest::newRow("video on a logic channel is refused")
            << ":TRIGGER:VIDEO:SOURCE DIGITAL3" << "TriggerVideoLevel" << "refused";
        QTest::newRow("slope on a logic channel is refused")
            << ":TRIGGER:SLOPE:SOURCE DIGITAL5" << "TriggerSlopeLevelA" << "refused";
        QTest::newRow("alternation uses the channel's own scale")
            << ":TRIGGER:EDGE:SOURCE EXT;:CHANNEL2:SCALE 0.5;:CHANNEL2:OFFSET 0.25;"
               ":TRIGGER:ALTERNATION:SOURCE CHANNEL2;:TRIGGER:ALTERNATION:EDGE:LEVEL 1"
            << "AltCH2EdgeLevel" << "2.50div";
    }
    void downloadLevels() {
        QFETCH(QString, setup);
        QFETCH(QString, field);
        QFETCH(QString, expected);
        connectOver("tcp");
        for (const QString& c : setup.split(';')) SendCmd(c);
        SetDefaultCtrlSettings();
        *FieldByName(DSOSettings(), field) = "-5.96div";
        MsgBoxService::ClearLog();
        const bool refused = expected == "refused";
        QCOMPARE(DownloadfromDSO(), !refused);
        QCOMPARE(*FieldByName(DSOSettings(), field), expected == "keep" || refused ? QString("-5.96div") : expected);
        if (refused) {
            QCOMPARE(MsgBoxService::Log().size(), 1);
            QVERIFY(MsgBoxService::Log()[0].text.contains(":SOURCE?"));
        }
    }

    // PULSE on the AC line: the download reads the analyser's threshold as
    // the level and the tree shows it; the upload sends the PULSE block whole,
    // its level as 0 volts (the instrument takes no level on the line and
    // keeps its own), and completes.
    void pulseOnTheLineRoundTrip_data() {
        QTest::addColumn<QString>("transport");
        QTest::addColumn<bool>("la");
        QTest::newRow("tcp") << "tcp" << false;
        QTest::newRow("pty with LA") << "pty" << true;
    }
    void pulseOnTheLineRoundTrip() {
        QFETCH(QString, transport);
        QFETCH(bool, la);
        connectOver(transport);
        Link().LAPresent = la;
        for (const char* c : {":TRIGGER:MODE PULSE", ":TRIGGER:PULSE:LEVEL 0.6", ":TRIGGER:PULSE:SOURCE ACLINE",
                              ":LA:THRESHOLD TTL"})
            SendCmd(c);
        SetDefaultCtrlSettings();
        QVERIFY(DownloadfromDSO());
        QCOMPARE(DSOSettings().TriggerPulseSource, QString("ACLINE"));
        QCOMPARE(DSOSettings().TriggerPulseLevel, QString("TTL"));
        QCOMPARE(CtrlNode(CtrlGroup::Trigger, 8)->text(0), CtrlNodeText(ControllerLabel(lbLevel), "TTL"));

        sim.ClearLog();
        QVERIFY(UploadToDSO());
        QVERIFY2(MsgBoxService::Log().isEmpty(), qPrintable(LinkFixture::ShownTexts().join(" | ")));
        const QStringList log = arrivedLog();
        QVERIFY(log.contains(":TRIGGER:PULSE:SOURCE ACLINE"));
        const int level = int(log.indexOf(":TRIGGER:PULSE:SOURCE?"));
        QVERIFY(level > 0);
        QCOMPARE(log.mid(level, 2), (QStringList{":TRIGGER:PULSE:SOURCE?", ":TRIGGER:PULSE:LEVEL 0"}));
        // The instrument keeps its level in volts.
        QCOMPARE(TrimReply(QueryCmd(":TRIGGER:PULSE:LEVEL?")).toDouble(), 0.6);
    }

    // A link lost part-way, or an instrument that does not answer: the mirror
    // stays as it was, the tree is not rebuilt, and the user is told.
    void downloadFailure_data() {
        QTest::addColumn<QString>("transport");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<double>("percent");  // bar reached when the fault starts
        // The setting and reply the message names; "" none (the reply did not
        // come), "*" one of a garbled reply.
        QTest::addColumn<QStringList>("unreadable");
        QTest::addColumn<int>("language");
        const QStringList none, garbled = {"*"};
        const int en = LangEnglish;
        for (const char* tr : {"tcp", "pty"}) {
            QTest::addRow("%s link lost", tr) << tr << "drop 2" << 40.0 << none << en;
            QTest::addRow("%s silent", tr) << tr << "silent" << 0.0 << none << en;
            QTest::addRow("%s silent late in the run", tr) << tr << "silent" << 90.0 << none << en;
            // A reply no setting may hold: it could not be saved nor sent back.
            QTest::addRow("%s reply holding a command break", tr)
                << tr << "set :TRIGGER:VIDEO:STANDARD NTSC;*RST" << 0.0
                << QStringList{"Trigger ▸ Video Standard (:TRIGGER:VIDEO:STANDARD?)", "\"NTSC;*RST\""} << en;
            // Replies the setting's converter does not know fail it like a
            // missing one, and the message names the setting and the reply.
            QTest::addRow("%s garbled", tr) << tr << "garbage" << 0.0 << garbled << en;
            QTest::addRow("%s garbled late in the run", tr) << tr << "garbage" << 90.0 << garbled << en;
            QTest::addRow("%s unknown keyword", tr) << tr << "set :CHANNEL1:COUPLING ACDC" << 0.0
                << QStringList{"CH1 ▸ Coupling (:CHANNEL1:COUPLING?)", "\"ACDC\""} << en;
            QTest::addRow("%s unknown acquisition type", tr) << tr << "set :ACQUIRE:TYPE PEAK" << 0.0
                << QStringList{"Acquire ▸ Acquisition (:ACQUIRE:TYPE?)", "\"PEAK\""} << en;
            QTest::addRow("%s unknown probe", tr) << tr << "set :CHANNEL2:PROBE 7X" << 0.0
                << QStringList{"CH2 ▸ Probe (:CHANNEL2:PROBE?)", "\"7X\""} << en;
            QTest::addRow("%s number that does not parse", tr) << tr << "set :TIMEBASE:OFFSET 1.5.2" << 0.0
                << QStringList{"Time Base ▸ Delay (:TIMEBASE:OFFSET?)", "\"1.5.2\""} << en;
            QTest::addRow("%s sensitivity not a number", tr)
                << tr << "set :TRIGGER:EDGE:SENSITIVITY 0.1div" << 0.0
                << QStringList{"Trigger ▸ EDGE ▸ Sensitivity (:TRIGGER:EDGE:SENSITIVITY?)", "\"0.1div\""} << en;
            QTest::addRow("%s unknown source", tr) << tr << "set :TRIGGER:PULSE:SOURCE CH3" << 0.0
                << QStringList{"Trigger ▸ PULSE ▸ Source (:TRIGGER:PULSE:SOURCE?)", "\"CH3\""} << en;
            // The setting in the words of the UI; the query and the reply as they are.
            QTest::addRow("%s unknown acquisition type, Chinese", tr) << tr << "set :ACQUIRE:TYPE PEAK" << 0.0
                << QStringList{"采样系统 ▸ 获取方式 (:ACQUIRE:TYPE?)", "\"PEAK\""} << int(LangChinese);
            QTest::addRow("%s unknown source, Chinese", tr) << tr << "set :TRIGGER:PULSE:SOURCE CH3" << 0.0
                << QStringList{"触发系统 ▸ 脉宽触发 ▸ 信源选择 (:TRIGGER:PULSE:SOURCE?)", "\"CH3\""}
                << int(LangChinese);
        }
    }
    void downloadFailure() {
        QFETCH(QString, transport);
        QFETCH(QString, fault);
        QFETCH(double, percent);
        QFETCH(QStringList, unreadable);
        QFETCH(int, language);
        connectOver(transport);
        TestEnv::UseLanguage(language);
        SetDefaultCtrlSettings();
        DSOSettings().CH1Scale = "5.00V";
        DSOSettings().TriggerEdgeLevel = "1.00div";
        const CtrlSettings before = DSOSettings();
        CtrlState().CtrlModified = false;
        tree()->clear();
        if (fault.startsWith("set ")) sim.Set(fault.section(' ', 1, 1), fault.section(' ', 2));
        else if (percent == 0) sim.SetFault(fault);
        else faultAt(percent, fault);

        CtrlListForm()->cmdDownload_Click();
        QCOMPARE(DSOSettings(), before);
        QVERIFY(!LastSettingsTransfer().DownloadCommitted);
        QVERIFY(!CtrlState().CtrlModified);
        QCOMPARE(tree()->topLevelItemCount(), 0);
        const QStringList shown = LinkFixture::ShownTexts();
        const QString& unreadableMsg = MessageTable().MsgDownloadUnreadable;
        if (unreadable.isEmpty())
            QVERIFY(shown.contains(MessageTable().MsgDownloadIncomplete + " / "));
        else if (unreadable == QStringList{"*"})
            QVERIFY(shown.size() == 1 && shown[0].startsWith(unreadableMsg.section("%1", 0, 0)));
        else
            QCOMPARE(shown, QStringList{unreadableMsg.arg(unreadable[0], unreadable[1]) + " / "});
        QVERIFY(!Transfer().TransferBusy);
        sim.SetFault("none");
        if (fault.startsWith("drop")) {
            // The transport says the link is gone, and it counts as disconnected.
            QVERIFY(!Link().IsConnected);
            QVERIFY(LinkFixture::ShownTexts().contains(LinkFixture::DroppedLinkMessage(transport == "pty")));
        }
    }

    // A link lost during the upload ends it there; a level whose queries got
    // no reply is left out rather than sent as a made-up 0. Either way the
    // user is told.
    void uploadFailure_data() {
        QTest::addColumn<QString>("transport");
        QTest::addColumn<QString>("fault");
        for (const char* tr : {"tcp", "pty"}) {
            QTest::addRow("%s link lost", tr) << tr << "drop 0";
            QTest::addRow("%s silent", tr) << tr << "silent";
            QTest::addRow("%s garbled", tr) << tr << "garbage";
        }
    }
    void uploadFailure() {
        QFETCH(QString, transport);
        QFETCH(QString, fault);
        connectOver(transport);
        uploadMirror("EDGE", false);
        faultAt(70, fault);  // after the channel rows: the next reply is the edge source's
        QVERIFY(!UploadToDSO());
        // A lost link says the upload is incomplete; a level left out for its
        // replies is named.
        const QStringList shown = LinkFixture::ShownTexts();
        QVERIFY2(std::any_of(shown.begin(), shown.end(),
                             [&](const QString& t) {
                                 return fault == "drop 0"
                                            ? t.startsWith(MessageTable().MsgUploadIncomplete + " / ")
                                            : LinkFixture::BeginsAsNaming(t, MessageTable().MsgUploadLevelsUnanswered);
                             }),
                 qPrintable(shown.join(" | ")));
        const bool linkUp = Link().IsConnected;
        sim.SetFault("none");
        const QStringList log = arrivedLog();
        QVERIFY(log.contains(":TRIGGER:HOLDOFF 100NS"));
        QVERIFY(log.contains(":TRIGGER:EDGE:SOURCE?"));
        QVERIFY(std::none_of(log.begin(), log.end(), [](const QString& c) { return c.startsWith(":TRIGGER:EDGE:LEVEL"); }));
        QVERIFY(!LastSettingsTransfer().UploadComplete);
        // Nothing goes out after a lost link; a link still up gets the rest.
        QCOMPARE(log.contains(":ACQUIRE:MODE RTIME"), linkUp);
        QCOMPARE(linkUp, !fault.startsWith("drop"));
    }
};

QTEST_MAIN(SettingsTransferTest)
#include "tst_settingstransfer.moc"
