// PropertyPage: one page of a PropertySheet, built from a dialog template.
// Its dialog procedure keeps `this` in DWLP_USER like Dialog. UI thread only.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

namespace tracewick {

class DataExchange;

class PropertyPage {
public:
    explicit PropertyPage(int template_id) noexcept : template_id_(template_id) {}
    virtual ~PropertyPage() = default;

    PropertyPage(const PropertyPage&) = delete;
    PropertyPage& operator=(const PropertyPage&) = delete;

    // The page's description for PropertySheetA.
    [[nodiscard]] PROPSHEETPAGEA Descriptor(bool has_help);

    [[nodiscard]] HWND Hwnd() const noexcept { return hwnd_; }
    [[nodiscard]] HWND Item(int id) const noexcept { return ::GetDlgItem(hwnd_, id); }

    // The routine run when the page's input field loses the focus, and by
    // the sheet before it saves on Close. Pages without a field keep this.
    virtual void CommitInput() {}

    bool UpdateData(bool save);

protected:
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void DoDataExchange(DataExchange&) {}
    // Every activation, the first included.
    virtual void OnSetActive() {}
    virtual bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR& result);

private:
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

    int template_id_;
    HWND hwnd_ = nullptr;
};

}  // namespace tracewick
