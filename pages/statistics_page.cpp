#include "pages/statistics_page.h"

#include <memory>

#include "framework/data_exchange.h"
#include "framework/message_box.h"
#include "res/resource.h"

namespace tracewick {

namespace {

constexpr int kMargin = 13;

constexpr CommandPageTraits kStatisticsTraits{IDD_STATISTICS_PAGE,
                                             IDC_PANE,
                                             0,
                                             RunnerTraits{"Statistics stopped"},
                                             RunCycleTraits{"Statistics", false, false},
                                             0,
                                             0,
                                             kMargin,
                                             OutputPane::kNoScroll,
                                             "Tracewick Statistics Output"};

}  // namespace

CStatisticsPage::CStatisticsPage(const CConnectionsPage& connections)
    : OptionsPage(kStatisticsTraits, nullptr, kStatisticsFields), connections_(connections) {}

void CStatisticsPage::DoDataExchange(DataExchange& exchange) {
    exchange.Check(IDC_OPTION_INTERFACE, options_.interfaces);
    exchange.Check(IDC_OPTION_IP, options_.ip);
    exchange.Check(IDC_OPTION_TCP, options_.tcp);
    exchange.Check(IDC_OPTION_UDP, options_.udp);
    AsyncCommandPage::DoDataExchange(exchange);
    exchange.Check(IDC_OPTION_NETBIOS, options_.netbios);
}

std::optional<RunPlan> CStatisticsPage::PlanRun() {
    if (const auto refusal = StatisticsRefusal(options_)) {
        AppMessageBox(Hwnd(), *refusal);
        return std::nullopt;
    }
    // One rewrite for the whole run: a hidden next chunk may be the next
    // command's first.
    auto rewrite = std::make_shared<NbtFailureRewrite>();
    return RunPlan{StatisticsRun(options_, connections_.ByNumber()), [rewrite](std::string_view chunk) {
                       return chunk.empty() ? rewrite->Finish() : rewrite->Feed(chunk);
                   }};
}

}  // namespace tracewick
