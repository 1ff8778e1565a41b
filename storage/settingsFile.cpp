#include "storage/settingsFile.h"

#include "storage/plainFile.h"

#include <QFileInfo>

namespace storage
{

SetInfo readSetInfo(const QString &path)
{
    QByteArray content;
    readPlainFile(path, &content);
    return parseSetInfo(content);
}

// A file too big to be a settings file holds no settings of the note's: it gives way to one
// with the six keys.
bool writeSetInfo(const QString &path, const SetInfo &info, const QString &basePath, QString *why)
{
    QString reason;
    // Other programs that keep groups of their own in the file save under the same lock.
    const FolderLock lock(QFileInfo(path).absolutePath() + QLatin1Char('/'));
    bool written = lock.isHeld(&reason);
    if (written) {
        QByteArray content;
        readPlainFile(basePath.isEmpty() ? path : basePath, &content);
        written = replaceFile(path, withSetInfo(content, info), &reason);
    }
    if (why)
        *why = reason;
    return written;
}

} // namespace storage
