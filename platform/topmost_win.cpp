#include "platform/topmost.h"

#include <windows.h>

namespace platform
{

// Only the native z-order changes; Qt's window flags stay as they were set at start-up.
void setKeepAbove(WId window, bool above)
{
    SetWindowPos(reinterpret_cast<HWND>(window), above ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
}

} // namespace platform
