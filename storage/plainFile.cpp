#include "storage/plainFile.h"

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

} // namespace storage
