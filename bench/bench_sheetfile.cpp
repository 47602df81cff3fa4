// Benchmark (not a test): a full data sheet (16 Wave views with every trace,
// 16 Measure views, 16 Data views of 8192 rows, 4 Record views and 3 Memory
// Wave views with their stored blocks) written with WriteDataSheet and read
// back with ReadDataSheet, against fwrite of the same bytes to a file in the
// same folder, all in one run. Prints (write + read) / fwrite; the bar is 10.
// A save is whole or nothing: the file is synced to disk before it replaces
// the old one, which on a disk costs more than the writing itself. So the
// bench also prints the ratio against fwrite followed by fdatasync, and a
// folder can be given as the first argument (e.g. /dev/shm, where syncing
// is free).
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <unistd.h>

#include "SheetSamples.h"
#include "common/ReadFile.h"
#include "common/SheetModel.h"
#include "common/ShellState.h"
#include "link/Messages.h"
#include "link/Vocabulary.h"
#include "platform/dialogs/MsgBox.h"
#include "sheets/SheetFile.h"

namespace {

qint64 Nanos(const std::function<void()>& f) {
    QElapsedTimer clock;
    clock.start();
    f();
    return clock.nsecsElapsed();
}

}  // namespace

int main(int argc, char** argv) {
    WatchMappedFileReads();  // as the application reads files
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    LoadValueWords(LangEnglish);
    LoadMessages(LangEnglish);
    MsgBoxService::SetAnswerer([](const ShownMessage& m) {
        std::fprintf(stderr, "message: %s\n", qPrintable(m.text));
        return int(vbOK);
    });
    QTemporaryDir dir(argc > 1 ? QString::fromLocal8Bit(argv[1]) + "/sheetbench-XXXXXX" : QString());
    if (!dir.isValid()) return 1;
    const QString path = dir.filePath("full.vls");
    const QByteArray rawPath = QFile::encodeName(dir.filePath("raw.vls"));

    SheetSamples::FillFull(Sheets());
    // The sample holds replay fields that the reader bounds when it commits a
    // sheet: one round trip first, so that what is compared is what reads back.
    if (!WriteDataSheet(path) || !ReadDataSheet(path)) return 1;
    const QByteArray text = SheetFileText(Sheets(), false);

    const int rounds = 10;
    qint64 best[4] = {INT64_MAX, INT64_MAX, INT64_MAX, INT64_MAX};
    bool ok = true;
    for (int r = 0; r < rounds; ++r) {
        best[0] = std::min(best[0], Nanos([&] {
            std::FILE* f = std::fopen(rawPath.constData(), "wb");
            if (!f) return;
            std::fwrite(text.constData(), 1, size_t(text.size()), f);
            std::fclose(f);
        }));
        best[3] = std::min(best[3], Nanos([&] {
            std::FILE* f = std::fopen(rawPath.constData(), "wb");
            if (!f) return;
            std::fwrite(text.constData(), 1, size_t(text.size()), f);
            std::fflush(f);
            fdatasync(fileno(f));
            std::fclose(f);
        }));
        best[1] = std::min(best[1], Nanos([&] { ok = WriteDataSheet(path) && ok; }));
        best[2] = std::min(best[2], Nanos([&] { ok = ReadDataSheet(path) && ok; }));
    }
    if (!ok || SheetFileText(Sheets(), false) != text) {
        std::fprintf(stderr, "the sheet did not read back as written\n");
        return 1;
    }
    const double ms = 1e-6;
    if (qEnvironmentVariableIsSet("KV_BENCH_PARTS")) {
        auto scratch = std::make_unique<SheetModelData>(Sheets());
        std::printf("text %.1f ms, parse %.1f ms, copy %.1f ms\n",
                    Nanos([&] { SheetFileText(Sheets(), false); }) * ms,
                    Nanos([&] { ParseSheetFile(text, *scratch); }) * ms,
                    Nanos([&] { auto c = std::make_unique<SheetModelData>(Sheets()); }) * ms);
    }
    std::printf("full sheet %.1f MB: fwrite %.1f ms, WriteDataSheet %.1f ms, ReadDataSheet %.1f ms\n",
                text.size() / 1e6, best[0] * ms, best[1] * ms, best[2] * ms);
    std::printf("(write + read) / fwrite = %.2f  (bar 10)\n", double(best[1] + best[2]) / double(best[0]));
    std::printf("(write + read) / (fwrite + fdatasync) = %.2f  (fwrite + fdatasync %.1f ms)\n",
                double(best[1] + best[2]) / double(best[3]), best[3] * ms);
    return 0;
}
