#include "sheets/FileFunc.h"

#include <QMdiSubWindow>
#include <QTreeWidget>
#include <QWidget>

#include "common/DSOSettings.h"
#include "common/HookCheck.h"
#include "common/ShellState.h"
#include "link/Formatters.h"
#include "link/LinkState.h"
#include "link/MeasureCatalog.h"
#include "link/Messages.h"
#include "link/Vocabulary.h"
#include "platform/dialogs/MsgBox.h"
#include "sheets/SheetDocument.h"
#include "sheets/SheetFile.h"
#include "sheets/SheetTreeBinder.h"
#include "sheets/ViewHost.h"
#include "sheets/ViewRecords.h"
#include "sheets/ViewWindow.h"
#include "sheets/ViewWindows.h"

namespace {

// The steps of one add or rebuild: a step that fails is passed over, the
// last failure is kept for the report at the end.
struct Steps {
    QString lastFailure;
    void fail(const QString& description) { lastFailure = description; }
    bool failed() const { return !lastFailure.isEmpty(); }
    // Shows the last failure, if any (OK only, no icon, no title).
    void report() {
        if (!lastFailure.isEmpty()) MsgBox(lastFailure, vbOKOnly);
        lastFailure.clear();
    }
};

void ShowingRow(bool inRow) {
    if (ViewHost().ShowingRow) ViewHost().ShowingRow(inRow);
}

QString MissingWindow() { return QStringLiteral("The view's window could not be created."); }

// The window as a view window, for the typed steps; a failure when it is none.
ViewWindow* AsViewWindow(Steps& st, QWidget* form) {
    if (!form) {
        st.fail(MissingWindow());
        return nullptr;
    }
    auto* view = qobject_cast<ViewWindow*>(form);
    if (!view) st.fail(QStringLiteral("The window %1 cannot take a new view.").arg(form->objectName()));
    return view;
}

// The window takes a new view's look (its own controls, its own rules).
void PrepareStep(Steps& st, QWidget* form, int slot) {
    if (ViewWindow* view = AsViewWindow(st, form)) view->PrepareNewView(slot);
}

// The channel choice laid out for an instrument with or without the LA.
void ChannelsStep(Steps& st, QWidget* form, bool laPresent) {
    if (ViewWindow* view = AsViewWindow(st, form)) view->LayOutChannels(laPresent);
}

// window: the slot's window, made (and loaded) when it holds none; tag := slot.
QWidget* WindowStep(Steps& st, ViewKind kind, int slot) {
    QWidget* form = ViewForm(kind, slot);
    if (!form) {
        st.fail(MissingWindow());
        return nullptr;
    }
    SetFormTag(form, slot);
    return form;
}

void TagStep(Steps& st, QWidget* form, int slot) {
    if (form) SetFormTag(form, slot);
    else st.fail(MissingWindow());
}

void CaptionStep(Steps& st, QWidget* form, const QString& caption) {
    if (form) form->setWindowTitle(caption);
    else st.fail(MissingWindow());
}

void CaptionsSetterStep(Steps& st, ViewKind kind, int slot) {
    const auto& setter = ViewHost().SetCaptions;
    if (!RequireHook(setter, "view caption setters")) {
        st.fail(QStringLiteral("The captions of the view's window cannot be set."));
        return;
    }
    setter(kind, slot, Shell().UILanguage);
}

void ShowStep(Steps& st, QWidget* form) {
    if (form) ShowViewForm(form);
    else st.fail(MissingWindow());
}

int TreeImage(ViewKind kind) { return int(kind) + 3; }

void NodeStep(Steps& st, ViewKind kind, int slot, const QString& name) {
    QTreeWidgetItem* sheetNode = SheetTree().SheetNode;
    if (!sheetNode || !SheetNodeInTree()) {
        st.fail(QStringLiteral("The data sheet has no node in the data browser."));
        return;
    }
    auto* node = new QTreeWidgetItem(sheetNode, QStringList{name});
    node->setData(0, TreeImageRole, TreeImage(kind));
    sheetNode->setExpanded(true);
    SetViewNode(kind, slot, node);
}

// Nothing of the views of another sheet, or of a removed view, may show in a
// new one: the record starts from a new view's state.
void FreshRecord(ViewKind kind, int slot) { ResetViewRecord(kind, slot); }

// The common frame. Returns the new slot, or -1 when the add was refused.
int BeginAdd(ViewKind kind) {
    if (!IsDataSheetOpen()) {
        MsgBox(MessageTable().MsgOpenSheetFirst, vbExclamation);
        return -1;
    }
    const int count = ViewCount(kind);
    if (count + 1 > MaxViewCount(kind)) {
        MsgBox(MessageTable().MsgTooManyFiles, vbExclamation);
        return -1;
    }
    SheetDoc().SetModified(true);
    FreshRecord(kind, count);
    return count;
}

void EndAdd(Steps& st, ViewKind kind, int slot) {
    st.report();
    ++ViewCount(kind);
    SheetDoc().NotifyViewAdded(kind, slot);
}

// name: the kind word and the slot; not written for a language other than 0 or 1.
void NameStep(ViewKind kind, int slot) {
    const QString name = DefaultViewName(kind, slot, Shell().UILanguage);
    if (!name.isEmpty()) ViewName(kind, slot) = name;
}


// Closes a view window, with its frame when the main window holds it in one.
void CloseViewForm(QWidget* form) {
    if (!form) return;
    if (auto* frame = qobject_cast<QMdiSubWindow*>(form->parentWidget())) frame->close();
    else form->close();
}

// Unloads the window of a slot: closed, and the slot emptied at once so the
// next use of the slot makes a new window even before the old one is gone.
void UnloadViewForm(ViewKind kind, int slot) {
    if (QWidget* form = ExistingViewForm(kind, slot)) {
        CloseViewForm(form);
        form->deleteLater();
    }
    SetViewForm(kind, slot, nullptr);
}

}  // namespace

QString& NameField(ViewKind kind, int slot) {
    SheetModelData& s = Sheets();
    switch (kind) {
    case ViewWave: return s.WaveViews[size_t(slot)].Name;
    case ViewMeasure: return s.MeasureViews[size_t(slot)].Name;
    case ViewData: return s.DataViews[size_t(slot)].Name;
    case ViewRecord: return s.RecordViews[size_t(slot)].Name;
    case ViewMemoryWave: return s.MemWaveViews[size_t(slot)].Name;
    }
    return s.WaveViews[0].Name;  // unreachable for a valid kind
}

uint8_t& ScreenDCSlot() {
    static uint8_t slot = 0;
    return slot;
}

QString DefaultViewName(ViewKind kind, int slot, int lang) {
    static const char* const zh[] = {"波形", "测量", "数据", "录制文件", "波形文件"};
    static const char* const en[] = {"Wave", "Measure", "Data", "Record", "Memory Wave"};
    if (kind < 0 || kind >= ViewKindCount) return QString();
    if (lang == LangChinese) return QString::fromUtf8(zh[kind]) + QString::number(slot);
    if (lang == LangEnglish) return QString::fromLatin1(en[kind]) + QString::number(slot);
    return QString();
}

QString ViewTitle(ViewKind kind, int slot) {
    if (!SlotInRange(kind, slot)) return QString();
    const SheetModelData& s = Sheets();
    auto withPath = [](const QString& name, const QString& path) {
        return name + QStringLiteral("  (") + path + QLatin1Char(')');
    };
    if (kind == ViewRecord) {
        const RecordInfo& r = s.RecordViews[size_t(slot)];
        // A view that holds no record (none loaded yet, or reset by a sheet
        // that leaves it no frame) names no file.
        return r.Loaded && !r.FilePath.isEmpty() ? withPath(r.Name, r.FilePath) : r.Name;
    }
    if (kind == ViewMemoryWave) {
        const MemWaveInfo& m = s.MemWaveViews[size_t(slot)];
        return m.Loaded ? withPath(m.Name, m.FilePath) : m.Name;
    }
    return ViewName(kind, slot);
}

// ---------------------------------------------------------------------------
// Adding

void AddNewWaveform() {
    const int s = BeginAdd(ViewWave);
    if (s < 0) return;
    Steps st;
    WaveInfo& w = Sheets().WaveViews[size_t(s)];
    NameStep(ViewWave, s);
    w.BestFit = w.ColorDisplay = w.ShowGrid = true;
    QWidget* form = WindowStep(st, ViewWave, s);
    PrepareStep(st, form, s);
    w.SplitDisplay = false;
    w.HasData = false;
    CaptionStep(st, form, w.Name);
    CaptionsSetterStep(st, ViewWave, s);
    ShowStep(st, form);
    NodeStep(st, ViewWave, s, w.Name);
    EndAdd(st, ViewWave, s);
}

void AddNewMeasure() {
    const int s = BeginAdd(ViewMeasure);
    if (s < 0) return;
    Steps st;
    MeasureInfo& m = Sheets().MeasureViews[size_t(s)];
    QWidget* form = WindowStep(st, ViewMeasure, s);
    NameStep(ViewMeasure, s);
    CaptionStep(st, form, m.Name);
    CaptionsSetterStep(st, ViewMeasure, s);
    ShowStep(st, form);
    NodeStep(st, ViewMeasure, s, m.Name);
    m.HasData = false;
    for (int k = 0; k < MeasureItemCount; ++k) {
        m.Items[size_t(k)].Enable = false;
        m.Items[size_t(k)].Over = MeasureOfItem(k).over;
        m.Items[size_t(k)].Under = MeasureOfItem(k).under;
    }
    EndAdd(st, ViewMeasure, s);
}

void AddNewData() {
    const int s = BeginAdd(ViewData);
    if (s < 0) return;
    Steps st;
    DataInfo& d = Sheets().DataViews[size_t(s)];
    d.HasData = false;
    QWidget* form = WindowStep(st, ViewData, s);
    NameStep(ViewData, s);
    CaptionStep(st, form, d.Name);
    CaptionsSetterStep(st, ViewData, s);
    ShowStep(st, form);
    PrepareStep(st, form, s);
    NodeStep(st, ViewData, s, d.Name);
    EndAdd(st, ViewData, s);
}

void AddNewRecord() {
    const int s = BeginAdd(ViewRecord);
    if (s < 0) return;
    Steps st;
    RecordInfo& r = Sheets().RecordViews[size_t(s)];
    NameStep(ViewRecord, s);
    r.FrameInterval = 0.05;
    r.LoopReplay = true;
    r.Loaded = false;
    r.DisplayActive = false;
    r.BlackBackground = true;
    r.FilePath.clear();
    // The window gets its caption before its tag.
    QWidget* form = ViewForm(ViewRecord, s);
    if (!form) st.fail(MissingWindow());
    CaptionStep(st, form, r.Name);
    TagStep(st, form, s);
    const int lang = Shell().UILanguage;
    if (lang == LangChinese) r.StatusText = QString::fromUtf8("请打开波形录制文件。");
    else if (lang == LangEnglish) r.StatusText = QStringLiteral("Please open the waveform record file.");
    PrepareStep(st, form, s);
    CaptionsSetterStep(st, ViewRecord, s);
    ShowStep(st, form);
    NodeStep(st, ViewRecord, s, r.Name);
    EndAdd(st, ViewRecord, s);
}

void AddNewMemoryWave() {
    const int s = BeginAdd(ViewMemoryWave);
    if (s < 0) return;
    Steps st;
    MemWaveInfo& m = Sheets().MemWaveViews[size_t(s)];
    m.HasCh1 = m.HasCh2 = m.HasLa = false;
    m.SpareCh1Flag = m.SpareCh2Flag = m.SpareLaFlag = false;
    NameStep(ViewMemoryWave, s);
    m.SpareFlag2 = false;
    m.BlackBackground = m.ShowGrid = true;
    QWidget* form = WindowStep(st, ViewMemoryWave, s);
    PrepareStep(st, form, s);
    m.SplitDisplay = false;
    m.Loaded = false;
    m.FilePath.clear();
    CaptionStep(st, form, m.Name);
    CaptionsSetterStep(st, ViewMemoryWave, s);
    ShowStep(st, form);
    NodeStep(st, ViewMemoryWave, s, m.Name);
    st.report();
    ScreenDCSlot() = uint8_t(s);
    ++ViewCount(ViewMemoryWave);
    SheetDoc().NotifyViewAdded(ViewMemoryWave, s);
}

void AddNewView(ViewKind kind) {
    switch (kind) {
    case ViewWave: AddNewWaveform(); break;
    case ViewMeasure: AddNewMeasure(); break;
    case ViewData: AddNewData(); break;
    case ViewRecord: AddNewRecord(); break;
    case ViewMemoryWave: AddNewMemoryWave(); break;
    }
}

// ---------------------------------------------------------------------------
// Removing

void UnloadAllViews() {
    for (int k = 0; k < ViewKindCount; ++k) {
        const auto kind = ViewKind(k);
        const int count = std::min<int>(ViewCount(kind), SlotCount(kind));
        // Every window of a view goes, also one that has not run its set-up
        // tick yet (its open flag is still clear) or was made only to pause.
        for (int i = 0; i < count; ++i)
            if (ViewWindowOpen(kind, i) || ExistingViewForm(kind, i)) UnloadViewForm(kind, i);
        ViewCount(kind) = 0;
    }
}

void RemoveView(ViewKind kind, int slot) {
    const int n = std::min<int>(ViewCount(kind), SlotCount(kind));
    if (slot < 0 || slot >= n) return;
    SheetDoc().SetModified(true);
    // The removed view's window unloads first (a replaying Record view pauses).
    if (QWidget* form = ExistingViewForm(kind, slot)) CloseViewForm(form);
    // Records, windows (re-tagged) and nodes of the later views move down.
    SheetDoc().RemoveView(kind, slot);
    for (int i = slot; i < n - 1; ++i)
        if (QWidget* form = ExistingViewForm(kind, i)) form->setWindowTitle(ViewTitle(kind, i));
    // The slot left free keeps a copy of the view now below it, without its
    // window and without data.
    const int j = n - 1;
    SheetModelData& s = Sheets();
    switch (kind) {
    case ViewWave: s.WaveViews[size_t(j)].HasData = false; break;
    case ViewMeasure: s.MeasureViews[size_t(j)].HasData = false; break;
    case ViewData: s.DataViews[size_t(j)].HasData = false; break;
    case ViewRecord: s.RecordViews[size_t(j)].DisplayActive = false; break;
    case ViewMemoryWave: s.MemWaveViews[size_t(j)].Loaded = false; break;
    }
    ViewWindowOpen(kind, j) = false;
}

void RemoveWaveView(int slot) { RemoveView(ViewWave, slot); }
void RemoveMeasureView(int slot) { RemoveView(ViewMeasure, slot); }
void RemoveDataView(int slot) { RemoveView(ViewData, slot); }
void RemoveRecordView(int slot) { RemoveView(ViewRecord, slot); }
void RemoveMemoryWaveView(int slot) { RemoveView(ViewMemoryWave, slot); }

// ---------------------------------------------------------------------------
// Rebuilding

void RebuildSheetViews() {
    SheetTreeRefs& tree = SheetTree();
    // The old sheet node goes with its view nodes; no view keeps a node of it.
    for (int k = 0; k < ViewKindCount; ++k)
        for (int i = 0; i < SlotCount(ViewKind(k)); ++i) SetViewNode(ViewKind(k), i, nullptr);
    if (SheetNodeInTree()) delete tree.SheetNode;
    tree.SheetNode = nullptr;
    if (tree.SheetRootNode && tree.SheetTreeView) {
        tree.SheetNode = new QTreeWidgetItem(tree.SheetRootNode, QStringList{Sheets().SheetName});
        tree.SheetNode->setData(0, TreeImageRole, 2);
        tree.SheetRootNode->setExpanded(true);
    }

    Steps st;
    ShowingRow(true);
    for (int k = 0; k < ViewKindCount; ++k) {
        const auto kind = ViewKind(k);
        const int count = std::min<int>(ViewCount(kind), SlotCount(kind));
        for (int i = 0; i < count; ++i) {
            const QString name = ViewName(kind, i);
            QWidget* form = nullptr;
            if (kind == ViewRecord || kind == ViewMemoryWave) {
                // The tag is the first touch and makes the window.
                form = WindowStep(st, kind, i);
                CaptionsSetterStep(st, kind, i);
                CaptionStep(st, form, ViewTitle(kind, i));
                ShowStep(st, form);
                NodeStep(st, kind, i, name);
            } else {
                // The window is made before its captions are set.
                form = WindowStep(st, kind, i);
                CaptionsSetterStep(st, kind, i);
                if (kind == ViewWave) ChannelsStep(st, form, Sheets().WaveViews[size_t(i)].LaAvailable);
                CaptionStep(st, form, name);
                ShowStep(st, form);
                NodeStep(st, kind, i, name);
                if (kind == ViewData) ChannelsStep(st, form, false);
            }
            if (st.failed()) {
                // The windows shown so far are whole while the message is up.
                ShowingRow(false);
                st.report();
                ShowingRow(true);
            }
        }
    }
    ShowingRow(false);
}

bool OpenDataSheetFile(const QString& path) {
    std::unique_ptr<SheetModelData> read = ParseDataSheetFile(path);
    if (!read) return false;
    UnloadAllViews();
    CommitDataSheet(std::move(*read));
    RebuildSheetViews();
    IsDataSheetOpen();  // the new sheet node: the add buttons follow
    return true;
}
