// The startup benchmark's baselines: the least a property sheet program can
// be, so the ratio shows what Tracewick adds.
//   bare_sheet        two empty pages and nothing else
//   bare_sheet nine   Tracewick's nine tabs, its page size and dialog font,
//                     and a rich edit of its panes' library and class on each
//                     page: the least a window like Tracewick's costs.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
#include <richedit.h>

#include <cstring>
#include <cwchar>
#include <vector>

namespace {

// A page template in memory, built word by word: no resource script needed.
class PageTemplate {
public:
    PageTemplate(const wchar_t* title, short cx, short cy, WORD point_size, const wchar_t* font, bool pane) {
        DLGTEMPLATE header{WS_CHILD | WS_CAPTION | DS_SETFONT, 0, static_cast<WORD>(pane ? 1 : 0), 0, 0, cx, cy};
        Put(&header, sizeof header);
        words_.push_back(0);  // no menu
        words_.push_back(0);  // the standard dialog class
        PutText(title);
        words_.push_back(point_size);
        PutText(font);
        if (!pane) return;
        // Where and how Tracewick's pages place their output pane.
        if (words_.size() % 2) words_.push_back(0);  // items start on a DWORD
        DLGITEMTEMPLATE item{WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                                 ES_AUTOHSCROLL | ES_READONLY | ES_DISABLENOSCROLL,
                             0, 10, 35, 340, 130, 1031};
        Put(&item, sizeof item);
        PutText(L"RICHEDIT");
        PutText(L"");
        words_.push_back(0);  // no creation data
    }

    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void Put(const void* data, std::size_t bytes) {
        const std::size_t at = words_.size();
        words_.resize(at + bytes / sizeof(WORD));
        std::memcpy(words_.data() + at, data, bytes);
    }
    void PutText(const wchar_t* text) { Put(text, (std::wcslen(text) + 1) * sizeof(WCHAR)); }

    // WORD-sized, and the vector's storage is aligned for the DWORDs in it.
    std::vector<WORD> words_;
};

INT_PTR CALLBACK BlankPageProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);

    const bool nine = command_line && std::strcmp(command_line, "nine") == 0;
    std::vector<PageTemplate> templates;
    if (nine) {
        if (!LoadLibraryA("riched32.dll")) return 1;
        for (const wchar_t* title : {L"Ping", L"Trace Route", L"Lookup", L"Routes", L"ARP", L"NetBIOS",
                                     L"Connections", L"Statistics"}) {
            templates.emplace_back(title, 357, 186, 8, L"MS Sans Serif", true);
        }
        templates.emplace_back(L"About", 356, 191, 8, L"MS Sans Serif", true);
    } else {
        templates.emplace_back(L"Page", 356, 191, 8, L"MS Shell Dlg", false);
        templates.emplace_back(L"Page", 356, 191, 8, L"MS Shell Dlg", false);
    }

    std::vector<HPROPSHEETPAGE> pages;
    for (const PageTemplate& page_template : templates) {
        PROPSHEETPAGEA info{};
        info.dwSize = sizeof info;
        info.dwFlags = PSP_DLGINDIRECT;
        info.hInstance = instance;
        info.pResource = page_template.Get();
        info.pfnDlgProc = BlankPageProc;
        pages.push_back(CreatePropertySheetPageA(&info));
        if (!pages.back()) return 1;
    }
    PROPSHEETHEADERA header{};
    header.dwSize = sizeof header;
    header.hInstance = instance;
    header.pszCaption = "BareSheet";
    header.nPages = static_cast<UINT>(pages.size());
    header.phpage = pages.data();
    return PropertySheetA(&header) < 0 ? 1 : 0;
}
