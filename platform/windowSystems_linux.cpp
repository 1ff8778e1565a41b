#include "platform/windowSystems.h"

#include "platform/wayland/moduleLoader.h"
#include "platform/wayland/waylandWindowSystem.h"
#include "platform/wayland/windowSystemPlugin.h"
#include "platform/x11/x11WindowSystem.h"

namespace platform
{
namespace
{

WindowSystemPlugin *&layerShellModule()
{
    static WindowSystemPlugin *module = nullptr;
    return module;
}

} // namespace

bool layerShellOffered()
{
    WindowSystemPlugin *&module = layerShellModule();
    if (!module)
        module = loadLayerShellModule();
    return module && module->offered();
}

std::unique_ptr<WindowSystem> makeWindowSystem(WindowSystemKind kind)
{
    switch (kind) {
    case WindowSystemKind::X11:
        return std::make_unique<X11WindowSystem>();
    case WindowSystemKind::Wayland:
        return std::make_unique<WaylandWindowSystem>();
    case WindowSystemKind::LayerShell:
        if (layerShellModule())
            return layerShellModule()->create();
        break;
    case WindowSystemKind::Qt:
        break;
    }
    return std::make_unique<WindowSystem>();
}

} // namespace platform
