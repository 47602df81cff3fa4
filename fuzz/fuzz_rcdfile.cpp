// Fuzz target (libFuzzer): the record file reader on arbitrary bytes. A file
// it accepts must hold every frame it counts, with samples 0..199 only.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "common/SheetModel.h"
#include "replay/model/RecordFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    RecordContent content;
    if (ParseRecordFile(bytes, content) != RecordError::None) return 0;
    RecordInfo r;
    CommitRecordContent(r, std::move(content), QString());
    if (r.FrameCount < 1 || RecordFramesHeld(r) < r.FrameCount) std::abort();
    for (int16_t s : r.Samples)
        if (s < 0 || s > 199) std::abort();
    return 0;
}
