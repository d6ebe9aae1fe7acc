// Finding a topic in the help text. A topic starts at a heading line that is
// underlined by a line of '=' characters. Portable: no <windows.h>.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tracewick {

// The topic shown first, and for a page that has no topic of its own.
inline constexpr std::string_view kHelpOverviewTopic = "Tracewick";

// Heading of the topic that explains a page, by page index.
[[nodiscard]] std::string_view HelpTopicForPage(int page_index) noexcept;

// Offset of the first character of the heading line `heading`, or npos when
// the text has no such topic. Lines may end in LF or CR LF.
[[nodiscard]] std::size_t FindHelpTopic(std::string_view text, std::string_view heading) noexcept;

}  // namespace tracewick
