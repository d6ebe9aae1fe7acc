#include "pages/lookup_page.h"

#include "res/resource.h"

namespace tracewick {

namespace {

constexpr UINT_PTR kCancelTimer = 10;
constexpr int kMargin = 14;

constexpr CommandPageTraits kLookupTraits{IDD_LOOKUP_PAGE,
                                         IDC_PANE,
                                         IDC_HOST,
                                         RunnerTraits{"Lookup cancelled"},
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

CLookupPage::CLookupPage(HostList& hosts) : WithMessageMap(kLookupTraits, &hosts, kLookupFields) {}

// Without a file the list keeps its "localhost" and every host its initial
// value. With one, the list holds exactly the file's entries and all three
// pages take its host, also when its line is empty and this page's stays.
void CLookupPage::ReadSettings(SettingsReader& reader) {
    LookupSettings read = options_;
    read.host = host_;
    layout_.Read(reader, read);
    options_.cumulative = read.cumulative;
    host_ = read.host;
    hosts_->Restore(host_, read.hosts);
}

void CLookupPage::WriteSettings(SettingsWriter& writer) const {
    LookupSettings saved = options_;
    saved.host = host_;
    saved.hosts = hosts_->Entries();
    layout_.Write(saved, writer);
}

std::optional<std::string> CLookupPage::BuildCommand(const std::string& host) {
    return CommandFor(LookupCommand(), host);
}

}  // namespace tracewick
