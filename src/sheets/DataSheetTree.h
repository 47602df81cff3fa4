#pragma once
// The data browser (docked pane "DataSheet"): the one open data sheet as a
// tree (root, sheet node, one node per view) and the sheet's document
// manager. A double click on a view's node opens its window or brings it to
// the front; editing a node's label renames the sheet or the view; the
// right-click menu adds views and reaches the sheet commands (new, open,
// save, save as, remove, rename, sorted). The main window reaches New, Open,
// Save and the recent-sheet open through its document hooks.
//
// The commands that would drop or move a view's record (New, Open, Remove)
// are refused while a transfer or a view's fetch runs.
#include <QWidget>

#include "common/SheetModel.h"

class QAction;
class QMenu;
class QTreeWidget;
class QTreeWidgetItem;

class frmDataSheetTree : public QWidget {
    Q_OBJECT
public:
    explicit frmDataSheetTree(QWidget* parent = nullptr);

    // Sheet commands.
    void mnuNewDataSheet_Click();
    void OpenDataSheet(const QString& path);
    void mnuOpenDataSheet_Click();
    void mnuSaveDataSheet_Click();
    void mnuSaveDataSheetAs_Click();
    void mnuRemove_Click();
    void mnuRename_Click();
    void mnuSorted_Click();

    // The window of the selected view, opened or brought to the front.
    void SetActiveForm();
    // Applies a label edit of the selected node; for the root the edit is
    // refused and newName gets the root's text back.
    void ChangeFormName(QString& newName);
    // Sets up the popup for the selected node (enabled, shown, captions, check).
    void PreparePopup();

    // The save question: false when the command ends (Cancel, or a Yes whose
    // save did not happen).
    bool SaveQuestion();

    // The view whose node is selected; false for the root, the sheet node or none.
    bool SelectedView(ViewKind& kind, int& slot) const;
    bool SheetSorted() const;

    QTreeWidget* DataSheetTree = nullptr;
    QMenu* PopupMenu = nullptr;
    QAction* mnuNewDataSheet = nullptr;
    QAction* mnuOpenDataSheet = nullptr;
    QAction* mnuPopBar0 = nullptr;
    QAction* mnuSaveDataSheet = nullptr;
    QAction* mnuSaveDataSheetAs = nullptr;
    QAction* mnuPopBar1 = nullptr;
    QMenu* mnuAddNew = nullptr;
    QAction* mnuAddNewWaveform = nullptr;
    QAction* mnuAddNewMeasure = nullptr;
    QAction* mnuAddNewData = nullptr;
    QAction* mnuAddNewPlayBack = nullptr;
    QAction* mnuAddNewMemoryWave = nullptr;
    QAction* mnuRename = nullptr;
    QAction* mnuPopBar3 = nullptr;
    QAction* mnuRemove = nullptr;
    QAction* mnuPopBar4 = nullptr;
    QAction* mnuSorted = nullptr;

private:
    void Form_Load();
    void afterLabelEdit(QTreeWidgetItem* item);
    QTreeWidgetItem* addSheetNode();
    void dropSheetNode();
    void keepSorted();
    void dressNodes();  // images, label edit and order of the view nodes
    bool refusedDuringFetch() const;
    QString chooseSheetFile(bool save, const QString& title);
    void saveTo(const QString& path);
    void openFile(const QString& path);  // Open after the save question

    QTreeWidgetItem* labelEditItem_ = nullptr;
    QString labelEditOldText_;
};

// The single data browser, created and loaded at its first use.
frmDataSheetTree* DataBrowserForm();

