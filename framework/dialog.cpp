#include "framework/dialog.h"


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
    if (Hwnd() && modeless_) ::DestroyWindow(Hwnd());
}

INT_PTR Dialog::DoModal(HWND owner) {
    modeless_ = false;
    return ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(TemplateId()), owner,
                             &Dialog::Procedure, reinterpret_cast<LPARAM>(this));
}

bool Dialog::CreateModeless(HWND owner) {
    modeless_ = true;
    HWND window = ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(TemplateId()),
                                       owner, &Dialog::Procedure, reinterpret_cast<LPARAM>(this));
    if (!window) return false;
    ::ShowWindow(window, SW_SHOW);
    return true;
}

void Dialog::End(INT_PTR result) {
    if (!Hwnd()) return;
    if (modeless_) {
        ::DestroyWindow(Hwnd());
    } else {
        ::EndDialog(Hwnd(), result);
    }
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

BOOL Dialog::HandleInitDialog() {
    RECT before{};
    ::GetWindowRect(Hwnd(), &before);
    const BOOL result = DialogWindow::HandleInitDialog();
    RECT after{};
    ::GetWindowRect(Hwnd(), &after);
    if (!(::GetWindowLongA(Hwnd(), GWL_STYLE) & WS_CHILD) && ::EqualRect(&before, &after)) {
        CenterOnOwner(Hwnd());
    }
    return result;
}

INT_PTR CALLBACK Dialog::Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    DialogWindow* self = message == WM_INITDIALOG ? reinterpret_cast<Dialog*>(lparam) : Attached(window);
    return Dispatch(self, window, message, wparam, lparam);
}

}  // namespace tracewick
