#include "hostlist/host_list.h"

#include "core/host_rules.h"
#include "core/text.h"
#include "framework/data_exchange.h"

namespace tracewick {

namespace {

// Case as the combo box's own search ignores it: by the user's locale.
bool SameAsComboDoes(std::string_view a, std::string_view b) {
    return ::CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                            static_cast<int>(b.size())) == CSTR_EQUAL;
}

}  // namespace

std::string HostList::Commit(HostPage& source, const std::string& pulled) {
    std::string host = StripLeadingBlanks(pulled);
    if (!ready_) return host;
    if (!host.empty() && !ListHoldsHost(Entries(source.HostCombo()), host, SameAsComboDoes)) {
        for (HostPage* page : pages_) {
            ::SendMessageA(page->HostCombo(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(host.c_str()));
        }
    }
    for (HostPage* page : pages_) {
        if (page != &source) page->TakeHost(host);
    }
    return host;
}

void HostList::ReplaceEntries(const std::vector<std::string>& entries) {
    for (HostPage* page : pages_) {
        HWND combo = page->HostCombo();
        if (!combo) continue;
        ::SendMessageA(combo, CB_RESETCONTENT, 0, 0);
        for (const std::string& entry : entries) {
            ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
        }
    }
}

void HostList::Restore(const std::string& host, const std::vector<std::string>& entries) {
    ReplaceEntries(entries);
    for (HostPage* page : pages_) page->TakeHost(host);
}

void HostList::SetUpCombo(HWND combo) {
    ::SendMessageA(combo, CB_LIMITTEXT, kMaxHostLength, 0);
    ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("localhost"));
}

void HostList::OnComboFocus(HWND combo) { ::SendMessageA(combo, CB_SETEDITSEL, 0, MAKELPARAM(0, 0)); }

void HostList::PushHost(HWND combo, const std::string& host) {
    const int entry = PushedEntry(Entries(combo), host, SameAsComboDoes);
    if (entry >= 0) {
        ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
    } else {
        ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        ::SetWindowTextA(combo, host.c_str());
    }
}

std::vector<std::string> HostList::Entries(HWND combo) { return ComboEntries(combo); }

}  // namespace tracewick
