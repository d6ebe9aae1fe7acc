// Rules for values typed into dialog fields and the standard refusal texts
// that the data-exchange validators show. Portable: no <windows.h>.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tracewick {

inline constexpr std::string_view kEnterIntegerText = "Please enter an integer.";

// An integer field's text: optional blanks, an optional sign, at least one
// digit, optional blanks, and a value that fits an int. Anything else is not
// an integer.
[[nodiscard]] std::optional<int> ParseDialogInteger(std::string_view text) noexcept;

// "Please enter an integer between 1 and 25."
[[nodiscard]] std::string IntegerRangeRefusal(int minimum, int maximum);

}  // namespace tracewick
