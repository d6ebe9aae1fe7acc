#include "pane/pane_menu.h"

#include "pane/common_dialogs.h"

#include <commctrl.h>
#include <commdlg.h>
#include <richedit.h>
#include <windowsx.h>

#include <cstring>
#include <ctime>
#include <string>

#include "core/pane_text.h"
#include "framework/data_exchange.h"
#include "framework/handles.h"
#include "framework/message_box.h"
#include "framework/wide_text.h"
#include "pane/output_pane.h"

namespace tracewick {

namespace {

constexpr UINT_PTR kSubclassId = 0x7057;
// Ctrl+A and Ctrl+C as the keyboard translates them.
constexpr WPARAM kCtrlA = 0x01;
constexpr WPARAM kCtrlC = 0x03;

// The selection, or the whole text when nothing is selected.
std::wstring TextToCopy(HWND pane) {
    CHARRANGE selection{};
    ::SendMessageA(pane, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    return PaneText(pane, selection.cpMin != selection.cpMax);
}

// The clipboard gets the text or nothing: a block that could not be
// filled is never handed over. As Unicode text, from which the system
// makes the other text formats for whoever asks for them.
void Copy(HWND pane) {
    const std::wstring text = TextToCopy(pane);
    const std::size_t size = (text.size() + 1) * sizeof(wchar_t);
    bool copied = false;
    if (::OpenClipboard(pane)) {
        ::EmptyClipboard();
        if (UniqueGlobal memory{::GlobalAlloc(GMEM_MOVEABLE, size)}) {
            if (void* bytes = ::GlobalLock(memory.Get())) {
                std::memcpy(bytes, text.c_str(), size);
                ::GlobalUnlock(memory.Get());
                // The clipboard owns it once taken.
                copied = ::SetClipboardData(CF_UNICODETEXT, memory.Get()) != nullptr;
                if (copied) static_cast<void>(memory.Release());
            }
        }
        ::CloseClipboard();
    }
    if (!copied) {
        AppMessageBox(::GetAncestor(pane, GA_ROOT),
                      "Tracewick could not copy the output to the clipboard. The output is still in the pane.");
    }
}

// The pane's text as it stood when Save As was chosen, to a file the user
// names: while the dialog is open a repeat may give the page a fresh pane.
// In UTF-8 after a byte order mark, so that nothing the pane shows is lost
// and every editor reads it right. A failed write is said and the pane
// keeps its text.
void SaveAs(HWND pane) {
    const std::string text = kUtf8Mark + Encode(PaneText(pane), CP_UTF8);
    HWND page = ::GetParent(pane);
    std::string caption = ControlText(page);
    if (caption.empty()) caption = "Output";
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_s(&local, &now);
    char path[MAX_PATH] = {};
    lstrcpynA(path, SavedOutputName(caption, local).c_str(), MAX_PATH);
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = ::GetAncestor(pane, GA_ROOT);
    dialog.lpstrFilter = "Text files (*.txt)\0*.txt\0All files (*.*)\0*.*\0";
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrDefExt = "txt";
    // The settings live in the working directory: the dialog must not move it.
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!ShowSaveFileDialog(dialog)) return;
    UniqueFile file(::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    const bool saved = file && ::WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                       written == text.size();
    const DWORD error = saved ? 0 : ::GetLastError();
    file.Reset();
    if (saved) return;
    const std::string reason = SystemErrorText(error);
    AppMessageBox(dialog.hwndOwner, std::string("Tracewick could not save the output to ") + path +
                                        (reason.empty() ? "." : ": " + reason + ".") + "\r\nThe output is still in the pane.");
}

void ShowMenu(HWND pane, LPARAM where) {
    POINT at{GET_X_LPARAM(where), GET_Y_LPARAM(where)};
    if (where == static_cast<LPARAM>(-1)) {  // from the keyboard: at the pane's corner
        at = {0, 0};
        ::ClientToScreen(pane, &at);
    }
    HMENU menu = ::CreatePopupMenu();
    if (!menu) return;
    ::AppendMenuA(menu, MF_STRING, kPaneCopy, "&Copy\tCtrl+C");
    ::AppendMenuA(menu, MF_STRING, kPaneSelectAll, "Select &All\tCtrl+A");
    ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(menu, MF_STRING, kPaneSaveAs, "&Save As...");
    const UINT chosen = ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, pane, nullptr);
    ::DestroyMenu(menu);
    if (chosen != 0) ::SendMessageA(pane, WM_COMMAND, chosen, 0);
}

LRESULT CALLBACK PaneProcedure(HWND pane, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR) {
    switch (message) {
        case WM_CONTEXTMENU:
            ShowMenu(pane, lparam);
            return 0;
        case WM_CHAR:
            if (wparam == kCtrlC) return Copy(pane), 0;
            if (wparam == kCtrlA) return ::SendMessageA(pane, WM_COMMAND, kPaneSelectAll, 0), 0;
            break;
        case WM_COMMAND:
            if (LOWORD(wparam) == kPaneCopy) return Copy(pane), 0;
            if (LOWORD(wparam) == kPaneSaveAs) return SaveAs(pane), 0;
            if (LOWORD(wparam) == kPaneSelectAll) {
                CHARRANGE all{0, -1};
                ::SendMessageA(pane, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
                return 0;
            }
            break;
        case WM_NCDESTROY:
            ::RemoveWindowSubclass(pane, &PaneProcedure, kSubclassId);
            break;
        default:
            break;
    }
    return ::DefSubclassProc(pane, message, wparam, lparam);
}

}  // namespace

bool AddPaneMenu(HWND pane) { return ::SetWindowSubclass(pane, &PaneProcedure, kSubclassId, 0) != FALSE; }

}  // namespace tracewick
