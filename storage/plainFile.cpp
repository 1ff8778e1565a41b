#include "storage/plainFile.h"

#include "storage/storageLocation.h"
#include "storage/systemCalls.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QThread>

namespace storage
{
namespace
{

constexpr int lockPatienceMs = 2000;

// The settings library clears an abandoned lock by its owner's process id, but a save killed
// between creating the lock and writing its owner into it leaves a lock that names nobody, which
// the library would wait 30 s for. An owner writes itself in right after creating the lock, so a
// lock that still names nobody after half a second has none; it is cleared.
void clearOwnerlessLock(const QString &lockPath)
{
    QLockFile lock(lockPath);
    qint64 pid = 0;
    QString hostname, application;
    if (!QFileInfo::exists(lockPath) || lock.getLockInfo(&pid, &hostname, &application))
        return;
    lock.setStaleLockTime(500);
    if (lock.tryLock(1000))
        lock.unlock();
}

// A new file is written under a scratch name, "myText.AbC123", and renamed over the old one.
// A save cut short leaves its scratch file; under the lock no save of this note is under way.
void removeUnfinishedSaves(const QString &folder)
{
    static const QRegularExpression scratch(
        QStringLiteral("^(%1|%2)\\.[A-Za-z0-9]{6}$")
            .arg(QRegularExpression::escape(textFileName()),
                 QRegularExpression::escape(settingsFileName())));
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::NoSymLinks)) {
        if (scratch.match(name).hasMatch())
            QFile::remove(dir.filePath(name));
    }
}

} // namespace

bool isMissingOrPlainFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return true;
    return info.isFile() && info.size() <= largestStoredFile;
}

bool readPlainFile(const QString &path, QByteArray *bytes)
{
    bytes->clear();
    if (!isMissingOrPlainFile(path))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // In pieces: the size was checked, but the file may have grown since.
    for (QByteArray piece; !(piece = file.read(64 * 1024)).isEmpty();) {
        *bytes += piece;
        if (bytes->size() > largestStoredFile) {
            bytes->clear();
            return false;
        }
    }
    return true;
}

bool isInTheWay(const QString &path, QString *why)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isFile())
        return false;
    *why = QStringLiteral("%1 is no plain file; it is left as it is").arg(info.fileName());
    return true;
}

bool mayReplace(const QString &path, QString *why)
{
    const QFileInfo info(path);
    const QString name = info.fileName();
    if (!info.exists())
        return true;
    if (isInTheWay(path, why))
        return false;
    if (info.size() > largestStoredFile)
        *why = QStringLiteral("%1 is larger than 16 MB; it is left as it is").arg(name);
    else if (!info.isReadable())
        *why = QStringLiteral("%1 can't be read; it is left as it is").arg(name);
    else
        return true;
    return false;
}

bool makeFolder(const QString &folder, QString *why)
{
    if (QFileInfo(folder).isDir())
        return true;
    if (const int error = seam::injectedError(seam::Call::MakeFolder)) {
        *why = qt_error_string(error);
        return false;
    }
    if (QDir().mkpath(folder))
        return true;
    *why = QStringLiteral("the folder can't be made");
    return false;
}

FolderLock::FolderLock(const QString &folder)
{
    const QString lockPath = folder + settingsFileName() + QStringLiteral(".lock");
    const QFileInfo existing(lockPath);
    // Reading a pipe would wait for a writer forever; a folder never goes stale.
    if ((existing.exists() || existing.isSymLink()) &&
        (!existing.isFile() || existing.isSymLink())) {
        refusal = QStringLiteral("its lock %1 is no plain file").arg(existing.fileName());
        return;
    }
    clearOwnerlessLock(lockPath);
    lock = std::make_unique<QLockFile>(lockPath);
    QElapsedTimer waited;
    waited.start();
    while (!lock->tryLock(0)) {
        if (lock->error() != QLockFile::LockFailedError) {
            refusal = QStringLiteral("its lock %1 can't be made").arg(existing.fileName());
            return;
        }
        if (waited.hasExpired(lockPatienceMs)) {
            refusal =
                QStringLiteral("its lock %1 is held by another program").arg(existing.fileName());
            return;
        }
        QThread::msleep(50);
    }
    removeUnfinishedSaves(folder);
}

FolderLock::~FolderLock() = default;

bool FolderLock::isHeld(QString *why) const
{
    if (refusal.isEmpty())
        return true;
    *why = refusal;
    return false;
}

} // namespace storage
