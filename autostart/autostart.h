#pragma once

// Starting the program when the user logs on. Windows keeps a value under the per-user Run
// key; Linux desktops keep a desktop entry in the XDG autostart folder. CMake picks the file.
namespace autostart
{

// Makes the running executable start at logon, writing only when the entry isn't already
// current. False when the entry could not be made (the place that holds it can't be opened or
// written); the caller then warns the user.
bool enable();

// Removes the entry. Quiet when there is none or its place can't be opened.
void disable();

} // namespace autostart
