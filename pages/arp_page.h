// The ARP page: the address-resolution cache, whole, for one destination or
// for one interface. UI thread only.
#pragma once

#include "core/arp_options.h"
#include "pages/command_page.h"
#include "settings/page_settings.h"

namespace tracewick {

class CArpPage : public WithMessageMap<CArpPage, AsyncCommandPage>, public PageSettings {
public:
    CArpPage();

    static const MessageEntry<CArpPage> kMessageMap[];

    const char* SettingsFileName() const override { return kArpSettingsFile; }
    void WriteSettings(SettingsWriter& writer) const override;
    // The address field's focus-loss routine: leading blanks go.
    void CommitInput() override;

protected:
    void ReadSettings() override;
    void ShowSettings() override;
    void DoDataExchange(DataExchange& exchange) override;
    std::optional<RunPlan> PlanRun() override;

private:
    INT_PTR OnDefaults(WPARAM, LPARAM);

    // Its By Destination is pushed to the radio buttons, which hold it from
    // then on; its cumulative flag lives in the base's member.
    ArpOptions options_;
};

}  // namespace tracewick
