#include "storage/noteIdentity.h"

#include "storage/storageLocation.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

namespace storage
{
namespace
{

QString resolvedFolder(const QString &folder)
{
    const QFileInfo info(folder);
    QString resolved = info.canonicalFilePath();
    if (resolved.isEmpty())
        resolved = QDir::cleanPath(info.absoluteFilePath());
    return resolved.endsWith(QLatin1Char('/')) ? resolved : resolved + QLatin1Char('/');
}

// The folder's own name, kept readable in any script, without what a file name can't hold.
QString readablePart(const QString &resolved)
{
    QString name = QFileInfo(resolved.chopped(1)).fileName();
    for (QChar &c : name) {
        if (!c.isLetterOrNumber() && c != QLatin1Char('-') && c != QLatin1Char('_') &&
            c != QLatin1Char('.'))
            c = QLatin1Char('_');
    }
    while (name.startsWith(QLatin1Char('.')))
        name.remove(0, 1);
    name.truncate(40);
    return name.isEmpty() ? QStringLiteral("note") : name;
}

} // namespace

NoteIdentity identifyNote(const QString &programFolder)
{
    NoteIdentity identity;
    identity.programFolder = resolvedFolder(programFolder);
    const QString onDisk = folderDiskId(identity.programFolder);
    identity.key = onDisk.isEmpty() ? QStringLiteral("path:") + identity.programFolder : onDisk;
    const QByteArray digest =
        QCryptographicHash::hash(identity.key.toUtf8(), QCryptographicHash::Sha256).toHex();
    identity.name = readablePart(identity.programFolder) + QLatin1Char('-') +
                    QString::fromLatin1(digest.left(8));
    return identity;
}

const NoteIdentity &thisNote()
{
    static QString identifiedFolder;
    static NoteIdentity identity;
    const QString folder = executableDirectory();
    if (identifiedFolder != folder || identity.key.isEmpty()) {
        identity = identifyNote(folder);
        identifiedFolder = folder;
    }
    return identity;
}

} // namespace storage
