#include "storage/plainFile.h"
#include "storage/systemCalls.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace storage
{
namespace
{

// Each call fails as the system would when a test asks it to.
bool failsOnPurpose(seam::Call call)
{
    const int error = seam::injectedError(call);
    if (error != 0)
        errno = error;
    return error != 0;
}

bool writeAll(int fd, const QByteArray &bytes)
{
    for (qint64 done = 0; done < bytes.size();) {
        const ssize_t written =
            failsOnPurpose(seam::Call::Write)
                ? -1
                : ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = ENOSPC;
            return false;
        }
        done += written;
    }
    return true;
}

bool syncData(int fd)
{
    return !failsOnPurpose(seam::Call::SyncFile) && ::fdatasync(fd) == 0;
}

bool renameOver(const QString &from, const QString &to)
{
    return !failsOnPurpose(seam::Call::Rename) &&
           ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

// The rename is an entry in the folder: until the folder reaches the disk, a power cut can bring
// back the old file. A file system that can't flush a folder (it says EINVAL) keeps its entries
// by other means.
bool syncFolderOf(const QString &path)
{
    const int fd = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced =
        !failsOnPurpose(seam::Call::SyncFolder) && (::fsync(fd) == 0 || errno == EINVAL);
    const int error = errno;
    ::close(fd);
    errno = error;
    return synced;
}

bool mayWrite(const QString &path)
{
    // The kernel's own verdict for a write by this process: it knows about root, access lists,
    // read-only mounts and immutable files.
    return ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), W_OK, AT_EACCESS) == 0;
}

bool failWith(QString *why, int error)
{
    *why = qt_error_string(error);
    return false;
}

} // namespace

// The save file class would flush the file a second time after the check it does not make: the
// new file is written here, each write and the one flush checked, before it is renamed.
bool replaceFile(const QString &path, const QByteArray &bytes, QString *why)
{
    const QFileInfo existing(path);
    if (existing.exists() && !existing.isFile()) {
        *why = QStringLiteral("%1 is no plain file").arg(existing.fileName());
        return false;
    }
    if (existing.exists() && !mayWrite(path))
        return failWith(why, errno);
    const QString target = existing.exists() ? existing.canonicalFilePath() : path;
    struct stat old;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const mode_t mode = ::stat(QFile::encodeName(target).constData(), &old) == 0
                            ? old.st_mode & 07777
                            : 0666 & ~mask;
    QTemporaryFile file(target + QStringLiteral(".XXXXXX"));
    if (!file.open()) {
        *why = file.errorString();
        return false;
    }
    const int fd = file.handle();
    if (!writeAll(fd, bytes) || ::fchmod(fd, mode) != 0 || !syncData(fd) ||
        !renameOver(file.fileName(), target))
        return failWith(why, errno);
    file.setAutoRemove(false);
    return syncFolderOf(target) || failWith(why, errno);
}

QByteArray fileState(const QString &path)
{
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return "missing";
    return QByteArray::number(qint64(st.st_size)) + ' ' +
           QByteArray::number(qint64(st.st_mtim.tv_sec)) + '.' +
           QByteArray::number(qint64(st.st_mtim.tv_nsec)) + ' ' +
           QByteArray::number(quint64(st.st_dev), 16) + ':' +
           QByteArray::number(quint64(st.st_ino), 16);
}

QByteArray nativeLineEnd()
{
    return "\n";
}

Qt::CaseSensitivity iniNameCase()
{
    return Qt::CaseSensitive;
}

} // namespace storage
