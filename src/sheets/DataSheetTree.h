#pragma once
// The data browser (docked pane "DataSheet"), in its minimal form: the tree
// with its root node and the untitled data sheet node, and the popup menu
// with its named items. Adding views, the sheet file and the view windows
// come with the data sheet subsystem; until then their commands are disabled.
#include <QWidget>

class QAction;
class QMenu;
class QTreeWidget;

class frmDataSheetTree : public QWidget {
    Q_OBJECT
public:
    explicit frmDataSheetTree(QWidget* parent = nullptr);

    // An untitled data sheet in place of the open one (no views yet exist).
    void mnuNewDataSheet_Click();

    QTreeWidget* DataSheetTree = nullptr;
    QMenu* PopupMenu = nullptr;
    QAction* mnuNewDataSheet = nullptr;
    QAction* mnuOpenDataSheet = nullptr;
    QAction* mnuSaveDataSheet = nullptr;
    QAction* mnuSaveDataSheetAs = nullptr;
    QMenu* mnuAddNew = nullptr;
    QAction* mnuAddNewWaveform = nullptr;
    QAction* mnuAddNewMeasure = nullptr;
    QAction* mnuAddNewData = nullptr;
    QAction* mnuAddNewPlayBack = nullptr;
    QAction* mnuAddNewMemoryWave = nullptr;
    QAction* mnuSorted = nullptr;
    QAction* mnuRename = nullptr;
    QAction* mnuRemove = nullptr;

private:
    void Form_Load();
};

// The single data browser, created and loaded at its first use.
frmDataSheetTree* DataBrowserForm();
