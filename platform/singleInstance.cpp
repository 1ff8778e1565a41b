#include "platform/singleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

namespace platform
{

QString instanceName(const QString &key)
{
    const QByteArray hash = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha256);
    return QStringLiteral("deskMemo-") + QString::fromLatin1(hash.toHex().left(16));
}

QString noteKey(const QString &folder)
{
    const QFileInfo info(folder);
    const QString resolved = info.canonicalFilePath();
    return resolved.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : resolved;
}

} // namespace platform
