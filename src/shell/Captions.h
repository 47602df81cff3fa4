#pragma once
// Caption tables and the machinery that puts them on windows.
//
// Every window that follows the UI language has a table of rows: which
// control, which text of it, and the English and Chinese texts. A setter
// takes one window and a language: 0 sets the Chinese column, 1 the English
// column, any other value changes nothing.
//
// A row reaches its control through the window's own member (CAPTION_OF), so
// a control renamed or removed in its window fails to compile here. A row
// that finds no control on the window it is given (a window of another class,
// a control not made) is reported as a fault and the others are still set.
#include <QList>
#include <QString>
#include <functional>
#include <vector>

class QObject;
class QWidget;

// How a row reaches its control on a window of class W.
class CaptionControl {
public:
    // The window itself.
    CaptionControl() = default;
    template <class W>
    static CaptionControl Of(QObject* (*reach)(W&)) {
        CaptionControl c;
        c.reach_ = [reach](QWidget* window) -> QObject* {
            auto* w = dynamic_cast<W*>(window);
            return w ? reach(*w) : nullptr;
        };
        return c;
    }
    // The control on the window (the window for the window itself); null
    // when the window is not of the row's class or lacks the control.
    QObject* On(QWidget* window) const;

private:
    std::function<QObject*(QWidget*)> reach_;
};

// The control `member` of window class W: CAPTION_OF(frmOptions, Frame3),
// CAPTION_OF(frmNewDoc, NewOption.value(3)).
#define CAPTION_OF(W, member) CaptionControl::Of<W>([](W& w) -> QObject* { return w.member; })

enum class CaptionProp {
    Title,       // the window's own title
    Text,        // caption of a menu item, button, label, frame, check or option box
    ToolTip,     // tool tip of a control
    Column,      // header text of column `item` (from 1) of a list view
    Tab,         // text of tab `item` (from 1) of a tab strip
    Node,        // text of node `item` (from 1, in tree order) of a tree view
    ToolButton,  // tool tip of button `item` (from 1, separators counted) of a toolbar
    Accessible,  // the name screen readers announce for a control
    Description, // what screen readers say a control does, after its name
    AccessibleOn,  // the name screen readers announce for a toggle button while it is on
};

struct CaptionRow {
    CaptionControl control;  // empty for the window itself
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

// Sets one row on a window; false when the control or its item is absent.
bool ApplyCaptionRow(QWidget* window, const CaptionRow& row, int lang, bool oneWindow = false);

// Sets every row in table order. Does nothing for a language other than 0 or 1
// or a null window. Each row is set on its own: an item its control does not
// hold (a tree node, a tab) is passed over; a row whose control is not on the
// window is a fault, reported (a critical log entry naming the window and the
// row), and false is returned.
bool ApplyCaptionTable(QWidget* window, const CaptionTable& table, int lang,
                       bool oneWindow = false);

// ---- Tables -------------------------------------------------------------

// Main window and docked panes.
const CaptionTable& MainMenuCaptionTable();        // frmMain menus
const CaptionTable& DataSheetPopupCaptionTable();  // frmDataSheetTree popup menu
const CaptionTable& CtrlListPopupCaptionTable();   // frmCtrlList popup menu
const CaptionTable& ToolbarCaptionTable();         // frmMain toolbar and indicator
const CaptionTable& DataSheetTreeCaptionTable();   // frmDataSheetTree title and nodes
const CaptionTable& CtrlListCaptionTable();        // frmCtrlList title and buttons
const CaptionTable& PaneCloseCaptionTable();       // a docked pane's Close button

// Dialogs and panels, set when they load.
const CaptionTable& NewDocCaptionTable();
const CaptionTable& OpenDocCaptionTable();
const CaptionTable& OptionsCaptionTable();
const CaptionTable& SplashCaptionTable();
const CaptionTable& AboutCaptionTable();
const CaptionTable& AdjustDialogCaptionTable();
const CaptionTable& PassFailCaptionTable();
const CaptionTable& VirtualPanelCaptionTable();
const CaptionTable& VirtualPanelZoomCaptionTable();  // after it, where the panel zooms
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
// How the language machinery reaches the windows of a kind. The main window
// and the two panes register `instance` (a pane is created on first use);
// view windows are found in the data sheet's window arrays. A window kind
// added later registers its own table:
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

// The single window of a kind through its `instance` hook; null when none.
QWidget* CaptionWindow(const QString& kind);
