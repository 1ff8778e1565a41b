#include "platform/taskbar.h"

namespace platform
{

// A tool window has no taskbar button on Windows, and there is no pager.
void keepOffTaskbar(WId) {}

} // namespace platform
