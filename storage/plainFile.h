#pragma once

#include <QString>

namespace storage
{

// The largest note or settings file the program opens. Anything bigger is not a note: reading
// it whole could exhaust memory or overflow a string.
constexpr qint64 largestStoredFile = 16 * 1024 * 1024;

// True when `path` names nothing, or a regular file (through any symlinks) of at most
// largestStoredFile bytes. A pipe would block the program on open, a device could be endless,
// a directory is no file: the loads treat all of them as unreadable and the saves leave them be.
bool isMissingOrPlainFile(const QString &path);

} // namespace storage
