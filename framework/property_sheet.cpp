#include "framework/property_sheet.h"

#include "framework/message_box.h"
#include "framework/property_page.h"

namespace tracewick {

namespace {

// The sheet being created on this thread: PropertySheetA's callback carries
// no user data, and it runs inside DoModal on the same thread.
thread_local PropertySheet* g_creating = nullptr;

constexpr UINT_PTR kSubclassId = 1;

}  // namespace

INT_PTR PropertySheet::DoModal(HWND owner) {
    std::vector<PROPSHEETPAGEA> descriptors;
    descriptors.reserve(pages_.size());
    for (PropertyPage* page : pages_) descriptors.push_back(page->Descriptor(has_help_));

    PROPSHEETHEADERA header{};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_USECALLBACK | PSH_NOCONTEXTHELP;
    if (has_help_) header.dwFlags |= PSH_HASHELP;
    if (icon_) header.dwFlags |= PSH_USEHICON;
    header.hwndParent = owner;
    header.hInstance = ::GetModuleHandleA(nullptr);
    header.hIcon = icon_;
    header.pszCaption = caption_.c_str();
    header.nPages = static_cast<UINT>(descriptors.size());
    header.nStartPage = 0;
    header.ppsp = descriptors.data();
    header.pfnCallback = &PropertySheet::Callback;

    g_creating = this;
    const INT_PTR result = ::PropertySheetA(&header);
    g_creating = nullptr;
    return result;
}

int PropertySheet::ActivePosition() const noexcept {
    if (!hwnd_) return -1;
    HWND page = PropSheet_GetCurrentPageHwnd(hwnd_);
    return static_cast<int>(PropSheet_HwndToIndex(hwnd_, page));
}

void PropertySheet::SetActivePosition(int position) noexcept {
    if (hwnd_) PropSheet_SetCurSel(hwnd_, nullptr, position);
}

bool PropertySheet::OnMessage(UINT, WPARAM, LPARAM, INT_PTR&) { return false; }

LRESULT PropertySheet::CallDefault(UINT message, WPARAM wparam, LPARAM lparam) {
    return ::DefSubclassProc(hwnd_, message, wparam, lparam);
}

int CALLBACK PropertySheet::Callback(HWND window, UINT message, LPARAM lparam) {
    PropertySheet* self = g_creating;
    if (!self) return 0;
    try {
        if (message == PSCB_PRECREATE && lparam) {
            // The template may be the extended form; its style sits elsewhere.
            auto* words = reinterpret_cast<WORD*>(lparam);
            DWORD* style = words[1] == 0xFFFF ? reinterpret_cast<DWORD*>(words + 6)
                                              : reinterpret_cast<DWORD*>(lparam);
            self->OnPreCreate(*style);
        } else if (message == PSCB_INITIALIZED) {
            self->hwnd_ = window;
            if (!::SetWindowSubclass(window, &PropertySheet::Subclass, kSubclassId, reinterpret_cast<DWORD_PTR>(self))) {
                // Without our handlers Enter and Exit would end the sheet
                // unseen (nothing saved): end it now, before anything happened.
                AppMessageBox(window, "Tracewick could not set up its window and ends.");
                ::PostMessageA(window, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
                return 0;
            }
            self->OnInitialized();
        }
    } catch (...) {
    }
    return 0;
}

LRESULT CALLBACK PropertySheet::Subclass(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                         UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<PropertySheet*>(data);
    if (message == WM_NCDESTROY) {
        ::RemoveWindowSubclass(window, &PropertySheet::Subclass, kSubclassId);
        self->hwnd_ = nullptr;
        return ::DefSubclassProc(window, message, wparam, lparam);
    }
    // Exceptions never cross the window procedure.
    try {
        INT_PTR result = 0;
        if (self->OnMessage(message, wparam, lparam, result)) return result;
    } catch (...) {
    }
    return ::DefSubclassProc(window, message, wparam, lparam);
}

}  // namespace tracewick
