// The Trace Route page: the route to a host, hop by hop, with the options
// dialog for timeout, maximum hops and name resolution. UI thread only.
#pragma once

#include "core/tracert_options.h"
#include "pages/options_page.h"

namespace tracewick {

class CTracertPage : public WithMessageMap<CTracertPage, OptionsPage<TracertOptions>> {
public:
    explicit CTracertPage(HostList& hosts);

    static const MessageEntry<CTracertPage> kMessageMap[];

protected:
    std::optional<std::string> BuildCommand(const std::string& host) override;
    ChunkRewrite RewriteFor(const std::string& host) override;

private:
    INT_PTR OnOptions(WPARAM, LPARAM);
};

}  // namespace tracewick
