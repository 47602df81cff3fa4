#pragma once
// The controller window (docked pane "Controller"), in its minimal form: the
// tree view, the popup menu and the Upload/Download buttons exist with their
// names, connect and disconnect work, and the first load starts an untitled
// controller document. The tree, the controller file and the transfer of all
// settings come with the controller subsystem; until then their commands are
// disabled.
#include <QWidget>

class QAction;
class QMenu;
class QToolButton;
class QTreeWidget;

class frmCtrlList : public QWidget {
    Q_OBJECT
public:
    explicit frmCtrlList(QWidget* parent = nullptr);

    // New controller document: the mirror takes its defaults, no file name,
    // not modified.
    void mnuNewCtrl_Click();

    QTreeWidget* CtrlTreeView = nullptr;
    QMenu* PopupMenu = nullptr;
    QAction* mnuNewCtrl = nullptr;
    QAction* mnuOpenCtrl = nullptr;
    QAction* mnuSaveCtrl = nullptr;
    QAction* mnuSaveAsCtrl = nullptr;
    QAction* mnuConnect = nullptr;
    QAction* mnuDisconnect = nullptr;
    QAction* mnuUpload = nullptr;
    QAction* mnuDownLoad = nullptr;
    QAction* mnuExpand = nullptr;
    QToolButton* cmdUpload = nullptr;
    QToolButton* cmdDownload = nullptr;

private:
    void Form_Load();
};

// The single controller window, created and loaded at its first use.
frmCtrlList* CtrlListForm();
