#include "autostart/autostart.h"
#include "autostart/desktopEntry.h"

#include "platform/executablePath.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace autostart
{
namespace
{

// $XDG_CONFIG_HOME/autostart, ~/.config/autostart when the variable is unset.
QString autostartFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart");
}

QString entryPath()
{
    return autostartFolder() + QStringLiteral("/deskMemo.desktop");
}

} // namespace

bool enable()
{
    const QByteArray entry = desktopEntry(platform::executablePath());
    if (entry.isEmpty())
        return false;
    // Our own entry only; no other file in the folder is ever looked at.
    QFile current(entryPath());
    if (current.open(QIODevice::ReadOnly) && current.readAll() == entry)
        return true;
    current.close();

    if (!QDir().mkpath(autostartFolder()))
        return false;
    // Replaced in one step: a session never finds half an entry.
    QSaveFile file(entryPath());
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(entry);
    return file.commit();
}

void disable()
{
    QFile::remove(entryPath());
}

} // namespace autostart
