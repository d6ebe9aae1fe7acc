// PropertySheet: a modal property sheet built from PropertyPage objects.
// The sheet window is subclassed once it exists so that a derived class can
// bind handlers in a message map like a dialog. UI thread only.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <string>
#include <vector>

namespace tracewick {

class PropertyPage;

class PropertySheet {
public:
    explicit PropertySheet(std::string caption) : caption_(std::move(caption)) {}
    virtual ~PropertySheet() = default;

    PropertySheet(const PropertySheet&) = delete;
    PropertySheet& operator=(const PropertySheet&) = delete;

    // Appends a page; its position is the order of the calls.
    void AddPage(PropertyPage& page) { pages_.push_back(&page); }
    void SetIcon(HICON icon) noexcept { icon_ = icon; }
    // Gives the sheet a Help button (and every page its help flag).
    void SetHasHelp(bool has_help) noexcept { has_help_ = has_help; }

    // Runs the sheet modally; returns PropertySheetA's result.
    INT_PTR DoModal(HWND owner);

    [[nodiscard]] HWND Hwnd() const noexcept { return hwnd_; }
    [[nodiscard]] PropertyPage& PageAt(int position) const { return *pages_.at(static_cast<std::size_t>(position)); }
    [[nodiscard]] int PageCount() const noexcept { return static_cast<int>(pages_.size()); }
    // Position of the active page, or -1 before the window exists.
    [[nodiscard]] int ActivePosition() const noexcept;
    // Activates a page, creating its window on its first activation.
    void SetActivePosition(int position) noexcept;

protected:
    // Before the window exists: adjust the sheet's own template style.
    virtual void OnPreCreate(DWORD& style) { (void)style; }
    // The window and its start page exist; the sheet is not yet shown.
    virtual void OnInitialized() {}
    // True when handled, with the window procedure's result in `result`.
    virtual bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR& result);
    // The sheet's own handling of a message.
    LRESULT CallDefault(UINT message, WPARAM wparam, LPARAM lparam);

private:
    static int CALLBACK Callback(HWND window, UINT message, LPARAM lparam);
    static LRESULT CALLBACK Subclass(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                     UINT_PTR id, DWORD_PTR data);

    std::string caption_;
    std::vector<PropertyPage*> pages_;
    HICON icon_ = nullptr;
    bool has_help_ = false;
    HWND hwnd_ = nullptr;
};

}  // namespace tracewick
