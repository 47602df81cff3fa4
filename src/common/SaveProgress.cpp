#include "common/SaveProgress.h"

#include <algorithm>

SaveProgressData& SaveProgress() {
    static SaveProgressData s;
    return s;
}

SaveProgressScope::SaveProgressScope() {
    SaveProgressData& s = SaveProgress();
    if (s.Show) s.Show();
    if (s.SetValue) s.SetValue(0);
    s.IsSavingCsv = true;
}

SaveProgressScope::~SaveProgressScope() { Finish(); }

void SaveProgressScope::SetValue(int value) {
    if (done_) return;
    if (SaveProgress().SetValue) SaveProgress().SetValue(std::clamp(value, 0, 100));
}

void SaveProgressScope::Finish() {
    if (done_) return;
    done_ = true;
    SaveProgressData& s = SaveProgress();
    s.IsSavingCsv = false;
    if (s.Unload) s.Unload();
}
