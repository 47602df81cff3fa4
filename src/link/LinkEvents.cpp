#include "link/LinkEvents.h"

#include "link/LinkState.h"

LinkEventSource& LinkEvents() {
    static LinkEventSource source;
    return source;
}

void SetLinkLAPresent(bool present) {
    if (Link().LAPresent == present) return;
    Link().LAPresent = present;
    emit LinkEvents().laPresentChanged(present);
}

void SetLinkConnected(bool connected) {
    if (Link().IsConnected == connected) return;
    Link().IsConnected = connected;
    emit LinkEvents().connectionChanged(connected);
}
