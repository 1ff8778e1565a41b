#include "app/platformChoice.h"
#include "platform/layerShell.h"
#include "platform/xDisplay.h"

#include <QtGlobal>

namespace app
{

QList<EnvironmentChange> platformEnvironmentChanges(const EnvironmentReader &environment,
                                                    const DisplayProbe &xDisplayAnswers,
                                                    const DisplayProbe &xDisplaySetsDpi)
{
    QList<EnvironmentChange> changes;
    if (environment("QT_XCB_GL_INTEGRATION").isEmpty())
        changes.append(EnvironmentChange("QT_XCB_GL_INTEGRATION", "none"));

    const bool waylandSession = environment("XDG_SESSION_TYPE").toLower() == "wayland";
    const QByteArray display = environment("DISPLAY");
    QByteArray platform = environment("QT_QPA_PLATFORM");
    if (platform.isEmpty() && waylandSession) {
        if (!display.isEmpty() && xDisplayAnswers(display))
            platform = "xcb";
        else if (!environment("WAYLAND_DISPLAY").isEmpty())
            platform = "wayland";
        if (!platform.isEmpty())
            changes.append(EnvironmentChange("QT_QPA_PLATFORM", platform));
    }

    const bool onX11 = platform.startsWith("xcb") || (platform.isEmpty() && !waylandSession);
    if (onX11 && !display.isEmpty() && environment("QT_FONT_DPI").isEmpty() &&
        !xDisplaySetsDpi(display))
        changes.append(EnvironmentChange("QT_FONT_DPI", "96"));
    return changes;
}

bool layerShellChosen(const EnvironmentReader &environment,
                      const std::function<bool()> &offersLayerShell)
{
    const QByteArray platform = environment("QT_QPA_PLATFORM");
    const bool waylandSession = environment("XDG_SESSION_TYPE").toLower() == "wayland";
    return (platform == "wayland" || (platform.isEmpty() && waylandSession)) && offersLayerShell();
}

void choosePlatform()
{
    const EnvironmentReader environment = [](const char *name) {
        return qgetenv(name);
    };
    if (layerShellChosen(environment, platform::compositorOffersLayerShell)) {
        qputenv("QT_QPA_PLATFORM", "wayland");
        platform::useLayerShell();
        return;
    }
    const auto changes = platformEnvironmentChanges(environment, platform::xDisplayAnswers,
                                                    platform::xDisplaySetsDpi);
    for (const EnvironmentChange &change : changes)
        qputenv(change.first.constData(), change.second);
}

} // namespace app
