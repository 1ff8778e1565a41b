#pragma once

#include <QtGui/qwindowdefs.h>

class QMouseEvent;
class QPoint;
class QRegion;
class QWidget;

// Where the note stands and how it is stacked, on a Wayland compositor with the wlr layer-shell
// protocol (KDE Plasma, sway, Hyprland, labwc, river, Wayfire). There an ordinary window can
// neither choose its place nor stay above others, but a layer surface is put at margins from
// the screen's edges, on the layer below the windows or on the one above them.
// Everywhere else (X11, XWayland, Windows) the window system places and stacks windows itself,
// and these calls are plain Qt: a move, the event's global position, nothing for the rest.
namespace platform
{

// Whether the Wayland compositor of this session answers and offers layer shell, and the Qt
// pieces that use it are installed. Call before the application object exists.
bool compositorOffersLayerShell();

// Makes every window of the program a layer surface. Call before the application object
// exists, and only when the compositor offers layer shell.
void useLayerShell();

// Puts the note window, shown or not yet shown, with its top-left corner at `topLeft` on the
// screen. The first window placed is the note: on layer shell, every other window of the
// program (menu, dialogs, message boxes) then becomes a surface above all windows, placed where
// Qt puts it.
void placeWindow(QWidget *window, const QPoint &topLeft);

// The pointer of a mouse event in a top-level window, in screen coordinates.
QPoint pointerOnScreen(const QWidget *window, const QMouseEvent *event);

// On layer shell: the note goes to the layer above the windows or back to the one below them,
// in the same surface. False when the program is not on layer shell.
bool setLayerAbove(WId window, bool above);

// On layer shell: only `area` of a window takes the pointer, in the window's native pixels as for
// setInputShape. False when the program is not on layer shell.
bool setLayerInputRegion(WId window, const QRegion &area);

} // namespace platform
