#include "storage/storageLocation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace storage
{
namespace
{

// The kernel's own verdict for this process: it knows about root, access lists, read-only
// mounts and immutable files.
bool mayReadAndWrite(const QString &path)
{
    return ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), R_OK | W_OK, AT_EACCESS) == 0;
}

// A note file that refuses writing would refuse every save there, and one that refuses reading
// holds a note that was never shown: a save must not replace it unseen.
bool noteFilesAcceptWrites(const QString &directory)
{
    for (const QString &name : noteFileNames()) {
        if (QFile::exists(directory + name) && !mayReadAndWrite(directory + name))
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
    return perUserDataDirectoryFrom(qEnvironmentVariable("XDG_DATA_HOME"),
                                    qEnvironmentVariable("HOME"));
}

// The data folder of the desktop's base directories: $XDG_DATA_HOME when it is an absolute
// path, else ~/.local/share. Without a home (a service, a user whose home is "/") there is none:
// the root of the disk is nobody's data folder.
QString perUserDataDirectoryFrom(const QString &xdgDataHome, const QString &home)
{
    QString data = xdgDataHome;
    if (!QDir::isAbsolutePath(data)) {
        const QString cleanHome = QDir::cleanPath(home);
        if (home.isEmpty() || !QDir::isAbsolutePath(cleanHome) || QDir(cleanHome).isRoot())
            return QString();
        data = cleanHome + QStringLiteral("/.local/share");
    }
    return QDir::cleanPath(data) + QStringLiteral("/deskMemo/");
}

} // namespace storage
