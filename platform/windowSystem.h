#pragma once

#include <QCursor>
#include <QMouseEvent>
#include <QPoint>
#include <QWidget>

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
// asks Qt for); each backend overrides what its window system does differently. Every call takes
// the window itself: each backend reads what its window system knows the window by (an X window,
// a Windows handle, a Wayland surface).
//
// The defaults are written in this header so that a backend built as a module of its own
// derives from the class without needing anything of the program's.
class WindowSystem
{
public:
    virtual ~WindowSystem() = default;

    // Puts `window` (shown or not yet) with its top-left corner at `topLeft` on the desktop, in
    // the coordinates that span all screens; Qt's geometry of the window says the same place.
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
    virtual void setKeepAbove(QWidget *, bool) {}

    // Lets only `area` of a top-level window take the pointer: a click anywhere else reaches
    // whatever lies beneath the window. `area` is in the window's native pixels, relative to
    // its top-left corner. What the window shows does not change.
    virtual void setInputRegion(QWidget *, const QRegion &) {}

    // Makes `note` the note of this run: kept out of the taskbar and the pager (the desktop
    // switcher), shown on every workspace, as the desktop itself is, and placed from now on as
    // the note (on every screen that its position may take it to). Called once, when the native
    // window exists and before it is first shown.
    virtual void setUpNote(QWidget *) {}

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
