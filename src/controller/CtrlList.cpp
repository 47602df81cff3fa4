#include "controller/CtrlList.h"

#include <QAction>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "common/HookCheck.h"
#include "common/ShellState.h"
#include "controller/CtrlDocument.h"
#include "controller/CtrlState.h"
#include "controller/CtrlTree.h"
#include "controller/SettingsTransfer.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/TransferJobs.h"
#include "link/Vocabulary.h"
#include "platform/dialogs/MsgBox.h"
#include "platform/mouse/MouseControl.h"

CtrlStateData& CtrlState() {
    static CtrlStateData s;
    return s;
}

CtrlHooksData& CtrlHooks() {
    static CtrlHooksData h;
    return h;
}

namespace {
QPointer<frmCtrlList>& FormInstance() {
    static QPointer<frmCtrlList> form;
    return form;
}

// A transfer button shows the application's current pointer.
void CopyScreenPointer(QWidget* button) {
    button->setCursor(MouseControl::QtShape(MouseControl::Cursor()));
}

// The instrument must be connected for an edit or a transfer.
bool ConnectedOrSay() {
    if (Link().IsConnected) return true;
    MsgBox(MessageTable().MsgConnectFirst, vbExclamation);
    return false;
}
}  // namespace

frmCtrlList::frmCtrlList(QWidget* parent) : QWidget(parent) {
    setObjectName("frmCtrlList");
    setWindowTitle("DSO Controller");

    CtrlTreeView = new QTreeWidget(this);
    CtrlTreeView->setObjectName("CtrlTreeView");
    CtrlTreeView->setHeaderHidden(true);
    // A label wider than the pane scrolls sideways instead of being cut short.
    CtrlTreeView->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    CtrlTreeView->header()->setStretchLastSection(false);
    CtrlTreeView->setContextMenuPolicy(Qt::CustomContextMenu);
    CtrlTreeView->setExpandsOnDoubleClick(false);
    CtrlTreeView->installEventFilter(this);

    PopupMenu = new QMenu(this);
    PopupMenu->setObjectName("popmenu1");
    auto add = [this](const char* name, const char* text, void (frmCtrlList::*slot)()) {
        QAction* a = PopupMenu->addAction(text);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    mnuNewCtrl = add("mnuNewCtrl", "&New Control File", &frmCtrlList::mnuNewCtrl_Click);
    mnuOpenCtrl = add("mnuOpenCtrl", "&Open Control File", &frmCtrlList::mnuOpenCtrl_Click);
    PopupMenu->addSeparator();
    mnuSaveCtrl = add("mnuSaveCtrl", "&Save Control File", &frmCtrlList::mnuSaveCtrl_Click);
    mnuSaveAsCtrl = add("mnuSaveAsCtrl", "Save Control File &As", &frmCtrlList::mnuSaveAsCtrl_Click);
    PopupMenu->addSeparator();
    mnuConnect = PopupMenu->addAction("&Connect To DSO");
    mnuConnect->setObjectName("mnuConnect");
    connect(mnuConnect, &QAction::triggered, this, [] { ConnectDSO(); });
    mnuDisconnect = PopupMenu->addAction("D&isconnect");
    mnuDisconnect->setObjectName("mnuDisconnect");
    connect(mnuDisconnect, &QAction::triggered, this, [] { DisconnectDSO(); });
    PopupMenu->addSeparator();
    mnuUpload = add("mnuUpload", "&Upload", &frmCtrlList::cmdUpload_Click);
    mnuDownLoad = add("mnuDownLoad", "&Download", &frmCtrlList::cmdDownload_Click);
    PopupMenu->addSeparator();
    mnuExpand = add("mnuExpand", "&Expand All", &frmCtrlList::mnuExpand_Click);

    // The right button opens the menu at the mouse and leaves the recorded
    // node alone.
    connect(CtrlTreeView, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { PopupMenu->popup(CtrlTreeView->viewport()->mapToGlobal(p)); });
    connect(CtrlTreeView, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item, int) { CtrlTreeView_NodeClick(item); });
    // Moving through the tree with the keys selects as a click does.
    connect(CtrlTreeView, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (keyMoving_) CtrlTreeView_NodeClick(item);
    });
    connect(CtrlTreeView, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem*, int) { CtrlTreeView_DblClick(); });

    auto button = [this](const char* name, const char* text, const char* tip) {
        auto* b = new QToolButton(this);
        b->setObjectName(name);
        b->setText(text);
        b->setToolTip(tip);
        b->setAutoRaise(true);
        b->setMouseTracking(true);
        b->installEventFilter(this);
        return b;
    };
    cmdUpload = button("cmdUpload", "     Upload", "Upload To Scope");
    cmdDownload = button("cmdDownload", "     Download", "Download To Software");
    connect(cmdUpload, &QToolButton::clicked, this, &frmCtrlList::cmdUpload_Click);
    connect(cmdDownload, &QToolButton::clicked, this, &frmCtrlList::cmdDownload_Click);

    // Upload keeps its place at the left; Download follows the right edge.
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdUpload);
    buttons->addStretch();
    buttons->addWidget(cmdDownload);
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(2, 2, 2, 2);
    lay->addLayout(buttons);
    lay->addWidget(CtrlTreeView, 1);

    FormInstance() = this;
    // The bodies of the upload and download jobs.
    InstallSettingsTransferJobs();
    Form_Load();
}

frmCtrlList::~frmCtrlList() {
    // Form_Unload: the setting dialog and the virtual key pad go with it.
    if (CtrlHooks().UnloadEditors) CtrlHooks().UnloadEditors();
}

void frmCtrlList::Form_Load() {
    CtrlStateData& st = CtrlState();
    if (!st.CtrlInitDone) {
        NewCtrl();
        st.CtrlModified = false;
        st.CtrlInitDone = true;
        return;
    }
    BuildCtrlTree();
    if (QTreeWidgetItem* running = CtrlNode(CtrlGroup::RunningControl, 0)) running->setExpanded(true);
}

bool frmCtrlList::eventFilter(QObject* watched, QEvent* event) {
    if (watched == CtrlTreeView && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            CtrlTreeView_DblClick();
            return true;
        }
        // The tree handles the key right after this filter; a change of the
        // current node it makes then counts as a click.
        keyMoving_ = true;
        QTimer::singleShot(0, this, [this] { keyMoving_ = false; });
    }
    if ((watched == cmdUpload || watched == cmdDownload) &&
        (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter))
        CopyScreenPointer(static_cast<QWidget*>(watched));
    return QWidget::eventFilter(watched, event);
}

void frmCtrlList::mnuNewCtrl_Click() { NewCtrl(); }
void frmCtrlList::mnuOpenCtrl_Click() { OpenCtrlDialog(); }
void frmCtrlList::OpenCtrl(const QString& path) { ::OpenCtrl(path); }
void frmCtrlList::mnuSaveCtrl_Click() { SaveCtrl(); }
void frmCtrlList::mnuSaveAsCtrl_Click() { SaveCtrlAs(); }
void frmCtrlList::mnuExpand_Click() { ExpandAllCtrlNodes(); }

void frmCtrlList::CtrlTreeView_NodeClick(QTreeWidgetItem* node) {
    if (node) CtrlState().SelectedNodePath = CtrlNodePath(node);
}

void frmCtrlList::CtrlTreeView_DblClick() {
    if (!ConnectedOrSay()) return;
    const auto& dispatch = CtrlHooks().PraseCtrlList;
    if (RequireHook(dispatch, "edit dispatcher")) dispatch(CtrlState().SelectedNodePath);
}

void frmCtrlList::cmdUpload_Click() {
    if (!ConnectedOrSay() || Transfer().TransferBusy) return;
    CtrlSettings& s = DSOSettings();
    s.CH1Invert = s.CH2Invert = s.SpareSwitch = ValueWord(vwOff);
    UploadToDSO();
}

void frmCtrlList::cmdDownload_Click() {
    if (!ConnectedOrSay() || Transfer().TransferBusy) return;
    LastSettingsTransfer().DownloadCommitted = false;
    DownloadfromDSO();
    // A download that did not complete has left the whole mirror as it was.
    if (!LastSettingsTransfer().DownloadCommitted) return;
    CtrlSettings& s = DSOSettings();
    s.CH1Invert = s.CH2Invert = s.SpareSwitch = ValueWord(vwOff);
    CtrlState().CtrlModified = true;
}

void frmCtrlList::UploadToDSO() { runJob(JobUpload, cmdUpload); }
void frmCtrlList::DownloadfromDSO() { runJob(JobDownload, cmdDownload); }

void frmCtrlList::runJob(int code, QToolButton* button) {
    const bool upload = code == JobUpload;
    // The UI language is 0 or 1 (the shell clamps it when it reads it).
    const QString caption = Shell().UILanguage == 0
                                ? QString::fromUtf8(upload ? "数据上传中..." : "数据下载中...")
                                : QString(upload ? "Data Uploading..." : "Data Downloading...");
    QPointer<QToolButton> b(button);
    RunTransfer(code, caption, true);
    if (b) CopyScreenPointer(b);
}

frmCtrlList* CtrlListForm() {
    if (!FormInstance()) new frmCtrlList;
    return FormInstance();
}

frmCtrlList* LoadedCtrlListForm() { return FormInstance(); }
