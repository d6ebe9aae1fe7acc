// uictl: drives a running Tracewick from outside for scripts/run: waits for
// the sheet, waits for the active page's run to end, and leaves through Exit.
// Works from its own process, as any other program could.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kRunButton = 1042;
constexpr int kCancelButton = 1100;

HWND FindSheet() {
    struct Search {
        HWND found = nullptr;
    } search;
    ::EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            char caption[64] = {};
            char klass[64] = {};
            ::GetClassNameA(window, klass, sizeof klass);
            ::GetWindowTextA(window, caption, sizeof caption);
            if (std::strcmp(klass, "#32770") == 0 && std::strcmp(caption, "Tracewick") == 0 &&
                ::IsWindowVisible(window) && ::FindWindowExA(window, nullptr, WC_TABCONTROLA, nullptr)) {
                reinterpret_cast<Search*>(data)->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Polls `done` every 50 ms until it holds or `timeout_ms` pass.
template <class Done>
bool WaitFor(DWORD timeout_ms, Done done) {
    const ULONGLONG deadline = ::GetTickCount64() + timeout_ms;
    while (!done()) {
        if (::GetTickCount64() >= deadline) return false;
        ::Sleep(50);
    }
    return true;
}

bool RunEnded(HWND sheet) {
    HWND page = reinterpret_cast<HWND>(::SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    HWND run = ::GetDlgItem(page, kRunButton);
    HWND cancel = ::GetDlgItem(page, kCancelButton);
    return run && ::IsWindowEnabled(run) && !(cancel && ::IsWindowEnabled(cancel));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: uictl wait-sheet|wait-run|exit [timeout-ms]\n");
        return 2;
    }
    const DWORD timeout = argc > 2 ? static_cast<DWORD>(std::atoi(argv[2])) : 60000;
    const char* verb = argv[1];
    if (std::strcmp(verb, "wait-sheet") == 0) {
        return WaitFor(timeout, [] { return FindSheet() != nullptr; }) ? 0 : 1;
    }
    HWND sheet = FindSheet();
    if (!sheet) {
        std::fprintf(stderr, "uictl: no Tracewick sheet is open\n");
        return 1;
    }
    if (std::strcmp(verb, "wait-run") == 0) {
        // The run may take a moment to start after the sheet shows.
        WaitFor(1000, [&] { return !RunEnded(sheet); });
        return WaitFor(timeout, [&] { return RunEnded(sheet); }) ? 0 : 1;
    }
    if (std::strcmp(verb, "exit") == 0) {
        ::PostMessageA(::GetDlgItem(sheet, IDCANCEL), BM_CLICK, 0, 0);
        return WaitFor(timeout, [&] { return !::IsWindow(sheet); }) ? 0 : 1;
    }
    std::fprintf(stderr, "uictl: unknown command %s\n", verb);
    return 2;
}
