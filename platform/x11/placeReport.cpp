#include "platform/x11/mapWatch.h"
#include "platform/x11/x11WindowSystem.h"

#include <QWidget>
#include <QX11Info>

#include <xcb/xcb.h>

#include <cstdlib>

namespace platform
{
namespace
{

// Qt learns where a window stands from the configure notifications of the X server, and asks the
// server where a real one (not sent by the window manager) puts the window. The window manager
// moves the window into a frame of its own when it takes it on: Qt may ask while the frame still
// stands at the screen's corner, and then takes (0, 0) for the window's place until it is next
// moved (the dialogs that Qt centres on the note open in the screen's corner). Once the window
// is mapped, its frame stands where the window manager put it: the place is read then and told
// to Qt as the window manager tells a moved frame, by a notification sent to the window.
void reportPlace(xcb_window_t window)
{
    xcb_connection_t *connection = QX11Info::connection();
    xcb_get_geometry_reply_t *geometry =
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
    xcb_translate_coordinates_reply_t *place = xcb_translate_coordinates_reply(
        connection,
        xcb_translate_coordinates(connection, window,
                                  static_cast<xcb_window_t>(QX11Info::appRootWindow()), 0, 0),
        nullptr);
    if (geometry && place) {
        xcb_configure_notify_event_t notice{};
        notice.response_type = XCB_CONFIGURE_NOTIFY;
        notice.event = window;
        notice.window = window;
        notice.x = place->dst_x;
        notice.y = place->dst_y;
        notice.width = geometry->width;
        notice.height = geometry->height;
        xcb_send_event(connection, false, window, XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                       reinterpret_cast<const char *>(&notice));
        xcb_flush(connection);
    }
    std::free(geometry);
    std::free(place);
}

} // namespace

void X11WindowSystem::reportPlaceWhenMapped(QWidget *window)
{
    const auto id = static_cast<xcb_window_t>(window->internalWinId());
    doWhenMapped(id, "place", [id] { reportPlace(id); });
}

} // namespace platform
