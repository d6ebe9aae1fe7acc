#include "core/tracert_options.h"

namespace tracewick {

std::string RewriteUnresolvedTarget(std::string_view chunk, std::string_view host) {
    constexpr std::string_view kWithW = "Unable to resolve target system name -w.\r\r\n";
    constexpr std::string_view kWithD = "Unable to resolve target system name -d.\r\r\n";
    if (chunk != kWithW && chunk != kWithD) return std::string(chunk);
    std::string text(chunk.substr(0, chunk.size() - 6));  // up to and with the blank
    text += host;
    return text;
}

}  // namespace tracewick
