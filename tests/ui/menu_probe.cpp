// Reads a window's system menu inside the process that owns it. Wine keeps a
// menu's items in the owning process, so another process cannot list them;
// the harness loads this library into the program under test through a
// call-window-procedure hook on the window's thread and sends the window a
// private message naming a block it allocated there. The hook fills the
// block and lets the message go on (the window ignores it).
//
// Runs on the hooked window's thread, inside the program under test.
#include <windows.h>

#include <cstdint>
#include <cstring>

namespace {

// Layout of the block, shared with harness.cpp: a uint32 item count, then per
// item uint32 id, type, state and text length, then the text bytes.
bool Put(char*& at, char* end, const void* data, std::size_t length) {
    if (static_cast<std::size_t>(end - at) < length) return false;
    std::memcpy(at, data, length);
    at += length;
    return true;
}

void FillSystemMenu(HWND hwnd, char* block, std::size_t length) {
    if (block == nullptr || length < sizeof(std::uint32_t)) return;
    char* at = block + sizeof(std::uint32_t);
    char* const end = block + length;
    std::uint32_t written = 0;
    HMENU menu = GetSystemMenu(hwnd, FALSE);
    const int count = menu ? GetMenuItemCount(menu) : -1;
    for (int i = 0; i < count; ++i) {
        char text[256] = {};
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text - 1;
        if (!GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info)) continue;
        const std::uint32_t fields[4] = {info.wID, info.fType, info.fState,
                                         static_cast<std::uint32_t>(std::strlen(text))};
        if (!Put(at, end, fields, sizeof fields) || !Put(at, end, text, fields[3])) break;
        ++written;
    }
    // A count of 0xFFFFFFFF tells the harness that the menu was not found.
    const std::uint32_t header = count < 0 ? 0xFFFFFFFFu : written;
    std::memcpy(block, &header, sizeof header);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK TracewickProbeCallWndProc(int code, WPARAM wparam,
                                                                           LPARAM lparam) {
    if (code == HC_ACTION) {
        static const UINT read_menu = RegisterWindowMessageA("Tracewick.UiProbe.ReadSystemMenu");
        const auto* message = reinterpret_cast<const CWPSTRUCT*>(lparam);
        if (read_menu != 0 && message->message == read_menu) {
            FillSystemMenu(message->hwnd, reinterpret_cast<char*>(message->lParam),
                           static_cast<std::size_t>(message->wParam));
        }
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}
