// Fuzz target (libFuzzer): the deep-memory waveform reader on arbitrary
// bytes. A file the reader accepts is committed into a view record, zoomed
// (all traces, then each channel) and its text export begun.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "common/SheetModel.h"
#include "memwave/model/MemoryWaveCsv.h"
#include "memwave/model/WaveformFile.h"
#include "memwave/model/ZoomEngine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto record = std::make_unique<MemWaveInfo>();
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    WaveformFileData parsed;
    if (ParseWaveformFile(bytes, parsed) != WaveformReadStatus::Ok) return 0;
    // Blocks the reader kept lie wholly inside the file.
    if (parsed.Ch1Memory.size() > size + 1 || parsed.Ch2Memory.size() > size + 1) std::abort();
    CommitWaveformFile(*record, std::move(parsed), "fuzz.wfm");
    RefreshScreenWave(*record, ZoomAllTraces);
    RefreshScreenWave(*record, ZoomCh1);
    RefreshScreenWave(*record, ZoomCh2);
    const int la = LaCurrentChannel(*record);
    if (la < -1 || la > 15) std::abort();
    MemoryWaveCsvSource source;
    if (MakeMemoryWaveCsvSource(*record, source) == MemoryWaveCsvStatus::Ok) {
        QByteArray text = MemoryWaveCsvHeader(source);
        for (int64_t i = 0; i < source.Lines && i < 64; ++i) AppendMemoryWaveCsvLine(text, source, i);
        if (source.Lines > 0) AppendMemoryWaveCsvLine(text, source, source.Lines - 1);
    }
    return 0;
}
