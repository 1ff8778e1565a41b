// The registry, module-path and storage-path code of the Windows program on its own, run under
// Wine against its real registry, and the resources linked into deskMemo.exe.
// run-under-wine.sh starts it from a folder deeper than MAX_PATH whose name holds a space, so
// that registering itself proves the path is neither cut nor left unquoted.
#include "autostart/autostart.h"
#include "autostart/runKey.h"
#include "platform/win/windowsApi.h"
#include "storage/windowsPaths.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace runkey = autostart::runkey;
using Registration = runkey::Registration;

namespace
{

int caseFailures = 0;

#define CHECK(condition) check((condition), #condition, __LINE__)

void check(bool ok, const char *what, int line)
{
    if (ok)
        return;
    ++caseFailures;
    std::fprintf(stderr, "  line %d: failed: %s\n", line, what);
}

// The Run value as the registry holds it, read without the code under test.
struct RawValue {
    DWORD type = REG_NONE;
    std::wstring data; // as stored, terminating NUL included
};

HKEY openRun()
{
    HKEY key = nullptr;
    RegOpenKeyExW(HKEY_CURRENT_USER, runkey::subkey, 0, KEY_ALL_ACCESS, &key);
    return key;
}

std::optional<RawValue> readRaw(const wchar_t *name)
{
    HKEY key = openRun();
    if (!key)
        return std::nullopt;
    DWORD type = 0;
    DWORD size = 0;
    std::optional<RawValue> result;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        std::vector<BYTE> bytes(size);
        RegQueryValueExW(key, name, nullptr, &type, bytes.data(), &size);
        RawValue value;
        value.type = type;
        value.data.assign(reinterpret_cast<const wchar_t *>(bytes.data()), size / sizeof(wchar_t));
        result = value;
    }
    RegCloseKey(key);
    return result;
}

void writeRaw(const wchar_t *name, DWORD type, const std::wstring &text)
{
    HKEY key = openRun();
    RegSetValueExW(key, name, 0, type, reinterpret_cast<const BYTE *>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

void deleteRaw(const wchar_t *name)
{
    HKEY key = openRun();
    RegDeleteValueW(key, name);
    RegCloseKey(key);
}

ULONGLONG lastWriteTime()
{
    HKEY key = openRun();
    FILETIME time{};
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr, nullptr, &time);
    RegCloseKey(key);
    return (ULONGLONG(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// What a correct registration leaves: a REG_SZ of (length + 1) * 2 bytes, the path in double
// quotes and its NUL.
bool holdsCommandFor(const std::wstring &path)
{
    const auto value = readRaw(runkey::valueName);
    return value && value->type == REG_SZ && value->data == L"\"" + path + L"\"" + L'\0';
}

const std::wstring programPath = L"C:\\Program Files\\deskMemo\\deskMemo.exe";

// Windows' own command-line parser reads the quoted form back as exactly one argument.
void commandLineRoundTrips()
{
    const std::wstring paths[] = {programPath, L"C:\\deskMemo.exe", L"D:\\便签 工具\\deskMemo.exe",
                                  L"C:\\a;b,c\\x=y&z\\deskMemo.exe"};
    for (const std::wstring &path : paths) {
        int count = 0;
        LPWSTR *argv = CommandLineToArgvW(runkey::runCommand(path).c_str(), &count);
        CHECK(argv && count == 1 && path == argv[0]);
        LocalFree(argv);
    }
    CHECK(runkey::runCommand(programPath) == L"\"" + programPath + L"\"");
}

void registrationCreatesQuotedString()
{
    deleteRaw(runkey::valueName);
    CHECK(runkey::registerExecutable(programPath) == Registration::Written);
    CHECK(holdsCommandFor(programPath));
}

void secondRegistrationWritesNothing()
{
    CHECK(runkey::registerExecutable(programPath) == Registration::Written ||
          holdsCommandFor(programPath));
    // The result says whether RegSetValueExW was called. (The key's last-write time can't tell:
    // Wine leaves it alone when a value is set to the data it already holds.)
    CHECK(runkey::registerExecutable(programPath) == Registration::AlreadyCurrent);
    CHECK(holdsCommandFor(programPath));
}

void staleValuesAreReplaced()
{
    struct Stale {
        DWORD type;
        std::wstring data;
    };
    const Stale rows[] = {
        {REG_SZ, runkey::runCommand(L"C:\\Old place\\deskMemo.exe")},
        {REG_SZ, runkey::runCommand(L"C:\\PROGRAM FILES\\DESKMEMO\\DESKMEMO.EXE")},
        {REG_SZ, programPath},             // the unquoted form an earlier version wrote
        {REG_SZ, std::wstring(400, L'x')}, // longer than any fixed MAX_PATH buffer
    };
    for (const Stale &row : rows) {
        writeRaw(runkey::valueName, row.type, row.data);
        const ULONGLONG before = lastWriteTime();
        Sleep(20);
        CHECK(runkey::registerExecutable(programPath) == Registration::Written);
        CHECK(holdsCommandFor(programPath));
        CHECK(lastWriteTime() != before);
    }
}

void otherValuesAreLeftAlone()
{
    const std::wstring other = L"\"C:\\Tools\\other.exe\" --tray";
    writeRaw(L"OtherTool", REG_SZ, other);
    runkey::registerExecutable(programPath);
    runkey::unregisterExecutable();
    CHECK(!readRaw(runkey::valueName));
    // Deleting what isn't there is quiet and still touches nothing else.
    runkey::unregisterExecutable();
    CHECK(!readRaw(runkey::valueName));
    const auto kept = readRaw(L"OtherTool");
    CHECK(kept && kept->type == REG_SZ && kept->data == other + L'\0');
    deleteRaw(L"OtherTool");
}

void failuresWriteNothing()
{
    deleteRaw(runkey::valueName);
    CHECK(runkey::registerExecutable(std::wstring()) == Registration::NoPath);
    CHECK(!readRaw(runkey::valueName));
    // A module handle that names no module: the path query fails.
    CHECK(platform::win::moduleFileName(reinterpret_cast<HMODULE>(0x10)).empty());

    // Without the Run key there is nothing to open; it is never created.
    CHECK(RegDeleteKeyW(HKEY_CURRENT_USER, runkey::subkey) == ERROR_SUCCESS);
    CHECK(runkey::registerExecutable(programPath) == Registration::KeyNotOpened);
    CHECK(!autostart::enable());
    autostart::disable();
    CHECK(openRun() == nullptr);
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, runkey::subkey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                    nullptr);
    RegCloseKey(key);
}

void enableRegistersThisExecutable()
{
    const std::wstring self = platform::win::moduleFileName();
    const std::wstring name = L"\\tst_windows.exe";
    CHECK(self.size() > MAX_PATH && self.find(L' ') != std::wstring::npos);
    CHECK(self.compare(self.size() - name.size(), name.size(), name) == 0);
    CHECK(GetFileAttributesW((L"\\\\?\\" + self).c_str()) != INVALID_FILE_ATTRIBUTES);
    CHECK(autostart::enable());
    CHECK(holdsCommandFor(self));
    CHECK(autostart::enable());
    CHECK(runkey::registerExecutable(self) == Registration::AlreadyCurrent);
    autostart::disable();
    CHECK(!readRaw(runkey::valueName));
}

// deskMemo.exe, which run-under-wine.sh puts beside this program.
std::wstring noteExecutable()
{
    const std::wstring self = platform::win::moduleFileName();
    return self.substr(0, self.rfind(L'\\') + 1) + L"deskMemo.exe";
}

// Wine's loader finds no module in a folder deeper than MAX_PATH, as this one is: the resources
// are read from a copy in the temporary folder.
HMODULE noteResources()
{
    static HMODULE module = [] {
        wchar_t temp[MAX_PATH + 1] = L"";
        GetTempPathW(MAX_PATH + 1, temp);
        const std::wstring copy = std::wstring(temp) + L"deskMemo-resources.exe";
        if (!CopyFileW((L"\\\\?\\" + noteExecutable()).c_str(), copy.c_str(), FALSE))
            return HMODULE(nullptr);
        return LoadLibraryExW(copy.c_str(), nullptr,
                              LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    }();
    return module;
}

std::vector<WORD> resourceLanguages(LPCWSTR type, LPCWSTR name)
{
    std::vector<WORD> languages;
    EnumResourceLanguagesW(
        noteResources(), type, name,
        [](HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR list) -> BOOL {
            reinterpret_cast<std::vector<WORD> *>(list)->push_back(language);
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&languages));
    return languages;
}

std::string resourceBytes(LPCWSTR type, LPCWSTR name, WORD language)
{
    HRSRC info = FindResourceExW(noteResources(), type, name, language);
    if (!info)
        return std::string();
    const char *data = static_cast<const char *>(LockResource(LoadResource(noteResources(), info)));
    return std::string(data, SizeofResource(noteResources(), info));
}

std::wstring versionString(const std::vector<BYTE> &block, const wchar_t *name)
{
    wchar_t *text = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\080404b0\\") + name;
    if (!VerQueryValueW(block.data(), path.c_str(), reinterpret_cast<void **>(&text), &length))
        return L"(missing)";
    return std::wstring(text);
}

#pragma pack(push, 2)
struct IconGroupEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

void resourcesReadBack()
{
    CHECK(noteResources() != nullptr);
    const WORD chinese = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
    const WORD english = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

    // Icon group 101 in Chinese (PRC): one 24 x 24 32-bit image, the artwork's own icon.
    CHECK(resourceLanguages(RT_GROUP_ICON, MAKEINTRESOURCEW(101)) == std::vector<WORD>{chinese});
    const std::string group = resourceBytes(RT_GROUP_ICON, MAKEINTRESOURCEW(101), chinese);
    CHECK(group.size() == 6 + sizeof(IconGroupEntry));
    if (group.size() == 6 + sizeof(IconGroupEntry)) {
        IconGroupEntry entry;
        std::memcpy(&entry, group.data() + 6, sizeof entry);
        CHECK(group[4] == 1 && group[5] == 0);
        CHECK(entry.width == 24 && entry.height == 24 && entry.bitCount == 32);
        const std::string image = resourceBytes(RT_ICON, MAKEINTRESOURCEW(entry.id), chinese);
        std::ifstream file(DESKMEMO_SOURCE_DIR "/resources/windows/deskMemo.ico", std::ios::binary);
        const std::string ico((std::istreambuf_iterator<char>(file)),
                              std::istreambuf_iterator<char>());
        CHECK(ico.size() == 22 + image.size() && ico.compare(22, image.size(), image) == 0);
    }

    const std::wstring note = noteExecutable();
    std::vector<BYTE> block(GetFileVersionInfoSizeW(note.c_str(), nullptr));
    CHECK(!block.empty() &&
          GetFileVersionInfoW(note.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
    if (block.empty())
        return;
    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT length = 0;
    CHECK(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void **>(&fixed), &length));
    if (fixed) {
        CHECK(fixed->dwFileVersionMS == 0x00010000 && fixed->dwFileVersionLS == 0x00000001);
        CHECK(fixed->dwProductVersionMS == 0x00010000 && fixed->dwProductVersionLS == 0x00000001);
        CHECK(fixed->dwFileFlags == 0);
        CHECK(fixed->dwFileOS == 0x40004 && fixed->dwFileType == 1);
    }
    WORD *translation = nullptr;
    CHECK(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                         reinterpret_cast<void **>(&translation), &length));
    CHECK(translation && length == 4 && translation[0] == 0x0804 && translation[1] == 0x04b0);
    CHECK(versionString(block, L"FileDescription") == L"Velmora");
    CHECK(versionString(block, L"FileVersion") == L"1.0.0.1");
    CHECK(versionString(block, L"ProductVersion") == L"1.0.0.1");
    CHECK(versionString(block, L"InternalName") == L"deskMemo.exe");
    CHECK(versionString(block, L"OriginalFilename") == L"deskMemo.exe");

    // One manifest, in English (United States), asking for no elevation, and per-monitor DPI
    // aware as Qt 5 makes the program itself (Windows 8.1's form, and Windows 10's).
    CHECK(resourceLanguages(RT_MANIFEST, MAKEINTRESOURCEW(1)) == std::vector<WORD>{english});
    const std::string manifest = resourceBytes(RT_MANIFEST, MAKEINTRESOURCEW(1), english);
    CHECK(manifest.find("level=\"asInvoker\"") != std::string::npos);
    CHECK(manifest.find("uiAccess=\"false\"") != std::string::npos);
    CHECK(manifest.find("WindowsSettings\">true/pm</dpiAware>") != std::string::npos);
    CHECK(manifest.find("WindowsSettings\">PerMonitor</dpiAwareness>") != std::string::npos);
}

// The checks behind the storage rule: long and 8.3 paths, and which failed opens refuse writes.
void storagePaths()
{
    namespace win = storage::win;
    const std::wstring prefix = L"\\\\?\\";
    const std::wstring deep = L"C:\\" + std::wstring(245, L'x');
    CHECK(win::extendedLengthPath(deep.substr(0, 247)) == deep.substr(0, 247));
    CHECK(win::extendedLengthPath(deep) == prefix + deep);
    CHECK(win::extendedLengthPath(prefix + deep) == prefix + deep);
    const std::wstring share = L"\\\\server\\" + std::wstring(240, L'y');
    CHECK(win::extendedLengthPath(share) == prefix + L"UNC" + share.substr(1));

    // This program's folder, deeper than MAX_PATH, named in 8.3 form.
    const std::wstring self = platform::win::moduleFileName();
    const std::wstring folder = prefix + self.substr(0, self.rfind(L'\\'));
    std::vector<wchar_t> shortForm(folder.size() + 1);
    const DWORD length =
        GetShortPathNameW(folder.c_str(), shortForm.data(), static_cast<DWORD>(shortForm.size()));
    CHECK(length > prefix.size() && length < folder.size());
    const std::wstring shortPath(shortForm.data() + prefix.size(), length - prefix.size());
    CHECK(shortPath.size() < MAX_PATH && shortPath.find(L'~') != std::wstring::npos);
    CHECK(win::longPathName(shortPath) == folder.substr(prefix.size()));
    CHECK(win::longPathName(L"C:\\no such folder\\x") == L"C:\\no such folder\\x");

    // A file held open by another program for a moment is no refusal; a read-only file is.
    wchar_t temp[MAX_PATH + 1] = L"";
    GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring file = std::wstring(temp) + L"deskMemo-held";
    const auto openError = [&file] {
        const HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        const DWORD error = handle == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
        return error;
    };
    const HANDLE holder = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    CHECK(holder != INVALID_HANDLE_VALUE);
    const DWORD held = openError();
    CHECK(held != ERROR_SUCCESS && !win::refusesWriting(held, GetFileAttributesW(file.c_str())));
    CloseHandle(holder);
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
    CHECK(win::refusesWriting(openError(), GetFileAttributesW(file.c_str())));
    CHECK(win::refusesWriting(ERROR_ACCESS_DENIED, FILE_ATTRIBUTE_NORMAL));
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(file.c_str());
}

} // namespace

int main()
{
    const struct {
        const char *name;
        void (*run)();
    } cases[] = {
        {"commandLineRoundTrips", commandLineRoundTrips},
        {"registrationCreatesQuotedString", registrationCreatesQuotedString},
        {"secondRegistrationWritesNothing", secondRegistrationWritesNothing},
        {"staleValuesAreReplaced", staleValuesAreReplaced},
        {"otherValuesAreLeftAlone", otherValuesAreLeftAlone},
        {"failuresWriteNothing", failuresWriteNothing},
        {"enableRegistersThisExecutable", enableRegistersThisExecutable},
        {"resourcesReadBack", resourcesReadBack},
        {"storagePaths", storagePaths},
    };
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    int passed = 0;
    int failed = 0;
    for (const auto &testCase : cases) {
        caseFailures = 0;
        testCase.run();
        std::printf("%s %s\n", caseFailures ? "FAIL" : "PASS", testCase.name);
        (caseFailures ? failed : passed)++;
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed ? 1 : 0;
}
