#include "app/platformChoice.h"

#include <QtGlobal>

namespace app
{

void choosePlatform()
{
    const EnvironmentReader environment = [](const char *name) {
        return qgetenv(name);
    };
    const PlatformChoice choice =
        platformChoice(environment, platform::xDisplayAnswers, platform::layerShellOffered);
    for (const EnvironmentChange &change : choice.changes)
        qputenv(change.first.constData(), change.second);
    for (const EnvironmentChange &change :
         scaleEnvironmentChanges(choice.windowSystem, environment, platform::xDisplaySetsDpi))
        qputenv(change.first.constData(), change.second);
    platform::useWindowSystem(platform::makeWindowSystem(choice.windowSystem));
}

} // namespace app
