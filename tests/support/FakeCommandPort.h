#pragma once
// A command port for tests that need no instrument: it records what is sent,
// answers queries from a table and serves screen-copy reads from a queue.
// Constructing one installs it (SetCommandPortOverride); destroying it puts
// the transport's own port back.
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QStringList>
#include <functional>
#include <vector>

#include "link/CommandPort.h"

class FakeCommandPort final : public CommandPort {
public:
    struct Chunk {
        ScreenChunkRead::Outcome outcome = ScreenChunkRead::Received;
        QByteArray bytes;
    };

    FakeCommandPort();
    ~FakeCommandPort() override;
    FakeCommandPort(const FakeCommandPort&) = delete;
    FakeCommandPort& operator=(const FakeCommandPort&) = delete;

    // Every Send and Query, in order, without the line feed.
    QStringList sent;
    // Query replies (the reply text as the instrument ends it, line feed
    // included); an unknown query gets "" and sets ReplyFailed.
    QHash<QString, QString> replies;
    // Screen-copy reads, served in order; an empty queue reads as a failure.
    QList<Chunk> screenChunks;
    // Runs at the start of every screen-copy read (a key pressed meanwhile).
    std::function<void()> duringScreenRead;
    bool copiesScreen = true;
    int screenReads = 0;

    // The reply of ":HARDCOPY" holding the given 74,880 colour indexes, as
    // the instrument frames it: a 2,998-byte header, then the pixels (the
    // last of which the read does not keep).
    static QByteArray ScreenReply(const std::vector<uint8_t>& pixels);

    void Send(const QString& command) override;
    QString Query(const QString& query) override;
    int ReadBlock(QByteArray& out, int maxBytes) override;
    int ReadSystemDataBlock(QByteArray& out, int maxBytes) override;
    bool RepliesWhileWaiting() const override { return false; }
    ScreenChunkRead ReadScreenChunk(QByteArray& out, int maxBytes) override;
    bool CopiesScreen() const override { return copiesScreen; }
    void Open() override;
};
