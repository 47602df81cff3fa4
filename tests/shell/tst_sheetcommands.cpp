// The main window with the data browser's commands bound: its data sheet
// menu items are enabled and reach the browser, from Save to the recent list.
#include <QAction>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "TestEnv.h"
#include "common/RecentFiles.h"
#include "common/SheetModel.h"
#include "link/Messages.h"
#include "link/Vocabulary.h"
#include "platform/dialogs/FileDialog.h"
#include "sheets/FileFunc.h"
#include "sheets/DataTable.h"
#include "sheets/SheetDocument.h"
#include "sheets/frmData.h"
#include "shell/DocumentCommands.h"
#include "shell/Language.h"
#include "shell/MainWindow.h"

class SheetCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        TestEnv::Init();
        LoadMessages(LangEnglish);
        LoadValueWords(LangEnglish);
    }

    void menuReachesTheBrowser() {
        QTemporaryDir dir;
        BindDataSheetCommands();
        frmMain w;
        w.MDIForm_Load();
        for (QAction* item : {w.mnuFileNew, w.mnuFileOpen, w.mnuFileSaveDataSheet})
            QVERIFY2(item->isEnabled(), qPrintable(item->objectName()));

        AddNewData();
        QCOMPARE(Sheets().DataCount, int16_t(1));
        const QString path = dir.filePath("menu.vls");
        FileDialogService::SetAnswerer([&](const FileDialogRequest&) { return path; });
        w.mnuFileSaveDataSheet_Click();
        FileDialogService::SetAnswerer(nullptr);
        QVERIFY(QFile::exists(path));
        QVERIFY(!Sheets().SheetModified);
        QCOMPARE(w.RecentSheetItem(0)->text(), path);

        // The data window follows the language, its table heads included.
        auto* f = DataForm(0);
        QVERIFY(f);
        f->Timer1_Timer();
        QCOMPARE(f->Table->headerData(2, Qt::Horizontal).toString(), QString("Voltage[V]"));
        SwitchLanguage(LangChinese);
        QCOMPARE(f->Table->headerData(2, Qt::Horizontal).toString(), QString::fromUtf8("电压[V]"));
        QCOMPARE(f->cmdRefresh->text(), QString::fromUtf8(" 更新 ."));
        SwitchLanguage(LangEnglish);
        QCOMPARE(f->cmdRefresh->text(), QString(" Refresh"));

        DocCommands().NewDataSheet();
        QCOMPARE(Sheets().DataCount, int16_t(0));
        w.mnuFileRecentSheet_Click(0);
        QCOMPARE(Sheets().DataCount, int16_t(1));
        QCOMPARE(Sheets().SheetFileName, path);
        w.MDIForm_Unload();
    }
};

QTEST_MAIN(SheetCommandsTest)
#include "tst_sheetcommands.moc"
