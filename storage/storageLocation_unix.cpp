#include "storage/plainFile.h"
#include "storage/storageLocation.h"

#include <QFile>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace storage
{
namespace
{

bool mayWrite(const QString &path)
{
    // The kernel's own verdict for a write by this process: it knows about root, access lists,
    // read-only mounts and immutable files.
    return ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), W_OK, AT_EACCESS) == 0;
}

// A note file that refuses writing would refuse every save there.
bool noteFilesAcceptWrites(const QString &directory)
{
    for (const QString &name : noteFileNames()) {
        if (QFile::exists(directory + name) && !mayWrite(directory + name))
            return false;
    }
    return true;
}

} // namespace

ProgramFolder inspectProgramFolder(const QString &directory)
{
    ProgramFolder folder;
    folder.holdsInstalledPrograms = isSystemProgramDirectory(directory);
    struct stat st;
    const uid_t user = ::geteuid();
    folder.ownedByUser = user != 0 && ::stat(QFile::encodeName(directory).constData(), &st) == 0 &&
                         st.st_uid == user;
    folder.writable = isWritableDirectory(directory) && noteFilesAcceptWrites(directory);
    return folder;
}

bool isWritableDirectory(const QString &directory)
{
    return ::faccessat(AT_FDCWD, QFile::encodeName(directory).constData(), W_OK | X_OK,
                       AT_EACCESS) == 0;
}

QString perUserDataDirectory()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return data.isEmpty() ? QString() : data + QStringLiteral("/deskMemo/");
}

bool syncToDisk(int handle)
{
    return ::fdatasync(handle) == 0;
}

QByteArray nativeLineEnd()
{
    return "\n";
}

} // namespace storage
