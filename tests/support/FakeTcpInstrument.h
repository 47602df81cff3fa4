#pragma once
// A scripted instrument on a local TCP port, speaking the simulator's VISA-side
// framing (each reply a 4-byte little-endian length and its bytes). It runs in
// its own thread, so the blocking reads of the code under test get answers.
// For replies the simulator cannot be asked for (exact sizes, broken frames).
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QString>
#include <QStringList>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class FakeTcpInstrument {
public:
    struct Reply {
        std::string bytes;   // sent as they are (use Frame for a whole message)
        bool close = false;  // close the connection after sending
    };
    // Called (in the fake's thread) for every line received, without its line feed.
    using Handler = std::function<Reply(const std::string& line)>;

    static std::string Frame(const std::string& payload) {
        const uint32_t n = uint32_t(payload.size());
        std::string out{char(n & 0xFF), char((n >> 8) & 0xFF), char((n >> 16) & 0xFF), char((n >> 24) & 0xFF)};
        return out + payload;
    }

    explicit FakeTcpInstrument(Handler handler) : handler_(std::move(handler)) {
        listen_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        const int one = 1;
        ::setsockopt(listen_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listen_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(listen_, 64);
        socklen_t len = sizeof a;
        ::getsockname(listen_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] { run(); });
    }
    ~FakeTcpInstrument() {
        stop_ = true;
        thread_.join();
        for (auto& c : clients_) ::close(c.first);
        ::close(listen_);
    }

    int Port() const { return port_; }
    QString Target() const { return QString("TCPIP::127.0.0.1::%1::SOCKET").arg(port_); }

    QStringList Log() {
        std::lock_guard<std::mutex> g(mutex_);
        return log_;
    }
    void ClearLog() {
        std::lock_guard<std::mutex> g(mutex_);
        log_.clear();
    }

private:
    void run() {
        while (!stop_) {
            std::vector<pollfd> fds{{listen_, POLLIN, 0}};
            for (auto& c : clients_) fds.push_back({c.first, POLLIN, 0});
            if (::poll(fds.data(), fds.size(), 20) <= 0) continue;
            if (fds[0].revents & POLLIN) {
                // Take every waiting connection: tests open and close sessions quickly.
                for (int fd; (fd = ::accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;) clients_[fd];
            }
            for (size_t i = 1; i < fds.size(); ++i)
                if (fds[i].revents) serve(fds[i].fd);
        }
    }

    void serve(int fd) {
        char buf[4096];
        const ssize_t k = ::recv(fd, buf, sizeof buf, 0);
        if (k <= 0) {
            drop(fd);
            return;
        }
        std::string& pending = clients_[fd];
        pending.append(buf, size_t(k));
        size_t eol;
        while ((eol = pending.find('\n')) != std::string::npos) {
            const std::string line = pending.substr(0, eol);
            pending.erase(0, eol + 1);
            {
                std::lock_guard<std::mutex> g(mutex_);
                log_.append(QString::fromStdString(line));
            }
            const Reply r = handler_(line);
            if (!r.bytes.empty()) ::send(fd, r.bytes.data(), r.bytes.size(), MSG_NOSIGNAL);
            if (r.close) {
                drop(fd);
                return;
            }
        }
    }

    void drop(int fd) {
        ::close(fd);
        clients_.erase(fd);
    }

    Handler handler_;
    int listen_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::map<int, std::string> clients_;  // connection -> bytes of an unfinished line
    std::mutex mutex_;
    QStringList log_;
    std::thread thread_;
};

// A reply table for a FakeTcpInstrument: replies by line; a line of no entry
// gets no reply. Safe to change while the fake runs.
class FakeReplyScript {
public:
    void Set(const std::string& line, const std::string& payload) {
        std::lock_guard<std::mutex> g(m_);
        replies_[line] = {FakeTcpInstrument::Frame(payload), false};
    }
    // The bytes and close flag of this line's reply as they are (no framing added).
    void SetReply(const std::string& line, FakeTcpInstrument::Reply r) {
        std::lock_guard<std::mutex> g(m_);
        replies_[line] = std::move(r);
    }
    // The connection closes on this line; a query's reply is cut short first.
    void Drop(const std::string& line) {
        std::lock_guard<std::mutex> g(m_);
        replies_[line] = {FakeTcpInstrument::Frame("2.000e-01\n").substr(0, 6), true};
    }
    void Clear() {
        std::lock_guard<std::mutex> g(m_);
        replies_.clear();
    }
    FakeTcpInstrument::Reply operator()(const std::string& line) {
        std::lock_guard<std::mutex> g(m_);
        auto it = replies_.find(line);
        return it == replies_.end() ? FakeTcpInstrument::Reply{} : it->second;
    }

private:
    std::mutex m_;
    std::map<std::string, FakeTcpInstrument::Reply> replies_;
};
