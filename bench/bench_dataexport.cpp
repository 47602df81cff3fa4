// Benchmark (not a test): export of an 8192-row data table (ExportDataText:
// the text made, then written whole through a save file, which syncs it to
// the disk before it replaces the old file) against fwrite + fdatasync of
// the same bytes to a plain file in the same folder: the same bytes on the
// disk, what the user waits for in both. Both in the same run, rounds
// alternating, best of 150 rounds each (a sync on a shared disk waits for
// whatever else is being written; many rounds find its floor). Prints the
// ratio (bar 3) and, for information, the ratio against fwrite alone, which
// leaves the bytes in the page cache and so swings with the machine's load.
// A folder can be given as the first argument (e.g. /dev/shm, where syncing
// is free: the export's own work against a copy into memory).
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>

#include "BenchFiles.h"
#include "common/SheetModel.h"
#include "common/ShellState.h"
#include "link/TransferJobs.h"
#include "sheets/DataTable.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir(argc > 1 ? QString::fromLocal8Bit(argv[1]) + "/dataexport-XXXXXX" : QString());
    if (!dir.isValid()) return 1;
    constexpr int Rows = 8192;
    constexpr int Rounds = 150;

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
    const bench::WriteFigures w = bench::ExportAgainstPlainWrite(
        Rounds, bytes, QFile::encodeName(dir.filePath("raw.xls")), [&] { return ExportDataText(exportPath, 0); });
    QFile check(exportPath);
    if (!w.ok || !check.open(QIODevice::ReadOnly) || check.readAll() != bytes) {
        std::fprintf(stderr, "the export or a plain write failed, or the file is not the expected text\n");
        return 1;
    }
    std::printf("data table export, %d rows, %lld bytes: export %.3f ms; fwrite %.3f ms; fwrite + fdatasync %.3f ms\n",
                Rows, static_cast<long long>(bytes.size()), w.exportNs / 1e6, w.fwriteNs / 1e6, w.syncedNs / 1e6);
    std::printf("export / (fwrite + fdatasync) = %.2f (bar 3)\n", w.Ratio(w.syncedNs));
    std::printf("export / fwrite = %.2f\n", w.Ratio(w.fwriteNs));
    return 0;
}
