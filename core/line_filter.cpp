#include "core/line_filter.h"

namespace tracewick {
namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kNetbiosUnavailable = "NetBIOS services are unavailable.";

bool StartsWith(std::string_view line, std::string_view prefix) noexcept {
    return line.size() >= prefix.size() && line.compare(0, prefix.size(), prefix) == 0;
}

std::string Shown(std::string_view text) {
    std::string shown(text);
    shown += kCrLf;
    return shown;
}

// "Error NN: message": the code has one to four digits, so the colon stands
// at one of three places; the blank after it goes too.
std::string ErrorMessage(std::string_view line) {
    for (const std::size_t colon : {std::size_t{8}, std::size_t{10}, std::size_t{9}}) {
        if (colon < line.size() && line[colon] == ':') {
            return Shown(colon + 2 < line.size() ? line.substr(colon + 2) : std::string_view{});
        }
    }
    // A line of an unknown shape still reports a failure: show it as it is.
    return Shown(line);
}

}  // namespace

std::string FilterLine(std::string_view line, const LineRules& rules, std::string_view subject) {
    for (const LineRule& rule : rules) {
        if (rule.kind == LineRule::Kind::kSeparator) {
            if (line.size() >= 2 && static_cast<unsigned char>(line[1]) == 0xC4) {
                return Shown(std::string(78, '-'));
            }
            continue;
        }
        if (!StartsWith(line, rule.match)) continue;
        switch (rule.kind) {
            case LineRule::Kind::kReplace:
                return Shown(rule.text);
            case LineRule::Kind::kCut:
                return Shown(rule.cut < line.size() ? line.substr(rule.cut) : std::string_view{});
            case LineRule::Kind::kErrorCode:
                return ErrorMessage(line);
            case LineRule::Kind::kSubject: {
                std::string shown(rule.text);
                shown += subject;
                shown += kCrLf;
                return shown;
            }
            case LineRule::Kind::kDrop:
                return {};
            case LineRule::Kind::kSeparator:
                break;
        }
    }
    return Shown(line);
}

std::string LineFilter::Feed(std::string_view chunk, std::string_view subject) {
    // Held text never holds an LF, so only the new text is searched; the
    // finished lines are taken off the front once, keeping large output linear.
    std::size_t search = pending_.size();
    pending_ += chunk;
    std::size_t consumed = 0;
    std::string shown;
    for (std::size_t lf = pending_.find('\n', search); lf != std::string::npos;
         lf = pending_.find('\n', search)) {
        std::size_t end = lf;
        while (end > consumed && pending_[end - 1] == '\r') --end;
        shown += FilterLine(std::string_view(pending_).substr(consumed, end - consumed), *rules_, subject);
        consumed = lf + 1;
        search = consumed;
    }
    pending_.erase(0, consumed);
    return shown;
}

const LineRules kConnectionsLineRules = {
    {LineRule::Kind::kReplace, "Failed to access NBT driver 1", kNetbiosUnavailable},
    {LineRule::Kind::kReplace,
     "Error 3545: You cannot start or stop the network from within an MS-DOS window",
     kNetbiosUnavailable},
    {LineRule::Kind::kCut, "Error 3787:", {}, 12},
    {LineRule::Kind::kSeparator},
};

const LineRules kNetbiosLineRules = {
    {LineRule::Kind::kReplace, "Failed to access NBT driver 1", kNetbiosUnavailable},
    {LineRule::Kind::kReplace,
     "Error 3545: You cannot start or stop the network from within an MS-DOS window",
     kNetbiosUnavailable},
    {LineRule::Kind::kErrorCode, "Error "},
    {LineRule::Kind::kSeparator},
    {LineRule::Kind::kSubject, "There are no entries in the list.", "No shared resources at "},
    {LineRule::Kind::kDrop, "The command was completed successfully."},
    {LineRule::Kind::kDrop, "The command completed successfully."},
    {LineRule::Kind::kDrop, "System error 6118 has occurred."},
};

}  // namespace tracewick
