#include "runner/output_pane.h"

#include <richedit.h>

#include <ctime>
#include <string>

namespace tracewick {

bool LoadPaneLibrary() {
    static const UniqueModule library(::LoadLibraryA("riched32.dll"));
    return library.Valid();
}

void OutputPane::Attach(HWND pane) {
    pane_ = pane;
    LOGFONTA description{};
    description.lfHeight = 10;
    lstrcpynA(description.lfFaceName, "Courier", LF_FACESIZE);
    font_.Reset(::CreateFontIndirectA(&description));
    ::SendMessageA(pane_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), TRUE);
    // Some rich edits give inserted text their own default format rather
    // than the font: make the font the default character format as well.
    CHARFORMATA format{};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_FACE | CFM_SIZE | CFM_CHARSET | CFM_BOLD | CFM_ITALIC;
    const UniqueDC screen(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen.Get(), LOGPIXELSY) : 96;
    format.yHeight = ::MulDiv(description.lfHeight, 1440, dpi > 0 ? dpi : 96);  // twips
    format.bCharSet = description.lfCharSet;
    lstrcpynA(format.szFaceName, description.lfFaceName, LF_FACESIZE);
    ::SendMessageA(pane_, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    ::SendMessageA(pane_, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
    // A rich edit quietly drops text past its default limit of about 32 K.
    ::SendMessageA(pane_, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
}

void OutputPane::WriteHeader(bool cumulative, int margin) {
    repair_.Reset();
    bool blank_lines_before = false;
    if (!cumulative) {
        ::SetWindowTextA(pane_, "");
    } else {
        blank_lines_before = ::SendMessageA(pane_, EM_GETLINECOUNT, 0, 0) > 1;
    }
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_s(&local, &now);
    InsertAtEnd(RunHeader(local, blank_lines_before));
    if (margin != kNoScroll) ScrollToTail(margin);
}

void OutputPane::AppendOutput(std::string_view chunk, int margin) {
    InsertAtEnd(repair_.Feed(chunk));
    ScrollToTail(margin);
}

void OutputPane::AppendText(std::string_view text, int margin) {
    // Through the repair too: a CR held back from the output meets the
    // line end our text starts with.
    std::string all = repair_.Feed(text);
    all += repair_.Flush();
    InsertAtEnd(all);
    ScrollToTail(margin);
}

void OutputPane::ScrollToTail(int margin) {
    const int lines = static_cast<int>(::SendMessageA(pane_, EM_GETLINECOUNT, 0, 0));
    const int first = static_cast<int>(::SendMessageA(pane_, EM_GETFIRSTVISIBLELINE, 0, 0));
    const int down = TailScrollLines(lines, first, margin);
    if (down > 0) ::SendMessageA(pane_, EM_LINESCROLL, 0, down);
}

// Output always lands at the end, wherever the user has clicked or selected.
void OutputPane::InsertAtEnd(std::string_view text) {
    if (text.empty()) return;
    CHARRANGE end{-1, -1};
    GETTEXTLENGTHEX length{GTL_NUMCHARS, CP_ACP};
    end.cpMin = end.cpMax = static_cast<LONG>(::SendMessageA(pane_, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0));
    ::SendMessageA(pane_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
    const std::string copy(text);
    ::SendMessageA(pane_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(copy.c_str()));
}

}  // namespace tracewick
