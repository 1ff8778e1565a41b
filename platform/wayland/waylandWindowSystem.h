#pragma once

#include "platform/windowSystem.h"

namespace platform
{

// Wayland without layer shell (GNOME, weston), or without the layer-shell module: the note is a
// plain window that the compositor places, and the program never learns where it stands.
class WaylandWindowSystem : public WindowSystem
{
public:
    bool placeWindow(QWidget *window, const QPoint &topLeft) override;
};

} // namespace platform
