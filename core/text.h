// Small text rules shared by the pages, the settings and the help window.
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

}  // namespace tracewick
