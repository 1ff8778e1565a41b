#include "platform/executablePath.h"

#include <QFileInfo>

namespace platform
{

// The kernel's link names the running file, also before the application object exists (the
// layer-shell module is looked for beside the program then).
QString executablePath()
{
    return QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
}

} // namespace platform
