#include "controller/CtrlValueNames.h"

#include <QHash>
#include <QStringList>
#include <array>

#include "common/DSOSettings.h"
#include "common/ShellState.h"
#include "controller/CtrlTree.h"
#include "link/Vocabulary.h"

namespace {

using Names = std::array<QString, CtrlValueCount>;
using S = CtrlSettings;

const QString kSeparator = QStringLiteral(" \u25B8 ");

// One part of the name of a value that has no row: a tree label, a value word
// or one of the words below (nothing in the tree reads them).
struct Part {
    enum Kind { None, Label, Word, Own } kind = None;
    int index = 0;
};
constexpr Part L(int index) { return {Part::Label, index}; }
constexpr Part W(int index) { return {Part::Word, index}; }
enum OwnWord { owMath, owFFT, owSpare };
constexpr Part O(OwnWord w) { return {Part::Own, w}; }
const char* const kOwnWords[][2] = {{"Math", "数学运算"}, {"FFT", "FFT"}, {"Spare", "备用"}};

const struct {
    QString S::*field;
    Part parts[4];
} kWithoutRow[] = {
    {&S::CH1Invert, {L(lbCH1), L(lbInvert)}},
    {&S::CH2Invert, {L(lbCH2), L(lbInvert)}},
    {&S::LADisplay, {L(lbLA), L(lbChannelDisplay)}},
    {&S::MathDisplay, {O(owMath), L(lbChannelDisplay)}},
    {&S::FFTDisplay, {O(owFFT), L(lbChannelDisplay)}},
    {&S::MemorySize, {L(lbTimeBase), L(lbMemorySize)}},
    {&S::SpareSwitch, {L(lbTimeBase), O(owSpare)}},
    {&S::TriggerSlopeWindow, {L(lbTrigger), L(lbSlopeWindow)}},
    {&S::AltCH1SlopeWindow, {L(lbTrigger), L(lbCH1), L(lbSlopeWindow)}},
    {&S::AltCH2SlopeWindow, {L(lbTrigger), L(lbCH2), L(lbSlopeWindow)}},
    {&S::PatternSpare, {L(lbTrigger), W(vwPattern), O(owSpare)}},
    {&S::DurationSpare, {L(lbTrigger), W(vwDuration), O(owSpare)}},
    {&S::Intensity, {L(lbDisplayGroup), L(lbIntensity)}},
    {&S::AntiAliasing, {L(lbDisplayGroup), L(lbAntiAliasing)}},
};

QString PartText(const Part& p, int language) {
    switch (p.kind) {
    case Part::Label: return ControllerLabelIn(p.index, language);
    case Part::Word: return ValueWordIn(p.index, language);
    case Part::Own: return QString::fromUtf8(kOwnWords[p.index][language == LangChinese ? 1 : 0]);
    case Part::None: break;
    }
    return QString();
}

Names NamesIn(int language) {
    Names plain, qualified;
    auto collect = [&](const CtrlSettings& s) {
        const CtrlTreeModel model = BuildCtrlTreeModel(s, true, language);
        for (size_t i = 0; i < model.nodes.size(); ++i) {
            const CtrlNodeData& n = model.nodes[i];
            if (n.valueNumber <= 0 || !plain[size_t(n.valueNumber - 1)].isEmpty()) continue;
            QStringList labels;  // from the group down; the root is left out
            for (int k = int(i); k > 0; k = model.nodes[size_t(k)].parent)
                labels.prepend(model.nodes[size_t(k)].label);
            plain[size_t(n.valueNumber - 1)] = labels.join(kSeparator);
            // The word that chose the row: the alternation type after the
            // channel of an alternation row, the method after Trigger.
            const bool alternation = (n.group == CtrlGroup::AltCH1Trigger ||
                                      n.group == CtrlGroup::AltCH2Trigger) && n.item != 5;
            if (alternation)
                labels.insert(2, n.group == CtrlGroup::AltCH1Trigger ? s.AltCH1TrigType : s.AltCH2TrigType);
            else if (n.group == CtrlGroup::Trigger || n.group == CtrlGroup::TriggerCode)
                labels.insert(1, s.TriggerMethod);
            qualified[size_t(n.valueNumber - 1)] = labels.join(kSeparator);
        }
    };
    CtrlSettings s;
    s.AcquireType = ValueWordIn(vwAverage, language);  // the Averages row
    for (int method : {vwEdge, vwPulse, vwVideo, vwSlope, vwPattern, vwDuration}) {
        s.TriggerMethod = ValueWordIn(method, language);
        collect(s);
    }
    s.TriggerMethod = ValueWordIn(vwAlternative, language);
    for (int type : {vwEdge, vwPulse, vwVideo, vwSlope}) {
        s.AltCH1TrigType = s.AltCH2TrigType = ValueWordIn(type, language);
        collect(s);
    }

    QHash<QString, int> uses;
    for (const QString& p : plain)
        if (!p.isEmpty()) ++uses[p];
    Names names;
    for (size_t k = 0; k < names.size(); ++k) names[k] = uses.value(plain[k]) > 1 ? qualified[k] : plain[k];
    for (const auto& v : kWithoutRow) {
        QStringList parts;
        for (const Part& p : v.parts)
            if (p.kind != Part::None) parts << PartText(p, language);
        names[size_t(CtrlValueNumber(s, &(s.*v.field)) - 1)] = parts.join(kSeparator);
    }
    return names;
}

}  // namespace

QString CtrlValueName(int number, int language) {
    static const std::array<Names, 2> names = {NamesIn(LangChinese), NamesIn(LangEnglish)};
    if (number < 1 || number > CtrlValueCount) return QString();
    return names[language == LangChinese ? 0 : 1][size_t(number - 1)];
}

QString CtrlValueName(int number) { return CtrlValueName(number, Shell().UILanguage); }
