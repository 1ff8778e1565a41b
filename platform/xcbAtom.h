#pragma once

#include <xcb/xcb.h>

namespace platform
{

// The X server's atom of that name, created when it does not exist yet; XCB_ATOM_NONE when the
// server does not answer.
xcb_atom_t internAtom(xcb_connection_t *connection, const char *name);

} // namespace platform
