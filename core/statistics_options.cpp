#include "core/statistics_options.h"

#include <algorithm>

namespace tracewick {

std::optional<std::string> StatisticsRefusal(const StatisticsOptions& options) {
    if (!options.interfaces && !options.ip && !options.tcp && !options.udp && !options.netbios) {
        return NoOptionsText("Interface, IP, TCP, UDP, NetBIOS");
    }
    // netstat -s takes one protocol or, with none named, all of them.
    if (int{options.tcp} + int{options.udp} + int{options.ip} == 2) return std::string(kTwoProtocolsText);
    return std::nullopt;
}

std::vector<RunStep> StatisticsRun(const StatisticsOptions& options, bool by_number) {
    std::vector<RunStep> run;
    // A refused choice has no command line that says what it asks for.
    if (StatisticsRefusal(options)) return run;
    if (options.interfaces || options.ip || options.tcp || options.udp) {
        std::string command = "conspawn.exe \"netstat";
        if (options.interfaces) command += " -e";
        if (options.tcp && options.udp && options.ip) {
            command += " -s";
        } else if (options.tcp) {
            command += " -s -p TCP";
        } else if (options.udp) {
            command += " -s -p UDP";
        } else if (options.ip) {
            command += " -s -p IP";
        }
        if (by_number) command += " -n";
        command += '"';
        run.push_back({command, options.interfaces ? "\r\n" : ""});
    }
    if (options.netbios) run.push_back({"conspawn.exe \"nbtstat -r\""});
    return run;
}

namespace {

constexpr std::string_view kNbtFailure = "Failed to access NBT";
constexpr std::string_view kNbtUnavailable = "NetBIOS services are unavailable.";

// How long the end of `text` is that may be the start of the failure text
// still to be completed by the next chunk.
std::size_t PartialFailureAtEnd(std::string_view text) {
    for (std::size_t length = std::min(text.size(), kNbtFailure.size() - 1); length > 0; --length) {
        if (text.substr(text.size() - length) == kNbtFailure.substr(0, length)) return length;
    }
    return 0;
}

}  // namespace

std::string NbtFailureRewrite::Feed(std::string_view chunk) {
    if (hide_next_) {
        hide_next_ = false;
        held_.clear();
        return {};
    }
    std::string text = std::move(held_);
    held_.clear();
    text += chunk;
    if (const std::size_t at = text.find(kNbtFailure); at != std::string::npos) {
        // The rest of nbtstat's failure report says nothing more to the user.
        text.replace(at, std::string::npos, kNbtUnavailable);
        hide_next_ = true;
        return text;
    }
    const std::size_t partial = PartialFailureAtEnd(text);
    held_ = text.substr(text.size() - partial);
    text.resize(text.size() - partial);
    return text;
}

std::string NbtFailureRewrite::Finish() {
    std::string held = std::move(held_);
    held_.clear();
    return held;
}

}  // namespace tracewick
