// The data browser and the sheet commands without the instrument: a sheet
// with views of several kinds through New, Save, Save As, Rename, Sorted,
// Remove and Open (tree, records and file agreeing after each), the save
// question's three answers, failed opens and saves that keep the document
// and its file, and the commands refused while a fetch runs.
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

#include "TestEnv.h"
#include "measure/frmMeasure.h"
#include "memwave/frmOpenWaveform.h"
#include "replay/frmRecordPlay.h"
#include "shell/Language.h"
#include "common/RecentFiles.h"
#include "common/SheetModel.h"
#include "common/ShellState.h"
#include "link/Messages.h"
#include "link/TransferJobs.h"
#include "link/Vocabulary.h"
#include "platform/dialogs/FileDialog.h"
#include "platform/dialogs/MsgBox.h"
#include "sheets/DataSheetTree.h"
#include "sheets/SheetDocument.h"
#include "sheets/SheetFile.h"
#include "sheets/SheetTreeBinder.h"
#include "sheets/ViewWindows.h"

namespace {
QStringList childTexts() {
    QStringList l;
    QTreeWidgetItem* sheet = SheetTree().SheetNode;
    if (!SheetNodeInTree()) return l;
    for (int i = 0; i < sheet->childCount(); ++i) l << sheet->child(i)->text(0);
    return l;
}
// The views' names in the order of the kinds and slots.
QStringList recordNames() {
    QStringList l;
    const SheetModelData& s = Sheets();
    for (int i = 0; i < s.WaveCount; ++i) l << s.WaveViews[size_t(i)].Name;
    for (int i = 0; i < s.MeasureCount; ++i) l << s.MeasureViews[size_t(i)].Name;
    for (int i = 0; i < s.DataCount; ++i) l << s.DataViews[size_t(i)].Name;
    for (int i = 0; i < s.RecordCount; ++i) l << s.RecordViews[size_t(i)].Name;
    for (int i = 0; i < s.MemWaveCount; ++i) l << s.MemWaveViews[size_t(i)].Name;
    return l;
}
// The names the file holds, in the same order.
QStringList fileNames(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {"<unreadable>"};
    auto into = std::make_unique<SheetModelData>();
    if (!ParseSheetFile(f.readAll(), *into)) return {"<damaged>"};
    QStringList l{into->SheetName};
    for (int i = 0; i < into->WaveCount; ++i) l << into->WaveViews[size_t(i)].Name;
    for (int i = 0; i < into->MeasureCount; ++i) l << into->MeasureViews[size_t(i)].Name;
    for (int i = 0; i < into->DataCount; ++i) l << into->DataViews[size_t(i)].Name;
    return l;
}
QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
}  // namespace

class DataSheetTreeTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir;
    frmDataSheetTree* tree = nullptr;
    QStringList dialogAnswers;
    QList<int> msgAnswers;

    void select(QTreeWidgetItem* item) {
        tree->DataSheetTree->setCurrentItem(item);
        item->setSelected(true);
    }
    void selectView(ViewKind kind, int slot) { select(ViewNode(kind, slot)); }
    QStringList shown() {
        QStringList l;
        for (const ShownMessage& m : MsgBoxService::Log()) l << m.text;
        return l;
    }
    // A fresh, unmodified sheet with Wave "W1", Data "D1", Data "D2", Measure "M1".
    void buildSheet() {
        Transfer().TransferBusy = false;
        SheetDoc().SetModified(false);
        tree->mnuNewDataSheet_Click();
        tree->mnuAddNewWaveform->trigger();
        tree->mnuAddNewData->trigger();
        tree->mnuAddNewData->trigger();
        tree->mnuAddNewMeasure->trigger();
        QCOMPARE(recordNames().size(), 4);
        MsgBoxService::ClearLog();
    }

private slots:
    void initTestCase() {
        TestEnv::Init();
        TestEnv::UseLanguage(LangEnglish);
        RegisterMeasureWindow();
        RegisterRecordWindow();
        RegisterMemoryWaveWindow();
        SetViewFormFactory(ViewWave, [](int) { return new QWidget; });  // its own window comes with the waveform view
        InstallViewCaptionSetters();
        FileDialogService::SetAnswerer([this](const FileDialogRequest&) {
            return dialogAnswers.isEmpty() ? QString() : dialogAnswers.takeFirst();
        });
        MsgBoxService::SetAnswerer([this](const ShownMessage&) {
            return msgAnswers.isEmpty() ? int(vbOK) : msgAnswers.takeFirst();
        });
        tree = DataBrowserForm();
        QVERIFY(tree);
    }
    void init() {
        dialogAnswers.clear();
        msgAnswers.clear();
        MsgBoxService::ClearLog();
        FileDialogService::ClearLog();
    }

    void startsWithAnEmptyUntitledSheet() {
        QCOMPARE(tree->DataSheetTree->topLevelItemCount(), 1);
        QCOMPARE(SheetTree().SheetRootNode->text(0), QString("Data Sheet"));
        QVERIFY(SheetNodeInTree());
        QCOMPARE(SheetTree().SheetNode->text(0), QString("Untitle"));
        QCOMPARE(SheetTree().SheetNode->childCount(), 0);
        QVERIFY(!Sheets().SheetModified);
    }

    void commandsKeepTreeRecordsAndFileTogether() {
        buildSheet();
        const QString p1 = dir.filePath("one.vls"), p2 = dir.filePath("two.vls");
        QCOMPARE(childTexts(), QStringList({"Wave0", "Data0", "Data1", "Measure0"}));

        // Save of a new sheet asks for the file.
        dialogAnswers << p1;
        tree->mnuSaveDataSheet_Click();
        QCOMPARE(FileDialogService::Log().size(), 1);
        QCOMPARE(FileDialogService::Log()[0].title, QString("Save"));
        QCOMPARE(FileDialogService::Log()[0].filter, QString("Data Sheet Files (*.vls)|*.vls"));
        QCOMPARE(Sheets().SheetFileName, p1);
        QVERIFY(!Sheets().SheetModified);
        QCOMPARE(ReadRecentList(RecentList::Sheet).value(0), p1);
        QCOMPARE(fileNames(p1), QStringList({"Untitle", "Wave0", "Measure0", "Data0", "Data1"}));

        // Rename a view: record, node and window follow; a bad name is refused.
        selectView(ViewData, 1);
        tree->mnuRename_Click();
        ViewNode(ViewData, 1)->setText(0, "Zeta");
        QCOMPARE(Sheets().DataViews[1].Name, QString("Zeta"));
        QCOMPARE(ExistingViewForm(ViewData, 1)->windowTitle(), QString("Zeta"));
        QVERIFY(Sheets().SheetModified);
        tree->mnuRename_Click();
        ViewNode(ViewData, 1)->setText(0, "Bad\"Name");
        QCOMPARE(Sheets().DataViews[1].Name, QString("Zeta"));
        QCOMPARE(ViewNode(ViewData, 1)->text(0), QString("Zeta"));
        QCOMPARE(MsgBoxService::Log().size(), 1);
        // The root keeps its name.
        select(SheetTree().SheetRootNode);
        tree->mnuRename_Click();
        SheetTree().SheetRootNode->setText(0, "Mine");
        QCOMPARE(SheetTree().SheetRootNode->text(0), QString("Data Sheet"));
        QCOMPARE(shown().last(), QString("Name of Root Can't Change!"));

        // Sorted orders the nodes only, alphabetically whatever the letter case.
        select(SheetTree().SheetNode);
        tree->mnuSorted_Click();
        QVERIFY(tree->SheetSorted());
        QCOMPARE(childTexts(), QStringList({"Data0", "Measure0", "Wave0", "Zeta"}));
        selectView(ViewWave, 0);
        tree->mnuRename_Click();
        ViewNode(ViewWave, 0)->setText(0, "alpha");
        QCOMPARE(childTexts(), QStringList({"alpha", "Data0", "Measure0", "Zeta"}));
        QCOMPARE(tree->DataSheetTree->currentItem(), ViewNode(ViewWave, 0));
        tree->mnuRename_Click();
        ViewNode(ViewWave, 0)->setText(0, "Wave0");
        QCOMPARE(childTexts(), QStringList({"Data0", "Measure0", "Wave0", "Zeta"}));
        select(SheetTree().SheetNode);
        tree->PreparePopup();
        QVERIFY(tree->mnuSorted->isChecked());
        QCOMPARE(tree->mnuRename->text(), QString("Re&name(Untitle)"));

        // Remove one view: no question, later views of its kind move down.
        selectView(ViewData, 0);
        tree->PreparePopup();
        QCOMPARE(tree->mnuRemove->text(), QString("&Remove(Data0)"));
        tree->mnuRemove_Click();
        QVERIFY(MsgBoxService::Log().size() == 2);
        QCOMPARE(Sheets().DataCount, int16_t(1));
        QCOMPARE(Sheets().DataViews[0].Name, QString("Zeta"));
        QCOMPARE(ViewNode(ViewData, 0)->text(0), QString("Zeta"));
        QCOMPARE(childTexts(), QStringList({"Measure0", "Wave0", "Zeta"}));

        // Save As always asks; the file follows.
        dialogAnswers << p2;
        tree->mnuSaveDataSheetAs_Click();
        QCOMPARE(Sheets().SheetFileName, p2);
        QCOMPARE(fileNames(p2), QStringList({"Untitle", "Wave0", "Measure0", "Zeta"}));
        // Save of a sheet with a file writes to it without a dialog.
        FileDialogService::ClearLog();
        tree->mnuSaveDataSheet_Click();
        QVERIFY(FileDialogService::Log().isEmpty());

        // New, then Open the first file: its views in kind order, unmodified.
        tree->mnuNewDataSheet_Click();
        QCOMPARE(childTexts(), QStringList());
        QCOMPARE(Sheets().SheetFileName, QString());
        tree->OpenDataSheet(p1);
        QCOMPARE(childTexts(), QStringList({"Wave0", "Measure0", "Data0", "Data1"}));
        QCOMPARE(recordNames(), QStringList({"Wave0", "Measure0", "Data0", "Data1"}));
        QCOMPARE(Sheets().SheetFileName, p1);
        QVERIFY(!Sheets().SheetModified);
        QVERIFY(!tree->SheetSorted());

        // Remove the sheet: only the root stays; a later Save writes nothing.
        select(SheetTree().SheetNode);
        const QByteArray before = bytesOf(p1);
        tree->mnuRemove_Click();
        QVERIFY(!SheetNodeInTree());
        QCOMPARE(SheetTree().SheetRootNode->childCount(), 0);
        tree->PreparePopup();
        QVERIFY(!tree->mnuSaveDataSheet->isEnabled());
        QVERIFY(!tree->mnuAddNew->menuAction()->isEnabled());
        QVERIFY(tree->mnuNewDataSheet->isEnabled());
        SheetDoc().SetModified(true);
        MsgBoxService::ClearLog();
        tree->mnuSaveDataSheet_Click();
        QCOMPARE(bytesOf(p1), before);
        QVERIFY(!Sheets().SheetModified);
        // Nothing is asked about a closed sheet.
        SheetDoc().SetModified(true);
        tree->mnuNewDataSheet_Click();
        QVERIFY(SheetNodeInTree());
        QVERIFY(MsgBoxService::Log().isEmpty());
    }

    // A double click opens a closed view's window again, titled and tagged;
    // the root and the sheet node open nothing.
    void activation() {
        buildSheet();
        SheetDoc().SetModified(false);
        QPointer<QWidget> w = ExistingViewForm(ViewData, 1);
        QVERIFY(w);
        QVERIFY(w->close());
        QTRY_VERIFY(!w);
        QVERIFY(!Sheets().DataViews[1].WindowOpen);
        select(SheetTree().SheetNode);
        tree->SetActiveForm();
        QVERIFY(!ExistingViewForm(ViewData, 1));
        selectView(ViewData, 1);
        emit tree->DataSheetTree->itemDoubleClicked(ViewNode(ViewData, 1), 0);
        w = ExistingViewForm(ViewData, 1);
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QString("Data1"));
        QCOMPARE(FormSlot(ViewData, w), 1);
        QTRY_VERIFY(Sheets().DataViews[1].WindowOpen);
        tree->SetActiveForm();
        QCOMPARE(ExistingViewForm(ViewData, 1), w.data());
        QVERIFY(!Sheets().SheetModified);
    }

    void saveQuestion_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("saveGoesTo");  // "file", or where a save that does not happen goes
        QTest::newRow("Yes") << int(vbYes) << "file";
        QTest::newRow("No") << int(vbNo) << "file";
        QTest::newRow("Cancel") << int(vbCancel) << "file";
        // A Yes whose save does not happen keeps the views, as Cancel does.
        QTest::newRow("Yes, write fails") << int(vbYes) << "missing folder";
        QTest::newRow("Yes, dialog cancelled") << int(vbYes) << "no file";
    }
    void saveQuestion() {
        QFETCH(int, answer);
        QFETCH(QString, saveGoesTo);
        buildSheet();
        QString path = dir.filePath(QString("question%1.vls").arg(answer));
        dialogAnswers << path;
        tree->mnuSaveDataSheet_Click();
        tree->mnuAddNewData->trigger();  // modified again
        QVERIFY(Sheets().SheetModified);
        const QString savedPath = path;
        if (saveGoesTo == "missing folder") path = dir.filePath("missing/question.vls");
        if (saveGoesTo == "no file") path.clear();
        Sheets().SheetFileName = path;
        MsgBoxService::ClearLog();
        msgAnswers << answer;

        tree->mnuNewDataSheet_Click();

        QCOMPARE(shown().value(0), "Save the changes to the Data Sheet File? " + path);
        QCOMPARE(MsgBoxService::Log()[0].style, int(vbYesNoCancel));
        const int savedViews = fileNames(savedPath).size() - 1;
        if (answer == vbCancel || saveGoesTo != "file") {
            QCOMPARE(recordNames().size(), 5);
            QCOMPARE(childTexts().size(), 5);
            QCOMPARE(Sheets().SheetFileName, path);
            QVERIFY(Sheets().SheetModified);
            QCOMPARE(savedViews, 4);
            QCOMPARE(shown().size(), saveGoesTo == "missing folder" ? 2 : 1);  // the write's own report
        } else {
            QCOMPARE(childTexts(), QStringList());
            QCOMPARE(Sheets().SheetFileName, QString());
            QCOMPARE(savedViews, answer == vbYes ? 5 : 4);
            QCOMPARE(Sheets().SheetModified, answer == vbNo);
        }
    }

    void failedOpenAndSaveKeepTheDocument_data() {
        QTest::addColumn<QString>("what");
        QTest::newRow("open a missing file") << "open missing";
        QTest::newRow("open a damaged file") << "open damaged";
        QTest::newRow("save into a missing folder") << "save";
        QTest::newRow("save as onto a folder") << "save as";
    }
    void failedOpenAndSaveKeepTheDocument() {
        QFETCH(QString, what);
        buildSheet();
        const QString good = dir.filePath("good.vls");
        dialogAnswers << good;
        tree->mnuSaveDataSheet_Click();
        tree->mnuAddNewData->trigger();
        SheetDoc().SetModified(false);
        const QByteArray goodBytes = bytesOf(good);
        const QStringList recent = ReadRecentList(RecentList::Sheet);
        const QStringList nodes = childTexts(), records = recordNames();
        msgAnswers << vbNo;

        if (what == "open missing") {
            tree->OpenDataSheet(dir.filePath("nowhere.vls"));
        } else if (what == "open damaged") {
            QFile f(dir.filePath("damaged.vls"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("Something else\r\n");
            f.close();
            tree->OpenDataSheet(f.fileName());
        } else if (what == "save") {
            Sheets().SheetFileName = dir.filePath("missing/sheet.vls");
            SheetDoc().SetModified(true);
            tree->mnuSaveDataSheet_Click();
        } else {
            QVERIFY(QDir(dir.path()).mkpath("afolder.vls"));
            SheetDoc().SetModified(true);
            dialogAnswers << dir.filePath("afolder.vls");
            tree->mnuSaveDataSheetAs_Click();
        }

        QVERIFY(!MsgBoxService::Log().isEmpty());
        QCOMPARE(MsgBoxService::Log().last().style & 0xF0, int(vbCritical));
        QCOMPARE(childTexts(), nodes);
        QCOMPARE(recordNames(), records);
        QCOMPARE(ReadRecentList(RecentList::Sheet), recent);
        QCOMPARE(bytesOf(good), goodBytes);
        if (what.startsWith("open")) {
            QCOMPARE(Sheets().SheetFileName, good);
            QVERIFY(!Sheets().SheetModified);
        } else {
            QCOMPARE(Sheets().SheetFileName, what == "save" ? dir.filePath("missing/sheet.vls") : good);
            QVERIFY(Sheets().SheetModified);
        }
    }

    void refusedWhileAFetchRuns() {
        buildSheet();
        const QString path = dir.filePath("busy.vls");
        dialogAnswers << path;
        tree->mnuSaveDataSheet_Click();
        const QStringList nodes = childTexts(), records = recordNames();
        Transfer().TransferBusy = true;
        selectView(ViewData, 0);
        tree->mnuRemove_Click();
        tree->mnuNewDataSheet_Click();
        tree->OpenDataSheet(path);
        dialogAnswers << path;
        tree->mnuOpenDataSheet_Click();
        select(SheetTree().SheetNode);
        tree->mnuRemove_Click();
        Transfer().TransferBusy = false;
        QCOMPARE(MsgBoxService::Log().size(), 5);
        QVERIFY(FileDialogService::Log().size() == 1);
        QCOMPARE(childTexts(), nodes);
        QCOMPARE(recordNames(), records);
        QVERIFY(SheetNodeInTree());
    }
};

QTEST_MAIN(DataSheetTreeTest)
#include "tst_datasheettree.moc"
