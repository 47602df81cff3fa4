#include "panel/PanelWindows.h"

#include "common/ShellState.h"
#include "panel/PanelKeyBoard.h"
#include "panel/frmV_Key.h"
#include "panel/frmV_Panel.h"

PanelUiHooks& PanelUi() {
    static PanelUiHooks h;
    return h;
}

void NamePanelKeys(QWidget* window, int lang) {
    if (!window) return;
    for (PanelKeyBoard* keys : window->findChildren<PanelKeyBoard*>()) keys->NameKeys(lang);
}

void ShowVirtualPanelWindow(QWidget* owner) {
    if (Shell().ScopeIOType == 0) {
        frmV_Panel panel(owner);
        panel.exec();
    } else {
        frmV_Key keys(owner);
        keys.exec();
    }
}
