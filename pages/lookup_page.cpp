#include "pages/lookup_page.h"

#include "res/resource.h"
#include "settings/settings_io.h"

namespace tracewick {

namespace {

constexpr UINT_PTR kCancelTimer = 10;
constexpr int kMargin = 14;

constexpr CommandPageTraits kLookupTraits{IDD_LOOKUP_PAGE,
                                         IDC_PANE,
                                         IDC_HOST,
                                         RunnerTraits{WM_USER + 1002, WM_USER + 1003, "Lookup cancelled"},
                                         RunCycleTraits{"Lookup", true, false},
                                         kCancelTimer,
                                         0,
                                         kMargin,
                                         kMargin,
                                         "Tracewick Lookup Output"};

}  // namespace

const MessageEntry<CLookupPage> CLookupPage::kMessageMap[] = {
    EndOfMessageMap<CLookupPage>(),
};

CLookupPage::CLookupPage(HostList& hosts) : WithMessageMap(kLookupTraits, &hosts) {}

// Without a file the list keeps its "localhost" and every host its initial
// value. With one, the list holds exactly the file's entries and all three
// pages take its host. Read at start, with or without the page's window.
void CLookupPage::ReadSettings() {
    const auto saved = ReadSettingsFile(kLookupSettingsFile);
    if (!saved) return;
    SettingsReader reader(*saved);
    LookupSettings settings;
    settings.host = host_;
    ReadLookupSettings(reader, settings);
    cumulative_ = settings.cumulative;
    host_ = settings.host;
    hosts_->Restore(settings.host, settings.hosts);
}

void CLookupPage::WriteSettings(SettingsWriter& writer) const {
    LookupSettings settings;
    settings.cumulative = cumulative_;
    settings.host = host_;
    settings.hosts = hosts_->Entries();
    WriteLookupSettings(settings, writer);
}

std::optional<std::string> CLookupPage::BuildCommand(const std::string& host) {
    return CommandFor(LookupCommand(), host);
}

}  // namespace tracewick
