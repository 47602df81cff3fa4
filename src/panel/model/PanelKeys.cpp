#include "panel/model/PanelKeys.h"

namespace {
constexpr KeyAction C = KeyAction::Click;
constexpr KeyAction H = KeyAction::Held;

// Blocks of rows that both brands' tables hold alike.
const std::vector<PanelKey>& ChannelKeys() {
    static const std::vector<PanelKey> keys = {
        {"VK_CH1", "Vertical", "CH1", ":KEY:CHANNEL1", C},
        {"VK_CH2", "Vertical", "CH2", ":KEY:CHANNEL2", C},
        {"VK_Math", "Vertical", "MATH", ":KEY:MATH", C},
        {"VK_Ref", "Vertical", "REF", ":KEY:REF", C},
        {"VK_La", "Vertical", "LA", ":KEY:LA", C},
    };
    return keys;
}
// The soft keys and the knobs' pushes.
const std::vector<PanelKey>& SoftAndPushKeys() {
    static const std::vector<PanelKey> keys = {
        {"VK_F1", "", "F1", ":KEY:F1", C},
        {"VK_F2", "", "F2", ":KEY:F2", C},
        {"VK_F3", "", "F3", ":KEY:F3", C},
        {"VK_F4", "", "F4", ":KEY:F4", C},
        {"VK_F5", "", "F5", ":KEY:F5", C},
        {"VK_P_V", "Vertical", "Scale", ":KEY:PROMPT_V", C},
        {"VK_P_V_P", "Vertical", "Position", ":KEY:PROMPT_V_POS", C},
        {"VK_P_H", "Horizontal", "Scale", ":KEY:PROMPT_H", C},
        {"VK_P_H_P", "Horizontal", "Position", ":KEY:PROMPT_H_POS", C},
        {"VK_P_L", "Trigger", "Level", ":KEY:PROMPT_TRIG_LVL", C},
        {"VK_F_F", "", "Function", ":KEY:FUNCTION", C},
    };
    return keys;
}
// The position and level knobs' turns. The horizontal position keys are
// crossed on purpose: the Dec key sends H_POS_INC and the Inc key H_POS_DEC
// (the instrument's knob direction).
const std::vector<PanelKey>& PositionKnobKeys() {
    static const std::vector<PanelKey> keys = {
        {"VK_V_Pos_Dec", "Vertical", "-", ":KEY:V_POS_DEC", H},
        {"VK_V_Pos_Inc", "Vertical", "+", ":KEY:V_POS_INC", H},
        {"VK_H_Pos_Dec", "Horizontal", "-", ":KEY:H_POS_INC", H},
        {"VK_H_Pos_Inc", "Horizontal", "+", ":KEY:H_POS_DEC", H},
        {"VK_Trig_Lvl_Dec", "Trigger", "-", ":KEY:TRIG_LVL_DEC", H},
        {"VK_Trig_Lvl_Inc", "Trigger", "+", ":KEY:TRIG_LVL_INC", H},
    };
    return keys;
}

std::vector<PanelKey> Joined(std::initializer_list<std::vector<PanelKey>> blocks) {
    std::vector<PanelKey> keys;
    for (const std::vector<PanelKey>& b : blocks) keys.insert(keys.end(), b.begin(), b.end());
    return keys;
}
}  // namespace

const std::vector<PanelKey>& MainBrandKeys() {
    static const std::vector<PanelKey> keys = Joined({
        {
            {"VK_Menu_Off", "ON/OFF", "", ":KEY:MNUOFF", C},
            {"VK_Run", "RUN/STOP", "", ":KEY:RUN", C},
            {"VK_Auto", "AUTO", "", ":KEY:AUTO", C},
            {"VK_Measure", "MENU", "Measure", ":KEY:MEASURE", C},
            {"VK_Acquire", "MENU", "Acquire", ":KEY:ACQUIRE", C},
            {"VK_Storage", "MENU", "Storage", ":KEY:STORAGE", C},
            {"VK_Cursor", "MENU", "Cursor", ":KEY:CURSOR", C},
            {"VK_Display", "MENU", "Display", ":KEY:DISPLAY", C},
            {"VK_Utility", "MENU", "Utility", ":KEY:UTILITY", C},
        },
        ChannelKeys(),
        {
            {"VK_CH_Off", "Vertical", "OFF", ":KEY:OFF", C},
            {"VK_TimeMenu", "Horizontal", "MENU", ":KEY:MNUTIME", C},
            {"VK_Trig_Menu", "Trigger", "MENU", ":KEY:MNUTRIG", C},
            {"VK_Trig_50", "Trigger", "50%", ":KEY:TRIG%50", C},
            {"VK_Trig_Force", "Trigger", "FORCE", ":FORCETRIG", C},
        },
        SoftAndPushKeys(),
        {
            {"VK_V_Dec", "Vertical", "-", ":KEY:V_SCALE_DEC", C},
            {"VK_V_Inc", "Vertical", "+", ":KEY:V_SCALE_INC", C},
            {"VK_H_Dec", "Horizontal", "-", ":KEY:H_SCALE_DEC", C},
            {"VK_H_Inc", "Horizontal", "+", ":KEY:H_SCALE_INC", C},
            {"VK_F_DEC", "", "-", ":KEY:-FUNCTION", H},
            {"VK_F_INC", "", "+", ":KEY:+FUNCTION", H},
        },
        PositionKnobKeys(),
    });
    return keys;
}

const std::vector<PanelKey>& SecondBrandKeys() {
    // No OFF and no 50% key; Auto, Normal and Copy added; force trigger is a
    // key command; the vertical scale keys are reversed, as the instrument
    // expects; the function knob turns one step per click.
    static const std::vector<PanelKey> keys = Joined({
        {
            {"VK_Menu_Off", "", "MENU\nON/OFF", ":KEY:MNUOFF", C},
            {"VK_Run", "", "Stop/Single", ":KEY:RUN", C},
            {"VK_Auto", "", "Auto\nSetup", ":KEY:AUTO", C},
            {"VK_Copy", "", "Copy", ":KEY:COPY", C},
            {"VK_Measure", "", "Measure", ":KEY:MEASURE", C},
            {"VK_Acquire", "", "Acquisition", ":KEY:ACQUIRE", C},
            {"VK_Storage", "", "Save\n/Recall", ":KEY:STORAGE", C},
            {"VK_Cursor", "", "Cursors", ":KEY:CURSOR", C},
            {"VK_Display", "", "Display", ":KEY:DISPLAY", C},
            {"VK_Utility", "", "Utilities", ":KEY:UTILITY", C},
        },
        ChannelKeys(),
        {
            {"VK_TimeMenu", "Horizontal", "MENU", ":KEY:MNUTIME", C},
            {"VK_Trig_Menu", "Trigger", "MENU", ":KEY:MNUTRIG", C},
            {"VK_AutoMode", "Trigger", "Auto", ":KEY:TRIG_AUTO", C},
            {"VK_NormalMode", "Trigger", "Normal", ":KEY:TRIG_NORMAL", C},
            {"VK_Trig_Force", "Trigger", "Manual\nTrigger", ":KEY:FORCE", C},
        },
        SoftAndPushKeys(),
        {
            {"VK_V_Dec", "Vertical", "-", ":KEY:V_SCALE_INC", C},
            {"VK_V_Inc", "Vertical", "+", ":KEY:V_SCALE_DEC", C},
            {"VK_H_Dec", "Horizontal", "-", ":KEY:H_SCALE_DEC", C},
            {"VK_H_Inc", "Horizontal", "+", ":KEY:H_SCALE_INC", C},
            {"VK_F_DEC", "", "-", ":KEY:-FUNCTION", C},
            {"VK_F_INC", "", "+", ":KEY:+FUNCTION", C},
        },
        PositionKnobKeys(),
    });
    return keys;
}

const PanelBrandRules& MainBrandRules() {
    static const PanelBrandRules r{200, true, true, false, true, true, 3};
    return r;
}

const PanelBrandRules& SecondBrandRules() {
    // Ten keys in the MENU frame, five to a row in the wider frame the panel
    // gives it, so that the two-line legends keep the keys' type.
    static const PanelBrandRules r{100, false, false, true, false, false, 5};
    return r;
}

const std::vector<PanelKey>& PanelKeysOf(PanelBrand brand) {
    return brand == PanelBrand::Second ? SecondBrandKeys() : MainBrandKeys();
}

const PanelBrandRules& PanelRulesOf(PanelBrand brand) {
    return brand == PanelBrand::Second ? SecondBrandRules() : MainBrandRules();
}

const std::vector<PanelKey>& PanelKeyCommands() { return PanelKeysOf(BuildPanelBrand()); }

const PanelBrandRules& PanelRules() { return PanelRulesOf(BuildPanelBrand()); }

const std::vector<PanelKnob>& PanelKnobs() {
    static const std::vector<PanelKnob> knobs = {
        {"VK_F_DEC", "VK_F_F", "VK_F_INC", "Function", "多功能"},
        {"VK_V_Dec", "VK_P_V", "VK_V_Inc", "Vertical Scale", "垂直档位"},
        {"VK_V_Pos_Dec", "VK_P_V_P", "VK_V_Pos_Inc", "Vertical Position", "垂直位置"},
        {"VK_H_Dec", "VK_P_H", "VK_H_Inc", "Horizontal Scale", "水平时基"},
        {"VK_H_Pos_Dec", "VK_P_H_P", "VK_H_Pos_Inc", "Horizontal Position", "水平位置"},
        {"VK_Trig_Lvl_Dec", "VK_P_L", "VK_Trig_Lvl_Inc", "Trigger Level", "触发电平"},
    };
    return knobs;
}

const PanelKnob* KnobOf(const QString& control) {
    for (const PanelKnob& k : PanelKnobs())
        if (control == QLatin1String(k.dec) || control == QLatin1String(k.push) || control == QLatin1String(k.inc))
            return &k;
    return nullptr;
}

QString KnobKeyName(const QString& control, int lang) {
    const PanelKnob* k = KnobOf(control);
    if (!k) return QString();
    const QString name = lang == 0 ? QString::fromUtf8(k->nameZh) : QString::fromLatin1(k->nameEn);
    if (control == QLatin1String(k->dec)) return name + QStringLiteral(" \u2212");
    if (control == QLatin1String(k->inc)) return name + QStringLiteral(" +");
    return name;
}

const PanelKey* FindPanelKey(const std::vector<PanelKey>& keys, const QString& control) {
    for (const PanelKey& k : keys)
        if (control == QLatin1String(k.control)) return &k;
    return nullptr;
}
