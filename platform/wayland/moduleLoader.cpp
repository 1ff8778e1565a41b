#include "platform/wayland/moduleLoader.h"
#include "platform/executablePath.h"
#include "platform/wayland/windowSystemPlugin.h"

#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>

#include <sys/stat.h>
#include <unistd.h>

namespace platform
{
namespace
{

// `stickyAllowed`: a folder that others may add names to is accepted when only an entry's owner
// may remove or rename it.
bool ownedSafely(const QString &path, uid_t user, bool stickyAllowed)
{
    struct stat status {
    };
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return false;
    if (status.st_uid != 0 && status.st_uid != user)
        return false;
    if ((status.st_mode & (S_IWGRP | S_IWOTH)) == 0)
        return true;
    return stickyAllowed && status.st_uid == 0 && (status.st_mode & S_ISVTX);
}

} // namespace

bool trustedFile(const QString &path, uid_t user)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (canonical.isEmpty() || !QFileInfo(canonical).isFile() ||
        !ownedSafely(canonical, user, false))
        return false;
    // Qt's loader also tries other names beside the file (a ".avx2" twin on such processors):
    // nobody else may add names to the module's own folder.
    QDir folder = QFileInfo(canonical).dir();
    if (!ownedSafely(folder.path(), user, false))
        return false;
    for (folder.cdUp();; folder.cdUp()) {
        if (!ownedSafely(folder.path(), user, true))
            return false;
        if (folder.isRoot())
            return true;
    }
}

WindowSystemPlugin *loadModule(const QString &path)
{
    const QString file = QFileInfo(path).canonicalFilePath();
    if (file.isEmpty() || !trustedFile(file, ::geteuid()))
        return nullptr;
    QPluginLoader loader(file);
    return qobject_cast<WindowSystemPlugin *>(loader.instance());
}

WindowSystemPlugin *loadLayerShellModule()
{
    const QString program = executablePath();
    const QString name = QLatin1String(DESKMEMO_LAYER_SHELL_MODULE);
    for (const QString &folder :
         {QFileInfo(program).absolutePath(), QString::fromUtf8(DESKMEMO_MODULE_DIR)}) {
        const QString path = folder + QLatin1Char('/') + name;
        if (QFileInfo::exists(path))
            return loadModule(path);
    }
    return nullptr;
}

} // namespace platform
