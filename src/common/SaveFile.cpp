#include "SaveFile.h"

#include <QCoreApplication>
#include <QSaveFile>
#include <csignal>

namespace {
QString fallbackReason() {
    return QCoreApplication::translate("SaveFile", "The file could not be written.");
}

// The device's reason when it recorded one, else a plain one.
QString reasonOf(const QFileDevice& f) {
    return f.error() != QFileDevice::NoError ? f.errorString() : fallbackReason();
}
}  // namespace

void IgnoreFileSizeSignal() { std::signal(SIGXFSZ, SIG_IGN); }

bool WriteAllTo(QIODevice& device, const char* data, qint64 size) {
    qint64 done = 0;
    while (done < size) {
        const qint64 n = device.write(data + done, size - done);
        if (n <= 0) return false;
        done += n;
    }
    return true;
}

bool SaveFileWhole(const QString& path, const std::function<bool(QIODevice&)>& write,
                   QString* error) {
    auto fail = [error](const QString& why) {
        if (error) *error = why.isEmpty() ? fallbackReason() : why;
        return false;
    };
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return fail(reasonOf(f));
    const bool wrote = write(f);
    if (!wrote || f.error() != QFileDevice::NoError) {
        const QString why = reasonOf(f);
        f.cancelWriting();
        return fail(why);
    }
    if (!f.commit()) return fail(reasonOf(f));
    return true;
}

bool SaveFileWhole(const QString& path, const QByteArray& bytes, QString* error) {
    return SaveFileWhole(
        path, [&bytes](QIODevice& d) { return WriteAllTo(d, bytes); }, error);
}
