#pragma once

#include <QtGui/qwindowdefs.h>

namespace platform
{

// Puts a shown top-level window into the always-on-top band or takes it out again,
// without moving, resizing or re-creating it.
void setKeepAbove(WId window, bool above);

} // namespace platform
