#include "sheets/DataSheetTree.h"

#include <QAction>
#include <QMenu>
#include <QPointer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "common/SheetModel.h"
#include "common/ShellState.h"
#include "sheets/SheetDocument.h"
#include "sheets/SheetTreeBinder.h"
#include "link/Vocabulary.h"

namespace {
// The vocabulary's texts; before any language was applied, those of the UI language.
QString rootName() {
    if (!Vocabulary().SheetRootName.isEmpty()) return Vocabulary().SheetRootName;
    return Shell().UILanguage == LangChinese ? QString::fromUtf8("数据浏览器") : "Data Sheet";
}
QString defaultSheetName() {
    if (!Vocabulary().DefaultSheetName.isEmpty()) return Vocabulary().DefaultSheetName;
    return Shell().UILanguage == LangChinese ? QString::fromUtf8("未标题") : "Untitle";
}
}  // namespace

frmDataSheetTree::frmDataSheetTree(QWidget* parent) : QWidget(parent) {
    setObjectName("frmDataSheetTree");
    setWindowTitle("Data Sheet");

    DataSheetTree = new QTreeWidget(this);
    DataSheetTree->setObjectName("DataSheetTree");
    DataSheetTree->setHeaderHidden(true);
    DataSheetTree->setContextMenuPolicy(Qt::CustomContextMenu);

    PopupMenu = new QMenu(this);
    PopupMenu->setObjectName("mnuPopup");
    auto add = [](QMenu* m, const char* name, const char* text) {
        QAction* a = m->addAction(text);
        a->setObjectName(name);
        a->setEnabled(false);
        return a;
    };
    mnuNewDataSheet = add(PopupMenu, "mnuNewDataSheet", "&New Data Sheet");
    mnuOpenDataSheet = add(PopupMenu, "mnuOpenDataSheet", "&Open Data Sheet");
    mnuSaveDataSheet = add(PopupMenu, "mnuSaveDataSheet", "&Save Data Sheet");
    mnuSaveDataSheetAs = add(PopupMenu, "mnuSaveDataSheetAs", "Sa&ve Data Sheet As");
    PopupMenu->addSeparator();
    mnuAddNew = PopupMenu->addMenu("&Add New");
    mnuAddNew->setObjectName("mnuAddNew");
    mnuAddNewWaveform = add(mnuAddNew, "mnuAddNewWaveform", "&Waveform");
    mnuAddNewMeasure = add(mnuAddNew, "mnuAddNewMeasure", "&Measure");
    mnuAddNewData = add(mnuAddNew, "mnuAddNewData", "&Data");
    mnuAddNewPlayBack = add(mnuAddNew, "mnuAddNewPlayBack", "&Record");
    mnuAddNewMemoryWave = add(mnuAddNew, "mnuAddNewMemoryWave", "M&emory waveform");
    mnuSorted = add(PopupMenu, "mnuSorted", "So&rted");
    PopupMenu->addSeparator();
    mnuRename = add(PopupMenu, "mnuRename", "Rename");
    mnuRemove = add(PopupMenu, "mnuRemove", "Remove");
    connect(DataSheetTree, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { PopupMenu->popup(DataSheetTree->viewport()->mapToGlobal(p)); });

    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(2, 2, 2, 2);
    lay->addWidget(DataSheetTree);

    Form_Load();
}

void frmDataSheetTree::Form_Load() {
    SheetModelData& s = Sheets();
    SheetTreeRefs& tree = SheetTree();
    tree.SheetTreeView = DataSheetTree;
    if (!s.SheetInitDone) {
        DataSheetTree->clear();
        tree.SheetRootNode = new QTreeWidgetItem(DataSheetTree, QStringList{rootName()});
        tree.SheetNode = nullptr;
        mnuNewDataSheet_Click();
        s.SheetInitDone = true;
    }
}

void frmDataSheetTree::mnuNewDataSheet_Click() {
    SheetModelData& s = Sheets();
    SheetTreeRefs& tree = SheetTree();
    s.SheetName = defaultSheetName();
    s.SheetFileName.clear();
    if (tree.SheetRootNode) {
        delete tree.SheetNode;
        tree.SheetNode = new QTreeWidgetItem(tree.SheetRootNode, QStringList{s.SheetName});
        tree.SheetRootNode->setExpanded(true);
    }
    IsDataSheetOpen();
}

frmDataSheetTree* DataBrowserForm() {
    static QPointer<frmDataSheetTree> form;
    if (!form) form = new frmDataSheetTree;
    return form;
}
