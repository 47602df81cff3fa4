#pragma once
// The command port: the one way the command layer, connect and the jobs talk
// to the instrument. Which transport lies behind it (USB through VISA, or the
// RS-232 line) is decided in one place, CommandLink(), from ScopeIOType; the
// back ends keep each transport's own pauses, time-outs and framing.
#include <QByteArray>
#include <QString>

#include "link/KnownReply.h"

// One read of the screen copy's reply (":HARDCOPY"): how it ended and how
// many bytes really came.
struct ScreenChunkRead {
    enum Outcome {
        Received,     // the read ended normally; `received` bytes are in out
        Failed,       // time-out, link lost or not connected: no whole reply
        NotSupported  // this transport has no screen copy (the serial line)
    };
    Outcome outcome = Failed;
    int received = 0;  // bytes stored in out (also after a failure)
};

class CommandPort {
public:
    virtual ~CommandPort() = default;

    // Writes one command line (the port adds the line feed). No pause after
    // it beyond the transport's own pacing; SendCmd adds the command pause.
    virtual void Send(const QString& command) = 0;
    // Writes one query and returns its reply text unchanged ("" when no whole
    // reply came; Link().ReplyFailed is then set).
    virtual QString Query(const QString& query) = 0;
    // Reads the binary reply of a query already sent with Send into out, at
    // most maxBytes of it. Returns the bytes stored (0 when none), or -1 when
    // the reply did not complete (time-out, link lost, not connected). The
    // rest of a reply longer than maxBytes is dropped. out never keeps bytes
    // of an earlier reply.
    virtual int ReadBlock(QByteArray& out, int maxBytes) = 0;
    // Reads the system-data reply of a ":SYSTEM:DATA?" already sent into
    // out, at most maxBytes (the rest of the reply is consumed and dropped);
    // -1 as for ReadBlock.
    virtual int ReadSystemDataBlock(QByteArray& out, int maxBytes) = 0;
    // True when the reply arrives while the port waits with the event loop
    // running (timers tick during the read); false when the read holds the
    // caller until it returns.
    virtual bool RepliesWhileWaiting() const = 0;
    // Reads one chunk of the screen copy's reply (":HARDCOPY" already sent
    // with Send) into out, at most maxBytes. A reply longer than maxBytes
    // reads as cut at maxBytes. out holds only bytes of this read. The
    // serial line has no screen copy and says so without reading.
    virtual ScreenChunkRead ReadScreenChunk(QByteArray& out, int maxBytes) = 0;
    // False when the transport has no screen copy (the serial line).
    virtual bool CopiesScreen() const = 0;
    // Opens the transport for a connect; the outcome is in LinkOpen.
    virtual void Open() = 0;
    // Reads replies, dropping each, until one passes `isAnswer` (TrimReply;
    // stored in `answer` when given); with `ask`, first drops the input
    // still waiting and sends `query`. Gives up when nothing came for the
    // transport's reply time; an empty `isAnswer` drains until then. Used by
    // the command layer (BringLinkInStep, the connect). This one asks with Query.
    virtual KnownReply AwaitKnownReply(const QString& query, const ReplyTest& isAnswer, bool ask,
                                       QString* answer = nullptr);
    // True when the transport can clear the device (USB): the replies it
    // still owes are dropped, so a re-synchronisation may always ask afresh.
    virtual bool ClearsDevice() const { return false; }
};

// The port of the chosen transport (ScopeIOType 2: RS-232, anything else: USB).
CommandPort& CommandLink();

// Shows the chosen transport's message for a reply that could not be read
// ("Can't Read data from RS232 Port!" or "... USB Device!", with its title).
void ShowReadFailMessage();
// The link dropped for a reply that could not be read, then that message
// (`DropLinkAndSay`).
void DropLinkAfterFailedRead();

// Only 2 selects the serial line; any other stored ScopeIOType means USB and
// is kept as 0 from here on, so that every reader agrees on the transport.
void SettleTransportChoice();

// Tests and tools may put another port in place; nullptr returns to the
// transport's own port.
void SetCommandPortOverride(CommandPort* port);
