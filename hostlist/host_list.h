// The host list shared by the pages that take a host: its entries and the
// commit rule, the push rule and the caret rule for their host combo boxes.
// The list keeps the entries itself and every combo that exists mirrors it,
// so a host page needs no window until it is first opened. UI thread only.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "core/host_rules.h"

namespace tracewick {

// A page whose host combo box belongs to the shared list.
class HostPage {
public:
    virtual ~HostPage() = default;
    // Null while the page has no window.
    [[nodiscard]] virtual HWND HostCombo() const = 0;
    // Takes `host` as the page's current host and shows it.
    virtual void TakeHost(const std::string& host) = 0;
    // The list was replaced while the page had no window: its combo, once
    // made, shows no text, as a replaced combo does; the page's host stays.
    virtual void EmptyHostField() = 0;
};

class HostList {
public:
    HostList();

    void Add(HostPage& page) { pages_.push_back(&page); }
    // Start-up is over: every page has read its settings. Commits before
    // this do nothing, so pages created early do not act on half a sheet.
    void SetReady() noexcept { ready_ = true; }

    [[nodiscard]] const std::vector<std::string>& Entries() const noexcept { return entries_.Items(); }

    // The commit rule, for the host just pulled from `source`'s combo:
    // leading blanks go; a host not yet listed (ignoring case) joins every
    // list in its sorted place; the others take it as their current host.
    // Returns the host without its leading blanks.
    std::string Commit(HostPage& source, const std::string& pulled);

    // The list becomes `entries`, sorted; every combo is emptied (entries and
    // text) and shows it.
    void ReplaceEntries(const std::vector<std::string>& entries);
    // The list and current host from the settings file: the list holds
    // exactly `entries`, and every page takes `host`.
    void Restore(const std::string& host, const std::vector<std::string>& entries);

    // A host combo just made: input kept to what a settings line carries,
    // and the list's entries.
    void SetUpCombo(HWND combo) const;
    // The caret goes to the start of the text, nothing selected.
    static void OnComboFocus(HWND combo);
    // Shows `host`: selects the first entry that begins with it, ignoring
    // case, or else sets the text as it is.
    void PushHost(HWND combo, const std::string& host) const;

private:
    // Fills an empty combo in the list's order; its own sorting is bypassed
    // so that it always shows exactly what the list holds.
    void Fill(HWND combo) const;

    HostEntries entries_;
    std::vector<HostPage*> pages_;
    bool ready_ = false;
};

}  // namespace tracewick
