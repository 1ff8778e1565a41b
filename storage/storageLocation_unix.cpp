#include "storage/storageLocation.h"

#include <QFile>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace storage
{

ProgramFolder inspectProgramFolder(const QString &directory)
{
    ProgramFolder folder;
    folder.holdsInstalledPrograms = isSystemProgramDirectory(directory);
    struct stat st;
    const uid_t user = ::geteuid();
    folder.ownedByUser = user != 0 && ::stat(QFile::encodeName(directory).constData(), &st) == 0 &&
                         st.st_uid == user;
    folder.writable = isWritableDirectory(directory);
    return folder;
}

bool isWritableDirectory(const QString &directory)
{
    // The kernel's own verdict for a write by this process: it knows about root, access lists,
    // read-only mounts and immutable folders.
    return ::faccessat(AT_FDCWD, QFile::encodeName(directory).constData(), W_OK | X_OK,
                       AT_EACCESS) == 0;
}

QString perUserDataDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/deskMemo/");
}

} // namespace storage
