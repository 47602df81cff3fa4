#pragma once
// Module-level state of the controller document (the settings mirror's file).
#include <QString>

struct CtrlStateData {
    bool CtrlModified = false;  // the mirror changed since new, open or save
    QString CtrlFileName;       // empty for an untitled controller file
    bool CtrlInitDone = false;  // the controller window's first load has filled the mirror
};

CtrlStateData& CtrlState();
