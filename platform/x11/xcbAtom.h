#pragma once

#include <xcb/xcb.h>

#include <initializer_list>
#include <vector>

namespace platform
{

// The X server's atom of that name, created when it does not exist yet; XCB_ATOM_NONE when the
// server does not answer.
xcb_atom_t internAtom(xcb_connection_t *connection, const char *name);

// The atoms of these names, in their order, asked for in one round trip to the server.
std::vector<xcb_atom_t> internAtoms(xcb_connection_t *connection,
                                    std::initializer_list<const char *> names);

} // namespace platform
