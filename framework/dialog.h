// Dialog: a modal or modeless dialog built from a template id. The dialog
// procedure keeps `this` in DWLP_USER and forwards to OnMessage; derived
// classes bind handlers in a message map (WithMessageMap). UI thread only.
#pragma once

#include <windows.h>

#include <string>

namespace tracewick {

class DataExchange;

class Dialog {
public:
    explicit Dialog(int template_id) noexcept : template_id_(template_id) {}
    virtual ~Dialog();

    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs the dialog modally; returns what End was given, or -1 when the
    // window could not be created.
    INT_PTR DoModal(HWND owner);
    // Creates the dialog modeless and shows it; false when it could not.
    [[nodiscard]] bool CreateModeless(HWND owner);

    [[nodiscard]] HWND Hwnd() const noexcept { return hwnd_; }
    [[nodiscard]] HWND Item(int id) const noexcept { return ::GetDlgItem(hwnd_, id); }
    [[nodiscard]] bool IsModeless() const noexcept { return modeless_; }

    // Ends a modal run with `result`, or destroys a modeless window.
    void End(INT_PTR result);

    // Moves values between the controls and the members; false when a
    // validator refused a value (the user has been told, the focus is on the
    // field). `save` true reads the controls.
    bool UpdateData(bool save);

protected:
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void DoDataExchange(DataExchange&) {}
    // IDOK: pull and validate the fields, then end with IDOK.
    virtual void OnOK();
    // IDCANCEL (Escape, the close box): end with IDCANCEL.
    virtual void OnCancel();
    // The window is gone; a modeless owner may forget it here.
    virtual void OnDestroyed() {}
    // True when handled, with the dialog procedure's result in `result`.
    virtual bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR& result);

private:
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

    int template_id_;
    HWND hwnd_ = nullptr;
    bool modeless_ = false;
};

}  // namespace tracewick
