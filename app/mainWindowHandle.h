#pragma once

#include <QtGui/qwindowdefs.h>

// Native handle of the note window, stored once the window is shown; the pin and unpin
// entries of the label's menu act on it.
extern WId g_mainWindowHandle;
