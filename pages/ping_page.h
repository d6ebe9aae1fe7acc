// The Ping page: echo requests to a host, with an optional repeat at an
// interval. UI thread only; its worker talks to it only through the
// runner's posted messages.
#pragma once

#include "core/ping_options.h"
#include "pages/options_page.h"

namespace tracewick {

class CPingPage : public WithMessageMap<CPingPage, OptionsPage<PingOptions>> {
public:
    explicit CPingPage(HostList& hosts);

    static const MessageEntry<CPingPage> kMessageMap[];

    // The repeat interval read takes effect at once.
    void ReadSettings(SettingsReader& reader) override;

protected:
    std::optional<std::string> BuildCommand(const std::string& host) override;

private:
    INT_PTR OnOptions(WPARAM, LPARAM);
};

}  // namespace tracewick
