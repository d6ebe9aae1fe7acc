#include "core/help_topics.h"

#include "core/pages.h"

namespace tracewick {

namespace {

// One line of `text` starting at `start`, without its line end; `next` is
// where the following line starts (text.size() at the end).
std::string_view LineAt(std::string_view text, std::size_t start, std::size_t& next) noexcept {
    std::size_t end = text.find('\n', start);
    next = end == std::string_view::npos ? text.size() : end + 1;
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

bool IsUnderline(std::string_view line) noexcept {
    return !line.empty() && line.find_first_not_of('=') == std::string_view::npos;
}

}  // namespace

std::string_view HelpTopicForPage(int page_index) noexcept {
    switch (page_index) {
        case kPingPage: return "Ping page";
        case kTracertPage: return "Trace Route page";
        case kLookupPage: return "Lookup page";
        case kRoutesPage: return "Routes page";
        case kArpPage: return "ARP page";
        case kNetbiosPage: return "NetBIOS page";
        case kConnectionsPage: return "Connections page";
        case kStatisticsPage: return "Statistics page";
        case kAboutPage: return "About page";
        default: return kHelpOverviewTopic;
    }
}

std::size_t FindHelpTopic(std::string_view text, std::string_view heading) noexcept {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t next = 0;
        const std::string_view line = LineAt(text, start, next);
        if (line == heading && next < text.size()) {
            std::size_t after = 0;
            if (IsUnderline(LineAt(text, next, after))) return start;
        }
        start = next;
    }
    return std::string_view::npos;
}

}  // namespace tracewick
