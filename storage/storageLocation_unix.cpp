#include "storage/plainFile.h"
#include "storage/storageLocation.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <cerrno>

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

// The save file class would flush the file a second time after the check it does not make: the
// new file is written here, each write and the one flush checked, before it is renamed.
bool replaceFile(const QString &path, const QByteArray &bytes)
{
    const QFileInfo existing(path);
    if (existing.exists() && (!existing.isFile() || !mayWrite(path)))
        return false;
    const QString target = existing.exists() ? existing.canonicalFilePath() : path;
    struct stat old;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const mode_t mode = ::stat(QFile::encodeName(target).constData(), &old) == 0
                            ? old.st_mode & 07777
                            : 0666 & ~mask;
    QTemporaryFile file(target + QStringLiteral(".XXXXXX"));
    if (!file.open())
        return false;
    const int fd = file.handle();
    for (qint64 done = 0; done < bytes.size();) {
        const ssize_t written = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += written;
    }
    if (::fchmod(fd, mode) != 0 || ::fdatasync(fd) != 0 ||
        ::rename(QFile::encodeName(file.fileName()).constData(),
                 QFile::encodeName(target).constData()) != 0)
        return false;
    file.setAutoRemove(false);
    return true;
}

QByteArray nativeLineEnd()
{
    return "\n";
}

} // namespace storage
