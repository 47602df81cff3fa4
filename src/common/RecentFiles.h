#pragma once
// The two recent-file lists (controller files, data sheet files): four paths
// each, newest first, kept in the settings store under "Recent Ctrl_KV2200M"
// and "Recent Sheet_KV2200M", values "RecentFile1" to "RecentFile4".
//
// The file commands of the data browser and the controller window call
// AddRecentSheetFile / AddRecentCtrlFile after a file was read or written; the
// main window shows the lists in its File menu through RecentMenuUi().
#include <QString>
#include <QStringList>
#include <functional>

enum class RecentList { Ctrl, Sheet };

QString RecentSection(RecentList list);

// The stored values in store order, at most four. Unreadable values count as empty.
QStringList ReadRecentList(RecentList list);

// Puts path at the top: an exact (case-sensitive) match moves up and the
// entries above it move down one place; otherwise every entry moves down and
// the fourth is lost; a path already first leaves the store untouched. False
// when the store could not be written.
bool PushRecentFile(RecentList list, const QString& path);

// Rebuilds the list's submenu from the store (through the hook below).
void LoadRecentMenu(RecentList list);

bool PushRecentCtrlFile(const QString& path);
bool PushRecentSheetFile(const QString& path);
void LoadRecentCtrlMenu();
void LoadRecentSheetMenu();
// Push, then rebuild the submenu. The controller list reports a store failure.
bool AddRecentCtrlFile(const QString& path);
void AddRecentSheetFile(const QString& path);

// What the main window does with a list: `enabled` False disables the submenu
// root and leaves its items as they are; otherwise item i shows entries[i].
struct RecentMenuHooks {
    std::function<void(RecentList list, bool enabled, const QStringList& entries)> Show;
};
RecentMenuHooks& RecentMenuUi();
