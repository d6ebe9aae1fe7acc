// uictl: drives a running Tracewick from outside for scripts/run: waits for
// the sheet, waits for the active page's run to end, tells where the sheet is
// on the screen and how the active page's pane draws its text, and leaves
// through Exit. Works from its own process, as any other program could.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kRunButton = 1042;
constexpr int kCancelButton = 1100;
constexpr int kPaneIds[] = {1031, 1036, 1076};

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

HWND ActivePane(HWND sheet) {
    HWND page = reinterpret_cast<HWND>(::SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    for (int id : kPaneIds) {
        if (HWND pane = ::GetDlgItem(page, id)) return pane;
    }
    return nullptr;
}

// A rich edit's messages that carry a structure are not carried across
// processes: the structure has to live in the pane's own process.
class RemoteBuffer {
public:
    RemoteBuffer(HWND window, SIZE_T size) : size_(size) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(window, &pid);
        process_ = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_) address_ = ::VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteBuffer() {
        if (address_) ::VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        if (process_) ::CloseHandle(process_);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    [[nodiscard]] bool Valid() const { return address_ != nullptr; }
    [[nodiscard]] void* Address() const { return address_; }
    bool Write(const void* data) { return ::WriteProcessMemory(process_, address_, data, size_, nullptr); }
    bool Read(void* data) const { return ::ReadProcessMemory(process_, address_, data, size_, nullptr); }

private:
    SIZE_T size_;
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
};

// Where character `index` of the pane is drawn, in the pane's client pixels.
bool CharPosition(HWND pane, RemoteBuffer& point, LONG index, POINTL& at) {
    ::SendMessageA(pane, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(point.Address()), index);
    return point.Read(&at);
}

// One line: the character format's face, pitch and family and height (in
// twips and in pixels at the screen's dots per inch), then what the pane
// draws: the distance between its first two lines and the advance of each
// of the first line's first 16 characters.
int PrintPaneFont(HWND sheet) {
    HWND pane = ActivePane(sheet);
    RemoteBuffer format_buffer(pane, sizeof(CHARFORMATA));
    RemoteBuffer point(pane, sizeof(POINTL));
    if (!pane || !format_buffer.Valid() || !point.Valid()) {
        std::fprintf(stderr, "uictl: cannot reach the active page's pane\n");
        return 1;
    }
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    format_buffer.Write(&format);
    ::SendMessageA(pane, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(format_buffer.Address()));
    format_buffer.Read(&format);
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    std::printf("face=%s pitch-family=0x%02X twips=%ld pixels=%d dpi=%d", format.szFaceName, format.bPitchAndFamily,
                format.yHeight, ::MulDiv(format.yHeight, dpi, 1440), dpi);
    POINTL first{}, second{};
    const LONG second_line = static_cast<LONG>(::SendMessageA(pane, EM_LINEINDEX, 1, 0));
    if (second_line > 0 && CharPosition(pane, point, 0, first) && CharPosition(pane, point, second_line, second)) {
        std::printf(" line-height=%ld advances=", second.y - first.y);
        POINTL previous = first;
        for (LONG i = 1; i < 17 && i < second_line - 1; ++i) {
            POINTL at{};
            if (!CharPosition(pane, point, i, at)) break;
            std::printf("%s%ld", i > 1 ? "," : "", at.x - previous.x);
            previous = at;
        }
    }
    std::printf("\n");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: uictl wait-sheet|wait-run|exit [timeout-ms] | sheet-rect | pane-font\n");
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
    if (std::strcmp(verb, "sheet-rect") == 0) {
        // As ImageMagick's geometry: WxH+X+Y.
        RECT rect{};
        ::GetWindowRect(sheet, &rect);
        std::printf("%ldx%ld%+ld%+ld\n", rect.right - rect.left, rect.bottom - rect.top, rect.left, rect.top);
        return 0;
    }
    if (std::strcmp(verb, "pane-font") == 0) return PrintPaneFont(sheet);
    if (std::strcmp(verb, "exit") == 0) {
        ::PostMessageA(::GetDlgItem(sheet, IDCANCEL), BM_CLICK, 0, 0);
        return WaitFor(timeout, [&] { return !::IsWindow(sheet); }) ? 0 : 1;
    }
    std::fprintf(stderr, "uictl: unknown command %s\n", verb);
    return 2;
}
