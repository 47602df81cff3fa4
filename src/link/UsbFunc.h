#pragma once
// The USB transport through the VISA layer (platform/visa).
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <vector>

#include "link/KnownReply.h"
#include "platform/visa/Visa.h"

struct ScreenChunkRead;

struct UsbStateData {
    ViSession DefaultRM = VI_NULL;    // open from the main window's load to its unload
    ViSession VisaSession = VI_NULL;  // the session of the latest successful OpenVisa
    // Resource descriptions found by the device searches (options dialog; slot 0
    // is also overwritten by OpenVisa's own search).
    std::array<QString, 11> UsbResourceList;
    QString UsbResource;     // the description to open
    int UsbDeviceIndex = 0;  // chosen slot + 1; 0 = none chosen
};
UsbStateData& Usb();

void OpenVisaRM();
void CloseVisaRM();
// Opens the chosen (or first found) USB instrument; outcome in LinkOpen and VisaSession.
void OpenVisa();
// Ends the instrument session of an earlier connect (the resource manager
// stays open): the link now goes over the serial line.
void CloseVisa();
// Writes the command and one line feed. A request (a command that expects a
// reply) first drops every reply byte still waiting (DiscardStaleVisaInput).
void WriteVisa(const QString& command);
// Drops the input waiting on the session.
void DiscardStaleVisaInput();
// The USB side of a re-synchronisation (CommandPort::AwaitKnownReply): with
// `ask`, clears the device (the replies it still owes, and what came before
// the clear) and writes `query`; a clear that fails asks nothing. Then reads
// whole replies, dropping each, until one is `answer`, or until a read meets
// the session's time-out.
KnownReply AwaitVisaKnownReply(const QString& query, const ReplyTest& isAnswer, bool ask, QString* answer);
// One read of at most 256 bytes, one character per byte, line feed kept. A
// longer reply gives its first 256 bytes and the rest is dropped. A reply
// without its final line feed (cut, timed out, link lost) gives "" and sets
// Link().ReplyFailed.
QString ReadVisa();
// One read of at most maxBytes (and at most 8192) bytes into out; the rest
// of a longer reply is dropped. Returns its length, or -1 (ReplyFailed set)
// when the reply did not end (time-out, link lost).
int ReadVisaBytes(QByteArray& out, int maxBytes);
// One read of at most 8192 bytes into WaveSamples(1..n); count = n. Returns "".
QString ReadVisaBlock(int32_t& count);
// Reads one system-data reply into out, sized maxBytes and zero beyond the
// reply (the rest of a longer reply is consumed); returns the bytes stored,
// or -1 after a failed read (reported, link dropped).
int ReadSystemDataVisaBytes(QByteArray& out, int maxBytes);
// Reads one system-data reply into SystemDataBuf (cut at the buffer's size).
void ReadSystemDataVisa();
// One read of at most maxBytes of the screen copy's reply into out (the
// command port's ReadScreenChunk over USB): the bytes really received, and
// whether the read failed. The rest of a longer reply waits for the next read.
ScreenChunkRead ReadVisaScreenChunk(QByteArray& out, int maxBytes);
