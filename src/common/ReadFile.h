#pragma once
// The readers' side of file access: only a regular file is opened.
#include <QtGlobal>

class QFile;
class QString;

// Opens `file` (its name set) read-only when it is a regular file of at most
// maxBytes. A device (/dev/zero), a named pipe or a folder is refused before
// it is opened, so a reader neither blocks nor reads without end. False when
// refused or not opened; `reason` then holds the system's reason for a file
// that could not be opened, and is left empty for one that was refused (the
// caller shows its format's message).
bool OpenRegularFile(QFile& file, qint64 maxBytes, QString* reason);
