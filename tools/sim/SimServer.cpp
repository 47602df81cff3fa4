#include "SimServer.h"

#include <QFile>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {
constexpr int kMaxLine = 1 << 20;
constexpr char kSyn = '\x16';
// A device clear on the VISA side starts with CAN (see clearTcp).
constexpr char kCan = '\x18';

QByteArray le32(quint32 n) {
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i) b[i] = char((n >> (8 * i)) & 0xFF);
    return b;
}

// Random text that no number reader takes for a number: letters and
// punctuation only, never a digit, sign or point first.
QByteArray garbageText() {
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz#%&*!?@";
    auto* rng = QRandomGenerator::global();
    const int n = 6 + rng->bounded(10);
    QByteArray t;
    for (int i = 0; i < n; ++i) t += kChars[rng->bounded(int(sizeof kChars) - 1)];
    return t + '\n';
}
}  // namespace

bool SimFault::Parse(const QString& text) {
    QStringList w = text.simplified().split(' ', Qt::SkipEmptyParts);
    int delay = 0, times = -1;
    // "after <k>" and "for <n>" at the end, in either order.
    while (w.size() >= 3 && (w[w.size() - 2].toLower() == "after" || w[w.size() - 2].toLower() == "for")) {
        bool ok = false;
        const int n = w.last().toInt(&ok);
        if (!ok || n < 0) return false;
        if (w[w.size() - 2].toLower() == "after") delay = n;
        else times = n;
        w.resize(w.size() - 2);
    }
    if (w.isEmpty()) return false;
    after = delay;
    count = times;
    const QString k = w[0].toLower();
    if ((k == "none" || k == "silent" || k == "garbage") && w.size() == 1) {
        kind = k == "none" ? None : k == "silent" ? Silent : Garbage;
        amount = 0;
        return true;
    }
    if (w.size() != 2) return false;
    bool ok = false;
    const int n = w[1].toInt(&ok);
    if (!ok || n < 0) return false;
    if (k == "late") kind = Late;
    else if (k == "truncate") kind = Truncate;
    else if (k == "oversize") kind = Oversize;
    else if (k == "drop") kind = Drop;
    else return false;
    amount = n;
    return true;
}

SimServer::SimServer(QObject* parent) : QObject(parent) {
    clock_.start();
    release_ = new QTimer(this);
    release_->setSingleShot(true);
    connect(release_, &QTimer::timeout, this, &SimServer::releaseDue);
}

SimServer::~SimServer() { closePty(); }

bool SimServer::ListenTcp(quint16 port) {
    tcp_ = new QTcpServer(this);
    connect(tcp_, &QTcpServer::newConnection, this, &SimServer::onTcpConnection);
    return tcp_->listen(QHostAddress::LocalHost, port);
}

bool SimServer::ListenControl(quint16 port) {
    control_ = new QTcpServer(this);
    connect(control_, &QTcpServer::newConnection, this, &SimServer::onControlConnection);
    return control_->listen(QHostAddress::LocalHost, port);
}

quint16 SimServer::TcpPort() const { return tcp_ ? tcp_->serverPort() : 0; }
quint16 SimServer::ControlPort() const { return control_ ? control_->serverPort() : 0; }

bool SimServer::OpenPty() {
    int master = -1, slave = -1;
    char name[256] = {0};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) return false;
    termios t{};
    if (::tcgetattr(slave, &t) == 0) {
        ::cfmakeraw(&t);
        ::tcsetattr(slave, TCSANOW, &t);
    }
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
    // The slave stays open here too, so the master never sees a hang-up while
    // no client has the line open.
    ptyMaster_ = master;
    ptySlave_ = slave;
    ptyPath_ = QString::fromLocal8Bit(name);
    ptyIn_.clear();
    ptyOut_.clear();
    ptyRead_ = new QSocketNotifier(master, QSocketNotifier::Read, this);
    connect(ptyRead_, &QSocketNotifier::activated, this, &SimServer::onPtyReadable);
    ptyWrite_ = new QSocketNotifier(master, QSocketNotifier::Write, this);
    ptyWrite_->setEnabled(false);
    connect(ptyWrite_, &QSocketNotifier::activated, this, &SimServer::onPtyWritable);
    return true;
}

void SimServer::closePty() {
    delete ptyRead_;
    ptyRead_ = nullptr;
    delete ptyWrite_;
    ptyWrite_ = nullptr;
    if (ptyMaster_ >= 0) ::close(ptyMaster_);
    if (ptySlave_ >= 0) ::close(ptySlave_);
    ptyMaster_ = ptySlave_ = -1;
    ptyOut_.clear();
}

bool SimServer::WriteInfo(const QString& path) {
    infoPath_ = path;
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    QByteArray text;
    if (tcp_) text += "tcp=" + QByteArray::number(TcpPort()) + '\n';
    if (!ptyPath_.isEmpty()) text += "pty=" + ptyPath_.toLocal8Bit() + '\n';
    if (control_) text += "control=" + QByteArray::number(ControlPort()) + '\n';
    f.write(text);
    return f.commit();
}

// ---- VISA side ----

void SimServer::onTcpConnection() {
    while (QTcpSocket* s = tcp_->nextPendingConnection()) {
        s->setSocketOption(QAbstractSocket::LowDelayOption, 1);  // replies go out at once
        connect(s, &QTcpSocket::readyRead, this, [this, s] { onTcpReadable(s); });
        connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
    }
}

void SimServer::onTcpReadable(QTcpSocket* s) {
    while (s->canReadLine()) {
        QByteArray line = s->readLine();
        line.chop(1);
        if (line.startsWith(kCan)) clearTcp(s, line.mid(1));
        else handleLine(Side::Tcp, s, line);
        if (s->state() != QAbstractSocket::ConnectedState) return;
    }
    if (s->bytesAvailable() > kMaxLine) handleLine(Side::Tcp, s, s->readAll());
}

void SimServer::clearTcp(QTcpSocket* s, const QByteArray& number) {
    for (int i = 0; i < held_.size();) {
        if (held_[i].side == Side::Tcp && held_[i].socket == s) held_.removeAt(i);
        else ++i;
    }
    s->write(le32(0xFFFFFFFFu) + le32(number.toUInt()));
    s->flush();
}

// ---- serial side ----

void SimServer::onPtyReadable() {
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(ptyMaster_, buf, sizeof buf);
        if (n > 0) {
            // A SYN byte is a test's mark in the stream, no part of a line:
            // counted (see "LINE?") and dropped.
            for (ssize_t i = 0; i < n; ++i) {
                if (buf[i] == kSyn) ++ptySyncs_;
                else ptyIn_.append(buf[i]);
            }
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) break;  // nothing more for now
        ptyRead_->setEnabled(false);  // the line is gone: stop listening rather than spin
        break;
    }
    int lf;
    while (ptyMaster_ >= 0 && (lf = ptyIn_.indexOf('\n')) >= 0) {
        const QByteArray line = ptyIn_.left(lf);
        ptyIn_.remove(0, lf + 1);
        handleLine(Side::Serial, nullptr, line);
    }
    if (ptyIn_.size() > kMaxLine) {
        const QByteArray line = ptyIn_;
        ptyIn_.clear();
        handleLine(Side::Serial, nullptr, line);
    }
}

void SimServer::writePty(const QByteArray& bytes) {
    if (ptyMaster_ < 0) return;
    ptyOut_ += bytes;
    onPtyWritable();
}

void SimServer::onPtyWritable() {
    while (!ptyOut_.isEmpty() && ptyMaster_ >= 0) {
        const ssize_t n = ::write(ptyMaster_, ptyOut_.constData(), size_t(ptyOut_.size()));
        if (n > 0) {
            ptyOut_.remove(0, int(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        break;
    }
    if (ptyWrite_) ptyWrite_->setEnabled(!ptyOut_.isEmpty());
}

// ---- commands and replies ----

void SimServer::handleLine(Side side, QTcpSocket* s, const QByteArray& line) {
    log_ << QString::fromLatin1(line);
    reply(side, s, inst_.Handle(line));
}

void SimServer::reply(Side side, QTcpSocket* s, SimReply r) {
    if (r.kind == SimReply::None) return;
    SimFault f = fault_;
    if (fault_.after > 0) {
        --fault_.after;  // not yet: this reply goes out as it is
        f = SimFault{};
    } else if (f.kind == SimFault::Drop) {
        fault_ = SimFault{};  // once, for the next reply
    } else if (fault_.count > 0 && --fault_.count == 0) {
        fault_ = SimFault{};  // met as many replies as it was set for
    }
    int dropAfter = -1;
    if (side == Side::Serial) ptyReplyWithheld_ = f.kind == SimFault::Silent || f.kind == SimFault::Late;
    switch (f.kind) {
    case SimFault::Silent: return;
    case SimFault::Garbage: r = {SimReply::Text, garbageText()}; break;
    case SimFault::Oversize:
        if (r.kind == SimReply::Binary) r.data += QByteArray(f.amount, '\0');
        break;
    case SimFault::Drop: dropAfter = f.amount; break;
    default: break;
    }

    // What goes in front of the payload, and the payload itself.
    QByteArray head;
    QByteArray body = r.data;
    if (side == Side::Tcp) {
        if (f.kind == SimFault::Truncate) body = body.left(f.amount);
        head = le32(quint32(body.size()));
    } else {
        // On the serial line the count states the whole block; a truncated
        // reply simply stops early.
        if (r.kind == SimReply::Binary) head = le32(quint32(body.size()));
        if (f.kind == SimFault::Truncate) body = body.left(f.amount);
        if (body.size() < r.data.size()) ptyReplyWithheld_ = true;
    }

    // Replies keep the order they were asked in: one that is late holds
    // back every later reply of the same side and connection.
    const qint64 now = clock_.elapsed();
    qint64 due = f.kind == SimFault::Late ? now + f.amount : now;
    bool behind = false;
    for (const Held& h : held_)
        if (h.side == side && h.socket == s) {
            behind = true;
            due = std::max(due, h.due);
        }
    if (f.kind == SimFault::Late || behind) {
        held_.append(Held{side, s, head, body, dropAfter, due});
        releaseDue();
        return;
    }
    deliver(side, s, head, body, dropAfter);
}

void SimServer::releaseDue() {
    const qint64 now = clock_.elapsed();
    // Each connection's due times only grow, so taking every due reply in
    // the order asked keeps each connection's order.
    for (int i = 0; i < held_.size();) {
        if (held_[i].due > now) {
            ++i;
            continue;
        }
        const Held h = held_.takeAt(i);
        if (h.side == Side::Tcp && !h.socket) continue;
        deliver(h.side, h.socket, h.head, h.body, h.dropAfter);
        if (h.side == Side::Tcp && h.socket) h.socket->flush();
    }
    qint64 next = -1;
    for (const Held& h : held_) next = next < 0 ? h.due : std::min(next, h.due);
    if (next >= 0) release_->start(int(std::max<qint64>(next - now, 0)));
}

void SimServer::deliver(Side side, QTcpSocket* s, const QByteArray& head, const QByteArray& body,
                        int dropAfter) {
    const QByteArray payload = dropAfter >= 0 ? body.left(dropAfter) : body;
    if (side == Side::Tcp) {
        if (!s) return;
        s->write(head + payload);
        if (dropAfter >= 0) {
            s->flush();
            s->disconnectFromHost();
        }
        return;
    }
    writePty(head + payload);
    // The bytes reach the terminal's input queue a moment after the write.
    if (dropAfter >= 0) {
        ptyHangUpPending_ = true;
        QTimer::singleShot(50, this, [this] { hangUpWhenRead(0); });
    }
}

void SimServer::hangUpWhenRead(int tries) {
    // Hang up the line once the client has taken what was sent (a hang-up
    // discards unread input): the client's end of the old terminal reads an
    // end of file from then on, and a fresh terminal takes its place.
    int pending = 0;
    if (ptySlave_ >= 0) ::ioctl(ptySlave_, FIONREAD, &pending);
    if ((pending > 0 || !ptyOut_.isEmpty()) && tries < 100) {
        QTimer::singleShot(20, this, [this, tries] { hangUpWhenRead(tries + 1); });
        return;
    }
    closePty();
    OpenPty();
    ptyHangUpPending_ = false;
    if (!infoPath_.isEmpty()) WriteInfo(infoPath_);
}

QString SimServer::ptyLineState() const {
    if (ptyMaster_ < 0) return QStringLiteral("idle");
    // A request not yet read or handled, or reply bytes not yet sent or not
    // yet read by the client: something is on its way.
    int unread = 0, untaken = 0;
    ::ioctl(ptyMaster_, FIONREAD, &unread);
    if (ptySlave_ >= 0) ::ioctl(ptySlave_, FIONREAD, &untaken);
    if (unread > 0 || untaken > 0 || !ptyOut_.isEmpty() || ptyIn_.contains('\n') || ptyHangUpPending_)
        return QStringLiteral("busy");
    // A reply held back (late, or behind a late one) is kept back too.
    const bool held = std::any_of(held_.begin(), held_.end(), [](const Held& h) { return h.side == Side::Serial; });
    if (ptyReplyWithheld_ || held) return QStringLiteral("withheld");
    return QStringLiteral("idle");
}

// ---- control port ----

void SimServer::onControlConnection() {
    while (QTcpSocket* s = control_->nextPendingConnection()) {
        s->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
        connect(s, &QTcpSocket::readyRead, this, [this, s] {
            while (s->canReadLine()) {
                const QString line = QString::fromUtf8(s->readLine()).trimmed();
                QByteArray out;
                for (const QString& a : Control(line)) out += a.toUtf8() + '\n';
                s->write(out);
            }
        });
    }
}

QStringList SimServer::Control(const QString& line) {
    const int sp = line.indexOf(' ');
    const QString cmd = (sp < 0 ? line : line.left(sp)).toUpper();
    const QString rest = sp < 0 ? QString() : line.mid(sp + 1).trimmed();
    if (cmd == "LOG?") return QStringList(log_) << "END";
    if (cmd == "CLEARLOG") {
        log_.clear();
        return {"OK"};
    }
    if (cmd == "FAULT") {
        SimFault f;
        if (!f.Parse(rest)) return {"ERROR bad fault: " + rest, "OK"};
        fault_ = f;
        return {"OK"};
    }
    if (cmd == "SET") {
        const int k = rest.indexOf(' ');
        if (rest.isEmpty()) return {"ERROR SET needs a key", "OK"};
        inst_.Set(k < 0 ? rest : rest.left(k), k < 0 ? QString() : rest.mid(k + 1));
        return {"OK"};
    }
    if (cmd == "GET") return {inst_.Get(rest), "OK"};
    if (cmd == "LATE?") return {QString::number(held_.size()), "END"};
    if (cmd == "LINE?") return {ptyLineState() + ' ' + QString::number(ptySyncs_), "END"};
    if (cmd == "PORTS?") {
        return {"tcp=" + QString::number(TcpPort()), "pty=" + ptyPath_,
                "control=" + QString::number(ControlPort()), "END"};
    }
    return {"ERROR unknown control command: " + cmd, "OK"};
}
