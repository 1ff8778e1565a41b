#pragma once

#include "platform/windowSystem.h"

#include <QByteArray>

#include <memory>

namespace platform
{

// The window systems that a Linux note can be served by, and what start-up asks of the session
// to choose one (app/platformChoice.h), all before the application object exists.
enum class WindowSystemKind {
    Qt,         // a platform of the user's choice other than X11 or Wayland (offscreen, vnc)
    X11,        // an X server, XWayland included
    Wayland,    // a Wayland compositor without layer shell
    LayerShell, // a Wayland compositor with layer shell: the note is a layer surface
};

// Whether an X server accepts a connection on the display of that name (":0", "host:1").
bool xDisplayAnswers(const QByteArray &display);

// Whether the X server of that display tells its programs their scale through the Xft.dpi
// resource (set by the desktop or by xrdb), which Qt reads as X11 programs' DPI.
bool xDisplaySetsDpi(const QByteArray &display);

// Whether the session's compositor offers layer shell, and the program its layer-shell module.
// Only this loads the module: an X11 start never loads it, nor the Wayland libraries it brings.
bool layerShellOffered();

// The backend of that kind; the layer-shell one only once layerShellOffered() said yes.
std::unique_ptr<WindowSystem> makeWindowSystem(WindowSystemKind kind);

} // namespace platform
