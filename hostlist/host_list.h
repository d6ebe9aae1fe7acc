// The host list shared by the pages that take a host: the commit rule, the
// push rule and the caret rule for their host combo boxes. UI thread only.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tracewick {

// A page whose host combo box belongs to the shared list.
class HostPage {
public:
    virtual ~HostPage() = default;
    [[nodiscard]] virtual HWND HostCombo() const = 0;
    // Takes `host` as the page's current host and shows it.
    virtual void TakeHost(const std::string& host) = 0;
};

class HostList {
public:
    void Add(HostPage& page) { pages_.push_back(&page); }
    // Start-up is over: every host page has its window. Commits before
    // this do nothing, so pages created early do not act on half a sheet.
    void SetReady() noexcept { ready_ = true; }

    // The commit rule, for the host just pulled from `source`'s combo:
    // leading blanks go; a host not yet listed (ignoring case) joins every
    // list in its sorted place; the others take it as their current host.
    // Returns the host without its leading blanks.
    std::string Commit(HostPage& source, const std::string& pulled);

    // Empties every combo (entries and text) and fills each with `entries`.
    void ReplaceEntries(const std::vector<std::string>& entries);
    // The list and current host from the settings file: every combo holds
    // exactly `entries`, and every page shows `host`.
    void Restore(const std::string& host, const std::vector<std::string>& entries);

    // A host combo as the page's template leaves it: the "localhost" entry,
    // and input kept to what a settings line carries.
    static void SetUpCombo(HWND combo);
    // The caret goes to the start of the text, nothing selected.
    static void OnComboFocus(HWND combo);
    // Shows `host`: selects the first entry that begins with it, ignoring
    // case, or else sets the text as it is.
    static void PushHost(HWND combo, const std::string& host);
    static std::vector<std::string> Entries(HWND combo);

private:
    std::vector<HostPage*> pages_;
    bool ready_ = false;
};

}  // namespace tracewick
