#include "common/RecentFiles.h"

#include "common/SettingsStore.h"

namespace {
constexpr int kEntries = 4;
QString valueKey(int j) { return QString("RecentFile%1").arg(j); }
}  // namespace

QString RecentSection(RecentList list) {
    return list == RecentList::Ctrl ? QStringLiteral("Recent Ctrl_KV2200M") : QStringLiteral("Recent Sheet_KV2200M");
}

QStringList ReadRecentList(RecentList list) {
    auto s = OpenSettingsStore();
    s->beginGroup(RecentSection(list));
    QStringList out;
    for (const QString& key : s->childKeys()) {
        if (out.size() == kEntries) break;
        out.append(s->value(key).toString());
    }
    return out;
}

bool PushRecentFile(RecentList list, const QString& path) {
    auto s = OpenSettingsStore();
    s->beginGroup(RecentSection(list));
    auto value = [&](int j) { return s->value(valueKey(j)).toString(); };
    // The match is looked for among the stored values, which the submenu mirrors.
    int match = -1;
    for (int j = 1; j <= kEntries; ++j) {
        if (s->contains(valueKey(j)) && value(j) == path) {
            match = j;
            break;
        }
    }
    // Already first: nothing moves, and the store is not written again
    // (a write is synced to disk, which costs more than the rest of an open).
    if (match == 1) return true;
    if (match > 0) {
        for (int j = match; j >= 2; --j) s->setValue(valueKey(j), value(j - 1));
    } else {
        for (int j = kEntries - 1; j >= 1; --j)
            if (!value(j).isEmpty()) s->setValue(valueKey(j + 1), value(j));
    }
    s->setValue(valueKey(1), path);
    s->endGroup();
    s->sync();
    return s->status() == QSettings::NoError;
}

void LoadRecentMenu(RecentList list) {
    const QString first = GetStoredText(RecentSection(list), valueKey(1));
    const bool enabled = !first.isEmpty();
    const QStringList entries = enabled ? ReadRecentList(list) : QStringList();
    if (RecentMenuUi().Show) RecentMenuUi().Show(list, enabled, entries);
}

bool PushRecentCtrlFile(const QString& path) { return PushRecentFile(RecentList::Ctrl, path); }
bool PushRecentSheetFile(const QString& path) { return PushRecentFile(RecentList::Sheet, path); }
void LoadRecentCtrlMenu() { LoadRecentMenu(RecentList::Ctrl); }
void LoadRecentSheetMenu() { LoadRecentMenu(RecentList::Sheet); }

bool AddRecentCtrlFile(const QString& path) {
    if (!PushRecentCtrlFile(path)) return false;
    LoadRecentCtrlMenu();
    return true;
}

void AddRecentSheetFile(const QString& path) {
    PushRecentSheetFile(path);
    LoadRecentSheetMenu();
}

RecentMenuHooks& RecentMenuUi() {
    static RecentMenuHooks h;
    return h;
}
