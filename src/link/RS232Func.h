#pragma once
// The RS-232 transport on QSerialPort.
//
// Commands go out as one line ended by a line feed, paced by a pause per
// character written. Replies are collected by the receive handler whenever the
// event loop runs: a text reply is the line before the first line feed; a
// binary reply is a 4-byte little-endian byte count followed by that many
// bytes. Waits for a reply count the 100 ms ticks of the main window
// (SerialTick): 40 for a text reply, 100 for a binary one, from the start of
// the wait or the last chunk received; and, however the bytes trickle in, a
// text reply ends within 120 ticks, a binary one within 300 ticks plus twice
// its time on the line. A reply that did not come whole sets
// Link().ReplyFailed and leaves the link out of step (NoteReplyLost): the
// command layer puts it back before the next request.
//
// COM port n (1 to 16) is the device named in the environment variable
// KV2200_COM<n> when it is set, else the one the user wrote under the key
// COM<n>_Device in the settings file's IO section, else /dev/ttyS<n-1>
// (CommDevicePath).
#include <QByteArray>
#include <QString>

#include "link/KnownReply.h"

// Opens (or reopens) the port of the stored COM_Port at the stored BaudRate.
// A failure shows "Invalid port number!" with the line of
// CommOpenFailureText (in the box and on the status line) and clears LinkOpen.
void OpenComm();
// Why COM `port`, the device `device` (empty: no device for that number), at
// `baudRate` did not open, in the UI language: the port outside 1 to 16, the
// baud rate not a positive whole number, or the port and device named.
QString CommOpenFailureText(int port, const QString& device, const QString& baudRate);
// Writes the command and a line feed, then pauses for the characters written.
// Does nothing unless connected or connecting. A request (a command that
// expects a reply) first drops the input still waiting (DiscardStaleCommInput).
void WriteComm(const QString& command);
// Drops the input waiting on the line.
void DiscardStaleCommInput();
// The serial side of a re-synchronisation (CommandPort::AwaitKnownReply):
// with `ask`, drops the input and writes `query`; then looks through what
// came while the link was out of step, dropping each line, until one is
// `answer`, or until the line was silent for the text reply's time-out (or
// the text deadline passed).
KnownReply AwaitCommKnownReply(const QString& query, const ReplyTest& isAnswer, bool ask, QString* answer);
// Waits for the awaited text reply; empty text (ReplyFailed set) after 40
// ticks of silence, at the deadline, or when the line outgrows RxCapacity.
QString ReadComm();
// The receive handlers: one chunk of received bytes each.
void OnCommBinary(const QByteArray& data);
void OnCommText(const QByteArray& data);

// Waits for the awaited binary reply of a query already sent with SendCmd:
// sets WaitingReply and SerialBinaryMode, resets TickCount and yields until
// the reply is complete or 100 ticks passed. True when complete; the payload
// then lies in Serial().RxBuffer.
bool WaitCommBinary();

// The receive event: routes a chunk by SerialBinaryMode.
void MSComm1_OnComm(const QByteArray& chunk);
// A line event or line error: shows "Status: " and its text for 2 s.
void MSComm1_OnCommEvent(int commEvent);
// The text shown for a line event or line error number.
QString CommEventText(int commEvent);

// The device path of COM port n; empty when n is outside 1 to 16.
QString CommDevicePath(int port);
// The pause per command of the given length (line feed not counted) at the
// given baud rate text: max(30000 / baud, 3) ms per character, line feed
// included, rounded half to even. A baud rate that is not a positive number
// gets the 3 ms floor.
int CommWritePauseMs(int commandLength, const QString& baudRate);

// Serial receive state. TickCount is advanced by the main window's 100 ms tick.
struct SerialStateData {
    // Largest payload kept (bytes beyond it are counted but not stored).
    static constexpr int RxCapacity = 65537;

    QString SerialReply;    // current text reply, cut before its first line feed
    bool RxStarted = false; // the first chunk of the current reply has arrived
    QByteArray RxBuffer;    // payload of the binary reply being collected
    qint64 RxExpected = 0;  // payload length of that reply, from its count
    qint64 RxReceived = 0;  // bytes of that reply received, count bytes included
    int TickCount = 0;
    int TotalTicks = 0;      // ticks since the wait began (the reply's deadline)
    bool RxComplete = false; // the current binary reply is complete
    bool RxOverflow = false; // the current text reply outgrew RxCapacity
    // While the link is out of step, or a re-synchronisation reads, every
    // text byte received is kept here (lines not cut) for it to look through.
    QByteArray ResyncText;
    bool Resyncing = false;
};
SerialStateData& Serial();

// Called by the main window's 100 ms tick: advances TickCount and wakes waiters.
void SerialTick();
// Closes the port (the application's end).
void CloseComm();
