// The Routes page: the routing table, whole or for one address, run to its
// end before Run returns. UI thread only.
#pragma once

#include "core/routes_options.h"
#include "pages/options_page.h"

namespace tracewick {

class CRoutesPage : public OptionsPage<RoutesOptions> {
public:
    CRoutesPage();

    // The address field's focus-loss routine: leading blanks go.
    void CommitInput() override;

protected:
    void DoDataExchange(DataExchange& exchange) override;
    std::optional<RunPlan> PlanRun() override;
};

}  // namespace tracewick
