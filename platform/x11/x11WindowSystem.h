#pragma once

#include "platform/windowSystem.h"

namespace platform
{

// X11: the window manager places, stacks and lists windows as the program asks it through the
// EWMH hints, and the Shape extension cuts the window's input. The methods are spread over
// this folder's files, one per concern.
class X11WindowSystem : public WindowSystem
{
public:
    void setKeepAbove(WId window, bool above) override;
    void setInputRegion(WId window, const QRegion &area) override;
    void keepOffTaskbar(WId window) override;
};

} // namespace platform
