// The Connections page's options, the lines of their settings file and the
// commands of one run. Portable.
#pragma once

#include <vector>

#include "core/command_line.h"
#include "core/settings_fields.h"

namespace tracewick {

struct ConnectionsOptions {
    bool by_name = true;  // else By Number
    bool tcp = true;
    bool udp = true;
    bool netbios = false;
    bool cumulative = false;
};

// A first line other than TRUE selects By Number.
inline constexpr SettingsField<ConnectionsOptions> kConnectionsFields[] = {
    Field<&ConnectionsOptions::by_name>(),
    Field<&ConnectionsOptions::tcp>(),
    Field<&ConnectionsOptions::udp>(),
    Field<&ConnectionsOptions::netbios>(),
    CumulativeField<&ConnectionsOptions::cumulative>(),
};

// netstat for TCP and UDP, then nbtstat -s and net use for NetBIOS, the
// last of several headed "Connected NetBIOS Shared Resources"; empty when
// no protocol is chosen.
[[nodiscard]] std::vector<RunStep> ConnectionsRun(const ConnectionsOptions& options);

}  // namespace tracewick
