// Fuzz target of the controller-file reader: any bytes are either refused
// (the mirror untouched) or give a mirror that writes back to a file that
// reads to the same mirror.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "common/DSOSettings.h"
#include "controller/CtrlFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const QString header = QStringLiteral("Tarvo Technologies,Inc. KV2200M Controller");
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), int(size));

    CtrlSettings mirror;
    mirror.RunStop = QStringLiteral("before");
    const CtrlSettings before = mirror;
    const CtrlFileStatus status = ParseCtrlFile(bytes, header, mirror);
    if (status != CtrlFileStatus::Ok) {
        if (mirror != before) abort();  // a refused file changed the mirror
        return 0;
    }
    CtrlSettings again;
    if (ParseCtrlFile(CtrlFileBytes(mirror, header), header, again) != CtrlFileStatus::Ok) abort();
    if (again != mirror) abort();
    return 0;
}
