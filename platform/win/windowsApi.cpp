#include "platform/win/windowsApi.h"

namespace platform
{
namespace win
{

std::wstring moduleFileName(HMODULE module)
{
    // Far beyond any path the system can hand out; only a bound for the loop.
    const size_t limit = 1 << 16;
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(module, &buffer[0], static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return std::wstring();
        // A path that fills the buffer completely may have been cut: ask again with more room.
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        if (buffer.size() >= limit)
            return std::wstring();
        buffer.resize(buffer.size() * 2);
    }
}

void setTopmost(HWND window, bool above)
{
    SetWindowPos(window, above ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
}

} // namespace win
} // namespace platform
