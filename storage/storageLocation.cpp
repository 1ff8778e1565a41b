#include "storage/storageLocation.h"

#include "platform/executablePath.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>

// The build passes the folder `cmake --install` puts the program in.
#ifndef DESKMEMO_INSTALL_BINDIR
#define DESKMEMO_INSTALL_BINDIR "/usr/local/bin"
#endif

namespace storage
{
namespace
{

QString &executablePathOverride()
{
    static QString path;
    return path;
}

QString perUserDataDirectory()
{
    const QString directory = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(directory);
    return QDir::fromNativeSeparators(directory) + QLatin1Char('/');
}

} // namespace

QString directoryOfExecutable(const QString &executablePath, QChar separator)
{
    const int index = executablePath.lastIndexOf(separator);
    QString directory = executablePath.mid(0, index);
    directory.replace(separator, QLatin1Char('/'));
    return directory + QLatin1Char('/');
}

bool isWritableDirectory(const QString &directory)
{
    // Permission bits say nothing for root or on a read-only mount; creating a file does.
    QTemporaryFile probe(directory + QStringLiteral(".deskMemo-probe-XXXXXX"));
    return probe.open();
}

bool isSystemProgramDirectory(const QString &directory)
{
    static const char *const systemFolders[] = {"/usr/", "/bin/",  "/sbin/",
                                                "/opt/", "/snap/", DESKMEMO_INSTALL_BINDIR "/"};
    for (const char *folder : systemFolders) {
        if (directory.startsWith(QString::fromUtf8(folder)))
            return true;
    }
    return false;
}

QString storageDirectoryFor(const QString &executableDirectory)
{
    if (!isSystemProgramDirectory(executableDirectory) && isWritableDirectory(executableDirectory))
        return executableDirectory;
    return perUserDataDirectory();
}

QString storageDirectory()
{
    const QString overridden = executablePathOverride();
    const QString path = overridden.isEmpty() ? platform::executablePath() : overridden;
    return storageDirectoryFor(directoryOfExecutable(path, QDir::separator()));
}

void setExecutablePathOverride(const QString &path)
{
    executablePathOverride() = path;
}

} // namespace storage
