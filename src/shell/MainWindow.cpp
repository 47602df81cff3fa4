#include "shell/MainWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <algorithm>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDate>
#include <QDesktopServices>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRadioButton>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include "common/SettingsStore.h"
#include <QStatusBar>
#include <QTime>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include "common/RecentFiles.h"
#include "common/SheetModel.h"
#include "common/ShellState.h"
#include "common/Twips.h"
#include "controller/CtrlList.h"
#include "controller/CtrlState.h"
#include "link/KV2200Cmd.h"
#include "link/LinkEvents.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/RS232Func.h"
#include "link/TransferJobs.h"
#include "shell/frmPrgress.h"
#include "link/UsbFunc.h"
#include "platform/dialogs/MsgBox.h"
#include "platform/dialogs/PrinterSetup.h"
#include "sheets/SheetFile.h"
#include "sheets/DataSheetTree.h"
#include "sheets/FileFunc.h"
#include "sheets/SheetDocument.h"
#include "sheets/ViewHost.h"
#include "sheets/ViewWindow.h"
#include "shell/DocDialogs.h"
#include "shell/DocumentCommands.h"
#include "shell/Captions.h"
#include "shell/Language.h"
#include "shell/frmAbout.h"
#include "shell/OptionsDialog.h"
#include "shell/OptionsLogic.h"
#include "shell/ShellIcons.h"

namespace {
QPointer<frmMain>& mainFormRef() {
    static QPointer<frmMain> p;
    return p;
}

// Width of the docked area: 3000 twips.
constexpr double kDockAreaTwips = 3000;
// The indicator stands 2700 twips right of the inner width (which excludes the docked area).
constexpr double kLedOffsetTwips = 2700;

struct ToolbarEntry {
    const char* key;
    const char* tip;
};
// Index 1..18; an empty key is a separator.
const ToolbarEntry kToolbar[18] = {
    {"New", "New"}, {"Open", "Open"}, {"Save", "Save All"}, {"", ""},
    {"Connect", "Connect to Oscilloscope"}, {"Disconnect", "Disconnect"}, {"", ""},
    {"Controller", "DSO Controller"}, {"DataBrowser", "Data Browser "}, {"", ""},
    {"AddNewWaveform", "Add New Waveform "}, {"AddNewMeasure", "Add New Measure "},
    {"AddNewData", "Add New Data "}, {"", ""}, {"AddNewRecord", "Add New Record "},
    {"AddNewMemoryWaveform", "Add New Memory Waveform "}, {"", ""}, {"Options", "Options"},
};

// A text a menu item shows as it is: each "&" doubled, so that none is taken
// for an access key.
QString MenuTextAsIs(const QString& text) { return QString(text).replace('&', QLatin1String("&&")); }

// A recent-file item holds its path and shows it whole.
void SetRecentPath(QAction* item, const QString& path) {
    item->setData(path);
    item->setText(MenuTextAsIs(path));
}
QString RecentPath(const QAction* item) { return item->data().toString(); }

// The Close button a dock made for itself: the one Qt named for screen
// readers with its own word for it.
QAbstractButton* DockCloseButton(QDockWidget* dock) {
    const QString qtName = QDockWidget::tr("Close");
    for (auto* b : dock->findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly))
        if (b->accessibleName() == qtName) return b;
    return nullptr;
}
}  // namespace

frmMain* MainForm() { return mainFormRef().data(); }
void SetMainForm(frmMain* form) { mainFormRef() = form; }

bool TransferRunning() { return Transfer().TransferBusy; }

frmMain::frmMain() {
    setObjectName("frmMain");
    setWindowTitle("Velmora");
    setWindowIcon(AppIcon());
    setAttribute(Qt::WA_DeleteOnClose, false);

    MdiArea = new QMdiArea(this);
    MdiArea->setObjectName("MdiArea");
    MdiArea->setBackground(QColor(128, 128, 128));
    // A view window keeps its designed size in a small main window; the work
    // area scrolls to the part that does not fit.
    MdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    MdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(MdiArea);

    buildMenus();
    buildToolbar();
    buildStatusBar();

    TimerInit = new QTimer(this);
    TimerInit->setObjectName("TimerInit");
    TimerInit->setInterval(1);
    connect(TimerInit, &QTimer::timeout, this, &frmMain::TimerInit_Timer);
    CommTimer = new QTimer(this);
    CommTimer->setObjectName("CommTimer");
    CommTimer->setInterval(2000);
    connect(CommTimer, &QTimer::timeout, this, &frmMain::CommTimer_Timer);
    TimeOutTimer = new QTimer(this);
    TimeOutTimer->setObjectName("TimeOutTimer");
    TimeOutTimer->setInterval(100);
    connect(TimeOutTimer, &QTimer::timeout, this, &frmMain::TimeOutTimer_Timer);
    // The add-view buttons (11, 12, 13) follow whether the sheet is open.
    connect(&SheetDoc(), &SheetDocument::sheetOpenChanged, this, [this](bool open) {
        for (int button : {11, 12, 13})
            if (QAction* a = ToolbarButton(button)) a->setProperty("SheetOpen", open);
        UpdateCommandAvailability();
    });
}

frmMain::~frmMain() {
    if (MainForm() == this) SetMainForm(nullptr);
    LinkUi().ShowConnectionLed = nullptr;
    LinkUi().ShowSerialStatus = nullptr;
    ViewHost().ShowStatus = nullptr;
    RecentMenuUi().Show = nullptr;
}

// ---------------------------------------------------------------------------
// Building the window.

void frmMain::buildMenus() {
    QMenuBar* bar = menuBar();
    auto menu = [](QMenuBar* b, const char* name, const char* title) {
        QMenu* m = b->addMenu(title);
        m->setObjectName(name);
        return m;
    };
    auto item = [this](QMenu* m, const char* name, const char* text, auto handler) {
        QAction* a = m->addAction(text);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    auto bar0 = [](QMenu* m, const char* name) { m->addSeparator()->setObjectName(name); };

    mnuFile = menu(bar, "mnuFile", "&File");
    mnuFileNew = item(mnuFile, "mnuFileNew", "&New", &frmMain::mnuFileNew_Click);
    mnuFileNew->setShortcut(QKeySequence("Ctrl+N"));
    mnuFileOpen = item(mnuFile, "mnuFileOpen", "&Open...", &frmMain::mnuFileOpen_Click);
    mnuFileOpen->setShortcut(QKeySequence("Ctrl+O"));
    bar0(mnuFile, "mnuFileBar0");
    mnuFileSaveDataSheet = item(mnuFile, "mnuFileSaveDataSheet", "&Save Data Sheet", &frmMain::mnuFileSaveDataSheet_Click);
    mnuFileSaveCtrlFile = item(mnuFile, "mnuFileSaveCtrlFile", "Save &Controller", &frmMain::mnuFileSaveCtrlFile_Click);
    mnuFileSaveAll = item(mnuFile, "mnuFileSaveAll", "Save &All", &frmMain::mnuFileSaveAll_Click);
    bar0(mnuFile, "mnuFileBar1");
    mnuFilePageSetup = item(mnuFile, "mnuFilePageSetup", "Page Set&up...", &frmMain::mnuFilePageSetup_Click);
    bar0(mnuFile, "mnuFileBar3");
    mnuRecentCtrlRoot = mnuFile->addMenu("Recent Con&trol File");
    mnuRecentCtrlRoot->setObjectName("mnuRecentCtrlRoot");
    mnuRecentSheetRoot = mnuFile->addMenu("Recent &Data Sheet File");
    mnuRecentSheetRoot->setObjectName("mnuRecentSheetRoot");
    for (int i = 0; i < 4; ++i) {
        mnuFileRecentCtrl[i] = mnuRecentCtrlRoot->addAction(QString());
        mnuFileRecentCtrl[i]->setObjectName(QString("mnuFileRecentCtrl(%1)").arg(i));
        mnuFileRecentCtrl[i]->setVisible(i == 0);
        connect(mnuFileRecentCtrl[i], &QAction::triggered, this, [this, i] { mnuFileRecentCtrl_Click(i); });
        mnuFileRecentSheet[i] = mnuRecentSheetRoot->addAction(QString());
        mnuFileRecentSheet[i]->setObjectName(QString("mnuFileRecentSheet(%1)").arg(i));
        mnuFileRecentSheet[i]->setVisible(i == 0);
        connect(mnuFileRecentSheet[i], &QAction::triggered, this, [this, i] { mnuFileRecentSheet_Click(i); });
    }
    bar0(mnuFile, "mnuFileBar5");
    mnuFileExit = item(mnuFile, "mnuFileExit", "E&xit", &frmMain::mnuFileExit_Click);

    mnuView = menu(bar, "mnuView", "&View");
    mnuViewToolbar = item(mnuView, "mnuViewToolbar", "&Toolbar", &frmMain::mnuViewToolbar_Click);
    mnuViewToolbar->setCheckable(true);
    mnuViewToolbar->setChecked(true);
    mnuViewStatusBar = item(mnuView, "mnuViewStatusBar", "&Status Bar", &frmMain::mnuViewStatusBar_Click);
    mnuViewStatusBar->setCheckable(true);
    mnuViewStatusBar->setChecked(true);
    bar0(mnuView, "mnuViewBar0");
    mnuViewController = item(mnuView, "mnuViewController", "Show &Controller", &frmMain::mnuViewController_Click);
    mnuViewDataBrowser = item(mnuView, "mnuViewDataBrowser", "Show Data &Browser", &frmMain::mnuViewDataBrowser_Click);

    mnuTools = menu(bar, "mnuTools", "&Tools");
    mnuToolsConnect = item(mnuTools, "mnuToolsConnect", "&Connect to Oscilloscope", &frmMain::mnuToolsConnect_Click);
    mnuToolsDisconnect = item(mnuTools, "mnuToolsDisconnect", "&Disconnect", &frmMain::mnuToolsDisconnect_Click);
    bar0(mnuTools, "mnuToolsBar0");
    mnuToolsOptions = item(mnuTools, "mnuToolsOptions", "&Options...", &frmMain::mnuToolsOptions_Click);

    mnuWindow = menu(bar, "mnuWindow", "&Window");
    mnuWindowCascade = item(mnuWindow, "mnuWindowCascade", "&Cascade", &frmMain::mnuWindowCascade_Click);
    mnuWindowTileHorizontal = item(mnuWindow, "mnuWindowTileHorizontal", "Tile &Horizontal", &frmMain::mnuWindowTileHorizontal_Click);
    mnuWindowTileVertical = item(mnuWindow, "mnuWindowTileVertical", "Tile &Vertical", &frmMain::mnuWindowTileVertical_Click);
    mnuWindowArrangeIcons = item(mnuWindow, "mnuWindowArrangeIcons", "&Arrange Icons", &frmMain::mnuWindowArrangeIcons_Click);
    connect(mnuWindow, &QMenu::aboutToShow, this, &frmMain::listDocumentWindows);

    mnuHelp = menu(bar, "mnuHelp", "&Help");
    mnuHelpContents = item(mnuHelp, "mnuHelpContents", "&Contents", &frmMain::mnuHelpContents_Click);
    // F1 anywhere in the application opens the same help file.
    mnuHelpContents->setShortcut(QKeySequence(Qt::Key_F1));
    mnuHelpContents->setShortcutContext(Qt::ApplicationShortcut);
    bar0(mnuHelp, "mnuHelpBar0");
    mnuHelpAbout = item(mnuHelp, "mnuHelpAbout", "&About...", &frmMain::mnuHelpAbout_Click);
    bar0(mnuHelp, "mnuHelpBar1");
    mnuHelpLanguage = mnuHelp->addMenu("&Language");
    mnuHelpLanguage->setObjectName("mnuHelpLanguage");
    mnuLanguageChinese = mnuHelpLanguage->addAction(QString::fromUtf8("中文"));
    mnuLanguageChinese->setObjectName("mnuLanguageChinese");
    mnuLanguageChinese->setCheckable(true);
    mnuLanguageEnglish = mnuHelpLanguage->addAction("English");
    mnuLanguageEnglish->setObjectName("mnuLanguageEnglish");
    mnuLanguageEnglish->setCheckable(true);
    connect(mnuLanguageChinese, &QAction::triggered, this, [] { SwitchLanguage(LangChinese); });
    connect(mnuLanguageEnglish, &QAction::triggered, this, [] { SwitchLanguage(LangEnglish); });
}

void frmMain::buildToolbar() {
    tbToolBar = new QToolBar(this);
    tbToolBar->setObjectName("tbToolBar");
    tbToolBar->setMovable(false);
    tbToolBar->setFloatable(false);
    tbToolBar->setIconSize(QSize(16, 16));
    tbToolBar->toggleViewAction()->setEnabled(false);
    tbToolBar->installEventFilter(this);
    tbToolBar->setMouseTracking(true);
    addToolBar(Qt::TopToolBarArea, tbToolBar);
    setContextMenuPolicy(Qt::NoContextMenu);

    for (int i = 0; i < 18; ++i) {
        const ToolbarEntry& e = kToolbar[i];
        QAction* a;
        if (!*e.key) {
            a = tbToolBar->addSeparator();
            a->setObjectName(QString("tbSeparator%1").arg(i + 1));
        } else {
            a = tbToolBar->addAction(ToolbarIcon(e.key), QString(e.key));
            a->setObjectName(e.key);
            a->setToolTip(e.tip);
            // Screen readers announce the button by its tip, not its key.
            if (QWidget* button = tbToolBar->widgetForAction(a)) button->setAccessibleName(e.tip);
            const QString key = e.key;
            connect(a, &QAction::triggered, this, [this, key] { tbToolBar_ButtonClick(key); });
        }
        a->setProperty("Index", i + 1);
        a->setProperty("Key", QString(e.key));
        toolbarButtons_.append(a);
    }

    // The connection indicator: two 16 x 16 pictures at the same place on the toolbar.
    auto led = [this](const char* name, bool on, const char* tip) {
        auto* l = new QLabel(tbToolBar);
        l->setObjectName(name);
        l->setPixmap(LedPixmap(on));
        l->setToolTip(tip);
        const int px = ScreenTwipsToPixels(240);
        l->setGeometry(0, ScreenTwipsToPixels(60), px, px);
        l->show();
        l->raise();
        return l;
    };
    picLED_ON = led("picLED_ON", true, "Connection Status-[Connected]");
    picLED_OFF = led("picLED_OFF", false, "Connection Status-[Disconnected]");
}

void frmMain::buildStatusBar() {
    sbrStatus = new QStatusBar(this);
    sbrStatus->setObjectName("sbrStatus");
    setStatusBar(sbrStatus);
    StatusPanel = new QLabel("Status");
    StatusPanel->setObjectName("Status");
    DatePanel = new QLabel;
    DatePanel->setObjectName("DatePanel");
    TimePanel = new QLabel;
    TimePanel->setObjectName("TimePanel");
    sbrStatus->addWidget(StatusPanel, 1);
    sbrStatus->addPermanentWidget(DatePanel);
    sbrStatus->addPermanentWidget(TimePanel);
    refreshClock();
}

void frmMain::refreshClock() {
    DatePanel->setText(QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
    TimePanel->setText(QLocale().toString(QTime::currentTime(), QLocale::ShortFormat));
}

QAction* frmMain::ToolbarButton(int index) const {
    return index >= 1 && index <= toolbarButtons_.size() ? toolbarButtons_[index - 1] : nullptr;
}

QAction* frmMain::ToolbarButton(const QString& key) const {
    for (QAction* a : toolbarButtons_)
        if (!key.isEmpty() && a->property("Key").toString() == key) return a;
    return nullptr;
}

// ---------------------------------------------------------------------------
// Life cycle.

void frmMain::MDIForm_Load() {
    SetMainForm(this);
    TransferWindowOwner() = this;
    InstallTransferWindow();
    // The language reaches the main window and the two panes (loading a pane
    // the first time it is reached).
    CaptionKindOf("frmMain").instance = [] { return static_cast<QWidget*>(MainForm()); };
    CaptionKindOf("frmDataSheetTree").instance = [] { return static_cast<QWidget*>(DataBrowserForm()); };
    CaptionKindOf("frmCtrlList").instance = [] { return static_cast<QWidget*>(CtrlListForm()); };
    LinkUi().ShowConnectionLed = [this](bool on) { ShowConnectionLed(on); };
    LinkUi().ShowSerialStatus = [this](const QString& t) { ShowStatusText(t); };
    ViewHost().ShowStatus = [this](const QString& t) { ShowViewStatusText(t); };
    RecentMenuUi().Show = [this](RecentList list, bool enabled, const QStringList& entries) {
        showRecentMenu(list == RecentList::Ctrl ? 0 : 1, enabled, entries);
    };
    // View windows are child windows of the main window.
    ViewHost().Show = [this](QWidget* form) {
        auto* frame = qobject_cast<QMdiSubWindow*>(form->parentWidget());
        if (!frame) {
            // The forms place their controls themselves (no layout, no size
            // hint): the child window takes the size the form was made with,
            // unless it opens maximized as the others are.
            const QSize designed = form->size();
            // The child window's title bar is laid out again (its title
            // measured and elided) on every change of its geometry and on
            // every change of the active window; with no title yet that
            // costs nothing, so the title is given once the window has its
            // place, or once a row of windows is shown.
            const QString title = form->windowTitle();
            if (!title.isEmpty()) form->setWindowTitle(QString());
            frame = MdiArea->addSubWindow(form);
            form->show();
            frame->show();
            // A view window takes its size and its place in one move.
            if (auto* view = qobject_cast<ViewWindow*>(form)) view->ShownInFrame(designed);
            else if (!frame->isMaximized()) frame->resize(designed + (frame->size() - form->size()));
            if (title.isEmpty()) return;
            if (showingRow_) heldTitles_.emplace_back(form, title);
            else form->setWindowTitle(title);
            return;
        }
        form->show();
        frame->show();
    };
    ViewHost().ShowingRow = [this](bool inRow) {
        showingRow_ = inRow;
        if (inRow) return;
        // The frames' layout requests of the row are answered while the
        // titles are still empty: each one measures the title several times.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        for (auto& [form, title] : heldTitles_)
            if (form && !title.isEmpty() && form->windowTitle().isEmpty()) form->setWindowTitle(title);
        heldTitles_.clear();
    };
    InstallViewCaptionSetters();
    DocCommands().AddNewWaveform = AddNewWaveform;
    DocCommands().AddNewMeasure = AddNewMeasure;
    DocCommands().AddNewData = AddNewData;
    DocCommands().AddNewRecord = AddNewRecord;
    DocCommands().AddNewMemoryWave = AddNewMemoryWave;

    Transfer().TransferBusy = false;
    LoadRecentSheetMenu();
    LoadRecentCtrlMenu();
    CommTimer->stop();
    SetLinkConnected(false);
    ShowConnectionLed(false);
    ShellStateData& sh = Shell();
    sh.Ch1Color = QColor(255, 255, 0);
    sh.Ch2Color = QColor(0, 255, 255);
    sh.MathColor = QColor(128, 0, 255);
    sh.LaColor1 = QColor(0, 255, 0);
    sh.LaColor2 = QColor(255, 0, 0);
    sh.MakerName = "Tarvo Technologies,Inc.";
    sh.ModelName = "KV2200M";
    SetLinkLAPresent(false);
    Sheets().SheetModified = false;
    TimeOutTimer->start();
    LoadSoftwareSetting();
    // The sheet the deferred start reopens is read while the window is made.
    const QString sheetPath = RecentPath(mnuFileRecentSheet[0]);
    if (Shell().StartupLoadSheet && !sheetPath.isEmpty()) ReadDataSheetAhead(sheetPath);
    OpenVisaRM();
    CtrlState().CtrlInitDone = false;
    Sheets().SheetInitDone = false;
    ApplyLanguage(Shell().UILanguage);
    Link().SampleCodeMin = 25;
    if (Shell().StartupCheckHardware) ConnectDSO();
    TimerInit->start();
    ClearViewRefreshState();
    Link().Connecting = false;
    dockPanes();
    UpdateCommandAvailability();
}

void frmMain::dockPanes() {
    // The panes are loaded by the first application of the language; touching
    // them here loads them when that has not happened.
    auto dock = [this](QWidget* pane, const char* key) {
        auto* d = new QDockWidget(pane->windowTitle(), this);
        d->setObjectName(key);
        d->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
        d->setWidget(pane);
        // The pane's caption is the dock's title, in whatever language it is set.
        connect(pane, &QWidget::windowTitleChanged, d, &QDockWidget::setWindowTitle);
        addDockWidget(Qt::LeftDockWidgetArea, d);
        return d;
    };
    DataSheetPane = dock(DataBrowserForm(), "DataSheet");
    ControllerPane = dock(CtrlListForm(), "Controller");
    splitDockWidget(DataSheetPane, ControllerPane, Qt::Vertical);
    DataSheetPaneClose = DockCloseButton(DataSheetPane);
    ControllerPaneClose = DockCloseButton(ControllerPane);
    SetPaneCloseCaptions(Shell().UILanguage);
    const int px = ScreenTwipsToPixels(kDockAreaTwips);
    resizeDocks({DataSheetPane, ControllerPane}, {px, px}, Qt::Horizontal);
}

void frmMain::TimerInit_Timer() {
    TimerInit->stop();
    ShowDataSheetPane();
    ShowControllerPane();
    const QString ctrlPath = RecentPath(mnuFileRecentCtrl[0]);
    if (Shell().StartupLoadCtrl && !ctrlPath.isEmpty() && DocCommands().OpenCtrl) DocCommands().OpenCtrl(ctrlPath);
    const QString sheetPath = RecentPath(mnuFileRecentSheet[0]);
    if (Shell().StartupLoadSheet && !sheetPath.isEmpty() && DocCommands().OpenDataSheet)
        DocCommands().OpenDataSheet(sheetPath);
    MDIForm_Resize();
}

void frmMain::MDIForm_Resize() {
    const double scaleWidthTwips = width() * ScreenTwipsPerPixel() - kDockAreaTwips;
    const int left = ScreenTwipsToPixels(scaleWidthTwips + kLedOffsetTwips);
    for (QLabel* led : {picLED_ON, picLED_OFF})
        if (led) led->move(left, led->y());
}

void frmMain::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    MDIForm_Resize();
}

bool frmMain::MDIForm_QueryUnload() {
    // A transfer yields to the event loop while it runs; the window (and the
    // link) must not go away under it.
    if (TransferRunning()) return true;
    bool cancel = false;
    const QString title = QCoreApplication::applicationName();
    if (Sheets().SheetModified) {
        const int answer = MsgBox(MessageTable().MsgSaveSheetChanges + Sheets().SheetFileName,
                                  vbYesNoCancel, title);
        if (answer == vbYes) {
            if (DocCommands().SaveDataSheet) DocCommands().SaveDataSheet();
            // A cancelled file-name dialog or a failed save leaves the sheet
            // modified: closing now would lose it.
            if (Sheets().SheetModified) cancel = true;
        } else if (answer == vbCancel) {
            cancel = true;
        }
    }
    if (CtrlState().CtrlModified) {
        const int answer = MsgBox(MessageTable().MsgSaveCtrlChanges + CtrlState().CtrlFileName,
                                  vbYesNoCancel, title);
        if (answer == vbYes) {
            if (DocCommands().SaveCtrl) DocCommands().SaveCtrl();
            if (CtrlState().CtrlModified) cancel = true;
        } else if (answer == vbCancel) {
            cancel = true;
        }
    }
    return cancel;
}

void frmMain::MDIForm_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    SaveSoftwareSetting();
    if (Link().IsConnected) SendCmd(":KEY:LOCK DISABLE");
    CloseVisaRM();
    TimeOutTimer->stop();
    CommTimer->stop();
    TimerInit->stop();
}

void frmMain::closeEvent(QCloseEvent* e) {
    if (unloaded_) {
        e->accept();
        return;
    }
    if (MDIForm_QueryUnload()) {
        e->ignore();
        return;
    }
    MDIForm_Unload();
    e->accept();
}

void frmMain::ShowDataSheetPane() {
    if (!DataSheetPane) return;
    DataSheetPane->show();
    DataSheetPane->raise();
}

void frmMain::ShowControllerPane() {
    if (!ControllerPane) return;
    ControllerPane->show();
    ControllerPane->raise();
}

void frmMain::CommTimer_Timer() {
    StatusPanel->setText("Status: ");
    CommTimer->stop();
}

void frmMain::TimeOutTimer_Timer() {
    SerialTick();
    clockTicks_ = (clockTicks_ + 1) % 10;
    if (clockTicks_ == 0) refreshClock();
}

void frmMain::ShowStatusText(const QString& text) {
    StatusPanel->setText(text);
    CommTimer->start();
}

void frmMain::ShowViewStatusText(const QString& text) {
    const QString shown = text.isEmpty() ? QString() : QStringLiteral("Status: ") + text;
    if (!shown.isEmpty()) {
        CommTimer->stop();
        StatusPanel->setText(shown);
    } else if (!viewStatus_.isEmpty() && StatusPanel->text() == viewStatus_) {
        StatusPanel->setText(QStringLiteral("Status: "));
    }
    viewStatus_ = shown;
}

void frmMain::ShowConnectionLed(bool connected) {
    picLED_ON->setVisible(connected);
    picLED_OFF->setVisible(!connected);
}

// ---------------------------------------------------------------------------
// Stored settings.

MainRectTwips frmMain::WindowRectTwips() const {
    const double tpp = ScreenTwipsPerPixel();
    MainRectTwips r;
    r.Left = static_cast<float>(pos().x() * tpp);
    r.Top = static_cast<float>(pos().y() * tpp);
    r.Width = static_cast<float>(width() * tpp);
    r.Height = static_cast<float>(height() * tpp);
    return r;
}

void frmMain::SetWindowRectTwips(const MainRectTwips& stored) {
    const double tpp = ScreenTwipsPerPixel();
    // A stored rectangle never puts the window off the screen or beyond its size.
    MainRectTwips r = stored;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect a = screen->availableGeometry();
        r = FitMainRect(stored, QRectF(a.x() * tpp, a.y() * tpp, a.width() * tpp, a.height() * tpp));
    }
    auto px = [tpp](float twips) { return static_cast<int>(std::lround(twips / tpp)); };
    move(px(r.Left), px(r.Top));
    resize(std::max(px(r.Width), 1), std::max(px(r.Height), 1));
}

void frmMain::LoadSoftwareSetting() { SetWindowRectTwips(::LoadSoftwareSetting()); }

void frmMain::SaveSoftwareSetting() {
    std::optional<MainRectTwips> rect;
    if (!isMinimized()) rect = WindowRectTwips();
    if (!::SaveSoftwareSetting(rect))
        MsgBox(MessageTable().MsgSettingsNotSaved.arg(QDir::toNativeSeparators(OpenSettingsStore()->fileName())),
               vbOKOnly | vbExclamation);
}

// ---------------------------------------------------------------------------
// Recent-file submenus.

void frmMain::showRecentMenu(int list, bool enabled, const QStringList& entries) {
    QMenu* root = list == 0 ? mnuRecentCtrlRoot : mnuRecentSheetRoot;
    QAction** items = list == 0 ? mnuFileRecentCtrl : mnuFileRecentSheet;
    root->setEnabled(enabled);
    if (!enabled) return;
    for (int i = 0; i < entries.size() && i < 4; ++i) {
        items[0]->setVisible(true);
        SetRecentPath(items[i], entries[i]);
        items[i]->setVisible(true);
    }
    UpdateCommandAvailability();
}

// ---------------------------------------------------------------------------
// Command availability.

void frmMain::UpdateCommandAvailability() {
    const DocumentCommandsData& d = DocCommands();
    const bool anyNew = d.NewDataSheet || d.NewCtrl || d.AddNewWaveform || d.AddNewMeasure || d.AddNewData ||
                        d.AddNewRecord || d.AddNewMemoryWave;
    const bool anyOpen = d.OpenDataSheetDialog || d.OpenCtrlDialog;
    mnuFileNew->setEnabled(anyNew);
    mnuFileOpen->setEnabled(anyOpen);
    mnuFileSaveDataSheet->setEnabled(bool(d.SaveDataSheet));
    mnuFileSaveCtrlFile->setEnabled(bool(d.SaveCtrl));
    mnuFileSaveAll->setEnabled(d.SaveDataSheet && d.SaveCtrl);
    for (int i = 0; i < 4; ++i) {
        mnuFileRecentCtrl[i]->setEnabled(bool(d.OpenCtrl));
        mnuFileRecentSheet[i]->setEnabled(bool(d.OpenDataSheet));
    }
    auto button = [this](const char* key, bool on) {
        if (QAction* a = ToolbarButton(QString(key))) a->setEnabled(on);
    };
    // Buttons 11-13 also follow the open-sheet test.
    auto sheetOpen = [this](const char* key) {
        QAction* a = ToolbarButton(QString(key));
        return a && a->property("SheetOpen").toBool();
    };
    button("New", anyNew);
    button("Open", anyOpen);
    button("Save", d.SaveDataSheet && d.SaveCtrl);
    button("AddNewWaveform", d.AddNewWaveform && sheetOpen("AddNewWaveform"));
    button("AddNewMeasure", d.AddNewMeasure && sheetOpen("AddNewMeasure"));
    button("AddNewData", d.AddNewData && sheetOpen("AddNewData"));
    button("AddNewRecord", bool(d.AddNewRecord));
    button("AddNewMemoryWaveform", bool(d.AddNewMemoryWave));
}

// ---------------------------------------------------------------------------
// Menu and toolbar handlers.

namespace {
void call(const std::function<void()>& f) {
    if (f) f();
}
}  // namespace

void frmMain::mnuFileNew_Click() {
    ShellDialogs().DialogOK = false;
    frmNewDoc dlg(this);
    const DocumentCommandsData& d = DocCommands();
    const bool available[7] = {bool(d.NewDataSheet), bool(d.NewCtrl), bool(d.AddNewWaveform),
                               bool(d.AddNewMeasure), bool(d.AddNewData), bool(d.AddNewRecord),
                               bool(d.AddNewMemoryWave)};
    for (int i = 0; i < 7; ++i) dlg.NewOption[i]->setEnabled(available[i]);
    dlg.exec();
    if (ShellDialogs().DialogOK) RunNewDocument(ShellDialogs().NewDocKind);
}

void frmMain::RunNewDocument(int kind) {
    const DocumentCommandsData& d = DocCommands();
    switch (kind) {
    case DocDataSheet: call(d.NewDataSheet); break;
    case DocController: call(d.NewCtrl); break;
    case DocWave: call(d.AddNewWaveform); break;
    case DocMeasure: call(d.AddNewMeasure); break;
    case DocData: call(d.AddNewData); break;
    case DocRecord: call(d.AddNewRecord); break;
    case DocMemoryWave: call(d.AddNewMemoryWave); break;
    default: break;
    }
}

void frmMain::mnuFileOpen_Click() {
    ShellDialogs().DialogOK = false;
    frmOpenDoc dlg(this);
    dlg.NewOption[0]->setEnabled(bool(DocCommands().OpenDataSheetDialog));
    dlg.NewOption[1]->setEnabled(bool(DocCommands().OpenCtrlDialog));
    dlg.exec();
    if (ShellDialogs().DialogOK) RunOpenDocument(ShellDialogs().NewDocKind);
}

void frmMain::RunOpenDocument(int kind) {
    if (kind == DocDataSheet) call(DocCommands().OpenDataSheetDialog);
    else if (kind == DocController) call(DocCommands().OpenCtrlDialog);
}

void frmMain::mnuFileSaveDataSheet_Click() { call(DocCommands().SaveDataSheet); }
void frmMain::mnuFileSaveCtrlFile_Click() { call(DocCommands().SaveCtrl); }

void frmMain::mnuFileSaveAll_Click() {
    call(DocCommands().SaveCtrl);
    call(DocCommands().SaveDataSheet);
}

void frmMain::mnuFilePageSetup_Click() { ShowPageSetup(this); }

void frmMain::mnuFileRecentCtrl_Click(int index) {
    if (index < 0 || index > 3 || !DocCommands().OpenCtrl) return;
    DocCommands().OpenCtrl(RecentPath(mnuFileRecentCtrl[index]));
}

void frmMain::mnuFileRecentSheet_Click(int index) {
    if (index < 0 || index > 3 || !DocCommands().OpenDataSheet) return;
    DocCommands().OpenDataSheet(RecentPath(mnuFileRecentSheet[index]));
}

void frmMain::mnuFileExit_Click() { close(); }

void frmMain::mnuViewToolbar_Click() { tbToolBar->setVisible(mnuViewToolbar->isChecked()); }
void frmMain::mnuViewStatusBar_Click() { sbrStatus->setVisible(mnuViewStatusBar->isChecked()); }
void frmMain::mnuViewController_Click() { ShowControllerPane(); }
void frmMain::mnuViewDataBrowser_Click() { ShowDataSheetPane(); }
void frmMain::mnuToolsConnect_Click() { ConnectDSO(); }
void frmMain::mnuToolsDisconnect_Click() { DisconnectDSO(); }

void frmMain::mnuToolsOptions_Click() {
    ShellDialogs().DialogOK = false;
    frmOptions dlg(this);
    dlg.exec();
}

void frmMain::mnuWindowCascade_Click() {
    // Each window keeps its size and stands one title bar lower and further
    // right than the one before. (The area's own cascade would shrink the
    // windows that place their controls by hand to their title bars.)
    int step = 0, n = 0;
    for (QMdiSubWindow* w : MdiArea->subWindowList()) {
        if (!w->isVisible() || w->isMinimized()) continue;
        w->showNormal();
        if (!step) step = std::max(w->height() - (w->widget() ? w->widget()->height() : 0), 20);
        w->move(n * step, n * step);
        w->raise();
        ++n;
    }
}
void frmMain::mnuWindowTileHorizontal_Click() { tileDocuments(true); }
void frmMain::mnuWindowTileVertical_Click() { tileDocuments(false); }

void frmMain::tileDocuments(bool horizontal) {
    QList<QMdiSubWindow*> wins;
    for (QMdiSubWindow* w : MdiArea->subWindowList())
        if (w->isVisible() && !w->isMinimized()) wins.append(w);
    if (wins.isEmpty()) return;
    const QRect area = MdiArea->viewport()->rect();
    const int n = static_cast<int>(wins.size());
    for (int i = 0; i < n; ++i) {
        wins[i]->showNormal();
        if (horizontal) {
            // One above another, each the full width.
            const int h = area.height() / n;
            wins[i]->setGeometry(0, i * h, area.width(), h);
        } else {
            const int w = area.width() / n;
            wins[i]->setGeometry(i * w, 0, w, area.height());
        }
    }
}

void frmMain::mnuWindowArrangeIcons_Click() {
    // Minimised document windows in a row along the bottom edge.
    int x = 0;
    const int bottom = MdiArea->viewport()->height();
    for (QMdiSubWindow* w : MdiArea->subWindowList()) {
        if (!w->isMinimized()) continue;
        w->move(x, bottom - w->height());
        x += w->width();
    }
}

void frmMain::listDocumentWindows() {
    for (QAction* a : windowListActions_) {
        mnuWindow->removeAction(a);
        a->deleteLater();
    }
    windowListActions_.clear();
    const QList<QMdiSubWindow*> wins = MdiArea->subWindowList();
    if (wins.isEmpty()) return;
    windowListActions_.append(mnuWindow->addSeparator());
    int n = 0;
    for (QMdiSubWindow* w : wins) {
        // The number is the access key; the title is shown as it is.
        QAction* a = mnuWindow->addAction(QString("&%1 %2").arg(++n).arg(MenuTextAsIs(w->windowTitle())));
        a->setCheckable(true);
        a->setChecked(w == MdiArea->activeSubWindow());
        QPointer<QMdiSubWindow> target = w;
        connect(a, &QAction::triggered, this, [this, target] {
            if (target) MdiArea->setActiveSubWindow(target);
        });
        windowListActions_.append(a);
    }
}

void frmMain::mnuHelpContents_Click() {
    const QString path = HelpFilePath();
    if (!QFileInfo::exists(path)) {
        MsgBox(MessageTable().MsgHelpNotInstalled.arg(QDir::toNativeSeparators(path)), vbOKOnly | vbExclamation);
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        MsgBox(MessageTable().MsgHelpNoProgram.arg(QDir::toNativeSeparators(path)),
               vbOKOnly | vbExclamation);
}

void frmMain::mnuHelpAbout_Click() { ShowAboutBox(this); }

void frmMain::tbToolBar_ButtonClick(const QString& key) {
    QAction* a = ToolbarButton(key);
    if (a && !a->isEnabled()) return;
    if (key == "New") mnuFileNew_Click();
    else if (key == "Open") mnuFileOpen_Click();
    else if (key == "Save") mnuFileSaveAll_Click();
    else if (key == "Connect") mnuToolsConnect_Click();
    else if (key == "Disconnect") mnuToolsDisconnect_Click();
    else if (key == "Controller") mnuViewController_Click();
    else if (key == "DataBrowser") mnuViewDataBrowser_Click();
    else if (key == "AddNewWaveform") call(DocCommands().AddNewWaveform);
    else if (key == "AddNewMeasure") call(DocCommands().AddNewMeasure);
    else if (key == "AddNewData") call(DocCommands().AddNewData);
    else if (key == "AddNewRecord") call(DocCommands().AddNewRecord);
    else if (key == "AddNewMemoryWaveform") call(DocCommands().AddNewMemoryWave);
    else if (key == "Options") mnuToolsOptions_Click();
}

bool frmMain::eventFilter(QObject* watched, QEvent* e) {
    // Moving the mouse over the toolbar gives the keyboard focus to the main window.
    if (watched == tbToolBar && e->type() == QEvent::MouseMove) setFocus();
    return QMainWindow::eventFilter(watched, e);
}
