// The Connections page: the machine's TCP and UDP end points, its NetBIOS
// sessions and the shared resources it uses, up to three commands in one
// run, shown line by line. UI thread only.
#pragma once

#include "core/connections_options.h"
#include "pages/options_page.h"
#include "res/resource.h"

namespace tracewick {

class CConnectionsPage : public OptionsPage<ConnectionsOptions> {
public:
    CConnectionsPage();

    // Whether By Number is chosen: its button, or the setting read while the
    // page has no window yet.
    [[nodiscard]] bool ByNumber() const { return IsChecked(IDC_BY_NUMBER, !options_.by_name); }

protected:
    void DoDataExchange(DataExchange& exchange) override;
    std::optional<RunPlan> PlanRun() override;
};

}  // namespace tracewick
