#pragma once
// The main window: the document area, the two docked panes ("DataSheet" the
// data browser, "Controller" the controller window), menus, toolbar with the
// connection indicator, status bar, and the three timers (one-shot start,
// 2 s status clearing, 100 ms tick of the serial time-outs).
#include <QMainWindow>
#include <QMap>
#include <optional>

#include "shell/SoftwareSettings.h"

class QAbstractButton;
class QAction;
class QDockWidget;
class QLabel;
class QMdiArea;
class QMenu;
class QStatusBar;
class QTimer;
class QToolBar;

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    frmMain();
    ~frmMain() override;

    // Life cycle.
    void MDIForm_Load();
    void TimerInit_Timer();
    void MDIForm_Resize();
    // The closing questions; true cancels the closing.
    bool MDIForm_QueryUnload();
    void MDIForm_Unload();

    void ShowDataSheetPane();
    void ShowControllerPane();

    // Timer handlers of the serial line's status text and time-outs. The
    // 100 ms tick also redraws the clock, every tenth tick of its own.
    void CommTimer_Timer();
    void TimeOutTimer_Timer();
    // Shows a status text in the panel "Status" and arms the clearing timer.
    void ShowStatusText(const QString& text);
    // A view's text in the panel "Status", kept (no clearing timer) until
    // another text replaces it; the empty text clears the panel when it
    // still shows the view's last text.
    void ShowViewStatusText(const QString& text);
    void ShowConnectionLed(bool connected);

    // Stored settings of this window (options and the rectangle in twips).
    void LoadSoftwareSetting();
    void SaveSoftwareSetting();
    MainRectTwips WindowRectTwips() const;
    void SetWindowRectTwips(const MainRectTwips& r);

    // Menu and toolbar handlers.
    void mnuFileNew_Click();
    void mnuFileOpen_Click();
    void mnuFileSaveDataSheet_Click();
    void mnuFileSaveCtrlFile_Click();
    void mnuFileSaveAll_Click();
    void mnuFilePageSetup_Click();
    void mnuFileRecentCtrl_Click(int index);
    void mnuFileRecentSheet_Click(int index);
    void mnuFileExit_Click();
    void mnuViewToolbar_Click();
    void mnuViewStatusBar_Click();
    void mnuViewController_Click();
    void mnuViewDataBrowser_Click();
    void mnuToolsConnect_Click();
    void mnuToolsDisconnect_Click();
    void mnuToolsOptions_Click();
    void mnuWindowCascade_Click();
    void mnuWindowTileHorizontal_Click();
    void mnuWindowTileVertical_Click();
    void mnuWindowArrangeIcons_Click();
    void mnuHelpContents_Click();
    void mnuHelpAbout_Click();
    void tbToolBar_ButtonClick(const QString& key);

    // Runs the New or Open choice once the dialog has answered.
    void RunNewDocument(int kind);
    void RunOpenDocument(int kind);

    // Enables each document command's menu item and button while the command
    // is bound (DocCommands()), the add buttons also only while a sheet is open.
    void UpdateCommandAvailability();

    // Toolbar button by its index 1..18 (separators included), or by key.
    QAction* ToolbarButton(int index) const;
    QAction* ToolbarButton(const QString& key) const;
    // The recent-file items mnuFileRecentCtrl(i) / mnuFileRecentSheet(i), i 0..3.
    QAction* RecentCtrlItem(int i) const { return mnuFileRecentCtrl[i]; }
    QAction* RecentSheetItem(int i) const { return mnuFileRecentSheet[i]; }

    QMdiArea* MdiArea = nullptr;
    QToolBar* tbToolBar = nullptr;
    QLabel* picLED_ON = nullptr;
    QLabel* picLED_OFF = nullptr;
    QStatusBar* sbrStatus = nullptr;
    QLabel* StatusPanel = nullptr;  // panel with key "Status"
    QLabel* DatePanel = nullptr;
    QLabel* TimePanel = nullptr;
    QTimer* TimerInit = nullptr;
    QTimer* CommTimer = nullptr;
    QTimer* TimeOutTimer = nullptr;
    QDockWidget* DataSheetPane = nullptr;
    QDockWidget* ControllerPane = nullptr;
    // The panes' Close buttons (named for screen readers in the UI language).
    QAbstractButton* DataSheetPaneClose = nullptr;
    QAbstractButton* ControllerPaneClose = nullptr;
    // The menus and their items (separators and recent-file items apart).
    QMenu* mnuFile = nullptr;
    QAction* mnuFileNew = nullptr;
    QAction* mnuFileOpen = nullptr;
    QAction* mnuFileSaveDataSheet = nullptr;
    QAction* mnuFileSaveCtrlFile = nullptr;
    QAction* mnuFileSaveAll = nullptr;
    QAction* mnuFilePageSetup = nullptr;
    QMenu* mnuRecentCtrlRoot = nullptr;
    QMenu* mnuRecentSheetRoot = nullptr;
    QAction* mnuFileExit = nullptr;
    QMenu* mnuView = nullptr;
    QAction* mnuViewToolbar = nullptr;
    QAction* mnuViewStatusBar = nullptr;
    QAction* mnuViewController = nullptr;
    QAction* mnuViewDataBrowser = nullptr;
    QMenu* mnuTools = nullptr;
    QAction* mnuToolsConnect = nullptr;
    QAction* mnuToolsDisconnect = nullptr;
    QAction* mnuToolsOptions = nullptr;
    QMenu* mnuWindow = nullptr;
    QAction* mnuWindowCascade = nullptr;
    QAction* mnuWindowTileHorizontal = nullptr;
    QAction* mnuWindowTileVertical = nullptr;
    QAction* mnuWindowArrangeIcons = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuHelpContents = nullptr;
    QAction* mnuHelpAbout = nullptr;
    QMenu* mnuHelpLanguage = nullptr;
    QAction* mnuLanguageChinese = nullptr;
    QAction* mnuLanguageEnglish = nullptr;

protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void buildMenus();
    void buildToolbar();
    void buildStatusBar();
    void dockPanes();
    void showRecentMenu(int list, bool enabled, const QStringList& entries);
    void refreshClock();
    void listDocumentWindows();
    void tileDocuments(bool horizontal);

    QAction* mnuFileRecentCtrl[4] = {};
    QAction* mnuFileRecentSheet[4] = {};
    // The clock's own count of ticks: the serial time-out's count restarts
    // with every byte received, so it cannot time the clock.
    int clockTicks_ = 0;
    QList<QAction*> toolbarButtons_;  // index 1..18 at 0..17
    QString viewStatus_;              // the panel text of the last ShowViewStatusText
    QList<QAction*> windowListActions_;
    bool unloaded_ = false;
    // While a row of view windows is shown, their titles wait for its end
    // (see ViewHost().ShowingRow).
    bool showingRow_ = false;
    std::vector<std::pair<QPointer<QWidget>, QString>> heldTitles_;
};

// The main window (set by Main), or nullptr before it exists and after it is gone.
frmMain* MainForm();
void SetMainForm(frmMain* form);

// The one-thread guard of the closing: true while a transfer job runs, when
// the main window must not close under it.
bool TransferRunning();
