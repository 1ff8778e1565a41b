#pragma once

// True while the note window may be dragged with the left mouse button.
extern bool g_movable;
