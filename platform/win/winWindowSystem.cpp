#include "platform/win/winWindowSystem.h"

#include "platform/win/windowsApi.h"

namespace platform
{

// Only the native z-order changes; Qt's window flags stay as they were set at start-up.
void WinWindowSystem::setKeepAbove(QWidget *window, bool above)
{
    win::setTopmost(reinterpret_cast<HWND>(window->winId()), above);
}

} // namespace platform
