#include "platform/inputShape.h"

namespace platform
{

// A translucent top-level window is a layered window on Windows, and the system already passes
// every click on one of its fully transparent pixels to the window beneath.
void setInputShape(WId, const QRegion &) {}

} // namespace platform
