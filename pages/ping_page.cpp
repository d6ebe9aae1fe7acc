#include "pages/ping_page.h"

#include "pages/ping_options_dialog.h"
#include "res/resource.h"

namespace tracewick {

namespace {

constexpr UINT_PTR kRepeatTimer = 5;
constexpr UINT_PTR kCancelTimer = 6;
constexpr int kMargin = 14;

constexpr CommandPageTraits kPingTraits{IDD_PING_PAGE,
                                       IDC_PANE,
                                       IDC_HOST,
                                       RunnerTraits{"Ping cancelled"},
                                       RunCycleTraits{"Ping", true, true},
                                       kCancelTimer,
                                       kRepeatTimer,
                                       kMargin,
                                       kMargin,
                                       "Tracewick Ping Output"};

}  // namespace

const MessageEntry<CPingPage> CPingPage::kMessageMap[] = {
    OnCommand<CPingPage>(IDC_PING_OPTIONS, &CPingPage::OnOptions),
    EndOfMessageMap<CPingPage>(),
};

CPingPage::CPingPage(HostList& hosts) : WithMessageMap(kPingTraits, &hosts, kPingFields) { host_ = " "; }

void CPingPage::ReadSettings(SettingsReader& reader) {
    OptionsPage::ReadSettings(reader);
    run_.SetRepeat(options_.repeat);
}

std::optional<std::string> CPingPage::BuildCommand(const std::string& host) {
    return CommandFor(PingCommand(options_.timeout, options_.count, options_.packet_size), host);
}

INT_PTR CPingPage::OnOptions(WPARAM, LPARAM) {
    PingOptionsDialog dialog(options_);
    if (dialog.DoModal(::GetParent(Hwnd())) != IDOK) return 0;
    options_ = dialog.Options();
    run_.SetRepeat(options_.repeat);
    return 0;
}

}  // namespace tracewick
