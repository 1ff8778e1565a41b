#pragma once

#include <xcb/xcb.h>

#include <functional>

namespace platform
{

// Runs `action` each time the X server maps `window`: what a window manager only takes from a
// window it already manages is set again then. A later action for the same window and purpose
// replaces the earlier one.
void doWhenMapped(xcb_window_t window, const char *purpose, std::function<void()> action);

} // namespace platform
