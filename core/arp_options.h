// The ARP page's options, the lines of their settings file, its command line and
// the rewrite of arp's two argument errors into plain words. Portable.
#pragma once

#include <string>
#include <string_view>

#include "core/command_line.h"
#include "core/settings_fields.h"

namespace tracewick {

struct ArpOptions {
    bool by_destination = true;  // else By Interface
    std::string address;
    bool cumulative = false;
};

// A first line other than TRUE selects By Interface.
inline constexpr SettingsField<ArpOptions> kArpFields[] = {
    Field<&ArpOptions::by_destination>(),
    Field<&ArpOptions::address>(),
    CumulativeField<&ArpOptions::cumulative>(),
};

// conspawn.exe "arp -a [[-n ]ADDRESS]": -n only for an address By Interface.
// The address goes in with With(); HostRefusal says when it cannot.
[[nodiscard]] CommandTemplate ArpCommand(bool by_destination, std::string_view address);

// arp's "arp: bad argument:" becomes "Invalid IP address" (By Destination)
// or "Invalid interface ", else "arp: bad IP address:" becomes
// "Invalid interface   ", written over the error text where it stands in
// the chunk; the rest of the chunk is kept. A chunk holding both is
// rewritten by the first rule only.
void RewriteArpErrors(std::string& chunk, bool by_destination);

}  // namespace tracewick
