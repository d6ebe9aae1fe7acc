#include "framework/property_page.h"

namespace tracewick {

PROPSHEETPAGEA PropertyPage::Descriptor(bool has_help) {
    PROPSHEETPAGEA page{};
    page.dwSize = sizeof(page);
    page.dwFlags = has_help ? PSP_HASHELP : PSP_DEFAULT;
    page.hInstance = ::GetModuleHandleA(nullptr);
    page.pszTemplate = MAKEINTRESOURCEA(TemplateId());
    page.pfnDlgProc = &PropertyPage::Procedure;
    page.lParam = reinterpret_cast<LPARAM>(this);
    return page;
}

bool PropertyPage::OnMessage(UINT message, WPARAM, LPARAM lparam, INT_PTR& result) {
    if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lparam)->code == PSN_SETACTIVE) {
        OnSetActive();
        result = 0;  // accept the activation
        return true;
    }
    return false;
}

INT_PTR CALLBACK PropertyPage::Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    DialogWindow* self = message == WM_INITDIALOG
                             ? reinterpret_cast<PropertyPage*>(reinterpret_cast<const PROPSHEETPAGEA*>(lparam)->lParam)
                             : Attached(window);
    return Dispatch(self, window, message, wparam, lparam);
}

}  // namespace tracewick
