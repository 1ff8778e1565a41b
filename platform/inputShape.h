#pragma once

#include <QtGui/qwindowdefs.h>

class QRegion;

namespace platform
{

// Lets only `area` of a top-level window take the pointer: a click anywhere else reaches
// whatever lies beneath the window. `area` is in the window's native pixels, relative to its
// top-left corner. What the window shows does not change.
void setInputShape(WId window, const QRegion &area);

} // namespace platform
