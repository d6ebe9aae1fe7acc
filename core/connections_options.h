// The Connections page's options, its settings file connect.dat and the
// commands of one run. Portable.
#pragma once

#include <vector>

#include "core/command_line.h"
#include "core/settings_format.h"

namespace tracewick {

struct ConnectionsOptions {
    bool by_name = true;  // else By Number
    bool tcp = true;
    bool udp = true;
    bool netbios = false;
    bool cumulative = false;
};

inline constexpr char kConnectionsSettingsFile[] = "connect.dat";

// Lines: By Name, TCP, UDP, NetBIOS, cumulative.
void WriteConnectionsSettings(const ConnectionsOptions& options, SettingsWriter& writer);
void ReadConnectionsSettings(SettingsReader& reader, ConnectionsOptions& options);

// netstat for TCP and UDP, then nbtstat -s and net use for NetBIOS, the
// last of several headed "Connected NetBIOS Shared Resources"; empty when
// no protocol is chosen.
[[nodiscard]] std::vector<RunStep> ConnectionsRun(const ConnectionsOptions& options);

}  // namespace tracewick
