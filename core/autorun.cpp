#include "core/autorun.h"

#include "core/pages.h"

namespace tracewick {

char AutoRunLetterFromArgs(const std::vector<std::string>& args) noexcept {
    for (const std::string& arg : args) {
        if (!arg.empty() && (arg[0] == '-' || arg[0] == '/')) continue;
        return arg.empty() ? kNoAutoRunLetter : arg[0];
    }
    return kNoAutoRunLetter;
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
