#pragma once

namespace platform
{

// What the session's compositor offers, as its registry tells.
struct Compositor {
    bool layerShell = false;
    // KWin, the only compositor with KDE Plasma's shell global, whose habits NoteSurface allows
    // for.
    bool kwin = false;
};

// Asks the compositor of the session's Wayland display, on a connection of its own that is closed
// again before Qt makes its own. Nothing offered where no compositor answers.
Compositor probeCompositor();

// Whether Qt's Wayland platform plugin and layer-shell-qt's shell integration are installed.
bool layerShellPluginsInstalled();

} // namespace platform
