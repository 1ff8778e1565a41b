#pragma once

// The Win32 calls of the platform layer, free of Qt so that they can be built and tested on
// their own. Windows only.
#ifndef NOMINMAX
#define NOMINMAX // keeps min and max usable next to Qt
#endif
#include <windows.h>

#include <string>

namespace platform
{
namespace win
{

// Full path of `module` (the running executable when null), however long. The buffer grows
// until the path fits, so nothing is ever cut at MAX_PATH. Empty when the query fails.
std::wstring moduleFileName(HMODULE module = nullptr);

// Puts `window` into the topmost band or takes it out again, without moving or resizing it:
// SetWindowPos with HWND_TOPMOST / HWND_NOTOPMOST and SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW.
void setTopmost(HWND window, bool above);

} // namespace win
} // namespace platform
