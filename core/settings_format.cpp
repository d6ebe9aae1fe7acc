#include "core/settings_format.h"

#include <climits>

namespace tracewick {

namespace {

// Number conversion as `atoi` does it: leading white space, an optional
// sign, the digits up to the first other character; no digits give 0.
// Values beyond the int range saturate instead of overflowing.
int ParseSettingsNumber(std::string_view text) noexcept {
    std::size_t i = 0;
    auto is_space = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    while (i < text.size() && is_space(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > static_cast<long long>(INT_MAX) + 1) {
            magnitude = static_cast<long long>(INT_MAX) + 1;
        }
    }
    const long long value = negative ? -magnitude : magnitude;
    if (value > INT_MAX) return INT_MAX;
    return static_cast<int>(value);
}

}  // namespace

void SettingsWriter::Number(int value) {
    bytes_ += std::to_string(value);
    bytes_ += kSettingsLineEnd;
}

void SettingsWriter::Flag(bool value) {
    bytes_ += value ? "TRUE" : "FALSE";
    bytes_ += kSettingsLineEnd;
}

void SettingsWriter::Text(std::string_view value) {
    if (value.find_first_of("\r\n") != std::string_view::npos) refused_ = true;
    bytes_ += value;
    bytes_ += kSettingsLineEnd;
}

SettingsReader::SettingsReader(std::string_view bytes) noexcept
    : rest_(bytes), cr_line_ends_(bytes.find('\n') == std::string_view::npos) {
    for (const std::string_view mark : {std::string_view("\xEF\xBB\xBF"), std::string_view("\xFF\xFE"),
                                        std::string_view("\xFE\xFF")}) {
        if (rest_.substr(0, mark.size()) == mark) rest_.remove_prefix(mark.size());
    }
}

bool SettingsReader::Line(std::string& line) {
    if (rest_.empty()) return false;
    const std::size_t end = rest_.find(cr_line_ends_ ? '\r' : '\n');
    const std::string_view raw = rest_.substr(0, end);
    rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
    if (cr_line_ends_) {
        while (!rest_.empty() && rest_.front() == '\r') rest_.remove_prefix(1);
    }
    line.clear();
    for (const char c : raw) {
        if (c != '\r' && c != '\0') line += c;
    }
    return true;
}

bool SettingsReader::Number(int& value) {
    std::string line;
    if (!Line(line)) return false;
    value = ParseSettingsNumber(line);
    return true;
}

bool SettingsReader::Flag(bool& value) {
    std::string line;
    if (!Line(line)) return false;
    value = line == "TRUE";
    return true;
}

bool SettingsReader::Text(std::string& value, std::size_t max_length) {
    std::string line;
    if (!Line(line)) return false;
    if (!line.empty() && line.size() <= max_length) value = std::move(line);
    return true;
}

}  // namespace tracewick
