#include "platform/wayland/layerShellWindowSystem.h"
#include "platform/wayland/noteSurface.h"

#include <QRegion>
#include <QTransform>
#include <QWindow>

namespace platform
{

LayerShellWindowSystem::LayerShellWindowSystem(bool kwin) : kwin(kwin) {}

LayerShellWindowSystem::~LayerShellWindowSystem() = default;

void LayerShellWindowSystem::setUpNote(QWidget *note)
{
    surface = new NoteSurface(note, kwin);
}

bool LayerShellWindowSystem::placeWindow(QWidget *window, const QPoint &topLeft)
{
    window->move(topLeft);
    if (surface && surface->note() == window)
        surface->place(topLeft);
    return true;
}

QPoint LayerShellWindowSystem::pointerOnScreen(const QWidget *window, const QMouseEvent *event)
{
    if (!surface || surface->note() != window)
        return event->globalPos();
    return surface->pointerOnScreen(event->pos());
}

void LayerShellWindowSystem::setKeepAbove(QWidget *window, bool above)
{
    if (surface && surface->note() == window)
        surface->setAbove(above);
}

// Qt tells a Wayland window's input region through the window's mask, in device-independent
// pixels, which clips nothing that is painted there.
void LayerShellWindowSystem::setInputRegion(QWidget *window, const QRegion &area)
{
    QWindow *native = window->windowHandle();
    if (!native)
        return;
    const qreal ratio = native->devicePixelRatio();
    native->setMask(ratio == 1.0 ? area : QTransform::fromScale(1 / ratio, 1 / ratio).map(area));
}

} // namespace platform
