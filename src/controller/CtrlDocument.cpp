#include "controller/CtrlDocument.h"

#include <QTreeWidget>

#include "common/RecentFiles.h"
#include "common/ShellState.h"
#include "controller/CtrlFile.h"
#include "controller/CtrlList.h"
#include "controller/CtrlState.h"
#include "controller/CtrlTree.h"
#include "link/Messages.h"
#include "link/TransferJobs.h"
#include "link/Vocabulary.h"
#include "platform/dialogs/FileDialog.h"
#include "platform/dialogs/MsgBox.h"

namespace {

// Dialog texts: Chinese, English; any other language gives "".
QString ByLanguage(const char* zh, const char* en) {
    const int lang = Shell().UILanguage;
    if (lang == 0) return QString::fromUtf8(zh);
    if (lang == 1) return QString::fromUtf8(en);
    return QString();
}

QString FilterDescription() { return ByLanguage("控制器文件 ", "Control Files "); }

// New and Open replace the mirror, which a running upload or download reads
// and writes between its steps.
bool RefusedDuringTransfer() {
    if (!Transfer().TransferBusy) return false;
    MsgBox(ByLanguage("数据传输中，请在传输结束后再试。",
                      "A transfer is running. Please try again when it has ended."),
           vbExclamation);
    return true;
}

// The document now is the file at `path`, unmodified and first of the recent files.
void Bind(const QString& path) {
    CtrlState().CtrlFileName = path;
    CtrlState().CtrlModified = false;
    AddRecentCtrlFile(path);
}

bool WriteAndBind(const QString& path) {
    if (!WriteCtrlFile(path)) return false;
    Bind(path);
    return true;
}

bool ReadAndBind(const QString& path) {
    if (!ReadCtrlFile(path)) return false;
    Bind(path);
    ShowNewCtrlTree();
    return true;
}

}  // namespace

bool AskSaveCtrlChanges() {
    CtrlStateData& st = CtrlState();
    if (!st.CtrlModified) return true;
    const int answer = MsgBox(MessageTable().MsgSaveCtrlChanges + st.CtrlFileName, vbYesNoCancel);
    if (answer == vbCancel) return false;
    if (answer == vbYes) return SaveCtrl();
    return true;
}

void ShowNewCtrlTree() {
    BuildCtrlTree();
    if (QTreeWidgetItem* running = CtrlNode(CtrlGroup::RunningControl, 0)) running->setExpanded(true);
    if (QTreeWidgetItem* root = CtrlRootNode()) {
        root->treeWidget()->setCurrentItem(root);
        CtrlState().SelectedNodePath = CtrlNodePath(root);
    }
}

void NewCtrl() {
    if (RefusedDuringTransfer() || !AskSaveCtrlChanges()) return;
    CtrlState().CtrlFileName.clear();
    SetDefaultCtrlSettings();
    CtrlState().CtrlFileLevelsNotKnown.clear();
    ShowNewCtrlTree();
    CtrlState().CtrlModified = false;
}

void OpenCtrlDialog() {
    if (RefusedDuringTransfer() || !AskSaveCtrlChanges()) return;
    const QString path = GetOpenFileName(ByLanguage("打开", "Open"),
                                         FilterDescription() + "(*.rmt)|*.rmt", LoadedCtrlListForm());
    if (!path.isEmpty()) ReadAndBind(path);
}

bool OpenCtrl(const QString& path) {
    if (RefusedDuringTransfer() || !AskSaveCtrlChanges()) return false;
    return ReadAndBind(path);
}

bool SaveCtrl() {
    QString path = CtrlState().CtrlFileName;
    if (path.isEmpty()) {
        path = GetSaveFileName(ByLanguage("保存", "Save"), FilterDescription() + "(*.rmt)|*.rmt",
                               LoadedCtrlListForm());
        if (path.isEmpty()) return false;
    }
    return WriteAndBind(path);
}

bool SaveCtrlAs() {
    const QString path = GetSaveFileName(
        ByLanguage("另存为", "Save As"),
        FilterDescription() + "(*.rmt)|*.rmt|Text Files (*.txt)|*.txt|All Files (*.*)|*.*",
        LoadedCtrlListForm());
    if (path.isEmpty()) return false;
    return WriteAndBind(path);
}
