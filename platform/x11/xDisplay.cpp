#include "platform/windowSystems.h"

#include <QList>

#include <xcb/xcb.h>

#include <cstdlib>

namespace platform
{

// A display left in the environment by a session that no longer has its X server (or whose
// authorisation is gone) fails here at once, with a refused connection or an error reply.
bool xDisplayAnswers(const QByteArray &display)
{
    xcb_connection_t *connection = xcb_connect(display.constData(), nullptr);
    const bool answers = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return answers;
}

namespace
{

// Read the way Qt's X11 plugin reads it: a line "Xft.dpi:<TAB>N" with a positive N.
bool holdsXftDpi(const QByteArray &resources)
{
    const QByteArray key = QByteArrayLiteral("Xft.dpi:\t");
    for (const QByteArray &line : resources.split('\n')) {
        bool isNumber = false;
        if (line.startsWith(key) && line.mid(key.size()).toInt(&isNumber) > 0 && isNumber)
            return true;
    }
    return false;
}

xcb_screen_t *screenOf(xcb_connection_t *connection, int number)
{
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (; screens.rem > 0 && number > 0; --number)
        xcb_screen_next(&screens);
    return screens.rem > 0 ? screens.data : nullptr;
}

} // namespace

// The resources are one property of the root window, at most a few kilobytes.
bool xDisplaySetsDpi(const QByteArray &display)
{
    int screenNumber = 0;
    xcb_connection_t *connection = xcb_connect(display.constData(), &screenNumber);
    const xcb_screen_t *screen =
        xcb_connection_has_error(connection) == 0 ? screenOf(connection, screenNumber) : nullptr;
    bool setsDpi = false;
    if (screen) {
        const xcb_get_property_cookie_t request = xcb_get_property(
            connection, 0, screen->root, XCB_ATOM_RESOURCE_MANAGER, XCB_ATOM_STRING, 0, 1 << 20);
        if (xcb_get_property_reply_t *reply =
                xcb_get_property_reply(connection, request, nullptr)) {
            setsDpi = holdsXftDpi(
                QByteArray::fromRawData(static_cast<const char *>(xcb_get_property_value(reply)),
                                        xcb_get_property_value_length(reply)));
            std::free(reply);
        }
    }
    xcb_disconnect(connection);
    return setsDpi;
}

} // namespace platform
