// The Trace Route page: the route to a host, hop by hop, with the options
// dialog for timeout, maximum hops and name resolution. UI thread only.
#pragma once

#include "core/tracert_options.h"
#include "pages/command_page.h"
#include "settings/page_settings.h"

namespace tracewick {

class CTracertPage : public WithMessageMap<CTracertPage, AsyncCommandPage>, public PageSettings {
public:
    explicit CTracertPage(HostList& hosts);

    static const MessageEntry<CTracertPage> kMessageMap[];

    const char* SettingsFileName() const override { return kTracertSettingsFile; }
    void WriteSettings(SettingsWriter& writer) const override;

protected:
    void ReadSettings() override;
    std::optional<std::string> BuildCommand(const std::string& host) override;
    ChunkRewrite RewriteFor(const std::string& host) override;

private:
    INT_PTR OnOptions(WPARAM, LPARAM);

    TracertOptions options_;  // its cumulative flag lives in the base's member
};

}  // namespace tracewick
