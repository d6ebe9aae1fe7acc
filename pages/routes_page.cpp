#include "pages/routes_page.h"

#include "core/text.h"
#include "framework/data_exchange.h"
#include "res/resource.h"

namespace tracewick {

namespace {

constexpr int kMargin = 13;

constexpr CommandPageTraits kRoutesTraits{IDD_ROUTES_PAGE,
                                         IDC_NET_PANE,
                                         0,
                                         RunnerTraits{"Routes stopped"},
                                         RunCycleTraits{"Routes", false, false},
                                         0,
                                         0,
                                         kMargin,
                                         OutputPane::kNoScroll,
                                         "Tracewick Routes Output"};

}  // namespace

CRoutesPage::CRoutesPage() : OptionsPage(kRoutesTraits, nullptr, kRoutesFields) {}

void CRoutesPage::DoDataExchange(DataExchange& exchange) {
    AsyncCommandPage::DoDataExchange(exchange);
    exchange.Text(IDC_TEXT_FIELD, options_.address, kMaxRouteAddress);
}

void CRoutesPage::CommitInput() {
    CommitField([this] { options_.address = StripLeadingBlanks(options_.address); });
}

std::optional<RunPlan> CRoutesPage::PlanRun() {
    std::optional<std::string> command = CommandFor(RoutesCommand(), options_.address, "address");
    if (!command) return std::nullopt;
    return RunPlan{{RunStep{std::move(*command)}}};
}

}  // namespace tracewick
