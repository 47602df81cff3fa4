// The UI language: stored setting, applying it to the main window and the
// panes, and switching it from the Language menu.
#include <QtTest>

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QToolBar>
#include <QToolButton>
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
#include "shell/MainWindow.h"
#include "shell/QtTranslations.h"
#include "controller/CtrlList.h"
#include "sheets/DataSheetTree.h"

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

// The main window with its two panes, loaded as the application loads it.
struct Fixture {
    frmMain main;
    frmDataSheetTree* browser = nullptr;
    frmCtrlList* ctrl = nullptr;
    QTreeWidget* tree = nullptr;

    Fixture() {
        main.MDIForm_Load();
        browser = DataBrowserForm();
        ctrl = CtrlListForm();
        tree = browser->DataSheetTree;
    }
    ~Fixture() { main.MDIForm_Unload(); }

    QString buttonTip(int n) const { return main.ToolbarButton(n)->toolTip(); }
    QTreeWidgetItem* sheetNode() const { return tree->topLevelItem(0)->child(0); }

    // Every text the setters could touch, to compare before and after.
    QStringList snapshot() const {
        QStringList s;
        for (const QWidget* w : {static_cast<const QWidget*>(&main), static_cast<const QWidget*>(browser),
                                 static_cast<const QWidget*>(ctrl)}) {
            for (QAction* a : w->findChildren<QAction*>()) s << a->text() << a->toolTip();
            for (QMenu* m : w->findChildren<QMenu*>()) s << m->title();
            for (QWidget* c : w->findChildren<QWidget*>()) s << c->windowTitle() << c->toolTip() << c->accessibleName();
            for (QAbstractButton* b : w->findChildren<QAbstractButton*>()) s << b->text();
        }
        s << tree->topLevelItem(0)->text(0) << sheetNode()->text(0);
        return s;
    }
};

}  // namespace

class LanguageTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestEnv::Init(); }

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
        QVERIFY(!f.main.mnuLanguageChinese->isChecked());
        QVERIFY(f.main.mnuLanguageEnglish->isChecked());
        QVERIFY(HelpFilePath().endsWith("/KV2200help.chm"));
        QVERIFY(!StoredLanguage().isValid());
        // The menus carry their access keys.
        QCOMPARE(f.main.mnuFile->title(), QString("&File"));
        QCOMPARE(f.main.mnuFileNew->text(), QString("&New"));
        QCOMPARE(f.main.mnuFileExit->text(), QString("E&xit"));
    }

    void chineseReachesMenusToolbarAndPanes() {
        Fixture f;
        Sheets().SheetName = "My Bench Sheet";
        const QString rename = f.browser->mnuRename->text();
        ApplyLanguage(0);
        QCOMPARE(MessageTable().MsgConnectFirst, QString("请首先连接示波器！"));
        QVERIFY(HelpFilePath().endsWith("/KV2200help_Chinese.chm"));
        QVERIFY(f.main.mnuLanguageChinese->isChecked());
        QVERIFY(!f.main.mnuLanguageEnglish->isChecked());
        QCOMPARE(f.main.mnuFile->title(), QString("文件(&F)"));
        QCOMPARE(f.main.mnuFileOpen->text(), QString("打开(&O)..."));
        QCOMPARE(f.main.mnuRecentCtrlRoot->title(), QString("最近控制文件(&T)"));
        QCOMPARE(f.main.mnuHelpLanguage->title(), QString("语言(&L)"));
        // The language items read the same in both languages.
        QCOMPARE(f.main.mnuLanguageChinese->text(), QString("中文"));
        QCOMPARE(f.main.mnuLanguageEnglish->text(), QString("English"));
        // Toolbar tips by button number, separators counted and left bare.
        QCOMPARE(f.buttonTip(1), QString("新建"));
        QCOMPARE(f.buttonTip(5), QString("连接示波器"));
        QCOMPARE(f.buttonTip(16), QString("添加波形文件读取窗口"));
        QCOMPARE(f.buttonTip(18), QString("选项"));
        QCOMPARE(f.buttonTip(4), QString());
        QCOMPARE(f.main.picLED_OFF->toolTip(), QString("连接状态-[未连接]"));
        QCOMPARE(f.main.picLED_ON->toolTip(), QString("连接状态-[已连接]"));
        // Panes: popup items, the title, both tree nodes, the flat buttons.
        QCOMPARE(f.browser->mnuNewDataSheet->text(), QString("新建数据浏览器"));
        QCOMPARE(f.browser->mnuRename->text(), rename);
        QCOMPARE(f.ctrl->mnuConnect->text(), QString("连接示波器"));
        QCOMPARE(f.browser->windowTitle(), QString("数据浏览器"));
        QCOMPARE(f.tree->topLevelItem(0)->text(0), QString("数据浏览器"));
        QCOMPARE(f.sheetNode()->text(0), QString("My Bench Sheet"));
        QCOMPARE(Sheets().SheetName, QString("My Bench Sheet"));
        QCOMPARE(f.ctrl->windowTitle(), QString("DSO控制器"));
        QCOMPARE(f.ctrl->cmdUpload->text(), QString("      上传 ."));
        QCOMPARE(f.ctrl->cmdDownload->toolTip(), QString("下载到软件"));

        ApplyLanguage(1);
        QCOMPARE(f.buttonTip(9), QString("Data Browser "));
        QCOMPARE(f.browser->mnuNewDataSheet->text(), QString("&New Data Sheet"));
        QCOMPARE(f.sheetNode()->text(0), QString("My Bench Sheet"));
        QCOMPARE(f.ctrl->cmdDownload->text(), QString("     Download"));
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
        QTreeWidgetItem* node = f.sheetNode();
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
        f.main.mnuFileNew->setText("design");
        const QStringList before = f.snapshot();
        ApplyLanguage(2);
        QCOMPARE(f.snapshot(), before);
        QCOMPARE(MessageTable().MsgConnectFirst, QString("Please Connect Oscilloscope First!"));
        // The English help file and the English check mark still follow.
        QVERIFY(HelpFilePath().endsWith("/KV2200help.chm"));
        QVERIFY(f.main.mnuLanguageEnglish->isChecked());
    }

    void treeWithoutSheetNodeStillGetsTheOthers() {
        Fixture f;
        QTreeWidgetItem* root = f.tree->topLevelItem(0);
        QTreeWidgetItem* sheet = root->takeChild(0);
        SetDataSheetTreeCaptions(0);
        QCOMPARE(f.browser->windowTitle(), QString("数据浏览器"));
        QCOMPARE(root->text(0), QString("数据浏览器"));
        root->insertChild(0, sheet);
    }

    void panesAreMadeOnFirstUse() {
        // A pane registered with an instance hook is asked for by the
        // application of the language (the browser before the controller)
        // and captioned in it.
        QStringList made;
        CaptionKindOf("frmDataSheetTree").instance = [&]() -> QWidget* {
            if (!made.contains("browser")) made << "browser";
            return DataBrowserForm();
        };
        CaptionKindOf("frmCtrlList").instance = [&]() -> QWidget* {
            if (!made.contains("ctrl")) made << "ctrl";
            return CtrlListForm();
        };
        ApplyLanguage(1);
        CaptionKindOf("frmDataSheetTree").instance = nullptr;
        CaptionKindOf("frmCtrlList").instance = nullptr;
        QCOMPARE(made, (QStringList{"browser", "ctrl"}));
        QCOMPARE(DataBrowserForm()->windowTitle(), QString("Data Sheet"));
        QCOMPARE(CtrlListForm()->windowTitle(), QString("DSO Controller"));
    }

    void kindsRegisteredLaterFollowTheirFlag() {
        // A later window kind adds a table: one that follows a switch is
        // re-captioned by every application, one that does not only at its load.
        QPushButton live("design"), loadOnly("design");
        live.setObjectName("cmdGo");
        loadOnly.setObjectName("cmdGo");
        RegisterCaptionKind("frmLater", {{{}, CaptionProp::Text, 0, "Go", "开始"}}, true,
                            [&] { return QList<QWidget*>{&live}; });
        RegisterCaptionKind("dlgLater", {{{}, CaptionProp::Title, 0, "Later", "稍后"}}, false);
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

    // The line after a dropped link's message names the menu command that
    // connects again as the menus read in each language.
    void linkClosedNamesTheConnectCommand() {
        Fixture f;
        const auto plain = [](QString caption) {
            return caption.remove(QRegularExpression("\\(&.\\)")).remove('&');
        };
        for (int lang : {0, 1}) {
            ApplyLanguage(lang);
            const QString command = plain(f.main.mnuTools->title()) + " > " + plain(f.main.mnuToolsConnect->text());
            QVERIFY2(MessageTable().MsgLinkClosed.contains(command), qPrintable(command));
        }
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
        QCOMPARE(f.main.mnuTools->title(), QString("工具(&T)"));
        QVERIFY(f.main.mnuLanguageChinese->isChecked());
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
        QCOMPARE(f.main.mnuTools->title(), QString("&Tools"));
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
