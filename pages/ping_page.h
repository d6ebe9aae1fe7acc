// The Ping page: echo requests to a host, with an optional repeat at an
// interval. UI thread only; its worker talks to it only through the
// runner's posted messages.
#pragma once

#include "core/ping_options.h"
#include "pages/command_page.h"
#include "settings/page_settings.h"

namespace tracewick {

class CPingPage : public WithMessageMap<CPingPage, AsyncCommandPage>, public PageSettings {
public:
    explicit CPingPage(HostList& hosts);

    static const MessageEntry<CPingPage> kMessageMap[];

    const char* SettingsFileName() const override { return kPingSettingsFile; }
    void WriteSettings(SettingsWriter& writer) const override;

protected:
    void ReadSettings() override;
    std::optional<std::string> BuildCommand(const std::string& host) override;

private:
    INT_PTR OnOptions(WPARAM, LPARAM);

    PingOptions options_;  // its cumulative flag lives in the base's member
};

}  // namespace tracewick
