#include "core/netbios_options.h"

#include "core/text.h"

namespace tracewick {
std::size_t ForbiddenNameCharacter(std::string_view name) noexcept {
    constexpr std::string_view kForbidden = " \\~!@#$%^&*()+=[]{};:,.<>?'\"|/";
    return name.find_first_of(kForbidden);
}

std::vector<RunStep> NetbiosRun(const NetbiosOptions& options, std::string_view local_name) {
    std::vector<RunStep> run;
    const std::string name(options.computer.empty() ? local_name : std::string_view(options.computer));
    if (options.workgroup) {
        run.push_back({"conspawn.exe \"net config workstation\""});
        run.push_back({"conspawn.exe \"net view\""});
    }
    if (options.resources) run.push_back({"conspawn.exe \"net view \\\\" + name + "\""});
    if (options.name_table) {
        // The cache holds what this computer has resolved: only worth
        // listing when the table asked for is this computer's own.
        const bool local = options.computer.empty() ||
                           (!local_name.empty() && EqualIgnoringCase(options.computer, local_name));
        if (local) run.push_back({"conspawn.exe \"nbtstat -c\""});
        run.push_back({"conspawn.exe \"nbtstat -a " + name + "\""});
    }
    return run;
}

}  // namespace tracewick
