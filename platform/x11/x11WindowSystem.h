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
    void setKeepAbove(QWidget *window, bool above) override;
    void setInputRegion(QWidget *window, const QRegion &area) override;
    void setUpNote(QWidget *note) override;

private:
    // Tells Qt where the window manager has put `window`, each time it maps the window
    // (placeReport.cpp).
    static void reportPlaceWhenMapped(QWidget *window);
};

} // namespace platform
