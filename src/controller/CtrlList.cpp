#include "controller/CtrlList.h"

#include <QAction>
#include <QHBoxLayout>
#include <QMenu>
#include <QPointer>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "controller/CtrlState.h"
#include "controller/SettingsTransfer.h"
#include "link/KV2200Cmd.h"
#include "link/Vocabulary.h"

CtrlStateData& CtrlState() {
    static CtrlStateData s;
    return s;
}

frmCtrlList::frmCtrlList(QWidget* parent) : QWidget(parent) {
    setObjectName("frmCtrlList");
    setWindowTitle("DSO Controller");

    CtrlTreeView = new QTreeWidget(this);
    CtrlTreeView->setObjectName("CtrlTreeView");
    CtrlTreeView->setHeaderHidden(true);
    CtrlTreeView->setContextMenuPolicy(Qt::CustomContextMenu);

    PopupMenu = new QMenu(this);
    PopupMenu->setObjectName("mnuPopup");
    auto add = [this](const char* name, const char* text, bool available) {
        QAction* a = PopupMenu->addAction(text);
        a->setObjectName(name);
        a->setEnabled(available);
        return a;
    };
    mnuNewCtrl = add("mnuNewCtrl", "&New Control File", false);
    mnuOpenCtrl = add("mnuOpenCtrl", "&Open Control File", false);
    mnuSaveCtrl = add("mnuSaveCtrl", "&Save Control File", false);
    mnuSaveAsCtrl = add("mnuSaveAsCtrl", "Save Control File &As", false);
    PopupMenu->addSeparator();
    mnuConnect = add("mnuConnect", "&Connect To DSO", true);
    mnuDisconnect = add("mnuDisconnect", "D&isconnect", true);
    PopupMenu->addSeparator();
    mnuUpload = add("mnuUpload", "&Upload", false);
    mnuDownLoad = add("mnuDownLoad", "&Download", false);
    PopupMenu->addSeparator();
    mnuExpand = add("mnuExpand", "&Expand All", false);
    connect(mnuConnect, &QAction::triggered, this, [] { ConnectDSO(); });
    connect(mnuDisconnect, &QAction::triggered, this, [] { DisconnectDSO(); });
    connect(CtrlTreeView, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { PopupMenu->popup(CtrlTreeView->viewport()->mapToGlobal(p)); });

    auto button = [this](const char* name, const char* text, const char* tip) {
        auto* b = new QToolButton(this);
        b->setObjectName(name);
        b->setText(text);
        b->setToolTip(tip);
        b->setAutoRaise(true);
        b->setEnabled(false);
        return b;
    };
    cmdUpload = button("cmdUpload", "     Upload", "Upload To Scope");
    cmdDownload = button("cmdDownload", "     Download", "Download To Software");

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdUpload);
    buttons->addWidget(cmdDownload);
    buttons->addStretch();
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(2, 2, 2, 2);
    lay->addLayout(buttons);
    lay->addWidget(CtrlTreeView, 1);

    // Upload and download of all settings.
    InstallSettingsTransferJobs();
    for (QToolButton* b : {cmdUpload, cmdDownload}) b->setEnabled(true);
    for (QAction* a : {mnuUpload, mnuDownLoad}) a->setEnabled(true);
    connect(cmdUpload, &QToolButton::clicked, this, [] { UploadAllSettings(); });
    connect(mnuUpload, &QAction::triggered, this, [] { UploadAllSettings(); });
    connect(cmdDownload, &QToolButton::clicked, this, [] { DownloadAllSettings(); });
    connect(mnuDownLoad, &QAction::triggered, this, [] { DownloadAllSettings(); });

    Form_Load();
}

void frmCtrlList::Form_Load() {
    if (!CtrlState().CtrlInitDone) {
        mnuNewCtrl_Click();
        CtrlState().CtrlModified = false;
        CtrlState().CtrlInitDone = true;
    }
}

void frmCtrlList::mnuNewCtrl_Click() {
    SetDefaultCtrlSettings();
    CtrlState().CtrlFileName.clear();
    CtrlTreeView->clear();
    CtrlState().CtrlModified = false;
}

frmCtrlList* CtrlListForm() {
    static QPointer<frmCtrlList> form;
    if (!form) form = new frmCtrlList;
    return form;
}
