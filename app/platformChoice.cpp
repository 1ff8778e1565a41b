#include "app/platformChoice.h"

#include <QtGlobal>

namespace app
{

QList<EnvironmentChange> platformEnvironmentChanges(const EnvironmentReader &environment)
{
    QList<EnvironmentChange> changes;
    if (environment("QT_XCB_GL_INTEGRATION").isEmpty())
        changes.append(EnvironmentChange("QT_XCB_GL_INTEGRATION", "none"));

    const bool waylandSession = environment("XDG_SESSION_TYPE").toLower() == "wayland";
    if (environment("QT_QPA_PLATFORM").isEmpty() && waylandSession &&
        !environment("DISPLAY").isEmpty())
        changes.append(EnvironmentChange("QT_QPA_PLATFORM", "xcb"));
    return changes;
}

void choosePlatform()
{
    const auto changes = platformEnvironmentChanges([](const char *name) { return qgetenv(name); });
    for (const EnvironmentChange &change : changes)
        qputenv(change.first.constData(), change.second);
}

} // namespace app
