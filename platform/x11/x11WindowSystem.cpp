#include "platform/x11/x11WindowSystem.h"
#include "platform/x11/xcbAtom.h"

#include <QWidget>
#include <QX11Info>

namespace platform
{

// A mapped window asks the window manager through a _NET_WM_STATE client message on the
// root window. Changing Qt's window flags instead would unmap and re-create the window.
void X11WindowSystem::setKeepAbove(QWidget *window, bool above)
{
    if (window->internalWinId() == 0)
        return;
    xcb_connection_t *connection = QX11Info::connection();
    enum : uint32_t { StateRemove = 0, StateAdd = 1, SourceApplication = 1 };

    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = static_cast<xcb_window_t>(window->internalWinId());
    event.type = internAtom(connection, "_NET_WM_STATE");
    event.data.data32[0] = above ? StateAdd : StateRemove;
    event.data.data32[1] = internAtom(connection, "_NET_WM_STATE_ABOVE");
    event.data.data32[2] = 0;
    event.data.data32[3] = SourceApplication;
    event.data.data32[4] = 0;

    xcb_send_event(connection, false, static_cast<xcb_window_t>(QX11Info::appRootWindow()),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&event));
    xcb_flush(connection);
}

} // namespace platform
