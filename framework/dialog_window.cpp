#include "framework/dialog_window.h"

#include "framework/data_exchange.h"

namespace tracewick {

bool DialogWindow::UpdateData(bool save) {
    DataExchange exchange(hwnd_, save);
    DoDataExchange(exchange);
    return !exchange.Failed();
}

bool DialogWindow::OnMessage(UINT, WPARAM, LPARAM, INT_PTR&) { return false; }

BOOL DialogWindow::HandleInitDialog() {
    UpdateData(false);
    return OnInitDialog();
}

DialogWindow* DialogWindow::Attached(HWND window) noexcept {
    return reinterpret_cast<DialogWindow*>(::GetWindowLongPtrA(window, DWLP_USER));
}

INT_PTR DialogWindow::Dispatch(DialogWindow* self, HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (!self) return FALSE;
    // Exceptions never cross the dialog procedure.
    try {
        if (message == WM_INITDIALOG) {
            ::SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
            self->hwnd_ = window;
            return self->HandleInitDialog();
        }
        if (message == WM_NCDESTROY) {
            ::SetWindowLongPtrA(window, DWLP_USER, 0);
            self->hwnd_ = nullptr;
            self->OnDestroyed();  // may delete the object: nothing follows
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
