// Small text rules shared by the pages, the settings, the command line and
// the help window.
// Portable: no <windows.h>.
#pragma once

#include <string>
#include <string_view>

namespace tracewick {

// Removes leading blanks (spaces and tabs); trailing ones stay.
[[nodiscard]] std::string StripLeadingBlanks(std::string_view text);

// A host or address field's text without CR and LF: a value with a line
// break would run as typed and split its settings line in two.
[[nodiscard]] std::string WithoutLineBreaks(std::string_view text);

// `text` with every line end made CR LF, as a multi-line edit shows it.
[[nodiscard]] std::string ToCrLf(std::string_view text);

// Case ignored for the ASCII letters only, whatever the locale: equal, and
// the order (below, at or above zero).
[[nodiscard]] bool EqualIgnoringCase(std::string_view a, std::string_view b) noexcept;
[[nodiscard]] int CompareIgnoringCase(std::string_view a, std::string_view b) noexcept;

}  // namespace tracewick
