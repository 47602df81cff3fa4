// Benchmark (not a test): export of an 8192-row data table (ExportDataText,
// written whole through a save file) against fwrite of the same bytes to a
// plain file in the same folder, both in the same run; best of 30 rounds.
// Prints the ratio; the bar is 8. A whole-or-nothing write syncs the file to
// disk before it replaces the old one, which on a busy disk costs more than
// the writing itself, so the ratio against fwrite followed by fdatasync is
// printed too, and a folder can be given as the first argument (e.g.
// /dev/shm, where syncing is free).
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unistd.h>

#include "common/SheetModel.h"
#include "common/ShellState.h"
#include "link/TransferJobs.h"
#include "sheets/DataTable.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir(argc > 1 ? QString::fromLocal8Bit(argv[1]) + "/dataexport-XXXXXX" : QString());
    if (!dir.isValid()) return 1;
    constexpr int Rows = 8192;
    constexpr int Rounds = 30;

    DataInfo& r = Sheets().DataViews[0];
    r.HasData = true;
    r.PointCount = Rows;
    r.Title = "CH1 1.00V  500us 100MSa  Size=8192  [Date:2026-12-09 12:00:00]";
    r.TimeTexts.clear();
    r.VoltTexts.clear();
    for (int i = 0; i <= Rows; ++i) {
        r.TimeTexts << FormatTableNumber((i - Rows / 2) * 2.0e-6);
        r.VoltTexts << FormatTableNumber(std::sin(i / 100.0) * 2.5);
    }
    const QByteArray bytes = DataExportText(r, Shell().MakerName);
    const QString exportPath = dir.filePath("export.xls");
    const QByteArray rawPath = QFile::encodeName(dir.filePath("raw.xls"));

    auto rawWrite = [&](bool sync) {
        FILE* f = std::fopen(rawPath.constData(), "wb");
        if (!f) return false;
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), f);
        std::fflush(f);
        if (sync) fdatasync(fileno(f));
        std::fclose(f);
        return true;
    };
    qint64 best[3] = {INT64_MAX, INT64_MAX, INT64_MAX};
    for (int round = 0; round < Rounds; ++round) {
        QElapsedTimer clock;
        clock.start();
        if (!ExportDataText(exportPath, 0)) return 1;
        best[0] = std::min(best[0], clock.nsecsElapsed());
        for (int sync = 0; sync < 2; ++sync) {
            clock.restart();
            if (!rawWrite(sync == 1)) return 1;
            best[1 + sync] = std::min(best[1 + sync], clock.nsecsElapsed());
        }
    }
    QFile check(exportPath);
    if (!check.open(QIODevice::ReadOnly) || check.readAll() != bytes) return 1;
    std::printf("data table export, %d rows, %lld bytes: export %.3f ms, fwrite %.3f ms\n", Rows,
                static_cast<long long>(bytes.size()), best[0] / 1e6, best[1] / 1e6);
    std::printf("export / fwrite = %.2f (bar 8)\n", double(best[0]) / double(std::max<qint64>(best[1], 1)));
    std::printf("export / (fwrite + fdatasync) = %.2f  (fwrite + fdatasync %.3f ms)\n",
                double(best[0]) / double(std::max<qint64>(best[2], 1)), best[2] / 1e6);
    return 0;
}
