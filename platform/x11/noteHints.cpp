#include "platform/x11/x11WindowSystem.h"
#include "platform/x11/xcbAtom.h"

#include <QWidget>
#include <QX11Info>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace platform
{
namespace
{

std::vector<xcb_atom_t> atomList(xcb_connection_t *connection, xcb_window_t window,
                                 xcb_atom_t property)
{
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(connection, false, window, property, XCB_ATOM_ATOM, 0, 1024);
    xcb_get_property_reply_t *reply = xcb_get_property_reply(connection, cookie, nullptr);
    std::vector<xcb_atom_t> atoms;
    if (reply && reply->type == XCB_ATOM_ATOM && reply->format == 32) {
        const auto *values = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply));
        atoms.assign(values, values + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return atoms;
}

// Before the window is mapped its _NET_WM_STATE property is its own to set, and the window
// manager reads it when it takes the window on. The states already there (Qt's, when it was
// asked for them) stay: Qt, too, merges its states into the property when it maps the window.
// Pin and release later change only _NET_WM_STATE_ABOVE.
void addStates(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t state,
               std::initializer_list<xcb_atom_t> added)
{
    std::vector<xcb_atom_t> atoms = atomList(connection, window, state);
    for (const xcb_atom_t atom : added)
        if (std::find(atoms.begin(), atoms.end(), atom) == atoms.end())
            atoms.push_back(atom);
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, state, XCB_ATOM_ATOM, 32,
                        static_cast<uint32_t>(atoms.size()), atoms.data());
}

} // namespace

// Off the taskbar and the pager, and on every workspace: the workspace a window is on is its
// _NET_WM_DESKTOP, which the window manager reads when it maps the window, and 0xFFFFFFFF is
// every one, as for the desktop's own icons. Two round trips to the server before the window
// can be mapped: the atoms, then the states.
void X11WindowSystem::setUpNote(QWidget *note)
{
    const auto window = static_cast<xcb_window_t>(note->internalWinId());
    if (window == 0)
        return;
    xcb_connection_t *connection = QX11Info::connection();
    const std::vector<xcb_atom_t> atoms =
        internAtoms(connection, {"_NET_WM_STATE", "_NET_WM_STATE_SKIP_TASKBAR",
                                 "_NET_WM_STATE_SKIP_PAGER", "_NET_WM_DESKTOP"});
    addStates(connection, window, atoms[0], {atoms[1], atoms[2]});
    const uint32_t everyWorkspace = 0xFFFFFFFF;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, atoms[3], XCB_ATOM_CARDINAL, 32,
                        1, &everyWorkspace);
    xcb_flush(connection);
    reportPlaceWhenMapped(note);
}

} // namespace platform
