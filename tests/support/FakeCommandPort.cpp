#include "FakeCommandPort.h"

#include <algorithm>

#include "link/LinkState.h"

FakeCommandPort::FakeCommandPort() { SetCommandPortOverride(this); }
FakeCommandPort::~FakeCommandPort() { SetCommandPortOverride(nullptr); }

QByteArray FakeCommandPort::ScreenReply(const std::vector<uint8_t>& pixels) {
    QByteArray reply(2998, '\0');
    reply.append(reinterpret_cast<const char*>(pixels.data()), qsizetype(std::min<size_t>(pixels.size(), 74880)));
    reply.append(QByteArray(qsizetype(2998 + 74880 - reply.size()), '\0'));
    return reply;
}

void FakeCommandPort::Send(const QString& command) { sent << command; }

QString FakeCommandPort::Query(const QString& query) {
    sent << query;
    const auto it = replies.constFind(query);
    if (it == replies.constEnd()) {
        Link().ReplyFailed = true;
        return QString();
    }
    return *it;
}

int FakeCommandPort::ReadBlock(QByteArray& out, int) {
    out.clear();
    return -1;
}

int FakeCommandPort::ReadSystemDataBlock(QByteArray& out, int) {
    out.clear();
    return -1;
}

ScreenChunkRead FakeCommandPort::ReadScreenChunk(QByteArray& out, int maxBytes) {
    out.clear();
    if (!copiesScreen) return {ScreenChunkRead::NotSupported, 0};
    ++screenReads;
    if (duringScreenRead) duringScreenRead();
    if (screenChunks.isEmpty()) return {ScreenChunkRead::Failed, 0};
    const Chunk c = screenChunks.takeFirst();
    out = c.bytes.left(std::max(maxBytes, 0));
    return {c.outcome, int(out.size())};
}

void FakeCommandPort::Open() { Link().LinkOpen = true; }
