// Whole-line rewriting of command output for the pages that show it line by
// line: text is held until its line ends, then the first rule of the page's
// table that matches the line decides what is shown. Portable: no <windows.h>.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tracewick {

struct LineRule {
    enum class Kind {
        kReplace,    // starts with `match`: `text` is shown instead
        kCut,        // starts with `match`: the line from character `cut` (0-based) on
        kErrorCode,  // starts with `match`: the message after "Error NN: ", by the colon's place
        kSeparator,  // a box-drawing line (0xC4 as its second character): 78 hyphens
        kSubject,    // starts with `match`: `text` followed by the run's subject
        kDrop,       // starts with `match`: nothing is shown
    };
    Kind kind;
    std::string_view match = {};
    std::string_view text = {};
    std::size_t cut = 0;
};

using LineRules = std::vector<LineRule>;

// What one line (without its line end) shows as: CR LF-ended text, or
// nothing when the line is dropped. A line no rule matches is shown as it
// is. `subject` is what a kSubject rule names (the computer of the run).
[[nodiscard]] std::string FilterLine(std::string_view line, const LineRules& rules, std::string_view subject);

// Holds the text of a line until its end arrives. A line ends at LF; CRs
// right before the LF belong to the end, so CR LF, CR CR LF and a bare LF
// all end a line. Lines of any length and any amount of held text are kept
// whole.
class LineFilter {
public:
    explicit LineFilter(const LineRules& rules) noexcept : rules_(&rules) {}

    // What the lines that `chunk` completes show as.
    [[nodiscard]] std::string Feed(std::string_view chunk, std::string_view subject = {});
    // Forgets held text: a new run starts.
    void Reset() noexcept { pending_.clear(); }

private:
    const LineRules* rules_;
    std::string pending_;
};

// The Connections page: netstat, nbtstat and net use.
extern const LineRules kConnectionsLineRules;
// The NetBIOS page: net config, net view and nbtstat, whose status lines
// become shorter text or go.
extern const LineRules kNetbiosLineRules;

}  // namespace tracewick
