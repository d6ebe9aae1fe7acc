// The Lookup page: a host's name and addresses. Its settings file also
// carries the shared host list and current host, which it restores when it
// reads its settings at start. UI thread only.
#pragma once

#include "core/lookup_settings.h"
#include "pages/command_page.h"
#include "settings/page_settings.h"

namespace tracewick {

class CLookupPage : public WithMessageMap<CLookupPage, AsyncCommandPage>, public PageSettings {
public:
    explicit CLookupPage(HostList& hosts);

    static const MessageEntry<CLookupPage> kMessageMap[];

    const char* SettingsFileName() const override { return kLookupSettingsFile; }
    void WriteSettings(SettingsWriter& writer) const override;

protected:
    void ReadSettings() override;
    std::optional<std::string> BuildCommand(const std::string& host) override;
};

}  // namespace tracewick
