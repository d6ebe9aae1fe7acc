// Driving Tracewick's windows from another process; see window_drive.h.
#include "tools/drive/window_drive.h"

#include <commctrl.h>
#include <prsht.h>
#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "framework/handles.h"
#include "framework/wide_text.h"

namespace tracewick::ui {
namespace {

constexpr UINT kSendTimeoutMs = 5000;

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM lparam) {
    auto* found = reinterpret_cast<std::pair<const char*, std::vector<HWND>>*>(lparam);
    if (ClassOf(hwnd) == found->first) found->second.push_back(hwnd);
    return TRUE;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD timeout_ms, HANDLE process) {
    for (const ULONGLONG start = GetTickCount64();;) {
        if (condition()) return true;
        const ULONGLONG elapsed = GetTickCount64() - start;
        if (elapsed >= timeout_ms) return false;
        const DWORD wait = static_cast<DWORD>(std::min<ULONGLONG>(10, timeout_ms - elapsed));
        // A process that ended changes nothing more: one last look.
        if (process && WaitForSingleObject(process, wait) == WAIT_OBJECT_0) return condition();
        if (!process) Sleep(wait);
    }
}
LRESULT Send(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam, bool* ok) {
    DWORD_PTR result = 0;
    const bool sent = SendMessageTimeoutA(hwnd, msg, wparam, lparam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
    if (ok) *ok = sent;
    return static_cast<LRESULT>(result);
}
std::string TextOf(HWND hwnd) {
    bool ok = false;
    const LRESULT length = hwnd ? Send(hwnd, WM_GETTEXTLENGTH, 0, 0, &ok) : -1;
    std::string text(ok && length > 0 ? static_cast<std::size_t>(length) + 1 : 1, '\0');
    const LRESULT copied = ok ? Send(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), &ok) : 0;
    text.resize(ok && copied > 0 ? std::min<std::size_t>(static_cast<std::size_t>(copied), std::strlen(text.c_str())) : 0);
    return text;
}
std::string ClassOf(HWND hwnd) {
    char name[64] = {};
    return GetClassNameA(hwnd, name, sizeof name) > 0 ? name : "";
}
std::vector<HWND> Children(HWND parent, const char* class_name) {
    std::pair<const char*, std::vector<HWND>> found{class_name, {}};
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&found));
    return found.second;
}
HWND Child(HWND parent, const char* class_name) {
    const std::vector<HWND> found = Children(parent, class_name);
    return found.empty() ? nullptr : found.front();
}
std::vector<std::string> Items(HWND control) {
    const bool combo = ClassOf(control) == "ComboBox";
    std::vector<std::string> items;
    for (LRESULT i = 0, count = Send(control, combo ? CB_GETCOUNT : LB_GETCOUNT); i < count; ++i) {
        const LRESULT length = Send(control, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, static_cast<WPARAM>(i));
        std::wstring wide(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
        SendMessageTimeoutW(control, combo ? CB_GETLBTEXT : LB_GETTEXT, static_cast<WPARAM>(i),
                            reinterpret_cast<LPARAM>(wide.data()), SMTO_ABORTIFHUNG, kSendTimeoutMs, nullptr);
        items.push_back(Encode(wide.c_str(), CP_ACP));
    }
    return items;
}
bool SetText(HWND control, const std::string& text) {
    bool ok = false;
    return control && Send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), &ok) && ok;
}
bool TypeInto(HWND combo, const std::string& text) {
    return SetText(Child(combo, "Edit"), text) && TextOf(combo) == text;
}
bool IsChecked(HWND button) { return Send(button, BM_GETCHECK) == BST_CHECKED; }
bool IsEnabled(HWND hwnd) { return hwnd && IsWindowEnabled(hwnd); }
bool Click(HWND button) {
    bool ok = false;
    Send(button, BM_CLICK, 0, 0, &ok);
    return button && ok;
}
bool PostClick(HWND button) { return button && PostMessageA(button, BM_CLICK, 0, 0); }
HWND FindTopWindow(DWORD pid, const std::function<bool(HWND)>& match) {
    for (HWND hwnd = GetTopWindow(nullptr); hwnd; hwnd = GetWindow(hwnd, GW_HWNDNEXT)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if ((pid == 0 || owner == pid) && IsWindowVisible(hwnd) && match(hwnd)) return hwnd;
    }
    return nullptr;
}
bool SendPointer(HWND hwnd, UINT message, Arg wparam, Arg lparam, void* data, std::size_t size, LRESULT* answer) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    const UniqueKernelHandle process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
    const auto remote = process ? static_cast<char*>(VirtualAllocEx(process.Get(), nullptr, size, MEM_COMMIT, PAGE_READWRITE))
                                : nullptr;
    const auto value = [&](Arg arg) { return arg.pointer ? reinterpret_cast<LPARAM>(remote + arg.value) : arg.value; };
    bool ok = remote && WriteProcessMemory(process.Get(), remote, data, size, nullptr);
    const LRESULT got = ok ? Send(hwnd, message, static_cast<WPARAM>(value(wparam)), value(lparam), &ok) : 0;
    if (answer) *answer = got;
    ok = ok && ReadProcessMemory(process.Get(), remote, data, size, nullptr);
    if (remote) VirtualFreeEx(process.Get(), remote, 0, MEM_RELEASE);
    return ok;
}
bool IsSheet(HWND hwnd) { return ClassOf(hwnd) == "#32770" && !Children(hwnd, WC_TABCONTROLA).empty(); }
HWND ActivePage(HWND sheet) { return reinterpret_cast<HWND>(Send(sheet, PSM_GETCURRENTPAGEHWND)); }
HWND PageAt(HWND sheet, int position) {
    return reinterpret_cast<HWND>(Send(sheet, PSM_INDEXTOHWND, static_cast<WPARAM>(position)));
}
// A page window keeps its template's caption, which is its tab's. A page
// never opened has no window yet (About): it is opened once to be named.
int PositionOf(HWND sheet, const std::string& caption) {
    const HWND active = ActivePage(sheet), tabs = Child(sheet, WC_TABCONTROLA);
    for (int position = 0; position < Send(tabs, TCM_GETITEMCOUNT); ++position) {
        if (!PageAt(sheet, position) && Send(sheet, PSM_SETCURSEL, static_cast<WPARAM>(position)))
            Send(sheet, PSM_SETCURSEL, 0, reinterpret_cast<LPARAM>(active));
        if (TextOf(PageAt(sheet, position)) == caption) return position;
    }
    return -1;
}
// Counted in UTF-16 units: WM_GETTEXTLENGTH answers 0 under Wine for a pane with double-byte text.
std::string RichText(HWND rich_edit) {
    GETTEXTLENGTHEX length{GTL_NUMCHARS | GTL_PRECISE, 1200};
    LRESULT count = 0, got = 0;
    if (!SendPointer(rich_edit, EM_GETTEXTLENGTHEX, At(0), {}, &length, sizeof length, &count)) return {};
    // The request, then room for the text and its end.
    std::vector<char> block(sizeof(GETTEXTEX) + (std::max<LRESULT>(count, 0) + 1) * sizeof(wchar_t));
    const GETTEXTEX request{static_cast<DWORD>(block.size() - sizeof(GETTEXTEX)), GT_DEFAULT, 1200, nullptr, nullptr};
    std::memcpy(block.data(), &request, sizeof request);
    if (!SendPointer(rich_edit, EM_GETTEXTEX, At(0), At(sizeof request), block.data(), block.size(), &got)) return {};
    std::wstring text(static_cast<std::size_t>(std::clamp<LRESULT>(got, 0, count)), L'\0');
    std::memcpy(text.data(), block.data() + sizeof request, text.size() * sizeof(wchar_t));
    return Encode(text, CP_UTF8);
}
}  // namespace tracewick::ui
