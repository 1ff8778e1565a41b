#include "platform/x11/xDisplay.h"

#include <xcb/xcb.h>

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

} // namespace platform
