#include "autostart/autostart.h"
#include "autostart/runKey.h"

#include "platform/win/windowsApi.h"

#include <windows.h>

namespace autostart
{
namespace runkey
{

const wchar_t subkey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t valueName[] = L"deskMemo";

namespace
{

// The key is only opened, never created: without it there is nothing to register under.
HKEY openRunKey()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, subkey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

// The value as a string, however long; nothing when it is absent or not a REG_SZ.
std::optional<std::wstring> readValue(HKEY key)
{
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        const LSTATUS status =
            RegGetValueW(key, nullptr, valueName, RRF_RT_REG_SZ, nullptr, &buffer[0], &size);
        if (status == ERROR_MORE_DATA) {
            buffer.assign(size / sizeof(wchar_t) + 1, L'\0');
            continue;
        }
        if (status != ERROR_SUCCESS)
            return std::nullopt;
        // The size counts the terminating NUL that RegGetValueW guarantees.
        buffer.resize(size / sizeof(wchar_t));
        while (!buffer.empty() && buffer.back() == L'\0')
            buffer.pop_back();
        return buffer;
    }
}

} // namespace

std::wstring runCommand(const std::wstring &executablePath)
{
    return L'"' + executablePath + L'"';
}

bool needsRewrite(const std::optional<std::wstring> &stored, const std::wstring &wanted)
{
    return !stored || *stored != wanted;
}

Registration registerExecutable(const std::wstring &executablePath)
{
    HKEY key = openRunKey();
    if (!key)
        return Registration::KeyNotOpened;
    Registration result = Registration::AlreadyCurrent;
    if (executablePath.empty()) {
        result = Registration::NoPath;
    } else {
        const std::wstring command = runCommand(executablePath);
        if (needsRewrite(readValue(key), command)) {
            const DWORD bytes = static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t));
            const LSTATUS status = RegSetValueExW(
                key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE *>(command.c_str()), bytes);
            result = status == ERROR_SUCCESS ? Registration::Written : Registration::WriteFailed;
        }
    }
    RegCloseKey(key);
    return result;
}

void unregisterExecutable()
{
    HKEY key = openRunKey();
    if (!key)
        return;
    // A value that isn't there is what we want anyway.
    RegDeleteValueW(key, valueName);
    RegCloseKey(key);
}

} // namespace runkey

bool enable()
{
    const runkey::Registration result = runkey::registerExecutable(platform::win::moduleFileName());
    return result == runkey::Registration::Written ||
           result == runkey::Registration::AlreadyCurrent;
}

void disable()
{
    runkey::unregisterExecutable();
}

} // namespace autostart
