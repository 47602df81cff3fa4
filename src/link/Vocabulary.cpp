#include "link/Vocabulary.h"

#include <initializer_list>

#include "common/ShellState.h"

namespace {

struct Pair {
    const char* en;
    const char* zh;
};

const Pair kMeasureNames[MeasureNameCount] = {
    {"Vpp", "峰峰值"},          {"Vmax", "最大值"},         {"Vmin", "最小值"},
    {"Vavg", "平均值"},         {"Vamp", "幅度"},           {"Vrms", "均方根值"},
    {"Vtop", "顶端值"},         {"Vbase", "底端值"},        {"Vpre", "预冲"},
    {"Vover", "过冲"},          {"Frequency", "频率"},      {"Period", "周期"},
    {"Rise Time", "上升时间"},  {"Fall Time", "下降时间"},  {"Pulse Width+", "正脉宽"},
    {"Pulse Width-", "负脉宽"}, {"Duty+", "正占空比"},      {"Duty-", "负占空比"},
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

QString ControllerLabelIn(int index, int language) {
    if (index < 0 || index >= ControllerLabelCount) return QString();
    return pick(kControllerLabels[index], language);
}

QString MeasureNameIn(int index, int language) {
    if (index < 0 || index >= MeasureNameCount) return QString();
    return pick(kMeasureNames[index], language);
}

void LoadMeasureNames(int language) {
    if (!isLanguage(language)) return;
    for (int i = 0; i < MeasureNameCount; ++i)
        Vocabulary().MeasureNames[i] = pick(kMeasureNames[i], language);
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

// Rewrites the value words of one mirror from one language to the other.
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

    int newL, oldL;
};

}  // namespace

void TranslateSettingWords(CtrlSettings& s, int newLanguage, int oldLanguage) {
    if (newLanguage == oldLanguage || !isLanguage(oldLanguage) || !isLanguage(newLanguage))
        return;
    const Translator t(newLanguage, oldLanguage);

    // Run state, channels and the logic analyser.
    t.Rewrite(s.RunStop, {vwRun}, vwStop);
    t.Rewrite(s.CH1Display, {vwOn}, vwOff);
    t.Rewrite(s.CH1BWLimit, {vwOn}, vwOff);
    t.Rewrite(s.CH1Coupling, {vwCouplingAC, vwDC}, vwGND);
    t.Rewrite(s.CH2Display, {vwOn}, vwOff);
    t.Rewrite(s.CH2BWLimit, {vwOn}, vwOff);
    t.Rewrite(s.CH2Coupling, {vwCouplingAC, vwDC}, vwGND);
    t.Rewrite(s.LAGroupHighDisplay, {vwOn}, vwOff);
    t.Rewrite(s.LAGroupLowDisplay, {vwOn}, vwOff);
    t.Rewrite(s.LADisplay, {vwOn}, vwOff);
    for (int k = 1; k <= 16; ++k) t.Rewrite(s.LAChannelDisplay[k], {vwOn}, vwOff);
    t.Rewrite(s.LAThreshold, {vwUser}, kKeep);
    t.Rewrite(s.AltCH1TrigType, {vwEdge, vwPulse, vwSlope, vwVideo}, kKeep);
    t.Rewrite(s.AltCH2TrigType, {vwEdge, vwPulse, vwSlope, vwVideo}, kKeep);

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
    t.Rewrite(s.TriggerEdgeSource, {vwAcLine}, kKeep);
    t.RewriteIf(edge, s.TriggerEdgeSlope, {vwRising, vwFalling}, vwAlternation);
    t.RewriteIf(edge, s.TriggerEdgeSweep, {vwAuto, vwSweepNormal}, vwSingle);
    t.RewriteIf(edge, s.TriggerEdgeCoupling, {vwCouplingAC, vwDC, vwLF}, vwHF);

    const bool pulse = method == vwPulse;
    t.Rewrite(s.TriggerPulseSource, {vwAcLine}, kKeep);
    t.RewriteIf(pulse, s.TriggerPulseMode,
                {vwPulseLessPos, vwPulseLessNeg, vwPulseGreaterPos, vwPulseGreaterNeg,
                 vwPulseEqualPos},
                vwPulseEqualNeg);
    t.RewriteIf(pulse, s.TriggerPulseSweep, {vwAuto, vwSweepNormal}, vwSingle);
    t.RewriteIf(pulse, s.TriggerPulseCoupling, {vwCouplingAC, vwDC, vwLF}, vwHF);

    const bool slope = method == vwSlope;
    t.Rewrite(s.TriggerSlopeSource, {vwAcLine}, kKeep);
    t.RewriteIf(slope, s.TriggerSlopeMode,
                {vwSlopeLessPos, vwSlopeLessNeg, vwSlopeGreaterPos, vwSlopeGreaterNeg,
                 vwSlopeEqualPos},
                vwSlopeEqualNeg);
    t.RewriteIf(slope, s.TriggerSlopeSweep, {vwAuto, vwSweepNormal}, vwSingle);
    t.RewriteIf(slope, s.TriggerSlopeCoupling, {vwCouplingAC, vwDC, vwLF}, vwHF);

    const bool video = method == vwVideo;
    t.Rewrite(s.TriggerVideoSource, {vwAcLine}, kKeep);
    t.RewriteIf(video, s.TriggerVideoPolarity, {vwPositive}, vwNegative);
    t.RewriteIf(video, s.TriggerVideoSync, {vwAllLines, vwLine, vwOddField}, vwEvenField);

    // Alternation: per channel, the fields of its trigger type (already in
    // the new language) follow the full rules when alternation is in force.
    const bool alternation = method == vwAlternative;
    struct AltFields {
        QString &type, &edgeSlope, &edgeCoupling, &pulseMode, &pulseCoupling, &videoPolarity,
            &videoSync, &slopeMode, &slopeCoupling;
    };
    const AltFields channels[2] = {
        {s.AltCH1TrigType, s.AltCH1EdgeSlope, s.AltCH1EdgeCoupling, s.AltCH1PulseMode,
         s.AltCH1PulseCoupling, s.AltCH1VideoPolarity, s.AltCH1VideoSync, s.AltCH1SlopeMode,
         s.AltCH1SlopeCoupling},
        {s.AltCH2TrigType, s.AltCH2EdgeSlope, s.AltCH2EdgeCoupling, s.AltCH2PulseMode,
         s.AltCH2PulseCoupling, s.AltCH2VideoPolarity, s.AltCH2VideoSync, s.AltCH2SlopeMode,
         s.AltCH2SlopeCoupling},
    };
    for (const AltFields& c : channels) {
        const int type = Translator::Match(c.type, {vwEdge, vwPulse, vwVideo}, newLanguage);
        const bool e = alternation && type == vwEdge;
        const bool p = alternation && type == vwPulse;
        const bool v = alternation && type == vwVideo;
        const bool sl = alternation && type < 0;
        t.RewriteIf(e, c.edgeSlope, {vwRising, vwFalling}, vwAlternation);
        t.RewriteIf(e, c.edgeCoupling, {vwCouplingAC, vwDC, vwLF}, vwHF);
        t.RewriteIf(p, c.pulseMode,
                    {vwPulseLessPos, vwPulseLessNeg, vwPulseGreaterPos, vwPulseGreaterNeg,
                     vwPulseEqualPos},
                    vwPulseEqualNeg);
        t.RewriteIf(p, c.pulseCoupling, {vwCouplingAC, vwDC, vwLF}, vwHF);
        t.RewriteIf(v, c.videoPolarity, {vwPositive}, vwNegative);
        t.RewriteIf(v, c.videoSync, {vwAllLines, vwLine, vwOddField}, vwEvenField);
        t.RewriteIf(sl, c.slopeMode,
                    {vwSlopeLessPos, vwSlopeLessNeg, vwSlopeGreaterPos, vwSlopeGreaterNeg,
                     vwSlopeEqualPos},
                    vwSlopeEqualNeg);
        t.RewriteIf(sl, c.slopeCoupling, {vwCouplingAC, vwDC, vwLF}, vwHF);
    }

    // Pattern and duration.
    const bool pattern = method == vwPattern;
    t.Rewrite(s.PatternSpare, {vwAcLine}, kKeep);
    for (int k = 1; k <= 16; ++k) t.RewriteCode(s.TriggerPatternCode[k]);
    t.RewriteIf(pattern, s.TriggerPatternSweep, {vwAuto, vwSweepNormal}, vwSingle);

    const bool duration = method == vwDuration;
    t.RewriteIf(duration, s.TriggerDurationQualifier, {vwLessThan, vwGreaterThan}, vwEqual);
    for (int k = 1; k <= 16; ++k) t.RewriteCode(s.TriggerDurationCode[k]);
    t.RewriteCode(s.DurationSpare);
    t.RewriteIf(duration, s.TriggerDurationSweep, {vwAuto, vwSweepNormal}, vwSingle);

    // Acquisition and display.
    t.Rewrite(s.AcquireSampling, {vwRealTime}, vwEqualTime);
    t.Rewrite(s.AcquireType, {vwAcqNormal, vwPeakDetect}, vwAverage);
    t.Rewrite(s.DisplayType, {vwVectors}, vwDots);
    t.Rewrite(s.DisplayPersist, {vwOn}, vwOff);
    t.Rewrite(s.DisplayGrid, {vwFull, vwHalf}, vwNone);
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
    s.CH1Display = w(vwOn);
    s.CH1Scale = "1.00V";
    s.CH1Offset = "0.00mV";
    s.CH1Coupling = w(vwCouplingAC);
    s.CH1BWLimit = w(vwOff);
    s.CH1Probe = "1X";
    s.CH1Invert = w(vwOff);
    s.CH2Display = w(vwOff);
    s.CH2Scale = "1.00V";
    s.CH2Offset = "0.00mV";
    s.CH2Coupling = w(vwCouplingAC);
    s.CH2BWLimit = w(vwOff);
    s.CH2Probe = "1X";
    s.CH2Invert = w(vwOff);
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
    s.TimeBaseScale = "10.00us";
    s.AltCH1TimeBaseScale = "10.00us";
    s.AltCH2TimeBaseScale = "10.00us";
    s.TimeBaseOffset = "0.0000s";
    s.AltCH1TimeBaseOffset = "0.0000s";
    s.AltCH2TimeBaseOffset = "0.0000s";
    s.TriggerHoldoff = "100ns";
    s.MemorySize = "4000";
    // SpareSwitch keeps its text.
    s.TimeBaseFormat = "Y-T";
    s.TriggerMethod = w(vwEdge);

    s.TriggerEdgeSlope = w(vwRising);
    s.TriggerEdgeSource = "CH1";
    s.TriggerEdgeSweep = w(vwAuto);
    s.TriggerEdgeCoupling = w(vwDC);
    s.TriggerEdgeSensitivity = "0.10div";
    s.TriggerEdgeLevel = "0.00div";

    s.TriggerPulseSource = "CH1";
    s.TriggerPulseMode = w(vwPulseLessPos);
    s.TriggerPulseWidth = "1us";
    s.TriggerPulseCoupling = w(vwDC);
    s.TriggerPulseSensitivity = "0.10div";
    s.TriggerPulseLevel = "0.00div";
    s.TriggerPulseSweep = w(vwAuto);

    s.TriggerVideoSource = "CH1";
    s.TriggerVideoPolarity = w(vwPositive);
    s.TriggerVideoSync = w(vwLine);
    s.TriggerVideoStandard = "NTSC";
    s.TriggerVideoLine = "1";
    s.TriggerVideoSensitivity = "0.10div";
    s.TriggerVideoLevel = "0.00div";

    s.TriggerSlopeSource = "CH1";
    s.TriggerSlopeMode = w(vwSlopeLessPos);
    s.TriggerSlopeTime = "1us";
    s.TriggerSlopeWindow = "PA";
    s.TriggerSlopeLevelA = "0.00div";
    s.TriggerSlopeLevelB = "0.20div";
    s.TriggerSlopeCoupling = w(vwDC);
    s.TriggerSlopeSensitivity = "0.10div";
    s.TriggerSlopeSweep = w(vwAuto);

    s.AltCH1TrigType = w(vwEdge);
    s.AltCH2TrigType = w(vwEdge);
    for (auto* c : {&s.AltCH1EdgeSlope, &s.AltCH2EdgeSlope}) *c = w(vwRising);
    for (auto* c : {&s.AltCH1EdgeCoupling, &s.AltCH2EdgeCoupling, &s.AltCH1PulseCoupling,
                    &s.AltCH2PulseCoupling, &s.AltCH1SlopeCoupling, &s.AltCH2SlopeCoupling})
        *c = w(vwDC);
    for (auto* c : {&s.AltCH1EdgeLevel, &s.AltCH2EdgeLevel, &s.AltCH1PulseLevel,
                    &s.AltCH2PulseLevel, &s.AltCH1VideoLevel, &s.AltCH2VideoLevel,
                    &s.AltCH1SlopeLevelA, &s.AltCH2SlopeLevelA, &s.AltCH1SlopeLevelB,
                    &s.AltCH2SlopeLevelB})
        *c = "0.00div";
    for (auto* c : {&s.AltCH1EdgeSensitivity, &s.AltCH2EdgeSensitivity,
                    &s.AltCH1PulseSensitivity, &s.AltCH2PulseSensitivity,
                    &s.AltCH1VideoSensitivity, &s.AltCH2VideoSensitivity,
                    &s.AltCH1SlopeSensitivity, &s.AltCH2SlopeSensitivity})
        *c = "0.10div";
    for (auto* c : {&s.AltCH1EdgeHoldoff, &s.AltCH2EdgeHoldoff, &s.AltCH1PulseHoldoff,
                    &s.AltCH2PulseHoldoff, &s.AltCH1VideoHoldoff, &s.AltCH2VideoHoldoff,
                    &s.AltCH1SlopeHoldoff, &s.AltCH2SlopeHoldoff})
        *c = "100ns";
    for (auto* c : {&s.AltCH1PulseMode, &s.AltCH2PulseMode}) *c = w(vwPulseLessPos);
    for (auto* c : {&s.AltCH1PulseWidth, &s.AltCH2PulseWidth, &s.AltCH1SlopeTime,
                    &s.AltCH2SlopeTime})
        *c = "1us";
    for (auto* c : {&s.AltCH1VideoPolarity, &s.AltCH2VideoPolarity}) *c = w(vwPositive);
    for (auto* c : {&s.AltCH1VideoSync, &s.AltCH2VideoSync}) *c = w(vwLine);
    for (auto* c : {&s.AltCH1VideoStandard, &s.AltCH2VideoStandard}) *c = "NTSC";
    for (auto* c : {&s.AltCH1VideoLine, &s.AltCH2VideoLine}) *c = "1";
    for (auto* c : {&s.AltCH1SlopeMode, &s.AltCH2SlopeMode}) *c = w(vwSlopeLessPos);
    for (auto* c : {&s.AltCH1SlopeWindow, &s.AltCH2SlopeWindow}) *c = "PA";

    s.PatternSpare = "D0";
    s.TriggerPatternSweep = w(vwAuto);
    s.TriggerDurationQualifier = w(vwLessThan);
    s.TriggerDurationTime = "1us";
    s.TriggerDurationSweep = w(vwAuto);
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
