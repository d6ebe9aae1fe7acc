// The Routes page: the routing table, whole or for one address, run to its
// end before Run returns. UI thread only.
#pragma once

#include "core/routes_options.h"
#include "pages/command_page.h"
#include "settings/page_settings.h"

namespace tracewick {

class CRoutesPage : public WithMessageMap<CRoutesPage, AsyncCommandPage>, public PageSettings {
public:
    CRoutesPage();

    static const MessageEntry<CRoutesPage> kMessageMap[];

    const char* SettingsFileName() const override { return kRoutesSettingsFile; }
    void WriteSettings(SettingsWriter& writer) const override;
    // The address field's focus-loss routine: leading blanks go.
    void CommitInput() override;

protected:
    void ReadSettings() override;
    void DoDataExchange(DataExchange& exchange) override;
    std::optional<RunPlan> PlanRun() override;

private:
    INT_PTR OnDefaults(WPARAM, LPARAM);

    RoutesOptions options_;  // its cumulative flag lives in the base's member
};

}  // namespace tracewick
