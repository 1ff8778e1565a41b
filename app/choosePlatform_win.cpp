#include "app/platformChoice.h"
#include "platform/win/winWindowSystem.h"

namespace app
{

// Windows has one window system.
void choosePlatform()
{
    platform::useWindowSystem(std::make_unique<platform::WinWindowSystem>());
}

} // namespace app
