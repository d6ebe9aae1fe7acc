// Reads what another process cannot see from outside, inside the program
// under test, which loads this library through a hook on the window's thread:
// - a window's system menu: Wine keeps a menu's items in the owning process,
//   so the harness sends the window a private message naming a block it
//   allocated there; the hook fills the block and lets the message go on
//   (the window ignores it);
// - a combo box's items at the moment the sheet has handled Close, before
//   its windows are destroyed: a return hook copies them into a named block
//   that the harness holds open, so it outlives the program.
//
// Runs on the hooked window's thread, inside the program under test.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>

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

// Layout of the named block, shared with harness.cpp (CloseAndReadCombo).
void FillComboItems(char* block, std::size_t length) {
    std::uint64_t handle = 0;
    std::uint32_t pending = 0;
    if (length < sizeof handle + sizeof pending) return;
    std::memcpy(&handle, block, sizeof handle);
    std::memcpy(&pending, block + sizeof handle, sizeof pending);
    if (pending != 0xFFFFFFFEu) return;  // answered already
    const HWND combo = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(handle));
    char* at = block + sizeof handle + sizeof pending;
    char* const end = block + length;
    std::uint32_t written = 0;
    const LRESULT count = IsWindow(combo) ? SendMessageA(combo, CB_GETCOUNT, 0, 0) : CB_ERR;
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT text_length = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        if (text_length < 0) break;
        std::string text(static_cast<std::size_t>(text_length) + 1, '\0');
        SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        const std::uint32_t size = static_cast<std::uint32_t>(text_length);
        if (!Put(at, end, &size, sizeof size) || !Put(at, end, text.data(), size)) break;
        ++written;
    }
    // A count of 0xFFFFFFFF tells the harness that the combo was not found.
    const std::uint32_t header = count < 0 ? 0xFFFFFFFFu : written;
    std::memcpy(block + sizeof handle, &header, sizeof header);
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

extern "C" __declspec(dllexport) LRESULT CALLBACK TracewickProbeCallWndProcRet(int code, WPARAM wparam,
                                                                              LPARAM lparam) {
    const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lparam);
    if (code == HC_ACTION && message->message == WM_SYSCOMMAND && (message->wParam & 0xFFF0) == SC_CLOSE) {
        const std::string name = "TracewickUiProbe.ComboAtClose." + std::to_string(GetCurrentProcessId());
        if (HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE | FILE_MAP_READ, FALSE, name.c_str())) {
            constexpr std::size_t kBlockLength = 65536;
            if (void* block = MapViewOfFile(mapping, FILE_MAP_WRITE | FILE_MAP_READ, 0, 0, kBlockLength)) {
                FillComboItems(static_cast<char*>(block), kBlockLength);
                UnmapViewOfFile(block);
            }
            CloseHandle(mapping);
        }
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}
