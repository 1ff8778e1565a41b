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

// True for the folders that hold installed programs (/usr/..., /bin/, /sbin/, /opt/..., and
// the folder `cmake --install` puts the program in). A note never keeps its files there, even
// when it could write there, as root can: they belong to the user, not to the system.
bool isSystemProgramDirectory(const QString &directory);

// The folder that holds the note's files: the executable's folder when it can be written and is
// no system program folder, otherwise the per-user data folder (an installed program).
QString storageDirectoryFor(const QString &executableDirectory);

// The storage folder of the running program.
QString storageDirectory();

// Tests give a note its own folder by pretending the executable lives there.
void setExecutablePathOverride(const QString &path);

} // namespace storage
