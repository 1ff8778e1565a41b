#include "platform/x11/mapWatch.h"
#include "platform/x11/x11WindowSystem.h"

#include <QRegion>
#include <QWidget>
#include <QX11Info>

#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <vector>

namespace platform
{
namespace
{

// Shapes of the input kind came with version 1.1 of the Shape extension.
bool serverHasInputShapes(xcb_connection_t *connection)
{
    const xcb_query_extension_reply_t *extension =
        xcb_get_extension_data(connection, &xcb_shape_id);
    if (!extension || !extension->present)
        return false;
    xcb_shape_query_version_reply_t *version =
        xcb_shape_query_version_reply(connection, xcb_shape_query_version(connection), nullptr);
    if (!version)
        return false;
    const bool hasInputShapes =
        version->major_version > 1 || (version->major_version == 1 && version->minor_version >= 1);
    std::free(version);
    return hasInputShapes;
}

xcb_rectangle_t toXcbRectangle(const QRect &rect)
{
    return {static_cast<int16_t>(rect.x()), static_cast<int16_t>(rect.y()),
            static_cast<uint16_t>(rect.width()), static_cast<uint16_t>(rect.height())};
}

using Rectangles = std::vector<xcb_rectangle_t>;

void applyInputShape(xcb_window_t window, const Rectangles &rectangles)
{
    xcb_connection_t *connection = QX11Info::connection();
    xcb_shape_rectangles(connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT,
                         XCB_CLIP_ORDERING_UNSORTED, window, 0, 0,
                         static_cast<uint32_t>(rectangles.size()), rectangles.data());
    xcb_flush(connection);
}

} // namespace

// Only the input shape is set: the bounding shape, and with it what the compositor shows of the
// translucent window, stays the whole rectangle. Without the extension the whole window keeps
// taking the pointer, as it did.
void X11WindowSystem::setInputRegion(QWidget *window, const QRegion &area)
{
    if (window->internalWinId() == 0)
        return;
    xcb_connection_t *connection = QX11Info::connection();
    static const bool supported = serverHasInputShapes(connection);
    if (!supported)
        return;
    Rectangles rectangles;
    for (const QRect &rect : area)
        rectangles.push_back(toXcbRectangle(rect));
    const auto id = static_cast<xcb_window_t>(window->internalWinId());
    applyInputShape(id, rectangles);
    // A window manager puts the window into a frame of its own, and gives the frame the window's
    // input shape only when it sees that shape change while it manages the window (openbox does
    // so). A shape set before the window was mapped would stay the frame's whole rectangle: the
    // shape is therefore set again whenever the window is mapped, by then under the manager's eyes.
    doWhenMapped(id, "input shape", [id, rectangles] { applyInputShape(id, rectangles); });
}

} // namespace platform
