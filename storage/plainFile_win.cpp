#include "storage/plainFile.h"
#include "storage/windowsPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <io.h>

namespace storage
{

// The save file's own buffer would hide a failed write until its commit, which does not look
// (Qt 5.15): unbuffered, each write answers for itself, and the flush to the disk is checked
// before the new file may take the old one's place.
bool replaceFile(const QString &path, const QByteArray &bytes, QString *why)
{
    const QFileInfo existing(path);
    if (existing.exists() && !existing.isFile()) {
        *why = QStringLiteral("%1 is no plain file").arg(existing.fileName());
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        *why = file.errorString();
        return false;
    }
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(file.handle()));
    if (file.write(bytes) != bytes.size() || handle == INVALID_HANDLE_VALUE ||
        !FlushFileBuffers(handle)) {
        *why = file.errorString().isEmpty() ? qt_error_string(int(GetLastError()))
                                            : file.errorString();
        file.cancelWriting();
        return false;
    }
    if (file.commit())
        return true;
    *why = file.errorString();
    return false;
}

QByteArray fileState(const QString &path)
{
    const std::wstring native =
        win::extendedLengthPath(QDir::toNativeSeparators(path).toStdWString());
    const HANDLE handle = CreateFileW(
        native.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return "missing";
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = GetFileInformationByHandle(handle, &info);
    CloseHandle(handle);
    if (!known)
        return "unknown";
    const auto join = [](DWORD high, DWORD low) {
        return QByteArray::number((quint64(high) << 32) | low, 16);
    };
    return join(info.nFileSizeHigh, info.nFileSizeLow) + ' ' +
           join(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime) + ' ' +
           QByteArray::number(quint64(info.dwVolumeSerialNumber), 16) + ':' +
           join(info.nFileIndexHigh, info.nFileIndexLow);
}

QByteArray nativeLineEnd()
{
    return "\r\n";
}

Qt::CaseSensitivity iniNameCase()
{
    return Qt::CaseInsensitive;
}

} // namespace storage
