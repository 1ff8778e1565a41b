#include "platform/singleInstance.h"

#include "platform/win/windowsApi.h"

#include <QWidget>

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
    QString unguardedBecause;
    ULONGLONG answerBy = GetTickCount64() + runningNoteAnswersWithinMs;

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

HWND markedWindow(const std::wstring &property)
{
    Search search{&property, nullptr};
    EnumWindows(findMarkedWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Whether the window's thread takes a message within `ms`: a note that is hung (or whose
// process is stopped) does not, and is then neither waited for nor raised.
bool answers(HWND window, ULONGLONG ms)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, UINT(ms), &result) != 0;
}

QString systemError(DWORD error)
{
    return error == ERROR_ACCESS_DENIED ? QStringLiteral("another user holds its mark")
                                        : QStringLiteral("system error %1").arg(error);
}

} // namespace

// Paths differ in letter case only on paper there.
NoteInstance::NoteInstance(const QString &key) : state(new State)
{
    state->property = instanceName(key.toCaseFolded()).toStdWString();
    const std::wstring name = L"Local\\" + state->property;
    state->mutex = CreateMutexW(nullptr, FALSE, name.c_str());
    const DWORD error = GetLastError();
    // A name that another user took is refused (access denied): the note then runs unguarded.
    if (!state->mutex)
        state->unguardedBecause = systemError(error);
    state->first = !(state->mutex && error == ERROR_ALREADY_EXISTS);
}

NoteInstance::~NoteInstance() = default;

bool NoteInstance::isFirst() const
{
    return state->first;
}

QString NoteInstance::unguardedBecause() const
{
    return state->unguardedBecause;
}

void NoteInstance::announce(QWidget *window, std::function<void()>)
{
    state->window = reinterpret_cast<HWND>(window->winId());
    SetPropW(state->window, state->property.c_str(), reinterpret_cast<HANDLE>(1));
}

// The running note may not have shown its window yet: looked for until the time is up.
bool NoteInstance::askRunningNoteForward()
{
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        if (now >= state->answerBy)
            return false;
        if (const HWND found = markedWindow(state->property)) {
            if (!answers(found, state->answerBy - now))
                return false;
            SetForegroundWindow(found);
            // HWND_TOP keeps a pinned note in the topmost band and a released one out of it;
            // asynchronous, so that a note that hangs from now on holds nobody up.
            SetWindowPos(found, HWND_TOP, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_ASYNCWINDOWPOS);
            return true;
        }
        Sleep(100);
    }
}

} // namespace platform
