#include "platform/layerShell.h"

#include <QMouseEvent>
#include <QWidget>

// Windows places and stacks windows itself: the note moves like any window.
namespace platform
{

bool compositorOffersLayerShell()
{
    return false;
}

void useLayerShell() {}

void placeWindow(QWidget *window, const QPoint &topLeft)
{
    window->move(topLeft);
}

QPoint pointerOnScreen(const QWidget *, const QMouseEvent *event)
{
    return event->globalPos();
}

bool setLayerAbove(WId, bool)
{
    return false;
}

bool setLayerInputRegion(WId, const QRegion &)
{
    return false;
}

} // namespace platform
