#pragma once
// Drives the serial transport's 100 ms tick from a test: one tick per
// event-loop turn while a reply is awaited and the tick count is below the
// limit, so time-outs are counted exactly and without waiting.
#include <QObject>
#include <QTimer>
#include <functional>

class SerialTicker : public QObject {
public:
    using Turn = std::function<bool()>;
    // `turn` is asked first on every event-loop turn; when it returns false,
    // that turn gives no tick.
    explicit SerialTicker(int limit, Turn turn = {});
    int ticks = 0;
    bool stuck = false;  // the reader never ended its wait and was forced out

private:
    int limit;
    Turn turn;
    QTimer timer;
};
