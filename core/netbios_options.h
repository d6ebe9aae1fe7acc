// The NetBIOS page's options, the lines of their settings file, the computer
// name rules and the commands of one run. Portable.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/command_line.h"
#include "core/settings_fields.h"

namespace tracewick {

struct NetbiosOptions {
    std::string computer;  // at most kMaxComputerName characters from the field
    bool workgroup = true;
    bool resources = false;
    bool name_table = false;
    bool cumulative = false;

    // Whether a run asks about one computer, so reads the Computer field.
    [[nodiscard]] bool NamesComputer() const noexcept { return resources || name_table; }
};

inline constexpr std::size_t kMaxComputerName = 15;

inline constexpr SettingsField<NetbiosOptions> kNetbiosFields[] = {
    Field<&NetbiosOptions::computer, kMaxComputerName>(),
    Field<&NetbiosOptions::workgroup>(),
    Field<&NetbiosOptions::resources>(),
    Field<&NetbiosOptions::name_table>(),
    CumulativeField<&NetbiosOptions::cumulative>(),
};

inline constexpr std::string_view kTypedNameInvalidText =
    "User entered computer name is invalid.\r\n Cannot perform NetBIOS request";
inline constexpr std::string_view kRegistryNameInvalidText =
    "Registry computer name is invalid.\r\n Cannot perform NetBIOS request";
inline constexpr std::string_view kRegistryNameUnreadableText =
    "Tracewick cannot read the computer name from the registry.\r\n Cannot perform NetBIOS request";

// Where the first character that a computer name cannot hold stands, or
// npos: the blank and \~!@#$%^&*()+=[]{};:,.<>?'"|/ . Hyphen and
// underscore are allowed: computer names of current systems hold them.
[[nodiscard]] std::size_t ForbiddenNameCharacter(std::string_view name) noexcept;

// The commands of a run, in order: net config workstation and net view
// for Workgroup; net view \\NAME for Resources; nbtstat -c and then
// nbtstat -a NAME for Name Table. NAME is the typed computer name, or
// `local_name` (the registry's, upper case) when none is typed; the cache
// listing runs when no name is typed or the typed one is the local name,
// ignoring case. Empty when no option is set.
[[nodiscard]] std::vector<RunStep> NetbiosRun(const NetbiosOptions& options, std::string_view local_name);

}  // namespace tracewick
