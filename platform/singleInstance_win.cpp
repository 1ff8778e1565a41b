#include "platform/singleInstance.h"

#include "platform/win/windowsApi.h"

#include <QObject>

#include <string>

namespace platform
{

// Windows lets the program that the user just started bring another program's window to the
// front, so a later start finds the running note's window by its property and raises it itself.
struct NoteInstance::State {
    HANDLE mutex = nullptr; // of the logon session; closed by the system with the process
    std::wstring property;
    HWND window = nullptr;
    bool first = true;

    ~State()
    {
        if (window)
            RemovePropW(window, property.c_str());
        if (mutex)
            CloseHandle(mutex);
    }
};

namespace
{

struct Search {
    const std::wstring *property;
    HWND found;
};

BOOL CALLBACK findMarkedWindow(HWND window, LPARAM parameter)
{
    auto *search = reinterpret_cast<Search *>(parameter);
    if (!GetPropW(window, search->property->c_str()))
        return TRUE;
    search->found = window;
    return FALSE;
}

} // namespace

// Paths differ in letter case only on paper there.
NoteInstance::NoteInstance(const QString &key) : state(new State)
{
    state->property = instanceName(key.toCaseFolded()).toStdWString();
    const std::wstring name = L"Local\\" + state->property;
    state->mutex = CreateMutexW(nullptr, FALSE, name.c_str());
    // A name that another user took is refused (access denied): the note then runs unguarded.
    state->first = !(state->mutex && GetLastError() == ERROR_ALREADY_EXISTS);
}

NoteInstance::~NoteInstance() = default;

bool NoteInstance::isFirst() const
{
    return state->first;
}

void NoteInstance::announce(WId window, QObject *, std::function<void()>)
{
    state->window = reinterpret_cast<HWND>(window);
    SetPropW(state->window, state->property.c_str(), reinterpret_cast<HANDLE>(1));
}

// The running note may not have shown its window yet: a few tries, 100 ms apart.
bool NoteInstance::askRunningNoteForward()
{
    for (int attempt = 0; attempt < 30; ++attempt) {
        Search search{&state->property, nullptr};
        EnumWindows(findMarkedWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            SetForegroundWindow(search.found);
            // HWND_TOP keeps a pinned note in the topmost band and a released one out of it.
            SetWindowPos(search.found, HWND_TOP, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
            return true;
        }
        Sleep(100);
    }
    return false;
}

} // namespace platform
