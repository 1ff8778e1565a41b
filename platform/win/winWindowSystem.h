#pragma once

#include "platform/windowSystem.h"

namespace platform
{

// Windows places windows where the program asks. A translucent top-level window is a layered
// window, and the system already passes every click on one of its fully transparent pixels to
// the window beneath; a tool window has no taskbar button, and there is no pager. Only the
// topmost band needs a call of its own.
class WinWindowSystem : public WindowSystem
{
public:
    void setKeepAbove(QWidget *window, bool above) override;
};

} // namespace platform
