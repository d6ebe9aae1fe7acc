#include "pages/tracert_page.h"

#include "pages/tracert_options_dialog.h"
#include "res/resource.h"
#include "spawner/contract.h"

namespace tracewick {

namespace {

constexpr UINT_PTR kCancelTimer = 13;
constexpr int kMargin = 14;

constexpr CommandPageTraits kTracertTraits{IDD_TRACERT_PAGE,
                                          IDC_TRACERT_PANE,
                                          IDC_TRACERT_HOST,
                                          RunnerTraits{"Tracert cancelled"},
                                          RunCycleTraits{"Tracert", true, false},
                                          kCancelTimer,
                                          0,
                                          kMargin,
                                          kMargin,
                                          "Tracewick Tracert Output"};

}  // namespace

const MessageEntry<CTracertPage> CTracertPage::kMessageMap[] = {
    OnCommand<CTracertPage>(IDC_TRACERT_OPTIONS, &CTracertPage::OnOptions),
    EndOfMessageMap<CTracertPage>(),
};

CTracertPage::CTracertPage(HostList& hosts) : WithMessageMap(kTracertTraits, &hosts, kTracertFields) {}

std::optional<std::string> CTracertPage::BuildCommand(const std::string& host) {
    return CommandFor(TracertCommand(options_.resolve_names, options_.timeout, options_.maximum_hops), host);
}

// The worker names the host of this run in the unresolved-target message,
// in the output's code page as the message around it.
ChunkRewrite CTracertPage::RewriteFor(const std::string& host) {
    return [host = ToOutputText(host)](std::string_view chunk) { return RewriteUnresolvedTarget(chunk, host); };
}

INT_PTR CTracertPage::OnOptions(WPARAM, LPARAM) {
    TracertOptionsDialog dialog(options_);
    if (dialog.DoModal(::GetParent(Hwnd())) != IDOK) return 0;
    options_ = dialog.Options();
    return 0;
}

}  // namespace tracewick
