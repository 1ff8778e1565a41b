#include "platform/executablePath.h"

#include <QCoreApplication>

namespace platform
{

QString executablePath()
{
    return QCoreApplication::applicationFilePath();
}

} // namespace platform
