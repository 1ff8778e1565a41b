#pragma once

// Path and file checks of the Windows storage rule, free of Qt so that they can be built and
// tested on their own. Windows only.
#ifndef NOMINMAX
#define NOMINMAX // keeps min and max usable next to Qt
#endif
#include <windows.h>

#include <string>

namespace storage
{
namespace win
{

// `path` (absolute, backslashes) in the "\\?\" form when it is too long for the plain calls:
// from 248 characters on, where a folder can no longer take a file of an 8.3 name within
// MAX_PATH. A share ("\\server\...") becomes "\\?\UNC\server\...". Shorter paths and paths
// already in that form come back unchanged.
std::wstring extendedLengthPath(const std::wstring &path);

// `path` with every 8.3 name (PROGRA~1) in its long form, as the file system has it; `path`
// itself when it can't be found out (the path does not exist).
std::wstring longPathName(const std::wstring &path);

// Whether a file refuses writes, given the error of opening it for writing (ERROR_SUCCESS when
// it opened) and its attributes: the read-only attribute or access denied do, a file held open
// for a moment by another program (a sharing or lock violation: a sync client, a virus scanner)
// does not.
bool refusesWriting(DWORD openError, DWORD attributes);

} // namespace win
} // namespace storage
