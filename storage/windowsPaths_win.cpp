#include "storage/windowsPaths.h"

#include <vector>

namespace storage
{
namespace win
{
namespace
{

const std::wstring extendedPrefix = L"\\\\?\\";

} // namespace

std::wstring extendedLengthPath(const std::wstring &path)
{
    if (path.size() < 248 || path.compare(0, extendedPrefix.size(), extendedPrefix) == 0)
        return path;
    if (path.compare(0, 2, L"\\\\") == 0)
        return extendedPrefix + L"UNC\\" + path.substr(2);
    return extendedPrefix + path;
}

std::wstring longPathName(const std::wstring &path)
{
    std::vector<wchar_t> buffer(path.size() + 1);
    for (;;) {
        const DWORD length =
            GetLongPathNameW(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return path;
        if (length < buffer.size())
            return std::wstring(buffer.data(), length);
        buffer.resize(length);
    }
}

bool refusesWriting(DWORD openError, DWORD attributes)
{
    return (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) ||
           openError == ERROR_ACCESS_DENIED;
}

} // namespace win
} // namespace storage
