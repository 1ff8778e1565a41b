#pragma once

#include <QChar>
#include <QString>

namespace storage
{

// The folder of an executable: everything before the last `separator`, with '/' as the only
// separator and a trailing '/'. A path without a separator yields the whole path plus '/'.
QString directoryOfExecutable(const QString &executablePath, QChar separator);

// True when a file can really be created in `directory`. The probe file is removed again.
bool isWritableDirectory(const QString &directory);

// The folder that holds the note's files: the executable's folder when it can be written,
// otherwise the per-user data folder (an installed program lives in a read-only folder).
QString storageDirectoryFor(const QString &executableDirectory);

// The storage folder of the running program.
QString storageDirectory();

// Tests give a note its own folder by pretending the executable lives there.
void setExecutablePathOverride(const QString &path);

} // namespace storage
