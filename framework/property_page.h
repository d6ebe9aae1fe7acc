// PropertyPage: one page of a PropertySheet, built from a dialog template.
// UI thread only.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include "framework/dialog_window.h"

namespace tracewick {

class PropertyPage : public DialogWindow {
public:
    explicit PropertyPage(int template_id) noexcept : DialogWindow(template_id) {}

    // The page's description for PropertySheetA.
    [[nodiscard]] PROPSHEETPAGEA Descriptor(bool has_help);

    // The routine run when the page's input field loses the focus, and by
    // the sheet before it saves on Close. Pages without a field keep this.
    virtual void CommitInput() {}
    // The sheet is closing: a run still going asks its spawner to stop, so
    // its command ends cleanly before the program's job ends it.
    virtual void StopRun() {}

protected:
    // Every activation, the first included.
    virtual void OnSetActive() {}
    bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR& result) override;

private:
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
};

}  // namespace tracewick
