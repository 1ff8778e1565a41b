#pragma once

#include <QString>

namespace platform
{

// Full path of the running executable, in the platform's own notation
// (backslashes on Windows), so the storage rule can look for the native separator.
QString executablePath();

} // namespace platform
