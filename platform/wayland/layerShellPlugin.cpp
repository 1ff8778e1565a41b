#include "platform/wayland/compositorProbe.h"
#include "platform/wayland/layerShellWindowSystem.h"
#include "platform/wayland/windowSystemPlugin.h"

#include <LayerShellQt/Shell>

namespace platform
{

// The module's entry, found by Qt's plugin loader through the interface's identifier.
class LayerShellPlugin : public QObject, public WindowSystemPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID DESKMEMO_WINDOW_SYSTEM_PLUGIN_IID)
    Q_INTERFACES(platform::WindowSystemPlugin)

public:
    bool offered() override
    {
        if (!layerShellPluginsInstalled())
            return false;
        compositor = probeCompositor();
        return compositor.layerShell;
    }

    // Qt's Wayland client puts a window that enters an output at that output's corner in its own
    // books, since a Wayland window cannot know its place; the backend places every surface
    // itself, and Qt keeps the places it is given.
    std::unique_ptr<WindowSystem> create() override
    {
        LayerShellQt::Shell::useLayerShell();
        qputenv("QT_WAYLAND_DISABLE_FIXED_POSITIONS", "1");
        return std::make_unique<LayerShellWindowSystem>(compositor.kwin);
    }

private:
    Compositor compositor;
};

} // namespace platform

#include "layerShellPlugin.moc"
