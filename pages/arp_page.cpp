#include "pages/arp_page.h"

#include "core/text.h"
#include "framework/data_exchange.h"
#include "res/resource.h"

namespace tracewick {

namespace {

constexpr UINT_PTR kCancelTimer = 11;
constexpr int kMargin = 14;

constexpr CommandPageTraits kArpTraits{IDD_ARP_PAGE,
                                      IDC_PANE,
                                      0,
                                      RunnerTraits{"ARP cancelled"},
                                      RunCycleTraits{"ARP", true, false},
                                      kCancelTimer,
                                      0,
                                      kMargin,
                                      OutputPane::kNoScroll,
                                      "Tracewick ARP Output"};

}  // namespace

CArpPage::CArpPage()
    : OptionsPage(kArpTraits, nullptr, kArpFields,
                     {&ArpOptions::by_destination, IDC_BY_DESTINATION, IDC_BY_INTERFACE}) {}

void CArpPage::DoDataExchange(DataExchange& exchange) {
    AsyncCommandPage::DoDataExchange(exchange);
    exchange.Text(IDC_TEXT_FIELD, options_.address);
}

void CArpPage::CommitInput() {
    CommitField([this] { options_.address = StripLeadingBlanks(options_.address); });
}

std::optional<RunPlan> CArpPage::PlanRun() {
    const bool by_destination = IsChecked(IDC_BY_DESTINATION);
    std::optional<std::string> command = CommandFor(ArpCommand(by_destination, options_.address), options_.address, "address");
    if (!command) return std::nullopt;
    return RunPlan{{RunStep{std::move(*command)}}, [by_destination](std::string_view chunk) {
                       std::string text(chunk);
                       RewriteArpErrors(text, by_destination);
                       return text;
                   }};
}

}  // namespace tracewick
