// The Statistics page: interface and protocol counters and NetBIOS name
// resolution statistics, one or two commands run to their end before Run
// returns. It takes By Number from the Connections page. UI thread only.
#pragma once

#include "core/statistics_options.h"
#include "pages/connections_page.h"
#include "pages/options_page.h"

namespace tracewick {

class CStatisticsPage : public OptionsPage<StatisticsOptions> {
public:
    explicit CStatisticsPage(const CConnectionsPage& connections);

protected:
    void DoDataExchange(DataExchange& exchange) override;
    std::optional<RunPlan> PlanRun() override;

private:
    const CConnectionsPage& connections_;
};

}  // namespace tracewick
