// The Lookup page: a host's name and addresses. Its settings file also
// carries the shared host list and current host, which it restores when it
// reads its settings at start. UI thread only.
#pragma once

#include "core/lookup_settings.h"
#include "pages/options_page.h"

namespace tracewick {

// Of its settings it keeps only the cumulative flag: the host is the
// page's, the list the shared HostList's.
class CLookupPage : public WithMessageMap<CLookupPage, OptionsPage<LookupSettings>> {
public:
    explicit CLookupPage(HostList& hosts);

    static const MessageEntry<CLookupPage> kMessageMap[];

    void ReadSettings(SettingsReader& reader) override;
    void WriteSettings(SettingsWriter& writer) const override;

protected:
    std::optional<std::string> BuildCommand(const std::string& host) override;
};

}  // namespace tracewick
