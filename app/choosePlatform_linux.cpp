#include "app/platformChoice.h"
#include "platform/wayland/moduleLoader.h"
#include "platform/wayland/waylandWindowSystem.h"
#include "platform/wayland/windowSystemPlugin.h"
#include "platform/x11/x11WindowSystem.h"
#include "platform/x11/xDisplay.h"

#include <QtGlobal>

namespace app
{
namespace
{

std::unique_ptr<platform::WindowSystem> makeWindowSystem(WindowSystemKind kind,
                                                         platform::WindowSystemPlugin *layerShell)
{
    switch (kind) {
    case WindowSystemKind::X11:
        return std::make_unique<platform::X11WindowSystem>();
    case WindowSystemKind::Wayland:
        return std::make_unique<platform::WaylandWindowSystem>();
    case WindowSystemKind::LayerShell:
        return layerShell->create();
    case WindowSystemKind::Qt:
        break;
    }
    return std::make_unique<platform::WindowSystem>();
}

} // namespace

// The layer-shell module is loaded only when a Wayland session asks whether the compositor
// offers layer shell: an X11 start never loads it, nor the Wayland libraries it brings.
void choosePlatform()
{
    platform::WindowSystemPlugin *layerShell = nullptr;
    const auto offersLayerShell = [&layerShell] {
        layerShell = platform::loadLayerShellModule();
        return layerShell && layerShell->offered();
    };
    const EnvironmentReader environment = [](const char *name) {
        return qgetenv(name);
    };
    const PlatformChoice choice =
        platformChoice(environment, platform::xDisplayAnswers, offersLayerShell);
    for (const EnvironmentChange &change : choice.changes)
        qputenv(change.first.constData(), change.second);
    for (const EnvironmentChange &change :
         scaleEnvironmentChanges(choice.windowSystem, environment, platform::xDisplaySetsDpi))
        qputenv(change.first.constData(), change.second);
    platform::useWindowSystem(makeWindowSystem(choice.windowSystem, layerShell));
}

} // namespace app
