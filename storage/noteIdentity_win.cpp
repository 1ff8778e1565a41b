#include "storage/noteIdentity.h"

#include <QDir>

#include <windows.h>

namespace storage
{

// A folder is opened, to be asked what it is, only with backup semantics; opening it for no
// access at all needs no right to read it and shares it with everyone.
QString folderDiskId(const QString &folder)
{
    if (folder.isEmpty())
        return QString();
    const std::wstring path = QDir::toNativeSeparators(folder).toStdWString();
    const HANDLE handle =
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return QString();
    BY_HANDLE_FILE_INFORMATION info;
    const bool known = GetFileInformationByHandle(handle, &info) &&
                       (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    CloseHandle(handle);
    if (!known)
        return QString();
    const quint64 index = (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return QStringLiteral("vol:%1:idx:%2")
        .arg(quint64(info.dwVolumeSerialNumber), 0, 16)
        .arg(index, 0, 16);
}

} // namespace storage
