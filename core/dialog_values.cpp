#include "core/dialog_values.h"

#include <climits>

namespace tracewick {

std::optional<int> ParseDialogInteger(std::string_view text) noexcept {
    auto is_blank = [](char c) { return c == ' ' || c == '\t'; };
    std::size_t i = 0;
    while (i < text.size() && is_blank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const std::size_t digits_start = i;
    long long magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > static_cast<long long>(INT_MAX) + 1) return std::nullopt;
    }
    if (i == digits_start) return std::nullopt;
    while (i < text.size() && is_blank(text[i])) ++i;
    if (i != text.size()) return std::nullopt;
    const long long value = negative ? -magnitude : magnitude;
    if (value < INT_MIN || value > INT_MAX) return std::nullopt;
    return static_cast<int>(value);
}

std::string IntegerRangeRefusal(int minimum, int maximum) {
    return "Please enter an integer between " + std::to_string(minimum) + " and " +
           std::to_string(maximum) + ".";
}

}  // namespace tracewick
