#pragma once
// The UI language: its stored setting, applying it to every window, and
// switching it at run time; the caption setters of every window kind.
//
// Every setter takes the language as 0 (Chinese) or 1 (English); any other
// value leaves every text as it was.
#include <QColor>
#include <QString>
#include <functional>

#include "replay/model/StatusLine.h"

class QPainter;
class QWidget;

// ---- Language --------------------------------------------------------------

// Reads the stored language (section "Velmora_Language", key "Language") into
// Shell().UILanguage: "0" is Chinese; a missing key, or any value other than
// 0 or 1, gives English.
void ReadLanguageSetting();
// Stores Shell().UILanguage as "0" or "1".
void SaveLanguageSetting();

// Applies the language (0 Chinese, 1 English) to every window that exists,
// loading the data browser and the controller window the first time: the help
// file and the Language menu's check marks, the message and vocabulary tables,
// the main window's and the panes' captions, then every open view's.
void ApplyLanguage(int lang);

// The Language menu: switches to 0 or 1 (other values are ignored). The
// settings mirror's words pass from the old language to the new one, the
// choice is stored at once, and the controller tree is rebuilt keeping its
// expanded groups.
void SwitchLanguage(int newLang);

// The help file of the language applied last (beside the application).
QString HelpFilePath();

// What a language switch needs of windows built elsewhere. Unset hooks do nothing.
struct LanguageHooksData {
    // Rebuilds the controller tree from the settings mirror with the current
    // labels, keeping the expanded state of the root and the fixed groups.
    std::function<void()> RebuildCtrlTree;
};
LanguageHooksData& LanguageHooks();

// ---- Main window and docked panes ----------------------------------------

void SetMainMenuCaptions(int lang);
void SetPopupMenuCaptions(int lang);   // data browser first, then controller window
void SetToolbarCaptions(int lang);
void SetDataSheetTreeCaptions(int lang);
void SetCtrlListCaptions(int lang);
// The names screen readers announce for the docked panes' Close buttons.
void SetPaneCloseCaptions(int lang);

// ---- Dialogs and panels: each window's load calls its setter --------------

void SetNewDocCaptions(QWidget* dialog, int lang);
void SetOpenDocCaptions(QWidget* dialog, int lang);
void SetOptionsCaptions(QWidget* dialog, int lang);
void SetSplashCaptions(QWidget* splash, int lang);
void SetAboutCaptions(QWidget* about, int lang);
void SetAdjustDialogCaptions(QWidget* dialog, int lang);   // window title untouched
void SetPassFailCaptions(QWidget* dialog, int lang);       // window title untouched
void SetVirtualPanelCaptions(QWidget* panel, int lang);
void SetVirtualKeyCaptions(QWidget* keypad, int lang);

// ---- Document windows -------------------------------------------------------
//
// The one-window setters caption the window held in a slot of the data sheet
// (called when a view window is made or remade); the all-windows setters
// caption every view of the kind whose window is open, in slot order.

void SetWaveWindowCaptions(int slot, int lang);
void SetWaveWindowCaptionsAll(int lang);
void SetDataWindowCaptions(int slot, int lang);
void SetDataWindowCaptionsAll(int lang);
// The all-windows setter re-displays every open measurement view (its
// verdict words follow the language) through the kind's afterCaptions hook.
void SetMeasureWindowCaptions(int slot, int lang);
void SetMeasureWindowCaptionsAll(int lang);
// The all-windows setter translates each open record view's status text and
// redraws its status line (the kind's afterCaptions hook instead, where one
// is set).
void SetRecordWindowCaptions(int slot, int lang);
void SetRecordWindowCaptionsAll(int lang);
void SetMemoryWaveWindowCaptions(int slot, int lang);
void SetMemoryWaveWindowCaptionsAll(int lang);
// Gives the sheet procedures (adding and rebuilding views) the one-window
// setters above, and sets the afterCaptions hook of the measurement views.
void InstallViewCaptionSetters();
