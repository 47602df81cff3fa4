#include "Simulator.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

struct Simulator::Impl {
    QProcess proc;
    QTemporaryDir dir;
    QTcpSocket control;
    int tcpPort = 0;
    int controlPort = 0;
    QString ptyPath;
    int markFd = -1;  // the terminal the marks go to
    QString markPath;

    void closeMarkFd() {
        if (markFd >= 0) ::close(markFd);
        markFd = -1;
        markPath.clear();
    }
};

namespace {
QString simProgram() {
    const QByteArray env = qgetenv("KV2200_SIM");
    if (!env.isEmpty()) return QString::fromLocal8Bit(env);
#ifdef KV2200_SIM_PATH
    return QStringLiteral(KV2200_SIM_PATH);
#else
    return QStringLiteral("kv2200sim");
#endif
}
}  // namespace

Simulator::Simulator() : d(new Impl) {}

Simulator::~Simulator() { Stop(); }

bool Simulator::Start(const QStringList& extraArgs) {
    Stop();
    const QString info = d->dir.filePath("sim.info");
    QFile::remove(info);
    d->proc.setProgram(simProgram());
    d->proc.setArguments(QStringList{"--tcp", "0", "--pty", "--control", "0", "--info", info} +
                         extraArgs);
    d->proc.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    d->proc.start();
    if (!d->proc.waitForStarted(5000)) return false;

    // The info file appears whole once the simulator listens everywhere.
    QDeadlineTimer deadline(10000);
    while (!QFile::exists(info)) {
        if (d->proc.state() != QProcess::Running || deadline.hasExpired()) {
            Stop();
            return false;
        }
        QThread::msleep(5);
    }
    QFile f(info);
    if (!f.open(QIODevice::ReadOnly)) return false;
    for (const QByteArray& raw : f.readAll().split('\n')) {
        const QString line = QString::fromLocal8Bit(raw).trimmed();
        if (line.startsWith("tcp=")) d->tcpPort = line.mid(4).toInt();
        else if (line.startsWith("pty=")) d->ptyPath = line.mid(4);
        else if (line.startsWith("control=")) d->controlPort = line.mid(8).toInt();
    }
    d->control.connectToHost(QHostAddress::LocalHost, quint16(d->controlPort));
    if (!d->control.waitForConnected(5000)) {
        Stop();
        return false;
    }
    d->control.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    return d->tcpPort > 0 && !d->ptyPath.isEmpty();
}

void Simulator::Stop() {
    d->closeMarkFd();
    d->control.abort();
    if (d->proc.state() != QProcess::NotRunning) {
        d->proc.closeWriteChannel();  // the simulator ends when its stdin closes
        if (!d->proc.waitForFinished(2000)) {
            d->proc.kill();
            d->proc.waitForFinished(2000);
        }
    }
    d->tcpPort = d->controlPort = 0;
    d->ptyPath.clear();
}

int Simulator::TcpPort() const { return d->tcpPort; }

QString Simulator::PtyPath() const { return d->ptyPath; }

qint64 Simulator::ProcessId() const { return d->proc.processId(); }

QString Simulator::CurrentPtyPath() {
    for (const QString& line : Control("PORTS?").split('\n'))
        if (line.startsWith("pty=")) d->ptyPath = line.mid(4);
    return d->ptyPath;
}

namespace {
// The simulator's answer to "LINE?": its state word, and the count of marks
// it read (-1: no answer).
qint64 askLine(Simulator& sim, QString& state) {
    const QStringList w = sim.Control("LINE?").split(' ');
    state = w.value(0);
    return w.size() == 2 ? w[1].toLongLong() : -1;
}
}  // namespace

bool Simulator::SettleSerial(QString* state) {
    QString word;
    const qint64 marksBefore = askLine(*this, word);
    if (marksBefore < 0) return false;
    // The mark goes out behind everything written to the terminal so far; a
    // terminal that was hung up (a "drop" fault) is replaced by the current one.
    bool written = false;
    for (int attempt = 0; attempt < 2 && !written; ++attempt) {
        if (d->markFd < 0) {
            d->markPath = attempt == 0 && !d->ptyPath.isEmpty() ? d->ptyPath : CurrentPtyPath();
            d->markFd = ::open(d->markPath.toLocal8Bit().constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
            if (d->markFd < 0) continue;
        }
        const char syn = '\x16';
        ssize_t n;
        do n = ::write(d->markFd, &syn, 1);
        while (n < 0 && errno == EINTR);
        written = n == 1;
        if (!written) d->closeMarkFd();
    }
    if (!written) {  // the terminal cannot be opened here: the state as it is
        if (state) *state = word;
        return true;
    }
    // Asked until the simulator has read the mark.
    QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        const qint64 marks = askLine(*this, word);
        if (marks < 0) return false;
        if (marks > marksBefore) {
            if (state) *state = word;
            return true;
        }
        // A terminal hung up before the mark was read: the mark went with it.
        if (CurrentPtyPath() != d->markPath) {
            d->closeMarkFd();
            return SettleSerial(state);
        }
    }
    return false;
}

Simulator::SerialLine Simulator::SerialLineState() {
    QString state;
    if (!SettleSerial(&state))
        return d->control.state() == QAbstractSocket::ConnectedState ? SerialLine::Busy : SerialLine::Idle;
    if (state == "busy") return SerialLine::Busy;
    return state == "withheld" ? SerialLine::Withheld : SerialLine::Idle;
}

void Simulator::SetEnvironment() const {
    qputenv("KV2200_VISA_ALIASES",
            (AliasName() + "=TCPIP::127.0.0.1::" + QString::number(d->tcpPort) + "::SOCKET").toUtf8());
    qputenv("KV2200_COM1", d->ptyPath.toLocal8Bit());
}

QString Simulator::Control(const QString& line) {
    if (d->control.state() != QAbstractSocket::ConnectedState) return {};
    d->control.write(line.toUtf8() + '\n');
    d->control.flush();
    // Queries ("LOG?", "PORTS?") end with "END", everything else with "OK".
    const QString last = line.trimmed().section(' ', 0, 0).endsWith('?') ? "END" : "OK";
    QStringList answer;
    QDeadlineTimer deadline(10000);
    for (;;) {
        while (!d->control.canReadLine()) {
            if (deadline.hasExpired() || !d->control.waitForReadyRead(int(deadline.remainingTime())))
                return answer.join('\n');
        }
        QByteArray raw = d->control.readLine();
        raw.chop(1);
        const QString l = QString::fromUtf8(raw);
        if (l == last) break;
        answer << l;
    }
    return answer.join('\n');
}

QStringList Simulator::Log() {
    const QString text = Control("LOG?");
    // Split keeps empty entries: an empty command line is logged as such.
    return text.isEmpty() ? QStringList() : text.split('\n');
}

void Simulator::ClearLog() { Control("CLEARLOG"); }

void Simulator::SetFault(const QString& fault) {
    // Requests already written to the terminal meet the fault they were sent under.
    SettleSerial();
    Control("FAULT " + fault);
}

void Simulator::Set(const QString& key, const QString& value) { Control("SET " + key + " " + value); }

QString Simulator::Get(const QString& key) { return Control("GET " + key); }
