#include "framework/dialog.h"

#include "framework/data_exchange.h"

namespace tracewick {

namespace {

void CenterOnOwner(HWND window) {
    RECT area{};
    HWND owner = ::GetWindow(window, GW_OWNER);
    if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner)) {
        ::GetWindowRect(owner, &area);
    } else {
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    }
    RECT own{};
    ::GetWindowRect(window, &own);
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    const int x = area.left + (area.right - area.left - width) / 2;
    const int y = area.top + (area.bottom - area.top - height) / 2;
    ::SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

Dialog::~Dialog() {
    // A modeless dialog must not outlive its object.
    if (hwnd_ && modeless_) ::DestroyWindow(hwnd_);
}

INT_PTR Dialog::DoModal(HWND owner) {
    modeless_ = false;
    return ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(template_id_), owner,
                             &Dialog::Procedure, reinterpret_cast<LPARAM>(this));
}

bool Dialog::CreateModeless(HWND owner) {
    modeless_ = true;
    HWND window = ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(template_id_),
                                       owner, &Dialog::Procedure, reinterpret_cast<LPARAM>(this));
    if (!window) return false;
    ::ShowWindow(window, SW_SHOW);
    return true;
}

void Dialog::End(INT_PTR result) {
    if (!hwnd_) return;
    if (modeless_) {
        ::DestroyWindow(hwnd_);
    } else {
        ::EndDialog(hwnd_, result);
    }
}

bool Dialog::UpdateData(bool save) {
    DataExchange exchange(hwnd_, save);
    DoDataExchange(exchange);
    return !exchange.Failed();
}

void Dialog::OnOK() {
    if (UpdateData(true)) End(IDOK);
}

void Dialog::OnCancel() { End(IDCANCEL); }

bool Dialog::OnMessage(UINT message, WPARAM wparam, LPARAM, INT_PTR& result) {
    if (message == WM_COMMAND && HIWORD(wparam) == 0) {
        if (LOWORD(wparam) == IDOK) {
            OnOK();
            result = TRUE;
            return true;
        }
        if (LOWORD(wparam) == IDCANCEL) {
            OnCancel();
            result = TRUE;
            return true;
        }
    }
    return false;
}

INT_PTR CALLBACK Dialog::Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    Dialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lparam);
        ::SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = window;
    } else {
        self = reinterpret_cast<Dialog*>(::GetWindowLongPtrA(window, DWLP_USER));
    }
    if (!self) return FALSE;

    // Exceptions never cross the dialog procedure.
    try {
        if (message == WM_INITDIALOG) {
            self->UpdateData(false);
            RECT before{};
            ::GetWindowRect(window, &before);
            const BOOL result = self->OnInitDialog();
            // A top-level dialog that its initialisation left in place is
            // centred on its owner, or on the screen when it has none.
            RECT after{};
            ::GetWindowRect(window, &after);
            if (!(::GetWindowLongA(window, GWL_STYLE) & WS_CHILD) && ::EqualRect(&before, &after)) {
                CenterOnOwner(window);
            }
            return result;
        }
        INT_PTR result = 0;
        const bool handled = self->OnMessage(message, wparam, lparam, result);
        if (message == WM_NCDESTROY) {
            ::SetWindowLongPtrA(window, DWLP_USER, 0);
            self->hwnd_ = nullptr;
            self->OnDestroyed();
            return FALSE;
        }
        if (!handled) return FALSE;
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
