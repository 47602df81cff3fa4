#include "sheets/DataSheetTree.h"

#include <QAbstractItemDelegate>
#include <QAction>
#include <QHeaderView>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

#include "common/RecentFiles.h"
#include "common/ShellState.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/Vocabulary.h"
#include "platform/dialogs/FileDialog.h"
#include "platform/dialogs/MsgBox.h"
#include "sheets/SheetDocument.h"
#include "sheets/SheetFile.h"
#include "sheets/SheetTreeBinder.h"
#include "sheets/FileFunc.h"
#include "sheets/ViewHost.h"
#include "sheets/ViewRefresh.h"
#include "sheets/ViewWindow.h"
#include "sheets/ViewWindows.h"
#include "sheets/frmData.h"

namespace {
constexpr int SortedRole = TreeImageRole + 1;  // the sheet node: its children are kept sorted

// The vocabulary's texts; before any language was applied, those of the UI language.
QString rootName() {
    if (!Vocabulary().SheetRootName.isEmpty()) return Vocabulary().SheetRootName;
    return Shell().UILanguage == LangChinese ? QString::fromUtf8("数据浏览器") : "Data Sheet";
}
QString defaultSheetName() {
    if (!Vocabulary().DefaultSheetName.isEmpty()) return Vocabulary().DefaultSheetName;
    return Shell().UILanguage == LangChinese ? QString::fromUtf8("未标题") : "Untitle";
}

// Texts of this window's own refusals, by UI language.
QString busyText() {
    return Shell().UILanguage == LangChinese
               ? QString::fromUtf8("正在从示波器读取数据，请等待读取结束！")
               : QStringLiteral("Data is being read from the oscilloscope. Please wait until it has finished!");
}
QString badNameText() {
    return Shell().UILanguage == LangChinese
               ? QString::fromUtf8("名称不能包含引号（\"）或控制字符！")
               : QStringLiteral("A name can't contain a quotation mark (\") or a control character!");
}

QIcon nodeImage(int image) { return SheetNodeImage(image); }

constexpr ViewKind ScanOrder[] = {ViewData, ViewWave, ViewMeasure, ViewRecord, ViewMemoryWave};

void clearViewNodes() {
    for (int k = 0; k < ViewKindCount; ++k)
        for (int slot = 0; slot < SlotCount(ViewKind(k)); ++slot) SetViewNode(ViewKind(k), slot, nullptr);
}

// Shows a view window through the host (inside the main window).
void showViewWindow(QWidget* w, bool toFront) {
    ShowViewForm(w);
    if (!toFront) return;
    QWidget* frame = qobject_cast<QMdiSubWindow*>(w->parentWidget()) ? w->parentWidget() : w;
    frame->raise();
    frame->activateWindow();
}

void setCaptions(ViewKind kind, int slot) {
    if (ViewHost().SetCaptions) ViewHost().SetCaptions(kind, slot, Shell().UILanguage);
}


// The dialog texts of the sheet file commands.
QString sheetFilter() {
    const int lang = Shell().UILanguage;
    const QString d = lang == LangChinese ? QString::fromUtf8("数据浏览器文件 ")
                      : lang == LangEnglish ? QStringLiteral("Data Sheet Files ")
                                            : QString();
    return d + QStringLiteral("(*.vls)|*.vls");
}
QString dialogTitle(const char* zh, const char* en) {
    const int lang = Shell().UILanguage;
    return lang == LangChinese ? QString::fromUtf8(zh) : lang == LangEnglish ? QString::fromLatin1(en) : QString();
}
}  // namespace

frmDataSheetTree::frmDataSheetTree(QWidget* parent) : QWidget(parent) {
    setObjectName("frmDataSheetTree");
    setWindowTitle("Data Browser");
    RegisterDataViewWindow();

    DataSheetTree = new QTreeWidget(this);
    DataSheetTree->setObjectName("DataSheetTree");
    DataSheetTree->setHeaderHidden(true);
    // A label wider than the pane scrolls sideways instead of being cut short.
    DataSheetTree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    DataSheetTree->header()->setStretchLastSection(false);
    DataSheetTree->setContextMenuPolicy(Qt::CustomContextMenu);
    DataSheetTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DataSheetTree->setSelectionMode(QAbstractItemView::SingleSelection);
    DataSheetTree->setExpandsOnDoubleClick(false);

    PopupMenu = new QMenu(this);
    PopupMenu->setObjectName("pop_mnu1");
    auto add = [this](QMenu* m, const char* name, const char* text, void (frmDataSheetTree::*slot)()) {
        QAction* a = m->addAction(text);
        a->setObjectName(name);
        if (slot) connect(a, &QAction::triggered, this, slot);
        return a;
    };
    auto bar = [this](const char* name) {
        QAction* a = PopupMenu->addSeparator();
        a->setObjectName(name);
        return a;
    };
    mnuNewDataSheet = add(PopupMenu, "mnuNewDataSheet", "&New Data Sheet", &frmDataSheetTree::mnuNewDataSheet_Click);
    mnuOpenDataSheet =
        add(PopupMenu, "mnuOpenDataSheet", "&Open Data Sheet", &frmDataSheetTree::mnuOpenDataSheet_Click);
    mnuPopBar0 = bar("mnuPopBar0");
    mnuSaveDataSheet =
        add(PopupMenu, "mnuSaveDataSheet", "&Save Data Sheet", &frmDataSheetTree::mnuSaveDataSheet_Click);
    mnuSaveDataSheetAs =
        add(PopupMenu, "mnuSaveDataSheetAs", "Sa&ve Data Sheet As", &frmDataSheetTree::mnuSaveDataSheetAs_Click);
    mnuPopBar1 = bar("mnuPopBar1");
    mnuAddNew = PopupMenu->addMenu("&Add New");
    mnuAddNew->setObjectName("mnuAddNew");
    mnuAddNewWaveform = add(mnuAddNew, "mnuAddNewWaveform", "&Waveform", nullptr);
    mnuAddNewMeasure = add(mnuAddNew, "mnuAddNewMeasure", "&Measure", nullptr);
    mnuAddNewData = add(mnuAddNew, "mnuAddNewData", "&Data", nullptr);
    mnuAddNewPlayBack = add(mnuAddNew, "mnuAddNewPlayBack", "&Record", nullptr);
    mnuAddNewMemoryWave = add(mnuAddNew, "mnuAddNewMemoryWave", "M&emory waveform", nullptr);
    connect(mnuAddNewWaveform, &QAction::triggered, this, [] { AddNewWaveform(); });
    connect(mnuAddNewMeasure, &QAction::triggered, this, [] { AddNewMeasure(); });
    connect(mnuAddNewData, &QAction::triggered, this, [] { AddNewData(); });
    connect(mnuAddNewPlayBack, &QAction::triggered, this, [] { AddNewRecord(); });
    connect(mnuAddNewMemoryWave, &QAction::triggered, this, [] { AddNewMemoryWave(); });
    mnuRename = add(PopupMenu, "mnuRename", "Re&name()", &frmDataSheetTree::mnuRename_Click);
    mnuPopBar3 = bar("mnuPopBar3");
    mnuRemove = add(PopupMenu, "mnuRemove", "&Remove()", &frmDataSheetTree::mnuRemove_Click);
    mnuPopBar4 = bar("mnuPopBar4");
    mnuSorted = add(PopupMenu, "mnuSorted", "So&rted", &frmDataSheetTree::mnuSorted_Click);
    mnuSorted->setCheckable(true);

    connect(DataSheetTree, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
        PreparePopup();
        PopupMenu->popup(DataSheetTree->viewport()->mapToGlobal(p));
    });
    connect(DataSheetTree, &QTreeWidget::itemDoubleClicked, this, [this] { SetActiveForm(); });
    connect(DataSheetTree, &QTreeWidget::itemChanged, this, &frmDataSheetTree::afterLabelEdit);
    // An edit that ends without a change (Esc, the same text) leaves no label
    // edit pending: a later change of the node's text from code is no rename.
    connect(DataSheetTree->itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
            [this] { labelEditItem_ = nullptr; });
    connect(&SheetDoc(), &SheetDocument::viewAdded, this, [this] { dressNodes(); });

    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(1, 7, 0, 0);
    lay->addWidget(DataSheetTree);

    Form_Load();
}

QTreeWidgetItem* frmDataSheetTree::addSheetNode() {
    SheetTreeRefs& tree = SheetTree();
    auto* node = new QTreeWidgetItem(tree.SheetRootNode, QStringList{Sheets().SheetName});
    node->setIcon(0, nodeImage(2));
    node->setFlags(node->flags() | Qt::ItemIsEditable);
    node->setData(0, SortedRole, false);
    tree.SheetNode = node;
    return node;
}

void frmDataSheetTree::dropSheetNode() {
    SheetTreeRefs& tree = SheetTree();
    if (SheetNodeInTree()) delete tree.SheetNode;
    tree.SheetNode = nullptr;
    clearViewNodes();
}

void frmDataSheetTree::Form_Load() {
    SheetModelData& s = Sheets();
    SheetTreeRefs& tree = SheetTree();
    tree.SheetTreeView = DataSheetTree;
    const QSignalBlocker quiet(DataSheetTree);
    DataSheetTree->clear();
    tree.SheetRootNode = new QTreeWidgetItem(DataSheetTree, QStringList{rootName()});
    tree.SheetRootNode->setIcon(0, nodeImage(1));
    tree.SheetRootNode->setFlags(tree.SheetRootNode->flags() | Qt::ItemIsEditable);
    tree.SheetNode = nullptr;
    if (!s.SheetInitDone) {
        s.SheetInitDone = true;
        addSheetNode();
        mnuNewDataSheet_Click();
        return;
    }
    // A later load: the tree again from the records.
    QTreeWidgetItem* sheet = addSheetNode();
    for (int k = 0; k < ViewKindCount; ++k) {
        const ViewKind kind = ViewKind(k);
        const int count = std::min<int>(ViewCount(kind), SlotCount(kind));
        for (int slot = 0; slot < count; ++slot) {
            auto* node = new QTreeWidgetItem(sheet, QStringList{NameField(kind, slot)});
            node->setIcon(0, nodeImage(k + 3));
            node->setFlags(node->flags() | Qt::ItemIsEditable);
            SetViewNode(kind, slot, node);
        }
    }
    tree.SheetRootNode->setExpanded(true);
    sheet->setExpanded(true);
    IsDataSheetOpen();
}

// ---------------------------------------------------------------------------
// Selection.

bool frmDataSheetTree::SelectedView(ViewKind& kind, int& slot) const {
    QTreeWidgetItem* sel = DataSheetTree->currentItem();
    if (!sel || !sel->isSelected()) return false;
    for (ViewKind k : ScanOrder) {
        const int count = std::min<int>(ViewCount(k), SlotCount(k));
        for (int i = 0; i < count; ++i)
            if (ViewNode(k, i) == sel) {
                kind = k;
                slot = i;
                return true;
            }
    }
    return false;
}

bool frmDataSheetTree::SheetSorted() const {
    return SheetNodeInTree() && SheetTree().SheetNode->data(0, SortedRole).toBool();
}

void frmDataSheetTree::dressNodes() {
    const QSignalBlocker quiet(DataSheetTree);
    for (int k = 0; k < ViewKindCount; ++k) {
        const ViewKind kind = ViewKind(k);
        const int count = std::min<int>(ViewCount(kind), SlotCount(kind));
        for (int slot = 0; slot < count; ++slot)
            if (QTreeWidgetItem* node = ViewNode(kind, slot)) {
                if (node->icon(0).isNull()) node->setIcon(0, nodeImage(k + 3));
                node->setFlags(node->flags() | Qt::ItemIsEditable);
            }
    }
    if (SheetNodeInTree()) {
        QTreeWidgetItem* sheet = SheetTree().SheetNode;
        if (sheet->icon(0).isNull()) sheet->setIcon(0, nodeImage(2));
        sheet->setFlags(sheet->flags() | Qt::ItemIsEditable);
    }
    keepSorted();
}

void frmDataSheetTree::keepSorted() {
    if (!SheetSorted()) return;
    // Alphabetical: letter case does not count ("alpha" before "Beta"); the
    // nodes themselves stay, so the views keep their nodes and the selection.
    QTreeWidgetItem* sheet = SheetTree().SheetNode;
    QList<QTreeWidgetItem*> nodes;
    for (int i = 0; i < sheet->childCount(); ++i) nodes << sheet->child(i);
    QList<QTreeWidgetItem*> sorted = nodes;
    std::stable_sort(sorted.begin(), sorted.end(), [](QTreeWidgetItem* a, QTreeWidgetItem* b) {
        const int c = QString::compare(a->text(0), b->text(0), Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a->text(0) < b->text(0);
    });
    if (sorted == nodes) return;
    const QSignalBlocker quiet(DataSheetTree);
    QTreeWidgetItem* current = DataSheetTree->currentItem();
    const bool selected = current && current->isSelected();
    sheet->takeChildren();
    sheet->addChildren(sorted);
    if (current) {
        DataSheetTree->setCurrentItem(current);
        current->setSelected(selected);
    }
}

// ---------------------------------------------------------------------------
// Activation and rename.

void frmDataSheetTree::SetActiveForm() {
    ViewKind kind;
    int slot;
    if (!SelectedView(kind, slot)) return;
    QWidget* w = ViewForm(kind, slot);
    if (!w) return;
    setCaptions(kind, slot);
    auto* view = qobject_cast<ViewWindow*>(w);
    if (view && kind == ViewData) view->LayOutChannels(false);
    const QString title = ViewTitle(kind, slot);
    const bool same = w->windowTitle() == title && w->isVisible();
    if (!same) w->setWindowTitle(title);
    SetFormTag(w, slot);
    if (view && kind == ViewWave) {
        view->LayOutChannels(Link().LAPresent);
        view->ColourProgress(Sheets().WaveViews[size_t(slot)].ColorDisplay);
    }
    showViewWindow(w, same);
}

void frmDataSheetTree::mnuRename_Click() {
    QTreeWidgetItem* sel = DataSheetTree->currentItem();
    if (!sel) return;
    labelEditItem_ = sel;
    labelEditOldText_ = sel->text(0);
    DataSheetTree->editItem(sel, 0);
}

void frmDataSheetTree::afterLabelEdit(QTreeWidgetItem* item) {
    if (!item || item != labelEditItem_) return;
    labelEditItem_ = nullptr;
    QString text = item->text(0);
    if (item != SheetTree().SheetRootNode && !IsStorableName(text)) {
        // A quotation mark or a control character would corrupt the sheet file.
        const QSignalBlocker quiet(DataSheetTree);
        item->setText(0, labelEditOldText_);
        MsgBox(badNameText(), vbExclamation);
        return;
    }
    ChangeFormName(text);
    if (text != item->text(0)) {
        const QSignalBlocker quiet(DataSheetTree);
        item->setText(0, text);
    }
    keepSorted();
}

void frmDataSheetTree::ChangeFormName(QString& newName) {
    QTreeWidgetItem* sel = DataSheetTree->currentItem();
    SheetTreeRefs& tree = SheetTree();
    if (sel && sel == tree.SheetRootNode) {
        const QSignalBlocker quiet(DataSheetTree);
        sel->setText(0, rootName());
        newName = sel->text(0);
        MsgBox(MessageTable().MsgRootNameFixed, vbExclamation);
        return;
    }
    if (sel && sel == tree.SheetNode) {
        Sheets().SheetName = newName;
        SheetDoc().SetModified(true);
        return;
    }
    ViewKind kind;
    int slot;
    if (!SelectedView(kind, slot)) return;
    QWidget* w = ViewForm(kind, slot);
    setCaptions(kind, slot);
    NameField(kind, slot) = newName;
    if (w) {
        w->setWindowTitle(ViewTitle(kind, slot));
        SetFormTag(w, slot);
        showViewWindow(w, true);
    }
    SheetDoc().NotifyViewChanged(kind, slot);
    SheetDoc().SetModified(true);
}

// ---------------------------------------------------------------------------
// Popup.

void frmDataSheetTree::PreparePopup() {
    const bool open = SheetNodeInTree();
    for (QAction* a : {mnuSaveDataSheet, mnuSaveDataSheetAs, mnuAddNew->menuAction(), mnuSorted})
        a->setEnabled(open);
    mnuNewDataSheet->setEnabled(true);
    mnuOpenDataSheet->setEnabled(true);
    QString name;
    bool named = false;
    if (open) {
        QTreeWidgetItem* sel = DataSheetTree->currentItem();
        if (sel && sel->isSelected() && sel == SheetTree().SheetNode) {
            name = Sheets().SheetName;
            named = true;
        }
        ViewKind kind;
        int slot;
        if (SelectedView(kind, slot)) {
            name = NameField(kind, slot);
            named = true;
        }
    }
    for (QAction* a : {mnuRemove, mnuRename, mnuPopBar3, mnuPopBar4}) a->setVisible(named);
    if (named) {
        const int lang = Shell().UILanguage;
        if (lang == LangChinese) {
            mnuRemove->setText(QString::fromUtf8("移除(") + name + ")");
            mnuRename->setText(QString::fromUtf8("重命名(") + name + ")");
        } else if (lang == LangEnglish) {
            mnuRemove->setText("&Remove(" + name + ")");
            mnuRename->setText("Re&name(" + name + ")");
        }
    }
    mnuSorted->setChecked(SheetSorted());
}

// ---------------------------------------------------------------------------
// Commands.

bool frmDataSheetTree::refusedDuringFetch() const {
    if (!ViewFetchRunning()) return false;
    MsgBox(busyText(), vbExclamation);
    return true;
}

bool frmDataSheetTree::SaveQuestion() {
    // A closed sheet has nothing left to save.
    if (!Sheets().SheetModified || !SheetNodeInTree()) return true;
    const int answer = MsgBox(MessageTable().MsgSaveSheetChanges + Sheets().SheetFileName, vbYesNoCancel);
    if (answer == vbCancel) return false;
    if (answer == vbYes) {
        mnuSaveDataSheet_Click();
        // A save that did not happen (dialog cancelled, write failed) ends
        // the command as Cancel would: the unsaved views are not dropped.
        if (Sheets().SheetModified) return false;
    }
    return true;
}

QString frmDataSheetTree::chooseSheetFile(bool save, const QString& title) {
    FileDialogRequest r;
    r.kind = save ? FileDialogKind::Save : FileDialogKind::Open;
    r.title = title;
    r.filter = sheetFilter();
    return ShowFileDialog(r, this);
}

void frmDataSheetTree::mnuNewDataSheet_Click() {
    if (refusedDuringFetch() || !SaveQuestion()) return;
    UnloadAllViews();
    SheetModelData& s = Sheets();
    s.SheetName = defaultSheetName();
    s.SheetFileName.clear();
    s.WaveCount = s.MeasureCount = s.DataCount = 0;
    dropSheetNode();
    QTreeWidgetItem* sheet = addSheetNode();
    SheetTree().SheetRootNode->setExpanded(true);
    sheet->setExpanded(true);
    IsDataSheetOpen();
}

void frmDataSheetTree::OpenDataSheet(const QString& path) {
    if (refusedDuringFetch() || !SaveQuestion()) return;
    openFile(path);
}

void frmDataSheetTree::openFile(const QString& path) {
    // The file is read whole, once, before the open sheet is touched: a file
    // that can't be read is reported and leaves the sheet, its views and its
    // file name as they are.
    std::unique_ptr<SheetModelData> read = ParseDataSheetFile(path);
    if (!read) return;
    UnloadAllViews();
    CommitDataSheet(std::move(*read));
    read.reset();
    Sheets().SheetFileName = path;
    AddRecentSheetFile(path);
    RebuildSheetViews();
    dressNodes();
    SheetDoc().SetModified(false);
    SheetTree().SheetRootNode->setExpanded(true);
    if (SheetNodeInTree()) SheetTree().SheetNode->setExpanded(true);
    IsDataSheetOpen();
}

void frmDataSheetTree::mnuOpenDataSheet_Click() {
    if (refusedDuringFetch() || !SaveQuestion()) return;
    const QString path = chooseSheetFile(false, dialogTitle("打开", "Open"));
    if (path.isEmpty()) return;
    openFile(path);
}

void frmDataSheetTree::saveTo(const QString& path) {
    if (!WriteDataSheet(path)) return;  // reported; the sheet stays modified and bound as it was
    Sheets().SheetFileName = path;
    SheetDoc().SetModified(false);
    AddRecentSheetFile(path);
}

void frmDataSheetTree::mnuSaveDataSheet_Click() {
    if (!SheetNodeInTree()) {
        // No sheet is open: nothing is written (least of all an empty sheet
        // over the closed sheet's file), and nothing is left unsaved.
        SheetDoc().SetModified(false);
        return;
    }
    QString path = Sheets().SheetFileName;
    if (path.isEmpty()) path = chooseSheetFile(true, dialogTitle("保存", "Save"));
    if (path.isEmpty()) return;
    saveTo(path);
}

void frmDataSheetTree::mnuSaveDataSheetAs_Click() {
    if (!SheetNodeInTree()) return;
    const QString path = chooseSheetFile(true, dialogTitle("另存为", "Save As"));
    if (path.isEmpty()) return;
    saveTo(path);
}

void frmDataSheetTree::mnuRemove_Click() {
    QTreeWidgetItem* sel = DataSheetTree->currentItem();
    if (sel && sel->isSelected() && sel == SheetTree().SheetNode && SheetNodeInTree()) {
        if (refusedDuringFetch() || !SaveQuestion()) return;
        dropSheetNode();
        UnloadAllViews();
        IsDataSheetOpen();
        return;
    }
    ViewKind kind;
    int slot;
    if (!SelectedView(kind, slot)) {
        IsDataSheetOpen();
        return;
    }
    if (refusedDuringFetch()) return;
    switch (kind) {
    case ViewData: RemoveDataView(slot); break;
    case ViewWave: RemoveWaveView(slot); break;
    case ViewMeasure: RemoveMeasureView(slot); break;
    case ViewRecord: RemoveRecordView(slot); break;
    case ViewMemoryWave: RemoveMemoryWaveView(slot); break;
    }
}

void frmDataSheetTree::mnuSorted_Click() {
    mnuSorted->setChecked(!SheetSorted());
    if (!SheetNodeInTree()) return;
    SheetTree().SheetNode->setData(0, SortedRole, mnuSorted->isChecked());
    keepSorted();
}

frmDataSheetTree* DataBrowserForm() {
    static QPointer<frmDataSheetTree> form;
    if (!form) form = new frmDataSheetTree;
    return form;
}
