#include "storage/plainFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace storage
{

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

// The save file's own buffer would hide a failed write until its commit, which does not look
// (Qt 5.15): unbuffered, each write answers for itself, and the flush to the disk is checked
// before the new file may take the old one's place.
bool replaceFile(const QString &path, const QByteArray &bytes)
{
    const QFileInfo existing(path);
    if (existing.exists() && !existing.isFile())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(bytes) != bytes.size() || !syncToDisk(file.handle())) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace storage
