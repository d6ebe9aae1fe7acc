#include "framework/property_page.h"

#include "framework/data_exchange.h"

namespace tracewick {

PROPSHEETPAGEA PropertyPage::Descriptor(bool has_help) {
    PROPSHEETPAGEA page{};
    page.dwSize = sizeof(page);
    page.dwFlags = has_help ? PSP_HASHELP : PSP_DEFAULT;
    page.hInstance = ::GetModuleHandleA(nullptr);
    page.pszTemplate = MAKEINTRESOURCEA(template_id_);
    page.pfnDlgProc = &PropertyPage::Procedure;
    page.lParam = reinterpret_cast<LPARAM>(this);
    return page;
}

bool PropertyPage::UpdateData(bool save) {
    DataExchange exchange(hwnd_, save);
    DoDataExchange(exchange);
    return !exchange.Failed();
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
    PropertyPage* self = nullptr;
    if (message == WM_INITDIALOG) {
        const auto* page = reinterpret_cast<const PROPSHEETPAGEA*>(lparam);
        self = reinterpret_cast<PropertyPage*>(page->lParam);
        ::SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = window;
    } else {
        self = reinterpret_cast<PropertyPage*>(::GetWindowLongPtrA(window, DWLP_USER));
    }
    if (!self) return FALSE;

    // Exceptions never cross the dialog procedure.
    try {
        if (message == WM_INITDIALOG) {
            self->UpdateData(false);
            return self->OnInitDialog();
        }
        if (message == WM_NCDESTROY) {
            ::SetWindowLongPtrA(window, DWLP_USER, 0);
            self->hwnd_ = nullptr;
            return FALSE;
        }
        INT_PTR result = 0;
        if (!self->OnMessage(message, wparam, lparam, result)) return FALSE;
        if (message == WM_NOTIFY) {
            ::SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
            return TRUE;
        }
        return result;
    } catch (...) {
        return FALSE;
    }
}

}  // namespace tracewick
