// Placeholder bodies until the serial transport lands.
#include "link/RS232Func.h"

#include "common/Wait.h"

SerialStateData& Serial() {
    static SerialStateData s;
    return s;
}
void OpenComm() {}
void WriteComm(const QString&) {}
QString ReadComm() { return QString(); }
void OnCommBinary(const QByteArray&) {}
void OnCommText(const QByteArray&) {}
void SerialTick() {
    ++Serial().TickCount;
    NotifyWaiters();
}
