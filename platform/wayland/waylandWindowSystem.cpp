#include "platform/wayland/waylandWindowSystem.h"

#include <QGuiApplication>
#include <QWindow>

namespace platform
{

// A drag is handed to the compositor, which moves the window with the pointer. The position
// stays unknown: the stored one is kept rather than one the program would have to invent.
bool WaylandWindowSystem::placeWindow(QWidget *window, const QPoint &topLeft)
{
    if (!window->isVisible()) {
        window->move(topLeft);
        return false;
    }
    if (QGuiApplication::mouseButtons() == Qt::LeftButton && window->windowHandle())
        window->windowHandle()->startSystemMove();
    return false;
}

} // namespace platform
