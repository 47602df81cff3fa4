#include "shell/Captions.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QAction>
#include <QDockWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QVariant>
#include <QWidget>
#include <map>

#include "widgets/AccessibleButtons.h"

const char* const AppVersionText = "00.01.05";

QObject* CaptionControl::On(QWidget* window) const { return reach_ ? reach_(window) : window; }

QString CaptionText(const CaptionRow& row, int lang, bool oneWindow) {
    if (lang == 0) return (oneWindow && !row.zhOneWindow.isNull()) ? row.zhOneWindow : row.zh;
    if (lang == 1) return row.en;
    return QString();
}

namespace {

// The caption of a control: a frame or menu has a title, the rest a text.
bool SetCaption(QObject* o, const QString& text) {
    const QMetaObject* mo = o->metaObject();
    if (qobject_cast<QDockWidget*>(o)) return o->setProperty("windowTitle", text), true;
    if (mo->indexOfProperty("title") >= 0) return o->setProperty("title", text);
    if (mo->indexOfProperty("text") >= 0) return o->setProperty("text", text);
    return false;
}

void SetTitle(QWidget* window, const QString& text) {
    window->setWindowTitle(text);
    // A docked pane shows its title on the dock that holds it.
    if (auto* dock = qobject_cast<QDockWidget*>(window->parentWidget())) dock->setWindowTitle(text);
}

// The model index of node n (from 1) in tree order: root, its first child, ...
QModelIndex NodeIndex(const QAbstractItemModel* model, int n) {
    int count = 0;
    std::function<QModelIndex(const QModelIndex&)> walk = [&](const QModelIndex& parent) {
        for (int r = 0; r < model->rowCount(parent); ++r) {
            const QModelIndex idx = model->index(r, 0, parent);
            if (++count == n) return idx;
            const QModelIndex found = walk(idx);
            if (found.isValid()) return found;
        }
        return QModelIndex();
    };
    return walk(QModelIndex());
}

}  // namespace

bool ApplyCaptionRow(QWidget* window, const CaptionRow& row, int lang, bool oneWindow) {
    if (lang != 0 && lang != 1) return false;
    const QString text = CaptionText(row, lang, oneWindow);
    if (row.prop == CaptionProp::Title) {
        if (!window) return false;
        SetTitle(window, text);
        return true;
    }
    QObject* o = window ? row.control.On(window) : nullptr;
    if (!o) return false;
    switch (row.prop) {
    case CaptionProp::Title: break;
    case CaptionProp::Text: return SetCaption(o, text);
    case CaptionProp::ToolTip: return o->setProperty("toolTip", text);
    case CaptionProp::Accessible: return o->setProperty("accessibleName", text);
    case CaptionProp::Description: return o->setProperty("accessibleDescription", text);
    case CaptionProp::AccessibleOn: return SetToggleOnName(qobject_cast<QAbstractButton*>(o), text);
    case CaptionProp::Column: {
        // The columns of a view's model, or of a model whose view is not built yet.
        auto* model = qobject_cast<QAbstractItemModel*>(o);
        if (auto* view = qobject_cast<QAbstractItemView*>(o)) model = view->model();
        if (!model || row.item < 1) return false;
        return model->setHeaderData(row.item - 1, Qt::Horizontal, text);
    }
    case CaptionProp::Tab: {
        QTabBar* bar = qobject_cast<QTabBar*>(o);
        if (auto* tabs = qobject_cast<QTabWidget*>(o)) bar = tabs->tabBar();
        if (!bar || row.item < 1 || row.item > bar->count()) return false;
        bar->setTabText(row.item - 1, text);
        return true;
    }
    case CaptionProp::Node: {
        auto* view = qobject_cast<QAbstractItemView*>(o);
        if (!view || !view->model() || row.item < 1) return false;
        const QModelIndex idx = NodeIndex(view->model(), row.item);
        return idx.isValid() && view->model()->setData(idx, text, Qt::DisplayRole);
    }
    case CaptionProp::ToolButton: {
        auto* bar = qobject_cast<QToolBar*>(o);
        if (!bar || row.item < 1) return false;
        const QList<QAction*> actions = bar->actions();
        if (row.item > actions.size()) return false;
        actions[row.item - 1]->setToolTip(text);
        // Screen readers announce the button by its tip, in the UI language.
        if (QWidget* button = bar->widgetForAction(actions[row.item - 1])) button->setAccessibleName(text);
        return true;
    }
    }
    return false;
}

bool ApplyCaptionTable(QWidget* window, const CaptionTable& table, int lang, bool oneWindow) {
    if (!window || (lang != 0 && lang != 1)) return true;
    bool all = true;
    for (size_t i = 0; i < table.size(); ++i) {
        const CaptionRow& row = table[i];
        if (row.control.On(window)) {
            // An item the control does not hold (a tree without its sheet
            // node) is passed over.
            ApplyCaptionRow(window, row, lang, oneWindow);
            continue;
        }
        all = false;
        qCritical("Caption row %d (\"%s\") finds no control on %s", int(i), qUtf8Printable(row.en),
                  window->metaObject()->className());
    }
    return all;
}

// ---- Registry --------------------------------------------------------------

namespace {
struct Registry {
    std::map<QString, CaptionKind> kinds;
    QStringList switchOrder;
};
Registry& Reg() {
    static Registry r;
    return r;
}
}  // namespace

CaptionKind& CaptionKindOf(const QString& name) {
    CaptionKind& k = Reg().kinds[name];
    k.name = name;
    return k;
}

void RegisterCaptionKind(const QString& name, const CaptionTable& table, bool atSwitch,
                         std::function<QList<QWidget*>()> openWindows) {
    CaptionKind& k = CaptionKindOf(name);
    k.table = table;
    k.atSwitch = atSwitch;
    if (openWindows) k.openWindows = std::move(openWindows);
    Reg().switchOrder.removeAll(name);
    if (atSwitch) Reg().switchOrder.append(name);
}

QStringList SwitchCaptionKinds() { return Reg().switchOrder; }

void SetRegisteredCaptions(const QString& kind, QWidget* window, int lang) {
    auto it = Reg().kinds.find(kind);
    if (it == Reg().kinds.end()) return;
    ApplyCaptionTable(window, it->second.table, lang);
}

QWidget* CaptionWindow(const QString& kind) {
    auto it = Reg().kinds.find(kind);
    return it != Reg().kinds.end() && it->second.instance ? it->second.instance() : nullptr;
}
