#include "pane/output_pane.h"

#include "pane/pane_menu.h"

#include <algorithm>
#include <ctime>
#include <string>

#include "framework/wide_text.h"
#include "pane/output_text.h"

namespace tracewick {

namespace {

// The pane's font at 96 dots per inch; it grows with the screen's setting.
constexpr int kFontHeight = 10;  // pixels
constexpr char kFontFace[] = "Courier";
// Where Courier has no size as tall as asked (a bitmap face: Wine's has one
// size, 13 pixels), the scalable fixed-pitch face instead.
constexpr char kScalableFontFace[] = "Courier New";

// The height of `font`'s character cells as drawn in `window`; 0 when unknown.
int CellHeight(HWND window, HFONT font) {
    const UniqueDC dc(window);
    if (!dc || !font) return 0;
    const HGDIOBJ previous = ::SelectObject(dc.Get(), font);
    TEXTMETRICA metrics{};
    const BOOL measured = ::GetTextMetricsA(dc.Get(), &metrics);
    ::SelectObject(dc.Get(), previous);
    return measured ? metrics.tmHeight : 0;
}

}  // namespace

bool LoadPaneLibrary() {
    static const UniqueModule library(::LoadLibraryA("riched32.dll"));
    return library.Valid();
}

void OutputPane::Attach(HWND pane) {
    pane_ = pane;
    tail_ = {};
    style_ = static_cast<DWORD>(::GetWindowLongPtrA(pane_, GWL_STYLE));
    ex_style_ = static_cast<DWORD>(::GetWindowLongPtrA(pane_, GWL_EXSTYLE));
    int dpi = 96;
    if (const UniqueDC dc(pane_); dc && ::GetDeviceCaps(dc.Get(), LOGPIXELSY) > 0) {
        dpi = ::GetDeviceCaps(dc.Get(), LOGPIXELSY);
    }
    // Fixed pitch asked for as well as the face: where the face is missing,
    // the columns of the output still line up.
    LOGFONTA description{};
    description.lfHeight = ::MulDiv(kFontHeight, dpi, 96);
    description.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    lstrcpynA(description.lfFaceName, kFontFace, LF_FACESIZE);
    font_.Reset(::CreateFontIndirectA(&description));
    if (const int cell = CellHeight(pane_, font_.Get()); cell > 0 && cell < description.lfHeight) {
        lstrcpynA(description.lfFaceName, kScalableFontFace, LF_FACESIZE);
        font_.Reset(::CreateFontIndirectA(&description));
    }
    code_page_ = OutputCodePage();
    characters_ = WholeCharacters(FormOf(code_page_));
    // Some rich edits build their own font from the character format rather
    // than take the window's font: the same request goes there too.
    format_.cbSize = sizeof(format_);
    format_.dwMask = CFM_FACE | CFM_SIZE | CFM_CHARSET | CFM_BOLD | CFM_ITALIC;
    format_.yHeight = ::MulDiv(description.lfHeight, 1440, dpi);  // twips
    format_.bCharSet = description.lfCharSet;
    format_.bPitchAndFamily = description.lfPitchAndFamily;  // taken with CFM_FACE
    lstrcpynA(format_.szFaceName, description.lfFaceName, LF_FACESIZE);
    Dress();
}

void OutputPane::Dress() {
    ::SendMessageA(pane_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), TRUE);
    ::SendMessageA(pane_, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format_));
    ::SendMessageA(pane_, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format_));
    // A rich edit quietly drops text past its default limit of about 32 K.
    ::SendMessageA(pane_, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    // Nobody can edit the pane, so nothing is to be undone: keeping undo
    // records costs a quarter of every insertion.
    ::SendMessageA(pane_, EM_SETUNDOLIMIT, 0, 0);
    AddPaneMenu(pane_);
}

void OutputPane::Renew() {
    tail_ = {};
    HWND parent = ::GetParent(pane_);
    RECT place{};
    ::GetWindowRect(pane_, &place);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
    char class_name[64] = {};
    ::GetClassNameA(pane_, class_name, sizeof class_name);
    const auto id = static_cast<INT_PTR>(::GetDlgCtrlID(pane_));
    const auto instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(pane_, GWLP_HINSTANCE));
    HWND fresh = ::CreateWindowExA(ex_style_, class_name, "", style_, place.left, place.top, place.right - place.left,
                                   place.bottom - place.top, parent, reinterpret_cast<HMENU>(id), instance, nullptr);
    if (!fresh) {
        ::SetWindowTextA(pane_, "");  // slow, but the pane is still cleared
        return;
    }
    // Right behind the old pane in the z-order, which is the tab order.
    ::SetWindowPos(fresh, pane_, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const bool had_focus = ::GetFocus() == pane_;
    ::DestroyWindow(pane_);
    pane_ = fresh;
    Dress();
    if (had_focus) ::SetFocus(pane_);
}

std::wstring OutputPane::WriteHeader(bool cumulative, int margin, std::time_t at) {
    repair_.Reset();
    characters_.Reset();
    full_ = false;
    bool blank_lines_before = false;
    if (!cumulative) {
        Renew();
    } else {
        blank_lines_before = ::SendMessageA(pane_, EM_GETLINECOUNT, 0, 0) > 1;
    }
    header_at_ = TextLength();
    std::tm local{};
    localtime_s(&local, &at);
    std::wstring header = Decode(RunHeader(local, false), CP_ACP);
    Show((blank_lines_before ? L"\r\n\r\n" : L"") + header, margin);
    return header;
}

// By the selection, as the pane gives its exact UTF-16 text only so; the
// user's selection is put back, and nothing is drawn meanwhile.
std::wstring OutputPane::SinceHeader() const {
    CHARRANGE kept{};
    ::SendMessageA(pane_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&kept));
    ::SendMessageA(pane_, WM_SETREDRAW, FALSE, 0);
    CHARRANGE run{header_at_, -1};
    ::SendMessageA(pane_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&run));
    std::wstring text = PaneText(pane_, true);
    ::SendMessageA(pane_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&kept));
    ::SendMessageA(pane_, WM_SETREDRAW, TRUE, 0);
    return text;
}

// Line ends are repaired on the bytes: CR and LF never stand inside a
// character of any code page the commands write in.
bool OutputPane::AppendOutput(std::string_view chunk, int margin) {
    if (full_) return false;
    const std::wstring text = Decode(characters_.Feed(repair_.Feed(chunk)), code_page_);
    PaneRoom room{PaneRoom::CapacityFor(sizeof(void*)), ~0ull, ~0ull};
    if (MEMORYSTATUSEX memory{}; (memory.dwLength = sizeof memory, ::GlobalMemoryStatusEx(&memory))) {
        room.free_address = memory.ullAvailVirtual;
        room.free_memory = memory.ullAvailPageFile;
    }
    if (!room.Takes(static_cast<std::uint64_t>(TextLength()), text.size())) {
        full_ = true;
        return true;
    }
    Show(text, margin);
    return false;
}

void OutputPane::AppendText(std::string_view text, int margin) {
    // What the output left unfinished comes first, as it came before the
    // CRs the repair holds. Those go through the repair with our text: a CR
    // held back from the output meets the line end our text starts with.
    std::wstring all = Decode(characters_.Flush(), code_page_);
    std::string ours = repair_.Feed(text);
    ours += repair_.Flush();
    all += Decode(ours, CP_ACP);
    Show(all, margin);
}

void OutputPane::ScrollToTail(int margin) {
    if (margin == kNoScroll) return;
    const int lines = static_cast<int>(::SendMessageA(pane_, EM_GETLINECOUNT, 0, 0));
    // Asking the pane for its first visible line walks every line above it,
    // which at tens of megabytes keeps the window from answering; unless the
    // view has moved since the tail was last kept, it is where that left it.
    const bool kept = tail_.first >= 0 && ::GetScrollPos(pane_, SB_VERT) == tail_.position;
    const int first = kept ? tail_.first : static_cast<int>(::SendMessageA(pane_, EM_GETFIRSTVISIBLELINE, 0, 0));
    const int down = TailScrollLines(lines, first, margin);
    if (down > 0) ::SendMessageA(pane_, EM_LINESCROLL, 0, down);
    tail_ = {down > 0 ? lines - margin : first, ::GetScrollPos(pane_, SB_VERT)};
}

// The pane draws nothing while the text goes in and the view moves: left to
// itself it repaints during every insertion and every scroll, which under
// load cost far more than the insertion. It is drawn once, at the next
// paint, which comes when the queue has nothing else for the window.
void OutputPane::Show(std::wstring_view text, int margin) {
    if (text.empty()) return;
    ::SendMessageA(pane_, WM_SETREDRAW, FALSE, 0);
    InsertAtEnd(text);
    ScrollToTail(margin);
    ::SendMessageA(pane_, WM_SETREDRAW, TRUE, 0);
    ::RedrawWindow(pane_, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
}

// Output always lands at the end, wherever the user has clicked or selected.
// As UTF-16: the "A" messages would take the text through the program's
// code page and lose what it lacks.
void OutputPane::InsertAtEnd(std::wstring_view text) {
    const LONG end = TextLength();
    // Moving the selection costs more as the pane fills; after our own
    // insertion it is already at the end.
    CHARRANGE selection{};
    ::SendMessageA(pane_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    if (selection.cpMin != end || selection.cpMax != end) {
        CHARRANGE at_end{end, end};
        ::SendMessageA(pane_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&at_end));
    }
    // Text that starts like rich text would be read as such: its first
    // character goes in on its own.
    std::size_t first = 0;
    if (text.rfind(L"{\\rtf", 0) == 0 || text.rfind(L"{\\urtf", 0) == 0) first = 1;
    SETTEXTEX how{ST_SELECTION, 1200};  // UTF-16; no undo is kept
    for (const std::wstring_view piece : {text.substr(0, first), text.substr(first)}) {
        if (piece.empty()) continue;
        const std::wstring copy(piece);
        ::SendMessageW(pane_, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how), reinterpret_cast<LPARAM>(copy.c_str()));
    }
}

std::wstring PaneText(HWND pane, bool selection_only) {
    std::size_t room = 0;
    if (selection_only) {
        // Twice the span: room to spare for a line end the selection parts.
        CHARRANGE selection{};
        ::SendMessageW(pane, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
        room = selection.cpMax > selection.cpMin ? static_cast<std::size_t>(selection.cpMax - selection.cpMin) * 2 : 0;
    } else {
        GETTEXTLENGTHEX length{GTL_NUMCHARS | GTL_PRECISE, 1200};
        const LRESULT count = ::SendMessageW(pane, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
        room = count > 0 ? static_cast<std::size_t>(count) : 0;
    }
    if (room == 0) return {};
    std::wstring text(room + 1, L'\0');
    const DWORD which = selection_only ? GT_SELECTION : GT_DEFAULT;
    GETTEXTEX get{static_cast<DWORD>(text.size() * sizeof(wchar_t)), which, 1200, nullptr, nullptr};
    const LRESULT copied =
        ::SendMessageW(pane, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? std::min(static_cast<std::size_t>(copied), room) : 0);
    return text;
}

LONG OutputPane::TextLength() const {
    GETTEXTLENGTHEX length{GTL_NUMCHARS, CP_ACP};
    return static_cast<LONG>(::SendMessageA(pane_, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0));
}

}  // namespace tracewick
