#pragma once

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

// What start-up sets in its own environment before Qt picks its platform plugin:
// - QT_XCB_GL_INTEGRATION=none, unless the user chose a GL integration: the note paints with
//   the raster engine only, and loading GLX costs tens of megabytes and a large part of the
//   start-up time. The variable means nothing to other platforms.
// - In a Wayland session, unless the user chose a platform: QT_QPA_PLATFORM=xcb when the
//   session also offers an X display (XWayland) that answers, because Wayland lets no client
//   place its window or keep it above others, and the note needs both; otherwise
//   QT_QPA_PLATFORM=wayland when there is a Wayland display, so that a stale DISPLAY (or Qt's
//   own preference for X11 on some desktops) does not stop the note at start.
// The X display is probed only in a Wayland session where it would be chosen.
QList<EnvironmentChange> platformEnvironmentChanges(const EnvironmentReader &environment,
                                                    const DisplayProbe &xDisplayAnswers);

// Whether the note runs natively on Wayland as a layer surface: in a Wayland session whose
// compositor offers layer shell, unless the user chose a platform other than wayland. Only then
// is `offersLayerShell` asked. Where it does not (GNOME), the changes above apply.
bool layerShellChosen(const EnvironmentReader &environment,
                      const std::function<bool()> &offersLayerShell);

// Where Qt will run on X11 (the platform chosen, or Qt's default outside a Wayland session) and
// the X server does not set Xft.dpi: QT_FONT_DPI=96, unless the user chose a DPI. The desktop's
// scale is Xft.dpi; without it Qt 5 would scale the note by the X screen's size in millimetres
// (Xvfb's 100 DPI makes 104 %, a monitor's own size anything from 90 % up), a blurry size the
// user never chose. As GTK programs do, the note stays at 100 % there. Read after the changes
// above are made; the X display is probed only where the note runs on it.
QList<EnvironmentChange> scaleEnvironmentChanges(const EnvironmentReader &environment,
                                                 const DisplayProbe &xDisplaySetsDpi);

// Applies the choices above to the running process. Call before constructing QApplication.
void choosePlatform();

} // namespace app
