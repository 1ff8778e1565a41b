#include "platform/singleInstance.h"

#include <QCryptographicHash>

namespace platform
{

QString instanceName(const QString &key)
{
    const QByteArray hash = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha256);
    return QStringLiteral("deskMemo-") + QString::fromLatin1(hash.toHex().left(16));
}

} // namespace platform
