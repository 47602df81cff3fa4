// The UI language: stored setting, applying it to the main window and the
// panes, and switching it from the Language menu.
#include <QtTest>

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QToolBar>
#include <QTreeWidget>
#include <memory>

#include "TestEnv.h"
#include "common/SheetModel.h"
#include "common/ShellState.h"
#include "common/DSOSettings.h"
#include "link/Messages.h"
#include "link/Vocabulary.h"
#include "shell/Captions.h"
#include "shell/Language.h"
#include "shell/QtTranslations.h"

namespace {

void StoreLanguageText(const QString* text) {
    QSettings s(TestEnv::IniPath(), QSettings::IniFormat);
    if (text)
        s.setValue("Velmora_Language/Language", *text);
    else
        s.remove("Velmora_Language");
    s.sync();
}

QVariant StoredLanguage() {
    return QSettings(TestEnv::IniPath(), QSettings::IniFormat).value("Velmora_Language/Language");
}

// A main window and two panes, named as the shell names them, with English
// design texts and a few decoys the setters must leave alone.
struct Fixture {
    std::unique_ptr<QMainWindow> main;
    QWidget* browser = nullptr;
    QWidget* ctrl = nullptr;
    QTreeWidget* tree = nullptr;
    QToolBar* toolbar = nullptr;

    Fixture() {
        main = std::make_unique<QMainWindow>();
        main->setObjectName("frmMain");
        auto menu = [&](QMenu* parent, const char* name, const char* text) {
            QMenu* m = parent ? parent->addMenu(text) : main->menuBar()->addMenu(text);
            m->setObjectName(name);
            return m;
        };
        auto item = [](QMenu* m, const char* name, const char* text) {
            QAction* a = m->addAction(text);
            a->setObjectName(name);
            return a;
        };
        QMenu* file = menu(nullptr, "mnuFile", "&File");
        item(file, "mnuFileNew", "&New");
        item(file, "mnuFileOpen", "&Open...");
        QMenu* recent = menu(file, "mnuRecentCtrlRoot", "Recent Control File");
        item(recent, "mnuFileRecentCtrl(0)", "/tmp/a.rmt");
        file->addSeparator()->setObjectName("mnuFileSep1");
        item(file, "mnuFileExit", "E&xit");
        QMenu* tools = menu(nullptr, "mnuTools", "&Tools");
        item(tools, "mnuToolsConnect", "&Connect to Oscilloscope");
        QMenu* help = menu(nullptr, "mnuHelp", "&Help");
        item(help, "mnuHelpAbout", "&About...");
        QMenu* lang = menu(help, "mnuHelpLanguage", "Language");
        item(lang, "mnuLanguageChinese", "中文");
        item(lang, "mnuLanguageEnglish", "English");

        toolbar = main->addToolBar("tb");
        toolbar->setObjectName("tbToolBar");
        for (int i = 1; i <= 18; ++i) {
            if (i == 4 || i == 7 || i == 10 || i == 14 || i == 17)
                toolbar->addSeparator();
            else
                toolbar->addAction(QString("B%1").arg(i))->setToolTip(QString("tip%1").arg(i));
        }
        for (const char* led : {"picLED_ON", "picLED_OFF"}) {
            auto* l = new QLabel(toolbar);
            l->setObjectName(led);
            toolbar->addWidget(l);
        }

        browser = new QWidget(main.get());
        browser->setObjectName("frmDataSheetTree");
        tree = new QTreeWidget(browser);
        tree->setObjectName("DataSheetTree");
        auto* root = new QTreeWidgetItem(tree, QStringList{"Data Sheet"});
        new QTreeWidgetItem(root, QStringList{"My Bench Sheet"});
        auto* popup = new QMenu(browser);
        for (const char* n : {"mnuNewDataSheet", "mnuAddNewWaveform", "mnuRename"})
            item(popup, n, "design");

        ctrl = new QWidget(main.get());
        ctrl->setObjectName("frmCtrlList");
        for (const char* n : {"cmdUpload", "cmdDownload"}) {
            auto* b = new QPushButton("design", ctrl);
            b->setObjectName(n);
        }
        auto* cpop = new QMenu(ctrl);
        for (const char* n : {"mnuConnect", "mnuExpand"}) item(cpop, n, "design");
    }

    QString text(const char* name) const {
        QObject* o = FindCaptionControl(main.get(), name);
        if (!o) return "<absent>";
        if (auto* m = qobject_cast<QMenu*>(o)) return m->title();
        return o->property("text").toString();
    }
    QString tip(const char* name) const {
        return FindCaptionControl(main.get(), name)->property("toolTip").toString();
    }
    QString buttonTip(int n) const { return toolbar->actions().at(n - 1)->toolTip(); }
    bool checked(const char* name) const {
        return main->findChild<QAction*>(name)->isChecked();
    }

    // Every text the setters could touch, to compare before and after.
    QStringList snapshot() const {
        QStringList s;
        for (QAction* a : main->findChildren<QAction*>()) s << a->text() << a->toolTip();
        for (QMenu* m : main->findChildren<QMenu*>()) s << m->title();
        for (QWidget* w : main->findChildren<QWidget*>()) s << w->windowTitle() << w->toolTip();
        for (QPushButton* b : main->findChildren<QPushButton*>()) s << b->text();
        s << tree->topLevelItem(0)->text(0) << tree->topLevelItem(0)->child(0)->text(0);
        return s;
    }
};

}  // namespace

class LanguageTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        TestEnv::Init();
        Sheets().SheetName = "My Bench Sheet";
    }

    void readStoredLanguage_data() {
        QTest::addColumn<bool>("present");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("expected");
        QTest::newRow("missing") << false << "" << 1;
        QTest::newRow("chinese") << true << "0" << 0;
        QTest::newRow("english") << true << "1" << 1;
        QTest::newRow("padded") << true << " 0 " << 0;
        QTest::newRow("two") << true << "2" << 1;
        QTest::newRow("negative") << true << "-1" << 1;
        QTest::newRow("garbage") << true << "zh" << 1;
        QTest::newRow("empty") << true << "" << 1;
    }
    void readStoredLanguage() {
        QFETCH(bool, present);
        QFETCH(QString, stored);
        QFETCH(int, expected);
        StoreLanguageText(present ? &stored : nullptr);
        Shell().UILanguage = 0;
        ReadLanguageSetting();
        QCOMPARE(Shell().UILanguage, expected);
    }

    void englishAtFirstStartWritesNothing() {
        StoreLanguageText(nullptr);
        Fixture f;
        ReadLanguageSetting();
        ApplyLanguage(Shell().UILanguage);
        QCOMPARE(Shell().UILanguage, 1);
        QVERIFY(!f.checked("mnuLanguageChinese"));
        QVERIFY(f.checked("mnuLanguageEnglish"));
        QVERIFY(HelpFilePath().endsWith("/KV2200help.chm"));
        QVERIFY(!StoredLanguage().isValid());
        // Menus lose their design accelerators; recent items keep their paths.
        QCOMPARE(f.text("mnuFile"), QString("File"));
        QCOMPARE(f.text("mnuFileNew"), QString("New"));
        QCOMPARE(f.text("mnuFileExit"), QString("Exit"));
        QCOMPARE(f.text("mnuFileRecentCtrl(0)"), QString("/tmp/a.rmt"));
    }

    void chineseReachesMenusToolbarAndPanes() {
        Fixture f;
        ApplyLanguage(0);
        QCOMPARE(MessageTable().MsgConnectFirst, QString("请首先连接示波器！"));
        QVERIFY(HelpFilePath().endsWith("/KV2200help_Chinese.chm"));
        QVERIFY(f.checked("mnuLanguageChinese"));
        QVERIFY(!f.checked("mnuLanguageEnglish"));
        QCOMPARE(f.text("mnuFile"), QString("文件"));
        QCOMPARE(f.text("mnuRecentCtrlRoot"), QString("最近控制文件"));
        QCOMPARE(f.text("mnuHelpLanguage"), QString("语言"));
        // The language items read the same in both languages.
        QCOMPARE(f.text("mnuLanguageChinese"), QString("中文"));
        QCOMPARE(f.text("mnuLanguageEnglish"), QString("English"));
        // Toolbar tips by button number, separators counted and left bare.
        QCOMPARE(f.buttonTip(1), QString("新建"));
        QCOMPARE(f.buttonTip(5), QString("连接示波器"));
        QCOMPARE(f.buttonTip(16), QString("添加波形文件读取窗口"));
        QCOMPARE(f.buttonTip(18), QString("选项"));
        QCOMPARE(f.buttonTip(4), QString());
        QCOMPARE(f.tip("picLED_OFF"), QString("连接状态-[未连接]"));
        QCOMPARE(f.tip("picLED_ON"), QString("连接状态-[已连接]"));
        // Panes: popup items, the title, both tree nodes, the flat buttons.
        QCOMPARE(f.text("mnuNewDataSheet"), QString("新建数据浏览器"));
        QCOMPARE(f.text("mnuRename"), QString("design"));
        QCOMPARE(f.text("mnuConnect"), QString("连接示波器"));
        QCOMPARE(f.browser->windowTitle(), QString("数据浏览器"));
        QCOMPARE(f.tree->topLevelItem(0)->text(0), QString("数据浏览器"));
        QCOMPARE(f.tree->topLevelItem(0)->child(0)->text(0), QString("My Bench Sheet"));
        QCOMPARE(Sheets().SheetName, QString("My Bench Sheet"));
        QCOMPARE(f.ctrl->windowTitle(), QString("DSO控制器"));
        QCOMPARE(f.text("cmdUpload"), QString("      上传 ."));
        QCOMPARE(f.tip("cmdDownload"), QString("下载到软件"));

        ApplyLanguage(1);
        QCOMPARE(f.buttonTip(9), QString("Data Browser "));
        QCOMPARE(f.text("mnuNewDataSheet"), QString("&New Data Sheet"));
        QCOMPARE(f.tree->topLevelItem(0)->child(0)->text(0), QString("My Bench Sheet"));
        QCOMPARE(f.text("cmdDownload"), QString("     Download"));
    }

    // The sheet node shows the sheet's name in every language; only an
    // untitled (never saved) sheet's default name is translated.
    void sheetNodeShowsTheSheetName_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("inChinese");
        QTest::addColumn<QString>("inEnglish");
        QTest::newRow("renamed") << "Rig A" << "" << "Rig A" << "Rig A";
        QTest::newRow("untitled") << "Untitle" << "" << "未标题" << "Untitle";
        QTest::newRow("saved under the default name") << "Untitle" << "/tmp/u.vls" << "Untitle" << "Untitle";
    }
    void sheetNodeShowsTheSheetName() {
        QFETCH(QString, name);
        QFETCH(QString, file);
        QFETCH(QString, inChinese);
        QFETCH(QString, inEnglish);
        Fixture f;
        Sheets().SheetName = name;
        Sheets().SheetFileName = file;
        QTreeWidgetItem* node = f.tree->topLevelItem(0)->child(0);
        for (int lang : {0, 1}) {
            ApplyLanguage(lang);
            const QString expected = lang == 0 ? inChinese : inEnglish;
            QCOMPARE(node->text(0), expected);
            QCOMPARE(Sheets().SheetName, expected);
        }
        Sheets().SheetFileName.clear();
    }

    void otherLanguageValueLeavesEveryText() {
        Fixture f;
        ApplyLanguage(1);
        f.main->findChild<QAction*>("mnuFileNew")->setText("design");
        const QStringList before = f.snapshot();
        ApplyLanguage(2);
        QCOMPARE(f.snapshot(), before);
        QCOMPARE(MessageTable().MsgConnectFirst, QString("Please Connect Oscilloscope First!"));
        // The English help file and the English check mark still follow.
        QVERIFY(HelpFilePath().endsWith("/KV2200help.chm"));
        QVERIFY(f.checked("mnuLanguageEnglish"));
    }

    void treeWithoutSheetNodeStillGetsTheOthers() {
        Fixture f;
        delete f.tree->topLevelItem(0)->child(0);
        SetDataSheetTreeCaptions(0);
        QCOMPARE(f.browser->windowTitle(), QString("数据浏览器"));
        QCOMPARE(f.tree->topLevelItem(0)->text(0), QString("数据浏览器"));
    }

    void panesAreMadeOnFirstUse() {
        // A pane registered with an instance hook is created by the first
        // application of the language (the browser before the controller).
        QStringList made;
        std::unique_ptr<QWidget> browser, ctrl;
        CaptionKindOf("frmDataSheetTree").instance = [&] {
            if (!browser) {
                made << "browser";
                browser = std::make_unique<QWidget>();
                browser->setObjectName("frmDataSheetTree");
            }
            return browser.get();
        };
        CaptionKindOf("frmCtrlList").instance = [&] {
            if (!ctrl) {
                made << "ctrl";
                ctrl = std::make_unique<QWidget>();
            }
            return ctrl.get();
        };
        ApplyLanguage(1);
        CaptionKindOf("frmDataSheetTree").instance = nullptr;
        CaptionKindOf("frmCtrlList").instance = nullptr;
        QCOMPARE(made, (QStringList{"browser", "ctrl"}));
        QCOMPARE(browser->windowTitle(), QString("Data Sheet"));
        QCOMPARE(ctrl->windowTitle(), QString("DSO Controller"));
    }

    void kindsRegisteredLaterFollowTheirFlag() {
        // A later window kind adds a table: one that follows a switch is
        // re-captioned by every application, one that does not only at its load.
        QPushButton live("design"), loadOnly("design");
        live.setObjectName("cmdGo");
        loadOnly.setObjectName("cmdGo");
        RegisterCaptionKind("frmLater", {{"cmdGo", CaptionProp::Text, 0, "Go", "开始"}}, true,
                            [&] { return QList<QWidget*>{&live}; });
        RegisterCaptionKind("dlgLater", {{"", CaptionProp::Title, 0, "Later", "稍后"}}, false);
        SetRegisteredCaptions("dlgLater", &loadOnly, 0);
        QCOMPARE(loadOnly.windowTitle(), QString("稍后"));
        QCOMPARE(SwitchCaptionKinds(), QStringList{"frmLater"});
        ApplyLanguage(0);
        QCOMPARE(live.text(), QString("开始"));
        ApplyLanguage(1);
        QCOMPARE(live.text(), QString("Go"));
        QCOMPARE(loadOnly.windowTitle(), QString("稍后"));
        RegisterCaptionKind("frmLater", {}, false);
        QVERIFY(SwitchCaptionKinds().isEmpty());
    }

    void switchStoresAtOnceAndRebuildsTree() {
        Fixture f;
        Shell().UILanguage = 1;
        ApplyLanguage(1);
        DSOSettings().RunStop = "RUN";
        DSOSettings().DisplayGrid = "HALF";
        // The tree is rebuilt from the translated mirror, after the new
        // language is in force and stored.
        int rebuilds = 0;
        QList<int> seen;
        QStringList mirror;
        LanguageHooks().RebuildCtrlTree = [&] {
            ++rebuilds;
            seen << Shell().UILanguage << StoredLanguage().toInt();
            mirror << DSOSettings().RunStop;
        };
        SwitchLanguage(0);
        QCOMPARE(Vocabulary().MeasureNames[0], QString("峰峰值"));
        QCOMPARE(DSOSettings().DisplayGrid, QString("半网格"));
        QCOMPARE(Shell().UILanguage, 0);
        QCOMPARE(StoredLanguage().toString(), QString("0"));
        QCOMPARE(f.text("mnuTools"), QString("工具"));
        QVERIFY(f.checked("mnuLanguageChinese"));
        QCOMPARE(seen, (QList<int>{0, 0}));

        // The language already in force: same texts and mirror, stored again,
        // tree rebuilt.
        const QStringList before = f.snapshot();
        SwitchLanguage(0);
        QCOMPARE(f.snapshot(), before);
        QCOMPARE(rebuilds, 2);
        QCOMPARE(DSOSettings().DisplayGrid, QString("半网格"));

        // Values other than 0 and 1 are not languages: nothing happens.
        SwitchLanguage(7);
        QCOMPARE(Shell().UILanguage, 0);
        QCOMPARE(rebuilds, 2);

        SwitchLanguage(1);
        QCOMPARE(StoredLanguage().toString(), QString("1"));
        QCOMPARE(f.text("mnuTools"), QString("Tools"));
        QCOMPARE(seen.mid(4), (QList<int>{1, 1}));
        QCOMPARE(mirror, (QStringList{"运行", "运行", "RUN"}));
        QCOMPARE(DSOSettings().DisplayGrid, QString("HALF"));
        LanguageHooks().RebuildCtrlTree = nullptr;
    }

    // Qt's own texts follow the switch: a message box's standard buttons read
    // Chinese while Chinese is in force and English again after.
    void qtOwnTextsFollowTheSwitch() {
        Fixture f;
        auto yesText = [] {
            QMessageBox box;
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::Cancel);
            return box.button(QMessageBox::Yes)->text();
        };
        SwitchLanguage(1);
        const QString english = yesText();
        QVERIFY(!QtTranslationsInstalled());
        SwitchLanguage(0);
        QVERIFY(QtTranslationsInstalled());
        QVERIFY(yesText().contains(QString::fromUtf8("是")));
        // The file dialog's type column reads Chinese too.
        QCOMPARE(QCoreApplication::translate("QAbstractFileIconProvider", "Folder"),
                 QString::fromUtf8("文件夹"));
        SwitchLanguage(1);
        QVERIFY(!QtTranslationsInstalled());
        QCOMPARE(yesText(), english);
    }
};

QTEST_MAIN(LanguageTest)
#include "tst_language.moc"
