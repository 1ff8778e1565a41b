// closeWindow ID: asks the X client that made window ID to close it, as a window manager's close
// button does, with a WM_DELETE_WINDOW message. A compositor nested in X drops the output that
// the window shows, as when a monitor is unplugged.
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

static xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, std::strlen(name), name), nullptr);
    const xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return value;
}

int main(int argc, char *argv[])
{
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (argc != 2 || xcb_connection_has_error(connection))
        return 2;
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = std::strtoul(argv[1], nullptr, 0);
    message.type = atom(connection, "WM_PROTOCOLS");
    message.data.data32[0] = atom(connection, "WM_DELETE_WINDOW");
    message.data.data32[1] = XCB_CURRENT_TIME;
    // Without an event mask the message goes to the client that made the window.
    xcb_generic_error_t *error = xcb_request_check(
        connection, xcb_send_event_checked(connection, 0, message.window, 0,
                                           reinterpret_cast<const char *>(&message)));
    const int result = error ? 1 : 0;
    std::free(error);
    xcb_disconnect(connection);
    return result;
}
