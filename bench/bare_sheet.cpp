// The startup benchmark's baseline: the least a property sheet program can be,
// two empty pages and nothing else, so the ratio shows what Tracewick adds.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

namespace {

// A page template in memory: no resource script needed for two blank pages.
struct PageTemplate {
    DLGTEMPLATE header;
    WORD menu;
    WORD window_class;
    WCHAR title[8];
    WORD point_size;
    WCHAR font[13];
};

INT_PTR CALLBACK BlankPageProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);

    alignas(DWORD) static PageTemplate page_template = {
        {WS_CHILD | WS_CAPTION | DS_SETFONT, 0, 0, 0, 0, 356, 191}, 0, 0, L"Page", 8, L"MS Shell Dlg",
    };
    HPROPSHEETPAGE pages[2] = {};
    for (HPROPSHEETPAGE& page : pages) {
        PROPSHEETPAGEA info{};
        info.dwSize = sizeof info;
        info.dwFlags = PSP_DLGINDIRECT;
        info.hInstance = instance;
        info.pResource = &page_template.header;
        info.pfnDlgProc = BlankPageProc;
        page = CreatePropertySheetPageA(&info);
        if (!page) return 1;
    }
    PROPSHEETHEADERA header{};
    header.dwSize = sizeof header;
    header.hInstance = instance;
    header.pszCaption = "BareSheet";
    header.nPages = 2;
    header.phpage = pages;
    return PropertySheetA(&header) < 0 ? 1 : 0;
}
