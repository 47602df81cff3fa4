// Fuzz target (libFuzzer): the data sheet reader on arbitrary bytes. A file
// the reader accepts must be written again as a file it accepts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "common/SheetModel.h"
#include "sheets/SheetFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Several megabytes of records: made once and reused by every input.
    static auto first = std::make_unique<SheetModelData>();
    static auto second = std::make_unique<SheetModelData>();
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data),
                                                     qsizetype(size));
    if (!ParseSheetFile(bytes, *first)) return 0;
    const QByteArray text = SheetFileText(*first, false);
    if (!ParseSheetFile(text, *second)) std::abort();
    return 0;
}
