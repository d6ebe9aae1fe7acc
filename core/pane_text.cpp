#include "core/pane_text.h"

#include <algorithm>

#include <cstdio>

namespace tracewick {

namespace {

constexpr const char* kDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};
constexpr const char* kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};

}  // namespace

std::string RunHeader(const std::tm& time, bool blank_lines_before) {
    const int day = time.tm_wday >= 0 && time.tm_wday < 7 ? time.tm_wday : 0;
    const int month = time.tm_mon >= 0 && time.tm_mon < 12 ? time.tm_mon : 0;
    char stamp[96];
    std::snprintf(stamp, sizeof stamp, "%s, %s %02d, %d at %02d:%02d:%02d", kDays[day], kMonths[month],
                  time.tm_mday, time.tm_year + 1900, time.tm_hour, time.tm_min, time.tm_sec);
    std::string header = blank_lines_before ? "\r\n\r\n" : "";
    header += stamp;
    header += "\r\n";
    return header;
}

std::wstring_view RunText(std::wstring_view pane, std::wstring_view header) noexcept {
    const std::size_t at = header.empty() ? std::wstring_view::npos : pane.rfind(header);
    return at == std::wstring_view::npos ? pane : pane.substr(at);
}

std::string SavedOutputName(std::string_view page, const std::tm& time) {
    char stamp[96];
    std::snprintf(stamp, sizeof stamp, " %04d-%02d-%02d %02d-%02d-%02d.txt", time.tm_year + 1900, time.tm_mon + 1,
                  time.tm_mday, time.tm_hour, time.tm_min, time.tm_sec);
    std::string name = "Tracewick ";
    for (const char c : page) name += std::string_view("\\/:*?\"<>|").find(c) == std::string_view::npos ? c : '-';
    return name + stamp;
}

int TailScrollLines(int line_count, int first_visible, int margin) noexcept {
    const long long n = static_cast<long long>(line_count) - margin - first_visible;
    return n > 0 ? static_cast<int>(n) : 0;
}

bool PaneRoom::Takes(std::uint64_t length, std::uint64_t adding) const noexcept {
    if (length > capacity || adding > capacity - length) return false;
    const std::uint64_t needed = adding * kBytesPerCharacter + kReserve;
    return free_address >= needed && free_memory >= needed;
}

void DropNuls(std::string& chunk) { chunk.erase(std::remove(chunk.begin(), chunk.end(), '\0'), chunk.end()); }

std::string LineEndRepair::Feed(std::string_view chunk) {
    std::string out;
    out.reserve(chunk.size() + held_crs_);
    for (const char c : chunk) {
        if (c == '\r') {
            ++held_crs_;
            continue;
        }
        if (held_crs_ > 0) {
            // CR... LF is one line end; CRs before anything else stay as they were.
            if (c == '\n') {
                out += '\r';
            } else {
                out.append(held_crs_, '\r');
            }
            held_crs_ = 0;
        }
        out += c;
    }
    return out;
}

std::string LineEndRepair::Flush() {
    std::string out(held_crs_, '\r');
    held_crs_ = 0;
    return out;
}

}  // namespace tracewick
