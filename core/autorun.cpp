#include "core/autorun.h"

#include <algorithm>
#include <string_view>

#include "core/pages.h"
#include "core/text.h"

namespace tracewick {

namespace {

bool IsSwitch(const std::string& arg) noexcept { return !arg.empty() && (arg[0] == '-' || arg[0] == '/'); }

// Whether the switch `arg` names `name` after its - or /, in any letter
// case; `whole`: and nothing follows.
bool SwitchIs(const std::string& arg, std::string_view name, bool whole) noexcept {
    if (arg.empty()) return false;
    std::string_view named(arg);
    named.remove_prefix(1);
    return EqualIgnoringCase(whole ? named : named.substr(0, name.size()), name);
}

// The text after "/NAME" in a switch such as /log:FILE (`name` ends in its
// colon); empty for another argument or a switch with nothing after it.
std::string SwitchValue(const std::string& arg, std::string_view name) {
    return IsSwitch(arg) && SwitchIs(arg, name, false) ? arg.substr(std::min(arg.size(), name.size() + 1)) : std::string();
}

}  // namespace

char AutoRunLetterFromArgs(const std::vector<std::string>& args) noexcept {
    for (const std::string& arg : args) {
        if (IsSwitch(arg)) continue;
        return arg.empty() ? kNoAutoRunLetter : arg[0];
    }
    return kNoAutoRunLetter;
}

AutoRunRequest AutoRunRequestFromArgs(const std::vector<std::string>& args) {
    AutoRunRequest request;
    for (const std::string& arg : args) {
        if (std::string file = SwitchValue(arg, "report:"); !file.empty()) request.report_file = std::move(file);
    }
    if (!request.report_file.empty()) return request;
    request.letter = AutoRunLetterFromArgs(args);
    // Without a run there is nothing to record and nothing to leave after.
    if (PageIndexForLetter(request.letter) < 0) return request;
    for (const std::string& arg : args) {
        if (IsSwitch(arg) && SwitchIs(arg, "exit", true)) request.exit = true;
        if (std::string file = SwitchValue(arg, "log:"); !file.empty()) request.log_file = std::move(file);
    }
    return request;
}

int PageIndexForLetter(char letter) noexcept {
    switch (letter) {
        case 'P': case 'p': return kPingPage;
        case 'T': case 't': return kTracertPage;
        case 'L': case 'l': return kLookupPage;
        case 'R': case 'r': return kRoutesPage;
        case 'A': case 'a': return kArpPage;
        case 'N': case 'n': return kNetbiosPage;
        case 'C': case 'c': return kConnectionsPage;
        case 'S': case 's': return kStatisticsPage;
        default: return -1;
    }
}

}  // namespace tracewick
