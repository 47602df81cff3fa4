#include "common/ReadFile.h"

#include <QFile>
#include <QFileInfo>

bool OpenRegularFile(QFile& file, qint64 maxBytes, QString* reason) {
    const QFileInfo info(file.fileName());
    if (info.exists() && (!info.isFile() || info.size() > maxBytes)) return false;
    if (!file.open(QIODevice::ReadOnly)) {
        if (reason) *reason = file.errorString();
        return false;
    }
    if (file.isSequential() || file.size() > maxBytes) {
        file.close();
        return false;
    }
    return true;
}
