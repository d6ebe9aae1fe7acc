// Dialog: a modal or modeless dialog built from a template id; derived
// classes bind handlers in a message map (WithMessageMap). UI thread only.
#pragma once

#include "framework/dialog_window.h"

namespace tracewick {

class Dialog : public DialogWindow {
public:
    explicit Dialog(int template_id) noexcept : DialogWindow(template_id) {}
    ~Dialog() override;

    // Runs the dialog modally; returns what End was given, or -1 when the
    // window could not be created.
    INT_PTR DoModal(HWND owner);
    // Creates the dialog modeless and shows it; false when it could not.
    [[nodiscard]] bool CreateModeless(HWND owner);


    // Ends a modal run with `result`, or destroys a modeless window.
    void End(INT_PTR result);

protected:
    // IDOK: pull and validate the fields, then end with IDOK.
    virtual void OnOK();
    // IDCANCEL (Escape, the close box): end with IDCANCEL.
    virtual void OnCancel();
    bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR& result) override;
    // Centres a top-level dialog that its initialisation left in place.
    BOOL HandleInitDialog() override;

private:
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

    bool modeless_ = false;
};

}  // namespace tracewick
