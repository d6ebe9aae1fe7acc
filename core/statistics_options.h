// The Statistics page's options, the lines of their settings file, the checks
// of a choice of options, the commands of a run and the rewrite of
// nbtstat's failure. Portable.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/command_line.h"
#include "core/settings_fields.h"

namespace tracewick {

struct StatisticsOptions {
    bool interfaces = true;
    bool ip = false;
    bool tcp = false;
    bool udp = false;
    bool netbios = false;
    bool cumulative = false;
};

inline constexpr std::string_view kTwoProtocolsText =
    "Please select none, one, or all three protocols (UDP, TCP, IP).\r\n The combination you have selected is invalid.";

// Not in the order of the boxes.
inline constexpr SettingsField<StatisticsOptions> kStatisticsFields[] = {
    Field<&StatisticsOptions::interfaces>(),
    Field<&StatisticsOptions::udp>(),
    Field<&StatisticsOptions::tcp>(),
    Field<&StatisticsOptions::ip>(),
    Field<&StatisticsOptions::netbios>(),
    CumulativeField<&StatisticsOptions::cumulative>(),
};

// Why these options cannot run (no option at all; exactly two of the three
// protocols), or nothing when they can.
[[nodiscard]] std::optional<std::string> StatisticsRefusal(const StatisticsOptions& options);

// netstat with -e for Interface, -s and the protocol (-s alone for all
// three), -n when `by_number`; then nbtstat -r for NetBIOS. With Interface
// the netstat command is headed by an empty line, which follows the run's
// header. Only for options without a refusal.
[[nodiscard]] std::vector<RunStep> StatisticsRun(const StatisticsOptions& options, bool by_number);

// nbtstat's "Failed to access NBT" becomes "NetBIOS services are
// unavailable."; what follows it in its chunk and the whole next chunk are
// not shown. The text is found also when it is split between two chunks:
// a chunk's end that may begin it waits for the next chunk.
class NbtFailureRewrite {
public:
    [[nodiscard]] std::string Feed(std::string_view chunk);
    // At the end of a command's output: what was held back, as it came.
    [[nodiscard]] std::string Finish();

private:
    std::string held_;
    bool hide_next_ = false;
};

}  // namespace tracewick
