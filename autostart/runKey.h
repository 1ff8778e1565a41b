#pragma once

// The per-user Run key, free of Qt so that it can be built and tested on its own. Windows only.
#include <optional>
#include <string>

namespace autostart
{
namespace runkey
{

extern const wchar_t subkey[];    // under HKEY_CURRENT_USER
extern const wchar_t valueName[]; // a REG_SZ value

enum class Registration {
    Written,        // the value was created or replaced
    AlreadyCurrent, // it already held the wanted command; nothing was written
    KeyNotOpened,   // the Run key can't be opened
    NoPath,         // the executable's path is unknown; nothing was compared or written
    WriteFailed,
};

// The command stored for `executablePath`: the path in double quotes, so that a path with
// spaces can't be read by the system as a shorter program followed by arguments.
std::wstring runCommand(const std::wstring &executablePath);

// Whether the value must be written, given what it holds (nothing when it can't be read as a
// string). The comparison is exact: another letter case counts as different.
bool needsRewrite(const std::optional<std::wstring> &stored, const std::wstring &wanted);

// Makes the value start `executablePath`. An empty path writes nothing.
Registration registerExecutable(const std::wstring &executablePath);

// Deletes the value; a missing value or key is no error. Other values are never touched.
void unregisterExecutable();

} // namespace runkey
} // namespace autostart
