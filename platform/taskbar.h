#pragma once

#include <QtGui/qwindowdefs.h>

namespace platform
{

// Keeps a top-level window out of the taskbar and out of the pager (the desktop switcher).
// Call once the native window exists and before it is first shown; the window keeps this
// through pin and release.
void keepOffTaskbar(WId window);

} // namespace platform
