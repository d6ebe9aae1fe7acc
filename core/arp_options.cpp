#include "core/arp_options.h"

namespace tracewick {

CommandTemplate ArpCommand(bool by_destination, std::string_view address) {
    std::string prefix = "conspawn.exe \"arp -a ";
    if (!address.empty() && !by_destination) prefix += "-n ";
    return {prefix, "\""};
}

void RewriteArpErrors(std::string& chunk, bool by_destination) {
    constexpr std::string_view kBadArgument = "arp: bad argument:";
    constexpr std::string_view kBadAddress = "arp: bad IP address:";
    // The plain words have the error text's length, so the chunk keeps its
    // size and whatever came before the error stays where it was.
    if (const std::size_t at = chunk.find(kBadArgument); at != std::string::npos) {
        chunk.replace(at, kBadArgument.size(), by_destination ? "Invalid IP address" : "Invalid interface ");
    } else if (const std::size_t found = chunk.find(kBadAddress); found != std::string::npos) {
        chunk.replace(found, kBadAddress.size(), "Invalid interface   ");
    }
}

}  // namespace tracewick
