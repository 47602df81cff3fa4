#include "link/TransferJobs.h"

#include <QCoreApplication>
#include <QDate>
#include <QLocale>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

#include "common/HookCheck.h"
#include "common/Pause.h"
#include "common/Wait.h"
#include "link/CommandPort.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/MeasureCatalog.h"
#include "link/TransferValues.h"
#include "link/WaveNumbers.h"

namespace {

constexpr int MaxBlockBytes = 8192;     // the largest waveform block kept
constexpr int MaxTableEntries = DataTableSize - 1;

// The port collects its reply while the caller yields (timers tick meanwhile).
bool RepliesWhileWaiting() { return CommandLink().RepliesWhileWaiting(); }

QString ShortDate() { return QLocale().toString(QDate::currentDate(), QLocale::ShortFormat); }

// A job stops at the first reply that did not come whole, or that is not
// the number or word the job asked for: thrown by the reply helpers below and
// caught by the job's guard, which clears what the job had written.
struct JobStopped {};
[[noreturn]] void StopJob() { throw JobStopped{}; }
// A reply that came but is not of its question's form: the link is out of
// step (KV2200Cmd.h), and the job stops.
[[noreturn]] void StopAtGarbledReply() {
    NoteReplyGarbled();
    StopJob();
}

QString Query(const QString& q) {
    const QString reply = QueryCmd(q);
    if (Link().ReplyFailed) StopJob();
    return TrimReply(reply);
}

QString NumberReply(const QString& q) {
    const QString reply = Query(q);
    if (!IsNumberReply(reply)) StopAtGarbledReply();
    return reply;
}

// A value the data table holds in single precision: one beyond its range
// would give no time or voltage at all, so it stops the job.
float ToSingle(double v) {
    if (!(std::fabs(v) <= double(std::numeric_limits<float>::max()))) StopJob();
    return static_cast<float>(v);
}

// A reply the data table computes with in single precision.
double SingleReply(const QString& q) {
    const double v = ReplyNumber(NumberReply(q));
    ToSingle(v);
    return v;
}

QString WordReply(const QString& q, std::initializer_list<const char*> words) {
    const QString reply = Query(q);
    for (const char* w : words)
        if (reply == QLatin1String(w)) return reply;
    StopAtGarbledReply();
}

QString ModeReply() {
    return WordReply(":TRIGGER:MODE?", {"EDGE", "PULSE", "VIDEO", "SLOPE", "ALTERNATION", "PATTERN", "DURATION"});
}
QString OnOffReply(const QString& q) { return WordReply(q, {"ON", "OFF"}); }

// A bound reply: "<" or ">" before a number ("<2.000e-09": below what the
// instrument can measure). The value the instrument gave, shown with its sign.
bool IsBoundReply(const QString& reply) {
    return (reply.startsWith(QLatin1Char('<')) || reply.startsWith(QLatin1Char('>'))) &&
           NumberOfAnySize(reply.mid(1)).valid;
}

// The number of a measurement reply or of its bound, of any size: one too
// large for a double ("1e309", "inf") is as much too large for its row as
// 1e308 is, and shows the row's overflow mark.
ParsedValue MeasureNumber(const QString& reply) {
    return NumberOfAnySize(IsBoundReply(reply) ? reply.mid(1) : reply);
}

// A measurement reply that is a value: a number, a bound, or the
// instrument's "*" mark for one it cannot make (printable ASCII without
// letters, as the percent rows show it as it came).
bool IsMeasureValue(const QString& reply) {
    const bool marked = reply.contains(QLatin1Char('*')) &&
                        std::all_of(reply.begin(), reply.end(), [](QChar c) {
                            return c.unicode() >= 0x20 && c.unicode() < 0x7f && !c.isLetter();
                        });
    return marked || MeasureNumber(reply).valid;
}

// The text a row shows for a reply that came but is no value (an empty
// line, a "<" with no number, a stray byte before the number): the mark of a
// measurement that could not be made, which is never judged a pass.
const QString& NoMeasureValue() {
    static const QString mark = QStringLiteral("*****");
    return mark;
}

// A job that did not finish: flagged for the caller, and, while the link
// still counts as connected, the connected state dropped and then reported
// with the transport's read message (a transport that reported its own
// failure has already done both).
void FailJob() {
    Transfer().TransferFailed = true;
    if (!Link().IsConnected) return;
    DropLinkAfterFailedRead();
}

// Runs a job's body; when it stops, its results are discarded and the job fails.
template <typename Body, typename Discard>
void Guarded(Body body, Discard discard) {
    try {
        body();
    } catch (const JobStopped&) {
        discard();
        FailJob();
    }
}

// The progress timer of the transfer window. It lives here so that the jobs
// can run it without a window; the window only shows the bar.
QTimer& ProgressTimer() {
    static QTimer* t = [] {
        auto* timer = new QTimer();
        timer->setTimerType(Qt::PreciseTimer);
        QObject::connect(timer, &QTimer::timeout, [] { ProgressTimerTick(); });
        return timer;
    }();
    return *t;
}

void RepaintBar() {
    if (TransferUi().RepaintProgress) TransferUi().RepaintProgress();
}

int16_t ClampToInt16(double v) {
    if (!(v == v)) return 0;
    return static_cast<int16_t>(std::clamp(v, -32768.0, 32767.0));
}

// Bytes of one waveform reply: byte k of the reply in element k + 1.
using BlockSamples = std::array<int32_t, MaxBlockBytes + 1>;

// Reads one waveform block into samples(1..n) through the port and returns
// n. samples is cleared first, so nothing of an earlier reply can pass for
// this one.
int ReadBlockIntoSamples(BlockSamples& samples, bool startTimer) {
    samples.fill(0);
    if (startTimer) SetProgressTimer(true);
    QByteArray bytes;
    const int read = CommandLink().ReadBlock(bytes, MaxBlockBytes);
    if (read < 0) StopJob();
    const int n = std::clamp(read, 0, MaxBlockBytes);
    for (int i = 1; i <= n && i <= bytes.size(); ++i) samples[size_t(i)] = static_cast<uint8_t>(bytes[i - 1]);
    return n;
}

void ClearMeasureResults() {
    auto& t = Transfer();
    for (auto& item : t.MeasureResults) item.Value.clear();
    t.MeasureUnread = 0;
}

void ClearDataTable() {
    auto& t = Transfer();
    t.DataPointCount = 0;
    std::fill(t.DataTimeText.begin(), t.DataTimeText.end(), QString());
    std::fill(t.DataVoltText.begin(), t.DataVoltText.end(), QString());
}

// FormatFreq's text with everything from its first "H" replaced by "Sa".
QString RateText(const QString& rate) {
    const QString text = FormatFreq(rate);
    const int p = text.indexOf(QLatin1Char('H'));
    return p < 0 ? text : text.left(p) + "Sa";
}

QString RunWord() {
    return WordReply(":TRIGGER:STATUS?", {"RUN", "STOP", "T'D", "WAIT", "AUTO"}) == "STOP" ? "STOP" : "RUN";
}

// What a job that did not finish leaves: nothing of its results. The
// waveform job's results are a scratch copy that is simply dropped; the
// view's record is never touched by a failed fetch.
void DiscardResults(int code) {
    auto& t = Transfer();
    switch (code) {
    case JobMeasureCH1: case JobMeasureCH2: ClearMeasureResults(); t.DataTitle.clear(); break;
    case JobDataCH1: case JobDataCH2: case JobDataLA: ClearDataTable(); t.DataTitle.clear(); break;
    default: break;
    }
}

// The trace choices of a view, which the waveform job may change (MATH off
// on the instrument clears its choice; X-Y asks for both channels).
struct TraceChoices {
    bool ch1, ch2, math, la;
    explicit TraceChoices(const WaveInfo& w)
        : ch1(w.Ch1Chosen), ch2(w.Ch2Chosen), math(w.MathChosen), la(w.LaChosen) {}
};

// Moves what a whole waveform fetch brought into the view's record. What the
// window owns (name, open and refresh flags, colour, grid, fit, the spare
// values) stays the record's, and so does a choice the user changed while
// the fetch ran, unless the fetch itself changed it.
void CommitWaveFetch(WaveInfo& record, WaveInfo& fetched, const TraceChoices& before) {
    const auto choice = [](bool recordNow, bool fetchedNow, bool atStart) {
        return fetchedNow != atStart ? fetchedNow : recordNow;
    };
    fetched.Ch1Chosen = choice(record.Ch1Chosen, fetched.Ch1Chosen, before.ch1);
    fetched.Ch2Chosen = choice(record.Ch2Chosen, fetched.Ch2Chosen, before.ch2);
    fetched.MathChosen = choice(record.MathChosen, fetched.MathChosen, before.math);
    fetched.LaChosen = choice(record.LaChosen, fetched.LaChosen, before.la);
    fetched.Name = std::move(record.Name);
    fetched.HasData = record.HasData;
    fetched.WindowOpen = record.WindowOpen;
    fetched.AutoRefresh = record.AutoRefresh;
    fetched.SpareValue1 = record.SpareValue1;
    fetched.SpareValue2 = record.SpareValue2;
    fetched.ColorDisplay = record.ColorDisplay;
    fetched.ShowGrid = record.ShowGrid;
    fetched.BestFit = record.BestFit;
    fetched.LaAvailable = record.LaAvailable;
    UpdateWaveNumbers(fetched);
    record = std::move(fetched);
}

SystemDataRecord SystemDataFromBuffer() {
    const auto& buf = Link().SystemDataBuf;
    SystemDataRecord r;
    r.OverlayBytes(buf.data(), SystemDataRecord::Size);
    return r;
}

template <typename Dest>
void StoreSamples(Dest& dest, const std::vector<int32_t>& values) {
    const size_t n = std::min<size_t>(std::size(dest), values.size());
    std::fill(std::begin(dest), std::end(dest), 0);
    std::copy(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(n), std::begin(dest));
}

// Bytes of a waveform-view block: 600 codes, or 600 16-bit words of the
// logic analyser.
constexpr int WavePoints = 600;
int WaveBlockBytes(const QString& source) { return source == "LA" ? 2 * WavePoints : WavePoints; }

// Reads one ":WAVEFORM:DATA?" reply (already asked for) into a sample array
// of the target record and moves the progress to the trace's cap. A block
// shorter than the trace's points stops the job: the view draws whole
// traces only, never points that did not come.
template <typename Dest>
void ReadWaveBlock(Dest& dest, double cap, const QString& source, const QString& invertWord,
                   const QString& runWord, bool splitDisplay) {
    auto& t = Transfer();
    static BlockSamples samples;
    const int n = ReadBlockIntoSamples(samples, true);
    if (n < WaveBlockBytes(source)) StopAtGarbledReply();
    if (!RepliesWhileWaiting()) YieldOnce();

    SetProgress(static_cast<float>(cap));
    RepaintBar();
    t.WavePercent = ClampToInt16(std::nearbyint(cap));
    ShowWavePercentOf(t.TransferSlot);
    if (RepliesWhileWaiting()) SetProgressTimer(false);

    if (source == "LA") {
        StoreSamples(dest, std::vector<int32_t>(samples.begin(), samples.end()));
        return;
    }
    StoreSamples(dest, ConvertWaveSamples(samples.data(), n, source, invertWord, runWord,
                                          splitDisplay, Link().SampleCodeMin));
}

// The row text of a measurement value (IsMeasureValue): the number in the
// row's unit, or its overflow mark; a bound keeps its sign before it
// ("<2.000ns"); the "*" mark is "*****" (the percent rows keep it as it came).
QString FormatMeasure(UnitFamily family, const QString& reply) {
    if (reply.contains(QLatin1Char('*')))
        return family == UnitFamily::Percent ? reply : NoMeasureValue();
    const QString value = FormatFamilyValue(family, MeasureNumber(reply).value);
    return IsBoundReply(reply) ? reply.left(1) + value : value;
}

bool ValidSlot(int slot) { return slot >= 0 && slot < static_cast<int>(std::size(Sheets().WaveViews)); }

}  // namespace

TransferStateData& Transfer() {
    static TransferStateData s;
    return s;
}

TransferHooks& TransferUi() {
    static TransferHooks h;
    return h;
}

// --- progress -----------------------------------------------------------------

void SetProgress(double value) {
    auto& t = Transfer();
    if (value < 0 || value > t.ProgressMax) return;  // refused, as the bar does
    t.ProgressValue = value;
}

void AddProgress(double step) {
    SetProgress(static_cast<float>(Transfer().ProgressValue + step));
    RepaintBar();
}

void SetProgressTimer(bool on) {
    Transfer().ProgressTimerOn = on;
    if (!QCoreApplication::instance()) return;
    if (on) {
        ProgressTimer().start(Transfer().ProgressTimerInterval);
    } else {
        ProgressTimer().stop();
    }
}

void SetProgressTimerInterval(int ms) {
    Transfer().ProgressTimerInterval = std::max(ms, 0);
    if (QCoreApplication::instance()) ProgressTimer().setInterval(Transfer().ProgressTimerInterval);
}

void ProgressTimerTick() {
    auto& t = Transfer();
    AddProgress(t.ProgressStep);
    if (t.TransferCode == JobWaveView && t.TransferBusy) {
        int percent = t.WavePercent + t.ProgressStep;
        if (percent > t.WavePercentCap) percent = static_cast<int>(std::nearbyint(t.WavePercentCap));
        if (percent > 100) percent = 100;
        t.WavePercent = ClampToInt16(percent);
        ShowWavePercentOf(t.TransferSlot);
    }
}

void ShowWavePercentOf(int slot) {
    if (slot < 0 || slot > 17) return;
    ShowWavePercent(slot, Transfer().WavePercent);
}

// --- pure helpers ---------------------------------------------------------------

double ReplyNumber(const QString& reply) {
    bool ok = false;
    const double v = QLocale::c().toDouble(TrimReply(reply).trimmed(), &ok);
    return ok && std::isfinite(v) ? v : 0.0;
}

int OffsetInPoints(float offset, float voltsPerDiv) {
    if (voltsPerDiv == 0) return 0;
    const float x = offset * 25.0f / voltsPerDiv;
    if (!std::isfinite(x)) return 0;
    const double shifted = offset > 0 ? double(x) + 0.5 : double(x) - 0.5;
    return ClampToInt16(std::nearbyint(shifted));
}

QString FormatTableNumber(double value) {
    if (!std::isfinite(value)) return QString();
    // The table's numbers are single-precision values: they are rounded from
    // their 7 significant digits, as the mask does for such a value.
    return FormatWithMask(value, value >= 1 ? QStringLiteral("0.00E+00") : QStringLiteral("0.00E-00"),
                          Precision::Single);
}

std::vector<int32_t> ConvertWaveSamples(const int32_t* src, int n, const QString& source,
                                        const QString& invertWord, const QString& runWord,
                                        bool splitDisplay, int sampleCodeMin) {
    std::vector<int32_t> out(8193, 0);
    n = std::clamp(n, 0, 8192);
    const int m = sampleCodeMin;
    const bool channel = source == "CH1" || source == "CH2";
    const bool upsideDown = channel && invertWord == "ON" && runWord == "RUN";
    for (int i = 1; i <= n; ++i) {
        const int v = src[i];
        int value;
        if (source == "FFT") {
            const double shifted = splitDisplay ? std::nearbyint(v - m / 2.0) : double(v - m);
            value = static_cast<int>(std::clamp(shifted, 0.0, 199.0));
        } else {
            value = std::clamp(v, m, m + 199) - m;
            if (upsideDown) value = 200 - value;
        }
        out[static_cast<size_t>(i)] = value;
    }
    return out;
}

// --- system data ----------------------------------------------------------------

bool ReadSystemData() {
    auto& t = Transfer();
    auto& buf = Link().SystemDataBuf;
    CommandPort& port = CommandLink();
    const bool background = port.RepliesWhileWaiting();
    SendCmd(":SYSTEM:DATA?");
    if (!background) SetProgressTimerInterval(1);
    // Cleared first: a missing or short reply never passes the previous
    // screen layout off as this one.
    buf.fill(0);
    SetProgressTimer(true);
    t.ProgressStep = 1;
    QByteArray bytes;
    const int stored = port.ReadSystemDataBlock(bytes, static_cast<int>(buf.size()));
    const int n = std::clamp(stored, 0, static_cast<int>(std::min<qsizetype>(bytes.size(), qsizetype(buf.size()))));
    std::copy(bytes.constData(), bytes.constData() + n, reinterpret_cast<char*>(buf.data()));
    if (!background) YieldOnce();
    SetProgressTimer(false);
    SetProgressTimerInterval(background ? 200 : 1);
    return stored >= SystemDataRecord::Size;
}

// --- measurement job ------------------------------------------------------------

static void MeasureJob(const QString& channel) {
    auto& t = Transfer();
    const int n = channel == "CH1" ? 1 : 2;
    const QString source = QStringLiteral("CHANNEL%1").arg(n);
    ClearMeasureResults();
    t.DataTitle.clear();

    PauseMs(200);
    const QString mode = ModeReply();
    t.DataTitle = QStringLiteral("CH%1 ").arg(n) + FormatVolt(NumberReply(":" + source + ":SCALE?"));
    const QString rate = NumberReply(":ACQUIRE:SAMP? " + source);
    QString time;
    if (mode == "ALTERNATION") {
        SendCmd(":TRIGGER:ALTERNATION:SOURCE " + source);
        time = FormatTime4(NumberReply(":TRIGGER:ALTERNATION:TIMESCALE?"));
    } else {
        time = FormatTime4(NumberReply(":TIMEBASE:SCALE?"));
    }
    t.DataTitle += "  " + time;
    t.DataTitle += " " + RateText(rate) + " " + " [Date:" + ShortDate() + "]";

    SendCmd(":MEASURE:SOURCE " + source);
    for (int row = 0; row < 18; ++row) {
        const MeasureRow& r = MeasureOfItem(MeasureQueryOrder[size_t(row)]);
        // Only a query that got no whole reply stops the job; one row's
        // unusable reply leaves that row without a value and the others
        // kept. It leaves the link out of step: the next row's query first
        // puts it back, and stops the job when it cannot.
        const QString reply = Query(QStringLiteral(":MEASURE:%1? ").arg(QLatin1String(r.keyword)) + source);
        AddProgress(5.6);
        YieldOnce();
        const bool value = IsMeasureValue(reply);
        t.MeasureResults[static_cast<size_t>(r.item)].Value = value ? FormatMeasure(r.family, reply) : NoMeasureValue();
        if (!value) {
            ++t.MeasureUnread;
            NoteReplyGarbled();
        }
        if (row < 17) PauseMs(100);
    }
}

// --- data-table job -------------------------------------------------------------

static void DataTableJob(const QString& channel) {
    auto& t = Transfer();
    const bool isCh1 = channel == "CH1";
    const bool isCh2 = channel == "CH2";
    const bool isLa = channel == "LA";
    const QString source = isCh1 ? "CHANNEL1" : "CHANNEL2";
    ClearDataTable();
    t.DataTitle.clear();

    const QString runWord = RunWord();
    if (!ReadSystemData()) StopJob();
    const SystemDataRecord screen = SystemDataFromBuffer();
    const QString mode = ModeReply();

    const float voltsPerDiv = static_cast<float>(SingleReply(":" + source + ":SCALE?"));
    const float offset = static_cast<float>(SingleReply(":" + source + ":OFFSET?"));
    const QString invertWord = OnOffReply(":" + source + ":INVERT?");
    const int offsetPoints = OffsetInPoints(offset, voltsPerDiv);

    int first = screen.TraceFirstX;
    int last = screen.TraceLastX;
    float timePerDiv = 0;
    double timeOffset = 0;
    if (mode == "ALTERNATION" && (isCh1 || isCh2)) {
        first = isCh1 ? screen.UpperFirstX : screen.LowerFirstX;
        last = isCh1 ? screen.UpperLastX : screen.LowerLastX;
        SendCmd(":TRIGGER:ALTERNATION:SOURCE " + source);
        timePerDiv = static_cast<float>(SingleReply(":TRIGGER:ALTERNATION:TIMESCALE?"));
        timeOffset = SingleReply(":TRIGGER:ALTERNATION:TIMEOFFSET?");
    } else {
        timePerDiv = static_cast<float>(SingleReply(":TIMEBASE:SCALE?"));
        timeOffset = SingleReply(":TIMEBASE:OFFSET?");
    }

    // The window's columns come from the instrument: a window that starts
    // before column 0 or ends before it starts holds no points.
    int count = (first >= 0 && last >= first) ? 2 * (last - first + 1) : 0;
    count = std::min(count, MaxTableEntries);
    if ((isCh1 && screen.CH1Shown == 0) || (isCh2 && screen.CH2Shown == 0)) count = 0;

    const float dt = timePerDiv / 50.0f;
    SetProgress(5);
    RepaintBar();
    t.ProgressStep = 3;

    QString volts, rate;
    if (!isLa) {
        volts = FormatVolt(NumberReply(":" + source + ":SCALE?"));
        rate = NumberReply(":ACQUIRE:SAMP? " + source);
    }
    const QString head = (isCh1 ? "CH1 " : isCh2 ? "CH2 " : "LA ") + volts + "  " +
                         FormatTime4(QString::number(timePerDiv, 'g', 7)) + " " + RateText(rate) +
                         " " + " Size=";

    SendCmd(":WAVEFORM:DATA? " + (isLa ? QStringLiteral("DIGITAL") : source));
    static BlockSamples samples;
    const int received = ReadBlockIntoSamples(samples, RepliesWhileWaiting());
    SetProgress(t.ProgressMax);
    RepaintBar();
    if (!RepliesWhileWaiting()) YieldOnce();

    // A block that does not hold every point of the window (cut, or a text
    // where the samples should be) is no trace: the job fails rather than
    // make a shorter table of it.
    if (count > 0 && received < 2 * first + count) StopAtGarbledReply();
    t.DataPointCount = count;
    t.DataTitle = head + QString::number(count) + "  [Date:" + ShortDate() + "]";

    for (int k = 1; k <= count; ++k) {
        const int j = 2 * first + k - 1;
        const int p = j - 300 + 2 * first;
        const float time = ToSingle(double(dt) * p + timeOffset);
        t.DataTimeText[static_cast<size_t>(k)] = FormatTableNumber(time);
    }
    if (isCh1 || isCh2) {
        const int m = Link().SampleCodeMin;
        const bool upsideDown = invertWord == "ON" && runWord == "RUN";
        for (int i = 1; i <= count; ++i) {
            const int raw = samples[static_cast<size_t>(2 * first + i)];
            const int row = upsideDown ? 200 - (raw - m) : raw - m;
            const float v = ToSingle(double(100 - offsetPoints - row) * voltsPerDiv / 25.0);
            t.DataVoltText[static_cast<size_t>(i)] = FormatTableNumber(v);
        }
    }
    SetProgressTimer(false);
}

// --- waveform-view job ------------------------------------------------------------

// Fills `w`, a scratch copy of the view's record.
static void WaveViewJob(WaveInfo& w) {
    auto& t = Transfer();
    auto& mirror = DSOSettings();
    const QString onWord = OnWord();
    const QString offWord = OffWord();

    const QString runWord = RunWord();
    mirror.MathDisplay = OnOffToText(OnOffReply(":MATH:DISPLAY?"));
    mirror.FFTDisplay = OnOffToText(OnOffReply(":FFT:DISPLAY?"));
    if (mirror.MathDisplay == offWord && w.MathChosen) w.MathChosen = false;

    const int chosen = int(w.Ch1Chosen) + int(w.Ch2Chosen) + int(w.MathChosen) + int(w.LaChosen);
    double share = 0;
    if (chosen > 0) {
        share = t.ProgressMax / chosen;
        t.WavePercentCap = share;
    }
    w.Ch1Fetched = w.Ch1Chosen;
    w.Ch2Fetched = w.Ch2Chosen;
    w.MathFetched = w.MathChosen;
    w.LaFetched = w.LaChosen;

    if (!ReadSystemData()) StopJob();
    w.SystemData = SystemDataFromBuffer();
    w.TriggerMode = ModeReply();
    w.MathDisplayWord = mirror.MathDisplay;
    w.FftDisplayWord = mirror.FFTDisplay;
    w.SplitDisplay = w.TriggerMode == "ALTERNATION" ||
                     (mirror.FFTDisplay == onWord && w.SystemData.FFTFullScreen == 0);
    w.PointCount = 600;

    const QString format = WordReply(":TIMEBASE:FORMAT?", {"Y-T", "X-Y", "SCANNING"});
    if (format == "Y-T") {
        w.YTFormat = true;
        w.XYFormat = false;
        w.YTVariant = w.SystemData.ScanFlag != 0;
    } else if (format == "X-Y") {
        w.YTVariant = false;
        w.YTFormat = false;
        w.XYFormat = true;
        w.Ch1Chosen = true;
        w.Ch2Chosen = true;
        const struct { QString* display; int group; } channels[2] = {
            {&mirror.CH1Display, 2}, {&mirror.CH2Display, 3}};
        for (const auto& c : channels) {
            if (*c.display == onWord) continue;
            *c.display = onWord;
            if (CtrlTreeUi().SetNodeText)
                CtrlTreeUi().SetNodeText(c.group, 2, DisplayLabel() + " [" + onWord + "]");
        }
    } else {
        w.YTFormat = false;
        w.XYFormat = false;
        w.YTVariant = true;
    }
    w.SpareFlag = false;

    if (w.Ch1Chosen) {
        w.ChannelCode = 1;
        w.Ch1Scale = FormatVolt(NumberReply(":CHANNEL1:SCALE?"));
        w.Ch1Offset = FormatVolt(NumberReply(":CHANNEL1:OFFSET?"));
    }
    if (w.Ch2Chosen) {
        w.ChannelCode = 2;
        w.Ch2Scale = FormatVolt(NumberReply(":CHANNEL2:SCALE?"));
        w.Ch2Offset = FormatVolt(NumberReply(":CHANNEL2:OFFSET?"));
    }

    if (w.TriggerMode == "ALTERNATION") {
        SendCmd(":TRIGGER:ALTERNATION:SOURCE CHANNEL1");
        PauseMs(100);
        w.AltCh1TimeScale = FormatTime4(NumberReply(":TRIGGER:ALTERNATION:TIMESCALE?"));
        w.AltCh1TimeOffset = FormatTime4(NumberReply(":TRIGGER:ALTERNATION:TIMEOFFSET?"));
        SendCmd(":TRIGGER:ALTERNATION:SOURCE CHANNEL2");
        PauseMs(100);
        w.AltCh2TimeScale = FormatTime4(NumberReply(":TRIGGER:ALTERNATION:TIMESCALE?"));
        w.AltCh2TimeOffset = FormatTime4(NumberReply(":TRIGGER:ALTERNATION:TIMEOFFSET?"));
    } else {
        w.TimeScale = FormatTime4(NumberReply(":TIMEBASE:SCALE?"));
        w.TimeOffset = FormatTime4(NumberReply(":TIMEBASE:OFFSET?"));
    }
    w.FetchDate = ShortDate();

    if (w.YTFormat || w.YTVariant) {
        // One analogue channel (1 or 2), read with its invert setting.
        const auto readChannel = [&](int channel, auto& samples) {
            t.ProgressStep = 3;
            const QString name = QString("CHANNEL%1").arg(channel);
            const QString invert = OnOffReply(":" + name + ":INVERT?");
            SendCmd(":WAVEFORM:DATA? " + name);
            ReadWaveBlock(samples, t.WavePercentCap, QString("CH%1").arg(channel), invert, runWord,
                          w.SplitDisplay);
            t.WavePercentCap += share;
        };
        if (w.Ch1Chosen) readChannel(1, w.Ch1Samples);
        if (w.Ch2Chosen) readChannel(2, w.Ch2Samples);
        if (w.MathChosen) {
            if (w.FftDisplayWord == onWord) {
                t.ProgressStep = 1;
                SendCmd(":WAVEFORM:DATA? FFT");
                ReadWaveBlock(w.FftSamples, t.WavePercentCap, "FFT", "OFF", runWord, w.SplitDisplay);
            } else {
                t.ProgressStep = 3;
                SendCmd(":WAVEFORM:DATA? MATH");
                ReadWaveBlock(w.MathSamples, t.WavePercentCap, "MATH", "OFF", runWord, w.SplitDisplay);
            }
            t.WavePercentCap += share;
        }
        if (w.LaChosen) {
            t.ProgressStep = 1;
            SendCmd(":WAVEFORM:DATA? DIGITAL");
            ReadWaveBlock(w.LaSamples, t.ProgressMax, "LA", "OFF", runWord, w.SplitDisplay);
        }
    } else if (w.XYFormat) {
        const QString invert1 = OnOffReply(":CHANNEL1:INVERT?");
        SendCmd(":WAVEFORM:DATA? CHANNEL1");
        ReadWaveBlock(w.Ch1Samples, t.WavePercentCap, "CH1", invert1, runWord, w.SplitDisplay);
        const QString invert2 = OnOffReply(":CHANNEL2:INVERT?");
        SendCmd(":WAVEFORM:DATA? CHANNEL2");
        ReadWaveBlock(w.Ch2Samples, t.WavePercentCap, "CH2", invert2, runWord, w.SplitDisplay);
    }
}

void FetchMeasurements(const QString& channel) {
    Guarded([&] { MeasureJob(channel); }, [] { DiscardResults(JobMeasureCH1); });
}

void FetchDataTable(const QString& channel) {
    Guarded([&] { DataTableJob(channel); }, [] { DiscardResults(JobDataCH1); });
}

void FetchWaveView(const QString&) {
    const int slot = Transfer().TransferSlot;
    if (!ValidSlot(slot)) return;
    // The job fills a scratch copy; the view's record takes it only when the
    // whole job succeeded, so a failed fetch leaves the record, the window
    // and the sheet saved from it exactly as they were.
    auto scratch = std::make_unique<WaveInfo>(Sheets().WaveViews[size_t(slot)]);
    const TraceChoices before(*scratch);
    Guarded(
        [&] {
            WaveViewJob(*scratch);
            CommitWaveFetch(Sheets().WaveViews[size_t(slot)], *scratch, before);
        },
        [] { DiscardResults(JobWaveView); });
}

// --- the caller's side ---------------------------------------------------------

bool RunTransfer(int code, const QString& caption, bool showWindow, int slot,
                 const std::function<void()>& beforeShow) {
    auto& t = Transfer();
    if (t.TransferBusy) return false;
    t.TransferFailed = false;
    const TransferHooks& ui = TransferUi();
    if (!RequireHook(ui.LoadTransferWindow, "TransferUi().LoadTransferWindow") ||
        !RequireHook(ui.ShowTransferWindow, "TransferUi().ShowTransferWindow"))
        return false;
    ui.LoadTransferWindow(caption);
    t.TransferCode = code;
    if (code == JobWaveView) t.TransferSlot = slot;
    t.TransferDone = false;
    if (beforeShow) beforeShow();
    if (showWindow) ui.ShowTransferWindow();
    YieldUntil([] { return Transfer().TransferDone; });
    return !t.TransferFailed;
}

// --- dispatcher -------------------------------------------------------------------

void RunTransferJob(int code) {
    auto& t = Transfer();
    t.TransferFailed = false;
    switch (code) {
    case JobMeasureCH1: FetchMeasurements("CH1"); break;
    case JobMeasureCH2: FetchMeasurements("CH2"); break;
    case JobDataCH1: FetchDataTable("CH1"); break;
    case JobDataCH2: FetchDataTable("CH2"); break;
    case JobDataLA: FetchDataTable("LA"); break;
    case JobWaveView:
        if (!ValidSlot(t.TransferSlot)) break;
        FetchWaveView("WAVE");
        if (TransferUi().HideWaveProgress) TransferUi().HideWaveProgress(t.TransferSlot);
        break;
    case JobUpload:
        if (RequireHook(TransferUi().UploadSettings, "TransferUi().UploadSettings")) TransferUi().UploadSettings();
        break;
    case JobDownload:
        if (RequireHook(TransferUi().DownloadSettings, "TransferUi().DownloadSettings"))
            TransferUi().DownloadSettings();
        break;
    default:
        // No job for an unset or unknown code; the caller finds empty results
        // rather than those of an earlier transfer.
        ClearMeasureResults();
        ClearDataTable();
        t.DataTitle.clear();
        break;
    }
}

void TransferJobTick() {
    auto& t = Transfer();
    t.TransferFailed = false;
    QueryCmd(":TRIGGER:STATUS?");
    // No answer to the first query: a data job is not started. The settings
    // transfers (22, 23) meet the silence themselves and report it their way.
    const bool settingsJob = t.TransferCode == JobUpload || t.TransferCode == JobDownload;
    if (Link().ReplyFailed && Link().IsConnected && !settingsJob) {
        DiscardResults(t.TransferCode);
        FailJob();
        if (t.TransferCode == JobWaveView && TransferUi().HideWaveProgress && ValidSlot(t.TransferSlot))
            TransferUi().HideWaveProgress(t.TransferSlot);
    } else {
        RunTransferJob(t.TransferCode);
    }
    RepaintBar();
    PauseMs(200);
    SetProgressTimer(false);
    // A caller that does not set a code next time runs nothing.
    t.TransferCode = JobNone;
    t.TransferDone = true;
    t.TransferBusy = false;
    NotifyWaiters();
}
