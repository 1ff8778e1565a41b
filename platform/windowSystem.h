#pragma once

#include <QCursor>
#include <QMouseEvent>
#include <QPoint>
#include <QWidget>
#include <QtGui/qwindowdefs.h>

#include <memory>

class QRegion;

namespace platform
{

// What differs between window systems, for the note window and the windows it opens. One
// backend serves the whole run: X11 (x11/), Wayland with or without layer shell (wayland/),
// Windows (win/), chosen once before the application object exists (app/platformChoice.h).
//
// These defaults are what Qt does by itself, which is right where Qt places, stacks and
// reports windows on its own (the offscreen platform of the tests, and any other that the user
// asks Qt for); each backend overrides what its window system does differently. Calls on a
// native window take its WId, as g_mainWindowHandle holds it, so that further requests of the
// same kind (bring the note forward, ask for the user's attention) fit beside these.
//
// The defaults are written in this header so that a backend built as a module of its own
// derives from the class without needing anything of the program's.
class WindowSystem
{
public:
    virtual ~WindowSystem() = default;

    // Puts `window` (shown or not yet) with its top-left corner at `topLeft` on the screen.
    // False when the window system places windows itself and the program cannot know where the
    // window stands: the caller then keeps the position it had.
    virtual bool placeWindow(QWidget *window, const QPoint &topLeft)
    {
        window->move(topLeft);
        return true;
    }

    // Where the pointer of a mouse event in a top-level window is on the screen.
    virtual QPoint pointerOnScreen(const QWidget *, const QMouseEvent *event)
    {
        return event->globalPos();
    }

    // Where the pointer is now, in the coordinates that windows opened at it (a menu) are
    // placed in.
    virtual QPoint pointerNow() { return QCursor::pos(); }

    // Puts a shown top-level window above the other windows or back among them, without moving,
    // resizing or re-creating it.
    virtual void setKeepAbove(WId, bool) {}

    // Lets only `area` of a top-level window take the pointer: a click anywhere else reaches
    // whatever lies beneath the window. `area` is in the window's native pixels, relative to
    // its top-left corner. What the window shows does not change.
    virtual void setInputRegion(WId, const QRegion &) {}

    // Keeps a top-level window out of the taskbar and the pager (the desktop switcher). Called
    // once the native window exists and before it is first shown.
    virtual void keepOffTaskbar(WId) {}

    // Brings a shown top-level window to the front and gives it the keyboard, as far as the
    // window system lets a program do that to itself (a Wayland compositor may only mark it).
    virtual void bringForward(QWidget *window)
    {
        window->raise();
        window->activateWindow();
    }
};

// The backend of this run: Qt's own behaviour until one is chosen.
WindowSystem &windowSystem();

// Makes `backend` the one that windowSystem() gives from now on.
void useWindowSystem(std::unique_ptr<WindowSystem> backend);

} // namespace platform
