#include "link/Vocabulary.h"

#include <algorithm>
#include <initializer_list>
#include <utility>
#include <vector>

#include "common/ShellState.h"
#include "link/Converters.h"
#include "link/MeasureCatalog.h"

namespace {

struct Pair {
    const char* en;
    const char* zh;
};

const Pair kValueWords[ValueWordCount] = {
    {"RUN", "运行"},
    {"STOP", "停止"},
    {"ON", "打开"},
    {"OFF", "关闭"},
    {"USER", "用户定义"},
    {"EDGE", "边沿触发"},
    {"PULSE", "脉宽触发"},
    {"VIDEO", "视频触发"},
    {"SLOPE", "斜率触发"},
    {"ALTERNATIVE", "交替触发"},
    {"PATTERN", "码型触发"},
    {"DURATION", "持续时间触发"},
    {"AC", "市电"},
    {"AC", "交流"},
    {"DC", "直流"},
    {"LF", "低频抑制"},
    {"HF", "高频抑制"},
    {"GND", "接地"},
    {"AUTO", "自动"},
    {"NORMAL", "普通"},
    {"SINGLE", "单次"},
    {"RISING", "上升沿"},
    {"FALLING", "下降沿"},
    {"ALTERNATION", "上升&下降沿"},
    {"+Less Than", "正脉宽小于"},
    {"-Less Than", "负脉宽小于"},
    {"+Greater Than", "正脉宽大于"},
    {"-Greater Than", "负脉宽大于"},
    {"+Equal", "正脉宽等于"},
    {"-Equal", "负脉宽等于"},
    {"POSITIVE", "正极性"},
    {"NEGATIVE", "负极性"},
    {"ALLlines", "所有行"},
    {"LINE", "指定行"},
    {"ODDfield", "奇数场"},
    {"EVENfield", "偶数场"},
    {"+Less Than", "上升沿小于"},
    {"-Less Than", "下降沿小于"},
    {"+Greater Than", "上升沿大于"},
    {"-Greater Than", "下降沿大于"},
    {"+Equal", "上升沿等于"},
    {"-Equal", "下降沿等于"},
    {"Less Than", "小于"},
    {"Greater Than", "大于"},
    {"Equal", "等于"},
    {"REAL_TIME", "实时采样"},
    {"EQUAL_TIME", "等效采样"},
    {"NORMAL", "普通"},
    {"PEAKDETECT", "峰值检测"},
    {"AVERAGE", "平均"},
    {"VECTORS", "矢量"},
    {"DOTS", "点"},
    {"FULL", "完全"},
    {"HALF", "半网格"},
    {"NONE", "无"},
};

// nullptr marks an unused index; a null Chinese text marks an entry that
// reads the same in both languages.
const Pair kControllerLabels[ControllerLabelCount] = {
    {"Running Control", "运行控制"},   // 0
    {"Run|Stop", "运行|停止"},         // 1
    {"Auto Set", "自动设置"},          // 2
    {"Set Trig to 50%", "触发电平至50%"},
    {"Force Trigger", "强制触发"},
    {"Display", "显示"},               // 5
    {"CH1", nullptr},
    {"CH2", nullptr},
    {"Volt/Div", "档位"},
    {"Offset", "偏移"},
    {"Coupling", "耦合"},              // 10
    {"BW Limit", "带宽限制"},
    {"Probe", "探头"},
    {"Invert", "反相"},
    {"LA", nullptr},
    {"Position", "位置"},              // 15
    {"Reset", "复位"},
    {"Threshold", "门限类型"},
    {"Time Base", "水平系统"},
    {"Time/Div", "时基"},
    {"Delay", "位移"},                 // 20
    {"Holdoff", "触发释抑"},
    {"Memory Size", "内存大小"},
    {"Format", "模式"},
    {"Trigger", "触发系统"},
    {"Method", "触发模式"},            // 25
    {"Source", "信源选择"},
    {"Slope", "边沿类型"},
    {"Mode", "触发方式"},
    {"Polarity", "视频极性"},
    {"Sync", "同步"},                  // 30
    {"Line number", "指定行"},
    {"Video Standard", "视频标准"},
    {"Pulse mode", "脉宽模式"},
    {"Pulse width", "脉冲宽度"},
    {"Slope mode", "斜率条件"},        // 35
    {"Slope time", "斜率时间"},
    {"Slope Window", "垂直窗"},
    {"Trig type", "触发类型"},
    {"Code", "码型"},
    {"H", nullptr},                    // 40
    {"L", nullptr},
    {"X", nullptr},
    {"Rising", "上升沿"},
    {"Falling", "下降沿"},
    {"D15", nullptr},                  // 45
    {"D14", nullptr},
    {"D13", nullptr},
    {"D12", nullptr},
    {"D11", nullptr},
    {"D10", nullptr},                  // 50
    {"D9", nullptr},
    {"D8", nullptr},
    {"D7", nullptr},
    {"D6", nullptr},
    {"D5", nullptr},                   // 55
    {"D4", nullptr},
    {"D3", nullptr},
    {"D2", nullptr},
    {"D1", nullptr},
    {"D0", nullptr},                   // 60
    {"D15-D8", nullptr},
    {"D7-D0", nullptr},
    {nullptr, nullptr},                // 63 unused
    {"Qualifier", "限定符"},
    {"Duration time", "持续时间"},     // 65
    {"Level", "触发电平"},
    {"LevelA", "触发电平A"},
    {"LevelB", "触发电平B"},
    {"Sensitivity", "触发灵敏度"},
    {"Acquire", "采样系统"},           // 70
    {"Sampling Mode", "采样方式"},
    {nullptr, nullptr},                // 72 unused
    {"Acquisition", "获取方式"},
    {"Averages", "平均次数"},
    {"Intensity", "亮度"},             // 75
    {"Anti-aliasing", "Anti-aliasing"},
    {"Display", "显示系统"},
    {"Type", "显示类型"},
    {"Persist", "波形保持"},
    {"Grid", "网格"},                  // 80
    {"Clear", "清除显示"},
    {"Virtual Keyboard", "虚拟系统"},
    {"Virtual Panel", "虚拟面板"},
};

const Pair kDefaultSheetName = {"Untitle", "未标题"};
const Pair kSheetRootName = {"Data Sheet", "数据浏览器"};

QString pick(const Pair& p, int language) {
    if (language == 1) return QString::fromUtf8(p.en ? p.en : "");
    if (language == 0) return QString::fromUtf8(p.zh ? p.zh : (p.en ? p.en : ""));
    return QString();
}

bool isLanguage(int language) { return language == 0 || language == 1; }

}  // namespace

VocabularyData& Vocabulary() {
    static VocabularyData v;
    return v;
}

const QString& ValueWord(int index) {
    static const QString empty;
    if (index < 0 || index >= ValueWordCount) return empty;
    return Vocabulary().ValueWords[index];
}

const QString& ControllerLabel(int index) {
    static const QString empty;
    if (index < 0 || index >= ControllerLabelCount) return empty;
    return Vocabulary().ControllerLabels[index];
}

QString ValueWordIn(int index, int language) {
    if (index < 0 || index >= ValueWordCount) return QString();
    return pick(kValueWords[index], language);
}

bool IsOnWordOfEitherLanguage(const QString& word) {
    return !word.isEmpty() &&
           (word == ValueWordIn(vwOn, LangEnglish) || word == ValueWordIn(vwOn, LangChinese));
}

QString ControllerLabelIn(int index, int language) {
    if (index < 0 || index >= ControllerLabelCount) return QString();
    return pick(kControllerLabels[index], language);
}

QString MeasureNameIn(int index, int language) {
    if (index < 0 || index >= MeasureNameCount) return QString();
    return MeasureItemName(MeasureNameOrder[size_t(index)], language);
}

void LoadMeasureNames(int language) {
    if (!isLanguage(language)) return;
    for (int i = 0; i < MeasureNameCount; ++i)
        Vocabulary().MeasureNames[i] = MeasureNameIn(i, language);
}

void LoadValueWords(int language) {
    if (!isLanguage(language)) return;
    for (int i = 0; i < ValueWordCount; ++i)
        Vocabulary().ValueWords[i] = pick(kValueWords[i], language);
}

void LoadControllerLabels(int language) {
    VocabularyData& v = Vocabulary();
    // Entries that read the same in both languages first, whatever the language.
    for (int i = 0; i < ControllerLabelCount; ++i)
        if (kControllerLabels[i].en && !kControllerLabels[i].zh)
            v.ControllerLabels[i] = QString::fromUtf8(kControllerLabels[i].en);
    if (!isLanguage(language)) return;
    for (int i = 0; i < ControllerLabelCount; ++i)
        if (kControllerLabels[i].en && kControllerLabels[i].zh)
            v.ControllerLabels[i] = pick(kControllerLabels[i], language);
    v.DefaultSheetName = pick(kDefaultSheetName, language);
    v.SheetRootName = pick(kSheetRootName, language);
}

namespace {

constexpr int kKeep = -1;

// The fields of one trigger for each of its types: the main trigger, and the
// trigger of each channel under alternation.
struct TriggerFields {
    QString &edgeSlope, &edgeCoupling, &edgeLevel, &edgeSensitivity;
    QString &pulseMode, &pulseWidth, &pulseCoupling, &pulseLevel, &pulseSensitivity;
    QString &videoPolarity, &videoSync, &videoStandard, &videoLine, &videoLevel, &videoSensitivity;
    QString &slopeMode, &slopeTime, &slopeWindow, &slopeLevelA, &slopeLevelB, &slopeCoupling,
        &slopeSensitivity;
};

#define KV_TRIGGER_FIELDS(s, p)                                                                  \
    TriggerFields {                                                                              \
        s.p##EdgeSlope, s.p##EdgeCoupling, s.p##EdgeLevel, s.p##EdgeSensitivity, s.p##PulseMode, \
            s.p##PulseWidth, s.p##PulseCoupling, s.p##PulseLevel, s.p##PulseSensitivity,        \
            s.p##VideoPolarity, s.p##VideoSync, s.p##VideoStandard, s.p##VideoLine,              \
            s.p##VideoLevel, s.p##VideoSensitivity, s.p##SlopeMode, s.p##SlopeTime,              \
            s.p##SlopeWindow, s.p##SlopeLevelA, s.p##SlopeLevelB, s.p##SlopeCoupling,            \
            s.p##SlopeSensitivity                                                                \
    }

TriggerFields mainTrigger(CtrlSettings& s) { return KV_TRIGGER_FIELDS(s, Trigger); }

// Channel 1 or 2 under alternation.
TriggerFields altTrigger(CtrlSettings& s, int channel) {
    return channel == 1 ? KV_TRIGGER_FIELDS(s, AltCH1) : KV_TRIGGER_FIELDS(s, AltCH2);
}

#undef KV_TRIGGER_FIELDS

class Translator {
public:
    Translator(int newLanguage, int oldLanguage) : newL(newLanguage), oldL(oldLanguage) {}

    // Compares the field with the old texts of the words in order; the first
    // match receives that word in the new language. Without a match the field
    // receives the fallback word, or keeps its text for kKeep.
    bool Rewrite(QString& field, std::initializer_list<int> words, int fallback) const {
        for (int k : words) {
            if (field == ValueWordIn(k, oldL)) {
                field = ValueWordIn(k, newL);
                return true;
            }
        }
        if (fallback != kKeep) field = ValueWordIn(fallback, newL);
        return false;
    }

    // The same row for a field whose group is not in force: only a
    // recognised word of the row (its fallback word included) is translated,
    // any other text stays as it is.
    void RewriteIf(bool inForce, QString& field, std::initializer_list<int> words,
                   int fallback) const {
        if (inForce) {
            Rewrite(field, words, fallback);
            return;
        }
        if (Rewrite(field, words, kKeep) || fallback == kKeep) return;
        Rewrite(field, {fallback}, kKeep);
    }

    // A pattern or duration code: "H", "L" and "X" read the same in both
    // languages; an edge is held as the "Rising"/"Falling" label, and the
    // edge-slope words of the old language are taken as the same edges.
    void RewriteCode(QString& code) const {
        if (code == ControllerLabelIn(clRising, oldL) || code == ValueWordIn(vwRising, oldL))
            code = ControllerLabelIn(clRising, newL);
        else if (code == ControllerLabelIn(clFalling, oldL) ||
                 code == ValueWordIn(vwFalling, oldL))
            code = ControllerLabelIn(clFalling, newL);
    }

    // Index of the word among `words` whose text in `language` the field
    // holds, or -1.
    static int Match(const QString& field, std::initializer_list<int> words, int language) {
        for (int k : words)
            if (field == ValueWordIn(k, language)) return k;
        return -1;
    }

    // The value words of a trigger; each flag tells whether its type is the
    // one in force.
    void RewriteTrigger(const TriggerFields& f, bool edge, bool pulse, bool video,
                        bool slope) const {
        RewriteIf(edge, f.edgeSlope, {vwRising, vwFalling}, vwAlternation);
        RewriteIf(edge, f.edgeCoupling, {vwCouplingAC, vwDC, vwLF}, vwHF);
        RewriteIf(pulse, f.pulseMode,
                  {vwPulseLessPos, vwPulseLessNeg, vwPulseGreaterPos, vwPulseGreaterNeg,
                   vwPulseEqualPos},
                  vwPulseEqualNeg);
        RewriteIf(pulse, f.pulseCoupling, {vwCouplingAC, vwDC, vwLF}, vwHF);
        RewriteIf(video, f.videoPolarity, {vwPositive}, vwNegative);
        RewriteIf(video, f.videoSync, {vwAllLines, vwLine, vwOddField}, vwEvenField);
        RewriteIf(slope, f.slopeMode,
                  {vwSlopeLessPos, vwSlopeLessNeg, vwSlopeGreaterPos, vwSlopeGreaterNeg,
                   vwSlopeEqualPos},
                  vwSlopeEqualNeg);
        RewriteIf(slope, f.slopeCoupling, {vwCouplingAC, vwDC, vwLF}, vwHF);
    }

    int newL, oldL;
};

}  // namespace

void TranslateSettingWords(CtrlSettings& s, int newLanguage, int oldLanguage) {
    if (newLanguage == oldLanguage || !isLanguage(oldLanguage) || !isLanguage(newLanguage))
        return;
    const Translator t(newLanguage, oldLanguage);

    // Run state, channels and the logic analyser.
    t.Rewrite(s.RunStop, {vwRun}, vwStop);
    for (QString* f : {&s.CH1Display, &s.CH1BWLimit, &s.CH2Display, &s.CH2BWLimit,
                       &s.LAGroupHighDisplay, &s.LAGroupLowDisplay, &s.LADisplay})
        t.Rewrite(*f, {vwOn}, vwOff);
    for (QString* f : {&s.CH1Coupling, &s.CH2Coupling}) t.Rewrite(*f, {vwCouplingAC, vwDC}, vwGND);
    for (int k = 1; k <= 16; ++k) t.Rewrite(s.LAChannelDisplay[k], {vwOn}, vwOff);
    t.Rewrite(s.LAThreshold, {vwUser}, kKeep);
    for (QString* f : {&s.AltCH1TrigType, &s.AltCH2TrigType})
        t.Rewrite(*f, {vwEdge, vwPulse, vwSlope, vwVideo}, kKeep);

    // On/off values without a tree node: translated when they hold an
    // on/off word (an empty text stays empty).
    for (QString* f : {&s.CH1Invert, &s.CH2Invert, &s.SpareSwitch, &s.MathDisplay,
                       &s.FFTDisplay, &s.AntiAliasing})
        t.Rewrite(*f, {vwOn, vwOff}, kKeep);

    // Trigger: the fields of the method in force follow the full rules (an
    // unknown word becomes the list's last word); the fields of the other
    // methods are translated where they hold a word of their list, so that a
    // later switch of method finds words of the current language.
    int method = Translator::Match(
        s.TriggerMethod,
        {vwEdge, vwPulse, vwSlope, vwVideo, vwAlternative, vwPattern, vwDuration}, oldLanguage);
    if (method >= 0) s.TriggerMethod = ValueWordIn(method, newLanguage);

    const bool edge = method == vwEdge;
    const bool pulse = method == vwPulse;
    const bool slope = method == vwSlope;
    const bool video = method == vwVideo;
    for (QString* f : {&s.TriggerEdgeSource, &s.TriggerPulseSource, &s.TriggerSlopeSource,
                       &s.TriggerVideoSource})
        t.Rewrite(*f, {vwAcLine}, kKeep);
    t.RewriteTrigger(mainTrigger(s), edge, pulse, video, slope);

    // Alternation: per channel, the fields of its trigger type (already in
    // the new language) follow the full rules when alternation is in force.
    const bool alternation = method == vwAlternative;
    for (int channel = 1; channel <= 2; ++channel) {
        const QString& typeText = channel == 1 ? s.AltCH1TrigType : s.AltCH2TrigType;
        const int type = Translator::Match(typeText, {vwEdge, vwPulse, vwVideo}, newLanguage);
        t.RewriteTrigger(altTrigger(s, channel), alternation && type == vwEdge,
                         alternation && type == vwPulse, alternation && type == vwVideo,
                         alternation && type < 0);
    }

    // Pattern and duration.
    const bool pattern = method == vwPattern;
    t.Rewrite(s.PatternSpare, {vwAcLine}, kKeep);
    for (int k = 1; k <= 16; ++k) t.RewriteCode(s.TriggerPatternCode[k]);

    const bool duration = method == vwDuration;
    t.RewriteIf(duration, s.TriggerDurationQualifier, {vwLessThan, vwGreaterThan}, vwEqual);
    for (int k = 1; k <= 16; ++k) t.RewriteCode(s.TriggerDurationCode[k]);
    t.RewriteCode(s.DurationSpare);

    const std::pair<bool, QString*> sweeps[] = {
        {edge, &s.TriggerEdgeSweep},       {pulse, &s.TriggerPulseSweep},
        {slope, &s.TriggerSlopeSweep},     {pattern, &s.TriggerPatternSweep},
        {duration, &s.TriggerDurationSweep},
    };
    for (const auto& [inForce, field] : sweeps)
        t.RewriteIf(inForce, *field, {vwAuto, vwSweepNormal}, vwSingle);

    // Acquisition and display.
    t.Rewrite(s.AcquireSampling, {vwRealTime}, vwEqualTime);
    t.Rewrite(s.AcquireType, {vwAcqNormal, vwPeakDetect}, vwAverage);
    t.Rewrite(s.DisplayType, {vwVectors}, vwDots);
    t.Rewrite(s.DisplayPersist, {vwOn}, vwOff);
    t.Rewrite(s.DisplayGrid, {vwFull, vwHalf}, vwNone);
}

namespace {

using Choices = std::vector<int>;

// The choice among `choices` that `text` spells in either language, or -1.
int ChoiceOf(const QString& text, const Choices& choices) {
    for (int language : {LangEnglish, LangChinese})
        for (int k : choices)
            if (text == ValueWordIn(k, language)) return k;
    return -1;
}

// An edge of a pattern or duration code, in either spelling and language:
// the "Rising"/"Falling" label or the edge-slope word; 0 when it is none.
int EdgeCodeOf(const QString& code) {
    for (int language : {LangEnglish, LangChinese}) {
        if (code == ControllerLabelIn(clRising, language) || code == ValueWordIn(vwRising, language))
            return clRising;
        if (code == ControllerLabelIn(clFalling, language) || code == ValueWordIn(vwFalling, language))
            return clFalling;
    }
    return 0;
}

}  // namespace

QList<int> NormalizeSettingWords(CtrlSettings& s, int language) {
    QList<int> unknown;
    if (!isLanguage(language)) return unknown;
    const auto note = [&](const QString& field) {
        if (const int n = CtrlValueNumber(s, &field)) unknown << n;
    };
    // `strict`: a text that is none of the choices is reported.
    const auto word = [&](QString& field, const Choices& choices, bool strict = true) {
        const int k = ChoiceOf(field, choices);
        if (k >= 0) field = ValueWordIn(k, language);
        else if (strict) note(field);
    };
    const auto code = [&](QString& field, bool strict = true) {
        if (const int edge = EdgeCodeOf(field)) field = ControllerLabelIn(edge, language);
        else if (strict && !IsPatternCode(field)) note(field);
    };
    // The choices of a sent setting are its upload converter's words, so that
    // what is reported here is exactly what the upload leaves out.
    const Choices onOff = KeywordChoices(OnOffToKeyword);
    const Choices coupling = KeywordChoices(CouplingToKeyword);
    const Choices sweep = KeywordChoices(SweepToKeyword);

    word(s.RunStop, KeywordChoices(RunStateToCmd));
    for (QString* f : {&s.CH1Display, &s.CH1BWLimit, &s.CH2Display, &s.CH2BWLimit, &s.LAGroupHighDisplay,
                       &s.LAGroupLowDisplay, &s.LADisplay, &s.DisplayPersist})
        word(*f, onOff);
    for (int k = 1; k <= 16; ++k) word(s.LAChannelDisplay[k], onOff);
    for (QString* f : {&s.CH1Coupling, &s.CH2Coupling}) word(*f, coupling);
    // Values that are not sent, and texts that need not be words.
    for (QString* f : {&s.CH1Invert, &s.CH2Invert, &s.SpareSwitch, &s.MathDisplay, &s.FFTDisplay,
                       &s.AntiAliasing})
        word(*f, onOff, false);
    word(s.LAThreshold, {vwUser}, false);
    for (QString* f : {&s.TriggerEdgeSource, &s.TriggerPulseSource, &s.TriggerSlopeSource,
                       &s.TriggerVideoSource, &s.PatternSpare})
        word(*f, {vwAcLine}, false);
    code(s.DurationSpare, false);

    word(s.TriggerMethod, KeywordChoices(TrigModeToKeyword));
    // The alternation sends only these four types.
    for (QString* f : {&s.AltCH1TrigType, &s.AltCH2TrigType}) word(*f, {vwEdge, vwPulse, vwSlope, vwVideo});
    for (const TriggerFields& t : {mainTrigger(s), altTrigger(s, 1), altTrigger(s, 2)}) {
        word(t.edgeSlope, KeywordChoices(EdgeSlopeToKeyword));
        for (QString* f : {&t.edgeCoupling, &t.pulseCoupling, &t.slopeCoupling}) word(*f, coupling);
        word(t.pulseMode, KeywordChoices(PulseModeToKeyword));
        word(t.videoPolarity, KeywordChoices(VideoPolarityToKeyword));
        word(t.videoSync, KeywordChoices(VideoSyncToKeyword));
        word(t.slopeMode, KeywordChoices(SlopeModeToKeyword));
    }
    for (QString* f : {&s.TriggerEdgeSweep, &s.TriggerPulseSweep, &s.TriggerSlopeSweep,
                       &s.TriggerPatternSweep, &s.TriggerDurationSweep})
        word(*f, sweep);
    for (int k = 1; k <= 16; ++k) {
        code(s.TriggerPatternCode[k]);
        code(s.TriggerDurationCode[k]);
    }
    word(s.TriggerDurationQualifier, KeywordChoices(DurationQualToKeyword));

    word(s.AcquireSampling, KeywordChoices(AcqModeToKeyword));
    word(s.AcquireType, KeywordChoices(AcqTypeToKeyword));
    word(s.DisplayType, KeywordChoices(DisplayTypeToKeyword));
    word(s.DisplayGrid, KeywordChoices(GridToKeyword));
    std::sort(unknown.begin(), unknown.end());
    return unknown;
}

void TranslateSettingWords(int newLanguage, int oldLanguage) {
    TranslateSettingWords(DSOSettings(), newLanguage, oldLanguage);
}

void SetDefaultCtrlSettings(CtrlSettings& s) {
    // The loaded words; before the first load, those of the stored language.
    const auto w = [](int k) {
        return ValueWord(k).isEmpty() ? ValueWordIn(k, Shell().UILanguage) : ValueWord(k);
    };
    s.RunStop = w(vwRun);
    const auto setChannel = [&w](int display, QString& displayField, QString& scale,
                                 QString& offset, QString& coupling, QString& bwLimit,
                                 QString& probe, QString& invert) {
        displayField = w(display);
        scale = "1.00V";
        offset = "0.00mV";
        coupling = w(vwCouplingAC);
        bwLimit = w(vwOff);
        probe = "1X";
        invert = w(vwOff);
    };
    setChannel(vwOn, s.CH1Display, s.CH1Scale, s.CH1Offset, s.CH1Coupling, s.CH1BWLimit,
               s.CH1Probe, s.CH1Invert);
    setChannel(vwOff, s.CH2Display, s.CH2Scale, s.CH2Offset, s.CH2Coupling, s.CH2BWLimit,
               s.CH2Probe, s.CH2Invert);
    s.LADisplay = w(vwOff);
    for (int k = 1; k <= 16; ++k) {
        s.LAChannelDisplay[k] = w(vwOff);
        s.LAChannelPosition[k] = "0";
        s.TriggerPatternCode[k] = "H";
        s.TriggerDurationCode[k] = "H";
    }
    s.LAThreshold = "TTL";
    s.LAGroupHighDisplay = w(vwOff);
    s.LAGroupLowDisplay = w(vwOff);
    // MathDisplay and FFTDisplay keep their text.
    for (auto* c : {&s.TimeBaseScale, &s.AltCH1TimeBaseScale, &s.AltCH2TimeBaseScale})
        *c = "10.00us";
    for (auto* c : {&s.TimeBaseOffset, &s.AltCH1TimeBaseOffset, &s.AltCH2TimeBaseOffset})
        *c = "0.0000s";
    s.MemorySize = "4000";
    // SpareSwitch keeps its text.
    s.TimeBaseFormat = "Y-T";
    s.TriggerMethod = w(vwEdge);

    // Every trigger type, on the main trigger and on each channel under
    // alternation; only the main slope trigger's level B differs.
    const auto setTrigger = [&w](const TriggerFields& f, const char* slopeLevelB) {
        f.edgeSlope = w(vwRising);
        f.edgeCoupling = w(vwDC);
        f.edgeLevel = "0.00div";
        f.edgeSensitivity = "0.10div";
        f.pulseMode = w(vwPulseLessPos);
        f.pulseWidth = "1us";
        f.pulseCoupling = w(vwDC);
        f.pulseLevel = "0.00div";
        f.pulseSensitivity = "0.10div";
        f.videoPolarity = w(vwPositive);
        f.videoSync = w(vwLine);
        f.videoStandard = "NTSC";
        f.videoLine = "1";
        f.videoLevel = "0.00div";
        f.videoSensitivity = "0.10div";
        f.slopeMode = w(vwSlopeLessPos);
        f.slopeTime = "1us";
        f.slopeWindow = "PA";
        f.slopeLevelA = "0.00div";
        f.slopeLevelB = slopeLevelB;
        f.slopeCoupling = w(vwDC);
        f.slopeSensitivity = "0.10div";
    };
    setTrigger(mainTrigger(s), "0.20div");
    setTrigger(altTrigger(s, 1), "0.00div");
    setTrigger(altTrigger(s, 2), "0.00div");
    for (auto* c : {&s.TriggerEdgeSource, &s.TriggerPulseSource, &s.TriggerVideoSource,
                    &s.TriggerSlopeSource})
        *c = "CH1";
    for (auto* c : {&s.TriggerEdgeSweep, &s.TriggerPulseSweep, &s.TriggerSlopeSweep,
                    &s.TriggerPatternSweep, &s.TriggerDurationSweep})
        *c = w(vwAuto);
    s.AltCH1TrigType = w(vwEdge);
    s.AltCH2TrigType = w(vwEdge);
    for (auto* c : {&s.TriggerHoldoff, &s.AltCH1EdgeHoldoff, &s.AltCH2EdgeHoldoff,
                    &s.AltCH1PulseHoldoff, &s.AltCH2PulseHoldoff, &s.AltCH1VideoHoldoff,
                    &s.AltCH2VideoHoldoff, &s.AltCH1SlopeHoldoff, &s.AltCH2SlopeHoldoff})
        *c = "100ns";

    s.PatternSpare = "D0";
    s.TriggerDurationQualifier = w(vwLessThan);
    s.TriggerDurationTime = "1us";
    s.DurationSpare = "H";

    s.AcquireSampling = w(vwRealTime);
    s.AcquireType = w(vwAcqNormal);
    s.AcquireAverages = "16";
    s.Intensity = "3%";
    s.AntiAliasing = w(vwOff);
    s.DisplayType = w(vwVectors);
    s.DisplayPersist = w(vwOff);
    s.DisplayGrid = w(vwFull);
}

void SetDefaultCtrlSettings() { SetDefaultCtrlSettings(DSOSettings()); }
