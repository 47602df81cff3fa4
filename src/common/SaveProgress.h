#pragma once
// The progress window of a long file export, reached from below the shell.
//
// The shell installs the window's hooks when it starts; an export shows the
// window, moves its bar and unloads it through them. While IsSavingCsv is
// set the window refuses to close.
#include <functional>

struct SaveProgressData {
    bool IsSavingCsv = false;
    // Shows the window modeless, owned by the main window, its bar at 0.
    std::function<void()> Show;
    // Sets the bar (0 to 100) and repaints the window at once.
    std::function<void(int value)> SetValue;
    // Unloads the window (its close is refused while IsSavingCsv is set).
    std::function<void()> Unload;
};

SaveProgressData& SaveProgress();

// One export's use of the window: shows it with the bar at 0 and sets
// IsSavingCsv; Finish (or the destructor, when the export ends early through
// a failure) clears IsSavingCsv and unloads the window, so it can never stay
// open and unclosable.
class SaveProgressScope {
public:
    SaveProgressScope();
    ~SaveProgressScope();
    SaveProgressScope(const SaveProgressScope&) = delete;
    SaveProgressScope& operator=(const SaveProgressScope&) = delete;

    // Sets the bar, clamped to 0..100.
    void SetValue(int value);
    void Finish();

private:
    bool done_ = false;
};
