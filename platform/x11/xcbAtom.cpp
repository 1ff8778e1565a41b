#include "platform/x11/xcbAtom.h"

#include <cstdlib>
#include <cstring>

namespace platform
{

namespace
{

xcb_intern_atom_cookie_t askForAtom(xcb_connection_t *connection, const char *name)
{
    return xcb_intern_atom(connection, false, static_cast<uint16_t>(std::strlen(name)), name);
}

xcb_atom_t atomOf(xcb_connection_t *connection, xcb_intern_atom_cookie_t cookie)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    if (!reply)
        return XCB_ATOM_NONE;
    const xcb_atom_t atom = reply->atom;
    std::free(reply);
    return atom;
}

} // namespace

xcb_atom_t internAtom(xcb_connection_t *connection, const char *name)
{
    return atomOf(connection, askForAtom(connection, name));
}

std::vector<xcb_atom_t> internAtoms(xcb_connection_t *connection,
                                    std::initializer_list<const char *> names)
{
    std::vector<xcb_intern_atom_cookie_t> cookies;
    for (const char *name : names)
        cookies.push_back(askForAtom(connection, name));
    std::vector<xcb_atom_t> atoms;
    for (const xcb_intern_atom_cookie_t &cookie : cookies)
        atoms.push_back(atomOf(connection, cookie));
    return atoms;
}

} // namespace platform
