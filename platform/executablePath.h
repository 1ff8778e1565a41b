#pragma once

#include <QString>

namespace platform
{

// Full path of the running executable, in the platform's own notation (backslashes on Windows),
// so the storage rule can look for the native separator. The one way the program finds itself:
// its storage, its autostart entry and its modules. It works before the application object
// exists.
QString executablePath();

} // namespace platform
