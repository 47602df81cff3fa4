#pragma once
// The RS-232 transport on QSerialPort.
#include <QByteArray>
#include <QString>

void OpenComm();
void WriteComm(const QString& command);
QString ReadComm();
void OnCommBinary(const QByteArray& data);
void OnCommText(const QByteArray& data);

// Serial receive state. TickCount is advanced by the main window's 100 ms tick.
struct SerialStateData {
    QString SerialReply;
    bool RxStarted = false;
    QByteArray RxBuffer;   // payload of the binary reply being collected
    int RxExpected = 0;    // payload length of that reply
    int TickCount = 0;
};
SerialStateData& Serial();

// Called by the main window's 100 ms tick: advances TickCount and wakes waiters.
void SerialTick();
