#include "link/LinkState.h"

LinkStateData& Link() {
    static LinkStateData s;
    return s;
}

LinkUiHooks& LinkUi() {
    static LinkUiHooks h;
    return h;
}

void SetConnectionLed(bool connected) {
    if (LinkUi().ShowConnectionLed) LinkUi().ShowConnectionLed(connected);
}
