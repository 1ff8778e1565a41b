#include "platform/executablePath.h"

#include <windows.h>

#include <vector>

namespace platform
{

// The wide query with a growing buffer: neither the 8-bit code page nor MAX_PATH can cut the path.
QString executablePath()
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return QString();
        if (length < buffer.size())
            return QString::fromWCharArray(buffer.data(), static_cast<int>(length));
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace platform
