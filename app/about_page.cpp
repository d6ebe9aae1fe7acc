#include "app/about_page.h"

#include "app/pictures.h"
#include "framework/resource_text.h"
#include "res/resource.h"

namespace tracewick {

const MessageEntry<CAboutPage> CAboutPage::kMessageMap[] = {
    OnCommand<CAboutPage>(IDC_TEXT_FIELD, &CAboutPage::OnNoticeFocus, EN_SETFOCUS),
    EndOfMessageMap<CAboutPage>(),
};

CAboutPage::CAboutPage() : WithMessageMap(IDD_ABOUT_PAGE) {}

BOOL CAboutPage::OnInitDialog() {
    ChoosePictureForScreen(Hwnd());
    return TRUE;
}

void CAboutPage::OnSetActive() {
    const std::string notice = LoadResourceString(IDS_ABOUT_NOTICE);
    if (notice.empty()) return;
    HWND field = Item(IDC_TEXT_FIELD);
    ::SetWindowTextA(field, "");
    // Inserted rather than set, so that it cannot be undone.
    ::SendMessageA(field, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(notice.c_str()));
}

// The notice never keeps the focus: no caret, no selection.
INT_PTR CAboutPage::OnNoticeFocus(WPARAM, LPARAM) {
    ::SetFocus(Item(IDC_RUN));
    return 0;
}

AboutDialog::AboutDialog() : Dialog(IDD_ABOUTBOX) {}

}  // namespace tracewick
