#pragma once
// The front-panel keys as data: one row per key (control, legend, command,
// how it acts), one table per brand, and the few rules in which the brands'
// key handling differs. The key pad and the virtual panel are built from
// these tables; nothing else knows a key's command.
#include <QString>
#include <vector>

enum class KeyAction {
    Click,  // sends its command on a click (image keys, knob pushes, single steps)
    Held    // a knob turn: acts on mouse press, repeat ticks and release
};

struct PanelKey {
    const char* control;  // the control's name, e.g. "VK_Run"
    const char* group;    // the legend of its group ("Vertical"); empty for the soft keys
    const char* legend;   // the text shown with the key; "\n" stacks two labels
    const char* command;  // sent exactly as given (the command layer ends the line)
    KeyAction action;
};

// Where the brands' key handling differs.
struct PanelBrandRules {
    int repeatMs;          // interval of a held key's repeat
    bool stepArgument;     // ":KEY:... <step>" with the accelerating step; else the bare command
    bool sendOnPress;      // a held key sends (with step 0) at its press
    bool clickAfterHeld;   // the click that follows a held key's release sends once more
    bool zoom;             // the panel has the double-size screen
    bool languageCaptions; // the windows follow the UI language
    int panelMenuColumns;  // keys to a row in the virtual panel's MENU frame
};

enum class PanelBrand { Main, Second };

const std::vector<PanelKey>& MainBrandKeys();
const std::vector<PanelKey>& SecondBrandKeys();
const PanelBrandRules& MainBrandRules();
const PanelBrandRules& SecondBrandRules();

// The brand this program is built for (the KV_SECOND_BRAND build option).
constexpr PanelBrand BuildPanelBrand() {
#if defined(KV_SECOND_BRAND) && KV_SECOND_BRAND
    return PanelBrand::Second;
#else
    return PanelBrand::Main;
#endif
}
// The keys and rules of a brand, and of the built brand.
const std::vector<PanelKey>& PanelKeysOf(PanelBrand brand);
const PanelBrandRules& PanelRulesOf(PanelBrand brand);
const std::vector<PanelKey>& PanelKeyCommands();
const PanelBrandRules& PanelRules();

// The row of a control in a table; nullptr when the table has no such key.
const PanelKey* FindPanelKey(const std::vector<PanelKey>& keys, const QString& control);

// A knob of the panel: its push key between its two turn keys (legends "-"
// and "+"), and its name in both UI languages. Both brands have all six.
struct PanelKnob {
    const char* dec;
    const char* push;
    const char* inc;
    const char* nameEn;
    const char* nameZh;  // UTF-8
};
const std::vector<PanelKnob>& PanelKnobs();
// The knob a key belongs to; nullptr for the other keys.
const PanelKnob* KnobOf(const QString& control);
// What a screen reader calls a knob's key, in the UI language (0 Chinese,
// otherwise English): the knob's name, followed by " −" or " +" for its turn
// keys ("Vertical Scale −"). Empty for the other keys.
QString KnobKeyName(const QString& control, int lang);
