#include "link/Vocabulary.h"

#include <algorithm>
#include <initializer_list>
#include <utility>
#include <vector>

#include "common/ShellState.h"
#include "link/MeasureCatalog.h"
#include "link/SettingCatalog.h"

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

void TranslateSettingWords(CtrlSettings& s, int newLanguage, int oldLanguage) {
    if (newLanguage == oldLanguage || !isLanguage(oldLanguage) || !isLanguage(newLanguage))
        return;
    // Only a setting's own words of the old language are rewritten; any
    // other text stays as it is (a file's odd value stays named and unsent).
    const std::vector<QString*> values = CtrlSettingsValues(s);
    for (const SettingDesc& d : SettingCatalog()) {
        QString& v = *values[size_t(d.number - 1)];
        if (OwnWordOf(d, v, oldLanguage) >= 0) v = InLanguage(d, v, newLanguage);
    }
}

QList<int> NormalizeSettingWords(CtrlSettings& s, int language) {
    QList<int> unknown;
    if (!isLanguage(language)) return unknown;
    const std::vector<QString*> values = CtrlSettingsValues(s);
    for (const SettingDesc& d : SettingCatalog()) {
        QString& v = *values[size_t(d.number - 1)];
        v = InLanguage(d, v, language);
        const bool listed = d.form == ValueForm::Words || d.form == ValueForm::PatternCode ||
                            d.form == ValueForm::DurationCode;
        if (listed && d.judged != Judged::Kept && !SettingHolds(s, d.number)) unknown << d.number;
    }
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
    const std::vector<QString*> values = CtrlSettingsValues(s);
    for (const SettingDesc& d : SettingCatalog()) {
        QString& v = *values[size_t(d.number - 1)];
        if (d.defaultWord >= 0) v = w(d.defaultWord);
        else if (d.defaultText) v = QString::fromLatin1(d.defaultText);
    }
}

void SetDefaultCtrlSettings() { SetDefaultCtrlSettings(DSOSettings()); }
