#include "sheets/ViewWindows.h"

#include <QPointer>
#include <array>
#include <vector>

#include "common/HookCheck.h"

namespace {

const char* const TagProperty = "Tag";

struct Registry {
    std::array<std::vector<QPointer<QWidget>>, ViewKindCount> forms;
    std::array<ViewFormFactory, ViewKindCount> factories;
    Registry() {
        for (int k = 0; k < ViewKindCount; ++k) forms[size_t(k)].resize(size_t(SlotCount(ViewKind(k))));
    }
};

Registry& registry() {
    static Registry r;
    return r;
}

QPointer<QWidget>* FormRef(ViewKind kind, int slot) {
    if (kind < 0 || kind >= ViewKindCount || !SlotInRange(kind, slot)) return nullptr;
    return &registry().forms[size_t(kind)][size_t(slot)];
}

}  // namespace

void SetViewFormFactory(ViewKind kind, ViewFormFactory factory) {
    if (kind < 0 || kind >= ViewKindCount) return;
    registry().factories[size_t(kind)] = std::move(factory);
}

QWidget* ExistingViewForm(ViewKind kind, int slot) {
    QPointer<QWidget>* ref = FormRef(kind, slot);
    return ref ? ref->data() : nullptr;
}

QWidget* ViewForm(ViewKind kind, int slot) {
    QPointer<QWidget>* ref = FormRef(kind, slot);
    if (!ref) return nullptr;
    if (*ref) return ref->data();
    const ViewFormFactory& factory = registry().factories[size_t(kind)];
    if (!RequireHook(factory, "view window factory")) return nullptr;
    QWidget* form = factory(slot);
    if (!form) return nullptr;
    SetFormTag(form, slot);
    *ref = form;
    return form;
}

void SetViewForm(ViewKind kind, int slot, QWidget* form) {
    QPointer<QWidget>* ref = FormRef(kind, slot);
    if (!ref) return;
    *ref = form;
    SetFormTag(form, slot);
}

void SetFormTag(QWidget* form, int slot) {
    if (form) form->setProperty(TagProperty, QString::number(slot));
}

int FormSlot(ViewKind kind, const QWidget* form) {
    if (!form) return -1;
    const QString tag = form->property(TagProperty).toString();
    if (tag.isEmpty() || tag.size() > 4) return -1;
    for (QChar c : tag)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return -1;
    const int slot = tag.toInt();
    return SlotInRange(kind, slot) ? slot : -1;
}

void MoveViewFormsDown(ViewKind kind, int slot, int count) {
    const int n = std::min(count, SlotCount(kind));
    if (!FormRef(kind, slot) || slot >= n) return;
    auto& forms = registry().forms[size_t(kind)];
    if (QWidget* gone = forms[size_t(slot)].data()) {
        gone->close();
        gone->deleteLater();
    }
    for (int i = slot; i + 1 < n; ++i) {
        forms[size_t(i)] = forms[size_t(i) + 1];
        SetFormTag(forms[size_t(i)].data(), i);
    }
    forms[size_t(n - 1)] = nullptr;
}
