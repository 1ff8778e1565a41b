#include "storage/plainFile.h"

#include <QFile>
#include <QFileInfo>

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

} // namespace storage
