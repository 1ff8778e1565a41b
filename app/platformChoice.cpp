#include "app/platformChoice.h"

namespace app
{
namespace
{

WindowSystemKind kindOfPlatform(const QByteArray &platform)
{
    if (platform == "xcb")
        return WindowSystemKind::X11;
    if (platform == "wayland")
        return WindowSystemKind::Wayland;
    return WindowSystemKind::Qt;
}

} // namespace

PlatformChoice platformChoice(const EnvironmentReader &environment,
                              const DisplayProbe &xDisplayAnswers,
                              const std::function<bool()> &offersLayerShell)
{
    PlatformChoice choice{WindowSystemKind::X11, {}};
    if (environment("QT_XCB_GL_INTEGRATION").isEmpty())
        choice.changes.append(EnvironmentChange("QT_XCB_GL_INTEGRATION", "none"));

    const QByteArray platform = environment("QT_QPA_PLATFORM");
    const bool waylandSession = environment("XDG_SESSION_TYPE").toLower() == "wayland";
    if (!platform.isEmpty())
        choice.windowSystem = kindOfPlatform(platform);
    if (!platform.isEmpty() && choice.windowSystem != WindowSystemKind::Wayland)
        return choice;
    if (platform.isEmpty() && !waylandSession)
        return choice;

    if (offersLayerShell()) {
        choice.windowSystem = WindowSystemKind::LayerShell;
        if (platform.isEmpty())
            choice.changes.append(EnvironmentChange("QT_QPA_PLATFORM", "wayland"));
        return choice;
    }
    if (!platform.isEmpty())
        return choice;
    const QByteArray display = environment("DISPLAY");
    if (!display.isEmpty() && xDisplayAnswers(display)) {
        choice.changes.append(EnvironmentChange("QT_QPA_PLATFORM", "xcb"));
    } else if (!environment("WAYLAND_DISPLAY").isEmpty()) {
        choice.windowSystem = WindowSystemKind::Wayland;
        choice.changes.append(EnvironmentChange("QT_QPA_PLATFORM", "wayland"));
    }
    return choice;
}

QList<EnvironmentChange> scaleEnvironmentChanges(WindowSystemKind windowSystem,
                                                 const EnvironmentReader &environment,
                                                 const DisplayProbe &xDisplaySetsDpi)
{
    const QByteArray display = environment("DISPLAY");
    if (windowSystem != WindowSystemKind::X11 || display.isEmpty() ||
        !environment("QT_FONT_DPI").isEmpty() || xDisplaySetsDpi(display))
        return {};
    return {EnvironmentChange("QT_FONT_DPI", "96")};
}

} // namespace app
