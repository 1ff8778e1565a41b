#include "platform/termination.h"

namespace platform
{

// The end of the session reaches a Windows program as WM_QUERYENDSESSION and WM_ENDSESSION,
// which Qt turns into QGuiApplication::commitDataRequest; a program without a console receives
// no console control events. So there is nothing more to catch.
void onTerminationRequest(QObject *, std::function<void()>) {}

} // namespace platform
