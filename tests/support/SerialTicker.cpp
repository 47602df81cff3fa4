#include "SerialTicker.h"

#include "link/LinkState.h"
#include "link/RS232Func.h"

SerialTicker::SerialTicker(int tickLimit, Turn turnFn)
    : limit(tickLimit), turn(std::move(turnFn)) {
    connect(&timer, &QTimer::timeout, this, [this] {
        if (turn && !turn()) return;
        if (Link().WaitingReply && Serial().TickCount < limit) {
            ++ticks;
            SerialTick();
        }
    });
    timer.start(0);
    // Only a broken reader gets here: end its wait so the test fails instead of hanging.
    QTimer::singleShot(20000, this, [this] {
        stuck = true;
        Serial().TickCount = 100000;
        SerialTick();
    });
}
