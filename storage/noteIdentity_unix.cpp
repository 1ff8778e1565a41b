#include "storage/noteIdentity.h"

#include <QFile>

#include <sys/stat.h>

namespace storage
{

// A bind mount shows the same device and inode as the folder it mounts.
QString folderDiskId(const QString &folder)
{
    struct stat st;
    if (folder.isEmpty() || ::stat(QFile::encodeName(folder).constData(), &st) != 0 ||
        !S_ISDIR(st.st_mode))
        return QString();
    return QStringLiteral("dev:%1:ino:%2")
        .arg(quint64(st.st_dev), 0, 16)
        .arg(quint64(st.st_ino), 0, 16);
}

} // namespace storage
