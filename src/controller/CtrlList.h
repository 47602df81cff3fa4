#pragma once
// The controller window (docked pane "Controller"): the controller tree
// CtrlTreeView, the Upload and Download buttons and the tree's popup menu.
//
// A click on a node records its path in CtrlState().SelectedNodePath; a double
// click or Enter hands that path to the edit dispatcher (CtrlHooks()) while
// the instrument is connected. Upload and Download run transfer jobs 22 and
// 23. The controller-file commands are the plain functions of CtrlDocument.h;
// the window's menu items call them.
#include <QWidget>

class QAction;
class QMenu;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

class frmCtrlList : public QWidget {
    Q_OBJECT
public:
    explicit frmCtrlList(QWidget* parent = nullptr);
    ~frmCtrlList() override;

    // Controller-file commands (see CtrlDocument.h).
    void mnuNewCtrl_Click();
    void mnuOpenCtrl_Click();
    void OpenCtrl(const QString& path);
    void mnuSaveCtrl_Click();
    void mnuSaveAsCtrl_Click();

    // Event handlers, public so tests can drive them.
    void CtrlTreeView_NodeClick(QTreeWidgetItem* node);
    void CtrlTreeView_DblClick();
    void cmdUpload_Click();
    void cmdDownload_Click();
    void mnuExpand_Click();
    // Runs job 22 / 23 and returns when it has ended.
    void UploadToDSO();
    void DownloadfromDSO();

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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void runJob(int code, QToolButton* button);
    bool keyMoving_ = false;  // a key press is being handled by the tree
};

// The single controller window, created and loaded at its first use.
frmCtrlList* CtrlListForm();
// The controller window when loaded, else nullptr (touches nothing).
frmCtrlList* LoadedCtrlListForm();
