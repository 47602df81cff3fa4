#pragma once
// Caption tables and the machinery that puts them on windows.
//
// Every window that follows the UI language has a table of rows: which
// control (by objectName), which text of it, and the English and Chinese
// texts. A setter takes one window and a language: 0 sets the Chinese column,
// 1 the English column, any other value changes nothing. Controls that a
// window lacks are skipped, so a table can stand before its window is built.
//
// Control arrays are named "Name(i)" in the tables; a control is found by the
// objectName "Name(i)" or, failing that, "Name_i".
#include <QList>
#include <QString>
#include <functional>
#include <vector>

class QObject;
class QWidget;

enum class CaptionProp {
    Title,       // the window's own title
    Text,        // caption of a menu item, button, label, frame, check or option box
    ToolTip,     // tool tip of a control
    Column,      // header text of column `item` (from 1) of a list view
    Tab,         // text of tab `item` (from 1) of a tab strip
    Node,        // text of node `item` (from 1, in tree order) of a tree view
    ToolButton,  // tool tip of button `item` (from 1, separators counted) of a toolbar
};

struct CaptionRow {
    QString control;  // objectName; empty for the window itself
    CaptionProp prop = CaptionProp::Text;
    int item = 0;     // column, tab, node or button number where prop needs one
    QString en;
    QString zh;
    QString zhOneWindow;  // when set, the Chinese text of a one-window setter
};
using CaptionTable = std::vector<CaptionRow>;

// The text of a row in a language (0 Chinese, 1 English); null for any other.
// oneWindow picks the one-window variant of the Chinese text where there is one.
QString CaptionText(const CaptionRow& row, int lang, bool oneWindow = false);

// Finds a control of a window by the table's name (see above); the window
// itself when name is empty or is the window's own objectName.
QObject* FindCaptionControl(QWidget* window, const QString& name);

// Sets one row on a window; false when the control or its item is absent.
bool ApplyCaptionRow(QWidget* window, const CaptionRow& row, int lang, bool oneWindow = false);

// Sets every row in table order. Does nothing for a language other than 0 or 1
// or a null window. Each row is set on its own: an absent control is skipped.
void ApplyCaptionTable(QWidget* window, const CaptionTable& table, int lang,
                       bool oneWindow = false);

// ---- Tables -------------------------------------------------------------

// Main window and docked panes.
const CaptionTable& MainMenuCaptionTable();        // frmMain menus
const CaptionTable& DataSheetPopupCaptionTable();  // frmDataSheetTree popup menu
const CaptionTable& CtrlListPopupCaptionTable();   // frmCtrlList popup menu
const CaptionTable& ToolbarCaptionTable();         // frmMain toolbar and indicator
const CaptionTable& DataSheetTreeCaptionTable();   // frmDataSheetTree title and nodes
const CaptionTable& CtrlListCaptionTable();        // frmCtrlList title and buttons

// Dialogs and panels, set when they load.
const CaptionTable& NewDocCaptionTable();
const CaptionTable& OpenDocCaptionTable();
const CaptionTable& OptionsCaptionTable();
const CaptionTable& SplashCaptionTable();
const CaptionTable& AboutCaptionTable();
const CaptionTable& AdjustDialogCaptionTable();
const CaptionTable& PassFailCaptionTable();
const CaptionTable& VirtualPanelCaptionTable();
const CaptionTable& VirtualKeyCaptionTable();

// Document windows.
const CaptionTable& WaveWindowCaptionTable();
const CaptionTable& DataWindowCaptionTable();
const CaptionTable& MeasureWindowCaptionTable();
const CaptionTable& RecordWindowCaptionTable();
const CaptionTable& MemoryWaveWindowCaptionTable();

// The application's version text, shown on the splash screen and the About box.
extern const char* const AppVersionText;  // "00.01.05"

// ---- Registry of window kinds --------------------------------------------
//
// How the language machinery reaches the windows of a kind. Every kind named
// by the tables above is known from the start; a window that exists can be
// found by its objectName (the kind's name) without registering anything.
// A window that must be created on first use registers `instance`; view
// windows are found in the data sheet's window arrays. A window kind added
// later registers its own table:
// with atSwitch set, every application of the language re-captions its open
// windows (found through `openWindows`) after the built-in kinds.
struct CaptionKind {
    QString name;
    CaptionTable table;
    bool atSwitch = false;
    // The single window of the kind, created and loaded when needed.
    std::function<QWidget*()> instance;
    // Run right after a view window got its texts (measurement re-display,
    // record status line).
    std::function<void(QWidget* window, int slot, int lang)> afterCaptions;
    // Open windows of a kind registered later, re-captioned at a switch.
    std::function<QList<QWidget*>()> openWindows;
};

// The entry of a kind, made (empty, not at switch) on first use.
CaptionKind& CaptionKindOf(const QString& name);
// Registers a table for a kind added later; atSwitch as above.
void RegisterCaptionKind(const QString& name, const CaptionTable& table, bool atSwitch,
                         std::function<QList<QWidget*>()> openWindows = nullptr);
// Kinds registered through RegisterCaptionKind with atSwitch set, in order.
QStringList SwitchCaptionKinds();
// Sets a registered kind's table on one window (called from the window's load).
void SetRegisteredCaptions(const QString& kind, QWidget* window, int lang);

// The single window of a kind: its `instance` hook, else the first widget of
// the application whose objectName is the kind's name; null when none.
QWidget* CaptionWindow(const QString& kind);
