// The ARP page: the address-resolution cache, whole, for one destination or
// for one interface. UI thread only.
#pragma once

#include "core/arp_options.h"
#include "pages/options_page.h"

namespace tracewick {

class CArpPage : public OptionsPage<ArpOptions> {
public:
    CArpPage();

    // The address field's focus-loss routine: leading blanks go.
    void CommitInput() override;

protected:
    void DoDataExchange(DataExchange& exchange) override;
    std::optional<RunPlan> PlanRun() override;
};

}  // namespace tracewick
