#pragma once

#include "platform/windowSystems.h"

#include <QByteArray>
#include <QList>
#include <QPair>

#include <functional>

namespace app
{

// One environment variable to set before the application object exists: name, value.
using EnvironmentChange = QPair<QByteArray, QByteArray>;

// Reads an environment variable; an unset variable reads as empty.
using EnvironmentReader = std::function<QByteArray(const char *name)>;

// Tells whether an X server answers on the display of that name.
using DisplayProbe = std::function<bool(const QByteArray &display)>;

using WindowSystemKind = platform::WindowSystemKind;

struct PlatformChoice {
    WindowSystemKind windowSystem;
    QList<EnvironmentChange> changes;
};

// What start-up chooses before Qt picks its platform plugin:
// - QT_XCB_GL_INTEGRATION=none, unless the user chose a GL integration: the note paints with
//   the raster engine only, and loading GLX costs tens of megabytes and a large part of the
//   start-up time. The variable means nothing to other platforms.
// - A layer surface, with QT_QPA_PLATFORM=wayland, in a Wayland session whose compositor offers
//   layer shell, unless the user chose a platform other than wayland.
// - Otherwise, in a Wayland session, unless the user chose a platform: QT_QPA_PLATFORM=xcb when
//   the session also offers an X display (XWayland) that answers, because a plain Wayland
//   window can neither place itself nor stay above others, and the note needs both; else
//   QT_QPA_PLATFORM=wayland when there is a Wayland display, so that a stale DISPLAY (or Qt's
//   own preference for X11 on some desktops) does not stop the note at start.
// - Everywhere else X11, unless the user chose another platform.
// `offersLayerShell` is asked only in a Wayland session, or where the user chose wayland, and
// `xDisplayAnswers` only in a Wayland session where XWayland would be chosen.
PlatformChoice platformChoice(const EnvironmentReader &environment,
                              const DisplayProbe &xDisplayAnswers,
                              const std::function<bool()> &offersLayerShell);

// Where the note runs on X11 and the X server does not set Xft.dpi: QT_FONT_DPI=96, unless the user
// chose a DPI. The desktop's scale is Xft.dpi; without it Qt 5 would scale the note by the X
// screen's size in millimetres (Xvfb's 100 DPI makes 104 %, a monitor's own size anything from
// 90 % up), a blurry size the user never chose. As GTK programs do, the note stays at 100 % there.
// The X display is asked only where the note runs on it.
QList<EnvironmentChange> scaleEnvironmentChanges(WindowSystemKind windowSystem,
                                                 const EnvironmentReader &environment,
                                                 const DisplayProbe &xDisplaySetsDpi);

// Decides the above for the running process, sets its environment and makes the window system
// the note's backend. Call before constructing QApplication.
void choosePlatform();

} // namespace app
