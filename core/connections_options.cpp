#include "core/connections_options.h"

namespace tracewick {

std::vector<RunStep> ConnectionsRun(const ConnectionsOptions& options) {
    std::vector<RunStep> run;
    if (options.tcp || options.udp) {
        std::string command = "conspawn.exe \"netstat";
        if (!options.by_name) command += " -n";
        if (options.tcp && options.udp) {
            command += " -a";
        } else {
            command += options.tcp ? " -a -p TCP" : " -a -p UDP";
        }
        command += '"';
        run.push_back({command});
    }
    if (options.netbios) {
        run.push_back({options.by_name ? "conspawn.exe \"nbtstat -s\"" : "conspawn.exe \"nbtstat -S\""});
        run.push_back({"conspawn.exe \"net use\""});
    }
    // net use's list follows the other listings in the same pane; the
    // heading tells where it begins.
    if (run.size() > 1) run.back().heading = "\r\n\r\nConnected NetBIOS Shared Resources\r\n\r\n";
    return run;
}

}  // namespace tracewick
