#include "hostlist/host_list.h"

#include "core/text.h"

namespace tracewick {

namespace {

// Case as the combo box's own search ignores it: by the user's locale.
bool SameAsComboDoes(std::string_view a, std::string_view b) {
    return ::CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                            static_cast<int>(b.size())) == CSTR_EQUAL;
}

// The order a sorted combo box keeps: by the user's locale, ignoring case.
int OrderAsComboDoes(std::string_view a, std::string_view b) {
    return ::CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                            static_cast<int>(b.size())) -
           CSTR_EQUAL;
}

void InsertEntry(HWND combo, std::size_t place, const std::string& entry) {
    ::SendMessageA(combo, CB_INSERTSTRING, static_cast<WPARAM>(place), reinterpret_cast<LPARAM>(entry.c_str()));
}

}  // namespace

HostList::HostList() : entries_(OrderAsComboDoes, SameAsComboDoes) {}

std::string HostList::Commit(HostPage& source, const std::string& pulled) {
    std::string host = StripLeadingBlanks(pulled);
    if (!ready_) return host;
    if (const auto place = entries_.Commit(host)) {
        for (HostPage* page : pages_) {
            if (HWND combo = page->HostCombo()) InsertEntry(combo, *place, host);
        }
    }
    for (HostPage* page : pages_) {
        if (page != &source) page->TakeHost(host);
    }
    return host;
}

void HostList::ReplaceEntries(const std::vector<std::string>& entries) {
    entries_.Replace(entries);
    for (HostPage* page : pages_) {
        HWND combo = page->HostCombo();
        if (!combo) {
            page->EmptyHostField();
            continue;
        }
        ::SendMessageA(combo, CB_RESETCONTENT, 0, 0);
        Fill(combo);
    }
}

void HostList::Restore(const std::string& host, const std::vector<std::string>& entries) {
    ReplaceEntries(entries);
    for (HostPage* page : pages_) page->TakeHost(host);
}

void HostList::SetUpCombo(HWND combo) const {
    ::SendMessageA(combo, CB_LIMITTEXT, kMaxHostLength, 0);
    Fill(combo);
}

void HostList::Fill(HWND combo) const {
    const std::vector<std::string>& entries = entries_.Items();
    for (std::size_t place = 0; place < entries.size(); ++place) InsertEntry(combo, place, entries[place]);
}

void HostList::OnComboFocus(HWND combo) { ::SendMessageA(combo, CB_SETEDITSEL, 0, MAKELPARAM(0, 0)); }

void HostList::PushHost(HWND combo, const std::string& host) const {
    const int entry = entries_.PushedEntry(host);
    if (entry >= 0) {
        ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
    } else {
        ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        ::SetWindowTextA(combo, host.c_str());
    }
}

}  // namespace tracewick
