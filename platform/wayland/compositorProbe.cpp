#include "platform/wayland/compositorProbe.h"

#include <QDir>
#include <QLibraryInfo>

#include <wayland-client.h>

#include <cstring>

namespace platform
{
namespace
{

void noteGlobal(void *data, wl_registry *, uint32_t, const char *interface, uint32_t)
{
    auto *compositor = static_cast<Compositor *>(data);
    if (std::strcmp(interface, "zwlr_layer_shell_v1") == 0)
        compositor->layerShell = true;
    else if (std::strcmp(interface, "org_kde_plasma_shell") == 0)
        compositor->kwin = true;
}

void noteGlobalRemoved(void *, wl_registry *, uint32_t) {}

bool qtPluginInstalled(const char *path)
{
    return QDir(QLibraryInfo::location(QLibraryInfo::PluginsPath)).exists(QLatin1String(path));
}

} // namespace

Compositor probeCompositor()
{
    Compositor compositor;
    wl_display *display = wl_display_connect(nullptr);
    if (!display)
        return compositor;
    static const wl_registry_listener listener{noteGlobal, noteGlobalRemoved};
    wl_registry *registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &listener, &compositor);
    if (wl_display_roundtrip(display) < 0)
        compositor = Compositor();
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return compositor;
}

bool layerShellPluginsInstalled()
{
    return qtPluginInstalled("platforms/libqwayland-generic.so") &&
           qtPluginInstalled("wayland-shell-integration/liblayer-shell.so");
}

} // namespace platform
