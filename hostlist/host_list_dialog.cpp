#include "hostlist/host_list_dialog.h"

#include <string>
#include <vector>

#include "framework/data_exchange.h"
#include "framework/help_request.h"
#include "res/resource.h"

namespace tracewick {

const MessageEntry<HostListDialog> HostListDialog::kMessageMap[] = {
    OnCommand<HostListDialog>(IDC_HOST_LIST, &HostListDialog::OnSelectionChange, LBN_SELCHANGE),
    OnCommand<HostListDialog>(IDC_HOST_DELETE, &HostListDialog::OnDelete),
    OnCommand<HostListDialog>(IDC_HOST_DEFAULT, &HostListDialog::OnDefault),
    OnCommand<HostListDialog>(IDC_HOST_HELP, &HostListDialog::OnHelp),
    EndOfMessageMap<HostListDialog>(),
};

HostListDialog::HostListDialog(HostList& hosts) : WithMessageMap(IDD_HOST_LIST), hosts_(hosts) {}

BOOL HostListDialog::OnInitDialog() {
    HWND list = Item(IDC_HOST_LIST);
    for (const std::string& entry : hosts_.Entries()) {
        ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    }
    return TRUE;
}

INT_PTR HostListDialog::OnSelectionChange(WPARAM, LPARAM) {
    const LRESULT selected = ::SendMessageA(Item(IDC_HOST_LIST), LB_GETSELCOUNT, 0, 0);
    ::EnableWindow(Item(IDC_HOST_DELETE), selected > 0);
    return 0;
}

// Every selected entry goes, however many.
INT_PTR HostListDialog::OnDelete(WPARAM, LPARAM) {
    HWND list = Item(IDC_HOST_LIST);
    const LRESULT count = ::SendMessageA(list, LB_GETSELCOUNT, 0, 0);
    if (count > 0) {
        std::vector<int> selected(static_cast<std::size_t>(count));
        const LRESULT got = ::SendMessageA(list, LB_GETSELITEMS, static_cast<WPARAM>(count),
                                           reinterpret_cast<LPARAM>(selected.data()));
        selected.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
        // From the highest index down, so the others stay valid.
        for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
            ::SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(*it), 0);
        }
    }
    ::EnableWindow(Item(IDC_HOST_DELETE), FALSE);
    ::SetFocus(Item(IDOK));
    return 0;
}

INT_PTR HostListDialog::OnDefault(WPARAM, LPARAM) {
    ::EnableWindow(Item(IDC_HOST_DEFAULT), FALSE);
    ::EnableWindow(Item(IDC_HOST_DELETE), FALSE);
    ::SetFocus(Item(IDOK));
    HWND list = Item(IDC_HOST_LIST);
    ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
    ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("localhost"));
    return 0;
}

INT_PTR HostListDialog::OnHelp(WPARAM, LPARAM) {
    ShowHelpTopic("Modify Host List");
    return 0;
}

void HostListDialog::OnOK() {
    std::vector<std::string> entries = ListBoxEntries(Item(IDC_HOST_LIST));
    if (entries.empty()) entries.emplace_back("localhost");
    hosts_.ReplaceEntries(entries);
    End(IDOK);
}

}  // namespace tracewick
