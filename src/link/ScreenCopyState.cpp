#include "link/ScreenCopyState.h"

#include <QByteArray>
#include <algorithm>

#include "common/Wait.h"
#include "link/CommandPort.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "platform/dialogs/MsgBox.h"

namespace {
bool gateOpen() { return Link().IsConnected || Link().Connecting; }
bool screenCopyWanted() { return ScreenCopy().ScreenCopyRunning && ScreenCopy().ScreenCopyOpen; }

// The read buffer keeps its capacity from frame to frame.
QByteArray& chunkBuffer() {
    static QByteArray buf;
    return buf;
}

// A read that gave no image. A command sent during it (a key press) may have
// disturbed the reply: the read ends quietly and the next frame asks again.
// Otherwise the link has failed: reported, and the link dropped.
HardcopyChunk noImage() {
    if (Link().CommandSent) return HardcopyChunk::Ended;
    DropLinkAndSay(MessageTable().MsgUsbReadFail, MessageTable().MsgTitleUsbRead);
    return HardcopyChunk::Failed;
}
}  // namespace

ScreenCopyStateData& ScreenCopy() {
    static ScreenCopyStateData s;
    return s;
}

HardcopyChunk ReadHardcopyChunk(std::vector<uint8_t>& dest, int* received) {
    if (received) *received = 0;
    if (!gateOpen()) return HardcopyChunk::NoCopy;
    QByteArray& buf = chunkBuffer();
    const ScreenChunkRead r = CommandLink().ReadScreenChunk(buf, ScreenCopyStateData::ReadMax);
    if (received) *received = r.received;
    switch (r.outcome) {
    case ScreenChunkRead::NotSupported:
        return HardcopyChunk::NoCopy;
    case ScreenChunkRead::Failed:
        return noImage();
    case ScreenChunkRead::Received:
        break;
    }
    const int n = std::min(r.received, int(buf.size()));
    // Part of a reply: the rest may come with the next read. More than a
    // reply is no screen (its last bytes would draw a shifted picture).
    if (n < ScreenCopyStateData::ReplyBytes) return HardcopyChunk::ReadAgain;
    if (n > ScreenCopyStateData::ReplyBytes) {
        NoteReplyGarbled();  // its rest is still to come
        return noImage();
    }
    if (dest.size() < size_t(ScreenCopyStateData::ImageBytes + 1)) dest.resize(ScreenCopyStateData::ImageBytes + 1, 0);
    // The image is the end of the reply without its last byte: bytes
    // n - 74,880 to n - 2 go to elements 0 to 74,878; element 74,879 is kept.
    const auto* first = reinterpret_cast<const uint8_t*>(buf.constData()) + (n - ScreenCopyStateData::ImageBytes);
    std::copy(first, first + (ScreenCopyStateData::ImageBytes - 1), dest.begin());
    Link().CommandSent = false;
    return HardcopyChunk::Image;
}

bool GetHardcopyVisa(std::vector<uint8_t>& dest) {
    if (!gateOpen() || !CommandLink().CopiesScreen()) return false;
    // Only a command sent from here on (a key pressed during the read)
    // excuses a failed read; the frame's own colour query before does not.
    Link().CommandSent = false;
    SendCmd(":HARDCOPY");
    for (;;) {
        const HardcopyChunk r = ReadHardcopyChunk(dest);
        if (r == HardcopyChunk::Image) {
            YieldOnce();
            return true;
        }
        if (r == HardcopyChunk::Ended) return false;
        if (!gateOpen()) {
            // The link dropped (this read, or a key's write meanwhile):
            // nothing can be read until the panel stops or closes, so wait
            // for that instead of spinning.
            while (!YieldUntil([] { return !screenCopyWanted(); }, 50)) {
            }
            return false;
        }
        if (r != HardcopyChunk::ReadAgain) return false;
        YieldOnce();
        if (!screenCopyWanted()) return false;
    }
}
