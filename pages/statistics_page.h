// The Statistics page: interface and protocol counters and NetBIOS name
// resolution statistics, one or two commands run to their end before Run
// returns. It takes By Number from the Connections page. UI thread only.
#pragma once

#include "core/statistics_options.h"
#include "pages/command_page.h"
#include "pages/connections_page.h"
#include "settings/page_settings.h"

namespace tracewick {

class CStatisticsPage : public WithMessageMap<CStatisticsPage, AsyncCommandPage>, public PageSettings {
public:
    explicit CStatisticsPage(const CConnectionsPage& connections);

    static const MessageEntry<CStatisticsPage> kMessageMap[];

    const char* SettingsFileName() const override { return kStatisticsSettingsFile; }
    void WriteSettings(SettingsWriter& writer) const override;

protected:
    void ReadSettings() override;
    void DoDataExchange(DataExchange& exchange) override;
    std::optional<RunPlan> PlanRun() override;

private:
    INT_PTR OnDefaults(WPARAM, LPARAM);

    const CConnectionsPage& connections_;
    StatisticsOptions options_;  // its cumulative flag lives in the base's member
};

}  // namespace tracewick
