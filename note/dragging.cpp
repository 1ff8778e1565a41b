#include "note/dragging.h"
#include "note/deskMemo.h"
#include "platform/windowSystem.h"

#include <QMouseEvent>

bool g_movable = true;

// The offset is taken in the window's own coordinates: right after the window is mapped,
// Qt's idea of where the frame stands can still be stale under some window managers, and
// the pointer's position inside this frameless window is exact from the first press on.
void deskMemo::mousePressEvent(QMouseEvent *event)
{
    if (event->buttons() == Qt::LeftButton)
        dragOffset = event->pos();
}

void deskMemo::mouseMoveEvent(QMouseEvent *event)
{
    if (!g_movable)
        return;
    if (event->buttons() == Qt::LeftButton) {
        platform::WindowSystem &windowSystem = platform::windowSystem();
        const QPoint position = windowSystem.pointerOnScreen(this, event) - dragOffset;
        // Where the window system keeps the window's place to itself, the stored one stays.
        if (windowSystem.placeWindow(this, position))
            setInfo.startPos = position;
    }
}
