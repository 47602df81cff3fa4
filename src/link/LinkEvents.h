#pragma once
// Link events: what views and the panel listen to instead of asking the
// main window for hooks. The link state keeps the flags; these setters change
// them and announce a change (never a write of the same value).
#include <QObject>

class LinkEventSource : public QObject {
    Q_OBJECT
signals:
    // The instrument's logic analyser is now present (true) or absent.
    void laPresentChanged(bool present);
    // The link to the instrument is now up (true) or down.
    void connectionChanged(bool connected);
};

// The one source of the link's events.
LinkEventSource& LinkEvents();

// Sets Link().LAPresent; announces laPresentChanged when it changed.
void SetLinkLAPresent(bool present);
// Sets Link().IsConnected; announces connectionChanged when it changed.
void SetLinkConnected(bool connected);
