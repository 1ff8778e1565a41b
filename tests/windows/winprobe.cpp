// What a person sees of the windows on a Windows desktop, for the Windows tier's shell script,
// the way xprop and xdotool report an X desktop: run under Wine beside the program under test,
// it prints every visible top-level window, topmost first, one per line:
//   HANDLE<TAB>X,Y WxH<TAB>topmost|normal<TAB>CLASS<TAB>TITLE<TAB>active|(empty)
// Coordinates are the window's outer rectangle on the screen; texts are UTF-8.
#include <windows.h>

#include <cstdio>
#include <string>

namespace
{

std::string utf8(const wchar_t *text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string result(size > 0 ? size - 1 : 0, '\0');
    if (size > 1)
        WideCharToMultiByte(CP_UTF8, 0, text, -1, &result[0], size, nullptr, nullptr);
    return result;
}

void printWindow(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    wchar_t title[512] = L"";
    wchar_t className[256] = L"";
    GetWindowTextW(window, title, 512);
    GetClassNameW(window, className, 256);
    const bool topmost = (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    const bool active = window == GetForegroundWindow();
    std::printf("%llu\t%ld,%ld %ldx%ld\t%s\t%s\t%s\t%s\n",
                static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(window)), rect.left,
                rect.top, rect.right - rect.left, rect.bottom - rect.top,
                topmost ? "topmost" : "normal", utf8(className).c_str(), utf8(title).c_str(),
                active ? "active" : "");
}

} // namespace

int main()
{
    // Places and sizes in the screen's own pixels, also on a scaled screen.
    SetProcessDPIAware();
    // GetTopWindow and GW_HWNDNEXT walk the z-order from the top.
    for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT)) {
        if (IsWindowVisible(window))
            printWindow(window);
    }
    return 0;
}
