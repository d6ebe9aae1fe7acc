// The Connections page: the machine's TCP and UDP end points, its NetBIOS
// sessions and the shared resources it uses, up to three commands in one
// run, shown line by line. UI thread only.
#pragma once

#include "core/connections_options.h"
#include "pages/command_page.h"
#include "res/resource.h"
#include "settings/page_settings.h"

namespace tracewick {

class CConnectionsPage : public WithMessageMap<CConnectionsPage, AsyncCommandPage>, public PageSettings {
public:
    CConnectionsPage();

    static const MessageEntry<CConnectionsPage> kMessageMap[];

    const char* SettingsFileName() const override { return kConnectionsSettingsFile; }
    void WriteSettings(SettingsWriter& writer) const override;
    // Whether By Number is chosen: its button, or the setting read while the
    // page has no window yet.
    [[nodiscard]] bool ByNumber() const { return IsChecked(IDC_BY_NUMBER, !options_.by_name); }

protected:
    void ReadSettings() override;
    void ShowSettings() override;
    void DoDataExchange(DataExchange& exchange) override;
    std::optional<RunPlan> PlanRun() override;

private:
    INT_PTR OnDefaults(WPARAM, LPARAM);

    // Its By Name is pushed to the radio buttons, which hold it from then
    // on; its cumulative flag lives in the base's member.
    ConnectionsOptions options_;
};

}  // namespace tracewick
