#include "storage/storageLocation.h"

#include "platform/executablePath.h"
#include "storage/noteIdentity.h"
#include "storage/plainFile.h"

#include <QDir>
#include <QFileInfo>

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

// Either separator, as Windows takes both; '/' from here on, with a trailing '/'. The
// extended-length forms ("\\?\C:\...", "\\?\UNC\server\...") name the same folders.
QString windowsFolder(QString folder)
{
    folder.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (folder.startsWith(QLatin1String("//?/UNC/"), Qt::CaseInsensitive))
        folder.replace(0, 8, QLatin1String("//"));
    else if (folder.startsWith(QLatin1String("//?/")))
        folder.remove(0, 4);
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

} // namespace

QString executableDirectory()
{
    const QString overridden = executablePathOverride();
    const QString path = overridden.isEmpty() ? platform::executablePath() : overridden;
    return directoryOfExecutable(path, QDir::separator());
}

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

namespace
{

// Something stands there, be it only a broken link.
bool holdsNote(const QString &folder)
{
    for (const QString &name : noteFileNames()) {
        const QFileInfo info(folder + name);
        if (info.exists() || info.isSymLink())
            return true;
    }
    return false;
}

// The note's own per-user place took over from the files beside the program, and nothing was
// saved there since.
bool perUserPlaceHoldsNote(const QString &beside, const QString &perUser)
{
    if (perUser.isEmpty() || !holdsNote(perUser))
        return false;
    QByteArray recorded;
    if (!readPlainFile(perUser + supersedesFileName(), &recorded))
        return !holdsNote(beside);
    QByteArray states;
    for (const QByteArray &line : recorded.split('\n')) {
        if (!line.startsWith('#') && !line.isEmpty())
            states += line + '\n';
    }
    return states == besideState(beside);
}

} // namespace

NotePlace locateNote()
{
    NotePlace place;
    place.beside = thisNote().programFolder;
    const ProgramFolder folder = inspectProgramFolder(place.beside);
    const QString dataFolder = perUserDataDirectory();
    const bool installed = folder.holdsInstalledPrograms && !folder.ownedByUser;
    if (!dataFolder.isEmpty())
        place.perUser = installed ? dataFolder : dataFolder + thisNote().name + QLatin1Char('/');
    const bool beside = keepsNotesBesideExecutable(folder) || place.perUser.isEmpty();
    place.home = beside ? place.beside : place.perUser;
    // An installed program's folder never holds its note.
    place.live = installed || perUserPlaceHoldsNote(place.beside, place.perUser) ? place.perUser
                                                                                 : place.beside;
    if (place.live.isEmpty())
        place.live = place.home;
    return place;
}

QString textFileName()
{
    return QStringLiteral("myText");
}

QString settingsFileName()
{
    return QStringLiteral("setInfo.ini");
}

QStringList noteFileNames()
{
    return {textFileName(), settingsFileName()};
}

QString supersedesFileName()
{
    return QStringLiteral("supersedes.txt");
}

QByteArray besideState(const QString &beside)
{
    QByteArray state;
    for (const QString &name : noteFileNames())
        state += name.toUtf8() + ' ' + fileState(beside + name) + '\n';
    return state;
}

void setExecutablePathOverride(const QString &path)
{
    executablePathOverride() = path;
}

} // namespace storage
