// Keeps Wine's desktop process alive for a whole UI test session: Wine ends
// that process when no GUI program runs and restarts it for the next one,
// which costs every test about a second. One hidden window and its message
// loop, until the session's script ends the process.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // A top-level window (not message-only): only those keep the desktop busy.
    if (!CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "Tracewick keep-alive", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                         instance, nullptr))
        return 1;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}
