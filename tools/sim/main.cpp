// kv2200sim: a simulated KV2200M oscilloscope for tests and demonstrations.
//   kv2200sim --tcp PORT --pty --control PORT --info FILE
// Port 0 takes any free port. The info file receives "tcp=", "pty=" and
// "control=" lines once everything listens.
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QStringList>

#include <csignal>
#include <cstdio>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "SimServer.h"

namespace {
void usage() {
    std::fprintf(stderr,
                 "usage: kv2200sim [--tcp PORT] [--pty] [--control PORT] [--info FILE]\n");
}

bool portArg(const QStringList& args, int& i, int& port) {
    if (i + 1 >= args.size()) return false;
    bool ok = false;
    port = args[++i].toInt(&ok);
    return ok && port >= 0 && port <= 65535;
}
}  // namespace

int main(int argc, char** argv) {
    // Die with the process that started us; a terminate request ends us at once.
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGPIPE, SIG_IGN);

    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    int tcpPort = -1, controlPort = -1;
    bool pty = false;
    QString info;
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == "--tcp") {
            if (!portArg(args, i, tcpPort)) { usage(); return 2; }
        } else if (a == "--control") {
            if (!portArg(args, i, controlPort)) { usage(); return 2; }
        } else if (a == "--pty") {
            pty = true;
        } else if (a == "--info" && i + 1 < args.size()) {
            info = args[++i];
        } else {
            usage();
            return 2;
        }
    }

    SimServer server;
    if (tcpPort >= 0 && !server.ListenTcp(quint16(tcpPort))) {
        std::fprintf(stderr, "kv2200sim: cannot listen on TCP port %d\n", tcpPort);
        return 1;
    }
    if (controlPort >= 0 && !server.ListenControl(quint16(controlPort))) {
        std::fprintf(stderr, "kv2200sim: cannot listen on control port %d\n", controlPort);
        return 1;
    }
    if (pty && !server.OpenPty()) {
        std::fprintf(stderr, "kv2200sim: cannot open a pseudo-terminal\n");
        return 1;
    }
    if (!info.isEmpty() && !server.WriteInfo(info)) {
        std::fprintf(stderr, "kv2200sim: cannot write %s\n", qPrintable(info));
        return 1;
    }

    // When started with a pipe on stdin (a test launcher), its closing ends us.
    // A terminal or /dev/null on stdin (a demo run in the background) does not.
    struct stat st{};
    if (::fstat(STDIN_FILENO, &st) == 0 && (S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode))) {
        auto* n = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, &app);
        QObject::connect(n, &QSocketNotifier::activated, &app, [n] {
            char buf[256];
            const ssize_t r = ::read(STDIN_FILENO, buf, sizeof buf);
            if (r <= 0) {
                n->setEnabled(false);
                QCoreApplication::quit();
            }
        });
    }
    return app.exec();
}
