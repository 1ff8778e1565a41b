#pragma once

#include <QString>

namespace platform
{

// Full path of the running executable, in the platform's own notation (backslashes on Windows),
// so the storage rule can look for the native separator. The one way the program finds itself:
// its storage, its autostart entry and its modules (the Windows autostart code, which is free of
// Qt, asks the same wide query directly). It works before the application object exists.
QString executablePath();

} // namespace platform
