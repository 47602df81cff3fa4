#pragma once
// What the export benchmarks share: an export timed against writing the same
// bytes to a plain file in the same folder, with fwrite alone and with fwrite
// followed by fdatasync (the bytes on the disk: what a user waits for, as a
// save file syncs before it replaces the old file). Rounds alternate the
// three, so that a busy disk weighs on all of them alike; each figure is its
// best round.
#include <QByteArray>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <unistd.h>

namespace bench {

struct WriteFigures {
    qint64 exportNs = INT64_MAX, fwriteNs = INT64_MAX, syncedNs = INT64_MAX;
    bool ok = true;  // every export and every plain write succeeded
    double Ratio(qint64 baseline) const { return double(exportNs) / double(std::max<qint64>(baseline, 1)); }
};

// Writes `bytes` to `path` with fwrite, then fdatasync when `sync`.
inline bool WritePlainFile(const QByteArray& path, const QByteArray& bytes, bool sync) {
    FILE* f = std::fopen(path.constData(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.constData(), 1, size_t(bytes.size()), f) == size_t(bytes.size());
    ok = std::fflush(f) == 0 && ok;
    if (sync) ok = fdatasync(fileno(f)) == 0 && ok;
    return std::fclose(f) == 0 && ok;
}

// `rounds` rounds of exportOnce() (true when it succeeded), then the plain
// write of `bytes` to `plainPath` without and with fdatasync.
template <typename Export>
WriteFigures ExportAgainstPlainWrite(int rounds, const QByteArray& bytes, const QByteArray& plainPath,
                                     Export exportOnce) {
    WriteFigures f;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer clock;
        clock.start();
        f.ok = exportOnce() && f.ok;
        f.exportNs = std::min(f.exportNs, clock.nsecsElapsed());
        for (bool sync : {false, true}) {
            clock.restart();
            f.ok = WritePlainFile(plainPath, bytes, sync) && f.ok;
            qint64& best = sync ? f.syncedNs : f.fwriteNs;
            best = std::min(best, clock.nsecsElapsed());
        }
    }
    return f;
}

}  // namespace bench
