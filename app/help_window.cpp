#include "app/help_window.h"

#include "core/help_topics.h"
#include "core/text.h"
#include "framework/handles.h"
#include "framework/help_request.h"
#include "res/resource.h"

namespace tracewick {

namespace {

// The help text compiled into the program, with its line ends made CR LF
// for the edit control.
std::string LoadHelpText() {
    HMODULE module = ::GetModuleHandleA(nullptr);
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(IDR_HELP_TEXT), MAKEINTRESOURCEA(10));
    if (!found) return {};
    HGLOBAL loaded = ::LoadResource(module, found);
    const auto* data = static_cast<const char*>(loaded ? ::LockResource(loaded) : nullptr);
    if (!data) return {};
    return ToCrLf(std::string_view(data, ::SizeofResource(module, found)));
}

}  // namespace

const MessageEntry<HelpWindow> HelpWindow::kMessageMap[] = {
    OnMsg<HelpWindow>(WM_SIZE, &HelpWindow::OnSize),
    OnMsg<HelpWindow>(WM_GETMINMAXINFO, &HelpWindow::OnGetMinMaxInfo),
    OnMsg<HelpWindow>(WM_CTLCOLORSTATIC, &HelpWindow::OnCtlColorStatic),
    EndOfMessageMap<HelpWindow>(),
};

// The program has one help window, which every dialog that asks for help opens.
HelpWindow::HelpWindow() : WithMessageMap(IDD_HELP) {
    SetHelpShower([this](std::string_view topic) { ShowTopic(topic); });
}

HelpWindow::~HelpWindow() { SetHelpShower({}); }

BOOL HelpWindow::OnInitDialog() {
    if (text_.empty()) {
        text_ = LoadHelpText();
        // An edit control scrolls no further than its last line at the
        // bottom; blank lines after the text let the last topic reach the
        // top even in a window as tall as the screen.
        const UniqueDC dc(Item(IDC_HELP_TEXT));
        TEXTMETRICA metrics{};
        HGDIOBJ old = ::SelectObject(dc.Get(), reinterpret_cast<HGDIOBJ>(::SendMessageA(Item(IDC_HELP_TEXT), WM_GETFONT, 0, 0)));
        ::GetTextMetricsA(dc.Get(), &metrics);
        ::SelectObject(dc.Get(), old);
        const int line_height = metrics.tmHeight > 0 ? metrics.tmHeight : 8;
        for (int i = ::GetSystemMetrics(SM_CYSCREEN) / line_height; i > 0; --i) text_ += "\r\n";
    }
    ::SetWindowTextA(Item(IDC_HELP_TEXT), text_.c_str());
    RECT client{};
    ::GetClientRect(Hwnd(), &client);
    OnSize(0, MAKELPARAM(client.right, client.bottom));
    return TRUE;
}

void HelpWindow::ShowTopic(std::string_view topic) {
    if (!Hwnd() && !CreateModeless(owner_)) return;
    HWND text = Item(IDC_HELP_TEXT);
    std::size_t offset = FindHelpTopic(text_, topic);
    if (offset == std::string_view::npos) offset = 0;
    // Lines as the control shows them, wrapped ones included.
    const LRESULT target = ::SendMessageA(text, EM_LINEFROMCHAR, offset, 0);
    const LRESULT first = ::SendMessageA(text, EM_GETFIRSTVISIBLELINE, 0, 0);
    ::SendMessageA(text, EM_LINESCROLL, 0, target - first);
    ::SendMessageA(text, EM_SETSEL, offset, offset);
    ::ShowWindow(Hwnd(), ::IsIconic(Hwnd()) ? SW_RESTORE : SW_SHOW);
    ::SetForegroundWindow(Hwnd());
}

void HelpWindow::Close() { End(IDCANCEL); }

INT_PTR HelpWindow::OnSize(WPARAM, LPARAM lparam) {
    ::MoveWindow(Item(IDC_HELP_TEXT), 0, 0, LOWORD(lparam), HIWORD(lparam), TRUE);
    return TRUE;
}

INT_PTR HelpWindow::OnGetMinMaxInfo(WPARAM, LPARAM lparam) {
    auto* info = reinterpret_cast<MINMAXINFO*>(lparam);
    info->ptMinTrackSize.x = 240;
    info->ptMinTrackSize.y = 160;
    return TRUE;
}

// A read-only edit is painted as a field to read, not a greyed one.
INT_PTR HelpWindow::OnCtlColorStatic(WPARAM wparam, LPARAM) {
    ::SetBkColor(reinterpret_cast<HDC>(wparam), ::GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<INT_PTR>(::GetSysColorBrush(COLOR_WINDOW));
}

}  // namespace tracewick
