// TCP back end for the simulated instrument.
//
// Framing: the layer sends the bytes of each write as they are. The
// instrument sends every reply message as a 4-byte little-endian length N
// followed by the N bytes of the message (a text reply with its line feed, a
// binary reply raw). The framing is stripped here, so each read delivers what
// a USBTMC read would: at most the count asked for, never past the end of the
// current message, and whatever is left of that message stays for the next read.
//
// Device clear: the layer writes the byte CAN (0x18), a decimal number and a
// line feed. The instrument drops every reply it still owes that connection
// and answers with a mark: the length word FFFFFFFF and the number, 4 bytes
// little-endian. A mark is no message: reads skip it.
#include <QByteArray>
#include <QElapsedTimer>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/visa/VisaIo.h"

namespace Visa {
namespace {

class TcpIo : public InstrumentIo {
public:
    explicit TcpIo(int fd) : fd_(fd) {}
    ~TcpIo() override { ::close(fd_); }

    ViStatus Write(const uint8_t* data, size_t n, size_t* written, int timeoutMs) override {
        *written = 0;
        // Take in whatever already arrived: a peer that has closed the link
        // shows up here, before anything is sent into the void.
        drain();
        if (lost_) return VI_ERROR_CONN_LOST;
        QElapsedTimer clock;
        clock.start();
        while (*written < n) {
            const ssize_t k = ::send(fd_, data + *written, n - *written, MSG_NOSIGNAL | MSG_DONTWAIT);
            if (k > 0) {
                *written += size_t(k);
                continue;
            }
            if (k < 0 && errno == EINTR) continue;
            if (k < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                const int left = timeoutMs - int(clock.elapsed());
                if (left <= 0) return VI_ERROR_TMO;
                pollfd p{fd_, POLLOUT, 0};
                ::poll(&p, 1, left);
                continue;
            }
            lost_ = true;
            return VI_ERROR_CONN_LOST;
        }
        return VI_SUCCESS;
    }

    ViStatus Read(uint8_t* data, size_t max, size_t* got, int timeoutMs) override {
        *got = 0;
        QElapsedTimer clock;
        clock.start();
        for (;;) {
            skipDiscarded();
            if (skipping_) {  // the rest of a discarded message has not come yet
                if (lost_) return VI_ERROR_CONN_LOST;
                const int left = timeoutMs - int(clock.elapsed());
                if (left <= 0) return VI_ERROR_TMO;
                pollfd p{fd_, POLLIN, 0};
                if (::poll(&p, 1, left) > 0) drain();
                continue;
            }
            // Between messages: the next length first; a clear's mark is skipped.
            while (remaining_ < 0 && takeHead() == Head::Mark) {
            }
            if (remaining_ >= 0) {
                const size_t take = size_t(std::min<qint64>({qint64(max - *got), remaining_, qint64(rx_.size())}));
                std::memcpy(data + *got, rx_.constData(), take);
                rx_.remove(0, qsizetype(take));
                *got += take;
                remaining_ -= qint64(take);
                if (remaining_ == 0) {
                    remaining_ = -1;
                    return VI_SUCCESS;
                }
                if (*got == max) return VI_SUCCESS_MAX_CNT;
            }
            if (lost_) return VI_ERROR_CONN_LOST;
            const int left = timeoutMs - int(clock.elapsed());
            if (left <= 0) return VI_ERROR_TMO;
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, left) > 0) drain();
        }
    }

    void DiscardInput() override {
        drain();
        skipping_ = true;
        skipDiscarded();
        // Nothing of a message begun: no later message is dropped.
        if (remaining_ < 0 && rx_.isEmpty()) skipping_ = false;
    }

    ViStatus ClearDevice(int timeoutMs) override {
        const quint32 number = ++clears_;
        const QByteArray request = QByteArray(1, kClearByte) + QByteArray::number(number) + '\n';
        size_t written = 0;
        const ViStatus st =
            Write(reinterpret_cast<const uint8_t*>(request.constData()), size_t(request.size()), &written, timeoutMs);
        if (st < VI_SUCCESS) return st;
        // Everything that comes before this clear's mark is stale: dropped.
        skipping_ = false;
        QElapsedTimer clock;
        clock.start();
        for (;;) {
            if (remaining_ < 0) {
                const Head h = takeHead();
                if (h == Head::Mark && lastMark_ == number) return VI_SUCCESS;
                if (h != Head::NeedMore) continue;
            } else {
                const qint64 take = std::min<qint64>(remaining_, rx_.size());
                rx_.remove(0, qsizetype(take));
                remaining_ -= take;
                if (remaining_ == 0) {
                    remaining_ = -1;
                    continue;
                }
            }
            if (lost_) return VI_ERROR_CONN_LOST;
            const int left = timeoutMs - int(clock.elapsed());
            if (left <= 0) return VI_ERROR_TMO;
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, left) > 0) drain();
        }
    }

private:
    // While skipping: drops whole messages from rx_ and what has come of the
    // one begun; skipping ends at the end of a message with nothing left over.
    void skipDiscarded() {
        while (skipping_) {
            if (remaining_ < 0) {
                const Head h = takeHead();
                if (h == Head::Mark) continue;
                if (h == Head::NeedMore) {
                    if (rx_.isEmpty()) skipping_ = false;
                    return;
                }
            }
            const qint64 take = std::min<qint64>(remaining_, rx_.size());
            rx_.remove(0, qsizetype(take));
            remaining_ -= take;
            if (remaining_ > 0) return;  // the rest is still to come
            remaining_ = -1;
        }
    }

    // Takes the next frame head off rx_ once it has come whole: a message's
    // length (into remaining_), or a clear's mark (its number into lastMark_).
    enum class Head { NeedMore, Message, Mark };
    Head takeHead() {
        if (rx_.size() < 4) return Head::NeedMore;
        const quint32 n = le32(rx_.constData());
        if (n == kMarkLength) {
            if (rx_.size() < 8) return Head::NeedMore;
            lastMark_ = le32(rx_.constData() + 4);
            rx_.remove(0, 8);
            return Head::Mark;
        }
        remaining_ = qint64(n);
        rx_.remove(0, 4);
        return Head::Message;
    }
    static quint32 le32(const char* p) {
        const auto* h = reinterpret_cast<const uint8_t*>(p);
        return quint32(h[0]) | quint32(h[1]) << 8 | quint32(h[2]) << 16 | quint32(h[3]) << 24;
    }

    // Moves every byte that is waiting on the socket into rx_.
    void drain() {
        char chunk[65536];
        for (;;) {
            const ssize_t k = ::recv(fd_, chunk, sizeof chunk, MSG_DONTWAIT);
            if (k > 0) {
                rx_.append(chunk, qsizetype(k));
                continue;
            }
            if (k < 0 && errno == EINTR) continue;
            if (k < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
            lost_ = true;  // orderly close (0) or a socket error
            return;
        }
    }

    int fd_;
    QByteArray rx_;          // received, not yet delivered
    qint64 remaining_ = -1;  // bytes of the current message still to deliver; -1 between messages
    bool lost_ = false;
    bool skipping_ = false;  // dropping the messages that were waiting at a discard
    quint32 clears_ = 0;     // the number of the last clear asked
    quint32 lastMark_ = 0;   // the number of the last mark read
    static constexpr char kClearByte = 0x18;
    static constexpr quint32 kMarkLength = 0xFFFFFFFFu;
};

}  // namespace

std::unique_ptr<InstrumentIo> OpenTcpIo(const QString& host, quint16 port, int timeoutMs, ViStatus* status) {
    *status = VI_ERROR_RSRC_NFOUND;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const QByteArray portText = QByteArray::number(port);
    if (::getaddrinfo(host.toLatin1().constData(), portText.constData(), &hints, &found) != 0) return nullptr;
    std::unique_ptr<InstrumentIo> io;
    for (addrinfo* a = found; a && !io; a = a->ai_next) {
        const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a->ai_protocol);
        if (fd < 0) continue;
        bool ok = ::connect(fd, a->ai_addr, a->ai_addrlen) == 0;
        if (!ok && errno == EINPROGRESS) {
            pollfd p{fd, POLLOUT, 0};
            int err = 0;
            socklen_t len = sizeof err;
            ok = ::poll(&p, 1, timeoutMs) > 0 && ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) == 0 && err == 0;
        }
        if (!ok) {
            ::close(fd);
            continue;
        }
        const int one = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        io = std::make_unique<TcpIo>(fd);
    }
    ::freeaddrinfo(found);
    if (io) *status = VI_SUCCESS;
    return io;
}

}  // namespace Visa
