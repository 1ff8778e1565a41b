#include "storage/storageLocation.h"
#include "storage/windowsPaths.h"

#include <QDir>
#include <QFileInfo>

#include <knownfolders.h>
#include <shlobj.h>

namespace storage
{
namespace
{

// The native form of a folder or file for the Win32 calls: backslashes, no trailing one (but
// "C:\"), the "\\?\" form when it is long.
std::wstring nativePath(const QString &path)
{
    QString native = QDir::toNativeSeparators(path);
    if (native.size() > 3 && native.endsWith(QLatin1Char('\\')))
        native.chop(1);
    return win::extendedLengthPath(native.toStdWString());
}

// 8.3 names (C:\PROGRA~1) in their long form, so that they compare as the folders they are.
QString longForm(const QString &path)
{
    return QString::fromStdWString(win::longPathName(nativePath(path)));
}

// Where this system keeps programs and itself, as its environment names them.
QStringList systemFoldersFromEnvironment()
{
    QStringList folders;
    for (const char *name :
         {"ProgramFiles", "ProgramFiles(x86)", "ProgramW6432", "SystemRoot", "windir"}) {
        const QString value = qEnvironmentVariable(name);
        if (!value.isEmpty())
            folders << longForm(value);
    }
    return folders;
}

// A note file beside the executable that refuses writing (read-only, or a read-only mount that
// the folder check can't see through) would refuse every save. Each file that stands there is
// opened as it is and closed at once: nothing is written or cut. A file another program holds
// for a moment is no refusal.
bool noteFilesAcceptWrites(const QString &directory)
{
    for (const QString &name : noteFileNames()) {
        const std::wstring path = nativePath(directory + name);
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        const HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        const DWORD error = handle == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
        if (win::refusesWriting(error, attributes))
            return false;
    }
    return true;
}

} // namespace

// Windows has no owner that a note could go by: an elevated run and a normal run of one user
// must find the same note, so system folders never count as the user's.
ProgramFolder inspectProgramFolder(const QString &directory)
{
    ProgramFolder folder;
    folder.holdsInstalledPrograms =
        isWindowsProgramDirectory(longForm(directory), systemFoldersFromEnvironment());
    folder.writable = isWritableDirectory(directory) && noteFilesAcceptWrites(directory);
    return folder;
}

bool isWritableDirectory(const QString &directory)
{
    // Opening the folder for adding files is checked against its access list like a real file
    // creation, and creates nothing. A read-only volume may still grant the right on paper.
    const std::wstring path = nativePath(directory);
    const HANDLE handle = CreateFileW(path.c_str(), FILE_ADD_FILE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    DWORD flags = 0;
    const bool readOnlyVolume =
        GetVolumeInformationByHandleW(handle, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0) &&
        (flags & FILE_READ_ONLY_VOLUME);
    CloseHandle(handle);
    return !readOnlyVolume;
}

// The roaming application data folder (%APPDATA%).
QString perUserDataDirectory()
{
    QString root;
    PWSTR path = nullptr;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DEFAULT, nullptr, &path)))
        root = QString::fromWCharArray(path);
    CoTaskMemFree(path);
    if (root.isEmpty())
        root = qEnvironmentVariable("APPDATA");
    return root.isEmpty() ? QString()
                          : QDir::fromNativeSeparators(root) + QStringLiteral("/deskMemo/");
}

} // namespace storage
