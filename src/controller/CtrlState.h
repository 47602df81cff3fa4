#pragma once
// Module-level state of the controller: the controller document (the
// settings mirror's file), the tree's selection and saved expansion, and the
// hooks through which the controller window reaches the setting editors.
#include <QList>
#include <QString>
#include <array>
#include <functional>

// Branches whose expanded state a tree rebuild keeps: the root, the seven
// groups, the four sub-groups of the time base and the alternation trigger,
// the logic analyser with its two sub-groups, and the trigger code.
constexpr int CtrlExpandNodes = 16;

struct CtrlStateData {
    bool CtrlModified = false;  // the mirror changed since new, open or save
    QString CtrlFileName;       // empty for an untitled controller file
    bool CtrlInitDone = false;  // the controller window's first load has filled the mirror
    // The level rows (value numbers) the opened file held as not known: the
    // upload names them with the file's reason, not that of a lost reply.
    // The open sets it; New and a download clear it.
    QList<int> CtrlFileLevelsNotKnown;

    // Full path of the tree node last clicked (texts from the root down joined
    // by "\"); set by the tree's click, cleared by the edit dispatcher when an
    // edit has ended.
    QString SelectedNodePath;
    // Key of the setting being edited (" " when none); set by the edit
    // dispatcher, read by the setting dialog's apply.
    QString CtrlEditKey = " ";
    // Saved expanded flags of the root and the fifteen branches (CtrlTree).
    std::array<bool, CtrlExpandNodes> CtrlExpandState{};
};

CtrlStateData& CtrlState();

// What the controller window needs of higher layers; set by the shell at
// start (BindControllerCommands). The tree's double click requires
// PraseCtrlList (RequireHook); an unset UnloadEditors does nothing.
struct CtrlHooksData {
    // The edit dispatcher: called with SelectedNodePath on a double click or
    // Enter in the tree while the instrument is connected.
    std::function<void(const QString& path)> PraseCtrlList;
    // Unloads the setting dialog and the virtual key pad (the controller
    // window's unload). Unset today: the setting dialogs are modal and the
    // key pad is not built.
    std::function<void()> UnloadEditors;
};

CtrlHooksData& CtrlHooks();
