// What dialogs and property pages share: a window built from a dialog
// template whose procedure keeps `this` in DWLP_USER and forwards every
// message to OnMessage, with data exchange between controls and members.
// UI thread only.
#pragma once

#include <windows.h>

namespace tracewick {

class DataExchange;

class DialogWindow {
public:
    virtual ~DialogWindow() = default;

    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    [[nodiscard]] HWND Hwnd() const noexcept { return hwnd_; }
    [[nodiscard]] HWND Item(int id) const noexcept { return ::GetDlgItem(hwnd_, id); }

    // Moves values between the controls and the members; false when a
    // validator refused a value (the user has been told, the focus is on the
    // field). `save` true reads the controls.
    bool UpdateData(bool save);

protected:
    explicit DialogWindow(int template_id) noexcept : template_id_(template_id) {}

    [[nodiscard]] int TemplateId() const noexcept { return template_id_; }

    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void DoDataExchange(DataExchange&) {}
    // True when handled, with the dialog procedure's result in `result`.
    virtual bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR& result);
    // WM_INITDIALOG: pushes the members to the controls, then OnInitDialog.
    virtual BOOL HandleInitDialog();
    // The window is gone; an owner may forget the object here.
    virtual void OnDestroyed() {}

    // The dialog procedure's work once the caller has found `self`, which
    // WM_INITDIALOG attaches to `window`.
    static INT_PTR Dispatch(DialogWindow* self, HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    // The object attached to `window`, or null.
    static DialogWindow* Attached(HWND window) noexcept;

private:
    int template_id_;
    HWND hwnd_ = nullptr;
};

}  // namespace tracewick
