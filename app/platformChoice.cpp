#include "app/platformChoice.h"
#include "platform/layerShell.h"
#include "platform/xDisplay.h"

#include <QtGlobal>

namespace app
{

QList<EnvironmentChange> platformEnvironmentChanges(const EnvironmentReader &environment,
                                                    const DisplayProbe &xDisplayAnswers)
{
    QList<EnvironmentChange> changes;
    if (environment("QT_XCB_GL_INTEGRATION").isEmpty())
        changes.append(EnvironmentChange("QT_XCB_GL_INTEGRATION", "none"));

    const bool waylandSession = environment("XDG_SESSION_TYPE").toLower() == "wayland";
    if (!environment("QT_QPA_PLATFORM").isEmpty() || !waylandSession)
        return changes;
    const QByteArray display = environment("DISPLAY");
    if (!display.isEmpty() && xDisplayAnswers(display))
        changes.append(EnvironmentChange("QT_QPA_PLATFORM", "xcb"));
    else if (!environment("WAYLAND_DISPLAY").isEmpty())
        changes.append(EnvironmentChange("QT_QPA_PLATFORM", "wayland"));
    return changes;
}

bool layerShellChosen(const EnvironmentReader &environment,
                      const std::function<bool()> &offersLayerShell)
{
    const QByteArray platform = environment("QT_QPA_PLATFORM");
    const bool waylandSession = environment("XDG_SESSION_TYPE").toLower() == "wayland";
    return (platform == "wayland" || (platform.isEmpty() && waylandSession)) && offersLayerShell();
}

QList<EnvironmentChange> scaleEnvironmentChanges(const EnvironmentReader &environment,
                                                 const DisplayProbe &xDisplaySetsDpi)
{
    const QByteArray platform = environment("QT_QPA_PLATFORM");
    const bool waylandSession = environment("XDG_SESSION_TYPE").toLower() == "wayland";
    const bool onX11 = platform.startsWith("xcb") || (platform.isEmpty() && !waylandSession);
    const QByteArray display = environment("DISPLAY");
    if (!onX11 || display.isEmpty() || !environment("QT_FONT_DPI").isEmpty() ||
        xDisplaySetsDpi(display))
        return {};
    return {EnvironmentChange("QT_FONT_DPI", "96")};
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
    const auto apply = [](const QList<EnvironmentChange> &changes) {
        for (const EnvironmentChange &change : changes)
            qputenv(change.first.constData(), change.second);
    };
    apply(platformEnvironmentChanges(environment, platform::xDisplayAnswers));
    apply(scaleEnvironmentChanges(environment, platform::xDisplaySetsDpi));
}

} // namespace app
