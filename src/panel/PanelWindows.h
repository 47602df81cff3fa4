#pragma once
// The key pad (frmV_Key, for the serial line) and the virtual panel
// (frmV_Panel, keys beside a live copy of the instrument's screen, for USB),
// of the brand the program is built for.
#include <QString>
#include <functional>

class QWidget;

// What the windows need of the application above them; set by the
// composition root. Unset hooks leave the designed texts.
struct PanelUiHooks {
    // The window's texts in the current UI language (the main brand's
    // windows only; the second brand's keep their English texts).
    std::function<void(QWidget* keyPad)> ApplyKeyPadCaptions;
    std::function<void(QWidget* panel)> ApplyPanelCaptions;
};
PanelUiHooks& PanelUi();

// Names the knob keys of a key pad or panel for screen readers in a UI
// language (the caption setters call it with the window's other texts).
void NamePanelKeys(QWidget* window, int lang);

// Shows the panel (USB link) or the key pad (any other link) modally, owned
// by owner; returns when it has closed.
void ShowVirtualPanelWindow(QWidget* owner);
