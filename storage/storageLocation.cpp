#include "storage/storageLocation.h"

#include "platform/executablePath.h"
#include "storage/plainFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
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

QString executableDirectory()
{
    const QString overridden = executablePathOverride();
    const QString path = overridden.isEmpty() ? platform::executablePath() : overridden;
    return directoryOfExecutable(path, QDir::separator());
}

// Either separator, as Windows takes both; '/' from here on, with a trailing '/'.
QString windowsFolder(QString folder)
{
    folder.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

// Something stands there, be it only a broken link: the storage folder's own entry always wins.
bool isTaken(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// Byte for byte, replaced in one step; only plain files of a sane size are taken.
bool copyNoteFile(const QString &from, const QString &to)
{
    if (!isMissingOrPlainFile(from))
        return false;
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return false;
    QSaveFile target(to);
    if (!target.open(QIODevice::WriteOnly))
        return false;
    target.write(source.read(largestStoredFile));
    return target.commit();
}

// Only a real file creation tells for sure: some systems grant the right to add files on paper
// and refuse the file itself (a read-only mount seen through a compatibility layer).
bool acceptsNewFile(const QString &directory)
{
    QTemporaryFile probe(directory + QStringLiteral(".deskMemo-probe-XXXXXX"));
    return probe.open();
}

} // namespace

QString directoryOfExecutable(const QString &executablePath, QChar separator)
{
    const int index = executablePath.lastIndexOf(separator);
    QString directory = executablePath.mid(0, index);
    directory.replace(separator, QLatin1Char('/'));
    return directory + QLatin1Char('/');
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

bool isWindowsProgramDirectory(const QString &directory, const QStringList &systemFolders)
{
    const QString path = windowsFolder(directory);
    // "X:/Program Files/" and "X:/Program Files (x86)/" on any drive.
    const int slash = path.indexOf(QLatin1Char('/'));
    if (slash == 2 && path.at(1) == QLatin1Char(':')) {
        const QString top = path.mid(3, path.indexOf(QLatin1Char('/'), 3) - 3);
        if (top.compare(QLatin1String("Program Files"), Qt::CaseInsensitive) == 0 ||
            top.compare(QLatin1String("Program Files (x86)"), Qt::CaseInsensitive) == 0)
            return true;
    }
    for (const QString &folder : systemFolders) {
        if (!folder.trimmed().isEmpty() &&
            path.startsWith(windowsFolder(folder.trimmed()), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

bool keepsNotesBesideExecutable(const ProgramFolder &folder)
{
    return folder.writable && (!folder.holdsInstalledPrograms || folder.ownedByUser);
}

QString storageDirectoryFor(const QString &executableDirectory, const ProgramFolder &folder)
{
    return keepsNotesBesideExecutable(folder) ? executableDirectory : perUserDataDirectory();
}

QString storageDirectoryFor(const QString &executableDirectory)
{
    return storageDirectoryFor(executableDirectory, inspectProgramFolder(executableDirectory));
}

QString storageDirectory()
{
    return storageDirectoryFor(executableDirectory());
}

QString fileToRead(const QString &storageDirectory, const QString &name)
{
    const QString kept = storageDirectory + name;
    if (isTaken(kept))
        return kept;
    const QString otherDirectory =
        storageDirectory == executableDirectory() ? perUserDataDirectory() : executableDirectory();
    return isTaken(otherDirectory + name) ? otherDirectory + name : kept;
}

bool prepareForSave(const QString &storageDirectory)
{
    const QString besideDirectory = executableDirectory();
    if (storageDirectory == besideDirectory)
        return true;
    if (!QDir().mkpath(storageDirectory))
        return false;
    for (const QString &name : noteFileNames()) {
        const QString kept = storageDirectory + name;
        const QString beside = besideDirectory + name;
        if (!isTaken(kept) && QFileInfo::exists(beside))
            copyNoteFile(beside, kept);
    }
    return true;
}

QString directoryAfterFailedSave(const QString &storageDirectory)
{
    if (storageDirectory != executableDirectory() || acceptsNewFile(storageDirectory))
        return storageDirectory;
    return perUserDataDirectory();
}

QStringList noteFileNames()
{
    return {QStringLiteral("myText"), QStringLiteral("setInfo.ini")};
}

void setExecutablePathOverride(const QString &path)
{
    executablePathOverride() = path;
}

} // namespace storage
