#include "platform/executablePath.h"

#include "platform/win/windowsApi.h"

namespace platform
{

// The wide query: neither the 8-bit code page nor MAX_PATH can cut the path.
QString executablePath()
{
    return QString::fromStdWString(win::moduleFileName());
}

} // namespace platform
