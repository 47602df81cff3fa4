#pragma once
// What a re-synchronisation waits for (CommandPort::AwaitKnownReply and the
// transports' own waits).
#include <QString>
#include <functional>

// Whether a reply (TrimReply) is the one awaited.
using ReplyTest = std::function<bool(const QString& reply)>;

// How a re-synchronisation's wait for a known answer ended.
enum class KnownReply {
    Came,    // the known answer came (every reply before it dropped)
    Other,   // replies came, none of them the answer, then silence for the reply time
    Nothing  // nothing came for the reply time (or the link is gone)
};
