// Benchmark (not a test): the memory-waveform model on a 1 M-sample record,
// each figure against a baseline measured in the same run; best of several
// rounds.
// - zoom of the whole record (CH1, CH2 and the logic channels) to one screen
//   of points, against memcpy of the record's memory arrays (bar 3), and
//   against one read pass over the samples the zoom reads (bar 3; it writes
//   only a screen of points, while memcpy reads and writes every array whole);
// - the CSV export of 1 M points (written whole through a save file, with
//   its yields), against fwrite + fdatasync of the same bytes (bar 2), and
//   against fwrite alone. A folder can be given as the first argument.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "BenchFiles.h"
#include "common/SheetModel.h"
#include "common/Wait.h"
#include "memwave/model/MemoryWaveCsv.h"
#include "memwave/model/ZoomEngine.h"

namespace {

template <typename Run>
qint64 Best(int rounds, Run run) {
    qint64 best = INT64_MAX;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer clock;
        clock.start();
        run();
        best = std::min(best, clock.nsecsElapsed());
    }
    return std::max<qint64>(best, 1);
}

std::unique_ptr<MemWaveInfo> DeepRecord(int n) {
    auto r = std::make_unique<MemWaveInfo>();
    r->TriggerMode = "EDGE";
    r->HasCh1 = r->HasCh2 = r->HasLa = true;
    r->ScreenData.CH1Shown = r->ScreenData.CH2Shown = 1;
    r->MemoryPointCount = n;
    r->SampleRate = 1e8f;             // 10 ms of record
    r->TimePerDiv = 1e-3;             // 12 ms on the screen: all of it
    r->LaTimeValue = 1e-6;
    r->Ch1VoltsPerDiv = r->Ch1AcqVoltsPerDiv = r->ResetCopy.Ch1VoltsPerDiv = 0.5f;
    r->Ch2VoltsPerDiv = 1.0f;
    r->Ch2AcqVoltsPerDiv = r->ResetCopy.Ch2VoltsPerDiv = 2.0f;
    r->Ch2OffsetVolts = r->ResetCopy.Ch2OffsetVolts = 1.0f;
    r->Ch1Memory.resize(size_t(n) + 1);
    r->Ch2Memory.resize(size_t(n) + 1);
    r->LaMemory.resize(2 * size_t(n) + 1);
    for (int i = 0; i < n; ++i) {
        r->Ch1Memory[size_t(i)] = int16_t(125 + std::lround(90 * std::sin(i / 5000.0)) + int((int64_t(i) * 7919) % 11) - 5);
        r->Ch2Memory[size_t(i)] = int16_t(125 + ((i / 2500) % 2 ? 60 : -60));
        r->LaMemory[size_t(i)] = int16_t(i / 64);
    }
    return r;
}

// One read pass over count samples: their OR, in blocks of eight held in the
// compiler's vector type as the zoom's column loops are, so that the pass is
// one load and one OR a block in every build (a plain array of eight lanes is
// vectorised a second time at -O3 and runs more instructions).
uint16_t ReadPass(const int16_t* p, int64_t count) {
    typedef uint16_t Block __attribute__((vector_size(16)));
    Block lanes = {};
    int64_t j = 0;
    for (; j + 8 <= count; j += 8) {
        Block b;
        std::memcpy(&b, p + j, sizeof b);
        lanes |= b;
    }
    uint16_t all = 0;
    for (; j < count; ++j) all |= uint16_t(p[j]);
    for (int k = 0; k < 8; ++k) all |= lanes[k];
    return all;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    constexpr int N = 1000000;
    auto rec = DeepRecord(N);

    // P1: zoom against memcpy of the memory arrays.
    const size_t bytes = (rec->Ch1Memory.size() + rec->Ch2Memory.size() + rec->LaMemory.size()) * 2;
    std::vector<char> copy(bytes);
    const qint64 zoom = Best(50, [&] { RefreshScreenWave(*rec, ZoomAllTraces); });
    const qint64 mem = Best(50, [&] {
        char* p = copy.data();
        for (auto* v : {&rec->Ch1Memory, &rec->Ch2Memory, &rec->LaMemory}) {
            std::memcpy(p, v->data(), v->size() * 2);
            p += v->size() * 2;
        }
        asm volatile("" : : "r"(copy.data()) : "memory");
    });
    std::printf("zoom of a %d-sample record (CH1, CH2, logic) to one screen: %.3f ms; memcpy of %zu bytes: %.3f ms\n",
                N, zoom / 1e6, bytes, mem / 1e6);
    std::printf("zoom / memcpy = %.2f (bar 3)\n", double(zoom) / double(mem));
    struct Span {
        const int16_t* first;
        int64_t count;
    };
    // Both channels use CH1's window (the record is not an alternation one).
    const int64_t analogue = int64_t(rec->Ch1End) - rec->Ch1Start + 1;
    const Span spans[] = {{rec->Ch1Memory.data() + rec->Ch1Start, analogue},
                          {rec->Ch2Memory.data() + rec->Ch1Start, analogue},
                          {rec->LaMemory.data() + rec->LaStart, int64_t(rec->LaEnd) - rec->LaStart + 1}};
    int64_t readBytes = 0;
    for (const Span& s : spans) readBytes += 2 * s.count;
    const qint64 read = Best(50, [&] {
        uint16_t all = 0;
        for (const Span& s : spans) all |= ReadPass(s.first, s.count);
        asm volatile("" : : "r"(all));
    });
    std::printf("one read pass over the %lld bytes the zoom reads: %.3f ms; zoom / read pass = %.2f (bar 3)\n",
                static_cast<long long>(readBytes), read / 1e6, double(zoom) / double(read));

    // P3: CSV export against fwrite (+ fdatasync) of the same bytes.
    QTemporaryDir dir(argc > 1 ? QString::fromLocal8Bit(argv[1]) + "/memwave-XXXXXX" : QString());
    if (!dir.isValid()) return 1;
    MemoryWaveCsvSource src;
    if (MakeMemoryWaveCsvSource(*rec, src) != MemoryWaveCsvStatus::Ok) return 1;
    const QByteArray text = MemoryWaveCsvText(src);
    const QString exportPath = dir.filePath("export.csv");
    const QByteArray rawPath = QFile::encodeName(dir.filePath("raw.csv"));
    const bench::WriteFigures w = bench::ExportAgainstPlainWrite(15, text, rawPath, [&] {
        return SaveMemoryWaveCsv(exportPath, src, nullptr, {[](int) {}, [] { YieldOnce(); }});
    });
    if (qEnvironmentVariableIsSet("KV_BENCH_DETAIL")) {
        const qint64 fmt = Best(5, [&] {
            QFile null("/dev/null");
            null.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
            WriteMemoryWaveCsv(null, src);
        });
        std::printf("formatting alone: %.3f ms\n", fmt / 1e6);
    }
    QFile check(exportPath);
    if (!w.ok || !check.open(QIODevice::ReadOnly) || check.readAll() != text) {
        std::fprintf(stderr, "the export or a plain write failed, or the file is not the expected text\n");
        return 1;
    }
    std::printf("CSV export of %d points, %lld bytes: %.3f ms; fwrite %.3f ms; fwrite + fdatasync %.3f ms\n", N,
                static_cast<long long>(text.size()), w.exportNs / 1e6, w.fwriteNs / 1e6, w.syncedNs / 1e6);
    std::printf("export / (fwrite + fdatasync) = %.2f (bar 2)\n", w.Ratio(w.syncedNs));
    std::printf("export / fwrite = %.2f\n", w.Ratio(w.fwriteNs));
    return 0;
}
