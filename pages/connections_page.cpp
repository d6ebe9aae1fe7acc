#include "pages/connections_page.h"

#include "framework/data_exchange.h"
#include "framework/message_box.h"
#include "res/resource.h"

namespace tracewick {

namespace {

constexpr UINT_PTR kCancelTimer = 14;
constexpr int kHeaderMargin = 13;
constexpr int kMargin = 14;

constexpr CommandPageTraits kConnectionsTraits{IDD_CONNECTIONS_PAGE,
                                              IDC_NET_PANE,
                                              0,
                                              RunnerTraits{"Connect cancelled", "\r\n"},
                                              RunCycleTraits{"Connect", true, false},
                                              kCancelTimer,
                                              0,
                                              kMargin,
                                              kHeaderMargin,
                                              "Tracewick Connections Output",
                                              &kConnectionsLineRules};

}  // namespace

CConnectionsPage::CConnectionsPage()
    : OptionsPage(kConnectionsTraits, nullptr, kConnectionsFields,
                     {&ConnectionsOptions::by_name, IDC_BY_NAME, IDC_BY_NUMBER}) {}

void CConnectionsPage::DoDataExchange(DataExchange& exchange) {
    AsyncCommandPage::DoDataExchange(exchange);
    exchange.Check(IDC_OPTION_TCP, options_.tcp);
    exchange.Check(IDC_OPTION_UDP, options_.udp);
    exchange.Check(IDC_OPTION_NETBIOS, options_.netbios);
}

std::optional<RunPlan> CConnectionsPage::PlanRun() {
    options_.by_name = !ByNumber();
    std::vector<RunStep> steps = ConnectionsRun(options_);
    if (steps.empty()) {
        AppMessageBox(Hwnd(), NoOptionsText("TCP, UDP, NetBIOS"));
        return std::nullopt;
    }
    return RunPlan{std::move(steps)};
}

}  // namespace tracewick
