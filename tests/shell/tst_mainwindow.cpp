// The main window: its controls, the load sequence, the closing questions
// and the unload.
#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QtTest>

#include "TestEnv.h"
#include "common/DSOSettings.h"
#include "common/SettingsStore.h"
#include "common/SheetModel.h"
#include "sheets/SheetDocument.h"
#include "sheets/ViewHost.h"
#include "sheets/ViewWindow.h"
#include "sheets/ViewWindows.h"
#include "sheets/SheetTreeBinder.h"
#include "common/ShellState.h"
#include "controller/CtrlState.h"
#include "link/LinkState.h"
#include "link/RS232Func.h"
#include "platform/dialogs/MsgBox.h"
#include "shell/DocumentCommands.h"
#include "shell/DocDialogs.h"
#include "shell/Language.h"
#include "shell/OptionsDialog.h"
#include "shell/MainWindow.h"
#include "measure/frmMeasure.h"
#include "memwave/frmOpenWaveform.h"
#include "replay/frmRecordPlay.h"
#include "sheets/FileFunc.h"
#include "sheets/frmData.h"
#include "waveview/frmWave.h"

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { TestEnv::Init(); }
    void init() {
        TestEnv::ClearSettingsStore();
        DocCommands() = DocumentCommandsData();
        MsgBoxService::ClearLog();
        Link().IsConnected = false;
    }

    void controlsAreNamedAndToolbarIsInOrder() {
        frmMain w;
        w.MDIForm_Load();
        const QStringList keys{"New", "Open", "Save", "", "Connect", "Disconnect", "", "Controller",
                               "DataBrowser", "", "AddNewWaveform", "AddNewMeasure", "AddNewData", "",
                               "AddNewRecord", "AddNewMemoryWaveform", "", "Options"};
        for (int i = 1; i <= 18; ++i) {
            QAction* b = w.ToolbarButton(i);
            QVERIFY(b);
            QCOMPARE(b->property("Key").toString(), keys[i - 1]);
            QCOMPARE(b->isSeparator(), keys[i - 1].isEmpty());
        }
        for (const char* name : {"mnuFileNew", "mnuFileOpen", "mnuFileSaveDataSheet", "mnuFileSaveCtrlFile",
                                 "mnuFileSaveAll", "mnuFilePageSetup", "mnuFileExit", "mnuViewToolbar",
                                 "mnuViewStatusBar", "mnuViewController", "mnuViewDataBrowser", "mnuToolsConnect",
                                 "mnuToolsDisconnect", "mnuToolsOptions", "mnuWindowCascade",
                                 "mnuWindowTileHorizontal", "mnuWindowTileVertical", "mnuWindowArrangeIcons",
                                 "mnuHelpContents", "mnuHelpAbout", "mnuLanguageChinese", "mnuLanguageEnglish"})
            QVERIFY2(w.findChild<QAction*>(name), name);
        for (const char* name : {"mnuFile", "mnuView", "mnuTools", "mnuWindow", "mnuHelp", "mnuHelpLanguage",
                                 "mnuRecentCtrlRoot", "mnuRecentSheetRoot"})
            QVERIFY2(w.findChild<QMenu*>(name), name);
        QCOMPARE(w.findChild<QLabel*>("Status")->text(), QString("Status"));
        QVERIFY(w.findChild<QDockWidget*>("DataSheet")->widget()->objectName() == "frmDataSheetTree");
        QVERIFY(w.findChild<QDockWidget*>("Controller")->widget()->objectName() == "frmCtrlList");
        // The toolbar's and status bar's check marks follow their visibility.
        w.show();
        w.mnuViewToolbar->trigger();
        QVERIFY(!w.tbToolBar->isVisible());
        QVERIFY(!w.picLED_ON->isVisible() && !w.picLED_OFF->isVisible());
        w.mnuViewToolbar->trigger();
        QVERIFY(w.tbToolBar->isVisible());
        w.mnuViewStatusBar->trigger();
        QVERIFY(!w.sbrStatus->isVisible());
        w.MDIForm_Unload();
    }

    void loadSetsTheStartState() {
        SaveStoredText("Settings_KV2200M", "MainWidth", "12000");
        SaveStoredText("Settings_KV2200M", "MainHeight", "9000");
        Sheets().SheetModified = true;
        CtrlState().CtrlInitDone = true;
        DSOSettings().CH1Scale.clear();
        Sheets().WaveViews[17].AutoRefresh = true;
        Sheets().DataViews[3].Channel = "CH2";
        Link().IsConnected = true;
        frmMain w;
        w.MDIForm_Load();
        QCOMPARE(MainForm(), &w);
        QVERIFY(!Link().IsConnected);
        QVERIFY(!Sheets().SheetModified);
        QVERIFY(!Sheets().WaveViews[17].AutoRefresh);
        QVERIFY(Sheets().DataViews[3].Channel.isEmpty());
        QCOMPARE(Shell().Ch1Color, QColor(255, 255, 0));
        QCOMPARE(Shell().MathColor, QColor(128, 0, 255));
        QCOMPARE(Link().SampleCodeMin, 25);
        // The panes' first load made an untitled sheet and a fresh controller document.
        QVERIFY(Sheets().SheetInitDone && CtrlState().CtrlInitDone);
        QCOMPARE(Sheets().SheetName, QString("Untitle"));
        QVERIFY(IsDataSheetOpen());
        QVERIFY(!CtrlState().CtrlModified);
        QVERIFY(!DSOSettings().CH1Scale.isEmpty());  // the mirror holds its defaults
        // The stored rectangle (twips) became the window's size.
        QCOMPARE(w.WindowRectTwips().Width, 12000.f);
        QCOMPARE(w.WindowRectTwips().Height, 9000.f);
        QVERIFY(w.TimeOutTimer->isActive());
        QVERIFY(!w.CommTimer->isActive());
        QVERIFY(w.TimerInit->isActive());
        // Without a start-up check nothing connects.
        QVERIFY(!Link().IsConnected);

        // The tick counts the serial time-outs; the status text clears after its timer.
        const int ticks = Serial().TickCount;
        w.TimeOutTimer_Timer();
        QCOMPARE(Serial().TickCount, ticks + 1);
        LinkUi().ShowSerialStatus("Status: Break Received");
        QCOMPARE(w.StatusPanel->text(), QString("Status: Break Received"));
        QVERIFY(w.CommTimer->isActive());
        w.CommTimer_Timer();
        QCOMPARE(w.StatusPanel->text(), QString("Status: "));
        QVERIFY(!w.CommTimer->isActive());
        // A view's text stays until something else is said; taking it back
        // leaves another text alone.
        LinkUi().ShowSerialStatus("Status: Break Received");
        ViewHost().ShowStatus("3 of 18 measurements could not be read");
        QVERIFY(!w.CommTimer->isActive());
        QCOMPARE(w.StatusPanel->text(), QString("Status: 3 of 18 measurements could not be read"));
        ViewHost().ShowStatus(QString());
        QCOMPARE(w.StatusPanel->text(), QString("Status: "));
        ViewHost().ShowStatus("1 of 18 measurements could not be read");
        LinkUi().ShowSerialStatus("Status: Break Received");
        ViewHost().ShowStatus(QString());
        QCOMPARE(w.StatusPanel->text(), QString("Status: Break Received"));
        w.MDIForm_Unload();
    }

    void deferredStartOpensRecentFilesControllerFirst_data() {
        QTest::addColumn<bool>("loadCtrl");
        QTest::addColumn<bool>("loadSheet");
        QTest::addColumn<bool>("listsFilled");
        QTest::addColumn<QStringList>("opened");
        QTest::newRow("both") << true << true << true << QStringList{"ctrl:/c/1.rmt", "sheet:/s/1.vls"};
        QTest::newRow("sheet only") << false << true << true << QStringList{"sheet:/s/1.vls"};
        QTest::newRow("empty lists") << true << true << false << QStringList{};
        QTest::newRow("neither") << false << false << true << QStringList{};
    }

    void deferredStartOpensRecentFilesControllerFirst() {
        QFETCH(bool, loadCtrl);
        QFETCH(bool, loadSheet);
        QFETCH(bool, listsFilled);
        QFETCH(QStringList, opened);
        SaveStoredText("General_KV2200M", "StartupLoadCtrl", loadCtrl ? "True" : "False");
        SaveStoredText("General_KV2200M", "StartupLoadSheet", loadSheet ? "True" : "False");
        if (listsFilled) {
            SaveStoredText("Recent Ctrl_KV2200M", "RecentFile1", "/c/1.rmt");
            SaveStoredText("Recent Sheet_KV2200M", "RecentFile1", "/s/1.vls");
        }
        QStringList calls;
        DocCommands().OpenCtrl = [&](const QString& p) { calls << "ctrl:" + p; };
        DocCommands().OpenDataSheet = [&](const QString& p) { calls << "sheet:" + p; };
        frmMain w;
        w.MDIForm_Load();
        w.show();
        w.DataSheetPane->hide();
        QVERIFY(QTest::qWaitFor([&] { return !w.TimerInit->isActive(); }, 2000));
        QCOMPARE(calls, opened);
        QVERIFY(w.DataSheetPane->isVisible());
        QVERIFY(w.ControllerPane->isVisible());
        w.MDIForm_Unload();
    }

    // The clock in the status bar is redrawn every tenth 100 ms tick, also
    // while the serial line keeps receiving (each chunk restarts the
    // time-out's count, not the clock's).
    void clockRunsWhileTheLineReceives_data() {
        QTest::addColumn<int>("mode");  // 0: quiet line, 1: a text chunk, 2: a binary chunk before every tick
        QTest::newRow("quiet line") << 0;
        QTest::newRow("text reply arriving") << 1;
        QTest::newRow("binary reply arriving") << 2;
    }
    void clockRunsWhileTheLineReceives() {
        QFETCH(int, mode);
        frmMain w;
        w.MDIForm_Load();
        w.TimeOutTimer->stop();
        Link().SerialBinaryMode = mode == 2;
        const auto tick = [&] {
            if (mode == 1) OnCommText("1.00e-03");
            if (mode == 2) OnCommBinary(QByteArray(16, '\x01'));
            w.TimeOutTimer_Timer();
        };
        const auto redrawn = [&] { return w.TimePanel->text() != "--" && w.DatePanel->text() != "--"; };
        // Find the clock's phase, then count one whole second of ticks.
        w.TimePanel->setText("--");
        w.DatePanel->setText("--");
        for (int k = 0; k < 10 && !redrawn(); ++k) tick();
        QVERIFY(redrawn());
        w.TimePanel->setText("--");
        w.DatePanel->setText("--");
        for (int k = 0; k < 9; ++k) tick();
        QVERIFY(!redrawn());
        tick();
        QVERIFY(redrawn());
        if (mode != 0) QCOMPARE(Serial().TickCount, 1);  // the time-out's count restarted with each chunk
        Link().SerialBinaryMode = false;
        Serial() = SerialStateData();
        w.MDIForm_Unload();
    }

    void closingQuestions_data() {
        QTest::addColumn<bool>("sheetModified");
        QTest::addColumn<bool>("ctrlModified");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<bool>("savesSucceed");
        QTest::addColumn<QStringList>("saves");
        QTest::addColumn<bool>("cancelled");
        QTest::newRow("nothing modified") << false << false << QList<int>{} << true << QStringList{} << false;
        QTest::newRow("no to both") << true << true << QList<int>{vbNo, vbNo} << true << QStringList{} << false;
        QTest::newRow("yes to both") << true << true << QList<int>{vbYes, vbYes} << true
                                     << QStringList{"sheet", "ctrl"} << false;
        QTest::newRow("cancel first, yes second still saves") << true << true << QList<int>{vbCancel, vbYes}
                                                              << true << QStringList{"ctrl"} << true;
        QTest::newRow("cancel second") << true << true << QList<int>{vbNo, vbCancel} << true << QStringList{}
                                       << true;
        QTest::newRow("yes but save did not happen") << true << false << QList<int>{vbYes} << false
                                                     << QStringList{"sheet"} << true;
        QTest::newRow("controller only, save fails") << false << true << QList<int>{vbYes} << false
                                                     << QStringList{"ctrl"} << true;
    }

    void closingQuestions() {
        QFETCH(bool, sheetModified);
        QFETCH(bool, ctrlModified);
        QFETCH(QList<int>, answers);
        QFETCH(bool, savesSucceed);
        QFETCH(QStringList, saves);
        QFETCH(bool, cancelled);
        frmMain w;
        w.MDIForm_Load();
        Sheets().SheetModified = sheetModified;
        Sheets().SheetFileName = "/s/a.vls";
        CtrlState().CtrlModified = ctrlModified;
        CtrlState().CtrlFileName.clear();
        QStringList calls;
        DocCommands().SaveDataSheet = [&] {
            calls << "sheet";
            if (savesSucceed) Sheets().SheetModified = false;
        };
        DocCommands().SaveCtrl = [&] {
            calls << "ctrl";
            if (savesSucceed) CtrlState().CtrlModified = false;
        };
        QList<int> pending = answers;
        MsgBoxService::ClearLog();
        MsgBoxService::SetAnswerer([&](const ShownMessage&) { return pending.isEmpty() ? int(vbNo) : pending.takeFirst(); });
        QCOMPARE(w.MDIForm_QueryUnload(), cancelled);
        QCOMPARE(calls, saves);
        QVERIFY(pending.isEmpty());
        const QList<ShownMessage> shown = MsgBoxService::Log();
        QCOMPARE(shown.size(), answers.size());
        int i = 0;
        if (sheetModified) {
            QCOMPARE(shown[i].text, QString("Save the changes to the Data Sheet File? /s/a.vls"));
            QCOMPARE(shown[i].style, int(vbYesNoCancel));
            ++i;
        }
        if (ctrlModified) QCOMPARE(shown[i].text, QString("Save the changes to the Control File? "));
        TestEnv::Init();
        Sheets().SheetModified = false;
        CtrlState().CtrlModified = false;
        w.MDIForm_Unload();
    }

    void closingQuestionsSpeakTheUiLanguage_data() {
        QTest::addColumn<int>("lang");
        QTest::addColumn<QString>("sheetQuestion");
        QTest::addColumn<QString>("ctrlQuestion");
        QTest::newRow("Chinese") << 0 << QString::fromUtf8("是否保存对数据浏览器文件的更改？/s/a.vls")
                                 << QString::fromUtf8("是否保存对控制器文件的更改？/c/b.rmt");
        QTest::newRow("English") << 1 << "Save the changes to the Data Sheet File? /s/a.vls"
                                 << "Save the changes to the Control File? /c/b.rmt";
    }
    void closingQuestionsSpeakTheUiLanguage() {
        QFETCH(int, lang);
        frmMain w;
        w.MDIForm_Load();
        SwitchLanguage(lang);
        Sheets().SheetModified = true;
        Sheets().SheetFileName = "/s/a.vls";
        CtrlState().CtrlModified = true;
        CtrlState().CtrlFileName = "/c/b.rmt";
        MsgBoxService::ClearLog();
        MsgBoxService::SetAnswerer([](const ShownMessage&) { return int(vbNo); });
        QVERIFY(!w.MDIForm_QueryUnload());
        const QList<ShownMessage> shown = MsgBoxService::Log();
        QCOMPARE(shown.size(), 2);
        QTEST(shown[0].text, "sheetQuestion");
        QTEST(shown[1].text, "ctrlQuestion");
        SwitchLanguage(1);
        TestEnv::Init();
        Sheets().SheetModified = false;
        CtrlState().CtrlModified = false;
        w.MDIForm_Unload();
    }

    void closeEventHonoursTheAnswer() {
        auto* w = new frmMain;
        w->MDIForm_Load();
        w->show();
        Sheets().SheetModified = true;
        MsgBoxService::SetAnswerer([](const ShownMessage&) { return int(vbCancel); });
        QVERIFY(!w->close());
        QVERIFY(w->isVisible());
        MsgBoxService::SetAnswerer([](const ShownMessage&) { return int(vbNo); });
        QVERIFY(w->close());
        TestEnv::Init();
        Sheets().SheetModified = false;
        // The unload wrote the settings, the rectangle included.
        QVERIFY(OpenSettingsStore()->contains("Settings_KV2200M/MainWidth"));
        QVERIFY(OpenSettingsStore()->contains("IO Settings_KV2200M/COM_Port"));
        delete w;
    }

    void minimisedWindowKeepsTheStoredRectangle() {
        SaveStoredText("Settings_KV2200M", "MainLeft", "4321");
        frmMain w;
        w.MDIForm_Load();
        w.show();
        w.move(10, 10);
        w.showMinimized();
        QVERIFY(w.isMinimized());
        w.MDIForm_Unload();
        QCOMPARE(GetStoredText("Settings_KV2200M", "MainLeft"), QString("4321"));
        QVERIFY(OpenSettingsStore()->contains("General_KV2200M/StartupLoadSheet"));
    }

    // A stored rectangle far off the screen or larger than it brings the
    // window up on the screen and no larger; an unwritable settings file at
    // the end says so.
    void storedRectangleIsBoundedAndAFailedSaveIsReported() {
        SaveStoredText("Settings_KV2200M", "MainHeight", "300000000");
        SaveStoredText("Settings_KV2200M", "MainTop", "-100000");
        frmMain w;
        w.MDIForm_Load();
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(w.height() <= screen.height());
        QVERIFY(w.y() >= screen.y());
        QVERIFY(w.y() + w.height() <= screen.y() + screen.height());

        // A folder where the file should be: no one can write it, root included.
        const QString ini = TestEnv::IniPath();
        QFile::remove(ini);
        QVERIFY(QDir().mkpath(ini));
        w.MDIForm_Unload();
        QDir().rmdir(ini);
        QCOMPARE(MsgBoxService::Log().size(), 1);
        QVERIFY(MsgBoxService::Log().first().text.startsWith("The settings could not be saved to "));
    }

    void documentCommandsAreDisabledUntilBound() {
        frmMain w;
        w.MDIForm_Load();
        // The main window binds the sheet's add procedures itself; unbound
        // again here, their buttons show what an unbound command does.
        QVERIFY(DocCommands().AddNewWaveform && DocCommands().AddNewMemoryWave);
        DocCommands().AddNewWaveform = DocCommands().AddNewMeasure = DocCommands().AddNewData = nullptr;
        DocCommands().AddNewRecord = DocCommands().AddNewMemoryWave = nullptr;
        w.UpdateCommandAvailability();
        QVERIFY(!w.mnuFileSaveAll->isEnabled());
        QVERIFY(!w.ToolbarButton("AddNewWaveform")->isEnabled());
        QVERIFY(w.ToolbarButton("Connect")->isEnabled());
        QVERIFY(w.mnuToolsOptions->isEnabled());

        QStringList calls;
        DocCommands().SaveCtrl = [&] { calls << "ctrl"; };
        DocCommands().SaveDataSheet = [&] { calls << "sheet"; };
        DocCommands().AddNewWaveform = [&] { calls << "wave"; };
        DocCommands().AddNewData = [&] { calls << "data"; };
        w.UpdateCommandAvailability();
        QVERIFY(w.mnuFileSaveAll->isEnabled());
        // The add buttons also need an open sheet.
        QVERIFY(w.ToolbarButton("AddNewWaveform")->isEnabled());
        SheetTree().SheetNode = nullptr;
        IsDataSheetOpen();
        QVERIFY(!w.ToolbarButton("AddNewWaveform")->isEnabled());

        // The toolbar's Save saves the controller first, then the sheet.
        w.tbToolBar_ButtonClick("Save");
        QCOMPARE(calls, (QStringList{"ctrl", "sheet"}));
        calls.clear();
        // New with "Wave Data" (kind 5) adds a data view, not a waveform view.
        w.RunNewDocument(5);
        QCOMPARE(calls, QStringList{"data"});
        w.tbToolBar_ButtonClick("NoSuchKey");
        w.MDIForm_Unload();
    }

    void helpWithoutItsFileSaysSo() {
        frmMain w;
        w.MDIForm_Load();
        QVERIFY(HelpFilePath().endsWith("/KV2200help.chm"));
        MsgBoxService::ClearLog();
        w.mnuHelpContents_Click();
        QCOMPARE(MsgBoxService::Log().size(), 1);
        QVERIFY(MsgBoxService::Log()[0].text.contains("KV2200help.chm"));
        // In Chinese the message is Chinese and names the Chinese help file.
        SwitchLanguage(0);
        MsgBoxService::ClearLog();
        w.mnuHelpContents_Click();
        QCOMPARE(MsgBoxService::Log().size(), 1);
        QVERIFY(MsgBoxService::Log()[0].text.startsWith(QString::fromUtf8("帮助文件")));
        QVERIFY(MsgBoxService::Log()[0].text.contains("KV2200help_Chinese.chm"));
        SwitchLanguage(1);
        w.MDIForm_Unload();
    }

    void languageMenuRecaptionsTheWindowAndItsPanes() {
        frmMain w;
        w.MDIForm_Load();
        QVERIFY(w.mnuLanguageEnglish->isChecked());
        w.mnuLanguageChinese->trigger();
        QCOMPARE(Shell().UILanguage, int(LangChinese));
        QVERIFY(w.mnuLanguageChinese->isChecked());
        QVERIFY(!w.mnuLanguageEnglish->isChecked());
        QCOMPARE(w.findChild<QMenu*>("mnuFile")->title(), QString::fromUtf8("文件(&F)"));
        QCOMPARE(w.ToolbarButton(1)->toolTip(), QString::fromUtf8("新建"));
        QCOMPARE(w.picLED_OFF->toolTip(), QString::fromUtf8("连接状态-[未连接]"));
        // A docked pane's title follows its window's caption.
        QCOMPARE(w.DataSheetPane->windowTitle(), QString::fromUtf8("数据浏览器"));
        QCOMPARE(w.ControllerPane->windowTitle(), QString::fromUtf8("DSO控制器"));
        // Dialogs opened now take the new language.
        frmOptions options(&w);
        QCOMPARE(options.windowTitle(), QString::fromUtf8("选项"));
        QCOMPARE(options.DeviceCombo->itemText(0), QString::fromUtf8("无设备"));
        frmNewDoc newDoc(&w);
        QCOMPARE(newDoc.windowTitle(), QString::fromUtf8("新建文档"));
        w.mnuLanguageEnglish->trigger();
        QCOMPARE(w.findChild<QMenu*>("mnuFile")->title(), QString("&File"));
        QCOMPARE(w.DataSheetPane->windowTitle(), QString("Data Sheet"));
        w.MDIForm_Unload();
    }

    // Every main menu and every item in it has an access key of its own among
    // its neighbours, in both languages (the recent files and the language
    // names apart); Alt+T opens the Tools menu.
    void mainMenusHaveAccessKeys() {
        frmMain w;
        w.MDIForm_Load();
        for (int lang : {int(LangChinese), int(LangEnglish)}) {
            SwitchLanguage(lang);
            std::function<void(const QList<QAction*>&)> check = [&](const QList<QAction*>& actions) {
                QSet<QKeySequence> keys;
                for (QAction* a : actions) {
                    const QString name = a->menu() ? a->menu()->objectName() : a->objectName();
                    if (a->isSeparator() || name.startsWith("mnuFileRecent") || name.startsWith("mnuLanguage"))
                        continue;
                    QVERIFY2(!name.isEmpty(), qPrintable(a->text()));
                    const QKeySequence key = QKeySequence::mnemonic(a->text());
                    QVERIFY2(!key.isEmpty(), qPrintable(a->text()));
                    QVERIFY2(!keys.contains(key), qPrintable(a->text()));
                    keys.insert(key);
                    if (a->menu()) check(a->menu()->actions());
                }
            };
            check(w.menuBar()->actions());
        }
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QMenu* tools = w.findChild<QMenu*>("mnuTools");
        QTest::keyClick(&w, Qt::Key_T, Qt::AltModifier);
        QTRY_VERIFY(tools->isVisible());
        tools->close();
        w.MDIForm_Unload();
    }

    // A view window added in the main window opens in its child frame at the
    // size the window was designed with, not collapsed to its title bar, and
    // keeps it when the windows are cascaded.
    void viewWindowsKeepTheirDesignedSize() {
        InstallWaveViewHooks();
        RegisterMeasureWindow();
        RegisterRecordWindow();
        RegisterMemoryWaveWindow();
        frmMain w;
        w.MDIForm_Load();
        w.resize(1400, 1000);
        w.show();
        struct Case {
            std::function<void()> add;
            std::function<QSize()> designed;
        };
        const QList<Case> cases{
            {AddNewWaveform, [] { return frmWave().size(); }},
            {AddNewMeasure, [] { return frmMeasure().size(); }},
            {AddNewData, [] { return frmData().size(); }},
            {AddNewRecord, [] { return frmRecordPlay().size(); }},
            {AddNewMemoryWave, [] { return frmOpenWaveform().size(); }},
        };
        for (const Case& c : cases) {
            const auto before = w.MdiArea->subWindowList().size();
            c.add();
            QCoreApplication::processEvents();
            const QList<QMdiSubWindow*> frames = w.MdiArea->subWindowList(QMdiArea::CreationOrder);
            QCOMPARE(frames.size(), before + 1);
            QWidget* form = frames.last()->widget();
            QCOMPARE(form->size(), c.designed());
            // Nothing the window shows is cut off at that size.
            for (QWidget* child : form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                if (child->isVisibleTo(form))
                    QVERIFY2(form->rect().contains(child->geometry()),
                             qPrintable(form->objectName() + "/" + child->objectName()));
        }
        QList<QSize> sizes;
        for (QMdiSubWindow* f : w.MdiArea->subWindowList()) sizes << f->size();
        w.mnuWindowCascade->trigger();
        const QList<QMdiSubWindow*> frames = w.MdiArea->subWindowList();
        for (int i = 0; i < frames.size(); ++i) {
            QCOMPARE(frames[i]->size(), sizes[i]);
            if (i > 0) {
                QVERIFY(frames[i]->x() > frames[i - 1]->x());
                QCOMPARE(frames[i]->y() - frames[i - 1]->y(), frames[1]->y() - frames[0]->y());
            }
        }
        UnloadAllViews();
        w.MDIForm_Unload();
    }

    // Screen readers hear the docked panes' Close buttons, name and
    // description, in the UI language, after every switch.
    void paneCloseButtonsAreNamedInTheLanguage() {
        frmMain w;
        w.MDIForm_Load();
        w.show();
        const QList<QAbstractButton*> buttons{w.DataSheetPaneClose, w.ControllerPaneClose};
        const QStringList zh{QString::fromUtf8("关闭"), QString::fromUtf8("关闭停靠窗口")};
        const QStringList en{"Close", "Closes the dock widget"};
        for (const auto& [lang, texts] :
             {std::pair{int(LangChinese), zh}, std::pair{int(LangEnglish), en}, std::pair{int(LangChinese), zh}}) {
            SwitchLanguage(lang);
            for (QAbstractButton* close : buttons) {
                QVERIFY(close);
                QAccessibleInterface* acc = QAccessible::queryAccessibleInterface(close);
                QVERIFY(acc);
                QCOMPARE(acc->text(QAccessible::Name), texts[0]);
                QCOMPARE(acc->text(QAccessible::Description), texts[1]);
            }
        }
        SwitchLanguage(LangEnglish);
        // They are the buttons that close their panes.
        w.ControllerPaneClose->click();
        QVERIFY(!w.ControllerPane->isVisible());
        QVERIFY(w.DataSheetPane->isVisible());
        w.MDIForm_Unload();
    }

    // Screen readers hear each toolbar button by its tip, in the UI language.
    void toolbarButtonsAreAnnouncedByTheirTips() {
        frmMain w;
        w.MDIForm_Load();
        w.show();
        for (QAction* lang : {w.mnuLanguageChinese, w.mnuLanguageEnglish}) {
            lang->trigger();
            int buttons = 0;
            for (QAction* a : w.tbToolBar->actions()) {
                if (a->isSeparator() || a->toolTip().isEmpty()) continue;
                QWidget* button = w.tbToolBar->widgetForAction(a);
                QVERIFY(button);
                QAccessibleInterface* acc = QAccessible::queryAccessibleInterface(button);
                QVERIFY(acc);
                QCOMPARE(acc->text(QAccessible::Name), a->toolTip());
                ++buttons;
            }
            QCOMPARE(buttons, 13);
        }
        QCOMPARE(w.ToolbarButton("DataBrowser")->toolTip(), QString("Data Browser "));
        w.MDIForm_Unload();
    }

    // The main window carries the application's icon, each view window the
    // image of its kind in the data browser; a new view window opens inside
    // the visible area, at its designed size where that fits.
    void viewWindowsOpenOnScreenWithTheirKindsImage() {
        InstallWaveViewHooks();
        frmMain w;
        w.MDIForm_Load();
        w.resize(1000, 700);
        w.show();
        QVERIFY(!w.windowIcon().isNull());
        const QRect area = w.MdiArea->viewport()->rect();
        const QList<std::pair<std::function<void()>, ViewKind>> adds{
            {AddNewWaveform, ViewWave}, {AddNewData, ViewData}, {AddNewData, ViewData},
            {AddNewWaveform, ViewWave}, {AddNewData, ViewData}};
        for (const auto& [add, kind] : adds) {
            add();
            QCoreApplication::processEvents();
            QMdiSubWindow* frame = w.MdiArea->subWindowList(QMdiArea::CreationOrder).last();
            QVERIFY2(area.contains(frame->geometry()),
                     qPrintable(QString("%1,%2 %3x%4").arg(frame->x()).arg(frame->y())
                                    .arg(frame->width()).arg(frame->height())));
            const QImage shown = frame->windowIcon().pixmap(16, 16).toImage();
            QCOMPARE(shown, ViewKindImage(kind).pixmap(16, 16).toImage());
            QVERIFY(shown != ViewKindImage(kind == ViewWave ? ViewData : ViewWave).pixmap(16, 16).toImage());
        }
        UnloadAllViews();
        w.MDIForm_Unload();
    }

    // The placement alone: moved inside, the size kept where it fits and
    // shrunk to the area where it does not; a window that cannot shrink that
    // far keeps its top-left corner at the area's edge.
    void placeInside_data() {
        QTest::addColumn<QRect>("window");
        QTest::addColumn<QSize>("minimum");
        QTest::addColumn<QRect>("placed");
        const QSize none(0, 0);
        QTest::newRow("inside already") << QRect(10, 20, 300, 200) << none << QRect(10, 20, 300, 200);
        QTest::newRow("past the right edge") << QRect(700, 20, 300, 200) << none << QRect(500, 20, 300, 200);
        QTest::newRow("past the bottom right") << QRect(650, 500, 300, 200) << none << QRect(500, 400, 300, 200);
        QTest::newRow("above and left") << QRect(-30, -5, 300, 200) << none << QRect(0, 0, 300, 200);
        QTest::newRow("wider than the area") << QRect(100, 50, 900, 200) << none << QRect(0, 50, 800, 200);
        QTest::newRow("larger than the area") << QRect(100, 50, 900, 700) << none << QRect(0, 0, 800, 600);
        QTest::newRow("larger, above and left") << QRect(-40, -60, 900, 700) << none << QRect(0, 0, 800, 600);
        QTest::newRow("cannot shrink that far") << QRect(100, 50, 900, 700) << QSize(850, 300)
                                                << QRect(0, 0, 850, 600);
    }
    void placeInside() {
        QFETCH(QRect, window);
        QFETCH(QSize, minimum);
        QFETCH(QRect, placed);
        QCOMPARE(ViewWindow::PlaceInside(window, QRect(0, 0, 800, 600), minimum), placed);
    }

    // In the main window's first-start size the work area is smaller than a
    // view: the view opens within it, title bar and buttons in sight, and
    // keeps that size when the main window is enlarged.
    void viewWindowOpensWithinTheFirstStartWindow() {
        InstallWaveViewHooks();
        frmMain w;
        w.MDIForm_Load();
        w.resize(433, 433);
        w.show();
        AddNewWaveform();
        QCoreApplication::processEvents();
        QMdiSubWindow* frame = w.MdiArea->subWindowList(QMdiArea::CreationOrder).last();
        const QRect area = w.MdiArea->viewport()->rect();
        QVERIFY(area.contains(frame->geometry()));
        QCOMPARE(frame->size(), area.size());
        QVERIFY(!w.MdiArea->horizontalScrollBar()->isVisible());
        const QSize shown = frame->widget()->size();
        w.resize(1400, 1000);
        QCoreApplication::processEvents();
        QCOMPARE(frame->widget()->size(), shown);
        QVERIFY(w.MdiArea->viewport()->rect().contains(frame->geometry()));
        UnloadAllViews();
        w.MDIForm_Unload();
    }

    void viewWindowOpensAtItsFormsSize() {
        frmMain w;
        w.MDIForm_Load();
        w.resize(1200, 900);
        w.show();
        // A view form places its controls itself: it has no size hint.
        auto* form = new QWidget;
        form->resize(640, 360);
        ViewHost().Show(form);
        QVERIFY(qobject_cast<QMdiSubWindow*>(form->parentWidget()));
        QCOMPARE(form->size(), QSize(640, 360));
        ViewHost().Show(form);  // shown again: the same window, the size the user left
        QCOMPARE(form->size(), QSize(640, 360));
        // While the windows are maximized, the next one opens maximized too.
        form->parentWidget()->showMaximized();
        auto* next = new QWidget;
        next->resize(640, 360);
        ViewHost().Show(next);
        auto* frame = qobject_cast<QMdiSubWindow*>(next->parentWidget());
        QVERIFY(frame && frame->isMaximized());
        QCOMPARE(frame->size(), w.MdiArea->viewport()->size());
        w.MDIForm_Unload();
    }

    // The Window menu lists the open views numbered by their access keys, a
    // title with an "&" shown as it is.
    void windowMenuShowsTitlesAsTheyAre() {
        frmMain w;
        w.MDIForm_Load();
        w.show();
        auto* form = new QWidget;
        form->resize(300, 200);
        form->setWindowTitle("R&D");
        ViewHost().Show(form);
        emit w.mnuWindow->aboutToShow();
        QAction* listed = w.mnuWindow->actions().last();
        QCOMPARE(listed->text(), QString("&1 R&&D"));
        QCOMPARE(QKeySequence::mnemonic(listed->text()), QKeySequence(Qt::ALT | Qt::Key_1));
        w.MDIForm_Unload();
    }

    // A view window's frame carries the window's title, whether it is shown
    // alone or in a row of windows (where the titles come at the row's end).
    void viewWindowFramesCarryTheirTitles() {
        frmMain w;
        w.MDIForm_Load();
        w.resize(1200, 900);
        w.show();
        auto titled = [](const QString& title) {
            auto* form = new QWidget;
            form->resize(300, 200);
            form->setWindowTitle(title);
            return form;
        };
        QWidget* alone = titled("Wave 1");
        ViewHost().Show(alone);
        QCOMPARE(alone->parentWidget()->windowTitle(), QString("Wave 1"));
        QWidget* row[] = {titled("Data 1"), titled("Data 2")};
        ViewHost().ShowingRow(true);
        for (QWidget* form : row) ViewHost().Show(form);
        ViewHost().ShowingRow(false);
        for (QWidget* form : row) {
            QCOMPARE(form->windowTitle(), form == row[0] ? QString("Data 1") : QString("Data 2"));
            QCOMPARE(form->parentWidget()->windowTitle(), form->windowTitle());
        }
        w.MDIForm_Unload();
    }

    void indicatorFollowsTheLinkAndTheWidth() {
        frmMain w;
        w.MDIForm_Load();
        w.show();
        SetConnectionLed(true);
        QVERIFY(w.picLED_ON->isVisible() && !w.picLED_OFF->isVisible());
        SetConnectionLed(false);
        QVERIFY(!w.picLED_ON->isVisible() && w.picLED_OFF->isVisible());
        const int top = w.picLED_ON->y();
        w.resize(800, 500);
        w.MDIForm_Resize();
        const int left800 = w.picLED_ON->x();
        w.resize(900, 500);
        w.MDIForm_Resize();
        QCOMPARE(w.picLED_ON->x() - left800, 100);
        QCOMPARE(w.picLED_OFF->x(), w.picLED_ON->x());
        QCOMPARE(w.picLED_ON->y(), top);
        w.MDIForm_Unload();
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
